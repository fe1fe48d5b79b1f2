// Keeping numbers within limits, a guarded division, and typed text turned into a limited number.
#include "kovra.h"

#include "TextoveCislo.h"

#include <cmath>

extern "C" {

double LimitujHodnotu(double value, double lowest, double highest) {
    if (std::isnan(value) || value < lowest) {
        return lowest;
    }
    if (value > highest) {
        return highest;
    }
    return value;
}

double LimitujHodnotuDefault(double value, double lowest, double highest, double def) {
    if (std::isnan(value) || value < lowest || value > highest) {
        return def;
    }
    return value;
}

double MojeDeleni(double dividend, double divisor, double def) {
    if (std::isnan(divisor) || divisor == 0.0) {
        return def;
    }
    const double q = dividend / divisor;
    return std::isfinite(q) ? q : def;
}

double PrevedALimitujHodnotu(const char* text, double lowest, double highest, double def) {
    const std::optional<double> v = PrectiTextoveCislo(text);
    return LimitujHodnotu(v ? *v : def, lowest, highest);
}

} // extern "C"
