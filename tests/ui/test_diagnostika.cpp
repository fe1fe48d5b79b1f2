// The diagnostics of the real window: the communication log window follows the log while polls
// come, saves and empties it; the port menu lists the serial devices present and maps the COM
// number to the one chosen.

#include "Main.h"
#include "ProgramRun.h"
#include "QtTimer.h"
#include "UkonceniSignalem.h"
#include "stav/promenne.h"

#include "FakeSerialPort.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <filesystem>

namespace {

using namespace program_run;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

constexpr std::array<std::uint8_t, 7> k_Vyzva{0xA5, 0x3F, 0x14, 0x80, 0x88, 0x00, 0x00};

class TTestFrm : public TFrm_Main {
public:
    using TFrm_Main::TFrm_Main;
    void Varovani(const std::string& text, const std::string&) override { Boxes.push_back(text); }
    void Chyba(const std::string& text) override { Boxes.push_back(text); }
    bool OtazkaAnoNe(const std::string&, TVychoziOdpoved) override {
        const bool answer = !Answers.empty() && Answers.front();
        if (!Answers.empty()) {
            Answers.pop_front();
        }
        return answer;
    }
    std::vector<std::string> Boxes;
    std::deque<bool> Answers;
};

class TTestLog : public TKomunikacniLog {
public:
    using TKomunikacniLog::TKomunikacniLog;
    std::optional<QString> Soubor;

protected:
    std::optional<QString> VyberSoubor() override { return Soubor; }
};

class Diagnostika : public ::testing::Test {
protected:
    Diagnostika() {
        // One USB adapter, seen as the system shows it.
        const fs::path r = fRoot.Path();
        const fs::path usb = r / "sys/devices/usb1/1-2";
        fs::create_directories(usb / "1-2:1.0/ttyUSB0");
        WriteFile(usb / "idVendor", "0403\n");
        WriteFile(usb / "manufacturer", "FTDI\n");
        WriteFile(usb / "product", "FT232R USB UART\n");
        fs::create_directories(r / "sys/class/tty/ttyUSB0");
        fs::create_directory_symlink(usb / "1-2:1.0/ttyUSB0", r / "sys/class/tty/ttyUSB0/device");
        fs::create_directories(r / "dev/serial/by-id");
        WriteFile(r / "dev/ttyUSB0", "");
        fs::create_symlink("../../ttyUSB0", r / "dev/serial/by-id/usb-FTDI_FT232R_X-if00-port0");

        TMainZavislosti deps;
        deps.SlozkaProgramu = [dir = fDir.Path().string() + "/"] { return dir; };
        deps.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        deps.KorenZarizeni = r.string();
        fFrm = std::make_unique<TTestFrm>(std::move(deps));
        fFrm->FormCreate();
        fFrm->VytvorInfoForm();
    }
    ~Diagnostika() override {
        fFrm->close();
        fFrm.reset();
    }
    QAction* Zarizeni(const QString& text) {
        emit fFrm->Sriovport1->aboutToShow();
        for (QAction* action : fFrm->Sriovport1->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }

    TTempDir fDir;
    TTempDir fRoot;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::unique_ptr<TTestFrm> fFrm;
};

TEST_F(Diagnostika, PortMenuListsTheDevicesAndMapsTheComNumberToTheOneChosen) {
    const QString popis = QString::fromUtf8("FTDI FT232R USB UART (/dev/ttyUSB0)");
    QAction* adapter = Zarizeni(popis);
    ASSERT_NE(adapter, nullptr);
    EXPECT_FALSE(adapter->isChecked());
    const std::string stable = "/dev/serial/by-id/usb-FTDI_FT232R_X-if00-port0";

    fFrm->Answers = {false};
    adapter->trigger();
    EXPECT_FALSE(fs::exists(fDir.Path() / "norlink.ini")) << "declined: nothing changes";
    EXPECT_NE(fLine->OpenedPath, stable);

    fFrm->Answers = {true};
    Zarizeni(popis)->trigger();
    EXPECT_THAT(ReadFile(fDir.Path() / "norlink.ini"), HasSubstr("[Porty]\nCOM2=" + stable));
    EXPECT_EQ(fLine->OpenedPath, stable);
    EXPECT_TRUE(Zarizeni(popis)->isChecked()) << "the menu shows the device in use";

    // Gone: the menu says there is none.
    fs::remove_all(fRoot.Path() / "sys/class/tty/ttyUSB0");
    EXPECT_EQ(Zarizeni(popis), nullptr);
    EXPECT_NE(Zarizeni(QString::fromUtf8("Žádné sériové zařízení nenalezeno")), nullptr);
}

TEST_F(Diagnostika, LogWindowFollowsTheLogAndSavesAndEmptiesIt) {
    fFrm->cmKomunikacniLog->trigger();
    TKomunikacniLog* okno = fFrm->KomunikacniLog();
    ASSERT_NE(okno, nullptr);
    EXPECT_TRUE(okno->isVisible());
    EXPECT_FALSE(okno->isModal());
    EXPECT_EQ(okno->Cmb_Filtr->currentText(), QString::fromUtf8("Bez výzev"));
    fLine->Feed(k_Vyzva);
    QTRY_VERIFY_WITH_TIMEOUT(fFrm->Logika().Log()->Count() > 0, 5000);
    QTest::qWait(300);
    EXPECT_EQ(okno->Model()->rowCount(), 0) << "polls are left out by default";
    okno->Cmb_Filtr->setCurrentIndex(0);
    QTRY_VERIFY_WITH_TIMEOUT(okno->Model()->rowCount() > 0, 5000);
    EXPECT_EQ(okno->Model()->index(0, 0).data().toString(), QString::fromUtf8("Přijato"));
    EXPECT_TRUE(okno->Model()->index(0, 1).data().toString().endsWith("Prisla vyzva"));
    EXPECT_EQ(
        TKomunikacniLog::UlozDoSouboru(*fFrm->Logika().Log(),
                                       QString::fromStdString((fDir.Path() / "log.txt").string())),
        true);
    EXPECT_THAT(ReadFile(fDir.Path() / "log.txt"), HasSubstr("Přijato\t"));

    okno->Btn_Vymaz->click();
    EXPECT_EQ(okno->Model()->rowCount(), 0);
    EXPECT_EQ(fFrm->Logika().Log()->Count(), 0U);
    fLine->Feed(k_Vyzva);
    QTRY_VERIFY_WITH_TIMEOUT(okno->Model()->rowCount() > 0, 5000);
}

TEST_F(Diagnostika, ClosingWithChangesNeitherWrittenNorExportedAsksFirstButNotOnASignal) {
    fFrm->show();
    fFrm->Men_Ukonci->trigger();
    EXPECT_FALSE(fFrm->isVisible()) << "nothing changed: no question";
    fFrm->show();
    const TNORLINK pred = NORLINKRecNew;
    NORLINKRecNew.ZpravaObnova[0] = "změna";
    fFrm->Answers = {false};
    fFrm->Men_Ukonci->trigger();
    EXPECT_TRUE(fFrm->isVisible()) << "\"Ne\" goes back to the window";
    EXPECT_TRUE(fFrm->Answers.empty());
    fFrm->Answers = {true};
    fFrm->Men_Ukonci->trigger();
    EXPECT_FALSE(fFrm->isVisible());
    // A close the program makes itself asks nothing.
    fFrm->show();
    fFrm->close();
    EXPECT_FALSE(fFrm->isVisible());

    // A signal closes it without a question.
    fFrm->show();
    ZavirejPriSignalu(*fFrm);
    ::raise(SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(!fFrm->isVisible(), 5000);
    EXPECT_TRUE(fFrm->Answers.empty());
    NORLINKRecNew = pred;
}

TEST(KomunikacniLog, SaveButtonWritesOldestFirstWithKinds) {
    TTempDir dir;
    TComLog log([] { return std::chrono::system_clock::time_point{}; }, "C");
    log.Add("Prisla vyzva", TLogMessageKind::dev);
    log.Add("Vadné CRC dat,TLG zahozen", TLogMessageKind::dev);
    log.Add("Odeslany TLG: FF A5", TLogMessageKind::dev);
    TTestLog okno;
    okno.NastavLog(&log);
    okno.Soubor = QString::fromStdString((dir.Path() / "x.txt").string());
    // What the filter shows ("Bez výzev"), or everything.
    okno.Btn_Uloz->click();
    const std::string shown = ReadFile(dir.Path() / "x.txt");
    EXPECT_EQ(shown.find("Přijato\t"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Odesláno\t"), std::string::npos) << shown;
    okno.Cmb_Filtr->setCurrentIndex(2);
    EXPECT_EQ(okno.Model()->rowCount(), 1);
    okno.Btn_Uloz->click();
    EXPECT_EQ(ReadFile(dir.Path() / "x.txt").find("Odesláno\t"), std::string::npos);
    okno.Chk_JenZobrazene->setChecked(false);
    okno.Btn_Uloz->click();
    const std::string text = ReadFile(dir.Path() / "x.txt");
    const auto prijato = text.find("Přijato\t");
    const auto chyba = text.find("Chyba\t");
    const auto odeslano = text.find("Odesláno\t");
    ASSERT_NE(prijato, std::string::npos) << text;
    EXPECT_LT(prijato, chyba);
    EXPECT_LT(chyba, odeslano);
    okno.Soubor.reset(); // cancelled: nothing happens
    okno.Btn_Uloz->click();
}

} // namespace
