#pragma once
// Checks of what went over the line and of what the device's memory became. Each returns an
// empty text when all is well, else what is wrong, for the assertion message.

#include "E2eChain.h"
#include "E2eWire.h"
#include "SimMemory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace e2e {

inline std::string Hex(unsigned value, int digits = 4) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

inline std::string Describe(const TSent& s) {
    return std::string(s.Write() ? "write" : "read") + " kind " + std::to_string(s.Memory()) +
           " at " + Hex(s.Address) + " with " + std::to_string(s.Data.size()) + " data bytes";
}

inline bool FromProgramToDevice(const TSent& s) {
    return s.Source == PC && s.Destination == MDM;
}

inline bool IsStep(const TSent& s, const TStep& step) {
    // A table-entry read goes out without data, a block read carries the data-out buffer.
    return !s.Write() && s.Memory() == step.Memory && s.Address == step.Address &&
           s.Count() == kBlock && s.Data.size() == (step.TableEntry ? 0U : kBlock);
}

// The requests of a read chain: every step in order, each sent at least once and repeated only
// until the next one starts; nothing else.
inline std::string CheckReadRequests(std::span<const TSent> sent, const std::vector<TStep>& steps) {
    std::size_t step = 0;
    bool started = false;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const TSent& s = sent[i];
        const std::string which = "transmission " + std::to_string(i) + " (" + Describe(s) + ")";
        if (!FromProgramToDevice(s)) {
            return which + " is not from 63 to 20";
        }
        if (started && IsStep(s, steps[step])) {
            continue;
        }
        const std::size_t next = started ? step + 1 : 0;
        if (next < steps.size() && IsStep(s, steps[next])) {
            step = next;
            started = true;
            continue;
        }
        return which + " is neither step " + std::to_string(step) + " nor the next one";
    }
    if (!started || step + 1 != steps.size()) {
        return "the chain went out only up to step " + std::to_string(started ? step : 0) + " of " +
               std::to_string(steps.size());
    }
    return {};
}

// The telegrams of a write phase: for each pair in order, its write and its read-back
// alternating, the write first, until the pair is answered; the read-back carrying the staged
// data like the write. Nothing else, and no telegram of a pair once the next pair has begun.
inline std::string CheckWritePairs(std::span<const TSent> sent,
                                   const std::vector<TBlockWrite>& blocks) {
    const auto isWrite = [&](const TSent& s, std::size_t k) {
        return s.Write() && s.Control == 0xD0 && s.Address == blocks[k].Address &&
               std::equal(s.Data.begin(), s.Data.end(), blocks[k].Data.begin(),
                          blocks[k].Data.end());
    };
    const auto isReadBack = [&](const TSent& s, std::size_t k) {
        return !s.Write() && s.Control == 0x50 && s.Address == blocks[k].Address &&
               std::equal(s.Data.begin(), s.Data.end(), blocks[k].Data.begin(),
                          blocks[k].Data.end());
    };
    std::size_t pair = 0;
    bool started = false;
    bool writeNext = true;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const TSent& s = sent[i];
        const std::string which = "transmission " + std::to_string(i) + " (" + Describe(s) + ")";
        if (!FromProgramToDevice(s)) {
            return which + " is not from 63 to 20";
        }
        if (!writeNext) {
            if (!isReadBack(s, pair)) {
                return which + " should be the read-back of pair " + std::to_string(pair);
            }
            writeNext = true;
            continue;
        }
        if (started && isWrite(s, pair)) {
            writeNext = false;
            continue;
        }
        const std::size_t next = started ? pair + 1 : 0;
        if (next < blocks.size() && isWrite(s, next)) {
            pair = next;
            started = true;
            writeNext = false;
            continue;
        }
        return which + " should be the write of pair " + std::to_string(pair) + " or the next";
    }
    if (!started || pair + 1 != blocks.size() || !writeNext) {
        return "the write phase ended at pair " + std::to_string(pair) + " of " +
               std::to_string(blocks.size()) + (writeNext ? "" : " without its read-back");
    }
    return {};
}

// Every byte of both memories (record memory and identification texts).
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
    const auto wh = want.Read(sim::TMemoryKind::HWSW, 0, sim::kMemorySize);
    const auto gh = got.Read(sim::TMemoryKind::HWSW, 0, sim::kMemorySize);
    if (wh != gh) {
        d += (d.empty() ? "" : "\n") + std::string("the identification memory differs");
    }
    return d;
}

} // namespace e2e
