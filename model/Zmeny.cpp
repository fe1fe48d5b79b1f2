#include "Zmeny.h"

#include "Cp1250.h"

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

void TZmeny::Exportovano(const TNORLINK& recNew) {
    fExport = recNew;
    fJeExport = true;
}

bool TZmeny::Neulozene(const TNORLINK& recNew, const TTelCislaGridu& cisla) const {
    // The phone numbers of the image are the read's; the grid is their edited state, and the
    // export holds the image's numbers, not what was typed into the grid.
    TNORLINK bezCisel = recNew;
    bezCisel.TelCisla = fZname.TelCisla;
    const bool nastaveniUlozena = bezCisel == fZname || (fJeExport && recNew == fExport);
    bool cislaVExportu = fJeExport;
    for (std::size_t k = 0; k < cisla.size() && cislaVExportu; ++k) {
        cislaVExportu = Utf8DoCp1250(cisla[k]) == fExport.TelCisla[k].Str();
    }
    const bool cislaUlozena = cisla == fCisla || cislaVExportu;
    return !(nastaveniUlozena && cislaUlozena);
}
