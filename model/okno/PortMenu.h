#pragma once
// The port menu as the logic holds it, and the view that shows it.

#include "port/SerialPort.h"

#include <array>
#include <cstddef>
#include <string>

// The "Sériový port" menu. Items 1..10 are cmCOM1..cmCOM10, radio items of one group; item 11 is
// cmCOM11, outside the group: only the program ticks it and nothing unticks it.
struct TPolozkaPortu {
    bool Zaskrtnuta = false;
    bool Viditelna = true;
    int Tag = 0;
    std::string Titulek;
};

class TPortMenu {
public:
    static constexpr int k_PocetPolozek = 11;
    static constexpr int k_JinyPort = 11; // cmCOM11
    // The ticked item of the "Řízení směru linky" submenu.
    TSmer Smer = TSmer::DTR;

    TPortMenu() {
        for (int item = 1; item <= k_PocetPolozek; ++item) {
            Polozka(item).Tag = item;
            Polozka(item).Titulek = "COM " + std::to_string(item);
        }
        Polozka(k_JinyPort).Titulek = "COM xx";
    }
    // 1..11; anything else is not an item.
    static bool JePolozka(int item) { return item >= 1 && item <= k_PocetPolozek; }
    const TPolozkaPortu& Polozka(int item) const { return fPolozky.at(Index(item)); }
    TPolozkaPortu& Polozka(int item) { return fPolozky.at(Index(item)); }
    // Ticks an item; ticking a radio item unticks the other radio items.
    void Zaskrtni(int item) {
        if (!JePolozka(item)) {
            return;
        }
        if (item != k_JinyPort) {
            for (int other = 1; other < k_JinyPort; ++other) {
                Polozka(other).Zaskrtnuta = false;
            }
        }
        Polozka(item).Zaskrtnuta = true;
    }

private:
    static std::size_t Index(int item) { return static_cast<std::size_t>(item - 1); }
    std::array<TPolozkaPortu, k_PocetPolozek> fPolozky;
};

class IPortMenu {
public:
    virtual ~IPortMenu() = default;
    // Shows the port menu as the logic holds it.
    virtual void ZobrazPortMenu(const TPortMenu& menu) = 0;
};
