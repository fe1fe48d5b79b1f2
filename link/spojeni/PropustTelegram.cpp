// The traffic filter: which telegrams the link lets out and in.
#include "kovra.h"
#include "spojeni/Komunikace.h"

namespace {

// The library's little-endian cursor word reader under the name the link uses for it.
std::uint16_t ReadWord(const std::uint8_t** cursor, std::uint8_t step) {
    return ReadWordInc(cursor, step);
}

bool JeSitovaAdresa(std::uint8_t adresa) {
    return adresa >= PCServer && adresa <= PCKlient7;
}

} // namespace

// A telegram shorter than the shortest frame is refused, and so is a data telegram too short to
// carry its address (offsets 6 and 7): the window rule has nothing to test.
bool TKomunikace::PropustTelegram(std::span<const std::uint8_t> telegram, std::uint8_t ASmer,
                                  std::uint8_t AFunkcePC) {
    if (telegram.size() < k_MinPocetBytuTLG) {
        return false;
    }
    const std::uint8_t adresat = telegram[1];
    const std::uint8_t zdroj = telegram[2];
    const bool odchozi = ASmer == Vysilani;

    if (JeSitovaAdresa(zdroj) || JeSitovaAdresa(adresat)) {
        if (odchozi) {
            return true;
        }
        const bool klient = adresat >= PCKlient1 && adresat <= PCKlient7;
        return adresat == AFunkcePC || (klient && AFunkcePC != PCServer);
    }

    if (((telegram[3] >> 5) & 0x07) == Vyzva) {
        return true;
    }

    if (odchozi && !fKontrolujLimitOut) {
        return true;
    }
    if (telegram.size() < 8) {
        return false;
    }
    const std::uint8_t* kurzor = &telegram[6];
    const std::uint16_t adresa = ReadWord(&kurzor, 2);
    return adresa >= fLoAddressLimit && adresa <= fHiAddressLimit;
}
