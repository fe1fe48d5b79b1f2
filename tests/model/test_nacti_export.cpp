// Reading an export back: what the program writes comes back exactly (every byte, texts over
// several lines, blank lines in and at the end of texts), and every malformed file is refused with
// a message naming the line.

#include "ScratchDir.h"
#include "soubory/Export.h"
#include "soubory/NactiExport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using ::testing::HasSubstr;

std::string Soubor(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TNORLINK PlnyObraz() {
    TNORLINK image{};
    int n = 0;
    // Every byte 1..254, line breaks of every kind among them, texts ending in them.
    const auto text = [&](std::size_t length) {
        std::string t;
        while (t.size() < length) {
            t += static_cast<char>(1 + n++ % 254);
        }
        return t;
    };
    for (std::size_t k = 0; k < 16; ++k) {
        image.TelCisla[k] = std::string(k, static_cast<char>('0' + k % 10));
    }
    for (std::size_t e = 0; e < 8; ++e) {
        for (std::size_t s = 0; s < 16; ++s) {
            image.TelCislaPoruchaKom[e][s] = static_cast<std::uint8_t>(n++);
            image.TelCislaObnovaKom[e][s] = static_cast<std::uint8_t>(n++);
        }
        image.ZpravaPorucha[e] = text(240);
        image.ZpravaObnova[e] = text(30 * e);
        for (std::size_t v = 0; v < 8; ++v) {
            for (std::size_t s = 0; s < 16; ++s) {
                image.TelCislaSepnuti[e][v][s] = static_cast<std::uint8_t>(n++);
                image.TelCislaRozpojeni[e][v][s] = static_cast<std::uint8_t>(n++);
            }
            image.ZpravaSepnuti[e][v] = text(7 * v + e);
            image.ZpravaRozpojeni[e][v] = text(240 - v);
        }
    }
    image.ZpravaObnova[7] = "konec řádku\r\n";
    image.ZpravaObnova[6] = "dva\n\nprázdné\n\n";
    image.ZpravaRozpojeni[7][7] = "poslední\n";
    image.ZpravaSepnuti[7][7] = "\r\n";
    image.ZpravaSepnuti[7][6] = "\n";
    return image;
}

TEST(NactiExport, WhatTheProgramWritesComesBackExactly) {
    TScratchDir dir("norlink-nacti");
    const std::string prvni = (dir.path() / "a.log").string();
    const std::string druhy = (dir.path() / "b.log").string();
    const TNORLINK image = PlnyObraz();
    UlozNastaveni(prvni, image);
    const TNacteniExportu nacteno = NactiExportZeSouboru(prvni);
    ASSERT_TRUE(nacteno.Ok) << nacteno.Chyba;
    for (std::size_t e = 0; e < 8; ++e) {
        EXPECT_EQ(nacteno.Image.ZpravaObnova[e], image.ZpravaObnova[e]) << e;
        for (std::size_t v = 0; v < 8; ++v) {
            EXPECT_EQ(nacteno.Image.ZpravaSepnuti[e][v], image.ZpravaSepnuti[e][v]) << e << v;
            EXPECT_EQ(nacteno.Image.ZpravaRozpojeni[e][v], image.ZpravaRozpojeni[e][v]) << e << v;
        }
    }
    EXPECT_TRUE(nacteno.Image == image);
    UlozNastaveni(druhy, nacteno.Image);
    EXPECT_EQ(Soubor(druhy), Soubor(prvni));
}

TEST(NactiExport, TextsWithoutBreaksAtTheirEndAreWrittenAsTheProfileLayerWould) {
    TNORLINK image = PlnyObraz();
    const auto bezKonce = [](TZprava& zprava) {
        std::string text = zprava.Str();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        zprava = text;
    };
    for (std::size_t e = 0; e < 8; ++e) {
        bezKonce(image.ZpravaPorucha[e]);
        bezKonce(image.ZpravaObnova[e]);
        for (std::size_t v = 0; v < 8; ++v) {
            bezKonce(image.ZpravaSepnuti[e][v]);
            bezKonce(image.ZpravaRozpojeni[e][v]);
        }
    }
    TScratchDir dir("norlink-nacti-profil");
    const std::string path = (dir.path() / "p.log").string();
    const auto entries = ExportniZaznamy(image);
    WriteProfileStrings(path, entries);
    const std::string nas = TextExportu(entries);
    const std::string profil = Soubor(path);
    const auto [a, b] = std::mismatch(nas.begin(), nas.end(), profil.begin(), profil.end());
    EXPECT_TRUE(a == nas.end() && b == profil.end())
        << "first difference at byte " << (a - nas.begin()) << " of " << nas.size();
}

TEST(NactiExport, MalformedFilesAreRefusedNamingTheLine) {
    TNORLINK image{};
    InicializujNORLINKRec(image);
    TScratchDir dir("norlink-nacti-spatne");
    const std::string path = (dir.path() / "x.log").string();
    UlozNastaveni(path, image);
    const std::string dobry = Soubor(path);
    ASSERT_TRUE(NactiExport(dobry).Ok) << NactiExport(dobry).Chyba;
    const auto nahrad = [&](const std::string& co, const std::string& cim) {
        std::string text = dobry;
        const auto at = text.find(co);
        EXPECT_NE(at, std::string::npos) << co;
        return text.replace(at, co.size(), cim);
    };
    struct TRadek {
        std::string Text;
        const char* Zprava;
    };
    for (const TRadek& r : {
             TRadek{"[ComPort]\nCislo=2\n", "Řádek 1: neznámá sekce [ComPort]"},
             TRadek{"nic\n", "Řádek 1: text mimo sekci"},
             TRadek{nahrad("Expander 00 pozice 01=255", "Expander 00 pozice 01=256"),
                    "hodnota \"256\" není číslo 0 až 255"},
             TRadek{nahrad("Expander 03 pozice 05=255", "Expander 03 pozice 05=x"),
                    "není číslo 0 až 255"},
             TRadek{nahrad("Cislo 02=", "Cislo 02=12345678901234567"), "telefonní číslo má 17"},
             TRadek{nahrad("Pozice 03=", "Pozice 03=" + std::string(241, 'a')), "text má 241"},
             TRadek{nahrad("Cislo 05=", std::string("Cislo 05=1\xFF")), "bajt 0 nebo 255"},
             TRadek{nahrad("[Zprava obnova]", "[Zprava obnova X]"), "neznámá sekce"},
             TRadek{nahrad("Cislo 07=\n", ""), "V sekci [Tel. cisla] chybí 1 z 16 položek"},
             TRadek{nahrad("Cislo 07=", "Cislo 06="), "klíč \"Cislo 06\" je v sekci dvakrát"},
             TRadek{nahrad("Expander 01 pozice 02=255", "Expander 01 pozice 02=255\nnavic"),
                    "neočekávaný řádek \"navic\""},
             TRadek{dobry.substr(0, dobry.find("[Zprava sepnuti]")),
                    "V souboru chybí sekce [Zprava sepnuti]"},
         }) {
        const TNacteniExportu out = NactiExport(r.Text);
        EXPECT_FALSE(out.Ok) << r.Zprava;
        EXPECT_THAT(out.Chyba, HasSubstr(r.Zprava));
    }
    EXPECT_THAT(NactiExport(nahrad("Expander 00 pozice 01=255", "Expander 00 pozice 01=256")).Chyba,
                ::testing::StartsWith("Řádek 21: "));
    EXPECT_THAT(NactiExportZeSouboru(dir.path().string()).Chyba, HasSubstr("není obyčejný"));
}

} // namespace
