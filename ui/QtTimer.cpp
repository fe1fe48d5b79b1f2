#include "QtTimer.h"

#include <utility>

TQtTimer::TQtTimer() {
    fTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&fTimer, &QTimer::timeout, [this] {
        // The tick may restart the timer with a new callable; keep this one alive while it runs.
        auto tick = fTick;
        if (tick) {
            tick();
        }
    });
}

void TQtTimer::Start(std::chrono::milliseconds period, std::function<void()> tick) {
    fPeriod = period;
    fTick = std::move(tick);
    fTimer.start(period);
}

void TQtTimer::Stop() {
    fTimer.stop();
}
