#include "stav/Zmeny.h"

void TZmeny::PrectenaCisla(const TNORLINK& rec) {
    fZname.TelCisla = rec.TelCisla;
    fZnama.Nastav(k_OknoTelCisel.Zacatek, k_OknoTelCisel.Konec - k_OknoTelCisel.Zacatek,
                  TPuvod::Zarizeni);
}

void TZmeny::PrectenoNastaveni(const TNORLINK& rec, const TZnameData& znama) {
    const auto cisla = fZname.TelCisla;
    fZname = rec;
    fZname.TelCisla = cisla;
    const TZnameData predtim = fZnama;
    fZnama = znama;
    // The numbers stay as the phone read and the phone writes left them.
    for (std::uint32_t a = k_OknoTelCisel.Zacatek; a < k_OknoTelCisel.Konec;
         a += k_NORLINKTlgSize) {
        fZnama.Nastav(a, k_NORLINKTlgSize, predtim.Puvod(a));
    }
}

void TZmeny::ZapomenNastaveni() {
    const auto cisla = fZname.TelCisla;
    ClearImage(fZname);
    fZname.TelCisla = cisla;
    fZnama.NastavNastaveni(TPuvod::Neznamy);
}

void TZmeny::ZapsanaCisla(const TNORLINK& recNew) {
    PrectenaCisla(recNew);
}

void TZmeny::ZapsanyBloky(const TNORLINK& recNew, const std::vector<std::uint16_t>& adresy) {
    for (const std::uint16_t a : adresy) {
        KopirujCast(fZname, recNew, a);
        fZnama.Nastav(a, k_NORLINKTlgSize, TPuvod::Zarizeni);
    }
}

void TZmeny::Exportovano(const TNORLINK& recNew) {
    fExport = recNew;
    fJeExport = true;
}

bool TZmeny::NeulozenaCisla(const TNORLINK& recNew) const {
    return !(recNew.TelCisla == fZname.TelCisla) &&
           !(fJeExport && recNew.TelCisla == fExport.TelCisla);
}

bool TZmeny::NeulozeneNastaveni(const TNORLINK& recNew) const {
    TNORLINK a = recNew;
    a.TelCisla = fZname.TelCisla;
    if (a == fZname) {
        return false;
    }
    a.TelCisla = fExport.TelCisla;
    return !(fJeExport && a == fExport);
}
