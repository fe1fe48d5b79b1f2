#pragma once
// The input rules the three grids share, and the text routine they use. Qt-free: the window only
// reports what was typed, edited or left.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr char k_CharSpace = ' ';
// The key code of Delete.
inline constexpr std::uint16_t k_VK_DELETE = 0x2E;

inline constexpr std::string_view R_NeplatneCislo = "Zadejte platné telefonní číslo!";

// aString with every occurrence of aChar removed, the other characters in their order.
std::string RemoveChar(std::string_view aString, char aChar);

// The key filter of the grids: a typed character passes only when it is backspace, carriage
// return, '$', '%', apostrophe, full stop or a digit; any other becomes the null character, so it
// is not inserted.
void Hg_PhoneNumbersKeyPress(char32_t& Key);

// A phone number as typed into the grid (UTF-8), as the device stores it: the cell's text without
// spaces, when that is exactly 9 single-byte characters or empty; nothing otherwise (a character
// without a byte in the device's code page counts as invalid).
std::optional<std::string> PlatneTelCislo(std::string_view cellText);
