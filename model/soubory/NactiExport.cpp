#include "soubory/NactiExport.h"

#include "soubory/Export.h"
#include "soubory/ProfileFile.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace {

// An export is about 60 KB; anything past this is not one.
constexpr std::size_t k_NejvetsiExport = 2 * 1024 * 1024;

enum class TDruh : std::uint8_t { Cislo, Slot, Text };

struct TSekce {
    std::string_view Nazev;
    std::string_view Format; // the key format, %.2d fields
    std::array<std::size_t, 3> Meze;
    TDruh Druh;
};

constexpr std::array<TSekce, 9> k_Sekce{{
    {R_Log_TelCisla, R_Log_Cislo, {16, 1, 1}, TDruh::Cislo},
    {R_Log_CislaPorucha, R_Log_Pozice, {8, 16, 1}, TDruh::Slot},
    {R_Log_CislaObnova, R_Log_Pozice, {8, 16, 1}, TDruh::Slot},
    {R_Log_ZpravaPorucha, R_Log_ZpravaPozice, {8, 1, 1}, TDruh::Text},
    {R_Log_ZpravaObnova, R_Log_ZpravaPozice, {8, 1, 1}, TDruh::Text},
    {R_Log_CislaSepnuti, R_Log_VstupPozice, {8, 8, 16}, TDruh::Slot},
    {R_Log_CislaRozpojeni, R_Log_VstupPozice, {8, 8, 16}, TDruh::Slot},
    {R_Log_ZpravaSepnuti, R_Log_Pozice, {8, 8, 1}, TDruh::Text},
    {R_Log_ZpravaRozpojeni, R_Log_Pozice, {8, 8, 1}, TDruh::Text},
}};

std::string_view Orez(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

bool StejneBezVelikosti(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto la = static_cast<unsigned char>(a[i]);
        const auto lb = static_cast<unsigned char>(b[i]);
        if (std::tolower(la) != std::tolower(lb)) {
            return false;
        }
    }
    return true;
}

// The numbers of a key in the section's format, in order; nothing when the key is not of it.
std::optional<std::array<std::size_t, 3>> Cisla(const TSekce& sekce, std::string_view key) {
    std::array<std::size_t, 3> cisla{0, 0, 0};
    std::size_t n = 0;
    std::size_t k = 0;
    const std::string_view f = sekce.Format;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f.substr(i, 4) == "%.2d") {
            std::size_t digits = 0;
            std::size_t value = 0;
            while (k < key.size() && key[k] >= '0' && key[k] <= '9' && digits < 4) {
                value = value * 10 + static_cast<std::size_t>(key[k] - '0');
                ++k;
                ++digits;
            }
            if (digits == 0 || n >= cisla.size() || value >= sekce.Meze[n]) {
                return std::nullopt;
            }
            cisla[n++] = value;
            i += 3;
            continue;
        }
        if (k >= key.size() || std::tolower(static_cast<unsigned char>(key[k])) !=
                                   std::tolower(static_cast<unsigned char>(f[i]))) {
            return std::nullopt;
        }
        ++k;
    }
    if (k != key.size()) {
        return std::nullopt;
    }
    return cisla;
}

std::size_t Index(const TSekce& sekce, const std::array<std::size_t, 3>& c) {
    return (c[0] * sekce.Meze[1] + c[1]) * sekce.Meze[2] + c[2];
}

std::size_t Pocet(const TSekce& sekce) {
    return sekce.Meze[0] * sekce.Meze[1] * sekce.Meze[2];
}

struct THodnota {
    std::string Text;
    int Radek = 0;
    bool Je = false;
};

std::string Radek(int radek) {
    return "Řádek " + std::to_string(radek) + ": ";
}

class TCtecka {
public:
    explicit TCtecka(std::string_view text) : fText(text) {
        for (std::size_t s = 0; s < k_Sekce.size(); ++s) {
            fHodnoty[s].resize(Pocet(k_Sekce[s]));
        }
    }

