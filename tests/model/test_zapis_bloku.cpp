// The phone write and the settings write, run against both in a session with the small device
// (OperaceRig.h): one changed block, nothing to write, answers that are not the pair's, the
// cancel, and lost or refused writes.

#include "OperaceRig.h"
#include "operace/ZapisNastaveni.h"
#include "operace/ZapisTelCisel.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

enum class TDruhZapisu : std::uint8_t { Cisla, Nastaveni };
void PrintTo(TDruhZapisu druh, std::ostream* os) {
    *os << (druh == TDruhZapisu::Cisla ? "Cisla" : "Nastaveni");
}

// A block a test changed and the first byte the write should put there.
struct TZmena {
    std::uint16_t Adresa = 0;
    std::uint8_t Prvni = 0;
};

class TZapisRig : public TOperaceRig {
protected:
    // Two blocks differ from a device that holds neither.
    std::array<TZmena, 2> ZmenDva(TDruhZapisu druh) {
        if (druh == TDruhZapisu::Cisla) {
            NORLINKRecNew.TelCisla[2] = "111222333";
            NORLINKRecNew.TelCisla[7] = "444555666";
            return {TZmena{0x0020, '1'}, TZmena{0x0070, '4'}};
        }
        // The failure list and the switch-on list of input 2 of expander 1.
        fJenPary = true;
        NORLINKRecNew.TelCislaPoruchaKom[0][0] = 1;
        NORLINKRecNew.TelCislaSepnuti[0][1][0] = 1;
        return {TZmena{0x0100, 1}, TZmena{0x1300, 1}};
    }
    TSpusteni Zapisuj(TDruhZapisu druh) {
        return druh == TDruhZapisu::Cisla ? Spust<TZapisTelCisel>() : Spust<TZapisNastaveni>(2);
    }
};

class ZapisBloku : public TZapisRig, public ::testing::WithParamInterface<TDruhZapisu> {};

INSTANTIATE_TEST_SUITE_P(Zapisovace, ZapisBloku,
                         ::testing::Values(TDruhZapisu::Cisla, TDruhZapisu::Nastaveni),
                         ::testing::PrintToStringParamName());

// Nothing to write starts nothing. One changed block is one pair at its block: the phone write
// reads number 0's entry back and compares in a verification round of its own, the settings write
// compares the block's own read-back at once.
TEST_P(ZapisBloku, NothingToWriteStartsNothingAndOneChangedBlockIsOneVerifiedPair) {
    const bool cisla = GetParam() == TDruhZapisu::Cisla;
    const std::uint16_t adresa = cisla ? 0x0050 : 0x0300;
    TBajty data(16, cisla ? 0 : 0xFF);
    EXPECT_EQ(Zapisuj(GetParam()), TSpusteni::NeniCoDelat) << "nothing to write yet";
    EXPECT_FALSE(fKonec);
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_FALSE(Kom().Zapisuju());
    if (cisla) {
        NORLINKRec.TelCisla[5] = "777888999"; // emptied in the grid
        // Short as read from the device: unchanged, so never written.
        NORLINKRec.TelCisla[6] = "123";
        NORLINKRecNew.TelCisla[6] = "123";
    } else {
        fJenPary = true;
        NORLINKRecNew.TelCislaPoruchaKom[1][0] = 3; // expander 2
        data[0] = 3;
    }
    ASSERT_EQ(Zapisuj(GetParam()), TSpusteni::Zahajena);
    ASSERT_EQ(Kom().PocetZaznamuFronty(), 1U);
    EXPECT_EQ(Kom().ZaznamFronty(0), (TZaznamFronty{MDM, PC, Zapis, ZAZNAM, 16, adresa, data}));
    EXPECT_EQ(Kom().CteniParu()->Adresa, cisla ? 0x0000 : adresa);
    EXPECT_TRUE(Kom().Zapisuju());
    EXPECT_EQ(Kom().PocCyklu(), 0);
    EXPECT_EQ(fOkno.Info.Label, cisla ? R_ZapisTelCisel : R_ZapisNastaveni);
    EXPECT_EQ(fOkno.Info.Max, 1);
    EXPECT_TRUE(fOkno.Info.Shown && fOkno.Info.PrerusitShown);
    EXPECT_FALSE(fOkno.Enabled(TOvladac::Btn_NactiTelCisla)) << "one operation at a time";

    ASSERT_TRUE(Krok()); // the pair: written, read-back answered
    EXPECT_FALSE(Kom().Zapisuju());
    if (cisla) {
        ASSERT_EQ(Kom().PocetZaznamuFronty(), 1U) << "the written block is read back";
        EXPECT_EQ(Kom().ZaznamFronty(0)->Adresa, adresa);
        EXPECT_EQ(fOkno.Info.Label, R_OvereniTelCisel);
        EXPECT_FALSE(fKonec);
    }
    DoKonce();
    EXPECT_EQ(fAdresyZapisu.size(), 1U) << "a clean line costs no extra telegram";
    EXPECT_EQ(fKonec, TStavOperace::Hotovo);
    EXPECT_EQ(Zapsano().Cisla, cisla);
    EXPECT_TRUE(Zapsano().Overeno);
    EXPECT_EQ(Zapsano().Bloky, std::vector{adresa});
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_TRUE(fOkno.Errors.empty());
    EXPECT_EQ(Data({ZAZNAM, adresa}), data);
}

