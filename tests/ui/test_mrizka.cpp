// The grids of the real window: the key filter whatever the keyboard layout, paste, the cell rule
// for every way out of an editor, the exit rule, Delete.

#include "Main.h"
#include "ProgramRun.h"
#include "QtTimer.h"
#include "editace/Editace.h"
#include "stav/promenne.h"

#include "FakeSerialPort.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace program_run;

// The window with its boxes recorded.
class TTestFrm : public TFrm_Main {
public:
    using TFrm_Main::TFrm_Main;
    void Varovani(const std::string& text, const std::string&) override { Errors.push_back(text); }
    void Chyba(const std::string& text) override { Errors.push_back(text); }
    // The write preview, accepted: a modal dialog would wait for ever offscreen.
    bool KontrolaZapisu(const std::vector<std::string>& zmeny, const std::vector<std::string>&,
                        const std::string&) override {
        Nahledy.push_back(zmeny);
        return true;
    }
    std::vector<std::string> Errors;
    std::vector<std::vector<std::string>> Nahledy;
};

// Keys go where the keyboard sends them: to the focus widget.
QWidget* Focus() {
    return QApplication::focusWidget();
}
template <typename Event>
void Send(Event& event) {
    if (QWidget* target = Focus()) {
        QApplication::sendEvent(target, &event);
    } else {
        ADD_FAILURE() << "no focus";
    }
}
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QWidget* target = Focus()) {
        QTest::keyClick(target, key, modifiers);
    } else {
        ADD_FAILURE() << "no focus";
    }
}
// A key that produces text, as a layout maps it (key code and text need not match).
void Press(int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, text);
        Send(event);
    }
}
void Type(const QString& text) {
    for (const QChar c : text) {
        Press(c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_unknown, c);
    }
}
void Commit(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    Send(event);
}

void Click(TEditGrid* grid, int col, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(row, col)).center());
}

class Mrizka : public ::testing::Test {
protected:
    Mrizka() {
        TMainZavislosti deps;
        deps.SlozkaProgramu = [dir = fDir.Path().string() + "/"] { return dir; };
        deps.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        fFrm = std::make_unique<TTestFrm>(std::move(deps));
        fFrm->FormCreate();
        fFrm->VytvorInfoForm();
        fFrm->SetEnabled(TOvladac::Hg_PhoneNumbers, true);
        fFrm->SetEnabled(TOvladac::Btn_ZapisTelCisla, true);
        for (TEditGrid* grid : {Phone(), fFrm->Hg_Komunikace, fFrm->Hg_Vstupy}) {
            const std::string name = grid->objectName().toStdString();
            QObject::connect(grid, &TEditGrid::cellEdited, [this, name](int col, int row) {
                fEvents.push_back("edited " + name + " " + std::to_string(col) + "," +
                                  std::to_string(row));
            });
            QObject::connect(grid, &TEditGrid::exited,
                             [this, name] { fEvents.push_back("exit " + name); });
        }
    }
    ~Mrizka() override {
        fFrm->close();
        fFrm.reset();
        NORLINKRec = fRec;
        NORLINKRecNew = fRecNew;
    }
    void SetUp() override {
        fFrm->show();
        fFrm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fFrm.get()));
    }
    TEditGrid* Phone() const { return fFrm->Hg_PhoneNumbers; }
    static QString Editor(const TEditGrid* grid) {
        auto* editor = qobject_cast<QLineEdit*>(Focus());
        const bool open = editor != nullptr && grid->isAncestorOf(editor) && editor->isVisible();
        return open ? editor->text() : QStringLiteral("<closed>");
    }
    std::string Cell(TMrizka grid, int col, int row) const {
        return fFrm->CellText(grid, col, row);
    }

    const TNORLINK fRec = NORLINKRec;
    const TNORLINK fRecNew = NORLINKRecNew;
    TTempDir fDir;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::unique_ptr<TTestFrm> fFrm;
    std::vector<std::string> fEvents;
};

const std::string k_Edited = "edited Hg_PhoneNumbers 1,3";
const std::string k_Exit = "exit Hg_PhoneNumbers";

