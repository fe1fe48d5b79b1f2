// Each injected fault, seen in the bytes the program would receive.

#include "SimPeer.h"
#include "Simulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>
#include <unistd.h>

using namespace sim;
using namespace std::chrono_literals;
using ::testing::ElementsAreArray;

namespace {

const TBytes kReadHwTyp{0xFF, 0xA5, 0x14, 0x3F, 0x02, 0x06, 0x70, 0x00, 0x0C, 0x84};

TSimOptions Quick() {
    TSimOptions o;
    o.Fast = true;
    o.AnswerTimeout = 20ms; // nobody answers in most of these tests
    o.Gap = 2ms;
    return o;
}

struct TRun {
    explicit TRun(const TSimOptions& options) : sim(options) {
        std::string error;
        EXPECT_TRUE(sim.Start(error)) << error;
        peer = std::make_unique<TPeer>(sim.SlavePath());
    }
    TSimulator sim;
    std::unique_ptr<TPeer> peer;
};

// The bytes between consecutive polls, for the first count gaps.
std::vector<TBytes> Between(TPeer& peer, std::size_t count) {
    std::vector<TBytes> gaps;
    EXPECT_TRUE(peer.WaitPoll(3s));
    for (std::size_t i = 0; i < count; ++i) {
        TBytes gap;
        if (!peer.WaitPoll(3s, &gap)) {
            ADD_FAILURE() << "no poll after gap " << i;
            break;
        }
        gaps.push_back(gap);
    }
    return gaps;
}

bool SumsToZero(const TBytes& b, std::size_t from, std::size_t to) {
    return TestChecksum(b, from, to) == 0;
}

} // namespace

TEST(SimFaults, CorruptHeaderChecksum) {
    TSimOptions o = Quick();
    o.Faults.CorruptHeader = 1;
    TRun run(o);
    for (int i = 0; i < 5; ++i) {
        const TBytes poll = run.peer->Read(7, 3s);
        ASSERT_EQ(poll.size(), 7U);
        EXPECT_THAT(TBytes(poll.begin(), poll.begin() + 4),
                    ElementsAreArray({0xA5, 0x3F, 0x14, 0x80}));
        EXPECT_NE(poll[4], 0x88);
        EXPECT_THAT(TBytes(poll.begin() + 5, poll.end()), ElementsAreArray({0x00, 0x00}));
    }
    run.sim.Stop();
    EXPECT_EQ(run.sim.Stats().Faults[static_cast<std::size_t>(TFault::CorruptHeader)],
              run.sim.Stats().Polls);
}

TEST(SimFaults, CorruptDataChecksumOfPollsAndAnswers) {
    TSimOptions o = Quick();
    o.AnswerTimeout = 400ms;
    o.Faults.CorruptData = 1;
    TRun run(o);
    const TBytes poll = run.peer->Read(7, 3s);
    ASSERT_EQ(poll.size(), 7U);
    EXPECT_TRUE(SumsToZero(poll, 0, 5));
    EXPECT_FALSE(SumsToZero(poll, 5, 7));
    run.peer->Write(kReadHwTyp);
    const TBytes answer = run.peer->Read(25, 3s);
    ASSERT_EQ(answer.size(), 25U);
    EXPECT_EQ(answer[8], 'N');
    EXPECT_TRUE(SumsToZero(answer, 0, 5));
    EXPECT_FALSE(SumsToZero(answer, 5, 25));
}

TEST(SimFaults, DropByte) {
    TSimOptions o = Quick();
    o.Faults.DropByte = 1;
    TRun run(o);
    std::set<std::size_t> positions;
    for (int i = 0; i < 12; ++i) {
        const TBytes poll = run.peer->Read(6, 3s);
        ASSERT_EQ(poll.size(), 6U);
        // The poll with exactly one byte left out.
        bool match = false;
        for (std::size_t at = 0; at < kPoll.size(); ++at) {
            TBytes cut = kPoll;
            cut.erase(cut.begin() + static_cast<std::ptrdiff_t>(at));
            if (cut == poll) {
                match = true;
                positions.insert(at == 6 ? 5 : at); // the two zero bytes look alike
            }
        }
        EXPECT_TRUE(match) << i;
    }
    EXPECT_GT(positions.size(), 1U); // not always the same byte
}

TEST(SimFaults, NoiseBetweenTelegramsIsReproducible) {
    TSimOptions o = Quick();
    o.Faults.Noise = 1;
    o.Faults.NoiseMax = 3;
    o.Faults.Seed = 7;
    std::vector<TBytes> first;
    {
        TRun run(o);
        first = Between(*run.peer, 6);
    }
    ASSERT_EQ(first.size(), 6U);
    for (const TBytes& gap : first) {
        EXPECT_GE(gap.size(), 1U);
        EXPECT_LE(gap.size(), 3U);
    }
    std::vector<TBytes> again;
    {
        TRun run(o);
        again = Between(*run.peer, 6);
    }
    EXPECT_EQ(again, first);
    o.Faults.Seed = 8;
    TRun other(o);
    EXPECT_NE(Between(*other.peer, 6), first);
}

