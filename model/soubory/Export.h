#pragma once
// The settings export: the whole working image as a profile file, sections and keys in their
// fixed interleaved order, texts as the device's bytes (a multi-line text continues on the next
// lines). Each export is a new time-stamped file in the given folder.

#include "soubory/ProfileFile.h"
#include "stav/ZnameData.h"
#include "stav/promenne.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view R_Log_TelCisla = "Tel. cisla";
inline constexpr std::string_view R_Log_Cislo = "Cislo %.2d";
inline constexpr std::string_view R_Log_CislaPorucha = "Porucha komunikace";
inline constexpr std::string_view R_Log_CislaObnova = "Obnova komunikace";
inline constexpr std::string_view R_Log_Pozice = "Expander %.2d pozice %.2d";
inline constexpr std::string_view R_Log_ZpravaPorucha = "Zprava porucha";
inline constexpr std::string_view R_Log_ZpravaObnova = "Zprava obnova";
inline constexpr std::string_view R_Log_ZpravaPozice = "Pozice %.2d";
inline constexpr std::string_view R_Log_CislaSepnuti = "Cisla sepnuti";
inline constexpr std::string_view R_Log_CislaRozpojeni = "Cisla rozpojeni";
inline constexpr std::string_view R_Log_VstupPozice = "Expander %.2d vstup %.2d pozice %.2d";
inline constexpr std::string_view R_Log_ZpravaSepnuti = "Zprava sepnuti";
inline constexpr std::string_view R_Log_ZpravaRozpojeni = "Zprava rozpojeni";
inline constexpr std::string_view k_soubornastaveni = "nastaveni%s.log";
// Blocks whose bytes nobody knows (not read from the device): the file holds placeholders there,
// and loading it takes what the device is known to hold instead, so they are never written.
inline constexpr std::string_view R_Log_NeznameBloky = "Nezname bloky";
inline constexpr std::string_view R_Log_Rozsah = "Rozsah %.2d";

inline constexpr std::string_view R_SouborUlozen = "Soubor byl uložen na disk";

// The export's entries in file order: 16 + 2·128 + 2·8 + 2·1024 + 2·64 = 2464.
std::vector<TProfileEntry> ExportniZaznamy(const TNORLINK& image);
// The same, followed by the section of unknown blocks when there are any (runs "0x1100-0x8EFF",
// both ends inclusive).
std::vector<TProfileEntry> ExportniZaznamy(const TNORLINK& image, const TZnameData& znama);

// A name for a new export in folder (ending with '/'): nastaveni<stamp>.log, or, when a file of
// that name exists (two exports within a millisecond), the stamp with -2, -3, ... behind it.
std::string NazevExportu(const std::string& folder, const std::string& stamp);

// The file's text: each section's header once, its entries as key=value with the value exactly as
// it is, a blank line between sections. A value's own line breaks, also at its end, stay in the
// file as they are (the reader tells them from the separator), so every text comes back whole.
// For values without a line break at their end this is what the profile layer writes entry by
// entry.
std::string TextExportu(std::span<const TProfileEntry> entries);

// Writes the export in one pass; throws EProfileWriteError, and then no file is left behind.
void UlozNastaveni(const std::string& path, const TNORLINK& image);
void UlozNastaveni(const std::string& path, const TNORLINK& image, const TZnameData& znama);
