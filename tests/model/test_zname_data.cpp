// Known data: what each read makes known, what a refused write names, unknown blocks carried
// through an export and a backup; the change list of the write preview in both languages.

#include "ScratchDir.h"
#include "operace/SeznamZmen.h"
#include "soubory/Export.h"
#include "soubory/NactiExport.h"
#include "soubory/Zalohy.h"
#include "stav/ZnameData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TZnameData Vse(TPuvod p) {
    TZnameData z;
    z.NastavVse(p);
    return z;
}

TEST(ZnameData, EachReadMakesKnownWhatItReachesAndNothingElse) {
    struct TRadek {
        const char* Nazev;
        TZnameData Pred;
        bool Vse;
        int N, E, V;
        std::vector<std::uint32_t> Znama;
        std::vector<std::uint32_t> Neznama;
    };
    const TRadek rows[] = {
        {"one expander",
         TZnameData{},
         true,
         1,
         0,
         0,
         {AdresaSeznamuExpanderu(0, true), AdresaTextuVstupu(0, 7, true) + 16 * 14},
         {AdresaSeznamuExpanderu(1, false), AdresaSeznamuVstupu(1, 0, false), 0}},
        {"eight expanders end at the read bound",
         TZnameData{},
         true,
         8,
         0,
         0,
         {0x7F00, AdresaTextuExpanderu(7, true)},
         {0x7F10, AdresaSeznamuVstupu(6, 7, true), AdresaSeznamuVstupu(7, 0, false)}},
        {"one input and its expander",
         TZnameData{},
         false,
         1,
         1,
         2,
         {AdresaSeznamuExpanderu(1, false), AdresaTextuVstupu(1, 2, true) + 16 * 14},
         {AdresaSeznamuExpanderu(0, false), AdresaSeznamuVstupu(1, 3, false),
          AdresaSeznamuVstupu(1, 1, true)}},
        {"input 1 of expander 8: only its first block comes back",
         TZnameData{},
         false,
         1,
         7,
         0,
         {AdresaSeznamuVstupu(7, 0, false), AdresaTextuExpanderu(7, false)},
         {AdresaTextuVstupu(7, 0, false), AdresaSeznamuVstupu(7, 0, true)}},
        {"texts the read empties and does not reach are known no more; lists and numbers stay",
         Vse(TPuvod::Zarizeni),
         false,
         1,
         0,
         0,
         {0, AdresaSeznamuExpanderu(3, false), AdresaSeznamuVstupu(2, 2, true)},
         {AdresaTextuExpanderu(1, false), AdresaTextuVstupu(0, 1, true)}},
    };
    for (const TRadek& r : rows) {
        const TZnameData z = PoCteniNastaveni(r.Pred, r.Vse, r.N, r.E, r.V);
        for (const std::uint32_t a : r.Znama) {
            EXPECT_TRUE(z.Znamy(a)) << r.Nazev << " at 0x" << std::hex << a;
        }
        for (const std::uint32_t a : r.Neznama) {
            EXPECT_FALSE(z.Znamy(a)) << r.Nazev << " at 0x" << std::hex << a;
        }
    }
}

TEST(ZnameData, ARefusedWriteNamesTheFirstPartToReadFirst) {
    TZnameData z = Vse(TPuvod::Zarizeni);
    z.Nastav(16 * 4, 16, TPuvod::Neznamy);
    z.Nastav(AdresaSeznamuExpanderu(1, true), 16, TPuvod::Neznamy);
    z.Nastav(AdresaTextuVstupu(0, 3, false) + 32, 1, TPuvod::Neznamy);
    z.Nastav(AdresaTextuVstupu(7, 7, true), 16, TPuvod::Neznamy);
    const auto a = [](std::uint32_t x) { return static_cast<std::uint16_t>(x); };
    const std::pair<std::vector<std::uint16_t>, std::string> rows[] = {
        {{a(0), a(AdresaSeznamuExpanderu(0, false))}, ""},
        {{a(0x10), a(0x40)}, "Nejdřív načtěte telefonní čísla z komunikátoru."},
        {{a(AdresaSeznamuExpanderu(1, true))},
         "Nejdřív načtěte nastavení expanderu 2 z komunikátoru."},
        {{a(AdresaSeznamuExpanderu(0, false)), a(AdresaTextuVstupu(0, 3, false) + 32),
          a(AdresaSeznamuExpanderu(1, true))},
         "Nejdřív načtěte nastavení vstupu 4 expanderu 1 z komunikátoru."},
        {{a(AdresaTextuVstupu(7, 7, true))}, "Nastavení vstupu 8 expanderu 8 leží za oblastí"},
    };
    for (const auto& [adresy, zprava] : rows) {
        const std::string text = CoNacistNejdriv(z, adresy);
        if (zprava.empty()) {
            EXPECT_EQ(text, "");
        } else {
            EXPECT_THAT(text, StartsWith(zprava));
        }
    }
}

