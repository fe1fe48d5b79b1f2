// The built norlink-sim program: its exit codes, messages, files and signals.

#include "SimExport.h"
#include "SimPeer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::StartsWith;

extern char** environ;

namespace {

// The program running with its standard output and error on pipes.
class TChild {
public:
    explicit TChild(const std::vector<std::string>& args) {
        int out[2];
        int err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> all{NORLINK_SIM_BINARY};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&fPid, NORLINK_SIM_BINARY, &actions, nullptr, argv.data(), environ) != 0) {
            fPid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        fOut = out[0];
        fErr = err[0];
    }
    ~TChild() {
        if (fPid > 0 && !fDone) {
            ::kill(fPid, SIGKILL);
            ::waitpid(fPid, nullptr, 0);
        }
        ::close(fOut);
        ::close(fErr);
    }

    void Signal(int sig) { ::kill(fPid, sig); }

    // Collects output until the child ends (or the time runs out: then -1).
    int Wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!fDone && std::chrono::steady_clock::now() < deadline) {
            Pump(20ms);
            int status = 0;
            if (::waitpid(fPid, &status, WNOHANG) == fPid) {
                fDone = true;
                fStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
        }
        Pump(0ms);
        return fDone ? fStatus : -1;
    }

    // Reads output until text appears on standard output or error.
    bool WaitFor(const std::string& text, bool onError, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if ((onError ? err : out).find(text) != std::string::npos) {
                return true;
            }
            Pump(20ms);
        }
        return false;
    }

    std::string out;
    std::string err;

private:
    void Pump(std::chrono::milliseconds wait) {
        pollfd p[2] = {{fOut, POLLIN, 0}, {fErr, POLLIN, 0}};
        if (::poll(p, 2, static_cast<int>(wait.count())) <= 0) {
            return;
        }
        char buf[4096];
        for (int i = 0; i < 2; ++i) {
            if ((p[i].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = ::read(p[i].fd, buf, sizeof buf);
                if (n > 0) {
                    (i == 0 ? out : err).append(buf, static_cast<std::size_t>(n));
                }
            }
        }
    }

    pid_t fPid = -1;
    int fOut = -1;
    int fErr = -1;
    bool fDone = false;
    int fStatus = -1;
};

class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "simcmdXXXXXX").string();
        path = ::mkdtemp(templ.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(SimCommand, HelpDocumentsEveryOption) {
    TChild child({"--help"});
    EXPECT_EQ(child.Wait(10s), 0);
    for (const char* option :
         {"--link",         "--fast",           "--baud",         "--answer-timeout", "--gap",
          "--image",        "--config",         "--save-image",   "--save-config",    "--hw-type",
          "--sw-version",   "--hw-version",     "--time-limit",   "--verbose",        "--help",
          "--seed",         "--corrupt-header", "--corrupt-data", "--drop-byte",      "--noise",
          "--noise-max",    "--foreign",        "--no-answer",    "--stop-after",     "--stop-for",
          "--unplug-after", "--unplug-for"}) {
        EXPECT_THAT(child.out, HasSubstr("\n  " + std::string(option) + " ")) << option;
    }
    EXPECT_THAT(child.out, HasSubstr("SIGUSR1"));
}

TEST(SimCommand, MalformedCommandLinesExitWith2) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--nonsense"},
                                               {"--gap"},
                                               {"--corrupt-data", "2"},
                                               {"positional"},
                                               {"--stop-for", "5"}}) {
        TChild child(args);
        EXPECT_EQ(child.Wait(10s), 2) << args[0];
        EXPECT_THAT(child.err, StartsWith("norlink-sim: ")) << args[0];
        EXPECT_THAT(child.err, HasSubstr("Usage: norlink-sim")) << args[0];
        EXPECT_TRUE(child.out.empty()) << args[0];
    }
}

