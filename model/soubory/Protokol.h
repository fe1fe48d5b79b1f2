#pragma once
// The handover report: the configuration as one self-contained HTML document (UTF-8, A4,
// print-friendly) that a customer can read without knowing what an index is: telephone numbers
// instead of indices, who gets which SMS, parts that were never read named as such, and a checksum
// of the configuration. The window prints it and saves it as PDF, norlink-cli writes it; both build
// it here, so they give the same report.

#include "soubory/DateTimeStamp.h"
#include "soubory/ProfileFile.h"
#include "stav/ZnameData.h"
#include "stav/promenne.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view R_Protokol_Nadpis = "Protokol nastavení komunikátoru NORLINK";
inline constexpr std::string_view R_Protokol_Nezname = "neznámé – nenačteno z komunikátoru";
inline constexpr std::string_view R_Protokol_Zmeny =
    "Obsahuje změny, které nebyly zapsány do komunikátoru";
inline constexpr std::string_view R_Protokol_Overeno =
    "Shoduje se s tím, co bylo z komunikátoru načteno nebo do něj ověřeně zapsáno";
inline constexpr std::string_view R_Protokol_Castecne =
    "Načtené části se shodují s komunikátorem; části označené jako neznámé nebyly načteny";
inline constexpr std::string_view R_Protokol_Nenacteno = "Nic z toho nebylo načteno z komunikátoru";

// norlink.ini: the site and the technician of the last report.
inline constexpr std::string_view k_SekceProtokol = "Protokol";
inline constexpr std::string_view k_KlicObjekt = "Objekt";
inline constexpr std::string_view k_KlicTechnik = "Technik";

struct TVstupProtokolu {
    const TNORLINK& Image;
    const TZnameData& Znama;
    // The identification texts, readable UTF-8; empty: not read.
    std::string Typ;
    std::string VerzeSW;
    std::string VerzeHW;
    // Optional, UTF-8; empty ones are left out.
    std::string Objekt;
    std::string Technik;
    std::string Cas;  // date and time of the report
    std::string Stav; // whether it was verified on the device; empty: not stated
    int PocetExpanderu = 1;
};

// The whole document; every text from the device or the user is escaped.
std::string ProtokolHtml(const TVstupProtokolu& vstup);

// CRC-32 (IEEE 802.3, reflected, as zip and PNG use it).
std::uint32_t Crc32(std::string_view bytes);
// Eight hex digits of the CRC-32 of the export's text of this configuration: the same
// configuration always gives the same checksum, in the window and in norlink-cli.
std::string KontrolniSoucet(const TNORLINK& image, const TZnameData& znama);

// "9. 12. 2026 12:03".
std::string CasProtokolu(const TDateTimeParts& cas);

// The verification line of the window's report: changes a write would send (blocks and numbers
// that differ from the device), else whether the parts the report shows (the numbers and the first
// pocetExpanderu expanders) are known; casOvereni, when not empty, is added to a match.
std::string StavProtokolu(std::size_t nezapsanychBloku, const TZnameData& znama, int pocetExpanderu,
                          const std::string& casOvereni);

// The input from the pieces the window or norlink-cli has: identification texts as the device sent
// them (Windows-1250 bytes, made readable here).
TVstupProtokolu VstupProtokolu(const TNORLINK& image, const TZnameData& znama,
                               std::string_view hwtyp, std::string_view versw,
                               std::string_view verhw, int pocetExpanderu, std::string objekt,
                               std::string technik, std::string cas, std::string stav);

// The expanders a report of a file covers: up to the last one with a known block that differs from
// an empty image's (at least 1). Unknown expanders before it show as unknown.
int ExpanderyProtokolu(const TNORLINK& image, const TZnameData& znama);

// The site and technician remembered in norlink.ini (empty when the file or key is missing or the
// file cannot be read); saving throws EProfileWriteError.
struct TUdajeProtokolu {
    std::string Objekt;
    std::string Technik;
};
TUdajeProtokolu NactiUdajeProtokolu(const std::string& ini);
void UlozUdajeProtokolu(const std::string& ini, const TUdajeProtokolu& udaje);
