// The link engine on a real serial driver over a fake port: set-up, the queue and the answer to a
// poll.
#include "FakeLink.h"
#include "KomunikaceTestAccess.h"
#include "telegram/modem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

const char* const kHWTYP = "A5 14 3F 02 06 70 00 0C 84";
const char* const kVERSW = "A5 14 3F 02 06 70 10 0C 74";

std::vector<std::uint8_t> NaLince(const char* frame) {
    auto bytes = Hex(frame);
    bytes.insert(bytes.begin(), 0xFF);
    return bytes;
}

// Only the events that key the line and carry bytes, in order.
std::vector<FakeEvent> LinkaAData(const FakeLine& line) {
    std::vector<FakeEvent> out;
    for (const auto& e : line.Events) {
        if (e.Kind == FakeEventKind::SetDTR || e.Kind == FakeEventKind::Write) {
            out.push_back(e);
        }
    }
    return out;
}

TEST(Komunikace, InitializeConfiguresTheDriverForTheBus) {
    TFakeLink link;
    auto& com = link.Kom->Com();
    com.SetBaudRateValue(9600);
    com.SetParity(TParity::ptEVEN);
    com.SetStopBits(TStopBits::sb2BITS);
    com.SetDataBits(TDataBits::db7BITS);
    com.SetHwFlowControl(THwFlowControl::hfRTSCTS);
    com.SetSwFlowControl(TSwFlowControl::sfXONXOFF);
    com.SetInBufSize(512);
    com.SetOutBufSize(512);
    com.SetOutputTimeout(100);
    com.SetPort(static_cast<TPortNumber>(7));

    link.Kom->Initialize();
    EXPECT_EQ(com.BaudRateValue(), 4800u);
    EXPECT_EQ(com.DataBits(), TDataBits::db8BITS);
    EXPECT_EQ(com.StopBits(), TStopBits::sb1BITS);
    EXPECT_EQ(com.Parity(), TParity::ptNONE);
    EXPECT_EQ(com.HwFlow(), THwFlowControl::hfNONERTSON);
    EXPECT_EQ(com.SwFlow(), TSwFlowControl::sfNONE);
    EXPECT_EQ(com.InBufSize(), 2048u);
    EXPECT_EQ(com.OutBufSize(), 2048u);
    EXPECT_EQ(com.OutputTimeout(), 500);
    EXPECT_EQ(com.PollingDelay(), 40);
    EXPECT_FALSE(com.EnableDTROnOpen());
    EXPECT_EQ(com.PortName(), "\\\\.\\COM2");
    EXPECT_EQ(com.Port(), TPortNumber::pnCustom);
}

TEST(Komunikace, InitializeClosesThePortAndEmptiesTheQueue) {
    TFakeLink link;
    ASSERT_TRUE(link.Open());
    link.Kom->VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    link.Kom->Initialize();
    EXPECT_FALSE(link.Kom->Com().Connected());
    EXPECT_FALSE(link.Line->IsOpen);
    EXPECT_EQ(link.Kom->PocetZaznamuFronty(), 0U);
}

TEST(Komunikace, NavazSpojeniOpensAtTheGivenRateWithDtrOff) {
    TFakeLink link;
    link.Kom->Initialize();
    link.Kom->NastavComPort(3);
    EXPECT_TRUE(link.Kom->NavazSpojeni(4800));
    EXPECT_TRUE(link.Kom->Com().Connected());
    EXPECT_EQ(link.Line->Settings.BaudRate, 4800u);
    EXPECT_FALSE(link.Line->Settings.EnableDTROnOpen);
    EXPECT_EQ(link.Line->Settings.HwFlow, THwFlowControl::hfNONERTSON);
    EXPECT_EQ(link.Kom->Com().PollingDelay(), 40);
    EXPECT_EQ(link.Timer->Period(), 40ms);

    TFakeLink chybi;
    chybi.Line->FailOpen = true;
    chybi.Kom->Initialize();
    EXPECT_FALSE(chybi.Kom->NavazSpojeni(9600));
    EXPECT_EQ(chybi.Kom->Com().BaudRateValue(), 9600u);
}

