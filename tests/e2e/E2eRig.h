#pragma once
// The program's link, whole and real, against the simulated communicator: TKomunikace with its
// TSerialDriver on a POSIX port (recorded, see E2eWire.h) opened on the simulator's pseudo-
// terminal, the receive path TPrijemTLG with the communication log, and a chain decoder in the
// window's place. The simulator runs on its own thread; the test thread pumps the driver's timer
// as the window's 40 ms timer would, with an overall deadline so that nothing can hang.
//
//   TLinkRig rig(FastOptions(), SeededMemory(1));
//   ASSERT_TRUE(rig.Start(error)) << error;
//   rig.Decoder.StartRead(PhoneChain());
//   ASSERT_TRUE(rig.RunUntil([&] { return rig.Decoder.Idle(); }, 20s)) << rig.Describe();

#include "E2eChain.h"
#include "E2eWire.h"
#include "SimStats.h"
#include "Simulator.h"
#include "port/Timer.h"
#include "spojeni/ComLog.h"
#include "spojeni/Komunikace.h"
#include "spojeni/PrijemTLG.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// The tests that look at function pump faster than the program's 40 ms tick, for speed.
inline constexpr std::chrono::milliseconds kFastTick = 10ms;
inline constexpr std::chrono::milliseconds kProgramTick = 40ms;
// The COM number the rig maps to the simulator's pseudo-terminal, as norlink.ini would.
inline constexpr std::uint8_t kComNumber = 9;

// Unpaced simulator. The answer window is wide against a stalled test thread on a loaded machine
// (a request that misses it is sent again, but a write that misses it would be confirmed by the
// read-back all the same). The gap lets a 10 ms tick take the answer before the next poll comes,
// so that the receive path seldom drops a poll that shares a chunk with the answer.
inline sim::TSimOptions FastOptions(std::uint64_t seed = 7) {
    sim::TSimOptions o;
    o.Fast = true;
    o.AnswerTimeout = 200ms;
    o.Gap = 30ms;
    o.HwTyp = "NORLINK E2E-7";
    o.VerSw = "SW 3.14 b.9";
    o.VerHw = "HW rev.C/2";
    o.Faults.Seed = seed;
    return o;
}

// What the receive path logged, tallied tick by tick (the log keeps only the last 501 lines).
struct TLogTally {
    unsigned HeaderErrors = 0;
    unsigned DataErrors = 0;
    unsigned Refused = 0;
    unsigned Polls = 0;
    unsigned DataTelegrams = 0;
    std::vector<std::string> Errors; // the first few lines about discarded telegrams
};

class TLinkRig {
public:
    explicit TLinkRig(sim::TSimOptions options, sim::TSimMemory memory = {})
        : Sim(std::move(options), std::move(memory)) {}
    ~TLinkRig() {
        // The simulator's thread ends first; the link then closes its port itself.
        Sim.Stop();
    }
    TLinkRig(const TLinkRig&) = delete;
    TLinkRig& operator=(const TLinkRig&) = delete;

    // Starts the simulator and sets the link up as the window's start-up does, on the
    // simulator's pseudo-terminal.
    bool Start(std::string& error) {
        if (!Sim.Start(error)) {
            return false;
        }
        Link.NastavObsluhuPrijetiDat(Prijem.Obsluha());
        Link.Initialize();
        Link.NastavComPort(kComNumber);
        Link.NastavAdresoveLimity(0, 0xFFFF);
        Link.Com().SetOnConnectionLost([this](TSerialDriver&, const std::string& reason) {
            ++LostCount;
            LostReason = reason;
        });
        return Connect(error);
    }

    // Opens the link on the simulator's current pseudo-terminal.
    bool Connect(std::string& error) {
        Link.Com().SetPortMap({{kComNumber, Sim.SlavePath()}});
        if (!Link.NavazSpojeni(4800)) {
            error = Link.Com().LastDevicePath() + ": " + Link.Com().LastError();
            return false;
        }
        return true;
    }

    // One timer tick. Counts a tick that put bytes on the line without a poll having come in.
    bool Pump() {
        const unsigned polls = Decoder.Polls();
        const std::size_t written = Wire->BytesWritten;
        const bool ran = Timer->Pump();
        if (Wire->BytesWritten != written && Decoder.Polls() == polls) {
            ++UnsolicitedSends;
        }
        if (Decoder.Polls() != polls) {
            PollTickLateness.push_back(fLate);
        }
        fLate = {};
        DrainLog();
        ++Ticks;
        return ran;
    }

