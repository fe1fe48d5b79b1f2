// The warnings before a write, as a table: each row changes an empty image and lists every line
// it must give, in order; parts not read give none.

#include "operace/VarovaniZapisu.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

TEST(VarovaniZapisu, EachProblemGivesItsLineAndNothingElse) {
    struct TRadek {
        const char* Nazev;
        int PocetExpanderu;
        std::function<void(TNORLINK&, TZnameData&)> Zmena;
        std::vector<std::string> Varovani;
    };
    const TRadek rows[] = {
        {"empty image", 8, [](TNORLINK&, TZnameData&) {}, {}},
        {"text and recipient",
         1,
         [](TNORLINK& r, TZnameData&) {
             r.TelCisla[3] = "604123456";
             r.ZpravaSepnuti[0][1] = "Vstup 2 sepnut";
             r.TelCislaSepnuti[0][1][0] = 3;
         },
         {}},
        {"text without recipient",
         1,
         [](TNORLINK& r, TZnameData&) { r.ZpravaSepnuti[0][1] = "Vstup 2 sepnut"; },
         {"Expander 1, vstup 2: text sepnutí bez příjemce"}},
        {"a slot above 15 is no recipient",
         1,
         [](TNORLINK& r, TZnameData&) {
             r.ZpravaPorucha[0] = "Porucha";
             r.TelCislaPoruchaKom[0][4] = 0x20;
         },
         {"Expander 1: text poruchy komunikace bez příjemce"}},
        {"recipients without text, referring to an empty number",
         2,
         [](TNORLINK& r, TZnameData&) { r.TelCislaObnovaKom[1][2] = 5; },
         {"Expander 2: příjemci obnovení komunikace bez textu",
          "Expander 2: obnovení komunikace, místo 3 odkazuje na prázdné tel. číslo 5"}},
        {"one empty number among good ones",
         1,
         [](TNORLINK& r, TZnameData&) {
             r.TelCisla[0] = "111111111";
             r.ZpravaRozpojeni[0][7] = "Rozpojeno";
             r.TelCislaRozpojeni[0][7][0] = 0;
             r.TelCislaRozpojeni[0][7][15] = 15;
         },
         {"Expander 1, vstup 8: rozpojení, místo 16 odkazuje na prázdné tel. číslo 15"}},
        {"expanders past the count are not written, so not checked",
         1,
         [](TNORLINK& r, TZnameData&) { r.ZpravaPorucha[1] = "Porucha 2"; },
         {}},
        {"the count is kept within 1..8",
         0,
         [](TNORLINK& r, TZnameData&) { r.ZpravaPorucha[0] = "Porucha 1"; },
         {"Expander 1: text poruchy komunikace bez příjemce"}},
        {"unknown parts are not checked",
         1,
         [](TNORLINK& r, TZnameData& z) {
             r.TelCisla[5] = "604123456";
             r.TelCisla[6] = "604123456";
             z.Nastav(6 * 16, 16, TPuvod::Neznamy);
             r.TelCislaObnovaKom[0][0] = 0;
             z.Nastav(AdresaTextuExpanderu(0, true) + 16 * 14, 1, TPuvod::Neznamy);
             r.ZpravaPorucha[0] = "Porucha";
             r.TelCislaPoruchaKom[0][0] = 6;
         },
         {}},
        {"equal numbers, each pair once",
         8,
         [](TNORLINK& r, TZnameData&) {
             r.TelCisla[2] = "604123456";
             r.TelCisla[7] = "604123456";
             r.TelCisla[9] = "604123456";
             r.TelCisla[10] = "604123457";
         },
         {"Tel. čísla 2 a 7 jsou stejná: 604123456", "Tel. čísla 2 a 9 jsou stejná: 604123456",
          "Tel. čísla 7 a 9 jsou stejná: 604123456"}},
    };
    for (const TRadek& r : rows) {
        TNORLINK rec{};
        InicializujNORLINKRec(rec);
        TZnameData znama;
        znama.NastavVse(TPuvod::Zarizeni);
        r.Zmena(rec, znama);
        EXPECT_EQ(VarovaniPredZapisem(rec, znama, r.PocetExpanderu), r.Varovani) << r.Nazev;
    }
}

} // namespace