TEST(Komunikace, NastavComPortNumberedAndCustom) {
    TFakeLink link;
    auto& kom = *link.Kom;
    kom.Initialize();
    const std::pair<std::uint8_t, TPortNumber> pripady[] = {
        {1, static_cast<TPortNumber>(1)}, {25, TPortNumber::pnCOM25},   {0, TPortNumber::pnCustom},
        {26, TPortNumber::pnCustom},      {255, TPortNumber::pnCustom},
    };
    for (const auto& [cislo, port] : pripady) {
        kom.NastavComPort(cislo);
        EXPECT_EQ(kom.Com().Port(), port) << int(cislo);
        EXPECT_EQ(kom.Com().PortName(), "\\\\.\\COM" + std::to_string(cislo));
    }
}

TEST(Komunikace, ReceivedBytesReachTheInstalledHandler) {
    TFakeLink link;
    std::vector<std::uint8_t> prijato;
    link.Kom->NastavObsluhuPrijetiDat([&](TSerialDriver&, std::span<const std::uint8_t> data) {
        prijato.insert(prijato.end(), data.begin(), data.end());
    });
    ASSERT_TRUE(link.Open());
    const auto vyzva = Hex("A5 3F 14 80 88 00 00");
    link.Line->Feed(vyzva);
    ASSERT_TRUE(link.Timer->Pump());
    EXPECT_EQ(prijato, vyzva);
}

class PosliData : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fLink.Open()); }
    TFakeLink fLink;
    TKomunikace& kom = *fLink.Kom;
    FakeLine& line = *fLink.Line;
};

TEST_F(PosliData, EmptyQueueTouchesNothing) {
    kom.PosliData();
    TKomunikaceTestAccess::NastavPocCyklu(kom, 2);
    kom.PosliData();
    EXPECT_TRUE(line.Events.empty());
    EXPECT_EQ(kom.CtiPosledniTLG(1), 0);
}

TEST_F(PosliData, SendsThePrefixedHeadFramedByDtrWithGuards) {
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    const auto fronta = TKomunikaceTestAccess::Telegramy(kom);
    kom.PosliData();
    // The call returns at once with the line keyed; the driver's ticks write once it has settled
    // and release it after the bytes.
    EXPECT_TRUE(line.Dtr);
    EXPECT_TRUE(line.Written().empty());
    EXPECT_EQ(fLink.Timer->Period(), 1ms);
    fLink.Uvolni();
    EXPECT_EQ(fLink.Timer->Period(), 40ms);

    EXPECT_EQ(line.Written(), NaLince(kHWTYP));
    const auto udalosti = LinkaAData(line);
    ASSERT_GE(udalosti.size(), 3u);
    const auto& zapnuti = udalosti.front();
    const auto& vypnuti = udalosti.back();
    EXPECT_EQ(zapnuti.Kind, FakeEventKind::SetDTR);
    EXPECT_TRUE(zapnuti.On);
    EXPECT_EQ(vypnuti.Kind, FakeEventKind::SetDTR);
    EXPECT_FALSE(vypnuti.On);
    for (std::size_t i = 1; i + 1 < udalosti.size(); ++i) {
        EXPECT_EQ(udalosti[i].Kind, FakeEventKind::Write) << i;
    }
    // DTR settles before the first byte and stays up after the last one.
    EXPECT_GT(udalosti[1].When - zapnuti.When, 2ms);
    EXPECT_GE(vypnuti.When - udalosti[udalosti.size() - 2].When, 2ms);
    EXPECT_FALSE(line.Dtr);
    // The telegram stays queued until its answer is handled.
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(kom), fronta);
}

// The port still sends when the next poll is handled (an echo, a device that polls too soon): the
// answer waits until the line has been released, and the line stays keyed the guard after the port
// has emptied, or, with a port that never says so, until the output time-out.
TEST_F(PosliData, APollWhileThePortStillSendsIsAnsweredAfterTheRelease) {
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    line.OutQueueCount = 9;
    kom.PosliData();
    kom.PrislaVyzva();
    std::this_thread::sleep_for(5ms);
    fLink.Timer->Pump();
    EXPECT_EQ(line.Written(), NaLince(kHWTYP)) << "nothing more while the port sends";
    EXPECT_TRUE(line.Dtr);

    line.OutQueueCount = 0;
    fLink.Timer->Pump();
    const auto prazdno = std::chrono::steady_clock::now();
    fLink.Uvolni();
    const auto udalosti = LinkaAData(line);
    ASSERT_EQ(udalosti.size(), 6u);
    EXPECT_FALSE(udalosti[2].On) << "released before the next transmission";
    EXPECT_GE(udalosti[2].When - prazdno, 1ms);
    EXPECT_EQ(udalosti[3].Kind, FakeEventKind::SetDTR);
    EXPECT_EQ(udalosti[4].Data, NaLince(kHWTYP));

    kom.Com().SetOutputTimeout(30);
    line.OutQueueCount = 9;
    kom.PosliData();
    fLink.Uvolni();
    EXPECT_FALSE(line.Dtr) << "a port that never empties does not hold the line for good";
}

