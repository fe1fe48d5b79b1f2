#include "LocaleFixture.h"
#include "spojeni/ComLog.h"

#include <chrono>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

// The C library's locale loader leaks its search-path list on every look-up under LOCPATH.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:__argz_create_sep\nleak:__argz_add_sep\n";
}

namespace {

using namespace std::chrono;

// 2024-03-05 14:07:09 UTC.
system_clock::time_point FixedMoment() {
    return sys_days{year{2024} / March / 5} + hours{14} + minutes{7} + seconds{9};
}

class ComLogTest : public ::testing::Test {
protected:
    TimeZoneUtc fUtc;
    static TComLog::TClock Fixed() {
        return [] { return FixedMoment(); };
    }
};

TEST_F(ComLogTest, StampsDateAndTimeInTheLocalesFormats) {
    EnsureTestLocales();

    TComLog c(Fixed(), "C");
    c.Add("Prisla vyzva", TLogMessageKind::dev);
    EXPECT_EQ(c[0].Message(), "03/05/24  14:07:09  Prisla vyzva");

    TComLog cs(Fixed(), "cs_CZ.UTF-8");
    ASSERT_TRUE(cs.TimeFormat().Loaded());
    cs.Add("Vadné CRC dat,TLG zahozen", TLogMessageKind::dev);
    EXPECT_EQ(cs[0].Message(), "5.3.2024  14:07:09  Vadné CRC dat,TLG zahozen");

    TComLog en(Fixed(), "en_US.UTF-8");
    ASSERT_TRUE(en.TimeFormat().Loaded());
    en.Add("Prisly data", TLogMessageKind::dev);
    EXPECT_EQ(en[0].Message(), "03/05/2024  02:07:09 PM  Prisly data");
}

TEST_F(ComLogTest, TheUsersEnvironmentChoosesTheFormatsNotTheProcessLocale) {
    EnsureTestLocales();
    const char* oldAll = std::getenv("LC_ALL");
    const std::string saved = oldAll != nullptr ? oldAll : "";
    setenv("LC_ALL", "cs_CZ.UTF-8", 1);
    TComLog log(Fixed(), "");
    if (oldAll != nullptr) {
        setenv("LC_ALL", saved.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
    log.Add("x", TLogMessageKind::dev);
    EXPECT_EQ(log[0].Message(), "5.3.2024  14:07:09  x");
}

TEST_F(ComLogTest, AnUnknownLocaleFallsBackToTheCFormats) {
    TComLog log(Fixed(), "xx_NOWHERE.UTF-8");
    EXPECT_FALSE(log.TimeFormat().Loaded());
    log.Add("x", TLogMessageKind::dev);
    EXPECT_EQ(log[0].Message(), "03/05/24  14:07:09  x");
}

TEST_F(ComLogTest, TheClockIsReadForEveryRecord) {
    auto now = FixedMoment();
    TComLog log([&] { return now; }, "C");
    log.Add("a", TLogMessageKind::dev);
    now += hours{24} + seconds{1};
    log.Add("b", TLogMessageKind::netw);
    EXPECT_EQ(log[0].Message(), "03/06/24  14:07:10  b");
    EXPECT_EQ(log[0].Kind, TLogMessageKind::netw);
    EXPECT_EQ(log[1].Message(), "03/05/24  14:07:09  a");
    EXPECT_EQ(log[1].Kind, TLogMessageKind::dev);
    // Within a second the stamp stays, the next second shows.
    now += milliseconds{999};
    log.Add("c", TLogMessageKind::dev);
    now += milliseconds{1};
    log.Add("d", TLogMessageKind::dev);
    EXPECT_EQ(log[1].Message(), "03/06/24  14:07:10  c");
    EXPECT_EQ(log[0].Message(), "03/06/24  14:07:11  d");
}

TEST_F(ComLogTest, TextIsCutTo255BytesWithoutSplittingACharacter) {
    TComLog log(Fixed(), "C");
    const std::string stamp = "03/05/24  14:07:09  "; // 20 bytes
    const std::string longText(300, 'x');
    log.Add(longText, TLogMessageKind::dev);
    EXPECT_EQ(log[0].Length, 255);
    EXPECT_EQ(log[0].Message(), stamp + std::string(235, 'x'));

    // Exactly 255 bytes stay whole.
    log.Add(std::string(235, 'y'), TLogMessageKind::dev);
    EXPECT_EQ(log[0].Message(), stamp + std::string(235, 'y'));

    // A two-byte character whose second byte would be byte 256 is left out whole.
    log.Add(std::string(234, 'z') + "é" + "tail", TLogMessageKind::dev);
    EXPECT_EQ(log[0].Message(), stamp + std::string(234, 'z'));
    log.Add(std::string(233, 'z') + "é" + "tail", TLogMessageKind::dev);
    EXPECT_EQ(log[0].Message(), stamp + std::string(233, 'z') + "é");
}

TEST_F(ComLogTest, HoldsAtMost501RecordsNewestFirstReusingTheOldest) {
    TComLog log(Fixed(), "C");
    const std::string stamp = "03/05/24  14:07:09  ";
    for (int i = 0; i < 501; ++i) {
        log.Add("m" + std::to_string(i), TLogMessageKind::dev);
    }
    ASSERT_EQ(log.Count(), 501u);
    EXPECT_EQ(log[0].Message(), stamp + "m500");
    EXPECT_EQ(log[500].Message(), stamp + "m0");

    // Full: the oldest record's storage becomes the newest record.
    const TComMessage* oldest = &log[500];
    log.Add("m501", TLogMessageKind::usr);
    ASSERT_EQ(log.Count(), 501u);
    EXPECT_EQ(&log[0], oldest);
    EXPECT_EQ(log[0].Message(), stamp + "m501");
    EXPECT_EQ(log[0].Kind, TLogMessageKind::usr);
    EXPECT_EQ(log[1].Message(), stamp + "m500");
    EXPECT_EQ(log[500].Message(), stamp + "m1");

    for (int i = 502; i < 1700; ++i) {
        log.Add("m" + std::to_string(i), TLogMessageKind::dev);
    }
    ASSERT_EQ(log.Count(), 501u);
    for (std::size_t k = 0; k < log.Count(); ++k) {
        ASSERT_EQ(log[k].Message(), stamp + "m" + std::to_string(1699 - k)) << k;
    }
    // Past the end there is only an empty record.
    EXPECT_EQ(log[501].Length, 0);
}

TEST_F(ComLogTest, AddComLogMessageAddsToTheGivenLogAndIgnoresNone) {
    TComLog log(Fixed(), "C");
    AddComLogMessage(log, "first", TLogMessageKind::dev);
    AddComLogMessage(&log, "second", TLogMessageKind::gsm);
    AddComLogMessage(nullptr, "lost", TLogMessageKind::dev);
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log[0].Message(), "03/05/24  14:07:09  second");
    EXPECT_EQ(log[0].Kind, TLogMessageKind::gsm);
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
    log.Add("again", TLogMessageKind::dev);
    EXPECT_EQ(log[0].Message(), "03/05/24  14:07:09  again");
}

// Each view of the log keeps what it is for; the kind of a record decides, as the window shows it.
TEST(FiltrLogu, EachViewKeepsItsRecords) {
    struct TRadek {
        const char* Zaznam;
        bool Vse, BezVyzev, Chyby;
    };
    const TRadek rows[] = {
        {"01.02.24  10:00:00  Prisla vyzva", true, false, false},
        {"01.02.24  10:00:00  Odeslany TLG:FF A5 14 3F ", true, true, false},
        {"01.02.24  10:00:00  Prisly data", true, true, false},
        {"01.02.24  10:00:00  Vadné CRC dat,TLG zahozen", true, true, true},
        {"01.02.24  10:00:00  Vadny    TLG:A5 3F", true, true, true},
        {"01.02.24  10:00:00  TLG nepropusten", true, true, true},
    };
    for (const TRadek& r : rows) {
        EXPECT_EQ(ProjdeFiltrem(TFiltrLogu::Vse, r.Zaznam), r.Vse) << r.Zaznam;
        EXPECT_EQ(ProjdeFiltrem(TFiltrLogu::BezVyzev, r.Zaznam), r.BezVyzev) << r.Zaznam;
        EXPECT_EQ(ProjdeFiltrem(TFiltrLogu::Chyby, r.Zaznam), r.Chyby) << r.Zaznam;
    }
}

} // namespace
