// Years, day numbers, weekends, Easter Monday and the counting day, cross-checked against the C
// library's calendar and a second Easter algorithm.
#include "kovra.h"

#include "TestDatum.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <limits>

namespace {

using testdatum::DT;
using testdatum::Rozloz;

constexpr double k_NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double k_Inf = std::numeric_limits<double>::infinity();

// Whether the date exists, by asking timegm whether it had to normalise the fields.
bool Existuje(int rok, int mesic, int den) {
    if (mesic < 1 || mesic > 12 || den < 1) {
        return false;
    }
    const auto t = static_cast<time_t>(testdatum::Sekundy(rok, mesic, den));
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm.tm_year + 1900 == rok && tm.tm_mon + 1 == mesic && tm.tm_mday == den;
}

int CeskyDen(int denVTydnu) {
    return denVTydnu == 0 ? 7 : denVTydnu;
}

// Easter Sunday by the anonymous Gregorian algorithm (Meeus/Jones/Butcher).
void VelikonocniNedele(int rok, int& mesic, int& den) {
    const int a = rok % 19;
    const int b = rok / 100;
    const int c = rok % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    mesic = (h + l - 7 * m + 114) / 31;
    den = (h + l - 7 * m + 114) % 31 + 1;
}

TEST(KovraRoky, TwoDigitYearsBothWays) {
    EXPECT_EQ(ShortYearToYear(0), 2000);
    EXPECT_EQ(ShortYearToYear(79), 2079);
    EXPECT_EQ(ShortYearToYear(80), 1980);
    EXPECT_EQ(ShortYearToYear(99), 1999);
    EXPECT_EQ(ShortYearToYear(100), 2000);
    EXPECT_EQ(ShortYearToYear(65535), 1899); // 16-bit arithmetic
    EXPECT_EQ(YearToShortYear(1999), 99);
    EXPECT_EQ(YearToShortYear(2000), 0);
    EXPECT_EQ(YearToShortYear(2100), 100);
    EXPECT_EQ(YearToShortYear(1899), 65535);
    EXPECT_EQ(YearToShortYear(0), 63636);
    EXPECT_EQ(YearToShortYear(65535), 63535);
    for (uint16_t y = 0; y < 100; ++y) {
        EXPECT_EQ(YearToShortYear(ShortYearToYear(y)), y);
    }
}

TEST(KovraDnyVTydnu, EnglishAndCzechNumbersMapBothWays) {
    const int czech[8] = {0, 7, 1, 2, 3, 4, 5, 6}; // index: English number
    for (int e = 1; e <= 7; ++e) {
        EXPECT_EQ(EnglishIndexOfWeekToCzechIndex(e), czech[e]) << e;
        EXPECT_EQ(CzechIndexOfWeekToEnglishIndex(czech[e]), e) << e;
    }
    EXPECT_EQ(EnglishIndexOfWeekToCzechIndex(0), -1);
    EXPECT_EQ(CzechIndexOfWeekToEnglishIndex(8), 9);
    // The ends of the range wrap instead of overflowing (UndefinedBehaviorSanitizer watches).
    EXPECT_EQ(EnglishIndexOfWeekToCzechIndex(std::numeric_limits<int32_t>::min()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(CzechIndexOfWeekToEnglishIndex(std::numeric_limits<int32_t>::max()),
              std::numeric_limits<int32_t>::min());
}

TEST(KovraDnyVTydnu, MyDayOfWeekAgreesWithGmtimeOverCenturies) {
    EXPECT_EQ(MyDayOfWeek(DT(2024, 1, 1)), 1);
    EXPECT_EQ(MyDayOfWeek(0.0), 6); // 30 December 1899 was a Saturday
    // Every day around the start of the count, at several times of day, both signs of values.
    for (int64_t d = -800; d <= 800; ++d) {
        for (int hodina : {0, 6, 12, 23}) {
            const double dt =
                testdatum::ZMs(((d - testdatum::k_Den1970) * 86400 + hodina * 3600) * 1000);
            ASSERT_EQ(MyDayOfWeek(dt), CeskyDen(Rozloz(dt).denVTydnu)) << dt;
        }
    }
    // A day every 97 days from year 1 to 9999.
    for (int64_t d = -693593; d <= 2958465; d += 97) {
        const double dt = static_cast<double>(d) + (d >= 0 ? 0.75 : -0.75);
        ASSERT_EQ(MyDayOfWeek(dt), CeskyDen(Rozloz(dt).denVTydnu)) << dt;
    }
}

TEST(KovraDnyVTydnu, EndsOfTheDateRange) {
    EXPECT_EQ(MyDayOfWeek(DT(1, 1, 1)), 1);      // a Monday
    EXPECT_EQ(MyDayOfWeek(DT(9999, 12, 31)), 5); // a Friday
    EXPECT_EQ(MyDayOfWeek(DT(9999, 12, 31, 23, 59, 59, 999)), 5);
    EXPECT_EQ(MyDayOfWeek(2958466.0), 0);
    EXPECT_EQ(MyDayOfWeek(-693594.0), 0);
    EXPECT_EQ(MyDayOfWeek(k_NaN), 0);
    EXPECT_EQ(MyDayOfWeek(k_Inf), 0);
    EXPECT_EQ(MyDayOfWeek(-k_Inf), 0);
    EXPECT_EQ(MyDayOfWeek(1e300), 0);
    EXPECT_EQ(MyDayOfWeek(std::numeric_limits<double>::lowest()), 0);
}

TEST(KovraVikend, DateTimesAndCalendarDates) {
    EXPECT_TRUE(JeVikend(DT(2024, 1, 6, 12))); // Saturday
    EXPECT_TRUE(JeVikend(DT(2024, 1, 7, 23))); // Sunday
    EXPECT_FALSE(JeVikend(DT(2024, 1, 8)));    // Monday
    EXPECT_FALSE(JeVikend(DT(2024, 1, 5, 23, 59, 59, 999)));
    // Friday 23:59:59.9996 rounds to Saturday midnight.
    EXPECT_TRUE(JeVikend(DT(2024, 1, 5, 23, 59, 59, 999) + 0.0006 / 86400.0));
    EXPECT_FALSE(JeVikend(-1.5)); // Friday 29 December 1899, noon
    EXPECT_TRUE(JeVikend(-0.5));  // Saturday 30 December 1899, noon
    EXPECT_FALSE(JeVikend(k_NaN));
    EXPECT_FALSE(JeVikend(-k_Inf));
    EXPECT_TRUE(JeVikendDMY(6, 1, 2024));
    EXPECT_FALSE(JeVikendDMY(8, 1, 2024));
    EXPECT_FALSE(JeVikendDMY(31, 2, 2024));
    EXPECT_FALSE(JeVikendDMY(29, 2, 2100)); // would be a Sunday in a leap year
    EXPECT_FALSE(JeVikendDMY(0, 1, 2024));
    EXPECT_FALSE(JeVikendDMY(1, 0, 2024));
    EXPECT_FALSE(JeVikendDMY(1, 13, 2024));
    EXPECT_FALSE(JeVikendDMY(65535, 65535, 65535));
    EXPECT_FALSE(JeVikendDMY(1, 1, 0));
    EXPECT_FALSE(JeVikendDMY(1, 1, 10000));
    EXPECT_FALSE(JeVikendDMY(31, 12, 9999)); // a Friday, the last day there is
    EXPECT_TRUE(JeVikendDMY(6, 1, 1));       // 6 January of year 1 was a Saturday
}

TEST(KovraVikend, CalendarDatesAgreeWithGmtimeIncludingInvalidOnes) {
    // Days 29 to 32 of every month of every year (where leap-year mistakes show), and every day of
    // 1896 to 1904 and 1999 to 2001 including day 0 and month 13.
    for (int rok = 1; rok <= 9999; ++rok) {
        for (int mesic = 1; mesic <= 12; ++mesic) {
            for (int den = 29; den <= 32; ++den) {
                const bool cekam = Existuje(rok, mesic, den) &&
                                   CeskyDen(Rozloz(DT(rok, mesic, den)).denVTydnu) >= 6;
                ASSERT_EQ(JeVikendDMY(den, mesic, rok), cekam) << den << "." << mesic << "." << rok;
            }
        }
    }
    for (int rok : {1896, 1897, 1898, 1899, 1900, 1901, 1902, 1903, 1904, 1999, 2000, 2001}) {
        for (int mesic = 0; mesic <= 13; ++mesic) {
            for (int den = 0; den <= 31; ++den) {
                const bool cekam = Existuje(rok, mesic, den) &&
                                   CeskyDen(Rozloz(DT(rok, mesic, den)).denVTydnu) >= 6;
                ASSERT_EQ(JeVikendDMY(den, mesic, rok), cekam) << den << "." << mesic << "." << rok;
            }
        }
    }
}

TEST(KovraVelikonoce, KnownYearsIncludingBothReplacements) {
    EXPECT_EQ(DatumVelikonocnihoPondeli(2024), DT(2024, 4, 1));
    EXPECT_EQ(DatumVelikonocnihoPondeli(2025), DT(2025, 4, 21));
    EXPECT_EQ(DatumVelikonocnihoPondeli(1981), DT(1981, 4, 20)); // 26 April replaced by 19
    EXPECT_EQ(DatumVelikonocnihoPondeli(1954), DT(1954, 4, 19)); // 25 April replaced by 18
    EXPECT_EQ(DatumVelikonocnihoPondeli(2049), DT(2049, 4, 19));
    EXPECT_EQ(DatumVelikonocnihoPondeli(2008), DT(2008, 3, 24)); // early, in March
    EXPECT_TRUE(JeVelikonocniPondeli(1, 4, 2024));
    EXPECT_FALSE(JeVelikonocniPondeli(31, 3, 2024)); // Easter Sunday itself
    EXPECT_FALSE(JeVelikonocniPondeli(2, 4, 2024));
    EXPECT_FALSE(JeVelikonocniPondeli(1, 4, 2025));
}

TEST(KovraVelikonoce, AgreesWithTheAnonymousGregorianAlgorithmFrom1900To2099) {
    for (int rok = 1900; rok <= 2099; ++rok) {
        int mesic = 0;
        int den = 0;
        VelikonocniNedele(rok, mesic, den);
        const double pondeli = DT(rok, mesic, den + 1); // timegm carries 32 March into April
        ASSERT_EQ(DatumVelikonocnihoPondeli(rok), pondeli) << rok;
        const auto p = Rozloz(pondeli);
        EXPECT_EQ(p.denVTydnu, 1) << rok;
        EXPECT_TRUE(JeVelikonocniPondeli(static_cast<uint16_t>(p.den),
                                         static_cast<uint16_t>(p.mesic),
                                         static_cast<uint16_t>(rok)))
            << rok;
        EXPECT_FALSE(JeVelikonocniPondeli(static_cast<uint16_t>(den), static_cast<uint16_t>(mesic),
                                          static_cast<uint16_t>(rok)))
            << rok;
    }
}

TEST(KovraVelikonoce, EveryYearOfTheRangeGivesAMidnightInTheEasterWindow) {
    for (int rok = 1; rok <= 9999; ++rok) {
        const double dt = DatumVelikonocnihoPondeli(rok);
        ASSERT_FALSE(std::isnan(dt)) << rok;
        ASSERT_EQ(dt, std::trunc(dt)) << rok;
        const auto p = Rozloz(dt);
        ASSERT_EQ(p.rok, rok);
        const int poradi = p.mesic * 100 + p.den;
        ASSERT_TRUE(poradi >= 323 && poradi <= 426) << rok << ": " << poradi;
        ASSERT_TRUE(JeVelikonocniPondeli(static_cast<uint16_t>(p.den),
                                         static_cast<uint16_t>(p.mesic),
                                         static_cast<uint16_t>(rok)))
            << rok;
    }
}

TEST(KovraVelikonoce, YearOutsideTheRangeIsADateEncodeFailure) {
    for (int32_t rok :
         {0, -1, 10000, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        errno = 0;
        EXPECT_TRUE(std::isnan(DatumVelikonocnihoPondeli(rok))) << rok;
        EXPECT_EQ(errno, EDOM) << rok;
    }
    errno = 0;
    EXPECT_FALSE(std::isnan(DatumVelikonocnihoPondeli(1)));
    EXPECT_FALSE(std::isnan(DatumVelikonocnihoPondeli(9999)));
    EXPECT_FALSE(JeVelikonocniPondeli(1, 4, 0));
    EXPECT_FALSE(JeVelikonocniPondeli(30, 2, 2024));
    EXPECT_FALSE(JeVelikonocniPondeli(65535, 65535, 65535));
}

TEST(KovraPocatekDne, HourWithinTheCountingDay) {
    EXPECT_EQ(HodinaDlePocatkuDne(0, 0), 0);
    EXPECT_EQ(HodinaDlePocatkuDne(24, 0), 24);
    EXPECT_EQ(HodinaDlePocatkuDne(255, 0), 255);
    EXPECT_EQ(HodinaDlePocatkuDne(7, 6), 1);
    EXPECT_EQ(HodinaDlePocatkuDne(6, 6), 24);
    EXPECT_EQ(HodinaDlePocatkuDne(5, 6), 23);
    EXPECT_EQ(HodinaDlePocatkuDne(0, 6), 18);
    // The counting day of start s begins after hour s: hour s + 1 is its first, hour s its 24th.
    for (int start = 1; start <= 23; ++start) {
        for (int hodina = 0; hodina <= 23; ++hodina) {
            const int cekam = ((hodina - start - 1) % 24 + 24) % 24 + 1;
            EXPECT_EQ(HodinaDlePocatkuDne(static_cast<uint8_t>(hodina), start), cekam)
                << hodina << " " << start;
            EXPECT_EQ(HodinaDlePocatkuDne(static_cast<uint8_t>(hodina), start - 24), cekam)
                << hodina << " " << start - 24;
        }
    }
    // Out-of-range starts and hours are 8-bit arithmetic, never undefined behaviour.
    EXPECT_EQ(HodinaDlePocatkuDne(0, 256 + 6), 18);
    (void)HodinaDlePocatkuDne(255, std::numeric_limits<int32_t>::min());
    (void)HodinaDlePocatkuDne(255, std::numeric_limits<int32_t>::max());
}

TEST(KovraPocatekDne, ShiftsTheDateTimeByWholeHours) {
    const double dt = DT(2024, 3, 10, 5, 30);
    EXPECT_EQ(UpravDatumPodlePocatkuDne(dt, 0), dt);
    EXPECT_EQ(UpravDatumPodlePocatkuDne(dt, 6), dt + 0.25);
    EXPECT_EQ(UpravDatumPodlePocatkuDne(dt, -6), dt - 0.25);
    EXPECT_EQ(testdatum::NaMs(UpravDatumPodlePocatkuDne(dt, 23)),
              testdatum::NaMs(DT(2024, 3, 11, 4, 30)));
    EXPECT_EQ(testdatum::NaMs(UpravDatumPodlePocatkuDne(dt, -23)),
              testdatum::NaMs(DT(2024, 3, 9, 6, 30)));
    EXPECT_TRUE(std::isnan(UpravDatumPodlePocatkuDne(k_NaN, 5)));
}

TEST(KovraPocatekDne, ShiftsBeforeAndAcrossTheStartOfTheCountInCalendarTerms) {
    // Negative date-times run backwards within their day; the shift still moves forward in time.
    EXPECT_EQ(testdatum::NaMs(UpravDatumPodlePocatkuDne(DT(1899, 12, 29, 6), 6)),
              testdatum::NaMs(DT(1899, 12, 29, 12)));
    EXPECT_EQ(testdatum::NaMs(UpravDatumPodlePocatkuDne(DT(1899, 12, 30, 2), -6)),
              testdatum::NaMs(DT(1899, 12, 29, 20)));
    EXPECT_EQ(testdatum::NaMs(UpravDatumPodlePocatkuDne(DT(1899, 12, 29, 20), 6)),
              testdatum::NaMs(DT(1899, 12, 30, 2)));
    EXPECT_EQ(testdatum::NaMs(UpravDatumPodlePocatkuDne(DT(1066, 10, 14, 23), 2)),
              testdatum::NaMs(DT(1066, 10, 15, 1)));
}

TEST(KovraPocatekDne, StartOfADayOrMoreIsATimeEncodeFailure) {
    for (int32_t start : {24, -24, 25, 1000, std::numeric_limits<int32_t>::min(),
                          std::numeric_limits<int32_t>::max()}) {
        errno = 0;
        EXPECT_TRUE(std::isnan(UpravDatumPodlePocatkuDne(DT(2024, 1, 1), start))) << start;
        EXPECT_EQ(errno, EDOM) << start;
    }
}

} // namespace
