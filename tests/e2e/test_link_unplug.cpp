// The device's line goes away under a read (the simulator closes its pseudo-terminal, as a USB
// adapter pulled out would): the driver reports the loss once, closes the port and stops its
// timer; the session ends the read as cancelled with nothing half-read kept; later ticks do
// nothing and nothing crashes. Opened again on the new line, the read completes.

#include "E2eChecks.h"
#include "E2eData.h"
#include "LinkRig.h"

#include <gtest/gtest.h>

#include <thread>

using namespace e2e;

TEST(LinkUnplug, LossIsReportedOnceAndLaterTicksDoNothing) {
    sim::TSimOptions options = FastOptions();
    options.Faults.UnplugAfter = 6;
    TLinkRig rig(options, SeededMemory(8));
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const TNORLINK image = NORLINKRec;

    ASSERT_TRUE(rig.Spust(rig.CteniTelCisel()));
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Losses > 0; }, 10s)) << rig.Describe();

    EXPECT_EQ(rig.Losses, 1U);
    EXPECT_FALSE(rig.Link().Com().LastError().empty());
    EXPECT_TRUE(rig.Link().Com().ConnectionLost());
    EXPECT_FALSE(rig.Link().Com().Connected());
    EXPECT_FALSE(rig.Timer->Running());
    // Six polls: the read got no further, ended as cancelled and put back what it had emptied.
    EXPECT_EQ(rig.Stav, TStavOperace::Zrusena);
    EXPECT_FALSE(rig.Relace.BeziOperace());
    EXPECT_TRUE(NORLINKRec == image);
    EXPECT_EQ(rig.Link().PocetZaznamuFronty(), 0U);

    // Later ticks do nothing: the timer is stopped, the port closed.
    const std::size_t written = rig.Wire->BytesWritten;
    const std::size_t read = rig.Wire->BytesRead;
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(rig.Pump());
        std::this_thread::sleep_for(kFastTick);
    }
    rig.Link().Com().TimerWndProc();
    rig.Okno.RunPlanned();
    EXPECT_EQ(rig.Losses, 1U);
    EXPECT_EQ(rig.Wire->BytesWritten, written);
    EXPECT_EQ(rig.Wire->BytesRead, read);

    // A poll that reaches the receive path all the same is answered into nothing.
    const std::vector<std::uint8_t> poll{0xA5, 0x3F, 0x14, 0x80, 0x88, 0x00, 0x00};
    const unsigned polls = rig.Polls;
    rig.Relace.Prijem().ComReceiveData(rig.Link().Com(), poll);
    EXPECT_EQ(rig.Polls, polls + 1);
    EXPECT_EQ(rig.Link().Com().SendData(poll), 0U);
    EXPECT_EQ(rig.Wire->BytesWritten, written);
    EXPECT_EQ(rig.Losses, 1U);

    // The simulator, unplugged for good, has ended.
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Sim.Finished(); }, 5s));
    EXPECT_EQ(rig.Sim.Stats().Faults[static_cast<std::size_t>(sim::TFault::Unplug)], 1U);
}

TEST(LinkUnplug, OpenedAgainOnTheNewLineTheReadCompletes) {
    sim::TSimOptions options = FastOptions();
    // A clean read takes some 20 polls: started at poll 20, it is cut, and the next one is not.
    options.Faults.UnplugAfter = 30;
    options.Faults.UnplugFor = 200ms;
    const sim::TSimMemory memory = SeededMemory(9);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;

    // As the window does on the user's word: once the loss is known and the device is back (a
    // new pseudo-terminal), open the port again and start the read again.
    unsigned generation = rig.Sim.Generation();
    unsigned reconnects = 0;
    std::vector<std::string> failures;
    std::size_t since = 0; // the transmissions of the last attempt begin here
    const auto reconnect = [&] {
        if (!rig.Relace.BeziOperace() && !rig.Link().Com().Connected() &&
            rig.Sim.Generation() > generation) {
            generation = rig.Sim.Generation();
            std::string why;
            if (!rig.Connect(why)) {
                failures.push_back(why);
                return;
            }
            ++reconnects;
            EXPECT_EQ(rig.Stav, TStavOperace::Zrusena);
            EXPECT_FALSE(rig.Link().Com().ConnectionLost());
            since = rig.Sent().Sent.size();
            EXPECT_TRUE(rig.Spust(rig.CteniTelCisel()));
        }
    };
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Polls >= 20; }, 10s)) << rig.Describe();
    ASSERT_TRUE(rig.Spust(rig.CteniTelCisel()));
    ASSERT_TRUE(
        rig.RunUntil([&] { return rig.Stav == TStavOperace::Hotovo; }, 40s, kFastTick, reconnect))
        << rig.Describe();
    EXPECT_EQ(failures, std::vector<std::string>{});
    for (unsigned k = 0; k < 16; ++k) {
        EXPECT_EQ(NORLINKRec.TelCisla[k].View(), Bytes(memory, 16 * k, kBlock)) << k;
    }
    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    EXPECT_EQ(CheckReadRequests(std::span<const TSent>(wire.Sent).subspan(since), PhoneChain()),
              "");

    // Each loss was reported exactly once, and each brought one new opening of the port.
    rig.Sim.Stop();
    for (int i = 0; i < 5; ++i) {
        rig.Pump();
    }
    const auto unplugs = rig.Sim.Stats().Faults[static_cast<std::size_t>(sim::TFault::Unplug)];
    EXPECT_EQ(unplugs, 1U);
    EXPECT_EQ(rig.Losses, unplugs);
    EXPECT_EQ(rig.Wire->Opens, 1U + reconnects);
    EXPECT_EQ(reconnects, unplugs);
}
