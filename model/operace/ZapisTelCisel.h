#pragma once
// Writing the phone numbers: every number whose grid text differs from what was last read goes to
// the device as a write pair (the write of its block, then a read of number 0, whose answer
// completes the pair). The pair's answer says nothing about what arrived, so once the pairs are
// done each written block is read back and compared with what was sent; the numbers that differ
// are written again, at most three rounds in all, and what still differs is named in a box. The
// read-back never touches the images or the grid.

#include "operace/Dekodery.h"
#include "operace/Operace.h"

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

// One block to write: its device address, its 16 bytes, and what to call it in a message.
struct TZapisovanyBlok {
    std::uint16_t Adresa = 0;
    std::array<std::uint8_t, k_NORLINKTlgSize> Data{};
    int Cislo = 0; // the phone number's index, as the grid shows it

    friend bool operator==(const TZapisovanyBlok&, const TZapisovanyBlok&) = default;
};

// The blocks a phone write sends: the working numbers that differ from the device image, in index
// order.
std::vector<TZapisovanyBlok> RozdilneTelCisla(const TNORLINK& rec, const TNORLINK& recNew);

class TZapisTelCisel final : public IOperace {
public:
    explicit TZapisTelCisel(const TKontextOperace& kontext);
    TZapisTelCisel(const TZapisTelCisel&) = delete;
    TZapisTelCisel& operator=(const TZapisTelCisel&) = delete;

    bool Start() override;
    TKrok Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                  std::span<const std::uint8_t> data) override;
    void Zrus() override;
    void SpojeniZtraceno() override { Zrus(); }
    TStavOperace Stav() const override { return fStav; }
    TVysledekOperace Vysledek() const override;

private:
    // The completion step of one write pair: the pair leaves the queue; once the queue is empty
    // the write phase ends.
    void ObsluzZapis();
    void ZapisPary();
    void Over();
    TKrok Overeno(std::uint16_t adresa, std::span<const std::uint8_t> data);
    void Ukonci();

    TKontextOperace fKontext;
    TMezeCteni fMeze;
    TDekodery fDekodery;
    std::vector<TZapisovanyBlok> fBloky;    // what this round writes
    std::vector<TZapisovanyBlok> fRozdilne; // what the read-back found different
    std::size_t fOvereno = 0;
    std::vector<std::uint16_t> fAdresy; // what the write set out to send
    int fKolo = 1;
    bool fOveruje = false;
    TStavOperace fStav = TStavOperace::Bezi;
};
