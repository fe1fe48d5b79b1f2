// TSerialDriver's own rules, against a scripted port: defaults and clamps, the modem lines after
// opening, sends over short and refused writes, time limits, and a port that goes away.

#include "port/SerialDrv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

constexpr std::size_t k_Gone = static_cast<std::size_t>(-1); // a write or read that finds no device

struct TScript {
    bool Open = false;
    bool FailOpen = false;
    bool FailConfigure = false;
    bool HungUp = false;
    bool Dtr = true; // the kernel raises both lines on open
    bool Rts = true;
    std::string Path;
    TLineSettings Settings;
    std::deque<std::size_t> WriteCounts; // bytes each write takes; empty: all
    long OutQueue = 0;
    std::deque<long> OutQueues;     // answers to come before OutQueue holds
    std::vector<std::uint8_t> Line; // bytes written
    std::deque<std::uint8_t> Input; // bytes to be read
    std::vector<std::string> Calls; // what the driver did to the port, in order
    std::string Error = "scripted failure";
};

class TScriptedPort final : public ISerialPort {
public:
    explicit TScriptedPort(std::shared_ptr<TScript> s) : f(std::move(s)) {}
    bool Open(const std::string& path) override {
        f->Calls.push_back("open");
        f->Path = path;
        f->Open = !f->FailOpen;
        f->Dtr = f->Rts = f->Open;
        return f->Open;
    }
    void Close() override {
        f->Calls.push_back("close");
        f->Open = false;
    }
    bool IsOpen() const override { return f->Open; }
    bool Configure(const TLineSettings& settings) override {
        f->Calls.push_back("configure");
        f->Settings = settings;
        return !f->FailConfigure;
    }
    bool Flush(bool input, bool output) override {
        f->Calls.push_back(std::string("flush") + (input ? " in" : "") + (output ? " out" : ""));
        return true;
    }
    long InQueue() override { return static_cast<long>(f->Input.size()); }
    long OutQueue() override {
        if (f->OutQueues.empty()) {
            return f->OutQueue;
        }
        const long n = f->OutQueues.front();
        f->OutQueues.pop_front();
        return n;
    }
    TIoResult Read(std::span<std::uint8_t> buffer) override {
        if (f->HungUp) {
            return {TIoStatus::Interrupted, 0};
        }
        std::size_t n = 0;
        for (; n < buffer.size() && !f->Input.empty(); ++n) {
            buffer[n] = f->Input.front();
            f->Input.pop_front();
        }
        return {TIoStatus::Ok, n};
    }
    TIoResult Write(std::span<const std::uint8_t> data) override {
        std::size_t take = data.size();
        if (!f->WriteCounts.empty()) {
            take = f->WriteCounts.front();
            f->WriteCounts.pop_front();
        }
        if (take == k_Gone) {
            return {TIoStatus::Interrupted, 0};
        }
        take = std::min(take, data.size());
        f->Line.insert(f->Line.end(), data.begin(), data.begin() + static_cast<long>(take));
        f->Calls.push_back("write " + std::to_string(take) + "/" + std::to_string(data.size()));
        return {TIoStatus::Ok, take};
    }
    bool Drain() override {
        f->Calls.push_back("drain");
        return true;
    }
    bool SetDTR(bool on) override {
        f->Calls.push_back(on ? "dtr on" : "dtr off");
        f->Dtr = on;
        return true;
    }
    bool SetRTS(bool on) override {
        f->Calls.push_back(on ? "rts on" : "rts off");
        f->Rts = on;
        return true;
    }
    bool HungUp() const override { return f->HungUp; }
    const std::string& LastError() const override { return f->Error; }
    TChybaPortu LastErrorKind() const override { return TChybaPortu::Jina; }

private:
    std::shared_ptr<TScript> f;
};

class SerialDriver : public ::testing::Test {
protected:
    SerialDriver() {
        auto timer = std::make_unique<TManualTimer>();
        Timer = timer.get();
        Drv = std::make_unique<TSerialDriver>(std::move(timer),
                                              std::make_unique<TScriptedPort>(Port));
        Drv->SetOnConnectionLost(
            [this](TSerialDriver&, const std::string& why) { Losses.push_back(why); });
    }
    // The link engine's set-up.
    void LinkSettings() {
        Drv->SetBaudRateValue(4800);
        Drv->SetEnableDTROnOpen(false);
        Drv->SetPollingDelay(40);
        Drv->SetPortName("/dev/ttyS1");
    }

