#pragma once
// The communication log: an in-memory list of the last link events, newest first. The window shows
// it on request; NORLINK_COMLOG appends it to a file at close.

#include "spojeni/LocalTimeFormat.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class TLogMessageKind : std::uint8_t { dev = 0, netw = 1, usr = 2, tcp = 3, gsm = 4 };

// A record is reused once the log holds more than this many, so it never holds more than 501.
inline constexpr std::size_t k_MaxComLogMessages = 500;
inline constexpr std::size_t k_MaxComLogMessageLength = 255;

// One record: a length byte, 255 text bytes (UTF-8) and the kind; 257 bytes.
struct TComMessage {
    std::uint8_t Length = 0;
    std::array<char, k_MaxComLogMessageLength> Text{};
    TLogMessageKind Kind = TLogMessageKind::dev;

    // Date, two spaces, time, two spaces, message; at most 255 bytes.
    std::string_view Message() const { return {Text.data(), Length}; }
};
static_assert(sizeof(TComMessage) == 257);

class TComLog {
public:
    using TClock = std::function<std::chrono::system_clock::time_point()>;

    // The system clock and the user's LC_TIME formats.
    TComLog();
    // For tests: any clock and any locale name ("" = the user's environment).
    TComLog(TClock clock, const char* localeName);

    // Stamps the message with the clock, cuts it to 255 bytes and puts it first.
    void Add(std::string_view AMessage, TLogMessageKind AMessageKind);
    void Clear();

    std::size_t Count() const { return fRecords.size(); }
    // Counts every Add and Clear, so a view knows cheaply whether to redraw.
    std::uint64_t Zmeny() const { return fZmeny; }
    // index 0 is the newest record; an index from Count() on gives an empty record.
    const TComMessage& operator[](std::size_t index) const;
    const TLocalTimeFormat& TimeFormat() const { return fFormat; }

private:
    TClock fClock;
    TLocalTimeFormat fFormat;
    // The date and time of the last message, and its second.
    std::string fStamp;
    std::chrono::system_clock::time_point fStampSecond;
    // A ring: fRecords[fNewest] is the newest, older ones follow with wrap-around. Once full, the
    // oldest slot is overwritten in place, so a record is reused rather than reallocated.
    std::vector<TComMessage> fRecords;
    std::size_t fNewest = 0;
    std::uint64_t fZmeny = 0;
};

// What a record tells about the line, for a reader of the log.
enum class TDruhZaznamu : std::uint8_t { Odeslano, Prijato, Chyba, Jine };
TDruhZaznamu DruhZaznamu(std::string_view message);

// What a view of the log shows: everything, everything but the polls (several a second), or only
// the errors.
enum class TFiltrLogu : std::uint8_t { Vse, BezVyzev, Chyby };
bool ProjdeFiltrem(TFiltrLogu filtr, std::string_view message);

// A null log takes nothing.
void AddComLogMessage(TComLog* aComLog, std::string_view AMessage, TLogMessageKind AMessageKind);
void AddComLogMessage(TComLog& aComLog, std::string_view AMessage, TLogMessageKind AMessageKind);
