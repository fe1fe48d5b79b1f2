#pragma once
// Faults the simulated communicator can inject, each with its own rate or count and its own
// random stream derived from one seed, so that enabling one fault does not change when another
// strikes.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

enum class TFault : std::uint8_t {
    CorruptHeader, // header checksum of an outgoing telegram made wrong
    CorruptData,   // data checksum of an outgoing telegram made wrong
    DropByte,      // one byte of an outgoing telegram left out
    Noise,         // random bytes between telegrams
    Foreign,       // a telegram of other stations between telegrams
    NoAnswer,      // a read request left unanswered
    StopPolling,   // polling stopped (for a while or for good)
    Unplug         // the pseudo-terminal closed
};
inline constexpr std::size_t kFaultKinds = 8;
const char* FaultName(TFault fault);

struct TFaultOptions {
    std::uint64_t Seed = 1;
    // Chances 0..1: per outgoing telegram (poll or answer) for the first three, per poll cycle
    // for noise and foreign traffic, per read request for a missing answer.
    double CorruptHeader = 0;
    double CorruptData = 0;
    double DropByte = 0;
    double Noise = 0;
    double Foreign = 0;
    double NoAnswer = 0;
    unsigned NoiseMax = 8; // noise bytes per burst: 1..NoiseMax
    // Stop polling after this many polls (0: never); with StopFor > 0 polling resumes after that
    // time and stops again after the next StopAfter polls, else it stays stopped.
    unsigned StopAfter = 0;
    std::chrono::milliseconds StopFor{0};
    // Close the pseudo-terminal after this many polls (0: never); with UnplugFor > 0 a new one is
    // opened after that time, else the simulator ends.
    unsigned UnplugAfter = 0;
    std::chrono::milliseconds UnplugFor{0};
};

using TFaultCounts = std::array<std::uint64_t, kFaultKinds>;

// A small reproducible generator (splitmix64): the same seed gives the same faults everywhere.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : fState(seed) {}
    std::uint64_t Next();
    bool Chance(double rate);             // true with probability rate (0 never, 1 always)
    std::uint32_t Below(std::uint32_t n); // 0..n-1; 0 when n is 0
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Next() >> 56); }

private:
    std::uint64_t fState;
};

class TFaultInjector {
public:
    explicit TFaultInjector(const TFaultOptions& options);

    // Damages an outgoing telegram as the rates say; counts what it did.
    void Damage(std::vector<std::uint8_t>& telegram, TFaultCounts& counts);
    // Bytes to put on the line between telegrams this cycle (noise, then other stations'
    // telegrams); empty most of the time.
    std::vector<std::uint8_t> Interleave(TFaultCounts& counts);
    bool SkipAnswer(TFaultCounts& counts);

    const TFaultOptions& Options() const { return fOptions; }

private:
    TRandom& Stream(TFault fault) { return fStreams[static_cast<std::size_t>(fault)]; }
    std::vector<std::uint8_t> ForeignTelegram(TRandom& r);

    TFaultOptions fOptions;
    std::vector<TRandom> fStreams;
};

} // namespace sim
