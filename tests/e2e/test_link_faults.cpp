// A read and a write session on a faulty line: the simulator damages its polls and answers,
// loses bytes, puts noise and other stations' traffic between telegrams, or leaves requests
// unanswered (each fault with a fixed seed). The receive path throws the damage away, the link
// repeats what was not answered, and the results must still be exact: every block read as the
// device holds it, every block written where it belongs and nowhere else.

#include "E2eChecks.h"
#include "E2eData.h"
#include "LinkRig.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>

using namespace e2e;

namespace {

struct TFaultCase {
    const char* Name;
    sim::TFault Fault;
    void (*Set)(sim::TFaultOptions&);
};

void PrintTo(const TFaultCase& c, std::ostream* os) {
    *os << c.Name;
}

// Rates high enough that each fault strikes many times in one session. A dropped byte is not
// combined with noise: an answer short of one byte is completed by the next byte on the line,
// and a noise byte equal to the lost one would pass the additive checksum (see E2eData.h).
const std::array<TFaultCase, 7> kCases{{
    {"HeaderChecksum", sim::TFault::CorruptHeader,
     [](sim::TFaultOptions& f) { f.CorruptHeader = 0.15; }},
    {"DataChecksum", sim::TFault::CorruptData, [](sim::TFaultOptions& f) { f.CorruptData = 0.15; }},
    {"DroppedByte", sim::TFault::DropByte, [](sim::TFaultOptions& f) { f.DropByte = 0.15; }},
    {"Noise", sim::TFault::Noise,
     [](sim::TFaultOptions& f) {
         f.Noise = 0.5;
         f.NoiseMax = 8;
     }},
    {"OtherStations", sim::TFault::Foreign, [](sim::TFaultOptions& f) { f.Foreign = 0.5; }},
    {"Unanswered", sim::TFault::NoAnswer, [](sim::TFaultOptions& f) { f.NoAnswer = 0.3; }},
    {"Mixed", sim::TFault::CorruptData,
     [](sim::TFaultOptions& f) {
         f.CorruptHeader = 0.05;
         f.CorruptData = 0.08;
         f.Noise = 0.2;
         f.Foreign = 0.2;
         f.NoAnswer = 0.1;
     }},
}};

// Recipient lists of the first and last expander and of inputs.
constexpr std::array<std::uint16_t, 6> kWriteAddresses{0x0100, 0x0200, 0x0C00,
                                                       0x2100, 0x7F00, 0x9000};

class LinkFaults : public ::testing::TestWithParam<TFaultCase> {};

} // namespace

TEST_P(LinkFaults, ReadAndWriteStayExact) {
    const TFaultCase& c = GetParam();
    sim::TSimOptions options = FastOptions(0x5EED0000ULL + static_cast<unsigned>(c.Fault));
    c.Set(options.Faults);
    const sim::TSimMemory memory = SeededMemory(5);
    TLinkRig rig(options, memory);
    std::string error;
    ASSERT_TRUE(rig.Start(error)) << error;
    const sim::TSimMemory before = rig.Sim.Memory();

    // Read.
    ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 40s)) << rig.Describe();
    EXPECT_EQ(Held(HWTYP), PaddedText(options.HwTyp));
    for (unsigned k = 0; k < 16; ++k) {
        EXPECT_EQ(NORLINKRec.TelCisla[k].View(), Bytes(memory, 16 * k, kBlock)) << k;
    }
    const std::size_t afterRead = rig.Sent().Sent.size();

    // Write.
    const std::vector<TBlockWrite> blocks = WriteSet(before, kWriteAddresses, 11);
    PutLists(NORLINKRecNew, blocks);
    ASSERT_TRUE(rig.Run(rig.ZapisNastaveni(), 40s)) << rig.Describe();
    EXPECT_TRUE(rig.Zapsano().Overeno);
    EXPECT_FALSE(rig.Link().Zapisuju());
    EXPECT_EQ(DiffMemory(Written(before, blocks), rig.Sim.Memory()), "") << rig.Describe();

    // The program's side of the line stayed clean and in order whatever the device sent.
    const TParsedWire wire = rig.Sent();
    ASSERT_EQ(wire.Error, "");
    const std::span<const TSent> sent(wire.Sent);
    EXPECT_EQ(CheckReadRequests(sent.first(afterRead), PhoneChain()), "");
    EXPECT_EQ(CheckWritePairs(sent.subspan(afterRead), InWriteOrder(blocks, rig.Zapsano())), "");

    const sim::TSimStats s = rig.Sim.Stats();
    EXPECT_GT(s.Faults[static_cast<std::size_t>(c.Fault)], 0U) << "the fault never struck";
    EXPECT_EQ(s.BadFrames, 0U);
    EXPECT_EQ(rig.UnsolicitedSends, 0U);
    switch (c.Fault) {
    case sim::TFault::CorruptHeader:
        EXPECT_GT(rig.Tally.HeaderErrors, 0U) << rig.Describe();
        break;
    case sim::TFault::CorruptData:
        EXPECT_GT(rig.Tally.DataErrors, 0U) << rig.Describe();
        break;
    case sim::TFault::NoAnswer:
        EXPECT_GT(s.RequestsRead, s.Answers);
        break;
    default:
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(EachFault, LinkFaults, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TFaultCase>& info) {
                             return std::string(info.param.Name);
                         });
