// The link at the real line rate: the simulator paces every byte at 4800 Bd (about 2.08 ms a
// byte) and the test ticks the driver every 40 ms, as the window's timer does. Polls and answers
// then arrive split over ticks and must be put together by the receive path, and the answer to a
// poll must leave within the tick that completed the poll.
//
// The bound. The simulator measures from the end of a poll's last byte to the first byte of the
// program's answer. The poll is complete in the port one byte time before that end; the next
// tick comes within one period (40 ms), reads the poll and answers at once: DTR up, and the write
// from the driver's 1 ms ticks once the 2 ms guard has passed. On a pseudo-terminal the first byte
// is there as soon as it is written, so a link that answers in the completing tick shows latencies
// below 40 ms plus scheduling noise; one that answers a tick late, 40 ms more. On a real line the
// send of a 10-byte request (10 x 2.08 ms) and the closing guard may hold the port as well.
//
// Where in the tick the latencies fall: the simulator's cycle is fixed by its own pacing, so
// after the first poll every poll ends at the same phase of the test's 40 ms schedule and the
// latencies cluster at one value instead of spreading over the tick. From the tick that answers
// to the end of the next poll: the 2 ms guard, the 25-byte answer (52 ms), the gap and the
// poll's first six bytes (12.5 ms). A gap of 73 ms makes that 140 ms, three and a half ticks,
// so the cluster sits mid-tick, near 20 ms, and the simulator's own overheads move it earlier.
//
// Checked: the median within one tick (40 ms): a link that answers a tick late has a median
// near 60 ms. The maximum within two ticks plus the send time and both guards (about 105 ms): a
// single answer may lose up to a tick more to a late wake-up of the test thread on a loaded
// machine, never two.

#include "E2eChecks.h"
#include "E2eData.h"
#include "LinkRig.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

constexpr auto kByteTime = std::chrono::microseconds(2083); // 10 bits at 4800 Bd
constexpr auto kGuards = 4ms;                               // DTR up and down, 2 ms each
constexpr auto kRequestSend = 10 * kByteTime;               // 0xFF and a 9-byte read

} // namespace

TEST(LinkLatency, AnswersLeaveWithinTheTickThatCompletedThePoll) {
    sim::TSimOptions options = FastOptions();
    options.Fast = false;
    options.Baud = 4800;
    // Longer than a tick, so that the end of an answer and the next poll seldom share a read;
    // and it puts the end of each poll mid-tick (see above).
    options.Gap = 73ms;
    options.AnswerTimeout = 250ms;
    const sim::TSimMemory memory = SeededMemory(10);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    ASSERT_EQ(rig.Timer->Period(), kProgramTick);

    ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 40s, kProgramTick)) << rig.Describe();
    for (unsigned k = 0; k < 16; ++k) {
        EXPECT_EQ(NORLINKRec.TelCisla[k].View(), Bytes(memory, 16 * k, kBlock)) << k;
    }

    const sim::TLatencySummary latency = rig.Sim.Stats().Latency;
    ASSERT_GE(latency.Count, PhoneChain().size());
    const auto median = std::chrono::duration_cast<std::chrono::microseconds>(kProgramTick);
    const auto maximum = std::chrono::duration_cast<std::chrono::microseconds>(
        2 * kProgramTick + kRequestSend + kGuards);
    std::vector<std::chrono::microseconds> late = rig.PollTickLateness;
    std::sort(late.begin(), late.end());
    const std::string lateness = late.empty() ? std::string("no ticks")
                                              : "ticks that took a poll ran late by: median " +
                                                    std::to_string(late[late.size() / 2].count()) +
                                                    " us, max " +
                                                    std::to_string(late.back().count()) + " us";
    EXPECT_LE(latency.Median, median) << rig.Describe() << "\n" << lateness;
    EXPECT_LE(latency.Max, maximum) << rig.Describe() << "\n" << lateness;
}
