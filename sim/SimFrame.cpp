#include "SimFrame.h"

#include <algorithm>

namespace sim {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) {
        sum += b;
    }
    return static_cast<std::uint8_t>((256U - (sum & 0xFFU)) & 0xFFU);
}

bool SumsToZero(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) {
        sum += b;
    }
    return (sum & 0xFFU) == 0;
}

std::uint8_t ControlByte(bool write, TMemoryKind kind, std::uint8_t count) {
    return static_cast<std::uint8_t>((write ? 0x80U : 0U) |
                                     ((static_cast<unsigned>(kind) & 3U) << 5) | (count & 0x1FU));
}

std::vector<std::uint8_t> BuildTelegram(std::uint8_t destination, std::uint8_t source,
                                        std::uint8_t kind, std::span<const std::uint8_t> block) {
    if (block.empty() || block.size() > kMaxLengthField + 1U) {
        return {};
    }
    const auto lengthField = static_cast<std::uint8_t>(block.size() - 1);
    std::vector<std::uint8_t> t;
    t.reserve(kHeaderSize + block.size() + 1);
    t.push_back(kSync);
    t.push_back(destination);
    t.push_back(source);
    t.push_back(static_cast<std::uint8_t>(((kind & 7U) << 5) | lengthField));
    t.push_back(Checksum(std::span(t).first(4)));
    t.insert(t.end(), block.begin(), block.end());
    t.push_back(Checksum(std::span(t).subspan(kHeaderSize)));
    return t;
}

std::vector<std::uint8_t> BuildPoll(std::uint8_t destination, std::uint8_t source) {
    const std::uint8_t control = 0;
    return BuildTelegram(destination, source, kKindPoll, std::span(&control, 1));
}

std::vector<std::uint8_t> BuildDataTelegram(std::uint8_t destination, std::uint8_t source,
                                            std::uint8_t control, std::uint16_t address,
                                            std::span<const std::uint8_t> data) {
    if (data.size() > kMaxDataBytes) {
        return {};
    }
    std::vector<std::uint8_t> block{control, static_cast<std::uint8_t>(address & 0xFFU),
                                    static_cast<std::uint8_t>(address >> 8)};
    block.insert(block.end(), data.begin(), data.end());
    return BuildTelegram(destination, source, 0, block);
}

std::optional<TRequest> DecodeRequest(std::span<const std::uint8_t> telegram) {
    if (telegram.size() < kHeaderSize + 1) {
        return std::nullopt;
    }
    const std::uint8_t lengthField = telegram[3] & 0x1FU;
    if (lengthField < 2 || telegram.size() != kHeaderSize + lengthField + 2U) {
        return std::nullopt;
    }
    TRequest r;
    r.Destination = telegram[1];
    r.Source = telegram[2];
    r.Kind = static_cast<std::uint8_t>(telegram[3] >> 5);
    r.Control = telegram[5];
    r.Write = (r.Control & 0x80U) != 0;
    r.Memory = static_cast<TMemoryKind>((r.Control >> 5) & 3U);
    r.Count = r.Control & 0x1FU;
    r.Address = static_cast<std::uint16_t>(telegram[6] | (telegram[7] << 8));
    const auto data = telegram.subspan(8, lengthField - 2U);
    r.Data.assign(data.begin(), data.end());
    return r;
}

void TFrameScanner::Feed(std::span<const std::uint8_t> bytes) {
    fBuffer.insert(fBuffer.end(), bytes.begin(), bytes.end());
}

void TFrameScanner::Consume(std::size_t count) {
    fBuffer.erase(fBuffer.begin(),
                  fBuffer.begin() + static_cast<std::ptrdiff_t>(std::min(count, fBuffer.size())));
}

void TFrameScanner::SkipToStart() {
    std::size_t p = 0;
    while (p < fBuffer.size()) {
        if (fBuffer[p] == kSync && (p + 1 == fBuffer.size() || fBuffer[p + 1] == fOwn)) {
            break;
        }
        ++p;
    }
    fSkipped += p;
    Consume(p);
}

std::optional<TScanEvent> TFrameScanner::Next() {
    SkipToStart();
    if (fBuffer.size() < kHeaderSize) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> buf(fBuffer);
    if (!SumsToZero(buf.first(kHeaderSize))) {
        TScanEvent e{TScanKind::BadHeader, {buf.begin(), buf.begin() + kHeaderSize}};
        Consume(1);
        return e;
    }
    const std::size_t block = (buf[3] & 0x1FU) + 2U;
    const std::size_t total = kHeaderSize + block;
    if (buf.size() < total) {
        return std::nullopt;
    }
    TScanEvent e;
    e.Bytes.assign(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(total));
    if (!SumsToZero(buf.subspan(kHeaderSize, block))) {
        e.Kind = TScanKind::BadData;
        Consume(1);
        return e;
    }
    e.Kind = TScanKind::Telegram;
    Consume(total);
    return e;
}

} // namespace sim
