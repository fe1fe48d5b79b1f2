#pragma once
// The communicator's memories as the simulator keeps them: the record memory (64 KiB, erased to
// 0xFF) with the SMS configuration, and the identification texts.

#include "SimFrame.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr std::size_t kMemorySize = 0x10000;
inline constexpr std::uint8_t kErased = 0xFF;
inline constexpr std::uint16_t kAddressHwTyp = 0x0C00;
inline constexpr std::uint16_t kAddressVerSw = 0x0C10;
inline constexpr std::uint16_t kAddressVerHw = 0x0C20;
inline constexpr std::size_t kIdentificationSize = 16;

// Record-memory layout of the SMS configuration.
inline constexpr std::uint16_t kPhoneBase = 0x0000;
inline constexpr std::uint16_t kExpanderBase = 0x0100;
inline constexpr std::uint16_t kInputBase = 0x1100;
inline constexpr std::size_t kPhoneCount = 16;
inline constexpr std::size_t kPhoneSize = 16;
inline constexpr std::size_t kExpanders = 8;
inline constexpr std::size_t kInputs = 8;
inline constexpr std::size_t kSlots = 16;
inline constexpr std::size_t kTextSize = 240;
inline constexpr std::size_t kHalfSize = 256;

// Start of the 512-byte block of expander e, or of input v of expander e.
constexpr std::uint16_t ExpanderBlock(std::size_t e) {
    return static_cast<std::uint16_t>(kExpanderBase + 512 * e);
}
constexpr std::uint16_t InputBlock(std::size_t e, std::size_t v) {
    return static_cast<std::uint16_t>(kInputBase + 4096 * e + 512 * v);
}

class TSimMemory {
public:
    TSimMemory();

    // Reads count bytes; addresses wrap at 64 KiB.
    std::vector<std::uint8_t> Read(TMemoryKind kind, std::uint16_t address,
                                   std::size_t count) const;
    // Only record memory and the identification area are kept; other kinds are not stored.
    void Write(TMemoryKind kind, std::uint16_t address, std::span<const std::uint8_t> data);
    bool Holds(TMemoryKind kind) const {
        return kind == TMemoryKind::ZAZNAM || kind == TMemoryKind::HWSW;
    }

    // Puts a text of at most 16 bytes, padded with 0, at an identification address.
    void SetIdentification(std::uint16_t address, std::string_view text);

    std::span<const std::uint8_t> Record() const { return fRecord; }
    std::span<std::uint8_t> Record() { return fRecord; }

    // Raw image of the record memory: exactly kMemorySize bytes.
    bool LoadImage(const std::string& path, std::string& error);
    bool SaveImage(const std::string& path, std::string& error) const;

    bool operator==(const TSimMemory&) const = default;

private:
    // Both hold kMemorySize bytes.
    std::vector<std::uint8_t> fRecord;
    std::vector<std::uint8_t> fHwsw;
};

} // namespace sim
