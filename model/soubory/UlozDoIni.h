#pragma once
// UlozDoIni: writes one value of a simple kind into a settings file, creating its folder first.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

enum class TIniType { int_ini = 0, str_ini = 1, float_ini = 2, bool_ini = 3 };

using TIniValue = std::variant<std::int64_t, std::string, double, bool>;

// The text written for a value: int_ini an integer in decimal, str_ini a text unchanged, float_ini
// a number (floating or integer) in its shortest decimal form with decimalSeparator, bool_ini 1 for
// true and 0 for false. Throws std::invalid_argument when the value is of another kind.
std::string FormatIniValue(const TIniValue& AValue, TIniType AType, char decimalSeparator);

// Creates the folder of ASoubor with every missing parent, then writes AValue converted by AType
// under [ASekce] AIdent; float_ini uses the decimal separator of the current LC_NUMERIC locale.
// Throws EProfileWriteError ("Unable to write to <path>") when the folder or the file cannot be
// written, std::invalid_argument as FormatIniValue does.
void UlozDoIni(const std::string& ASoubor, std::string_view ASekce, std::string_view AIdent,
               const TIniValue& AValue, TIniType AType);
