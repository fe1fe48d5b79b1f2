#pragma once
// How a simulator run is set up, and the norlink-sim command line that sets it.

#include "SimFaults.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace sim {

struct TSimOptions {
    std::string LinkPath; // symbolic link to the slave, if any
    bool Fast = false;    // no pacing at the line rate
    std::uint32_t Baud = 4800;
    std::chrono::milliseconds AnswerTimeout{120};
    std::chrono::milliseconds Gap{20};

    std::string HwTyp = "NORLINK GSM";
    std::string VerSw = "SW 1.00";
    std::string VerHw = "HW 1.0";
    std::string ConfigIn;  // export file loaded at start
    std::string ImageIn;   // raw record-memory image loaded at start (before ConfigIn)
    std::string ConfigOut; // export file written at the end
    std::string ImageOut;  // raw image written at the end

    std::chrono::milliseconds TimeLimit{0}; // 0: until stopped
    bool Verbose = false;
    TFaultOptions Faults;
};

struct TCommandLine {
    enum class TAction : std::uint8_t { Run, Help, Error };
    TAction Action = TAction::Run;
    TSimOptions Options;
    std::string Error; // for TAction::Error
};

// args: the arguments after the program name. Options take their value as the next argument or
// after '=' (--gap=5).
TCommandLine ParseCommandLine(std::span<const std::string> args);
std::string Usage();

} // namespace sim
