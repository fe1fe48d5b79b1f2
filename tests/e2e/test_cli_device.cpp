// norlink-cli as a script runs it, against the simulator: a read equals the simulator's
// own configuration, a write to a second simulator with line faults ends with its memory equal to
// the file or names what is not written, a signal cancels a read leaving no file behind, a progress
// line only on a terminal, the change list of diff in either language, and the exit codes.
// Files are built from the simulator's memory by the simulator's own export writer.

// InstallProgram (the window's) is not used here.
#define NORLINK_BIN ""
#include "../ui/ProgramRun.h"

#include "E2eRig.h"
#include "SimExport.h"
#include "SimMemory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace program_run;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr auto k_Zaznam = sim::TMemoryKind::ZAZNAM;

// Test parameters print as their names.
template <typename T>
requires requires(const T& t) {
    t.Nazev;
}
void PrintTo(const T& param, std::ostream* os) {
    *os << param.Nazev;
}

// --- Device memory, written byte by byte at the device's addresses -------------------------

void Zapis(sim::TSimMemory& m, std::uint16_t at, std::string_view bytes, std::size_t size) {
    std::vector<std::uint8_t> b(size, 0);
    std::copy_n(bytes.begin(), std::min(size, bytes.size()), b.begin());
    m.Write(k_Zaznam, at, b);
}
void Cislo(sim::TSimMemory& m, unsigned k, std::string_view s) {
    Zapis(m, static_cast<std::uint16_t>(sim::kPhoneBase + 16 * k), s, 16);
}
void Seznam(sim::TSimMemory& m, std::uint16_t at, unsigned salt) {
    std::string b;
    for (unsigned s = 0; s < 16; ++s) {
        b += static_cast<char>(s % 3 == 0 ? 255 : (salt * 7 + s * 13) % 256);
    }
    Zapis(m, at, b, 16);
}
void Text(sim::TSimMemory& m, std::uint16_t at, std::string_view t) {
    Zapis(m, static_cast<std::uint16_t>(at + 16), t, 240);
}
std::uint16_t Exp(unsigned e, unsigned half) {
    return static_cast<std::uint16_t>(sim::ExpanderBlock(e) + 256 * half);
}
std::uint16_t Vst(unsigned e, unsigned v, unsigned half) {
    return static_cast<std::uint16_t>(sim::InputBlock(e, v) + 256 * half);
}

// Bytes 1..254 from `from` on; no LF, CR, '[', ';', '#' or 0xA5 of their own, CR LF inside a line
// now and then, a letter at both ends (the export keeps no blank at a value's edge).
std::string Obsah(unsigned from, std::size_t length) {
    std::string t;
    for (unsigned b = from; t.size() < length; ++b) {
        const unsigned v = 1 + b % 254;
        if (v == '\n' || v == '\r' || v == '[' || v == ';' || v == '#' || v == 0xA5) {
            continue;
        }
        t += static_cast<char>(v);
        if (t.size() % 50 == 25 && t.size() + 3 < length) {
            t += "\r\nx";
        }
    }
    t = t.substr(0, length);
    if (!t.empty()) {
        t.front() = 'A';
        t.back() = 'z';
    }
    return t;
}

// Phones and expander 1 configured, the rest erased.
sim::TSimMemory Zaklad() {
    sim::TSimMemory m;
    for (unsigned k = 0; k < 8; ++k) {
        Cislo(m, k, "6001234" + std::to_string(10 + k));
    }
    for (unsigned h = 0; h < 2; ++h) {
        Seznam(m, Exp(0, h), h);
        Text(m, Exp(0, h), Obsah(1 + 90 * h, 200 - 140 * h));
        for (unsigned v = 0; v < 8; ++v) {
            Seznam(m, Vst(0, v, h), 2 + 2 * v + h);
            Text(m, Vst(0, v, h), Obsah(7 * v + 130 * h, h == 0 ? 17 * v : 240 - v));
        }
    }
    return m;
}

