#include "SimFaults.h"

#include "SimFrame.h"

namespace sim {

const char* FaultName(TFault fault) {
    switch (fault) {
    case TFault::CorruptHeader:
        return "header checksum";
    case TFault::CorruptData:
        return "data checksum";
    case TFault::DropByte:
        return "dropped byte";
    case TFault::Noise:
        return "noise";
    case TFault::Foreign:
        return "other stations";
    case TFault::NoAnswer:
        return "no answer";
    case TFault::StopPolling:
        return "polling stopped";
    case TFault::Unplug:
        return "unplugged";
    }
    return "?";
}

std::uint64_t TRandom::Next() {
    fState += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = fState;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

bool TRandom::Chance(double rate) {
    if (rate <= 0) {
        return false;
    }
    if (rate >= 1) {
        return true;
    }
    // 53 random bits as a fraction in [0, 1).
    const double u = static_cast<double>(Next() >> 11) / 9007199254740992.0;
    return u < rate;
}

std::uint32_t TRandom::Below(std::uint32_t n) {
    return n == 0 ? 0 : static_cast<std::uint32_t>(Next() % n);
}

TFaultInjector::TFaultInjector(const TFaultOptions& options) : fOptions(options) {
    for (std::size_t i = 0; i < kFaultKinds; ++i) {
        fStreams.emplace_back(options.Seed * 0x100000001B3ULL + i * 0x632BE59BD9B4E019ULL);
    }
}

void TFaultInjector::Damage(std::vector<std::uint8_t>& telegram, TFaultCounts& counts) {
    if (telegram.size() < kHeaderSize + 1) {
        return;
    }
    if (Stream(TFault::CorruptHeader).Chance(fOptions.CorruptHeader)) {
        telegram[4] ^= static_cast<std::uint8_t>(1 + Stream(TFault::CorruptHeader).Below(255));
        ++counts[static_cast<std::size_t>(TFault::CorruptHeader)];
    }
    if (Stream(TFault::CorruptData).Chance(fOptions.CorruptData)) {
        telegram.back() ^= static_cast<std::uint8_t>(1 + Stream(TFault::CorruptData).Below(255));
        ++counts[static_cast<std::size_t>(TFault::CorruptData)];
    }
    if (Stream(TFault::DropByte).Chance(fOptions.DropByte)) {
        const auto at = Stream(TFault::DropByte).Below(static_cast<std::uint32_t>(telegram.size()));
        telegram.erase(telegram.begin() + at);
        ++counts[static_cast<std::size_t>(TFault::DropByte)];
    }
}

std::vector<std::uint8_t> TFaultInjector::ForeignTelegram(TRandom& r) {
    const std::uint8_t control = r.Byte() & 0x7FU; // reads; kind and count at random
    const auto address = static_cast<std::uint16_t>(r.Next() & 0xFFFFU);
    std::vector<std::uint8_t> data(r.Below(5));
    for (auto& b : data) {
        b = r.Byte();
    }
    switch (r.Below(3)) {
    case 0: // an expander answering the communicator
        return BuildDataTelegram(kAddressDevice, static_cast<std::uint8_t>(32 + r.Below(16)),
                                 control, address, data);
    case 1: { // the communicator polling or asking an expander
        const auto expander = static_cast<std::uint8_t>(32 + r.Below(16));
        if (r.Below(2) == 0) {
            return BuildPoll(expander, kAddressDevice);
        }
        return BuildDataTelegram(expander, kAddressDevice, control, address, data);
    }
    default: { // PCs of a network talking among themselves, or to a stand-alone PC's address
        const auto source = static_cast<std::uint8_t>(55 + r.Below(8));
        const auto destination =
            r.Below(2) == 0 ? kAddressPc : static_cast<std::uint8_t>(55 + r.Below(8));
        return BuildDataTelegram(destination, source, control, address, data);
    }
    }
}

std::vector<std::uint8_t> TFaultInjector::Interleave(TFaultCounts& counts) {
    std::vector<std::uint8_t> out;
    TRandom& noise = Stream(TFault::Noise);
    if (noise.Chance(fOptions.Noise)) {
        const std::uint32_t n = 1 + noise.Below(fOptions.NoiseMax == 0 ? 1 : fOptions.NoiseMax);
        for (std::uint32_t i = 0; i < n; ++i) {
            out.push_back(noise.Byte());
        }
        ++counts[static_cast<std::size_t>(TFault::Noise)];
    }
    TRandom& foreign = Stream(TFault::Foreign);
    if (foreign.Chance(fOptions.Foreign)) {
        const auto t = ForeignTelegram(foreign);
        out.insert(out.end(), t.begin(), t.end());
        ++counts[static_cast<std::size_t>(TFault::Foreign)];
    }
    return out;
}

bool TFaultInjector::SkipAnswer(TFaultCounts& counts) {
    if (Stream(TFault::NoAnswer).Chance(fOptions.NoAnswer)) {
        ++counts[static_cast<std::size_t>(TFault::NoAnswer)];
        return true;
    }
    return false;
}

} // namespace sim
