#pragma once
// Writing the phone numbers: every number whose grid text differs from what was last read goes to
// the device as a write pair whose read-back is number 0's, so it says nothing about what arrived;
// a verification round compares each written block afterwards, the differing numbers are written
// again, at most three rounds in all, and what still differs is named in a box.

#include "operace/ZapisBloku.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr std::string_view R_ZapisTelCisel = "Zápis telefonních čísel";
inline constexpr std::string_view R_OvereniTelCisel = "Ověřování zápisu telefonních čísel";
inline constexpr std::string_view R_CislaNezapsana =
    "Tato telefonní čísla se do komunikátoru nepodařilo zapsat: ";
inline constexpr std::string_view R_CislaNezapsanaRada =
    ".\nZkontrolujte spojení a zapište je znovu.";
// Write rounds, the first one included, before a block that still differs is given up.
inline constexpr int k_KolZapisu = 3;

// One number to write: its block's device address, its 16 bytes, its index as the grid shows it.
struct TZapisovanyBlok {
    std::uint16_t Adresa = 0;
    std::array<std::uint8_t, k_NORLINKTlgSize> Data{};
    int Cislo = 0;

    friend bool operator==(const TZapisovanyBlok&, const TZapisovanyBlok&) = default;
};

// The blocks a phone write sends: the working numbers that differ from the device image, in index
// order.
std::vector<TZapisovanyBlok> RozdilneTelCisla(const TNORLINK& rec, const TNORLINK& recNew);

class TZapisTelCisel final : public TZapisBloku {
public:
    explicit TZapisTelCisel(const TKontextOperace& kontext);

private:
    std::vector<TBlokZapisu> Vyber() const override;
};
