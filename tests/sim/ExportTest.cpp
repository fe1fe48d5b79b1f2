// The starting configuration and the configuration written at the end: the settings export's
// sections and keys, placed at the communicator's record-memory addresses.

#include "SimExport.h"
#include "SimFiles.h"
#include "SimMemory.h"
#include "SimPeer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace sim;
using ::testing::HasSubstr;

namespace {

TBytes At(const TSimMemory& m, std::uint16_t address, std::size_t count) {
    return m.Read(TMemoryKind::ZAZNAM, address, count);
}

TBytes Padded(const std::string& text, std::size_t size) {
    TBytes b(text.begin(), text.end());
    b.resize(size, 0);
    return b;
}

TExportError ErrorOf(const std::string& text) {
    TSimMemory m;
    TExportError e;
    EXPECT_FALSE(ApplyExport(text, m, e)) << text;
    return e;
}

class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "simexportXXXXXX").string();
        path = ::mkdtemp(templ.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(SimExport, EntriesLandAtTheirAddresses) {
    const std::string text = "[Tel. cisla]\n"
                             "Cislo 00=605123456\n"
                             "Cislo 15=\n"
                             "[Porucha komunikace]\n"
                             "Expander 01 pozice 03=7\n"
                             "[Obnova komunikace]\n"
                             "Expander 07 pozice 15= 12 \n"
                             "[Zprava porucha]\n"
                             "Pozice 00=Porucha expanderu 1\n"
                             "[Zprava obnova]\n"
                             "Pozice 07=Obnova 8\n"
                             "[Cisla sepnuti]\n"
                             "Expander 00 vstup 01 pozice 02=3\n"
                             "[Cisla rozpojeni]\n"
                             "Expander 06 vstup 07 pozice 15=0\n"
                             "[Zprava sepnuti]\n"
                             "Expander 00 pozice 00=Vstup 1 sepnut\n"
                             "[Zprava rozpojeni]\n"
                             "Expander 02 pozice 05=Rozpojeno\n";
    TSimMemory m;
    TExportError e;
    ASSERT_TRUE(ApplyExport(text, m, e)) << e.Line << ": " << e.Message;
    EXPECT_EQ(At(m, 0x0000, 16), Padded("605123456", 16));
    EXPECT_EQ(At(m, 0x00F0, 16), TBytes(16, 0));    // empty number: all 0
    EXPECT_EQ(At(m, 0x0010, 16), TBytes(16, 0xFF)); // not mentioned: erased
    EXPECT_EQ(At(m, 0x0303, 1), TBytes{7});         // expander 2 block 0x0300
    EXPECT_EQ(At(m, 0x0302, 1), TBytes{0xFF});
    EXPECT_EQ(At(m, 0x100F, 1), TBytes{12}); // expander 8 block 0x0F00, second half
    EXPECT_EQ(At(m, 0x0110, 240), Padded("Porucha expanderu 1", 240));
    EXPECT_EQ(At(m, 0x1010, 240), Padded("Obnova 8", 240));
    EXPECT_EQ(At(m, 0x1302, 1), TBytes{3});            // input 2 of expander 1: 0x1300
    EXPECT_EQ(At(m, 0x7F00 + 256 + 15, 1), TBytes{0}); // expander 7, input 8: 0x7F00
    EXPECT_EQ(At(m, 0x1110, 240), Padded("Vstup 1 sepnut", 240));
    EXPECT_EQ(At(m, 0x3C10, 240), Padded("Rozpojeno", 240)); // 0x1100+0x2000+0xA00, half 2
}

TEST(SimExport, InputSlotKeyMayUseOtherWords) {
    TSimMemory m;
    TExportError e;
    ASSERT_TRUE(ApplyExport("[Cisla sepnuti]\nExp 01 Vst 02 Poz 03=4\n"
                            "[CISLA ROZPOJENI]\nexpander 00 input 00 slot 00=9\n",
                            m, e))
        << e.Message;
    EXPECT_EQ(At(m, 0x2503, 1), TBytes{4}); // 0x1100 + 4096 + 2*512 + 3
    EXPECT_EQ(At(m, 0x1200, 1), TBytes{9});
}

TEST(SimExport, TextsContinueOnFollowingLines) {
    TSimMemory m;
    TExportError e;
    // A CRLF file: the text's own line breaks come back as written; a trailing line break
    // survives when another entry follows; a blank line before a section is a separator.
    const std::string text = "[Zprava porucha]\r\n"
                             "Pozice 00=Radek 1\r\n"
                             "Radek 2 = s rovnitkem\r\n"
                             "Pozice 01=Konci zalomenim\r\n"
                             "\r\n"
                             "Pozice 02=Posledni\r\n"
                             "\r\n"
                             "[Zprava obnova]\r\n"
                             "Pozice 00=A\nB\r\n";
    ASSERT_TRUE(ApplyExport(text, m, e)) << e.Message;
    EXPECT_EQ(At(m, 0x0110, 240), Padded("Radek 1\r\nRadek 2 = s rovnitkem", 240));
    EXPECT_EQ(At(m, 0x0310, 240), Padded("Konci zalomenim\r\n", 240));
    EXPECT_EQ(At(m, 0x0510, 240), Padded("Posledni", 240));
    EXPECT_EQ(At(m, 0x0210, 240), Padded("A\nB", 240));
}

TEST(SimExport, WrittenFileReadsBackTheSame) {
    TSimMemory m;
    // Numbers and texts of every kind of place, multi-line and 8-bit texts among them.
    TExportError e;
    ASSERT_TRUE(ApplyExport("[Tel. cisla]\nCislo 03=123456789\nCislo 04=1234567890123456\n"
                            "[Zprava sepnuti]\nExpander 07 pozice 07=\xC8\x65sky text\n\xB9\x65st\n"
                            "[Zprava porucha]\nPozice 05=" +
                                std::string(240, 'x') + "\n",
                            m, e))
        << e.Message;
    m.Record()[0x0500] = 4; // a recipient byte put there directly
    const std::string first = FormatExport(m);
    TSimMemory again;
    ASSERT_TRUE(ApplyExport(first, again, e)) << e.Line << ": " << e.Message;
    EXPECT_EQ(FormatExport(again), first);
    EXPECT_EQ(At(again, 0x0030, 16), Padded("123456789", 16));
    EXPECT_EQ(At(again, 0x0040, 16), Padded("1234567890123456", 16));
    EXPECT_EQ(At(again, 0x0500, 1), TBytes{4});
    EXPECT_EQ(At(again, 0x0B10, 240), TBytes(240, 'x'));
    EXPECT_EQ(At(again, 0x8F10, 240), Padded("\xC8\x65sky text\n\xB9\x65st", 240)); // input 8/8
    // Erased numbers come back as empty ones (16 zero bytes), as the program writes them;
    // after that the memory is a fixed point of writing and reading.
    EXPECT_EQ(At(again, 0x0000, 16), TBytes(16, 0));
    TSimMemory third;
    ASSERT_TRUE(ApplyExport(FormatExport(again), third, e));
    EXPECT_TRUE(third == again);
}

TEST(SimExport, LayoutOfTheWrittenFile) {
    const std::string text = FormatExport(TSimMemory{});
    // 9 section lines and 16 + 2*128 + 2*8 + 2*1024 + 2*64 entries.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9 + 16 + 256 + 16 + 2048 + 128);
    EXPECT_EQ(text.rfind("[Tel. cisla]\nCislo 00=\nCislo 01=\n", 0), 0U);
    const char* order[] = {"[Tel. cisla]",      "[Porucha komunikace]", "[Obnova komunikace]",
                           "[Zprava porucha]",  "[Zprava obnova]",      "[Cisla sepnuti]",
                           "[Cisla rozpojeni]", "[Zprava sepnuti]",     "[Zprava rozpojeni]"};
    std::size_t at = 0;
    for (const char* section : order) {
        const std::size_t found = text.find(section);
        ASSERT_NE(found, std::string::npos) << section;
        EXPECT_GE(found, at) << section;
        at = found;
    }
    EXPECT_THAT(text, HasSubstr("\nExpander 07 pozice 15=255\n[Obnova komunikace]\n"));
    EXPECT_THAT(text, HasSubstr("\nExpander 07 vstup 07 pozice 15=255\n[Cisla rozpojeni]\n"));
    EXPECT_THAT(text, HasSubstr("[Zprava rozpojeni]\nExpander 00 pozice 00=\n"));
}

TEST(SimExport, WritingReadsMemoryTheWayTheProgramDoes) {
    TSimMemory m;
    // A number ends at 0 or 255; text areas skip 0 and 255 wherever they are.
    const TBytes phone{'1', '2', 0xFF, '3'};
    m.Write(TMemoryKind::ZAZNAM, 0x0020, phone);
    const TBytes text{'A', 0x00, 'B', 0xFF, 'C'};
    m.Write(TMemoryKind::ZAZNAM, 0x0110, text);
    m.Write(TMemoryKind::ZAZNAM, 0x01F0, TBytes{'Z'}); // last text block of the first half
    const std::string out = FormatExport(m);
    EXPECT_THAT(out, HasSubstr("\nCislo 02=12\n"));
    EXPECT_THAT(out, HasSubstr("[Zprava porucha]\nPozice 00=ABCZ\n"));
}

TEST(SimExport, MalformedTextsNameTheLine) {
    struct Case {
        std::string Text;
        int Line;
        const char* Says;
    };
    const Case cases[] = {
        {"[Tel. cisla]\nCislo 00=1\nCislo 16=2\n", 3, "out of range"},
        {"[Porucha komunikace]\nExpander 00 pozice 00=256\n", 2, "0..255"},
        {"[Porucha komunikace]\nExpander 00 pozice 00=abc\n", 2, "0..255"},
        {"[Porucha komunikace]\nExpander 00 pozice 00=\n", 2, "0..255"},
        {"[Porucha komunikace]\nExpander 08 pozice 00=1\n", 2, "out of range"},
        {"[Obnova komunikace]\n\nExpander 00 slot 00=1\n", 3, "unknown key"},
        {"[Obnova komunikace]\nbez rovnitka\n", 2, "key=value"},
        {"Cislo 00=1\n", 1, "outside any section"},
        {"; comment\n[Tel. cisla]\n[Neznama sekce]\n", 3, "unknown section"},
        {"[Tel. cisla]\nCislo 01=12345678901234567\n", 2, "longer than 16"},
        {"[Zprava porucha]\nPozice 00=" + std::string(241, 'y') + "\n", 2, "longer than 240"},
        {"[Zprava obnova]\nPozice 03=ab\xFF\n", 2, "255"},
        {"[Cisla sepnuti]\nExpander 00 pozice 00=1\n", 2, "unknown key"},
        {"[Cisla sepnuti]\nExpander 00 vstup 08 pozice 00=1\n", 2, "out of range"},
    };
    for (const Case& c : cases) {
        const TExportError e = ErrorOf(c.Text);
        EXPECT_EQ(e.Line, c.Line) << c.Text;
        EXPECT_THAT(e.Message, HasSubstr(c.Says)) << c.Text;
    }
}

TEST(SimExportFile, LoadAndSaveNameTheFile) {
    TempDir dir;
    const std::string bad = dir.File("bad.log");
    WriteFile(bad, "[Tel. cisla]\nCislo 00=1\n[Porucha komunikace]\nExpander 00 pozice 00=x\n");
    TSimMemory m;
    std::string error;
    EXPECT_FALSE(LoadExportFile(bad, m, error));
    EXPECT_EQ(error.rfind(bad + ":4: ", 0), 0U) << error;

    EXPECT_FALSE(LoadExportFile("/dev/zero", m, error)); // never ends
    EXPECT_THAT(error, HasSubstr("/dev/zero: cannot read: longer than"));
    EXPECT_FALSE(LoadExportFile(dir.File("missing.log"), m, error));
    EXPECT_THAT(error, HasSubstr("missing.log: cannot read"));

    const std::string good = dir.File("good.log");
    ASSERT_TRUE(SaveExportFile(good, m, error)) << error;
    EXPECT_EQ(ReadFile(good), FormatExport(m));
    EXPECT_FALSE(SaveExportFile(dir.File("no/such/dir.log"), m, error));
    EXPECT_THAT(error, HasSubstr("dir.log: cannot write"));
}

TEST(SimImage, RoundTripAndWrongSize) {
    TempDir dir;
    TSimMemory m;
    for (std::size_t i = 0; i < kMemorySize; ++i) {
        m.Record()[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    }
    std::string error;
    const std::string image = dir.File("mem.bin");
    ASSERT_TRUE(m.SaveImage(image, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(image), kMemorySize);
    TSimMemory loaded;
    ASSERT_TRUE(loaded.LoadImage(image, error)) << error;
    EXPECT_TRUE(loaded == m);

    const std::string small = dir.File("small.bin");
    WriteFile(small, std::string(65535, '\0'));
    EXPECT_FALSE(loaded.LoadImage(small, error));
    EXPECT_THAT(error, HasSubstr("small.bin"));
    EXPECT_THAT(error, HasSubstr("65535"));
    EXPECT_TRUE(loaded == m); // a refused image changes nothing
    WriteFile(small, std::string(65537, '\0'));
    EXPECT_FALSE(loaded.LoadImage(small, error));
    EXPECT_THAT(error, HasSubstr("65537"));
    EXPECT_FALSE(loaded.LoadImage(dir.File("none.bin"), error));
    EXPECT_FALSE(loaded.LoadImage(dir.path.string(), error)); // a directory
}

TEST(SimFiles, StartingMemoryLayersImageConfigAndIdentification) {
    TempDir dir;
    TSimMemory base;
    base.Record()[0x0000] = '9';
    base.Record()[0x0100] = 5;
    std::string error;
    ASSERT_TRUE(base.SaveImage(dir.File("in.bin"), error));
    WriteFile(dir.File("in.log"), "[Porucha komunikace]\nExpander 00 pozice 00=6\n");

    TSimOptions o;
    o.ImageIn = dir.File("in.bin");
    o.ConfigIn = dir.File("in.log");
    o.HwTyp = "TYP";
    o.ImageOut = dir.File("out.bin");
    o.ConfigOut = dir.File("out.log");
    TSimMemory m;
    ASSERT_TRUE(LoadStartingMemory(o, m, error)) << error;
    EXPECT_EQ(At(m, 0x0000, 1), TBytes{'9'}); // from the image
    EXPECT_EQ(At(m, 0x0100, 1), TBytes{6});   // the configuration wins
    EXPECT_EQ(m.Read(TMemoryKind::HWSW, 0x0C00, 16), Padded("TYP", 16));
    EXPECT_EQ(m.Read(TMemoryKind::HWSW, 0x0C10, 16), Padded("SW 1.00", 16));
    EXPECT_EQ(m.Read(TMemoryKind::HWSW, 0x0C20, 16), Padded("HW 1.0", 16));

    ASSERT_TRUE(SaveFinalMemory(o, m, error)) << error;
    TSimMemory back;
    ASSERT_TRUE(back.LoadImage(o.ImageOut, error));
    EXPECT_TRUE(std::equal(back.Record().begin(), back.Record().end(), m.Record().begin()));
    EXPECT_EQ(ReadFile(o.ConfigOut), FormatExport(m));

    o.ConfigIn = dir.File("absent.log");
    EXPECT_FALSE(LoadStartingMemory(o, m, error));
    EXPECT_THAT(error, HasSubstr("absent.log"));
}
