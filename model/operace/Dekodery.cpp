#include "operace/Dekodery.h"

#include "kovra.h"
#include "text/Cp1250.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::uint16_t k_a16 = MDM_Adresa(NORLINK_Z_PoruchaExp1);
constexpr std::uint16_t k_a17 = MDM_Adresa(NORLINK_Z_Vstup1Exp1);
constexpr std::uint16_t k_L = MDM_Delka(NORLINK_Z_PoruchaExp1);

std::uint16_t U16(unsigned value) {
    return static_cast<std::uint16_t>(value);
}

std::uint16_t OmezVstupy(unsigned bound) {
    return U16(std::min<unsigned>(bound, k_LastEepromAddr));
}

// Characters of a text telegram: every byte but the fill bytes 0 and 255.
void PripojText(TZprava& text, std::span<const std::uint8_t> data) {
    for (const std::uint8_t byte : data) {
        if (byte != 0 && byte != 255) {
            const char c = static_cast<char>(byte);
            text.Append(std::string_view(&c, 1));
        }
    }
}

std::string Stitek(std::string_view text, int index, int count) {
    return std::string(text) + " " + std::to_string(index) + "/" + std::to_string(count);
}

} // namespace

TMezeCteni MezeCteniExpanderu(int n) {
    const auto un = static_cast<unsigned>(std::clamp(n, 1, 8));
    return {U16(512 * un + k_a16 - k_L), k_a17, OmezVstupy(4096 * un + k_a17 - k_L)};
}

TMezeCteni MezeCteniVstupu(int e, int v) {
    const auto ue = static_cast<unsigned>(std::clamp(e, 0, 7));
    const auto uv = static_cast<unsigned>(std::clamp(v, 0, 7));
    return {U16(512 * (ue + 1) + k_a16 - k_L), U16(4096 * ue + 512 * uv + k_a17),
            OmezVstupy(4096 * ue + k_a17 + 512 * uv + 512 - k_L)};
}

std::string CitelnyText(std::string_view bytes) {
    std::string kept;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        // The five bytes the code page leaves undefined show as control codes too.
        const bool nedefinovany =
            byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90 || byte == 0x98;
        if (byte >= 0x20 && byte != 0x7F && byte != 0xFF && !nedefinovany) {
            kept += c;
        }
    }
    while (!kept.empty() && kept.back() == ' ') {
        kept.pop_back();
    }
    return Cp1250DoUtf8(kept);
}

TDekodery::TDekodery(TNORLINK& rec, TKomunikace& komunikace, IInfoForm& info,
                     const TMezeCteni& meze)
    : fRec(rec), fKomunikace(komunikace), fInfo(info), fMeze(meze) {}

// Answers from RAM and EEPROM are not part of any read.
TVysledekDekodovani TDekodery::DekodTLGRam(std::uint16_t, std::span<const std::uint8_t>) {
    return TVysledekDekodovani::Ignorovano;
}
TVysledekDekodovani TDekodery::DekodTLGEeprom(std::uint16_t, std::span<const std::uint8_t>) {
    return TVysledekDekodovani::Ignorovano;
}

TVysledekDekodovani TDekodery::DekodTLGHWSW(std::uint16_t aAdresa,
                                            std::span<const std::uint8_t> aUk) {
    struct TRadek {
        std::uint8_t Index;
        TIdentText* Text;
    };
    static constexpr std::array<std::uint8_t, 3> k_Indexy{NORLINK_Z_HWTYP, NORLINK_Z_VERSW,
                                                          NORLINK_Z_VERHW};
    const std::array<TRadek, 3> radky{
        {{k_Indexy[0], &HWTYP}, {k_Indexy[1], &VERSW}, {k_Indexy[2], &VERHW}}};
    for (std::size_t n = 0; n < radky.size(); ++n) {
        if (aAdresa != MDM_Adresa(radky[n].Index)) {
            continue;
        }
        // A short answer is not used; the request stays and is asked again.
        if (aUk.size() < TIdentText::Capacity) {
            return TVysledekDekodovani::Ignorovano;
        }
        fKomunikace.SmazZaznamFronty();
        TIdentText& text = *radky[n].Text;
        text.Clear();
        // All 16 bytes as characters, 0 and 255 included.
        const std::uint8_t* cursor = aUk.data();
        for (std::size_t j = 0; j < TIdentText::Capacity; ++j) {
            const char c = static_cast<char>(ReadByte(&cursor, 1));
            text.Append(std::string_view(&c, 1));
        }
        fInfo.StepDolni();
        if (n + 1 < radky.size()) {
            fKomunikace.VytvorTLG(PC, MDM, Cteni, HWSW, radky[n + 1].Index);
        } else {
            fKomunikace.VytvorTLG(PC, MDM, Cteni, ZAZNAM, NORLINK_Z_SeznamCisel);
        }
        return TVysledekDekodovani::Pokracuje;
    }
    return TVysledekDekodovani::Ignorovano;
}

