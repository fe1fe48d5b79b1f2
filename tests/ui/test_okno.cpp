// The Qt main window: controls under their names with their captions and states, nothing clipped,
// the menu and its handlers, the lamp on a real Qt timer, and the memos' length limit.

#include "Main.h"
#include "ProgramRun.h"
#include "QtTimer.h"
#include "stav/promenne.h"

#include "FakeSerialPort.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <deque>

namespace {

using namespace program_run;
using ::testing::ElementsAre;

constexpr std::array<std::uint8_t, 7> k_Vyzva{0xA5, 0x3F, 0x14, 0x80, 0x88, 0x00, 0x00};

// The window with its boxes answered by the test.
class TTestFrm : public TFrm_Main {
public:
    using TFrm_Main::TFrm_Main;
    void Varovani(const std::string& text, const std::string& detail) override {
        Warnings.emplace_back(text, detail);
        VisibleAtWarning = isVisible();
    }
    bool OtazkaAnoNe(const std::string& text, TVychoziOdpoved) override {
        Questions.push_back(text);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question";
            return false;
        }
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void Chyba(const std::string& text) override { Errors.push_back(text); }
    void Zprava(const std::string& text, const std::string& detail) override {
        Messages.emplace_back(text, detail);
    }
    std::optional<std::string> InputQuery(const std::string&, const std::string&,
                                          const std::string&) override {
        if (Inputs.empty()) {
            ADD_FAILURE() << "unexpected input dialog";
            return std::nullopt;
        }
        auto input = Inputs.front();
        Inputs.pop_front();
        return input;
    }

    std::vector<std::pair<std::string, std::string>> Warnings;
    bool VisibleAtWarning = false;
    std::vector<std::string> Questions;
    std::deque<bool> Answers;
    std::vector<std::string> Errors;
    std::vector<std::pair<std::string, std::string>> Messages;
    std::deque<std::optional<std::string>> Inputs;
};

class Okno : public ::testing::Test {
protected:
    Okno() {
        TMainZavislosti deps;
        const std::string dir = fDir.Path().string() + "/";
        deps.SlozkaProgramu = [dir] { return dir; };
        deps.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        fFrm = std::make_unique<TTestFrm>(std::move(deps));
        fFrm->FormCreate();
        fFrm->VytvorInfoForm();
    }
    ~Okno() override {
        fFrm->close();
        fFrm.reset();
    }
    void ShowActive() {
        fFrm->show();
        fFrm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fFrm.get()));
    }
    QAction* Action(const char* name) const {
        auto* action = fFrm->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    std::string Ini() const { return ReadFile(fDir.Path() / "norlink.ini"); }

    TTempDir fDir;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::unique_ptr<TTestFrm> fFrm;
};

QString U(const char* text) {
    return QString::fromUtf8(text);
}

