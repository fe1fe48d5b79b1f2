#pragma once
// The link's queue bytes, for tests that check the layout or craft damaged queues. Production code
// sees the queue only through TKomunikace's typed view.

#include "telegramy.h"

#include <cstdint>
#include <utility>
#include <vector>

struct TKomunikaceTestAccess {
    static const std::vector<std::uint8_t>& Fronta(const TKomunikace& kom) {
        return kom.fZapisovaFronta;
    }
    // Puts the queue as given, well-formed or not.
    static void NahradFrontu(TKomunikace& kom, std::vector<std::uint8_t> fronta) {
        kom.fZapisovaFronta = std::move(fronta);
    }
};
