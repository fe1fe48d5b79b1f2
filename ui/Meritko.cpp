#include "Meritko.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {
// The original font: 13 pixels from line to line, and this caption (the widest of the window
// relative to its button) 172 pixels wide.
constexpr double k_PuvodniVyskaRadku = 13.0;
constexpr double k_PuvodniSirkaVzoru = 172.0;
const char* const k_Vzor = "Načti jen nastavení vybraného vstupu";
} // namespace

TMeritko::TMeritko(const QFont& font) {
    const QFontMetricsF metrics(font);
    fSx = std::max(1.0, metrics.horizontalAdvance(QString::fromUtf8(k_Vzor)) / k_PuvodniSirkaVzoru);
    fSy = std::max(1.0, metrics.height() / k_PuvodniVyskaRadku);
}

int TMeritko::X(int x) const {
    return static_cast<int>(std::lround(x * fSx));
}
int TMeritko::Y(int y) const {
    return static_cast<int>(std::lround(y * fSy));
}

QRect TMeritko::Rect(int left, int top, int width, int height) const {
    return {X(left), Y(top), X(left + width) - X(left), Y(top + height) - Y(top)};
}