// Zaklad with changes in phones, lists and texts: 7 numbers and 78 settings blocks to write.
sim::TSimMemory Zmeneno() {
    sim::TSimMemory m = Zaklad();
    for (unsigned k : {1U, 3U, 4U, 5U, 8U, 15U}) {
        Cislo(m, k, "77788" + std::to_string(1000 + k));
    }
    Cislo(m, 2, "");
    Seznam(m, Exp(0, 0), 90);
    Text(m, Exp(0, 1), "Obnova \x9E\xE1rovky\r\nkomunikace OK");
    for (unsigned v = 0; v < 4; ++v) {
        Text(m, Vst(0, v, 0), Obsah(200 + v, 150 + v));
    }
    Seznam(m, Vst(0, 5, 1), 91);
    Seznam(m, Vst(0, 6, 0), 92);
    return m;
}

// --- Running the programs ------------------------------------------------------------------

// norlink-cli with its own standard output and error, a clean locale and an optional terminal.
class TCli {
public:
    TCli(const std::vector<std::string>& args, const fs::path& out, const fs::path& err,
         const std::vector<std::string>& env = {}, const fs::path& exe = NORLINK_CLI_BINARY) {
        std::vector<std::string> e;
        for (char** p = environ; *p != nullptr; ++p) {
            const std::string entry = *p;
            if (!entry.starts_with("LC_ALL=") && !entry.starts_with("LC_MESSAGES=") &&
                !entry.starts_with("LANG=") && !entry.starts_with("NORLINK_COMLOG=")) {
                e.push_back(entry);
            }
        }
        e.insert(e.end(), env.begin(), env.end());
        std::vector<std::string> a{exe.string()};
        a.insert(a.end(), args.begin(), args.end());
        std::vector<char*> ca;
        std::vector<char*> ce;
        for (auto& s : a) {
            ca.push_back(s.data());
        }
        for (auto& s : e) {
            ce.push_back(s.data());
        }
        ca.push_back(nullptr);
        ce.push_back(nullptr);
        posix_spawn_file_actions_t fa;
        ::posix_spawn_file_actions_init(&fa);
        ::posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_addopen(&fa, 2, err.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY, 0644);
        if (::posix_spawn(&fPid, exe.c_str(), &fa, nullptr, ca.data(), ce.data()) != 0) {
            fPid = -1;
        }
        ::posix_spawn_file_actions_destroy(&fa);
    }
    ~TCli() {
        if (fPid > 0 && !fKod) {
            ::kill(fPid, SIGKILL);
            ::waitpid(fPid, nullptr, 0);
        }
    }
    TCli(const TCli&) = delete;
    TCli& operator=(const TCli&) = delete;
    pid_t Pid() const { return fPid; }
    // The exit code; 128 + n for a death by signal n; -1 when it runs past the limit.
    int Kod(std::chrono::milliseconds limit, const std::function<void()>& mezitim = {}) {
        WaitUntil(
            [&] {
                if (mezitim) {
                    mezitim();
                }
                int status = 0;
                if (!fKod && ::waitpid(fPid, &status, WNOHANG) == fPid) {
                    fKod = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                }
                return fKod.has_value();
            },
            limit);
        return fKod.value_or(-1);
    }

private:
    pid_t fPid = -1;
    std::optional<int> fKod;
};

struct TBeh {
    int Kod = -1;
    std::string Out;
    std::string Err;
};

