// The simulator's line is pulled under a read and plugged back in behind the same link: the
// session, watched as the window watches it, opens the link again within 2 s of its return; the
// cut read stays cancelled.

#include "E2eData.h"
#include "LinkRig.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

using namespace e2e;

TEST(LinkNavrat, TheSessionOpensTheLinkAgainWithinTwoSecondsOfItsReturn) {
    TScratchDir dir("norlink-navrat");
    sim::TSimOptions options = FastOptions();
    options.LinkPath = (dir / "norlink-sim").string();
    options.Faults.UnplugAfter = 12; // a phone read takes some 20 polls: it is cut
    options.Faults.UnplugFor = 700ms;
    TLinkRig rig(options, SeededMemory(10));
    std::string error;
    ASSERT_TRUE(rig.TE2eRig::Start(error)) << error;
    ASSERT_TRUE(rig.Relace.Otevri(kComNumber, {{kComNumber, options.LinkPath}}, 4800));
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Polls >= 3; }, 10s)) << rig.Describe();
    ASSERT_TRUE(rig.Spust(rig.CteniTelCisel()));

    const unsigned generation = rig.Sim.Generation();
    TClock::time_point back{}; // when the simulator's new line appeared
    const auto watch = [&] {
        rig.Relace.Hlidej();
        if (back == TClock::time_point{} && rig.Sim.Generation() > generation) {
            back = TClock::now();
        }
    };
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Returns > 0; }, 10s, kFastTick, watch))
        << rig.Describe();
    EXPECT_LT(TClock::now() - back, 2s);
    EXPECT_EQ(rig.Wire->Opens, 2U);
    EXPECT_EQ(rig.Stav, TStavOperace::Zrusena) << "the cut read stays cancelled";
    EXPECT_FALSE(rig.Relace.BeziOperace());
}
