#pragma once
// Changes in sight: what of the working image and the phone grid differs from what the device is
// known to hold (what was last read, and what writes have since verified), for the marks in the
// window, the write buttons' tooltips and the question at close.

#include "OknoMain.h"
#include "promenne.h"

#include <array>
#include <string>

using TTelCislaGridu = std::array<std::string, k_NORLINKMaxPocetCisel>; // cell texts, UTF-8

// The phone grid's number cells.
TTelCislaGridu CislaGridu(const IFrm_Main& okno);

class TZmeny {
public:
    // What the device holds as far as the program knows: after a settings read, the device
    // image; after a phone read, the numbers as the grid shows them then.
    void PrectenoNastaveni(const TNORLINK& rec) { fZname = rec; }
    void PrectenaCisla(const TTelCislaGridu& cisla) { fCisla = cisla; }
    // A write verified every block it sent: the device now holds these parts as well.
    void ZapsanaCisla(const TTelCislaGridu& cisla) { fCisla = cisla; }
    void ZapsanoNastaveni(const TNORLINK& recNew, int pocetExpanderu);
    // An export holds this working image.
    void Exportovano(const TNORLINK& recNew);

    bool ZmenenoCislo(std::size_t k, const std::string& cell) const { return fCisla[k] != cell; }
    const TNORLINK& Zname() const { return fZname; }
    // Changes that are neither on the device nor in an export.
    bool Neulozene(const TNORLINK& recNew, const TTelCislaGridu& cisla) const;

private:
    TNORLINK fZname{};
    TTelCislaGridu fCisla;
    TNORLINK fExport{};
    bool fJeExport = false;
};
