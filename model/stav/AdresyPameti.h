#pragma once
// The communicator's record memory: where the phone numbers, the expander blocks and the input
// blocks lie, and which of them an address belongs to. The address table itself lives with the
// builder in the link.

#include "telegram/modem.h"

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t k_NORLINKTlgSize = 16;         // data bytes per block telegram
inline constexpr std::size_t k_NORLINKMaxPocetCisel = 16;    // phone numbers
inline constexpr std::uint16_t k_NORLINKBlockSize = 256;     // half of an expander or input block
inline constexpr std::size_t k_NORLINKDelkaZpravy = 240;     // SMS text area of a half
inline constexpr std::uint8_t k_NORLINKPhoneEndChar = 0;     // ends a phone number
inline constexpr std::uint8_t k_NORLINKPhoneEmptyChar = 255; // erased byte, empty recipient slot
inline constexpr std::size_t k_PhoneNoLength = 9;            // characters of a valid phone number

// An expander block, and an input block, is two halves: recipients then text.
inline constexpr std::uint16_t k_NORLINKVelikostBloku = 2 * k_NORLINKBlockSize;
// The input window holds a run of eight input blocks per expander.
inline constexpr std::uint16_t k_NORLINKVstupyExpanderu = 8 * k_NORLINKVelikostBloku;

// A window of record memory, [Zacatek, Konec).
struct TOknoZaznamu {
    std::uint16_t Zacatek = 0;
    std::uint16_t Konec = 0;
    constexpr bool Obsahuje(std::uint16_t adresa) const {
        return adresa >= Zacatek && adresa < Konec;
    }
};

inline constexpr TOknoZaznamu k_OknoTelCisel{
    MDM_Adresa(NORLINK_Z_SeznamCisel),
    static_cast<std::uint16_t>(MDM_Adresa(NORLINK_Z_SeznamCisel) +
                               k_NORLINKMaxPocetCisel * MDM_Delka(NORLINK_Z_SeznamCisel))};
inline constexpr TOknoZaznamu k_OknoExpanderu{
    MDM_Adresa(NORLINK_Z_PoruchaExp1),
    static_cast<std::uint16_t>(MDM_Adresa(NORLINK_Z_PoruchaExp1) + 0x1000)};
inline constexpr TOknoZaznamu k_OknoVstupu{
    MDM_Adresa(NORLINK_Z_Vstup1Exp1),
    static_cast<std::uint16_t>(MDM_Adresa(NORLINK_Z_Vstup1Exp1) + 0x8000 - 0x200)};

// Block addresses: phone number k (0..15); telegram j (0..31) of the block of expander e (0..7);
// telegram j of the block of input i (0..7) of expander e. Telegram 0 carries the first half's
// recipients, 1..15 its text, 16 the second half's recipients, 17..31 its text.
std::uint16_t AdresaTelCisla(std::uint8_t k);
std::uint16_t AdresaExpanderu(std::uint8_t e, std::uint8_t j);
std::uint16_t AdresaVstupu(std::uint8_t e, std::uint8_t i, std::uint8_t j);

enum class TOblastZaznamu : std::uint8_t { Zadna, TelCisla, Expander, Vstup };

// Where a record-memory address belongs.
struct TMistoZaznamu {
    TOblastZaznamu Oblast = TOblastZaznamu::Zadna;
    std::uint8_t IndexTelCisla = 0;  // TelCisla
    std::uint8_t IndexExpanderu = 0; // Expander, Vstup
    std::uint8_t IndexVstupu = 0;    // Vstup
    bool Prijemci = false;           // Expander, Vstup: a recipient telegram, else text
    // Expander, Vstup: the first half (fault / switch-on), else the second (restoration /
    // disconnect).
    bool PrvniPolovina = false;
};

TMistoZaznamu UrciMistoZaznamu(std::uint16_t adresa);
