// The progress dialog: its controls, stay-on-top without caption buttons, resetting on show,
// hiding its bars on close, and refusing to be closed by the user.

#include "info.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

class Info : public ::testing::Test {
protected:
    Info() : fParent(std::make_unique<QWidget>()), fInfo(new TInfoForm(fParent.get())) {
        fParent->resize(400, 300);
        fParent->show();
    }
    // Shown as an operation shows it, and active so it gets the keys.
    void ShowActive() {
        fInfo->ShowModeless();
        fInfo->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fInfo));
    }

    std::unique_ptr<QWidget> fParent;
    TInfoForm* fInfo; // owned by fParent
};

TEST_F(Info, IsCreatedHiddenWithItsControls) {
    EXPECT_EQ(fInfo->objectName(), "InfoForm");
    EXPECT_FALSE(fInfo->isVisible());
    EXPECT_EQ(fInfo->windowTitle(), "");
    EXPECT_EQ(fInfo->findChild<QFrame*>("Panel1"), fInfo->Panel1);
    EXPECT_EQ(fInfo->findChild<QLabel*>("Lbl_Text"), fInfo->Lbl_Text);
    EXPECT_EQ(fInfo->Lbl_Text->text(), "") << "the design text is cleared at creation";
    EXPECT_TRUE(fInfo->Lbl_Text->font().bold());
    for (QProgressBar* bar : {fInfo->Pgb_Horni, fInfo->Pgb_Dolni}) {
        EXPECT_TRUE(bar->isHidden());
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 12);
        EXPECT_EQ(bar->value(), 1);
    }
    EXPECT_EQ(fInfo->findChild<QPushButton*>("Btn_Prerusit"), fInfo->Btn_Prerusit);
    EXPECT_EQ(fInfo->Btn_Prerusit->text(), QString::fromUtf8("Přerušit"));
    EXPECT_TRUE(fInfo->Btn_Prerusit->isHidden());
    EXPECT_GE(fInfo->Btn_Prerusit->y(), fInfo->height()) << "below the client area";
    EXPECT_FALSE(fInfo->PrerusNacitani());
}

TEST_F(Info, StaysOnTopWithoutCaptionButtons) {
    const Qt::WindowFlags flags = fInfo->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(fInfo->parentWidget(), fParent.get());
    EXPECT_EQ(fInfo->minimumSize(), fInfo->maximumSize()) << "fixed dialog border";
}

TEST_F(Info, OperationTextsFitTheLabel) {
    QFont bold = fInfo->Lbl_Text->font();
    const QFontMetrics metrics(bold);
    for (const char* text : {"Načítání telefonních čísel 16/16", "Zápis telefonních čísel",
                             "Načítání nastavení", "Zápis nastavení"}) {
        EXPECT_LE(metrics.horizontalAdvance(QString::fromUtf8(text)), fInfo->Lbl_Text->width())
            << text;
    }
    EXPECT_TRUE(fInfo->Panel1->geometry().contains(
        fInfo->Pgb_Dolni->geometry().translated(fInfo->Panel1->pos())));
    EXPECT_TRUE(fInfo->rect().contains(fInfo->Panel1->geometry()));
}

TEST_F(Info, ShowingResetsBarsAndTheCancelRequest) {
    // An operation's steps 1 to 5 after an earlier one left the bar at its maximum.
    fInfo->SetDolniVisible(true);
    fInfo->SetHorniVisible(false);
    fInfo->SetDolniMax(19);
    fInfo->SetDolniPosition(19);
    fInfo->Btn_PrerusitClick();
    EXPECT_TRUE(fInfo->PrerusNacitani());
    fInfo->SetText("Načítání telefonních čísel");
    fInfo->SetCaption("");
    fInfo->ShowModeless();
    EXPECT_TRUE(fInfo->IsShown());
    EXPECT_EQ(fInfo->DolniPosition(), 0);
    EXPECT_EQ(fInfo->Pgb_Horni->value(), 0);
    EXPECT_FALSE(fInfo->PrerusNacitani());
    EXPECT_EQ(fInfo->DolniMax(), 19);
    EXPECT_TRUE(fInfo->DolniVisible());
    EXPECT_EQ(fInfo->Text(), "Načítání telefonních čísel");

    for (int i = 0; i < 25; ++i) {
        fInfo->StepDolni();
    }
    EXPECT_EQ(fInfo->DolniPosition(), 19) << "stops at its maximum";
    fInfo->Hide();
    fInfo->ShowModeless();
    EXPECT_EQ(fInfo->DolniPosition(), 0);
}

