#include "SimProfile.h"

#include <cstddef>

namespace sim {

namespace {

struct TLine {
    std::string_view Text;  // without its line end
    std::string_view Break; // "\r\n", "\n" or empty at the end of the text
};

std::vector<TLine> SplitLines(std::string_view text) {
    std::vector<TLine> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) {
            lines.push_back({text.substr(pos), {}});
            break;
        }
        std::size_t end = nl;
        if (end > pos && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back({text.substr(pos, end - pos), text.substr(end, nl + 1 - end)});
        pos = nl + 1;
    }
    return lines;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsSection(std::string_view line, std::string& name) {
    const std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') {
        return false;
    }
    name = std::string(Trim(t.substr(1, t.size() - 2)));
    return true;
}

} // namespace

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool ParseProfile(std::string_view text, const TProfileRules& rules,
                  std::vector<TProfileEntry>& entries, TProfileError& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    const std::vector<TLine> lines = SplitLines(text);
    std::string section;
    bool haveSection = false;
    bool multiline = false;
    // Continuation lines seen after the current value, not yet known to be content: blank lines
    // are held back until a non-blank continuation line shows they belong to the value.
    std::string pending;
    bool inValue = false; // the last entry may still take continuation lines
    std::string_view lastBreak;

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const std::string_view line = lines[i].Text;
        std::string name;
        if (IsSection(line, name)) {
            if (rules.KnownSection && !rules.KnownSection(name)) {
                error = {number, "unknown section [" + name + "]"};
                return false;
            }
            section = name;
            haveSection = true;
            multiline = rules.Multiline && rules.Multiline(section);
            inValue = false;
            pending.clear();
            continue;
        }
        const std::size_t eq = line.find('=');
        const bool looksLikeEntry = eq != std::string_view::npos;
        std::string key = looksLikeEntry ? std::string(Trim(line.substr(0, eq))) : std::string();
        const bool isKey = haveSection && looksLikeEntry && !key.empty() && rules.IsKey &&
                           rules.IsKey(section, key);
        if (isKey) {
            // Blank lines between two entries of a section can only be line breaks that ended
            // the previous text.
            if (inValue && !pending.empty()) {
                entries.back().Value += pending;
            }
            entries.push_back({section, key, std::string(line.substr(eq + 1)), number});
            inValue = multiline;
            pending.clear();
            lastBreak = lines[i].Break;
            continue;
        }
        if (inValue) {
            pending += lastBreak;
            pending += line;
            lastBreak = lines[i].Break;
            if (!Trim(line).empty()) {
                entries.back().Value += pending;
                pending.clear();
            }
            continue;
        }
        const std::string_view t = Trim(line);
        if (t.empty() || t.front() == ';' || t.front() == '#') {
            continue;
        }
        error.Line = number;
        if (!haveSection) {
            error.Message = "entry outside any section";
        } else if (!looksLikeEntry) {
            error.Message = "expected key=value";
        } else {
            error.Message = "unknown key \"" + key + "\" in section [" + section + "]";
        }
        return false;
    }
    return true;
}

} // namespace sim