TEST_F(Mrizka, TypedCharactersPassOnlyTheFilterInEveryGrid) {
    // Refused whatever the key code: the text decides (a Czech layout types ě on the key of 2).
    const std::pair<int, QString> refused[] = {
        {Qt::Key_A, "a"},     {Qt::Key_Z, "Z"},       {Qt::Key_Space, " "},
        {Qt::Key_Comma, ","}, {Qt::Key_Minus, "-"},   {Qt::Key_Plus, "+"},
        {Qt::Key_2, "ě"},     {Qt::Key_unknown, "ж"}, {Qt::Key_unknown, "\U0001F600"},
    };
    for (TEditGrid* grid : {Phone(), fFrm->Hg_Komunikace, fFrm->Hg_Vstupy}) {
        SCOPED_TRACE(grid->objectName().toStdString());
        Click(grid, grid->columnCount() - 1, 2);
        for (const auto& [key, text] : refused) {
            Press(key, text);
            EXPECT_EQ(Editor(grid), "<closed>") << text.toStdString();
        }
        Commit("ж");
        EXPECT_EQ(Editor(grid), "<closed>");
        Press(Qt::Key_4, "$", Qt::ShiftModifier);
        EXPECT_EQ(Editor(grid), "$");
        for (const auto& [key, text] : refused) {
            Press(key, text);
        }
        Type("%'.0123456789");
        Commit("ж7");
        EXPECT_EQ(Editor(grid), "$%'.01234567897");
        Key(Qt::Key_Backspace);
        EXPECT_EQ(Editor(grid), "$%'.0123456789");
        Key(Qt::Key_Escape);
        EXPECT_EQ(Editor(grid), "<closed>");
        EXPECT_EQ(grid->currentItem()->text(), "");
        // An input method's commit opens the editor with what passes of it.
        Commit("ж5");
        EXPECT_EQ(Editor(grid), "5");
        Key(Qt::Key_Escape);
    }
    EXPECT_EQ(fEvents, (std::vector<std::string>{"exit Hg_PhoneNumbers", "exit Hg_Komunikace"}));
    EXPECT_TRUE(fFrm->Errors.empty());
}

TEST_F(Mrizka, PasteIsNotFilteredAndReachesTheCellRuleBeforeAButtonsHandler) {
    QGuiApplication::clipboard()->setText("123 456 789");
    Click(Phone(), 1, 3);
    Key(Qt::Key_F2);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Editor(Phone()), "123 456 789");
    QTest::mouseClick(fFrm->Btn_ZapisTelCisla, Qt::LeftButton);
    EXPECT_EQ(Cell(TMrizka::Hg_PhoneNumbers, 1, 3), "123456789");
    // (Starting the write then disables the button and the grid, and the focus moves on.)
    ASSERT_GE(fEvents.size(), 2U);
    EXPECT_EQ(fEvents[0], k_Edited);
    EXPECT_EQ(fEvents[1], k_Exit);
    // The preview and the write saw the number the cell rule made: nine digits at number 2's
    // address.
    ASSERT_EQ(fFrm->Nahledy.size(), 1U);
    EXPECT_THAT(fFrm->Nahledy[0], ::testing::ElementsAre(::testing::EndsWith("→ 123456789")));
    const auto write = fFrm->Logika().Link()->ZaznamFronty(0);
    ASSERT_TRUE(write.has_value());
    EXPECT_EQ(write->Akce, Zapis);
    EXPECT_EQ(write->Adresa, 0x0020);
    EXPECT_EQ(std::string(write->Data.begin(), write->Data.begin() + 9), "123456789");
    fFrm->Logika().Btn_PrerusitClick();
}

struct TOdchod {
    const char* Name;
    std::function<void(TTestFrm&)> Leave;
    bool LeavesGrid;
};

class MrizkaOdchod : public Mrizka, public ::testing::WithParamInterface<TOdchod> {};

TEST_P(MrizkaOdchod, EightDigitsAreRefusedOnceTheEditorIsLeft) {
    Click(Phone(), 1, 3);
    Type("12345678");
    GetParam().Leave(*fFrm);
    // Enter commits from the message loop.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !fFrm->Errors.empty(); }));
    EXPECT_EQ(fFrm->Errors, std::vector{std::string(R_NeplatneCislo)});
    EXPECT_EQ(Cell(TMrizka::Hg_PhoneNumbers, 1, 3), "");
    std::vector<std::string> expected{k_Edited};
    if (GetParam().LeavesGrid) {
        expected.push_back(k_Exit);
    }
    EXPECT_EQ(fEvents, expected);
    EXPECT_EQ(Phone()->isAncestorOf(Focus()) || Focus() == Phone(), !GetParam().LeavesGrid);
    EXPECT_FALSE(fFrm->Logika().BeziOperace());
}