    TNacteniExportu Cti() {
        TNacteniExportu out;
        if (!Rozdel(out.Chyba) || !Uloz(out.Image, out.Chyba) || !Nezname(out.Znama, out.Chyba)) {
            return out;
        }
        for (const TDalsiZaznam& z : fZaloha) {
            out.Zaloha.push_back({std::string(R_Log_Zaloha), z.Key, z.Value});
        }
        out.Ok = true;
        return out;
    }

private:
    bool Rozdel(std::string& chyba) {
        int radek = 0;
        int sekce = -1;
        THodnota* posledni = nullptr;
        std::vector<std::string> prazdne; // blank lines inside a text, kept when it goes on
        std::size_t at = 0;
        while (at <= fText.size()) {
            const std::size_t end = fText.find('\n', at);
            const std::string_view line =
                fText.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
            ++radek;
            at = end == std::string_view::npos ? fText.size() + 1 : end + 1;
            if (end == std::string_view::npos && line.empty()) {
                break;
            }
            const std::string_view orez = Orez(line);
            if (orez.size() >= 2 && orez.front() == '[' && orez.back() == ']') {
                // The last blank line before a header separates the sections.
                if (posledni != nullptr && !prazdne.empty()) {
                    prazdne.pop_back();
                    Pripoj(*posledni, prazdne);
                }
                const std::string_view nazev = Orez(orez.substr(1, orez.size() - 2));
                fDalsi = nullptr;
                if (StejneBezVelikosti(nazev, R_Log_NeznameBloky) ||
                    StejneBezVelikosti(nazev, R_Log_Zaloha)) {
                    fDalsi = StejneBezVelikosti(nazev, R_Log_Zaloha) ? &fZaloha : &fNezname;
                    if (!fDalsi->empty()) {
                        chyba = Radek(radek) + "sekce [" + std::string(nazev) +
                                "] je v souboru dvakrát.";
                        return false;
                    }
                    sekce = k_DalsiSekce;
                    posledni = nullptr;
                    prazdne.clear();
                    continue;
                }
                sekce = -1;
                for (std::size_t s = 0; s < k_Sekce.size(); ++s) {
                    if (StejneBezVelikosti(nazev, k_Sekce[s].Nazev)) {
                        sekce = static_cast<int>(s);
                    }
                }
                if (sekce < 0) {
                    chyba = Radek(radek) + "neznámá sekce [" + std::string(nazev) +
                            "], soubor není export nastavení NORLINK.";
                    return false;
                }
                if (fVidena[static_cast<std::size_t>(sekce)]) {
                    chyba =
                        Radek(radek) + "sekce [" + std::string(nazev) + "] je v souboru dvakrát.";
                    return false;
                }
                fVidena[static_cast<std::size_t>(sekce)] = true;
                posledni = nullptr;
                prazdne.clear();
                continue;
            }
            if (sekce == k_DalsiSekce) {
                const std::size_t rovno = line.find('=');
                if (rovno != std::string_view::npos) {
                    fDalsi->push_back({std::string(Orez(line.substr(0, rovno))),
                                       std::string(Orez(line.substr(rovno + 1))), radek});
                } else if (!orez.empty() && orez.front() != ';') {
                    chyba = Radek(radek) + "neočekávaný řádek \"" +
                            std::string(orez.substr(0, 40)) + "\".";
                    return false;
                }
                continue;
            }
            if (sekce < 0) {
                if (orez.empty() || orez.front() == ';') {
                    continue;
                }
                chyba = Radek(radek) + "text mimo sekci, soubor není export nastavení NORLINK.";
                return false;
            }
            const TSekce& s = k_Sekce[static_cast<std::size_t>(sekce)];
            const std::size_t rovno = line.find('=');
            std::optional<std::array<std::size_t, 3>> cisla;
            if (rovno != std::string_view::npos) {
                cisla = Cisla(s, Orez(line.substr(0, rovno)));
            }
            if (cisla) {
                if (posledni != nullptr) {
                    Pripoj(*posledni, prazdne);
                }
                THodnota& h = fHodnoty[static_cast<std::size_t>(sekce)][Index(s, *cisla)];
                if (h.Je) {
                    chyba = Radek(radek) + "klíč \"" + std::string(Orez(line.substr(0, rovno))) +
                            "\" je v sekci dvakrát.";
                    return false;
                }
                h.Je = true;
                h.Radek = radek;
                h.Text = std::string(line.substr(rovno + 1));
                posledni = s.Druh == TDruh::Text ? &h : nullptr;
                prazdne.clear();
                if (s.Druh != TDruh::Text) {
                    h.Text = std::string(Orez(h.Text));
                }
                continue;
            }
            if (posledni != nullptr) {
                // A text goes on over the next lines; blank lines count once more text follows.
                if (line.empty()) {
                    prazdne.emplace_back(line);
                    continue;
                }
                Pripoj(*posledni, prazdne);
                posledni->Text += "\n" + std::string(line);
                continue;
            }
            if (orez.empty() || orez.front() == ';') {
                continue;
            }
            chyba = Radek(radek) + "neočekávaný řádek \"" + std::string(orez.substr(0, 40)) +
                    "\" v sekci [" + std::string(s.Nazev) + "].";
            return false;
        }
        if (posledni != nullptr) {
            Pripoj(*posledni, prazdne);
        }
        return true;
    }

