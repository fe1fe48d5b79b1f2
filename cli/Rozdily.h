#pragma once
// The differences between two configuration images as lines for a person: one per phone number
// that differs, then one per 16-byte block of settings whose bytes differ, in the order the
// settings writer sends them. Czech or English, as the environment's locale says.

#include "promenne.h"

#include <cstdint>
#include <string>
#include <vector>

enum class TJazyk : std::uint8_t { Cesky, Anglicky };

// The language of messages by the POSIX precedence: LC_ALL, else LC_MESSAGES, else LANG (the
// first that is set and not empty); Czech when it starts with "cs". Null pointers count as unset.
TJazyk JazykProstredi(const char* lcAll, const char* lcMessages, const char* lang);

// From a to b: a phone line shows both values; a settings line names what the block belongs to
// and its address.
std::vector<std::string> RadkyRozdilu(const TNORLINK& a, const TNORLINK& b, TJazyk jazyk);
