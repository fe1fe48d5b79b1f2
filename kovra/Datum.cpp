// Proleptic Gregorian calendar by integer arithmetic, independent of locale and time zone.
#include "Datum.h"

#include <cmath>

namespace {

constexpr int64_t k_DnyOd1970 = 25569; // day index of 1 January 1970

int64_t DeleniDolu(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t ModuloDolu(int64_t a, int64_t b) {
    return a - DeleniDolu(a, b) * b;
}

bool Prestupny(int rok) {
    return (rok % 4 == 0 && rok % 100 != 0) || rok % 400 == 0;
}

int DnuVMesici(int rok, int mesic) {
    static constexpr int dny[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return mesic == 2 && Prestupny(rok) ? 29 : dny[mesic - 1];
}

// Days since 1 January 1970 of a valid date (years counted from March, 400-year eras).
int64_t DnyOdEpochy(int rok, int mesic, int den) {
    const int64_t y = rok - (mesic <= 2 ? 1 : 0);
    const int64_t era = DeleniDolu(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (mesic > 2 ? mesic - 3 : mesic + 9) + 2) / 5 + den - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace

std::optional<TRozlozeno> Rozloz(double dateTime) {
    // The bound keeps the day count well inside 32 bits before it is range-checked.
    if (!std::isfinite(dateTime) || std::fabs(dateTime) > 1.0e7) {
        return std::nullopt;
    }
    // Whole days toward zero; the time of day is the size of the fraction, and rounding it up to
    // 24:00 means midnight of the next calendar day (for a negative value too).
    const double cely = std::trunc(dateTime);
    int64_t den = static_cast<int64_t>(cely);
    int64_t ms = std::llround(std::fabs(dateTime - cely) * static_cast<double>(k_MsZaDen));
    if (ms >= k_MsZaDen) {
        ms -= k_MsZaDen;
        ++den;
    }
    if (den < k_PrvniDen || den > k_PosledniDen) {
        return std::nullopt;
    }
    return TRozlozeno{static_cast<int32_t>(den), ms};
}

double Sloz(int64_t den, int64_t ms) {
    den += DeleniDolu(ms, k_MsZaDen);
    ms = ModuloDolu(ms, k_MsZaDen);
    const double cas = static_cast<double>(ms) / static_cast<double>(k_MsZaDen);
    const double d = static_cast<double>(den);
    return den >= 0 ? d + cas : d - cas;
}

std::optional<int32_t> DenZData(int rok, int mesic, int den) {
    if (rok < 1 || rok > 9999 || mesic < 1 || mesic > 12 || den < 1 ||
        den > DnuVMesici(rok, mesic)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(DnyOdEpochy(rok, mesic, den) + k_DnyOd1970);
}

int AnglickyDenVTydnu(int32_t den) {
    // Day 0 was a Saturday.
    return static_cast<int>(ModuloDolu(den + 6, 7)) + 1;
}

double NaSpojite(double dateTime) {
    if (!(dateTime < 0.0) || !std::isfinite(dateTime)) {
        return dateTime;
    }
    const double den = std::trunc(dateTime);
    return den + (den - dateTime);
}

double ZeSpojiteho(double days) {
    if (!(days < 0.0) || !std::isfinite(days)) {
        return days;
    }
    const double den = std::floor(days);
    return den - (days - den);
}
