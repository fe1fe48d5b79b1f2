#pragma once
// The serial driver's periodic timer on the Qt event loop: ticks run on the GUI thread, on the
// period and as soon as the watched port has bytes.

#include "port/Timer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <memory>

class TQtTimer final : public IPeriodicTimer {
public:
    TQtTimer();
    void Start(std::chrono::milliseconds period, std::function<void()> tick) override;
    void Stop() override;
    bool Running() const override { return fTimer.isActive(); }
    std::chrono::milliseconds Period() const override { return fPeriod; }
    void HlidejVstup(int deskriptor) override;

private:
    void Tik();

    QTimer fTimer;
    std::function<void()> fTick;
    std::chrono::milliseconds fPeriod{0};
    std::unique_ptr<QSocketNotifier> fVstup;
};