TEST_F(Info, ClosingHidesTheDialogAndBothBars) {
    fInfo->SetDolniVisible(true);
    fInfo->SetHorniVisible(true);
    fInfo->ShowModeless();
    fInfo->Close();
    EXPECT_FALSE(fInfo->IsShown());
    EXPECT_FALSE(fInfo->DolniVisible());
    EXPECT_TRUE(fInfo->Pgb_Horni->isHidden());
    // The next operation makes its bar visible again and reuses the same dialog.
    fInfo->SetDolniVisible(true);
    fInfo->ShowModeless();
    EXPECT_TRUE(fInfo->IsShown());
    EXPECT_TRUE(fInfo->DolniVisible());
}

TEST_F(Info, TheUserCannotCloseIt) {
    ShowActive();
    fInfo->SetDolniVisible(true);
    // Alt+F4 is cancelled before the dialog or its controls act on it.
    QTest::keyClick(fInfo, Qt::Key_F4, Qt::AltModifier);
    QTest::qWait(50);
    EXPECT_TRUE(fInfo->isVisible());
    EXPECT_TRUE(fInfo->FormKeyDown(Qt::Key_F4, Qt::AltModifier));
    EXPECT_FALSE(fInfo->FormKeyDown(Qt::Key_F4, Qt::NoModifier));
    EXPECT_FALSE(fInfo->FormKeyDown(Qt::Key_F3, Qt::AltModifier));
    // A close request from outside (the window manager's, which Alt+F4 gives on a desktop) is
    // refused as well, and the bars stay.
    ASSERT_NE(fInfo->windowHandle(), nullptr);
    fInfo->windowHandle()->close();
    QTest::qWait(50);
    EXPECT_TRUE(fInfo->isVisible());
    EXPECT_TRUE(fInfo->DolniVisible());
    EXPECT_FALSE(fInfo->QWidget::close());
    EXPECT_TRUE(fInfo->isVisible());
    // Escape does not dismiss it either.
    QTest::keyClick(fInfo, Qt::Key_Escape);
    EXPECT_TRUE(fInfo->isVisible());
    // Only the program's own close hides it.
    fInfo->Close();
    EXPECT_FALSE(fInfo->isVisible());
}

// Each operation's title is its own text unless it set a caption; the dialog grows so that a long
// text and the progress line are never cut; the progress line counts the telegrams.
TEST_F(Info, TitleNamesTheOperationAndNoTextIsCut) {
    fInfo->SetText("Načítání nastavení");
    fInfo->SetCaption("");
    fInfo->SetDolniMax(288);
    fInfo->SetPrerusitVisible(true);
    fInfo->ShowModeless();
    EXPECT_EQ(fInfo->windowTitle(), QString::fromUtf8("Načítání nastavení"));
    fInfo->SetDolniPosition(143);
    EXPECT_TRUE(fInfo->Lbl_Prubeh->text().startsWith("telegram 143 z 288"))
        << fInfo->Lbl_Prubeh->text().toStdString();
    const QSize before = fInfo->size();
    fInfo->SetText("Komunikátor neodpovídá - zkontrolujte kabel a napájení");
    EXPECT_GT(fInfo->width(), before.width());
    for (const QLabel* label : {fInfo->Lbl_Text, fInfo->Lbl_Prubeh}) {
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
        EXPECT_TRUE(fInfo->Panel1->rect().contains(label->geometry()));
    }
    EXPECT_TRUE(fInfo->rect().contains(fInfo->Panel1->geometry()));
    EXPECT_TRUE(fInfo->rect().contains(fInfo->Btn_Prerusit->geometry()));
    EXPECT_FALSE(fInfo->Btn_Prerusit->geometry().intersects(fInfo->Panel1->geometry()));
    fInfo->Hide();

    // A write sets no caption: its own text is the title, not the read's.
    fInfo->SetText("Zápis nastavení");
    fInfo->ShowModeless();
    EXPECT_EQ(fInfo->windowTitle(), QString::fromUtf8("Zápis nastavení"));
    EXPECT_EQ(fInfo->width(), before.width()) << "short texts again: back to its size";
}

TEST_F(Info, ALabelLeftUnsetIsEmpty) {
    fInfo->ShowModeless();
    EXPECT_EQ(fInfo->Lbl_Text->text(), "");
}

} // namespace
