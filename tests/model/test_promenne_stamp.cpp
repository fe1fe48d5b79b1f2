// DateTimeStamp: local date and time to the millisecond, 16 or 17 digits.

#include "soubory/DateTimeStamp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>

namespace {

using std::chrono::milliseconds;
using std::chrono::system_clock;

// The moment of a local date and time.
system_clock::time_point Local(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return system_clock::from_time_t(std::mktime(&tm));
}

// A stamp as (date and time to the second, milliseconds), which orders like the moments.
std::pair<std::string, int> Ordered(const std::string& stamp) {
    return {stamp.substr(0, 14), std::atoi(stamp.c_str() + 14)};
}

// Runs the test in a fixed time zone and puts the clock back afterwards.
class DateTimeStampTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        fHadTz = tz != nullptr;
        fTz = fHadTz ? tz : "";
    }
    void TearDown() override {
        if (fHadTz) {
            ::setenv("TZ", fTz.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
        SetDateTimeStampClock({});
    }
    static void UseTimeZone(const char* tz) {
        ::setenv("TZ", tz, 1);
        ::tzset();
    }

private:
    bool fHadTz = false;
    std::string fTz;
};

} // namespace

TEST_F(DateTimeStampTest, PadsEveryFieldAndGivesMillisecondsAtLeastTwoDigits) {
    const auto second = Local(2026, 12, 7, 12, 43, 9);
    EXPECT_EQ(DateTimeStamp(second + milliseconds(5)), "2026120712430905");
    EXPECT_EQ(DateTimeStamp(second + milliseconds(123)), "20261207124309123");
    EXPECT_EQ(DateTimeStamp(second), "2026120712430900");
    EXPECT_EQ(DateTimeStamp(second + milliseconds(999)), "20261207124309999");
    EXPECT_EQ(DateTimeStamp(second + milliseconds(5)).size(), 16u);
    EXPECT_EQ(DateTimeStamp(second + milliseconds(123)).size(), 17u);
    EXPECT_EQ(DateTimeStamp(Local(2001, 2, 3, 4, 5, 6) + milliseconds(78)), "2001020304050678");
    EXPECT_EQ(FormatDateTimeStamp({999, 1, 2, 3, 4, 5, 6}), "0999010203040506");
}

TEST_F(DateTimeStampTest, UsesTheLocalTimeZone) {
    const auto moment = system_clock::from_time_t(0) + milliseconds(250);
    UseTimeZone("UTC0");
    EXPECT_EQ(DateTimeStamp(moment), "19700101000000250");
    UseTimeZone("CET-1");
    EXPECT_EQ(DateTimeStamp(moment), "19700101010000250");
    // A moment before 1970 keeps its milliseconds counted forward from the whole second.
    UseTimeZone("UTC0");
    EXPECT_EQ(DateTimeStamp(system_clock::from_time_t(0) - milliseconds(1)), "19691231235959999");
}

TEST_F(DateTimeStampTest, ReadsTheInjectedClock) {
    auto now = Local(2026, 1, 15, 8, 0, 0) + milliseconds(42);
    SetDateTimeStampClock([&now] { return now; });
    EXPECT_EQ(DateTimeStamp(), "2026011508000042");
    now += milliseconds(1);
    EXPECT_EQ(DateTimeStamp(), "2026011508000043");

    // Without an injected clock it follows the system clock.
    SetDateTimeStampClock({});
    const auto before = system_clock::now();
    const std::string stamp = DateTimeStamp();
    const auto after = system_clock::now();
    EXPECT_LE(Ordered(DateTimeStamp(before)), Ordered(stamp));
    EXPECT_LE(Ordered(stamp), Ordered(DateTimeStamp(after)));
}
