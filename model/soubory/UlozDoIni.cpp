#include "soubory/UlozDoIni.h"

#include "soubory/ProfileFile.h"

#include <charconv>
#include <clocale>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace {

template <typename T>
const T& Expect(const TIniValue& value, const char* type) {
    if (const T* held = std::get_if<T>(&value)) {
        return *held;
    }
    throw std::invalid_argument(std::string("UlozDoIni: the value does not fit ") + type);
}

std::string Integer(std::int64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return {text, end};
}

std::string Shortest(double value, char decimalSeparator) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general).ptr;
    std::string result(text, end);
    for (char& c : result) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return result;
}

} // namespace

std::string FormatIniValue(const TIniValue& AValue, TIniType AType, char decimalSeparator) {
    switch (AType) {
    case TIniType::int_ini:
        return Integer(Expect<std::int64_t>(AValue, "int_ini"));
    case TIniType::str_ini:
        return Expect<std::string>(AValue, "str_ini");
    case TIniType::float_ini:
        if (const auto* integer = std::get_if<std::int64_t>(&AValue)) {
            return Shortest(static_cast<double>(*integer), decimalSeparator);
        }
        return Shortest(Expect<double>(AValue, "float_ini"), decimalSeparator);
    case TIniType::bool_ini:
        return Expect<bool>(AValue, "bool_ini") ? "1" : "0";
    }
    throw std::invalid_argument("UlozDoIni: unknown TIniType");
}

void UlozDoIni(const std::string& ASoubor, std::string_view ASekce, std::string_view AIdent,
               const TIniValue& AValue, TIniType AType) {
    const std::lconv* locale = std::localeconv();
    const char separator =
        locale != nullptr && locale->decimal_point != nullptr && locale->decimal_point[0] != '\0'
            ? locale->decimal_point[0]
            : '.';
    const std::string text = FormatIniValue(AValue, AType, separator);

    const std::filesystem::path folder = std::filesystem::path(ASoubor).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            throw EProfileWriteError(ASoubor, error.message());
        }
    }
    WriteProfileString(ASoubor, ASekce, AIdent, text);
}
