#include "soubory/Protokol.h"

#include "operace/Dekodery.h"
#include "soubory/Export.h"
#include "soubory/UlozDoIni.h"
#include "text/Cp1250.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

namespace {

constexpr std::size_t k_Cisel = k_NORLINKMaxPocetCisel;
constexpr std::uint8_t k_PrvniNeplatny = static_cast<std::uint8_t>(k_Cisel);

std::string Esc(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Device bytes (Windows-1250) as HTML: line breaks as <br>, bytes that are no characters (control
// codes, the five the code page leaves undefined) as their hex value, so nothing disappears.
std::string ZarizeniHtml(std::string_view bytes) {
    std::string out;
    std::string beh;
    const auto dokonci = [&] {
        out += Esc(Cp1250DoUtf8(beh));
        beh.clear();
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' || b == '\n') {
            dokonci();
            out += "<br>";
            if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else if ((b < 0x20 && b != '\t') || b == 0x7F || b == 0x81 || b == 0x83 || b == 0x88 ||
                   b == 0x90 || b == 0x98 || b == 0xFF) {
            dokonci();
            std::array<char, 8> hex{};
            std::snprintf(hex.data(), hex.size(), "[%02X]", b);
            out += "<span class=\"kod\">";
            out += hex.data();
            out += "</span>";
        } else {
            beh += static_cast<char>(b);
        }
    }
    dokonci();
    return out;
}

std::string Nezname() {
    return "<span class=\"neznamy\">" + std::string(R_Protokol_Nezname) + "</span>";
}

std::string Nic(std::string_view text) {
    return "<span class=\"nic\">" + std::string(text) + "</span>";
}

bool CisloZname(const TZnameData& znama, std::size_t k) {
    return znama.Znamy(AdresaTelCisla(static_cast<std::uint8_t>(k)), k_NORLINKTlgSize);
}

// One event that can send an SMS: its recipient slots and text, and whether each is known.
struct TUdalost {
    std::size_t Expander = 0;
    std::optional<std::size_t> Vstup;
    bool Druha = false; // restoration, disconnection
    const TPrijemci* Seznam = nullptr;
    const TZprava* Text = nullptr;
    bool SeznamZnamy = false;
    bool TextZnamy = false;

    std::string Nazev() const {
        std::string n = "Expander " + std::to_string(Expander + 1);
        if (Vstup) {
            return n + ", vstup " + std::to_string(*Vstup + 1) +
                   (Druha ? " – rozpojení" : " – sepnutí");
        }
        return n + (Druha ? " – obnova komunikace" : " – porucha komunikace");
    }
    // The telephone numbers (0-based) that the slots name, each once, in slot order; a byte of 16
    // or more names none (the window shows it as an empty cell).
    std::vector<std::size_t> Prijemci() const {
        std::vector<std::size_t> out;
        for (const std::uint8_t s : *Seznam) {
            if (s < k_PrvniNeplatny && std::find(out.begin(), out.end(), s) == out.end()) {
                out.push_back(s);
            }
        }
        return out;
    }
};

TUdalost UdalostExpanderu(const TVstupProtokolu& in, std::size_t e, bool obnova) {
    TUdalost u;
    u.Expander = e;
    u.Druha = obnova;
    u.Seznam = obnova ? &in.Image.TelCislaObnovaKom[e] : &in.Image.TelCislaPoruchaKom[e];
    u.Text = obnova ? &in.Image.ZpravaObnova[e] : &in.Image.ZpravaPorucha[e];
    u.SeznamZnamy = in.Znama.Znamy(AdresaSeznamuExpanderu(e, obnova), k_BajtuSeznamu);
    u.TextZnamy = in.Znama.Znamy(AdresaTextuExpanderu(e, obnova), k_BajtuTextu);
    return u;
}

TUdalost UdalostVstupu(const TVstupProtokolu& in, std::size_t e, std::size_t v, bool rozpojeni) {
    TUdalost u;
    u.Expander = e;
    u.Vstup = v;
    u.Druha = rozpojeni;
    u.Seznam = rozpojeni ? &in.Image.TelCislaRozpojeni[e][v] : &in.Image.TelCislaSepnuti[e][v];
    u.Text = rozpojeni ? &in.Image.ZpravaRozpojeni[e][v] : &in.Image.ZpravaSepnuti[e][v];
    u.SeznamZnamy = in.Znama.Znamy(AdresaSeznamuVstupu(e, v, rozpojeni), k_BajtuSeznamu);
    u.TextZnamy = in.Znama.Znamy(AdresaTextuVstupu(e, v, rozpojeni), k_BajtuTextu);
    return u;
}

class TSestava {
public:
    explicit TSestava(const TVstupProtokolu& in)
        : fIn(in), fExpanderu(static_cast<std::size_t>(
                       std::clamp(in.PocetExpanderu, 1, static_cast<int>(k_NORLINKMaxPocetExp)))) {}

    std::string Html() {
        Zacatek();
        Hlavicka();
        TelefonniCisla();
        for (std::size_t e = 0; e < fExpanderu; ++e) {
            Expander(e);
        }
        Matice();
        Konec();
        return std::move(fOut);
    }

private:
    std::string Cislo(std::size_t k) const {
        if (!CisloZname(fIn.Znama, k)) {
            return "tel. číslo " + std::to_string(k) + ": " + Nezname();
        }
        if (fIn.Image.TelCisla[k].empty()) {
            return Nic("tel. číslo " + std::to_string(k) + " není vyplněno");
        }
        return "<span class=\"cislo\">" + ZarizeniHtml(fIn.Image.TelCisla[k].View()) + "</span>";
    }

    std::string Prijemci(const TUdalost& u) const {
        if (!u.SeznamZnamy) {
            return Nezname();
        }
        const std::vector<std::size_t> prijemci = u.Prijemci();
        if (prijemci.empty()) {
            return Nic("nikdo");
        }
        std::string out;
        for (const std::size_t k : prijemci) {
            out += (out.empty() ? "" : "<br>") + Cislo(k);
        }
        return out;
    }

    static std::string Text(const TUdalost& u) {
        if (!u.TextZnamy) {
            return Nezname();
        }
        if (u.Text->empty()) {
            return Nic("bez textu");
        }
        return "<span class=\"sms\">" + ZarizeniHtml(u.Text->View()) + "</span>";
    }

    void Zacatek() {
        fOut += "<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
        fOut += R_Protokol_Nadpis;
        fOut += "</title>\n<style>\n"
                "@page { size: A4; margin: 15mm; }\n"
                "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 10pt; "
                "color: #000; background: #fff; }\n"
                "h1 { font-size: 15pt; margin: 0 0 8pt 0; }\n"
                "h2 { font-size: 12pt; margin: 14pt 0 4pt 0; }\n"
                "h3 { font-size: 11pt; margin: 10pt 0 3pt 0; }\n"
                "table { border-collapse: collapse; width: 100%; margin-bottom: 4pt; }\n"
                "th, td { border: 1px solid #555; text-align: left; vertical-align: top; }\n"
                "th { background: #e8e8e8; }\n"
                "table.udaje th { width: 30%; }\n"
                "table.matice th, table.matice td { font-size: 8pt; text-align: center; }\n"
                "table.matice td.udalost { text-align: left; }\n"
                "tr { page-break-inside: avoid; }\n"
                ".neznamy { font-style: italic; color: #a00; }\n"
                ".nic { color: #555; }\n"
                ".kod { color: #555; font-size: 8pt; }\n"
                ".sms { white-space: pre-wrap; }\n"
                ".soucet { font-family: 'DejaVu Sans Mono', monospace; font-size: 12pt; "
                "font-weight: bold; }\n"
                ".podpisy td { border: none; padding-top: 28pt; width: 50%; }\n"
                "</style>\n</head>\n<body>\n";
        fOut += "<h1>" + std::string(R_Protokol_Nadpis) + "</h1>\n";
    }

    void Radek(std::string_view nazev, const std::string& hodnotaHtml) {
        fOut += "<tr><th>" + std::string(nazev) + "</th><td>" + hodnotaHtml + "</td></tr>\n";
    }

    std::string Ident(const std::string& text) const {
        return text.empty() ? Nezname() : Esc(text);
    }

    void Hlavicka() {
        fOut += "<table class=\"udaje\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                "width=\"100%\">\n";
        if (!fIn.Cas.empty()) {
            Radek("Datum a čas", Esc(fIn.Cas));
        }
        if (!fIn.Objekt.empty()) {
            Radek("Objekt", Esc(fIn.Objekt));
        }
        if (!fIn.Technik.empty()) {
            Radek("Technik", Esc(fIn.Technik));
        }
        Radek("Typ komunikátoru", Ident(fIn.Typ));
        Radek("Verze software", Ident(fIn.VerzeSW));
        Radek("Verze hardware", Ident(fIn.VerzeHW));
        Radek("Počet expanderů", std::to_string(fExpanderu));
        if (!fIn.Stav.empty()) {
            Radek("Stav", Esc(fIn.Stav));
        }
        fOut += "</table>\n";
    }

    std::string HodnotaCisla(std::size_t k) const {
        if (!CisloZname(fIn.Znama, k)) {
            return Nezname();
        }
        if (fIn.Image.TelCisla[k].empty()) {
            return Nic("nevyplněno");
        }
        return ZarizeniHtml(fIn.Image.TelCisla[k].View());
    }

    // Two halves side by side, so that the list takes half a page.
    void TelefonniCisla() {
        constexpr std::size_t k_Pul = k_Cisel / 2;
        fOut += "<h2>Telefonní čísla</h2>\n<table class=\"cisla\" border=\"1\" cellspacing=\"0\" "
                "cellpadding=\"3\" width=\"100%\">\n<tr><th width=\"6%\">č.</th><th "
                "width=\"44%\">Telefonní číslo</th><th width=\"6%\">č.</th><th "
                "width=\"44%\">Telefonní číslo</th></tr>\n";
        for (std::size_t k = 0; k < k_Pul; ++k) {
            // Numbered 0 to 15, as the window's grid and the recipient cells number them.
            fOut += "<tr><td>" + std::to_string(k) + "</td><td>" + HodnotaCisla(k) + "</td><td>" +
                    std::to_string(k + k_Pul) + "</td><td>" + HodnotaCisla(k + k_Pul) +
                    "</td></tr>\n";
        }
        fOut += "</table>\n";
    }

    std::string Udalost(const TUdalost& u, std::string_view nazev,
                        const std::string& prvniBunka) const {
        return "<tr>" + prvniBunka + "<td>" + std::string(nazev) + "</td><td>" + Prijemci(u) +
               "</td><td>" + Text(u) + "</td></tr>\n";
    }

    static std::string Seznam(const std::vector<std::size_t>& vstupy) {
        std::string out;
        for (const std::size_t v : vstupy) {
            out += (out.empty() ? "" : ", ") + std::to_string(v + 1);
        }
        return out;
    }

    void Expander(std::size_t e) {
        fOut += "<h2>Expander " + std::to_string(e + 1) + "</h2>\n";
        fOut += "<table class=\"expander\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                "width=\"100%\">\n<tr><th>Událost</th><th>Komu přijde SMS</th><th>Text "
                "SMS</th></tr>\n";
        fOut += Udalost(UdalostExpanderu(fIn, e, false), "Porucha komunikace", "");
        fOut += Udalost(UdalostExpanderu(fIn, e, true), "Obnova komunikace", "");
        fOut += "</table>\n";

        std::vector<std::size_t> prazdne;
        std::vector<std::size_t> nezname;
        std::string radky;
        for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
            const std::array<TUdalost, 2> u{UdalostVstupu(fIn, e, v, false),
                                            UdalostVstupu(fIn, e, v, true)};
            bool neco = false;
            bool vseNezname = true;
            for (const TUdalost& x : u) {
                neco = neco || (x.SeznamZnamy && !x.Prijemci().empty()) ||
                       (x.TextZnamy && !x.Text->empty()) || !x.SeznamZnamy || !x.TextZnamy;
                vseNezname = vseNezname && !x.SeznamZnamy && !x.TextZnamy;
            }
            if (vseNezname) {
                nezname.push_back(v);
                continue;
            }
            if (!neco) {
                prazdne.push_back(v);
                continue;
            }
            const std::string vstup = "<td rowspan=\"2\">Vstup " + std::to_string(v + 1) + "</td>";
            radky += Udalost(u[0], "Sepnutí", vstup) + Udalost(u[1], "Rozpojení", "");
        }
        if (!radky.empty()) {
            fOut += "<table class=\"vstupy\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                    "width=\"100%\">\n<tr><th>Vstup</th><th>Událost</th><th>Komu přijde "
                    "SMS</th><th>Text SMS</th></tr>\n" +
                    radky + "</table>\n";
        }
        if (!prazdne.empty()) {
            fOut += "<p>Vstupy bez příjemců a bez textů: " + Seznam(prazdne) + ".</p>\n";
        }
        if (!nezname.empty()) {
            fOut += "<p>Vstupy " + Nezname() + ": " + Seznam(nezname) + ".</p>\n";
        }
    }

    // Digits in groups of three on lines of their own, so that 16 columns fit on A4.
    static std::string HlavickaCisla(std::string_view bytes) {
        std::string out;
        for (std::size_t i = 0; i < bytes.size(); i += 3) {
            out += (i == 0 ? "" : "<br>") + ZarizeniHtml(bytes.substr(i, 3));
        }
        return out;
    }

    void Matice() {
        std::vector<TUdalost> udalosti;
        for (std::size_t e = 0; e < fExpanderu; ++e) {
            udalosti.push_back(UdalostExpanderu(fIn, e, false));
            udalosti.push_back(UdalostExpanderu(fIn, e, true));
            for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
                udalosti.push_back(UdalostVstupu(fIn, e, v, false));
                udalosti.push_back(UdalostVstupu(fIn, e, v, true));
            }
        }
        // Columns: the filled numbers, and unknown numbers that a known event names.
        std::array<bool, k_Cisel> sloupec{};
        bool nezname = false;
        for (std::size_t k = 0; k < k_Cisel; ++k) {
            sloupec[k] = CisloZname(fIn.Znama, k) && !fIn.Image.TelCisla[k].empty();
        }
        for (const TUdalost& u : udalosti) {
            if (!u.SeznamZnamy) {
                nezname = true;
                continue;
            }
            for (const std::size_t k : u.Prijemci()) {
                sloupec[k] = sloupec[k] || !CisloZname(fIn.Znama, k);
            }
        }
        fOut += "<h2>Kdo dostává které SMS</h2>\n";
        std::string radky;
        for (const TUdalost& u : udalosti) {
            if (!u.SeznamZnamy) {
                continue;
            }
            const std::vector<std::size_t> prijemci = u.Prijemci();
            if (std::none_of(prijemci.begin(), prijemci.end(),
                             [&](std::size_t k) { return sloupec[k]; })) {
                continue;
            }
            radky += "<tr><td class=\"udalost\">" + u.Nazev() + "</td>";
            for (std::size_t k = 0; k < k_Cisel; ++k) {
                if (sloupec[k]) {
                    const bool ma =
                        std::find(prijemci.begin(), prijemci.end(), k) != prijemci.end();
                    radky += ma ? "<td class=\"znacka\">✓</td>" : "<td></td>";
                }
            }
            radky += "</tr>\n";
        }
        if (radky.empty()) {
            fOut += "<p>Žádná událost neposílá SMS na vyplněné telefonní číslo.</p>\n";
        } else {
            fOut += "<table class=\"matice\" border=\"1\" cellspacing=\"0\" cellpadding=\"2\" "
                    "width=\"100%\">\n<tr><th>Událost</th>";
            for (std::size_t k = 0; k < k_Cisel; ++k) {
                if (!sloupec[k]) {
                    continue;
                }
                fOut +=
                    "<th>" +
                    (CisloZname(fIn.Znama, k) ? HlavickaCisla(fIn.Image.TelCisla[k].View())
                                              : "č. " + std::to_string(k) + "<br>" + Nezname()) +
                    "</th>";
            }
            fOut += "</tr>\n" + radky + "</table>\n";
        }
        if (nezname) {
            fOut += "<p>Události, jejichž příjemci jsou " + Nezname() + ", v přehledu chybí.</p>\n";
        }
    }

    void Konec() {
        fOut += "<h2>Kontrolní součet</h2>\n<p>Kontrolní součet nastavení: <span "
                "class=\"soucet\">" +
                KontrolniSoucet(fIn.Image, fIn.Znama) +
                "</span><br>Protokol stejného nastavení má vždy stejný součet.</p>\n";
        fOut += "<table class=\"podpisy\" width=\"100%\"><tr><td>Předal: "
                "......................................</td><td>Převzal: "
                "......................................</td></tr></table>\n";
        fOut += "</body>\n</html>\n";
    }

    const TVstupProtokolu& fIn;
    std::size_t fExpanderu;
    std::string fOut;
};

} // namespace

