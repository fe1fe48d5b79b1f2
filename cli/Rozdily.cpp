#include "Rozdily.h"

#include "Cp1250.h"
#include "RozdilyNastaveni.h"

#include <array>
#include <cstdio>
#include <map>
#include <string_view>
#include <utility>

namespace {

// The settings writer describes its blocks in Czech; these are its phrases in English.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> k_Anglicky{{
    {": čísla pro poruchu komunikace", ": recipients on communication failure"},
    {": čísla pro obnovu komunikace", ": recipients on communication restored"},
    {": text poruchy komunikace", ": text on communication failure"},
    {": text obnovy komunikace", ": text on communication restored"},
    {": čísla pro sepnutí", ": recipients on switch-on"},
    {": čísla pro rozpojení", ": recipients on disconnect"},
    {": text sepnutí", ": text on switch-on"},
    {": text rozpojení", ": text on disconnect"},
    {", vstup ", ", input "},
}};

std::string Prelozeno(std::string popis, TJazyk jazyk) {
    if (jazyk == TJazyk::Cesky) {
        return popis;
    }
    for (const auto& [cesky, anglicky] : k_Anglicky) {
        for (auto at = popis.find(cesky); at != std::string::npos;
             at = popis.find(cesky, at + anglicky.size())) {
            popis.replace(at, cesky.size(), anglicky);
        }
    }
    return popis;
}

std::string Adresa(std::uint16_t adresa) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%04X", adresa);
    return text.data();
}

std::string Uvozene(std::string_view bytes) {
    return "\"" + Cp1250DoUtf8(bytes) + "\"";
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

std::vector<std::string> RadkyRozdilu(const TNORLINK& a, const TNORLINK& b, TJazyk jazyk) {
    std::vector<std::string> radky;
    const std::string cislo = jazyk == TJazyk::Cesky ? "telefonní číslo " : "phone number ";
    for (std::size_t i = 0; i < k_NORLINKMaxPocetCisel; ++i) {
        if (!(a.TelCisla[i] == b.TelCisla[i])) {
            radky.push_back(cislo + std::to_string(i) + ": " + Uvozene(a.TelCisla[i].View()) +
                            " -> " + Uvozene(b.TelCisla[i].View()));
        }
    }
    // A changed text is all 15 blocks of its area to the writer; only those whose bytes differ
    // are differences. The reverse comparison gives a's bytes of the same blocks.
    std::map<std::uint16_t, std::array<std::uint8_t, k_NORLINKTlgSize>> puvodni;
    for (const TBlokNastaveni& blok : RozdilneBloky(b, a, 8)) {
        puvodni[blok.Adresa] = blok.Data;
    }
    const std::string blok = jazyk == TJazyk::Cesky ? " (blok " : " (block ";
    for (const TBlokNastaveni& novy : RozdilneBloky(a, b, 8)) {
        const auto stary = puvodni.find(novy.Adresa);
        if (stary != puvodni.end() && stary->second == novy.Data) {
            continue;
        }
        radky.push_back(Prelozeno(novy.Popis, jazyk) + blok + Adresa(novy.Adresa) + ")");
    }
    return radky;
}
