#include "KomunikaceTestAccess.h"
#include "PrijemFixture.h"

#include <numeric>

namespace {

using namespace prijem_test;

// --- Finding the start ---------------------------------------------------------------------------

TEST_F(PrijemTest, NoiseBeforeAPollIsSkippedAndThePollAnsweredOnce) {
    const auto request = QueueHwTypRead();
    Receive(Bytes("00 55") + Poll());
    EXPECT_EQ(Written(), Bytes("FF") + request);
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
    // The transmission is logged with its bytes.
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Prisla vyzva", "Odeslany TLG:FF A5 14 3F 02 06 70 00 0C 84 "}));
    EXPECT_EQ(fDekoder.Led, (std::vector<bool>{true}));
}

TEST_F(PrijemTest, APollSplitFourAndThreeIsHandledWhenComplete) {
    const auto request = QueueHwTypRead();
    const auto poll = Poll();
    Receive({poll.begin(), poll.begin() + 4});
    EXPECT_EQ(fPrijem->COMBuffer(), Bytes("A5 3F 14 80"));
    EXPECT_TRUE(Written().empty());
    EXPECT_TRUE(Messages().empty());

    Receive({poll.begin() + 4, poll.end()});
    EXPECT_EQ(Written(), Bytes("FF") + request);
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
}

TEST_F(PrijemTest, ATelegramToTheCommunicatorIsNotAStart) {
    const auto request = QueueHwTypRead();
    // Our own request echoed from the bus: it checks out but is addressed to 20.
    Receive(Bytes("A5 14 3F 02 06 70 00 0C 84"));
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Written().empty());

    // Echo and poll in one chunk: the search passes over A5 14 and finds the poll.
    Receive(Bytes("A5 14 3F 02 06 70 00 0C 84") + Poll());
    EXPECT_EQ(Written(), Bytes("FF") + request);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Prisla vyzva", "Odeslany TLG:FF A5 14 3F 02 06 70 00 0C 84 "}));
}

TEST_F(PrijemTest, TheEchoOfATransmissionCostsNeitherAPollNorALogLine) {
    const auto request = QueueHwTypRead();
    Receive(Poll());
    const auto echo = Bytes("FF") + request;
    ASSERT_EQ(Written(), echo);
    // A 2-wire adapter hears the transmission; the answer and the next poll follow in one chunk.
    Receive(echo + Response(HWSW, 0x0C00, Sixteen(0x30)) + Poll());
    ASSERT_EQ(fDekoder.Calls.size(), 1u);
    EXPECT_EQ(fDekoder.Led.size(), 2u);
    EXPECT_EQ(Written(), echo + echo);
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
    for (const auto& m : Messages()) {
        EXPECT_EQ(m.find("zahozen"), std::string::npos) << m;
    }
}

TEST_F(PrijemTest, ShortBuffersAreKeptOrEmptiedByTheirLastTwoBytes) {
    Receive(Bytes("12 34"));
    EXPECT_TRUE(fPrijem->COMBuffer().empty());

    Receive(Bytes("12 A5"));
    EXPECT_EQ(fPrijem->COMBuffer(), Bytes("12 A5"));
    // Nine bytes, no start, and neither of the last two is a sync byte.
    Receive(Bytes("11 22 33 44 55 66 77"));
    EXPECT_TRUE(fPrijem->COMBuffer().empty());

    Receive(Bytes("A5 12"));
    EXPECT_EQ(fPrijem->COMBuffer(), Bytes("A5 12"));
    // An empty chunk changes nothing.
    fPrijem->ComReceiveData(fKom->Com(), {});
    EXPECT_EQ(fPrijem->COMBuffer(), Bytes("A5 12"));
    Receive(Bytes("12 34 56 00 00 00")); // eight bytes, no start
    EXPECT_TRUE(fPrijem->COMBuffer().empty());

    // Three or four bytes wait for more whatever they are.
    Receive(Bytes("12 34 56"));
    EXPECT_EQ(fPrijem->COMBuffer(), Bytes("12 34 56"));
    Receive(Bytes("78"));
    EXPECT_EQ(fPrijem->COMBuffer(), Bytes("12 34 56 78"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PrijemTest, SyncAmongTheLastTwoOfALongerBufferKeepsItForTheRest) {
    const auto request = QueueHwTypRead();
    Receive(Bytes("10 20 30 40 50 A5 3F"));
    EXPECT_EQ(fPrijem->COMBuffer().size(), 7u);
    Receive(Bytes("14 80 88 00 00"));
    EXPECT_EQ(Written(), Bytes("FF") + request);
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
}

// --- Checksums -----------------------------------------------------------------------------------

TEST_F(PrijemTest, AWrongHeaderChecksumDropsTheBufferWithPositionLengthAndHeader) {
    QueueHwTypRead();
    Receive(Bytes("00 55 A5 3F 14 80 00 00 00"));
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Vadné CRC hlavicky,TLG zahozen",
                                                    "Pozice: 2 Delka:9  A5 3F 14 80 00 "}));
    EXPECT_TRUE(Written().empty());

    // Five bytes of noise: the start is taken at 0 without a search, and fails.
    Receive(Bytes("01 02 03 04 05"));
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
    EXPECT_EQ(Messages().back(), "Pozice: 0 Delka:5  01 02 03 04 05 ");
}