// The one rig's simulator as norlink-sim runs with these arguments, polling with a pause longer
// than the program's tick, so that no poll shares a read with the answer before it (such a poll
// is dropped).
class TSim : public e2e::TE2eRig {
public:
    explicit TSim(std::vector<std::string> args) : TE2eRig(Args(std::move(args))) {}
    bool Bezi() { return Start(fChyba); }
    std::string Vystup() const { return fChyba + "\n" + DescribeSim(); }
    // Requests taken so far.
    std::uint64_t Pozadavku() const {
        const sim::TSimStats s = Stats();
        return s.RequestsRead + s.RequestsWrite + s.RequestsIgnored;
    }
    // Ends it and saves its files.
    bool Konec() { return Stop(fChyba); }

private:
    static std::vector<std::string> Args(std::vector<std::string> args) {
        args.insert(args.begin(), {"--fast", "--gap", "45"});
        return args;
    }
    std::string fChyba;
};

class CliRig : public ::testing::Test {
protected:
    TBeh Cli(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
             std::chrono::milliseconds limit = 180s, const fs::path& exe = NORLINK_CLI_BINARY) {
        TCli cli(args, Cesta("out.txt"), Cesta("err.txt"), env, exe);
        TBeh beh;
        beh.Kod = cli.Kod(limit);
        beh.Out = ReadFile(Cesta("out.txt"));
        beh.Err = ReadFile(Cesta("err.txt"));
        return beh;
    }
    fs::path Soubor(const std::string& name, const std::string& text) {
        WriteFile(Cesta(name), text);
        return Cesta(name);
    }
    std::string Cesta(const std::string& name) const { return (fDir.Path() / name).string(); }
    // A copy of the program with its library in the test's folder, beside a norlink.ini of the
    // test's own (or none).
    fs::path Instaluj() const {
        const fs::path bin = fs::path(NORLINK_CLI_BINARY).parent_path();
        fs::copy_file(NORLINK_CLI_BINARY, fDir.Path() / "norlink-cli");
        fs::copy_file(bin / "libkovra.so", fDir.Path() / "libkovra.so");
        return fDir.Path() / "norlink-cli";
    }

    TTempDir fDir;
};

// --- Reads ---------------------------------------------------------------------------------

TEST_F(CliRig, ReadSettingsGivesTheSimulatorsOwnConfiguration) {
    sim::TSimMemory m = Zaklad();
    Cislo(m, 9, "+420777123456789"); // all 16 bytes
    Cislo(m, 10,
          "\x8A\x9E\xE8*#\xFF"
          "789");                    // Windows-1250 letters, ended by an erased byte
    Zapis(m, Exp(0, 0) + 40, "", 3); // zero holes inside a text
    std::string error;
    ASSERT_TRUE(m.SaveImage(Cesta("a.img"), error)) << error;
    TSim a({"--image", Cesta("a.img"), "--hw-type", "NL-TEST 2", "--save-config", Cesta("a.log")});
    ASSERT_TRUE(a.Bezi()) << a.Vystup();

    const TBeh beh = Cli({"--port", a.Port(), "read-settings", "--out", Cesta("f.log")});
    ASSERT_TRUE(a.Konec());
    ASSERT_EQ(beh.Kod, 0) << beh.Err << a.Vystup();
    EXPECT_EQ(beh.Out, "");
    EXPECT_THAT(beh.Err, HasSubstr("komunikátor: NL-TEST 2, SW 1.00, HW 1.0"));
    EXPECT_THAT(beh.Err, Not(HasSubstr("\033[K"))) << "a progress line into a pipe";
    // Polls answered within the tick that reads them, as the window answers them: a poll waits
    // for the next 40 ms tick at most, so its answer starts well within 60 ms (the simulator's
    // measure, from the end of the poll to the first byte of the request).
    EXPECT_LT(a.Stats().Latency.Median, 60ms) << a.Vystup();

    // The file as another simulator reads it is the first one's memory.
    TSim b({"--config", Cesta("f.log"), "--save-config", Cesta("b.log")});
    ASSERT_TRUE(b.Bezi()) << b.Vystup();
    ASSERT_TRUE(b.Konec());
    const std::string expected = ReadFile(Cesta("a.log"));
    ASSERT_THAT(expected, HasSubstr("Cislo 10=\x8A\x9E\xE8*#\n"));
    EXPECT_EQ(ReadFile(Cesta("b.log")), expected) << b.Vystup();
}