TEST(ZnameData, AFileNamingUnknownBlocksKeepsTheDevicesBytesThere) {
    TNORLINK soubor{};
    InicializujNORLINKRec(soubor);
    soubor.ZpravaPorucha[1] = "ze souboru";
    soubor.TelCislaSepnuti[0][2][0] = 4;
    soubor.TelCisla[5] = "111222333";
    TZnameData z = Vse(TPuvod::Zarizeni);
    z.Nastav(AdresaTextuExpanderu(1, false) + 16 * 3, 1, TPuvod::Neznamy);
    z.Nastav(5 * 16, 16, TPuvod::Neznamy);
    const TNacteniExportu n = NactiExport(TextExportu(ExportniZaznamy(soubor, z)));
    ASSERT_TRUE(n.Ok) << n.Chyba;
    EXPECT_EQ(n.Znama.NeznameRozsahy(), z.NeznameRozsahy());
    EXPECT_EQ(n.Znama.Puvod(AdresaSeznamuVstupu(0, 2, false)), TPuvod::Technik);

    // Loaded over the device image: unknown parts (a whole text for one unknown block of it) are
    // the device's, the rest the file's.
    TNORLINK zarizeni{};
    InicializujNORLINKRec(zarizeni);
    zarizeni.ZpravaPorucha[1] = "v komunikátoru";
    zarizeni.TelCisla[5] = "999888777";
    TNORLINK nove = n.Image;
    PrevezmiNezname(nove, zarizeni, n.Znama);
    EXPECT_EQ(nove.ZpravaPorucha[1], zarizeni.ZpravaPorucha[1]);
    EXPECT_EQ(nove.TelCisla[5], zarizeni.TelCisla[5]);
    EXPECT_EQ(nove.TelCislaSepnuti[0][2][0], 4);

    for (const char* spatny : {"0x0005-0x000F", "0x0010-0x0010", "0x9100-0x910F", "0x20-0x1F",
                               "0x0010-0x001Fx", "0x0010"}) {
        const std::string text = TextExportu(ExportniZaznamy(soubor, Vse(TPuvod::Technik))) +
                                 "[Nezname bloky]\nRozsah 00=" + spatny + "\n";
        const TNacteniExportu r = NactiExport(text);
        EXPECT_FALSE(r.Ok) << spatny;
        EXPECT_THAT(r.Chyba, HasSubstr("není platný rozsah bloků")) << spatny;
    }
}

TEST(Zalohy, ABackupHoldsTheDeviceImageAndSaysWhatIsUnknown) {
    TScratchDir dir("norlink-zalohy");
    const std::string slozka = SlozkaZaloh(dir.path().string() + "/");
    TNORLINK rec{};
    InicializujNORLINKRec(rec);
    rec.TelCisla[0] = "603111222";
    rec.ZpravaObnova[0] = "Obnova";
    const TZnameData z = PoCteniNastaveni(Vse(TPuvod::Neznamy), true, 2, 0, 0);
    const std::string starsi = UlozZalohu(slozka, "20261209100000000", "2026-12-09 10:00:00.000",
                                          rec, z, {"NORLINK GSM", "1.00", "1.0"});
    const std::string novejsi =
        UlozZalohu(slozka, "20261209110000000", "2026-12-09 11:00:00.000", rec,
                   Vse(TPuvod::Zarizeni), {"NORLINK GSM", "1.00", "1.0"});

    const TNacteniExportu n = NactiExportZeSouboru(starsi);
    ASSERT_TRUE(n.Ok) << n.Chyba;
    EXPECT_EQ(n.Image.TelCisla[0], rec.TelCisla[0]);
    EXPECT_EQ(n.Image.ZpravaObnova[0], rec.ZpravaObnova[0]);
    EXPECT_EQ(n.Znama.NeznameRozsahy(), z.NeznameRozsahy()) << "the numbers were not read either";
    EXPECT_EQ(ObsahZalohy(z), "expandery 1, 2");

    const std::vector<TZaloha> zalohy = NajdiZalohy(slozka);
    ASSERT_EQ(zalohy.size(), 2U);
    EXPECT_EQ(zalohy[0].Cesta, novejsi) << "newest first";
    EXPECT_EQ(zalohy[1].Zarizeni.Typ, "NORLINK GSM");
    EXPECT_THAT(zalohy[0].Popis(), HasSubstr("2026-12-09 11:00:00"));
}

