// The program binary: which routines of libkovra.so it binds, that it does not start without them,
// that it starts, runs and closes with its library, and that a fatal signal leaves a report.

#include "ProgramRun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>

#include <sys/resource.h>

namespace {

using namespace program_run;
using ::testing::HasSubstr;

// The settings file without the window's place, which follows everything else at a close.
std::string BezOkna(const std::string& ini) {
    const auto okno = ini.find("\n[Okno]\nX=");
    return okno == std::string::npos ? ini : ini.substr(0, okno);
}

std::string RunCommand(const std::string& command) {
    std::string output;
    const std::unique_ptr<FILE, decltype(&pclose)> pipe(::popen(command.c_str(), "r"), &pclose);
    if (!pipe) {
        return output;
    }
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
        output += buffer.data();
    }
    return output;
}

// Names of the dynamic symbols: undefined ones (what a binary imports) or defined ones.
std::set<std::string> DynamicSymbols(const std::string& file, bool undefined) {
    const std::string output =
        RunCommand("nm -D " + std::string(undefined ? "--undefined-only" : "--defined-only") +
                   " '" + file + "' 2>/dev/null");
    std::set<std::string> names;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto space = line.find_last_of(' ');
        std::string name = line.substr(space + 1);
        if (const auto at = name.find('@'); at != std::string::npos) {
            name.resize(at);
        }
        names.insert(name);
    }
    return names;
}

const std::set<std::string> k_Bound{"ReadByte", "ReadWordInc", "PrevedALimitujHodnotu"};

TEST(ProgramBinary, ImportsExactlyTheThreeRoutinesOfKovra) {
    const std::set<std::string> exported = DynamicSymbols(KOVRA_LIB, false);
    ASSERT_TRUE(exported.contains("ReadByte")) << "nm did not read libkovra.so";
    std::set<std::string> fromKovra;
    for (const std::string& name : DynamicSymbols(NORLINK_BIN, true)) {
        if (exported.contains(name)) {
            fromKovra.insert(name);
        }
    }
    EXPECT_EQ(fromKovra, k_Bound);
}

TEST(ProgramBinary, FindsItsLibraryBesideItselfAndBindsAtLoadTime) {
    const std::string dynamic = RunCommand("readelf -d '" + std::string(NORLINK_BIN) + "'");
    EXPECT_THAT(dynamic, HasSubstr("libkovra.so"));
    EXPECT_THAT(dynamic, ::testing::ContainsRegex("R(UN)?PATH.*\\[\\$ORIGIN\\]"));
    EXPECT_THAT(dynamic, ::testing::ContainsRegex("FLAGS.*(BIND_NOW|NOW)"));
}

class ProgramRun : public ::testing::Test {
protected:
    fs::path Output() const { return fDir.Path() / "output.txt"; }

    TTempDir fDir;
};

TEST_F(ProgramRun, DoesNotStartWithoutItsLibrary) {
    const fs::path exe = InstallProgram(fDir.Path(), {});
    TChild child(exe, {}, Output());
    const auto status = child.Wait(std::chrono::seconds(20));
    ASSERT_TRUE(status.has_value()) << "the program started without libkovra.so";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 127);
    EXPECT_THAT(ReadFile(Output()), HasSubstr("libkovra.so"));
    EXPECT_FALSE(fs::exists(fDir.Path() / "norlink.ini")) << "the window never existed";
}

TEST_F(ProgramRun, DoesNotStartWhenARoutineIsMissing) {
    const std::array<std::pair<const char*, const char*>, 4> stubs{{
        {"none", "ReadByte"}, // the first one the loader looks up may be any of the three
        {"no_ReadByte", "ReadByte"},
        {"no_ReadWordInc", "ReadWordInc"},
        {"no_PrevedALimitujHodnotu", "PrevedALimitujHodnotu"},
    }};
    for (const auto& [stub, missing] : stubs) {
        SCOPED_TRACE(stub);
        const fs::path exe =
            InstallProgram(fDir.Path(), fs::path(KOVRA_STUB_DIR) / stub / "libkovra.so");
        TChild child(exe, {}, Output());
        const auto status = child.Wait(std::chrono::seconds(20));
        ASSERT_TRUE(status.has_value()) << "the program started";
        ASSERT_TRUE(WIFEXITED(*status));
        EXPECT_EQ(WEXITSTATUS(*status), 127);
        const std::string output = ReadFile(Output());
        EXPECT_THAT(output, HasSubstr("undefined symbol"));
        if (std::string(stub) != "none") {
            EXPECT_THAT(output, HasSubstr(missing));
        }
        EXPECT_FALSE(fs::exists(fDir.Path() / "norlink.ini"));
    }
}

