// The handover report from a known image: recipients as their telephone numbers, inputs listed or
// summed up, the recipient matrix's marks, unknown parts named and never shown empty, everything
// escaped, the checksum of the configuration, the verification line, and the remembered site and
// technician.

#include "soubory/Protokol.h"

#include "soubory/Export.h"
#include "soubory/NactiExport.h"
#include "soubory/Zalohy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string k_Nezname(R_Protokol_Nezname);

// Test parameters print as their names.
template <typename T>
requires requires(const T& t) {
    t.Nazev;
}
void PrintTo(const T& param, std::ostream* os) {
    *os << param.Nazev;
}

// Recipients of every kind: a number twice, a slot of 17 (no number), a number that is empty, a
// text with characters to escape, Windows-1250 letters and a line break.
TNORLINK Obraz() {
    TNORLINK i{};
    InicializujNORLINKRec(i);
    i.TelCisla[0] = "603111222";
    i.TelCisla[2] = "604555666";
    i.TelCisla[7] = "777888999";
    i.TelCislaPoruchaKom[0][0] = 2;
    i.TelCislaPoruchaKom[0][3] = 0;
    i.TelCislaPoruchaKom[0][4] = 2;
    i.TelCislaPoruchaKom[0][9] = 17;
    i.TelCislaObnovaKom[0][0] = 5;
    i.ZpravaPorucha[0] = "Porucha <1> & \"x\"";
    i.ZpravaObnova[0] = "Obnova \x9E\xE1rovky\r\nOK";
    i.TelCislaSepnuti[0][2][0] = 7;
    i.ZpravaSepnuti[0][2] = "Dve\xF8"
                            "e";
    i.ZpravaRozpojeni[0][4] = "Jen text";
    i.TelCislaRozpojeni[1][0][5] = 0;
    i.TelCislaRozpojeni[1][0][6] = 2;
    return i;
}

TZnameData Vse() {
    TZnameData z;
    z.NastavVse(TPuvod::Technik);
    return z;
}

std::string Html(const TNORLINK& image, const TZnameData& znama, int expanderu = 2,
                 std::string objekt = "", std::string typ = "NL GSM") {
    TVstupProtokolu in{image,       znama,
                       typ,         "SW 1.00",
                       "HW 1.0",    std::move(objekt),
                       "Jan Novák", "9. 12. 2026 12:03",
                       "",          expanderu};
    return ProtokolHtml(in);
}

std::string Nahrad(std::string s, const std::string& co, const std::string& cim) {
    for (std::size_t at = s.find(co); at != std::string::npos; at = s.find(co, at + cim.size())) {
        s.replace(at, co.size(), cim);
    }
    return s;
}

// The document as lines of text: a table row per line, its cells ended by " | ", line breaks
// inside a cell as ", ", tags dropped and entities decoded.
std::vector<std::string> Radky(std::string html) {
    html = html.substr(html.find("<body>"));
    html = Nahrad(html, "<br>", ", ");
    for (const char* konec : {"</td>", "</th>"}) {
        html = Nahrad(html, konec, " | ");
    }
    for (const char* radek : {"<tr>", "</p>", "</h1>", "</h2>"}) {
        html = Nahrad(html, radek, "\n");
    }
    html = std::regex_replace(html, std::regex("<[^>]*>"), "");
    for (const auto& [entita, znak] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}}) {
        html = Nahrad(html, entita, znak);
    }
    std::vector<std::string> out;
    std::istringstream in(html);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            out.push_back(line);
        }
    }
    return out;
}

