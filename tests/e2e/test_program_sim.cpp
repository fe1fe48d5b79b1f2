// The program binary against the simulator on a pseudo-terminal: the program finds the simulator's
// port through norlink.ini [Porty], takes its polls (the communication log, written on request at
// close, shows every one), stays silent while it has nothing queued, and closes cleanly.

#define NORLINK_BIN NORLINK_BINARY
#include "../ui/ProgramRun.h"

#include "E2eRig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace program_run;
using ::testing::HasSubstr;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST(ProgramWithSimulator, TakesPollsAndStaysSilentWithNothingQueued) {
    TTempDir dir;
    const fs::path link = dir.Path() / "ttyNORLINK";
    e2e::TE2eRig sim({"--link", link.string()});
    std::string error;
    ASSERT_TRUE(sim.Start(error)) << error;

    const fs::path exe =
        InstallProgram(dir.Path(), fs::path(NORLINK_BINARY).parent_path() / "libkovra.so");
    WriteFile(dir.Path() / "norlink.ini", "[Porty]\nCOM2=" + link.string() + "\n");
    const fs::path comlog = dir.Path() / "comlog.txt";
    TChild program(exe, {}, dir.Path() / "program.txt", {"NORLINK_COMLOG=" + comlog.string()});
    const std::string slave = fs::canonical(link).string();
    ASSERT_TRUE(WaitUntil([&] { return HasOpen(program.Pid(), slave); }, std::chrono::seconds(30)))
        << ReadFile(dir.Path() / "program.txt");

    // Let the simulator poll for a while, then close the program as from its close button.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    ASSERT_TRUE(program.Running()) << ReadFile(dir.Path() / "program.txt");
    ::kill(program.Pid(), SIGTERM);
    const auto status = program.Wait(std::chrono::seconds(20));
    ASSERT_TRUE(status.has_value());
    ASSERT_TRUE(WIFEXITED(*status)) << ReadFile(dir.Path() / "program.txt");
    EXPECT_EQ(WEXITSTATUS(*status), 0) << ReadFile(dir.Path() / "program.txt");

    sim.Sim.Stop();
    const sim::TSimStats stats = sim.Stats();
    EXPECT_GE(stats.Polls, 3U) << sim.DescribeSim();
    EXPECT_EQ(stats.RequestsRead + stats.RequestsWrite + stats.RequestsIgnored + stats.BadFrames,
              0U)
        << "the program sent something unasked: " << sim.DescribeSim();

    const std::string log = ReadFile(comlog);
    EXPECT_GE(Count(log, "Prisla vyzva"), 3U) << log;
    EXPECT_EQ(Count(log, "Vadné CRC"), 0U) << log;
    EXPECT_EQ(Count(log, "TLG nepropusten"), 0U) << log;
    // The window's place follows.
    EXPECT_THAT(ReadFile(dir.Path() / "norlink.ini"),
                ::testing::StartsWith("[Porty]\nCOM2=" + link.string() +
                                      "\n\n[ComPort]\nProgram=1\n\n[Okno]\nX="));
}

} // namespace
