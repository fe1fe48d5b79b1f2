// Quarter-hours: the table of quarters, quarter starts and limits, for times and date-times.
#include "kovra.h"

#include "TestDatum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using testdatum::DT;
using testdatum::NaMs;
using testdatum::Rozloz;

constexpr double k_NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double k_Inf = std::numeric_limits<double>::infinity();

// The quarter of seconds into the hour, straight from the table of quarters.
int Ctvrt(int s) {
    if (s >= 451 && s <= 1350) {
        return 1;
    }
    if (s >= 1351 && s <= 2250) {
        return 2;
    }
    if (s >= 2251 && s <= 3150) {
        return 3;
    }
    if ((s >= 3151 && s <= 3599) || (s >= 0 && s <= 450)) {
        return 4;
    }
    return 1; // 3600 and more
}

int64_t Modulo(int64_t a, int64_t b) {
    return ((a % b) + b) % b;
}

bool NaMezi(const testdatum::TOkamzik& o) {
    return (o.minuta == 7 || o.minuta == 22 || o.minuta == 37 || o.minuta == 52) &&
           o.sekunda == 31 && o.ms == 0;
}

TEST(KovraCtvrthodiny, QuarterOfEveryMinuteAndSecond) {
    EXPECT_EQ(ZjistiCtvrthodinu(7, 30), 4);
    EXPECT_EQ(ZjistiCtvrthodinu(7, 31), 1);
    EXPECT_EQ(ZjistiCtvrthodinu(22, 30), 1);
    EXPECT_EQ(ZjistiCtvrthodinu(37, 30), 2);
    EXPECT_EQ(ZjistiCtvrthodinu(52, 30), 3);
    EXPECT_EQ(ZjistiCtvrthodinu(59, 59), 4);
    for (int m = 0; m < 60; ++m) {
        for (int s = 0; s < 60; ++s) {
            ASSERT_EQ(ZjistiCtvrthodinu(static_cast<uint16_t>(m), static_cast<uint16_t>(s)),
                      Ctvrt(m * 60 + s))
                << m << ":" << s;
        }
    }
    EXPECT_EQ(ZjistiCtvrthodinu(60, 0), 1);
    EXPECT_EQ(ZjistiCtvrthodinu(0, 3600), 1);
    EXPECT_EQ(ZjistiCtvrthodinu(1092, 16), 4); // 65536 seconds wrap to 0 in 16 bits
    EXPECT_EQ(ZjistiCtvrthodinu(65535, 65535), Ctvrt((65535 * 60 + 65535) % 65536));
}

TEST(KovraCtvrthodiny, StartOfTheQuarterAsMinuteOfTheDay) {
    EXPECT_EQ(ZacatekCtvrthodiny(0, 5, 0), 1432);
    EXPECT_EQ(ZacatekCtvrthodiny(10, 7, 31), 607);
    EXPECT_EQ(ZacatekCtvrthodiny(10, 7, 30), 592);
    EXPECT_EQ(ZjistiHodinu(0, 5, 0), 23);
    EXPECT_EQ(ZjistiHodinu(10, 7, 31), 10);
    EXPECT_EQ(ZjistiHodinu(10, 7, 30), 9);
    // The time lies in the quarter that starts 31 s after the start minute, 15 minutes long.
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; ++m) {
            for (int s = 0; s < 60; ++s) {
                const int zacatek = ZacatekCtvrthodiny(
                    static_cast<uint16_t>(h), static_cast<uint16_t>(m), static_cast<uint16_t>(s));
                ASSERT_TRUE(zacatek % 60 == 7 || zacatek % 60 == 22 || zacatek % 60 == 37 ||
                            zacatek % 60 == 52)
                    << zacatek;
                const int64_t odMeze = Modulo(h * 3600 + m * 60 + s - (zacatek * 60 + 31), 86400);
                ASSERT_LT(odMeze, 900) << h << ":" << m << ":" << s;
                ASSERT_EQ(ZjistiHodinu(static_cast<uint16_t>(h), static_cast<uint16_t>(m),
                                       static_cast<uint16_t>(s)),
                          zacatek / 60);
            }
        }
    }
    (void)ZacatekCtvrthodiny(65535, 65535, 65535); // 16-bit arithmetic, no overflow trap
}

