// The memos and selection lists of the real window: a memo's text is stored under the expander
// and input it was typed for however the selection changes, a character the device cannot store
// is refused, a text from the device goes back byte for byte, the expander count stays 1..8.

#include "Main.h"
#include "ProgramRun.h"
#include "QtTimer.h"
#include "stav/promenne.h"
#include "text/Cp1250.h"

#include "FakeSerialPort.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using namespace program_run;

class TTestFrm : public TFrm_Main {
public:
    using TFrm_Main::TFrm_Main;
    void Varovani(const std::string& text, const std::string&) override { Boxes.push_back(text); }
    void Chyba(const std::string& text) override { Boxes.push_back(text); }
    std::vector<std::string> Boxes;
};

class Mema : public ::testing::Test {
protected:
    Mema() {
        fRec = NORLINKRec;
        fRecNew = NORLINKRecNew;
        TMainZavislosti deps;
        deps.SlozkaProgramu = [dir = fDir.Path().string() + "/"] { return dir; };
        deps.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        fFrm = std::make_unique<TTestFrm>(std::move(deps));
        fFrm->FormCreate();
        fFrm->VytvorInfoForm();
        for (std::size_t e = 0; e < 8; ++e) {
            NORLINKRecNew.ZpravaPorucha[e] = "porucha " + std::to_string(e + 1);
        }
        fFrm->Logika().VseZnameZeZarizeni();
        fFrm->SEdt_PocetExpanderu->setValue(3);
        fFrm->show();
        fFrm->activateWindow();
    }
    ~Mema() override {
        fFrm->close();
        fFrm.reset();
        NORLINKRec = fRec;
        NORLINKRecNew = fRecNew;
    }
    void Pis(TMemoEdit* memo, const QString& text) {
        memo->setFocus();
        QTRY_VERIFY(memo->hasFocus());
        memo->moveCursor(QTextCursor::End);
        // As a keyboard layout types them: the key's text, whatever its code.
        for (const QChar c : text) {
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(memo, &key);
            }
        }
    }

    TTempDir fDir;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::unique_ptr<TTestFrm> fFrm;
    TNORLINK fRec{};
    TNORLINK fRecNew{};
};

TEST_F(Mema, TextIsStoredUnderTheExpanderItWasTypedForHoweverTheSelectionChanges) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(fFrm.get()));
    for (int cesta = 0; cesta < 3; ++cesta) {
        SCOPED_TRACE(cesta);
        NORLINKRecNew.ZpravaPorucha[0] = "porucha 1";
        fFrm->Cmb_Expander->setCurrentIndex(0);
        fFrm->Cmb_ExpanderChange();
        Pis(fFrm->Mem_Porucha, "X");
        QComboBox* list = fFrm->Cmb_Expander;
        if (cesta == 0) { // the keyboard: the focus moves to the list first
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Down);
        } else if (cesta == 1) { // the mouse wheel over the list, the focus stays in the memo
            const QPointF at = list->rect().center();
            QWheelEvent wheel(at, list->mapToGlobal(at), {}, {0, -120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &wheel);
        } else { // the spin edit's value changes: the list is built anew, expander 1 shown
            const QPointF at = fFrm->SEdt_PocetExpanderu->rect().center();
            QWheelEvent wheel(at, fFrm->SEdt_PocetExpanderu->mapToGlobal(at), {}, {0, 120},
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(fFrm->SEdt_PocetExpanderu, &wheel);
        }
        EXPECT_EQ(NORLINKRecNew.ZpravaPorucha[0].View(), "porucha 1X");
        EXPECT_EQ(NORLINKRecNew.ZpravaPorucha[1].View(), "porucha 2");
        const int shown = cesta == 2 ? 0 : 1;
        EXPECT_EQ(list->currentIndex(), shown);
        EXPECT_EQ(fFrm->Mem_Porucha->Text(), NORLINKRecNew.ZpravaPorucha[shown].Str());
    }
    EXPECT_EQ(fFrm->SEdt_PocetExpanderu->value(), 4);
}