INSTANTIATE_TEST_SUITE_P(
    Cesty, MrizkaOdchod,
    ::testing::Values(
        TOdchod{"Enter", [](TTestFrm&) { Key(Qt::Key_Return); }, false},
        TOdchod{"Tab", [](TTestFrm&) { Key(Qt::Key_Tab); }, false},
        TOdchod{"ArrowDown", [](TTestFrm&) { Key(Qt::Key_Down); }, false},
        TOdchod{"OtherCell", [](TTestFrm& f) { Click(f.Hg_PhoneNumbers, 1, 9); }, false},
        TOdchod{"Button",
                [](TTestFrm& f) { QTest::mouseClick(f.Btn_ZapisTelCisla, Qt::LeftButton); }, true},
        TOdchod{"OtherWidget", [](TTestFrm& f) { f.SEdt_PocetExpanderu->setFocus(); }, true},
        TOdchod{"Menu",
                [](TTestFrm& f) {
                    const QRect title = f.Men_Main->actionGeometry(f.Men_Program->menuAction());
                    QTest::mouseClick(f.Men_Main, Qt::LeftButton, {}, title.center());
                    EXPECT_TRUE(QTest::qWaitFor([&f] { return f.Men_Program->isVisible(); }));
                    f.Men_Program->close();
                },
                false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Mrizka, ProgramTextAndUnchangedEditsRunNoCellRule) {
    fFrm->SetCellText(TMrizka::Hg_PhoneNumbers, 1, 3, "123"); // as read from the device
    Click(Phone(), 1, 3);
    Key(Qt::Key_F2);
    Key(Qt::Key_Return);
    QTest::qWait(0);
    Key(Qt::Key_F2);
    Key(Qt::Key_End);
    Type("4");
    Key(Qt::Key_Backspace); // typed and taken back: unchanged
    Key(Qt::Key_Up);
    Click(Phone(), 1, 3);
    Key(Qt::Key_F2);
    fFrm->SetCellText(TMrizka::Hg_PhoneNumbers, 1, 3, "12"); // the open editor follows
    EXPECT_EQ(Editor(Phone()), "12");
    Click(Phone(), 1, 4);
    EXPECT_EQ(Cell(TMrizka::Hg_PhoneNumbers, 1, 3), "12");
    EXPECT_TRUE(fEvents.empty());
    EXPECT_TRUE(fFrm->Errors.empty());
}

class MrizkaExit : public Mrizka, public ::testing::WithParamInterface<bool> {};

TEST_P(MrizkaExit, RunsWhenTheFocusLeavesTheGridNotBetweenItsCells) {
    for (TTelCislo& cislo : NORLINKRecNew.TelCisla) {
        cislo = "987654321";
    }
    fFrm->SetCellText(TMrizka::Hg_PhoneNumbers, 1, 4, "987654321");
    Click(Phone(), 1, 2);
    Key(Qt::Key_Down);
    Click(Phone(), 1, 7);
    Key(Qt::Key_F2);
    Key(Qt::Key_Escape);
    if (GetParam()) {
        Key(Qt::Key_F2); // the focus leaves from the open editor
    }
    EXPECT_TRUE(fEvents.empty());
    EXPECT_EQ(NORLINKRecNew.TelCisla[0], "987654321");
    fFrm->Mem_Porucha->setFocus();
    fFrm->SEdt_PocetExpanderu->setFocus();
    EXPECT_EQ(fEvents, std::vector{k_Exit});
    for (std::size_t i = 0; i < NORLINKRecNew.TelCisla.size(); ++i) {
        EXPECT_EQ(NORLINKRecNew.TelCisla[i], i == 3 ? "987654321" : "") << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Odkud, MrizkaExit, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "FromEditor" : "FromGrid"; });

TEST_F(Mrizka, DeleteEmptiesTheCellAndTheExitRuleClearsTheImage) {
    struct Row {
        TMrizka Grid;
        TEditGrid* Widget;
        int Col;
        std::function<std::string()> Image;
        std::string Before, After;
    };
    NORLINKRecNew.TelCisla[3] = "987654321";
    NORLINKRecNew.TelCislaPoruchaKom[0][3] = 5;
    NORLINKRecNew.TelCislaRozpojeni[0][0][3] = 6;
    const Row rows[] = {
        {TMrizka::Hg_PhoneNumbers, Phone(), 1, [] { return NORLINKRecNew.TelCisla[3].Str(); },
         "987654321", ""},
        {TMrizka::Hg_Komunikace, fFrm->Hg_Komunikace, 1,
         [] { return std::to_string(NORLINKRecNew.TelCislaPoruchaKom[0][3]); }, "5", "255"},
        {TMrizka::Hg_Vstupy, fFrm->Hg_Vstupy, 2,
         [] { return std::to_string(NORLINKRecNew.TelCislaRozpojeni[0][0][3]); }, "6", "255"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Widget->objectName().toStdString());
        fFrm->SetCellText(r.Grid, r.Col, 4, r.Before);
        Click(r.Widget, 0, 0); // a fixed cell is never emptied
        EXPECT_EQ(r.Widget->currentRow(), 0);
        Key(Qt::Key_Delete);
        EXPECT_EQ(Cell(r.Grid, 0, 0), "Tel. číslo");
        Click(r.Widget, r.Col, 4);
        Key(Qt::Key_Delete);
        EXPECT_EQ(Cell(r.Grid, r.Col, 4), "");
        EXPECT_EQ(r.Image(), r.Before);
        fFrm->SEdt_PocetExpanderu->setFocus();
        EXPECT_EQ(r.Image(), r.After);
    }
    EXPECT_TRUE(fFrm->Errors.empty());
    EXPECT_EQ(fEvents, (std::vector<std::string>{"exit Hg_PhoneNumbers", "exit Hg_Komunikace",
                                                 "exit Hg_Vstupy"}));
}

// A range selected with Shift and the arrows, header and index cells included: Delete empties
// every editable cell of it and no other; the exit rule then clears their slots.
TEST_F(Mrizka, DeleteEmptiesEverySelectedCell) {
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 2; ++col) {
            NORLINKRecNew.TelCislaPoruchaKom[0][static_cast<std::size_t>(row - 1)] = 7;
            NORLINKRecNew.TelCislaObnovaKom[0][static_cast<std::size_t>(row - 1)] = 7;
            fFrm->SetCellText(TMrizka::Hg_Komunikace, col, row, "7");
        }
    }
    TEditGrid* grid = fFrm->Hg_Komunikace;
    Click(grid, 0, 0);
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Down, Qt::ShiftModifier);
    }
    for (int i = 0; i < 2; ++i) {
        Key(Qt::Key_Right, Qt::ShiftModifier);
    }
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().size(), 6)
        << "fixed cells are not selected";
    Key(Qt::Key_Delete);
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 2; ++col) {
            EXPECT_EQ(Cell(TMrizka::Hg_Komunikace, col, row), row <= 3 ? "" : "7") << col << row;
        }
    }
    EXPECT_EQ(Cell(TMrizka::Hg_Komunikace, 1, 0), "Porucha");
    EXPECT_EQ(NORLINKRecNew.TelCislaObnovaKom[0][1], 7) << "the image waits for the exit rule";
    fFrm->SEdt_PocetExpanderu->setFocus();
    EXPECT_EQ(NORLINKRecNew.TelCislaObnovaKom[0][1], 255);
    EXPECT_EQ(NORLINKRecNew.TelCislaPoruchaKom[0][3], 7);
    EXPECT_TRUE(fFrm->Errors.empty());
}

} // namespace