QAction* Action(const QWidget& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

TEST_F(Okno, ControlsCarryTheirNamesCaptionsAndStartStates) {
    EXPECT_EQ(fFrm->objectName(), "Frm_Main");
    EXPECT_EQ(fFrm->windowTitle(), "NORLINK 0.9");
    struct Button {
        const char* Name;
        QPushButton* Member;
        const char* Caption;
        bool Enabled;
    };
    const Button buttons[] = {
        {"Btn_NactiTelCisla", fFrm->Btn_NactiTelCisla, "Načti tel. čísla", true},
        {"Btn_ZapisTelCisla", fFrm->Btn_ZapisTelCisla, "Zapiš tel. čísla", false},
        {"Btn_NactiExpandery", fFrm->Btn_NactiExpandery, "Načti nastavení expanderů - vše", false},
        {"Btn_NactiAktualni", fFrm->Btn_NactiAktualni, "Načti jen nastavení vybraného vstupu",
         false},
        {"Btn_reset", fFrm->Btn_reset, "Vyber jiný vstup", false},
        {"Btn_ZapisNastaveni", fFrm->Btn_ZapisNastaveni, "Zapiš nastavení expanderů", false},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.Name);
        EXPECT_EQ(fFrm->findChild<QPushButton*>(U(b.Name)), b.Member);
        EXPECT_EQ(b.Member->text(), U(b.Caption));
        EXPECT_EQ(b.Member->isEnabled(), b.Enabled);
    }
    const std::pair<const char*, const char*> labels[] = {
        {"Label1", "Počet expanderů"},     {"Label2", "Porucha komunikace"},
        {"Label4", "Obnovení komunikace"}, {"Label6", "Sepnutí vstupů"},
        {"Label5", "Rozpojení vstupů"},
    };
    for (const auto& [name, caption] : labels) {
        auto* label = fFrm->findChild<QLabel*>(U(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), U(caption));
    }
    for (const char* name :
         {"Led_Incoming", "Hg_PhoneNumbers", "SEdt_PocetExpanderu", "Cmb_Expander", "Hg_Komunikace",
          "Mem_Porucha", "Mem_Obnova", "Cmb_Vstup", "Hg_Vstupy", "Mem_Sepnuti", "Mem_Rozpojeni",
          "Stb_Main"}) {
        EXPECT_NE(fFrm->findChild<QWidget*>(U(name)), nullptr) << name;
    }
    EXPECT_FALSE(fFrm->Hg_PhoneNumbers->isEnabled());
    EXPECT_TRUE(fFrm->Hg_Komunikace->isEnabled());
    EXPECT_EQ(fFrm->SEdt_PocetExpanderu->minimum(), 1);
    EXPECT_EQ(fFrm->SEdt_PocetExpanderu->maximum(), 8);
    EXPECT_EQ(fFrm->SEdt_PocetExpanderu->value(), 1);
    EXPECT_FALSE(fFrm->Cmb_Expander->isEditable());
    EXPECT_EQ(fFrm->Cmb_Expander->count(), 1);
    EXPECT_EQ(fFrm->Cmb_Expander->currentText(), "Expander 1");
    EXPECT_EQ(fFrm->Cmb_Vstup->count(), 8);
    EXPECT_EQ(fFrm->Cmb_Vstup->currentText(), "Vstup 1");
    EXPECT_EQ(fFrm->Mem_Porucha->MaxLength(), 160);
    EXPECT_EQ(fFrm->Mem_Rozpojeni->MaxLength(), 160);
    EXPECT_EQ(fFrm->Led_Incoming->property("blinkInterval").toInt(), 200);
    EXPECT_TRUE(fFrm->Warnings.empty());
}

TEST(OknoStart, UnopenablePortIsReportedBeforeTheWindowShows) {
    TTempDir dir;
    auto line = std::make_shared<FakeLine>();
    line->FailOpen = true;
    line->FailReason = "Device or resource busy";
    TMainZavislosti deps;
    const std::string folder = dir.Path().string() + "/";
    deps.SlozkaProgramu = [folder] { return folder; };
    deps.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
    deps.VytvorPort = [line] { return std::make_unique<FakeSerialPort>(line); };
    TTestFrm frm(std::move(deps));
    frm.FormCreate();
    ASSERT_EQ(frm.Warnings.size(), 1U);
    EXPECT_FALSE(frm.VisibleAtWarning);
    EXPECT_EQ(frm.Warnings[0].first, "Daný sériový port neexistuje nebo se právě používá !");
    EXPECT_THAT(frm.Warnings[0].second, ::testing::HasSubstr("/dev/ttyS1"));
    EXPECT_THAT(frm.Warnings[0].second, ::testing::HasSubstr("Device or resource busy"));
    frm.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frm));
    // In sight: no port ticked, the lamp grey, the status bar names the port.
    EXPECT_FALSE(Action(frm, "cmCOM2")->isChecked());
    EXPECT_EQ(frm.Led_Incoming->Colour(), QColor(150, 150, 150));
    EXPECT_EQ(frm.Stb_Panels[0]->text(), U("COM2 – nepřipojeno"));
    frm.close();
}

