// The C++ view: both overloads under the plain name, and composition failures as exceptions.
#include "kovra.hpp"

#include "TestDatum.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

using testdatum::DT;

TEST(KovraHpp, BothOverloadsUnderThePlainName) {
    const std::array<uint8_t, 5> b{0x78, 0x56, 0x34, 0x12, 0xAB};
    const uint8_t* c = b.data();
    EXPECT_EQ(kovra::ReadDWord(b.data()), 0x12345678U);
    EXPECT_EQ(kovra::ReadDWord(&c, 1), 0x12345678U);
    EXPECT_EQ(c, b.data() + 1);

    const double dt = DT(2024, 1, 6, 10, 7, 45); // a Saturday
    EXPECT_EQ(kovra::ZjistiCtvrthodinu(7, 45), 1);
    EXPECT_EQ(kovra::ZjistiCtvrthodinu(DT(2024, 1, 6, 10, 7, 30)), 4);
    EXPECT_EQ(kovra::ZacatekCtvrthodiny(uint16_t{10}, uint16_t{7}, uint16_t{45}), 607);
    EXPECT_EQ(testdatum::NaMs(kovra::ZacatekCtvrthodiny(dt)),
              testdatum::NaMs(DT(2024, 1, 6, 10, 7)));
    EXPECT_TRUE(kovra::JeVikend(dt));
    EXPECT_TRUE(kovra::JeVikend(6, 1, 2024));
    EXPECT_FALSE(kovra::JeVikend(uint16_t{8}, uint16_t{1}, uint16_t{2024}));
    EXPECT_EQ(testdatum::NaMs(kovra::ZaokrouhliNaNejblizsiDalsiCtvrthodinu(dt)),
              testdatum::NaMs(DT(2024, 1, 6, 10, 22, 31)));
    EXPECT_EQ(kovra::ZaokrouhliNaNejblizsiDalsiCtvrthodinu(uint16_t{23}, uint16_t{55}, uint16_t{0}),
              7);
}

TEST(KovraHpp, TimeCompositionFailureThrowsItsText) {
    EXPECT_EQ(kovra::UpravDatumPodlePocatkuDne(DT(2024, 1, 1), 23), DT(2024, 1, 1) + 23.0 / 24.0);
    for (int32_t start : {24, -24, 1000}) {
        try {
            (void)kovra::UpravDatumPodlePocatkuDne(DT(2024, 1, 1), start);
            ADD_FAILURE() << "no exception for " << start;
        } catch (const kovra::EncodeError& e) {
            EXPECT_EQ(std::string(e.what()), "Invalid argument to time encode");
        }
    }
    // A date-time that is not a number is no composition failure.
    EXPECT_TRUE(std::isnan(kovra::UpravDatumPodlePocatkuDne(NAN, 5)));
}

TEST(KovraHpp, DateCompositionFailureThrowsItsText) {
    EXPECT_EQ(kovra::DatumVelikonocnihoPondeli(2024), DT(2024, 4, 1));
    for (int32_t rok : {0, 10000, -2024}) {
        try {
            (void)kovra::DatumVelikonocnihoPondeli(rok);
            ADD_FAILURE() << "no exception for " << rok;
        } catch (const kovra::EncodeError& e) {
            EXPECT_EQ(std::string(e.what()), "Invalid argument to date encode");
        }
    }
    EXPECT_THROW((void)kovra::DatumVelikonocnihoPondeli(0), std::invalid_argument);
}

} // namespace
