// What the phone write and the settings write share, run against both (LogikaRig.h): nothing to
// write, answers that are not the pair's, the cancel, and lost or refused writes.

#include "LogikaRig.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

class ZapisBloku : public TZapisRig, public ::testing::WithParamInterface<TDruhZapisu> {
protected:
    ZapisBloku() { Priprav(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Zapisovace, ZapisBloku,
                         ::testing::Values(TDruhZapisu::Cisla, TDruhZapisu::Nastaveni),
                         ::testing::PrintToStringParamName());

TEST_P(ZapisBloku, NothingToWriteDoesNothingVisible) {
    Zapisuj(GetParam());
    EXPECT_FALSE(fLogika->BeziOperace());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
    EXPECT_FALSE(Kom().Zapisuju());
    EXPECT_TRUE(fOkno.Errors.empty());
}

TEST_P(ZapisBloku, AnAnswerThatIsNotThePairsReadBackCompletesNothing) {
    ZmenDva(GetParam());
    Zapisuj(GetParam());
    // The other block of the write, a block of neither, one outside every read window.
    for (const std::uint16_t adresa : {0x0070, 0x1300, 0x0110, 0x8F00}) {
        Odpovez({ZAZNAM, adresa});
    }
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 2U);
    EXPECT_EQ(fOkno.Info.Position, 0);
    EXPECT_TRUE(Kom().Zapisuju());
}

TEST_P(ZapisBloku, CancelEndsAtOnceClaimingNothing) {
    for (const int kroku : {0, 1}) {
        SCOPED_TRACE(kroku);
        ZmenDva(GetParam());
        Zapisuj(GetParam());
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

class ZtraceneZapisy : public TZapisRig, public ::testing::WithParamInterface<TZtrata> {
protected:
    ZtraceneZapisy() { Priprav(GetParam().Druh); }
};

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
    Zapisuj(r.Druh);
    DoKonce();
    EXPECT_FALSE(fLogika->BeziOperace());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_EQ(fAdresyZapisu.size(), r.Zapisu);
    if (r.Chyba == nullptr) {
        EXPECT_TRUE(fOkno.Errors.empty());
        for (const TZmena& z : zmeny) {
            EXPECT_EQ(Blok(z.Adresa)[0], z.Prvni) << z.Adresa;
        }
    } else {
        EXPECT_EQ(fOkno.Errors, std::vector<std::string>{r.Chyba});
    }
}

} // namespace
