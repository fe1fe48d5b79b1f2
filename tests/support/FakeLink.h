#pragma once
// A link on a fake port for tests, and frames written as hex.

#include "FakeSerialPort.h"
#include "HexBytes.h"
#include "spojeni/Komunikace.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <utility>

// A link whose driver runs on a fake port and a manual timer.
struct TFakeLink {
    std::shared_ptr<FakeLine> Line = std::make_shared<FakeLine>();
    TManualTimer* Timer = nullptr;
    std::unique_ptr<TKomunikace> Kom;

    TFakeLink() {
        auto timer = std::make_unique<TManualTimer>();
        Timer = timer.get();
        Kom =
            std::make_unique<TKomunikace>(std::move(timer), std::make_unique<FakeSerialPort>(Line));
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
    // Ticks, as the window's timer would, until the transmission has released the line.
    void Uvolni() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (Kom->Com().Vysila() && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            Timer->Pump();
        }
    }
};