// Each way of keying the transmitter, over a whole transmission from the open on.
struct TRadekSmeru {
    TSmer Smer;
    bool OdmitniRs485;
    TSmer Ucinny;
    FakeEventKind Klic; // the line keyed; Open: none
};

class SmerLinky : public testing::TestWithParam<TRadekSmeru> {};

TEST_P(SmerLinky, KeysOnlyItsLineAroundTheTransmission) {
    const auto& r = GetParam();
    TFakeLink link;
    link.Line->RefuseRs485 = r.OdmitniRs485;
    link.Kom->Com().SetSmer(r.Smer);
    link.Kom->Initialize();
    link.Kom->NastavComPort(5);
    ASSERT_TRUE(link.Kom->NavazSpojeni(4800));
    EXPECT_EQ(link.Kom->Com().UcinnySmer(), r.Ucinny);
    EXPECT_EQ(link.Kom->Com().VarovaniSmeru().empty(), !r.OdmitniRs485);
    EXPECT_EQ(link.Line->EventsOf(FakeEventKind::Rs485).size(), r.Smer == TSmer::RS485 ? 1u : 0u);
    // Idle, the keyed line is low.
    EXPECT_FALSE(r.Klic == FakeEventKind::SetRTS ? link.Line->Rts : link.Line->Dtr);

    link.Line->ClearEvents();
    link.Kom->VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    link.Kom->PosliData();
    link.Uvolni();
    EXPECT_EQ(link.Line->Written(), NaLince(kHWTYP));
    std::vector<bool> klic;
    for (const auto& e : link.Line->Events) {
        if (e.Kind == FakeEventKind::SetDTR || e.Kind == FakeEventKind::SetRTS) {
            EXPECT_EQ(e.Kind, r.Klic);
            klic.push_back(e.On);
        }
    }
    const std::vector<bool> ocekavano =
        r.Klic == FakeEventKind::Open ? std::vector<bool>{} : std::vector<bool>{true, false};
    EXPECT_EQ(klic, ocekavano);
}

INSTANTIATE_TEST_SUITE_P(
    Rezimy, SmerLinky,
    testing::Values(TRadekSmeru{TSmer::DTR, false, TSmer::DTR, FakeEventKind::SetDTR},
                    TRadekSmeru{TSmer::RTS, false, TSmer::RTS, FakeEventKind::SetRTS},
                    TRadekSmeru{TSmer::RS485, false, TSmer::RS485, FakeEventKind::Open},
                    TRadekSmeru{TSmer::RS485, true, TSmer::DTR, FakeEventKind::SetDTR},
                    TRadekSmeru{TSmer::Zadny, false, TSmer::Zadny, FakeEventKind::Open}));

TEST_F(PosliData, UnansweredPollsRepeatTheSameBytes) {
    kom.VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x0010, 16, 0, 0);
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_VERSW);
    kom.PosliData();
    fLink.Uvolni();
    const auto prvni = line.Written();
    line.ClearEvents();
    kom.PosliData();
    fLink.Uvolni();
    EXPECT_EQ(line.Written(), prvni);
    ASSERT_EQ(prvni.size(), 26u);
    EXPECT_EQ(prvni[0], 0xFF);
    EXPECT_EQ(prvni[1], 0xA5);
}

TEST_F(PosliData, LastTransmissionCopy) {
    EXPECT_EQ(kom.CtiPosledniTLG(0), 255);
    EXPECT_EQ(kom.CtiPosledniTLG(271), 255);
    EXPECT_EQ(kom.CtiPosledniTLG(1), 0);
    EXPECT_EQ(kom.CtiPosledniTLG(270), 0);

    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    kom.PosliData();
    const auto odeslano = NaLince(kHWTYP);
    for (std::size_t i = 0; i < odeslano.size(); ++i) {
        EXPECT_EQ(kom.CtiPosledniTLG(static_cast<std::uint16_t>(i + 1)), odeslano[i]) << i;
    }
    EXPECT_EQ(kom.CtiPosledniTLG(270), 0);
    EXPECT_EQ(kom.CtiPosledniTLG(0), 255);
    EXPECT_EQ(kom.CtiPosledniTLG(271), 255);
    EXPECT_EQ(kom.CtiPosledniTLG(0xFFFF), 255);
}

