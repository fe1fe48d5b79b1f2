#pragma once
// Helpers for the telegram tests: frames written as hex text, and a link on a fake port.

#include "FakeSerialPort.h"
#include "telegramy.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// "A5 14 3F" -> {0xA5, 0x14, 0x3F}; spaces are ignored.
inline std::vector<std::uint8_t> Hex(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') {
            digits += c;
        }
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// A test name from a hex frame: the digits without spaces.
inline std::string HexName(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}

// A link whose driver runs on a fake port and a manual timer; the link's globals start cleared.
struct TFakeLink {
    std::shared_ptr<FakeLine> Line = std::make_shared<FakeLine>();
    TManualTimer* Timer = nullptr;
    std::unique_ptr<TKomunikace> Kom;

    TFakeLink() {
        auto timer = std::make_unique<TManualTimer>();
        Timer = timer.get();
        Kom =
            std::make_unique<TKomunikace>(std::move(timer), std::make_unique<FakeSerialPort>(Line));
        LastMesLength = 0;
        Zapisuju = false;
        PocCyklu = 0;
    }
    // Configured as at start-up and connected; the line's record starts empty.
    bool Open() {
        Kom->Initialize();
        Kom->NastavComPort(5);
        Kom->NastavAdresoveLimity(0, 0xFFFF);
        const bool ok = Kom->NavazSpojeni(4800);
        Line->ClearEvents();
        return ok;
    }
};
