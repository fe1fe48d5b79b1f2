#pragma once
// What the program put on the line. The real POSIX port is wrapped so that every byte the link
// writes is recorded with the time it went out; the recording is then split into transmissions
// (0xFF, then one telegram) by a reader written here, apart from the program's telegram code.

#include "ForwardingPort.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

using TClock = std::chrono::steady_clock;

struct TWireChunk {
    TClock::time_point When;
    std::vector<std::uint8_t> Bytes;
};

// Shared between the port (owned by the driver) and the test, which reads it at any time.
struct TWire {
    std::vector<TWireChunk> Written;
    std::size_t BytesWritten = 0;
    std::size_t BytesRead = 0;
    std::size_t Opens = 0;
};

// The real port with every write and read counted. Forwards everything unchanged.
class TRecordingPort final : public TForwardingPort {
public:
    explicit TRecordingPort(std::shared_ptr<TWire> wire) : fWire(std::move(wire)) {}

    bool Open(const std::string& path) override {
        const bool ok = Inner().Open(path);
        if (ok) {
            ++fWire->Opens;
        }
        return ok;
    }
    TIoResult Read(std::span<std::uint8_t> buffer) override {
        const TIoResult r = Inner().Read(buffer);
        fWire->BytesRead += r.Count;
        return r;
    }
    TIoResult Write(std::span<const std::uint8_t> data) override {
        const TIoResult r = Inner().Write(data);
        if (r.Count > 0) {
            const auto taken = data.first(std::min(r.Count, data.size()));
            fWire->Written.push_back({TClock::now(), {taken.begin(), taken.end()}});
            fWire->BytesWritten += taken.size();
        }
        return r;
    }

private:
    std::shared_ptr<TWire> fWire;
};

// One transmission of the program, read back from the line.
struct TSent {
    TClock::time_point When;
    std::uint8_t Destination = 0;
    std::uint8_t Source = 0;
    std::uint8_t Control = 0;
    std::uint16_t Address = 0;
    std::vector<std::uint8_t> Data;

    bool Write() const { return (Control & 0x80U) != 0; }
    std::uint8_t Memory() const { return static_cast<std::uint8_t>((Control >> 5) & 3U); }
    std::uint8_t Count() const { return Control & 0x1FU; }
};

struct TParsedWire {
    std::vector<TSent> Sent;
    std::string Error; // empty when every byte belonged to a well-formed transmission
};

inline std::uint8_t WireSum(std::span<const std::uint8_t> bytes) {
    unsigned s = 0;
    for (const std::uint8_t b : bytes) {
        s += b;
    }
    return static_cast<std::uint8_t>(s);
}

// Splits the recording into transmissions: 0xFF, a five-byte header whose bytes sum to 0, and a
// data block of (length field + 2) bytes that sums to 0. Anything else is an error.
inline TParsedWire ParseWire(const TWire& wire) {
    TParsedWire out;
    std::vector<std::uint8_t> all;
    std::vector<TClock::time_point> when;
    for (const TWireChunk& c : wire.Written) {
        all.insert(all.end(), c.Bytes.begin(), c.Bytes.end());
        when.insert(when.end(), c.Bytes.size(), c.When);
    }
    std::size_t i = 0;
    while (i < all.size()) {
        const auto at = " at byte " + std::to_string(i);
        if (all[i] != 0xFF) {
            out.Error = "no 0xFF prefix" + at;
            return out;
        }
        if (all.size() - i < 1 + 5) {
            out.Error = "transmission cut short in its header" + at;
            return out;
        }
        const std::span<const std::uint8_t> header(all.data() + i + 1, 5);
        if (header[0] != 0xA5 || WireSum(header) != 0) {
            out.Error = "bad header" + at;
            return out;
        }
        const std::size_t block = (header[3] & 0x1FU) + 2U;
        if (all.size() - i - 6 < block) {
            out.Error = "transmission cut short in its data" + at;
            return out;
        }
        const std::span<const std::uint8_t> data(all.data() + i + 6, block);
        if (WireSum(data) != 0 || block < 4) {
            out.Error = "bad data block" + at;
            return out;
        }
        TSent s;
        s.When = when[i];
        s.Destination = header[1];
        s.Source = header[2];
        s.Control = data[0];
        s.Address = static_cast<std::uint16_t>(data[1] | (data[2] << 8));
        s.Data.assign(data.begin() + 3, data.end() - 1);
        out.Sent.push_back(std::move(s));
        i += 1 + 5 + block;
    }
    return out;
}

} // namespace e2e
