#ifndef KOVRA_DATUM_H
#define KOVRA_DATUM_H
// Calendar arithmetic on the date-time double: day index 0 is 30 December 1899.

#include <cstdint>
#include <optional>

inline constexpr int64_t k_MsZaDen = 86400000;
inline constexpr int32_t k_PrvniDen = -693593;    // 1 January 0001
inline constexpr int32_t k_PosledniDen = 2958465; // 31 December 9999

// A date-time taken apart: the calendar day and the millisecond of that day.
struct TRozlozeno {
    int32_t den;
    int64_t ms;

    int Hodina() const { return static_cast<int>(ms / 3600000); }
    int Minuta() const { return static_cast<int>(ms / 60000 % 60); }
    int Sekunda() const { return static_cast<int>(ms / 1000 % 60); }
};

// Nothing when the value is not finite or its day lies outside the years 1 to 9999.
std::optional<TRozlozeno> Rozloz(double dateTime);
// ms may lie outside one day; it carries into the day. Negative days get the time subtracted.
double Sloz(int64_t den, int64_t ms);

// Nothing when the year is outside 1 to 9999 or the month or day does not exist.
std::optional<int32_t> DenZData(int rok, int mesic, int den);
// 1 = Sunday .. 7 = Saturday.
int AnglickyDenVTydnu(int32_t den);

// Maps a date-time onto a continuous count of days (negative values run backwards within their
// day) and back, so that shifting by hours works on both sides of day 0.
double NaSpojite(double dateTime);
double ZeSpojiteho(double days);

#endif
