#include "editace/EditaceExpanderu.h"

#include "editace/Editace.h"
#include "kovra.h"
#include "text/Cp1250.h"
#include "text/TextZpravy.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int k_Radku = static_cast<int>(k_NORLINKMaxPocetCisel);

std::size_t Index(TMemo memo) {
    return static_cast<std::size_t>(memo);
}

} // namespace

std::string ZobrazOdkaz(std::uint8_t aOdkaz) {
    return aOdkaz > 15 ? std::string() : std::to_string(aOdkaz);
}

std::optional<int> OdkazBunky(std::string_view text) {
    const std::string cislice = RemoveChar(std::string(text), k_CharSpace);
    if (cislice.empty() || cislice.size() > 2 ||
        !std::all_of(cislice.begin(), cislice.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int index = std::stoi(cislice);
    return index <= 15 ? std::optional<int>(index) : std::nullopt;
}

std::string PopisOdkazu(int index, std::string_view cislo) {
    const std::string kdo = "Tel. číslo " + std::to_string(index);
    if (cislo.empty()) {
        return kdo + " je prázdné: SMS z tohoto místa nikomu nepřijde.";
    }
    return kdo + ": " + std::string(cislo);
}

std::string PopisOmezeni(std::string_view zadano, int index) {
    return "Odkaz může být 0 až 15: zadané " + std::string(zadano) + " bylo změněno na " +
           std::to_string(index) + ".";
}

void TEditaceExpanderu::Cmb_ExpanderChange() {
    const int e = fOkno.ItemIndex(TSeznam::Cmb_Expander);
    if (e >= 0 && e < static_cast<int>(k_NORLINKMaxPocetExp)) {
        fExpander = e;
        for (int r = 1; r <= k_Radku; ++r) {
            const auto slot = static_cast<std::size_t>(r - 1);
            fOkno.SetCellText(TMrizka::Hg_Komunikace, 1, r,
                              ZobrazSlot(TMrizka::Hg_Komunikace, 1, slot));
            fOkno.SetCellText(TMrizka::Hg_Komunikace, 2, r,
                              ZobrazSlot(TMrizka::Hg_Komunikace, 2, slot));
        }
        ZobrazMemo(TMemo::Mem_Porucha);
        ZobrazMemo(TMemo::Mem_Obnova);
    }
    Cmb_VstupChange();
}

void TEditaceExpanderu::Cmb_VstupChange() {
    const int e = fOkno.ItemIndex(TSeznam::Cmb_Expander);
    const int v = fOkno.ItemIndex(TSeznam::Cmb_Vstup);
    if (e < 0 || v < 0 || e >= static_cast<int>(k_NORLINKMaxPocetExp) ||
        v >= static_cast<int>(k_PocetVstupuExp)) {
        return;
    }
    fExpander = e;
    fVstup = v;
    for (int r = 1; r <= k_Radku; ++r) {
        const auto slot = static_cast<std::size_t>(r - 1);
        fOkno.SetCellText(TMrizka::Hg_Vstupy, 1, r, ZobrazSlot(TMrizka::Hg_Vstupy, 1, slot));
        fOkno.SetCellText(TMrizka::Hg_Vstupy, 2, r, ZobrazSlot(TMrizka::Hg_Vstupy, 2, slot));
    }
    ZobrazMemo(TMemo::Mem_Sepnuti);
    ZobrazMemo(TMemo::Mem_Rozpojeni);
}

void TEditaceExpanderu::ZobrazMemo(TMemo memo) {
    if (const TZprava* zprava = Zprava(memo)) {
        // Nobody knows an unknown text: it shows empty, and left so it stores nothing.
        fOkno.SetMemoText(memo, Znamy(AdresaTextu(memo), k_BajtuTextu)
                                    ? Cp1250DoUtf8(zprava->View())
                                    : std::string());
        fZobrazeno[Index(memo)] = fOkno.MemoText(memo);
    }
}

std::uint32_t TEditaceExpanderu::AdresaTextu(TMemo memo) const {
    const auto e = static_cast<std::size_t>(std::max(fExpander, 0));
    const auto v = static_cast<std::size_t>(std::max(fVstup, 0));
    switch (memo) {
    case TMemo::Mem_Porucha:
        return AdresaTextuExpanderu(e, false);
    case TMemo::Mem_Obnova:
        return AdresaTextuExpanderu(e, true);
    case TMemo::Mem_Sepnuti:
        return AdresaTextuVstupu(e, v, false);
    case TMemo::Mem_Rozpojeni:
        break;
    }
    return AdresaTextuVstupu(e, v, true);
}

std::uint32_t TEditaceExpanderu::AdresaSeznamu(TMrizka grid, int col) const {
    const auto e = static_cast<std::size_t>(std::max(fExpander, 0));
    const auto v = static_cast<std::size_t>(std::max(fVstup, 0));
    return grid == TMrizka::Hg_Komunikace ? AdresaSeznamuExpanderu(e, col == 2)
                                          : AdresaSeznamuVstupu(e, v, col == 2);
}

const TPrijemci* TEditaceExpanderu::SeznamZarizeni(TMrizka grid, int col) const {
    if (fRec == nullptr || fExpander < 0) {
        return nullptr;
    }
    const auto e = static_cast<std::size_t>(fExpander);
    if (grid == TMrizka::Hg_Komunikace) {
        return col == 1 ? &fRec->TelCislaPoruchaKom[e] : &fRec->TelCislaObnovaKom[e];
    }
    if (fVstup < 0) {
        return nullptr;
    }
    const auto v = static_cast<std::size_t>(fVstup);
    return col == 1 ? &fRec->TelCislaSepnuti[e][v] : &fRec->TelCislaRozpojeni[e][v];
}

std::string TEditaceExpanderu::ZobrazSlot(TMrizka grid, int col, std::size_t slot) {
    const TPrijemci* seznam = Seznam(grid, col);
    if (seznam == nullptr) {
        return {};
    }
    const std::uint8_t value = (*seznam)[slot];
    if (!Znamy(AdresaSeznamu(grid, col), k_BajtuSeznamu)) {
        // An unknown list shows only what was typed into it since.
        const TPrijemci* zarizeni = SeznamZarizeni(grid, col);
        if (zarizeni == nullptr || (*zarizeni)[slot] == value) {
            return {};
        }
    }
    return ZobrazOdkaz(value);
}

TPrijemci* TEditaceExpanderu::Seznam(TMrizka grid, int col) {
    if (fExpander < 0 || (col != 1 && col != 2)) {
        return nullptr;
    }
    const auto e = static_cast<std::size_t>(fExpander);
    if (grid == TMrizka::Hg_Komunikace) {
        return col == 1 ? &fRecNew.TelCislaPoruchaKom[e] : &fRecNew.TelCislaObnovaKom[e];
    }
    if (grid != TMrizka::Hg_Vstupy || fVstup < 0) {
        return nullptr;
    }
    const auto v = static_cast<std::size_t>(fVstup);
    return col == 1 ? &fRecNew.TelCislaSepnuti[e][v] : &fRecNew.TelCislaRozpojeni[e][v];
}

TZprava* TEditaceExpanderu::Zprava(TMemo memo) {
    if (fExpander < 0) {
        return nullptr;
    }
    const auto e = static_cast<std::size_t>(fExpander);
    switch (memo) {
    case TMemo::Mem_Porucha:
        return &fRecNew.ZpravaPorucha[e];
    case TMemo::Mem_Obnova:
        return &fRecNew.ZpravaObnova[e];
    default:
        break;
    }
    if (fVstup < 0) {
        return nullptr;
    }
    const auto v = static_cast<std::size_t>(fVstup);
    return memo == TMemo::Mem_Sepnuti ? &fRecNew.ZpravaSepnuti[e][v]
                                      : &fRecNew.ZpravaRozpojeni[e][v];
}

void TEditaceExpanderu::Hg_KomunikaceCellEdited(int ACol, int ARow) {
    CellEdited(TMrizka::Hg_Komunikace, ACol, ARow);
}
void TEditaceExpanderu::Hg_VstupyCellEdited(int ACol, int ARow) {
    CellEdited(TMrizka::Hg_Vstupy, ACol, ARow);
}
void TEditaceExpanderu::Hg_KomunikaceExit() {
    Exit(TMrizka::Hg_Komunikace);
}
void TEditaceExpanderu::Hg_VstupyExit() {
    Exit(TMrizka::Hg_Vstupy);
}

void TEditaceExpanderu::CellEdited(TMrizka grid, int ACol, int ARow) {
    TPrijemci* seznam = Seznam(grid, ACol);
    if (seznam == nullptr || ARow < 1 || ARow > k_Radku) {
        return;
    }
    std::uint8_t& slot = (*seznam)[static_cast<std::size_t>(ARow - 1)];
    const std::string numstr = RemoveChar(fOkno.CellText(grid, ACol, ARow), k_CharSpace);
    if (numstr.empty()) {
        slot = PrazdnySlot(grid, ACol, static_cast<std::size_t>(ARow - 1));
        return;
    }
    const auto number =
        static_cast<int>(std::trunc(PrevedALimitujHodnotu(numstr.c_str(), 0, 15, 0)));
    // A communication fault must reach a number that exists on screen.
    if (grid == TMrizka::Hg_Komunikace &&
        fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, number + 1).empty()) {
        fHlaseni.Chyba(std::string(R_OdkazPrazdny));
        fOkno.SetCellText(grid, ACol, ARow, std::string());
        return;
    }
    fOkno.SetCellText(grid, ACol, ARow, std::to_string(number));
    slot = static_cast<std::uint8_t>(number);
    // Typed out of range (99 becomes 15): the cell says what happened.
    const double typed = PrevedALimitujHodnotu(numstr.c_str(), -1e9, 1e9, 0);
    if (typed > 15) {
        fOkno.OdkazOmezen(grid, ACol, ARow, PopisOmezeni(numstr, number));
    }
    Upraveno(AdresaSeznamu(grid, ACol), k_BajtuSeznamu);
}

void TEditaceExpanderu::Upraveno(std::uint32_t adresa, std::uint32_t bajtu) {
    // A part wholly known stays so, now as the technician's; one slot typed into an unknown list
    // does not make the other fifteen known.
    if (fZnama != nullptr && fZnama->Znamy(adresa, bajtu)) {
        fZnama->Nastav(adresa, bajtu, TPuvod::Technik);
    }
}

std::uint8_t TEditaceExpanderu::PrazdnySlot(TMrizka grid, int col, std::size_t slot) const {
    // An empty cell of an unknown list means "not known", not "no number": it keeps the device
    // image's byte, so it is no change.
    if (!Znamy(AdresaSeznamu(grid, col), k_BajtuSeznamu)) {
        if (const TPrijemci* zarizeni = SeznamZarizeni(grid, col)) {
            return (*zarizeni)[slot];
        }
    }
    return k_NORLINKPhoneEmptyChar;
}

void TEditaceExpanderu::Exit(TMrizka grid) {
    for (int col = 1; col <= 2; ++col) {
        TPrijemci* seznam = Seznam(grid, col);
        if (seznam == nullptr) {
            return;
        }
        for (int r = 1; r <= k_Radku; ++r) {
            if (fOkno.CellText(grid, col, r).empty()) {
                const auto slot = static_cast<std::size_t>(r - 1);
                (*seznam)[slot] = PrazdnySlot(grid, col, slot);
            }
        }
    }
}

void TEditaceExpanderu::MemoExit(TMemo memo) {
    TZprava* zprava = Zprava(memo);
    if (zprava == nullptr) {
        return;
    }
    const std::string text = fOkno.MemoText(memo);
    if (text == fZobrazeno[Index(memo)]) {
        return;
    }
    const auto bytes = TextDoZpravy(text, k_NORLINKDelkaZpravy);
    if (!bytes) {
        fHlaseni.Chyba(std::string(R_ZnakyMimoKodovani));
        return;
    }
    *zprava = *bytes;
    fZobrazeno[Index(memo)] = text;
    // The whole text area is set: its bytes are the technician's now.
    if (fZnama != nullptr) {
        fZnama->Nastav(AdresaTextu(memo), k_BajtuTextu, TPuvod::Technik);
    }
}
