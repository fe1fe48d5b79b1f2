// The profile-file format in memory: reading, writing, order, case, line ends, odd contents.

#include "soubory/ProfileFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// What a file holds after each write when it is read from disk anew every time, as the one-by-one
// file functions do.
std::string ReopenedAfterEachWrite(std::string text, const std::vector<TProfileEntry>& entries) {
    for (const auto& entry : entries) {
        TProfileFile file(text);
        file.WriteString(entry.Section, entry.Key, entry.Value);
        text = file.Text();
    }
    return text;
}

std::string InOnePass(const std::string& text, const std::vector<TProfileEntry>& entries) {
    TProfileFile file(text);
    for (const auto& entry : entries) {
        file.WriteString(entry.Section, entry.Key, entry.Value);
    }
    return file.Text();
}

} // namespace

TEST(ProfileFormat, SectionsAndKeysKeepTheOrderOfTheirFirstWrite) {
    TProfileFile file;
    file.WriteString("B", "x", "1");
    file.WriteString("A", "y", "2");
    file.WriteString("B", "z", "3");
    file.WriteString("a", "w", "4"); // the same section as "A"
    file.WriteString("B", "X", "5"); // the same key as "x": replaced in place
    EXPECT_EQ(file.Text(), "[B]\nx=5\nz=3\n\n[A]\ny=2\nw=4\n");
}

TEST(ProfileFormat, ReplacingAValueKeepsEveryOtherByte) {
    const std::string original = "; settings\r\n"
                                 "\n"
                                 "[ComPort]   ; port\n"
                                 "  Cislo = 3  \n"
                                 "\tnot an entry\n"
                                 "Program=1\n"
                                 "\n"
                                 "[Other]\n"
                                 "Cislo=9";
    TProfileFile file(original);
    file.WriteString("comport", "CISLO", "12");
    EXPECT_EQ(file.Text(), "; settings\r\n"
                           "\n"
                           "[ComPort]   ; port\n"
                           "  Cislo =12\n"
                           "\tnot an entry\n"
                           "Program=1\n"
                           "\n"
                           "[Other]\n"
                           "Cislo=9");
    EXPECT_EQ(file.ReadInteger("ComPort", "Cislo", 0), 12);
    EXPECT_EQ(file.ReadInteger("Other", "Cislo", 0), 9);
}

TEST(ProfileFormat, NewKeyFollowsTheLastLineOfItsSectionAndNewSectionGoesToTheEnd) {
    TProfileFile file("[A]\na=1\n; note\n\n\n[B]\nb=2");
    file.WriteString("A", "c", "3");
    file.WriteString("B", "d", "4"); // the last line gets a line end first
    file.WriteString("C", "e", "5");
    EXPECT_EQ(file.Text(), "[A]\na=1\n; note\nc=3\n\n\n[B]\nb=2\nd=4\n\n[C]\ne=5\n");
}

TEST(ProfileFormat, NamesMatchWithoutRegardToAsciiCaseAndSurroundingBlanks) {
    const TProfileFile file("[ ComPort ]\nCislo=5\n[Č]\nx=1\n");
    EXPECT_EQ(file.ReadString("COMPORT", "cISLO"), "5");
    EXPECT_EQ(file.ReadString("comport", "  Cislo\t"), "5");
    EXPECT_EQ(file.ReadString("Č", "X"), "1");
    // Only ASCII letters fold: "č" is not "Č".
    EXPECT_EQ(file.ReadString("č", "x"), std::nullopt);
}

TEST(ProfileFormat, ValuesAreReadTrimmedAndUnquoted) {
    const TProfileFile file("[S]\n"
                            "a =  text with  inner blanks \t\n"
                            "b=\"quoted value \"\n"
                            "c='x'\n"
                            "d=\"unbalanced\n"
                            "e=\n"
                            "f=\"\"\n");
    EXPECT_EQ(file.ReadString("S", "a"), "text with  inner blanks");
    EXPECT_EQ(file.ReadString("S", "b"), "quoted value ");
    EXPECT_EQ(file.ReadString("S", "c"), "x");
    EXPECT_EQ(file.ReadString("S", "d"), "\"unbalanced");
    EXPECT_EQ(file.ReadString("S", "e"), "");
    EXPECT_EQ(file.ReadString("S", "f"), "");
    EXPECT_EQ(file.ReadString("S", "missing"), std::nullopt);
    EXPECT_EQ(file.ReadString("S", "missing", "def"), "def");
    EXPECT_EQ(file.ReadString("S", "e", "def"), "");
}

