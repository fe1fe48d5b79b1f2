// The program's phone-number read (identification texts, then the 16 numbers) and a settings read,
// run by its device session through the whole link (real serial driver on the simulator's
// pseudo-terminal, receive path, link engine) on a clean line.

#include "E2eChecks.h"
#include "E2eData.h"
#include "LinkRig.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The device image holds every number and identification text as the device does.
void ExpectPhonesRead(const sim::TSimMemory& memory, const sim::TSimOptions& o) {
    EXPECT_EQ(Held(HWTYP), PaddedText(o.HwTyp));
    EXPECT_EQ(Held(VERSW), PaddedText(o.VerSw));
    EXPECT_EQ(Held(VERHW), PaddedText(o.VerHw));
    for (unsigned k = 0; k < 16; ++k) {
        EXPECT_EQ(NORLINKRec.TelCisla[k].View(), Bytes(memory, 16 * k, kBlock)) << "number " << k;
    }
}

} // namespace

TEST(LinkRead, IdentificationTextsAndAllPhoneBlocksArriveExactly) {
    const sim::TSimOptions options = FastOptions();
    const sim::TSimMemory memory = SeededMemory(1);
    for (const std::string& t : {options.HwTyp, options.VerSw, options.VerHw}) {
        ASSERT_TRUE(SafeAnswer(kHwswRead, 0x0C00, PaddedText(t))) << t;
    }
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const sim::TSimMemory before = rig.Sim.Memory();

    const std::vector<TRequest> chain = PhoneChain();
    ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 20s)) << rig.Describe();
    ExpectPhonesRead(memory, options);
    EXPECT_EQ(DiffMemory(before, rig.Sim.Memory()), "") << "reading changed nothing";

    // On the line: every request well formed, in chain order, each repeated only until answered.
    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    EXPECT_EQ(CheckReadRequests(wire.Sent, chain), "");
    EXPECT_EQ(rig.Link().PocetZaznamuFronty(), 0U);

    const sim::TSimStats s = rig.Sim.Stats();
    EXPECT_EQ(s.BadFrames, 0U);
    EXPECT_EQ(s.RequestsWrite, 0U);
    EXPECT_GE(s.RequestsRead, chain.size());
    EXPECT_EQ(rig.UnsolicitedSends, 0U);
    EXPECT_EQ(rig.LampNotToggled, 0U);
    EXPECT_EQ(rig.Tally.Polls, rig.Polls);
    // Each answer the device sent was taken once.
    EXPECT_EQ(rig.Tally.DataTelegrams, chain.size()) << rig.Describe();
    EXPECT_EQ(s.Answers, chain.size());
    // A clean line: nothing the receive path had to throw away as damaged.
    EXPECT_EQ(rig.Tally.HeaderErrors + rig.Tally.DataErrors + rig.Tally.Refused, 0U)
        << rig.Describe();

    // The queue is empty now: the device keeps polling, the link keeps quiet.
    const std::size_t written = rig.Wire->BytesWritten;
    const unsigned polls = rig.Polls;
    const std::uint64_t requests = rig.Sim.Stats().RequestsRead;
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Polls >= polls + 5; }, 10s)) << rig.Describe();
    EXPECT_EQ(rig.Wire->BytesWritten, written);
    EXPECT_EQ(rig.Sim.Stats().RequestsRead, requests);
}

TEST(LinkRead, SameAddressInTwoMemoriesAreTwoPlaces) {
    const sim::TSimOptions options = FastOptions();
    const sim::TSimMemory memory = SeededMemory(12);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    // 0x0C00 is the hardware-type text, and in record memory the second list of expander 6.
    ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 20s)) << rig.Describe();
    ASSERT_TRUE(rig.Run(rig.CteniNastaveni(TRozsahCteni{false, 1, 5, 0}), 20s)) << rig.Describe();
    EXPECT_EQ(Held(HWTYP), PaddedText(options.HwTyp));
    const auto& list = NORLINKRec.TelCislaObnovaKom[5];
    EXPECT_EQ(std::string(list.begin(), list.end()), Bytes(memory, 0x0C00, kBlock));
}
