// Start-up, shutdown, norlink.ini and port selection, driven through a fake window and a fake
// serial port.

#include "FakeOkno.h"
#include "NoFileOverride.h"
#include "ScratchDir.h"
#include "okno/MainLogika.h"
#include "soubory/ProfileFile.h"
#include "stav/promenne.h"

#include "FakeSerialPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A poll from the communicator to the program.
constexpr std::array<std::uint8_t, 7> k_Vyzva{0xA5, 0x3F, 0x14, 0x80, 0x88, 0x00, 0x00};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class MainLogika : public ::testing::Test {
protected:
    ~MainLogika() override { fLogika.reset(); }

    // The logic as the window creates it, with the program's folder at instDir.
    TMainLogika& Create(std::string instDir = {}, std::string vypisKomunikace = {}) {
        if (instDir.empty()) {
            instDir = fInstDir;
        }
        TMainZavislosti deps;
        deps.SlozkaProgramu = [instDir] { return instDir; };
        deps.VytvorCasovac = [this] {
            auto timer = std::make_unique<TManualTimer>();
            fTimer = timer.get();
            return timer;
        };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        deps.VypisKomunikace = std::move(vypisKomunikace);
        fLogika = std::make_unique<TMainLogika>(fOkno, std::move(deps));
        return *fLogika;
    }
    TMainLogika& Start(std::string instDir = {}) {
        Create(std::move(instDir)).FormCreate();
        return *fLogika;
    }
    void Ini(const std::string& text) { WriteFile(IniPath(), text); }
    fs::path IniPath() const { return fDir / "norlink.ini"; }
    std::size_t Opens() const { return fLine->EventsOf(FakeEventKind::Open).size(); }

    TScratchDir fScratch{"norlink-main"};
    const fs::path fDir = fScratch.path();
    const std::string fInstDir = fDir.string() + "/";
    TFakeOkno fOkno;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    TManualTimer* fTimer = nullptr;
    std::unique_ptr<TMainLogika> fLogika;
};

TEST_F(MainLogika, StartWithoutIniOpensCom2At4800AndShowsOneExpander) {
    TMainLogika& logika = Start();

    EXPECT_EQ(fOkno.CaptionText, "NORLINK 0.9");
    EXPECT_EQ(VerzeSWPC, "0.9");
    EXPECT_EQ(InstDir, fInstDir);
    EXPECT_EQ(logika.fComPortNo, 2);
    EXPECT_EQ(logika.fComBaudRate, 4800);
    EXPECT_TRUE(fLine->IsOpen);
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS1");
    EXPECT_EQ(fLine->Settings.BaudRate, 4800U);
    EXPECT_TRUE(fOkno.Warnings.empty());
    EXPECT_EQ(fOkno.Ticks(), "01000000000");
    EXPECT_FALSE(fOkno.Menu.Polozka(11).Viditelna);

    EXPECT_EQ(fOkno.Spin, 1);
    EXPECT_THAT(fOkno.Items[TSeznam::Cmb_Expander], ElementsAre("Expander 1"));
    EXPECT_EQ(fOkno.ItemIndex(TSeznam::Cmb_Expander), 0);
    ASSERT_EQ(fOkno.ItemCount(TSeznam::Cmb_Vstup), 8);
    EXPECT_EQ(fOkno.ItemText(TSeznam::Cmb_Vstup, 0), "Vstup 1");
    EXPECT_EQ(fOkno.ItemText(TSeznam::Cmb_Vstup, 7), "Vstup 8");
    EXPECT_EQ(fOkno.ItemIndex(TSeznam::Cmb_Vstup), 0);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 0, k + 1), std::to_string(k));
    }

    // Every recipient slot empty, shown as empty cells; the working image equals the device's.
    EXPECT_EQ(NORLINKRec.TelCislaPoruchaKom[0][0], 255);
    EXPECT_EQ(NORLINKRec.TelCislaRozpojeni[7][7][15], 255);
    EXPECT_TRUE(NORLINKRecNew == NORLINKRec);
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 2; ++c) {
            EXPECT_TRUE(fOkno.Cells.contains({TMrizka::Hg_Komunikace, c, r}));
            EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Komunikace, c, r), "");
            EXPECT_TRUE(fOkno.Cells.contains({TMrizka::Hg_Vstupy, c, r}));
        }
    }
    for (const TMemo memo :
         {TMemo::Mem_Porucha, TMemo::Mem_Obnova, TMemo::Mem_Sepnuti, TMemo::Mem_Rozpojeni}) {
        EXPECT_EQ(fOkno.MemoMax[memo], 160);
        EXPECT_TRUE(fOkno.Memos.contains(memo));
    }

    EXPECT_TRUE(fOkno.Enabled(TOvladac::Btn_NactiTelCisla));
    for (const TOvladac off :
         {TOvladac::Hg_PhoneNumbers, TOvladac::Btn_ZapisTelCisla, TOvladac::Btn_ZapisNastaveni,
          TOvladac::Btn_NactiExpandery, TOvladac::Btn_NactiAktualni, TOvladac::Btn_reset}) {
        EXPECT_FALSE(fOkno.Enabled(off)) << static_cast<int>(off);
    }
    EXPECT_EQ(Komunikace, logika.Link());
    EXPECT_EQ(ComLog, logika.Log());
    EXPECT_FALSE(fs::exists(IniPath())) << "start-up writes nothing";

    logika.FormClose();
    EXPECT_EQ(ReadFile(IniPath()), "[ComPort]\nProgram=1\n");
    EXPECT_FALSE(fLine->IsOpen);
    EXPECT_EQ(Komunikace, nullptr);
    EXPECT_EQ(ComLog, nullptr);
    EXPECT_TRUE(fOkno.Errors.empty());
}

