// One-byte signed temperature: bit 7 the sign, bits 0..6 the magnitude in tenths.
#include "kovra.h"

#include <cmath>

extern "C" {

double VratSignedTeplotu(uint8_t value) {
    // An integer divided by 10 is the double nearest to the decimal value.
    if (value <= 128) {
        return value / 10.0;
    }
    return -(value - 128) / 10.0;
}

uint8_t SignedTeplotaNaByte(double temperature) {
    if (std::isnan(temperature)) {
        return 0;
    }
    const double t = std::trunc(temperature * 10.0);
    if (t >= 127.0) {
        return 127;
    }
    if (t <= -127.0) {
        return 255;
    }
    if (t >= 0.0) {
        return static_cast<uint8_t>(t);
    }
    return static_cast<uint8_t>(128 - static_cast<int>(t));
}

} // extern "C"
