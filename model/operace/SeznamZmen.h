#pragma once
// What a write will change, in words, one line per change: the write preview of the window, what
// norlink-cli prints for diff and write --dry-run. Lines follow the writers' order: the phone
// numbers, then the settings sections (failure lists, restoration lists, failure texts,
// restoration texts, switch-on lists, disconnect lists, switch-on texts, disconnect texts).

#include "stav/promenne.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TJazyk : std::uint8_t { Cesky, Anglicky };

// The language of messages by the POSIX precedence: LC_ALL, else LC_MESSAGES, else LANG (the
// first that is set and not empty); Czech when it starts with "cs". Null pointers count as unset.
TJazyk JazykProstredi(const char* lcAll, const char* lcMessages, const char* lang);

struct TRozsahZmen {
    bool Cisla = true;
    bool Nastaveni = true;
    int PocetExpanderu = 8; // settings of the first expanders only, as the settings write
};

// From a (what the device holds) to b (what will be written), e.g.
// "Tel. číslo 7: 777000111 → (prázdné)", "Expander 2, porucha komunikace: 2, 3 → 1",
// "Expander 1, vstup 2, text sepnutí: „Poplach“ → „Poplach v hale“". Long texts are shortened.
std::vector<std::string> SeznamZmen(const TNORLINK& a, const TNORLINK& b, TRozsahZmen rozsah,
                                    TJazyk jazyk = TJazyk::Cesky);

// Telegrams a write sends (a phone number: its pair and its read-back; a settings block: its
// pair) and how long that takes on the line, for the preview's last line.
std::size_t TelegramuZapisu(std::size_t cisel, std::size_t bloku);
std::string SouhrnZapisu(std::size_t cisel, std::size_t bloku);
