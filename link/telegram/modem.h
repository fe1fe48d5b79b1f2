#pragma once
// Address tables of the devices on the service bus: each entry is a pair (device memory address,
// length in bytes) picked by a named index. The program talks only to the communicator, so only
// its table, MDM_ADRESY, exists; every other bus address selects no table.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// Indices into MDM_ADRESY. Entries 0..14 belong to the modem that shares bus address 20 and are
// never requested by this program.
inline constexpr std::uint8_t MDM_Z_Heslo = 0;
inline constexpr std::uint8_t MDM_Z_System = 1;
inline constexpr std::uint8_t MDM_E_Ukazatele = 2;
inline constexpr std::uint8_t MDM_R_CtiZaznamy = 3;
inline constexpr std::uint8_t MDM_E_PoslPozice = 4;
inline constexpr std::uint8_t MDM_E_Preteceni = 5;
inline constexpr std::uint8_t MDM_E_Heslo = 6;
inline constexpr std::uint8_t MDM_E_PocetZarizeni = 7;
inline constexpr std::uint8_t MDM_E_ModCommand11 = 8;
inline constexpr std::uint8_t MDM_E_ModCommand12 = 9;
inline constexpr std::uint8_t MDM_E_ModCommand21 = 10;
inline constexpr std::uint8_t MDM_E_ModCommand22 = 11;
inline constexpr std::uint8_t MDM_E_Software = 12;
inline constexpr std::uint8_t MDM_E_Hardware = 13;
inline constexpr std::uint8_t MDM_E_PocetZvoneni = 14;
inline constexpr std::uint8_t NORLINK_Z_SeznamCisel = 15; // first phone-number block
inline constexpr std::uint8_t NORLINK_Z_PoruchaExp1 = 16; // first block of expander 1
inline constexpr std::uint8_t NORLINK_Z_Vstup1Exp1 = 17;  // first block of input 1, expander 1
inline constexpr std::uint8_t NORLINK_Z_HWTYP = 18;       // identification texts (HWSW)
inline constexpr std::uint8_t NORLINK_Z_VERSW = 19;
inline constexpr std::uint8_t NORLINK_Z_VERHW = 20;

inline constexpr std::uint8_t MDM_MaxPocetAdres = 21;

// Flat: word 2i is the address of entry i, word 2i+1 its length.
inline constexpr std::array<std::uint16_t, 2 * MDM_MaxPocetAdres> MDM_ADRESY{
    0x0000, 8,  // MDM_Z_Heslo
    0x0000, 1,  // MDM_Z_System
    0x004A, 5,  // MDM_E_Ukazatele
    0x001C, 3,  // MDM_R_CtiZaznamy
    0x004D, 2,  // MDM_E_PoslPozice
    0x004C, 1,  // MDM_E_Preteceni
    0x0000, 8,  // MDM_E_Heslo
    0x004F, 1,  // MDM_E_PocetZarizeni
    0x0008, 16, // MDM_E_ModCommand11
    0x0018, 16, // MDM_E_ModCommand12
    0x0028, 16, // MDM_E_ModCommand21
    0x0038, 16, // MDM_E_ModCommand22
    0x0000, 16, // MDM_E_Software
    0x0011, 16, // MDM_E_Hardware
    0x0060, 1,  // MDM_E_PocetZvoneni
    0x0000, 16, // NORLINK_Z_SeznamCisel
    0x0100, 16, // NORLINK_Z_PoruchaExp1
    0x1100, 16, // NORLINK_Z_Vstup1Exp1
    0x0C00, 16, // NORLINK_Z_HWTYP
    0x0C10, 16, // NORLINK_Z_VERSW
    0x0C20, 16, // NORLINK_Z_VERHW
};

// Address of entry `index` of MDM_ADRESY; the index must be below MDM_MaxPocetAdres.
constexpr std::uint16_t MDM_Adresa(std::uint8_t index) {
    return MDM_ADRESY[2u * index];
}
constexpr std::uint16_t MDM_Delka(std::uint8_t index) {
    return MDM_ADRESY[2u * index + 1u];
}

struct TPolozkaAdres {
    std::uint16_t Adresa = 0;
    std::uint16_t Delka = 0;
};

// The address table of the device at bus address Adresat; empty when there is none.
std::span<const std::uint16_t> AdresovaTabulka(std::uint8_t Adresat);
// Entry `index` of the table of Adresat; nothing when Adresat has no table or the table has no
// such entry.
std::optional<TPolozkaAdres> NajdiPolozkuAdres(std::uint8_t Adresat, std::uint8_t index);
