#pragma once
// Backups: before the first telegram of every write, what the device is known to hold is saved as
// an export, zalohy/zaloha<stamp>.log inside the exports' folder. Parts nobody read are named in
// the export's section of unknown blocks, so loading the backup takes what the device holds there
// and no write ever sends them; a section of its own says when and of which device it was made.

#include "stav/ZnameData.h"
#include "stav/promenne.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view k_SlozkaZaloh = "zalohy";
inline constexpr std::string_view k_souborzalohy = "zaloha%s.log";
inline constexpr std::string_view R_ZalohaNeulozena =
    "Zálohu toho, co komunikátor obsahuje, nelze uložit, proto nebylo nic zapsáno.";

// Keys of the section [Zaloha]: when the backup was made and the device's identification texts.
inline constexpr std::string_view k_ZalohaCas = "Cas";
inline constexpr std::string_view k_ZalohaTyp = "Typ";
inline constexpr std::string_view k_ZalohaVerzeSW = "Verze SW";
inline constexpr std::string_view k_ZalohaVerzeHW = "Verze HW";

// The device's identification texts made readable: Windows-1250 when saved, as the rest of the
// backup; UTF-8 in a found backup, for the list the window shows.
struct TIdentZarizeni {
    std::string Typ;
    std::string VerzeSW;
    std::string VerzeHW;
};
// The identification as the device sent it, made readable, for a backup.
TIdentZarizeni IdentZarizeni(const TIdentText& typ, const TIdentText& verzeSW,
                             const TIdentText& verzeHW);

// The folder of the backups inside the exports' folder (both ending with '/').
std::string SlozkaZaloh(const std::string& slozkaExportu);

// Writes a new backup into slozka (created when missing) and returns its path; cas is the moment
// as "2026-12-09 12:03:04.050". Throws EProfileWriteError, and then no file is left behind.
std::string UlozZalohu(const std::string& slozka, const std::string& stamp, const std::string& cas,
                       const TNORLINK& image, const TZnameData& znama, const TIdentZarizeni& ident);

// What a backup holds, in words: "tel. čísla, expandery 1, 2", or "nic".
std::string ObsahZalohy(const TZnameData& znama);

struct TZaloha {
    std::string Cesta;
    std::string Cas;
    TIdentZarizeni Zarizeni;
    std::string Obsah;
    // One line for a list: time, device, content.
    std::string Popis() const;
};

// The readable backups in slozka, newest first.
std::vector<TZaloha> NajdiZalohy(const std::string& slozka);

// The moment for a backup's section, local time to the millisecond.
std::string CasZalohy(const TDateTimeParts& parts);
