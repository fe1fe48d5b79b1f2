// Years, day-of-week numbers, weekends, Easter Monday and the shifted counting day.
#include "kovra.h"

#include "Datum.h"

#include <cerrno>
#include <cmath>
#include <limits>

namespace {

double Selhani() {
    errno = EDOM;
    return std::numeric_limits<double>::quiet_NaN();
}

bool JeVikendDne(int32_t den) {
    const int anglicky = AnglickyDenVTydnu(den);
    return anglicky == 7 || anglicky == 1;
}

// Gauss's rule with the constants of 1900..2099 (M = 24, N = 5); the day index of Easter Monday.
int32_t VelikonocniPondeli(int32_t rok) {
    const int32_t a = rok % 19;
    const int32_t b = rok % 4;
    const int32_t c = rok % 7;
    const int32_t d = (19 * a + 24) % 30;
    const int32_t e = (2 * b + 4 * c + 6 * d + 5) % 7;
    int mesic = 3;
    int den = d + e + 22;
    if (den > 31) {
        mesic = 4;
        den = d + e - 9;
        if (den == 26) {
            den = 19;
        } else if (den == 25 && d == 28 && e == 6) {
            den = 18;
        }
    }
    return *DenZData(rok, mesic, den) + 1;
}

} // namespace

extern "C" {

uint16_t ShortYearToYear(uint16_t shortYear) {
    return static_cast<uint16_t>(shortYear + (shortYear < 80 ? 2000 : 1900));
}

uint16_t YearToShortYear(uint16_t year) {
    return static_cast<uint16_t>(year - (year < 2000 ? 1900 : 2000));
}

int32_t EnglishIndexOfWeekToCzechIndex(int32_t english) {
    return english == 1 ? 7 : static_cast<int32_t>(static_cast<uint32_t>(english) - 1U);
}

int32_t CzechIndexOfWeekToEnglishIndex(int32_t czech) {
    return czech == 7 ? 1 : static_cast<int32_t>(static_cast<uint32_t>(czech) + 1U);
}

int32_t MyDayOfWeek(double dateTime) {
    const auto r = Rozloz(dateTime);
    return r ? EnglishIndexOfWeekToCzechIndex(AnglickyDenVTydnu(r->den)) : 0;
}

bool JeVikend(double dateTime) {
    const auto r = Rozloz(dateTime);
    return r && JeVikendDne(r->den);
}

bool JeVikendDMY(uint16_t day, uint16_t month, uint16_t year) {
    const auto den = DenZData(year, month, day);
    return den && JeVikendDne(*den);
}

double DatumVelikonocnihoPondeli(int32_t year) {
    if (year < 1 || year > 9999) {
        return Selhani(); // date encode
    }
    return VelikonocniPondeli(year);
}

bool JeVelikonocniPondeli(uint16_t day, uint16_t month, uint16_t year) {
    const auto den = DenZData(year, month, day);
    return den && *den == VelikonocniPondeli(year);
}

uint8_t HodinaDlePocatkuDne(uint8_t hour, int32_t dayStart) {
    if (dayStart == 0) {
        return hour;
    }
    const auto d = static_cast<uint8_t>(dayStart < 0 ? dayStart + 24 : dayStart);
    return d >= hour ? static_cast<uint8_t>(hour + 24 - d) : static_cast<uint8_t>(hour - d);
}

double UpravDatumPodlePocatkuDne(double dateTime, int32_t dayStart) {
    if (dayStart == 0) {
        return dateTime;
    }
    if (dayStart <= -24 || dayStart >= 24) {
        return Selhani(); // time encode
    }
    return ZeSpojiteho(NaSpojite(dateTime) + dayStart / 24.0);
}

} // extern "C"
