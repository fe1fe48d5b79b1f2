#pragma once
// DateTimeStamp: the local date and time as digits, year to millisecond, for file names.

#include <chrono>
#include <functional>
#include <string>

struct TDateTimeParts {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

using TSystemClock = std::function<std::chrono::system_clock::time_point()>;

// Year with at least four digits, month to second with two, milliseconds with at least two:
// 16 characters below 100 ms, 17 from 100 ms.
std::string FormatDateTimeStamp(const TDateTimeParts& parts);
// The moment in the local time zone.
TDateTimeParts LocalDateTimeParts(std::chrono::system_clock::time_point moment);
std::string DateTimeStamp(std::chrono::system_clock::time_point moment);
// The stamp of the clock's current time.
std::string DateTimeStamp();
// Replaces the clock that DateTimeStamp() reads (tests); an empty function restores the system
// clock.
void SetDateTimeStampClock(TSystemClock clock);
