#pragma once
// The window drawn from the images: the phone grid from the working numbers, the device's
// identification in status panels 1 to 3, the marks of what differs from what the device holds
// and the write buttons' tooltips. Operations and decoders change only the images; whoever runs
// them redraws through here, so nothing but the window ever holds a cell.

#include "okno/Mrizky.h"
#include "okno/Ovladace.h"
#include "okno/StavOkna.h"
#include "stav/ZnameData.h"
#include "stav/promenne.h"

class TPrekresleni {
public:
    TPrekresleni(IMrizky& mrizky, IStavOkna& stav, IOvladace& ovladace)
        : fMrizky(mrizky), fStav(stav), fOvladace(ovladace) {}

    // The phone grid's numbers; a cell is set only when its text differs.
    void TelCisla(const TNORLINK& recNew);
    // Panels 1 to 3 from the identification texts.
    void Ident();
    // Marks what of the working image differs from what the device is known to hold (zname), for
    // the phone grid and the displayed expander e and input v (-1: none), and tells the write
    // buttons' tooltips how many blocks a write would send now, or what must be read first.
    void Znacky(const TNORLINK& rec, const TNORLINK& recNew, const TNORLINK& zname,
                const TZnameData& znama, int e, int v, int expanderu);

private:
    IMrizky& fMrizky;
    IStavOkna& fStav;
    IOvladace& fOvladace;
};
