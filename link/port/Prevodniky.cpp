#include "port/Prevodniky.h"

#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

// One to four hex digits and nothing else; a pattern such as "1a86*" is no id.
std::optional<std::uint16_t> Hex16(std::string_view text) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

bool JeMezera(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The value the rule compares key with ("==", quoted), if the rule does.
std::optional<std::string_view> Hodnota(std::string_view pravidlo, std::string_view klic) {
    for (std::size_t at = pravidlo.find(klic); at != std::string_view::npos;
         at = pravidlo.find(klic, at + 1)) {
        if (at > 0 && (std::isalnum(static_cast<unsigned char>(pravidlo[at - 1])) != 0 ||
                       pravidlo[at - 1] == '_')) {
            continue;
        }
        std::size_t i = at + klic.size();
        while (i < pravidlo.size() && JeMezera(pravidlo[i])) {
            ++i;
        }
        if (pravidlo.substr(i, 2) != "==") {
            continue;
        }
        i += 2;
        while (i < pravidlo.size() && JeMezera(pravidlo[i])) {
            ++i;
        }
        if (i >= pravidlo.size() || pravidlo[i] != '"') {
            continue;
        }
        const std::size_t konec = pravidlo.find('"', i + 1);
        if (konec == std::string_view::npos) {
            return std::nullopt;
        }
        return pravidlo.substr(i + 1, konec - i - 1);
    }
    return std::nullopt;
}

std::optional<std::uint16_t> HexHodnota(std::string_view pravidlo, std::string_view attrs,
                                        std::string_view attr) {
    auto hodnota = Hodnota(pravidlo, attrs);
    if (!hodnota) {
        hodnota = Hodnota(pravidlo, attr);
    }
    return hodnota ? Hex16(*hodnota) : std::nullopt;
}

void ZPravidla(std::string_view pravidlo, std::vector<TUsbId>& out) {
    std::size_t zacatek = 0;
    while (zacatek < pravidlo.size() && JeMezera(pravidlo[zacatek])) {
        ++zacatek;
    }
    if (zacatek >= pravidlo.size() || pravidlo[zacatek] == '#') {
        return;
    }
    // "vendor/product/bcdDevice", each hex without leading zeros.
    if (const auto product = Hodnota(pravidlo, "ENV{PRODUCT}")) {
        const std::size_t prvni = product->find('/');
        if (prvni != std::string_view::npos) {
            const std::size_t druhe = product->find('/', prvni + 1);
            const auto vendor = Hex16(product->substr(0, prvni));
            const auto id = Hex16(product->substr(
                prvni + 1, druhe == std::string_view::npos ? druhe : druhe - prvni - 1));
            if (vendor && id) {
                out.push_back({*vendor, *id});
            }
        }
    }
    const auto vendor = HexHodnota(pravidlo, "ATTRS{idVendor}", "ATTR{idVendor}");
    const auto id = HexHodnota(pravidlo, "ATTRS{idProduct}", "ATTR{idProduct}");
    if (vendor && id) {
        out.push_back({*vendor, *id});
    }
}

} // namespace

std::string TUsbId::Text() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", static_cast<unsigned>(Vendor),
                  static_cast<unsigned>(Product));
    return text;
}

std::vector<TUsbId> UsbIdVPravidlech(std::string_view pravidla) {
    std::vector<TUsbId> out;
    std::string pravidlo;
    std::size_t at = 0;
    while (at < pravidla.size()) {
        std::size_t konec = pravidla.find('\n', at);
        if (konec == std::string_view::npos) {
            konec = pravidla.size();
        }
        std::string_view radek = pravidla.substr(at, konec - at);
        at = konec + 1;
        while (!radek.empty() && JeMezera(radek.back())) {
            radek.remove_suffix(1);
        }
        // A trailing backslash continues the rule on the next line.
        if (!radek.empty() && radek.back() == '\\') {
            radek.remove_suffix(1);
            pravidlo.append(radek);
            pravidlo.push_back(' ');
            continue;
        }
        pravidlo.append(radek);
        ZPravidla(pravidlo, out);
        pravidlo.clear();
    }
    ZPravidla(pravidlo, out);
    return out;
}
