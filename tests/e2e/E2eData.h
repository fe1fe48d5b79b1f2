#pragma once
// Distinctive memory contents for the end-to-end tests.
//
// Blocks that travel from the device to the program are made safe against one blind spot of the
// additive checksum: when the device's answer loses a byte, the receive path completes the
// telegram with the first byte of whatever follows, and every telegram begins with 0xA5. If the
// lost byte was 0xA5 too, the sum is unchanged and a shifted telegram would be accepted. So no
// such block holds 0xA5 in its address, data or checksum; the faults under test then always
// show up as checksum errors, as they must.

#include "E2eRig.h"
#include "SimMemory.h"
#include "stav/promenne.h"

#include <gtest/gtest.h>

#include <array>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace e2e {

using TBlockData = std::array<std::uint8_t, kBlock>;

struct TBlockWrite {
    std::uint16_t Address = 0;
    TBlockData Data{};
};

inline constexpr std::uint8_t kSyncByte = 0xA5;
// Control bytes of the device's answers: a read of 16 bytes of record memory or texts.
inline constexpr std::uint8_t kZaznamRead = 0x50;
inline constexpr std::uint8_t kHwswRead = 0x70;

// splitmix64: reproducible from its seed.
class TPattern {
public:
    explicit TPattern(std::uint64_t seed) : fState(seed) {}
    std::uint8_t Next() {
        fState += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = fState;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<std::uint8_t>((z ^ (z >> 31)) >> 56);
    }

private:
    std::uint64_t fState;
};

inline std::uint8_t AnswerChecksum(std::uint8_t control, std::uint16_t address,
                                   std::span<const std::uint8_t> data) {
    unsigned s = control + (address & 0xFFU) + (address >> 8);
    for (const std::uint8_t b : data) {
        s += b;
    }
    return static_cast<std::uint8_t>(-s);
}

// No 0xA5 in the address bytes, the data or the checksum of the answer carrying the block.
inline bool SafeAnswer(std::uint8_t control, std::uint16_t address,
                       std::span<const std::uint8_t> data) {
    if ((address & 0xFFU) == kSyncByte || (address >> 8) == kSyncByte) {
        return false;
    }
    for (const std::uint8_t b : data) {
        if (b == kSyncByte) {
            return false;
        }
    }
    return AnswerChecksum(control, address, data) != kSyncByte;
}

// 16 bytes unique to the address and salt: nine digits (a phone number), then bytes that include
// the end mark 0, erased 0xFF and arbitrary values. Adjusted until the answer is safe.
inline TBlockData DistinctiveBlock(std::uint16_t address, std::uint32_t salt,
                                   std::uint8_t control = kZaznamRead) {
    TPattern p((std::uint64_t{salt} << 16) ^ address ^ 0x5EEDULL);
    TBlockData b{};
    for (std::size_t i = 0; i < 9; ++i) {
        b[i] = static_cast<std::uint8_t>('0' + p.Next() % 10);
    }
    b[0] = static_cast<std::uint8_t>('0' + (address >> 4) % 10);
    b[9] = 0x00;
    b[10] = 0xFF;
    for (std::size_t i = 11; i < kBlock; ++i) {
        b[i] = p.Next();
    }
    // An address whose own bytes hold 0xA5 cannot be mended here; the tests use none.
    for (;;) {
        for (auto& v : b) {
            if (v == kSyncByte) {
                v = 0x5A;
            }
        }
        if (AnswerChecksum(control, address, b) != kSyncByte) {
            return b;
        }
        ++b[kBlock - 1];
    }
}

// A number of 16 digits unique to the address and salt, so the program holds every byte of its
// block; the last digit adjusted until the answer is safe.
inline TBlockData PhoneBlock(std::uint16_t address, std::uint32_t salt) {
    TPattern p((std::uint64_t{salt} << 16) ^ address ^ 0xCA11ULL);
    TBlockData b{};
    for (auto& v : b) {
        v = static_cast<std::uint8_t>('0' + p.Next() % 10);
    }
    while (AnswerChecksum(kZaznamRead, address, b) == kSyncByte) {
        b[kBlock - 1] = static_cast<std::uint8_t>('0' + (b[kBlock - 1] - '0' + 1) % 10);
    }
    return b;
}

