#pragma once
// Settings (profile) files in the usual INI form: "[section]" lines, each followed by key=value
// lines. Used for norlink.ini and for the export file.
//
// Reading: section and key names are matched without regard to ASCII letter case and to spaces and
// tabs around them; the first section of a name and the first key of a name within it count. Lines
// before the first section, comment lines (first non-blank character ';') and lines without '=' are
// no entries. A value is read without the blanks around it and without one pair of enclosing single
// or double quotes.
//
// Writing: an existing key gets its new value in place (the key and everything up to its '=' stay
// as they are), a new key follows the last non-blank line of its section (its header when it has
// none), a new section is added at the end of the file behind a blank line. Values are written
// unchanged, so a value holding line breaks continues on the following lines. Every other byte of
// the file stays as it was.
//
// Line ends: LF and CRLF are both read; existing lines keep theirs. New lines take the line end of
// the file's first line, so a CRLF file stays CRLF; a new file gets LF. A last line that ends in a
// lone CR is a CRLF line that lost its LF: a line put behind it adds only the LF, and in a file
// without any LF that makes the file CRLF. A value ending in CR on an LF line likewise makes that a
// CRLF line. So what a write gives depends only on the file's bytes, not on how they came about.
//
// The free functions open the file anew for every call and cache nothing; each reads the file once.
// A missing or unreadable file reads as empty; the first write creates it. A write never replaces
// a file that it could not read (no permission, not a regular file, over k_MaxProfileFileSize):
// that would lose what the file holds. A write replaces the file as a whole (a temporary file
// renamed over it), so a failed write leaves the old file intact.

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Larger than any real settings or export file; a bigger one is refused rather than read into
// memory.
inline constexpr std::size_t k_MaxProfileFileSize = 1024 * 1024;

// A settings file exists but could not be read; what() is "<full path>: <reason>", the reason in
// Czech.
class EProfileReadError : public std::runtime_error {
public:
    EProfileReadError(const std::string& path, const std::string& reason);
    const std::string& Path() const { return fPath; }
    const std::string& Reason() const { return fReason; }

private:
    std::string fPath;
    std::string fReason;
};

// A settings file could not be written; what() is "Unable to write to <full path>", where a
// relative path is made absolute.
class EProfileWriteError : public std::runtime_error {
public:
    EProfileWriteError(const std::string& path, std::string reason);
    const std::string& Path() const { return fPath; }
    // The operating system's reason, for logs; not part of the message.
    const std::string& Reason() const { return fReason; }

private:
    std::string fPath;
    std::string fReason;
};

// An integer value: decimal with an optional sign, or hexadecimal after "0x" / "0X"; the value must
// fit a signed 32-bit integer. Anything else (empty text, other characters, a value out of range)
// gives nothing. Independent of the C locale.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

struct TProfileEntry {
    std::string Section;
    std::string Key;
    std::string Value;
};

// One settings file held in memory.
class TProfileFile {
public:
    TProfileFile() = default;
    explicit TProfileFile(std::string_view text);
    // A missing file gives an empty one; one that exists but cannot be read throws
    // EProfileReadError.
    static TProfileFile Load(const std::string& path);
    // Throws EProfileWriteError.
    void Save(const std::string& path) const;

    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The default stands in for a missing key and for a value that is no integer.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    // The entries of a section in file order, keys as spelled in the file, each key once.
    std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes.
    std::string Text() const;
    // The line end given to new lines.
    std::string_view LineEnd() const { return fLineEnd; }

private:
    struct TLine {
        std::string Text;
        // "\n", "\r\n", or empty for a last line without a line end; always one of these literals,
        // so that the many lines of a file cost no second string each.
        std::string_view End;
    };
    // Folded (ASCII lower case, trimmed) name -> index, the first of a name counting. A sorted
    // array rather than a tree: a file's copies and parses then cost one allocation per index,
    // not one per name.
    class TNameIndex {
    public:
        using TEntry = std::pair<std::string, std::size_t>;
        // Nothing when the name is not held.
        const std::size_t* Find(std::string_view folded) const;
        // Keeps the index held for the name, if any.
        void Add(std::string folded, std::size_t index);
        // Parsing: names in file order, unsorted until Sort().
        void Append(std::string folded, std::size_t index) {
            fEntries.emplace_back(std::move(folded), index);
        }
        void Sort();
        void EraseFrom(std::size_t index);
        void Clear() { fEntries.clear(); }
        void Reserve(std::size_t size) { fEntries.reserve(size); }
        std::size_t Size() const { return fEntries.size(); }

    private:
        std::vector<TEntry>::const_iterator Position(std::string_view folded) const;
        std::vector<TEntry> fEntries;
    };
    struct TSection {
        bool HasHeader = false;
        TLine Header;
        std::vector<TLine> Body;
        // Folded key -> index in Body of its first entry.
        TNameIndex Keys;
        // Index in Body behind the last non-blank line: where a new key goes, so that it neither
        // splits a value that continues on following lines nor sticks to the next section.
        std::size_t AppendAt = 0;
    };

    void Parse(std::string_view text);
    // Adds the lines of text behind those held, the first continuing the last section.
    void ParseLines(std::string_view text);
    // Takes the structure anew from the bytes from a line on (in Body of the section, or
    // k_Header), as a parse of the whole text would give it.
    static constexpr std::size_t k_Header = static_cast<std::size_t>(-1);
    void Reparse(std::size_t section, std::size_t line);
    TLine* LastLine();
    // A CR written in front of an LF makes a CRLF line end, as the next read of the bytes sees it.
    static void JoinCrLf(TLine& line);
    // Gives a line without a line end the file's one; a CR it ends in only needs the LF.
    void EndLine(TLine& line);

    // fSections[0] holds the lines before the first section header.
    std::vector<TSection> fSections{TSection{}};
    // Folded section name -> index of its first section.
    TNameIndex fSectionIndex;
    std::string_view fLineEnd = "\n";
};

// One file operation each.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue);
std::int32_t ReadProfileInteger(const std::string& path, std::string_view section,
                                std::string_view key, std::int32_t defaultValue);
std::vector<std::pair<std::string, std::string>> ReadProfileSection(const std::string& path,
                                                                    std::string_view section);
// Throws EProfileWriteError, also when the file exists but cannot be read.
void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);
// Writes many entries in one pass, with the same result as writing them one by one in this order.
// Throws EProfileWriteError; then the file is left as it was.
void WriteProfileStrings(const std::string& path, std::span<const TProfileEntry> entries);
