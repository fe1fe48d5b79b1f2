// The request builder: golden telegrams and what a build does to the transmit queue.
#include "FakeLink.h"
#include "KomunikaceTestAccess.h"
#include "telegram/modem.h"

#include <gtest/gtest.h>

namespace {

enum class Forma { Tabulka, New };

struct TPozadavek {
    const char* Frame;
    Forma Druh;
    std::uint8_t Akce, TypPameti;
    std::uint16_t Adresa; // table index for Tabulka
    std::uint8_t DelkaDat;
    const char* DataOut; // staged from position 1
};

const char* const kCislice = "31 32 33 34 35 36 37 38 39 00 00 00 00 00 00 00";

const TPozadavek kPozadavky[] = {
    {"A5 14 3F 02 06 70 00 0C 84", Forma::Tabulka, Cteni, HWSW, NORLINK_Z_HWTYP, 0, ""},
    {"A5 14 3F 02 06 70 10 0C 74", Forma::Tabulka, Cteni, HWSW, NORLINK_Z_VERSW, 0, ""},
    {"A5 14 3F 02 06 70 20 0C 64", Forma::Tabulka, Cteni, HWSW, NORLINK_Z_VERHW, 0, ""},
    {"A5 14 3F 02 06 50 00 00 B0", Forma::Tabulka, Cteni, ZAZNAM, NORLINK_Z_SeznamCisel, 0,
     kCislice},
    {"A5 14 3F 02 06 50 00 01 AF", Forma::Tabulka, Cteni, ZAZNAM, NORLINK_Z_PoruchaExp1, 0, ""},
    {"A5 14 3F 02 06 50 00 11 9F", Forma::Tabulka, Cteni, ZAZNAM, NORLINK_Z_Vstup1Exp1, 0, ""},
    {"A5 14 3F 12 F6 D0 00 00 31 32 33 34 35 36 37 38 39 00 00 00 00 00 00 00 53", Forma::Tabulka,
     Zapis, ZAZNAM, NORLINK_Z_SeznamCisel, 0, kCislice},
    // Entries whose length is not 16: the count goes into the control byte and, for a write,
    // into the length field.
    {"A5 14 3F 02 06 21 4F 00 90", Forma::Tabulka, Cteni, EEPROM, MDM_E_PocetZarizeni, 0, ""},
    {"A5 14 3F 07 01 A5 4A 00 31 32 33 34 35 12", Forma::Tabulka, Zapis, EEPROM, MDM_E_Ukazatele, 0,
     kCislice},
    {"A5 14 3F 12 F6 50 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 AF", Forma::New,
     Cteni, ZAZNAM, 0x0100, 16, ""},
    {"A5 14 3F 12 F6 D0 10 00 31 32 33 34 35 36 37 38 39 00 00 00 00 00 00 00 43", Forma::New,
     Zapis, ZAZNAM, 0x0010, 16, kCislice},
    // An explicit-address read carries whatever the data-out buffer holds.
    {"A5 14 3F 12 F6 50 00 01 31 32 33 34 35 36 37 38 39 00 00 00 00 00 00 00 D2", Forma::New,
     Cteni, ZAZNAM, 0x0100, 16, kCislice},
    {"A5 14 3F 02 06 40 F0 00 D0", Forma::New, Cteni, ZAZNAM, 0x00F0, 0, ""},
    {"A5 14 3F 1F E9 DD 34 12 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 "
     "17 18 19 1A 1B 1C 1D 2A",
     Forma::New, Zapis, ZAZNAM, 0x1234, 29,
     "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D"},
};

class GoldenRequest : public testing::TestWithParam<TPozadavek> {};

TEST_P(GoldenRequest, BuildsTheFrameAndQueuesIt) {
    const auto& p = GetParam();
    TFakeLink link;
    auto& kom = *link.Kom;
    const auto data = Hex(p.DataOut);
    for (std::size_t i = 0; i < data.size(); ++i) {
        kom.ZapisDoDataOutBuffer(static_cast<std::uint8_t>(i + 1), data[i]);
    }
    // Something queued before must stay in front.
    kom.VytvorTLGNew(PC, MDM, Cteni, RAM, 0x0000, 0, 0, 0);
    const auto pred = TKomunikaceTestAccess::Telegramy(kom);

    if (p.Druh == Forma::Tabulka) {
        kom.VytvorTLG(PC, MDM, p.Akce, p.TypPameti, static_cast<std::uint8_t>(p.Adresa));
    } else {
        kom.VytvorTLGNew(PC, MDM, p.Akce, p.TypPameti, p.Adresa, p.DelkaDat, 0, 0);
    }

    const auto ocekavany = Hex(p.Frame);
    EXPECT_EQ(kom.LastMesLength(), ocekavany.size());
    auto fronta = pred;
    fronta.push_back(ocekavany);
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(kom), fronta);
}

INSTANTIATE_TEST_SUITE_P(Builder, GoldenRequest, testing::ValuesIn(kPozadavky),
                         [](const auto& info) { return HexName(info.param.Frame); });

TEST(Builder, BuildWithoutQueuingLeavesTheQueueAlone) {
    TFakeLink link;
    auto& kom = *link.Kom;
    const auto hwtyp = kom.VytvorTLGDoBuffru(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    EXPECT_EQ(kom.LastMesLength(), 9);
    EXPECT_EQ(kom.PocetZaznamuFronty(), 0U);
    const auto ocekavany = Hex("A5 14 3F 02 06 70 00 0C 84");
    EXPECT_TRUE(std::equal(ocekavany.begin(), ocekavany.end(), kom.OutputBuffer().begin()));
    EXPECT_EQ(hwtyp, TTelegram(ocekavany)) << "the telegram built is returned";

    kom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, 0x0100, 16, 0, 0);
    EXPECT_EQ(kom.LastMesLength(), 25);
    EXPECT_TRUE(kom.KopirujTLGZBuffruDoFronty());
    const auto telegramy = TKomunikaceTestAccess::Telegramy(kom);
    ASSERT_EQ(telegramy.size(), 1U);
    ASSERT_EQ(telegramy[0].size(), 25U);
    EXPECT_EQ(telegramy[0][7], 0x01); // address high byte of 0x0100
}