    std::shared_ptr<TScript> Port = std::make_shared<TScript>();
    TManualTimer* Timer = nullptr;
    std::unique_ptr<TSerialDriver> Drv;
    std::vector<std::string> Losses;
};

TEST_F(SerialDriver, PortNumberAndNameFollowEachOtherWhileClosed) {
    Drv->SetPort(static_cast<TPortNumber>(5));
    EXPECT_EQ(Drv->PortName(), "\\\\.\\COM5");
    Drv->SetPortName("\\\\.\\COM31");
    EXPECT_EQ(Drv->Port(), TPortNumber::pnCustom);
    EXPECT_EQ(Drv->PortName(), "\\\\.\\COM31");
    Drv->SetPort(static_cast<TPortNumber>(3));
    EXPECT_EQ(Drv->Port(), static_cast<TPortNumber>(3));
    EXPECT_EQ(Drv->PortName(), "\\\\.\\COM3");
    Drv->SetPort(TPortNumber::pnCustom); // keeps the name
    EXPECT_EQ(Drv->PortName(), "\\\\.\\COM3");
    ASSERT_TRUE(Drv->Connect());
    EXPECT_EQ(Port->Path, "/dev/ttyS2");
    // While open neither the number nor the name moves, nor do the queue sizes.
    Drv->SetPort(static_cast<TPortNumber>(7));
    Drv->SetPortName("/dev/ttyUSB0");
    Drv->SetInBufSize(512);
    Drv->SetOutBufSize(512);
    EXPECT_EQ(Drv->Port(), TPortNumber::pnCustom);
    EXPECT_EQ(Drv->PortName(), "\\\\.\\COM3");
    EXPECT_EQ(Drv->InBufSize(), 2048U);
    EXPECT_EQ(Drv->OutBufSize(), 2048U);
}

TEST_F(SerialDriver, QueueSizesAndPollingDelayAreClamped) {
    Drv->SetInBufSize(100000);
    EXPECT_EQ(Drv->InBufSize(), 8192U);
    Drv->SetInBufSize(0);
    EXPECT_EQ(Drv->InBufSize(), 128U);
    Drv->SetOutBufSize(16);
    EXPECT_EQ(Drv->OutBufSize(), 128U);
    Drv->SetOutBufSize(8193);
    EXPECT_EQ(Drv->OutBufSize(), 8192U);
    Drv->SetOutBufSize(300);
    EXPECT_EQ(Drv->OutBufSize(), 300U);
    Drv->SetPollingDelay(2);
    EXPECT_EQ(Drv->PollingDelay(), 5);
    Drv->SetPollingDelay(0);
    EXPECT_EQ(Drv->PollingDelay(), 5);
}

TEST_F(SerialDriver, PollingDelayRestartsARunningTimerOnlyOnChange) {
    Drv->SetPollingDelay(40);
    EXPECT_FALSE(Timer->Running()); // closed: stored only
    ASSERT_TRUE(Drv->Connect());
    EXPECT_EQ(Timer->Starts(), 1);
    EXPECT_EQ(Timer->Period(), 40ms);
    Drv->SetPollingDelay(2);
    EXPECT_EQ(Timer->Starts(), 2);
    EXPECT_EQ(Timer->Period(), 5ms);
    EXPECT_TRUE(Timer->Running());
    Drv->SetPollingDelay(4); // also 5: no change, no restart
    EXPECT_EQ(Timer->Starts(), 2);
    // The restarted timer still drives the driver.
    Port->Input = {1, 2, 3};
    std::vector<std::uint8_t> got;
    Drv->SetOnReceiveData(
        [&](TSerialDriver&, std::span<const std::uint8_t> d) { got.assign(d.begin(), d.end()); });
    EXPECT_TRUE(Timer->Pump());
    EXPECT_THAT(got, ElementsAre(1, 2, 3));
}