TEST(KovraCtvrthodiny, NextLimitAsMinuteOfTheDay) {
    EXPECT_EQ(ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(23, 55, 0), 7);
    EXPECT_EQ(ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(23, 5, 0), 23 * 60 + 7);
    EXPECT_EQ(ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(10, 7, 31), 622);
    EXPECT_EQ(ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(10, 7, 30), 607);
    EXPECT_EQ(ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(30, 0, 0), 7); // an hour past 23 becomes 0
    // The limit (minute + 31 s) is later than the time and at most 15 minutes away.
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; ++m) {
            for (int s = 0; s < 60; ++s) {
                const int mez = ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(
                    static_cast<uint16_t>(h), static_cast<uint16_t>(m), static_cast<uint16_t>(s));
                const int64_t doMeze = Modulo(mez * 60 + 31 - (h * 3600 + m * 60 + s), 86400);
                ASSERT_TRUE(doMeze >= 1 && doMeze <= 900) << h << ":" << m << ":" << s;
            }
        }
    }
}

TEST(KovraCtvrthodiny, DateTimeOverloadsOnKnownTimes) {
    EXPECT_EQ(ZjistiCtvrthodinuDT(DT(2024, 5, 1, 10, 7, 30)), 4);
    EXPECT_EQ(ZjistiCtvrthodinuDT(DT(2024, 5, 1, 10, 7, 31)), 1);
    // 10:07:30.9996 rounds to 10:07:31.000, the next quarter.
    EXPECT_EQ(ZjistiCtvrthodinuDT(DT(2024, 5, 1, 10, 7, 30, 999) + 0.0006 / 86400.0), 1);
    EXPECT_EQ(ZjistiCtvrthodinuDT(DT(2024, 5, 1, 10, 7, 30, 999) + 0.0004 / 86400.0), 4);

    EXPECT_EQ(NaMs(ZacatekCtvrthodinyDT(DT(2024, 5, 1, 0, 3))), NaMs(DT(2024, 4, 30, 23, 52)));
    EXPECT_EQ(NaMs(ZacatekCtvrthodinyDT(DT(2024, 5, 1, 10, 7, 45))), NaMs(DT(2024, 5, 1, 10, 7)));
    EXPECT_EQ(NaMs(ZacatekCtvrthodinyDT(DT(2024, 1, 1, 0, 7, 30))), NaMs(DT(2023, 12, 31, 23, 52)));

    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(DT(2024, 12, 31, 23, 55))),
              NaMs(DT(2025, 1, 1, 0, 7, 31)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(DT(2024, 5, 1, 23, 5))),
              NaMs(DT(2024, 5, 1, 23, 7, 31)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(DT(2024, 5, 1, 10, 7, 31))),
              NaMs(DT(2024, 5, 1, 10, 22, 31)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(DT(2024, 5, 1, 10, 7, 30))),
              NaMs(DT(2024, 5, 1, 10, 7, 31)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(DT(2024, 5, 1, 10, 7, 31, 1))),
              NaMs(DT(2024, 5, 1, 10, 22, 31)));

    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiNizsiCtvrthodinu(DT(2024, 5, 1, 10, 10))),
              NaMs(DT(2024, 5, 1, 10, 7, 31)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiNizsiCtvrthodinu(DT(2024, 5, 1, 10, 7, 31))),
              NaMs(DT(2024, 5, 1, 10, 7, 31)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiNizsiCtvrthodinu(DT(2024, 5, 1, 0, 3))),
              NaMs(DT(2024, 4, 30, 23, 52, 31)));
}

