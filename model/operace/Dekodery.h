#pragma once
// The response decoders: where the device's answer to a read lands in the device image (and the
// identification texts), how far the progress dialog has got, and which request carries the
// chain on. They know nothing of which read is
// running; the read operations hand them the answers that fit the queued request and finish the
// read when a decoder says the chain is complete.

#include "okno/InfoForm.h"
#include "spojeni/Komunikace.h"
#include "stav/promenne.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Bounds of a settings read: the start of the last expander block to read, the first input-area
// address and the bound of the input-area read.
struct TMezeCteni {
    std::uint16_t fPosledniCtenaAdresaPoruchy = 0;
    std::uint16_t fPrvniCtenaAdresaVstupy = 0;
    std::uint16_t fPosledniCtenaAdresaVstupy = 0;

    friend bool operator==(const TMezeCteni&, const TMezeCteni&) = default;
};

// All blocks of the first n expanders (1..8).
TMezeCteni MezeCteniExpanderu(int n);
// The block of expander e and the block of its input v (0-based).
TMezeCteni MezeCteniVstupu(int e, int v);

// What an identification text shows in its status panel: its characters without the bytes that
// are no characters (0, 255, control codes), trailing blanks removed.
std::string CitelnyText(std::string_view bytes);

// What a decoder did with an answer.
enum class TVysledekDekodovani : std::uint8_t {
    Ignorovano,      // not for any window, or too short: nothing stored, the request stays
    Pokracuje,       // stored, the next request queued
    TelCislaHotova,  // the phone chain's last number stored
    NastaveniHotovo, // the settings chain's last input block stored
    Zapis,           // an answer during a write phase: counted only, nothing stored
};

// Dialog label of the phone read.
inline constexpr std::string_view R_NacitaniTelCisel = "Načítání telefonních čísel";
inline constexpr std::string_view R_NacitaniNastaveni = "Načítání nastavení";

class TDekodery {
public:
    TDekodery(TNORLINK& rec, TKomunikace& komunikace, IInfoForm& info, const TMezeCteni& meze);

    TVysledekDekodovani DekodTLGRam(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk);
    TVysledekDekodovani DekodTLGEeprom(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk);
    TVysledekDekodovani DekodTLGZaznam(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk);
    TVysledekDekodovani DekodTLGHWSW(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk);

private:
    TVysledekDekodovani TelCislo(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk);
    TVysledekDekodovani Blok(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk);
    void CtiBlok(std::uint16_t adresa);

    TNORLINK& fRec;
    TKomunikace& fKomunikace;
    IInfoForm& fInfo;
    const TMezeCteni& fMeze;
};