TEST_F(SerialDriver, OpeningSettlesTheModemLinesAsConfigured) {
    LinkSettings();
    ASSERT_TRUE(Drv->Connect());
    EXPECT_EQ(Port->Settings.BaudRate, 4800U);
    EXPECT_FALSE(Port->Settings.EnableDTROnOpen);
    // DTR, raised by the kernel on open, drops right after; RTS stays on.
    EXPECT_FALSE(Port->Dtr);
    EXPECT_TRUE(Port->Rts);
    EXPECT_THAT(Port->Calls, ElementsAre("open", "configure", "dtr off", "rts on", "flush in out"));

    Port->Calls.clear();
    Drv->SetHwFlowControl(THwFlowControl::hfNONE); // applied at once while open
    EXPECT_THAT(Port->Calls, ElementsAre("configure", "dtr off", "rts off", "flush in out"));
    Port->Calls.clear();
    Drv->SetEnableDTROnOpen(true);
    Drv->SetHwFlowControl(THwFlowControl::hfRTSCTS); // RTS is the kernel's then
    EXPECT_THAT(Port->Calls, ElementsAre("configure", "dtr on", "flush in out"));
    EXPECT_EQ(Port->Settings.HwFlow, THwFlowControl::hfRTSCTS);
}

TEST_F(SerialDriver, DtrFollowsToggleOnlyWhileOpen) {
    LinkSettings();
    Drv->ToggleDTR(true);
    EXPECT_TRUE(Port->Calls.empty());
    ASSERT_TRUE(Drv->Connect());
    Drv->ToggleDTR(true);
    EXPECT_TRUE(Port->Dtr);
    Drv->ToggleDTR(false);
    EXPECT_FALSE(Port->Dtr);
    Drv->Disconnect();
    Port->Calls.clear();
    Drv->ToggleDTR(true);
    EXPECT_TRUE(Port->Calls.empty());
}

TEST_F(SerialDriver, AClosedPortSendsNothingAndReportsFreeSpace) {
    const std::vector<std::uint8_t> data{1, 2, 3};
    EXPECT_EQ(Drv->OutFreeSpace(), 65535);
    EXPECT_EQ(Drv->SendDataEx(data, 100), 0U);
    EXPECT_EQ(Drv->SendData(data), 0U);
    EXPECT_FALSE(Drv->FlushBuffers(true, true));
    EXPECT_FALSE(Drv->ApplyCOMSettings());
    Drv->TimerWndProc();
    Drv->Disconnect();
    EXPECT_TRUE(Port->Calls.empty());
}

TEST_F(SerialDriver, FailuresToOpenOrConfigureLeaveItClosedWithTheReason) {
    Drv->SetPortName("/dev/ttyUSB9");
    Port->FailOpen = true;
    Port->Error = "No such file or directory";
    EXPECT_FALSE(Drv->Connect());
    EXPECT_EQ(Drv->LastError(), "No such file or directory");
    EXPECT_EQ(Drv->LastDevicePath(), "/dev/ttyUSB9");
    EXPECT_FALSE(Timer->Running());

    Port->FailOpen = false;
    Port->FailConfigure = true;
    Port->Error = "Invalid argument";
    EXPECT_FALSE(Drv->Connect());
    EXPECT_FALSE(Drv->Connected());
    EXPECT_FALSE(Timer->Running());
    EXPECT_EQ(Drv->LastError(), "Invalid argument");
    EXPECT_EQ(Port->Calls.back(), "close");

    Port->FailConfigure = false;
    EXPECT_TRUE(Drv->Connect());
    EXPECT_EQ(Drv->LastError(), "");
}

TEST_F(SerialDriver, FreeSpaceIsTheBufferLessTheQueueNeverNegative) {
    Drv->SetOutBufSize(300);
    ASSERT_TRUE(Drv->Connect());
    Port->OutQueue = 100;
    EXPECT_EQ(Drv->OutFreeSpace(), 200);
    Port->OutQueue = 5000;
    EXPECT_EQ(Drv->OutFreeSpace(), 0);
    Port->OutQueue = -1; // query failed
    EXPECT_EQ(Drv->OutFreeSpace(), 300);
}

TEST_F(SerialDriver, ShortAndRefusedWritesStillPutTheWholeTelegramOnTheLine) {
    LinkSettings();
    ASSERT_TRUE(Drv->Connect());
    Port->Calls.clear();
    std::vector<std::uint8_t> data(40);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(0xF0 ^ i);
    }
    Port->WriteCounts = {3, 0, 0, 1, 17, 0, 5};
    EXPECT_EQ(Drv->SendDataEx(data, 200), 40U);
    EXPECT_EQ(Port->Line, data);
    // Writes never overlap the free space, and the drain comes after the last byte.
    EXPECT_THAT(Port->Calls,
                ElementsAre("write 3/40", "write 0/37", "write 0/37", "write 1/37", "write 17/36",
                            "write 0/19", "write 5/19", "write 14/14", "drain"));
}

