#pragma once
// The device side of the bus frame: checksums, building the device's own telegrams, and a
// receiver that finds the telegrams addressed to the device in a byte stream from outside.
// Written independently of the program's telegram code, so that a fault there is not mirrored.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

inline constexpr std::uint8_t kSync = 0xA5;
inline constexpr std::uint8_t kAddressDevice = 20; // the communicator (this simulator)
inline constexpr std::uint8_t kAddressPc = 63;     // the configuration program
inline constexpr std::uint8_t kKindPoll = 4;
inline constexpr std::size_t kHeaderSize = 5;
inline constexpr std::uint8_t kMaxLengthField = 31;
// Data bytes a telegram can carry: the length field also counts the two address bytes.
inline constexpr std::uint8_t kMaxDataBytes = kMaxLengthField - 2;
inline constexpr std::size_t kMaxTelegramSize = kHeaderSize + kMaxLengthField + 2;

enum class TMemoryKind : std::uint8_t { RAM = 0, EEPROM = 1, ZAZNAM = 2, HWSW = 3 };

// The byte that makes the covered bytes add up to 0 modulo 256.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);
bool SumsToZero(std::span<const std::uint8_t> bytes);

// Control byte: bit 7 write, bits 5-6 memory kind, bits 0-4 byte count.
std::uint8_t ControlByte(bool write, TMemoryKind kind, std::uint8_t count);

// A telegram from its parts. block: the data block without its checksum (control byte, address,
// data); its length minus one is the length field, so it must hold 1 to 32 bytes.
std::vector<std::uint8_t> BuildTelegram(std::uint8_t destination, std::uint8_t source,
                                        std::uint8_t kind, std::span<const std::uint8_t> block);

// The device's poll to the program: A5 3F 14 80 88 00 00.
std::vector<std::uint8_t> BuildPoll(std::uint8_t destination = kAddressPc,
                                    std::uint8_t source = kAddressDevice);

// A data telegram (kind 0) carrying data at address; data holds at most kMaxDataBytes.
std::vector<std::uint8_t> BuildDataTelegram(std::uint8_t destination, std::uint8_t source,
                                            std::uint8_t control, std::uint16_t address,
                                            std::span<const std::uint8_t> data);

// The fields of a checked telegram that carries an address (length field 2 or more).
struct TRequest {
    std::uint8_t Destination = 0;
    std::uint8_t Source = 0;
    std::uint8_t Kind = 0;
    std::uint8_t Control = 0;
    bool Write = false;
    TMemoryKind Memory = TMemoryKind::RAM;
    std::uint8_t Count = 0;
    std::uint16_t Address = 0;
    std::vector<std::uint8_t> Data;
};

// Reads a whole, checked telegram; nullopt when it is too short to carry an address or its size
// disagrees with its length field.
std::optional<TRequest> DecodeRequest(std::span<const std::uint8_t> telegram);

enum class TScanKind : std::uint8_t {
    Telegram,  // both checksums good
    BadHeader, // header checksum wrong
    BadData    // header good, data checksum wrong
};

struct TScanEvent {
    TScanKind Kind = TScanKind::Telegram;
    std::vector<std::uint8_t> Bytes; // from the sync byte; the header only for BadHeader
};

// Receiver of the device. A telegram starts at a sync byte followed by the device's address;
// everything else before a start (the 0xFF prefix, noise, other stations' traffic) is skipped.
// After a bad frame only its sync byte is dropped, so a good telegram that began inside the
// bad one is still found. Never holds more than one telegram's worth of unconsumed bytes beyond
// what Feed added since the last Next.
class TFrameScanner {
public:
    explicit TFrameScanner(std::uint8_t ownAddress = kAddressDevice) : fOwn(ownAddress) {}

    void Feed(std::span<const std::uint8_t> bytes);
    // The next complete event, or nullopt when more bytes are needed.
    std::optional<TScanEvent> Next();
    // Forgets a partly received telegram (the device does so whenever it transmits).
    void Clear() { fBuffer.clear(); }
    std::size_t Buffered() const { return fBuffer.size(); }
    std::uint64_t SkippedBytes() const { return fSkipped; }

private:
    void SkipToStart();
    void Consume(std::size_t count);

    std::uint8_t fOwn;
    std::vector<std::uint8_t> fBuffer;
    std::uint64_t fSkipped = 0;
};

} // namespace sim