TEST_F(MainLogika, SettingsAreReadFromTheIni) {
    Ini("[ComPort]\nCislo=5\nRychlost=0x2580\nProgram=3\n");
    TMainLogika& logika = Start();
    EXPECT_EQ(logika.fComPortNo, 5);
    EXPECT_EQ(logika.fComBaudRate, 9600);
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS4");
    EXPECT_EQ(fLine->Settings.BaudRate, 9600U);
    EXPECT_EQ(fOkno.Ticks(), "00001000000");
    EXPECT_THAT(fOkno.Items[TSeznam::Cmb_Expander],
                ElementsAre("Expander 1", "Expander 2", "Expander 3"));
}

TEST_F(MainLogika, KeysThatAreNoIntegersTakeTheirDefaults) {
    Ini("[ComPort]\nCislo=tri\nRychlost=\nProgram=2x\n");
    TMainLogika& logika = Start();
    EXPECT_EQ(logika.fComPortNo, 2);
    EXPECT_EQ(logika.fComBaudRate, 4800);
    EXPECT_EQ(fOkno.Spin, 1);
}

TEST_F(MainLogika, ExpanderCountIsKeptWithinOneToEight) {
    for (const auto& [stored, shown] : {std::pair{0, 1}, {9, 8}, {-4, 1}, {8, 8}}) {
        Ini("[ComPort]\nProgram=" + std::to_string(stored) + "\n");
        TFakeOkno okno;
        TMainZavislosti deps;
        deps.SlozkaProgramu = [this] { return fInstDir; };
        deps.VytvorCasovac = [] { return std::make_unique<TManualTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        TMainLogika logika(okno, std::move(deps));
        logika.FormCreate();
        EXPECT_EQ(okno.Spin, shown) << stored;
        EXPECT_EQ(okno.ItemCount(TSeznam::Cmb_Expander), shown) << stored;
        logika.FormClose();
        EXPECT_THAT(ReadFile(IniPath()), HasSubstr("Program=" + std::to_string(shown)));
    }
}

TEST_F(MainLogika, PortTwelveAtStartShowsTheExtraItem) {
    Ini("[ComPort]\nCislo=12\n");
    Start();
    const TPolozkaPortu& jiny = fOkno.Menu.Polozka(11);
    EXPECT_TRUE(jiny.Viditelna);
    EXPECT_TRUE(jiny.Zaskrtnuta);
    EXPECT_EQ(jiny.Titulek, "COM 12");
    EXPECT_EQ(jiny.Tag, 12);
    EXPECT_EQ(fOkno.Ticks(), "00000000001");
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS11");
}

TEST_F(MainLogika, PortSectionMapsComNumbersToDevices) {
    Ini("[ComPort]\nCislo=3\n[Porty]\ncom3 = /dev/ttyUSB7\nCOM4=/dev/other\nCOMx=/bad\nPort=1\n");
    TMainLogika& logika = Start();
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyUSB7");
    EXPECT_EQ(logika.PortMap(), (TPortMap{{3, "/dev/ttyUSB7"}, {4, "/dev/other"}}));
}

TEST_F(MainLogika, UnopenablePortIsReportedWithDeviceAndReasonAndStartGoesOn) {
    const std::string missing = fDir.string() + "/no-such-tty";
    Ini("[Porty]\nCOM2=" + missing + "\n");
    fLine->FailOpen = true;
    fLine->FailReason = "No such file or directory";
    TMainLogika& logika = Start();

    ASSERT_EQ(fOkno.Warnings.size(), 1U);
    EXPECT_EQ(fOkno.Warnings[0].Text, "Daný sériový port neexistuje nebo se právě používá !");
    EXPECT_THAT(fOkno.Warnings[0].Detail, HasSubstr(missing));
    EXPECT_THAT(fOkno.Warnings[0].Detail, HasSubstr("No such file or directory"));
    EXPECT_THAT(fOkno.Warnings[0].Detail, HasSubstr("[Porty]"));
    // The number stays, named in the status bar, and the rest of start-up ran; no item is ticked
    // and the lamp is grey.
    EXPECT_EQ(logika.fComPortNo, 2);
    EXPECT_EQ(fOkno.PanelText(0), "COM2 – nepřipojeno");
    EXPECT_EQ(fOkno.Ticks(), "00000000000");
    EXPECT_FALSE(fOkno.LedAktivni);
    EXPECT_EQ(fOkno.ItemCount(TSeznam::Cmb_Vstup), 8);
    EXPECT_EQ(fOkno.MemoMax[TMemo::Mem_Rozpojeni], 160);

    // A read refuses at once, and queues nothing.
    logika.Btn_NactiTelCislaClick();
    ASSERT_EQ(fOkno.Warnings.size(), 2U);
    EXPECT_EQ(fOkno.Warnings[1].Text, R_PortNeotevren);
    EXPECT_FALSE(logika.BeziOperace());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_EQ(logika.Link()->PocetZaznamuFronty(), 0U);

    // Choosing the same port again tries it anew without the question, and names its device.
    fLine->FailOpen = false;
    logika.cmCOM1Click(2);
    EXPECT_TRUE(fOkno.Questions.empty());
    EXPECT_EQ(fOkno.Ticks(), "01000000000");
    EXPECT_EQ(fOkno.PanelText(0), "COM2 – " + missing);
    EXPECT_TRUE(fOkno.LedAktivni);
}

TEST_F(MainLogika, PortWithoutDeviceNamesTheSettingThatGivesOne) {
    Ini("[ComPort]\nCislo=0\n");
    Start();
    ASSERT_EQ(fOkno.Warnings.size(), 1U);
    EXPECT_THAT(fOkno.Warnings[0].Detail, HasSubstr("COM0"));
    EXPECT_THAT(fOkno.Warnings[0].Detail, HasSubstr("[Porty]"));
    EXPECT_EQ(fOkno.Menu.Polozka(11).Titulek, "COM 0");
    EXPECT_EQ(Opens(), 0U) << "no device was tried";
}

TEST_F(MainLogika, BusyPortIsReportedFromTheDriversCategory) {
    fLine->FailOpen = true;
    fLine->FailReason = "Port právě používá jiný program";
    fLine->FailKind = TChybaPortu::Obsazen;
    Start();
    ASSERT_EQ(fOkno.Warnings.size(), 1U);
    EXPECT_THAT(fOkno.Warnings[0].Detail,
                AllOf(HasSubstr("jiný program"), HasSubstr("ModemManager")));
}

TEST_F(MainLogika, PortSectionPathsAreTakenFromTheProgramsFolder) {
    struct Case {
        std::string Value;
        std::string Opened; // empty: no device was tried
    };
    const Case cases[] = {
        {"simport", fInstDir + "simport"},
        {"./sim/pty", fInstDir + "./sim/pty"},
        {"/dev/ttyUSB3", "/dev/ttyUSB3"},
        {"", ""},
        {"\"\"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        Ini("[Porty]\nCOM2=" + c.Value + "\n");
        fLine = std::make_shared<FakeLine>();
        fOkno = TFakeOkno();
        Start();
        if (c.Opened.empty()) {
            // The port is named as empty, not quietly opened as /dev/ttyS1.
            EXPECT_EQ(Opens(), 0U);
            ASSERT_EQ(fOkno.Warnings.size(), 1U);
            EXPECT_THAT(fOkno.Warnings[0].Detail, HasSubstr("prázdná položka COM2="));
        } else {
            EXPECT_EQ(fLine->OpenedPath, c.Opened);
            EXPECT_TRUE(fOkno.Warnings.empty());
        }
        fLogika.reset();
    }
}

TEST_F(MainLogika, UnreadableIniIsReportedAndNeverOverwritten) {
    const std::string held = "[ComPort]\nCislo=5\nProgram=4\n[Porty]\nCOM5=/dev/ttyUSB0\n";
    struct Case {
        const char* Name;
        std::function<void()> Make;
        const char* Reason;
    };
    const Case cases[] = {
        {"no read permission",
         [&] {
             Ini(held);
             ::chmod(IniPath().c_str(), 0);
         },
         "chybí oprávnění ke čtení"},
        // Sparse: refused by its size, before anything is read.
        {"100 MB",
         [&] {
             Ini(held);
             fs::resize_file(IniPath(), 100 * 1024 * 1024);
         },
         "větší než 1 MB"},
        {"a folder", [&] { fs::create_directory(IniPath()); }, "složka"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Make();
        const auto size = fs::is_regular_file(IniPath()) ? fs::file_size(IniPath()) : 0;
        fOkno = TFakeOkno();
        {
            const TNoFileOverride asUser;
            ASSERT_TRUE(asUser.Active());
            TMainLogika& logika = Start();
            ASSERT_EQ(fOkno.Warnings.size(), 1U);
            EXPECT_EQ(fOkno.Warnings[0].Text,
                      "Soubor nastavení nelze přečíst, program použije výchozí nastavení.");
            EXPECT_THAT(fOkno.Warnings[0].Detail,
                        AllOf(HasSubstr(IniPath().string()), HasSubstr(c.Reason)));
            EXPECT_EQ(logika.fComPortNo, 2);
            EXPECT_EQ(fOkno.Spin, 1);
            logika.FormClose();
            EXPECT_TRUE(fOkno.Errors.empty()) << fOkno.Errors[0];
        }
        if (size != 0) {
            EXPECT_EQ(fs::file_size(IniPath()), size);
            EXPECT_EQ(ReadFile(IniPath()).substr(0, held.size()), held);
        } else {
            EXPECT_TRUE(fs::is_directory(IniPath()));
        }
        fs::remove_all(IniPath());
        fLogika.reset();
    }
}

TEST_F(MainLogika, ClickingTheTickedPortAsksNothing) {
    TMainLogika& logika = Start();
    const std::size_t opens = Opens();
    logika.cmCOM1Click(2);
    EXPECT_TRUE(fOkno.Questions.empty());
    EXPECT_EQ(Opens(), opens);
    EXPECT_FALSE(fs::exists(IniPath()));
}

TEST_F(MainLogika, AnsweringNoLeavesPortMenuAndFileAlone) {
    Ini("[ComPort]\nCislo=2\n");
    TMainLogika& logika = Start();
    const std::size_t opens = Opens();
    fOkno.Answers = {false};
    logika.cmCOM1Click(5);
    EXPECT_THAT(fOkno.Questions, ElementsAre("Chcete opravdu změnit komunikační port?"));
    EXPECT_EQ(logika.fComPortNo, 2);
    EXPECT_EQ(fOkno.Ticks(), "01000000000");
    EXPECT_EQ(ReadFile(IniPath()), "[ComPort]\nCislo=2\n");
    EXPECT_EQ(Opens(), opens);
}

TEST_F(MainLogika, AnsweringYesSwitchesStoresAndReconnects) {
    TMainLogika& logika = Start();
    fOkno.Answers = {true};
    logika.cmCOM1Click(5);
    EXPECT_EQ(logika.fComPortNo, 5);
    EXPECT_EQ(fOkno.Ticks(), "00001000000");
    EXPECT_EQ(ReadFile(IniPath()), "[ComPort]\nCislo=5\n");
    EXPECT_TRUE(fLine->IsOpen);
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS4");
    EXPECT_EQ(logika.ZjistiZvolenyComPort(), 5);
}

TEST_F(MainLogika, OtherPortDialog) {
    struct Case {
        std::optional<std::string> Input;
        int Port;
        std::string Ticks;
        bool ExtraShown;
    };
    const Case cases[] = {
        {"0", 1, "10000000001", false},    {"abc", 1, "10000000001", false},
        {"300", 256, "00000000000", true}, {"12.7", 12, "00000000001", true},
        {"7", 7, "00000010001", false},    {"-3", 1, "10000000001", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(*c.Input);
        fs::remove(IniPath());
        TFakeOkno okno;
        TMainZavislosti deps;
        deps.SlozkaProgramu = [this] { return fInstDir; };
        deps.VytvorCasovac = [] { return std::make_unique<TManualTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        TMainLogika logika(okno, std::move(deps));
        logika.FormCreate();
        okno.Answers = {true};
        okno.Inputs = {c.Input};
        logika.cmJinyCOMportClick();
        ASSERT_EQ(okno.Queries.size(), 1U);
        EXPECT_EQ(okno.Queries[0], std::make_tuple("Číslo COM portu", "COM port:", ""));
        EXPECT_EQ(logika.fComPortNo, c.Port);
        EXPECT_EQ(okno.Ticks(), c.Ticks);
        EXPECT_EQ(okno.Menu.Polozka(11).Viditelna, c.ExtraShown);
        EXPECT_EQ(okno.Menu.Polozka(11).Tag, c.Port);
        if (c.ExtraShown) {
            EXPECT_EQ(okno.Menu.Polozka(11).Titulek, "COM " + std::to_string(c.Port));
        }
        EXPECT_EQ(ReadFile(IniPath()), "[ComPort]\nCislo=" + std::to_string(c.Port) + "\n");
    }
    EXPECT_EQ(Komunikace, nullptr) << "the logic's end leaves no dangling global";
}

TEST_F(MainLogika, OtherPortDialogCancelledOrDeclinedChangesNothing) {
    TMainLogika& logika = Start();
    fOkno.Answers = {false};
    logika.cmJinyCOMportClick();
    EXPECT_TRUE(fOkno.Queries.empty());

    fOkno.Answers = {true};
    fOkno.Inputs = {std::nullopt};
    logika.cmJinyCOMportClick();
    EXPECT_EQ(fOkno.Queries.size(), 1U);
    EXPECT_EQ(logika.fComPortNo, 2);
    EXPECT_EQ(fOkno.Ticks(), "01000000000");
    EXPECT_FALSE(fOkno.Menu.Polozka(11).Viditelna);
    EXPECT_FALSE(fs::exists(IniPath()));
}

TEST_F(MainLogika, PortOutsideTheRadioGroupLeavesNoRadioItemTicked) {
    Ini("[ComPort]\nCislo=3\n");
    TMainLogika& logika = Start();
    fOkno.Answers = {true};
    fOkno.Inputs = {"12"};
    logika.cmJinyCOMportClick();
    EXPECT_EQ(fOkno.Ticks(), "00000000001");
    // COM 3 can be chosen again.
    fOkno.Answers = {true};
    logika.cmCOM1Click(3);
    EXPECT_EQ(fOkno.Questions.size(), 2U);
    EXPECT_EQ(logika.fComPortNo, 3);
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS2");
    EXPECT_FALSE(fOkno.Menu.Polozka(11).Viditelna);
}

TEST_F(MainLogika, PortZeroUsesThePortSectionForCom0) {
    Ini("[Porty]\nCOM0=/dev/for-256\n");
    TMainLogika& logika = Start();
    fOkno.Answers = {true};
    fOkno.Inputs = {"256"};
    logika.cmJinyCOMportClick();
    EXPECT_EQ(logika.Link()->Com().PortName(), "\\\\.\\COM0");
    EXPECT_EQ(fLine->OpenedPath, "/dev/for-256");
}

TEST_F(MainLogika, UnwritableIniStopsThePortChangeAndDoesNotStopTheClose) {
    // A file where the program's folder should be: nothing can be written below it.
    WriteFile(fDir / "blocker", "");
    TMainLogika& logika = Start((fDir / "blocker").string() + "/");
    const std::size_t opens = Opens();
    fOkno.Answers = {true};
    logika.cmCOM1Click(5);
    ASSERT_EQ(fOkno.Errors.size(), 1U);
    EXPECT_THAT(fOkno.Errors[0], HasSubstr("Unable to write to"));
    EXPECT_THAT(fOkno.Errors[0], HasSubstr("norlink.ini"));
    // The number is taken and ticked, the link is not reconfigured.
    EXPECT_EQ(logika.fComPortNo, 5);
    EXPECT_EQ(fOkno.Ticks(), "00001000000");
    EXPECT_EQ(Opens(), opens);
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS1");

    logika.FormClose();
    ASSERT_EQ(fOkno.Errors.size(), 2U);
    EXPECT_THAT(fOkno.Errors[1], HasSubstr("Unable to write to"));
    EXPECT_FALSE(fLine->IsOpen);
    EXPECT_EQ(Komunikace, nullptr);
    EXPECT_EQ(ComLog, nullptr);
    logika.FormClose(); // a second close does nothing
    EXPECT_EQ(fOkno.Errors.size(), 2U);
}

TEST_F(MainLogika, CommunicationLogGoesToTheDiagnosticFileAtClose) {
    const fs::path dump = fDir / "comlog.txt";
    TMainLogika& logika = Create({}, dump.string());
    logika.FormCreate();
    fLine->Feed(k_Vyzva);
    fTimer->Pump();
    std::vector<std::uint8_t> bad(k_Vyzva.begin(), k_Vyzva.end());
    bad[4] ^= 0x01; // header checksum
    fLine->Feed(bad);
    fTimer->Pump();
    EXPECT_FALSE(fs::exists(dump)) << "written at close only";
    logika.FormClose();

    const std::string text = ReadFile(dump);
    const auto poll = text.find("Prisla vyzva");
    const auto crc = text.find("Vadné CRC hlavicky,TLG zahozen");
    ASSERT_NE(poll, std::string::npos) << text;
    ASSERT_NE(crc, std::string::npos) << text;
    EXPECT_LT(poll, crc) << "oldest first";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
}

TEST_F(MainLogika, ZjistiZvolenyComPortTakesTheFirstTickedTag) {
    TMainLogika& logika = Create();
    EXPECT_EQ(logika.ZjistiZvolenyComPort(), 1) << "nothing ticked";
    Ini("[ComPort]\nCislo=9\n");
    logika.FormCreate();
    EXPECT_EQ(logika.ZjistiZvolenyComPort(), 9);
}

TEST(PortMenu, RadioItemsExcludeEachOtherAndTheExtraItemStandsApart) {
    TPortMenu menu;
    EXPECT_EQ(menu.Polozka(1).Titulek, "COM 1");
    EXPECT_EQ(menu.Polozka(10).Tag, 10);
    EXPECT_EQ(menu.Polozka(11).Titulek, "COM xx");
    EXPECT_EQ(menu.Polozka(11).Tag, 11);
    menu.Zaskrtni(4);
    menu.Zaskrtni(11);
    EXPECT_TRUE(menu.Polozka(4).Zaskrtnuta);
    EXPECT_TRUE(menu.Polozka(11).Zaskrtnuta);
    menu.Zaskrtni(6);
    EXPECT_FALSE(menu.Polozka(4).Zaskrtnuta);
    EXPECT_TRUE(menu.Polozka(6).Zaskrtnuta);
    EXPECT_TRUE(menu.Polozka(11).Zaskrtnuta) << "nothing unticks the extra item";
    menu.Zaskrtni(0);
    menu.Zaskrtni(12);
    EXPECT_FALSE(TPortMenu::JePolozka(0));
    EXPECT_FALSE(TPortMenu::JePolozka(12));
}

TEST(ZobrazOdkaz, ShowsSlotsZeroToFifteenAndNothingElse) {
    EXPECT_EQ(ZobrazOdkaz(0), "0");
    EXPECT_EQ(ZobrazOdkaz(15), "15");
    EXPECT_EQ(ZobrazOdkaz(16), "");
    EXPECT_EQ(ZobrazOdkaz(0x20), "");
    EXPECT_EQ(ZobrazOdkaz(255), "");
}

} // namespace
