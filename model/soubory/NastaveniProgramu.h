#pragma once
// The program's own settings file norlink.ini beside the executable: the COM port, its speed and
// the number of expanders and how the line direction is keyed (section "ComPort"), and the device
// paths of COM ports (section "Porty").

#include "port/SerialPort.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class TProfileFile;

inline constexpr const char* k_SouborNastaveni = "norlink.ini";
inline constexpr const char* k_SekceComPort = "ComPort";
inline constexpr const char* k_KlicCislo = "Cislo";       // COM port number
inline constexpr const char* k_KlicRychlost = "Rychlost"; // line speed in baud
inline constexpr const char* k_KlicProgram = "Program";   // number of expanders on the bus
inline constexpr const char* k_KlicSmer = "Smer";         // DTR, RTS, RS485 or Zadny
inline constexpr const char* k_SekcePorty = "Porty";

inline constexpr std::int32_t k_DefaultComPortNo = 2;
inline constexpr std::int32_t k_DefaultCOMBaudRate = 4800;
inline constexpr std::int32_t k_DefaultExpNo = 1;

struct TNastaveniProgramu {
    std::int32_t ComPortNo = k_DefaultComPortNo;
    std::int32_t ComBaudRate = k_DefaultCOMBaudRate;
    // As stored; the expander-count control keeps it within 1..8.
    std::int32_t PocetExpanderu = k_DefaultExpNo;
    TSmer Smer = TSmer::DTR;
};

// The stored names of the direction modes, and back (any letter case); nothing for another text.
std::string_view NazevSmeru(TSmer smer);
std::optional<TSmer> SmerZNazvu(std::string_view nazev);

// InstDir + "norlink.ini".
std::string CestaNastaveni(const std::string& instDir);

// From the file as read once (TProfileFile::Load); a missing key or a value of another form gives
// the key's default.
TNastaveniProgramu NactiNastaveniProgramu(const TProfileFile& ini);

// Section "Porty": key "COMn" (any letter case, n in decimal) = device path. Keys of another form
// are left out. A relative path is taken from slozka, the program's folder (ending with '/'), not
// from the current folder. An empty path stays in the map as empty: the port has no device, which
// the serial driver reports when that port is used. The result is a TPortMap for the driver.
std::map<unsigned, std::string> NactiMapuPortu(const TProfileFile& ini, const std::string& slozka);

// Write one key of section "ComPort" in decimal; throw EProfileWriteError.
void UlozCisloPortu(const std::string& soubor, std::int32_t cislo);
void UlozPocetExpanderu(const std::string& soubor, std::int32_t pocet);
void UlozSmer(const std::string& soubor, TSmer smer);
