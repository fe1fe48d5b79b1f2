// The simulated communicator on its pseudo-terminal, driven the way the program drives it:
// the test opens the slave, waits for polls and writes requests built by hand.

#include "Simulator.h"
#include "SimPeer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace sim;
using namespace std::chrono_literals;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

const TBytes kReadHwTyp{0xA5, 0x14, 0x3F, 0x02, 0x06, 0x70, 0x00, 0x0C, 0x84};
const TBytes kWrite0010{0xA5, 0x14, 0x3F, 0x12, 0xF6, 0xD0, 0x10, 0x00, 0x31,
                        0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x00,
                        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x43};
// Answer to kReadHwTyp with the default text "NORLINK GSM".
const TBytes kHwTypAnswer{0xA5, 0x3F, 0x14, 0x12, 0xF6, 0x70, 0x00, 0x0C, 0x4E,
                          0x4F, 0x52, 0x4C, 0x49, 0x4E, 0x4B, 0x20, 0x47, 0x53,
                          0x4D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x60};

// A request from the program: 0xFF, then the telegram; read requests in the 9-byte form.
TBytes Request(std::uint8_t control, std::uint16_t address, const TBytes& data = {},
               std::uint8_t source = 0x3F, std::uint8_t kind = 0) {
    TBytes t{0xA5, 0x14, source, static_cast<std::uint8_t>((kind << 5) | (2 + data.size()))};
    t.push_back(TestChecksum(t, 0, 4));
    t.push_back(control);
    t.push_back(static_cast<std::uint8_t>(address & 0xFF));
    t.push_back(static_cast<std::uint8_t>(address >> 8));
    t.insert(t.end(), data.begin(), data.end());
    t.push_back(TestChecksum(t, 5, t.size()));
    t.insert(t.begin(), 0xFF);
    return t;
}

// The expected answer: from 20 to 63, the request's control byte, the memory's bytes.
TBytes Answer(std::uint8_t control, std::uint16_t address, const TBytes& data) {
    TBytes t{0xA5, 0x3F, 0x14, static_cast<std::uint8_t>(2 + data.size())};
    t.push_back(TestChecksum(t, 0, 4));
    t.push_back(control);
    t.push_back(static_cast<std::uint8_t>(address & 0xFF));
    t.push_back(static_cast<std::uint8_t>(address >> 8));
    t.insert(t.end(), data.begin(), data.end());
    t.push_back(TestChecksum(t, 5, t.size()));
    return t;
}

TBytes Prefixed(const TBytes& telegram) {
    TBytes t{0xFF};
    t.insert(t.end(), telegram.begin(), telegram.end());
    return t;
}

class SimulatorTest : public ::testing::Test {
protected:
    static TSimOptions FastOptions() {
        TSimOptions o;
        o.Fast = true;
        o.AnswerTimeout = 400ms;
        o.Gap = 5ms;
        return o;
    }

    void Start(const TSimOptions& options, TSimMemory memory = {}) {
        sim = std::make_unique<TSimulator>(options, std::move(memory));
        std::string error;
        ASSERT_TRUE(sim->Start(error)) << error;
        peer = std::make_unique<TPeer>(sim->SlavePath());
        ASSERT_TRUE(peer->IsOpen());
    }

    // Sends a request right after a poll and returns what the simulator sent before its next
    // poll: the answer, or nothing.
    TBytes Exchange(const TBytes& request) {
        if (!afterPoll) {
            EXPECT_TRUE(peer->WaitPoll(3s));
        }
        peer->Write(request);
        TBytes reply;
        afterPoll = peer->WaitPoll(3s, &reply);
        EXPECT_TRUE(afterPoll);
        return reply;
    }

    TSimStats StopAndCount() {
        sim->Stop();
        return sim->Stats();
    }

    std::unique_ptr<TSimulator> sim;
    std::unique_ptr<TPeer> peer;
    bool afterPoll = false; // the last poll has been read and not yet answered
};

} // namespace

TEST_F(SimulatorTest, PollsAreExactlySevenBytes) {
    Start(FastOptions());
    EXPECT_THAT(peer->Read(7, 3s), ElementsAreArray(kPoll));
    EXPECT_THAT(peer->Read(7, 3s), ElementsAreArray(kPoll)); // unanswered: polled again
}