// The lines between a heading and the next one.
std::vector<std::string> Oddil(const std::vector<std::string>& radky, const std::string& nadpis) {
    std::vector<std::string> out;
    auto it = std::find(radky.begin(), radky.end(), nadpis);
    if (it == radky.end()) {
        ADD_FAILURE() << "no heading " << nadpis;
        return out;
    }
    for (++it; it != radky.end(); ++it) {
        static const std::vector<std::string> k_Nadpisy{"Telefonní čísla", "Kdo dostává které SMS",
                                                        "Kontrolní součet"};
        if (it->starts_with("Expander ") && it->find(" | ") == std::string::npos) {
            break;
        }
        if (std::find(k_Nadpisy.begin(), k_Nadpisy.end(), *it) != k_Nadpisy.end()) {
            break;
        }
        out.push_back(*it);
    }
    return out;
}

TEST(Protokol, RecipientsAreTheirTelephoneNumbersEachOnceAndTextsReadable) {
    const auto radky = Radky(Html(Obraz(), Vse()));
    const auto cisla = Oddil(radky, "Telefonní čísla");
    ASSERT_EQ(cisla.size(), 9U);
    EXPECT_EQ(cisla[1], "0 | 603111222 | 8 | nevyplněno | ");
    EXPECT_EQ(cisla[3], "2 | 604555666 | 10 | nevyplněno | ");
    EXPECT_EQ(cisla[8], "7 | 777888999 | 15 | nevyplněno | ");
    const auto exp1 = Oddil(radky, "Expander 1");
    // Slot order: 2, 0, 2 again, 17 (no number).
    EXPECT_THAT(exp1,
                Contains("Porucha komunikace | 604555666, 603111222 | Porucha <1> & \"x\" | "));
    EXPECT_THAT(exp1, Contains("Obnova komunikace | tel. číslo 5 není vyplněno | Obnova žárovky, "
                               "OK | "));
    EXPECT_THAT(exp1, Contains("Vstup 3 | Sepnutí | 777888999 | Dveře | "));
    EXPECT_THAT(exp1, Contains("Rozpojení | nikdo | bez textu | "));
}

struct TVstupy {
    const char* Nazev;
    std::string Expander;
    std::vector<std::string> Radky; // the input rows that must be there
    std::vector<std::string> Chybi; // lines that must not be there
    std::string Souhrn;
};

class ProtokolVstupy : public ::testing::TestWithParam<TVstupy> {};

TEST_P(ProtokolVstupy, WithRecipientOrTextListedTheRestInOneLine) {
    const auto oddil = Oddil(Radky(Html(Obraz(), Vse())), GetParam().Expander);
    for (const std::string& r : GetParam().Radky) {
        EXPECT_THAT(oddil, Contains(r));
    }
    for (const std::string& r : GetParam().Chybi) {
        EXPECT_THAT(oddil, Not(Contains(r)));
    }
    EXPECT_THAT(oddil, Contains(GetParam().Souhrn));
}

INSTANTIATE_TEST_SUITE_P(
    Expandery, ProtokolVstupy,
    ::testing::Values(TVstupy{"First",
                              "Expander 1",
                              {"Vstup 3 | Sepnutí | 777888999 | Dveře | ",
                               "Vstup 5 | Sepnutí | nikdo | bez textu | ",
                               "Rozpojení | nikdo | Jen text | "},
                              {"Vstup 1 | Sepnutí | nikdo | bez textu | "},
                              "Vstupy bez příjemců a bez textů: 1, 2, 4, 6, 7, 8."},
                      TVstupy{"Second",
                              "Expander 2",
                              {"Porucha komunikace | nikdo | bez textu | ",
                               "Rozpojení | 603111222, 604555666 | bez textu | "},
                              {},
                              "Vstupy bez příjemců a bez textů: 2, 3, 4, 5, 6, 7, 8."}),
    [](const auto& info) { return std::string(info.param.Nazev); });

TEST(Protokol, ExpandersBeyondTheCountAreLeftOut) {
    const auto radky = Radky(Html(Obraz(), Vse(), 1));
    EXPECT_THAT(radky, Contains("Expander 1"));
    EXPECT_THAT(radky, Not(Contains("Expander 2")));
    EXPECT_THAT(radky, Contains("Počet expanderů | 1 | "));
    EXPECT_THAT(Oddil(radky, "Kdo dostává které SMS"),
                Not(Contains(HasSubstr("Expander 2, vstup 1"))));
}

