#include "operace/Cteni.h"

namespace {

constexpr int k_RadkuTelCisel = static_cast<int>(k_NORLINKMaxPocetCisel);

void VyprazdniTexty(TNORLINK& rec) {
    for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
        rec.ZpravaPorucha[e].Clear();
        rec.ZpravaObnova[e].Clear();
        for (std::size_t i = 0; i < k_PocetVstupuExp; ++i) {
            rec.ZpravaSepnuti[e][i].Clear();
            rec.ZpravaRozpojeni[e][i].Clear();
        }
    }
}

} // namespace

void UkazDialogCteni(IInfoForm& info, int maximum, const std::string& text) {
    info.SetDolniVisible(true);
    info.SetHorniVisible(false);
    info.SetDolniMax(maximum);
    info.SetDolniPosition(0);
    info.SetText(text);
    info.SetCaption(std::string());
    info.SetPrerusitVisible(true);
    info.ShowModeless();
}

void UkazDialogZapisu(IInfoForm& info, int maximum, std::string_view text) {
    info.SetDolniVisible(true);
    info.SetHorniVisible(false);
    info.SetDolniMax(maximum);
    info.SetDolniPosition(0);
    info.SetText(std::string(text));
    info.SetPrerusitVisible(true);
    info.ShowModeless();
}

void UkonciPredcasne(TKomunikace& komunikace, IInfoForm& info) {
    komunikace.VyprazdniFrontu();
    info.Hide();
}

TCteni::TCteni(const TKontextOperace& kontext)
    : fKontext(kontext), fDekodery(kontext.Rec, kontext.Komunikace, kontext.Info, fMeze) {}

TKrok TCteni::Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                      std::span<const std::uint8_t> data) {
    if (fStav != TStavOperace::Bezi) {
        return TKrok::Pokracuje;
    }
    const auto head = fKontext.Komunikace.ZaznamFronty(0);
    if (!head || head->TypPameti != typPameti || head->Adresa != hlavicka.Adresa) {
        return TKrok::Pokracuje;
    }
    TVysledekDekodovani vysledek = TVysledekDekodovani::Ignorovano;
    switch (typPameti) {
    case RAM:
        vysledek = fDekodery.DekodTLGRam(hlavicka.Adresa, data);
        break;
    case EEPROM:
        vysledek = fDekodery.DekodTLGEeprom(hlavicka.Adresa, data);
        break;
    case ZAZNAM:
        vysledek = fDekodery.DekodTLGZaznam(hlavicka.Adresa, data);
        break;
    case HWSW:
        vysledek = fDekodery.DekodTLGHWSW(hlavicka.Adresa, data);
        break;
    default:
        break;
    }
    if (vysledek != TVysledekDekodovani::Ignorovano) {
        Ulozeno();
    }
    if (vysledek == TVysledekDekodovani::TelCislaHotova ||
        vysledek == TVysledekDekodovani::NastaveniHotovo) {
        fStav = TStavOperace::Hotovo;
        Dokonci(vysledek);
        return TKrok::Hotovo;
    }
    return TKrok::Pokracuje;
}

void TCteni::Zrus() {
    if (fStav != TStavOperace::Bezi) {
        return;
    }
    fStav = TStavOperace::Zrusena;
    UkonciPredcasne(fKontext.Komunikace, fKontext.Info);
    Obnov();
}

bool TCteniTelCisel::Start() {
    // The numbers are empty until their answers come, in both images: the window shows them
    // arriving, and a cancel puts both back.
    fTelCisla = fKontext.Rec.TelCisla;
    fTelCislaNew = fKontext.RecNew.TelCisla;
    for (auto& cislo : fKontext.Rec.TelCisla) {
        cislo.Clear();
    }
    fKontext.RecNew.TelCisla = fKontext.Rec.TelCisla;
    fIdent = {HWTYP, VERSW, VERHW};
    UkazDialogCteni(fKontext.Info, 3 + k_RadkuTelCisel, std::string(R_NacitaniTelCisel));
    fKontext.Komunikace.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    return true;
}

