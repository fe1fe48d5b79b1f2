#pragma once
// Switches LC_NUMERIC to a comma-decimal locale (cs_CZ.UTF-8) for one test.

#include "TestLocale.h"

#include <clocale>
#include <string>

class TCommaLocale {
public:
    // setlocale only: newlocale leaks under the LOCPATH a compiled locale needs.
    TCommaLocale()
        : fActive(EnsureTestLocale("cs_CZ.UTF-8") &&
                  std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8") != nullptr) {}
    ~TCommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
    TCommaLocale(const TCommaLocale&) = delete;
    TCommaLocale& operator=(const TCommaLocale&) = delete;

    // True when LC_NUMERIC now uses a decimal comma.
    bool Active() const { return fActive && std::string(std::localeconv()->decimal_point) == ","; }

private:
    bool fActive = false;
};
