#pragma once
// Editing the expanders' and inputs' recipients and texts in the working image: the views of the
// selected expander and input, the two grids' cell and exit rules and the four memos' exit rules.
// Every rule works on the expander and input on display, not on what a drop-down list shows
// now: a list can change its selection (the mouse wheel over it) while a memo is still being
// typed in, and that text belongs where it was typed.

#include "okno/Hlaseni.h"
#include "okno/Mrizky.h"
#include "stav/ZnameData.h"
#include "stav/promenne.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view R_OdkazPrazdny =
    "Odkaz na uvedené číslo je prázdný, zadejte nejdřív telefonní číslo!";
inline constexpr std::string_view R_ZnakyMimoKodovani =
    "Text obsahuje znaky, které komunikátor neumí uložit; text nebyl uložen.";

// A recipient slot as a cell text: its decimal value for 0..15, empty otherwise.
std::string ZobrazOdkaz(std::uint8_t aOdkaz);
// The telephone-number index a recipient cell's text refers to (spaces ignored); nothing for an
// empty cell or a text that is no index 0..15.
std::optional<int> OdkazBunky(std::string_view text);
// What a recipient cell says about whom its SMS goes to, cislo being the number of that index.
std::string PopisOdkazu(int index, std::string_view cislo);
// Why a typed index became another: the text typed and the index it became.
std::string PopisOmezeni(std::string_view zadano, int index);

class TEditaceExpanderu {
public:
    TEditaceExpanderu(IMrizky& okno, IHlaseni& hlaseni, TNORLINK& recNew)
        : fOkno(okno), fHlaseni(hlaseni), fRecNew(recNew) {}

    // The working image's known data and the device image: unknown parts show empty (a list shows
    // only the slots typed since), and an edit makes what it sets the technician's. Without them
    // everything counts as known.
    void NastavZnama(TZnameData* znama, const TNORLINK* rec) {
        fZnama = znama;
        fRec = rec;
    }

    // Redisplay from the working image; the selection of the lists becomes the one on display.
    void Cmb_ExpanderChange();
    void Cmb_VstupChange();

    void Hg_KomunikaceCellEdited(int ACol, int ARow);
    void Hg_VstupyCellEdited(int ACol, int ARow);
    void Hg_KomunikaceExit();
    void Hg_VstupyExit();
    void MemoExit(TMemo memo);

    // The expander and input on display; -1 before the first display.
    int Expander() const { return fExpander; }
    int Vstup() const { return fVstup; }

private:
    void CellEdited(TMrizka grid, int ACol, int ARow);
    void Exit(TMrizka grid);
    TPrijemci* Seznam(TMrizka grid, int col);
    // The list's block address (for the known data) and the device image's list.
    std::uint32_t AdresaSeznamu(TMrizka grid, int col) const;
    const TPrijemci* SeznamZarizeni(TMrizka grid, int col) const;
    bool Znamy(std::uint32_t adresa, std::uint32_t bajtu) const {
        return fZnama == nullptr || fZnama->Znamy(adresa, bajtu);
    }
    std::string ZobrazSlot(TMrizka grid, int col, std::size_t slot);
    std::uint8_t PrazdnySlot(TMrizka grid, int col, std::size_t slot) const;
    std::uint32_t AdresaTextu(TMemo memo) const;
    void Upraveno(std::uint32_t adresa, std::uint32_t bajtu);
    TZprava* Zprava(TMemo memo);
    void ZobrazMemo(TMemo memo);

    IMrizky& fOkno;
    IHlaseni& fHlaseni;
    TNORLINK& fRecNew;
    TZnameData* fZnama = nullptr;
    const TNORLINK* fRec = nullptr;
    int fExpander = -1;
    int fVstup = -1;
    // What each memo showed when it was filled: left as it was, its text is not stored again,
    // so every byte read from the device stays as it came.
    std::array<std::string, 4> fZobrazeno;
};
