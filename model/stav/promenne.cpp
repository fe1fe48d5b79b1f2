#include "stav/promenne.h"

TNORLINK NORLINKRec{};
TNORLINK NORLINKRecNew{};
TIdentText HWTYP;
TIdentText VERSW;
TIdentText VERHW;
std::string InstDir;
std::string VerzeSWPC = "0.9";
TKomunikace* Komunikace = nullptr;
TComLog* ComLog = nullptr;

namespace {

template <typename Array>
void FillSlots(Array& perExpander, std::uint8_t value) {
    for (auto& item : perExpander) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(item)>, TPrijemci>) {
            item.fill(value);
        } else {
            FillSlots(item, value);
        }
    }
}

template <typename Array>
void ClearTexts(Array& perExpander) {
    for (auto& item : perExpander) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(item)>, TZprava>) {
            item.Clear();
        } else {
            ClearTexts(item);
        }
    }
}

} // namespace

void InicializujNORLINKRec(TNORLINK& aNORLINKRec) {
    for (auto& cislo : aNORLINKRec.TelCisla) {
        cislo.Clear();
    }
    FillSlots(aNORLINKRec.TelCislaPoruchaKom, k_NORLINKPhoneEmptyChar);
    FillSlots(aNORLINKRec.TelCislaObnovaKom, k_NORLINKPhoneEmptyChar);
    FillSlots(aNORLINKRec.TelCislaSepnuti, k_NORLINKPhoneEmptyChar);
    FillSlots(aNORLINKRec.TelCislaRozpojeni, k_NORLINKPhoneEmptyChar);
    ClearTexts(aNORLINKRec.ZpravaSepnuti);
    ClearTexts(aNORLINKRec.ZpravaRozpojeni);
}

void ClearImage(TNORLINK& aNORLINKRec) {
    aNORLINKRec = TNORLINK{};
}