TEST(SimCommand, BadFilesAreNamedWithTheirLine) {
    TempDir dir;
    const std::string bad = dir.File("nastaveni.log");
    std::ofstream(bad) << "[Tel. cisla]\nCislo 00=123\n\n[Zprava porucha]\nPozice 09=x\n";
    TChild child({"--fast", "--config", bad});
    EXPECT_EQ(child.Wait(10s), 1);
    EXPECT_THAT(child.err, HasSubstr(bad + ":5: "));
    EXPECT_THAT(child.err, HasSubstr("out of range"));

    TChild missing({"--fast", "--config", dir.File("none.log")});
    EXPECT_EQ(missing.Wait(10s), 1);
    EXPECT_THAT(missing.err, HasSubstr(dir.File("none.log") + ": cannot read"));

    const std::string shortImage = dir.File("short.bin");
    std::ofstream(shortImage) << "abc";
    TChild image({"--fast", "--image", shortImage});
    EXPECT_EQ(image.Wait(10s), 1);
    EXPECT_THAT(image.err, HasSubstr(shortImage));
}

TEST(SimCommand, RunsForItsTimeAndSavesItsMemory) {
    TempDir dir;
    const std::string config = dir.File("in.log");
    std::ofstream(config) << "[Tel. cisla]\nCislo 01=777888999\n"
                             "[Zprava obnova]\nPozice 02=Obnoveno\n";
    TChild child({"--fast", "--time-limit", "0.5", "--config", config, "--save-config",
                  dir.File("out.log"), "--save-image", dir.File("out.bin")});
    EXPECT_EQ(child.Wait(20s), 0) << child.err;
    EXPECT_THAT(child.out, StartsWith("/dev/pts/"));
    EXPECT_THAT(child.err, HasSubstr("polls "));

    sim::TSimMemory expected;
    std::string error;
    ASSERT_TRUE(sim::LoadExportFile(config, expected, error)) << error;
    EXPECT_EQ(ReadFile(dir.File("out.log")), sim::FormatExport(expected));
    const std::string image = ReadFile(dir.File("out.bin"));
    ASSERT_EQ(image.size(), 65536U);
    EXPECT_EQ(image.substr(0x10, 9), "777888999");
}

TEST(SimCommand, VerboseReportsEverySecond) {
    TChild child({"--fast", "--verbose", "--time-limit", "1.6"});
    EXPECT_EQ(child.Wait(20s), 0) << child.err;
    std::size_t lines = 0;
    for (std::size_t at = child.err.find("norlink-sim: polls "); at != std::string::npos;
         at = child.err.find("norlink-sim: polls ", at + 1)) {
        ++lines;
    }
    EXPECT_GE(lines, 2U) << child.err; // one a second, and the last one
}

TEST(SimCommand, SignalsReportAndEnd) {
    TempDir dir;
    TChild child({"--fast", "--answer-timeout", "30", "--save-image", dir.File("end.bin")});
    ASSERT_TRUE(child.WaitFor("\n", false, 10s));
    const std::string path = child.out.substr(0, child.out.find('\n'));
    {
        // A write through the pseudo-terminal must be in the image written at the end.
        TPeer peer(path);
        ASSERT_TRUE(peer.WaitPoll(5s));
        peer.Write({0xFF, 0xA5, 0x14, 0x3F, 0x12, 0xF6, 0xD0, 0x10, 0x00, 0x31, 0x32, 0x33, 0x34,
                    0x35, 0x36, 0x37, 0x38, 0x39, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x43});
        ASSERT_TRUE(peer.WaitPoll(5s));
    }
    child.Signal(SIGUSR1);
    EXPECT_TRUE(child.WaitFor("write 1", true, 10s)) << child.err;
    child.Signal(SIGTERM);
    EXPECT_EQ(child.Wait(10s), 0) << child.err;
    EXPECT_EQ(ReadFile(dir.File("end.bin")).substr(0x10, 9), "123456789");
}
