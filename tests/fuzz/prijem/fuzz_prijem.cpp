// Feeds arbitrary byte streams, cut into arbitrary chunks, to the receive path of a link that runs
// on a fake serial port, and checks after every chunk:
//  - the receive buffer never exceeds one driver read (InBufSize) plus the largest chunk so far
//    plus one whole telegram (38 bytes);
//  - once the driver's ticks have let the line go, the polls that passed the checks (the lamp
//    toggles once for each) produced one transmission, 0xFF and the queued telegram that the
//    write-phase counter selects, and the polls that came while it held the line one more, sent
//    on its release with the counter as they left it; none once the queue is empty; nothing else
//    transmits anything;
//  - every telegram that reached dispatch starts with A5 3F and has both checksums right, and
//    every decoder got exactly the data bytes the telegram carries;
//  - DTR rose more than 2 ms before each transmission's first byte and fell at least 2 ms after
//    its last one.
// Any violation aborts.
//
// The driver's guards run on a stepped clock, not the steady one, so that a transmission costs
// the harness no real time.
//
// Input: byte 0 configures the run (bit 0: write phase with a write and a read-back queued;
// bits 1-2: InBufSize 128, 256, 2048 or 8192; bit 3: start with an empty queue). Then chunks: a
// length byte (255: a 16-bit little-endian length follows) and that many bytes, the last chunk
// cut to what is left.

#include "FakeSerialPort.h"
#include "KomunikaceTestAccess.h"
#include "spojeni/ComLog.h"
#include "spojeni/DekoderOdpovedi.h"
#include "spojeni/Komunikace.h"
#include "spojeni/PrijemTLG.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace {

// Answered polls per input before the queue is emptied, so that inputs reach the empty queue too.
constexpr int k_MaxOdpovedi = 16;

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

std::uint8_t Sum(std::span<const std::uint8_t> bytes) {
    unsigned s = 0;
    for (const auto b : bytes) {
        s += b;
    }
    return static_cast<std::uint8_t>(s);
}

// The telegram that was dispatched, as the receive path copied it.
void CheckDispatched(const TPrijemTLG& prijem) {
    const auto& t = prijem.DekodBuffer();
    Check(t[0] == SyncByte && t[1] == PC);
    Check((t[2] & 0x7F) == MDM);
    const std::size_t d = (t[3] & 0x1FU) + 2U;
    Check(Sum(std::span(t).first(DelkaHlavickyTLG)) == 0);
    Check(Sum(std::span(t).subspan(DelkaHlavickyTLG, d)) == 0);
}

class TKontrolaDekoderu final : public IDekoderOdpovedi {
public:
    explicit TKontrolaDekoderu(const TPrijemTLG*& prijem) : fPrijem(prijem) {}
    int Vyzvy = 0;
    int Data = 0;

    void DekodTLGRam(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Over(h, d, RAM);
    }
    void DekodTLGEeprom(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Over(h, d, EEPROM);
    }
    void DekodTLGZaznam(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Over(h, d, ZAZNAM);
    }
    void DekodTLGHWSW(const THlavickaTLG& h, std::span<const std::uint8_t> d) override {
        Over(h, d, HWSW);
    }
    void PrepniLed(bool zapnuto) override {
        ++Vyzvy;
        Check(zapnuto == fPrijem->LedIncoming());
        CheckDispatched(*fPrijem);
        Check(((fPrijem->DekodBuffer()[3] >> 5) & 7) == Vyzva);
    }

private:
    void Over(const THlavickaTLG& h, std::span<const std::uint8_t> d, std::uint8_t kind) {
        ++Data;
        CheckDispatched(*fPrijem);
        const auto& t = fPrijem->DekodBuffer();
        Check(h.Zarizeni == kind && ((t[5] >> 5) & 3) == kind);
        Check(h.DruhTLG != Vyzva);
        const std::size_t l = t[3] & 0x1FU;
        const std::size_t expected = l >= 2 ? l - 2 : 0;
        Check(d.size() == expected);
        // The data lie right behind the address, inside the copied telegram.
        Check(expected == 0 || d.data() == t.data() + 8);
        // Touch every byte, so that the sanitizer sees any read beyond them.
        volatile unsigned s = Sum(d);
        (void)s;
    }

    const TPrijemTLG*& fPrijem;
};