    static void Pripoj(THodnota& hodnota, std::vector<std::string>& prazdne) {
        for (const std::string& p : prazdne) {
            hodnota.Text += "\n" + p;
        }
        prazdne.clear();
    }

    bool Uloz(TNORLINK& image, std::string& chyba) {
        for (std::size_t si = 0; si < k_Sekce.size(); ++si) {
            const TSekce& s = k_Sekce[si];
            if (!fVidena[si]) {
                chyba = "V souboru chybí sekce [" + std::string(s.Nazev) + "].";
                return false;
            }
            for (std::size_t i = 0; i < fHodnoty[si].size(); ++i) {
                const THodnota& h = fHodnoty[si][i];
                if (!h.Je) {
                    chyba = "V sekci [" + std::string(s.Nazev) + "] chybí " +
                            std::to_string(Pocet(s) - Pritomnych(si)) + " z " +
                            std::to_string(Pocet(s)) + " položek.";
                    return false;
                }
                if (!UlozHodnotu(image, si, i, h, chyba)) {
                    return false;
                }
            }
        }
        return true;
    }

    std::size_t Pritomnych(std::size_t si) const {
        std::size_t n = 0;
        for (const THodnota& h : fHodnoty[si]) {
            n += h.Je ? 1 : 0;
        }
        return n;
    }