TEST_F(PosliData, WritePhaseAlternatesBetweenThePairsTwoTelegrams) {
    kom.ZaradParZapisu(TTelegram(Hex(kHWTYP)), TTelegram(Hex(kVERSW)));
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_VERHW);
    const std::pair<std::uint8_t, const char*> kola[] = {
        {1, kHWTYP}, {2, kVERSW}, {1, kHWTYP}, {2, kVERSW}, {0, kHWTYP}};
    for (const auto& [cyklus, ocekavany] : kola) {
        TKomunikaceTestAccess::NastavPocCyklu(kom, cyklus);
        line.ClearEvents();
        kom.PosliData();
        fLink.Uvolni();
        EXPECT_EQ(line.Written(), NaLince(ocekavany)) << "PocCyklu " << int(cyklus);
    }
    // Outside a write phase the cycle counter means nothing.
    kom.SmazZaznamFronty();
    TKomunikaceTestAccess::NastavPocCyklu(kom, 2);
    line.ClearEvents();
    kom.PosliData();
    fLink.Uvolni();
    EXPECT_EQ(line.Written(), NaLince("A5 14 3F 02 06 70 20 0C 64"));
}

TEST_F(PosliData, RefusedTelegramRestoresTheSendArea) {
    kom.NastavAdresoveLimity(0x0C00, 0x0C00);
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    kom.PosliData();
    fLink.Uvolni();
    kom.SmazZaznamFronty();
    const auto sendArea = kom.OutputBuffer();
    ASSERT_EQ(sendArea[0], 0xFF);
    line.ClearEvents();

    // 0x0C10 lies one block above the window: built over the send area, then refused.
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_VERSW);
    EXPECT_NE(kom.OutputBuffer(), sendArea);
    kom.PosliData();
    EXPECT_TRUE(line.Events.empty());
    EXPECT_EQ(kom.OutputBuffer(), sendArea);
    // The last transmission is still the one for 0x0C00.
    EXPECT_EQ(kom.CtiPosledniTLG(2), 0xA5);
    EXPECT_EQ(kom.CtiPosledniTLG(8), 0x00);
    EXPECT_EQ(kom.CtiPosledniTLG(9), 0x0C);
    EXPECT_EQ(kom.PocetZaznamuFronty(), 1U);
}

TEST_F(PosliData, ClosedPortSendsNothingButRecordsTheTransmission) {
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    kom.Com().Disconnect();
    line.ClearEvents();
    kom.PosliData();
    EXPECT_TRUE(line.Written().empty());
    EXPECT_TRUE(line.EventsOf(FakeEventKind::SetDTR).empty());
    EXPECT_EQ(kom.CtiPosledniTLG(1), 0xFF);
}

// The answer is keyed but not yet written when the port goes: nothing reaches the line later, the
// line is not held, and the next open sends afresh.
TEST_F(PosliData, APortClosedWhileTheLineSettlesWritesNothingLater) {
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    kom.PosliData();
    ASSERT_TRUE(kom.Com().ZapisCeka());
    kom.Com().Disconnect();
    std::this_thread::sleep_for(3ms);
    fLink.Timer->Pump();
    EXPECT_TRUE(line.Written().empty());
    EXPECT_FALSE(kom.Com().Vysila());
    EXPECT_FALSE(kom.Com().ZapisCeka());

    ASSERT_TRUE(fLink.Open()); // empties the queue
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    kom.PosliData();
    fLink.Uvolni();
    EXPECT_EQ(line.Written(), NaLince(kHWTYP));
}

// Queues that no build makes: nothing is read or sent past what a telegram holds.
struct TPoskozenaFronta {
    const char* Nazev;
    const char* Prvni;     // a request, or a pair's write
    const char* Cteni;     // a pair's read-back; nullptr for a request
    std::uint8_t PocCyklu; // 2: a pair's read-back is chosen
    const char* Odeslano;  // expected on the line, "" for nothing
};

const TPoskozenaFronta kPoskozene[] = {
    {"ZeroLength", "", nullptr, 0, ""},
    {"SecondEntryZeroLength", "A5 14 3F 02 06 70 00 0C 84", "", 2, ""},
    {"SecondEntryWhole", "A5 14 3F 02 06 70 00 0C 84", "A5 14 3F 02 06 70 10 0C 74", 2,
     "FF A5 14 3F 02 06 70 10 0C 74"},
    {"ShorterThanATelegram", "A5 14 3F", nullptr, 0, ""},
};

