#include "Zmeny.h"

#include <algorithm>

TTelCislaGridu CislaGridu(const IFrm_Main& okno) {
    TTelCislaGridu cisla;
    for (std::size_t k = 0; k < cisla.size(); ++k) {
        cisla[k] = okno.CellText(TMrizka::Hg_PhoneNumbers, 1, static_cast<int>(k) + 1);
    }
    return cisla;
}

void TZmeny::ZapsanoNastaveni(const TNORLINK& recNew, int pocetExpanderu) {
    const auto n = static_cast<std::size_t>(std::clamp(pocetExpanderu, 1, 8));
    for (std::size_t e = 0; e < n; ++e) {
        fZname.TelCislaPoruchaKom[e] = recNew.TelCislaPoruchaKom[e];
        fZname.TelCislaObnovaKom[e] = recNew.TelCislaObnovaKom[e];
        fZname.ZpravaPorucha[e] = recNew.ZpravaPorucha[e];
        fZname.ZpravaObnova[e] = recNew.ZpravaObnova[e];
        fZname.TelCislaSepnuti[e] = recNew.TelCislaSepnuti[e];
        fZname.TelCislaRozpojeni[e] = recNew.TelCislaRozpojeni[e];
        fZname.ZpravaSepnuti[e] = recNew.ZpravaSepnuti[e];
        fZname.ZpravaRozpojeni[e] = recNew.ZpravaRozpojeni[e];
    }
}

void TZmeny::Exportovano(const TNORLINK& recNew, const TTelCislaGridu& cisla) {
    fExport = recNew;
    fExportCisla = cisla;
    fJeExport = true;
}

bool TZmeny::Neulozene(const TNORLINK& recNew, const TTelCislaGridu& cisla) const {
    // The phone numbers of the image are the read's; the grid is their edited state.
    TNORLINK bezCisel = recNew;
    bezCisel.TelCisla = fZname.TelCisla;
    const bool naZarizeni = bezCisel == fZname && cisla == fCisla;
    const bool vExportu = fJeExport && recNew == fExport && cisla == fExportCisla;
    return !naZarizeni && !vExportu;
}
