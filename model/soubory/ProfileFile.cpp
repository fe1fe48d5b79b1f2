#include "soubory/ProfileFile.h"

#include "soubory/WholeFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <limits>

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Names compare like the Windows profile functions do, without regard to ASCII letter case.
// A table rather than a comparison per character: names are folded for every lookup.
constexpr auto kLower = [] {
    std::array<char, 256> table{};
    for (unsigned c = 0; c < 256; ++c) {
        table[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return table;
}();

char Lower(char c) {
    return kLower[static_cast<unsigned char>(c)];
}

std::string Fold(std::string_view name) {
    std::string folded(Trim(name));
    for (char& c : folded) {
        c = Lower(c);
    }
    return folded;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

enum class TLineKind { Other, Section, Entry };

struct TClassified {
    TLineKind Kind = TLineKind::Other;
    std::string_view Name; // section name or key
    std::string_view Value;
};

TClassified Classify(std::string_view line) {
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == ';') {
        return {};
    }
    if (text.front() == '[') {
        const std::string_view inside = text.substr(1);
        return {TLineKind::Section, Trim(inside.substr(0, inside.find(']'))), {}};
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    const std::string_view key = Trim(text.substr(0, equals));
    if (key.empty()) {
        return {};
    }
    return {TLineKind::Entry, key, Trim(text.substr(equals + 1))};
}

bool IsBlank(std::string_view line) {
    return Trim(line).empty();
}

std::string FullPath(const std::string& path) {
    std::error_code error;
    const auto full = std::filesystem::absolute(path, error);
    return error ? path : full.string();
}

} // namespace

EProfileReadError::EProfileReadError(const std::string& path, const std::string& reason)
    : std::runtime_error(FullPath(path) + ": " + reason), fPath(FullPath(path)), fReason(reason) {}

EProfileWriteError::EProfileWriteError(const std::string& path, std::string reason)
    : std::runtime_error("Unable to write to " + FullPath(path)), fPath(FullPath(path)),
      fReason(std::move(reason)) {}

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t value = 0;
        for (const char c : text.substr(2)) {
            unsigned digit = 0;
            if (c >= '0' && c <= '9') {
                digit = static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<unsigned>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
            value = value * 16 + digit;
            if (value > kMax) {
                return std::nullopt;
            }
        }
        return static_cast<std::int32_t>(value);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    const std::uint64_t limit = negative ? kMax + 1 : kMax;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                    : static_cast<std::int32_t>(value);
}

std::vector<TProfileFile::TNameIndex::TEntry>::const_iterator
TProfileFile::TNameIndex::Position(std::string_view folded) const {
    return std::lower_bound(fEntries.begin(), fEntries.end(), folded,
                            [](const TEntry& e, std::string_view name) { return e.first < name; });
}

const std::size_t* TProfileFile::TNameIndex::Find(std::string_view folded) const {
    const auto at = Position(folded);
    return at != fEntries.end() && at->first == folded ? &at->second : nullptr;
}

void TProfileFile::TNameIndex::Add(std::string folded, std::size_t index) {
    const auto at = Position(folded);
    if (at == fEntries.end() || at->first != folded) {
        fEntries.emplace(at, std::move(folded), index);
    }
}

void TProfileFile::TNameIndex::Sort() {
    // Of equal names the one with the lowest index stays: it came first in the file.
    std::sort(fEntries.begin(), fEntries.end());
    const auto sameName = [](const TEntry& a, const TEntry& b) { return a.first == b.first; };
    fEntries.erase(std::unique(fEntries.begin(), fEntries.end(), sameName), fEntries.end());
}

void TProfileFile::TNameIndex::EraseFrom(std::size_t index) {
    std::erase_if(fEntries, [index](const TEntry& e) { return e.second >= index; });
}

TProfileFile::TProfileFile(std::string_view text) {
    Parse(text);
}

void TProfileFile::Parse(std::string_view text) {
    fSections.clear();
    fSections.emplace_back();
    fSectionIndex.Clear();
    fLineEnd = {};
    ParseLines(text);
}

void TProfileFile::ParseLines(std::string_view text) {
    // Room for what the text can hold, so that the lines are not moved again and again as they
    // come: every header is a line of its own, and a section gets room for a few lines (most hold
    // only a few; more grow as usual).
    static constexpr std::size_t kLinesAtFirst = 8;
    std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    const auto headers = static_cast<std::size_t>(std::count(text.begin(), text.end(), '['));
    fSections.reserve(fSections.size() + std::min(lines, headers));
    const auto room = [&lines](TSection& section) {
        if (section.Body.capacity() == 0) {
            section.Body.reserve(std::min(lines, kLinesAtFirst));
            section.Keys.Reserve(std::min(lines, kLinesAtFirst));
        }
    };
    const std::size_t continued = fSections.size() - 1;
    while (!text.empty()) {
        TLine line;
        const auto newline = text.find('\n');
        if (newline == std::string_view::npos) {
            line.Text = text;
            text = {};
        } else {
            const bool crlf = newline > 0 && text[newline - 1] == '\r';
            line.Text = text.substr(0, crlf ? newline - 1 : newline);
            line.End = crlf ? "\r\n" : "\n";
            text.remove_prefix(newline + 1);
            --lines;
            if (fLineEnd.empty()) {
                fLineEnd = line.End;
            }
        }
        const TClassified kind = Classify(line.Text);
        if (kind.Kind == TLineKind::Section) {
            fSectionIndex.Append(Fold(kind.Name), fSections.size());
            TSection& section = fSections.emplace_back();
            section.HasHeader = true;
            section.Header = std::move(line);
            continue;
        }
        TSection& section = fSections.back();
        room(section);
        if (kind.Kind == TLineKind::Entry) {
            section.Keys.Append(Fold(kind.Name), section.Body.size());
        }
        if (!IsBlank(line.Text)) {
            section.AppendAt = section.Body.size() + 1;
        }
        section.Body.push_back(std::move(line));
    }
    for (std::size_t i = continued; i < fSections.size(); ++i) {
        fSections[i].Keys.Sort();
    }
    fSectionIndex.Sort();
    if (fLineEnd.empty()) {
        // Without any LF, a CR at the very end is a CRLF that lost its LF: ending that line
        // completes it, and so the file is a CRLF file.
        const TLine* last = LastLine();
        fLineEnd =
            last != nullptr && !last->Text.empty() && last->Text.back() == '\r' ? "\r\n" : "\n";
    }
}

void TProfileFile::Reparse(std::size_t section, std::size_t line) {
    // Every line before the first changed one reads as it did, whatever follows it: only the rest
    // is taken anew from its bytes, continuing the section it starts in.
    const bool fromHeader = line == k_Header;
    if (fromHeader) {
        line = 0;
    }
    std::string tail;
    for (std::size_t i = section; i < fSections.size(); ++i) {
        const TSection& s = fSections[i];
        if (s.HasHeader && (i > section || fromHeader)) {
            tail += s.Header.Text;
            tail += s.Header.End;
        }
        for (std::size_t j = i == section ? line : 0; j < s.Body.size(); ++j) {
            tail += s.Body[j].Text;
            tail += s.Body[j].End;
        }
    }
    if (fromHeader) {
        fSections.resize(section);
    } else {
        TSection& kept = fSections[section];
        kept.Body.resize(line);
        kept.Keys.EraseFrom(line);
        kept.AppendAt = 0;
        for (std::size_t j = line; j-- > 0;) {
            if (!IsBlank(kept.Body[j].Text)) {
                kept.AppendAt = j + 1;
                break;
            }
        }
        fSections.resize(section + 1);
    }
    fSectionIndex.EraseFrom(fSections.size());
    // The kept lines all end with a line end, and the first of them gives the file's.
    const TLine* first = nullptr;
    for (const TSection& s : fSections) {
        first = s.HasHeader ? &s.Header : !s.Body.empty() ? &s.Body.front() : nullptr;
        if (first != nullptr) {
            break;
        }
    }
    if (first == nullptr) {
        Parse(tail);
        return;
    }
    fLineEnd = first->End;
    ParseLines(tail);
}

void TProfileFile::JoinCrLf(TLine& line) {
    if (line.End == "\n" && !line.Text.empty() && line.Text.back() == '\r') {
        line.Text.pop_back();
        line.End = "\r\n";
    }
}

void TProfileFile::EndLine(TLine& line) {
    if (!line.End.empty()) {
        return;
    }
    line.End = !line.Text.empty() && line.Text.back() == '\r' ? "\n" : fLineEnd;
    JoinCrLf(line);
}

TProfileFile::TLine* TProfileFile::LastLine() {
    for (auto section = fSections.rbegin(); section != fSections.rend(); ++section) {
        if (!section->Body.empty()) {
            return &section->Body.back();
        }
        if (section->HasHeader) {
            return &section->Header;
        }
    }
    return nullptr;
}

TProfileFile TProfileFile::Load(const std::string& path) {
    const TFileContents contents = ReadFileUpTo(path, k_MaxProfileFileSize);
    switch (contents.State) {
    case TReadState::Read:
        return TProfileFile(contents.Bytes);
    case TReadState::Missing:
        break;
    case TReadState::Unreadable:
        throw EProfileReadError(path, contents.Reason);
    }
    return {};
}

void TProfileFile::Save(const std::string& path) const {
    std::string why;
    if (!ReplaceWholeFile(path, Text(), &why)) {
        throw EProfileWriteError(path, why);
    }
}

std::string TProfileFile::Text() const {
    std::size_t size = 0;
    for (const auto& section : fSections) {
        size += section.Header.Text.size() + section.Header.End.size();
        for (const auto& line : section.Body) {
            size += line.Text.size() + line.End.size();
        }
    }
    std::string text;
    text.reserve(size);
    for (const auto& section : fSections) {
        if (section.HasHeader) {
            text += section.Header.Text;
            text += section.Header.End;
        }
        for (const auto& line : section.Body) {
            text += line.Text;
            text += line.End;
        }
    }
    return text;
}

std::optional<std::string> TProfileFile::ReadString(std::string_view section,
                                                    std::string_view key) const {
    const std::size_t* found = fSectionIndex.Find(Fold(section));
    if (found == nullptr) {
        return std::nullopt;
    }
    const TSection& s = fSections[*found];
    const std::size_t* entry = s.Keys.Find(Fold(key));
    if (entry == nullptr) {
        return std::nullopt;
    }
    return std::string(Unquote(Classify(s.Body[*entry].Text).Value));
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    auto value = ReadString(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

std::int32_t TProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue) const {
    const auto value = ReadString(section, key);
    if (!value) {
        return defaultValue;
    }
    return ParseProfileInteger(*value).value_or(defaultValue);
}

std::vector<std::pair<std::string, std::string>>
TProfileFile::ReadSection(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::size_t* found = fSectionIndex.Find(Fold(section));
    if (found == nullptr) {
        return entries;
    }
    const TSection& s = fSections[*found];
    entries.reserve(s.Keys.Size());
    for (std::size_t i = 0; i < s.Body.size(); ++i) {
        const TClassified kind = Classify(s.Body[i].Text);
        if (kind.Kind == TLineKind::Entry && *s.Keys.Find(Fold(kind.Name)) == i) {
            entries.emplace_back(std::string(kind.Name), std::string(Unquote(kind.Value)));
        }
    }
    return entries;
}

void TProfileFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    const std::string sectionFolded = Fold(section);
    const std::string keyFolded = Fold(key);
    // A name or value that does not read back as written (a line break, a '=' or ']' inside a
    // name...) changes the file's structure: then the structure is taken anew from the bytes, as
    // the next open of the file would, from the first line the write changed.
    bool reparse = section.find('\n') != std::string_view::npos ||
                   key.find('\n') != std::string_view::npos ||
                   value.find('\n') != std::string_view::npos;
    auto readsBack = [&](const std::string& line, TLineKind kind, const std::string& folded) {
        const TClassified classified = Classify(line);
        return classified.Kind == kind && Fold(classified.Name) == folded;
    };
    std::string entry = std::string(key) + "=" + std::string(value);

    // The first line the write changes, for a reparse.
    std::size_t changedSection = fSections.size();
    std::size_t changedLine = k_Header;
    const std::size_t* found = fSectionIndex.Find(sectionFolded);
    if (found == nullptr) {
        if (TLine* last = LastLine()) {
            changedSection = fSections.size() - 1;
            const TSection& in = fSections.back();
            changedLine = in.Body.empty() ? k_Header : in.Body.size() - 1;
            EndLine(*last);
            if (!IsBlank(last->Text)) {
                fSections.back().Body.push_back(TLine{"", fLineEnd});
            }
        }
        TSection added;
        added.HasHeader = true;
        added.Header = {"[" + std::string(section) + "]", fLineEnd};
        reparse = reparse || !readsBack(added.Header.Text, TLineKind::Section, sectionFolded) ||
                  !readsBack(entry, TLineKind::Entry, keyFolded);
        added.Body.push_back(TLine{std::move(entry), fLineEnd});
        JoinCrLf(added.Body.back());
        added.Keys.Add(keyFolded, 0);
        added.AppendAt = 1;
        fSectionIndex.Add(sectionFolded, fSections.size());
        fSections.push_back(std::move(added));
    } else {
        changedSection = *found;
        TSection& s = fSections[*found];
        if (const std::size_t* existing = s.Keys.Find(keyFolded)) {
            changedLine = *existing;
            TLine& line = s.Body[*existing];
            line.Text.resize(line.Text.find('=') + 1);
            line.Text += value;
            JoinCrLf(line);
        } else {
            changedLine = s.AppendAt == 0 ? k_Header : s.AppendAt - 1;
            EndLine(s.AppendAt == 0 ? s.Header : s.Body[s.AppendAt - 1]);
            reparse = reparse || !readsBack(entry, TLineKind::Entry, keyFolded);
            const auto at = s.Body.insert(s.Body.begin() + static_cast<std::ptrdiff_t>(s.AppendAt),
                                          TLine{std::move(entry), fLineEnd});
            JoinCrLf(*at);
            s.Keys.Add(keyFolded, s.AppendAt);
            ++s.AppendAt;
        }
    }
    if (reparse) {
        Reparse(changedSection, changedLine);
    }
}

namespace {

// As the Windows profile functions read: what cannot be read counts as empty.
TProfileFile LoadForReading(const std::string& path) {
    try {
        return TProfileFile::Load(path);
    } catch (const EProfileReadError&) {
        return {};
    }
}

TProfileFile LoadForWriting(const std::string& path) {
    try {
        return TProfileFile::Load(path);
    } catch (const EProfileReadError& error) {
        throw EProfileWriteError(path, error.Reason());
    }
}

} // namespace

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
    return LoadForReading(path).ReadString(section, key, defaultValue);
}

std::int32_t ReadProfileInteger(const std::string& path, std::string_view section,
                                std::string_view key, std::int32_t defaultValue) {
    return LoadForReading(path).ReadInteger(section, key, defaultValue);
}

std::vector<std::pair<std::string, std::string>> ReadProfileSection(const std::string& path,
                                                                    std::string_view section) {
    return LoadForReading(path).ReadSection(section);
}

void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    TProfileFile file = LoadForWriting(path);
    file.WriteString(section, key, value);
    file.Save(path);
}

void WriteProfileStrings(const std::string& path, std::span<const TProfileEntry> entries) {
    TProfileFile file = LoadForWriting(path);
    for (const auto& entry : entries) {
        file.WriteString(entry.Section, entry.Key, entry.Value);
    }
    file.Save(path);
}