TEST_F(SimulatorTest, ReadOfHwTypGetsTheText) {
    Start(FastOptions());
    EXPECT_THAT(Exchange(Prefixed(kReadHwTyp)), ElementsAreArray(kHwTypAnswer));
}

TEST_F(SimulatorTest, VersionTextsFromOptions) {
    TSimOptions o = FastOptions();
    o.VerSw = "SW 2.50";
    o.VerHw = "HW 16 characters";
    Start(o);
    TBytes sw{'S', 'W', ' ', '2', '.', '5', '0'};
    sw.resize(16, 0);
    EXPECT_THAT(Exchange(Request(0x70, 0x0C10)), ElementsAreArray(Answer(0x70, 0x0C10, sw)));
    const std::string hw = "HW 16 characters";
    EXPECT_THAT(Exchange(Request(0x70, 0x0C20)),
                ElementsAreArray(Answer(0x70, 0x0C20, TBytes(hw.begin(), hw.end()))));
}

TEST_F(SimulatorTest, LongReadFormIsAReadOfMemory) {
    TSimMemory m;
    TBytes stored(16);
    for (std::size_t i = 0; i < 16; ++i) {
        stored[i] = static_cast<std::uint8_t>(0x40 + i);
    }
    m.Write(TMemoryKind::ZAZNAM, 0x1310, stored);
    Start(FastOptions(), m);
    // Length field 18 with 16 data bytes, access bit 0: the data bytes are ignored.
    const TBytes request = Request(0x50, 0x1310, TBytes(16, 0x00));
    ASSERT_EQ(request.size(), 26U);
    EXPECT_THAT(Exchange(request), ElementsAreArray(Answer(0x50, 0x1310, stored)));
    // Erased memory reads as 0xFF.
    EXPECT_THAT(Exchange(Request(0x50, 0x2000, TBytes(16, 0x00))),
                ElementsAreArray(Answer(0x50, 0x2000, TBytes(16, 0xFF))));
}

TEST_F(SimulatorTest, WriteIsAppliedAndNotAnswered) {
    Start(FastOptions());
    EXPECT_THAT(Exchange(Prefixed(kWrite0010)), IsEmpty());
    const TBytes digits(kWrite0010.begin() + 8, kWrite0010.begin() + 24);
    EXPECT_EQ(sim->ReadMemory(TMemoryKind::ZAZNAM, 0x0010, 16), digits);
    EXPECT_EQ(sim->ReadMemory(TMemoryKind::ZAZNAM, 0x0020, 1), TBytes{0xFF});
    // The read-back that completes a write in the program.
    EXPECT_THAT(Exchange(Request(0x50, 0x0010)), ElementsAreArray(Answer(0x50, 0x0010, digits)));
}

TEST_F(SimulatorTest, WrongChecksumsAreIgnored) {
    Start(FastOptions());
    TBytes badHeader = Prefixed(kWrite0010);
    badHeader[5] ^= 0x10;
    TBytes badData = Prefixed(kWrite0010);
    badData[12] ^= 0x01;
    TBytes badRead = Prefixed(kReadHwTyp);
    badRead.back() = 0x85;
    EXPECT_THAT(Exchange(badHeader), IsEmpty());
    EXPECT_THAT(Exchange(badData), IsEmpty());
    EXPECT_THAT(Exchange(badRead), IsEmpty());
    EXPECT_EQ(sim->ReadMemory(TMemoryKind::ZAZNAM, 0x0010, 16), TBytes(16, 0xFF));
    const TSimStats s = StopAndCount();
    EXPECT_EQ(s.BadFrames, 3U);
    EXPECT_EQ(s.RequestsRead + s.RequestsWrite + s.RequestsIgnored, 0U);
    EXPECT_EQ(s.Answers, 0U);
}