TVysledekDekodovani TDekodery::DekodTLGZaznam(std::uint16_t aAdresa,
                                              std::span<const std::uint8_t> aUk) {
    const TMistoZaznamu misto = UrciMistoZaznamu(aAdresa);
    if (misto.Oblast == TOblastZaznamu::Zadna) {
        return TVysledekDekodovani::Ignorovano;
    }
    if (fKomunikace.Zapisuju()) {
        // A write's answer: counted, never stored; the write decides what it means.
        fInfo.StepDolni();
        return TVysledekDekodovani::Zapis;
    }
    if (aUk.size() < k_NORLINKTlgSize) {
        return TVysledekDekodovani::Ignorovano;
    }
    fKomunikace.SmazZaznamFronty();
    return misto.Oblast == TOblastZaznamu::TelCisla ? TelCislo(aAdresa, aUk) : Blok(aAdresa, aUk);
}

TVysledekDekodovani TDekodery::TelCislo(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk) {
    const auto index = static_cast<std::size_t>((aAdresa - MDM_Adresa(NORLINK_Z_SeznamCisel)) /
                                                MDM_Delka(NORLINK_Z_SeznamCisel));
    std::string cislo;
    const std::uint8_t* cursor = aUk.data();
    for (std::size_t j = 0; j < k_DelkaTelCisla; ++j) {
        const std::uint8_t byte = ReadByte(&cursor, 1);
        if (byte == k_NORLINKPhoneEndChar || byte == k_NORLINKPhoneEmptyChar) {
            break;
        }
        cislo += static_cast<char>(byte);
    }
    const int row = static_cast<int>(index) + 1;
    fRec.TelCisla[index] = cislo;
    fInfo.StepDolni();
    fInfo.SetText(Stitek(R_NacitaniTelCisel, row, static_cast<int>(k_NORLINKMaxPocetCisel)));
    if (index + 1 < k_NORLINKMaxPocetCisel) {
        CtiBlok(U16(aAdresa + MDM_Delka(NORLINK_Z_SeznamCisel)));
        return TVysledekDekodovani::Pokracuje;
    }
    return TVysledekDekodovani::TelCislaHotova;
}

TVysledekDekodovani TDekodery::Blok(std::uint16_t aAdresa, std::span<const std::uint8_t> aUk) {
    const TMistoZaznamu misto = UrciMistoZaznamu(aAdresa);
    const std::size_t e = misto.IndexExpanderu;
    const std::size_t i = misto.IndexVstupu;
    const bool expander = misto.Oblast == TOblastZaznamu::Expander;
    if (misto.Prijemci) {
        TPrijemci& prijemci =
            expander
                ? (misto.PrvniPolovina ? fRec.TelCislaPoruchaKom[e] : fRec.TelCislaObnovaKom[e])
                : (misto.PrvniPolovina ? fRec.TelCislaSepnuti[e][i] : fRec.TelCislaRozpojeni[e][i]);
        const std::uint8_t* cursor = aUk.data();
        for (std::uint8_t& slot : prijemci) {
            slot = ReadByte(&cursor, 1);
        }
    } else {
        TZprava& text =
            expander
                ? (misto.PrvniPolovina ? fRec.ZpravaPorucha[e] : fRec.ZpravaObnova[e])
                : (misto.PrvniPolovina ? fRec.ZpravaSepnuti[e][i] : fRec.ZpravaRozpojeni[e][i]);
        PripojText(text, aUk.first(k_NORLINKTlgSize));
    }
    fInfo.StepDolni();
    const std::uint16_t dalsi = U16(aAdresa + k_L);
    if (expander) {
        CtiBlok(aAdresa < fMeze.fPosledniCtenaAdresaPoruchy ? dalsi
                                                            : fMeze.fPrvniCtenaAdresaVstupy);
        return TVysledekDekodovani::Pokracuje;
    }
    if (aAdresa < fMeze.fPosledniCtenaAdresaVstupy) {
        CtiBlok(dalsi);
        return TVysledekDekodovani::Pokracuje;
    }
    return TVysledekDekodovani::NastaveniHotovo;
}

void TDekodery::CtiBlok(std::uint16_t adresa) {
    fKomunikace.VytvorTLGNew(PC, MDM, Cteni, ZAZNAM, adresa,
                             static_cast<std::uint8_t>(MDM_Delka(NORLINK_Z_PoruchaExp1) & 0xFF), 0,
                             0);
}
