#include "soubory/Export.h"

#include "soubory/WholeFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

namespace {

// Key formats hold only %.2d fields.
std::string Klic(std::string_view format, std::initializer_list<std::size_t> cisla) {
    std::string out;
    auto cislo = cisla.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.substr(i, 4) == "%.2d" && cislo != cisla.end()) {
            std::array<char, 24> buffer{};
            std::snprintf(buffer.data(), buffer.size(), "%.2zu", *cislo++);
            out += buffer.data();
            i += 3;
        } else {
            out += format[i];
        }
    }
    return out;
}

void Pridej(std::vector<TProfileEntry>& out, std::string_view section, std::string key,
            std::string value) {
    out.push_back({std::string(section), std::move(key), std::move(value)});
}

} // namespace

std::vector<TProfileEntry> ExportniZaznamy(const TNORLINK& image) {
    std::vector<TProfileEntry> out;
    out.reserve(2464);
    for (std::size_t i = 0; i < k_NORLINKMaxPocetCisel; ++i) {
        Pridej(out, R_Log_TelCisla, Klic(R_Log_Cislo, {i}), image.TelCisla[i].Str());
    }
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        for (std::size_t k = 0; k < k_NORLINKMaxPocetCisel; ++k) {
            Pridej(out, R_Log_CislaPorucha, Klic(R_Log_Pozice, {e, k}),
                   std::to_string(image.TelCislaPoruchaKom[e][k]));
            Pridej(out, R_Log_CislaObnova, Klic(R_Log_Pozice, {e, k}),
                   std::to_string(image.TelCislaObnovaKom[e][k]));
        }
    }
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        Pridej(out, R_Log_ZpravaPorucha, Klic(R_Log_ZpravaPozice, {e}),
               image.ZpravaPorucha[e].Str());
        Pridej(out, R_Log_ZpravaObnova, Klic(R_Log_ZpravaPozice, {e}), image.ZpravaObnova[e].Str());
    }
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
            for (std::size_t k = 0; k < k_NORLINKMaxPocetCisel; ++k) {
                Pridej(out, R_Log_CislaSepnuti, Klic(R_Log_VstupPozice, {e, v, k}),
                       std::to_string(image.TelCislaSepnuti[e][v][k]));
                Pridej(out, R_Log_CislaRozpojeni, Klic(R_Log_VstupPozice, {e, v, k}),
                       std::to_string(image.TelCislaRozpojeni[e][v][k]));
            }
        }
    }
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
            Pridej(out, R_Log_ZpravaSepnuti, Klic(R_Log_Pozice, {e, v}),
                   image.ZpravaSepnuti[e][v].Str());
            Pridej(out, R_Log_ZpravaRozpojeni, Klic(R_Log_Pozice, {e, v}),
                   image.ZpravaRozpojeni[e][v].Str());
        }
    }
    return out;
}

std::vector<TProfileEntry> ExportniZaznamy(const TNORLINK& image, const TZnameData& znama) {
    std::vector<TProfileEntry> out = ExportniZaznamy(image);
    std::size_t i = 0;
    for (const TRozsahBloku& r : znama.NeznameRozsahy()) {
        std::array<char, 24> hodnota{};
        std::snprintf(hodnota.data(), hodnota.size(), "0x%04X-0x%04X", r.Od, r.Do - 1);
        Pridej(out, R_Log_NeznameBloky, Klic(R_Log_Rozsah, {i++}), hodnota.data());
    }
    return out;
}

std::string NazevExportu(const std::string& folder, const std::string& stamp) {
    const auto nazev = [&](const std::string& s) {
        std::string name(k_soubornastaveni);
        name.replace(name.find("%s"), 2, s);
        return folder + name;
    };
    std::string path = nazev(stamp);
    std::error_code ignored;
    for (int n = 2; std::filesystem::exists(path, ignored); ++n) {
        path = nazev(stamp + "-" + std::to_string(n));
    }
    return path;
}

std::string TextExportu(std::span<const TProfileEntry> entries) {
    // Sections in the order of their first entry, each entry under its section's one header.
    std::vector<std::pair<std::string_view, std::string>> sections;
    for (const TProfileEntry& entry : entries) {
        auto found = std::find_if(sections.begin(), sections.end(),
                                  [&](const auto& s) { return s.first == entry.Section; });
        if (found == sections.end()) {
            sections.emplace_back(entry.Section, std::string());
            found = sections.end() - 1;
        }
        found->second += entry.Key + "=" + entry.Value + "\n";
    }
    std::string text;
    for (const auto& [name, body] : sections) {
        text += (text.empty() ? "[" : "\n[") + std::string(name) + "]\n" + body;
    }
    return text;
}

void UlozNastaveni(const std::string& path, const TNORLINK& image) {
    std::string why;
    if (!ReplaceWholeFile(path, TextExportu(ExportniZaznamy(image)), &why)) {
        throw EProfileWriteError(path, why);
    }
}

void UlozNastaveni(const std::string& path, const TNORLINK& image, const TZnameData& znama) {
    std::string why;
    if (!ReplaceWholeFile(path, TextExportu(ExportniZaznamy(image, znama)), &why)) {
        throw EProfileWriteError(path, why);
    }
}
