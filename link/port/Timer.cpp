#include "port/Timer.h"

#include <utility>

void TManualTimer::Start(std::chrono::milliseconds period, std::function<void()> tick) {
    fPeriod = period;
    fTick = std::move(tick);
    fRunning = true;
    ++fStarts;
}

void TManualTimer::Stop() {
    fRunning = false;
}

bool TManualTimer::Pump() {
    if (!fRunning || !fTick) {
        return false;
    }
    // The tick may stop or restart the timer; keep the callable alive while it runs.
    auto tick = fTick;
    tick();
    return true;
}
