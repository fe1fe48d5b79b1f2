#pragma once
// Which controls are enabled. The reads and writes set the states their completion calls for;
// while an operation runs, the buttons that would start another one are shown disabled, and they
// come back as those states say when it ends. Without a view (norlink-cli) only the states are
// kept.

#include "okno/Ovladace.h"

#include <array>
#include <cstddef>

class TPovoleni {
public:
    explicit TPovoleni(IOvladace* okno = nullptr) : fOkno(okno) { fStav.fill(true); }

    void Nastav(TOvladac control, bool enabled);
    bool Povolen(TOvladac control) const { return fStav[Index(control)]; }

    void ZahajOperaci();
    void UkonciOperaci();
    bool BeziOperace() const { return fOperace; }

    // The buttons that start a device operation.
    static bool SpoustiOperaci(TOvladac control);

private:
    static std::size_t Index(TOvladac control) { return static_cast<std::size_t>(control); }
    void Zobraz(TOvladac control);

    IOvladace* fOkno;
    std::array<bool, static_cast<std::size_t>(TOvladac::Mem_Rozpojeni) + 1> fStav{};
    bool fOperace = false;
};
