#include "operace/VarovaniZapisu.h"

#include "text/Cp1250.h"

#include <algorithm>

namespace {

// One notification: who tells it (expander, or expander and input), its text and its recipients.
struct TUdalost {
    std::string Kde;     // "Expander 1" or "Expander 1, vstup 2"
    const char* Nazev;   // "sepnutí", as the slot warning names it
    const char* Genitiv; // "sepnutí", as "text ..." and "příjemci ..." name it
    const TZprava& Text;
    const TPrijemci& Prijemci;
    bool Znama; // its list and its text
};

bool JeOdkaz(std::uint8_t slot) {
    return slot < k_NORLINKMaxPocetCisel;
}

void Zkontroluj(const TUdalost& u, const TNORLINK& rec, const TZnameData& znama,
                std::vector<std::string>& varovani) {
    if (!u.Znama) {
        return;
    }
    const bool prijemce = std::any_of(u.Prijemci.begin(), u.Prijemci.end(), JeOdkaz);
    if (!u.Text.empty() && !prijemce) {
        varovani.push_back(u.Kde + ": text " + u.Genitiv + " bez příjemce");
    }
    if (u.Text.empty() && prijemce) {
        varovani.push_back(u.Kde + ": příjemci " + u.Genitiv + " bez textu");
    }
    for (std::size_t misto = 0; misto < u.Prijemci.size(); ++misto) {
        const std::uint8_t slot = u.Prijemci[misto];
        if (JeOdkaz(slot) && znama.Znamy(slot * k_NORLINKTlgSize) && rec.TelCisla[slot].empty()) {
            varovani.push_back(u.Kde + ": " + u.Nazev + ", místo " + std::to_string(misto + 1) +
                               " odkazuje na prázdné tel. číslo " + std::to_string(slot));
        }
    }
}

} // namespace

std::vector<std::string> VarovaniPredZapisem(const TNORLINK& recNew, const TZnameData& znama,
                                             int pocetExpanderu) {
    std::vector<std::string> varovani;
    const auto znamaCast = [&](std::uint32_t seznam, std::uint32_t text) {
        return znama.Znamy(seznam, k_BajtuSeznamu) && znama.Znamy(text, k_BajtuTextu);
    };
    const auto n = static_cast<std::size_t>(
        std::clamp(pocetExpanderu, 1, static_cast<int>(k_NORLINKMaxPocetExp)));
    for (std::size_t e = 0; e < n; ++e) {
        const std::string expander = "Expander " + std::to_string(e + 1);
        Zkontroluj({expander, "porucha komunikace", "poruchy komunikace", recNew.ZpravaPorucha[e],
                    recNew.TelCislaPoruchaKom[e],
                    znamaCast(AdresaSeznamuExpanderu(e, false), AdresaTextuExpanderu(e, false))},
                   recNew, znama, varovani);
        Zkontroluj({expander, "obnovení komunikace", "obnovení komunikace", recNew.ZpravaObnova[e],
                    recNew.TelCislaObnovaKom[e],
                    znamaCast(AdresaSeznamuExpanderu(e, true), AdresaTextuExpanderu(e, true))},
                   recNew, znama, varovani);
        for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
            const std::string vstup = expander + ", vstup " + std::to_string(v + 1);
            Zkontroluj(
                {vstup, "sepnutí", "sepnutí", recNew.ZpravaSepnuti[e][v],
                 recNew.TelCislaSepnuti[e][v],
                 znamaCast(AdresaSeznamuVstupu(e, v, false), AdresaTextuVstupu(e, v, false))},
                recNew, znama, varovani);
            Zkontroluj({vstup, "rozpojení", "rozpojení", recNew.ZpravaRozpojeni[e][v],
                        recNew.TelCislaRozpojeni[e][v],
                        znamaCast(AdresaSeznamuVstupu(e, v, true), AdresaTextuVstupu(e, v, true))},
                       recNew, znama, varovani);
        }
    }
    for (std::size_t i = 0; i < recNew.TelCisla.size(); ++i) {
        for (std::size_t j = i + 1; j < recNew.TelCisla.size(); ++j) {
            if (!recNew.TelCisla[i].empty() && znama.Znamy(i * k_NORLINKTlgSize) &&
                znama.Znamy(j * k_NORLINKTlgSize) &&
                recNew.TelCisla[i].View() == recNew.TelCisla[j].View()) {
                varovani.push_back("Tel. čísla " + std::to_string(i) + " a " + std::to_string(j) +
                                   " jsou stejná: " + Cp1250DoUtf8(recNew.TelCisla[i].View()));
            }
        }
    }
    return varovani;
}
