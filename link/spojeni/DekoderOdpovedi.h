#pragma once
// What the receive path needs from its owner (the main window): the response decoder for each
// memory kind, and the incoming-traffic lamp.

#include "telegram/telegramy.h"

#include <cstdint>
#include <span>

class IDekoderOdpovedi {
public:
    virtual ~IDekoderOdpovedi() = default;

    // One accepted data telegram from the communicator. hlavicka is its decoded header; data holds
    // the data bytes that were actually received (from offset 8, without the data checksum), so
    // data.size() can be below hlavicka.DelkaDat's promise of 16: a decoder reads nothing beyond.
    virtual void DekodTLGRam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) = 0;
    virtual void DekodTLGEeprom(const THlavickaTLG& hlavicka,
                                std::span<const std::uint8_t> data) = 0;
    virtual void DekodTLGZaznam(const THlavickaTLG& hlavicka,
                                std::span<const std::uint8_t> data) = 0;
    virtual void DekodTLGHWSW(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) = 0;

    // Led_Incoming has been toggled by a poll; zapnuto is its new state, for the window to draw.
    virtual void PrepniLed(bool zapnuto) = 0;
};