TEST_F(PrijemTest, ATelegramCutShortFailsTheDataCheckAndTakesTheNextPollWithIt) {
    const auto request = QueueHwTypRead();
    Receive(Poll());
    ASSERT_EQ(Written(), Bytes("FF") + request);

    auto response = Response(HWSW, 0x0C00, Sixteen(0x41));
    ASSERT_EQ(response, Bytes("A5 3F 14 12 F6 70 00 0C 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E "
                              "4F 50 FC"));
    response.erase(response.begin() + 10); // the byte 43 is lost on the line
    Receive(response);
    EXPECT_EQ(fPrijem->COMBuffer().size(), 24u);
    ASSERT_EQ(Messages().size(), 2u);

    Receive(Poll());
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "Prisla vyzva", "Odeslany TLG:FF A5 14 3F 02 06 70 00 0C 84 ",
                  "Vadné CRC dat,TLG zahozen",
                  "Vadny    TLG:A5 3F 14 12 F6 70 00 0C 41 42 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F "
                  "50 FC A5   Next: 3F 14",
                  // Positions 1 to LastMesLength (9) of the last transmission.
                  "Odeslany TLG:FF A5 14 3F 02 06 70 00 0C "}));
    EXPECT_TRUE(fDekoder.Calls.empty());
    EXPECT_EQ(Written(), Bytes("FF") + request) << "the swallowed poll must not be answered";
}

TEST_F(PrijemTest, NextShowsOnlyTheBytesThatFollow) {
    // A bad data block with nothing after it, then with one byte after it.
    auto bad = Response(RAM, 0x0010, Bytes("01 02"));
    bad.back() ^= 0x01;
    Receive(bad);
    ASSERT_EQ(Messages().size(), 3u);
    EXPECT_EQ(Messages()[1], "Vadny    TLG:A5 3F 14 04 04 10 10 00 01 02 DC ");
    EXPECT_EQ(Messages()[2], "Odeslany TLG:");

    Receive(bad + Bytes("7E"));
    ASSERT_EQ(Messages().size(), 6u);
    EXPECT_EQ(Messages()[4], "Vadny    TLG:A5 3F 14 04 04 10 10 00 01 02 DC   Next: 7E ");
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
}

TEST_F(PrijemTest, ADataBlockSummingTo256Passes) {
    // 50 + 10 + 00 + F0 + E0 + E0 = 0x300: sums are taken modulo 256.
    Receive(Response(ZAZNAM, 0x0010, Bytes("F0 E0")));
    ASSERT_EQ(fDekoder.Calls.size(), 1u);
    EXPECT_EQ(fDekoder.Calls[0].Data, Bytes("F0 E0"));
}

// --- Several telegrams in one chunk --------------------------------------------------------------

