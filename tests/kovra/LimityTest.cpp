// Limits with and without a default, and the one-byte signed temperature.
#include "kovra.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double k_NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double k_Inf = std::numeric_limits<double>::infinity();

TEST(KovraLimity, LimitujHodnotuClampsAndTestsTheLowerLimitFirst) {
    EXPECT_EQ(LimitujHodnotu(5, 1, 3), 3);
    EXPECT_EQ(LimitujHodnotu(0, 1, 3), 1);
    EXPECT_EQ(LimitujHodnotu(2, 1, 3), 2);
    EXPECT_EQ(LimitujHodnotu(1, 1, 3), 1);
    EXPECT_EQ(LimitujHodnotu(3, 1, 3), 3);
    EXPECT_EQ(LimitujHodnotu(2.5, 1, 3), 2.5);
    EXPECT_EQ(LimitujHodnotu(k_NaN, 1, 3), 1);
    EXPECT_EQ(LimitujHodnotu(k_Inf, 1, 3), 3);
    EXPECT_EQ(LimitujHodnotu(-k_Inf, 1, 3), 1);
    // Lowest above highest: below the lowest gives the lowest, anything else the highest.
    EXPECT_EQ(LimitujHodnotu(4, 5, 2), 5);
    EXPECT_EQ(LimitujHodnotu(6, 5, 2), 2);
    EXPECT_EQ(LimitujHodnotu(5, 5, 2), 2);
    EXPECT_EQ(LimitujHodnotu(1, 5, 2), 5);
    EXPECT_TRUE(std::isnan(LimitujHodnotu(k_NaN, k_NaN, 3)));
}

TEST(KovraLimity, LimitujHodnotuDefaultReturnsTheDefaultUnlimited) {
    EXPECT_EQ(LimitujHodnotuDefault(5, 1, 3, 9), 9);
    EXPECT_EQ(LimitujHodnotuDefault(3, 1, 3, 9), 3);
    EXPECT_EQ(LimitujHodnotuDefault(1, 1, 3, 9), 1);
    EXPECT_EQ(LimitujHodnotuDefault(0.999, 1, 3, 9), 9);
    EXPECT_EQ(LimitujHodnotuDefault(k_NaN, 1, 3, 9), 9);
    EXPECT_EQ(LimitujHodnotuDefault(k_Inf, 1, 3, -7), -7);
    EXPECT_EQ(LimitujHodnotuDefault(-k_Inf, -k_Inf, k_Inf, 4), -k_Inf);
}

TEST(KovraTeploty, DecodesEveryByte) {
    EXPECT_EQ(VratSignedTeplotu(0), 0.0);
    EXPECT_EQ(VratSignedTeplotu(23), 2.3);
    EXPECT_EQ(VratSignedTeplotu(127), 12.7);
    EXPECT_EQ(VratSignedTeplotu(128), 12.8);
    EXPECT_EQ(VratSignedTeplotu(129), -0.1);
    EXPECT_EQ(VratSignedTeplotu(133), -0.5);
    EXPECT_EQ(VratSignedTeplotu(255), -12.7);
    for (int b = 0; b < 256; ++b) {
        const double t = VratSignedTeplotu(static_cast<uint8_t>(b));
        const double cekam = b <= 128 ? b / 10.0 : -(b - 128) / 10.0;
        EXPECT_EQ(t, cekam) << b;
    }
}

TEST(KovraTeploty, EncodesByTruncatingTowardZero) {
    EXPECT_EQ(SignedTeplotaNaByte(12.7), 127);
    EXPECT_EQ(SignedTeplotaNaByte(-12.7), 255);
    EXPECT_EQ(SignedTeplotaNaByte(0.3), 3);
    EXPECT_EQ(SignedTeplotaNaByte(-0.3), 131);
    EXPECT_EQ(SignedTeplotaNaByte(2.35), 23);
    EXPECT_EQ(SignedTeplotaNaByte(-2.35), 151);
    EXPECT_EQ(SignedTeplotaNaByte(-0.05), 0);
    EXPECT_EQ(SignedTeplotaNaByte(0.0), 0);
    EXPECT_EQ(SignedTeplotaNaByte(-0.0), 0);
    EXPECT_EQ(SignedTeplotaNaByte(0.1), 1);
    EXPECT_EQ(SignedTeplotaNaByte(-0.1), 129);
    EXPECT_EQ(SignedTeplotaNaByte(std::numeric_limits<double>::denorm_min()), 0);
}

TEST(KovraTeploty, EveryDecodedByteEncodesBack) {
    for (int b = 0; b < 256; ++b) {
        if (b == 128) {
            continue; // +12.8 has no byte of its own in the encoding; see the clamping test
        }
        EXPECT_EQ(SignedTeplotaNaByte(VratSignedTeplotu(static_cast<uint8_t>(b))), b) << b;
    }
}

TEST(KovraTeploty, OutOfRangeValuesAreClampedAndNaNGivesZero) {
    EXPECT_EQ(SignedTeplotaNaByte(12.8), 127);
    EXPECT_EQ(SignedTeplotaNaByte(VratSignedTeplotu(128)), 127);
    EXPECT_EQ(SignedTeplotaNaByte(12.79), 127);
    EXPECT_EQ(SignedTeplotaNaByte(300.0), 127);
    EXPECT_EQ(SignedTeplotaNaByte(1e300), 127);
    EXPECT_EQ(SignedTeplotaNaByte(k_Inf), 127);
    EXPECT_EQ(SignedTeplotaNaByte(-12.79), 255);
    EXPECT_EQ(SignedTeplotaNaByte(-12.8), 255);
    EXPECT_EQ(SignedTeplotaNaByte(-1e300), 255);
    EXPECT_EQ(SignedTeplotaNaByte(-k_Inf), 255);
    EXPECT_EQ(SignedTeplotaNaByte(std::numeric_limits<double>::lowest()), 255);
    EXPECT_EQ(SignedTeplotaNaByte(k_NaN), 0);
}

} // namespace
