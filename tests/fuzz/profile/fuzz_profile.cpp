// Arbitrary bytes as the contents of norlink.ini (or an export file): reading never fails or reads
// out of bounds, the text survives parsing byte for byte, and writes give the same bytes whether
// they go to the file one by one or in one pass.
//
// The parser and writer checks run on the bytes in memory. The round trip through a real file
// (write it, read the settings from it, write the entries into it in one pass) costs a synced
// replace, so it runs for one input in k_FileSample, chosen by a hash of the input: a finding
// replays the same way.

#include "soubory/NastaveniProgramu.h"
#include "soubory/ProfileFile.h"
#include "soubory/WholeFile.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t k_FileSample = 64;

// FNV-1a.
std::uint64_t Hash(const std::uint8_t* data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 1099511628211ULL;
    }
    return hash;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_profile: %s\n", what);
        std::abort();
    }
}

// A scratch folder for the whole run, in memory when the machine has /dev/shm.
const std::string& ScratchFile() {
    static const std::string path = [] {
        std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        folder += "/fuzz-profile-XXXXXX";
        Check(mkdtemp(folder.data()) != nullptr, "no scratch folder");
        static std::string created;
        created = folder;
        std::atexit([] {
            std::remove((created + "/norlink.ini").c_str());
            rmdir(created.c_str());
        });
        return folder + "/norlink.ini";
    }();
    return path;
}

// Names and values that read back as written, and some that do not.
constexpr std::array<std::string_view, 8> kSections = {"ComPort", "Porty", "S",    "comport",
                                                       "",        "A]b",   "x\ny", " S "};
constexpr std::array<std::string_view, 8> kKeys = {"Cislo", "COM5", "k",  "CISLO",
                                                   "",      "a=b",  ";c", "[k]"};
constexpr std::array<std::string_view, 8> kValues = {
    "1", "0x10", "", "-7", "a\nb", "[ComPort]\nCislo=9", "v\r\n", " \"q\" "};

// Whether a write of this value under these names must read back exactly: plain names, one line,
// no blanks around it, no enclosing quotes.
bool Simple(std::size_t section, std::size_t key, std::string_view value) {
    if (section >= 4 || key >= 4 || value.find('\n') != std::string_view::npos) {
        return false;
    }
    if (value.empty()) {
        return true;
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return !blank(value.front()) && !blank(value.back()) && !quoted;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the writes, the rest is the file.
    const unsigned control = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    // In memory: the bytes survive, and every read stays within them.
    TProfileFile parsed(text);
    Check(parsed.Text() == text, "parsing changed the bytes");
    for (std::size_t s = 0; s < kSections.size(); ++s) {
        for (const std::size_t k : {std::size_t{0}, (s + control) % kKeys.size()}) {
            (void)parsed.ReadInteger(kSections[s], kKeys[k], 0);
            (void)parsed.ReadString(kSections[s], kKeys[k]);
        }
        (void)parsed.ReadSection(kSections[s]);
    }
    (void)ParseProfileInteger(text);

    // As the program reads norlink.ini; sampled, through the file.
    const bool throughFile = Hash(data, size) % k_FileSample == 0;
    const std::string& path = ScratchFile();
    TProfileFile fromFile;
    const TProfileFile* loaded = &parsed;
    if (throughFile) {
        Check(ReplaceWholeFile(path, text), "cannot write the scratch file");
        if (text.size() > k_MaxProfileFileSize) {
            bool refused = false;
            try {
                (void)TProfileFile::Load(path);
            } catch (const EProfileReadError&) {
                refused = true;
            }
            Check(refused, "a file over the limit was read");
            return 0;
        }
        fromFile = TProfileFile::Load(path);
        Check(fromFile.Text() == text, "the file round trip changed the bytes");
        loaded = &fromFile;
    }
    const TNastaveniProgramu nastaveni = NactiNastaveniProgramu(*loaded);
    Check(nastaveni.ComPortNo == parsed.ReadInteger("ComPort", "Cislo", 2), "Cislo differs");
    (void)NactiMapuPortu(*loaded, "/opt/norlink/");

    // Writes: names and values from the tables and from the text itself.
    std::vector<TProfileEntry> writes;
    std::vector<bool> simple;
    const std::size_t count = control % 6;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned pick =
            text.empty() ? i * 37u : static_cast<unsigned char>(text[i % text.size()]);
        const std::size_t s = (pick + i) % kSections.size();
        const std::size_t k = (pick / 8 + i) % kKeys.size();
        std::string value(kValues[(pick / 64 + control / 8 + i) % kValues.size()]);
        if ((control & 0x80) != 0 && !text.empty()) {
            value = text.substr(i % text.size(), 12);
        }
        simple.push_back(Simple(s, k, value));
        writes.push_back({std::string(kSections[s]), std::string(kKeys[k]), value});
    }
    const auto readsBack = [&](const TProfileFile& file, std::size_t i) {
        Check(!simple[i] || file.ReadString(writes[i].Section, writes[i].Key) == writes[i].Value,
              "a write does not read back");
    };
    // Each write alone into the text; the first is also the first write one by one below, where
    // it is checked.
    for (std::size_t i = 1; i < count; ++i) {
        TProfileFile probe = parsed;
        probe.WriteString(writes[i].Section, writes[i].Key, writes[i].Value);
        readsBack(probe, i);
    }
    // After every write the one-pass file must be what reading its bytes anew gives, down to the
    // line end of new lines and what each written name reads as, not only at the end.
    TProfileFile onePass = parsed;
    // The bytes the last write left, as reading them anew gives: what the next write opens.
    TProfileFile reread = std::move(parsed);
    std::string reopened = text;
    for (std::size_t i = 0; i < count; ++i) {
        const TProfileEntry& write = writes[i];
        onePass.WriteString(write.Section, write.Key, write.Value);
        TProfileFile file = std::move(reread);
        file.WriteString(write.Section, write.Key, write.Value);
        if (i == 0) {
            readsBack(file, 0);
        }
        reopened = file.Text();
        Check(onePass.Text() == reopened, "one pass and one by one differ");
        reread = TProfileFile(reopened);
        Check(onePass.LineEnd() == reread.LineEnd(), "one pass and one by one differ in line end");
        for (const auto& w : writes) {
            Check(onePass.ReadString(w.Section, w.Key) == reread.ReadString(w.Section, w.Key) &&
                      onePass.ReadSection(w.Section) == reread.ReadSection(w.Section),
                  "one pass and one by one read differently");
        }
    }
    if (throughFile && !writes.empty()) {
        WriteProfileStrings(path, writes);
        Check(ReadWholeFile(path) == reopened, "the file differs from the writes");
    }
    return 0;
}
