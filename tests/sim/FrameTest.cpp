// The simulator's own frame code against frames written out byte by byte.

#include "SimFrame.h"
#include "SimPeer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

using namespace sim;
using ::testing::ElementsAreArray;

namespace {

// Read of the hardware type text, HWSW 0x0C00, 16 bytes (the 9-byte form).
const TBytes kReadHwTyp{0xA5, 0x14, 0x3F, 0x02, 0x06, 0x70, 0x00, 0x0C, 0x84};
// Write of "123456789" and seven 0 to record memory 0x0010.
const TBytes kWrite0010{0xA5, 0x14, 0x3F, 0x12, 0xF6, 0xD0, 0x10, 0x00, 0x31,
                        0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x00,
                        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x43};

std::vector<TScanEvent> Drain(TFrameScanner& s) {
    std::vector<TScanEvent> events;
    while (auto e = s.Next()) {
        events.push_back(*e);
    }
    return events;
}

} // namespace

TEST(SimFrame, ChecksumsOfKnownHeaders) {
    EXPECT_EQ(Checksum(TBytes{0xA5, 0x14, 0x3F, 0x02}), 0x06);
    EXPECT_EQ(Checksum(TBytes{0xA5, 0x14, 0x3F, 0x12}), 0xF6);
    EXPECT_EQ(Checksum(TBytes{}), 0x00);
    EXPECT_TRUE(SumsToZero(TBytes{0x80, 0x80})); // 0x100 is 0 modulo 256
    EXPECT_FALSE(SumsToZero(TBytes{0x80, 0x7F}));
}

TEST(SimFrame, PollIsA53F1480880000) {
    EXPECT_THAT(BuildPoll(), ElementsAreArray(kPoll));
    EXPECT_THAT(BuildPoll(40, 20),
                ElementsAreArray(TBytes{0xA5, 0x28, 0x14, 0x80, 0x9F, 0x00, 0x00}));
}

TEST(SimFrame, ControlBytes) {
    EXPECT_EQ(ControlByte(false, TMemoryKind::HWSW, 16), 0x70);
    EXPECT_EQ(ControlByte(true, TMemoryKind::ZAZNAM, 16), 0xD0);
    EXPECT_EQ(ControlByte(false, TMemoryKind::RAM, 31), 0x1F);
}

TEST(SimFrame, DataTelegramMatchesWrittenOutWrite) {
    const TBytes data{0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_THAT(BuildDataTelegram(20, 63, 0xD0, 0x0010, data), ElementsAreArray(kWrite0010));
    EXPECT_TRUE(BuildDataTelegram(63, 20, 0x50, 0, TBytes(30)).empty()); // length field > 31
}

TEST(SimFrame, DecodesRequestFields) {
    const auto w = DecodeRequest(kWrite0010);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Destination, 20);
    EXPECT_EQ(w->Source, 63);
    EXPECT_EQ(w->Kind, 0);
    EXPECT_TRUE(w->Write);
    EXPECT_EQ(w->Memory, TMemoryKind::ZAZNAM);
    EXPECT_EQ(w->Count, 16);
    EXPECT_EQ(w->Address, 0x0010);
    EXPECT_EQ(w->Data.size(), 16U);
    EXPECT_EQ(w->Data[8], 0x39);

    const auto r = DecodeRequest(kReadHwTyp);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->Write);
    EXPECT_EQ(r->Memory, TMemoryKind::HWSW);
    EXPECT_EQ(r->Address, 0x0C00); // little-endian
    EXPECT_TRUE(r->Data.empty());

    TBytes cut = kReadHwTyp;
    cut.pop_back();
    EXPECT_FALSE(DecodeRequest(cut)); // size disagrees with the length field
}

TEST(SimFrameScanner, SkipsPrefixNoiseAndOtherStations) {
    TFrameScanner s;
    TBytes stream{0x00, 0x55, 0xFF};
    // A telegram to the program and one to an expander: not for the device.
    stream.insert(stream.end(), kPoll.begin(), kPoll.end());
    const TBytes toExpander = BuildPoll(33, 20);
    stream.insert(stream.end(), toExpander.begin(), toExpander.end());
    stream.push_back(0xFF);
    stream.insert(stream.end(), kReadHwTyp.begin(), kReadHwTyp.end());
    s.Feed(stream);
    const auto events = Drain(s);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].Kind, TScanKind::Telegram);
    EXPECT_THAT(events[0].Bytes, ElementsAreArray(kReadHwTyp));
    EXPECT_EQ(s.SkippedBytes(), stream.size() - kReadHwTyp.size());
    EXPECT_EQ(s.Buffered(), 0U);
}

TEST(SimFrameScanner, RequestSplitAtEveryPositionIsFoundOnce) {
    for (const TBytes& request : {kReadHwTyp, kWrite0010}) {
        TBytes stream{0xFF, 0x13};
        stream.insert(stream.end(), request.begin(), request.end());
        for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
            TFrameScanner s;
            s.Feed(std::span(stream).first(cut));
            const auto early = Drain(s);
            s.Feed(std::span(stream).subspan(cut));
            const auto late = Drain(s);
            EXPECT_EQ(early.size(), cut == stream.size() ? 1U : 0U) << "cut " << cut;
            const auto& found = cut == stream.size() ? early : late;
            ASSERT_EQ(found.size(), 1U) << "cut " << cut;
            EXPECT_EQ(found[0].Kind, TScanKind::Telegram);
            EXPECT_THAT(found[0].Bytes, ElementsAreArray(request));
        }
    }
}

