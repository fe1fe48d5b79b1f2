#include "editace/Editace.h"

#include "stav/AdresyPameti.h"
#include "text/Cp1250.h"

#include <algorithm>

std::string RemoveChar(std::string_view aString, char aChar) {
    std::string out;
    out.reserve(aString.size());
    std::copy_if(aString.begin(), aString.end(), std::back_inserter(out),
                 [aChar](char c) { return c != aChar; });
    return out;
}

void Hg_PhoneNumbersKeyPress(char32_t& Key) {
    const bool digit = Key >= U'0' && Key <= U'9';
    const bool allowed =
        digit || Key == 8 || Key == 13 || Key == U'$' || Key == U'%' || Key == U'\'' || Key == U'.';
    if (!allowed) {
        Key = 0;
    }
}

std::optional<std::string> PlatneTelCislo(std::string_view cellText) {
    const auto bytes = Utf8DoCp1250(RemoveChar(cellText, k_CharSpace));
    if (!bytes || (!bytes->empty() && bytes->size() != k_PhoneNoLength)) {
        return std::nullopt;
    }
    return bytes;
}
