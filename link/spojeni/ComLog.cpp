#include "spojeni/ComLog.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr std::size_t k_Capacity = k_MaxComLogMessages + 1;

// The longest prefix of text within limit bytes that does not split a UTF-8 sequence.
std::size_t CutLength(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text.size();
    }
    std::size_t n = limit;
    // Back up over continuation bytes to the lead byte of the character that would be split.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0U) == 0x80U) {
        --n;
    }
    return n;
}

} // namespace

TComLog::TComLog() : TComLog([] { return std::chrono::system_clock::now(); }, "") {}

TComLog::TComLog(TClock clock, const char* localeName)
    : fClock(std::move(clock)), fFormat(localeName) {
    fRecords.reserve(k_Capacity);
}

void TComLog::Add(std::string_view AMessage, TLogMessageKind AMessageKind) {
    ++fZmeny;
    const auto now = fClock ? fClock() : std::chrono::system_clock::now();
    // The stamp shows whole seconds, so it is formatted once a second, not for every message.
    const auto second = std::chrono::floor<std::chrono::seconds>(now);
    if (fStamp.empty() || second != fStampSecond) {
        fStamp = fFormat.ShortDate(now) + "  " + fFormat.LongTime(now) + "  ";
        fStampSecond = second;
    }
    // Stamp and message up to one byte past the limit: that byte tells whether the cut splits a
    // character.
    std::array<char, k_MaxComLogMessageLength + 1> joined;
    const std::size_t stamp = std::min(fStamp.size(), joined.size());
    std::copy_n(fStamp.data(), stamp, joined.data());
    const std::size_t message = std::min(AMessage.size(), joined.size() - stamp);
    std::copy_n(AMessage.data(), message, joined.data() + stamp);
    const std::string_view text(joined.data(), stamp + message);

    TComMessage* record = nullptr;
    if (fRecords.size() < k_Capacity) {
        // Still growing: fNewest is 0 until the ring is full, so this puts the record first.
        fRecords.insert(fRecords.begin() + static_cast<std::ptrdiff_t>(fNewest), TComMessage{});
        record = &fRecords[fNewest];
    } else {
        // Full: the oldest slot is the one just before the newest; it becomes the newest.
        fNewest = (fNewest + k_Capacity - 1) % k_Capacity;
        record = &fRecords[fNewest];
    }
    const std::size_t n = CutLength(text, k_MaxComLogMessageLength);
    record->Text.fill('\0');
    std::copy_n(text.data(), n, record->Text.data());
    record->Length = static_cast<std::uint8_t>(n);
    record->Kind = AMessageKind;
}

void TComLog::Clear() {
    ++fZmeny;
    fRecords.clear();
    fNewest = 0;
}

const TComMessage& TComLog::operator[](std::size_t index) const {
    static const TComMessage empty{};
    if (index >= fRecords.size()) {
        return empty;
    }
    return fRecords[(fNewest + index) % fRecords.size()];
}

void AddComLogMessage(TComLog* aComLog, std::string_view AMessage, TLogMessageKind AMessageKind) {
    if (aComLog != nullptr) {
        aComLog->Add(AMessage, AMessageKind);
    }
}

void AddComLogMessage(TComLog& aComLog, std::string_view AMessage, TLogMessageKind AMessageKind) {
    aComLog.Add(AMessage, AMessageKind);
}

TDruhZaznamu DruhZaznamu(std::string_view message) {
    // The receive path's own words for what happened.
    if (message.find("Odeslany TLG") != std::string_view::npos) {
        return TDruhZaznamu::Odeslano;
    }
    if (message.find("Vadn") != std::string_view::npos ||
        message.find("nepropusten") != std::string_view::npos) {
        return TDruhZaznamu::Chyba;
    }
    if (message.find("Prisla vyzva") != std::string_view::npos ||
        message.find("Prisly data") != std::string_view::npos) {
        return TDruhZaznamu::Prijato;
    }
    return TDruhZaznamu::Jine;
}

bool ProjdeFiltrem(TFiltrLogu filtr, std::string_view message) {
    switch (filtr) {
    case TFiltrLogu::Vse:
        break;
    case TFiltrLogu::BezVyzev:
        return message.find("Prisla vyzva") == std::string_view::npos;
    case TFiltrLogu::Chyby:
        return DruhZaznamu(message) == TDruhZaznamu::Chyba;
    }
    return true;
}