TEST_F(Okno, GridsHaveTheirSizesHeadersAndFixedCells) {
    ShowActive();
    struct Grid {
        QTableWidget* Widget;
        std::vector<const char*> Headers;
    };
    const Grid grids[] = {
        {fFrm->Hg_PhoneNumbers, {"Tel. číslo", ""}},
        {fFrm->Hg_Komunikace, {"Tel. číslo", "Porucha", "Obnova"}},
        {fFrm->Hg_Vstupy, {"Tel. číslo", "Sepnutí", "Rozpojení"}},
    };
    for (const Grid& g : grids) {
        SCOPED_TRACE(g.Widget->objectName().toStdString());
        ASSERT_EQ(g.Widget->rowCount(), 17);
        ASSERT_EQ(g.Widget->columnCount(), static_cast<int>(g.Headers.size()));
        for (int c = 0; c < g.Widget->columnCount(); ++c) {
            EXPECT_EQ(g.Widget->item(0, c)->text(), U(g.Headers[static_cast<std::size_t>(c)]));
            EXPECT_FALSE(g.Widget->item(0, c)->flags() & Qt::ItemIsEditable);
        }
        for (int r = 1; r < 17; ++r) {
            EXPECT_FALSE(g.Widget->item(r, 0)->flags() & Qt::ItemIsEditable);
            EXPECT_TRUE(g.Widget->item(r, 1)->flags() & Qt::ItemIsEditable);
        }
        // Every row is on screen without scrolling.
        int height = 0;
        for (int r = 0; r < 17; ++r) {
            height += g.Widget->rowHeight(r);
        }
        EXPECT_LE(height, g.Widget->viewport()->height());
    }
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(fFrm->Hg_PhoneNumbers->item(k + 1, 0)->text(), QString::number(k));
    }
    EXPECT_EQ(fFrm->CellText(TMrizka::Hg_Vstupy, 2, 16), "");
    fFrm->SetCellText(TMrizka::Hg_Vstupy, 2, 16, "7");
    EXPECT_EQ(fFrm->Hg_Vstupy->item(16, 2)->text(), "7");
}

TEST_F(Okno, EveryCaptionFitsItsControlAndNothingOverlaps) {
    ShowActive();
    QWidget* client = fFrm->Klient;
    const QRect area = client->rect();
    std::vector<QWidget*> controls;
    for (QWidget* w : client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        controls.push_back(w);
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_TRUE(area.contains(w->geometry())) << "outside the window";
        const bool captioned = qobject_cast<QPushButton*>(w) || qobject_cast<QLabel*>(w) ||
                               qobject_cast<QSpinBox*>(w) || qobject_cast<QComboBox*>(w);
        if (captioned) {
            EXPECT_LE(w->sizeHint().width(), w->width());
            EXPECT_LE(w->sizeHint().height(), w->height()) << w->objectName().toStdString();
        }
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " and "
                << controls[j]->objectName().toStdString();
        }
    }
    for (QTableWidget* grid : {fFrm->Hg_PhoneNumbers, fFrm->Hg_Komunikace, fFrm->Hg_Vstupy}) {
        const QFontMetrics metrics(grid->font());
        int width = 0;
        for (int c = 0; c < grid->columnCount(); ++c) {
            const QString text = grid->item(0, c)->text();
            EXPECT_LE(metrics.horizontalAdvance(text) + 6, grid->columnWidth(c))
                << text.toStdString();
            width += grid->columnWidth(c);
        }
        EXPECT_LE(width, grid->viewport()->width()) << grid->objectName().toStdString();
        EXPECT_GE(grid->rowHeight(0), metrics.height() + 2);
    }
    // Items of the drop-down lists fit too.
    fFrm->SEdt_PocetExpanderu->setValue(8);
    for (QComboBox* list : {fFrm->Cmb_Expander, fFrm->Cmb_Vstup}) {
        EXPECT_LE(list->sizeHint().width(), list->width()) << list->objectName().toStdString();
    }
    for (const QMenu* menu : {fFrm->Men_Program, fFrm->Sriovport1}) {
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                EXPECT_LE(menu->fontMetrics().horizontalAdvance(action->text()),
                          menu->sizeHint().width());
            }
        }
    }
}

