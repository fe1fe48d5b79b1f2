// The expanders' and inputs' editing rules on the working image, with a fake window: cell and exit
// rules of both grids, the memos' exit rules, the stored length of a text, and the rules acting on
// the expander and input on display.

#include "FakeOkno.h"
#include "editace/EditaceExpanderu.h"
#include "test_nastaveni_locale.h"
#include "text/Cp1250.h"
#include "text/TextZpravy.h"

#include <gtest/gtest.h>

namespace {

class EditaceExpanderu : public ::testing::Test {
protected:
    EditaceExpanderu() {
        InicializujNORLINKRec(fRec);
        for (int i = 0; i < 3; ++i) {
            fOkno.AddItem(TSeznam::Cmb_Expander, "Expander " + std::to_string(i + 1));
        }
        for (int i = 0; i < 8; ++i) {
            fOkno.AddItem(TSeznam::Cmb_Vstup, "Vstup " + std::to_string(i + 1));
        }
        Vyber(1, 2);
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 1, "111111111"); // number 0 exists
    }
    void Vyber(int e, int v) {
        fOkno.SetItemIndex(TSeznam::Cmb_Expander, e);
        fOkno.SetItemIndex(TSeznam::Cmb_Vstup, v);
        fEditace.Cmb_ExpanderChange();
    }
    void Zadej(TMrizka grid, int col, int row, const std::string& text) {
        fOkno.SetCellText(grid, col, row, text);
        if (grid == TMrizka::Hg_Komunikace) {
            fEditace.Hg_KomunikaceCellEdited(col, row);
        } else {
            fEditace.Hg_VstupyCellEdited(col, row);
        }
    }

    TFakeOkno fOkno;
    TNORLINK fRec{};
    TEditaceExpanderu fEditace{fOkno, fOkno, fRec};
};

TEST_F(EditaceExpanderu, CellRuleConvertsAndClampsIntoTheSlotOfTheCellsColumn) {
    struct TRadek {
        const char* Zadano;
        const char* Bunka;
        std::uint8_t Slot;
        const char* Omezeni = ""; // what the cell says about a limited index
    };
    for (const TRadek& r :
         {TRadek{"99", "15", 15, "Odkaz může být 0 až 15: zadané 99 bylo změněno na 15."},
          TRadek{"0", "0", 0}, TRadek{"07", "7", 7}, TRadek{"3.9", "3", 3}, TRadek{"$", "0", 0},
          TRadek{"1 2", "12", 12}, TRadek{"1 6", "15", 15, "zadané 16 bylo"},
          TRadek{"15", "15", 15}, TRadek{"  ", "  ", 255}}) {
        fRec.TelCislaObnovaKom[1][4] = 9;
        fRec.TelCislaSepnuti[1][2][6] = 9;
        fOkno.Omezeno.clear();
        Zadej(TMrizka::Hg_Vstupy, 1, 7, r.Zadano);
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Vstupy, 1, 7), r.Bunka) << r.Zadano;
        EXPECT_EQ(fRec.TelCislaSepnuti[1][2][6], r.Slot) << r.Zadano;
        const auto omezeno = fOkno.Omezeno.find({TMrizka::Hg_Vstupy, 1, 7});
        if (*r.Omezeni == '\0') {
            EXPECT_EQ(omezeno, fOkno.Omezeno.end()) << r.Zadano;
        } else {
            ASSERT_NE(omezeno, fOkno.Omezeno.end()) << r.Zadano;
            EXPECT_NE(omezeno->second.find(r.Omezeni), std::string::npos) << omezeno->second;
        }
        if (r.Slot == 255 || r.Slot == 0) {
            Zadej(TMrizka::Hg_Komunikace, 2, 5, r.Zadano);
            EXPECT_EQ(fRec.TelCislaObnovaKom[1][4], r.Slot) << r.Zadano;
        }
    }
    EXPECT_EQ(fRec.TelCislaRozpojeni[1][2][6], 255) << "the other column is untouched";
    EXPECT_TRUE(fOkno.Errors.empty());
}

