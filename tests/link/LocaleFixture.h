#pragma once
// Locales and local time for the tests. Locales the machine lacks are compiled for the test program
// (TestLocale.h), so no test depends on what is installed.

#include "TestLocale.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

// The test locales cs_CZ.UTF-8 and en_US.UTF-8, asked for before their first look-up.
inline void EnsureTestLocales() {
    for (const char* name : {"cs_CZ.UTF-8", "en_US.UTF-8"}) {
        ASSERT_TRUE(EnsureTestLocale(name)) << "cannot load or generate locale " << name;
    }
}

// Local time is UTC while a test runs, so expected texts do not depend on the machine.
class TimeZoneUtc {
public:
    TimeZoneUtc() {
        if (const char* old = std::getenv("TZ")) {
            fOld = old;
            fHadOld = true;
        }
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    ~TimeZoneUtc() {
        if (fHadOld) {
            setenv("TZ", fOld.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    TimeZoneUtc(const TimeZoneUtc&) = delete;
    TimeZoneUtc& operator=(const TimeZoneUtc&) = delete;

private:
    std::string fOld;
    bool fHadOld = false;
};
