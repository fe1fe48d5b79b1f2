// norlink-cli report: the handover report of an export or a backup, written by the simulator's own
// export writer: the telephone numbers instead of indices, the site and technician, a backup's
// identification, a checksum that repeats for the same configuration whatever the file's layout
// and changes with a slot, and the documented exit codes. No device is needed.

// InstallProgram (the window's) is not used here.
#ifndef NORLINK_BIN
#define NORLINK_BIN ""
#endif
#include "../ui/ProgramRun.h"

#include "SimExport.h"
#include "SimMemory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>

namespace {

using namespace program_run;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr auto k_Zaznam = sim::TMemoryKind::ZAZNAM;

void Zapis(sim::TSimMemory& m, std::uint16_t at, std::string_view bytes) {
    m.Write(k_Zaznam, at, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

// Numbers 1 and 3, expander 1's fault to both, its input 2's switch-on to number 3.
sim::TSimMemory Pamet() {
    sim::TSimMemory m;
    for (unsigned k = 0; k < 16; ++k) {
        Zapis(m, static_cast<std::uint16_t>(sim::kPhoneBase + 16 * k), std::string(16, '\0'));
    }
    Zapis(m, sim::kPhoneBase, "603111222");
    Zapis(m, sim::kPhoneBase + 32, "604555666");
    Zapis(m, static_cast<std::uint16_t>(sim::ExpanderBlock(0)), std::string("\x00\x02", 2));
    Zapis(m, static_cast<std::uint16_t>(sim::ExpanderBlock(0) + 16),
          std::string("Porucha <sklad>\0", 16));
    Zapis(m, static_cast<std::uint16_t>(sim::InputBlock(0, 1)), std::string("\x02", 1));
    Zapis(m, static_cast<std::uint16_t>(sim::InputBlock(0, 1) + 16),
          std::string("Dve\xF8"
                      "e otev\xF8"
                      "eny\0",
                      15));
    return m;
}

// The program's export layout: a blank line between sections.
std::string SMezerami(const std::string& text) {
    return std::regex_replace(text, std::regex("\n\\["), "\n\n[");
}

// CRC-32 bit by bit, apart from the program's table.
std::string Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int b = 0; b < 8; ++b) {
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "%08X", crc ^ 0xFFFFFFFFU);
    return hex.data();
}

struct TBeh {
    int Kod = -1;
    std::string Out;
    std::string Err;
};

class CliReport : public ::testing::Test {
protected:
    TBeh Cli(std::vector<std::string> args) {
        args.insert(args.begin(), NORLINK_CLI_BINARY);
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const std::string out = Cesta("out.txt");
        const std::string err = Cesta("err.txt");
        posix_spawn_file_actions_t fa;
        ::posix_spawn_file_actions_init(&fa);
        ::posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        TBeh beh;
        if (::posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            beh.Kod = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        ::posix_spawn_file_actions_destroy(&fa);
        beh.Out = ReadFile(out);
        beh.Err = ReadFile(err);
        return beh;
    }
    std::string Soubor(const std::string& name, const std::string& text) {
        WriteFile(Cesta(name), text);
        return Cesta(name);
    }
    std::string Cesta(const std::string& name) const { return (fDir.Path() / name).string(); }
    static std::string Soucet(const std::string& html) {
        std::smatch m;
        return std::regex_search(html, m, std::regex("class=\"soucet\">([0-9A-F]{8})<"))
                   ? m[1].str()
                   : std::string();
    }

    TTempDir fDir;
};

TEST_F(CliReport, WritesTheNumbersSiteAndTechnicianToStandardOutputOrAFile) {
    const std::string export_ = Soubor("a.log", sim::FormatExport(Pamet()));
    const TBeh beh =
        Cli({"report", export_, "--objekt", "Sklad <Žižkov>", "--technik", "Jan Novák"});
    ASSERT_EQ(beh.Kod, 0) << beh.Err;
    EXPECT_EQ(beh.Err, "");
    EXPECT_THAT(beh.Out, HasSubstr("<h1>Protokol nastavení komunikátoru NORLINK</h1>"));
    EXPECT_THAT(beh.Out, HasSubstr("Sklad &lt;Žižkov&gt;"));
    EXPECT_THAT(beh.Out, HasSubstr("Jan Novák"));
    EXPECT_THAT(beh.Out, HasSubstr("<tr><td>0</td><td>603111222</td>"));
    // Recipients by their numbers, never by their indices.
    EXPECT_THAT(beh.Out,
                HasSubstr("<td>Porucha komunikace</td><td><span class=\"cislo\">603111222"
                          "</span><br><span class=\"cislo\">604555666</span></td><td><span "
                          "class=\"sms\">Porucha &lt;sklad&gt;</span>"));
    EXPECT_THAT(beh.Out, HasSubstr("<td>Sepnutí</td><td><span class=\"cislo\">604555666</span>"));
    EXPECT_THAT(beh.Out, HasSubstr("Dveře otevřeny"));
    EXPECT_THAT(beh.Out, HasSubstr("shoda s komunikátorem nebyla ověřena"));
    EXPECT_THAT(beh.Out, HasSubstr("<th>Typ komunikátoru</th><td><span class=\"neznamy\">"))
        << "an export does not say which device";

    const TBeh doSouboru = Cli({"report", export_, "--html", Cesta("p.html")});
    ASSERT_EQ(doSouboru.Kod, 0) << doSouboru.Err;
    EXPECT_EQ(doSouboru.Out, "");
    const std::string html = ReadFile(Cesta("p.html"));
    EXPECT_THAT(html, HasSubstr("603111222"));
    EXPECT_EQ(Soucet(html), Soucet(beh.Out));
    EXPECT_THAT(html, Not(HasSubstr("Sklad"))) << "no site given";
}

TEST_F(CliReport, ChecksumIsTheExportsAndRepeatsForTheSameConfiguration) {
    const std::string program = SMezerami(sim::FormatExport(Pamet()));
    const TBeh a = Cli({"report", Soubor("a.log", sim::FormatExport(Pamet()))});
    const TBeh b = Cli({"report", Soubor("b.log", program), "--objekt", "Jinde"});
    ASSERT_EQ(a.Kod, 0) << a.Err;
    ASSERT_EQ(b.Kod, 0) << b.Err;
    ASSERT_NE(Soucet(a.Out), "");
    EXPECT_EQ(Soucet(a.Out), Soucet(b.Out)) << "the same configuration in another layout";
    EXPECT_EQ(Soucet(b.Out), Crc32(program)) << "the export's bytes as the program writes them";

    sim::TSimMemory jina = Pamet();
    Zapis(jina, static_cast<std::uint16_t>(sim::InputBlock(7, 7) + 256 + 15), "\x03");
    const TBeh c = Cli({"report", Soubor("c.log", sim::FormatExport(jina))});
    ASSERT_EQ(c.Kod, 0) << c.Err;
    EXPECT_NE(Soucet(c.Out), Soucet(a.Out)) << "one slot of the last input differs";
}

TEST_F(CliReport, BackupGivesTheDevicesIdentificationAndItsTime) {
    const std::string zaloha = sim::FormatExport(Pamet()) +
                               "\n[Zaloha]\nCas=9. 12. 2026 10:15\nTyp=NORLINK GSM\nVerze SW=SW "
                               "1.00\nVerze HW=HW \x8A"
                               "1\n";
    const TBeh beh = Cli({"report", Soubor("zaloha1.log", zaloha)});
    ASSERT_EQ(beh.Kod, 0) << beh.Err;
    EXPECT_THAT(beh.Out, HasSubstr("<th>Typ komunikátoru</th><td>NORLINK GSM</td>"));
    EXPECT_THAT(beh.Out, HasSubstr("<th>Verze hardware</th><td>HW Š1</td>"));
    EXPECT_THAT(beh.Out, HasSubstr("Záloha stavu komunikátoru z 9. 12. 2026 10:15"));
}

struct TChyba {
    const char* Nazev;
    std::vector<std::string> Args; // "@name" is a file in the test's folder
    int Kod;
    std::string Hlaseni;
};
void PrintTo(const TChyba& p, std::ostream* os) {
    *os << p.Nazev;
}

class CliReportRefuses : public CliReport, public ::testing::WithParamInterface<TChyba> {};

TEST_P(CliReportRefuses, WithTheDocumentedCodeAndLeavesNoFile) {
    Soubor("a.log", sim::FormatExport(Pamet()));
    Soubor("bad.log", "[Tel. cisla]\nCislo 00=1\n");
    std::vector<std::string> args;
    for (const std::string& a : GetParam().Args) {
        args.push_back(a.starts_with("@") ? Cesta(a.substr(1)) : a);
    }
    const TBeh beh = Cli(args);
    EXPECT_EQ(beh.Kod, GetParam().Kod) << beh.Err;
    EXPECT_THAT(beh.Err, HasSubstr(GetParam().Hlaseni));
    EXPECT_EQ(beh.Out, "");
    EXPECT_FALSE(fs::exists(Cesta("p.html")));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CliReportRefuses,
    ::testing::Values(
        TChyba{"NoFile", {"report"}, 2, "report čeká jeden soubor"},
        TChyba{"WithPort", {"report", "@a.log", "--port", "COM2"}, 2, "report čte jen soubor"},
        TChyba{"HtmlWithoutReport",
               {"diff", "@a.log", "@a.log", "--html", "@p.html"},
               2,
               "--html, --objekt a --technik patří jen k report"},
        TChyba{"OutInsteadOfHtml", {"report", "@a.log", "--out", "@p.html"}, 2, "--out patří"},
        TChyba{"MissingFile", {"report", "@none.log", "--html", "@p.html"}, 3, "none.log"},
        TChyba{"NoExport", {"report", "@bad.log", "--html", "@p.html"}, 3, "chybí"},
        TChyba{"UnwritableHtml", {"report", "@a.log", "--html", "@no/p.html"}, 3, "nelze uložit"}),
    [](const auto& info) { return std::string(info.param.Nazev); });

} // namespace