TEST_F(Okno, StatusBarHasFourPanels) {
    ShowActive();
    ASSERT_EQ(fFrm->Stb_Main, fFrm->statusBar());
    EXPECT_EQ(fFrm->Stb_Main->objectName(), "Stb_Main");
    const int w0 = fFrm->Stb_Panels[0]->width();
    EXPECT_GT(w0, 4 * fFrm->Stb_Panels[1]->width());
    EXPECT_GT(fFrm->Stb_Panels[1]->width(), fFrm->Stb_Panels[2]->width());
    EXPECT_EQ(fFrm->Stb_Panels[2]->width(), fFrm->Stb_Panels[3]->width());
    fFrm->SetPanelText(2, "SW 1.00");
    EXPECT_EQ(fFrm->Stb_Panels[2]->text(), "SW 1.00");
    EXPECT_EQ(fFrm->PanelText(2), "SW 1.00");
}

TEST_F(Okno, MenuHasItsItemsInOrderWithTags) {
    EXPECT_EQ(fFrm->menuBar()->objectName(), "Men_Main");
    const QList<QAction*> top = fFrm->menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "Program");
    EXPECT_EQ(top[1]->text(), U("Sériový port"));

    QStringList program;
    for (const QAction* a : fFrm->Men_Program->actions()) {
        program << (a->isSeparator() ? QString("-") : a->objectName() + "=" + a->text());
    }
    EXPECT_EQ(
        program,
        QStringList({U("cmNactiTelCisla=Načti tel. čísla"), U("cmUlozNastaveni=Ulož nastavení"),
                     U("cmNactiNastaveni=Načti nastavení ze souboru"),
                     U("cmObnovitZeZalohy=Obnovit ze zálohy…"), U("cmProtokol=Protokol…"),
                     U("cmKomunikacniLog=Komunikační log"), "-", U("Men_Ukonci=Ukonči")}));
    QStringList port;
    for (const QAction* a : fFrm->Sriovport1->actions()) {
        port << (a->isSeparator() ? QString("-") : a->objectName() + "=" + a->text());
    }
    QStringList expected;
    for (int i = 1; i <= 10; ++i) {
        expected << QString("cmCOM%1=COM %1").arg(i);
    }
    expected << "-"
             << "cmCOM11=COM xx" << U("cmJinyCOMport=Zvolit jiný COM port")
             << U("cmSmer=Řízení směru linky")
             << "-"; // the serial devices present follow when the menu opens
    EXPECT_EQ(port, expected);
    QStringList smer;
    for (const QAction* a : fFrm->cmSmer->actions()) {
        smer << a->objectName() + "=" + a->text() + (a->isChecked() ? "*" : "");
    }
    EXPECT_EQ(smer, QStringList({"cmSmer0=DTR*", "cmSmer1=RTS", U("cmSmer2=RS-485 (režim jádra)"),
                                 U("cmSmer3=Žádné (převodník přepíná sám)")}));
    // The logic keeps what is ticked.
    Action("cmSmer1")->trigger();
    EXPECT_TRUE(Action("cmSmer1")->isChecked());
    EXPECT_FALSE(Action("cmSmer0")->isChecked());
    EXPECT_NE(Ini().find("Smer=RTS"), std::string::npos);
    for (int i = 1; i <= 11; ++i) {
        EXPECT_EQ(Action(QString("cmCOM%1").arg(i).toLatin1().constData())->property("tag").toInt(),
                  i);
    }
    EXPECT_TRUE(Action("cmCOM2")->isChecked());
    EXPECT_FALSE(Action("cmCOM11")->isVisible());
    EXPECT_FALSE(Action("cmJinyCOMport")->isChecked());
}