TEST_F(PrijemTest, AResponseFollowedByAPollInOneChunkHandlesBoth) {
    const auto request = QueueHwTypRead();
    Receive(Response(HWSW, 0x0C00, Sixteen(0x30)) + Poll() + Bytes("A5"));
    ASSERT_EQ(fDekoder.Calls.size(), 1u);
    EXPECT_EQ(fDekoder.Calls[0].Kind, 'H');
    EXPECT_EQ(fDekoder.Calls[0].Data, Sixteen(0x30));
    EXPECT_EQ(Written(), Bytes("FF") + request);
    EXPECT_EQ(fDekoder.Led.size(), 1u);
    // A sync byte at the end may begin the next telegram.
    EXPECT_EQ(fPrijem->COMBuffer(), Bytes("A5"));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Prisly data", "Prisla vyzva",
                                        "Odeslany TLG:FF A5 14 3F 02 06 70 00 0C 84 "}));
}

// --- Senders and the filter ----------------------------------------------------------------------

TEST_F(PrijemTest, Sender20WithBit7SetIsTheCommunicator) {
    const auto request = QueueHwTypRead();
    Receive(Poll(MDM + 128));
    EXPECT_EQ(Written(), Bytes("FF") + request);

    Receive(Response(ZAZNAM, 0x0100, Sixteen(0), MDM + 128));
    ASSERT_EQ(fDekoder.Calls.size(), 1u);
    EXPECT_EQ(fDekoder.Calls[0].Kind, 'Z');
    EXPECT_EQ(fDekoder.Calls[0].Hlavicka.Odesilatel, MDM + 128);
    EXPECT_EQ(fDekoder.Calls[0].Hlavicka.Adresa, 0x0100);
}

TEST_F(PrijemTest, OtherSendersPassTheFilterAndAreIgnored) {
    QueueHwTypRead();
    Receive(Poll(21));
    Receive(Response(ZAZNAM, 0x0100, Sixteen(0), 21 + 128));
    Receive(Poll(63));
    EXPECT_TRUE(Written().empty());
    EXPECT_TRUE(fDekoder.Calls.empty());
    EXPECT_TRUE(fDekoder.Led.empty());
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
}

TEST_F(PrijemTest, TelegramsTheFilterRefusesAreLoggedAndDropped) {
    QueueHwTypRead();
    Receive(Response(ZAZNAM, 0x0100, Sixteen(0), PCServer));
    Receive(Poll(PCKlient1));
    fKom->NastavAdresoveLimity(0x0100, 0x01FF);
    Receive(Response(ZAZNAM, 0x0200, Sixteen(0)));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"TLG nepropusten", "TLG nepropusten", "TLG nepropusten"}));
    EXPECT_TRUE(Written().empty());
    EXPECT_TRUE(fDekoder.Calls.empty());
    EXPECT_TRUE(fDekoder.Led.empty());
    EXPECT_TRUE(fPrijem->COMBuffer().empty());

    // Inside the window it passes.
    Receive(Response(ZAZNAM, 0x01F0, Sixteen(0)));
    EXPECT_EQ(fDekoder.Calls.size(), 1u);
}

// --- Dispatch ------------------------------------------------------------------------------------

TEST_F(PrijemTest, DataTelegramsGoToTheDecoderOfTheirMemoryKind) {
    QueueHwTypRead();
    const auto queued = TKomunikaceTestAccess::Telegramy(*fKom);
    Receive(Response(RAM, 0x0020, Sixteen(1)));
    ASSERT_EQ(fDekoder.Calls.size(), 1u);
    EXPECT_EQ(fDekoder.Calls[0].Kind, 'R');
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Prisly data"}));
    // A RAM answer has no further effect on the link.
    EXPECT_EQ(TKomunikaceTestAccess::Telegramy(*fKom), queued);
    EXPECT_TRUE(Written().empty());

    Receive(Response(EEPROM, 0x0030, Sixteen(2)));
    Receive(Frame(PC, MDM, 18, 0xD0, 0x1100, Sixteen(3))); // write bit, record memory
    Receive(Response(HWSW, 0x0C20, Sixteen(4)));
    ASSERT_EQ(fDekoder.Calls.size(), 4u);
    EXPECT_EQ(fDekoder.Calls[1].Kind, 'E');
    EXPECT_EQ(fDekoder.Calls[1].Hlavicka.Adresa, 0x0030);
    EXPECT_EQ(fDekoder.Calls[2].Kind, 'Z');
    EXPECT_TRUE(fDekoder.Calls[2].Hlavicka.ZapisovyTLG);
    EXPECT_EQ(fDekoder.Calls[2].Hlavicka.Adresa, 0x1100);
    EXPECT_EQ(fDekoder.Calls[2].Data, Sixteen(3));
    EXPECT_EQ(fDekoder.Calls[3].Kind, 'H');
    EXPECT_FALSE(fDekoder.Calls[3].Hlavicka.ZapisovyTLG);
    EXPECT_EQ(fDekoder.Calls[3].Hlavicka.DelkaDat, 16);
    EXPECT_TRUE(fDekoder.Led.empty());
}

