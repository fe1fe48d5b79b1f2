// Feeds arbitrary byte streams, cut into arbitrary chunks, to the receive path of a link that runs
// on a fake serial port, and checks after every chunk:
//  - the receive buffer never exceeds one driver read (InBufSize) plus the largest chunk so far
//    plus one whole telegram (38 bytes);
//  - every poll that passed the checks (the lamp toggles once for each) produced exactly one
//    transmission, 0xFF and the queued telegram that the write-phase counter selects, while the
//    queue held telegrams, and none once it is empty; nothing else transmits anything;
//  - every telegram that reached dispatch starts with A5 3F and has both checksums right, and
//    every decoder got exactly the data bytes the telegram carries;
//  - every transmission waited the 2 ms DTR guard before it, and at most one more for the guard
//    after the transmission before it.
// Any violation aborts.
//
// The guard waits are counted, not waited: the link's busy wait would hold each answered poll for
// 2 to 4 ms and bound the harness to a few hundred inputs a second.
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

// The DTR guard waits asked for since the last chunk; each must be 2 ms.
int gCekani = 0;

void Cekej(std::uint32_t ms) {
    if (ms != 2) {
        std::abort();
    }
    ++gCekani;
}

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

    TKomunikace::NastavCekani(Cekej);
    auto line = std::make_shared<FakeLine>();
    TKomunikace kom(std::make_unique<TManualTimer>(), std::make_unique<FakeSerialPort>(line));
    kom.Initialize();
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

        gCekani = 0;
        const int vyzvyPred = dekoder.Vyzvy;
        const bool queued = kom.PocetZaznamuFronty() > 0;
        prijem.ComReceiveData(kom.Com(), chunk);
        const int vyzvy = dekoder.Vyzvy - vyzvyPred;

        Check(prijem.COMBuffer().size() <= inBufSize + maxChunk + k_MaxDelkaTLG);

        std::vector<std::uint8_t> expected;
        int vysilani = 0;
        for (int i = 0; i < vyzvy && queued; ++i) {
            if (writePhase) {
                if (pocCyklu == 2) {
                    pocCyklu = 0;
                }
                ++pocCyklu;
            }
            const auto e = entry(writePhase && pocCyklu == 2 ? 1 : 0);
            expected.insert(expected.end(), e.begin(), e.end());
            ++vysilani;
            ++odpovedi;
        }
        Check(kom.PocCyklu() == pocCyklu);
        Check(line->Written() == expected);
        Check(gCekani >= vysilani && gCekani <= 2 * vysilani);
        line->ClearEvents();

        if (odpovedi >= k_MaxOdpovedi) {
            while (kom.PocetZaznamuFronty() > 0) {
                kom.SmazZaznamFronty();
            }
            pocCyklu = 0;
        }
    }
    return 0;
}