TEST(KovraCtvrthodiny, DateTimeOverloadsOverTheWholeRangeAgreeWithGmtime) {
    // Random moments from year 1 to 9999 at millisecond resolution, negative values included.
    std::mt19937_64 nahoda(20240501);
    const int64_t od = testdatum::Sekundy(1, 1, 1) * 1000;
    const int64_t po = testdatum::Sekundy(9999, 12, 31, 23, 44, 0) * 1000;
    std::uniform_int_distribution<int64_t> okamzik(od, po);
    for (int i = 0; i < 200000; ++i) {
        const int64_t ms = okamzik(nahoda);
        const double dt = testdatum::ZMs(ms);
        ASSERT_EQ(NaMs(dt), ms);
        const auto o = Rozloz(dt);

        ASSERT_EQ(ZjistiCtvrthodinuDT(dt), Ctvrt(o.minuta * 60 + o.sekunda)) << dt;

        const double dalsi = ZaokrouhliNaNejblizsiDalsiCtvrthodinu(dt);
        ASSERT_TRUE(NaMezi(Rozloz(dalsi))) << dt;
        ASSERT_GT(NaMs(dalsi) - ms, 0) << dt;
        ASSERT_LE(NaMs(dalsi) - ms, 900000) << dt;

        const double nizsi = ZaokrouhliNaNejblizsiNizsiCtvrthodinu(dt);
        ASSERT_TRUE(NaMezi(Rozloz(nizsi))) << dt;
        ASSERT_GE(ms - NaMs(nizsi), 0) << dt;
        ASSERT_LT(ms - NaMs(nizsi), 900000) << dt;

        const double zacatek = ZacatekCtvrthodinyDT(dt);
        const auto z = Rozloz(zacatek);
        ASSERT_TRUE(z.sekunda == 0 && z.ms == 0 && z.minuta % 15 == 7) << dt;
        ASSERT_GE(ms - NaMs(zacatek), 31000) << dt;
        ASSERT_LT(ms - NaMs(zacatek), 931000) << dt;
    }
}

TEST(KovraCtvrthodiny, ValuesThatDoNotDecompose) {
    for (double v : {k_NaN, k_Inf, -k_Inf, 1e300, -1e300, 2958466.5, -693594.5,
                     std::numeric_limits<double>::max()}) {
        EXPECT_EQ(ZjistiCtvrthodinuDT(v), 1) << v;
        EXPECT_TRUE(std::isnan(ZacatekCtvrthodinyDT(v))) << v;
        EXPECT_TRUE(std::isnan(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(v))) << v;
        EXPECT_TRUE(std::isnan(ZaokrouhliNaNejblizsiNizsiCtvrthodinu(v))) << v;
    }
    // The last minutes of 9999 still decompose; their next limit lies past the range.
    const double posledni = DT(9999, 12, 31, 23, 55);
    EXPECT_EQ(ZjistiCtvrthodinuDT(posledni), 4);
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(posledni)),
              NaMs(posledni) + (12 * 60 + 31) * 1000);
    EXPECT_EQ(NaMs(ZacatekCtvrthodinyDT(DT(1, 1, 1, 0, 3))), NaMs(DT(1, 1, 1)) - 8 * 60000);
}

TEST(KovraCtvrthodiny, NegativeDateTimesUseTheSizeOfTheFraction) {
    // -1.25 is 29 December 1899, 06:00.
    EXPECT_EQ(Rozloz(-1.25).hodina, 6);
    const double dt = DT(1899, 12, 29, 6, 10);
    ASSERT_LT(dt, -1.0);
    EXPECT_EQ(ZjistiCtvrthodinuDT(dt), 1);
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(dt)), NaMs(DT(1899, 12, 29, 6, 22, 31)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiNizsiCtvrthodinu(dt)), NaMs(DT(1899, 12, 29, 6, 7, 31)));
    // Just after the start of the count the quarter began the day before, on the negative side.
    EXPECT_EQ(NaMs(ZacatekCtvrthodinyDT(DT(1899, 12, 30, 0, 3))), NaMs(DT(1899, 12, 29, 23, 52)));
    EXPECT_EQ(NaMs(ZaokrouhliNaNejblizsiDalsiCtvrthodinu(DT(1899, 12, 29, 23, 55))),
              NaMs(DT(1899, 12, 30, 0, 7, 31)));
    // Nearly 24:00 of 29 December rounds to midnight of the 30th, not of the 28th.
    EXPECT_EQ(NaMs(ZacatekCtvrthodinyDT(-1.99999999999)), NaMs(DT(1899, 12, 29, 23, 52)));
}

} // namespace
