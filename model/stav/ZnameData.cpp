#include "stav/ZnameData.h"

#include <algorithm>

namespace {

// The last block a settings read reaches: the input bound 0x7EFF lets the block at 0x7F00 through.
constexpr std::uint32_t k_KonecCteni = 0x7F10;

} // namespace

TPuvod TZnameData::Puvod(std::uint32_t adresa) const {
    const std::size_t i = adresa / k_NORLINKTlgSize;
    return i < fBloky.size() ? fBloky[i] : TPuvod::Neznamy;
}

bool TZnameData::Znamy(std::uint32_t od, std::uint32_t bajtu) const {
    for (std::uint32_t a = od - od % k_NORLINKTlgSize; a < od + bajtu; a += k_NORLINKTlgSize) {
        if (!Znamy(a)) {
            return false;
        }
    }
    return true;
}

void TZnameData::Nastav(std::uint32_t od, std::uint32_t bajtu, TPuvod puvod) {
    const std::size_t prvni = od / k_NORLINKTlgSize;
    const std::size_t konec = std::min<std::size_t>(
        (od + bajtu + k_NORLINKTlgSize - 1) / k_NORLINKTlgSize, fBloky.size());
    for (std::size_t i = prvni; i < konec; ++i) {
        fBloky[i] = puvod;
    }
}

void TZnameData::NastavNastaveni(TPuvod puvod) {
    Nastav(k_OknoExpanderu.Zacatek, k_KonecKonfigurace - k_OknoExpanderu.Zacatek, puvod);
}

void TZnameData::DoplnZ(const TZnameData& other) {
    for (std::size_t i = 0; i < fBloky.size(); ++i) {
        if (fBloky[i] == TPuvod::Neznamy) {
            fBloky[i] = other.fBloky[i];
        }
    }
}

bool TZnameData::VseZname() const {
    return std::none_of(fBloky.begin(), fBloky.end(),
                        [](TPuvod p) { return p == TPuvod::Neznamy; });
}

std::vector<TRozsahBloku> TZnameData::NeznameRozsahy() const {
    std::vector<TRozsahBloku> out;
    for (std::size_t i = 0; i < fBloky.size(); ++i) {
        if (fBloky[i] != TPuvod::Neznamy) {
            continue;
        }
        const auto od = static_cast<std::uint32_t>(i * k_NORLINKTlgSize);
        const auto konec = static_cast<std::uint32_t>(od + k_NORLINKTlgSize);
        if (!out.empty() && out.back().Do == od) {
            out.back().Do = konec;
        } else {
            out.push_back({od, konec});
        }
    }
    return out;
}

std::uint32_t AdresaSeznamuExpanderu(std::size_t e, bool obnova) {
    return AdresaExpanderu(static_cast<std::uint8_t>(e), obnova ? 16 : 0);
}
std::uint32_t AdresaTextuExpanderu(std::size_t e, bool obnova) {
    return AdresaExpanderu(static_cast<std::uint8_t>(e), obnova ? 17 : 1);
}
std::uint32_t AdresaSeznamuVstupu(std::size_t e, std::size_t v, bool rozpojeni) {
    return AdresaVstupu(static_cast<std::uint8_t>(e), static_cast<std::uint8_t>(v),
                        rozpojeni ? 16 : 0);
}
std::uint32_t AdresaTextuVstupu(std::size_t e, std::size_t v, bool rozpojeni) {
    return AdresaVstupu(static_cast<std::uint8_t>(e), static_cast<std::uint8_t>(v),
                        rozpojeni ? 17 : 1);
}

TZnameData PoCteniNastaveni(TZnameData znama, bool vse, int n, int e, int v) {
    const auto ctene = [&](std::uint32_t od, std::uint32_t bajtu) {
        const std::uint32_t konec = std::min(od + bajtu, k_KonecCteni);
        if (konec > od) {
            znama.Nastav(od, konec - od, TPuvod::Zarizeni);
        }
    };
    // The read empties every text first; texts it does not reach are known no more.
    for (std::size_t ex = 0; ex < k_NORLINKMaxPocetExp; ++ex) {
        for (const bool druha : {false, true}) {
            znama.Nastav(AdresaTextuExpanderu(ex, druha), k_BajtuTextu, TPuvod::Neznamy);
            for (std::size_t vs = 0; vs < k_PocetVstupuExp; ++vs) {
                znama.Nastav(AdresaTextuVstupu(ex, vs, druha), k_BajtuTextu, TPuvod::Neznamy);
            }
        }
    }
    if (vse) {
        const auto pocet = static_cast<std::uint32_t>(std::clamp(n, 1, 8));
        ctene(k_OknoExpanderu.Zacatek, pocet * k_NORLINKVelikostBloku);
        ctene(k_OknoVstupu.Zacatek, pocet * k_NORLINKVstupyExpanderu);
    } else {
        ctene(AdresaSeznamuExpanderu(static_cast<std::size_t>(e), false), k_NORLINKVelikostBloku);
        // The input's first block is read even above the bound: the read ends with its answer.
        const std::uint32_t vstup =
            AdresaSeznamuVstupu(static_cast<std::size_t>(e), static_cast<std::size_t>(v), false);
        znama.Nastav(vstup, k_NORLINKTlgSize, TPuvod::Zarizeni);
        ctene(vstup, k_NORLINKVelikostBloku);
    }
    return znama;
}

