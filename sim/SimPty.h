#pragma once
// The device end of a pseudo-terminal: the simulator holds the master, the program opens the
// slave like a serial port. Both sides are raw (no echo, no line discipline) before the program
// configures anything.

#include "SimLine.h"

#include <string>

namespace sim {

class TPseudoTerminal final : public ISimLine {
public:
    TPseudoTerminal() = default;
    ~TPseudoTerminal() override;
    TPseudoTerminal(const TPseudoTerminal&) = delete;
    TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

    // Opens a new pseudo-terminal; with linkPath, also points a symbolic link there at the
    // slave (replacing an older link, never a regular file). False with the reason in error.
    bool Open(const std::string& linkPath, std::string& error);
    const std::string& SlavePath() const { return fSlavePath; }

    bool IsOpen() const override { return fMaster >= 0; }
    bool PeerPresent() override;
    TLineRead Read(std::span<std::uint8_t> buffer, TClock::time_point deadline) override;
    bool Write(std::span<const std::uint8_t> bytes) override;
    // Closes the master (the program sees the device vanish) and removes the link when it still
    // points at this slave.
    void Close() override;

private:
    int fMaster = -1;
    std::string fSlavePath;
    std::string fLinkPath;
};

} // namespace sim
