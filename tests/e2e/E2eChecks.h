#pragma once
// Checks of what went over the line. Each returns an empty text when all is well, else what is
// wrong, for the assertion message.

#include "E2eData.h"
#include "E2eRig.h"
#include "E2eWire.h"
#include "operace/Operace.h"
#include "spojeni/Komunikace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace e2e {

inline std::string Describe(const TSent& s) {
    return std::string(s.Write() ? "write" : "read") + " kind " + std::to_string(s.Memory()) +
           " at " + Hex(s.Address) + " with " + std::to_string(s.Data.size()) + " data bytes";
}

inline bool FromProgramToDevice(const TSent& s) {
    return s.Source == PC && s.Destination == MDM;
}

// One read request of 16 bytes.
struct TRequest {
    std::uint8_t Memory = ZAZNAM;
    std::uint16_t Address = 0;
};

// The phone-number read: the three identification texts, then the 16 numbers.
inline std::vector<TRequest> PhoneChain() {
    std::vector<TRequest> steps{{HWSW, 0x0C00}, {HWSW, 0x0C10}, {HWSW, 0x0C20}};
    for (std::uint16_t k = 0; k < 16; ++k) {
        steps.push_back({ZAZNAM, static_cast<std::uint16_t>(k * kBlock)});
    }
    return steps;
}

inline bool IsStep(const TSent& s, const TRequest& step) {
    return !s.Write() && s.Memory() == step.Memory && s.Address == step.Address &&
           s.Count() == kBlock;
}

// The requests of a read: every step in order, each sent at least once and repeated only until
// the next one starts; nothing else.
inline std::string CheckReadRequests(std::span<const TSent> sent,
                                     const std::vector<TRequest>& steps) {
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

// Where the write pairs end: after the last write and its read-back.
inline std::size_t PairsEnd(std::span<const TSent> sent) {
    for (std::size_t i = sent.size(); i-- > 0;) {
        if (sent[i].Write()) {
            return std::min(i + 2, sent.size());
        }
    }
    return 0;
}

// The telegrams of a write phase: for each pair in order, its write and its read-back
// alternating, the write first, until the pair is answered. The read-back reads the written
// block carrying the staged data like the write, or, given `readBackAt`, that block. Nothing
// else, and no telegram of a pair once the next pair has begun.
inline std::string CheckWritePairs(std::span<const TSent> sent,
                                   const std::vector<TBlockWrite>& blocks,
                                   std::optional<std::uint16_t> readBackAt = std::nullopt) {
    const auto isWrite = [&](const TSent& s, std::size_t k) {
        return s.Write() && s.Control == 0xD0 && s.Address == blocks[k].Address &&
               std::equal(s.Data.begin(), s.Data.end(), blocks[k].Data.begin(),
                          blocks[k].Data.end());
    };
    const auto isReadBack = [&](const TSent& s, std::size_t k) {
        if (s.Write() || s.Control != 0x50) {
            return false;
        }
        return readBackAt ? s.Address == *readBackAt
                          : s.Address == blocks[k].Address &&
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

// The blocks in the order the writer sent them, which must be the blocks asked for.
inline std::vector<TBlockWrite> InWriteOrder(const std::vector<TBlockWrite>& blocks,
                                             const TZapsaneBloky& z) {
    std::vector<TBlockWrite> ordered;
    for (const std::uint16_t a : z.Bloky) {
        const auto it = std::find_if(blocks.begin(), blocks.end(),
                                     [a](const TBlockWrite& w) { return w.Address == a; });
        EXPECT_NE(it, blocks.end()) << "a write of " << Hex(a) << " nobody asked for";
        if (it != blocks.end()) {
            ordered.push_back(*it);
        }
    }
    EXPECT_EQ(ordered.size(), blocks.size());
    return ordered;
}

} // namespace e2e