TEST(Protokol, MatrixMarksEveryFilledNumberThatGetsTheSms) {
    const auto matice = Oddil(Radky(Html(Obraz(), Vse())), "Kdo dostává které SMS");
    // Rows of events that notify someone; columns the filled numbers in their order. The
    // restoration goes only to an empty number, input 5's disconnection has a text only.
    EXPECT_EQ(matice, (std::vector<std::string>{
                          "Událost | 603, 111, 222 | 604, 555, 666 | 777, 888, 999 | ",
                          "Expander 1 – porucha komunikace | ✓ | ✓ |  | ",
                          "Expander 1, vstup 3 – sepnutí |  |  | ✓ | ",
                          "Expander 2, vstup 1 – rozpojení | ✓ | ✓ |  | ",
                      }));

    TNORLINK nikdo{};
    InicializujNORLINKRec(nikdo);
    nikdo.TelCisla[0] = "603111222";
    EXPECT_EQ(Oddil(Radky(Html(nikdo, Vse())), "Kdo dostává které SMS"),
              std::vector<std::string>{"Žádná událost neposílá SMS na vyplněné telefonní číslo."});
}

struct TNezname {
    const char* Nazev;
    std::function<void(TZnameData&)> Zapomen;
    std::vector<std::string> Radky; // lines that must be there
    std::vector<std::string> Chybi; // lines that must not
};

void Neznamy(TZnameData& z, std::uint32_t adresa, std::uint32_t bajtu) {
    z.Nastav(adresa, bajtu, TPuvod::Neznamy);
}

class ProtokolNezname : public ::testing::TestWithParam<TNezname> {};