TEST_F(SimulatorTest, RequestsItDoesNotServeAreIgnored) {
    Start(FastOptions());
    const TBytes hwBefore = sim->ReadMemory(TMemoryKind::HWSW, 0x0C00, 16);
    EXPECT_THAT(Exchange(Request(0x10, 0x0000)), IsEmpty());                  // RAM read
    EXPECT_THAT(Exchange(Request(0x30, 0x0000)), IsEmpty());                  // EEPROM read
    EXPECT_THAT(Exchange(Request(0xF0, 0x0C00, TBytes(16, 'x'))), IsEmpty()); // HWSW write
    EXPECT_THAT(Exchange(Request(0x70, 0x0C00, {}, 62)), IsEmpty());          // not from 63
    EXPECT_THAT(Exchange(Request(0x70, 0x0C00, {}, 0x3F, 1)), IsEmpty());     // kind 1
    EXPECT_THAT(Exchange(Request(0xD0, 0x0010, TBytes(8, 'y'))), IsEmpty()); // 16 announced, 8 sent
    EXPECT_THAT(Exchange(Request(0x5F, 0x0010)), IsEmpty()); // 31 bytes do not fit an answer
    EXPECT_EQ(sim->ReadMemory(TMemoryKind::HWSW, 0x0C00, 16), hwBefore);
    EXPECT_EQ(sim->ReadMemory(TMemoryKind::ZAZNAM, 0x0010, 8), TBytes(8, 0xFF));
    const TSimStats s = StopAndCount();
    EXPECT_EQ(s.RequestsIgnored, 7U);
    EXPECT_EQ(s.RequestsRead + s.RequestsWrite + s.Answers, 0U);
}

TEST_F(SimulatorTest, PrefixAndNoiseBeforeTheSyncAreSkipped) {
    Start(FastOptions());
    TBytes noisy{0x00, 0x55, 0xA5, 0x3F, 0x13};
    noisy.insert(noisy.end(), kReadHwTyp.begin(), kReadHwTyp.end());
    noisy.insert(noisy.begin() + 5, 0xFF);
    EXPECT_THAT(Exchange(noisy), ElementsAreArray(kHwTypAnswer));
    EXPECT_EQ(StopAndCount().SkippedBytes, 6U);
}

TEST_F(SimulatorTest, RequestSplitWithAPauseIsTakenWithinTheTimeOut) {
    Start(FastOptions());
    const TBytes request = Prefixed(kReadHwTyp);
    ASSERT_TRUE(peer->WaitPoll(3s));
    peer->Write(TBytes(request.begin(), request.begin() + 4));
    std::this_thread::sleep_for(60ms);
    peer->Write(TBytes(request.begin() + 4, request.end()));
    TBytes reply;
    ASSERT_TRUE(peer->WaitPoll(3s, &reply));
    EXPECT_THAT(reply, ElementsAreArray(kHwTypAnswer));
}

TEST_F(SimulatorTest, RequestCompletedAfterTheTimeOutIsNotAnswered) {
    TSimOptions o = FastOptions();
    o.AnswerTimeout = 50ms;
    Start(o);
    const TBytes request = Prefixed(kReadHwTyp);
    ASSERT_TRUE(peer->WaitPoll(3s));
    peer->Write(TBytes(request.begin(), request.begin() + 4));
    std::this_thread::sleep_for(300ms); // far beyond the window, which began before the poll came
    peer->Write(TBytes(request.begin() + 4, request.end()));
    const TBytes later = peer->ReadFor(300ms);
    // Nothing but polls.
    ASSERT_EQ(later.size() % kPoll.size(), 0U);
    for (std::size_t i = 0; i < later.size(); i += kPoll.size()) {
        EXPECT_TRUE(std::equal(kPoll.begin(), kPoll.end(), later.begin() + i));
    }
    EXPECT_EQ(StopAndCount().RequestsRead, 0U);
}

TEST_F(SimulatorTest, SlaveIsRawBeforeTheProgramConfiguresIt) {
    // Bytes a line discipline would change or act on: CR, LF, XON, XOFF, ^C, ^D, DEL, ^Z, ^\.
    const TBytes special{0x0D, 0x0A, 0x11, 0x13, 0x03, 0x04, 0x7F, 0x1A,
                         0x1C, 0x0D, 0x0A, 0x0D, 0x12, 0x15, 0x16, 0x17};
    TSimMemory m;
    m.Write(TMemoryKind::ZAZNAM, 0x0A0D, special);
    Start(FastOptions(), m);
    termios t{};
    ASSERT_EQ(tcgetattr(peer->Fd(), &t), 0);
    EXPECT_EQ(t.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN), 0U);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | ISTRIP), 0U);
    EXPECT_EQ(t.c_oflag & OPOST, 0U);
    // Both directions carry those bytes unchanged, and nothing is echoed back.
    EXPECT_THAT(Exchange(Request(0x50, 0x0A0D, special)),
                ElementsAreArray(Answer(0x50, 0x0A0D, special)));
}

