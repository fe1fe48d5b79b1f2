#pragma once
// The simulator's end of the line. One implementation on a pseudo-terminal (SimPty.h).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

namespace sim {

using TClock = std::chrono::steady_clock;

struct TLineRead {
    std::size_t Count = 0; // bytes read; 0 when nothing came before the deadline
    bool Failed = false;   // the line is unusable
};

class ISimLine {
public:
    virtual ~ISimLine() = default;
    virtual bool IsOpen() const = 0;
    // Whether somebody holds the other end open. Bytes sent while nobody does would be delivered
    // to the next opener as stale traffic; a real line loses them, so the device does not send.
    virtual bool PeerPresent() = 0;
    // Waits until bytes arrive or the deadline passes.
    virtual TLineRead Read(std::span<std::uint8_t> buffer, TClock::time_point deadline) = 0;
    // Puts all bytes on the line; false when they could not all be written.
    virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
    virtual void Close() = 0;
};

} // namespace sim