TEST(ProfileFormat, KeysBeforeAnySectionCommentsAndLinesWithoutEqualsAreNoEntries) {
    TProfileFile file("Cislo=7\n[ComPort]\n;Cislo=8\nCislo\n=5\nProgram=2\n");
    EXPECT_EQ(file.ReadInteger("ComPort", "Cislo", 2), 2);
    EXPECT_EQ(file.ReadString("", "Cislo"), std::nullopt);
    EXPECT_EQ(file.ReadString("ComPort", ""), std::nullopt);
    file.WriteString("ComPort", "Cislo", "9");
    EXPECT_EQ(file.Text(), "Cislo=7\n[ComPort]\n;Cislo=8\nCislo\n=5\nProgram=2\nCislo=9\n");
    EXPECT_EQ(file.ReadInteger("ComPort", "Cislo", 2), 9);
}

TEST(ProfileFormat, TheFirstSectionAndTheFirstKeyOfANameCount) {
    TProfileFile file("[S]\nk=1\nk=2\n[T]\n[s]\nk=3\nm=4\n");
    EXPECT_EQ(file.ReadString("S", "k"), "1");
    EXPECT_EQ(file.ReadString("S", "m"), std::nullopt);
    file.WriteString("S", "k", "5");
    file.WriteString("S", "m", "6");
    EXPECT_EQ(file.Text(), "[S]\nk=5\nk=2\nm=6\n[T]\n[s]\nk=3\nm=4\n");
    const auto entries = file.ReadSection("s");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (std::pair<std::string, std::string>{"k", "5"}));
    EXPECT_EQ(entries[1], (std::pair<std::string, std::string>{"m", "6"}));
}

TEST(ProfileFormat, ReadSectionListsEntriesInFileOrderWithTheirSpelling) {
    const TProfileFile file("[Porty]\nCOM5=/dev/ttyUSB0\n; c\ncom3 = '/tmp/a b'\nCom5=/x\n");
    const auto entries = file.ReadSection("PORTY");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].first, "COM5");
    EXPECT_EQ(entries[0].second, "/dev/ttyUSB0");
    EXPECT_EQ(entries[1].first, "com3");
    EXPECT_EQ(entries[1].second, "/tmp/a b");
    EXPECT_TRUE(file.ReadSection("none").empty());
}

TEST(ProfileFormat, MultiLineValueContinuesOnTheFollowingLinesAndStaysWhole) {
    TProfileFile file;
    file.WriteString("Zprava porucha", "Pozice 00", "Porucha\nexpanderu 1");
    file.WriteString("Zprava porucha", "Pozice 01", "jedna\r\ndve");
    file.WriteString("Zprava porucha", "Pozice 02", "x");
    EXPECT_EQ(file.Text(), "[Zprava porucha]\n"
                           "Pozice 00=Porucha\n"
                           "expanderu 1\n"
                           "Pozice 01=jedna\r\n"
                           "dve\n"
                           "Pozice 02=x\n");
    // Only the first line is the value when the file is read back.
    EXPECT_EQ(file.ReadString("Zprava porucha", "Pozice 00"), "Porucha");
    // Replacing it leaves the continuation behind, as the profile functions do.
    file.WriteString("Zprava porucha", "Pozice 00", "kratsi");
    EXPECT_EQ(file.Text(), "[Zprava porucha]\n"
                           "Pozice 00=kratsi\n"
                           "expanderu 1\n"
                           "Pozice 01=jedna\r\n"
                           "dve\n"
                           "Pozice 02=x\n");
}

