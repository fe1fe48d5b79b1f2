#include "SimOptions.h"

#include "SimMemory.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace sim {

namespace {

template <typename T>
std::optional<T> Number(const std::string& text, T low, T high) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || p != end || !(value >= low && value <= high)) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    return value;
}

using TSetter = std::function<std::string(TSimOptions&, const std::string&)>;

// Setters return an error text, empty on success.
TSetter Milliseconds(std::chrono::milliseconds TSimOptions::*field, long long low) {
    return [field, low](TSimOptions& o, const std::string& v) -> std::string {
        const auto n = Number<long long>(v, low, 3600000);
        if (!n) {
            return "expects milliseconds " + std::to_string(low) + "..3600000";
        }
        o.*field = std::chrono::milliseconds(*n);
        return {};
    };
}

TSetter FaultMs(std::chrono::milliseconds TFaultOptions::*field) {
    return [field](TSimOptions& o, const std::string& v) -> std::string {
        const auto n = Number<long long>(v, 1, 86400000);
        if (!n) {
            return "expects milliseconds 1..86400000";
        }
        o.Faults.*field = std::chrono::milliseconds(*n);
        return {};
    };
}

TSetter Rate(double TFaultOptions::*field) {
    return [field](TSimOptions& o, const std::string& v) -> std::string {
        const auto n = Number<double>(v, 0.0, 1.0);
        if (!n) {
            return "expects a chance from 0 to 1 (for example 0.25)";
        }
        o.Faults.*field = *n;
        return {};
    };
}

TSetter Count(unsigned TFaultOptions::*field, unsigned high) {
    return [field, high](TSimOptions& o, const std::string& v) -> std::string {
        const auto n = Number<unsigned>(v, 1, high);
        if (!n) {
            return "expects a number 1.." + std::to_string(high);
        }
        o.Faults.*field = *n;
        return {};
    };
}

TSetter Text(std::string TSimOptions::*field, std::size_t limit) {
    return [field, limit](TSimOptions& o, const std::string& v) -> std::string {
        if (limit != 0 && v.size() > limit) {
            return "expects at most " + std::to_string(limit) + " bytes";
        }
        if (limit == 0 && v.empty()) {
            return "expects a path";
        }
        o.*field = v;
        return {};
    };
}

const std::map<std::string, TSetter>& ValueOptions() {
    static const std::map<std::string, TSetter> options{
        {"--link", Text(&TSimOptions::LinkPath, 0)},
        {"--baud",
         [](TSimOptions& o, const std::string& v) -> std::string {
             const auto n = Number<std::uint32_t>(v, 50, 1000000);
             if (!n) {
                 return "expects a bit rate 50..1000000";
             }
             o.Baud = *n;
             return {};
         }},
        {"--answer-timeout", Milliseconds(&TSimOptions::AnswerTimeout, 1)},
        {"--gap", Milliseconds(&TSimOptions::Gap, 0)},
        {"--config", Text(&TSimOptions::ConfigIn, 0)},
        {"--image", Text(&TSimOptions::ImageIn, 0)},
        {"--save-config", Text(&TSimOptions::ConfigOut, 0)},
        {"--save-image", Text(&TSimOptions::ImageOut, 0)},
        {"--hw-type", Text(&TSimOptions::HwTyp, kIdentificationSize)},
        {"--sw-version", Text(&TSimOptions::VerSw, kIdentificationSize)},
        {"--hw-version", Text(&TSimOptions::VerHw, kIdentificationSize)},
        {"--time-limit",
         [](TSimOptions& o, const std::string& v) -> std::string {
             const auto n = Number<double>(v, 0.001, 31536000.0);
             if (!n) {
                 return "expects seconds greater than 0 (for example 2.5)";
             }
             o.TimeLimit = std::chrono::milliseconds(std::llround(*n * 1000.0));
             return {};
         }},
        {"--seed",
         [](TSimOptions& o, const std::string& v) -> std::string {
             const auto n = Number<std::uint64_t>(v, 0, UINT64_MAX);
             if (!n) {
                 return "expects a whole number";
             }
             o.Faults.Seed = *n;
             return {};
         }},
        {"--corrupt-header", Rate(&TFaultOptions::CorruptHeader)},
        {"--corrupt-data", Rate(&TFaultOptions::CorruptData)},
        {"--drop-byte", Rate(&TFaultOptions::DropByte)},
        {"--noise", Rate(&TFaultOptions::Noise)},
        {"--noise-max", Count(&TFaultOptions::NoiseMax, 255)},
        {"--foreign", Rate(&TFaultOptions::Foreign)},
        {"--no-answer", Rate(&TFaultOptions::NoAnswer)},
        {"--stop-after", Count(&TFaultOptions::StopAfter, 1000000000)},
        {"--stop-for", FaultMs(&TFaultOptions::StopFor)},
        {"--unplug-after", Count(&TFaultOptions::UnplugAfter, 1000000000)},
        {"--unplug-for", FaultMs(&TFaultOptions::UnplugFor)},
    };
    return options;
}

} // namespace