namespace {

// The part around an address: its start and length, and what it is.
struct TCast {
    enum class TDruh : std::uint8_t { Zadna, Cislo, Seznam, Text } Druh = TDruh::Zadna;
    std::size_t Cislo = 0; // phone number
    std::size_t E = 0;
    std::size_t V = 0;
    bool Vstup = false;
    bool Druha = false; // the second half: restoration, disconnect
    std::uint32_t Od = 0;
    std::uint32_t Bajtu = 0;
};

TCast Cast(std::uint32_t adresa) {
    TCast c;
    if (adresa < k_OknoExpanderu.Zacatek) {
        c.Druh = TCast::TDruh::Cislo;
        c.Cislo = adresa / k_NORLINKTlgSize;
        c.Od = static_cast<std::uint32_t>(c.Cislo * k_NORLINKTlgSize);
        c.Bajtu = k_NORLINKTlgSize;
        return c;
    }
    if (adresa >= k_KonecKonfigurace) {
        return c;
    }
    std::uint32_t r = 0;
    if (adresa < k_OknoVstupu.Zacatek) {
        r = adresa - k_OknoExpanderu.Zacatek;
        c.E = r / k_NORLINKVelikostBloku;
    } else {
        r = adresa - k_OknoVstupu.Zacatek;
        c.Vstup = true;
        c.E = r / k_NORLINKVstupyExpanderu;
        c.V = (r / k_NORLINKVelikostBloku) % k_PocetVstupuExp;
    }
    const std::uint32_t vBloku = r % k_NORLINKVelikostBloku;
    c.Druha = vBloku >= k_NORLINKBlockSize;
    const bool seznam = vBloku % k_NORLINKBlockSize < k_NORLINKTlgSize;
    c.Druh = seznam ? TCast::TDruh::Seznam : TCast::TDruh::Text;
    c.Od = (adresa - r) + (r - vBloku) + (c.Druha ? k_NORLINKBlockSize : 0U) +
           (seznam ? 0U : k_NORLINKTlgSize);
    c.Bajtu = seznam ? k_BajtuSeznamu : k_BajtuTextu;
    return c;
}

template <typename TImage, typename F>
void SPrvkem(TImage& image, const TCast& c, F&& f) {
    switch (c.Druh) {
    case TCast::TDruh::Cislo:
        f(image.TelCisla[c.Cislo]);
        break;
    case TCast::TDruh::Seznam:
        if (c.Vstup) {
            f(c.Druha ? image.TelCislaRozpojeni[c.E][c.V] : image.TelCislaSepnuti[c.E][c.V]);
        } else {
            f(c.Druha ? image.TelCislaObnovaKom[c.E] : image.TelCislaPoruchaKom[c.E]);
        }
        break;
    case TCast::TDruh::Text:
        if (c.Vstup) {
            f(c.Druha ? image.ZpravaRozpojeni[c.E][c.V] : image.ZpravaSepnuti[c.E][c.V]);
        } else {
            f(c.Druha ? image.ZpravaObnova[c.E] : image.ZpravaPorucha[c.E]);
        }
        break;
    case TCast::TDruh::Zadna:
        break;
    }
}

} // namespace

void KopirujCast(TNORLINK& cil, const TNORLINK& zdroj, std::uint32_t adresa) {
    const TCast c = Cast(adresa);
    SPrvkem(cil, c, [&](auto& prvek) {
        SPrvkem(zdroj, c, [&](const auto& z) {
            if constexpr (std::is_same_v<std::decay_t<decltype(prvek)>,
                                         std::decay_t<decltype(z)>>) {
                prvek = z;
            }
        });
    });
}

void PrevezmiNezname(TNORLINK& cil, const TNORLINK& zdroj, const TZnameData& znama) {
    for (std::uint32_t a = 0; a < k_KonecKonfigurace; a += k_NORLINKTlgSize) {
        const TCast c = Cast(a);
        if (c.Od == a && !znama.Znamy(c.Od, c.Bajtu)) {
            KopirujCast(cil, zdroj, a);
        }
    }
}

std::string CoNacistNejdriv(const TZnameData& znama, const std::vector<std::uint16_t>& adresy) {
    for (const std::uint16_t a : adresy) {
        if (znama.Znamy(a)) {
            continue;
        }
        const TCast c = Cast(a);
        if (c.Druh == TCast::TDruh::Cislo) {
            return "Nejdřív načtěte telefonní čísla z komunikátoru.";
        }
        const std::string expander = "expanderu " + std::to_string(c.E + 1);
        if (!c.Vstup) {
            return "Nejdřív načtěte nastavení " + expander + " z komunikátoru.";
        }
        const std::string vstup = "vstupu " + std::to_string(c.V + 1) + " " + expander;
        if (a >= k_KonecCteni) {
            return "Nastavení " + vstup +
                   " leží za oblastí paměti, kterou lze z komunikátoru načíst, a jeho obsah proto "
                   "není známý. Zapsat ho lze jen celé ze souboru (Načti nastavení ze souboru).";
        }
        return "Nejdřív načtěte nastavení " + vstup + " z komunikátoru.";
    }
    return {};
}
