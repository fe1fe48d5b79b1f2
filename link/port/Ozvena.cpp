#include "port/Ozvena.h"

void TOzvena::Ocekavej(std::span<const std::uint8_t> odeslano) {
    fOcekavano.assign(odeslano.begin(), odeslano.end());
    fShoda = 0;
}

void TOzvena::Odfiltruj(std::span<const std::uint8_t> prijato, std::vector<std::uint8_t>& vystup) {
    for (const std::uint8_t b : prijato) {
        if (fShoda < fOcekavano.size() && b == fOcekavano[fShoda]) {
            if (++fShoda == fOcekavano.size()) {
                fOcekavano.clear();
                fShoda = 0;
            }
            continue;
        }
        // Not the echo (or none is awaited): what was held back was the device's after all.
        vystup.insert(vystup.end(), fOcekavano.begin(),
                      fOcekavano.begin() + static_cast<std::ptrdiff_t>(fShoda));
        fOcekavano.clear();
        fShoda = 0;
        vystup.push_back(b);
    }
}
