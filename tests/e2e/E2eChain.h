#pragma once
// A response decoder for the end-to-end tests that carries reads and writes the way the window's
// decoders do: each answer that fits the request at the head of the transmit queue is stored,
// the head is removed and the next request queued; during a write phase the read-back answer of
// a pair removes both telegrams of the pair (as ObsluzZapis does) and queues the next pair.
//
// It is stricter than the window in one respect: an answer is taken only when its memory kind and
// address are those of the queued request it would complete. Anything else is counted as a
// mismatch and changes nothing, so a test sees at once when an answer is delivered twice or for
// something that was never asked.

#include "KomunikaceTestAccess.h"
#include "spojeni/DekoderOdpovedi.h"
#include "spojeni/Komunikace.h"
#include "stav/AdresyPameti.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace e2e {

inline constexpr std::size_t kBlock = 16;
using TBlockData = std::array<std::uint8_t, kBlock>;

// One read of a chain: a whole address-table entry (VytvorTLG) or an explicit 16-byte block
// (VytvorTLGNew).
struct TStep {
    bool TableEntry = false;
    std::uint8_t Memory = ZAZNAM;
    std::uint8_t Index = 0;    // table entry
    std::uint16_t Address = 0; // the address the answer carries
};

inline TStep TableStep(std::uint8_t memory, std::uint8_t index) {
    return {true, memory, index, MDM_Adresa(index)};
}
inline TStep BlockStep(std::uint16_t address) {
    return {false, ZAZNAM, 0, address};
}

// The chain of the phone-number read: the three identification texts, then the 16 numbers, the
// first through its table entry and the others block by block.
inline std::vector<TStep> PhoneChain() {
    std::vector<TStep> steps{TableStep(HWSW, NORLINK_Z_HWTYP), TableStep(HWSW, NORLINK_Z_VERSW),
                             TableStep(HWSW, NORLINK_Z_VERHW),
                             TableStep(ZAZNAM, NORLINK_Z_SeznamCisel)};
    for (std::uint16_t k = 1; k < 16; ++k) {
        steps.push_back(
            BlockStep(static_cast<std::uint16_t>(MDM_Adresa(NORLINK_Z_SeznamCisel) + k * kBlock)));
    }
    return steps;
}

struct TBlockWrite {
    std::uint16_t Address = 0;
    TBlockData Data{};
};

struct TReadBack {
    std::uint16_t Address = 0;
    std::vector<std::uint8_t> Data;
};

// An entry of the transmit queue, read from its bytes.
struct TQueued {
    std::uint8_t Control = 0;
    std::uint16_t Address = 0;
    bool Write() const { return (Control & 0x80U) != 0; }
    std::uint8_t Memory() const { return static_cast<std::uint8_t>((Control >> 5) & 3U); }
};

// Telegram `index` (0 = head) of the queued telegrams, a pair's write before its read-back; nothing
// when it is not there or is too short to hold an address.
inline std::optional<TQueued> QueuedEntry(const std::vector<std::vector<std::uint8_t>>& queue,
                                          std::size_t index) {
    if (index >= queue.size() || queue[index].size() < 8) {
        return std::nullopt;
    }
    const std::uint8_t* t = queue[index].data();
    return TQueued{t[5], static_cast<std::uint16_t>(t[6] | (t[7] << 8))};
}

class TChainDecoder final : public IDekoderOdpovedi {
public:
    explicit TChainDecoder(TKomunikace& komunikace) : fKomunikace(komunikace) {}

    // Queues the first read; each fitting answer queues the next.
    void StartRead(std::vector<TStep> steps) {
        fSteps = std::move(steps);
        fNextStep = 0;
        fReading = !fSteps.empty();
        if (fReading) {
            Queue(fSteps.front());
        }
    }
    // Queues the first write pair and opens the write phase, as the window's writers do.
    void StartWrite(std::vector<TBlockWrite> blocks) {
        fWrites = std::move(blocks);
        fNextWrite = 0;
        if (fWrites.empty()) {
            return;
        }
        QueuePair(fWrites.front());
        fWriting = true;
    }

    bool Reading() const { return fReading; }
    bool Writing() const { return fWriting; }
    bool Idle() const { return !fReading && !fWriting; }
    std::size_t StepsDone() const { return fNextStep; }
    std::size_t PairsDone() const { return fNextWrite; }