TEST_P(ProtokolNezname, AreNamedAndNeverShownEmpty) {
    TZnameData znama = Vse();
    GetParam().Zapomen(znama);
    const auto radky = Radky(Html(Obraz(), znama));
    for (const std::string& r : GetParam().Radky) {
        EXPECT_THAT(radky, Contains(r));
    }
    for (const std::string& r : GetParam().Chybi) {
        EXPECT_THAT(radky, Not(Contains(r)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casti, ProtokolNezname,
    ::testing::Values(
        TNezname{"PhoneNumber",
                 [](TZnameData& z) { Neznamy(z, AdresaTelCisla(2), 16); },
                 {"2 | " + k_Nezname + " | 10 | nevyplněno | ",
                  "Porucha komunikace | tel. číslo 2: " + k_Nezname +
                      ", 603111222 | Porucha <1> & \"x\" | ",
                  "Událost | 603, 111, 222 | č. 2, " + k_Nezname + " | 777, 888, 999 | ",
                  "Expander 1 – porucha komunikace | ✓ | ✓ |  | "},
                 {}},
        TNezname{"ExpanderRecipients",
                 [](TZnameData& z) { Neznamy(z, AdresaSeznamuExpanderu(0, false), 16); },
                 {"Porucha komunikace | " + k_Nezname + " | Porucha <1> & \"x\" | ",
                  "Události, jejichž příjemci jsou " + k_Nezname + ", v přehledu chybí."},
                 {"Expander 1 – porucha komunikace | ✓ | ✓ |  | "}},
        TNezname{"OneBlockOfAText",
                 [](TZnameData& z) { Neznamy(z, AdresaTextuExpanderu(0, true) + 100, 1); },
                 {"Obnova komunikace | tel. číslo 5 není vyplněno | " + k_Nezname + " | "},
                 {}},
        TNezname{"InputText",
                 [](TZnameData& z) { Neznamy(z, AdresaTextuVstupu(0, 2, false), 240); },
                 {"Vstup 3 | Sepnutí | 777888999 | " + k_Nezname + " | "},
                 {}},
        TNezname{"OneListOfAnEmptyInput",
                 [](TZnameData& z) { Neznamy(z, AdresaSeznamuVstupu(0, 0, true), 16); },
                 {"Vstup 1 | Sepnutí | nikdo | bez textu | ",
                  "Rozpojení | " + k_Nezname + " | bez textu | ",
                  "Vstupy bez příjemců a bez textů: 2, 4, 6, 7, 8."},
                 {}},
        TNezname{
            "WholeInputs",
            [](TZnameData& z) {
                for (const std::size_t v : {3U, 6U}) {
                    for (const bool druha : {false, true}) {
                        Neznamy(z, AdresaSeznamuVstupu(1, v, druha), 16);
                        Neznamy(z, AdresaTextuVstupu(1, v, druha), 240);
                    }
                }
            },
            {"Vstupy bez příjemců a bez textů: 2, 3, 5, 6, 8.", "Vstupy " + k_Nezname + ": 4, 7."},
            {}},
        TNezname{"Everything",
                 [](TZnameData& z) { z.NastavVse(TPuvod::Neznamy); },
                 {"1 | " + k_Nezname + " | 9 | " + k_Nezname + " | ",
                  "Porucha komunikace | " + k_Nezname + " | " + k_Nezname + " | ",
                  "Vstupy " + k_Nezname + ": 1, 2, 3, 4, 5, 6, 7, 8."},
                 {"1 | 603111222 | 9 | nevyplněno | ", "Rozpojení | nikdo | bez textu | ",
                  "Expander 1 – porucha komunikace | ✓ | ✓ |  | "}}),
    [](const auto& info) { return std::string(info.param.Nazev); });

TEST(Protokol, ReportOfASavedExportOrBackupIsTheSameReport) {
    const TNORLINK image = Obraz();
    TZnameData znama = Vse();
    Neznamy(znama, AdresaTelCisla(5), 16);
    Neznamy(znama, AdresaTextuVstupu(1, 2, true), 240);
    const std::string text = TextExportu(ExportniZaznamy(image, znama));
    TVstupProtokolu puvodni{image, znama, "", "", "", "", "", "C", "", 2};
    for (const std::string& soubor :
         {text, text + "\n[Zaloha]\nHWTYP=NL\nVERSW=SW 1\nVERHW=HW 1\n"}) {
        const TNacteniExportu nacteno = NactiExport(soubor);
        ASSERT_TRUE(nacteno.Ok) << nacteno.Chyba;
        EXPECT_TRUE(nacteno.Znama == znama);
        TVstupProtokolu znovu{nacteno.Image, nacteno.Znama, "", "", "", "", "", "C", "", 2};
        EXPECT_EQ(ProtokolHtml(znovu), ProtokolHtml(puvodni));
        EXPECT_EQ(Crc32(text),
                  std::stoul(KontrolniSoucet(nacteno.Image, nacteno.Znama), nullptr, 16))
            << "the checksum is the export's";
    }
    EXPECT_EQ(HodnotaZalohy(NactiExport(text + "\n[Zaloha]\nTyp=NL\n").Zaloha, k_ZalohaTyp), "NL");
}

TEST(Protokol, HeaderNamesTheDeviceAndLeavesOutWhatIsNotGiven) {
    const auto radky = Radky(Html(Obraz(), Vse(), 2, "Sklad 3", ""));
    EXPECT_EQ(radky.at(0), std::string(R_Protokol_Nadpis));
    EXPECT_THAT(radky, Contains("Datum a čas | 9. 12. 2026 12:03 | "));
    EXPECT_THAT(radky, Contains("Objekt | Sklad 3 | "));
    EXPECT_THAT(radky, Contains("Technik | Jan Novák | "));
    EXPECT_THAT(radky, Contains("Typ komunikátoru | " + k_Nezname + " | "));
    EXPECT_THAT(radky, Contains("Verze software | SW 1.00 | "));
    EXPECT_THAT(radky, Not(Contains(HasSubstr("Stav |"))));

    const TNORLINK image = Obraz();
    const TZnameData znama = Vse();
    TVstupProtokolu in{image, znama, "NL", "", "", "", "", "", std::string(R_Protokol_Zmeny), 1};
    const auto bez = Radky(ProtokolHtml(in));
    EXPECT_THAT(bez, Not(Contains(HasSubstr("Objekt |"))));
    EXPECT_THAT(bez, Not(Contains(HasSubstr("Datum a čas |"))));
    EXPECT_THAT(bez, Contains("Stav | " + std::string(R_Protokol_Zmeny) + " | "));
}

TEST(Protokol, EscapesWhatUsersAndTheDeviceGiveAndShowsCodesThatAreNoCharacters) {
    TNORLINK image = Obraz();
    image.TelCisla[3] = "1<2>";
    image.ZpravaPorucha[1] = std::string("a\x07"
                                         "b\x81"
                                         "c\x7F"
                                         "d\te",
                                         9);
    const std::string html = Html(image, Vse(), 2, "<b>Sklad</b> & 'A'", "NL\"<");
    EXPECT_THAT(html, Not(HasSubstr("<b>Sklad")));
    EXPECT_THAT(html, HasSubstr("&lt;b&gt;Sklad&lt;/b&gt; &amp; &#39;A&#39;"));
    EXPECT_THAT(html, HasSubstr("NL&quot;&lt;"));
    EXPECT_THAT(html, HasSubstr("1&lt;2&gt;"));
    const auto radky = Radky(html);
    EXPECT_THAT(Oddil(radky, "Expander 2"),
                Contains("Porucha komunikace | nikdo | a[07]b[81]c[7F]d\te | "));
    const std::string body = html.substr(html.find("<body>"));
    EXPECT_EQ(std::count_if(body.begin(), body.end(),
                            [](char c) {
                                const auto b = static_cast<unsigned char>(c);
                                return (b < 0x20 && b != '\n' && b != '\t') || b == 0x7F;
                            }),
              0);
}

TEST(Protokol, Crc32IsTheStandardOne) {
    EXPECT_EQ(Crc32(""), 0U);
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926U);
    EXPECT_EQ(Crc32(std::string("\0\xFF", 2)), 0x6CDBFD72U);
}

struct TZmena {
    const char* Nazev;
    std::function<void(TNORLINK&, TZnameData&)> Zmen;
};

class ProtokolSoucet : public ::testing::TestWithParam<TZmena> {};

TEST_P(ProtokolSoucet, RepeatsForTheSameConfigurationAndChangesWithIt) {
    const TNORLINK a = Obraz();
    TNORLINK b = a;
    TZnameData zb = Vse();
    const std::string soucet = KontrolniSoucet(a, Vse());
    EXPECT_THAT(soucet, ::testing::MatchesRegex("[0-9A-F]{8}"));
    EXPECT_EQ(KontrolniSoucet(b, zb), soucet) << "a copy";
    // Another time, site and technician: the same configuration.
    TVstupProtokolu jindy{b, zb, "", "", "", "Jinde", "", "1. 1. 2030 00:00", "", 8};
    EXPECT_THAT(ProtokolHtml(jindy), HasSubstr(">" + soucet + "<"));

    GetParam().Zmen(b, zb);
    const std::string jiny = KontrolniSoucet(b, zb);
    EXPECT_NE(jiny, soucet);
    EXPECT_THAT(Html(b, zb), HasSubstr(">" + jiny + "<"));
}

INSTANTIATE_TEST_SUITE_P(
    Zmeny, ProtokolSoucet,
    ::testing::Values(
        TZmena{"FailureSlot", [](TNORLINK& i, TZnameData&) { i.TelCislaPoruchaKom[0][15] = 1; }},
        TZmena{"LastInputsLastSlot",
               [](TNORLINK& i, TZnameData&) { i.TelCislaRozpojeni[7][7][15] = 0; }},
        TZmena{"SlotEmptied", [](TNORLINK& i, TZnameData&) { i.TelCislaPoruchaKom[0][3] = 255; }},
        TZmena{"PhoneDigit", [](TNORLINK& i, TZnameData&) { i.TelCisla[0] = "603111223"; }},
        TZmena{"TextLetter", [](TNORLINK& i, TZnameData&) { i.ZpravaSepnuti[0][2] = "Dvere"; }},
        TZmena{"BlockUnknown",
               [](TNORLINK&, TZnameData& z) { Neznamy(z, AdresaSeznamuVstupu(4, 4, false), 1); }}),
    [](const auto& info) { return std::string(info.param.Nazev); });

struct TStav {
    const char* Nazev;
    std::size_t Nezapsano;
    std::function<void(TZnameData&)> Znama;
    int Expanderu;
    std::string Cas;
    std::string Ocekavano;
};

class ProtokolStav : public ::testing::TestWithParam<TStav> {};

TEST_P(ProtokolStav, SaysWhetherWhatIsShownIsOnTheDevice) {
    TZnameData znama;
    GetParam().Znama(znama);
    EXPECT_EQ(StavProtokolu(GetParam().Nezapsano, znama, GetParam().Expanderu, GetParam().Cas),
              GetParam().Ocekavano);
}

// What one expander and the numbers are: a phone read and a settings read of one expander.
void PrectenoJedno(TZnameData& z) {
    z.Nastav(AdresaTelCisla(0), 16 * 16, TPuvod::Zarizeni);
    z = PoCteniNastaveni(z, true, 1, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pripady, ProtokolStav,
    ::testing::Values(
        TStav{"Changes", 1, PrectenoJedno, 1, "", std::string(R_Protokol_Zmeny)},
        TStav{"ChangesWhateverIsKnown", 3, [](TZnameData&) {}, 1, "x",
              std::string(R_Protokol_Zmeny)},
        TStav{"NothingRead", 0, [](TZnameData&) {}, 1, "", std::string(R_Protokol_Nenacteno)},
        TStav{"ReadAndShown", 0, PrectenoJedno, 1, "", std::string(R_Protokol_Overeno)},
        TStav{"WithItsTime", 0, PrectenoJedno, 1, "9. 12. 2026 12:03",
              std::string(R_Protokol_Overeno) + " (9. 12. 2026 12:03)"},
        TStav{"MoreShownThanRead", 0, PrectenoJedno, 2, "", std::string(R_Protokol_Castecne)},
        TStav{"PhonesOnly", 0,
              [](TZnameData& z) { z.Nastav(AdresaTelCisla(0), 16 * 16, TPuvod::Zarizeni); }, 1, "",
              std::string(R_Protokol_Castecne)}),
    [](const auto& info) { return std::string(info.param.Nazev); });

TEST(Protokol, ExpanderCountOfAFileIsItsLastKnownConfiguredExpander) {
    TNORLINK prazdny{};
    InicializujNORLINKRec(prazdny);
    EXPECT_EQ(ExpanderyProtokolu(prazdny, Vse()), 1);
    EXPECT_EQ(ExpanderyProtokolu(Obraz(), Vse()), 2);
    TNORLINK treti = prazdny;
    treti.ZpravaRozpojeni[2][7] = "x";
    EXPECT_EQ(ExpanderyProtokolu(treti, Vse()), 3);
    TNORLINK paty = treti;
    paty.TelCislaObnovaKom[4][0] = 1;
    TZnameData znama = Vse();
    EXPECT_EQ(ExpanderyProtokolu(paty, znama), 5);
    Neznamy(znama, AdresaSeznamuExpanderu(4, true), 16);
    EXPECT_EQ(ExpanderyProtokolu(paty, znama), 3) << "placeholder bytes of an unknown block";
}

} // namespace
