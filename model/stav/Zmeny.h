#pragma once
// Changes in sight: what of the working image differs from what the device is known to hold (what
// was last read, and what writes have since verified), for the marks in the window, the write
// buttons' tooltips, the questions before a read and at close, and the backup before a write.

#include "stav/ZnameData.h"
#include "stav/promenne.h"

#include <cstdint>
#include <vector>

class TZmeny {
public:
    // The device image at start-up: nothing of it is known.
    void Zacni(const TNORLINK& rec) {
        fZname = rec;
        fZnama = TZnameData();
        fJeExport = false;
    }
    // A read completed: the numbers, or the settings with the blocks the read made known.
    void PrectenaCisla(const TNORLINK& rec);
    void PrectenoNastaveni(const TNORLINK& rec, const TZnameData& znama);
    // The settings are forgotten (both images emptied): nothing of them is known.
    void ZapomenNastaveni();
    // A write verified every block it sent: the device now holds these parts as well.
    void ZapsanaCisla(const TNORLINK& recNew);
    void ZapsanyBloky(const TNORLINK& recNew, const std::vector<std::uint16_t>& adresy);
    // An export holds this working image.
    void Exportovano(const TNORLINK& recNew);

    const TNORLINK& Zname() const { return fZname; }
    // Which blocks of Zname() are the device's.
    const TZnameData& ZnamaZarizeni() const { return fZnama; }
    // Changes that are neither on the device nor in an export.
    bool NeulozenaCisla(const TNORLINK& recNew) const;
    bool NeulozeneNastaveni(const TNORLINK& recNew) const;
    bool Neulozene(const TNORLINK& recNew) const {
        return NeulozenaCisla(recNew) || NeulozeneNastaveni(recNew);
    }

private:
    TNORLINK fZname{};
    TZnameData fZnama;
    TNORLINK fExport{};
    bool fJeExport = false;
};
