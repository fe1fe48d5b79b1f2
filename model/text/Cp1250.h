#pragma once
// Texts of the device are single bytes of Windows-1250, the Czech ANSI code page; the window works
// in UTF-8. Every byte has a character (the five that the code page leaves undefined map to the C1
// control characters of the same number), so a text read from the device goes back unchanged.

#include <optional>
#include <string>
#include <string_view>

std::string Cp1250DoUtf8(std::string_view bytes);
// Nothing when a character has no byte in the code page (or the UTF-8 is malformed).
std::optional<std::string> Utf8DoCp1250(std::string_view utf8);