TEST_F(SimulatorTest, NoPollsWhileNobodyHasThePortOpen) {
    sim = std::make_unique<TSimulator>(FastOptions());
    std::string error;
    ASSERT_TRUE(sim->Start(error)) << error;
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(sim->Stats().Polls, 0U);
    {
        TPeer first(sim->SlavePath());
        EXPECT_THAT(first.Read(7, 3s), ElementsAreArray(kPoll)); // a fresh poll, nothing stale
    }
    std::this_thread::sleep_for(600ms); // past the answer window of the last poll
    const auto polls = sim->Stats().Polls;
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(sim->Stats().Polls, polls);
    TPeer second(sim->SlavePath());
    EXPECT_THAT(second.Read(7, 3s), ElementsAreArray(kPoll));
}

TEST_F(SimulatorTest, SymbolicLinkFollowsTheSlave) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("simlink" + std::to_string(::getpid()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    TSimOptions o = FastOptions();
    o.LinkPath = (dir / "ttyNORLINK").string();
    std::filesystem::create_symlink("/nonexistent", o.LinkPath); // an old link is replaced
    Start(o);
    EXPECT_EQ(std::filesystem::read_symlink(o.LinkPath).string(), sim->SlavePath());
    TPeer viaLink(o.LinkPath);
    EXPECT_TRUE(viaLink.WaitPoll(3s));
    sim.reset();
    EXPECT_FALSE(std::filesystem::is_symlink(o.LinkPath)); // removed at the end

    // A regular file is never replaced.
    std::ofstream(o.LinkPath) << "keep";
    TSimulator refused(o);
    std::string error;
    EXPECT_FALSE(refused.Open(error));
    EXPECT_THAT(error, ::testing::HasSubstr(o.LinkPath));
    std::filesystem::remove_all(dir);
}

TEST_F(SimulatorTest, StatisticsCountWhatHappened) {
    Start(FastOptions());
    EXPECT_THAT(Exchange(Prefixed(kReadHwTyp)), ElementsAreArray(kHwTypAnswer));
    EXPECT_THAT(Exchange(Prefixed(kWrite0010)), IsEmpty());
    EXPECT_EQ(Exchange(Request(0x50, 0x0010)).size(), 25U);
    EXPECT_THAT(Exchange(Request(0x10, 0x0010)), IsEmpty()); // RAM: ignored
    TBytes bad = Prefixed(kReadHwTyp);
    bad[5] = 0x00;
    EXPECT_THAT(Exchange(bad), IsEmpty());
    const TSimStats s = StopAndCount();
    EXPECT_GE(s.Polls, 6U);
    EXPECT_EQ(s.RequestsRead, 2U);
    EXPECT_EQ(s.RequestsWrite, 1U);
    EXPECT_EQ(s.RequestsIgnored, 1U);
    EXPECT_EQ(s.Answers, 2U);
    EXPECT_EQ(s.BadFrames, 1U);
    // The five 0xFF prefixes, and the bad telegram's bytes after its dropped sync byte.
    EXPECT_EQ(s.SkippedBytes, 5U + 8U);
    EXPECT_EQ(s.FaultsTotal(), 0U);
    EXPECT_EQ(s.Latency.Count, 3U); // one per request taken
    EXPECT_LE(s.Latency.Min, s.Latency.Median);
    EXPECT_LE(s.Latency.Median, s.Latency.Max);
    EXPECT_LT(s.Latency.Max, 400ms);
}

TEST_F(SimulatorTest, PacedBytesTakeTheirLineTime) {
    TSimOptions o;
    o.Baud = 1200; // 8.33 ms a byte
    o.AnswerTimeout = 1s;
    o.Gap = 5ms;
    Start(o);
    ASSERT_TRUE(peer->WaitPoll(5s));
    peer->Write(Prefixed(kReadHwTyp));
    const auto sent = std::chrono::steady_clock::now();
    const TBytes answer = peer->Read(kHwTypAnswer.size(), 5s);
    const auto took = std::chrono::steady_clock::now() - sent;
    EXPECT_THAT(answer, ElementsAreArray(kHwTypAnswer));
    // The answer cannot start before the request is in, and its last byte leaves 24 byte
    // times after its first.
    EXPECT_GE(took, 24 * 8ms);
}

TEST_F(SimulatorTest, TimeLimitEndsTheRun) {
    TSimOptions o = FastOptions();
    o.TimeLimit = 200ms;
    Start(o);
    for (int i = 0; i < 300 && !sim->Finished(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(sim->Finished());
}
