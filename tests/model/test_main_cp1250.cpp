// The window's view of device texts: Windows-1250 bytes to UTF-8 and back.

#include "text/Cp1250.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Cp1250, EveryByteComesBackUnchanged) {
    std::string all;
    for (int b = 1; b <= 255; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = Cp1250DoUtf8(all);
    const auto back = Utf8DoCp1250(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1250, CzechLettersMapToTheirBytes) {
    EXPECT_EQ(Cp1250DoUtf8("\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xF9"), "ěščřžýáíéů");
    EXPECT_EQ(Cp1250DoUtf8("\x8A\x8E\xC8\xD8"), "ŠŽČŘ");
    EXPECT_EQ(Cp1250DoUtf8("\x80"), "€");
    EXPECT_EQ(Utf8DoCp1250("Porucha č. 5"), std::string("Porucha \xE8. 5"));
    EXPECT_EQ(Utf8DoCp1250(""), std::string());
}

TEST(Cp1250, UndefinedBytesTravelAsC1Controls) {
    for (const char b : {'\x81', '\x83', '\x88', '\x90', '\x98'}) {
        const std::string utf8 = Cp1250DoUtf8(std::string(1, b));
        ASSERT_EQ(utf8.size(), 2U);
        EXPECT_EQ(static_cast<unsigned char>(utf8[0]), 0xC2);
        EXPECT_EQ(static_cast<unsigned char>(utf8[1]), static_cast<unsigned char>(b));
    }
}

TEST(Cp1250, CharactersWithoutAByteAndBrokenUtf8AreRefused) {
    EXPECT_FALSE(Utf8DoCp1250("ø").has_value());
    EXPECT_FALSE(Utf8DoCp1250("ab\xE2\x82").has_value()); // cut in the middle of a character
    EXPECT_FALSE(Utf8DoCp1250("\xFF").has_value());
    EXPECT_FALSE(Utf8DoCp1250("😀").has_value());
}

} // namespace
