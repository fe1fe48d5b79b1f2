// The window logic's device operations: the read, reset and write buttons, starting an operation
// in the session and taking over what it hands back when it ends.

#include "okno/MainLogika.h"

#include "operace/Cteni.h"
#include "operace/RozdilyNastaveni.h"
#include "operace/ZapisNastaveni.h"
#include "operace/ZapisTelCisel.h"
#include "soubory/Protokol.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <variant>
#include <vector>

TKontextOperace TMainLogika::Kontext() {
    return {NORLINKRec, NORLINKRecNew, fRelace->Link(), fOkno, fOkno.InfoForm(), fPovoleni};
}

void TMainLogika::Spust(std::unique_ptr<IOperace> operace) {
    if (BeziOperace() || !fRelace) {
        return;
    }
    // Nothing would ever answer: say so instead of waiting.
    if (!PortOtevren()) {
        fOkno.Varovani(Text(R_PortNeotevren), PopisStavuPortu(fComPortNo, std::string(), false) +
                                                  "\n" + Text(R_PortNeotevrenRada));
        return;
    }
    fRelace->Spust(std::move(operace), [this](TStavOperace stav, const TVysledekOperace& v) {
        if (stav == TStavOperace::Hotovo) {
            std::visit([this](const auto& vysledek) { Dokonceno(vysledek); }, v);
        }
        // A cancel has put back what the operation had emptied.
        Prekresli();
        ObnovZnacky();
    });
}

void TMainLogika::Shoda() {
    fCasOvereni = CasProtokolu(LocalDateTimeParts(std::chrono::system_clock::now()));
}

void TMainLogika::Dokonceno(const TPrectenaCisla&) {
    Shoda();
    fZmeny.PrectenaCisla(NORLINKRec);
    const std::uint32_t bajtu = k_OknoTelCisel.Konec - k_OknoTelCisel.Zacatek;
    fZnama.Nastav(k_OknoTelCisel.Zacatek, bajtu, TPuvod::Zarizeni);
    fZnamaRec.Nastav(k_OknoTelCisel.Zacatek, bajtu, TPuvod::Zarizeni);
}

void TMainLogika::Dokonceno(const TPrectenoNastaveni& precteno) {
    Shoda();
    const TRozsahCteni& r = precteno.Rozsah;
    fZnamaRec = PoCteniNastaveni(fZnamaRec, r.Vse, r.N, r.E, r.V);
    // The working image is the device image now, but for its numbers.
    TZnameData znama = fZnamaRec;
    for (std::uint32_t a = k_OknoTelCisel.Zacatek; a < k_OknoTelCisel.Konec;
         a += k_NORLINKTlgSize) {
        znama.Nastav(a, k_NORLINKTlgSize, fZnama.Puvod(a));
    }
    fZnama = znama;
    fZmeny.PrectenoNastaveni(NORLINKRec, fZnamaRec);
    fNastaveniPrectena = fNastaveniPrectena || r.Vse;
    // What was on display was replaced: show it anew, unknown parts empty.
    Cmb_ExpanderChange();
}

void TMainLogika::Dokonceno(const TZapsaneBloky& zapsano) {
    if (zapsano.Overeno) {
        // Read back as written: the device image holds them now, so the next preview compares
        // with what is there and a restored backup has something to send.
        Shoda();
        if (zapsano.Cisla) {
            fZmeny.ZapsanaCisla(NORLINKRecNew);
            NORLINKRec.TelCisla = NORLINKRecNew.TelCisla;
        } else {
            fZmeny.ZapsanyBloky(NORLINKRecNew, zapsano.Bloky);
            for (const std::uint16_t a : zapsano.Bloky) {
                KopirujCast(NORLINKRec, NORLINKRecNew, a);
                fZnamaRec.Nastav(a, k_NORLINKTlgSize, TPuvod::Zarizeni);
            }
        }
    }
    const std::vector<std::uint16_t> zadne;
    ZapisDokoncen(zapsano.Overeno, zapsano.Cisla ? zapsano.Bloky.size() : 0,
                  zapsano.Cisla ? zadne : zapsano.Bloky);
}

void TMainLogika::ZrusOperaci() {
    if (fRelace) {
        fRelace->Zrus();
    }
}

void TMainLogika::Btn_NactiTelCislaClick() {
    if (!BeziOperace() && SmiPrepsat(true)) {
        Spust(std::make_unique<TCteniTelCisel>(Kontext()));
    }
}

void TMainLogika::Btn_NactiExpanderyClick() {
    if (!BeziOperace() && SmiPrepsat(false)) {
        TRozsahCteni rozsah;
        rozsah.N = std::clamp(fOkno.PocetExpanderu(), k_MinPocetExp, k_MaxPocetExp);
        Spust(std::make_unique<TCteniNastaveni>(Kontext(), rozsah));
    }
}

void TMainLogika::Btn_NactiAktualniClick() {
    const int e = VybranyExpander();
    const int v = VybranyVstup();
    if (!BeziOperace() && e >= 0 && v >= 0 && SmiPrepsat(false)) {
        Spust(std::make_unique<TCteniNastaveni>(Kontext(), TRozsahCteni{false, 1, e, v}));
    }
}

void TMainLogika::Btn_resetClick() {
    if (BeziOperace()) {
        return;
    }
    // The settings are emptied and nobody knows them now; the numbers stay as the grid shows
    // them, so the window and its record keep agreeing.
    const auto cisla = NORLINKRec.TelCisla;
    const auto cislaNew = NORLINKRecNew.TelCisla;
    ClearImage(NORLINKRec);
    ClearImage(NORLINKRecNew);
    NORLINKRec.TelCisla = cisla;
    NORLINKRecNew.TelCisla = cislaNew;
    fZnamaRec.NastavNastaveni(TPuvod::Neznamy);
    fZnama.NastavNastaveni(TPuvod::Neznamy);
    fZmeny.ZapomenNastaveni();
    fNastaveniPrectena = false;
    fPovoleni.Nastav(TOvladac::Cmb_Expander, true);
    fPovoleni.Nastav(TOvladac::Cmb_Vstup, true);
    Cmb_ExpanderChange();
    Cmb_VstupChange();
}

void TMainLogika::Btn_ZapisTelCislaClick() {
    if (BeziOperace()) {
        return;
    }
    const auto bloky = RozdilneTelCisla(NORLINKRec, NORLINKRecNew);
    std::vector<std::uint16_t> adresy;
    for (const TZapisovanyBlok& b : bloky) {
        adresy.push_back(b.Adresa);
    }
    if (PripravZapis(adresy, bloky.size(), 0, {true, false, 8})) {
        Spust(std::make_unique<TZapisTelCisel>(Kontext()));
    }
}

void TMainLogika::Btn_ZapisNastaveniClick() {
    if (BeziOperace()) {
        return;
    }
    const int n = fOkno.ItemCount(TSeznam::Cmb_Expander);
    const auto bloky = RozdilneBloky(NORLINKRec, NORLINKRecNew, n);
    std::vector<std::uint16_t> adresy;
    for (const TBlokNastaveni& b : bloky) {
        adresy.push_back(b.Adresa);
    }
    if (PripravZapis(adresy, 0, bloky.size(), {false, true, n})) {
        Spust(std::make_unique<TZapisNastaveni>(Kontext(), n));
    }
}

void TMainLogika::Btn_PrerusitClick() {
    ZrusOperaci();
}
