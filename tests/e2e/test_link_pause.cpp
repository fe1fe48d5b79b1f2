// The device stops polling for a while, again and again, in the middle of a read and of a write.
// The link never speaks unasked: during a pause nothing leaves the program and the device
// receives nothing. When polling resumes, the chains go on and complete exactly.

#include "E2eChecks.h"
#include "E2eData.h"
#include "LinkRig.h"

#include <gtest/gtest.h>

#include <array>

using namespace e2e;

namespace {

constexpr auto kPause = 600ms;
// A pause is watched from two ticks after it was seen until this long after; it lasts kPause
// from a moment no earlier than the observation before, and a pause seen only after a longer
// stall of the test thread than kLateSight is not watched, so the window lies inside the pause.
constexpr auto kWatched = 350ms;
constexpr auto kLateSight = 100ms;

// Watches the simulator's statistics between ticks.
class TPauseWatch {
public:
    explicit TPauseWatch(TLinkRig& rig) : fRig(rig), fLastSeen(TClock::now()) {}

    void Look() {
        const sim::TSimStats s = fRig.Sim.Stats();
        const auto now = TClock::now();
        const auto stops = s.Faults[static_cast<std::size_t>(sim::TFault::StopPolling)];
        if (stops > fStops) {
            fStops = stops;
            if (now - fLastSeen <= kLateSight) {
                fWatching = true;
                fSince = now;
                fGrace = 2;
                fPolls = s.Polls;
            }
        }
        fLastSeen = now;
        if (!fWatching) {
            return;
        }
        if (now > fSince + kWatched) {
            fWatching = false;
            ++Watched;
            return;
        }
        if (s.Polls != fPolls) {
            Violations.push_back("the device polled during its pause");
            fWatching = false;
            return;
        }
        if (fGrace > 0) {
            // Whatever was on its way when the pause began is taken in these ticks.
            if (--fGrace == 0) {
                fBase = s;
                fWritten = fRig.Wire->BytesWritten;
                fPollsTaken = fRig.Polls;
            }
            return;
        }
        ++WatchedTicks;
        if (fRig.Wire->BytesWritten != fWritten) {
            Violations.push_back("the link sent " +
                                 std::to_string(fRig.Wire->BytesWritten - fWritten) +
                                 " bytes during a pause");
        }
        if (fRig.Polls != fPollsTaken) {
            Violations.push_back("the receive path saw a poll during a pause");
        }
        if (s.RequestsRead != fBase.RequestsRead || s.RequestsWrite != fBase.RequestsWrite ||
            s.RequestsIgnored != fBase.RequestsIgnored || s.BadFrames != fBase.BadFrames ||
            s.SkippedBytes != fBase.SkippedBytes) {
            Violations.push_back("the device received bytes during a pause");
        }
        if (!Violations.empty()) {
            fWatching = false;
        }
    }

    unsigned Watched = 0;
    unsigned WatchedTicks = 0;
    std::vector<std::string> Violations;

private:
    TLinkRig& fRig;
    std::uint64_t fStops = 0;
    TClock::time_point fLastSeen;
    bool fWatching = false;
    TClock::time_point fSince;
    int fGrace = 0;
    std::uint64_t fPolls = 0;
    sim::TSimStats fBase;
    std::size_t fWritten = 0;
    unsigned fPollsTaken = 0;
};

} // namespace

TEST(LinkPause, NothingIsSentWhilePollingStopsAndTheChainsCompleteAfter) {
    sim::TSimOptions options = FastOptions();
    options.Faults.StopAfter = 7;
    options.Faults.StopFor = kPause;
    const sim::TSimMemory memory = SeededMemory(6);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const sim::TSimMemory before = rig.Sim.Memory();
    TPauseWatch watch(rig);

    const auto look = [&] { watch.Look(); };
    ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 40s, kFastTick, look)) << rig.Describe();
    for (unsigned k = 0; k < 16; ++k) {
        EXPECT_EQ(NORLINKRec.TelCisla[k].View(), Bytes(memory, 16 * k, kBlock)) << k;
    }

    const std::array<std::uint16_t, 3> addresses{0x0300, 0x1500, 0x4300};
    const std::vector<TBlockWrite> blocks = WriteSet(before, addresses, 21);
    PutLists(NORLINKRecNew, blocks);
    ASSERT_TRUE(rig.Run(rig.ZapisNastaveni(), 40s, kFastTick, look)) << rig.Describe();
    EXPECT_EQ(DiffMemory(Written(before, blocks), rig.Sim.Memory()), "");

    EXPECT_EQ(watch.Violations, std::vector<std::string>{});
    EXPECT_GE(rig.Sim.Stats().Faults[static_cast<std::size_t>(sim::TFault::StopPolling)], 3U);
    // At least two pauses were watched through, some twenty ticks each.
    EXPECT_GE(watch.Watched, 2U);
    EXPECT_GE(watch.WatchedTicks, 30U);
    EXPECT_EQ(rig.UnsolicitedSends, 0U);
}
