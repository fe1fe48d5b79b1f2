#pragma once
// The blocks of expander and input settings in which the working image differs from the device
// image, in the order they are written: failure lists, restoration lists, failure texts,
// restoration texts, switch-on lists, disconnect lists, switch-on texts, disconnect texts; within
// a section by expander, then input. A changed list is one block, a changed text all 15 blocks of
// its area (its bytes, zeros behind its end). Only the first n expanders are written.

#include "stav/promenne.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TBlokNastaveni {
    std::uint16_t Adresa = 0;
    std::array<std::uint8_t, k_NORLINKTlgSize> Data{};
    // What the block belongs to, for the user (1-based numbers).
    std::string Popis;

    friend bool operator==(const TBlokNastaveni&, const TBlokNastaveni&) = default;
};

std::vector<TBlokNastaveni> RozdilneBloky(const TNORLINK& rec, const TNORLINK& recNew, int n);
