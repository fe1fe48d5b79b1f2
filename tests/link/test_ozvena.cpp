// The echo of the program's own transmission, as a 2-wire adapter returns it, in any chunking.

#include "HexBytes.h"
#include "port/Ozvena.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TRadekOzveny {
    const char* Nazev;
    const char* Odeslano;          // what was sent; "" for nothing
    std::vector<const char*> Kusy; // what was read, chunk by chunk
    const char* Zbyva;             // what the receive path gets
};

const TRadekOzveny k_Ozveny[] = {
    {"EchoThenPollInOneChunk", "FF A5 14 3F", {"FF A5 14 3F A5 3F 14 80"}, "A5 3F 14 80"},
    {"EchoSplitAcrossChunks", "FF A5 14 3F", {"FF", "A5 14", "3F A5 3F"}, "A5 3F"},
    {"NoEchoOnThisAdapter", "FF A5 14 3F", {"A5 3F 14 80"}, "A5 3F 14 80"},
    // A 0xFF of noise before the answer begins like the echo: nothing of the answer is lost.
    {"NoiseThatBeginsLikeTheEcho", "FF A5 14 3F", {"FF A5", "3F 14 80"}, "FF A5 3F 14 80"},
    {"EchoIsTakenOnlyOnce", "FF A5", {"FF A5 FF A5"}, "FF A5"},
    {"NothingSent", "", {"FF A5 14"}, "FF A5 14"},
};

class Ozvena : public testing::TestWithParam<TRadekOzveny> {};

TEST_P(Ozvena, OnlyTheEchoIsTakenOut) {
    const auto& r = GetParam();
    TOzvena ozvena;
    ozvena.Ocekavej(Hex(r.Odeslano));
    std::vector<std::uint8_t> zbyva;
    for (const char* kus : r.Kusy) {
        ozvena.Odfiltruj(Hex(kus), zbyva);
    }
    EXPECT_EQ(zbyva, Hex(r.Zbyva));
}

INSTANTIATE_TEST_SUITE_P(Kusy, Ozvena, testing::ValuesIn(k_Ozveny),
                         [](const auto& info) { return std::string(info.param.Nazev); });

} // namespace
