#include "operace/ZapisNastaveni.h"

#include <string>
#include <utility>

namespace {

std::string TextNezapsanehoNastaveni(const std::vector<std::string>& popisy) {
    std::string text(R_NastaveniNezapsano);
    for (const std::string& popis : popisy) {
        text += "- " + popis + "\n";
    }
    return text + std::string(R_NastaveniNezapsanoRada);
}

constexpr TPravidlaZapisu k_PravidlaNastaveni{
    .Cisla = false,
    .Overeni = TOvereniZapisu::HnedPoZapisu,
    .Opakovani = k_OpakovaniZapisu,
    .TextZapisu = R_ZapisNastaveni,
    .TextOvereni = {},
    .TextNezapsanych = TextNezapsanehoNastaveni,
};

} // namespace

TZapisNastaveni::TZapisNastaveni(const TKontextOperace& kontext, int pocetExpanderu)
    : TZapisBloku(kontext, k_PravidlaNastaveni), fPocetExpanderu(pocetExpanderu) {}

std::vector<TBlokZapisu> TZapisNastaveni::Vyber() const {
    std::vector<TBlokZapisu> bloky;
    for (TBlokNastaveni& b : RozdilneBloky(Kontext().Rec, Kontext().RecNew, fPocetExpanderu)) {
        bloky.push_back({b.Adresa, b.Data, std::move(b.Popis)});
    }
    return bloky;
}
