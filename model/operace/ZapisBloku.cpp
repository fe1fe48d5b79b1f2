#include "operace/ZapisBloku.h"

#include <algorithm>
#include <utility>

TZapisBloku::TZapisBloku(const TKontextOperace& kontext, const TPravidlaZapisu& pravidla)
    : fKontext(kontext), fPravidla(pravidla) {}

TVysledekOperace TZapisBloku::Vysledek() const {
    TZapsaneBloky vysledek;
    vysledek.Cisla = fPravidla.Cisla;
    vysledek.Bloky = fAdresy;
    const bool hotovo = fStav == TStavOperace::Hotovo;
    // Without a compare at once a pair leaving the queue confirms nothing: the pairs count as
    // done when the write has ended.
    vysledek.Dokonceno = fPravidla.Overeni == TOvereniZapisu::HnedPoZapisu ? fHlava
                         : hotovo                                          ? fAdresy.size()
                                                                           : 0;
    for (const TBlokZapisu& b : fNezapsane) {
        vysledek.Nezapsane.push_back(b.Adresa);
    }
    vysledek.Overeno = hotovo && fNezapsane.empty();
    return vysledek;
}

bool TZapisBloku::Start() {
    fBloky = Vyber();
    for (const TBlokZapisu& b : fBloky) {
        fAdresy.push_back(b.Adresa);
    }
    if (fBloky.empty()) {
        fStav = TStavOperace::Hotovo;
        return false;
    }
    ZapisPary();
    return true;
}

void TZapisBloku::ZapisPary() {
    TKomunikace& kom = fKontext.Komunikace;
    for (const TBlokZapisu& blok : fBloky) {
        for (std::uint8_t j = 0; j < k_NORLINKTlgSize; ++j) {
            kom.ZapisDoDataOutBuffer(static_cast<std::uint8_t>(j + 1), blok.Data[j]);
        }
        auto zapis =
            kom.VytvorTLGNewDoBuffru(PC, MDM, Zapis, ZAZNAM, blok.Adresa, k_NORLINKTlgSize, 0, 0);
        // The block's read-back is built from the bytes just staged, as the write.
        auto cteni = fPravidla.Overeni == TOvereniZapisu::HnedPoZapisu
                         ? kom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, blok.Adresa,
                                                    k_NORLINKTlgSize, 0, 0)
                         : kom.VytvorTLGDoBuffru(PC, MDM, Cteni, ZAZNAM, NORLINK_Z_SeznamCisel);
        if (zapis && cteni) {
            kom.ZaradParZapisu(std::move(*zapis), std::move(*cteni));
        }
    }
    fHlava = 0;
    fOveruje = false;
    UkazDialogZapisu(fKontext.Info, static_cast<int>(fBloky.size()), fPravidla.TextZapisu);
}

TKrok TZapisBloku::Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                           std::span<const std::uint8_t> data) {
    if (fStav != TStavOperace::Bezi || typPameti != ZAZNAM || fHlava >= fBloky.size()) {
        return TKrok::Pokracuje;
    }
    TKomunikace& kom = fKontext.Komunikace;
    if (fOveruje) {
        const auto head = kom.ZaznamFronty(0);
        if (head && head->Adresa == hlavicka.Adresa && data.size() >= k_NORLINKTlgSize) {
            return Porovnej(hlavicka.Adresa, data.first(k_NORLINKTlgSize));
        }
        return TKrok::Pokracuje;
    }
    // Only the answer to the pair's own read-back completes it.
    const auto readBack = kom.CteniParu();
    if (!readBack || readBack->Akce != Cteni || readBack->Adresa != hlavicka.Adresa) {
        return TKrok::Pokracuje;
    }
    if (fPravidla.Overeni == TOvereniZapisu::KolemOvereni) {
        return Dokonci();
    }
    const TBlokZapisu& blok = fBloky[fHlava];
    if (blok.Adresa != hlavicka.Adresa || data.size() < k_NORLINKTlgSize) {
        return TKrok::Pokracuje;
    }
    if (!std::equal(blok.Data.begin(), blok.Data.end(), data.begin())) {
        if (kom.OpakovaniParu() < fPravidla.Opakovani) {
            // The pair stays at the head: the next poll sends its write again.
            kom.OpakujPar();
            return TKrok::Opakuje;
        }
        fNezapsane.push_back(blok);
    }
    return Dokonci();
}

TKrok TZapisBloku::Dokonci() {
    TKomunikace& kom = fKontext.Komunikace;
    kom.SmazZaznamFronty();
    fKontext.Info.StepDolni();
    ++fHlava;
    if (kom.PocetZaznamuFronty() != 0) {
        return TKrok::Pokracuje;
    }
    if (fPravidla.Overeni == TOvereniZapisu::KolemOvereni) {
        Over();
        return TKrok::Pokracuje;
    }
    return Ukonci();
}

void TZapisBloku::Over() {
    fOveruje = true;
    fHlava = 0;
    fRozdilne.clear();
    for (const TBlokZapisu& blok : fBloky) {
        fKontext.Komunikace.VytvorTLGNew(PC, MDM, Cteni, ZAZNAM, blok.Adresa, k_NORLINKTlgSize, 0,
                                         0);
    }
    IInfoForm& info = fKontext.Info;
    info.SetDolniMax(static_cast<int>(fBloky.size()));
    info.SetDolniPosition(0);
    info.SetText(std::string(fPravidla.TextOvereni));
}

TKrok TZapisBloku::Porovnej(std::uint16_t adresa, std::span<const std::uint8_t> data) {
    const TBlokZapisu& blok = fBloky[fHlava];
    if (blok.Adresa != adresa) {
        return TKrok::Pokracuje;
    }
    fKontext.Komunikace.SmazZaznamFronty();
    fKontext.Info.StepDolni();
    if (!std::equal(data.begin(), data.end(), blok.Data.begin())) {
        fRozdilne.push_back(blok);
    }
    if (++fHlava < fBloky.size()) {
        return TKrok::Pokracuje;
    }
    if (fRozdilne.empty()) {
        return Ukonci();
    }
    if (fKolo < fPravidla.Opakovani) {
        ++fKolo;
        fBloky = std::exchange(fRozdilne, {});
        ZapisPary();
        return TKrok::Opakuje;
    }
    fNezapsane = std::exchange(fRozdilne, {});
    return Ukonci();
}

TKrok TZapisBloku::Ukonci() {
    fStav = TStavOperace::Hotovo;
    fKontext.Info.Close();
    if (fNezapsane.empty()) {
        return TKrok::Hotovo;
    }
    std::vector<std::string> popisy;
    for (const TBlokZapisu& b : fNezapsane) {
        if (std::find(popisy.begin(), popisy.end(), b.Popis) == popisy.end()) {
            popisy.push_back(b.Popis);
        }
    }
    // Not inside the serial driver's tick: the box waits for the user.
    IHlaseni& hlaseni = fKontext.Hlaseni;
    hlaseni.Naplanuj([&hlaseni, text = fPravidla.TextNezapsanych(popisy)] { hlaseni.Chyba(text); });
    return TKrok::Selhalo;
}

void TZapisBloku::Zrus() {
    if (fStav != TStavOperace::Bezi) {
        return;
    }
    fStav = TStavOperace::Zrusena;
    UkonciPredcasne(fKontext.Komunikace, fKontext.Info);
}
