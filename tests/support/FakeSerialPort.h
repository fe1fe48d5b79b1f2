#pragma once
// A fake serial port for the link's tests. It records every call that changes the line (open,
// close, configure, flush, write, DTR, RTS, drain) in order, with the time of each, and feeds reads
// from bytes the test queues. The test keeps a shared handle on the state, so it can look at the
// line after the driver that owns the port is gone.
//
//   auto line = std::make_shared<FakeLine>();
//   TSerialDriver drv(std::make_unique<TManualTimer>(), std::make_unique<FakeSerialPort>(line));

#include "port/SerialPort.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

enum class FakeEventKind { Open, Close, Configure, Flush, Write, SetDTR, SetRTS, Drain, Rs485 };

struct FakeEvent {
    FakeEventKind Kind = FakeEventKind::Open;
    std::vector<std::uint8_t> Data; // Write: the bytes the port took
    bool On = false;                // SetDTR, SetRTS, Rs485: the new state
    std::chrono::steady_clock::time_point When;
};

struct FakeLine {
    // What the test sets up.
    bool FailOpen = false;
    bool FailConfigure = false;
    std::string FailReason = "Zařízení neexistuje";
    TChybaPortu FailKind = TChybaPortu::Neexistuje;
    // Largest number of bytes one Write takes (0: the port takes nothing, a stalled line).
    std::size_t WriteLimit = std::numeric_limits<std::size_t>::max();
    long OutQueueCount = 0;   // what OutQueue() reports
    bool RefuseRs485 = false; // the adapter's driver has no RS-485 mode
    std::deque<std::uint8_t> Input;

    // What the port saw.
    bool IsOpen = false;
    bool HungUp = false;
    bool Dtr = false;
    bool Rts = false;
    std::string OpenedPath;
    TLineSettings Settings;
    std::vector<FakeEvent> Events;
    std::string Error;
    TChybaPortu ErrorKind = TChybaPortu::Zadna;

    void Feed(std::span<const std::uint8_t> bytes) {
        Input.insert(Input.end(), bytes.begin(), bytes.end());
    }
    // The device goes away: the next read or write reports an interruption.
    void HangUp() { HungUp = true; }

    std::vector<FakeEvent> EventsOf(FakeEventKind kind) const {
        std::vector<FakeEvent> out;
        for (const auto& e : Events) {
            if (e.Kind == kind) {
                out.push_back(e);
            }
        }
        return out;
    }
    // Every byte written, in order, across all writes.
    std::vector<std::uint8_t> Written() const {
        std::vector<std::uint8_t> out;
        for (const auto& e : Events) {
            if (e.Kind == FakeEventKind::Write) {
                out.insert(out.end(), e.Data.begin(), e.Data.end());
            }
        }
        return out;
    }
    void ClearEvents() { Events.clear(); }

    void Record(FakeEventKind kind, std::vector<std::uint8_t> data = {}, bool on = false) {
        Events.push_back(FakeEvent{kind, std::move(data), on, std::chrono::steady_clock::now()});
    }
};

class FakeSerialPort final : public ISerialPort {
public:
    explicit FakeSerialPort(std::shared_ptr<FakeLine> line) : fLine(std::move(line)) {}

    bool Open(const std::string& path) override {
        fLine->Record(FakeEventKind::Open);
        fLine->OpenedPath = path;
        if (fLine->FailOpen) {
            fLine->Error = fLine->FailReason;
            fLine->ErrorKind = fLine->FailKind;
            return false;
        }
        fLine->IsOpen = true;
        fLine->HungUp = false;
        return true;
    }
    void Close() override {
        if (fLine->IsOpen) {
            fLine->Record(FakeEventKind::Close);
        }
        fLine->IsOpen = false;
    }
    bool IsOpen() const override { return fLine->IsOpen; }
    bool Configure(const TLineSettings& settings) override {
        fLine->Record(FakeEventKind::Configure);
        if (fLine->FailConfigure) {
            fLine->Error = "Port nepřijal nastavení linky";
            fLine->ErrorKind = TChybaPortu::Jina;
            return false;
        }
        fLine->Settings = settings;
        return true;
    }
    bool Flush(bool input, bool output) override {
        fLine->Record(FakeEventKind::Flush);
        if (input) {
            fLine->Input.clear();
        }
        if (output) {
            fLine->OutQueueCount = 0;
        }
        return fLine->IsOpen;
    }
    long InQueue() override { return fLine->IsOpen ? static_cast<long>(fLine->Input.size()) : -1; }
    long OutQueue() override { return fLine->IsOpen ? fLine->OutQueueCount : -1; }
    TIoResult Read(std::span<std::uint8_t> buffer) override {
        if (!fLine->IsOpen || fLine->HungUp) {
            return {TIoStatus::Interrupted, 0};
        }
        std::size_t n = 0;
        while (n < buffer.size() && !fLine->Input.empty()) {
            buffer[n++] = fLine->Input.front();
            fLine->Input.pop_front();
        }
        return {TIoStatus::Ok, n};
    }
    TIoResult Write(std::span<const std::uint8_t> data) override {
        if (!fLine->IsOpen || fLine->HungUp) {
            return {TIoStatus::Interrupted, 0};
        }
        const std::size_t n = data.size() < fLine->WriteLimit ? data.size() : fLine->WriteLimit;
        if (n > 0) {
            fLine->Record(FakeEventKind::Write,
                          {data.begin(), data.begin() + static_cast<long>(n)});
        }
        return {TIoStatus::Ok, n};
    }
    bool Drain() override {
        fLine->Record(FakeEventKind::Drain);
        return fLine->IsOpen;
    }
    bool NastavRs485(bool on) override {
        fLine->Record(FakeEventKind::Rs485, {}, on);
        if (fLine->RefuseRs485) {
            fLine->Error = "Převodník nepodporuje režim RS-485 jádra (ovladač jej nezná)";
            return false;
        }
        return true;
    }
    bool SetDTR(bool on) override {
        fLine->Record(FakeEventKind::SetDTR, {}, on);
        fLine->Dtr = on;
        return true;
    }
    bool SetRTS(bool on) override {
        fLine->Record(FakeEventKind::SetRTS, {}, on);
        fLine->Rts = on;
        return true;
    }
    bool HungUp() const override { return fLine->HungUp; }
    const std::string& LastError() const override { return fLine->Error; }
    TChybaPortu LastErrorKind() const override { return fLine->ErrorKind; }

private:
    std::shared_ptr<FakeLine> fLine;
};
