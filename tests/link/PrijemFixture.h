#pragma once
// A receive path wired as the window wires it: a link on a fake port driven by a manual timer, a
// decoder that records what reaches it, and a log with a fixed clock in the C locale.

#include "FakeSerialPort.h"
#include "LocaleFixture.h"
#include "spojeni/ComLog.h"
#include "spojeni/DekoderOdpovedi.h"
#include "spojeni/Komunikace.h"
#include "spojeni/PrijemTLG.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace prijem_test {

// "A5 3F 14" -> bytes; spaces are ignored.
inline std::vector<std::uint8_t> Bytes(std::string_view hex) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : hex) {
        if (c != ' ') {
            digits += c;
        }
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

inline std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                           const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A telegram to this program with both checksums made to sum to 0: header byte 3 as given, then
// the control byte, the address and the data.
inline std::vector<std::uint8_t> Frame(std::uint8_t dest, std::uint8_t src, std::uint8_t lenKind,
                                       std::uint8_t control, std::uint16_t address,
                                       const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> t = {0xA5, dest, src, lenKind, 0};
    t[4] = static_cast<std::uint8_t>(-(t[0] + t[1] + t[2] + t[3]));
    t.push_back(control);
    t.push_back(static_cast<std::uint8_t>(address & 0xFF));
    t.push_back(static_cast<std::uint8_t>(address >> 8));
    t.insert(t.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::size_t i = 5; i < t.size(); ++i) {
        sum += t[i];
    }
    t.push_back(static_cast<std::uint8_t>(-sum));
    return t;
}

// A response from the communicator: memory kind, address and data; length field = data + 2.
inline std::vector<std::uint8_t> Response(std::uint8_t kind, std::uint16_t address,
                                          const std::vector<std::uint8_t>& data,
                                          std::uint8_t src = MDM) {
    return Frame(PC, src, static_cast<std::uint8_t>(data.size() + 2),
                 static_cast<std::uint8_t>((kind << 5) | 16), address, data);
}

// The shortest poll from the communicator: A5 3F 14 80 08 00 00.
inline std::vector<std::uint8_t> Poll(std::uint8_t src = MDM) {
    std::vector<std::uint8_t> t = {0xA5, PC, src, 0x80, 0, 0x00, 0x00};
    t[4] = static_cast<std::uint8_t>(-(t[0] + t[1] + t[2] + t[3]));
    return t;
}

inline std::vector<std::uint8_t> Sixteen(std::uint8_t first) {
    std::vector<std::uint8_t> d;
    for (int i = 0; i < 16; ++i) {
        d.push_back(static_cast<std::uint8_t>(first + i));
    }
    return d;
}

struct TDecoderCall {
    char Kind = '?'; // R, E, Z, H
    THlavickaTLG Hlavicka;
    std::vector<std::uint8_t> Data;
};

class TRecordingDecoder final : public IDekoderOdpovedi {
public:
    std::vector<TDecoderCall> Calls;
    std::vector<bool> Led;

    void DekodTLGRam(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Add('R', h, d);
    }
    void DekodTLGEeprom(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Add('E', h, d);
    }
    void DekodTLGZaznam(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Add('Z', h, d);
    }
    void DekodTLGHWSW(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Add('H', h, d);
    }
    void PrepniLed(bool zapnuto) override { Led.push_back(zapnuto); }

private:
    void Add(char kind, const THlavickaTLG& h, std::span<const std::uint8_t> d) {
        Calls.push_back({kind, h, {d.begin(), d.end()}});
    }
};

class PrijemTest : public ::testing::Test {
protected:
    PrijemTest() {
        auto timer = std::make_unique<TManualTimer>();
        fTimer = timer.get();
        fKom = std::make_unique<TKomunikace>(std::move(timer),
                                             std::make_unique<FakeSerialPort>(fLine));
        fPrijem = std::make_unique<TPrijemTLG>(*fKom, fDekoder, fLog);
        fKom->NastavObsluhuPrijetiDat(fPrijem->Obsluha());
        fKom->Initialize();
        fKom->NastavComPort(5);
        fKom->NastavAdresoveLimity(0, 0xFFFF);
        fKom->Com().NastavHodiny([this] { return fTed; });
    }
    void SetUp() override {
        ASSERT_TRUE(fKom->NavazSpojeni(4800));
        fLine->ClearEvents();
    }

    // One driver tick that reads the chunk, then the ticks that send what it answered and let the
    // line go, a millisecond apart on the link's clock.
    void Receive(const std::vector<std::uint8_t>& chunk) {
        fLine->Feed(chunk);
        ASSERT_TRUE(fTimer->Pump());
        for (int i = 0; i < 100 && (fKom->Com().Vysila() || fKom->CekaNaLinku()); ++i) {
            fTed += std::chrono::milliseconds(1);
            fTimer->Pump();
        }
    }
    // The hardware-type read of the worked example: A5 14 3F 02 06 70 00 0C 84.
    std::vector<std::uint8_t> QueueHwTypRead() {
        fKom->VytvorTLG(PC, MDM, Cteni, HWSW, 18);
        return Bytes("A5 14 3F 02 06 70 00 0C 84");
    }
    // The log's messages without their date and time, oldest first.
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (std::size_t i = fLog.Count(); i-- > 0;) {
            out.emplace_back(fLog[i].Message().substr(kStamp.size()));
        }
        return out;
    }
    std::vector<std::uint8_t> Written() const { return fLine->Written(); }

    static constexpr std::string_view kStamp = "03/05/24  14:07:09  ";

    TimeZoneUtc fUtc;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    TManualTimer* fTimer = nullptr;
    std::chrono::steady_clock::time_point fTed{}; // the link's clock
    std::unique_ptr<TKomunikace> fKom;
    TRecordingDecoder fDekoder;
    TComLog fLog{[] {
                     using namespace std::chrono;
                     return sys_days{year{2024} / March / 5} + hours{14} + minutes{7} + seconds{9};
                 },
                 "C"};
    std::unique_ptr<TPrijemTLG> fPrijem;
};

} // namespace prijem_test