TEST_F(CliRig, ReadPhonesThroughTheIniPortShowsProgressOnlyOnATerminal) {
    TSim a({"--config", Soubor("a.log", sim::FormatExport(Zmeneno()))});
    ASSERT_TRUE(a.Bezi()) << a.Vystup();
    // COM7 is the simulator's port through norlink.ini beside the program, as for the window.
    const fs::path exe = Instaluj();
    WriteFile(fDir.Path() / "norlink.ini", "[Porty]\nCOM7=" + a.Port() + "\n");
    TPty tty;
    ASSERT_FALSE(tty.Slave().empty());
    std::string terminal;
    TCli cli({"--port", "COM7", "read-phones"}, Cesta("out.txt"), tty.Slave(), {}, exe);
    const auto cti = [&] {
        std::array<char, 4096> buffer{};
        for (ssize_t n; (n = ::read(tty.Master(), buffer.data(), buffer.size())) > 0;) {
            terminal.append(buffer.data(), static_cast<std::size_t>(n));
        }
    };
    ASSERT_EQ(cli.Kod(60s, cti), 0) << terminal;
    cti();
    const std::string all = sim::FormatExport(Zmeneno());
    EXPECT_EQ(ReadFile(Cesta("out.txt")), all.substr(0, all.find("[Porucha komunikace]")));
    EXPECT_THAT(terminal, HasSubstr("\r\033[KNačítání telefonních čísel"));
    EXPECT_THAT(terminal, HasSubstr("komunikátor: NORLINK GSM"));
}

struct TZruseni {
    const char* Nazev;
    int Signal;
};

class CliCancel : public CliRig, public ::testing::WithParamInterface<TZruseni> {};

TEST_P(CliCancel, MidReadEndsWithTheCancelCodeAndNoFile) {
    TSim a({"--config", Soubor("a.log", sim::FormatExport(Zaklad()))});
    ASSERT_TRUE(a.Bezi()) << a.Vystup();
    TCli cli({"--port", a.Port(), "read-settings", "--out", Cesta("f.log")}, Cesta("out.txt"),
             Cesta("err.txt"));
    ASSERT_TRUE(WaitUntil([&] { return a.Pozadavku() >= 60; }, 60s)) << a.Vystup();
    ::kill(cli.Pid(), GetParam().Signal);
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_EQ(cli.Kod(10s), 130) << ReadFile(Cesta("err.txt"));
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 2s);
    EXPECT_LT(a.Pozadavku(), 19U + 288U) << "the read ended before the signal";
    EXPECT_THAT(ReadFile(Cesta("err.txt")),
                HasSubstr("Přerušeno. Čtení nastavení nedokončeno, nic nebylo uloženo."));
    EXPECT_FALSE(fs::exists(Cesta("f.log")));
    EXPECT_EQ(std::distance(fs::directory_iterator(fDir.Path()), fs::directory_iterator()), 3)
        << "a file beside the simulator's and the program's own";
}

INSTANTIATE_TEST_SUITE_P(Signals, CliCancel,
                         ::testing::Values(TZruseni{"SIGINT", SIGINT},
                                           TZruseni{"SIGTERM", SIGTERM}),
                         [](const auto& info) { return std::string(info.param.Nazev); });

// --- Writes --------------------------------------------------------------------------------

struct TZapisSChybami {
    const char* Nazev;
    std::vector<std::string> Chyby; // the second simulator's faults
    int Kod;
    std::vector<std::string> Hlaseni; // what standard error must say
};

class CliWrite : public CliRig, public ::testing::WithParamInterface<TZapisSChybami> {};