// The program with its library on a pseudo-terminal: it opens the port, runs, and closes as from
// its close button on SIGTERM, writing norlink.ini on the way.
TEST_F(ProgramRun, StartsWithItsLibraryAndClosesOnSigterm) {
    const fs::path exe = InstallProgram(fDir.Path(), KOVRA_LIB);
    TPty pty;
    ASSERT_FALSE(pty.Slave().empty());
    WriteFile(fDir.Path() / "norlink.ini",
              "[ComPort]\nProgram=4\n[Porty]\nCOM2=" + pty.Slave() + "\n");
    TChild child(exe, {}, Output());
    ASSERT_TRUE(
        WaitUntil([&] { return HasOpen(child.Pid(), pty.Slave()); }, std::chrono::seconds(30)))
        << ReadFile(Output());
    EXPECT_TRUE(child.Running());
    ::kill(child.Pid(), SIGTERM);
    const auto status = child.Wait(std::chrono::seconds(20));
    ASSERT_TRUE(status.has_value());
    ASSERT_TRUE(WIFEXITED(*status)) << ReadFile(Output());
    EXPECT_EQ(WEXITSTATUS(*status), 0) << ReadFile(Output());
    EXPECT_EQ(BezOkna(ReadFile(fDir.Path() / "norlink.ini")),
              "[ComPort]\nProgram=4\n[Porty]\nCOM2=" + pty.Slave() + "\n");
    EXPECT_FALSE(fs::exists(fDir.Path() / "norlink-chyby.log"));
}

// Whether process pid has a handler for sig (its SigCgt mask in /proc).
bool Catches(pid_t pid, int sig) {
    std::istringstream status(ReadFile("/proc/" + std::to_string(pid) + "/status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("SigCgt:")) {
            return ((std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1U) != 0;
        }
    }
    return false;
}

// A signal while the start-up warning about the port is open: the box goes, the settings are
// saved as at a normal close (the count as the spin edit shows it), and the program ends. When the
// save fails (the file size limit), its error box goes the same way and the file stays as it was.
TEST_F(ProgramRun, ClosesOnASignalWhileABoxIsOpen) {
    const fs::path exe = InstallProgram(fDir.Path(), KOVRA_LIB);
    const fs::path ini = fDir.Path() / "norlink.ini";
    const std::string porty = "[Porty]\nCOM2=" + (fDir.Path() / "no-such-tty").string() + "\n";
    struct Case {
        int Signal;
        std::string Padding; // comment lines that make the file larger than the limit
        rlim_t SizeLimit;
        std::string Saved;
    };
    const std::string padding(64 * 1024, ';');
    const Case cases[] = {
        {SIGTERM, "", RLIM_INFINITY, "[ComPort]\nProgram=8\n" + porty},
        {SIGINT, "", RLIM_INFINITY, "[ComPort]\nProgram=8\n" + porty},
        {SIGHUP, padding + "\n", 32 * 1024, padding + "\n[ComPort]\nProgram=9\n" + porty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::strsignal(c.Signal));
        WriteFile(ini, c.Padding + "[ComPort]\nProgram=9\n" + porty);
        TChild child(exe, {}, Output());
        const rlimit limit{c.SizeLimit, RLIM_INFINITY};
        ASSERT_EQ(::prlimit(child.Pid(), RLIMIT_FSIZE, &limit, nullptr), 0);
        // Until its handler is in place the signal would end the program at once; from then on
        // it is taken in the first event loop, the box's.
        ASSERT_TRUE(
            WaitUntil([&] { return Catches(child.Pid(), c.Signal); }, std::chrono::seconds(30)));
        ::kill(child.Pid(), c.Signal);
        const auto status = child.Wait(std::chrono::seconds(10));
        ASSERT_TRUE(status.has_value()) << "still running behind the box";
        ASSERT_TRUE(WIFEXITED(*status)) << ReadFile(Output());
        EXPECT_EQ(WEXITSTATUS(*status), 0) << ReadFile(Output());
        EXPECT_EQ(BezOkna(ReadFile(ini)), c.Saved);
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(fDir.Path())) {
            ++files;
        }
        EXPECT_EQ(files, 4U) << "program, library, output, norlink.ini and nothing else";
    }
}

TEST_F(ProgramRun, FatalSignalLeavesAReportBesideTheProgram) {
    const fs::path exe = InstallProgram(fDir.Path(), KOVRA_LIB);
    TPty pty;
    WriteFile(fDir.Path() / "norlink.ini", "[Porty]\nCOM2=" + pty.Slave() + "\n");
    TChild child(exe, {}, Output());
    ASSERT_TRUE(
        WaitUntil([&] { return HasOpen(child.Pid(), pty.Slave()); }, std::chrono::seconds(30)))
        << ReadFile(Output());
    ::kill(child.Pid(), SIGSEGV);
    const auto status = child.Wait(std::chrono::seconds(20));
    ASSERT_TRUE(status.has_value());
    ASSERT_TRUE(WIFSIGNALED(*status)) << ReadFile(Output());
    EXPECT_EQ(WTERMSIG(*status), SIGSEGV);
    const std::string report = ReadFile(fDir.Path() / "norlink-chyby.log");
    EXPECT_THAT(report, HasSubstr("Signál: 11 SIGSEGV"));
    EXPECT_THAT(report, HasSubstr("Verze programu: 0.9"));
    EXPECT_THAT(report, HasSubstr("Zásobník:"));
}

} // namespace
