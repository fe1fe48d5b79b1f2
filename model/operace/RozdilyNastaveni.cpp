#include "operace/RozdilyNastaveni.h"

#include <algorithm>

namespace {

using TBloky = std::vector<TBlokNastaveni>;

std::string Expander(std::size_t e) {
    return "expander " + std::to_string(e + 1);
}
std::string Vstup(std::size_t e, std::size_t v) {
    return Expander(e) + ", vstup " + std::to_string(v + 1);
}

void Seznam(TBloky& bloky, std::uint16_t adresa, const TPrijemci& prijemci, std::string popis) {
    TBlokNastaveni blok;
    blok.Adresa = adresa;
    std::copy(prijemci.begin(), prijemci.end(), blok.Data.begin());
    blok.Popis = std::move(popis);
    bloky.push_back(std::move(blok));
}

// The 15 blocks behind the list: the text's bytes, zeros behind its end. adresa is the list's.
void Text(TBloky& bloky, std::uint16_t adresa, const TZprava& zprava, const std::string& popis) {
    const auto bytes = zprava.View();
    for (std::size_t p = 0; p < 15; ++p) {
        TBlokNastaveni blok;
        blok.Adresa = static_cast<std::uint16_t>(adresa + k_NORLINKTlgSize * (p + 1));
        for (std::size_t j = 0; j < k_NORLINKTlgSize; ++j) {
            const std::size_t k = k_NORLINKTlgSize * p + j;
            blok.Data[j] = k < bytes.size() ? static_cast<std::uint8_t>(bytes[k]) : 0;
        }
        blok.Popis = popis;
        bloky.push_back(std::move(blok));
    }
}

} // namespace

TBloky RozdilneBloky(const TNORLINK& rec, const TNORLINK& recNew, int n) {
    TBloky bloky;
    if (rec == recNew) {
        return bloky;
    }
    const auto pocet = static_cast<std::size_t>(std::clamp(n, 1, 8));
    const auto a16 = [](std::size_t e, unsigned half) {
        return static_cast<std::uint16_t>(AdresaExpanderu(static_cast<std::uint8_t>(e), 0) +
                                          k_NORLINKBlockSize * half);
    };
    const auto a17 = [](std::size_t e, std::size_t v, unsigned half) {
        return static_cast<std::uint16_t>(
            AdresaVstupu(static_cast<std::uint8_t>(e), static_cast<std::uint8_t>(v), 0) +
            k_NORLINKBlockSize * half);
    };

    if (!(rec.TelCislaPoruchaKom == recNew.TelCislaPoruchaKom)) {
        for (std::size_t e = 0; e < pocet; ++e) {
            if (!(rec.TelCislaPoruchaKom[e] == recNew.TelCislaPoruchaKom[e])) {
                Seznam(bloky, a16(e, 0), recNew.TelCislaPoruchaKom[e],
                       Expander(e) + ": čísla pro poruchu komunikace");
            }
        }
    }
    if (!(rec.TelCislaObnovaKom == recNew.TelCislaObnovaKom)) {
        for (std::size_t e = 0; e < pocet; ++e) {
            if (!(rec.TelCislaObnovaKom[e] == recNew.TelCislaObnovaKom[e])) {
                Seznam(bloky, a16(e, 1), recNew.TelCislaObnovaKom[e],
                       Expander(e) + ": čísla pro obnovu komunikace");
            }
        }
    }
    if (!(rec.ZpravaPorucha == recNew.ZpravaPorucha)) {
        for (std::size_t e = 0; e < pocet; ++e) {
            if (!(rec.ZpravaPorucha[e] == recNew.ZpravaPorucha[e])) {
                Text(bloky, a16(e, 0), recNew.ZpravaPorucha[e],
                     Expander(e) + ": text poruchy komunikace");
            }
        }
    }
    if (!(rec.ZpravaObnova == recNew.ZpravaObnova)) {
        for (std::size_t e = 0; e < pocet; ++e) {
            if (!(rec.ZpravaObnova[e] == recNew.ZpravaObnova[e])) {
                Text(bloky, a16(e, 1), recNew.ZpravaObnova[e],
                     Expander(e) + ": text obnovy komunikace");
            }
        }
    }
    struct TSekceVstupu {
        const TPoVstupech<TPrijemci>& Stare;
        const TPoVstupech<TPrijemci>& Nove;
        unsigned Polovina;
        const char* Popis;
    };
    for (const TSekceVstupu& s :
         {TSekceVstupu{rec.TelCislaSepnuti, recNew.TelCislaSepnuti, 0, ": čísla pro sepnutí"},
          TSekceVstupu{rec.TelCislaRozpojeni, recNew.TelCislaRozpojeni, 1,
                       ": čísla pro rozpojení"}}) {
        if (s.Stare == s.Nove) {
            continue;
        }
        for (std::size_t e = 0; e < pocet; ++e) {
            for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
                if (!(s.Stare[e][v] == s.Nove[e][v])) {
                    Seznam(bloky, a17(e, v, s.Polovina), s.Nove[e][v], Vstup(e, v) + s.Popis);
                }
            }
        }
    }
    struct TSekceTextu {
        const TPoVstupech<TZprava>& Stare;
        const TPoVstupech<TZprava>& Nove;
        unsigned Polovina;
        const char* Popis;
    };
    for (const TSekceTextu& s :
         {TSekceTextu{rec.ZpravaSepnuti, recNew.ZpravaSepnuti, 0, ": text sepnutí"},
          TSekceTextu{rec.ZpravaRozpojeni, recNew.ZpravaRozpojeni, 1, ": text rozpojení"}}) {
        if (s.Stare == s.Nove) {
            continue;
        }
        for (std::size_t e = 0; e < pocet; ++e) {
            for (std::size_t v = 0; v < k_PocetVstupuExp; ++v) {
                if (!(s.Stare[e][v] == s.Nove[e][v])) {
                    Text(bloky, a17(e, v, s.Polovina), s.Nove[e][v], Vstup(e, v) + s.Popis);
                }
            }
        }
    }
    return bloky;
}
