#pragma once
// The serial driver's periodic timer on the Qt event loop: ticks run on the GUI thread.

#include "port/Timer.h"

#include <QTimer>

#include <functional>

class TQtTimer final : public IPeriodicTimer {
public:
    TQtTimer();
    void Start(std::chrono::milliseconds period, std::function<void()> tick) override;
    void Stop() override;
    bool Running() const override { return fTimer.isActive(); }
    std::chrono::milliseconds Period() const override { return fPeriod; }

private:
    QTimer fTimer;
    std::function<void()> fTick;
    std::chrono::milliseconds fPeriod{0};
};