TEST_F(PrijemTest, DecodersReceiveExactlyTheDataBytesThatArrived) {
    Receive(Response(ZAZNAM, 0x0000, Bytes("31 32 33")));
    Receive(Response(ZAZNAM, 0x0000, {}));
    std::vector<std::uint8_t> many(29);
    std::iota(many.begin(), many.end(), std::uint8_t{1});
    Receive(Response(ZAZNAM, 0x0000, many));
    // Length field 1: the header promises one data byte, but the block ends after the low
    // address byte; length field 0: control byte and checksum only.
    Receive(Bytes("A5 3F 14 01 07 50 34 7C"));
    Receive(Bytes("A5 3F 14 00 08 50 B0"));
    ASSERT_EQ(fDekoder.Calls.size(), 5u);
    EXPECT_EQ(fDekoder.Calls[0].Data, Bytes("31 32 33"));
    EXPECT_EQ(fDekoder.Calls[0].Hlavicka.DelkaDat, 3);
    EXPECT_TRUE(fDekoder.Calls[1].Data.empty());
    EXPECT_EQ(fDekoder.Calls[2].Data, many);
    EXPECT_EQ(fDekoder.Calls[3].Hlavicka.DelkaDat, 1);
    EXPECT_TRUE(fDekoder.Calls[3].Data.empty());
    EXPECT_TRUE(fDekoder.Calls[4].Data.empty());
    // A seven-byte telegram has no address high byte: it reads 0, not an earlier telegram's.
    EXPECT_EQ(fDekoder.Calls[4].Hlavicka.Adresa, 0x00B0);
    EXPECT_EQ(fPrijem->DekodBuffer()[7], 0);
}

TEST_F(PrijemTest, DekodTLGNeverHandsOutMoreThanTheTelegramHolds) {
    // A view larger than the telegram: only the announced data bytes go out.
    auto t = Response(EEPROM, 0x0040, Bytes("AA BB CC"));
    t.resize(64, 0xEE);
    fPrijem->DekodTLG(t);
    // A view shorter than the announced length: only what is there.
    const auto full = Response(EEPROM, 0x0040, Sixteen(0));
    fPrijem->DekodTLG(std::span(full).first(12));
    // Shorter than a header: read as zeros, a RAM data telegram with nothing in it.
    fPrijem->DekodTLG(Bytes("A5 3F"));
    ASSERT_EQ(fDekoder.Calls.size(), 3u);
    EXPECT_EQ(fDekoder.Calls[0].Data, Bytes("AA BB CC"));
    EXPECT_EQ(fDekoder.Calls[1].Data, Bytes("00 01 02"));
    EXPECT_EQ(fDekoder.Calls[2].Kind, 'R');
    EXPECT_TRUE(fDekoder.Calls[2].Data.empty());
}

TEST_F(PrijemTest, EveryPollIsLoggedAndTogglesTheLampEvenWithAnEmptyQueue) {
    Receive(Poll());
    EXPECT_TRUE(Written().empty());
    EXPECT_TRUE(fLine->EventsOf(FakeEventKind::SetDTR).empty());
    const auto request = QueueHwTypRead();
    Receive(Poll());
    Receive(Poll());
    EXPECT_EQ(fDekoder.Led, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(fPrijem->LedIncoming());
    // Only what was sent is logged as sent: not the poll with nothing queued.
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "Prisla vyzva", "Prisla vyzva", "Odeslany TLG:FF A5 14 3F 02 06 70 00 0C 84 ",
                  "Prisla vyzva", "Odeslany TLG:FF A5 14 3F 02 06 70 00 0C 84 "}));
    // Two polls with no answer between them send the same telegram twice.
    EXPECT_EQ(Written(), Bytes("FF") + request + Bytes("FF") + request);
}

