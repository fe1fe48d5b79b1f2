// The phone grid's rules through the window's logic (LogikaRig.h), and the numbers the phone write
// sends, in a session with the small device (OperaceRig.h); the rest is in test_zapis_bloku.cpp.

#include "LogikaRig.h"
#include "editace/Editace.h"
#include "operace/ZapisTelCisel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class ZapisTel : public TLogikaRig {
protected:
    ZapisTel() { Spust(); }
};

using ZapisTelCisel = TOperaceRig;

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
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, 3), r.Zustane) << r.Zadano;
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
    EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, 5), "");
    EXPECT_EQ(NORLINKRecNew.TelCisla[4], "111111111") << "Delete only empties the cell";
    fLogika->Hg_PhoneNumbersExit();
    EXPECT_EQ(NORLINKRecNew.TelCisla[4], "");
    EXPECT_EQ(NORLINKRecNew.TelCisla[5], "222222222") << "non-empty cells are not copied";
}

TEST_F(ZapisTelCisel, ChangedNumbersGoInIndexOrderWithTheirBytes) {
    NORLINKRecNew.TelCisla[7] = "765432109";
    NORLINKRecNew.TelCisla[2] = "12345678.";
    // A number loaded from a file may be longer: all of it goes, up to 16 characters.
    NORLINKRecNew.TelCisla[9] = "+420123456789012";
    const auto bloky = RozdilneTelCisla(NORLINKRec, NORLINKRecNew);
    ASSERT_EQ(bloky.size(), 3U);
    EXPECT_EQ(bloky[0].Adresa, 0x0020);
    EXPECT_EQ(bloky[1].Adresa, 0x0070);
    const std::array<std::uint8_t, 16> ocekavano{'1', '2', '3', '4', '5', '6', '7', '8', '.'};
    EXPECT_EQ(bloky[0].Data, ocekavano);
    const std::array<std::uint8_t, 16> dlouhe{'+', '4', '2', '0', '1', '2', '3', '4',
                                              '5', '6', '7', '8', '9', '0', '1', '2'};
    EXPECT_EQ(bloky[2].Data, dlouhe);

    ASSERT_EQ(Spust<TZapisTelCisel>(), TSpusteni::Zahajena);
    EXPECT_EQ(fOkno.Info.Max, 3);
    DoKonce();
    EXPECT_THAT(fAdresyZapisu, ElementsAre(0x0020, 0x0070, 0x0090));
    EXPECT_THAT(Data({ZAZNAM, 0x0020}), ElementsAreArray(ocekavano));
    EXPECT_THAT(Data({ZAZNAM, 0x0090}), ElementsAreArray(dlouhe));
}

} // namespace
