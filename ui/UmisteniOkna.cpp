#include "UmisteniOkna.h"

#include "okno/MainLogika.h"
#include "soubory/ProfileFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {
constexpr const char* k_SekceOkno = "Okno";
} // namespace

QRect NactiUmisteni(const std::string& ini, const QRect& vychozi) {
    const int sirka = ReadProfileInteger(ini, k_SekceOkno, "Sirka", 0);
    const int vyska = ReadProfileInteger(ini, k_SekceOkno, "Vyska", 0);
    if (sirka <= 0 || vyska <= 0) {
        return vychozi;
    }
    return {ReadProfileInteger(ini, k_SekceOkno, "X", vychozi.x()),
            ReadProfileInteger(ini, k_SekceOkno, "Y", vychozi.y()), sirka, vyska};
}

void ZapisUmisteni(const std::string& ini, const QRect& umisteni) {
    const std::array<TProfileEntry, 4> entries{{
        {k_SekceOkno, "X", std::to_string(umisteni.x())},
        {k_SekceOkno, "Y", std::to_string(umisteni.y())},
        {k_SekceOkno, "Sirka", std::to_string(umisteni.width())},
        {k_SekceOkno, "Vyska", std::to_string(umisteni.height())},
    }};
    WriteProfileStrings(ini, entries);
}

QRect VOblasti(const QRect& okno, const QRect& oblast, const QSize& ramec, const QSize& minimum) {
    const QSize size = okno.size().boundedTo(oblast.size() - ramec).expandedTo(minimum);
    const int x = std::max(oblast.left(),
                           std::min(okno.x(), oblast.right() + 1 - size.width() - ramec.width()));
    const int y = std::max(
        oblast.top(), std::min(okno.y(), oblast.bottom() + 1 - size.height() - ramec.height()));
    return {QPoint(x, y), size};
}

void UmistiNaObrazovku(QWidget& okno, const TMainLogika& logika, const QRect& vychozi) {
    QRect umisteni = vychozi;
    try {
        umisteni = NactiUmisteni(logika.IniSoubor(), vychozi);
    } catch (const std::exception&) {
        // An unreadable file has been reported at start-up; the designed place serves.
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // The window manager's frame, once known; none without one.
        const QSize ramec = okno.frameGeometry().size() - okno.geometry().size();
        umisteni = VOblasti(umisteni, screen->availableGeometry(), ramec, okno.minimumSizeHint());
    }
    okno.resize(umisteni.size());
    okno.move(umisteni.topLeft());
}

void UlozUmisteni(const QWidget& okno, const TMainLogika& logika) {
    if (!logika.IniNacten()) {
        return;
    }
    try {
        ZapisUmisteni(logika.IniSoubor(), QRect(okno.pos(), okno.size()));
    } catch (const std::exception&) {
        // The close has already reported a file that cannot be written.
    }
}
