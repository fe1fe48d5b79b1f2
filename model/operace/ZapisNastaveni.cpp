#include "operace/ZapisNastaveni.h"

#include <algorithm>
#include <utility>

TVysledekOperace TZapisNastaveni::Vysledek() const {
    TZapsaneBloky vysledek;
    for (const TBlokNastaveni& b : fBloky) {
        vysledek.Bloky.push_back(b.Adresa);
    }
    vysledek.Dokonceno = fHlava;
    vysledek.Nezapsane = fNezapsaneBloky;
    vysledek.Overeno = fStav == TStavOperace::Hotovo && fNezapsano.empty();
    return vysledek;
}

TZapisNastaveni::TZapisNastaveni(const TKontextOperace& kontext, int pocetExpanderu)
    : fKontext(kontext), fPocetExpanderu(pocetExpanderu) {}

bool TZapisNastaveni::Start() {
    fBloky = RozdilneBloky(fKontext.Rec, fKontext.RecNew, fPocetExpanderu);
    if (fBloky.empty()) {
        fStav = TStavOperace::Hotovo;
        return false;
    }
    TKomunikace& kom = fKontext.Komunikace;
    for (const TBlokNastaveni& blok : fBloky) {
        for (std::uint8_t j = 0; j < k_NORLINKTlgSize; ++j) {
            kom.ZapisDoDataOutBuffer(static_cast<std::uint8_t>(j + 1), blok.Data[j]);
        }
        auto zapis =
            kom.VytvorTLGNewDoBuffru(PC, MDM, Zapis, ZAZNAM, blok.Adresa, k_NORLINKTlgSize, 0, 0);
        auto cteni =
            kom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, blok.Adresa, k_NORLINKTlgSize, 0, 0);
        if (zapis && cteni) {
            kom.ZaradParZapisu(std::move(*zapis), std::move(*cteni));
        }
    }
    UkazDialogZapisu(fKontext.Info, static_cast<int>(fBloky.size()), R_ZapisNastaveni);
    return true;
}

TKrok TZapisNastaveni::Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                               std::span<const std::uint8_t> data) {
    if (fStav != TStavOperace::Bezi || typPameti != ZAZNAM || fHlava >= fBloky.size()) {
        return TKrok::Pokracuje;
    }
    TKomunikace& kom = fKontext.Komunikace;
    const TBlokNastaveni& blok = fBloky[fHlava];
    const auto readBack = kom.CteniParu();
    if (!readBack || readBack->Akce != Cteni || readBack->Adresa != hlavicka.Adresa ||
        blok.Adresa != hlavicka.Adresa || data.size() < k_NORLINKTlgSize) {
        return TKrok::Pokracuje;
    }
    if (std::equal(blok.Data.begin(), blok.Data.end(), data.begin())) {
        return ObsluzZapis();
    }
    if (kom.OpakovaniParu() < k_OpakovaniZapisu) {
        // The pair stays at the head: the next poll sends its write again.
        kom.OpakujPar();
        return TKrok::Opakuje;
    }
    if (std::find(fNezapsano.begin(), fNezapsano.end(), blok.Popis) == fNezapsano.end()) {
        fNezapsano.push_back(blok.Popis);
    }
    fNezapsaneBloky.push_back(blok.Adresa);
    return ObsluzZapis();
}

TKrok TZapisNastaveni::ObsluzZapis() {
    TKomunikace& kom = fKontext.Komunikace;
    kom.SmazZaznamFronty();
    fKontext.Info.StepDolni();
    ++fHlava;
    if (kom.PocetZaznamuFronty() != 0) {
        return TKrok::Pokracuje;
    }
    fStav = TStavOperace::Hotovo;
    fKontext.Info.Close();
    if (fNezapsano.empty()) {
        return TKrok::Hotovo;
    }
    {
        std::string seznam;
        for (const std::string& popis : fNezapsano) {
            seznam += "- " + popis + "\n";
        }
        IHlaseni& okno = fKontext.Hlaseni;
        okno.Naplanuj([&okno, text = std::string(R_NastaveniNezapsano) + seznam +
                                     std::string(R_NastaveniNezapsanoRada)] { okno.Chyba(text); });
    }
    return TKrok::Selhalo;
}

void TZapisNastaveni::Zrus() {
    if (fStav != TStavOperace::Bezi) {
        return;
    }
    fStav = TStavOperace::Zrusena;
    UkonciPredcasne(fKontext.Komunikace, fKontext.Info);
}