void TCteniTelCisel::Ulozeno() {
    fKontext.RecNew.TelCisla = fKontext.Rec.TelCisla;
}

void TCteniTelCisel::Dokonci(TVysledekDekodovani) {
    fKontext.Info.Hide();
    for (const TOvladac control :
         {TOvladac::Hg_PhoneNumbers, TOvladac::Btn_ZapisTelCisla, TOvladac::Btn_NactiExpandery,
          TOvladac::Btn_NactiAktualni, TOvladac::Btn_reset}) {
        fKontext.Povoleni.Nastav(control, true);
    }
}

void TCteniTelCisel::Obnov() {
    fKontext.Rec.TelCisla = fTelCisla;
    fKontext.RecNew.TelCisla = fTelCislaNew;
    HWTYP = fIdent[0];
    VERSW = fIdent[1];
    VERHW = fIdent[2];
}

TCteniNastaveni::TCteniNastaveni(const TKontextOperace& kontext, TRozsahCteni rozsah)
    : TCteni(kontext), fRozsah(rozsah) {}

bool TCteniNastaveni::Start() {
    fMeze = fRozsah.Vse ? MezeCteniExpanderu(fRozsah.N) : MezeCteniVstupu(fRozsah.E, fRozsah.V);
    // The block of input 8 of expander 8 lies outside the input window: no answer to it could
    // ever carry the read on.
    if (!k_OknoVstupu.Obsahuje(fMeze.fPrvniCtenaAdresaVstupy)) {
        fStav = TStavOperace::Zrusena;
        fKontext.Hlaseni.Chyba(std::string(R_VstupMimoPamet));
        return false;
    }
    TPovoleni& povoleni = fKontext.Povoleni;
    fExpanderPovolen = povoleni.Povolen(TOvladac::Cmb_Expander);
    fVstupPovolen = povoleni.Povolen(TOvladac::Cmb_Vstup);
    povoleni.Nastav(TOvladac::Cmb_Expander, fRozsah.Vse);
    povoleni.Nastav(TOvladac::Cmb_Vstup, fRozsah.Vse);

    const int maximum = fRozsah.Vse ? 288 * fRozsah.N : 64;
    UkazDialogCteni(fKontext.Info, maximum, std::string(R_NacitaniNastaveni));
    fPuvodni = fKontext.Rec;
    VyprazdniTexty(fKontext.Rec);
    if (fRozsah.Vse) {
        fKontext.Komunikace.VytvorTLG(PC, MDM, Cteni, ZAZNAM, NORLINK_Z_PoruchaExp1);
    } else {
        fKontext.Komunikace.VytvorTLGNew(
            PC, MDM, Cteni, ZAZNAM, AdresaExpanderu(static_cast<std::uint8_t>(fRozsah.E), 0),
            static_cast<std::uint8_t>(MDM_Delka(NORLINK_Z_PoruchaExp1) & 0xFF), 0, 0);
    }
    return true;
}

void TCteniNastaveni::Dokonci(TVysledekDekodovani) {
    fKontext.Info.Hide();
    // The settings as read; the numbers are the phone read's and the grid's business.
    const auto cisla = fKontext.RecNew.TelCisla;
    fKontext.RecNew = fKontext.Rec;
    fKontext.RecNew.TelCisla = cisla;
    fKontext.Povoleni.Nastav(TOvladac::Btn_ZapisNastaveni, true);
}

void TCteniNastaveni::Obnov() {
    fKontext.Rec = fPuvodni;
    fKontext.Povoleni.Nastav(TOvladac::Cmb_Expander, fExpanderPovolen);
    fKontext.Povoleni.Nastav(TOvladac::Cmb_Vstup, fVstupPovolen);
}
