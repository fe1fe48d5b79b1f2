#include "telegram/modem.h"

#include "telegram/telegramy.h"

namespace {

// A telegram carries at most 29 data bytes (five-bit length field holding count + 2).
constexpr bool DelkyVejdouDoTLG() {
    for (std::size_t i = 1; i < MDM_ADRESY.size(); i += 2) {
        if (MDM_ADRESY[i] > 29) {
            return false;
        }
    }
    return true;
}
static_assert(DelkyVejdouDoTLG());

} // namespace

std::span<const std::uint16_t> AdresovaTabulka(std::uint8_t Adresat) {
    // The other device families of the bus (0, 4..8, 24..51, 55..62, 100..114) have their own
    // tables, which this program never needs; they select nothing here.
    if (Adresat == MDM) {
        return MDM_ADRESY;
    }
    return {};
}

std::optional<TPolozkaAdres> NajdiPolozkuAdres(std::uint8_t Adresat, std::uint8_t index) {
    const auto tabulka = AdresovaTabulka(Adresat);
    if (2u * index + 1u >= tabulka.size()) {
        return std::nullopt;
    }
    return TPolozkaAdres{tabulka[2u * index], tabulka[2u * index + 1u]};
}
