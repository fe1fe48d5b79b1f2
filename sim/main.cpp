// norlink-sim: the virtual communicator as a command.

#include "SimFiles.h"
#include "SimOptions.h"
#include "Simulator.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

sim::TSimulator* gSimulator = nullptr;
volatile std::sig_atomic_t gStatsWanted = 0;

extern "C" void OnStop(int) {
    if (gSimulator != nullptr) {
        gSimulator->RequestStop();
    }
}

extern "C" void OnStats(int) {
    gStatsWanted = 1;
}

void Catch(int signal, void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: a wait ends early and the loop looks at the flags
    sigaction(signal, &sa, nullptr);
}

void Say(const std::string& text) {
    std::cerr << "norlink-sim: " << text << std::endl;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const sim::TCommandLine cl = sim::ParseCommandLine(args);
    if (cl.Action == sim::TCommandLine::TAction::Help) {
        std::cout << sim::Usage();
        return 0;
    }
    if (cl.Action == sim::TCommandLine::TAction::Error) {
        Say(cl.Error);
        std::cerr << sim::Usage();
        return 2;
    }
    const sim::TSimOptions& options = cl.Options;
    std::signal(SIGPIPE, SIG_IGN);

    sim::TSimMemory memory;
    std::string error;
    if (!sim::LoadStartingMemory(options, memory, error)) {
        Say(error);
        return 1;
    }
    sim::TSimulator simulator(options, memory);
    if (options.Verbose) {
        simulator.SetLog(Say);
    }
    if (!simulator.Open(error)) {
        Say(error);
        return 1;
    }
    std::cout << simulator.SlavePath() << std::endl;

    gSimulator = &simulator;
    Catch(SIGINT, OnStop);
    Catch(SIGTERM, OnStop);
    Catch(SIGUSR1, OnStats);

    unsigned generation = simulator.Generation();
    auto nextLine = sim::TClock::now() + std::chrono::seconds(1);
    simulator.Run([&] {
        if (simulator.Generation() != generation) {
            generation = simulator.Generation();
            std::cout << simulator.SlavePath() << std::endl;
        }
        const bool second = options.Verbose && sim::TClock::now() >= nextLine;
        if (gStatsWanted != 0 || second) {
            gStatsWanted = 0;
            nextLine = sim::TClock::now() + std::chrono::seconds(1);
            Say(sim::FormatStats(simulator.Stats()));
        }
    });
    gSimulator = nullptr;

    Say(sim::FormatStats(simulator.Stats()));
    if (!sim::SaveFinalMemory(options, simulator.Memory(), error)) {
        Say(error);
        return 1;
    }
    if (simulator.LineFailed()) {
        Say("the pseudo-terminal failed");
        return 1;
    }
    return 0;
}
