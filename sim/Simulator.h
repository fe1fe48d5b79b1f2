#pragma once
// The simulated communicator: bus master at address 20 on a pseudo-terminal. Each cycle it polls
// the program (63), waits for one request, answers a read of record memory or identification
// texts, applies a write to record memory without answering, pauses, and polls again.
//
// Driving it from a test:
//   sim::TSimulator s(options, memory);      // options.Fast = true for tests
//   s.Start(error);                          // opens the pseudo-terminal, runs on a thread
//   ... open s.SlavePath(), read polls, write requests ...
//   s.Stats(); s.ReadMemory(...);            // safe while it runs
//   s.Stop();                                // or let the destructor stop it
// or call Open() and RunCycle() step by step on the caller's thread.

#include "SimFaults.h"
#include "SimFrame.h"
#include "SimLine.h"
#include "SimMemory.h"
#include "SimOptions.h"
#include "SimStats.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sim {

enum class TCycle : std::uint8_t {
    Polled,  // a poll went out and its answer window and gap have passed
    Idle,    // nothing to poll (nobody on the line, polling stopped, unplugged); waited a moment
    Finished // stop requested, unplugged for good, or the line failed
};

class TSimulator {
public:
    // memory: the starting memory (see LoadStartingMemory); the identification texts of the
    // options are put into it.
    explicit TSimulator(TSimOptions options, TSimMemory memory = {});
    ~TSimulator();
    TSimulator(const TSimulator&) = delete;
    TSimulator& operator=(const TSimulator&) = delete;

    // Opens the pseudo-terminal (and the link of the options).
    bool Open(std::string& error);
    // Opens when not yet open, then runs Run() on a thread of its own.
    bool Start(std::string& error);
    // Asks the run to end and waits for its thread. Safe to call twice.
    void Stop();
    // Only sets a flag; safe from a signal handler.
    void RequestStop() { fStopRequested.store(true); }

    // One cycle on the caller's thread; never blocks much longer than a cycle (at most about
    // 50 ms when idle).
    TCycle RunCycle();
    // Cycles until Finished, a stop request or the time limit; between calls it runs between.
    void Run(const std::function<void()>& between = {});
    bool Finished() const { return fFinished.load(); }
    // The pseudo-terminal failed, or a new one could not be opened after an unplug.
    bool LineFailed() const { return fLineFailed.load(); }

    // Current slave path; it changes when a new pseudo-terminal replaces an unplugged one, and
    // Generation() counts the pseudo-terminals opened.
    std::string SlavePath() const;
    unsigned Generation() const;

    TSimStats Stats() const;
    TSimMemory Memory() const;
    std::vector<std::uint8_t> ReadMemory(TMemoryKind kind, std::uint16_t address,
                                         std::size_t count) const;
    void WriteMemory(TMemoryKind kind, std::uint16_t address, std::span<const std::uint8_t> data);

    // Events worth telling a person (unplugged, new pseudo-terminal, polling stopped); called on
    // the simulator's thread. Set before Start.
    void SetLog(std::function<void(const std::string&)> log) { fLog = std::move(log); }

private:
    bool OpenLine(std::string& error);
    TCycle PollCycle();
    // Sends bytes at the line rate (or at once with Fast); returns when the last byte has left.
    TClock::time_point Transmit(std::span<const std::uint8_t> bytes);
    // Reads until the deadline; with stopOnRequest, returns the first request taken.
    std::optional<TRequest> Listen(TClock::time_point deadline, bool inWindow,
                                   std::optional<TClock::time_point>* firstByte = nullptr);
    // Classifies a good telegram addressed to the device; applies writes. Returns it when taken.
    std::optional<TRequest> Take(std::span<const std::uint8_t> telegram);
    void Answer(const TRequest& request);
    void Log(const std::string& text);
    void Sleep(TClock::duration d);
    void CountFault(TFault fault);

    TSimOptions fOptions;
    TFaultInjector fFaults;
    TFrameScanner fScanner;
    std::unique_ptr<ISimLine> fLine;
    std::function<void(const std::string&)> fLog;

    mutable std::mutex fMutex; // guards the members below
    TSimMemory fMemory;
    TSimStats fStats;
    TLatency fLatency;
    std::string fSlavePath;
    unsigned fGeneration = 0;

    // State of the cycle, touched only by the thread that runs it.
    unsigned fPollsSinceStop = 0;
    unsigned fPollsSinceUnplug = 0;
    std::optional<TClock::time_point> fPausedUntil;
    std::optional<TClock::time_point> fUnpluggedUntil;
    bool fUnplugged = false;
    bool fPeerWasPresent = false;

    std::atomic<bool> fStopRequested{false};
    std::atomic<bool> fFinished{false};
    std::atomic<bool> fLineFailed{false};
    std::thread fThread;
};

} // namespace sim
