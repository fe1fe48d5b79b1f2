#ifndef KOVRA_TESTS_TESTDATUM_H
#define KOVRA_TESTS_TESTDATUM_H
// Date-times made and taken apart with the C library's calendar (timegm, gmtime), independently of
// the library's own calendar arithmetic.

#include <cmath>
#include <cstdint>
#include <ctime>

namespace testdatum {

constexpr int64_t k_Den1970 = 25569; // 1 January 1970 counted from 30 December 1899
constexpr int64_t k_MsZaDen = 86400000;

inline int64_t DeleniDolu(int64_t a, int64_t b) {
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

// Seconds since 1970 of a calendar moment (fields are normalised as timegm does).
inline int64_t Sekundy(int rok, int mesic, int den, int hodina = 0, int minuta = 0,
                       int sekunda = 0) {
    std::tm tm{};
    tm.tm_year = rok - 1900;
    tm.tm_mon = mesic - 1;
    tm.tm_mday = den;
    tm.tm_hour = hodina;
    tm.tm_min = minuta;
    tm.tm_sec = sekunda;
    return static_cast<int64_t>(timegm(&tm));
}

// The date-time of a moment given in milliseconds since 1970: whole days since 30 December 1899,
// and the time of day as the fraction, subtracted for days before it.
inline double ZMs(int64_t ms1970) {
    const int64_t den = DeleniDolu(ms1970, k_MsZaDen) + k_Den1970;
    const int64_t cas = ms1970 - DeleniDolu(ms1970, k_MsZaDen) * k_MsZaDen;
    const double zlomek = static_cast<double>(cas) / static_cast<double>(k_MsZaDen);
    return den >= 0 ? static_cast<double>(den) + zlomek : static_cast<double>(den) - zlomek;
}

inline double DT(int rok, int mesic, int den, int hodina = 0, int minuta = 0, int sekunda = 0,
                 int ms = 0) {
    return ZMs(Sekundy(rok, mesic, den, hodina, minuta, sekunda) * 1000 + ms);
}

// Milliseconds since 1970 of a date-time, the time of day rounded to the millisecond.
inline int64_t NaMs(double dateTime) {
    const double den = std::trunc(dateTime);
    const int64_t cas = std::llround(std::fabs(dateTime - den) * static_cast<double>(k_MsZaDen));
    return (static_cast<int64_t>(den) - k_Den1970) * k_MsZaDen + cas;
}

struct TOkamzik {
    int rok, mesic, den, hodina, minuta, sekunda, ms;
    int denVTydnu; // 0 = Sunday, as gmtime
};

inline TOkamzik Rozloz(double dateTime) {
    const int64_t ms = NaMs(dateTime);
    const auto t = static_cast<time_t>(DeleniDolu(ms, 1000));
    std::tm tm{};
    gmtime_r(&t, &tm);
    return TOkamzik{tm.tm_year + 1900,
                    tm.tm_mon + 1,
                    tm.tm_mday,
                    tm.tm_hour,
                    tm.tm_min,
                    tm.tm_sec,
                    static_cast<int>(ms - DeleniDolu(ms, 1000) * 1000),
                    tm.tm_wday};
}

} // namespace testdatum

#endif
