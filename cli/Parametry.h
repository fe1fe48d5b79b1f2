#pragma once
// The command line of norlink-cli, its help and its exit codes.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Exit codes; --help lists them.
inline constexpr int k_KodHotovo = 0;
inline constexpr int k_KodRozdilne = 1; // diff: the exports differ
inline constexpr int k_KodParametry = 2;
inline constexpr int k_KodSoubor = 3;
inline constexpr int k_KodPort = 4;
inline constexpr int k_KodNeodpovida = 5;
inline constexpr int k_KodNezapsano = 6;
inline constexpr int k_KodPreruseno = 130;

enum class TPrikaz : std::uint8_t { Napoveda, CtiCisla, CtiNastaveni, Zapis, Rozdil, Protokol };

struct TParametry {
    TPrikaz Prikaz = TPrikaz::Napoveda;
    std::string Port;
    std::optional<int> Expandery; // 1..8
    std::optional<std::string> Vystup;
    std::vector<std::string> Soubory; // write, report: one; diff: two
    // report: where the HTML goes (standard output when absent), the site and the technician.
    std::optional<std::string> Html;
    std::string Objekt;
    std::string Technik;
    std::chrono::seconds LimitOdpovedi{30};
    bool NaZkousku = false; // write --dry-run: what would be written, nothing sent
};

struct TRozborParametru {
    bool Ok = false;
    TParametry Parametry;
    std::string Chyba; // Czech
};

// args: the arguments after the program's name. Options take their value as the next argument or
// after '=' (--expanders=2) and may stand before or after the command.
TRozborParametru RozeberParametry(std::span<const std::string> args);
std::string Napoveda();