    static bool UlozHodnotu(TNORLINK& image, std::size_t si, std::size_t i, const THodnota& h,
                            std::string& chyba) {
        const TSekce& s = k_Sekce[si];
        if (s.Druh == TDruh::Slot) {
            const auto value = ParseProfileInteger(h.Text);
            if (!value || *value < 0 || *value > 255) {
                chyba = Radek(h.Radek) + "hodnota \"" + h.Text.substr(0, 20) +
                        "\" není číslo 0 až 255.";
                return false;
            }
            const auto b = static_cast<std::uint8_t>(*value);
            const std::size_t e = i / (s.Meze[1] * s.Meze[2]);
            const std::size_t v = (i / s.Meze[2]) % s.Meze[1];
            const std::size_t k = i % s.Meze[2];
            switch (si) {
            case 1:
                image.TelCislaPoruchaKom[e][v] = b;
                break;
            case 2:
                image.TelCislaObnovaKom[e][v] = b;
                break;
            case 5:
                image.TelCislaSepnuti[e][v][k] = b;
                break;
            default:
                image.TelCislaRozpojeni[e][v][k] = b;
                break;
            }
            return true;
        }
        const std::size_t kapacita =
            s.Druh == TDruh::Cislo ? k_DelkaTelCisla : k_NORLINKDelkaZpravy;
        if (h.Text.size() > kapacita) {
            chyba = Radek(h.Radek) + (s.Druh == TDruh::Cislo ? "telefonní číslo" : "text") +
                    " má " + std::to_string(h.Text.size()) + " znaků, nejvýš smí mít " +
                    std::to_string(kapacita) + ".";
            return false;
        }
        if (h.Text.find_first_of(std::string_view("\0\xFF", 2)) != std::string::npos) {
            chyba = Radek(h.Radek) + "hodnota obsahuje bajt 0 nebo 255, který komunikátor "
                                     "neuloží jako znak.";
            return false;
        }
        const std::size_t e = i / s.Meze[1];
        const std::size_t v = i % s.Meze[1];
        switch (si) {
        case 0:
            image.TelCisla[i] = h.Text;
            break;
        case 3:
            image.ZpravaPorucha[i] = h.Text;
            break;
        case 4:
            image.ZpravaObnova[i] = h.Text;
            break;
        case 7:
            image.ZpravaSepnuti[e][v] = h.Text;
            break;
        default:
            image.ZpravaRozpojeni[e][v] = h.Text;
            break;
        }
        return true;
    }

    // Runs "0xOD-0xDO" (inclusive) of unknown blocks, aligned to blocks, within the configuration.
    bool Nezname(TZnameData& znama, std::string& chyba) const {
        znama.NastavVse(TPuvod::Technik);
        for (const TDalsiZaznam& e : fNezname) {
            unsigned od = 0;
            unsigned po = 0;
            char konec = 0;
            if (std::sscanf(e.Value.c_str(), "%x-%x%c", &od, &po, &konec) != 2 || od > po ||
                po >= k_KonecKonfigurace || od % k_NORLINKTlgSize != 0 ||
                (po + 1) % k_NORLINKTlgSize != 0) {
                chyba = Radek(e.Line) + "rozsah \"" + e.Value.substr(0, 40) +
                        "\" není platný rozsah bloků.";
                return false;
            }
            znama.Nastav(od, po + 1 - od, TPuvod::Neznamy);
        }
        return true;
    }

    static constexpr int k_DalsiSekce = -2;
    std::string_view fText;
    struct TDalsiZaznam {
        std::string Key;
        std::string Value;
        int Line = 0;
    };
    std::vector<TDalsiZaznam> fNezname;
    std::vector<TDalsiZaznam> fZaloha;
    std::vector<TDalsiZaznam>* fDalsi = nullptr;
    std::array<std::vector<THodnota>, k_Sekce.size()> fHodnoty;
    std::array<bool, k_Sekce.size()> fVidena{};
};

} // namespace

TNacteniExportu NactiExport(std::string_view text) {
    return TCtecka(text).Cti();
}

TNacteniExportu NactiExportZeSouboru(const std::string& path) {
    TNacteniExportu out;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        out.Chyba = "Soubor " + path + " neexistuje nebo není obyčejný soubor.";
        return out;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out.Chyba = "Soubor " + path + " nelze otevřít.";
        return out;
    }
    std::string text;
    std::array<char, 65536> chunk{};
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (text.size() > k_NejvetsiExport) {
            out.Chyba = "Soubor " + path + " je příliš velký, nejde o export nastavení NORLINK.";
            return out;
        }
    }
    if (in.bad()) {
        out.Chyba = "Soubor " + path + " nelze přečíst.";
        return out;
    }
    out = NactiExport(text);
    if (!out.Ok) {
        out.Chyba = path + ": " + out.Chyba;
    }
    return out;
}

std::string HodnotaZalohy(const std::vector<TProfileEntry>& zaloha, std::string_view klic) {
    for (const TProfileEntry& z : zaloha) {
        if (StejneBezVelikosti(z.Key, klic)) {
            return z.Value;
        }
    }
    return {};
}
