// The frame: checksums and header decoding, checked against frames written out by hand.
#include "FakeLink.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

std::uint8_t Sum(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
    return static_cast<std::uint8_t>(
        std::accumulate(bytes.begin() + static_cast<long>(from),
                        bytes.begin() + static_cast<long>(from + count), 0u));
}

TEST(SpoctiCRC, HeaderChecksumsOfTheRequests) {
    const auto zapis = Hex("A5 14 3F 12");
    const auto cteni = Hex("A5 14 3F 02");
    EXPECT_EQ(SpoctiCRC(zapis.data(), 4), 0xF6);
    EXPECT_EQ(SpoctiCRC(cteni.data(), 4), 0x06);
}

TEST(SpoctiCRC, NoBytesGiveZero) {
    EXPECT_EQ(SpoctiCRC(nullptr, 0), 0);
}

TEST(SpoctiCRC, SumsAreTakenModulo256) {
    // Bytes adding up to 0x100 need checksum 0; 255 x 0xFF add up to 0xFE01.
    const auto sto = Hex("80 40 40");
    EXPECT_EQ(SpoctiCRC(sto.data(), 3), 0x00);
    const std::vector<std::uint8_t> ff(255, 0xFF);
    EXPECT_EQ(SpoctiCRC(ff.data(), 255), 0xFF);
}

TEST(SpoctiCRC, CountsOnlyTheGivenBytes) {
    const auto bytes = Hex("01 02 03 04");
    EXPECT_EQ(SpoctiCRC(bytes.data(), 1), 0xFF);
    EXPECT_EQ(SpoctiCRC(bytes.data(), 3), 0xFA);
}

struct THlavicka {
    const char* Frame;
    std::uint16_t Adresa;
    std::uint8_t Odesilatel, DelkaDat, DruhTLG, Zarizeni;
    bool ZapisovyTLG;
};

// Golden telegrams: the read of the hardware type text, the two record-memory requests, and a
// seven-byte poll from the communicator.
const THlavicka kHlavicky[] = {
    {"A5 14 3F 02 06 70 00 0C 84", 0x0C00, 0x3F, 0, 0, 3, false},
    {"A5 14 3F 12 F6 50 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 AF", 0x0100, 0x3F, 16,
     0, 2, false},
    {"A5 14 3F 12 F6 D0 10 00 31 32 33 34 35 36 37 38 39 00 00 00 00 00 00 00 43", 0x0010, 0x3F, 16,
     0, 2, true},
    {"A5 3F 14 80 88 00 00", 0, 0x14, 0, 4, 0, false},
};

class GoldenFrame : public testing::TestWithParam<THlavicka> {};

TEST_P(GoldenFrame, ChecksumsHoldAndHeaderDecodes) {
    const auto& p = GetParam();
    auto tlg = Hex(p.Frame);
    // Pad a short poll so that the decoder's fixed reads stay inside the buffer.
    const std::size_t delka = tlg.size();
    tlg.resize(std::max<std::size_t>(delka, 8), 0);

    const std::size_t blok = (tlg[3] & 0x1F) + 2u;
    ASSERT_EQ(delka, 5 + blok);
    EXPECT_EQ(Sum(tlg, 0, 5), 0) << "header";
    EXPECT_EQ(Sum(tlg, 5, blok), 0) << "data block";
    EXPECT_EQ(SpoctiCRC(tlg.data(), 4), tlg[4]);
    EXPECT_EQ(SpoctiCRC(&tlg[5], static_cast<std::uint8_t>(blok - 1)), tlg[4 + blok]);

    std::uint16_t adresa = 0xFFFF;
    std::uint8_t odesilatel = 0, delkaDat = 0xFF, druh = 0xFF, zarizeni = 0xFF;
    bool zapisovy = !p.ZapisovyTLG;
    DekodujHlavickuTLG(tlg.data(), adresa, odesilatel, delkaDat, druh, zarizeni, zapisovy);
    EXPECT_EQ(adresa, p.Adresa);
    EXPECT_EQ(odesilatel, p.Odesilatel);
    EXPECT_EQ(delkaDat, p.DelkaDat);
    EXPECT_EQ(druh, p.DruhTLG);
    EXPECT_EQ(zarizeni, p.Zarizeni);
    EXPECT_EQ(zapisovy, p.ZapisovyTLG);
}

INSTANTIATE_TEST_SUITE_P(Telegram, GoldenFrame, testing::ValuesIn(kHlavicky),
                         [](const auto& info) { return HexName(info.param.Frame); });

TEST(DekodujHlavickuTLG, LengthFieldBelowTwoIsNotReduced) {
    // Length field 0, 1, 2, 3 and 31 (bits 5..7 carry the kind and must not leak in).
    const std::pair<std::uint8_t, std::uint8_t> pripady[] = {
        {0x00, 0}, {0x01, 1}, {0x02, 0}, {0x03, 1}, {0x1F, 29}, {0xE2, 0}, {0xFF, 29}};
    for (const auto& [bajt3, delka] : pripady) {
        auto tlg = Hex("A5 3F 14 00 00 00 00 00");
        tlg[3] = bajt3;
        THlavickaTLG h;
        ASSERT_TRUE(DekodujHlavickuTLG(std::span<const std::uint8_t>(tlg), h));
        EXPECT_EQ(h.DelkaDat, delka) << "byte 3 = " << int(bajt3);
        EXPECT_EQ(h.DruhTLG, bajt3 >> 5) << "byte 3 = " << int(bajt3);
    }
}

TEST(DekodujHlavickuTLG, ControlByteAndAddress) {
    // Address little-endian; memory kind bits 5..6 only; sender kept with its bit 7.
    const auto tlg = Hex("A5 3F 94 12 00 FF 00 11");
    THlavickaTLG h;
    ASSERT_TRUE(DekodujHlavickuTLG(std::span<const std::uint8_t>(tlg), h));
    EXPECT_EQ(h.Adresa, 0x1100);
    EXPECT_EQ(h.Odesilatel, 0x94);
    EXPECT_EQ(h.Zarizeni, 3);
    EXPECT_TRUE(h.ZapisovyTLG);
    const auto cteni = Hex("A5 3F 14 12 00 7F 34 12");
    ASSERT_TRUE(DekodujHlavickuTLG(std::span<const std::uint8_t>(cteni), h));
    EXPECT_EQ(h.Adresa, 0x1234);
    EXPECT_FALSE(h.ZapisovyTLG);
}

TEST(DekodujHlavickuTLG, ViewTooShortForTheAddressFillsNothing) {
    const std::vector<std::uint8_t> tlg = Hex("A5 3F 14 80 88 00 00");
    THlavickaTLG h;
    h.Adresa = 0xBEEF;
    EXPECT_FALSE(DekodujHlavickuTLG(std::span<const std::uint8_t>(tlg), h));
    EXPECT_EQ(h.Adresa, 0xBEEF);
    EXPECT_FALSE(DekodujHlavickuTLG(std::span<const std::uint8_t>(), h));
}

} // namespace
