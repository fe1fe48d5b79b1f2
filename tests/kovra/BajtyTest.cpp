// Byte reads through pointers and cursors, bits, BCD, copying, block release and the guarded
// division.
#include "kovra.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

using ::testing::ElementsAre;

constexpr double k_NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double k_Inf = std::numeric_limits<double>::infinity();

TEST(KovraCteni, AssemblesLittleEndianValuesOfEachWidth) {
    const std::array<uint8_t, 4> b{0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(ReadWord(b.data() + 2), 0x1234);
    EXPECT_EQ(Read3B(b.data() + 1), 0x123456U);
    EXPECT_EQ(ReadDWord(b.data()), 0x12345678U);
    const std::array<uint8_t, 4> ff{0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadWord(ff.data()), 0xFFFF);
    EXPECT_EQ(Read3B(ff.data()), 0x00FFFFFFU); // bits 24..31 stay clear
    EXPECT_EQ(ReadDWord(ff.data()), 0xFFFFFFFFU);
}

TEST(KovraCteni, ReadsUnalignedFromEveryOffset) {
    // Heap buffer of exactly the bytes read, so that AddressSanitizer catches any read past them.
    for (size_t offset = 0; offset < 4; ++offset) {
        std::vector<uint8_t> v(offset + 4);
        for (size_t i = 0; i < 4; ++i) {
            v[offset + i] = static_cast<uint8_t>(0xA1 + i);
        }
        EXPECT_EQ(ReadDWord(v.data() + offset), 0xA4A3A2A1U) << offset;
        EXPECT_EQ(Read3B(v.data() + offset + 1), 0xA4A3A2U) << offset;
        EXPECT_EQ(ReadWord(v.data() + offset + 2), 0xA4A3) << offset;
    }
}

TEST(KovraCteni, CursorMovesByStepIndependentOfWidth) {
    const std::array<uint8_t, 8> b{1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t* c = b.data();
    EXPECT_EQ(ReadByte(&c, 0), 1);
    EXPECT_EQ(ReadByte(&c, 0), 1);
    EXPECT_EQ(c, b.data());
    EXPECT_EQ(ReadWordInc(&c, 1), 0x0201);
    EXPECT_EQ(c, b.data() + 1);
    EXPECT_EQ(Read3BInc(&c, 2), 0x040302U);
    EXPECT_EQ(c, b.data() + 3);
    EXPECT_EQ(ReadDWordInc(&c, 4), 0x07060504U);
    EXPECT_EQ(c, b.data() + 7);
    EXPECT_EQ(ReadByte(&c, 1), 8);
    EXPECT_EQ(c, b.data() + 8);
}

TEST(KovraCteni, LargestStepMovesTheCursorByTwoHundredFiftyFive) {
    std::vector<uint8_t> b(300, 0);
    b[255] = 0x5A;
    const uint8_t* c = b.data();
    EXPECT_EQ(ReadByte(&c, 255), 0);
    EXPECT_EQ(c, b.data() + 255);
    EXPECT_EQ(ReadWordInc(&c, 255), 0x005A);
}

TEST(KovraCteni, NullPointersReadZeroAndNothingMoves) {
    EXPECT_EQ(ReadByte(nullptr, 1), 0);
    EXPECT_EQ(ReadWordInc(nullptr, 2), 0);
    EXPECT_EQ(Read3BInc(nullptr, 3), 0U);
    EXPECT_EQ(ReadDWordInc(nullptr, 4), 0U);
    EXPECT_EQ(ReadWord(nullptr), 0);
    EXPECT_EQ(Read3B(nullptr), 0U);
    EXPECT_EQ(ReadDWord(nullptr), 0U);
    const uint8_t* nic = nullptr;
    EXPECT_EQ(ReadByte(&nic, 7), 0);
    EXPECT_EQ(ReadDWordInc(&nic, 7), 0U);
    EXPECT_EQ(nic, nullptr);
}

TEST(KovraBity, ReadBitUsesTheIndexModulo32) {
    EXPECT_TRUE(ReadBit(33, 0x2));
    EXPECT_FALSE(ReadBit(33, 0x1));
    EXPECT_TRUE(ReadBit(31, 0x80000000U));
    EXPECT_TRUE(ReadBit(63, 0x80000000U));
    EXPECT_TRUE(ReadBit(0xFFFFFFFFU, 0x80000000U));
    EXPECT_FALSE(ReadBit(0, 0xFFFFFFFEU));
    for (uint32_t i = 0; i < 32; ++i) {
        EXPECT_TRUE(ReadBit(i, 1U << i)) << i;
        EXPECT_FALSE(ReadBit(i, ~(1U << i))) << i;
    }
}

TEST(KovraBity, SetAndClearWorkWithinSixteenBits) {
    EXPECT_EQ(SetBit(15, 0), 0x8000);
    EXPECT_EQ(SetBit(16, 0), 0);
    EXPECT_EQ(SetBit(31, 0x1234), 0x1234);
    EXPECT_EQ(SetBit(32, 0), 1);      // modulo 32
    EXPECT_EQ(SetBit(47, 0), 0x8000); // 47 mod 32 = 15
    EXPECT_EQ(SetBit(3, 0x0008), 0x0008);
    EXPECT_EQ(ClearBit(16, 0xFFFF), 0xFFFF);
    EXPECT_EQ(ClearBit(15, 0xFFFF), 0x7FFF);
    EXPECT_EQ(ClearBit(0, 0x0001), 0);
    EXPECT_EQ(ClearBit(4, 0x0000), 0);
    for (uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(SetBit(i, 0x0000), 1U << i) << i;
        EXPECT_EQ(ClearBit(i, 0xFFFF), 0xFFFFU & ~(1U << i)) << i;
    }
    EXPECT_EQ(SetBit(0xFFFFFFFFU, 0), 0);
}

TEST(KovraBity, ByteToBoolIsTrueForEveryNonZero) {
    EXPECT_FALSE(ByteToBool(0));
    for (int b = 1; b < 256; ++b) {
        EXPECT_TRUE(ByteToBool(static_cast<uint8_t>(b))) << b;
    }
}

TEST(KovraBCD, ConvertsBothWaysAndKeepsOutOfRangeNibbles) {
    EXPECT_EQ(BCDToDecimal(0x59), 59);
    EXPECT_EQ(BCDToDecimal(0x00), 0);
    EXPECT_EQ(BCDToDecimal(0x1F), 25);
    EXPECT_EQ(BCDToDecimal(0xFF), 165);
    EXPECT_EQ(DecimalToBCD(59), 0x59);
    EXPECT_EQ(DecimalToBCD(100), 0xA0);
    EXPECT_EQ(DecimalToBCD(255), 0x95);
    EXPECT_EQ(DecimalToBCD(0), 0x00);
    for (int n = 0; n < 100; ++n) {
        const auto bcd = DecimalToBCD(static_cast<uint8_t>(n));
        EXPECT_EQ(bcd, (n / 10) * 16 + n % 10) << n;
        EXPECT_EQ(BCDToDecimal(bcd), n) << n;
    }
}

TEST(KovraMemCopy, CopiesCountBytesAndNothingMore) {
    std::array<uint8_t, 6> src{1, 2, 3, 4, 5, 6};
    std::array<uint8_t, 6> dst{};
    MemCopy(src.data(), dst.data(), 4);
    EXPECT_THAT(dst, ElementsAre(1, 2, 3, 4, 0, 0));
    MemCopy(src.data() + 4, dst.data(), 0);
    EXPECT_THAT(dst, ElementsAre(1, 2, 3, 4, 0, 0));
}

TEST(KovraMemCopy, OverlapUpwardRepeatsTheLeadingByte) {
    std::array<uint8_t, 5> b{9, 8, 7, 6, 5};
    MemCopy(b.data(), b.data() + 1, 3);
    EXPECT_THAT(b, ElementsAre(9, 9, 9, 9, 5));
    std::array<uint8_t, 5> d{1, 2, 3, 4, 5};
    MemCopy(d.data() + 1, d.data(), 4); // downward overlap is an ordinary shift
    EXPECT_THAT(d, ElementsAre(2, 3, 4, 5, 5));
}

TEST(KovraMemCopy, FullSixteenBitCountAndNullPointers) {
    std::vector<uint8_t> src(65535);
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = static_cast<uint8_t>(i * 7);
    }
    std::vector<uint8_t> dst(65535, 0);
    MemCopy(src.data(), dst.data(), 65535);
    EXPECT_EQ(dst, src);
    MemCopy(nullptr, dst.data(), 10);
    MemCopy(src.data(), nullptr, 10);
    EXPECT_EQ(dst, src);
}

struct TZaznamUvolneni {
    std::vector<void*> bloky;
    std::vector<int32_t> delky;
    void* selze = nullptr; // this block's release reports a failure
};

int32_t Uvolni(void* kontext, void* blok, int32_t delka) {
    auto* z = static_cast<TZaznamUvolneni*>(kontext);
    z->bloky.push_back(blok);
    z->delky.push_back(delka);
    std::free(blok);
    return blok == z->selze ? -1 : 0;
}

TEST(KovraDealokuj, ReleasesEveryBlockOnceInIndexOrderAndEmptiesTheList) {
    std::array<void*, 4> pole{std::malloc(257), std::malloc(257), nullptr, std::malloc(1)};
    const std::array<void*, 4> puvodni = pole;
    TZaznamUvolneni zaznam;
    KovraSeznamBloku seznam{pole.data(), pole.size(), &Uvolni, &zaznam};
    EXPECT_EQ(DealokujPoleZaznamu(&seznam, 257), 0);
    EXPECT_THAT(zaznam.bloky, ElementsAre(puvodni[0], puvodni[1], puvodni[3]));
    EXPECT_THAT(zaznam.delky, ElementsAre(257, 257, 257));
    EXPECT_EQ(seznam.pocet, 0U);
    EXPECT_EQ(seznam.bloky, pole.data()); // the array stays with its owner
    EXPECT_THAT(pole, ElementsAre(nullptr, nullptr, nullptr, nullptr));
    // A second call finds nothing left to release.
    EXPECT_EQ(DealokujPoleZaznamu(&seznam, 257), 0);
    EXPECT_EQ(zaznam.bloky.size(), 3U);
}

TEST(KovraDealokuj, AFailedReleaseIsReportedAndTheRestAreStillReleased) {
    std::array<void*, 3> pole{std::malloc(8), std::malloc(8), std::malloc(8)};
    TZaznamUvolneni zaznam;
    zaznam.selze = pole[0];
    KovraSeznamBloku seznam{pole.data(), pole.size(), &Uvolni, &zaznam};
    EXPECT_EQ(DealokujPoleZaznamu(&seznam, -5), 1);
    EXPECT_EQ(zaznam.bloky.size(), 3U); // LeakSanitizer would also report a block left behind
    EXPECT_THAT(zaznam.delky, ElementsAre(-5, -5, -5));
    EXPECT_EQ(seznam.pocet, 0U);
}

TEST(KovraDealokuj, DefaultReleaseIsFreeAndEmptyOrNullListsAreHarmless) {
    std::array<void*, 2> pole{std::malloc(100), std::malloc(3)};
    KovraSeznamBloku seznam{pole.data(), pole.size(), nullptr, nullptr};
    EXPECT_EQ(DealokujPoleZaznamu(&seznam, 257), 0); // leak check at exit proves both were freed
    EXPECT_EQ(seznam.pocet, 0U);
    KovraSeznamBloku prazdny{nullptr, 0, nullptr, nullptr};
    EXPECT_EQ(DealokujPoleZaznamu(&prazdny, 257), 0);
    EXPECT_EQ(prazdny.pocet, 0U);
    KovraSeznamBloku bezPole{nullptr, 5, nullptr, nullptr};
    EXPECT_EQ(DealokujPoleZaznamu(&bezPole, 257), 0);
    EXPECT_EQ(bezPole.pocet, 0U);
    EXPECT_EQ(DealokujPoleZaznamu(nullptr, 257), 0);
}

TEST(KovraDeleni, DividesOrFallsBackToTheDefault) {
    EXPECT_EQ(MojeDeleni(1, 0, 7), 7);
    EXPECT_EQ(MojeDeleni(1, -0.0, 7), 7);
    EXPECT_EQ(MojeDeleni(1, 4, 7), 0.25);
    EXPECT_EQ(MojeDeleni(-9, 3, 7), -3);
    EXPECT_EQ(MojeDeleni(1e308, 1e-308, 7), 7); // beyond the range of a double
    EXPECT_EQ(MojeDeleni(1, k_NaN, 7), 7);
    EXPECT_EQ(MojeDeleni(k_NaN, 2, 7), 7);
    EXPECT_EQ(MojeDeleni(k_Inf, 2, 7), 7);
    EXPECT_EQ(MojeDeleni(k_Inf, k_Inf, 7), 7);
    EXPECT_EQ(MojeDeleni(5, k_Inf, 7), 0);
    EXPECT_EQ(MojeDeleni(1e-308, 1e308, 7), 0); // underflow is a result, not a failure
    EXPECT_TRUE(std::isnan(MojeDeleni(1, 0, k_NaN)));
}

} // namespace