TEST_F(Okno, PortMenuClicksGoThroughTheQuestion) {
    fFrm->Answers = {false};
    Action("cmCOM5")->trigger();
    EXPECT_EQ(fFrm->Questions.size(), 1U);
    EXPECT_FALSE(Action("cmCOM5")->isChecked()) << "Qt's own toggle is undone";
    EXPECT_TRUE(Action("cmCOM2")->isChecked());
    EXPECT_FALSE(fs::exists(fDir.Path() / "norlink.ini"));

    Action("cmCOM2")->trigger(); // the ticked one: no question
    EXPECT_EQ(fFrm->Questions.size(), 1U);
    EXPECT_TRUE(Action("cmCOM2")->isChecked());

    fFrm->Answers = {true};
    Action("cmCOM5")->trigger();
    EXPECT_TRUE(Action("cmCOM5")->isChecked());
    EXPECT_FALSE(Action("cmCOM2")->isChecked());
    EXPECT_EQ(Ini(), "[ComPort]\nCislo=5\n");
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS4");
}

TEST_F(Okno, OtherPortShowsTheExtraItem) {
    fFrm->Answers = {true};
    fFrm->Inputs = {std::string("14")};
    Action("cmJinyCOMport")->trigger();
    QAction* extra = Action("cmCOM11");
    EXPECT_TRUE(extra->isVisible());
    EXPECT_TRUE(extra->isChecked());
    EXPECT_EQ(extra->text(), "COM 14");
    EXPECT_EQ(extra->property("tag").toInt(), 14);
    EXPECT_FALSE(Action("cmCOM2")->isChecked());
    EXPECT_FALSE(Action("cmJinyCOMport")->isChecked());
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyS13");
}

TEST_F(Okno, UkonciClosesTheWindowAndSavesTheCount) {
    ShowActive();
    fFrm->SEdt_PocetExpanderu->setValue(3);
    Action("Men_Ukonci")->trigger();
    EXPECT_FALSE(fFrm->isVisible());
    // The count, then where the window was.
    EXPECT_THAT(Ini(), ::testing::MatchesRegex("\\[ComPort\\]\nProgram=3\n\n\\[Okno\\]\nX=[0-9]+\n"
                                               "Y=[0-9]+\nSirka=[0-9]+\nVyska=[0-9]+\n"));
    EXPECT_FALSE(fLine->IsOpen);
}

TEST_F(Okno, ChangingTheExpanderCountRefillsTheList) {
    fFrm->SEdt_PocetExpanderu->setValue(4);
    EXPECT_EQ(fFrm->Cmb_Expander->count(), 4);
    EXPECT_EQ(fFrm->Cmb_Expander->itemText(3), "Expander 4");
    EXPECT_EQ(fFrm->Cmb_Expander->currentIndex(), 0);
    fFrm->SEdt_PocetExpanderu->setValue(12);
    EXPECT_EQ(fFrm->SEdt_PocetExpanderu->value(), 8);
    EXPECT_EQ(fFrm->Cmb_Expander->count(), 8);
}

TEST_F(Okno, SelectingAnExpanderShowsItsSettings) {
    fFrm->Logika().VseZnameZeZarizeni();
    fFrm->SEdt_PocetExpanderu->setValue(2);
    NORLINKRecNew.TelCislaPoruchaKom[1][0] = 3;
    NORLINKRecNew.ZpravaObnova[1] = std::string_view("Obnova \xE8. 2");
    NORLINKRecNew.TelCislaSepnuti[1][4][15] = 9;
    fFrm->Cmb_Vstup->setCurrentIndex(4);
    fFrm->Cmb_Expander->setCurrentIndex(1);
    emit fFrm->Cmb_Expander->activated(1);
    EXPECT_EQ(fFrm->Hg_Komunikace->item(1, 1)->text(), "3");
    EXPECT_EQ(fFrm->Mem_Obnova->toPlainText(), U("Obnova č. 2"));
    EXPECT_EQ(fFrm->Hg_Vstupy->item(16, 1)->text(), "9");
    InicializujNORLINKRec(NORLINKRecNew);
    NORLINKRecNew.ZpravaObnova[1].Clear();
}

