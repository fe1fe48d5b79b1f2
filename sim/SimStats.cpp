#include "SimStats.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace sim {

void TLatency::Add(std::chrono::microseconds sample) {
    if (sample.count() < 0) {
        sample = std::chrono::microseconds{0};
    }
    if (fCount == 0 || sample < fMin) {
        fMin = sample;
    }
    if (fCount == 0 || sample > fMax) {
        fMax = sample;
    }
    ++fCount;
    const auto us = static_cast<std::uint32_t>(
        std::min<std::int64_t>(sample.count(), std::int64_t{0xFFFFFFFF}));
    if (fRecent.size() < kWindow) {
        fRecent.push_back(us);
    } else {
        fRecent[fNext] = us;
    }
    fNext = (fNext + 1) % kWindow;
}

TLatencySummary TLatency::Summary() const {
    TLatencySummary s;
    s.Count = fCount;
    if (fCount == 0) {
        return s;
    }
    s.Min = fMin;
    s.Max = fMax;
    std::vector<std::uint32_t> sorted = fRecent;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    const std::uint64_t median =
        n % 2 == 1 ? sorted[n / 2] : (std::uint64_t{sorted[n / 2 - 1]} + sorted[n / 2]) / 2;
    s.Median = std::chrono::microseconds{static_cast<std::int64_t>(median)};
    return s;
}

std::uint64_t TSimStats::FaultsTotal() const {
    std::uint64_t total = 0;
    for (std::uint64_t n : Faults) {
        total += n;
    }
    return total;
}

namespace {

std::string Ms(std::chrono::microseconds us) {
    std::array<char, 32> buf{};
    std::snprintf(buf.data(), buf.size(), "%.1f", static_cast<double>(us.count()) / 1000.0);
    return buf.data();
}

} // namespace

std::string FormatStats(const TSimStats& s) {
    const std::uint64_t requests = s.RequestsRead + s.RequestsWrite + s.RequestsIgnored;
    std::string out = "polls " + std::to_string(s.Polls) + ", requests " +
                      std::to_string(requests) + " (read " + std::to_string(s.RequestsRead) +
                      ", write " + std::to_string(s.RequestsWrite) + ", ignored " +
                      std::to_string(s.RequestsIgnored) + "), answers " +
                      std::to_string(s.Answers) + ", bad frames " + std::to_string(s.BadFrames) +
                      ", skipped bytes " + std::to_string(s.SkippedBytes) + ", faults " +
                      std::to_string(s.FaultsTotal());
    std::string detail;
    for (std::size_t i = 0; i < kFaultKinds; ++i) {
        if (s.Faults[i] != 0) {
            detail += (detail.empty() ? "" : ", ") +
                      std::string(FaultName(static_cast<TFault>(i))) + " " +
                      std::to_string(s.Faults[i]);
        }
    }
    if (!detail.empty()) {
        out += " (" + detail + ")";
    }
    out += ", latency ";
    if (s.Latency.Count == 0) {
        out += "none";
    } else {
        out += "ms min " + Ms(s.Latency.Min) + " median " + Ms(s.Latency.Median) + " max " +
               Ms(s.Latency.Max) + " (" + std::to_string(s.Latency.Count) + ")";
    }
    return out;
}

} // namespace sim