TEST_P(CliWrite, EndsVerifiedOrNamesWhatIsNotWritten) {
    const TZapisSChybami& p = GetParam();
    const std::string file = sim::FormatExport(Zmeneno());
    std::vector<std::string> args{"--config", Soubor("b0.log", sim::FormatExport(Zaklad())),
                                  "--save-config", Cesta("b.log")};
    args.insert(args.end(), p.Chyby.begin(), p.Chyby.end());
    TSim b(args);
    ASSERT_TRUE(b.Bezi()) << b.Vystup();

    const TBeh beh = Cli({"--port", b.Port(), "write", Soubor("f.log", file), "--timeout", "2"});
    ASSERT_TRUE(b.Konec());
    EXPECT_EQ(beh.Kod, p.Kod) << beh.Err << b.Vystup();
    for (const std::string& text : p.Hlaseni) {
        EXPECT_THAT(beh.Err, HasSubstr(text));
    }
    if (p.Kod == 0) {
        EXPECT_EQ(ReadFile(Cesta("b.log")), file) << b.Vystup();
    } else {
        EXPECT_THAT(beh.Err, Not(HasSubstr("Zapsáno a ověřeno"))) << "a success claimed";
        EXPECT_NE(ReadFile(Cesta("b.log")), file) << "the cut came after the write";
    }
}

// A read takes 307 polls, the write about 190 more: 400 cuts it in its settings part.
INSTANTIATE_TEST_SUITE_P(
    Faults, CliWrite,
    ::testing::Values(
        TZapisSChybami{"DroppedBytes",
                       {"--drop-byte", "0.05", "--seed", "11"},
                       0,
                       {"Zapsáno a ověřeno: telefonních čísel 7, bloků nastavení 78."}},
        TZapisSChybami{"CorruptedAndUnanswered",
                       {"--corrupt-data", "0.08", "--no-answer", "0.05", "--seed", "5"},
                       0,
                       {"Zapsáno a ověřeno"}},
        TZapisSChybami{"Unplugged",
                       {"--unplug-after", "400"},
                       4,
                       {"Telefonní čísla zapsána a ověřena: 7.",
                        "Spojení se sériovým portem bylo přerušeno", "Zápis nastavení nedokončen",
                        "neověřeno:\n", "- expander 1, vstup 4: text sepnutí"}},
        TZapisSChybami{"PollingStops",
                       {"--stop-after", "400"},
                       5,
                       {"Komunikátor neodpovídá", "Zápis nastavení nedokončen",
                        "- expander 1, vstup 4: text sepnutí"}}),
    [](const auto& info) { return std::string(info.param.Nazev); });

// A dry run lists the changes and sends nothing; the write leaves a backup beside the program, and
// writing that backup brings the device back byte for byte.
TEST_F(CliRig, DryRunSendsNothingAndTheBackupRestoresTheDevice) {
    const std::string pred = sim::FormatExport(Zaklad());
    TSim b({"--config", Soubor("b0.log", pred), "--save-config", Cesta("b.log")});
    ASSERT_TRUE(b.Bezi()) << b.Vystup();
    const fs::path exe = Instaluj();
    const std::string file = Soubor("f.log", sim::FormatExport(Zmeneno()));

    const TBeh zkouska = Cli({"--port", b.Port(), "write", file, "--dry-run"}, {}, 180s, exe);
    EXPECT_EQ(zkouska.Kod, 0) << zkouska.Err;
    EXPECT_THAT(zkouska.Out, HasSubstr("Tel. číslo 1: 600123411 → 777881001\n"));
    EXPECT_THAT(zkouska.Out, HasSubstr("Tel. číslo 2: 600123412 → (prázdné)\n"));
    // A number: its pair and its read-back; a settings block: its pair.
    EXPECT_THAT(zkouska.Out, HasSubstr("Telegramů: " + std::to_string(7 * 3 + 78 * 2) + ","));
    EXPECT_FALSE(fs::exists(fDir.Path() / "zalohy")) << "a dry run saves no backup";

    const TBeh zapis = Cli({"--port", b.Port(), "write", file}, {}, 180s, exe);
    ASSERT_EQ(zapis.Kod, 0) << zapis.Err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(zapis.Err, m, std::regex("Záloha před zápisem: (\\S+)")))
        << zapis.Err;
    const std::string zaloha = m[1];
    EXPECT_EQ(fs::path(zaloha).parent_path(), fDir.Path() / "zalohy");
    // The report of the backup names the device it was made of.
    EXPECT_THAT(Cli({"report", zaloha}, {}, 60s, exe).Out,
                HasSubstr("<th>Typ komunikátoru</th><td>NORLINK GSM</td>"));

    const TBeh obnova = Cli({"--port", b.Port(), "write", zaloha}, {}, 180s, exe);
    EXPECT_EQ(obnova.Kod, 0) << obnova.Err;
    EXPECT_THAT(obnova.Err,
                HasSubstr("Zapsáno a ověřeno: telefonních čísel 7, bloků nastavení 78."));
    ASSERT_TRUE(b.Konec());
    EXPECT_EQ(ReadFile(Cesta("b.log")), pred) << b.Vystup();
}