TEST_F(Okno, LampTogglesOnEveryPoll) {
    ASSERT_TRUE(fLine->IsOpen);
    EXPECT_EQ(fFrm->Stb_Panels[0]->text(), U("COM2 – /dev/ttyS1"));
    EXPECT_FALSE(fFrm->Led_Incoming->On());
    const QColor off = fFrm->Led_Incoming->Colour();
    fLine->Feed(k_Vyzva);
    QTRY_VERIFY_WITH_TIMEOUT(fFrm->Led_Incoming->On(), 5000);
    EXPECT_NE(fFrm->Led_Incoming->Colour(), off);
    fLine->Feed(k_Vyzva);
    QTRY_VERIFY_WITH_TIMEOUT(!fFrm->Led_Incoming->On(), 5000);
    EXPECT_EQ(fFrm->Led_Incoming->Colour(), off);
}

TEST_F(Okno, MemosTakeAtMost160CharactersWithLineBreaksCountingTwo) {
    ShowActive();
    TMemoEdit* memo = fFrm->Mem_Sepnuti;
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    QTest::keyClicks(memo, QString(158, 'a'));
    EXPECT_EQ(memo->Length(), 158);
    QTest::keyClick(memo, Qt::Key_Return); // two: exactly 160
    EXPECT_EQ(memo->Length(), 160);
    QTest::keyClicks(memo, "bc");
    EXPECT_EQ(memo->Length(), 160);
    QTest::keyClick(memo, Qt::Key_Backspace); // the line break goes
    EXPECT_EQ(memo->Length(), 158);
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(memo->Length(), 160);

    memo->clear();
    QGuiApplication::clipboard()->setText(QString(200, 'x'));
    memo->paste();
    EXPECT_EQ(memo->Length(), 160);
    EXPECT_EQ(memo->toPlainText(), QString(160, 'x'));

    // What the program sets (a text read from the device) is not cut.
    const std::string longText(240, 'y');
    fFrm->SetMemoText(TMemo::Mem_Sepnuti, longText);
    EXPECT_EQ(fFrm->MemoText(TMemo::Mem_Sepnuti), longText);
    fFrm->SetMemoText(TMemo::Mem_Sepnuti, "a\r\nb");
    EXPECT_EQ(memo->toPlainText(), "a\nb");
    EXPECT_EQ(fFrm->MemoText(TMemo::Mem_Sepnuti), "a\r\nb");
    EXPECT_EQ(memo->Length(), 4);
}

// The ways out of a running read: the dialog's button, Escape on the dialog, Escape on the
// window. Each ends the read at once: queue empty, dialog hidden, the buttons back, and the next
// poll gets no answer.
class OknoPrerusit : public Okno, public ::testing::WithParamInterface<int> {};

