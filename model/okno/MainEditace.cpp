// The window logic's editing: the grids' and memos' handlers forwarded to the editing rules, the
// change marks and the redraw from the images.

#include "okno/MainLogika.h"

#include "editace/Editace.h"
#include "text/Cp1250.h"

#include <string>

void TMainLogika::Cmb_ExpanderChange() {
    fEditace.Cmb_ExpanderChange();
    ObnovZnacky();
}

void TMainLogika::Cmb_VstupChange() {
    fEditace.Cmb_VstupChange();
    ObnovZnacky();
}

void TMainLogika::Hg_KomunikaceCellEdited(int ACol, int ARow) {
    fEditace.Hg_KomunikaceCellEdited(ACol, ARow);
    ObnovZnacky();
}

void TMainLogika::Hg_VstupyCellEdited(int ACol, int ARow) {
    fEditace.Hg_VstupyCellEdited(ACol, ARow);
    ObnovZnacky();
}

void TMainLogika::Hg_KomunikaceExit() {
    fEditace.Hg_KomunikaceExit();
    ObnovZnacky();
}

void TMainLogika::Hg_VstupyExit() {
    fEditace.Hg_VstupyExit();
    ObnovZnacky();
}

void TMainLogika::MemoExit(TMemo memo) {
    fEditace.MemoExit(memo);
    ObnovZnacky();
}

void TMainLogika::ObnovZnacky() {
    if (!fVytvoreno) {
        return;
    }
    fPrekresleni.Znacky(NORLINKRec, NORLINKRecNew, fZmeny.Zname(), fZnama, fEditace.Expander(),
                        fEditace.Vstup(), fOkno.ItemCount(TSeznam::Cmb_Expander));
}

void TMainLogika::Prekresli() {
    fPrekresleni.TelCisla(NORLINKRecNew);
    fPrekresleni.Ident();
}

void TMainLogika::MrizkaCellEdited(TMrizka grid, int ACol, int ARow) {
    switch (grid) {
    case TMrizka::Hg_PhoneNumbers:
        Hg_PhoneNumbersCellEdited(ACol, ARow);
        break;
    case TMrizka::Hg_Komunikace:
        Hg_KomunikaceCellEdited(ACol, ARow);
        break;
    case TMrizka::Hg_Vstupy:
        Hg_VstupyCellEdited(ACol, ARow);
        break;
    }
}

void TMainLogika::MrizkaExit(TMrizka grid) {
    switch (grid) {
    case TMrizka::Hg_PhoneNumbers:
        Hg_PhoneNumbersExit();
        break;
    case TMrizka::Hg_Komunikace:
        Hg_KomunikaceExit();
        break;
    case TMrizka::Hg_Vstupy:
        Hg_VstupyExit();
        break;
    }
}

void TMainLogika::Hg_KomunikaceKeyDown(TMrizka grid, int ACol, int ARow, std::uint16_t Key) {
    // Only the cell: the grid's exit rule deals with the empty cell later.
    if (Key == k_VK_DELETE) {
        fOkno.SetCellText(grid, ACol, ARow, std::string());
        ObnovZnacky();
    }
}

void TMainLogika::Hg_PhoneNumbersCellEdited(int ACol, int ARow) {
    const std::string cislo =
        RemoveChar(fOkno.CellText(TMrizka::Hg_PhoneNumbers, ACol, ARow), k_CharSpace);
    if (ARow < 1 || ARow > k_PocetRadkuMrizky || ACol != 1) {
        return;
    }
    const auto k = static_cast<std::size_t>(ARow - 1);
    if (const auto bajty = PlatneTelCislo(cislo)) {
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, ACol, ARow, cislo);
        NORLINKRecNew.TelCisla[k] = *bajty;
        fZnama.Nastav(AdresaTelCisla(static_cast<std::uint8_t>(k)), k_NORLINKTlgSize,
                      TPuvod::Technik);
    } else {
        // The entry is refused, the number stays as it was.
        fOkno.Chyba(Text(R_NeplatneCislo));
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, ACol, ARow,
                          Cp1250DoUtf8(NORLINKRecNew.TelCisla[k].View()));
    }
    ObnovZnacky();
}

void TMainLogika::Hg_PhoneNumbersExit() {
    for (int row = 1; row <= k_PocetRadkuMrizky; ++row) {
        if (fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, row).empty()) {
            NORLINKRecNew.TelCisla[static_cast<std::size_t>(row - 1)].Clear();
        }
    }
    ObnovZnacky();
}