TEST(ProfileFormat, CrlfFileKeepsCrlfAndLfFileKeepsLf) {
    TProfileFile crlf("[ComPort]\r\nCislo=3\r\nProgram=2\r\n");
    EXPECT_EQ(crlf.LineEnd(), "\r\n");
    EXPECT_EQ(crlf.ReadInteger("ComPort", "Cislo", 0), 3);
    EXPECT_EQ(crlf.ReadInteger("ComPort", "Program", 0), 2);
    crlf.WriteString("ComPort", "Cislo", "5");
    crlf.WriteString("ComPort", "Rychlost", "9600");
    crlf.WriteString("Porty", "COM5", "/dev/ttyUSB0");
    EXPECT_EQ(crlf.Text(), "[ComPort]\r\nCislo=5\r\nProgram=2\r\nRychlost=9600\r\n\r\n"
                           "[Porty]\r\nCOM5=/dev/ttyUSB0\r\n");

    TProfileFile lf("[ComPort]\nCislo=3\nProgram=2\n");
    EXPECT_EQ(lf.LineEnd(), "\n");
    lf.WriteString("ComPort", "Cislo", "5");
    lf.WriteString("ComPort", "Rychlost", "9600");
    lf.WriteString("Porty", "COM5", "/dev/ttyUSB0");
    EXPECT_EQ(lf.Text(),
              "[ComPort]\nCislo=5\nProgram=2\nRychlost=9600\n\n[Porty]\nCOM5=/dev/ttyUSB0\n");

    // Mixed: the first line decides for new lines; old lines keep their own.
    TProfileFile mixed("[S]\r\na=1\nb=2\r\n");
    mixed.WriteString("S", "b", "3");
    mixed.WriteString("S", "c", "4");
    EXPECT_EQ(mixed.Text(), "[S]\r\na=1\nb=3\r\nc=4\r\n");

    EXPECT_EQ(TProfileFile("").LineEnd(), "\n");
    EXPECT_EQ(TProfileFile("[S]").LineEnd(), "\n");
}