TEST_F(SerialDriver, WritesAreCutToTheFreeSpace) {
    Drv->SetOutBufSize(128);
    ASSERT_TRUE(Drv->Connect());
    Port->Calls.clear();
    Port->OutQueue = 100; // 28 free
    const std::vector<std::uint8_t> data(60, 0x55);
    EXPECT_EQ(Drv->SendDataEx(data, 0), 60U);
    EXPECT_EQ(Port->Line, data);
    // The queue never empties here, so no drain is asked for either.
    EXPECT_THAT(Port->Calls, ElementsAre("write 28/28", "write 28/28", "write 4/4"));
}

TEST_F(SerialDriver, ASendReturnsOnlyOnceTheQueueHasLeftThePort) {
    ASSERT_TRUE(Drv->Connect());
    Port->Calls.clear();
    const std::vector<std::uint8_t> data(10, 7);
    // Free-space query, then the queue draining slowly after the write.
    Port->OutQueues = {0, 10, 10, 6, 6, 6, 2, 0};
    EXPECT_EQ(Drv->SendDataEx(data, 50), 10U);
    EXPECT_TRUE(Port->OutQueues.empty());
    EXPECT_THAT(Port->Calls, ElementsAre("write 10/10", "drain"));
}

TEST_F(SerialDriver, ASendWithoutProgressStopsAfterTheLimit) {
    ASSERT_TRUE(Drv->Connect());
    const std::vector<std::uint8_t> data(10, 0xAA);
    Port->WriteCounts = {4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 5000; ++i) {
        Port->WriteCounts.push_back(0);
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Drv->SendDataEx(data, 30), 4U);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 30ms);
    EXPECT_LT(took, 3s);
    EXPECT_TRUE(Drv->Connected());

    // A full queue: nothing is even tried.
    Port->WriteCounts.clear();
    Port->Line.clear();
    Port->OutQueue = 4096;
    EXPECT_EQ(Drv->SendDataEx(data, 10), 0U);
    EXPECT_TRUE(Port->Line.empty());
}

TEST_F(SerialDriver, ADeviceLostMidSendIsReportedOnce) {
    ASSERT_TRUE(Drv->Connect());
    Port->WriteCounts = {6, k_Gone};
    const std::vector<std::uint8_t> data(10, 1);
    EXPECT_EQ(Drv->SendDataEx(data, 100), 6U);
    EXPECT_THAT(Losses, ElementsAre("scripted failure"));
    EXPECT_FALSE(Drv->Connected());
    EXPECT_TRUE(Drv->ConnectionLost());
    EXPECT_FALSE(Timer->Running());
    EXPECT_EQ(Drv->SendDataEx(data, 100), 0U);
    Drv->TimerWndProc();
    EXPECT_EQ(Losses.size(), 1U);
}

TEST_F(SerialDriver, ADeviceLostWhilePollingIsReportedOnce) {
    int calls = 0;
    Drv->SetOnReceiveData([&](TSerialDriver&, std::span<const std::uint8_t>) { ++calls; });
    ASSERT_TRUE(Drv->Connect());
    // Hung up with nothing to read.
    Port->HungUp = true;
    Port->Error = "Input/output error";
    EXPECT_TRUE(Timer->Pump());
    EXPECT_THAT(Losses, ElementsAre("Input/output error"));
    EXPECT_FALSE(Timer->Pump());
    Drv->TimerWndProc();
    EXPECT_EQ(Losses.size(), 1U);

    // Hung up while the count said there were bytes.
    Port->HungUp = false;
    ASSERT_TRUE(Drv->Connect());
    EXPECT_FALSE(Drv->ConnectionLost());
    Port->Input = {1, 2};
    Port->HungUp = true;
    EXPECT_TRUE(Timer->Pump());
    EXPECT_EQ(Losses.size(), 2U);
    EXPECT_EQ(calls, 0);
}

TEST_F(SerialDriver, TheLossHandlerMayReconnect) {
    ASSERT_TRUE(Drv->Connect());
    Drv->SetOnConnectionLost([this](TSerialDriver& d, const std::string& why) {
        Losses.push_back(why);
        Port->HungUp = false;
        EXPECT_TRUE(d.Connect());
    });
    Port->HungUp = true;
    Timer->Pump();
    EXPECT_EQ(Losses.size(), 1U);
    EXPECT_TRUE(Drv->Connected());
    EXPECT_TRUE(Timer->Running());
}

} // namespace
