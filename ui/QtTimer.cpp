#include "QtTimer.h"

#include <utility>

TQtTimer::TQtTimer() {
    fTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&fTimer, &QTimer::timeout, [this] { Tik(); });
}

void TQtTimer::Tik() {
    // The tick may restart the timer with a new callable; keep this one alive while it runs.
    auto tick = fTick;
    if (tick) {
        tick();
    }
}

void TQtTimer::HlidejVstup(int deskriptor) {
    // A notifier must not be deleted from its own signal: the tick that loses the port stops it.
    if (fVstup) {
        fVstup->setEnabled(false);
        fVstup.release()->deleteLater();
    }
    if (deskriptor < 0) {
        return;
    }
    fVstup = std::make_unique<QSocketNotifier>(deskriptor, QSocketNotifier::Read);
    QObject::connect(fVstup.get(), &QSocketNotifier::activated, [this] {
        if (fTimer.isActive()) {
            Tik();
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
