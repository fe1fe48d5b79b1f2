#pragma once
// The main window and the progress dialog as the logic sees them, one narrow view per role: the
// controls' enabled state, the grids and memos, the caption, panels and lamp, the port menu, the
// boxes and the progress dialog. The Qt window implements them all; each part of the logic takes
// only the view it needs, and tests give fakes, so no test ever waits on a modal box.

#include "okno/Hlaseni.h"
#include "okno/InfoForm.h"
#include "okno/Mrizky.h"
#include "okno/Ovladace.h"
#include "okno/PortMenu.h"
#include "okno/StavOkna.h"

class IFrm_Main : public IOvladace,
                  public IMrizky,
                  public IStavOkna,
                  public IPortMenu,
                  public IHlaseni {
public:
    // The progress dialog; it exists once the window has been created.
    virtual IInfoForm& InfoForm() = 0;
};
