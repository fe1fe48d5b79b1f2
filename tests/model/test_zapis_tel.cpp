// The phone grid's rules and the phone write, through the window's logic with a fake window and a
// small device (LogikaRig.h); what both writers share is in test_zapis_bloku.cpp.

#include "LogikaRig.h"
#include "editace/Editace.h"
#include "operace/ZapisTelCisel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

using ::testing::ElementsAre;

class ZapisTel : public TZapisRig {
protected:
    ZapisTel() { Priprav(TDruhZapisu::Cisla); }

    std::string Bunka(int index) const {
        return fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, index + 1);
    }
    // The device holds `cislo` at index k and the program has read it.
    void Precteno(int k, const std::string& cislo) {
        NORLINKRec.TelCisla[static_cast<std::size_t>(k)] = cislo;
        NORLINKRecNew.TelCisla[static_cast<std::size_t>(k)] = cislo;
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, k + 1, cislo);
        std::fill_n(fPamet.begin() + 16 * k, 16, 0);
        std::copy(cislo.begin(), cislo.end(), fPamet.begin() + 16 * k);
    }
};

TEST(Editace, RemoveCharDropsEveryOccurrenceAndKeepsTheOrder) {
    EXPECT_EQ(RemoveChar(" 123 456  789 ", ' '), "123456789");
    EXPECT_EQ(RemoveChar("", ' '), "");
    EXPECT_EQ(RemoveChar("a.b.c", '.'), "abc");
}

TEST(Editace, KeyFilterPassesExactlyTheSixteenCodes) {
    std::set<char32_t> passed;
    for (char32_t code = 0; code < 0x3000; ++code) {
        char32_t key = code;
        Hg_PhoneNumbersKeyPress(key);
        if (key != 0) {
            EXPECT_EQ(key, code);
            passed.insert(code);
        }
    }
    EXPECT_EQ(passed, (std::set<char32_t>{8, 13, '$', '%', '\'', '.', '0', '1', '2', '3', '4', '5',
                                          '6', '7', '8', '9'}));
}

TEST_F(ZapisTel, CellRuleKeepsNineCharactersOrEmptyAndRefusesTheRest) {
    struct TRadek {
        const char* Zadano;
        const char* Zustane;
        bool Chyba;
    };
    // A refused entry leaves the number as it was.
    for (const TRadek& r :
         {TRadek{"123 456 789", "123456789", false}, TRadek{"12345678", "123456789", true},
          TRadek{"12345678.", "12345678.", false}, TRadek{"1234567890", "12345678.", true},
          TRadek{"   ", "", false}, TRadek{"12345678😀", "", true}}) {
        fOkno.Errors.clear();
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 3, r.Zadano);
        fLogika->Hg_PhoneNumbersCellEdited(1, 3);
        EXPECT_EQ(Bunka(2), r.Zustane) << r.Zadano;
        EXPECT_EQ(NORLINKRecNew.TelCisla[2], r.Zustane) << "the working number is the cell's";
        EXPECT_EQ(fOkno.Errors.size(), r.Chyba ? 1U : 0U) << r.Zadano;
        if (r.Chyba) {
            EXPECT_EQ(fOkno.Errors[0], "Zadejte platné telefonní číslo!");
        }
    }
    EXPECT_EQ(NORLINKRec.TelCisla[2], "") << "the device image stays as read";
}

TEST_F(ZapisTel, ExitRuleEmptiesOnlyTheWorkingNumbersOfEmptyCells) {
    NORLINKRecNew.TelCisla[4] = "111111111";
    NORLINKRecNew.TelCisla[5] = "222222222";
    fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 6, "333333333");
    fLogika->Hg_KomunikaceKeyDown(TMrizka::Hg_PhoneNumbers, 1, 5, k_VK_DELETE);
    EXPECT_EQ(Bunka(4), "");
    EXPECT_EQ(NORLINKRecNew.TelCisla[4], "111111111") << "Delete only empties the cell";
    fLogika->Hg_PhoneNumbersExit();
    EXPECT_EQ(NORLINKRecNew.TelCisla[4], "");
    EXPECT_EQ(NORLINKRecNew.TelCisla[5], "222222222") << "non-empty cells are not copied";
}

