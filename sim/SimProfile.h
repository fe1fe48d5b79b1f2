#pragma once
// A small reader of profile (INI) text as the export file uses it: "[section]" lines and
// key=value lines, values written unchanged, so that a value holding line breaks continues on the
// following lines. Which lines start a new entry is up to the caller, who knows the keys.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct TProfileEntry {
    std::string Section;
    std::string Key;   // trimmed
    std::string Value; // unchanged, with the line breaks of its continuation lines
    int Line = 0;      // 1-based line of the key
};

struct TProfileRules {
    // A section not known here is an error at its header line.
    std::function<bool(const std::string& section)> KnownSection;
    // Whether key (trimmed) is a key of section; a line key=value with a key that is not
    // continues the previous value in a multi-line section and is an error elsewhere.
    std::function<bool(const std::string& section, const std::string& key)> IsKey;
    // Whether values of section may continue on following lines.
    std::function<bool(const std::string& section)> Multiline;
};

struct TProfileError {
    int Line = 0;
    std::string Message;
};

// Splits text into entries in file order. Section names and keys compare without regard to
// ASCII case. Blank lines and lines starting with ';' or '#' are ignored outside multi-line
// values. Blank lines at the end of a multi-line value belong to it when another entry of the
// same section follows, and are taken as separators before a section header or the end.
bool ParseProfile(std::string_view text, const TProfileRules& rules,
                  std::vector<TProfileEntry>& entries, TProfileError& error);

bool EqualNoCase(std::string_view a, std::string_view b);
std::string_view Trim(std::string_view s);

} // namespace sim
