// The settings write's blocks, a write through the window's logic (LogikaRig.h) of what no read
// reaches, and the export; the write itself is in test_zapis_bloku.cpp.

#include "LogikaRig.h"
#include "operace/RozdilyNastaveni.h"
#include "soubory/Export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<std::uint16_t> Adresy(const std::vector<TBlokNastaveni>& bloky) {
    std::vector<std::uint16_t> out;
    for (const auto& b : bloky) {
        out.push_back(b.Adresa);
    }
    return out;
}

TEST(RozdilneBloky, SectionsInTheirOrderOnlyChangedItemsOnlyTheFirstNExpanders) {
    TNORLINK rec{};
    InicializujNORLINKRec(rec);
    TNORLINK nove = rec;
    EXPECT_TRUE(RozdilneBloky(rec, nove, 8).empty());

    nove.TelCislaPoruchaKom[1][3] = 4;
    auto bloky = RozdilneBloky(rec, nove, 2);
    ASSERT_THAT(Adresy(bloky), ElementsAre(0x0300));
    std::array<std::uint8_t, 16> ocekavano;
    ocekavano.fill(255);
    ocekavano[3] = 4;
    EXPECT_EQ(bloky[0].Data, ocekavano);
    EXPECT_EQ(bloky[0].Popis, "expander 2: čísla pro poruchu komunikace");
    EXPECT_TRUE(RozdilneBloky(rec, nove, 1).empty()) << "expander 2 is not written with N = 1";

    // Edited in the other order; the sections decide: switch-on lists before disconnect lists.
    nove = rec;
    nove.TelCislaRozpojeni[0][4][0] = 1;
    nove.TelCislaSepnuti[1][2][0] = 1;
    EXPECT_THAT(Adresy(RozdilneBloky(rec, nove, 2)), ElementsAre(0x2500, 0x1A00));

    nove = rec;
    nove.ZpravaPorucha[0] = "A";
    nove.TelCislaObnovaKom[0][0] = 2;
    nove.TelCislaPoruchaKom[0][0] = 2;
    bloky = RozdilneBloky(rec, nove, 1);
    ASSERT_EQ(bloky.size(), 17U);
    EXPECT_EQ(bloky[0].Adresa, 0x0100);
    EXPECT_EQ(bloky[1].Adresa, 0x0200);
    for (std::size_t p = 0; p < 15; ++p) {
        EXPECT_EQ(bloky[2 + p].Adresa, 0x0110 + 16 * p);
        std::array<std::uint8_t, 16> text{};
        if (p == 0) {
            text[0] = 'A';
        }
        EXPECT_EQ(bloky[2 + p].Data, text) << p;
    }

    nove = rec;
    nove.ZpravaRozpojeni[7][7] = std::string(240, 'z');
    bloky = RozdilneBloky(rec, nove, 8);
    ASSERT_EQ(bloky.size(), 15U);
    EXPECT_EQ(bloky.back().Adresa, 0x90F0) << "input 8 of expander 8 ends at 0x90FF";
    EXPECT_EQ(bloky.back().Popis, "expander 8, vstup 8: text rozpojení");
}

class ZapisNastaveni : public TLogikaRig {
protected:
    ZapisNastaveni() { Spust(); }
};

// A whole text typed is known though no read reaches it, so the window writes it.
TEST_F(ZapisNastaveni, BlocksAboveTheReadWindowsAreWrittenAndVerified) {
    fOkno.SetPocetExpanderu(8);
    fLogika->SEdt_PocetExpanderuChange();
    fLogika->Btn_NactiExpanderyClick();
    DoKonce();
    fJenPary = true;
    NORLINKRecNew.TelCislaSepnuti[6][7][0] = 2; // 0x7F00, the last block a read reaches
    // 0x9010..0x90F0: never read.
    fOkno.SetItemIndex(TSeznam::Cmb_Expander, 7);
    fOkno.SetItemIndex(TSeznam::Cmb_Vstup, 7);
    fLogika->Cmb_ExpanderChange();
    fOkno.SetMemoText(TMemo::Mem_Rozpojeni, "konec");
    fLogika->MemoExit(TMemo::Mem_Rozpojeni);
    fLogika->Btn_ZapisNastaveniClick();
    EXPECT_EQ(fOkno.Info.Max, 16);
    DoKonce();
    EXPECT_FALSE(fLogika->BeziOperace()) << "no block waits for an answer nobody counts";
    EXPECT_TRUE(fOkno.Errors.empty());
    EXPECT_EQ(fPamet[0x7F00], 2);
    EXPECT_EQ(fPamet[0x9010], 'k');
    EXPECT_EQ(fPamet[0x90FF], 0);
}

