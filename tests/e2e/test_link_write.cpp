// The program's writes through the whole link on a clean line: the settings write's pairs (each
// write followed by the read-back of the same block, the link alternating between the two on
// successive polls while the pair is at the head of the queue, the read-back answer completing
// it), and the phone write read back by a phone read.

#include "E2eChecks.h"
#include "E2eData.h"
#include "LinkRig.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

using namespace e2e;

namespace {

// Recipient lists of expanders and inputs: the record-memory block that shares its number with
// the hardware-type text, and those of input 8 of expanders 7 and 8, above the read windows.
constexpr std::array<std::uint16_t, 6> kWriteAddresses{0x0200, 0x0C00, 0x1300,
                                                       0x7F00, 0x8F00, 0x9000};

} // namespace

TEST(LinkWrite, EachPairChangesExactlyItsBlock) {
    const sim::TSimOptions options = FastOptions();
    TLinkRig rig(options, SeededMemory(3));
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const sim::TSimMemory before = rig.Sim.Memory();
    const std::vector<TBlockWrite> blocks = WriteSet(before, kWriteAddresses, 99);
    const sim::TSimMemory want = Written(before, blocks);
    PutLists(NORLINKRecNew, blocks);

    ASSERT_TRUE(rig.Spust(rig.ZapisNastaveni()));
    ASSERT_TRUE(rig.Link().Zapisuju());
    EXPECT_EQ(rig.Link().PocCyklu(), 0);
    std::set<int> cycles;
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.Relace.BeziOperace(); }, 20s, kFastTick,
                             [&] { cycles.insert(rig.Link().PocCyklu()); }))
        << rig.Describe();
    const TZapsaneBloky z = rig.Zapsano();
    EXPECT_TRUE(z.Overeno);
    EXPECT_EQ(z.Nezapsane, std::vector<std::uint16_t>{});
    EXPECT_FALSE(rig.Link().Zapisuju());
    EXPECT_EQ(rig.Link().PocetZaznamuFronty(), 0U);
    // The receive path counted the polls of each pair 1, 2; completing a pair put it back to 0.
    EXPECT_TRUE(cycles.count(1) == 1 && cycles.count(2) == 1);
    EXPECT_TRUE(*cycles.rbegin() <= 2) << *cycles.rbegin();

    // The device's memory: exactly the written blocks changed, the identification texts not.
    EXPECT_EQ(DiffMemory(want, rig.Sim.Memory()), "");
    EXPECT_EQ(rig.Sim.ReadMemory(sim::TMemoryKind::HWSW, 0x0C00, kBlock),
              PaddedText(options.HwTyp));

    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    EXPECT_EQ(CheckWritePairs(wire.Sent, InWriteOrder(blocks, z)), "");
    const sim::TSimStats s = rig.Sim.Stats();
    EXPECT_GE(s.RequestsWrite, blocks.size());
    EXPECT_EQ(s.BadFrames, 0U);
    EXPECT_EQ(rig.UnsolicitedSends, 0U);
}

TEST(LinkWrite, ReadWriteAndReadAgainShowsTheNewNumbers) {
    TLinkRig rig(FastOptions(), SeededMemory(4));
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const sim::TSimMemory before = rig.Sim.Memory();

    ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 20s)) << rig.Describe();
    const std::size_t afterFirstRead = rig.Sent().Sent.size();

    // Numbers 2 and 7 changed, in that order, as the phone grid's write sends them.
    const std::vector<TBlockWrite> blocks{{0x0020, PhoneBlock(0x0020, 7)},
                                          {0x0070, PhoneBlock(0x0070, 7)}};
    for (const TBlockWrite& w : blocks) {
        NORLINKRecNew.TelCisla[w.Address / 16] = Text(w.Data);
    }
    ASSERT_TRUE(rig.Run(rig.ZapisTelCisel(), 20s)) << rig.Describe();
    EXPECT_TRUE(rig.Zapsano().Overeno);
    EXPECT_FALSE(rig.Link().Zapisuju());
    const std::size_t afterWrite = rig.Sent().Sent.size();

    // Outside the write phase the link sends the head again, and answers are stored.
    ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 20s)) << rig.Describe();
    const sim::TSimMemory want = Written(before, blocks);
    for (unsigned k = 0; k < 16; ++k) {
        EXPECT_EQ(NORLINKRec.TelCisla[k].View(), Bytes(want, 16 * k, kBlock)) << k;
    }
    EXPECT_EQ(DiffMemory(want, rig.Sim.Memory()), "");

    // Each pair reads number 0 back; then every written block is read back.
    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    const std::span<const TSent> sent(wire.Sent);
    const std::span<const TSent> write = sent.subspan(afterFirstRead, afterWrite - afterFirstRead);
    const std::size_t pairs = PairsEnd(write);
    EXPECT_EQ(CheckReadRequests(sent.first(afterFirstRead), PhoneChain()), "");
    EXPECT_EQ(CheckWritePairs(write.first(pairs), blocks, 0x0000), "");
    EXPECT_EQ(CheckReadRequests(write.subspan(pairs), {{ZAZNAM, 0x0020}, {ZAZNAM, 0x0070}}), "");
    EXPECT_EQ(CheckReadRequests(sent.subspan(afterWrite), PhoneChain()), "");
}