TEST(SeznamZmen, OneLinePerChangeInWordsInBothLanguages) {
    struct TRadek {
        std::function<void(TNORLINK&)> Zmena;
        std::string Cesky; // empty: no change to list
        std::string Anglicky;
    };
    // 40 characters shown: a line break is one, CR LF too.
    const std::string zkraceny = "„Škoda↵je " + std::string(31, 'x') + "…“";
    const TRadek rows[] = {
        {[](TNORLINK& r) { r.TelCisla[3] = "604555666"; }, "Tel. číslo 3: 603111222 → 604555666",
         "Phone number 3: 603111222 → 604555666"},
        {[](TNORLINK& r) { r.TelCisla[3] = ""; }, "Tel. číslo 3: 603111222 → (prázdné)",
         "Phone number 3: 603111222 → (empty)"},
        {[](TNORLINK& r) {
             r.TelCislaPoruchaKom[1][0] = 1;
             r.TelCislaPoruchaKom[1][1] = 255;
         },
         "Expander 2, porucha komunikace: 2, 3 → 1", "Expander 2, communication failure: 2, 3 → 1"},
        {[](TNORLINK& r) { r.TelCislaSepnuti[0][1][1] = 5; },
         "Expander 1, vstup 2, sepnutí: 0 → 0, 5", "Expander 1, input 2, switch-on: 0 → 0, 5"},
        {[](TNORLINK& r) { r.TelCislaRozpojeni[0][7][0] = 255; },
         "Expander 1, vstup 8, rozpojení: 9 → (prázdné)",
         "Expander 1, input 8, disconnect: 9 → (empty)"},
        {[](TNORLINK& r) { r.ZpravaObnova[0] = "Komunikace s expanderem 1 obnovena"; },
         "Expander 1, text obnovy: „Komunikace obnovena“ → „Komunikace s expanderem 1 obnovena“",
         "Expander 1, restoration text: „Komunikace obnovena“ → „Komunikace s expanderem 1 "
         "obnovena“"},
        {[](TNORLINK& r) { r.ZpravaSepnuti[1][0] = "\x8Akoda\r\nje " + std::string(60, 'x'); },
         "Expander 2, vstup 1, text sepnutí: (prázdné) → " + zkraceny,
         "Expander 2, input 1, switch-on text: (empty) → " + zkraceny},
        {[](TNORLINK& r) { r.ZpravaPorucha[2] = "mimo"; }, "", ""},
    };
    TNORLINK a{};
    InicializujNORLINKRec(a);
    a.TelCisla[3] = "603111222";
    a.TelCislaPoruchaKom[1][0] = 2;
    a.TelCislaPoruchaKom[1][1] = 3;
    a.TelCislaSepnuti[0][1][0] = 0;
    a.TelCislaRozpojeni[0][7][0] = 9;
    a.ZpravaObnova[0] = "Komunikace obnovena";
    for (const TRadek& r : rows) {
        TNORLINK b = a;
        r.Zmena(b);
        const auto cs = SeznamZmen(a, b, {true, true, 2});
        const auto en = SeznamZmen(a, b, {true, true, 2}, TJazyk::Anglicky);
        if (r.Cesky.empty()) {
            EXPECT_TRUE(cs.empty()) << "expander 3 is not written with two";
            continue;
        }
        EXPECT_EQ(cs, std::vector<std::string>{r.Cesky});
        EXPECT_EQ(en, std::vector<std::string>{r.Anglicky});
        EXPECT_TRUE(SeznamZmen(a, b, {false, false, 8}).empty());
    }
    EXPECT_THAT(SouhrnZapisu(1, 2), HasSubstr(std::to_string(TelegramuZapisu(1, 2))));
}

} // namespace