TEST(ProfileFormat, ALoneCrAtTheEndIsACrlfThatLostItsLf) {
    // The smallest fuzz finding: a file with no LF whose last byte is a CR. Ending that line gave
    // "x\r\n", which the next read takes as a CRLF file, while the one-pass writer went on with LF.
    const std::vector<TProfileEntry> twoSections = {{"A", "k", "1"}, {"B", "k", "2"}};
    EXPECT_EQ(TProfileFile("x\r").LineEnd(), "\r\n");
    EXPECT_EQ(InOnePass("x\r", twoSections), "x\r\n\r\n[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n");
    EXPECT_EQ(ReopenedAfterEachWrite("x\r", twoSections), InOnePass("x\r", twoSections));

    // The same with values holding NUL and high bytes, as the fuzzer had them.
    const std::string binary("\0\0\xff\xff\r", 5);
    const std::vector<TProfileEntry> binaryValues = {{"ComPort", "Cislo", binary.substr(0, 4)},
                                                     {"Porty", "COM5", binary.substr(1, 3)},
                                                     {"S", "k", binary.substr(2)}};
    EXPECT_EQ(ReopenedAfterEachWrite(binary, binaryValues), InOnePass(binary, binaryValues));
    EXPECT_EQ(InOnePass(binary, binaryValues).find("\n\n"), std::string::npos);

    // A line put behind the broken CRLF adds only the LF, in a CRLF file (no doubled CR) and in an
    // LF file alike; the lines that come after it follow the file's first line.
    const struct {
        std::string Seed;
        TProfileEntry Write;
        std::string Expected;
    } cases[] = {
        {"\r", {"S", "a", "1"}, "\r\n[S]\r\na=1\r\n"},
        {"[S]\r", {"S", "a", "1"}, "[S]\r\na=1\r\n"},
        {"[S]\r\na=1\r", {"S", "b", "2"}, "[S]\r\na=1\r\nb=2\r\n"},
        {"[S]\r\na=1\r", {"T", "b", "2"}, "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n"},
        {"[S]\na=1\r", {"S", "b", "2"}, "[S]\na=1\r\nb=2\n"},
        {"[S]\na=1\r", {"S", "a", "2"}, "[S]\na=2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InOnePass(c.Seed, {c.Write}), c.Expected) << "seed: " << c.Seed;
        const std::vector<TProfileEntry> twice = {c.Write, {"S", "z", "9"}, {"U", "z", "8"}};
        EXPECT_EQ(InOnePass(c.Seed, twice), ReopenedAfterEachWrite(c.Seed, twice))
            << "seed: " << c.Seed;
    }
}

TEST(ProfileFormat, AValueEndingInCrOnAnLfLineMakesACrlfLineInBothPaths) {
    // "v\r" then "\n" is a CRLF line end in the bytes, so replacing the value later keeps CRLF,
    // whether or not the file was read anew in between.
    const std::vector<TProfileEntry> entries = {
        {"S", "b", "v\r"}, {"S", "b", "w"},   {"S", "a", "x\r"},
        {"S", "a", "y"},   {"N", "k", "1\r"}, {"N", "k", "2"},
    };
    const std::string seed = "[S]\na=1\n";
    const std::string expected = "[S]\na=y\r\nb=w\r\n\n[N]\nk=2\r\n";
    EXPECT_EQ(InOnePass(seed, entries), expected);
    EXPECT_EQ(ReopenedAfterEachWrite(seed, entries), expected);
    const TProfileFile file(expected);
    EXPECT_EQ(file.ReadString("S", "b"), "w");
    EXPECT_EQ(file.ReadString("N", "k"), "2");

    // On a CRLF line the CR stays part of the value's bytes.
    EXPECT_EQ(InOnePass("[S]\r\na=1\r\n", {{"S", "a", "v\r"}, {"S", "b", "2"}}),
              "[S]\r\na=v\r\r\nb=2\r\n");
    EXPECT_EQ(ReopenedAfterEachWrite("[S]\r\na=1\r\n", {{"S", "a", "v\r"}, {"S", "a", "w"}}),
              InOnePass("[S]\r\na=1\r\n", {{"S", "a", "v\r"}, {"S", "a", "w"}}));
}

TEST(ProfileFormat, ValuesAreWrittenUnchanged) {
    TProfileFile file;
    const std::string bytes = "  \x01\x7f\x80\x9a\xfe\xff \"quoted\" 'x' ;not a comment = ";
    file.WriteString("S", "k", bytes);
    EXPECT_EQ(file.Text(), "[S]\nk=" + bytes + "\n");
    file.WriteString("S", "empty", "");
    EXPECT_EQ(file.Text(), "[S]\nk=" + bytes + "\nempty=\n");
}

TEST(ProfileFormat, IntegersAreDecimalOrHexAndAnythingElseIsMissing) {
    struct TCase {
        const char* Value;
        std::optional<std::int32_t> Expected;
    };
    const TCase cases[] = {
        {"12", 12},
        {"+7", 7},
        {"-3", -3},
        {"0", 0},
        {"-0", 0},
        {"00012", 12},
        {"0x1F", 31},
        {"0X10", 16},
        {"0xabcdef", 0xABCDEF},
        {"0x0000000000001", 1},
        {"0x7FFFFFFF", 2147483647},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"0x80000000", std::nullopt},
        {"0x100000000", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"1,5", std::nullopt},
        {"1 2", std::nullopt},
        {"- 5", std::nullopt},
        {"--5", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"0x", std::nullopt},
        {"0xG", std::nullopt},
        {"-0x10", std::nullopt},
        {"x10", std::nullopt},
        {"$10", std::nullopt},
        {"1e3", std::nullopt},
        {"\xd9\xa3", std::nullopt}, // ARABIC-INDIC DIGIT THREE
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseProfileInteger(c.Value), c.Expected) << '"' << c.Value << '"';
    }
}

TEST(ProfileFormat, ReadIntegerUsesTheDefaultForMissingAndForNonIntegers) {
    const TProfileFile file("[ComPort]\n"
                            "Cislo =  0x0C \r\n"
                            "Rychlost=4800 Bd\n"
                            "Program=\"3\"\n"
                            "Prazdny=\n");
    EXPECT_EQ(file.ReadInteger("ComPort", "Cislo", 2), 12);
    EXPECT_EQ(file.ReadInteger("ComPort", "Rychlost", 9600), 9600);
    EXPECT_EQ(file.ReadInteger("ComPort", "Program", 1), 3);
    EXPECT_EQ(file.ReadInteger("ComPort", "Prazdny", -4), -4);
    EXPECT_EQ(file.ReadInteger("ComPort", "Chybi", 77), 77);
    EXPECT_EQ(file.ReadInteger("Chybi", "Cislo", 78), 78);
}

