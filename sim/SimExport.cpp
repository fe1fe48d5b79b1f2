#include "SimExport.h"

#include "SimProfile.h"

#include "SimFileIo.h"

#include <array>
#include <charconv>
#include <vector>

namespace sim {

namespace {

enum class TField : std::uint8_t {
    Phone,
    PoruchaRecipients,
    ObnovaRecipients,
    ZpravaPorucha,
    ZpravaObnova,
    SepnutiRecipients,
    RozpojeniRecipients,
    ZpravaSepnuti,
    ZpravaRozpojeni
};

struct TSection {
    const char* Name;
    TField Field;
    const char* Shape; // key with each number as '#'; nullptr: any words around the numbers
    std::size_t Numbers;
    std::array<unsigned, 3> Limits;
    bool Text;
};

constexpr std::array<TSection, 9> kSections{{
    {"Tel. cisla", TField::Phone, "cislo #", 1, {kPhoneCount, 0, 0}, false},
    {"Porucha komunikace",
     TField::PoruchaRecipients,
     "expander # pozice #",
     2,
     {kExpanders, kSlots, 0},
     false},
    {"Obnova komunikace",
     TField::ObnovaRecipients,
     "expander # pozice #",
     2,
     {kExpanders, kSlots, 0},
     false},
    {"Zprava porucha", TField::ZpravaPorucha, "pozice #", 1, {kExpanders, 0, 0}, true},
    {"Zprava obnova", TField::ZpravaObnova, "pozice #", 1, {kExpanders, 0, 0}, true},
    {"Cisla sepnuti", TField::SepnutiRecipients, nullptr, 3, {kExpanders, kInputs, kSlots}, false},
    {"Cisla rozpojeni",
     TField::RozpojeniRecipients,
     nullptr,
     3,
     {kExpanders, kInputs, kSlots},
     false},
    {"Zprava sepnuti",
     TField::ZpravaSepnuti,
     "expander # pozice #",
     2,
     {kExpanders, kInputs, 0},
     true},
    {"Zprava rozpojeni",
     TField::ZpravaRozpojeni,
     "expander # pozice #",
     2,
     {kExpanders, kInputs, 0},
     true},
}};

// Sections of the program's exports and backups that hold no memory: the blocks the program did
// not know, and when and of which device a backup was made. The memory keeps what it has there.
bool IsNoteSection(std::string_view name) {
    return EqualNoCase(name, "Nezname bloky") || EqualNoCase(name, "Zaloha");
}

const TSection* FindSection(std::string_view name) {
    for (const TSection& s : kSections) {
        if (EqualNoCase(name, s.Name)) {
            return &s;
        }
    }
    return nullptr;
}

struct TKey {
    std::string Shape; // lower case, numbers as '#', single spaces
    std::vector<unsigned> Numbers;
    bool Valid = false;
};

// Splits a key into its words and numbers; numbers of more than four digits make it invalid.
TKey ParseKey(std::string_view key) {
    TKey k;
    k.Valid = true;
    std::size_t i = 0;
    bool space = false;
    while (i < key.size()) {
        const char c = key[i];
        if (c >= '0' && c <= '9') {
            std::size_t j = i;
            while (j < key.size() && key[j] >= '0' && key[j] <= '9') {
                ++j;
            }
            unsigned value = 0;
            if (j - i > 4 ||
                std::from_chars(key.data() + i, key.data() + j, value).ec != std::errc{}) {
                k.Valid = false;
                return k;
            }
            if (space && !k.Shape.empty()) {
                k.Shape += ' ';
            }
            space = false;
            k.Shape += '#';
            k.Numbers.push_back(value);
            i = j;
            continue;
        }
        if (c == ' ' || c == '\t') {
            space = true;
        } else {
            if (space && !k.Shape.empty()) {
                k.Shape += ' ';
            }
            space = false;
            k.Shape += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        }
        ++i;
    }
    return k;
}

bool KeyFits(const TSection& section, const TKey& key) {
    if (!key.Valid || key.Numbers.size() != section.Numbers) {
        return false;
    }
    return section.Shape == nullptr || key.Shape == section.Shape;
}

std::uint16_t FieldAddress(TField field, const std::vector<unsigned>& n) {
    switch (field) {
    case TField::Phone:
        return static_cast<std::uint16_t>(kPhoneBase + kPhoneSize * n[0]);
    case TField::PoruchaRecipients:
        return static_cast<std::uint16_t>(ExpanderBlock(n[0]) + n[1]);
    case TField::ObnovaRecipients:
        return static_cast<std::uint16_t>(ExpanderBlock(n[0]) + kHalfSize + n[1]);
    case TField::ZpravaPorucha:
        return static_cast<std::uint16_t>(ExpanderBlock(n[0]) + kSlots);
    case TField::ZpravaObnova:
        return static_cast<std::uint16_t>(ExpanderBlock(n[0]) + kHalfSize + kSlots);
    case TField::SepnutiRecipients:
        return static_cast<std::uint16_t>(InputBlock(n[0], n[1]) + n[2]);
    case TField::RozpojeniRecipients:
        return static_cast<std::uint16_t>(InputBlock(n[0], n[1]) + kHalfSize + n[2]);
    case TField::ZpravaSepnuti:
        return static_cast<std::uint16_t>(InputBlock(n[0], n[1]) + kSlots);
    case TField::ZpravaRozpojeni:
        return static_cast<std::uint16_t>(InputBlock(n[0], n[1]) + kHalfSize + kSlots);
    }
    return 0;
}

// Text bytes padded with 0 to size; false when too long or holding a byte the device cannot keep
// in a text (0 ends it, 255 is erased memory).
bool TextBytes(std::string_view value, std::size_t size, std::vector<std::uint8_t>& out,
               std::string& why) {
    if (value.size() > size) {
        why =
            "longer than " + std::to_string(size) + " bytes (" + std::to_string(value.size()) + ")";
        return false;
    }
    out.assign(size, 0);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(value[i]);
        if (b == 0 || b == 0xFF) {
            why = "holds the byte " + std::to_string(b) + ", which the device cannot store";
            return false;
        }
        out[i] = b;
    }
    return true;
}

bool ApplyEntry(const TProfileEntry& entry, TSimMemory& memory, std::string& why) {
    const TSection* section = FindSection(entry.Section);
    const TKey key = ParseKey(entry.Key);
    if (section == nullptr || !KeyFits(*section, key)) {
        why = "unexpected key \"" + entry.Key + "\"";
        return false;
    }
    for (std::size_t i = 0; i < section->Numbers; ++i) {
        if (key.Numbers[i] >= section->Limits[i]) {
            why = "\"" + entry.Key + "\": number " + std::to_string(key.Numbers[i]) +
                  " out of range 0.." + std::to_string(section->Limits[i] - 1);
            return false;
        }
    }
    const std::uint16_t address = FieldAddress(section->Field, key.Numbers);
    std::vector<std::uint8_t> bytes;
    if (section->Field == TField::Phone) {
        if (!TextBytes(Trim(entry.Value), kPhoneSize, bytes, why)) {
            why = "telephone number " + why;
            return false;
        }
    } else if (section->Text) {
        if (!TextBytes(entry.Value, kTextSize, bytes, why)) {
            why = "text " + why;
            return false;
        }
    } else {
        const std::string_view v = Trim(entry.Value);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
        if (v.empty() || ec != std::errc{} || end != v.data() + v.size() || value > 255) {
            why = "\"" + entry.Key + "\": expected a number 0..255, found \"" +
                  std::string(entry.Value) + "\"";
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    memory.Write(TMemoryKind::ZAZNAM, address, bytes);
    return true;
}

// A number with at least two digits, as the export writes its keys.
std::string Two(unsigned n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string PhoneAt(const TSimMemory& memory, std::size_t k) {
    const auto bytes = memory.Read(
        TMemoryKind::ZAZNAM, static_cast<std::uint16_t>(kPhoneBase + kPhoneSize * k), kPhoneSize);
    std::string s;
    for (std::uint8_t b : bytes) {
        if (b == 0 || b == 0xFF) {
            break;
        }
        s += static_cast<char>(b);
    }
    return s;
}

std::string TextAt(const TSimMemory& memory, std::uint16_t address) {
    std::string s;
    for (std::uint8_t b : memory.Read(TMemoryKind::ZAZNAM, address, kTextSize)) {
        if (b != 0 && b != 0xFF) {
            s += static_cast<char>(b);
        }
    }
    return s;
}

std::string ByteAt(const TSimMemory& memory, std::uint16_t address) {
    return std::to_string(memory.Read(TMemoryKind::ZAZNAM, address, 1)[0]);
}

void Entry(std::string& out, const std::string& key, const std::string& value) {
    out += key;
    out += '=';
    out += value;
    out += '\n';
}

} // namespace

std::string InputSlotKey(unsigned expander, unsigned input, unsigned slot) {
    return "Expander " + Two(expander) + " vstup " + Two(input) + " pozice " + Two(slot);
}

bool ApplyExport(std::string_view text, TSimMemory& memory, TExportError& error) {
    TProfileRules rules;
    rules.KnownSection = [](const std::string& s) {
        return FindSection(s) != nullptr || IsNoteSection(s);
    };
    rules.Multiline = [](const std::string& s) {
        const TSection* section = FindSection(s);
        return section != nullptr && section->Text;
    };
    rules.IsKey = [](const std::string& s, const std::string& key) {
        if (IsNoteSection(s)) {
            return true;
        }
        const TSection* section = FindSection(s);
        return section != nullptr && KeyFits(*section, ParseKey(key));
    };
    std::vector<TProfileEntry> entries;
    TProfileError perr;
    if (!ParseProfile(text, rules, entries, perr)) {
        error = {perr.Line, perr.Message};
        return false;
    }
    for (const TProfileEntry& entry : entries) {
        if (IsNoteSection(entry.Section)) {
            continue;
        }
        std::string why;
        if (!ApplyEntry(entry, memory, why)) {
            error = {entry.Line, why};
            return false;
        }
    }
    return true;
}

std::string FormatExport(const TSimMemory& memory) {
    std::string out;
    out += "[Tel. cisla]\n";
    for (unsigned k = 0; k < kPhoneCount; ++k) {
        Entry(out, "Cislo " + Two(k), PhoneAt(memory, k));
    }
    const std::array<const char*, 2> recipientSections{"Porucha komunikace", "Obnova komunikace"};
    for (std::size_t half = 0; half < 2; ++half) {
        out += std::string("[") + recipientSections[half] + "]\n";
        for (unsigned e = 0; e < kExpanders; ++e) {
            for (unsigned k = 0; k < kSlots; ++k) {
                Entry(out, "Expander " + Two(e) + " pozice " + Two(k),
                      ByteAt(memory,
                             static_cast<std::uint16_t>(ExpanderBlock(e) + half * kHalfSize + k)));
            }
        }
    }
    const std::array<const char*, 2> expanderTexts{"Zprava porucha", "Zprava obnova"};
    for (std::size_t half = 0; half < 2; ++half) {
        out += std::string("[") + expanderTexts[half] + "]\n";
        for (unsigned e = 0; e < kExpanders; ++e) {
            Entry(out, "Pozice " + Two(e),
                  TextAt(memory,
                         static_cast<std::uint16_t>(ExpanderBlock(e) + half * kHalfSize + kSlots)));
        }
    }
    const std::array<const char*, 2> inputRecipients{"Cisla sepnuti", "Cisla rozpojeni"};
    for (std::size_t half = 0; half < 2; ++half) {
        out += std::string("[") + inputRecipients[half] + "]\n";
        for (unsigned e = 0; e < kExpanders; ++e) {
            for (unsigned v = 0; v < kInputs; ++v) {
                for (unsigned k = 0; k < kSlots; ++k) {
                    Entry(out, InputSlotKey(e, v, k),
                          ByteAt(memory, static_cast<std::uint16_t>(InputBlock(e, v) +
                                                                    half * kHalfSize + k)));
                }
            }
        }
    }
    const std::array<const char*, 2> inputTexts{"Zprava sepnuti", "Zprava rozpojeni"};
    for (std::size_t half = 0; half < 2; ++half) {
        out += std::string("[") + inputTexts[half] + "]\n";
        for (unsigned e = 0; e < kExpanders; ++e) {
            for (unsigned v = 0; v < kInputs; ++v) {
                Entry(out, "Expander " + Two(e) + " pozice " + Two(v),
                      TextAt(memory, static_cast<std::uint16_t>(InputBlock(e, v) +
                                                                half * kHalfSize + kSlots)));
            }
        }
    }
    return out;
}

bool LoadExportFile(const std::string& path, TSimMemory& memory, std::string& error) {
    std::vector<std::uint8_t> bytes;
    // Far more than any export (about 100 KiB), far less than trouble.
    constexpr std::size_t kLimit = 16 * 1024 * 1024;
    if (!ReadWholeFile(path, kLimit, bytes, error)) {
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    TExportError e;
    if (!ApplyExport(text, memory, e)) {
        error =
            path + (e.Line > 0 ? ":" + std::to_string(e.Line) : std::string()) + ": " + e.Message;
        return false;
    }
    return true;
}

bool SaveExportFile(const std::string& path, const TSimMemory& memory, std::string& error) {
    const std::string text = FormatExport(memory);
    return WriteWholeFile(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), error);
}

} // namespace sim
