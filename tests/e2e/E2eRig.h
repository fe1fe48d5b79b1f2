#pragma once
// The one end-to-end rig: the virtual communicator (sim::TSimulator) on its own thread behind a
// pseudo-terminal, comparisons of its memory, and a pump with a deadline, so that a failure is an
// assertion and never a hang. The link (LinkRig.h), the window (ProgramRig.h) and norlink-cli
// (test_cli_device.cpp) fixtures build on it; each only says what one tick of its program is.
//
//   TE2eRig rig(FastOptions(), SeededMemory(1));
//   ASSERT_TRUE(rig.Start(error)) << error;   // rig.Port() is the slave to open
//   ASSERT_TRUE(rig.RunUntil([&] { return done; }, 20s, kFastTick, tick));

#include "SimFiles.h"
#include "SimMemory.h"
#include "SimOptions.h"
#include "SimStats.h"
#include "Simulator.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// The tests that look at function pump faster than the program's 40 ms tick, for speed.
inline constexpr std::chrono::milliseconds kFastTick = 10ms;
inline constexpr std::chrono::milliseconds kProgramTick = 40ms;
inline constexpr std::size_t kBlock = 16;

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

inline std::string Hex(unsigned value, int digits = 4) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// Every byte of both memories (record memory and identification texts); empty when equal, else
// what differs, for the assertion message.
inline std::string DiffMemory(const sim::TSimMemory& want, const sim::TSimMemory& got) {
    std::string d;
    std::size_t differing = 0;
    const auto w = want.Record();
    const auto g = got.Record();
    for (std::size_t a = 0; a < sim::kMemorySize; ++a) {
        if (w[a] != g[a] && ++differing <= 8) {
            d += "\n  record " + Hex(static_cast<unsigned>(a)) + ": want " + Hex(w[a], 2) +
                 ", got " + Hex(g[a], 2);
        }
    }
    if (differing > 0) {
        d = std::to_string(differing) + " record bytes differ" + d;
    }
    if (want.Read(sim::TMemoryKind::HWSW, 0, sim::kMemorySize) !=
        got.Read(sim::TMemoryKind::HWSW, 0, sim::kMemorySize)) {
        d += (d.empty() ? "" : "\n") + std::string("the identification memory differs");
    }
    return d;
}

// `n` record bytes at `address` as text, to compare with what the program holds.
inline std::string Bytes(const sim::TSimMemory& m, unsigned address, unsigned n) {
    const auto r = m.Record();
    return {r.begin() + address, r.begin() + address + n};
}

// The simulator's options and starting memory from norlink-sim's command line, files included.
struct TSimSetup {
    sim::TSimOptions Options;
    sim::TSimMemory Memory;
    std::string Error;
};
inline TSimSetup FromCommandLine(const std::vector<std::string>& args) {
    const sim::TCommandLine c = sim::ParseCommandLine(args);
    TSimSetup s{c.Options, {}, c.Error};
    if (c.Action == sim::TCommandLine::TAction::Run && s.Error.empty()) {
        sim::LoadStartingMemory(s.Options, s.Memory, s.Error);
    }
    return s;
}

class TE2eRig {
public:
    explicit TE2eRig(sim::TSimOptions options, sim::TSimMemory memory = {})
        : fOptions(options), Sim(std::move(options), std::move(memory)) {}
    // As norlink-sim runs with these arguments; at Stop it writes the files they name.
    explicit TE2eRig(const std::vector<std::string>& args) : TE2eRig(FromCommandLine(args)) {}
    // The simulator's thread ends before whatever the fixture opened on its line closes.
    ~TE2eRig() { Sim.Stop(); }
    TE2eRig(const TE2eRig&) = delete;
    TE2eRig& operator=(const TE2eRig&) = delete;

    bool Start(std::string& error) {
        error = fSetupError;
        return error.empty() && Sim.Start(error);
    }
    // Ends the simulator and writes the memory files its options name; false when one fails.
    bool Stop(std::string& error) {
        Sim.Stop();
        return sim::SaveFinalMemory(fOptions, Sim.Memory(), error);
    }
    // The slave the program opens (a new one after each unplug).
    std::string Port() const { return Sim.SlavePath(); }
    sim::TSimStats Stats() const { return Sim.Stats(); }
    std::string DescribeSim() const { return "simulator: " + sim::FormatStats(Sim.Stats()); }

    // Runs tick() every `period` of wall time until done() or the limit. A late tick is not
    // caught up by a burst: the schedule restarts from now, as a window timer's would.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                  std::chrono::milliseconds period, const std::function<void()>& tick) {
        const auto deadline = TClock::now() + limit;
        auto next = TClock::now();
        for (;;) {
            if (done()) {
                return true;
            }
            if (TClock::now() >= deadline) {
                return false;
            }
            Late = std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - next);
            tick();
            next += period;
            const auto now = TClock::now();
            if (next < now) {
                next = now;
            }
            std::this_thread::sleep_until(next);
        }
    }

private:
    explicit TE2eRig(TSimSetup s)
        : fOptions(s.Options), fSetupError(s.Error),
          Sim(std::move(s.Options), std::move(s.Memory)) {}
    sim::TSimOptions fOptions;
    std::string fSetupError;

public:
    sim::TSimulator Sim;
    // How late the current tick runs against the schedule of RunUntil.
    std::chrono::microseconds Late{};
};

} // namespace e2e