class PoskozenaFronta : public testing::TestWithParam<TPoskozenaFronta> {};

TEST_P(PoskozenaFronta, SendsOnlyAWholeEntry) {
    const auto& p = GetParam();
    TFakeLink link;
    ASSERT_TRUE(link.Open());
    // Exactly sized, so that any read past the end is caught by the address sanitizer.
    const TTelegram prvni(Hex(p.Prvni));
    if (p.Cteni == nullptr) {
        TKomunikaceTestAccess::NahradFrontu(*link.Kom, {TDotaz{prvni}});
    } else {
        TKomunikaceTestAccess::NahradFrontu(*link.Kom,
                                            {TParZapisu{prvni, TTelegram(Hex(p.Cteni))}});
    }
    const auto fronta = TKomunikaceTestAccess::Telegramy(*link.Kom);
    TKomunikaceTestAccess::NastavPocCyklu(*link.Kom, p.PocCyklu);
    link.Kom->PosliData();
    link.Uvolni();
    const auto odeslano = Hex(p.Odeslano);
    EXPECT_EQ(link.Line->Written(), odeslano);
    if (odeslano.empty()) {
        EXPECT_TRUE(link.Line->Events.empty());
    }
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(*link.Kom), fronta);
}

INSTANTIATE_TEST_SUITE_P(Fronta, PoskozenaFronta, testing::ValuesIn(kPoskozene),
                         [](const auto& info) { return std::string(info.param.Nazev); });

TEST(Fronta, LongestEntryFitsTheSendArea) {
    TFakeLink link;
    ASSERT_TRUE(link.Open());
    // A 255-byte entry: header of a data telegram at address 0x0100, then filler.
    std::vector<std::uint8_t> tlg = Hex("A5 14 3F 12 F6 50 00 01");
    tlg.resize(255, 0x5A);
    TKomunikaceTestAccess::NahradFrontu(*link.Kom, {TDotaz{TTelegram(tlg)}});
    link.Kom->PosliData();
    link.Uvolni();
    const auto odeslano = link.Line->Written();
    ASSERT_EQ(odeslano.size(), 256u);
    EXPECT_TRUE(std::equal(tlg.begin(), tlg.end(), odeslano.begin() + 1));
    EXPECT_EQ(link.Kom->CtiPosledniTLG(256), 0x5A);
    EXPECT_EQ(link.Kom->CtiPosledniTLG(257), 0);

    // One byte more than the send area holds besides the 0xFF prefix.
    tlg.resize(MaxOutputDataCount, 0x5A);
    TKomunikaceTestAccess::NahradFrontu(*link.Kom, {TDotaz{TTelegram(tlg)}});
    link.Line->ClearEvents();
    link.Kom->PosliData();
    EXPECT_TRUE(link.Line->Events.empty());
}

TEST(Fronta, SmazZaznamFrontyRemovesExactlyTheHead) {
    TFakeLink link;
    auto& kom = *link.Kom;
    kom.SmazZaznamFronty();
    EXPECT_EQ(kom.PocetZaznamuFronty(), 0U);

    kom.VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x0010, 16, 0, 0);
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_VERSW);
    const auto telegramy = TKomunikaceTestAccess::Telegramy(kom);
    ASSERT_EQ(telegramy.size(), 2U);
    EXPECT_EQ(telegramy[0].size(), 25U);
    kom.SmazZaznamFronty();
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(kom),
              std::vector<std::vector<std::uint8_t>>{Hex(kVERSW)});
    kom.SmazZaznamFronty();
    EXPECT_EQ(kom.PocetZaznamuFronty(), 0U);
    kom.SmazZaznamFronty();
    EXPECT_EQ(kom.PocetZaznamuFronty(), 0U);

    // A pair leaves whole.
    kom.ZaradParZapisu(TTelegram(Hex(kHWTYP)), TTelegram(Hex(kHWTYP)));
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_VERSW);
    kom.SmazZaznamFronty();
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(kom),
              std::vector<std::vector<std::uint8_t>>{Hex(kVERSW)});
}

