#pragma once
// The program's side of the simulator's pseudo-terminal, as the tests play it: opens the slave
// without configuring it, reads what the simulator sends and writes hand-made requests.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

// The simulator's poll, byte by byte.
inline const TBytes kPoll{0xA5, 0x3F, 0x14, 0x80, 0x88, 0x00, 0x00};

class TPeer {
public:
    explicit TPeer(const std::string& path);
    ~TPeer();
    TPeer(const TPeer&) = delete;
    TPeer& operator=(const TPeer&) = delete;

    bool IsOpen() const { return fFd >= 0; }
    int Fd() const { return fFd; }
    void Write(const TBytes& bytes);
    // Everything that arrives within the time (bytes held back from earlier reads first).
    TBytes ReadFor(std::chrono::milliseconds time);
    // Exactly count bytes, or fewer when the time runs out.
    TBytes Read(std::size_t count, std::chrono::milliseconds timeout);
    // Reads until a whole poll has arrived; the bytes before it are returned, the bytes after it
    // kept for the next read. False when none came in time.
    bool WaitPoll(std::chrono::milliseconds timeout, TBytes* before = nullptr);
    // True when the simulator has closed its end.
    bool HungUp(std::chrono::milliseconds timeout);

private:
    bool Fill(std::chrono::steady_clock::time_point deadline);

    int fFd = -1;
    TBytes fPending;
};

// Checksum byte making the covered bytes add up to 0 modulo 256, for tests that build frames.
std::uint8_t TestChecksum(const TBytes& bytes, std::size_t from, std::size_t to);
