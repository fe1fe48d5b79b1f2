#pragma once
// A device operation (a read, later a write): its button creates and starts it, it is handed every
// answer that reaches the decoders, and it ends by completing, by being cancelled, or because the
// link was lost. One runs at a time; the window's logic owns it.

#include "okno/Hlaseni.h"
#include "okno/InfoForm.h"
#include "okno/Povoleni.h"
#include "spojeni/Komunikace.h"
#include "stav/promenne.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

enum class TStavOperace : std::uint8_t { Bezi, Hotovo, Zrusena };

// What handling one answer did.
enum class TKrok : std::uint8_t {
    Pokracuje, // taken, or not this operation's: more is to come
    Opakuje,   // a written block read back different: its pair goes again
    Hotovo,    // the operation ended as it set out to
    Selhalo,   // the operation ended without confirming everything (its box says what)
};

// What a settings read covers: all of the first N expanders, or expander E and its input V
// (0-based).
struct TRozsahCteni {
    bool Vse = true;
    int N = 1;
    int E = 0;
    int V = 0;
};

// The results an operation hands to whoever started it.
struct TPrectenaCisla {};
struct TPrectenoNastaveni {
    TRozsahCteni Rozsah;
};
struct TZapsaneBloky {
    bool Cisla = false;                   // the phone numbers, else the settings
    std::vector<std::uint16_t> Bloky;     // what the write set out to send, in order
    std::size_t Dokonceno = 0;            // the pairs that have left the queue
    std::vector<std::uint16_t> Nezapsane; // given up, or read back different at the end
    bool Overeno = false;                 // ended with everything read back as sent
};
using TVysledekOperace = std::variant<TPrectenaCisla, TPrectenoNastaveni, TZapsaneBloky>;

// What an operation works on. References, so tests build their own.
struct TKontextOperace {
    TNORLINK& Rec;
    TNORLINK& RecNew;
    TKomunikace& Komunikace;
    IHlaseni& Hlaseni;
    IInfoForm& Info;
    TPovoleni& Povoleni;
};

class IOperace {
public:
    virtual ~IOperace() = default;

    // Queues the first request and shows the dialog; false when the operation cannot start
    // (it has said why).
    virtual bool Start() = 0;
    // One accepted data telegram of memory kind typPameti.
    virtual TKrok Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                          std::span<const std::uint8_t> data) = 0;
    // The user's cancel: nothing more is sent, the dialog goes, nothing half-read is kept.
    virtual void Zrus() = 0;
    // The port has gone: ends as a cancel does.
    virtual void SpojeniZtraceno() = 0;
    virtual TStavOperace Stav() const = 0;
    // What the operation has done so far; whole once it has ended.
    virtual TVysledekOperace Vysledek() const = 0;
};

// The dialog as a read shows it: only the lower bar, its maximum, the text, an empty caption, the
// cancel button.
void UkazDialogCteni(IInfoForm& info, int maximum, const std::string& text);
// The dialog as a write shows it: the same, the caption left as it is.
void UkazDialogZapisu(IInfoForm& info, int maximum, std::string_view text);
// Ends an operation early: empties the queue, leaves a write phase, hides the dialog.
void UkonciPredcasne(TKomunikace& komunikace, IInfoForm& info);