TEST(Export, EntriesInTheirOrderWithKeysOfTwoDigits) {
    TNORLINK image{};
    InicializujNORLINKRec(image);
    image.TelCisla[3] = "";
    image.TelCisla[4] = "123456789";
    image.ZpravaPorucha[1] = "dva\r\nradky";
    image.TelCislaSepnuti[7][6][15] = 9;
    const auto entries = ExportniZaznamy(image);
    ASSERT_EQ(entries.size(), 2464U);
    const auto at = [&](std::size_t i) {
        return entries[i].Section + "|" + entries[i].Key + "|" + entries[i].Value;
    };
    EXPECT_EQ(at(3), "Tel. cisla|Cislo 03|");
    EXPECT_EQ(at(4), "Tel. cisla|Cislo 04|123456789");
    EXPECT_EQ(at(16), "Porucha komunikace|Expander 00 pozice 00|255");
    EXPECT_EQ(at(17), "Obnova komunikace|Expander 00 pozice 00|255");
    EXPECT_EQ(at(16 + 256 + 2), "Zprava porucha|Pozice 01|dva\r\nradky");
    EXPECT_EQ(at(288 + 2 * (7 * 128 + 6 * 16 + 15)),
              "Cisla sepnuti|Expander 07 vstup 06 pozice 15|9");
    EXPECT_EQ(at(2463), "Zprava rozpojeni|Expander 07 pozice 07|");
}

TEST(Export, TwoExportsInOneMillisecondGetTwoFiles) {
    TScratchDir dir("norlink-export");
    const std::string folder = dir.path().string() + "/";
    TNORLINK image{};
    const std::string first = NazevExportu(folder, "20261209101010005");
    EXPECT_EQ(first, folder + "nastaveni20261209101010005.log");
    UlozNastaveni(first, image);
    const std::string second = NazevExportu(folder, "20261209101010005");
    EXPECT_NE(second, first);
    UlozNastaveni(second, image);
    EXPECT_EQ(Soubor(first), Soubor(second));
    EXPECT_THAT(Soubor(first), HasSubstr("[Tel. cisla]\nCislo 00=\n"));
}

TEST_F(ZapisNastaveni, ExportShowsWhereItWentOrWhyItFailed) {
    fLogika->cmUlozNastaveniClick();
    ASSERT_EQ(fOkno.Messages.size(), 1U);
    EXPECT_EQ(fOkno.Messages[0].Text, "Soubor byl uložen na disk");
    const fs::path saved = fOkno.Messages[0].Detail;
    EXPECT_EQ(saved.parent_path(), fDir);
    EXPECT_THAT(saved.filename().string(), ::testing::StartsWith("nastaveni"));
    EXPECT_THAT(Soubor(saved), HasSubstr("[Zprava rozpojeni]"));

    // A folder that is not there stops even root; nothing is left that looks like an export.
    const auto pred = std::distance(fs::directory_iterator(fDir), fs::directory_iterator());
    InstDir = (fDir / "neni").string() + "/";
    fLogika->cmUlozNastaveniClick();
    ASSERT_EQ(fOkno.Errors.size(), 1U);
    EXPECT_THAT(fOkno.Errors[0], HasSubstr("Unable to write to " + InstDir));
    EXPECT_EQ(std::distance(fs::directory_iterator(fDir), fs::directory_iterator()), pred);
    EXPECT_EQ(fOkno.Messages.size(), 1U);
}

} // namespace