TEST(Builder, DestinationWithoutATableBuildsNothing) {
    TFakeLink link;
    auto& kom = *link.Kom;
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    const auto pred = TKomunikaceTestAccess::Telegramy(kom);
    const auto oblast = kom.OutputBuffer();
    // Every other bus address, the other families' rows included.
    for (unsigned adresat = 0; adresat < 256; ++adresat) {
        if (adresat == MDM) {
            continue;
        }
        kom.VytvorTLG(PC, static_cast<std::uint8_t>(adresat), Cteni, HWSW, NORLINK_Z_HWTYP);
        EXPECT_FALSE(kom.VytvorTLGDoBuffru(PC, static_cast<std::uint8_t>(adresat), Cteni, HWSW, 0));
    }
    EXPECT_EQ(kom.LastMesLength(), 9);
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(kom), pred);
    EXPECT_EQ(kom.OutputBuffer(), oblast);
}

TEST(Builder, IndexPastTheTableBuildsNothing) {
    TFakeLink link;
    auto& kom = *link.Kom;
    kom.VytvorTLG(PC, MDM, Cteni, ZAZNAM, MDM_MaxPocetAdres);
    kom.VytvorTLG(PC, MDM, Zapis, ZAZNAM, 255);
    EXPECT_EQ(kom.LastMesLength(), 0);
    EXPECT_EQ(kom.PocetZaznamuFronty(), 0U);
}

TEST(Builder, MoreDataThanTheLengthFieldHoldsBuildsNothing) {
    TFakeLink link;
    auto& kom = *link.Kom;
    for (unsigned pozice = 1; pozice <= 255; ++pozice) {
        kom.ZapisDoDataOutBuffer(static_cast<std::uint8_t>(pozice), 0x5A);
    }
    kom.VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x0100, 29, 0, 0);
    EXPECT_EQ(kom.LastMesLength(), 38);
    const auto pred = TKomunikaceTestAccess::Telegramy(kom);
    for (unsigned n : {30u, 31u, 247u, 255u}) {
        kom.VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x0100, static_cast<std::uint8_t>(n), 0, 0);
        EXPECT_FALSE(kom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, 0x0100,
                                              static_cast<std::uint8_t>(n), 0, 0));
    }
    EXPECT_EQ(kom.LastMesLength(), 38);
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(kom), pred);
}

TEST(Builder, DataOutBufferKeepsItsBytesAndPositionZeroIsIgnored) {
    TFakeLink link;
    auto& kom = *link.Kom;
    kom.ZapisDoDataOutBuffer(1, 0x11);
    kom.ZapisDoDataOutBuffer(2, 0x22);
    kom.ZapisDoDataOutBuffer(0, 0x99);
    kom.ZapisDoDataOutBuffer(255, 0x77);
    kom.VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x0000, 2, 0, 0);
    kom.VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x0000, 2, 0, 0);
    // Both telegrams carry 11 22: the buffer is not cleared by a build and position 0 is no
    // alias of position 1.
    const auto tlg = Hex("A5 14 3F 04 04 C2 00 00 11 22 0B");
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(kom), (std::vector{tlg, tlg}));
}

TEST(Builder, ReadsWithDifferentDataOutDifferOnlyInDataAndChecksum) {
    TFakeLink link;
    auto& kom = *link.Kom;
    kom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, 0x0200, 16, 0, 0);
    const auto prvni = kom.OutputBuffer();
    kom.ZapisDoDataOutBuffer(3, 0x40);
    kom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, 0x0200, 16, 0, 0);
    const auto druhy = kom.OutputBuffer();
    EXPECT_TRUE(std::equal(prvni.begin(), prvni.begin() + 8, druhy.begin()));
    EXPECT_EQ(prvni[10], 0x00);
    EXPECT_EQ(druhy[10], 0x40);
    EXPECT_EQ(static_cast<std::uint8_t>(prvni[24] - 0x40), druhy[24]);
}

TEST(Builder, EveryBuildQueuesOneTelegramOfItsLength) {
    TFakeLink link;
    auto& kom = *link.Kom;
    std::size_t ocekavano = 0;
    for (std::uint8_t index = 0; index < MDM_MaxPocetAdres; ++index) {
        for (std::uint8_t akce : {Cteni, Zapis}) {
            kom.VytvorTLG(PC, MDM, akce, EEPROM, index);
            const std::size_t c = MDM_Delka(index);
            EXPECT_EQ(kom.LastMesLength(), akce == Zapis ? 9 + c : 9);
            const auto telegramy = TKomunikaceTestAccess::Telegramy(kom);
            ASSERT_EQ(telegramy.size(), ++ocekavano);
            EXPECT_EQ(telegramy.back().size(), kom.LastMesLength());
            // The control byte always announces the entry's count.
            EXPECT_EQ(kom.OutputBuffer()[5], 128 * akce + 32 * EEPROM + c);
        }
    }
}

TEST(Builder, CopyingWithNothingBuiltQueuesNothing) {
    TFakeLink link;
    EXPECT_FALSE(link.Kom->KopirujTLGZBuffruDoFronty());
    EXPECT_EQ(link.Kom->PocetZaznamuFronty(), 0U);
}

} // namespace
