#include "soubory/DateTimeStamp.h"

#include <cstdio>
#include <ctime>
#include <utility>

namespace {

TSystemClock& Clock() {
    static TSystemClock clock;
    return clock;
}

} // namespace

std::string FormatDateTimeStamp(const TDateTimeParts& parts) {
    char text[96];
    const int length =
        std::snprintf(text, sizeof text, "%.4d%.2d%.2d%.2d%.2d%.2d%.2d", parts.Year, parts.Month,
                      parts.Day, parts.Hour, parts.Minute, parts.Second, parts.Millisecond);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

TDateTimeParts LocalDateTimeParts(std::chrono::system_clock::time_point moment) {
    using namespace std::chrono;
    const auto whole = floor<seconds>(moment);
    const auto millisecond = duration_cast<milliseconds>(moment - whole).count();
    const std::time_t seconds = system_clock::to_time_t(whole);
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(millisecond)};
}

std::string DateTimeStamp(std::chrono::system_clock::time_point moment) {
    return FormatDateTimeStamp(LocalDateTimeParts(moment));
}

std::string DateTimeStamp() {
    const auto& clock = Clock();
    return DateTimeStamp(clock ? clock() : std::chrono::system_clock::now());
}

void SetDateTimeStampClock(TSystemClock clock) {
    Clock() = std::move(clock);
}