TEST(SimFrameScanner, ByteByByte) {
    TFrameScanner s;
    std::size_t found = 0;
    for (int round = 0; round < 3; ++round) {
        for (std::uint8_t b : kWrite0010) {
            s.Feed(std::span(&b, 1));
            found += Drain(s).size();
        }
    }
    EXPECT_EQ(found, 3U);
}

TEST(SimFrameScanner, BadChecksumsAreReportedAndDropped) {
    TBytes badHeader = kReadHwTyp;
    badHeader[4] ^= 0x01;
    TBytes badData = kReadHwTyp;
    badData[8] ^= 0x80;
    TFrameScanner s;
    s.Feed(badHeader);
    s.Feed(badData);
    const auto events = Drain(s);
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0].Kind, TScanKind::BadHeader);
    EXPECT_EQ(events[0].Bytes.size(), 5U);
    EXPECT_EQ(events[1].Kind, TScanKind::BadData);
    EXPECT_THAT(events[1].Bytes, ElementsAreArray(badData));
    EXPECT_EQ(s.Buffered(), 0U);
}

TEST(SimFrameScanner, GoodRequestInsideACutOffOneIsStillFound) {
    // The header of a 25-byte write whose body was lost, then a whole read: the write's
    // announced length swallows the read, fails its data check, and the read is found after.
    TBytes stream(kWrite0010.begin(), kWrite0010.begin() + 7);
    stream.insert(stream.end(), kReadHwTyp.begin(), kReadHwTyp.end());
    stream.insert(stream.end(), 12, 0x00);
    TFrameScanner s;
    s.Feed(stream);
    const auto events = Drain(s);
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0].Kind, TScanKind::BadData);
    EXPECT_EQ(events[1].Kind, TScanKind::Telegram);
    EXPECT_THAT(events[1].Bytes, ElementsAreArray(kReadHwTyp));
}

TEST(SimFrameScanner, EveryLengthField) {
    for (unsigned length = 0; length <= 31; ++length) {
        // Sync, destination 20, source 63, kind 0 and the length field, then a block of
        // control byte, length bytes and checksum.
        TBytes t{0xA5, 0x14, 0x3F, static_cast<std::uint8_t>(length)};
        t.push_back(TestChecksum(t, 0, 4));
        t.push_back(0x50);
        for (unsigned i = 0; i < length; ++i) {
            t.push_back(static_cast<std::uint8_t>(i * 7));
        }
        t.push_back(TestChecksum(t, 5, t.size()));
        ASSERT_EQ(t.size(), length + 7U);
        TFrameScanner s;
        s.Feed(t);
        const auto events = Drain(s);
        ASSERT_EQ(events.size(), 1U) << "length " << length;
        EXPECT_EQ(events[0].Kind, TScanKind::Telegram);
        EXPECT_EQ(events[0].Bytes.size(), t.size());
        const auto r = DecodeRequest(events[0].Bytes);
        EXPECT_EQ(r.has_value(), length >= 2) << "length " << length;
        if (r) {
            EXPECT_EQ(r->Data.size(), length - 2);
        }
    }
}

TEST(SimFrameScanner, GarbageNeverHoldsMoreThanOneTelegram) {
    std::mt19937 rng(12345);
    TFrameScanner s;
    std::size_t events = 0;
    for (int chunk = 0; chunk < 20000; ++chunk) {
        TBytes bytes(rng() % 40);
        for (auto& b : bytes) {
            // Sync and destination bytes often, so that candidate starts are common.
            const unsigned pick = rng() % 4;
            b = pick == 0 ? 0xA5 : pick == 1 ? 0x14 : static_cast<std::uint8_t>(rng());
        }
        s.Feed(bytes);
        while (auto e = s.Next()) {
            ++events;
            ASSERT_GE(e->Bytes.size(), 5U);
            ASSERT_LE(e->Bytes.size(), kMaxTelegramSize);
            EXPECT_EQ(e->Bytes[0], 0xA5);
            EXPECT_EQ(e->Bytes[1], 0x14);
            if (e->Kind == TScanKind::Telegram) {
                DecodeRequest(e->Bytes); // must not read out of bounds
            }
        }
        ASSERT_LT(s.Buffered(), kMaxTelegramSize);
    }
    EXPECT_GT(events, 0U);
}

TEST(SimFrameScanner, LoneSyncWaitsForItsNextByte) {
    TFrameScanner s;
    s.Feed(TBytes{0x12, 0xA5});
    EXPECT_FALSE(s.Next());
    EXPECT_EQ(s.Buffered(), 1U);
    s.Feed(TBytes{0x3F}); // to the program: not a start
    EXPECT_FALSE(s.Next());
    EXPECT_EQ(s.Buffered(), 0U);
}
