// The one-pass writer used by the export gives the very bytes that writing the entries one by one
// gives.

#include "soubory/ProfileFile.h"
#include "test_profile_scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Key(const char* format, int a, int b = 0, int c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// Entries shaped like an export: interleaved sections, numbers, empty values, multi-line texts, and
// when asked a text whose second line looks like a section header of the same file.
std::vector<TProfileEntry> ExportLikeEntries(int expanders, int inputs, bool fakeHeader = true) {
    std::vector<TProfileEntry> entries;
    for (int i = 0; i < 16; ++i) {
        entries.push_back(
            {"Tel. cisla", Key("Cislo %.2d", i), i % 3 == 0 ? "" : "60012345" + Key("%d", i)});
    }
    for (int e = 0; e < expanders; ++e) {
        for (int k = 0; k < 16; ++k) {
            entries.push_back(
                {"Porucha komunikace", Key("Expander %.2d pozice %.2d", e, k), "255"});
            entries.push_back(
                {"Obnova komunikace", Key("Expander %.2d pozice %.2d", e, k), Key("%d", k)});
        }
    }
    for (int e = 0; e < expanders; ++e) {
        entries.push_back(
            {"Zprava porucha", Key("Pozice %.2d", e), "Porucha\r\nexpanderu " + Key("%d", e)});
        entries.push_back({"Zprava obnova", Key("Pozice %.2d", e),
                           e == 1 && fakeHeader ? "konec\n[Cisla sepnuti]\nx=1" : ""});
    }
    for (int e = 0; e < expanders; ++e) {
        for (int v = 0; v < inputs; ++v) {
            for (int k = 0; k < 16; ++k) {
                const std::string key = Key("Expander %.2d vstup %.2d pozice %.2d", e, v, k);
                entries.push_back({"Cisla sepnuti", key, Key("%d", (e + v + k) % 17)});
                entries.push_back({"Cisla rozpojeni", key, "255"});
            }
        }
    }
    for (int e = 0; e < expanders; ++e) {
        for (int v = 0; v < inputs; ++v) {
            const std::string key = Key("Expander %.2d pozice %.2d", e, v);
            entries.push_back({"Zprava sepnuti", key, "Sepnuti\n" + key + "\n"});
            entries.push_back(
                {"Zprava rozpojeni", key, std::string(240, static_cast<char>('A' + v))});
        }
    }
    return entries;
}

} // namespace

TEST(ProfileBulk, OnePassAndOneByOneGiveIdenticalFiles) {
    TScratchDir dir;
    // Every write of the one-by-one path reaches the disk, so the file run is kept small; the same
    // comparison at a larger size runs in memory below.
    const auto entries = ExportLikeEntries(1, 2);
    for (const auto& entry : entries) {
        WriteProfileString(dir / "one-by-one.log", entry.Section, entry.Key, entry.Value);
    }
    WriteProfileStrings(dir / "one-pass.log", entries);
    const std::string expected = ReadFileBytes(dir / "one-by-one.log");
    EXPECT_EQ(ReadFileBytes(dir / "one-pass.log"), expected);

    // Spot checks of the shape.
    EXPECT_EQ(expected.rfind("[Tel. cisla]\nCislo 00=\nCislo 01=600123451\n", 0), 0u);
    EXPECT_NE(expected.find("\n\n[Porucha komunikace]\nExpander 00 pozice 00=255\n"),
              std::string::npos);
    EXPECT_NE(expected.find("\n[Zprava porucha]\nPozice 00=Porucha\r\nexpanderu 0\n\n"),
              std::string::npos);
    const TProfileFile file(expected);
    EXPECT_EQ(file.ReadString("Obnova komunikace", "Expander 00 pozice 15"), "15");
    EXPECT_EQ(file.ReadString("Zprava rozpojeni", "Expander 00 pozice 01"), std::string(240, 'B'));
}