TEST(ProfileFormat, NamesThatChangeTheStructureGiveWhatReopeningTheFileGives) {
    // Each of these writes produces bytes that read back differently from what was asked for. The
    // one-pass writer must still give the very bytes that writing the file one entry at a time
    // gives, because the export relies on both being the same.
    const std::vector<TProfileEntry> entries = {
        {"S", "a=b", "1"},
        {"S", "a=b", "2"},
        {"S", "a", "3"},
        {"T]x", "k", "4"},
        {"T", "k", "5"},
        {"T]x", "k", "6"},
        {"U", ";c", "7"},
        {"U", "[V]", "8"},
        {"V", "k", "9"},
        {"W", "k", "line\n[S]\na=10\n"},
        {"S", "a", "11"},
        {"W", "k2", "12"},
        {"Multi\nLine", "k", "13"},
        {"X", "", "14"},
        {"X", "", "15"},
        {" Y ", " key ", " 16 "},
        {"y", "KEY", "17"},
        {"Z", "k", "a\r"},
        {"Z", "k2", "\r\n"},
        {"Z", "k3", "b"},
    };
    // The last seed has sections behind the one written into, which a write's new structure
    // takes lines from.
    const std::string seeds[] = {"", "[S]\r\nq=0\r\n", "pre\n[W]\nk=0", "[]\n=\n[S",
                                 "pre\n[W]\nk=0\nk3=1\n\n[S]\nq=0\n[T]\nm=1\n[W]\nk2=2\n"};
    for (const auto& seed : seeds) {
        EXPECT_EQ(InOnePass(seed, entries), ReopenedAfterEachWrite(seed, entries))
            << "seed: " << seed;
    }
    // Taken anew from a blank last line on: the section before still takes its next key behind
    // its last entry.
    const std::vector<TProfileEntry> afterBlank = {{"T]x", "k", "4"}, {"A", "n", "5"}};
    EXPECT_EQ(InOnePass("[A]\nk=1\n\n", afterBlank),
              ReopenedAfterEachWrite("[A]\nk=1\n\n", afterBlank));
    const TProfileFile result(InOnePass("", entries));
    EXPECT_EQ(result.ReadString("S", "a"), "11");
    EXPECT_EQ(result.ReadString("T", "k"), "5");
    EXPECT_EQ(result.ReadString("Y", "key"), "17");
}

TEST(ProfileFormat, AfterAWriteThatAddsLinesTheFirstOfEachNameStillCounts) {
    // A value over several lines brings keys and sections that are already held, or new ones;
    // the file in memory must then read as its bytes read anew.
    struct TRow {
        const char* Seed;
        TProfileEntry Write;
    };
    const TRow rows[] = {
        {"[S]\nk=1\nm=2\n", {"S", "a", "x\nk=2\nn=3\nm=4"}},
        {"[S]\nk=1\n[T]\nk=5\n", {"S", "a", "x\n[T]\nk=6\n[S]\nk=7\nb=8"}},
        {"[S]\nK=1\n", {"S", "k", "9\nk=10\nz=11"}},
        {"[T]\nb=1\n[S]\nk=1\n", {"S", "a", "x\n[t]\nb=2\nc=3\n[U]\nb=4\nb=5"}},
    };
    const char* sections[] = {"S", "T", "U"};
    const char* keys[] = {"k", "m", "n", "a", "b", "c", "z"};
    for (const auto& row : rows) {
        TProfileFile file(row.Seed);
        file.WriteString(row.Write.Section, row.Write.Key, row.Write.Value);
        const TProfileFile anew(file.Text());
        for (const char* section : sections) {
            EXPECT_EQ(file.ReadSection(section), anew.ReadSection(section))
                << row.Seed << " [" << section << "]";
            for (const char* key : keys) {
                EXPECT_EQ(file.ReadString(section, key), anew.ReadString(section, key))
                    << row.Seed << " [" << section << "] " << key;
            }
        }
    }
    // What that means in the first row: the earlier lines keep their keys.
    TProfileFile first(rows[0].Seed);
    first.WriteString("S", "a", "x\nk=2\nn=3\nm=4");
    EXPECT_EQ(first.ReadString("S", "k"), "1");
    EXPECT_EQ(first.ReadString("S", "m"), "2");
    EXPECT_EQ(first.ReadString("S", "n"), "3");
}