TEST(OdkazBunky, IndexOfARecipientCellAndWhatItSays) {
    struct TRadek {
        const char* Text;
        std::optional<int> Index;
    };
    for (const TRadek& r :
         {TRadek{"0", 0}, TRadek{"15", 15}, TRadek{" 1 2 ", 12}, TRadek{"16", {}}, TRadek{"", {}},
          TRadek{"  ", {}}, TRadek{"3.9", {}}, TRadek{"-1", {}}, TRadek{"007", {}}}) {
        EXPECT_EQ(OdkazBunky(r.Text), r.Index) << r.Text;
    }
    EXPECT_EQ(PopisOdkazu(3, "604123456"), "Tel. číslo 3: 604123456");
    EXPECT_EQ(PopisOdkazu(0, ""), "Tel. číslo 0 je prázdné: SMS z tohoto místa nikomu nepřijde.");
}

TEST_F(EditaceExpanderu, ReferenceToAnEmptyNumberIsRefusedOnlyForTheExpander) {
    fRec.TelCislaPoruchaKom[1][0] = 5;
    Zadej(TMrizka::Hg_Komunikace, 1, 1, "3");
    ASSERT_EQ(fOkno.Errors.size(), 1U);
    EXPECT_EQ(fOkno.Errors[0],
              "Odkaz na uvedené číslo je prázdný, zadejte nejdřív telefonní číslo!");
    EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Komunikace, 1, 1), "");
    EXPECT_EQ(fRec.TelCislaPoruchaKom[1][0], 5) << "left as it was until the grid is left";
    fEditace.Hg_KomunikaceExit();
    EXPECT_EQ(fRec.TelCislaPoruchaKom[1][0], 255);

    Zadej(TMrizka::Hg_Vstupy, 2, 1, "3");
    EXPECT_EQ(fRec.TelCislaRozpojeni[1][2][0], 3);
    EXPECT_EQ(fOkno.Errors.size(), 1U);
}

TEST_F(EditaceExpanderu, ExitRuleEmptiesSlotsOfEmptyCellsOnly) {
    fRec.TelCislaObnovaKom[1][3] = 0x20; // shown empty
    fRec.TelCislaPoruchaKom[1][8] = 4;
    fRec.TelCislaRozpojeni[1][2][15] = 7;
    Vyber(1, 2);
    EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Komunikace, 2, 4), "");
    EXPECT_EQ(fRec.TelCislaObnovaKom[1][3], 0x20) << "showing changes nothing";
    fOkno.SetCellText(TMrizka::Hg_Komunikace, 1, 9, ""); // Delete
    EXPECT_EQ(fRec.TelCislaPoruchaKom[1][8], 4);
    fEditace.Hg_KomunikaceExit();
    EXPECT_EQ(fRec.TelCislaObnovaKom[1][3], 255);
    EXPECT_EQ(fRec.TelCislaPoruchaKom[1][8], 255);
    EXPECT_EQ(fRec.TelCislaRozpojeni[1][2][15], 7) << "the other grid keeps its slots";
    fEditace.Hg_VstupyExit();
    EXPECT_EQ(fRec.TelCislaRozpojeni[1][2][15], 7) << "a cell with text is not read back";
}

TEST_F(EditaceExpanderu, MemoLeftUnchangedKeepsEveryByteItCameWith) {
    // 240 bytes, every value 1..254 among them, lone CR and LF included.
    std::string bytes;
    for (int i = 0; i < 240; ++i) {
        bytes += static_cast<char>(1 + i % 254);
    }
    bytes[238] = static_cast<char>(253);
    bytes[239] = static_cast<char>(254);
    fRec.ZpravaRozpojeni[1][2] = bytes;
    fRec.ZpravaPorucha[1] = std::string(200, 'x');
    Vyber(1, 2);
    EXPECT_EQ(fOkno.MemoText(TMemo::Mem_Rozpojeni), Cp1250DoUtf8(bytes));
    fEditace.MemoExit(TMemo::Mem_Rozpojeni);
    EXPECT_EQ(fRec.ZpravaRozpojeni[1][2].View(), bytes);

    fOkno.SetMemoText(TMemo::Mem_Porucha, std::string(250, 'y'));
    fEditace.MemoExit(TMemo::Mem_Porucha);
    EXPECT_EQ(fRec.ZpravaPorucha[1].View(), std::string(240, 'y')) << "the first 240 are kept";
}