namespace {

// The editor commits Return from the event loop.
void Enter() {
    Key(Qt::Key_Return);
    QTest::qWait(0);
}

// The tooltip a recipient cell shows when the mouse rests on it.
QString ToolTip(TEditGrid* grid, int col, int row) {
    QToolTip::hideText();
    const QPoint at = grid->visualItemRect(grid->item(row, col)).center();
    QHelpEvent event(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// A recipient cell draws the number its index refers to beside the index and says it in its
// tooltip; both follow the phone grid. The cell's text stays the index.
TEST_F(Mrizka, RecipientCellShowsTheNumberItRefersTo) {
    TEditGrid* vstupy = fFrm->Hg_Vstupy;
    Click(Phone(), 1, 4);
    Type("604123456");
    Enter();
    Click(vstupy, 1, 1);
    Type("3");
    Enter();
    EXPECT_EQ(Cell(TMrizka::Hg_Vstupy, 1, 1), "3");
    EXPECT_EQ(vstupy->Popis(1, 1).Vedle, "604123456");
    EXPECT_FALSE(vstupy->Popis(1, 1).Varovani);
    EXPECT_EQ(ToolTip(vstupy, 1, 1), QString::fromUtf8("Tel. číslo 3: 604123456"));

    Click(Phone(), 1, 4);
    Key(Qt::Key_F2);
    Key(Qt::Key_A, Qt::ControlModifier);
    Type("777888999");
    Enter();
    EXPECT_EQ(vstupy->Popis(1, 1).Vedle, "777888999");
    EXPECT_EQ(ToolTip(vstupy, 1, 1), QString::fromUtf8("Tel. číslo 3: 777888999"));

    // The number emptied: the slot is marked, not refused; the expander's grid marks it too.
    Click(Phone(), 1, 4);
    Key(Qt::Key_Delete);
    EXPECT_TRUE(vstupy->Popis(1, 1).Varovani);
    EXPECT_THAT(ToolTip(vstupy, 1, 1).toStdString(), ::testing::HasSubstr("je prázdné"));
    fFrm->SetCellText(TMrizka::Hg_Komunikace, 2, 5, "3");
    EXPECT_TRUE(fFrm->Hg_Komunikace->Popis(2, 5).Varovani);
    EXPECT_FALSE(fFrm->Hg_Komunikace->Popis(2, 6).Varovani) << "an empty slot is no warning";
    EXPECT_EQ(Cell(TMrizka::Hg_Vstupy, 1, 1), "3");

    // An index typed too high: limited, and said in the tooltip and the status bar.
    Click(vstupy, 2, 2);
    Type("20");
    Enter();
    EXPECT_EQ(Cell(TMrizka::Hg_Vstupy, 2, 2), "15");
    const std::string said = "zadané 20 bylo změněno na 15";
    EXPECT_THAT(ToolTip(vstupy, 2, 2).toStdString(), ::testing::HasSubstr(said));
    EXPECT_THAT(fFrm->Stb_Main->currentMessage().toStdString(), ::testing::HasSubstr(said));
    EXPECT_TRUE(fFrm->Errors.empty());
}

// A bold mark on an emptied cell or memo would show nothing: the cell draws a hint, the memo a
// placeholder, and an unmarked empty cell stays blank.
TEST_F(Mrizka, AnEmptiedPartMarkedAsChangedSaysItIsDeleted) {
    TEditGrid* grid = Phone();
    const auto kresleno = [&](int row) {
        const QRect r = grid->visualRect(grid->model()->index(row, 1)).adjusted(2, 2, -2, -2);
        const QImage image = grid->viewport()->grab(r).toImage();
        const QRgb pozadi = image.pixel(image.width() - 1, image.height() / 2);
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (image.pixel(x, y) != pozadi) {
                    return true;
                }
            }
        }
        return false;
    };
    fFrm->SetCellText(TMrizka::Hg_PhoneNumbers, 1, 9, "");
    fFrm->SetCellText(TMrizka::Hg_PhoneNumbers, 1, 10, "");
    fFrm->SetCellBold(TMrizka::Hg_PhoneNumbers, 1, 9, true);
    EXPECT_TRUE(kresleno(9));
    EXPECT_FALSE(kresleno(10));
    fFrm->SetMemoBold(TMemo::Mem_Porucha, true);
    EXPECT_THAT(fFrm->Mem_Porucha->placeholderText().toStdString(),
                ::testing::HasSubstr("smazáno"));
    fFrm->SetMemoBold(TMemo::Mem_Porucha, false);
    EXPECT_TRUE(fFrm->Mem_Porucha->placeholderText().isEmpty());
}

} // namespace