TEST_F(Mema, OpeningAMenuStoresNothingAndLeavingTheMemoDoes) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(fFrm.get()));
    Pis(fFrm->Mem_Obnova, "ahoj");
    fFrm->Men_Program->popup(fFrm->mapToGlobal(QPoint(0, 0)));
    QTRY_VERIFY(fFrm->Men_Program->isVisible());
    fFrm->Men_Program->hide();
    EXPECT_EQ(NORLINKRecNew.ZpravaObnova[0].View(), "") << "a menu does not move the focus";
    fFrm->Mem_Porucha->setFocus();
    QTRY_VERIFY(fFrm->Mem_Porucha->hasFocus());
    EXPECT_EQ(NORLINKRecNew.ZpravaObnova[0].View(), "ahoj");
}

TEST_F(Mema, CharactersWithoutAByteAreRefusedWhenTypedOrPasted) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(fFrm.get()));
    TMemoEdit* memo = fFrm->Mem_Sepnuti;
    Pis(memo, QString::fromUtf8("Požár č."));
    EXPECT_TRUE(memo->Odmitnuto().isEmpty());
    for (const char* refused : {"日", "😀", "Ω"}) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                      QString::fromUtf8(refused));
        QApplication::sendEvent(memo, &key);
        EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("Požár č.")) << refused;
        EXPECT_TRUE(memo->Odmitnuto().contains(QString::fromUtf8(refused))) << refused;
    }
    QApplication::clipboard()->setText(QString::fromUtf8("ok 日 ok"));
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("Požár č.")) << "nothing of it is pasted";
    QApplication::clipboard()->setText(QString::fromUtf8(" ř€"));
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("Požár č. ř€"));
}

TEST_F(Mema, TextFromTheDeviceIsShownWholeAndGoesBackByteForByte) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(fFrm.get()));
    std::string bytes;
    for (int i = 0; i < 240; ++i) {
        bytes += static_cast<char>(1 + (i * 7) % 254);
    }
    NORLINKRecNew.ZpravaPorucha[0] = bytes;
    fFrm->Cmb_ExpanderChange();
    // Lone CR and LF, a no-break space, control codes: shown, and read back, as they came.
    bytes[10] = '\n';
    bytes[20] = '\r';
    bytes[30] = '\r';
    bytes[31] = '\n';
    bytes[40] = static_cast<char>(0xA0);
    NORLINKRecNew.ZpravaPorucha[0] = bytes;
    fFrm->Cmb_ExpanderChange();
    EXPECT_EQ(fFrm->Mem_Porucha->Text(), Cp1250DoUtf8(bytes));
    EXPECT_EQ(fFrm->Mem_Porucha->Length(), 240);
    fFrm->Mem_Porucha->setFocus();
    QTRY_VERIFY(fFrm->Mem_Porucha->hasFocus());
    fFrm->Mem_Obnova->setFocus();
    QTRY_VERIFY(fFrm->Mem_Obnova->hasFocus());
    EXPECT_EQ(NORLINKRecNew.ZpravaPorucha[0].View(), bytes);
    // Typing into it stops at the limit: it is already past 160.
    Pis(fFrm->Mem_Porucha, "abc");
    EXPECT_EQ(NORLINKRecNew.ZpravaPorucha[0].View(), bytes);
}

TEST_F(Mema, ExpanderCountStaysOneToEightAndFewerExpandersKeepTheOthers) {
    QSpinBox* spin = fFrm->SEdt_PocetExpanderu;
    NORLINKRecNew.ZpravaPorucha[2] = "t\xF8"
                                     "et\xED"; // "třetí" in the device's bytes
    spin->setValue(1);
    EXPECT_EQ(fFrm->Cmb_Expander->count(), 1);
    spin->setValue(3);
    ASSERT_EQ(fFrm->Cmb_Expander->count(), 3);
    fFrm->Cmb_Expander->setCurrentIndex(2);
    fFrm->Cmb_ExpanderChange();
    EXPECT_EQ(fFrm->Mem_Porucha->Text(), "třetí");
    auto* edit = spin->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    for (const char* typed : {"9", "0", "-3", "x", "88"}) {
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_GE(spin->value(), 1) << typed;
        EXPECT_LE(spin->value(), 8) << typed;
        EXPECT_GE(fFrm->Cmb_Expander->count(), 1) << typed;
        EXPECT_LE(fFrm->Cmb_Expander->count(), 8) << typed;
    }
}

} // namespace