TEST(Fronta, TypedViewShowsEachEntryAsTheTelegramItIs) {
    TFakeLink link;
    TKomunikace& kom = *link.Kom;
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    for (std::uint8_t j = 1; j <= 16; ++j) {
        kom.ZapisDoDataOutBuffer(j, static_cast<std::uint8_t>(0xA0 + j));
    }
    kom.VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x1234, 16, 0, 0);
    kom.VytvorTLGNew(PC, MDM, Cteni, ZAZNAM, 0x0100, 0, 0, 0);

    ASSERT_EQ(kom.PocetZaznamuFronty(), 3U);
    // A table read announces 16 bytes and carries none.
    EXPECT_EQ(kom.ZaznamFronty(0), (TZaznamFronty{MDM, PC, Cteni, HWSW, 16, 0x0C00, {}}));
    std::vector<std::uint8_t> data;
    for (std::uint8_t j = 1; j <= 16; ++j) {
        data.push_back(static_cast<std::uint8_t>(0xA0 + j));
    }
    EXPECT_EQ(kom.ZaznamFronty(1), (TZaznamFronty{MDM, PC, Zapis, ZAZNAM, 16, 0x1234, data}));
    EXPECT_EQ(kom.ZaznamFronty(2), (TZaznamFronty{MDM, PC, Cteni, ZAZNAM, 0, 0x0100, {}}));
    EXPECT_FALSE(kom.ZaznamFronty(3).has_value());
    EXPECT_FALSE(kom.CteniParu().has_value()) << "no pair at the head";

    kom.VyprazdniFrontu();
    EXPECT_EQ(kom.PocetZaznamuFronty(), 0U);
}

TEST(Fronta, TypedViewGivesNothingForATelegramTooShortForARequest) {
    TFakeLink link;
    TKomunikaceTestAccess::NahradFrontu(*link.Kom, {TDotaz{TTelegram(Hex(kHWTYP))}});
    EXPECT_TRUE(link.Kom->ZaznamFronty(0).has_value());
    TKomunikaceTestAccess::NahradFrontu(*link.Kom,
                                        {TDotaz{TTelegram(Hex("A5 14 3F 02 06 70 00 0C"))}});
    EXPECT_FALSE(link.Kom->ZaznamFronty(0).has_value());
    TKomunikaceTestAccess::NahradFrontu(*link.Kom, {TDotaz{TTelegram(Hex("A5 14 3F"))}});
    EXPECT_FALSE(link.Kom->ZaznamFronty(0).has_value());
}

TEST(Fronta, WritePhaseLastsWhileAPairIsAtTheHead) {
    TFakeLink link;
    TKomunikace& kom = *link.Kom;
    EXPECT_FALSE(kom.Zapisuju());
    kom.ZaradParZapisu(TTelegram(Hex(kHWTYP)), TTelegram(Hex(kVERSW)));
    kom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_VERHW);
    EXPECT_TRUE(kom.Zapisuju());
    EXPECT_EQ(kom.PocCyklu(), 0);
    EXPECT_EQ(kom.ZaznamFronty(0)->Adresa, 0x0C00);
    EXPECT_EQ(kom.CteniParu()->Adresa, 0x0C10);

    kom.PrislaVyzva();
    EXPECT_EQ(kom.PocCyklu(), 1);
    // Repeating starts the pair over from its write.
    kom.OpakujPar();
    EXPECT_EQ(kom.PocCyklu(), 0);
    EXPECT_EQ(kom.OpakovaniParu(), 1);
    EXPECT_TRUE(kom.Zapisuju());
    EXPECT_EQ(kom.PocetZaznamuFronty(), 2U);

    kom.PrislaVyzva();
    kom.PrislaVyzva();
    EXPECT_EQ(kom.PocCyklu(), 2);
    kom.SmazZaznamFronty();
    EXPECT_FALSE(kom.Zapisuju());
    EXPECT_EQ(kom.PocCyklu(), 0);
    EXPECT_EQ(kom.OpakovaniParu(), 0);
    EXPECT_FALSE(kom.CteniParu().has_value());
    kom.PrislaVyzva();
    EXPECT_EQ(kom.PocCyklu(), 0) << "outside a write phase polls do not count";
    kom.OpakujPar();
    EXPECT_EQ(kom.PocetZaznamuFronty(), 1U);

    // A pair behind a request waits for its turn.
    kom.ZaradParZapisu(TTelegram(Hex(kHWTYP)), TTelegram(Hex(kVERSW)));
    EXPECT_FALSE(kom.Zapisuju());
    kom.PrislaVyzva();
    kom.PrislaVyzva();
    EXPECT_EQ(kom.PocCyklu(), 0);
    kom.SmazZaznamFronty();
    EXPECT_TRUE(kom.Zapisuju());

    kom.PrislaVyzva();
    kom.VyprazdniFrontu();
    EXPECT_FALSE(kom.Zapisuju());
    EXPECT_EQ(kom.PocCyklu(), 0);
}

} // namespace