TComLog& Log() {
    static TComLog log(
        [] { return std::chrono::system_clock::time_point(std::chrono::seconds(1700000000)); },
        "C");
    return log;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t config = data[0];
    const bool writePhase = (config & 1U) != 0;
    static constexpr std::array<std::uint32_t, 4> k_InBufSizes = {128, 256, 2048, 8192};
    const bool emptyQueue = (config & 8U) != 0;

    auto line = std::make_shared<FakeLine>();
    auto timer = std::make_unique<TManualTimer>();
    TManualTimer& casovac = *timer;
    TKomunikace kom(std::move(timer), std::make_unique<FakeSerialPort>(line));
    kom.Initialize();
    std::chrono::steady_clock::time_point ted{};
    // DTR and the writes as the stepped clock saw them.
    std::vector<std::pair<bool, std::chrono::steady_clock::time_point>> dtr;
    std::vector<std::chrono::steady_clock::time_point> zapisy;
    kom.Com().NastavHodiny([&ted] { return ted; });
    kom.Com().SetInBufSize(k_InBufSizes[(config >> 1) & 3U]);
    kom.NastavAdresoveLimity(0, 0xFFFF);
    Check(kom.NavazSpojeni(4800));

    const TPrijemTLG* view = nullptr;
    TKontrolaDekoderu dekoder(view);
    TPrijemTLG prijem(kom, dekoder, Log());
    view = &prijem;
    kom.NastavObsluhuPrijetiDat(prijem.Obsluha());

    if (!emptyQueue) {
        for (std::uint8_t i = 1; i <= 16; ++i) {
            kom.ZapisDoDataOutBuffer(i, i);
        }
        if (writePhase) {
            auto zapis = kom.VytvorTLGNewDoBuffru(PC, MDM, Zapis, ZAZNAM, 0x0010, 16, 0, 0);
            auto cteni = kom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, 0x0010, 16, 0, 0);
            Check(zapis && cteni);
            kom.ZaradParZapisu(std::move(*zapis), std::move(*cteni));
        } else {
            kom.VytvorTLGNew(PC, MDM, Cteni, ZAZNAM, 0x0010, 16, 0, 0);
            kom.VytvorTLGNew(PC, MDM, Cteni, ZAZNAM, 0x0010, 16, 0, 0);
        }
    }
    // Copies: the queue is emptied later on.
    const auto fronta = TKomunikaceTestAccess::Telegramy(kom);
    const auto entry = [&](std::size_t which) {
        std::vector<std::uint8_t> out = {0xFF};
        out.insert(out.end(), fronta[which].begin(), fronta[which].end());
        return out;
    };
    line->ClearEvents();

    const std::size_t inBufSize = kom.Com().InBufSize();
    std::size_t maxChunk = 0;
    std::uint8_t pocCyklu = 0; // the counter as the write phase must advance it
    int odpovedi = 0;
    std::size_t pos = 1;
    while (pos < size) {
        std::size_t n = data[pos++];
        if (n == 255 && pos + 2 <= size) {
            n = data[pos] | (static_cast<std::size_t>(data[pos + 1]) << 8);
            pos += 2;
        }
        n = std::min(n, size - pos);
        // The chunk gets a buffer of its own, so that a read past it is caught.
        const std::vector<std::uint8_t> chunk(data + pos, data + pos + n);
        pos += n;
        maxChunk = std::max(maxChunk, n);

        const int vyzvyPred = dekoder.Vyzvy;
        const bool queued = kom.PocetZaznamuFronty() > 0;
        prijem.ComReceiveData(kom.Com(), chunk);
        const int vyzvy = dekoder.Vyzvy - vyzvyPred;
        // The driver's ticks, a millisecond apart, until the line is free and nothing waits.
        const auto zaznamenej = [&] {
            for (const auto& e : line->Events) {
                if (e.Kind == FakeEventKind::SetDTR) {
                    dtr.emplace_back(e.On, ted);
                } else if (e.Kind == FakeEventKind::Write && 2 * zapisy.size() < dtr.size()) {
                    zapisy.push_back(ted); // the transmission's first byte
                }
            }
        };
        std::vector<std::uint8_t> written = line->Written();
        zaznamenej();
        line->ClearEvents();
        for (int krok = 0; krok < 100 && (kom.Com().Vysila() || kom.CekaNaLinku()); ++krok) {
            ted += std::chrono::milliseconds(1);
            casovac.Pump();
            const auto w = line->Written();
            written.insert(written.end(), w.begin(), w.end());
            zaznamenej();
            line->ClearEvents();
        }
        Check(!kom.Com().Vysila() && !kom.CekaNaLinku());

        Check(prijem.COMBuffer().size() <= inBufSize + maxChunk + k_MaxDelkaTLG);

        std::vector<std::uint8_t> expected;
        const auto posli = [&] {
            const auto e = entry(writePhase && pocCyklu == 2 ? 1 : 0);
            expected.insert(expected.end(), e.begin(), e.end());
            ++odpovedi;
        };
        for (int i = 0; i < vyzvy && queued; ++i) {
            if (writePhase) {
                if (pocCyklu == 2) {
                    pocCyklu = 0;
                }
                ++pocCyklu;
            }
            if (i == 0) {
                posli();
            }
        }
        if (vyzvy > 1 && queued) {
            posli();
        }
        Check(kom.PocCyklu() == pocCyklu);
        Check(written == expected);
        // DTR alternates, rising before each transmission and falling after it.
        Check(dtr.size() == 2 * zapisy.size());
        for (std::size_t i = 0; i < zapisy.size(); ++i) {
            Check(dtr[2 * i].first && !dtr[2 * i + 1].first);
            Check(zapisy[i] - dtr[2 * i].second > std::chrono::milliseconds(2));
            Check(dtr[2 * i + 1].second - zapisy[i] >= std::chrono::milliseconds(2));
        }
        dtr.clear();
        zapisy.clear();

        if (odpovedi >= k_MaxOdpovedi) {
            while (kom.PocetZaznamuFronty() > 0) {
                kom.SmazZaznamFronty();
            }
            pocCyklu = 0;
        }
    }
    return 0;
}
