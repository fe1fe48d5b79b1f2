// The program: crash reporting, the application, the main window and its progress dialog, the
// message loop.

#include "CrashReport.h"
#include "Main.h"
#include "NorlinkApplication.h"
#include "QtTimer.h"
#include "UkonceniSignalem.h"
#include "kovra.h"
#include "okno/MainLogika.h"
#include "soubory/Slozky.h"

#include <csignal>
#include <cstdlib>
#include <memory>

namespace {
// The helper library's routines the program binds. They are resolved when the program is loaded
// (-z now), so the program does not start when the library or one of them is missing.
[[gnu::used]] const void* const k_KovraRutiny[] = {
    reinterpret_cast<const void*>(&ReadByte),
    reinterpret_cast<const void*>(&ReadWordInc),
    reinterpret_cast<const void*>(&PrevedALimitujHodnotu),
};
} // namespace

int main(int argc, char** argv) {
    // Beside the program, or in the user's configuration folder when it is installed.
    InstalujHlaseniChyb(SlozkaNastaveni(SlozkaSpustitelnehoSouboru()), "0.9");
    // A write past the file size limit fails (EFBIG) where it is made, and is reported there,
    // instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    TNorlinkApplication app(argc, argv);
    TMainZavislosti zavislosti;
    zavislosti.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
    zavislosti.VytvorHlidac = [] { return std::make_unique<TQtTimer>(); };
    // NORLINK_COMLOG=file: the communication log is appended to the file at close.
    if (const char* comlog = std::getenv("NORLINK_COMLOG")) {
        zavislosti.VypisKomunikace = comlog;
    }

    TFrm_Main Frm_Main(std::move(zavislosti));
    ZavirejPriSignalu(Frm_Main);
    Frm_Main.FormCreate();
    Frm_Main.VytvorInfoForm();
    Frm_Main.UmistiNaObrazovku();
    Frm_Main.show();
    return app.exec();
}
