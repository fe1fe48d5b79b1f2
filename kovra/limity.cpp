// Keeping numbers within limits, and typed text turned into a limited number.
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

double PrevedALimitujHodnotu(const char* text, double lowest, double highest, double def) {
    const std::optional<double> v = PrectiTextoveCislo(text);
    return LimitujHodnotu(v ? *v : def, lowest, highest);
}

} // extern "C"
