#pragma once
// Program-wide globals and the configuration image: the communicator's 16 telephone numbers and,
// for every expander and every input, who gets which SMS text on which event. The image is held
// twice, as last read from the device (NORLINKRec) and as edited (NORLINKRecNew).

#include "soubory/DateTimeStamp.h"
#include "soubory/UlozDoIni.h"
#include "stav/AdresyPameti.h"
#include "text/TText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

// Model constants; those of the record-memory layout (k_NORLINKTlgSize, k_NORLINKMaxPocetCisel,
// k_NORLINKBlockSize, k_NORLINKDelkaZpravy, k_NORLINKPhoneEndChar, k_NORLINKPhoneEmptyChar,
// k_PhoneNoLength) come from modem.h.
inline constexpr std::size_t k_NORLINKMaxPocetExp = 8;    // expanders
inline constexpr std::size_t k_PocetVstupuExp = 8;        // inputs per expander
inline constexpr std::size_t k_DelkaSMS = 160;            // longest text the editors accept
inline constexpr std::uint16_t k_LastEepromAddr = 0x7EFF; // cap of the input-area read bound

// Capacity of a telephone number and of an identification text.
inline constexpr std::size_t k_DelkaTelCisla = 16;

using TTelCislo = TText<k_DelkaTelCisla>;
using TZprava = TText<k_NORLINKDelkaZpravy>;
using TIdentText = TText<16>;
// Recipient slots: byte s is slot s, a telephone-number index 0..15 or 255 for an empty slot.
using TPrijemci = std::array<std::uint8_t, k_NORLINKMaxPocetCisel>;
template <typename T>
using TPoExpanderech = std::array<T, k_NORLINKMaxPocetExp>;
template <typename T>
using TPoVstupech = std::array<std::array<T, k_PocetVstupuExp>, k_NORLINKMaxPocetExp>;

// The configuration image; indices are 0-based (expander, input, slot).
//
// Equality (operator==) compares every field in full: every recipient byte, and every text by its
// length and its characters. Since a text keeps zeros behind its end, this is the same as comparing
// all 37280 bytes of the image, and two images that hold the same numbers, recipients and texts are
// always equal (no stale bytes behind a shortened text can make them differ). Whole arrays and
// single elements compare the same way with ==, e.g. a.TelCislaSepnuti[e][v] ==
// b.TelCislaSepnuti[e][v].
struct TNORLINK {
    std::array<TTelCislo, k_NORLINKMaxPocetCisel> TelCisla;
    TPoExpanderech<TPrijemci> TelCislaPoruchaKom;
    TPoExpanderech<TPrijemci> TelCislaObnovaKom;
    TPoExpanderech<TZprava> ZpravaPorucha;
    TPoExpanderech<TZprava> ZpravaObnova;
    TPoVstupech<TPrijemci> TelCislaSepnuti;
    TPoVstupech<TPrijemci> TelCislaRozpojeni;
    TPoVstupech<TZprava> ZpravaSepnuti;
    TPoVstupech<TZprava> ZpravaRozpojeni;

    friend bool operator==(const TNORLINK&, const TNORLINK&) = default;
};

// The image is one block of bytes without padding: copying is a plain assignment, and equal values
// are equal bytes.
static_assert(std::is_trivially_copyable_v<TNORLINK>);
static_assert(std::has_unique_object_representations_v<TNORLINK>);
static_assert(sizeof(TNORLINK) == 37280);

// Empty state of a new image: no numbers, every recipient slot empty (255), the input texts empty.
// The expander texts are left as they are (they are empty in a new image).
void InicializujNORLINKRec(TNORLINK& aNORLINKRec);
// Fills the whole image with zero bytes: every text empty, every recipient byte 0.
void ClearImage(TNORLINK& aNORLINKRec);

// The device image (only the decoders fill it) and the working image (the window edits it, the
// export and the writers read it). Both start as zero bytes.
extern TNORLINK NORLINKRec;
extern TNORLINK NORLINKRecNew;

// Identification texts read from the device, empty until read.
extern TIdentText HWTYP;
extern TIdentText VERSW;
extern TIdentText VERHW;

// Folder of the program, ending with a path separator; set at start-up.
extern std::string InstDir;
// Version of this program, shown in the caption.
extern std::string VerzeSWPC;

// The link and the communication log belong to the main window, which creates them at start-up,
// points these at them and releases them at close. The pointers own nothing.
class TKomunikace;
extern TKomunikace* Komunikace;
class TComLog;
extern TComLog* ComLog;
