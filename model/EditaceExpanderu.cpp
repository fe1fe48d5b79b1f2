#include "EditaceExpanderu.h"

#include "Cp1250.h"
#include "Editace.h"
#include "TextZpravy.h"
#include "kovra.h"

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
        const auto ue = static_cast<std::size_t>(e);
        for (int r = 1; r <= k_Radku; ++r) {
            const auto slot = static_cast<std::size_t>(r - 1);
            fOkno.SetCellText(TMrizka::Hg_Komunikace, 1, r,
                              ZobrazOdkaz(fRecNew.TelCislaPoruchaKom[ue][slot]));
            fOkno.SetCellText(TMrizka::Hg_Komunikace, 2, r,
                              ZobrazOdkaz(fRecNew.TelCislaObnovaKom[ue][slot]));
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
    const auto ue = static_cast<std::size_t>(e);
    const auto uv = static_cast<std::size_t>(v);
    for (int r = 1; r <= k_Radku; ++r) {
        const auto slot = static_cast<std::size_t>(r - 1);
        fOkno.SetCellText(TMrizka::Hg_Vstupy, 1, r,
                          ZobrazOdkaz(fRecNew.TelCislaSepnuti[ue][uv][slot]));
        fOkno.SetCellText(TMrizka::Hg_Vstupy, 2, r,
                          ZobrazOdkaz(fRecNew.TelCislaRozpojeni[ue][uv][slot]));
    }
    ZobrazMemo(TMemo::Mem_Sepnuti);
    ZobrazMemo(TMemo::Mem_Rozpojeni);
}

void TEditaceExpanderu::ZobrazMemo(TMemo memo) {
    if (const TZprava* zprava = Zprava(memo)) {
        fOkno.SetMemoText(memo, Cp1250DoUtf8(zprava->View()));
        fZobrazeno[Index(memo)] = fOkno.MemoText(memo);
    }
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
        slot = k_NORLINKPhoneEmptyChar;
        return;
    }
    const auto number =
        static_cast<int>(std::trunc(PrevedALimitujHodnotu(numstr.c_str(), 0, 15, 0)));
    // A communication fault must reach a number that exists on screen.
    if (grid == TMrizka::Hg_Komunikace &&
        fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, number + 1).empty()) {
        fOkno.Chyba(std::string(R_OdkazPrazdny));
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
}

void TEditaceExpanderu::Exit(TMrizka grid) {
    for (int col = 1; col <= 2; ++col) {
        TPrijemci* seznam = Seznam(grid, col);
        if (seznam == nullptr) {
            return;
        }
        for (int r = 1; r <= k_Radku; ++r) {
            if (fOkno.CellText(grid, col, r).empty()) {
                (*seznam)[static_cast<std::size_t>(r - 1)] = k_NORLINKPhoneEmptyChar;
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
        fOkno.Chyba(std::string(R_ZnakyMimoKodovani));
        return;
    }
    *zprava = *bytes;
    fZobrazeno[Index(memo)] = text;
}
