// The identification texts and the 16 phone blocks read through the whole link (real serial
// driver on the simulator's pseudo-terminal, receive path, link engine, builder) on a clean line.

#include "E2eChecks.h"
#include "E2eData.h"
#include "E2eRig.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// What the answer of a step must carry, from the memory the simulator was given.
std::vector<std::uint8_t> Expected(const sim::TSimMemory& memory, const sim::TSimOptions& o,
                                   const TStep& step) {
    if (step.Memory == HWSW) {
        switch (step.Address) {
        case 0x0C00:
            return PaddedText(o.HwTyp);
        case 0x0C10:
            return PaddedText(o.VerSw);
        case 0x0C20:
            return PaddedText(o.VerHw);
        default:
            return {};
        }
    }
    return memory.Read(sim::TMemoryKind::ZAZNAM, step.Address, kBlock);
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

    const std::vector<TStep> chain = PhoneChain();
    rig.Decoder.StartRead(chain);
    ASSERT_TRUE(rig.RunUntilIdle(20s)) << rig.Describe();

    ASSERT_EQ(rig.Decoder.Answers().size(), chain.size()) << rig.Describe();
    for (const TStep& step : chain) {
        const auto it = rig.Decoder.Answers().find({step.Memory, step.Address});
        ASSERT_NE(it, rig.Decoder.Answers().end()) << Hex(step.Address);
        EXPECT_EQ(it->second, Expected(memory, options, step))
            << "kind " << int(step.Memory) << " at " << Hex(step.Address);
    }
    // The simulator's own view of the same places agrees, and reading changed nothing.
    EXPECT_EQ(rig.Decoder.Answers().at({HWSW, 0x0C10}),
              rig.Sim.ReadMemory(sim::TMemoryKind::HWSW, 0x0C10, kBlock));
    EXPECT_EQ(rig.Decoder.Answers().at({ZAZNAM, 0x00F0}),
              rig.Sim.ReadMemory(sim::TMemoryKind::ZAZNAM, 0x00F0, kBlock));
    EXPECT_EQ(DiffMemory(before, rig.Sim.Memory()), "");

    // On the line: every request well formed, in chain order, each repeated only until answered.
    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    EXPECT_EQ(CheckReadRequests(wire.Sent, chain), "");
    EXPECT_EQ(rig.Link.PocetZaznamuFronty(), 0U);

    const sim::TSimStats s = rig.Sim.Stats();
    EXPECT_EQ(s.BadFrames, 0U);
    EXPECT_EQ(s.RequestsWrite, 0U);
    EXPECT_GE(s.RequestsRead, chain.size());
    EXPECT_EQ(rig.Decoder.Mismatched(), 0U);
    EXPECT_EQ(rig.Decoder.OtherKinds(), 0U);
    EXPECT_EQ(rig.UnsolicitedSends, 0U);
    EXPECT_EQ(rig.Decoder.LampNotToggled(), 0U);
    EXPECT_EQ(rig.Tally.Polls, rig.Decoder.Polls());
    // Each answer the device sent was taken once.
    EXPECT_EQ(rig.Tally.DataTelegrams, chain.size()) << rig.Describe();
    EXPECT_EQ(s.Answers, chain.size());
    // A clean line: nothing the receive path had to throw away as damaged.
    EXPECT_EQ(rig.Tally.HeaderErrors + rig.Tally.DataErrors + rig.Tally.Refused, 0U)
        << rig.Describe();
}

TEST(LinkRead, PollsWithAnEmptyQueueGoUnanswered) {
    TLinkRig rig(FastOptions(), SeededMemory(2));
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    rig.Decoder.StartRead({TableStep(HWSW, NORLINK_Z_VERHW)});
    ASSERT_TRUE(rig.RunUntilIdle(10s)) << rig.Describe();
    EXPECT_EQ(rig.Decoder.Answers().at({HWSW, 0x0C20}), PaddedText(FastOptions().VerHw));

    // The queue is empty now: the device keeps polling, the link keeps quiet.
    const std::size_t written = rig.Wire->BytesWritten;
    const unsigned polls = rig.Decoder.Polls();
    const std::uint64_t requests = rig.Sim.Stats().RequestsRead;
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Decoder.Polls() >= polls + 5; }, 10s))
        << rig.Describe();
    EXPECT_EQ(rig.Wire->BytesWritten, written);
    EXPECT_EQ(rig.Sim.Stats().RequestsRead, requests);
}

TEST(LinkRead, SameAddressInTwoMemoriesAreTwoPlaces) {
    const sim::TSimOptions options = FastOptions();
    const sim::TSimMemory memory = SeededMemory(12);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    // 0x0C00 is the hardware-type text, and in record memory a block of expander 6.
    rig.Decoder.StartRead({TableStep(HWSW, NORLINK_Z_HWTYP), BlockStep(0x0C00)});
    ASSERT_TRUE(rig.RunUntilIdle(10s)) << rig.Describe();
    EXPECT_EQ(rig.Decoder.Answers().at({HWSW, 0x0C00}), PaddedText(options.HwTyp));
    EXPECT_EQ(rig.Decoder.Answers().at({ZAZNAM, 0x0C00}),
              memory.Read(sim::TMemoryKind::ZAZNAM, 0x0C00, kBlock));
    EXPECT_EQ(rig.Decoder.Mismatched(), 0U);
}