// --- Files only ----------------------------------------------------------------------------

struct TJazykCase {
    const char* Nazev;
    std::vector<std::string> Env;
    bool Cesky;
};

class CliDiff : public CliRig, public ::testing::WithParamInterface<TJazykCase> {};

TEST_P(CliDiff, OneLinePerChangeInTheLocalesLanguage) {
    sim::TSimMemory b = Zaklad();
    Cislo(b, 3, "999888777");
    Zapis(b, Exp(0, 0) + 2, "\x07", 1);                     // a recipient slot
    Zapis(b, Exp(7, 1) + 16, "X", 1);                       // expander 8's empty text grows
    Zapis(b, Vst(1, 2, 1) + 16, Obsah(5, 20) + "\x8A", 21); // a text spanning two blocks
    Zapis(b, Vst(0, 3, 0) + 16 + 50, "?", 1);               // one byte in the fourth block
    const std::string pa = Soubor("a.log", sim::FormatExport(Zaklad()));
    const std::string pb = Soubor("b.log", sim::FormatExport(b));

    const TBeh beh = Cli({"diff", pa, pb}, GetParam().Env);
    const bool cs = GetParam().Cesky;
    // The write preview's lines, in the writers' order; a text spanning two blocks is one line.
    const std::vector<std::string> expected{
        cs ? "Tel. číslo 3: 600123413 → 999888777" : "Phone number 3: 600123413 → 999888777",
        std::string(cs ? "Expander 1, porucha komunikace: "
                       : "Expander 1, communication failure: ") +
            "13, 26, 52, 65, 91, 104, 130, 143, 169, 182 → 13, 7, 52, 65, 91, 104, 130, 143, 169, "
            "182",
        cs ? "Expander 8, text obnovy: (prázdné) → „X“"
           : "Expander 8, restoration text: (empty) → „X“",
        cs ? "Expander 1, vstup 4, text sepnutí: „" : "Expander 1, input 4, switch-on text: „",
        cs ? "Expander 2, vstup 3, text rozpojení: (prázdné) → „A"
           : "Expander 2, input 3, disconnect text: (empty) → „A"};
    std::vector<std::string> radky;
    for (std::size_t at = 0, nl; (nl = beh.Out.find('\n', at)) != std::string::npos; at = nl + 1) {
        radky.push_back(beh.Out.substr(at, nl - at));
    }
    ASSERT_EQ(radky.size(), expected.size()) << beh.Out;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(radky[i].starts_with(expected[i])) << radky[i] << "\n" << expected[i];
    }
    EXPECT_EQ(beh.Kod, 1) << beh.Err;

    const TBeh same = Cli({"diff", pa, pa}, GetParam().Env);
    EXPECT_EQ(same.Kod, 0) << same.Err;
    EXPECT_EQ(same.Out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Locales, CliDiff,
    ::testing::Values(TJazykCase{"LangCzech", {"LANG=cs_CZ.UTF-8"}, true},
                      TJazykCase{"LcAllCzech", {"LC_ALL=cs_CZ.UTF-8", "LANG=en_US.UTF-8"}, true},
                      TJazykCase{"LcAllOverridesLang", {"LC_ALL=C", "LANG=cs_CZ.UTF-8"}, false},
                      TJazykCase{
                          "LcMessagesCzech", {"LC_MESSAGES=cs_CZ.UTF-8", "LANG=en_US.UTF-8"}, true},
                      TJazykCase{"EmptyLcAllIsUnset", {"LC_ALL=", "LANG=cs_CZ.UTF-8"}, true},
                      TJazykCase{"English", {"LANG=en_GB.UTF-8"}, false},
                      TJazykCase{"Unset", {}, false}),
    [](const auto& info) { return std::string(info.param.Nazev); });

