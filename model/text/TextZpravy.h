#pragma once
// An SMS text as the memos hold it (UTF-8) and as the device stores it (Windows-1250 bytes, a
// line break as CR LF). The one place that says how long a text is when stored, for the memos'
// limit and for storing.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Line breaks as CR LF: a lone LF or a lone CR becomes CR LF.
std::string SCrLf(std::string_view utf8);
// The number of bytes the text takes in the device: one a character, two a line break.
std::size_t UlozenaDelka(std::string_view utf8);
// The stored bytes of a memo's text, cut to the first `kapacita` bytes (never inside a CR LF);
// nothing when a character has no byte in the code page.
std::optional<std::string> TextDoZpravy(std::string_view utf8, std::size_t kapacita);
// Whether every character of the text has a byte in the device's code page.
bool LzeUlozit(std::string_view utf8);
