// The locale's decimal separator (nl_langinfo(RADIXCHAR), the same as localeconv() but safe in
// threads and aware of uselocale), our own syntax check, then a conversion in the C locale.
#include "TextoveCislo.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace {

bool JeMezera(char c) {
    return c == ' ' || c == '\t';
}
bool JeCislice(char c) {
    return c >= '0' && c <= '9';
}

// The C locale always exists; created once and kept for the life of the process.
locale_t LokaleC() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

std::optional<double> PrectiTextoveCislo(std::string_view text, std::string_view decimalSeparator) {
    if (decimalSeparator.empty()) {
        decimalSeparator = ".";
    }
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && JeMezera(text[i])) {
        ++i;
    }
    std::string normal; // the same number spelt for the C locale
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        normal += text[i++];
    }
    bool digits = false;
    bool separator = false;
    while (i < n) {
        if (JeCislice(text[i])) {
            normal += text[i++];
            digits = true;
        } else if (!separator && text.substr(i).starts_with(decimalSeparator)) {
            normal += '.';
            i += decimalSeparator.size();
            separator = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            normal += text[i++];
        }
        const size_t start = i;
        while (i < n && JeCislice(text[i])) {
            normal += text[i++];
        }
        if (i == start) {
            return std::nullopt;
        }
    }
    while (i < n && JeMezera(text[i])) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }
    const locale_t c = LokaleC();
    if (c == static_cast<locale_t>(nullptr)) {
        return std::nullopt;
    }
    // Out of range is still a number: overflow gives an infinity that the limits catch.
    return strtod_l(normal.c_str(), nullptr, c);
}

std::optional<double> PrectiTextoveCislo(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    const char* separator = nl_langinfo(RADIXCHAR);
    return PrectiTextoveCislo(std::string_view(text),
                              separator != nullptr ? std::string_view(separator) : ".");
}