TEST_P(OknoPrerusit, EndsTheReadAtOnceAndNothingMoreIsSent) {
    ShowActive();
    TInfoForm* info = fFrm->Info();
    QTest::mouseClick(fFrm->Btn_NactiTelCisla, Qt::LeftButton);
    ASSERT_TRUE(fFrm->Logika().BeziOperace());
    EXPECT_TRUE(info->isVisible());
    EXPECT_TRUE(info->Btn_Prerusit->isVisible());
    // The button lies inside the dialog, which grew to hold it.
    EXPECT_TRUE(info->rect().contains(info->Btn_Prerusit->geometry()));
    EXPECT_FALSE(fFrm->Btn_NactiTelCisla->isEnabled()) << "one operation at a time";
    EXPECT_EQ(fFrm->Logika().Link()->PocetZaznamuFronty(), 1U);

    switch (GetParam()) {
    case 0:
        QTest::mouseClick(info->Btn_Prerusit, Qt::LeftButton);
        break;
    case 1:
        QTest::keyClick(info, Qt::Key_Escape);
        break;
    default:
        fFrm->activateWindow();
        QTest::keyClick(fFrm.get(), Qt::Key_Escape);
        break;
    }
    EXPECT_FALSE(fFrm->Logika().BeziOperace());
    EXPECT_FALSE(info->isVisible());
    EXPECT_EQ(fFrm->Logika().Link()->PocetZaznamuFronty(), 0U);
    EXPECT_TRUE(fFrm->Btn_NactiTelCisla->isEnabled());
    EXPECT_FALSE(fFrm->Btn_ZapisTelCisla->isEnabled()) << "nothing was read";

    fLine->ClearEvents();
    fLine->Feed(k_Vyzva);
    const bool lamp = fFrm->Led_Incoming->On();
    QTRY_VERIFY_WITH_TIMEOUT(fFrm->Led_Incoming->On() != lamp, 5000);
    EXPECT_TRUE(fLine->EventsOf(FakeEventKind::Write).empty());
}

std::string NazevCesty(const ::testing::TestParamInfo<int>& info) {
    static constexpr std::array<const char*, 3> k_Nazvy{"Button", "EscapeOnDialog",
                                                        "EscapeOnWindow"};
    return k_Nazvy.at(static_cast<std::size_t>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Cesty, OknoPrerusit, ::testing::Values(0, 1, 2), NazevCesty);

} // namespace
namespace {
// Each control lies on the client area, and what the window does not show can be scrolled to:
// at the minimum size, and on a 1600 x 900 screen at 125 % and 150 % (1280 x 720 and 1067 x 600
// logical pixels, less a panel of 40).
TEST_F(Okno, EveryControlIsReachableAtTheMinimumAndOnAScaledLaptopScreen) {
    ShowActive();
    const QSize minimum = fFrm->minimumSizeHint().expandedTo(fFrm->minimumSize());
    EXPECT_LE(minimum.width(), 1024);
    EXPECT_LE(minimum.height(), 600);
    auto* scroll = qobject_cast<QScrollArea*>(fFrm->centralWidget());
    ASSERT_NE(scroll, nullptr);
    struct Row {
        QSize Size;
        bool Scrolls; // false: everything in view at once
    };
    for (const Row& row : {Row{minimum, true}, Row{{1280, 680}, false}, Row{{1067, 560}, true}}) {
        SCOPED_TRACE(row.Size.width());
        fFrm->resize(row.Size);
        QTRY_COMPARE(fFrm->size(), row.Size);
        QApplication::processEvents();
        const QRect area = fFrm->Klient->rect();
        for (QWidget* w :
             fFrm->Klient->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(area.contains(w->geometry())) << w->objectName().toStdString();
            EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString();
        }
        const QSize view = scroll->viewport()->size();
        const QSize over = (fFrm->Klient->size() - view).expandedTo({0, 0});
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), over.width());
        EXPECT_EQ(scroll->verticalScrollBar()->maximum(), over.height());
        if (!row.Scrolls) {
            EXPECT_EQ(over, QSize(0, 0))
                << "client " << fFrm->Klient->width() << "x" << fFrm->Klient->height();
        }
    }
}
} // namespace

