#include "soubory/NastaveniProgramu.h"

#include "soubory/ProfileFile.h"
#include "soubory/UlozDoIni.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <optional>
#include <string_view>

namespace {

// "COMn" -> n; anything else -> nothing.
std::optional<unsigned> CisloPortu(std::string_view key) {
    if (key.size() < 4) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = static_cast<char>(key[i] & ~0x20);
        if (c != "COM"[i]) {
            return std::nullopt;
        }
    }
    unsigned long long number = 0;
    for (const char c : key.substr(3)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<unsigned>(c - '0');
        if (number > std::numeric_limits<unsigned>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<unsigned>(number);
}

constexpr std::array<std::pair<TSmer, std::string_view>, 4> k_Smery{{
    {TSmer::DTR, "DTR"},
    {TSmer::RTS, "RTS"},
    {TSmer::RS485, "RS485"},
    {TSmer::Zadny, "Zadny"},
}};

} // namespace

std::string_view NazevSmeru(TSmer smer) {
    const auto it = std::ranges::find(k_Smery, smer, &std::pair<TSmer, std::string_view>::first);
    return it != k_Smery.end() ? it->second : k_Smery.front().second;
}

std::optional<TSmer> SmerZNazvu(std::string_view nazev) {
    for (const auto& [smer, jmeno] : k_Smery) {
        if (std::ranges::equal(nazev, jmeno, [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return smer;
        }
    }
    return std::nullopt;
}

std::string CestaNastaveni(const std::string& instDir) {
    return instDir + k_SouborNastaveni;
}

TNastaveniProgramu NactiNastaveniProgramu(const TProfileFile& ini) {
    TNastaveniProgramu nastaveni;
    nastaveni.ComPortNo = ini.ReadInteger(k_SekceComPort, k_KlicCislo, k_DefaultComPortNo);
    nastaveni.ComBaudRate = ini.ReadInteger(k_SekceComPort, k_KlicRychlost, k_DefaultCOMBaudRate);
    nastaveni.PocetExpanderu = ini.ReadInteger(k_SekceComPort, k_KlicProgram, k_DefaultExpNo);
    nastaveni.Smer =
        SmerZNazvu(ini.ReadString(k_SekceComPort, k_KlicSmer).value_or("")).value_or(TSmer::DTR);
    return nastaveni;
}

std::map<unsigned, std::string> NactiMapuPortu(const TProfileFile& ini, const std::string& slozka) {
    std::map<unsigned, std::string> porty;
    for (auto& [key, value] : ini.ReadSection(k_SekcePorty)) {
        const auto cislo = CisloPortu(key);
        if (!cislo) {
            continue;
        }
        // The program may be started from any folder; the file sits beside the program.
        if (!value.empty() && value.front() != '/') {
            value.insert(0, slozka);
        }
        porty.emplace(*cislo, std::move(value));
    }
    return porty;
}

void UlozCisloPortu(const std::string& soubor, std::int32_t cislo) {
    UlozDoIni(soubor, k_SekceComPort, k_KlicCislo, std::int64_t{cislo}, TIniType::int_ini);
}

void UlozPocetExpanderu(const std::string& soubor, std::int32_t pocet) {
    UlozDoIni(soubor, k_SekceComPort, k_KlicProgram, std::int64_t{pocet}, TIniType::int_ini);
}

void UlozSmer(const std::string& soubor, TSmer smer) {
    UlozDoIni(soubor, k_SekceComPort, k_KlicSmer, std::string(NazevSmeru(smer)), TIniType::str_ini);
}
