#pragma once
// Frames written as hex text in tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "A5 14 3F" -> {0xA5, 0x14, 0x3F}; spaces are ignored.
inline std::vector<std::uint8_t> Hex(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') {
            digits += c;
        }
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// A test name from a hex frame: the digits without spaces.
inline std::string HexName(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}