    // Data of the stored answers, by memory kind and address.
    const std::map<std::pair<std::uint8_t, std::uint16_t>, std::vector<std::uint8_t>>&
    Answers() const {
        return fAnswers;
    }
    const std::vector<TReadBack>& ReadBacks() const { return fReadBacks; }
    unsigned Mismatched() const { return fMismatched; }
    unsigned OtherKinds() const { return fOtherKinds; }
    unsigned Polls() const { return fPolls; }
    // Times the lamp did not change state between two polls.
    unsigned LampNotToggled() const { return fLampNotToggled; }

    void DekodTLGRam(const THlavickaTLG&, std::span<const std::uint8_t>) override { ++fOtherKinds; }
    void DekodTLGEeprom(const THlavickaTLG&, std::span<const std::uint8_t>) override {
        ++fOtherKinds;
    }
    void DekodTLGZaznam(const THlavickaTLG& h, std::span<const std::uint8_t> data) override {
        if (fKomunikace.Zapisuju()) {
            ReadBackAnswer(h, data);
        } else {
            ReadAnswer(ZAZNAM, h, data);
        }
    }
    void DekodTLGHWSW(const THlavickaTLG& h, std::span<const std::uint8_t> data) override {
        if (fKomunikace.Zapisuju()) {
            ++fMismatched; // identification texts are never part of a write pair
            return;
        }
        ReadAnswer(HWSW, h, data);
    }
    void PrepniLed(bool zapnuto) override {
        if (fPolls > 0 && zapnuto == fLamp) {
            ++fLampNotToggled;
        }
        fLamp = zapnuto;
        ++fPolls;
    }

private:
    void Queue(const TStep& step) {
        if (step.TableEntry) {
            fKomunikace.VytvorTLG(PC, MDM, Cteni, step.Memory, step.Index);
        } else {
            fKomunikace.VytvorTLGNew(PC, MDM, Cteni, step.Memory, step.Address, kBlock, 0, 0);
        }
    }

    void QueuePair(const TBlockWrite& w) {
        for (std::size_t j = 0; j < kBlock; ++j) {
            fKomunikace.ZapisDoDataOutBuffer(static_cast<std::uint8_t>(j + 1), w.Data[j]);
        }
        auto write =
            fKomunikace.VytvorTLGNewDoBuffru(PC, MDM, Zapis, ZAZNAM, w.Address, kBlock, 0, 0);
        auto read =
            fKomunikace.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, w.Address, kBlock, 0, 0);
        if (write && read) {
            fKomunikace.ZaradParZapisu(std::move(*write), std::move(*read));
        }
    }

    void ReadAnswer(std::uint8_t memory, const THlavickaTLG& h,
                    std::span<const std::uint8_t> data) {
        const auto head = QueuedEntry(TKomunikaceTestAccess::Telegramy(fKomunikace), 0);
        if (!fReading || !head || head->Write() || head->Memory() != memory ||
            head->Address != h.Adresa) {
            ++fMismatched;
            return;
        }
        fAnswers[{memory, h.Adresa}].assign(data.begin(), data.end());
        fKomunikace.SmazZaznamFronty();
        if (++fNextStep < fSteps.size()) {
            Queue(fSteps[fNextStep]);
        } else {
            fReading = false;
        }
    }

    // The read-back of the pair at the head: the write first, its read right behind it.
    void ReadBackAnswer(const THlavickaTLG& h, std::span<const std::uint8_t> data) {
        const auto queued = TKomunikaceTestAccess::Telegramy(fKomunikace);
        const auto write = QueuedEntry(queued, 0);
        const auto read = QueuedEntry(queued, 1);
        if (!fWriting || !write || !read || !write->Write() || read->Write() ||
            read->Memory() != ZAZNAM || read->Address != h.Adresa) {
            ++fMismatched;
            return;
        }
        fReadBacks.push_back({h.Adresa, {data.begin(), data.end()}});
        // ObsluzZapis: the pair is done.
        fKomunikace.SmazZaznamFronty();
        if (++fNextWrite < fWrites.size()) {
            QueuePair(fWrites[fNextWrite]);
        }
        if (fKomunikace.PocetZaznamuFronty() == 0) {
            fWriting = false;
        }
    }

    TKomunikace& fKomunikace;
    std::vector<TStep> fSteps;
    std::size_t fNextStep = 0;
    bool fReading = false;
    std::vector<TBlockWrite> fWrites;
    std::size_t fNextWrite = 0;
    bool fWriting = false;
    std::map<std::pair<std::uint8_t, std::uint16_t>, std::vector<std::uint8_t>> fAnswers;
    std::vector<TReadBack> fReadBacks;
    unsigned fMismatched = 0;
    unsigned fOtherKinds = 0;
    unsigned fPolls = 0;
    unsigned fLampNotToggled = 0;
    bool fLamp = false;
};

} // namespace e2e