std::string ProtokolHtml(const TVstupProtokolu& vstup) {
    return TSestava(vstup).Html();
}

std::uint32_t Crc32(std::string_view bytes) {
    static const std::array<std::uint32_t, 256> tabulka = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int b = 0; b < 8; ++b) {
                c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const char c : bytes) {
        crc = tabulka[(crc ^ static_cast<unsigned char>(c)) & 0xFFU] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFU;
}

std::string KontrolniSoucet(const TNORLINK& image, const TZnameData& znama) {
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "%08X",
                  Crc32(TextExportu(ExportniZaznamy(image, znama))));
    return hex.data();
}

std::string CasProtokolu(const TDateTimeParts& cas) {
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%d. %d. %d %02d:%02d", cas.Day, cas.Month, cas.Year,
                  cas.Hour, cas.Minute);
    return text.data();
}

std::string StavProtokolu(std::size_t nezapsanychBloku, const TZnameData& znama, int pocetExpanderu,
                          const std::string& casOvereni) {
    if (nezapsanychBloku > 0) {
        return std::string(R_Protokol_Zmeny);
    }
    const auto n = static_cast<std::size_t>(
        std::clamp(pocetExpanderu, 1, static_cast<int>(k_NORLINKMaxPocetExp)));
    std::size_t znamych = 0;
    std::size_t vsech = 0;
    const auto blok = [&](std::uint32_t od, std::uint32_t bajtu) {
        ++vsech;
        znamych += znama.Znamy(od, bajtu) ? 1 : 0;
    };
    for (std::size_t k = 0; k < k_Cisel; ++k) {
        blok(AdresaTelCisla(static_cast<std::uint8_t>(k)), k_NORLINKTlgSize);
    }
    for (std::size_t e = 0; e < n; ++e) {
        for (const bool druha : {false, true}) {
            blok(AdresaSeznamuExpanderu(e, druha), k_BajtuSeznamu);
            blok(AdresaTextuExpanderu(e, druha), k_BajtuTextu);
            for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
                blok(AdresaSeznamuVstupu(e, v, druha), k_BajtuSeznamu);
                blok(AdresaTextuVstupu(e, v, druha), k_BajtuTextu);
            }
        }
    }
    if (znamych == 0) {
        return std::string(R_Protokol_Nenacteno);
    }
    std::string stav(znamych == vsech ? R_Protokol_Overeno : R_Protokol_Castecne);
    return casOvereni.empty() ? stav : stav + " (" + casOvereni + ")";
}