    // Pumps every `period` of wall time until done() or the limit. A late tick is not caught up
    // by a burst: the schedule restarts from now, as a window timer's would.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                  std::chrono::milliseconds period = kFastTick,
                  const std::function<void()>& each = {}) {
        const auto deadline = TClock::now() + limit;
        auto next = TClock::now();
        for (;;) {
            if (done()) {
                return true;
            }
            if (TClock::now() >= deadline) {
                return false;
            }
            fLate = std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - next);
            Pump();
            if (each) {
                each();
            }
            next += period;
            const auto now = TClock::now();
            if (next < now) {
                next = now;
            }
            std::this_thread::sleep_until(next);
        }
    }

    bool RunUntilIdle(std::chrono::milliseconds limit,
                      std::chrono::milliseconds period = kFastTick) {
        return RunUntil([this] { return Decoder.Idle(); }, limit, period);
    }

    TParsedWire Sent() const { return ParseWire(*Wire); }

    // Everything worth seeing when a run fails.
    std::string Describe() const {
        const sim::TSimStats s = Sim.Stats();
        std::string d = "simulator: " + sim::FormatStats(s);
        d += "\nlink: ticks " + std::to_string(Ticks) + ", polls taken " +
             std::to_string(Decoder.Polls()) + ", steps done " +
             std::to_string(Decoder.StepsDone()) + ", pairs done " +
             std::to_string(Decoder.PairsDone()) + ", mismatched answers " +
             std::to_string(Decoder.Mismatched()) + ", queue " +
             std::to_string(Link.PocetZaznamuFronty()) + " entries, connected " +
             (Link.Com().Connected() ? "yes" : "no") + ", bytes written " +
             std::to_string(Wire->BytesWritten) + ", read " + std::to_string(Wire->BytesRead);
        d += "\nlog: header errors " + std::to_string(Tally.HeaderErrors) + ", data errors " +
             std::to_string(Tally.DataErrors) + ", refused " + std::to_string(Tally.Refused);
        for (const std::string& e : Tally.Errors) {
            d += "\n  " + e;
        }
        return d;
    }

    sim::TSimulator Sim;
    std::shared_ptr<TWire> Wire = std::make_shared<TWire>();

private:
    std::unique_ptr<TManualTimer> fTimer = std::make_unique<TManualTimer>();

public:
    TManualTimer* Timer = fTimer.get();
    TKomunikace Link{std::move(fTimer), std::make_unique<TRecordingPort>(Wire)};
    TComLog Log;
    TChainDecoder Decoder{Link};
    TPrijemTLG Prijem{Link, Decoder, Log};

    TLogTally Tally;
    unsigned Ticks = 0;
    unsigned UnsolicitedSends = 0;
    unsigned LostCount = 0;
    std::string LostReason;
    // For each tick that took a poll, how late it ran against the schedule of RunUntil.
    std::vector<std::chrono::microseconds> PollTickLateness;

private:
    std::chrono::microseconds fLate{};

    void DrainLog() {
        // Oldest first.
        for (std::size_t i = Log.Count(); i-- > 0;) {
            const std::string line(Log[i].Message());
            const bool error = line.find("CRC") != std::string::npos ||
                               line.find("TLG:") != std::string::npos ||
                               line.find("Pozice:") != std::string::npos;
            if (line.find("Vadné CRC hlavicky,TLG zahozen") != std::string::npos) {
                ++Tally.HeaderErrors;
            } else if (line.find("Vadné CRC dat,TLG zahozen") != std::string::npos) {
                ++Tally.DataErrors;
            } else if (line.find("TLG nepropusten") != std::string::npos) {
                ++Tally.Refused;
            } else if (line.find("Prisla vyzva") != std::string::npos) {
                ++Tally.Polls;
            } else if (line.find("Prisly data") != std::string::npos) {
                ++Tally.DataTelegrams;
            }
            if (error && Tally.Errors.size() < 12) {
                Tally.Errors.push_back(line);
            }
        }
        Log.Clear();
    }
};

} // namespace e2e