inline std::string Text(const TBlockData& b) {
    return {b.begin(), b.end()};
}

// Record memory filled with a reproducible pattern (so that a stray write anywhere shows), the
// phone blocks with distinctive, answer-safe numbers.
inline sim::TSimMemory SeededMemory(std::uint32_t salt) {
    sim::TSimMemory m;
    TPattern p(0xC0FFEEULL + salt);
    for (auto& v : m.Record()) {
        v = p.Next();
    }
    for (std::uint16_t k = 0; k < 16; ++k) {
        const auto address = static_cast<std::uint16_t>(k * kBlock);
        const TBlockData b = PhoneBlock(address, salt);
        m.Write(sim::TMemoryKind::ZAZNAM, address, b);
    }
    return m;
}

// Blocks to write at the given addresses: distinctive, answer-safe (their read-back carries them)
// and each different from what the memory holds there now.
inline std::vector<TBlockWrite> WriteSet(const sim::TSimMemory& current,
                                         std::span<const std::uint16_t> addresses,
                                         std::uint32_t salt) {
    std::vector<TBlockWrite> blocks;
    for (const std::uint16_t a : addresses) {
        TBlockWrite w{a, DistinctiveBlock(a, salt)};
        for (std::uint32_t extra = 1; current.Read(sim::TMemoryKind::ZAZNAM, a, kBlock) ==
                                      std::vector<std::uint8_t>(w.Data.begin(), w.Data.end());
             ++extra) {
            w.Data = DistinctiveBlock(a, salt + extra);
        }
        blocks.push_back(w);
    }
    return blocks;
}

// The recipient list the program keeps for a list block (the simulator's layout: each expander
// and input block holds two lists, 256 bytes apart).
inline TPrijemci& List(TNORLINK& image, std::uint16_t address) {
    for (std::size_t e = 0; e < 8; ++e) {
        if (address == sim::ExpanderBlock(e)) {
            return image.TelCislaPoruchaKom[e];
        }
        if (address == sim::ExpanderBlock(e) + 256) {
            return image.TelCislaObnovaKom[e];
        }
        for (std::size_t v = 0; v < 8; ++v) {
            if (address == sim::InputBlock(e, v)) {
                return image.TelCislaSepnuti[e][v];
            }
            if (address == sim::InputBlock(e, v) + 256) {
                return image.TelCislaRozpojeni[e][v];
            }
        }
    }
    ADD_FAILURE() << Hex(address) << " holds no recipient list";
    return image.TelCislaPoruchaKom[0];
}

// The working image asks for the blocks: recipient lists taken as they are.
inline void PutLists(TNORLINK& image, const std::vector<TBlockWrite>& blocks) {
    for (const TBlockWrite& w : blocks) {
        std::copy(w.Data.begin(), w.Data.end(), List(image, w.Address).begin());
    }
}

// The memory as it must be once the blocks are written.
inline sim::TSimMemory Written(sim::TSimMemory memory, const std::vector<TBlockWrite>& blocks) {
    for (const TBlockWrite& w : blocks) {
        memory.Write(sim::TMemoryKind::ZAZNAM, w.Address, w.Data);
    }
    return memory;
}

// Identification texts as the simulator stores them: the text padded with 0 to 16 bytes.
inline std::vector<std::uint8_t> PaddedText(const std::string& text) {
    std::vector<std::uint8_t> v(text.begin(), text.end());
    v.resize(kBlock, 0);
    return v;
}

// An identification text as the program holds it: all 16 bytes.
inline std::vector<std::uint8_t> Held(const TIdentText& text) {
    return {text.Bytes().begin(), text.Bytes().end()};
}

} // namespace e2e
