#include "operace/SeznamZmen.h"

#include "text/Cp1250.h"

#include <algorithm>
#include <string_view>

namespace {

// Characters of a text shown before it is cut short.
constexpr std::size_t k_ZobrazenoZnaku = 40;
// One telegram cycle at 4800 Bd: the poll, the program's telegram and the device's answer and
// pause, as a settings read measures it (288 answers in about 45 s).
constexpr std::size_t k_MsNaTelegram = 160;

struct TSlova {
    std::string_view Cislo, Prazdne, Expander, Vstup, Porucha, Obnova, TextPoruchy, TextObnovy,
        Sepnuti, Rozpojeni, TextSepnuti, TextRozpojeni;
};

constexpr TSlova k_Cesky{"Tel. číslo",   "(prázdné)",          "Expander",
                         "vstup",        "porucha komunikace", "obnova komunikace",
                         "text poruchy", "text obnovy",        "sepnutí",
                         "rozpojení",    "text sepnutí",       "text rozpojení"};
constexpr TSlova k_Anglicky{"Phone number",
                            "(empty)",
                            "Expander",
                            "input",
                            "communication failure",
                            "communication restored",
                            "failure text",
                            "restoration text",
                            "switch-on",
                            "disconnect",
                            "switch-on text",
                            "disconnect text"};

std::string Prijemci(const TPrijemci& p, const TSlova& s) {
    std::string out;
    for (const std::uint8_t slot : p) {
        if (slot != k_NORLINKPhoneEmptyChar) {
            out += (out.empty() ? "" : ", ") + std::to_string(slot);
        }
    }
    return out.empty() ? std::string(s.Prazdne) : out;
}

std::string Text(std::string_view bytes, const TSlova& s) {
    if (bytes.empty()) {
        return std::string(s.Prazdne);
    }
    std::string text;
    std::size_t znaku = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (znaku == k_ZobrazenoZnaku) {
            text += "…";
            break;
        }
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            // A line break shows as one mark: CR LF is one break.
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            text += "↵";
        } else {
            text += Cp1250DoUtf8(bytes.substr(i, 1));
        }
        ++znaku;
    }
    return "„" + text + "“";
}

void Radek(std::vector<std::string>& out, const std::string& co, const std::string& z,
           const std::string& na) {
    out.push_back(co + ": " + z + " → " + na);
}

} // namespace

TJazyk JazykProstredi(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("cs") ? TJazyk::Cesky : TJazyk::Anglicky;
        }
    }
    return TJazyk::Anglicky;
}

std::vector<std::string> SeznamZmen(const TNORLINK& a, const TNORLINK& b, TRozsahZmen rozsah,
                                    TJazyk jazyk) {
    const TSlova& s = jazyk == TJazyk::Cesky ? k_Cesky : k_Anglicky;
    std::vector<std::string> out;
    if (rozsah.Cisla) {
        for (std::size_t i = 0; i < k_NORLINKMaxPocetCisel; ++i) {
            if (!(a.TelCisla[i] == b.TelCisla[i])) {
                const auto cislo = [&](const TTelCislo& c) {
                    return c.empty() ? std::string(s.Prazdne) : Cp1250DoUtf8(c.View());
                };
                Radek(out, std::string(s.Cislo) + " " + std::to_string(i), cislo(a.TelCisla[i]),
                      cislo(b.TelCisla[i]));
            }
        }
    }
    if (!rozsah.Nastaveni) {
        return out;
    }
    const auto n = static_cast<std::size_t>(std::clamp(rozsah.PocetExpanderu, 1, 8));
    const auto expander = [&](std::size_t e) {
        return std::string(s.Expander) + " " + std::to_string(e + 1) + ", ";
    };
    const auto vstup = [&](std::size_t e, std::size_t v) {
        return expander(e) + std::string(s.Vstup) + " " + std::to_string(v + 1) + ", ";
    };
    for (std::size_t e = 0; e < n; ++e) {
        if (!(a.TelCislaPoruchaKom[e] == b.TelCislaPoruchaKom[e])) {
            Radek(out, expander(e) + std::string(s.Porucha), Prijemci(a.TelCislaPoruchaKom[e], s),
                  Prijemci(b.TelCislaPoruchaKom[e], s));
        }
    }
    for (std::size_t e = 0; e < n; ++e) {
        if (!(a.TelCislaObnovaKom[e] == b.TelCislaObnovaKom[e])) {
            Radek(out, expander(e) + std::string(s.Obnova), Prijemci(a.TelCislaObnovaKom[e], s),
                  Prijemci(b.TelCislaObnovaKom[e], s));
        }
    }
    for (std::size_t e = 0; e < n; ++e) {
        if (!(a.ZpravaPorucha[e] == b.ZpravaPorucha[e])) {
            Radek(out, expander(e) + std::string(s.TextPoruchy), Text(a.ZpravaPorucha[e].View(), s),
                  Text(b.ZpravaPorucha[e].View(), s));
        }
    }
    for (std::size_t e = 0; e < n; ++e) {
        if (!(a.ZpravaObnova[e] == b.ZpravaObnova[e])) {
            Radek(out, expander(e) + std::string(s.TextObnovy), Text(a.ZpravaObnova[e].View(), s),
                  Text(b.ZpravaObnova[e].View(), s));
        }
    }
    for (const bool druha : {false, true}) {
        const auto& pa = druha ? a.TelCislaRozpojeni : a.TelCislaSepnuti;
        const auto& pb = druha ? b.TelCislaRozpojeni : b.TelCislaSepnuti;
        for (std::size_t e = 0; e < n; ++e) {
            for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
                if (!(pa[e][v] == pb[e][v])) {
                    Radek(out, vstup(e, v) + std::string(druha ? s.Rozpojeni : s.Sepnuti),
                          Prijemci(pa[e][v], s), Prijemci(pb[e][v], s));
                }
            }
        }
    }
    for (const bool druha : {false, true}) {
        const auto& ta = druha ? a.ZpravaRozpojeni : a.ZpravaSepnuti;
        const auto& tb = druha ? b.ZpravaRozpojeni : b.ZpravaSepnuti;
        for (std::size_t e = 0; e < n; ++e) {
            for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
                if (!(ta[e][v] == tb[e][v])) {
                    Radek(out, vstup(e, v) + std::string(druha ? s.TextRozpojeni : s.TextSepnuti),
                          Text(ta[e][v].View(), s), Text(tb[e][v].View(), s));
                }
            }
        }
    }
    return out;
}

std::size_t TelegramuZapisu(std::size_t cisel, std::size_t bloku) {
    return 3 * cisel + 2 * bloku;
}

std::string SouhrnZapisu(std::size_t cisel, std::size_t bloku) {
    const std::size_t telegramu = TelegramuZapisu(cisel, bloku);
    const std::size_t sekund = std::max<std::size_t>(1, (telegramu * k_MsNaTelegram + 999) / 1000);
    return "Telegramů: " + std::to_string(telegramu) + ", odhad doby zápisu při 4800 Bd: " +
           (sekund < 120 ? std::to_string(sekund) + " s"
                         : std::to_string((sekund + 59) / 60) + " min") +
           ".";
}
