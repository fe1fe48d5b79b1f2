// Start-up, shutdown, norlink.ini and port selection, driven through a fake window and a fake
// serial port.

#include "LogikaRig.h"
#include "NoFileOverride.h"
#include "soubory/ProfileFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// The program's folder is the scratch folder unless a test gives another.
class MainLogika : public TLogikaRig {
protected:
    void Ini(const std::string& text) { WriteFile(IniPath(), text); }
    fs::path IniPath() const { return fDir / "norlink.ini"; }
    std::size_t Opens() const { return fLine->EventsOf(FakeEventKind::Open).size(); }
    // A new window and port, no norlink.ini unless the test writes one.
    void Znovu() {
        fLogika.reset();
        fs::remove(IniPath());
        fOkno = TFakeOkno();
        fLine = std::make_shared<FakeLine>();
    }
};

TEST_F(MainLogika, StartWithoutIniOpensCom2At4800AndShowsOneExpander) {
    TMainLogika& logika = Spust();

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
    EXPECT_EQ(Soubor(IniPath()), "[ComPort]\nProgram=1\n");
    EXPECT_FALSE(fLine->IsOpen);
    EXPECT_EQ(Komunikace, nullptr);
    EXPECT_EQ(ComLog, nullptr);
    EXPECT_TRUE(fOkno.Errors.empty());
}

TEST_F(MainLogika, SettingsAreReadFromTheIni) {
    Ini("[ComPort]\nCislo=5\nRychlost=0x2580\nProgram=3\n");
    TMainLogika& logika = Spust();
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
    TMainLogika& logika = Spust();
    EXPECT_EQ(logika.fComPortNo, 2);
    EXPECT_EQ(logika.fComBaudRate, 4800);
    EXPECT_EQ(fOkno.Spin, 1);
}

TEST_F(MainLogika, ExpanderCountIsKeptWithinOneToEight) {
    for (const auto& [stored, shown] : {std::pair{0, 1}, {9, 8}, {-4, 1}, {8, 8}}) {
        Znovu();
        Ini("[ComPort]\nProgram=" + std::to_string(stored) + "\n");
        TMainLogika& logika = Spust();
        EXPECT_EQ(fOkno.Spin, shown) << stored;
        EXPECT_EQ(fOkno.ItemCount(TSeznam::Cmb_Expander), shown) << stored;
        logika.FormClose();
        EXPECT_THAT(Soubor(IniPath()), HasSubstr("Program=" + std::to_string(shown)));
    }
}

TEST_F(MainLogika, PortTwelveAtStartShowsTheExtraItem) {
    Ini("[ComPort]\nCislo=12\n");
    Spust();
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
    TMainLogika& logika = Spust();
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyUSB7");
    EXPECT_EQ(logika.PortMap(), (TPortMap{{3, "/dev/ttyUSB7"}, {4, "/dev/other"}}));
}

TEST_F(MainLogika, UnopenablePortIsReportedWithDeviceAndReasonAndStartGoesOn) {
    const std::string missing = fDir.string() + "/no-such-tty";
    Ini("[Porty]\nCOM2=" + missing + "\n");
    fLine->FailOpen = true;
    fLine->FailReason = "No such file or directory";
    TMainLogika& logika = Spust();

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
    Spust();
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
    Spust();
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
        Znovu();
        Ini("[Porty]\nCOM2=" + c.Value + "\n");
        Spust();
        if (c.Opened.empty()) {
            // The port is named as empty, not quietly opened as /dev/ttyS1.
            EXPECT_EQ(Opens(), 0U);
            ASSERT_EQ(fOkno.Warnings.size(), 1U);
            EXPECT_THAT(fOkno.Warnings[0].Detail, HasSubstr("prázdná položka COM2="));
        } else {
            EXPECT_EQ(fLine->OpenedPath, c.Opened);
            EXPECT_TRUE(fOkno.Warnings.empty());
        }
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
        Znovu();
        c.Make();
        const auto size = fs::is_regular_file(IniPath()) ? fs::file_size(IniPath()) : 0;
        {
            const TNoFileOverride asUser;
            ASSERT_TRUE(asUser.Active());
            TMainLogika& logika = Spust();
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
            EXPECT_EQ(Soubor(IniPath()).substr(0, held.size()), held);
        } else {
            EXPECT_TRUE(fs::is_directory(IniPath()));
        }
    }
}