TEST_F(ZapisTel, EmptiedNumberFiveGivesOnePairAndIsVerified) {
    Precteno(5, "777888999");
    Precteno(6, "123");
    Napis(5, "");
    fLogika->Btn_ZapisTelCislaClick();

    ASSERT_EQ(Kom().PocetZaznamuFronty(), 1U);
    EXPECT_EQ(Kom().ZaznamFronty(0), (TZaznamFronty{MDM, PC, Zapis, ZAZNAM, 16, 0x0050,
                                                    std::vector<std::uint8_t>(16, 0)}));
    const auto cteni = Kom().CteniParu();
    ASSERT_TRUE(cteni);
    EXPECT_EQ(cteni->Akce, Cteni);
    EXPECT_EQ(cteni->Adresa, 0x0000);
    EXPECT_TRUE(Kom().Zapisuju());
    EXPECT_EQ(Kom().PocCyklu(), 0);
    EXPECT_EQ(fOkno.Info.Label, "Zápis telefonních čísel");
    EXPECT_EQ(fOkno.Info.Max, 1);
    EXPECT_TRUE(fOkno.Info.Shown);
    EXPECT_TRUE(fOkno.Info.PrerusitShown);

    ASSERT_TRUE(Krok()); // the pair: written, read-back answered
    EXPECT_FALSE(Kom().Zapisuju());
    ASSERT_EQ(Kom().PocetZaznamuFronty(), 1U) << "the written block is read back";
    EXPECT_EQ(Kom().ZaznamFronty(0)->Adresa, 0x0050);
    EXPECT_EQ(fOkno.Info.Label, "Ověřování zápisu telefonních čísel");
    DoKonce();
    EXPECT_FALSE(fLogika->BeziOperace());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_TRUE(fOkno.Errors.empty());
    EXPECT_EQ(fAdresyZapisu.size(), 1U);
    EXPECT_EQ(Blok(0x0050), (std::array<std::uint8_t, 16>{}));
    // Read back as written: the device image holds it now.
    EXPECT_EQ(NORLINKRec.TelCisla[5], "");
    EXPECT_EQ(Bunka(5), "");
    EXPECT_EQ(Bunka(6), "123") << "a short number read from the device is never written";
}

TEST_F(ZapisTel, ChangedNumbersGoInIndexOrderWithTheirNineBytes) {
    Napis(7, "765432109");
    Napis(2, "12345678.");
    const auto bloky = RozdilneTelCisla(NORLINKRec, NORLINKRecNew);
    ASSERT_EQ(bloky.size(), 2U);
    EXPECT_EQ(bloky[0].Adresa, 0x0020);
    EXPECT_EQ(bloky[1].Adresa, 0x0070);
    const std::array<std::uint8_t, 16> ocekavano{'1', '2', '3', '4', '5', '6', '7', '8', '.'};
    EXPECT_EQ(bloky[0].Data, ocekavano);

    fLogika->Btn_ZapisTelCislaClick();
    EXPECT_EQ(fOkno.Info.Max, 2);
    DoKonce();
    EXPECT_THAT(fAdresyZapisu, ElementsAre(0x0020, 0x0070));
    EXPECT_EQ(Blok(0x0020), ocekavano);

    // A number loaded from a file may be longer: all of it goes, up to 16 characters.
    NORLINKRecNew.TelCisla[9] = "+420123456789012";
    ASSERT_EQ(RozdilneTelCisla(NORLINKRec, NORLINKRecNew).size(), 1U) << "the others are written";
    const std::array<std::uint8_t, 16> dlouhe{'+', '4', '2', '0', '1', '2', '3', '4',
                                              '5', '6', '7', '8', '9', '0', '1', '2'};
    EXPECT_EQ(RozdilneTelCisla(NORLINKRec, NORLINKRecNew)[0].Data, dlouhe);
}

} // namespace
