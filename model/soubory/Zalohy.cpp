#include "soubory/Zalohy.h"

#include "operace/Dekodery.h"
#include "soubory/Export.h"
#include "soubory/NactiExport.h"
#include "soubory/WholeFile.h"
#include "text/Cp1250.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

TIdentZarizeni IdentZarizeni(const TIdentText& typ, const TIdentText& verzeSW,
                             const TIdentText& verzeHW) {
    return {CitelnyText(typ.View()), CitelnyText(verzeSW.View()), CitelnyText(verzeHW.View())};
}

std::string SlozkaZaloh(const std::string& slozkaExportu) {
    return slozkaExportu + std::string(k_SlozkaZaloh) + "/";
}

std::string UlozZalohu(const std::string& slozka, const std::string& stamp, const std::string& cas,
                       const TNORLINK& image, const TZnameData& znama,
                       const TIdentZarizeni& ident) {
    std::error_code ec;
    std::filesystem::create_directories(slozka, ec);
    std::string nazev(k_souborzalohy);
    nazev.replace(nazev.find("%s"), 2, stamp);
    std::string path = slozka + nazev;
    for (int n = 2; std::filesystem::exists(path, ec); ++n) {
        std::string dalsi(k_souborzalohy);
        path = slozka + dalsi.replace(dalsi.find("%s"), 2, stamp + "-" + std::to_string(n));
    }
    std::vector<TProfileEntry> entries = ExportniZaznamy(image, znama);
    const std::string sekce(R_Log_Zaloha);
    entries.push_back({sekce, std::string(k_ZalohaCas), cas});
    entries.push_back({sekce, std::string(k_ZalohaTyp), ident.Typ});
    entries.push_back({sekce, std::string(k_ZalohaVerzeSW), ident.VerzeSW});
    entries.push_back({sekce, std::string(k_ZalohaVerzeHW), ident.VerzeHW});
    std::string why;
    if (!ReplaceWholeFile(path, TextExportu(entries), &why)) {
        throw EProfileWriteError(path, why);
    }
    return path;
}

std::string ObsahZalohy(const TZnameData& znama) {
    std::string out;
    if (znama.Znamy(k_OknoTelCisel.Zacatek, k_OknoTelCisel.Konec - k_OknoTelCisel.Zacatek)) {
        out = "tel. čísla";
    }
    std::string expandery;
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        if (znama.Znamy(AdresaSeznamuExpanderu(e, false), k_NORLINKVelikostBloku)) {
            expandery += (expandery.empty() ? "" : ", ") + std::to_string(e + 1);
        }
    }
    if (!expandery.empty()) {
        out += (out.empty() ? "" : ", ") +
               std::string(expandery.find(',') == std::string::npos ? "expander " : "expandery ") +
               expandery;
    }
    return out.empty() ? "nic" : out;
}

std::string TZaloha::Popis() const {
    std::string zarizeni = Zarizeni.Typ;
    for (const std::string* s : {&Zarizeni.VerzeSW, &Zarizeni.VerzeHW}) {
        if (!s->empty()) {
            zarizeni += (zarizeni.empty() ? "" : ", ") + *s;
        }
    }
    return Cas + "  –  " + (zarizeni.empty() ? "komunikátor" : zarizeni) + "  –  " + Obsah;
}

std::vector<TZaloha> NajdiZalohy(const std::string& slozka) {
    std::vector<TZaloha> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(slozka, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with("zaloha") || !name.ends_with(".log")) {
            continue;
        }
        const TNacteniExportu n = NactiExportZeSouboru(it->path().string());
        if (!n.Ok) {
            continue;
        }
        TZaloha z;
        z.Cesta = it->path().string();
        z.Cas = HodnotaZalohy(n.Zaloha, k_ZalohaCas);
        z.Zarizeni = {Cp1250DoUtf8(HodnotaZalohy(n.Zaloha, k_ZalohaTyp)),
                      Cp1250DoUtf8(HodnotaZalohy(n.Zaloha, k_ZalohaVerzeSW)),
                      Cp1250DoUtf8(HodnotaZalohy(n.Zaloha, k_ZalohaVerzeHW))};
        z.Obsah = ObsahZalohy(n.Znama);
        out.push_back(std::move(z));
    }
    std::sort(out.begin(), out.end(), [](const TZaloha& a, const TZaloha& b) {
        return a.Cas != b.Cas ? a.Cas > b.Cas : a.Cesta > b.Cesta;
    });
    return out;
}

std::string CasZalohy(const TDateTimeParts& p) {
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.Year, p.Month,
                  p.Day, p.Hour, p.Minute, p.Second, p.Millisecond);
    return text.data();
}
