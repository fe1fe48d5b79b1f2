// The traffic filter: network telegrams, polls and the address window, both directions.
#include "FakeLink.h"

#include <gtest/gtest.h>

namespace {

// A data telegram (kind 0) from src to dst at the given address, exactly sized.
std::vector<std::uint8_t> Data(std::uint8_t dst, std::uint8_t src, std::uint16_t adresa) {
    std::vector<std::uint8_t> t{0xA5,
                                dst,
                                src,
                                0x02,
                                0,
                                0x50,
                                static_cast<std::uint8_t>(adresa),
                                static_cast<std::uint8_t>(adresa >> 8),
                                0};
    t[4] = SpoctiCRC(t.data(), 4);
    t[8] = SpoctiCRC(&t[5], 3);
    return t;
}

std::vector<std::uint8_t> Vyzva(std::uint8_t dst, std::uint8_t src) {
    std::vector<std::uint8_t> t{0xA5, dst, src, 0x80, 0, 0, 0};
    t[4] = SpoctiCRC(t.data(), 4);
    return t;
}

class PropustTelegram : public testing::Test {
protected:
    bool Propust(const std::vector<std::uint8_t>& t, std::uint8_t smer, std::uint8_t role = 0) {
        return fLink.Kom->PropustTelegram(t, smer, role);
    }
    void Okno(std::uint16_t lo, std::uint16_t hi) { fLink.Kom->NastavAdresoveLimity(lo, hi); }
    TFakeLink fLink;
};

TEST_F(PropustTelegram, AddressWindowBoundsAreInclusive) {
    fLink.Kom->Initialize();
    Okno(0x0100, 0x0200);
    for (std::uint8_t smer : {Vysilani, Prijem}) {
        EXPECT_FALSE(Propust(Data(63, 20, 0x00FF), smer)) << int(smer);
        EXPECT_TRUE(Propust(Data(63, 20, 0x0100), smer)) << int(smer);
        EXPECT_TRUE(Propust(Data(63, 20, 0x0200), smer)) << int(smer);
        EXPECT_FALSE(Propust(Data(63, 20, 0x0201), smer)) << int(smer);
    }
    Okno(0, 0xFFFF);
    EXPECT_TRUE(Propust(Data(20, 63, 0x0000), Vysilani));
    EXPECT_TRUE(Propust(Data(20, 63, 0xFFFF), Prijem));
}

TEST_F(PropustTelegram, AddressIsLittleEndian) {
    // Bytes 6..7 = 00 11 are 0x1100, not 0x0011.
    const auto t = Hex("A5 3F 14 02 0C 50 00 11 9F");
    Okno(0x1100, 0x1100);
    EXPECT_TRUE(Propust(t, Prijem));
    Okno(0x0011, 0x0011);
    EXPECT_FALSE(Propust(t, Prijem));
}

TEST_F(PropustTelegram, ChecksumsAreNotItsBusiness) {
    // The receive path checks them before the filter; here only addresses and kind count.
    auto t = Data(63, 20, 0x0100);
    t[4] ^= 0x01;
    t[8] ^= 0x80;
    Okno(0x0100, 0x0100);
    EXPECT_TRUE(Propust(t, Prijem));
    Okno(0x0101, 0x0200);
    EXPECT_FALSE(Propust(t, Prijem));
}

TEST_F(PropustTelegram, PollsPassWhateverTheirAddressBytes) {
    Okno(0x5000, 0x5000);
    EXPECT_TRUE(Propust(Vyzva(63, 20), Prijem));
    EXPECT_TRUE(Propust(Vyzva(20, 63), Vysilani));
    // Kind 4 with a length field and address bytes outside the window.
    auto t = Data(63, 20, 0x0100);
    t[3] = 0x82;
    EXPECT_TRUE(Propust(t, Prijem));
    // Other kinds are data telegrams.
    for (std::uint8_t druh : {0, 1, 2, 3, 5, 6, 7}) {
        t[3] = static_cast<std::uint8_t>(druh << 5 | 2);
        EXPECT_FALSE(Propust(t, Prijem)) << int(druh);
    }
}

TEST_F(PropustTelegram, NetworkTelegramsOutgoingAlwaysPass) {
    Okno(0x5000, 0x5000); // no rule but the network one could let these out
    for (unsigned sit = PCServer; sit <= PCKlient7; ++sit) {
        const auto a = static_cast<std::uint8_t>(sit);
        EXPECT_TRUE(Propust(Data(a, 63, 0x0100), Vysilani)) << sit;
        EXPECT_TRUE(Propust(Data(20, a, 0x0100), Vysilani)) << sit;
    }
    EXPECT_FALSE(Propust(Data(54, 63, 0x0100), Vysilani));
    EXPECT_FALSE(Propust(Data(63, 54, 0x0100), Vysilani));
    EXPECT_FALSE(Propust(Data(20, 63, 0x0100), Vysilani));
}

TEST_F(PropustTelegram, NetworkTelegramsIncomingForAStandAlonePc) {
    Okno(0, 0xFFFF); // the window would let every one of these in
    for (unsigned sit = PCServer; sit <= PCKlient7; ++sit) {
        const auto a = static_cast<std::uint8_t>(sit);
        // From a network PC to the program: refused, even a poll.
        EXPECT_FALSE(Propust(Data(63, a, 0x0100), Prijem)) << sit;
        EXPECT_FALSE(Propust(Vyzva(63, a), Prijem)) << sit;
        // To a client: passes for any role but the server; to the server: refused.
        EXPECT_EQ(Propust(Data(a, 20, 0x0100), Prijem), sit != PCServer) << sit;
    }
}

TEST_F(PropustTelegram, NetworkTelegramsIncomingByRole) {
    EXPECT_TRUE(Propust(Data(PCServer, 20, 0), Prijem, PCServer));
    EXPECT_FALSE(Propust(Data(PCKlient1, 20, 0), Prijem, PCServer));
    EXPECT_FALSE(Propust(Data(63, PCKlient1, 0), Prijem, PCServer));
    EXPECT_TRUE(Propust(Data(PCKlient7, 20, 0), Prijem, PCKlient1));
    EXPECT_FALSE(Propust(Data(PCServer, 20, 0), Prijem, PCKlient1));
    // A destination equal to the role passes even from a network source.
    EXPECT_TRUE(Propust(Data(63, PCServer, 0), Prijem, 63));
}

TEST_F(PropustTelegram, TooShortToDecideIsRefused) {
    Okno(0, 0xFFFF);
    EXPECT_FALSE(Propust({}, Prijem));
    EXPECT_FALSE(Propust(Hex("A5 3F 14 80 88 00"), Prijem));
    // Seven bytes: enough for a poll or a network telegram, not for an address.
    EXPECT_TRUE(Propust(Hex("A5 3F 14 80 88 00 00"), Prijem));
    EXPECT_TRUE(Propust(Hex("A5 38 14 00 0F 00 00"), Vysilani));
    EXPECT_FALSE(Propust(Hex("A5 3F 14 00 08 00 00"), Prijem));
    EXPECT_FALSE(Propust(Hex("A5 14 3F 00 08 00 00"), Vysilani));
}

} // namespace
