// The progress dialog's second line: the count and the time left at the measured rate.

#include "text/Prubeh.h"

#include <gtest/gtest.h>

namespace {

TEST(Prubeh, CountAndTimeLeftAtTheMeasuredRate) {
    using std::chrono::milliseconds;
    struct TRadek {
        int Pozice;
        int Maximum;
        milliseconds Uplynulo;
        const char* Popis;
    };
    const TRadek rows[] = {
        {143, 288, milliseconds(20'000), "telegram 143 z 288, zbývá asi 21 s"},
        {1, 288, milliseconds(1'000), "telegram 1 z 288, zbývá asi 4 min 47 s"},
        {10, 20, milliseconds(60'000), "telegram 10 z 20, zbývá asi 1 min 0 s"},
        {19, 20, milliseconds(100), "telegram 19 z 20, zbývá asi 1 s"},
        {0, 288, milliseconds(5'000), "telegram 0 z 288"},
        {288, 288, milliseconds(5'000), "telegram 288 z 288"},
        {300, 288, milliseconds(5'000), "telegram 288 z 288"},
        {5, 19, milliseconds(0), "telegram 5 z 19"},
        {0, 0, milliseconds(0), ""},
    };
    for (const TRadek& r : rows) {
        EXPECT_EQ(PopisPrubehu(r.Pozice, r.Maximum, r.Uplynulo), r.Popis) << r.Pozice;
    }
}

} // namespace
