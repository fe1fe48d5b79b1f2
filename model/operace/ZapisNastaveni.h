#pragma once
// Writing the expander and input settings: every block in which the working image differs from
// the device image goes out as a write pair, the write and a read of the same block built from the
// same 16 bytes. The read's answer is the device's memory at that block: a pair completes when it
// shows what was written; otherwise the pair is sent again, up to k_OpakovaniZapisu times, and
// what never arrived is named in a box at the end. Answers for another address complete nothing,
// wherever the block lies, so no block is waited for without its answer being counted.

#include "operace/RozdilyNastaveni.h"
#include "operace/ZapisBloku.h"

#include <string_view>
#include <vector>

inline constexpr std::string_view R_ZapisNastaveni = "Zápis nastavení";
inline constexpr std::string_view R_NastaveniNezapsano = "Do komunikátoru se nepodařilo zapsat:\n";
inline constexpr std::string_view R_NastaveniNezapsanoRada =
    "\nZkontrolujte spojení a zapište nastavení znovu.";
// Repeats of a pair whose read-back differs, after its first send.
inline constexpr int k_OpakovaniZapisu = 3;

class TZapisNastaveni final : public TZapisBloku {
public:
    // pocetExpanderu: the first expanders that are written (the items of Cmb_Expander).
    TZapisNastaveni(const TKontextOperace& kontext, int pocetExpanderu);

private:
    std::vector<TBlokZapisu> Vyber() const override;

    int fPocetExpanderu;
};