namespace {
// The window opens where it was closed, never larger than the screen's available area and never
// partly off it.
TEST_F(Okno, OpensWhereItWasClosedWithinTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Row {
        const char* Ini;
        QRect Expected; // empty: the designed size, bounded by the area
    };
    const Row rows[] = {
        {"", {}},
        {"[Okno]\nX=20\nY=30\nSirka=700\nVyska=500\n", {20, 30, 700, 500}},
        {"[Okno]\nX=5000\nY=-70\nSirka=9000\nVyska=9000\n", area},
        {"[Okno]\nX=20\nY=30\nSirka=abc\nVyska=500\n", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Ini);
        WriteFile(fDir.Path() / "norlink.ini", row.Ini);
        fFrm->UmistiNaObrazovku();
        const QRect expected =
            row.Expected.isEmpty()
                ? QRect(area.topLeft(), fFrm->VychoziVelikost().boundedTo(area.size()))
                : row.Expected;
        EXPECT_EQ(fFrm->size(), expected.size());
        EXPECT_TRUE(area.contains(fFrm->geometry()));
        if (!row.Expected.isEmpty()) {
            EXPECT_EQ(fFrm->pos(), expected.topLeft());
        }
    }
}
} // namespace

namespace {
// Under each memo its stored length against the limit, a line break counting two; the colour
// turns near the limit and again at it.
TEST_F(Okno, MemoCounterCountsALineBreakAsTwoAndWarnsNearTheLimit) {
    ShowActive();
    TMemoEdit* memo = fFrm->Mem_Obnova;
    QLabel* counter = fFrm->Lbl_Delka[1];
    EXPECT_EQ(counter->text(), "0/160");
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    QTest::keyClicks(memo, "ab");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "c");
    EXPECT_EQ(counter->text(), "5/160");
    const QString normal = counter->styleSheet();
    QTest::keyClicks(memo, QString(138, 'x'));
    EXPECT_EQ(counter->text(), "143/160");
    EXPECT_EQ(counter->styleSheet(), normal);
    QTest::keyClicks(memo, "x");
    const QString near = counter->styleSheet();
    EXPECT_NE(near, normal) << "144 of 160";
    QTest::keyClicks(memo, QString(20, 'x'));
    EXPECT_EQ(counter->text(), "160/160");
    EXPECT_NE(counter->styleSheet(), near);
    EXPECT_NE(counter->styleSheet(), normal);
    // A text from the device is counted as stored, and the other memos keep their own count.
    fFrm->SetMemoText(TMemo::Mem_Sepnuti, "a\r\nb");
    EXPECT_EQ(fFrm->Lbl_Delka[2]->text(), "4/160");
    EXPECT_EQ(fFrm->Lbl_Delka[0]->text(), "0/160");
}
} // namespace

namespace {
// F5 reads the phone numbers, Ctrl+S saves the configuration, Ctrl+O loads one; the menu shows
// the keys, and an open cell editor is committed before the action.
TEST_F(Okno, ShortcutsActAsTheirMenuItems) {
    ShowActive();
    EXPECT_EQ(Action("cmNactiTelCisla")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(Action("cmUlozNastaveni")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(Action("cmNactiNastaveni")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));

    // Typed into a recipient cell, then saved with the editor still open: the export has it.
    TEditGrid* grid = fFrm->Hg_Vstupy;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(1, 1)).center());
    QTest::keyClicks(QApplication::focusWidget(), "7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(fFrm->Messages.size(), 1U);
    EXPECT_EQ(fFrm->CellText(TMrizka::Hg_Vstupy, 1, 1), "7");
    EXPECT_EQ(NORLINKRecNew.TelCislaSepnuti[0][0][0], 7);
    EXPECT_THAT(ReadFile(fFrm->Messages[0].second), ::testing::HasSubstr("Cisla sepnuti"));

    QTest::keyClick(fFrm.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(fFrm->Warnings.size(), 1U) << "a load first wants a complete read";

    QTest::keyClick(fFrm.get(), Qt::Key_F5);
    EXPECT_TRUE(fFrm->Logika().BeziOperace());
    EXPECT_EQ(fFrm->Info()->Text(), "Načítání telefonních čísel");
    QTest::keyClick(fFrm.get(), Qt::Key_F5);
    EXPECT_EQ(fFrm->Logika().Link()->PocetZaznamuFronty(), 1U) << "one read at a time";
    fFrm->Logika().Btn_PrerusitClick();
    InicializujNORLINKRec(NORLINKRecNew);
}
} // namespace
