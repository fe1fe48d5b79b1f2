#include "text/Prubeh.h"

#include <algorithm>

std::string PopisPrubehu(int pozice, int maximum, std::chrono::milliseconds uplynulo) {
    if (maximum <= 0) {
        return {};
    }
    pozice = std::clamp(pozice, 0, maximum);
    std::string text = "telegram " + std::to_string(pozice) + " z " + std::to_string(maximum);
    if (pozice == 0 || pozice == maximum || uplynulo.count() <= 0) {
        return text;
    }
    // Whole seconds, rounded up: "0 s" would read as done.
    const long long ms = uplynulo.count() * (maximum - pozice) / pozice;
    const long long s = std::max(1LL, (ms + 999) / 1000);
    text += ", zbývá asi ";
    if (s >= 60) {
        text += std::to_string(s / 60) + " min ";
    }
    return text + std::to_string(s % 60) + " s";
}