TEST(ProfileBulk, InterleavedSectionsMatchReopeningAfterEveryEntry) {
    const auto entries = ExportLikeEntries(3, 3);
    TProfileFile onePass;
    std::string reopened;
    for (const auto& entry : entries) {
        onePass.WriteString(entry.Section, entry.Key, entry.Value);
        TProfileFile file(reopened);
        file.WriteString(entry.Section, entry.Key, entry.Value);
        reopened = file.Text();
    }
    EXPECT_EQ(onePass.Text(), reopened);
    // The header hidden in a text opened "Cisla sepnuti" early: later "Zprava obnova" entries stop
    // in front of it and the "Cisla sepnuti" entries follow it, in both paths alike.
    EXPECT_NE(reopened.find("Pozice 01=konec\nPozice 02=\n[Cisla sepnuti]\nx=1\n"
                            "Expander 00 vstup 00 pozice 00=0\n"),
              std::string::npos);
}

TEST(ProfileBulk, FullExportInOnePassHoldsEveryEntryInSectionOrder) {
    const auto entries = ExportLikeEntries(8, 8, false);
    ASSERT_EQ(entries.size(), 2464u);
    TProfileFile onePass;
    for (const auto& entry : entries) {
        onePass.WriteString(entry.Section, entry.Key, entry.Value);
    }
    const TProfileFile file(onePass.Text());
    for (const auto& entry : entries) {
        // A value that continues on further lines reads back as its first line.
        const std::string firstLine = entry.Value.substr(0, entry.Value.find_first_of("\r\n"));
        ASSERT_EQ(file.ReadString(entry.Section, entry.Key), firstLine)
            << entry.Section << " / " << entry.Key;
    }
    const std::pair<const char*, std::size_t> sections[] = {
        {"Tel. cisla", 16},        {"Porucha komunikace", 128}, {"Obnova komunikace", 128},
        {"Zprava porucha", 8},     {"Zprava obnova", 8},        {"Cisla sepnuti", 1024},
        {"Cisla rozpojeni", 1024}, {"Zprava sepnuti", 64},      {"Zprava rozpojeni", 64}};
    const std::string text = onePass.Text();
    std::size_t at = 0;
    for (const auto& [section, count] : sections) {
        EXPECT_EQ(file.ReadSection(section).size(), count) << section;
        const std::string header = std::string("[") + section + "]\n";
        const auto found = text.find(header, at);
        ASSERT_NE(found, std::string::npos) << section;
        EXPECT_TRUE(found == 0 || text.compare(found - 2, 2, "\n\n") == 0) << section;
        at = found + header.size();
    }
}

TEST(ProfileBulk, OnePassIntoAnExistingFileKeepsItsContents) {
    TScratchDir dir;
    const std::string seed = "; kept\r\n[Zprava obnova]\r\nPozice 00=old\r\nother=1\r\n";
    WriteFileBytes(dir / "a.log", seed);
    WriteFileBytes(dir / "b.log", seed);
    const auto entries = ExportLikeEntries(1, 1);
    for (const auto& entry : entries) {
        WriteProfileString(dir / "a.log", entry.Section, entry.Key, entry.Value);
    }
    WriteProfileStrings(dir / "b.log", entries);
    const std::string expected = ReadFileBytes(dir / "a.log");
    EXPECT_EQ(ReadFileBytes(dir / "b.log"), expected);
    EXPECT_EQ(expected.rfind("; kept\r\n[Zprava obnova]\r\nPozice 00=\r\nother=1\r\n", 0), 0u);
}

TEST(ProfileBulk, FailedOnePassWriteThrowsAndCreatesNothing) {
    TScratchDir dir;
    const std::string path = dir / "nastaveni.log";
    std::filesystem::create_directory(path);
    const auto entries = ExportLikeEntries(1, 1);
    EXPECT_THROW(WriteProfileStrings(path, entries), EProfileWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}
