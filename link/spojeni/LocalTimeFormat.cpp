#include "spojeni/LocalTimeFormat.h"

#include <array>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

struct TLocalTimeFormat::TLocale {
    locale_t handle = static_cast<locale_t>(0);
    ~TLocale() {
        if (handle != static_cast<locale_t>(0)) {
            freelocale(handle);
        }
    }
};

namespace {

std::string Format(locale_t loc, nl_item item, std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
    const char* format = nl_langinfo_l(item, loc);
    if (format == nullptr || *format == '\0') {
        return {};
    }
    // No locale's date or time comes near this; strftime reports 0 when it would not fit.
    std::array<char, 256> text{};
    const std::size_t n = strftime_l(text.data(), text.size(), format, &local, loc);
    return std::string(text.data(), n);
}

} // namespace

TLocalTimeFormat::TLocalTimeFormat(const char* localeName) : fLocale(std::make_unique<TLocale>()) {
    fLocale->handle =
        newlocale(LC_TIME_MASK, localeName != nullptr ? localeName : "", static_cast<locale_t>(0));
    fLoaded = fLocale->handle != static_cast<locale_t>(0);
    if (!fLoaded) {
        fLocale->handle = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    }
}

TLocalTimeFormat::~TLocalTimeFormat() = default;
TLocalTimeFormat::TLocalTimeFormat(TLocalTimeFormat&&) noexcept = default;
TLocalTimeFormat& TLocalTimeFormat::operator=(TLocalTimeFormat&&) noexcept = default;

std::string TLocalTimeFormat::ShortDate(std::chrono::system_clock::time_point when) const {
    if (!fLocale || fLocale->handle == static_cast<locale_t>(0)) {
        return {};
    }
    return Format(fLocale->handle, D_FMT, when);
}

std::string TLocalTimeFormat::LongTime(std::chrono::system_clock::time_point when) const {
    if (!fLocale || fLocale->handle == static_cast<locale_t>(0)) {
        return {};
    }
    return Format(fLocale->handle, T_FMT, when);
}
