// UlozDoIni: the four conversions, folder creation, and the write error.

#include "soubory/ProfileFile.h"
#include "soubory/UlozDoIni.h"
#include "test_nastaveni_locale.h"
#include "test_profile_scratch.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>

TEST(UlozDoIni, CreatesMissingFoldersAndWritesAnInteger) {
    TScratchDir dir;
    const std::string ini = dir / "a/b/c/norlink.ini";
    UlozDoIni(ini, "ComPort", "Cislo", std::int64_t{12}, TIniType::int_ini);
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\nCislo=12\n");
    UlozDoIni(ini, "ComPort", "Program", -3, TIniType::int_ini);
    UlozDoIni(ini, "comport", "CISLO", 7, TIniType::int_ini);
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\nCislo=7\nProgram=-3\n");
    EXPECT_EQ(ReadProfileInteger(ini, "ComPort", "Program", 0), -3);
}

TEST(UlozDoIni, ConvertsEachKind) {
    EXPECT_EQ(FormatIniValue(std::int64_t{0}, TIniType::int_ini, '.'), "0");
    EXPECT_EQ(FormatIniValue(std::numeric_limits<std::int64_t>::min(), TIniType::int_ini, ','),
              "-9223372036854775808");
    EXPECT_EQ(FormatIniValue(std::string("a\r\nb "), TIniType::str_ini, '.'), "a\r\nb ");
    EXPECT_EQ(FormatIniValue(true, TIniType::bool_ini, '.'), "1");
    EXPECT_EQ(FormatIniValue(false, TIniType::bool_ini, '.'), "0");
    // Shortest form that reads back as the same number, with the given separator.
    EXPECT_EQ(FormatIniValue(0.1, TIniType::float_ini, ','), "0,1");
    EXPECT_EQ(FormatIniValue(2.5, TIniType::float_ini, '.'), "2.5");
    EXPECT_EQ(FormatIniValue(-0.001, TIniType::float_ini, ','), "-0,001");
    EXPECT_EQ(FormatIniValue(100.0, TIniType::float_ini, ','), "100");
    EXPECT_EQ(FormatIniValue(1.0 / 3.0, TIniType::float_ini, '.'), "0.3333333333333333");
    EXPECT_EQ(FormatIniValue(1e20, TIniType::float_ini, '.'), "1e+20");
    EXPECT_EQ(FormatIniValue(std::int64_t{42}, TIniType::float_ini, ','), "42");
}

TEST(UlozDoIni, RefusesAValueOfAnotherKind) {
    EXPECT_THROW(FormatIniValue(2.5, TIniType::int_ini, '.'), std::invalid_argument);
    EXPECT_THROW(FormatIniValue(std::string("12"), TIniType::int_ini, '.'), std::invalid_argument);
    EXPECT_THROW(FormatIniValue(std::int64_t{1}, TIniType::bool_ini, '.'), std::invalid_argument);
    EXPECT_THROW(FormatIniValue(true, TIniType::str_ini, '.'), std::invalid_argument);
    EXPECT_THROW(FormatIniValue(std::string("x"), TIniType::float_ini, '.'), std::invalid_argument);
    TScratchDir dir;
    EXPECT_THROW(UlozDoIni(dir / "x/norlink.ini", "S", "k", 2.5, TIniType::int_ini),
                 std::invalid_argument);
    EXPECT_FALSE(std::filesystem::exists(dir / "x")); // nothing is created for a refused value
}

TEST(UlozDoIni, WritesTextAndFloatAndBool) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    UlozDoIni(ini, "S", "text", std::string("dva\nradky"), TIniType::str_ini);
    UlozDoIni(ini, "S", "flag", true, TIniType::bool_ini);
    // The program runs in the "C" numeric locale here, so the separator is a point.
    ASSERT_STREQ(std::localeconv()->decimal_point, ".");
    UlozDoIni(ini, "S", "real", 0.25, TIniType::float_ini);
    EXPECT_EQ(ReadFileBytes(ini), "[S]\ntext=dva\nradky\nflag=1\nreal=0.25\n");
}

TEST(UlozDoIni, FloatTakesTheDecimalSeparatorOfTheNumericLocale) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    {
        const TCommaLocale comma;
        ASSERT_TRUE(comma.Active()) << "no comma-decimal locale";
        UlozDoIni(ini, "S", "real", 1234.5, TIniType::float_ini);
        UlozDoIni(ini, "S", "int", 1234, TIniType::int_ini);
    }
    UlozDoIni(ini, "S", "point", 1234.5, TIniType::float_ini);
    EXPECT_EQ(ReadFileBytes(ini), "[S]\nreal=1234,5\nint=1234\npoint=1234.5\n");
}

TEST(UlozDoIni, FailsWithTheFilePathWhenTheFolderCannotBeMade) {
    TScratchDir dir;
    WriteFileBytes(dir / "soubor", "x");
    const std::string ini = dir / "soubor/sub/norlink.ini";
    try {
        UlozDoIni(ini, "ComPort", "Cislo", 3, TIniType::int_ini);
        ADD_FAILURE() << "no error";
    } catch (const EProfileWriteError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + ini).c_str());
    }
    EXPECT_EQ(ReadFileBytes(dir / "soubor"), "x");
}

TEST(UlozDoIni, FailsWithTheFilePathWhenTheFileCannotBeWritten) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    std::filesystem::create_directory(ini);
    try {
        UlozDoIni(ini, "ComPort", "Cislo", 3, TIniType::int_ini);
        ADD_FAILURE() << "no error";
    } catch (const EProfileWriteError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + ini).c_str());
    }
}
