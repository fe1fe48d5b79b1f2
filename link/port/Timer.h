#pragma once
// The periodic timer that drives the serial driver. Everything runs on one thread: the window gives
// the driver a QTimer-backed implementation, the tests a TManualTimer that they pump.

#include <chrono>
#include <functional>

class IPeriodicTimer {
public:
    virtual ~IPeriodicTimer() = default;
    // Starts (or restarts) the timer; each period the tick runs once on the owner's thread.
    virtual void Start(std::chrono::milliseconds period, std::function<void()> tick) = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    virtual std::chrono::milliseconds Period() const = 0;
    // Runs the tick also as soon as the descriptor has bytes to read (or has hung up), between the
    // periodic ticks; -1 stops watching. A timer that cannot watch may ignore it: the periodic
    // ticks still read the port.
    virtual void HlidejVstup(int deskriptor) = 0;
};

// A timer that ticks only when told to; for tests and for code that drives the link itself.
class TManualTimer final : public IPeriodicTimer {
public:
    void Start(std::chrono::milliseconds period, std::function<void()> tick) override;
    void Stop() override;
    bool Running() const override { return fRunning; }
    std::chrono::milliseconds Period() const override { return fPeriod; }
    void HlidejVstup(int deskriptor) override { fVstup = deskriptor; }
    // The descriptor to watch, for a loop that polls it; -1 when none.
    int Vstup() const { return fVstup; }
    // Runs the tick once when the timer is running; returns whether it ran.
    bool Pump();
    int Starts() const { return fStarts; }

private:
    std::function<void()> fTick;
    std::chrono::milliseconds fPeriod{0};
    bool fRunning = false;
    int fStarts = 0;
    int fVstup = -1;
};
