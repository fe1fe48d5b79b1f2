#include "stav/AdresyPameti.h"

std::uint16_t AdresaTelCisla(std::uint8_t k) {
    return static_cast<std::uint16_t>(MDM_Adresa(NORLINK_Z_SeznamCisel) +
                                      MDM_Delka(NORLINK_Z_SeznamCisel) * k);
}

std::uint16_t AdresaExpanderu(std::uint8_t e, std::uint8_t j) {
    return static_cast<std::uint16_t>(MDM_Adresa(NORLINK_Z_PoruchaExp1) +
                                      k_NORLINKVelikostBloku * e + k_NORLINKTlgSize * j);
}

std::uint16_t AdresaVstupu(std::uint8_t e, std::uint8_t i, std::uint8_t j) {
    return static_cast<std::uint16_t>(MDM_Adresa(NORLINK_Z_Vstup1Exp1) +
                                      k_NORLINKVstupyExpanderu * e + k_NORLINKVelikostBloku * i +
                                      k_NORLINKTlgSize * j);
}

namespace {

// Recipients sit at the start of each half; text telegrams belong to the half they fall in,
// counted from the block's own offset b in its window.
void UrciPolovinu(TMistoZaznamu& misto, unsigned r, unsigned b) {
    misto.Prijemci = r % k_NORLINKBlockSize == 0;
    if (misto.Prijemci) {
        misto.PrvniPolovina = r % k_NORLINKVelikostBloku == 0;
    } else {
        misto.PrvniPolovina = r < b + k_NORLINKBlockSize;
    }
}

} // namespace

TMistoZaznamu UrciMistoZaznamu(std::uint16_t adresa) {
    TMistoZaznamu misto;
    if (k_OknoTelCisel.Obsahuje(adresa)) {
        const unsigned r = adresa - k_OknoTelCisel.Zacatek;
        misto.Oblast = TOblastZaznamu::TelCisla;
        misto.IndexTelCisla = static_cast<std::uint8_t>(r / MDM_Delka(NORLINK_Z_SeznamCisel));
    } else if (k_OknoExpanderu.Obsahuje(adresa)) {
        const unsigned r = adresa - k_OknoExpanderu.Zacatek;
        misto.Oblast = TOblastZaznamu::Expander;
        misto.IndexExpanderu = static_cast<std::uint8_t>(r / k_NORLINKVelikostBloku);
        UrciPolovinu(misto, r, k_NORLINKVelikostBloku * misto.IndexExpanderu);
    } else if (k_OknoVstupu.Obsahuje(adresa)) {
        const unsigned r = adresa - k_OknoVstupu.Zacatek;
        misto.Oblast = TOblastZaznamu::Vstup;
        misto.IndexExpanderu = static_cast<std::uint8_t>(r / k_NORLINKVstupyExpanderu);
        misto.IndexVstupu = static_cast<std::uint8_t>((r / k_NORLINKVelikostBloku) % 8);
        UrciPolovinu(misto, r,
                     k_NORLINKVstupyExpanderu * misto.IndexExpanderu +
                         k_NORLINKVelikostBloku * misto.IndexVstupu);
    }
    return misto;
}