TEST_F(EditaceExpanderu, EditedMemoIsStoredAsDeviceBytesWithCrLf) {
    fOkno.SetMemoText(TMemo::Mem_Sepnuti, "Požár\nhala č. 2");
    fEditace.MemoExit(TMemo::Mem_Sepnuti);
    EXPECT_EQ(fRec.ZpravaSepnuti[1][2].View(), "Po\x9E\xE1r\r\nhala \xE8. 2");

    fOkno.SetMemoText(TMemo::Mem_Obnova, "kouř 😀");
    fEditace.MemoExit(TMemo::Mem_Obnova);
    ASSERT_EQ(fOkno.Errors.size(), 1U) << "a character without a byte is never dropped silently";
    EXPECT_EQ(fRec.ZpravaObnova[1].View(), "");
}

TEST_F(EditaceExpanderu, RulesActOnTheExpanderAndInputOnDisplay) {
    // The list moves (mouse wheel) while the memo still holds what was typed for expander 2.
    fOkno.SetMemoText(TMemo::Mem_Porucha, "pro dvojku");
    fOkno.SetCellText(TMrizka::Hg_Vstupy, 1, 1, "0");
    fOkno.SetItemIndex(TSeznam::Cmb_Expander, 2);
    fOkno.SetItemIndex(TSeznam::Cmb_Vstup, 5);
    fEditace.MemoExit(TMemo::Mem_Porucha);
    fEditace.Hg_VstupyCellEdited(1, 1);
    EXPECT_EQ(fRec.ZpravaPorucha[1].View(), "pro dvojku");
    EXPECT_EQ(fRec.TelCislaSepnuti[1][2][0], 0);
    EXPECT_EQ(fRec.ZpravaPorucha[2].View(), "");
    EXPECT_EQ(fRec.TelCislaSepnuti[2][5][0], 255);

    fEditace.Cmb_ExpanderChange();
    EXPECT_EQ(fEditace.Expander(), 2);
    EXPECT_EQ(fEditace.Vstup(), 5);
    EXPECT_EQ(fOkno.MemoText(TMemo::Mem_Porucha), "");
}

TEST_F(EditaceExpanderu, DecimalCommaOfTheUsersLocale) {
    TCommaLocale comma;
    ASSERT_TRUE(comma.Active());
    Zadej(TMrizka::Hg_Vstupy, 1, 2, "3,9");
    EXPECT_EQ(fRec.TelCislaSepnuti[1][2][1], 3);
    Zadej(TMrizka::Hg_Vstupy, 1, 2, "3.9");
    EXPECT_EQ(fRec.TelCislaSepnuti[1][2][1], 0) << "a full stop is no number here";
}

TEST(TextZpravy, StoredLengthCountsALineBreakAsTwo) {
    struct TRadek {
        const char* Text;
        std::size_t Delka;
    };
    for (const TRadek& r : {TRadek{"", 0}, TRadek{"abc", 3}, TRadek{"a\nb", 4}, TRadek{"a\r\nb", 4},
                            TRadek{"a\rb", 4}, TRadek{"čšž", 3}}) {
        EXPECT_EQ(UlozenaDelka(r.Text), r.Delka) << r.Text;
    }
    // A cut never splits a line break.
    EXPECT_EQ(TextDoZpravy("ab\ncd", 3), "ab");
    EXPECT_EQ(TextDoZpravy("ab\ncd", 4), "ab\r\n");
    EXPECT_FALSE(TextDoZpravy("😀", 240).has_value());
    EXPECT_TRUE(LzeUlozit("Příliš žluťoučký kůň"));
    EXPECT_FALSE(LzeUlozit("日本"));
}

} // namespace
