#include "operace/ZapisTelCisel.h"

#include "stav/AdresyPameti.h"

#include <string>

std::vector<TZapisovanyBlok> RozdilneTelCisla(const TNORLINK& rec, const TNORLINK& recNew) {
    std::vector<TZapisovanyBlok> bloky;
    for (std::size_t i = 0; i < k_NORLINKMaxPocetCisel; ++i) {
        const auto cislo = recNew.TelCisla[i].View();
        if (rec.TelCisla[i] == recNew.TelCisla[i]) {
            continue;
        }
        TZapisovanyBlok blok;
        blok.Adresa = AdresaTelCisla(static_cast<std::uint8_t>(i));
        blok.Cislo = static_cast<int>(i);
        // The number's characters, zeros behind. A typed number has nine; one loaded from a file
        // may have up to 16, and must not be cut short and still be confirmed.
        for (std::size_t j = 0; j < k_NORLINKTlgSize && j < cislo.size(); ++j) {
            blok.Data[j] = static_cast<std::uint8_t>(cislo[j]);
        }
        bloky.push_back(blok);
    }
    return bloky;
}

namespace {

std::string TextNezapsanychCisel(const std::vector<std::string>& cisla) {
    std::string text(R_CislaNezapsana);
    for (std::size_t i = 0; i < cisla.size(); ++i) {
        text += (i == 0 ? "" : ", ") + cisla[i];
    }
    return text + std::string(R_CislaNezapsanaRada);
}

constexpr TPravidlaZapisu k_PravidlaTelCisel{
    .Cisla = true,
    .Overeni = TOvereniZapisu::KolemOvereni,
    .Opakovani = k_KolZapisu - 1,
    .TextZapisu = R_ZapisTelCisel,
    .TextOvereni = R_OvereniTelCisel,
    .TextNezapsanych = TextNezapsanychCisel,
};

} // namespace

TZapisTelCisel::TZapisTelCisel(const TKontextOperace& kontext)
    : TZapisBloku(kontext, k_PravidlaTelCisel) {}

std::vector<TBlokZapisu> TZapisTelCisel::Vyber() const {
    std::vector<TBlokZapisu> bloky;
    for (const TZapisovanyBlok& b : RozdilneTelCisla(Kontext().Rec, Kontext().RecNew)) {
        bloky.push_back({b.Adresa, b.Data, std::to_string(b.Cislo)});
    }
    return bloky;
}
