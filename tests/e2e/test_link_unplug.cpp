// The device's line goes away under the link (the simulator closes its pseudo-terminal, as a USB
// adapter pulled out would): the driver reports the loss once, closes the port and stops its
// timer; later ticks do nothing and nothing crashes. The queued request survives, so a link
// opened again on the new line finishes the chain.

#include "E2eChecks.h"
#include "E2eData.h"
#include "E2eRig.h"
#include "KomunikaceTestAccess.h"

#include <gtest/gtest.h>

#include <thread>

using namespace e2e;

TEST(LinkUnplug, LossIsReportedOnceAndLaterTicksDoNothing) {
    sim::TSimOptions options = FastOptions();
    options.Faults.UnplugAfter = 6;
    const sim::TSimMemory memory = SeededMemory(8);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;

    const std::vector<TStep> chain = PhoneChain();
    rig.Decoder.StartRead(chain);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.LostCount > 0; }, 10s)) << rig.Describe();

    EXPECT_EQ(rig.LostCount, 1U);
    EXPECT_FALSE(rig.LostReason.empty());
    EXPECT_EQ(rig.Link.Com().LastError(), rig.LostReason);
    EXPECT_TRUE(rig.Link.Com().ConnectionLost());
    EXPECT_FALSE(rig.Link.Com().Connected());
    EXPECT_FALSE(rig.Timer->Running());

    // Six polls: the chain got no further than six answers, each of them exact, and the request
    // that was waiting is still queued.
    const std::size_t done = rig.Decoder.StepsDone();
    EXPECT_LE(done, 6U);
    for (const auto& [key, data] : rig.Decoder.Answers()) {
        const auto want = key.first == HWSW
                              ? rig.Sim.ReadMemory(sim::TMemoryKind::HWSW, key.second, kBlock)
                              : memory.Read(sim::TMemoryKind::ZAZNAM, key.second, kBlock);
        EXPECT_EQ(data, want) << Hex(key.second);
    }
    const auto head = QueuedEntry(TKomunikaceTestAccess::Telegramy(rig.Link), 0);
    ASSERT_TRUE(head.has_value());
    EXPECT_EQ(head->Address, chain[done].Address);

    // Later ticks do nothing: the timer is stopped, the port closed.
    const std::size_t written = rig.Wire->BytesWritten;
    const std::size_t read = rig.Wire->BytesRead;
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(rig.Pump());
        std::this_thread::sleep_for(kFastTick);
    }
    rig.Link.Com().TimerWndProc();
    EXPECT_EQ(rig.LostCount, 1U);
    EXPECT_EQ(rig.Wire->BytesWritten, written);
    EXPECT_EQ(rig.Wire->BytesRead, read);

    // A poll that reaches the receive path all the same is answered into nothing.
    const std::vector<std::uint8_t> poll{0xA5, 0x3F, 0x14, 0x80, 0x88, 0x00, 0x00};
    const unsigned polls = rig.Decoder.Polls();
    rig.Prijem.ComReceiveData(rig.Link.Com(), poll);
    EXPECT_EQ(rig.Decoder.Polls(), polls + 1);
    EXPECT_EQ(rig.Link.Com().SendData(poll), 0U);
    EXPECT_EQ(rig.Wire->BytesWritten, written);
    EXPECT_EQ(rig.LostCount, 1U);

    // The simulator, unplugged for good, has ended.
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Sim.Finished(); }, 5s));
    EXPECT_EQ(rig.Sim.Stats().Faults[static_cast<std::size_t>(sim::TFault::Unplug)], 1U);
}

TEST(LinkUnplug, OpenedAgainOnTheNewLineTheChainCompletes) {
    sim::TSimOptions options = FastOptions();
    options.Faults.UnplugAfter = 8;
    options.Faults.UnplugFor = 200ms;
    const sim::TSimMemory memory = SeededMemory(9);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;

    // As the window would on the user's word: once the loss is known and the device is back
    // (a new pseudo-terminal), connect again, keeping the queue.
    unsigned generation = rig.Sim.Generation();
    unsigned reconnects = 0;
    std::vector<std::string> failures;
    const auto reconnect = [&] {
        if (!rig.Link.Com().Connected() && rig.Sim.Generation() > generation) {
            generation = rig.Sim.Generation();
            std::string why;
            if (rig.Connect(why)) {
                ++reconnects;
                EXPECT_FALSE(rig.Link.Com().ConnectionLost());
            } else {
                failures.push_back(why);
            }
        }
    };

    const std::vector<TStep> chain = PhoneChain();
    rig.Decoder.StartRead(chain);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Decoder.Idle(); }, 40s, kFastTick, reconnect))
        << rig.Describe();
    EXPECT_EQ(failures, std::vector<std::string>{});
    for (const TStep& step : chain) {
        const auto want = step.Memory == HWSW
                              ? rig.Sim.ReadMemory(sim::TMemoryKind::HWSW, step.Address, kBlock)
                              : memory.Read(sim::TMemoryKind::ZAZNAM, step.Address, kBlock);
        EXPECT_EQ(rig.Decoder.Answers().at({step.Memory, step.Address}), want) << Hex(step.Address);
    }
    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    EXPECT_EQ(CheckReadRequests(wire.Sent, chain), "");

    // 19 answers take at least 19 polls: the line went away at least twice. Each loss was
    // reported exactly once, and each brought one new opening of the port.
    rig.Sim.Stop();
    for (int i = 0; i < 5; ++i) {
        rig.Pump();
    }
    const auto unplugs = rig.Sim.Stats().Faults[static_cast<std::size_t>(sim::TFault::Unplug)];
    EXPECT_GE(unplugs, 2U);
    EXPECT_EQ(rig.LostCount, unplugs);
    EXPECT_EQ(rig.Wire->Opens, 1U + reconnects);
    EXPECT_GE(reconnects, 2U);
    EXPECT_EQ(rig.Decoder.Mismatched(), 0U);
}
