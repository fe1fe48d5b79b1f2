// Write pairs through the whole link on a clean line: each write followed by the read-back of
// the same block, the link alternating between the two on successive polls while the pair is
// at the head of the queue, the read-back answer completing it.

#include "E2eChecks.h"
#include "E2eData.h"
#include "E2eRig.h"
#include "KomunikaceTestAccess.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

using namespace e2e;

namespace {

// Phone blocks, expander and input blocks, the record-memory block that shares its number with
// the hardware-type text, the first block outside every window and the last block of memory.
constexpr std::array<std::uint16_t, 8> kWriteAddresses{0x0020, 0x0070, 0x0110, 0x0C00,
                                                       0x1310, 0x7F00, 0x8F00, 0xFFF0};

} // namespace

TEST(LinkWrite, EachPairChangesExactlyItsBlock) {
    const sim::TSimOptions options = FastOptions();
    TLinkRig rig(options, SeededMemory(3));
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const sim::TSimMemory before = rig.Sim.Memory();
    const std::vector<TBlockWrite> blocks = WriteSet(before, kWriteAddresses, 99);
    const sim::TSimMemory want = Written(before, blocks);

    rig.Decoder.StartWrite(blocks);
    ASSERT_TRUE(rig.Link.Zapisuju());
    EXPECT_EQ(rig.Link.PocCyklu(), 0);
    const auto queued = TKomunikaceTestAccess::Telegramy(rig.Link);
    const auto write = QueuedEntry(queued, 0);
    const auto read = QueuedEntry(queued, 1);
    ASSERT_TRUE(write && read);
    EXPECT_TRUE(write->Write());
    EXPECT_FALSE(read->Write());
    EXPECT_EQ(read->Address, blocks.front().Address);

    std::set<int> cycles;
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Decoder.Idle(); }, 20s, kFastTick,
                             [&] { cycles.insert(rig.Link.PocCyklu()); }))
        << rig.Describe();
    EXPECT_FALSE(rig.Link.Zapisuju());
    EXPECT_EQ(rig.Link.PocetZaznamuFronty(), 0U);
    // The receive path counted the polls of each pair 1, 2; completing a pair put it back to 0.
    EXPECT_TRUE(cycles.count(1) == 1 && cycles.count(2) == 1);
    EXPECT_TRUE(*cycles.rbegin() <= 2) << *cycles.rbegin();

    // The device's memory: exactly the written blocks changed, the identification texts not.
    EXPECT_EQ(DiffMemory(want, rig.Sim.Memory()), "");
    EXPECT_EQ(rig.Sim.ReadMemory(sim::TMemoryKind::HWSW, 0x0C00, kBlock),
              PaddedText(options.HwTyp));

    // Each read-back saw its own write already done.
    ASSERT_EQ(rig.Decoder.ReadBacks().size(), blocks.size());
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        EXPECT_EQ(rig.Decoder.ReadBacks()[k].Address, blocks[k].Address);
        EXPECT_EQ(rig.Decoder.ReadBacks()[k].Data,
                  std::vector<std::uint8_t>(blocks[k].Data.begin(), blocks[k].Data.end()))
            << Hex(blocks[k].Address);
    }

    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    EXPECT_EQ(CheckWritePairs(wire.Sent, blocks), "");
    const sim::TSimStats s = rig.Sim.Stats();
    EXPECT_GE(s.RequestsWrite, blocks.size());
    EXPECT_EQ(s.BadFrames, 0U);
    EXPECT_EQ(rig.Decoder.Mismatched(), 0U);
    EXPECT_EQ(rig.UnsolicitedSends, 0U);
}

TEST(LinkWrite, ReadWriteAndReadAgainShowsTheNewNumbers) {
    TLinkRig rig(FastOptions(), SeededMemory(4));
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const sim::TSimMemory before = rig.Sim.Memory();

    const std::vector<TStep> chain = PhoneChain();
    rig.Decoder.StartRead(chain);
    ASSERT_TRUE(rig.RunUntilIdle(20s)) << rig.Describe();
    const std::size_t afterFirstRead = rig.Sent().Sent.size();

    // Numbers 2 and 7 changed, in that order, as the phone grid's write does.
    const std::array<std::uint16_t, 2> phones{0x0020, 0x0070};
    const std::vector<TBlockWrite> blocks = WriteSet(before, phones, 7);
    rig.Decoder.StartWrite(blocks);
    ASSERT_TRUE(rig.RunUntilIdle(20s)) << rig.Describe();
    EXPECT_FALSE(rig.Link.Zapisuju());
    const std::size_t afterWrite = rig.Sent().Sent.size();

    // Outside the write phase the link sends the head again, and answers are stored.
    rig.Decoder.StartRead(chain);
    ASSERT_TRUE(rig.RunUntilIdle(20s)) << rig.Describe();

    const sim::TSimMemory want = Written(before, blocks);
    for (std::uint16_t k = 0; k < 16; ++k) {
        const auto a = static_cast<std::uint16_t>(16 * k);
        EXPECT_EQ(rig.Decoder.Answers().at({ZAZNAM, a}),
                  want.Read(sim::TMemoryKind::ZAZNAM, a, kBlock))
            << Hex(a);
    }
    EXPECT_EQ(DiffMemory(want, rig.Sim.Memory()), "");

    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    const std::span<const TSent> sent(wire.Sent);
    EXPECT_EQ(CheckReadRequests(sent.first(afterFirstRead), chain), "");
    EXPECT_EQ(CheckWritePairs(sent.subspan(afterFirstRead, afterWrite - afterFirstRead), blocks),
              "");
    EXPECT_EQ(CheckReadRequests(sent.subspan(afterWrite), chain), "");
    EXPECT_EQ(rig.Decoder.Mismatched(), 0U);
}