TCommandLine ParseCommandLine(std::span<const std::string> args) {
    TCommandLine cl;
    auto fail = [&cl](std::string text) {
        cl.Action = TCommandLine::TAction::Error;
        cl.Error = std::move(text);
        return cl;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            cl.Action = TCommandLine::TAction::Help;
            return cl;
        }
        if (arg == "--fast") {
            cl.Options.Fast = true;
            continue;
        }
        if (arg == "--verbose") {
            cl.Options.Verbose = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            return fail("unexpected argument \"" + arg + "\"");
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) {
            if (name == "--fast" || name == "--verbose") {
                return fail(name + " takes no value");
            }
            return fail("unknown option \"" + name + "\"");
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return fail(name + " needs a value");
        }
        const std::string why = option->second(cl.Options, value);
        if (!why.empty()) {
            return fail(name + " " + why + ", not \"" + value + "\"");
        }
    }
    const TFaultOptions& f = cl.Options.Faults;
    if (f.StopFor.count() > 0 && f.StopAfter == 0) {
        return fail("--stop-for needs --stop-after");
    }
    if (f.UnplugFor.count() > 0 && f.UnplugAfter == 0) {
        return fail("--unplug-for needs --unplug-after");
    }
    return cl;
}

std::string Usage() {
    return R"(Usage: norlink-sim [OPTION]...
Plays the NORLINK GSM communicator (bus address 20) on a new pseudo-terminal: it polls the
configuration program (address 63), answers its reads of record memory and identification texts
and applies its writes. The path of the pseudo-terminal's slave is printed on standard output;
give it to the program (norlink.ini, section "Porty", key "COMn").

Line:
  --link PATH            also make PATH a symbolic link to the slave (replaced when it is one)
  --fast                 send without pacing the bytes at the line rate (for tests)
  --baud N               line rate for pacing, 10 bits a byte (default 4800)
  --answer-timeout MS    how long to wait after a poll for a request (default 120)
  --gap MS               pause after each polling cycle (default 20)

Memory:
  --image FILE           load record memory from a raw image of exactly 65536 bytes
  --config FILE          load telephone numbers, recipients and texts from a settings export
                         file (applied after --image; places it does not mention keep their
                         bytes, erased 0xFF without --image)
  --save-image FILE      write record memory as a raw image when the simulator ends
  --save-config FILE     write the configuration as a settings export file when it ends
  --hw-type TEXT         hardware type text, HWSW 0x0C00, at most 16 bytes (default "NORLINK GSM")
  --sw-version TEXT      software version text, HWSW 0x0C10 (default "SW 1.00")
  --hw-version TEXT      hardware version text, HWSW 0x0C20 (default "HW 1.0")

Run:
  --time-limit SEC       end after SEC seconds (default: run until SIGINT or SIGTERM)
  --verbose              a statistics line on standard error every second, and events
  --help                 show this text

Faults (chances from 0 to 1; the same seed gives the same faults):
  --seed N               seed of the fault streams (default 1)
  --corrupt-header RATE  wrong header checksum, per telegram sent (polls and answers)
  --corrupt-data RATE    wrong data checksum, per telegram sent
  --drop-byte RATE       one byte left out, per telegram sent
  --noise RATE           random bytes between telegrams, per polling cycle
  --noise-max N          at most N noise bytes at a time, 1..255 (default 8)
  --foreign RATE         a telegram of other stations between telegrams, per polling cycle
                         (to 20 from an expander, to an expander 32..47, PCs 55..62)
  --no-answer RATE       a read request left unanswered
  --stop-after N         stop polling after N polls
  --stop-for MS          with --stop-after: resume after MS, and stop again after N more polls
  --unplug-after N       close the pseudo-terminal after N polls (the device is unplugged)
  --unplug-for MS        with --unplug-after: open a new pseudo-terminal after MS (the --link
                         follows it); without it the simulator ends

Statistics go to standard error when the simulator ends and on SIGUSR1.
Exit status: 0 when it ended normally, 1 when a file or the pseudo-terminal failed, 2 for a
malformed command line.
)";
}

} // namespace sim
