#pragma once
// The echo of the program's own transmission: a 2-wire adapter hears what it sends. The bytes
// that repeat the last transmission from its first byte on are taken out of what is read; bytes
// that only begin like it are handed on as soon as they stop matching.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class TOzvena {
public:
    // What was just sent: its echo, if the adapter returns one, comes before anything else.
    void Ocekavej(std::span<const std::uint8_t> odeslano);
    // Appends to vystup what was read, less the echo.
    void Odfiltruj(std::span<const std::uint8_t> prijato, std::vector<std::uint8_t>& vystup);

private:
    std::vector<std::uint8_t> fOcekavano;
    std::size_t fShoda = 0; // bytes of the echo matched so far, held back
};