struct TChybnyBeh {
    const char* Nazev;
    std::vector<std::string> Args; // "@name" is a file in the test's folder
    int Kod;
    std::string Hlaseni;
};

class CliRefuses : public CliRig, public ::testing::WithParamInterface<TChybnyBeh> {};

TEST_P(CliRefuses, WithTheDocumentedCodeAndSaysWhy) {
    sim::TSimMemory tri = Zaklad();
    Seznam(tri, Vst(2, 7, 1), 1); // expander 3 is configured
    Soubor("tri.log", sim::FormatExport(tri));
    Soubor("bad.log", "[Tel. cisla]\nCislo 00=1\n[Zprava]\n");
    std::vector<std::string> args;
    for (const std::string& a : GetParam().Args) {
        args.push_back(a.starts_with("@") ? Cesta(a.substr(1)) : a);
    }
    // No simulator, and no norlink.ini beside the program: COMn is /dev/ttyS(n-1).
    const TBeh beh = Cli(args, {}, 20s, Instaluj());
    EXPECT_EQ(beh.Kod, GetParam().Kod) << beh.Err;
    EXPECT_THAT(beh.Out + beh.Err, HasSubstr(GetParam().Hlaseni));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CliRefuses,
    ::testing::Values(
        TChybnyBeh{"Help", {"--help"}, 0, "130  přerušeno (Ctrl+C, SIGINT nebo SIGTERM)"},
        TChybnyBeh{"NoCommand", {}, 2, "chybí příkaz"},
        TChybnyBeh{"UnknownCommand", {"--port", "x", "erase"}, 2, "neznámý příkaz \"erase\""},
        TChybnyBeh{"NoPort", {"read-phones"}, 2, "read-phones potřebuje --port"},
        TChybnyBeh{"NineExpanders",
                   {"--port", "x", "read-settings", "--expanders", "9"},
                   2,
                   "--expanders čeká počet expanderů 1 až 8"},
        TChybnyBeh{"OutWithWrite",
                   {"--port", "x", "write", "@tri.log", "--out", "@o.log"},
                   2,
                   "--out patří jen k"},
        TChybnyBeh{"TooFewExpandersForTheFile",
                   {"--port", "x", "write", "@tri.log", "--expanders", "2"},
                   2,
                   "Soubor nastavuje i expander 3"},
        TChybnyBeh{"MissingFile", {"--port", "x", "write", "@none.log"}, 3, "none.log"},
        TChybnyBeh{"NoExport", {"--port", "x", "write", "@bad.log"}, 3, "Řádek 3: neznámá sekce"},
        TChybnyBeh{"DiffOfNoExport", {"diff", "@tri.log", "@bad.log"}, 3, "bad.log: Řádek 3"},
        TChybnyBeh{"MissingDevice", {"--port", "@tty0", "read-phones"}, 4, "tty0"},
        TChybnyBeh{"ComWithoutIni", {"--port", "COM9", "read-phones"}, 4, "/dev/ttyS8"}),
    [](const auto& info) { return std::string(info.param.Nazev); });

} // namespace
