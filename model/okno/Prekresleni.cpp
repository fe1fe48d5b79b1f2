#include "okno/Prekresleni.h"

#include "operace/Dekodery.h"
#include "operace/RozdilyNastaveni.h"
#include "operace/ZapisTelCisel.h"
#include "text/Cp1250.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int k_PocetRadkuMrizky = static_cast<int>(k_NORLINKMaxPocetCisel);

} // namespace

void TPrekresleni::TelCisla(const TNORLINK& recNew) {
    for (int r = 1; r <= k_PocetRadkuMrizky; ++r) {
        const std::string text =
            Cp1250DoUtf8(recNew.TelCisla[static_cast<std::size_t>(r - 1)].View());
        if (fMrizky.CellText(TMrizka::Hg_PhoneNumbers, 1, r) != text) {
            fMrizky.SetCellText(TMrizka::Hg_PhoneNumbers, 1, r, text);
        }
    }
}

void TPrekresleni::Ident() {
    const std::array<const TIdentText*, 3> texty{&HWTYP, &VERSW, &VERHW};
    for (int panel = 1; panel <= 3; ++panel) {
        const std::string text = CitelnyText(texty[static_cast<std::size_t>(panel - 1)]->View());
        if (fStav.PanelText(panel) != text) {
            fStav.SetPanelText(panel, text);
        }
    }
}

namespace {

std::string Bloku(std::size_t n) {
    const char* slovo = n == 1 ? "blok" : (n >= 2 && n <= 4 ? "bloky" : "bloků");
    return std::to_string(n) + " " + slovo;
}

} // namespace

void TPrekresleni::Znacky(const TNORLINK& rec, const TNORLINK& recNew, const TNORLINK& zname,
                          const TZnameData& znama, int e, int v, int expanderu) {
    for (int r = 1; r <= k_PocetRadkuMrizky; ++r) {
        const auto k = static_cast<std::size_t>(r - 1);
        fMrizky.SetCellBold(TMrizka::Hg_PhoneNumbers, 1, r,
                            !(recNew.TelCisla[k] == zname.TelCisla[k]));
    }
    if (e >= 0) {
        const auto ue = static_cast<std::size_t>(e);
        for (int r = 1; r <= k_PocetRadkuMrizky; ++r) {
            const auto k = static_cast<std::size_t>(r - 1);
            fMrizky.SetCellBold(TMrizka::Hg_Komunikace, 1, r,
                                recNew.TelCislaPoruchaKom[ue][k] !=
                                    zname.TelCislaPoruchaKom[ue][k]);
            fMrizky.SetCellBold(TMrizka::Hg_Komunikace, 2, r,
                                recNew.TelCislaObnovaKom[ue][k] != zname.TelCislaObnovaKom[ue][k]);
        }
        fMrizky.SetMemoBold(TMemo::Mem_Porucha,
                            !(recNew.ZpravaPorucha[ue] == zname.ZpravaPorucha[ue]));
        fMrizky.SetMemoBold(TMemo::Mem_Obnova,
                            !(recNew.ZpravaObnova[ue] == zname.ZpravaObnova[ue]));
        if (v >= 0) {
            const auto uv = static_cast<std::size_t>(v);
            for (int r = 1; r <= k_PocetRadkuMrizky; ++r) {
                const auto k = static_cast<std::size_t>(r - 1);
                fMrizky.SetCellBold(TMrizka::Hg_Vstupy, 1, r,
                                    recNew.TelCislaSepnuti[ue][uv][k] !=
                                        zname.TelCislaSepnuti[ue][uv][k]);
                fMrizky.SetCellBold(TMrizka::Hg_Vstupy, 2, r,
                                    recNew.TelCislaRozpojeni[ue][uv][k] !=
                                        zname.TelCislaRozpojeni[ue][uv][k]);
            }
            fMrizky.SetMemoBold(TMemo::Mem_Sepnuti,
                                !(recNew.ZpravaSepnuti[ue][uv] == zname.ZpravaSepnuti[ue][uv]));
            fMrizky.SetMemoBold(TMemo::Mem_Rozpojeni,
                                !(recNew.ZpravaRozpojeni[ue][uv] == zname.ZpravaRozpojeni[ue][uv]));
        }
    }
    // What a write sends is the difference from the last read, unless it would send what
    // nobody read.
    const auto tip = [&znama](const auto& bloky) {
        std::vector<std::uint16_t> adresy;
        for (const auto& b : bloky) {
            adresy.push_back(b.Adresa);
        }
        const std::string nejdriv = CoNacistNejdriv(znama, adresy);
        return nejdriv.empty() ? "Zápis teď pošle " + Bloku(bloky.size())
                               : "Zápis teď nelze: " + nejdriv;
    };
    fOvladace.SetToolTip(TOvladac::Btn_ZapisTelCisla, tip(RozdilneTelCisla(rec, recNew)));
    fOvladace.SetToolTip(TOvladac::Btn_ZapisNastaveni, tip(RozdilneBloky(rec, recNew, expanderu)));
}