TEST_F(PrijemTest, PollsDuringAWritePhaseAlternateBetweenWriteAndReadBack) {
    for (std::uint8_t i = 1; i <= 16; ++i) {
        fKom->ZapisDoDataOutBuffer(i, static_cast<std::uint8_t>('0' + i));
    }
    auto zapisTlg = fKom->VytvorTLGNewDoBuffru(PC, MDM, Zapis, ZAZNAM, 0x0010, 16, 0, 0);
    auto cteniTlg = fKom->VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, 0x0010, 16, 0, 0);
    ASSERT_TRUE(zapisTlg && cteniTlg);
    fKom->ZaradParZapisu(*zapisTlg, *cteniTlg);
    fKom->VytvorTLGNew(PC, MDM, Zapis, ZAZNAM, 0x0020, 16, 0, 0);
    const auto q = TKomunikaceTestAccess::Telegramy(*fKom);
    ASSERT_EQ(q.size(), 3u);
    const std::vector<std::uint8_t>& zapis = q[0];
    const std::vector<std::uint8_t>& cteni = q[1];
    ASSERT_EQ(zapis.size(), 25u);
    ASSERT_NE(zapis, cteni);

    EXPECT_EQ(fKom->PocCyklu(), 0);
    Receive(Poll());
    EXPECT_EQ(fKom->PocCyklu(), 1);
    Receive(Poll());
    EXPECT_EQ(fKom->PocCyklu(), 2);
    Receive(Poll());
    EXPECT_EQ(fKom->PocCyklu(), 1);
    EXPECT_EQ(Written(), Bytes("FF") + zapis + Bytes("FF") + cteni + Bytes("FF") + zapis);

    // Outside a write phase the counter stays where it is and the head goes out.
    fKom->SmazZaznamFronty();
    TKomunikaceTestAccess::NastavPocCyklu(*fKom, 2);
    fLine->ClearEvents();
    Receive(Poll());
    EXPECT_EQ(fKom->PocCyklu(), 2);
    EXPECT_EQ(Written(), Bytes("FF") + q[2]);
}

// --- Bounded buffer ------------------------------------------------------------------------------

TEST_F(PrijemTest, AStreamOfChunksEndingInSyncStaysBoundedAndKeepsAPossibleStart) {
    const auto request = QueueHwTypRead();
    const std::size_t limit = fKom->Com().InBufSize();
    ASSERT_EQ(limit, 2048u);
    std::vector<std::uint8_t> chunk(100, 0x11);
    chunk.back() = 0xA5;

    for (int i = 1; i <= 150; ++i) {
        Receive(chunk);
        const std::size_t size = fPrijem->COMBuffer().size();
        // Up to one driver read the buffer is kept whole; beyond it only the last two bytes.
        if (static_cast<std::size_t>(i) * 100 <= limit) {
            ASSERT_EQ(size, static_cast<std::size_t>(i) * 100) << i;
        } else {
            ASSERT_LE(size, limit) << i;
        }
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(fPrijem->COMBuffer().back(), 0xA5);

    // The sync byte that ended the stream begins the poll that follows.
    Receive(Bytes("3F 14 80 88 00 00"));
    EXPECT_EQ(Written(), Bytes("FF") + request);
    EXPECT_TRUE(fPrijem->COMBuffer().empty());
}

TEST_F(PrijemTest, TheLogKeepsTheNewest501Lines) {
    for (int i = 0; i < 300; ++i) {
        Receive(Bytes("01 02 03 04") + Bytes(i % 2 == 0 ? "05" : "06"));
    }
    ASSERT_EQ(fLog.Count(), 501u);
    EXPECT_EQ(fLog[0].Message().substr(kStamp.size()), "Pozice: 0 Delka:5  01 02 03 04 06 ");
    EXPECT_EQ(fLog[1].Message().substr(kStamp.size()), "Vadné CRC hlavicky,TLG zahozen");
    EXPECT_EQ(fLog[2].Message().substr(kStamp.size()), "Pozice: 0 Delka:5  01 02 03 04 05 ");
    EXPECT_EQ(fLog[500].Message().substr(kStamp.size()), "Pozice: 0 Delka:5  01 02 03 04 06 ");
}

} // namespace