TVstupProtokolu VstupProtokolu(const TNORLINK& image, const TZnameData& znama,
                               std::string_view hwtyp, std::string_view versw,
                               std::string_view verhw, int pocetExpanderu, std::string objekt,
                               std::string technik, std::string cas, std::string stav) {
    return TVstupProtokolu{image,
                           znama,
                           CitelnyText(hwtyp),
                           CitelnyText(versw),
                           CitelnyText(verhw),
                           std::move(objekt),
                           std::move(technik),
                           std::move(cas),
                           std::move(stav),
                           pocetExpanderu};
}

int ExpanderyProtokolu(const TNORLINK& image, const TZnameData& znama) {
    TNORLINK prazdny{};
    InicializujNORLINKRec(prazdny);
    int n = 1;
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        bool nastaven = false;
        const auto seznam = [&](const TPrijemci& a, const TPrijemci& b, std::uint32_t adresa) {
            nastaven = nastaven || (znama.Znamy(adresa, k_BajtuSeznamu) && !(a == b));
        };
        const auto text = [&](const TZprava& a, const TZprava& b, std::uint32_t adresa) {
            nastaven = nastaven || (znama.Znamy(adresa, k_BajtuTextu) && !(a == b));
        };
        seznam(image.TelCislaPoruchaKom[e], prazdny.TelCislaPoruchaKom[e],
               AdresaSeznamuExpanderu(e, false));
        seznam(image.TelCislaObnovaKom[e], prazdny.TelCislaObnovaKom[e],
               AdresaSeznamuExpanderu(e, true));
        text(image.ZpravaPorucha[e], prazdny.ZpravaPorucha[e], AdresaTextuExpanderu(e, false));
        text(image.ZpravaObnova[e], prazdny.ZpravaObnova[e], AdresaTextuExpanderu(e, true));
        for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
            seznam(image.TelCislaSepnuti[e][v], prazdny.TelCislaSepnuti[e][v],
                   AdresaSeznamuVstupu(e, v, false));
            seznam(image.TelCislaRozpojeni[e][v], prazdny.TelCislaRozpojeni[e][v],
                   AdresaSeznamuVstupu(e, v, true));
            text(image.ZpravaSepnuti[e][v], prazdny.ZpravaSepnuti[e][v],
                 AdresaTextuVstupu(e, v, false));
            text(image.ZpravaRozpojeni[e][v], prazdny.ZpravaRozpojeni[e][v],
                 AdresaTextuVstupu(e, v, true));
        }
        if (nastaven) {
            n = static_cast<int>(e) + 1;
        }
    }
    return n;
}

TUdajeProtokolu NactiUdajeProtokolu(const std::string& ini) {
    TUdajeProtokolu out;
    try {
        const TProfileFile file = TProfileFile::Load(ini);
        out.Objekt = file.ReadString(k_SekceProtokol, k_KlicObjekt, "");
        out.Technik = file.ReadString(k_SekceProtokol, k_KlicTechnik, "");
    } catch (const std::exception&) {
        // An unreadable norlink.ini only loses the suggestion.
    }
    return out;
}

void UlozUdajeProtokolu(const std::string& ini, const TUdajeProtokolu& udaje) {
    UlozDoIni(ini, k_SekceProtokol, k_KlicObjekt, udaje.Objekt, TIniType::str_ini);
    UlozDoIni(ini, k_SekceProtokol, k_KlicTechnik, udaje.Technik, TIniType::str_ini);
}
