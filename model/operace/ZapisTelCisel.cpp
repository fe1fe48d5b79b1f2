#include "operace/ZapisTelCisel.h"

#include "text/Cp1250.h"

#include <algorithm>
#include <utility>

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

TZapisTelCisel::TZapisTelCisel(const TKontextOperace& kontext)
    : fKontext(kontext), fDekodery(kontext.Rec, kontext.Komunikace, kontext.Info, fMeze) {}

TVysledekOperace TZapisTelCisel::Vysledek() const {
    TZapsaneBloky vysledek;
    vysledek.Cisla = true;
    vysledek.Bloky = fAdresy;
    vysledek.Overeno = fStav == TStavOperace::Hotovo && fRozdilne.empty();
    if (fStav == TStavOperace::Hotovo) {
        vysledek.Dokonceno = fAdresy.size();
        for (const TZapisovanyBlok& b : fRozdilne) {
            vysledek.Nezapsane.push_back(b.Adresa);
        }
    }
    return vysledek;
}

bool TZapisTelCisel::Start() {
    fBloky = RozdilneTelCisla(fKontext.Rec, fKontext.RecNew);
    for (const TZapisovanyBlok& b : fBloky) {
        fAdresy.push_back(b.Adresa);
    }
    if (fBloky.empty()) {
        fStav = TStavOperace::Hotovo;
        return false;
    }
    ZapisPary();
    return true;
}

void TZapisTelCisel::ZapisPary() {
    TKomunikace& kom = fKontext.Komunikace;
    for (const TZapisovanyBlok& blok : fBloky) {
        for (std::uint8_t j = 0; j < k_NORLINKTlgSize; ++j) {
            kom.ZapisDoDataOutBuffer(static_cast<std::uint8_t>(j + 1), blok.Data[j]);
        }
        auto zapis =
            kom.VytvorTLGNewDoBuffru(PC, MDM, Zapis, ZAZNAM, blok.Adresa, k_NORLINKTlgSize, 0, 0);
        auto cteni = kom.VytvorTLGDoBuffru(PC, MDM, Cteni, ZAZNAM, NORLINK_Z_SeznamCisel);
        if (zapis && cteni) {
            kom.ZaradParZapisu(std::move(*zapis), std::move(*cteni));
        }
    }
    fOveruje = false;
    UkazDialogZapisu(fKontext.Info, static_cast<int>(fBloky.size()), R_ZapisTelCisel);
}

TKrok TZapisTelCisel::Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                              std::span<const std::uint8_t> data) {
    if (fStav != TStavOperace::Bezi || typPameti != ZAZNAM) {
        return TKrok::Pokracuje;
    }
    TKomunikace& kom = fKontext.Komunikace;
    if (fOveruje) {
        const auto head = kom.ZaznamFronty(0);
        if (head && head->Adresa == hlavicka.Adresa && data.size() >= k_NORLINKTlgSize) {
            return Overeno(hlavicka.Adresa, data.first(k_NORLINKTlgSize));
        }
        return TKrok::Pokracuje;
    }
    // Only the answer to the pair's own read-back completes it.
    const auto readBack = kom.CteniParu();
    if (!readBack || readBack->Akce != Cteni || readBack->Adresa != hlavicka.Adresa) {
        return TKrok::Pokracuje;
    }
    if (fDekodery.DekodTLGZaznam(hlavicka.Adresa, data) == TVysledekDekodovani::Zapis) {
        ObsluzZapis();
    }
    return TKrok::Pokracuje;
}

void TZapisTelCisel::ObsluzZapis() {
    TKomunikace& kom = fKontext.Komunikace;
    kom.SmazZaznamFronty();
    if (kom.PocetZaznamuFronty() == 0) {
        Over();
    }
}

void TZapisTelCisel::Over() {
    fOveruje = true;
    fOvereno = 0;
    fRozdilne.clear();
    for (const TZapisovanyBlok& blok : fBloky) {
        fKontext.Komunikace.VytvorTLGNew(PC, MDM, Cteni, ZAZNAM, blok.Adresa, k_NORLINKTlgSize, 0,
                                         0);
    }
    IInfoForm& info = fKontext.Info;
    info.SetDolniMax(static_cast<int>(fBloky.size()));
    info.SetDolniPosition(0);
    info.SetText(std::string(R_OvereniTelCisel));
}

TKrok TZapisTelCisel::Overeno(std::uint16_t adresa, std::span<const std::uint8_t> data) {
    const TZapisovanyBlok& blok = fBloky.at(fOvereno);
    if (blok.Adresa != adresa) {
        return TKrok::Pokracuje;
    }
    fKontext.Komunikace.SmazZaznamFronty();
    fKontext.Info.StepDolni();
    if (!std::equal(data.begin(), data.end(), blok.Data.begin())) {
        fRozdilne.push_back(blok);
    }
    if (++fOvereno < fBloky.size()) {
        return TKrok::Pokracuje;
    }
    if (fRozdilne.empty()) {
        Ukonci();
        return TKrok::Hotovo;
    }
    if (fKolo < k_KolZapisu) {
        ++fKolo;
        fBloky = fRozdilne;
        ZapisPary();
        return TKrok::Opakuje;
    }
    std::string cisla;
    for (const TZapisovanyBlok& b : fRozdilne) {
        cisla += (cisla.empty() ? "" : ", ") + std::to_string(b.Cislo);
    }
    Ukonci();
    // Not inside the serial driver's tick: the box waits for the user.
    IHlaseni& okno = fKontext.Hlaseni;
    okno.Naplanuj([&okno, text = std::string(R_CislaNezapsana) + cisla +
                                 std::string(R_CislaNezapsanaRada)] { okno.Chyba(text); });
    return TKrok::Selhalo;
}

void TZapisTelCisel::Ukonci() {
    fStav = TStavOperace::Hotovo;
    fKontext.Info.Close();
}

void TZapisTelCisel::Zrus() {
    if (fStav != TStavOperace::Bezi) {
        return;
    }
    fStav = TStavOperace::Zrusena;
    UkonciPredcasne(fKontext.Komunikace, fKontext.Info);
}
