#pragma once
// What the simulated communicator counts: its polls, the requests it received and how it took
// them, its answers, bad frames, injected faults, and how quickly the program answered.

#include "SimFaults.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct TLatencySummary {
    std::uint64_t Count = 0;
    std::chrono::microseconds Min{0};
    std::chrono::microseconds Median{0};
    std::chrono::microseconds Max{0};
};

// Time from the last byte of a poll to the first byte of the program's answer. Count, minimum
// and maximum cover the whole run; the median the most recent kWindow answers, so that a
// simulator left running for days keeps a bounded amount of memory.
class TLatency {
public:
    static constexpr std::size_t kWindow = 10000;
    void Add(std::chrono::microseconds sample);
    TLatencySummary Summary() const;

private:
    std::uint64_t fCount = 0;
    std::chrono::microseconds fMin{0};
    std::chrono::microseconds fMax{0};
    std::vector<std::uint32_t> fRecent; // microseconds, a ring of kWindow
    std::size_t fNext = 0;
};

struct TSimStats {
    std::uint64_t Polls = 0;           // polls put on the line
    std::uint64_t RequestsRead = 0;    // read requests taken
    std::uint64_t RequestsWrite = 0;   // write requests applied
    std::uint64_t RequestsIgnored = 0; // good telegrams to the device that it did not take
    std::uint64_t Answers = 0;         // data telegrams sent
    std::uint64_t BadFrames = 0;       // telegrams to the device with a wrong checksum
    std::uint64_t SkippedBytes = 0;    // bytes before a telegram start (0xFF prefix, noise)
    TFaultCounts Faults{};
    TLatencySummary Latency;

    std::uint64_t FaultsTotal() const;
};

// One line: "polls 12, requests 10 (read 8, write 1, ignored 1), answers 8, ...".
std::string FormatStats(const TSimStats& stats);

} // namespace sim
