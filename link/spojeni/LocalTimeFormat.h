#pragma once
// Date and time texts in a locale's short date (D_FMT) and long time (T_FMT) formats, taken from
// the C library's LC_TIME data. By default the user's environment decides (LC_ALL, LC_TIME, LANG),
// whatever the process itself has selected with setlocale.

#include <chrono>
#include <memory>
#include <string>

class TLocalTimeFormat {
public:
    // localeName: a locale name for newlocale; "" is the user's environment. When that locale
    // cannot be loaded the "C" formats are used and Loaded() is false.
    explicit TLocalTimeFormat(const char* localeName = "");
    ~TLocalTimeFormat();
    TLocalTimeFormat(const TLocalTimeFormat&) = delete;
    TLocalTimeFormat& operator=(const TLocalTimeFormat&) = delete;
    TLocalTimeFormat(TLocalTimeFormat&&) noexcept;
    TLocalTimeFormat& operator=(TLocalTimeFormat&&) noexcept;

    bool Loaded() const { return fLoaded; }
    // The moment in local time (the process's time zone) in the short date format.
    std::string ShortDate(std::chrono::system_clock::time_point when) const;
    // The moment in local time in the long time format.
    std::string LongTime(std::chrono::system_clock::time_point when) const;

private:
    struct TLocale;
    std::unique_ptr<TLocale> fLocale;
    bool fLoaded = false;
};
