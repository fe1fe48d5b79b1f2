#include "text/TextZpravy.h"

#include "text/Cp1250.h"

std::string SCrLf(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::size_t UlozenaDelka(std::string_view utf8) {
    std::size_t length = 0;
    for (const char c : SCrLf(utf8)) {
        // Every byte that does not continue a UTF-8 sequence starts a character.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++length;
        }
    }
    return length;
}

std::optional<std::string> TextDoZpravy(std::string_view utf8, std::size_t kapacita) {
    auto bytes = Utf8DoCp1250(SCrLf(utf8));
    if (!bytes) {
        return std::nullopt;
    }
    if (bytes->size() > kapacita) {
        std::size_t cut = kapacita;
        // A line break is kept whole or not at all.
        if (cut > 0 && (*bytes)[cut - 1] == '\r' && (*bytes)[cut] == '\n') {
            --cut;
        }
        bytes->resize(cut);
    }
    return bytes;
}

bool LzeUlozit(std::string_view utf8) {
    return Utf8DoCp1250(utf8).has_value();
}
