// The norlink-sim command line, parsed in-process.

#include "SimOptions.h"
#include "SimStats.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace sim;
using namespace std::chrono_literals;
using ::testing::HasSubstr;

namespace {

TCommandLine Parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

} // namespace

TEST(SimOptions, EveryOptionSetsItsField) {
    const TCommandLine cl = Parse({"--link",
                                   "/tmp/x",
                                   "--fast",
                                   "--baud=9600",
                                   "--answer-timeout",
                                   "200",
                                   "--gap",
                                   "0",
                                   "--config",
                                   "a.log",
                                   "--image",
                                   "a.bin",
                                   "--save-config",
                                   "b.log",
                                   "--save-image=b.bin",
                                   "--hw-type",
                                   "T",
                                   "--sw-version",
                                   "S",
                                   "--hw-version",
                                   "H",
                                   "--time-limit",
                                   "2.5",
                                   "--verbose",
                                   "--seed",
                                   "99",
                                   "--corrupt-header",
                                   "0.1",
                                   "--corrupt-data",
                                   "0.2",
                                   "--drop-byte",
                                   "0.3",
                                   "--noise",
                                   "0.4",
                                   "--noise-max",
                                   "5",
                                   "--foreign",
                                   "0.5",
                                   "--no-answer",
                                   "1",
                                   "--stop-after",
                                   "10",
                                   "--stop-for",
                                   "500",
                                   "--unplug-after",
                                   "20",
                                   "--unplug-for",
                                   "700"});
    ASSERT_EQ(cl.Action, TCommandLine::TAction::Run) << cl.Error;
    const TSimOptions& o = cl.Options;
    EXPECT_EQ(o.LinkPath, "/tmp/x");
    EXPECT_TRUE(o.Fast);
    EXPECT_EQ(o.Baud, 9600U);
    EXPECT_EQ(o.AnswerTimeout, 200ms);
    EXPECT_EQ(o.Gap, 0ms);
    EXPECT_EQ(o.ConfigIn, "a.log");
    EXPECT_EQ(o.ImageIn, "a.bin");
    EXPECT_EQ(o.ConfigOut, "b.log");
    EXPECT_EQ(o.ImageOut, "b.bin");
    EXPECT_EQ(o.HwTyp, "T");
    EXPECT_EQ(o.VerSw, "S");
    EXPECT_EQ(o.VerHw, "H");
    EXPECT_EQ(o.TimeLimit, 2500ms);
    EXPECT_TRUE(o.Verbose);
    EXPECT_EQ(o.Faults.Seed, 99U);
    EXPECT_EQ(o.Faults.CorruptHeader, 0.1);
    EXPECT_EQ(o.Faults.CorruptData, 0.2);
    EXPECT_EQ(o.Faults.DropByte, 0.3);
    EXPECT_EQ(o.Faults.Noise, 0.4);
    EXPECT_EQ(o.Faults.NoiseMax, 5U);
    EXPECT_EQ(o.Faults.Foreign, 0.5);
    EXPECT_EQ(o.Faults.NoAnswer, 1.0);
    EXPECT_EQ(o.Faults.StopAfter, 10U);
    EXPECT_EQ(o.Faults.StopFor, 500ms);
    EXPECT_EQ(o.Faults.UnplugAfter, 20U);
    EXPECT_EQ(o.Faults.UnplugFor, 700ms);
}

TEST(SimOptions, MalformedCommandLines) {
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases{
        {{"--bogus"}, "unknown option"},
        {{"extra"}, "unexpected argument"},
        {{"--gap"}, "needs a value"},
        {{"--gap", "-1"}, "--gap"},
        {{"--gap", "10ms"}, "--gap"},
        {{"--answer-timeout", "0"}, "--answer-timeout"},
        {{"--corrupt-header", "1.5"}, "chance"},
        {{"--noise", "nan"}, "chance"},
        {{"--drop-byte", ""}, "chance"},
        {{"--baud", "0"}, "bit rate"},
        {{"--time-limit", "0"}, "seconds"},
        {{"--noise-max", "0"}, "1..255"},
        {{"--stop-after", "x"}, "--stop-after"},
        {{"--hw-type", "ABCDEFGHIJKLMNOPQ"}, "16 bytes"},
        {{"--config", ""}, "path"},
        {{"--fast=1"}, "takes no value"},
        {{"--stop-for", "100"}, "needs --stop-after"},
        {{"--unplug-for", "100"}, "needs --unplug-after"},
        {{"--seed", "-3"}, "whole number"},
    };
    for (const auto& [args, says] : cases) {
        const TCommandLine cl = Parse(args);
        EXPECT_EQ(cl.Action, TCommandLine::TAction::Error) << args[0];
        EXPECT_THAT(cl.Error, HasSubstr(says)) << args[0];
    }
    EXPECT_EQ(Parse({"--gap", "5", "--help"}).Action, TCommandLine::TAction::Help);
}

TEST(SimStats, LatencySummary) {
    TLatency l;
    EXPECT_EQ(l.Summary().Count, 0U);
    for (int ms : {9, 1, 5, 3}) {
        l.Add(std::chrono::milliseconds(ms));
    }
    TLatencySummary s = l.Summary();
    EXPECT_EQ(s.Count, 4U);
    EXPECT_EQ(s.Min, 1ms);
    EXPECT_EQ(s.Max, 9ms);
    EXPECT_EQ(s.Median, 4ms); // between 3 and 5
    l.Add(100ms);
    EXPECT_EQ(l.Summary().Median, 5ms);

    // The median follows recent answers; minimum and maximum the whole run.
    TLatency window;
    window.Add(1ms);
    for (std::size_t i = 0; i < TLatency::kWindow; ++i) {
        window.Add(50ms);
    }
    s = window.Summary();
    EXPECT_EQ(s.Count, TLatency::kWindow + 1);
    EXPECT_EQ(s.Min, 1ms);
    EXPECT_EQ(s.Median, 50ms);
}

TEST(SimStats, OneReadableLine) {
    TSimStats s;
    s.Polls = 12;
    s.RequestsRead = 8;
    s.RequestsWrite = 1;
    s.RequestsIgnored = 2;
    s.Answers = 7;
    s.BadFrames = 3;
    s.Faults[static_cast<std::size_t>(TFault::NoAnswer)] = 1;
    s.Latency = {8, 1500us, 2500us, 40000us};
    const std::string line = FormatStats(s);
    EXPECT_THAT(line, HasSubstr("polls 12, requests 11 (read 8, write 1, ignored 2), answers 7, "
                                "bad frames 3"));
    EXPECT_THAT(line, HasSubstr("faults 1 (no answer 1)"));
    EXPECT_THAT(line, HasSubstr("latency ms min 1.5 median 2.5 max 40.0 (8)"));
    EXPECT_EQ(line.find('\n'), std::string::npos);
}