// Only a yes to the question switches the port, stores it and reconnects.
TEST_F(MainLogika, ChoosingAnotherPortAsksFirst) {
    struct Case {
        const char* Name;
        const char* IniBefore; // nullptr: none
        std::deque<bool> Answers;
        int Click;
        bool Asked;
        int Port;
        const char* Ticks;
        const char* IniAfter; // nullptr: none
        std::size_t NewOpens;
        const char* Opened;
    };
    const char* const com2 = "[ComPort]\nCislo=2\n";
    const Case cases[] = {
        {"ticked", nullptr, {}, 2, false, 2, "01000000000", nullptr, 0, "/dev/ttyS1"},
        {"no", com2, {false}, 5, true, 2, "01000000000", com2, 0, "/dev/ttyS1"},
        {"yes",
         nullptr,
         {true},
         5,
         true,
         5,
         "00001000000",
         "[ComPort]\nCislo=5\n",
         1,
         "/dev/ttyS4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Znovu();
        if (c.IniBefore != nullptr) {
            Ini(c.IniBefore);
        }
        TMainLogika& logika = Spust();
        const std::size_t opens = Opens();
        fOkno.Answers = c.Answers;
        logika.cmCOM1Click(c.Click);
        EXPECT_EQ(fOkno.Questions, c.Asked ? std::vector<std::string>{"Chcete opravdu změnit "
                                                                      "komunikační port?"}
                                           : std::vector<std::string>{});
        EXPECT_EQ(logika.fComPortNo, c.Port);
        EXPECT_EQ(logika.ZjistiZvolenyComPort(), c.Port);
        EXPECT_EQ(fOkno.Ticks(), c.Ticks);
        if (c.IniAfter != nullptr) {
            EXPECT_EQ(Soubor(IniPath()), c.IniAfter);
        } else {
            EXPECT_FALSE(fs::exists(IniPath()));
        }
        EXPECT_EQ(Opens(), opens + c.NewOpens);
        EXPECT_TRUE(fLine->IsOpen);
        EXPECT_EQ(fLine->OpenedPath, c.Opened);
    }
}

// The direction mode of norlink.ini is used when the port opens; one the adapter refuses is said
// with the mode used instead; one chosen in the menu is stored and used at once.
TEST_F(MainLogika, DirectionModeComesFromTheIniAndTheMenu) {
    Ini("[ComPort]\nSmer=RS485\n");
    fLine->RefuseRs485 = true;
    TMainLogika& logika = Spust();
    ASSERT_EQ(fOkno.Warnings.size(), 1u);
    EXPECT_EQ(fOkno.Warnings[0].Text, "Převodník nepřijal zvolené řízení směru linky.");
    EXPECT_NE(fOkno.Warnings[0].Detail.find("DTR"), std::string::npos);
    EXPECT_EQ(logika.Link()->Com().UcinnySmer(), TSmer::DTR);
    EXPECT_EQ(logika.PortMenu().Smer, TSmer::RS485);

    logika.cmSmerClick(TSmer::RTS);
    EXPECT_EQ(Soubor(IniPath()), "[ComPort]\nSmer=RTS\n");
    EXPECT_EQ(logika.Link()->Com().UcinnySmer(), TSmer::RTS);
    EXPECT_EQ(fOkno.Menu.Smer, TSmer::RTS);
    EXPECT_EQ(fOkno.Warnings.size(), 1u);
    EXPECT_TRUE(fLine->IsOpen);
}

// What the dialog gives is the port; a declined question or a cancelled dialog changes nothing.
TEST_F(MainLogika, OtherPortDialog) {
    struct Case {
        const char* Name;
        const char* IniBefore; // nullptr: none
        bool Answer;
        std::optional<std::string> Input;
        int Port;
        std::string Ticks;
        bool ExtraShown;
        const char* Opened; // nullptr: not checked
    };
    const Case cases[] = {
        {"0", nullptr, true, "0", 1, "10000000001", false, nullptr},
        {"abc", nullptr, true, "abc", 1, "10000000001", false, nullptr},
        {"300", nullptr, true, "300", 256, "00000000000", true, nullptr},
        {"12.7", nullptr, true, "12.7", 12, "00000000001", true, nullptr},
        {"7", nullptr, true, "7", 7, "00000010001", false, nullptr},
        {"-3", nullptr, true, "-3", 1, "10000000001", false, nullptr},
        {"declined", nullptr, false, "5", 2, "01000000000", false, "/dev/ttyS1"},
        {"cancelled", nullptr, true, std::nullopt, 2, "01000000000", false, "/dev/ttyS1"},
        // Port 256 is COM0, and takes the port section's device for COM0.
        {"256", "[Porty]\nCOM0=/dev/for-256\n", true, "256", 256, "00000000001", true,
         "/dev/for-256"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Znovu();
        if (c.IniBefore != nullptr) {
            Ini(c.IniBefore);
        }
        TMainLogika& logika = Spust();
        fOkno.Answers = {c.Answer};
        fOkno.Inputs = {c.Input};
        logika.cmJinyCOMportClick();
        if (c.Answer) {
            ASSERT_EQ(fOkno.Queries.size(), 1U);
            EXPECT_EQ(fOkno.Queries[0], std::make_tuple("Číslo COM portu", "COM port:", ""));
        } else {
            EXPECT_TRUE(fOkno.Queries.empty());
        }
        EXPECT_EQ(logika.fComPortNo, c.Port);
        EXPECT_EQ(fOkno.Ticks(), c.Ticks);
        EXPECT_EQ(fOkno.Menu.Polozka(11).Viditelna, c.ExtraShown);
        EXPECT_EQ(logika.Link()->Com().PortName(), "\\\\.\\COM" + std::to_string(c.Port % 256));
        if (c.Opened != nullptr) {
            EXPECT_EQ(fLine->OpenedPath, c.Opened);
        }
        if (c.ExtraShown) {
            EXPECT_EQ(fOkno.Menu.Polozka(11).Titulek, "COM " + std::to_string(c.Port));
        }
        if (c.Port == 2) {
            EXPECT_FALSE(fs::exists(IniPath()));
            continue;
        }
        EXPECT_EQ(fOkno.Menu.Polozka(11).Tag, c.Port);
        if (c.IniBefore == nullptr) {
            EXPECT_EQ(Soubor(IniPath()), "[ComPort]\nCislo=" + std::to_string(c.Port) + "\n");
        }
    }
    fLogika.reset();
    EXPECT_EQ(Komunikace, nullptr) << "the logic's end leaves no dangling global";
}

TEST_F(MainLogika, PortOutsideTheRadioGroupLeavesNoRadioItemTicked) {
    Ini("[ComPort]\nCislo=3\n");
    TMainLogika& logika = Spust();
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

TEST_F(MainLogika, UnwritableIniStopsThePortChangeAndDoesNotStopTheClose) {
    // A file where the program's folder should be: nothing can be written below it.
    WriteFile(fDir / "blocker", "");
    TMainLogika& logika = Spust((fDir / "blocker").string() + "/");
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
    TMainLogika& logika = Vytvor({}, dump.string());
    logika.FormCreate();
    Prijmi(prijem_test::Poll());
    TBajty bad = prijem_test::Poll();
    bad[4] ^= 0x01; // header checksum
    Prijmi(bad);
    EXPECT_FALSE(fs::exists(dump)) << "written at close only";
    logika.FormClose();

    const std::string text = Soubor(dump);
    const auto poll = text.find("Prisla vyzva");
    const auto crc = text.find("Vadné CRC hlavicky,TLG zahozen");
    ASSERT_NE(poll, std::string::npos) << text;
    ASSERT_NE(crc, std::string::npos) << text;
    EXPECT_LT(poll, crc) << "oldest first";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
}

TEST_F(MainLogika, ZjistiZvolenyComPortTakesTheFirstTickedTag) {
    TMainLogika& logika = Vytvor();
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