TEST(SimFaults, OtherStationsTraffic) {
    TSimOptions o = Quick();
    o.Faults.Foreign = 1;
    TRun run(o);
    int toDevice = 0;
    int toExpander = 0;
    int network = 0;
    for (const TBytes& t : Between(*run.peer, 40)) {
        ASSERT_GE(t.size(), 7U);
        EXPECT_EQ(t[0], 0xA5);
        EXPECT_EQ(t.size(), 5U + (t[3] & 0x1FU) + 2U);
        EXPECT_TRUE(SumsToZero(t, 0, 5));
        EXPECT_TRUE(SumsToZero(t, 5, t.size()));
        const std::uint8_t destination = t[1];
        const std::uint8_t source = t[2];
        if (destination == 20 && source >= 32 && source <= 47) {
            ++toDevice;
        } else if (source == 20 && destination >= 32 && destination <= 47) {
            ++toExpander;
        } else if (source >= 55 && source <= 62 && destination >= 55 && destination <= 63) {
            ++network;
        } else {
            ADD_FAILURE() << "unexpected station pair " << int(destination) << " <- "
                          << int(source);
        }
    }
    EXPECT_GT(toDevice, 0);
    EXPECT_GT(toExpander, 0);
    EXPECT_GT(network, 0);
}

TEST(SimFaults, ReadLeftUnanswered) {
    TSimOptions o = Quick();
    o.AnswerTimeout = 400ms;
    o.Faults.NoAnswer = 1;
    TRun run(o);
    ASSERT_TRUE(run.peer->WaitPoll(3s));
    run.peer->Write(kReadHwTyp);
    TBytes reply;
    ASSERT_TRUE(run.peer->WaitPoll(3s, &reply));
    EXPECT_TRUE(reply.empty());
    run.sim.Stop();
    const TSimStats s = run.sim.Stats();
    EXPECT_EQ(s.RequestsRead, 1U);
    EXPECT_EQ(s.Answers, 0U);
    EXPECT_EQ(s.Faults[static_cast<std::size_t>(TFault::NoAnswer)], 1U);
}

TEST(SimFaults, PollingStopsForGood) {
    TSimOptions o = Quick();
    o.Faults.StopAfter = 3;
    TRun run(o);
    const TBytes stream = run.peer->ReadFor(600ms);
    TBytes three;
    for (int i = 0; i < 3; ++i) {
        three.insert(three.end(), kPoll.begin(), kPoll.end());
    }
    EXPECT_THAT(stream, ElementsAreArray(three));
    run.sim.Stop();
    EXPECT_EQ(run.sim.Stats().Polls, 3U);
    EXPECT_EQ(run.sim.Stats().Faults[static_cast<std::size_t>(TFault::StopPolling)], 1U);
}

TEST(SimFaults, PollingPausesAndResumes) {
    TSimOptions o = Quick();
    o.Faults.StopAfter = 2;
    o.Faults.StopFor = 600ms;
    TRun run(o);
    ASSERT_TRUE(run.peer->WaitPoll(3s));
    ASSERT_TRUE(run.peer->WaitPoll(3s));
    const auto second = std::chrono::steady_clock::now();
    ASSERT_TRUE(run.peer->WaitPoll(5s));
    EXPECT_GE(std::chrono::steady_clock::now() - second, 400ms);
    ASSERT_TRUE(run.peer->WaitPoll(3s)); // and polls on
}

TEST(SimFaults, UnpluggedForGood) {
    TSimOptions o = Quick();
    o.Faults.UnplugAfter = 2;
    TRun run(o);
    ASSERT_TRUE(run.peer->WaitPoll(3s));
    ASSERT_TRUE(run.peer->WaitPoll(3s));
    EXPECT_TRUE(run.peer->HungUp(3s));
    for (int i = 0; i < 300 && !run.sim.Finished(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(run.sim.Finished());
    EXPECT_EQ(run.sim.Stats().Faults[static_cast<std::size_t>(TFault::Unplug)], 1U);
}

TEST(SimFaults, UnpluggedAndPluggedInAgain) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("simreplug" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    TSimOptions o = Quick();
    o.LinkPath = (dir / "tty").string();
    o.Faults.UnplugAfter = 1;
    o.Faults.UnplugFor = 200ms;
    TRun run(o);
    {
        TPeer viaLink(o.LinkPath);
        ASSERT_TRUE(viaLink.WaitPoll(3s));
        EXPECT_TRUE(viaLink.HungUp(3s));
    }
    for (int i = 0; i < 300 && run.sim.Generation() < 2; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(run.sim.Generation(), 2U);
    EXPECT_EQ(std::filesystem::read_symlink(o.LinkPath).string(), run.sim.SlavePath());
    TPeer again(o.LinkPath);
    EXPECT_TRUE(again.WaitPoll(3s));
    run.sim.Stop();
    std::filesystem::remove_all(dir);
}

TEST(SimFaults, RandomStreamsAreReproducibleAndIndependent) {
    TRandom a(42);
    TRandom b(42);
    TRandom c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const auto x = a.Next();
        EXPECT_EQ(x, b.Next());
        differs = differs || x != c.Next();
    }
    EXPECT_TRUE(differs);
    EXPECT_FALSE(a.Chance(0));
    EXPECT_TRUE(a.Chance(1));
    int hits = 0;
    for (int i = 0; i < 10000; ++i) {
        hits += a.Chance(0.25) ? 1 : 0;
    }
    EXPECT_NEAR(hits, 2500, 300);

    // Enabling a second fault does not move the first one's choices.
    TFaultOptions only;
    only.CorruptHeader = 0.5;
    TFaultOptions both = only;
    both.DropByte = 0.5;
    TFaultInjector x(only);
    TFaultInjector y(both);
    for (int i = 0; i < 50; ++i) {
        TFaultCounts cx{};
        TFaultCounts cy{};
        TBytes px = BuildPoll();
        TBytes py = BuildPoll();
        x.Damage(px, cx);
        y.Damage(py, cy);
        EXPECT_EQ(cx[0], cy[0]) << i;
    }
}