TEST_P(ZapisBloku, AnswersNotThePairsCompleteNothingAndACancelEndsAtOnceClaimingNothing) {
    ZmenDva(GetParam());
    ASSERT_EQ(Zapisuj(GetParam()), TSpusteni::Zahajena);
    // The other block of the write, a block of neither, one outside every read window.
    for (const std::uint16_t adresa : {0x0070, 0x1300, 0x0110, 0x8F00}) {
        Odpovez({ZAZNAM, adresa});
    }
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 2U);
    EXPECT_EQ(fOkno.Info.Position, 0);
    EXPECT_TRUE(Kom().Zapisuju());
    ASSERT_TRUE(Krok());
    EXPECT_FALSE(fKonec);

    fRelace->Zrus();
    EXPECT_EQ(fKonec, TStavOperace::Zrusena);
    EXPECT_FALSE(Zapsano().Overeno);
    EXPECT_TRUE(Zapsano().Nezapsane.empty());
    // Without a compare at once, a pair that left the queue confirms nothing.
    EXPECT_EQ(Zapsano().Dokonceno, GetParam() == TDruhZapisu::Nastaveni ? 1U : 0U);
    EXPECT_FALSE(fRelace->BeziOperace());
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
    EXPECT_FALSE(Kom().Zapisuju());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_TRUE(fOkno.Errors.empty());
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Btn_NactiTelCisla));
}

// A lost write is found by the read-back and sent again: the phone write in another round after
// its verification round, the settings write as its pair at once. A block the device never takes
// is given up after its repeats and named.
struct TZtrata {
    const char* Nazev;
    TDruhZapisu Druh;
    int Ztrat;                         // writes lost, the first ones
    std::set<std::uint16_t> Zaseknute; // blocks the device never takes
    std::size_t Zapisu;                // writes sent
    const char* Chyba;                 // nullptr: none
};

void PrintTo(const TZtrata& r, std::ostream* os) {
    *os << r.Nazev;
}

class ZtraceneZapisy : public TZapisRig, public ::testing::WithParamInterface<TZtrata> {};

constexpr const char* k_Cislo2 = "Tato telefonní čísla se do komunikátoru nepodařilo zapsat: 2.\n"
                                 "Zkontrolujte spojení a zapište je znovu.";
constexpr const char* k_Cisla27 =
    "Tato telefonní čísla se do komunikátoru nepodařilo zapsat: 2, 7.\n"
    "Zkontrolujte spojení a zapište je znovu.";
constexpr const char* k_Sepnuti = "Do komunikátoru se nepodařilo zapsat:\n"
                                  "- expander 1, vstup 2: čísla pro sepnutí\n"
                                  "\nZkontrolujte spojení a zapište nastavení znovu.";
constexpr auto C = TDruhZapisu::Cisla;
constexpr auto N = TDruhZapisu::Nastaveni;

INSTANTIATE_TEST_SUITE_P(
    Zapisovace, ZtraceneZapisy,
    ::testing::Values(TZtrata{"Cisla1", C, 1, {}, 3, nullptr},
                      TZtrata{"Cisla3", C, 3, {}, 5, nullptr},
                      TZtrata{"CislaNikdy2", C, 0, {0x0020}, 4, k_Cislo2},
                      TZtrata{"CislaNikdy27", C, 0, {0x0020, 0x0070}, 6, k_Cisla27},
                      TZtrata{"Nastaveni1", N, 1, {}, 3, nullptr},
                      TZtrata{"Nastaveni3", N, 3, {}, 5, nullptr},
                      TZtrata{"NastaveniNikdy", N, 0, {0x1300}, 5, k_Sepnuti}),
    ::testing::PrintToStringParamName());

TEST_P(ZtraceneZapisy, AreSentAgainAndWhatNeverArrivesIsNamed) {
    const TZtrata& r = GetParam();
    const auto zmeny = ZmenDva(r.Druh);
    fZtratZapisu = r.Ztrat;
    fZaseknute = r.Zaseknute;
    ASSERT_EQ(Zapisuj(r.Druh), TSpusteni::Zahajena);
    DoKonce();
    EXPECT_EQ(fKonec, TStavOperace::Hotovo);
    EXPECT_FALSE(fRelace->BeziOperace());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_EQ(fAdresyZapisu.size(), r.Zapisu);
    EXPECT_EQ(Zapsano().Bloky, (std::vector{zmeny[0].Adresa, zmeny[1].Adresa}));
    EXPECT_EQ(Zapsano().Dokonceno, 2U);
    EXPECT_EQ(Zapsano().Nezapsane, std::vector(r.Zaseknute.begin(), r.Zaseknute.end()));
    EXPECT_EQ(Zapsano().Overeno, r.Chyba == nullptr);
    if (r.Chyba == nullptr) {
        EXPECT_TRUE(fOkno.Errors.empty());
        for (const TZmena& z : zmeny) {
            EXPECT_EQ(fPamet[z.Adresa], z.Prvni) << z.Adresa;
        }
    } else {
        EXPECT_EQ(fOkno.Errors, std::vector<std::string>{r.Chyba});
    }
}

} // namespace
