#ifndef KOVRA_TEXTOVECISLO_H
#define KOVRA_TEXTOVECISLO_H
// Reads a typed number: blanks, sign, digits with the locale's decimal separator, exponent.

#include <optional>
#include <string_view>

// decimalSeparator: the separator to accept (the current LC_NUMERIC one when omitted).
// Nothing else of the locale matters: no digit grouping, no "inf" or "nan".
std::optional<double> PrectiTextoveCislo(const char* text);
std::optional<double> PrectiTextoveCislo(std::string_view text, std::string_view decimalSeparator);

#endif
