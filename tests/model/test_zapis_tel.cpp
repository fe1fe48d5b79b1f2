// The phone grid's rules and the verified phone write, through the window's logic with a fake
// window and a small device that answers the queue as the link would: a write pair's write goes
// into its memory (unless the test loses it), the read-back and every read answer from memory.

#include "FakeOkno.h"
#include "FakeSerialPort.h"
#include "ScratchDir.h"
#include "editace/Editace.h"
#include "okno/MainLogika.h"
#include "operace/ZapisTelCisel.h"
#include "stav/promenne.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ZapisTel : public ::testing::Test {
protected:
    ZapisTel() {
        ClearImage(NORLINKRec);
        ClearImage(NORLINKRecNew);
        TMainZavislosti deps;
        const std::string dir = fScratch.path().string() + "/";
        deps.SlozkaProgramu = [dir] { return dir; };
        deps.VytvorCasovac = [] { return std::make_unique<TManualTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        fLogika = std::make_unique<TMainLogika>(fOkno, std::move(deps));
        fLogika->FormCreate();
        fPamet.fill(0xFF);
        // The numbers are read first, as the window requires: the write sends only known data.
        fLogika->Btn_NactiTelCislaClick();
        DoKonce();
    }
    ~ZapisTel() override {
        fLogika.reset();
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
    }

    TKomunikace& Kom() { return *fLogika->Link(); }
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
    std::array<std::uint8_t, 16> Blok(std::uint16_t adresa) const {
        std::array<std::uint8_t, 16> blok{};
        std::copy_n(fPamet.begin() + adresa, 16, blok.begin());
        return blok;
    }
    void Odpovez(const TZaznamFronty& dotaz) {
        THlavickaTLG hlavicka;
        hlavicka.Adresa = dotaz.Adresa;
        hlavicka.DelkaDat = 16;
        const auto blok = Blok(dotaz.Adresa);
        if (dotaz.TypPameti == HWSW) {
            fLogika->Relace()->DekodTLGHWSW(hlavicka, blok);
        } else {
            fLogika->Relace()->DekodTLGZaznam(hlavicka, blok);
        }
    }
    // The technician types a number into the grid (index k).
    void Napis(int k, const std::string& text) {
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, k + 1, text);
        fLogika->Hg_PhoneNumbersCellEdited(1, k + 1);
    }
    // One polling cycle: during a write phase the pair's write, then its read-back; else the head.
    bool Krok() {
        if (Kom().PocetZaznamuFronty() == 0) {
            return false;
        }
        if (Kom().Zapisuju()) {
            const auto zapis = Kom().ZaznamFronty(0);
            const auto cteni = Kom().CteniParu();
            EXPECT_TRUE(zapis && cteni);
            EXPECT_EQ(zapis->Akce, Zapis);
            ++fZapisu;
            fAdresyZapisu.push_back(zapis->Adresa);
            if (fZtratZapisu > 0) {
                --fZtratZapisu;
            } else if (!fZaseknute.contains(zapis->Adresa)) {
                std::copy(zapis->Data.begin(), zapis->Data.end(), fPamet.begin() + zapis->Adresa);
            }
            Odpovez(*cteni);
        } else {
            Odpovez(*Kom().ZaznamFronty(0));
        }
        return true;
    }
    void DoKonce() {
        for (int i = 0; i < 500 && Krok(); ++i) {
        }
        fOkno.RunPlanned();
    }

    TScratchDir fScratch{"norlink-zapis"};
    TFakeOkno fOkno;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::unique_ptr<TMainLogika> fLogika;
    std::array<std::uint8_t, 65536> fPamet{};
    int fZtratZapisu = 0;
    std::set<std::uint16_t> fZaseknute; // blocks the device never takes
    int fZapisu = 0;
    std::vector<std::uint16_t> fAdresyZapisu;
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
    EXPECT_EQ(fZapisu, 1);
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

TEST_F(ZapisTel, NothingToWriteDoesNothingVisible) {
    Precteno(0, "123456789");
    fLogika->Btn_ZapisTelCislaClick();
    EXPECT_FALSE(fLogika->BeziOperace());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
    EXPECT_FALSE(Kom().Zapisuju());
    EXPECT_TRUE(fOkno.Errors.empty());
}

// A lost write is found by the read-back and written again; a block the device never takes is
// written three times and then named.
TEST_F(ZapisTel, LostWritesAreRepeatedAndWhatNeverArrivesIsNamed) {
    struct TRadek {
        int Ztrat;
        std::set<std::uint16_t> Zaseknute;
        int Zapisu;
        const char* Chyba; // nullptr: none
    };
    for (const TRadek& r : {TRadek{1, {}, 3, nullptr}, TRadek{3, {}, 5, nullptr},
                            TRadek{0, {0x0020}, 4, "2"}, TRadek{0, {0x0020, 0x0070}, 6, "2, 7"}}) {
        SCOPED_TRACE(r.Zapisu);
        fZapisu = 0;
        fZtratZapisu = r.Ztrat;
        fZaseknute = r.Zaseknute;
        fOkno.Errors.clear();
        // Each round starts from a device without the two numbers.
        NORLINKRec.TelCisla[2].Clear();
        NORLINKRec.TelCisla[7].Clear();
        Napis(2, "111222333");
        Napis(7, "444555666");
        std::fill_n(fPamet.begin(), 0x100, 0xFF);
        fLogika->Btn_ZapisTelCislaClick();
        DoKonce();
        EXPECT_FALSE(fLogika->BeziOperace());
        EXPECT_EQ(fZapisu, r.Zapisu);
        if (r.Chyba == nullptr) {
            EXPECT_TRUE(fOkno.Errors.empty());
            EXPECT_EQ(Blok(0x0070)[0], '4');
        } else {
            ASSERT_EQ(fOkno.Errors.size(), 1U);
            EXPECT_THAT(fOkno.Errors[0], HasSubstr(std::string("zapsat: ") + r.Chyba + "."));
        }
        EXPECT_FALSE(fOkno.Info.Shown);
    }
}

TEST_F(ZapisTel, AnAnswerForAnotherAddressCompletesNoPair) {
    Napis(2, "111222333");
    fLogika->Btn_ZapisTelCislaClick();
    Odpovez(TZaznamFronty{MDM, PC, Cteni, ZAZNAM, 16, 0x0110, {}});
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 1U);
    EXPECT_EQ(fOkno.Info.Position, 0);
    EXPECT_TRUE(Kom().Zapisuju());
}

TEST_F(ZapisTel, CancelInTheWriteAndInTheReadBackEndsAtOnceClaimingNothing) {
    for (const int kroku : {0, 1}) {
        Napis(2, "111222333");
        Napis(3, "444555666");
        fLogika->Btn_ZapisTelCislaClick();
        for (int i = 0; i < kroku; ++i) {
            Krok();
        }
        fOkno.Info.ClickPrerusit();
        EXPECT_FALSE(fLogika->BeziOperace());
        EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
        EXPECT_FALSE(Kom().Zapisuju());
        EXPECT_FALSE(fOkno.Info.Shown);
        EXPECT_TRUE(fOkno.Errors.empty());
        EXPECT_TRUE(fOkno.Enabled(TOvladac::Btn_NactiTelCisla));
    }
}

} // namespace
