// The window's message boxes on real widgets: they stay within the screen whatever they say, their
// buttons stay in view, and keys and clicks answer them.

#include "Main.h"
#include "ProgramRun.h"
#include "QtTimer.h"

#include "FakeSerialPort.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace program_run;

TMainZavislosti Zavislosti(const std::string& folder) {
    TMainZavislosti deps;
    deps.SlozkaProgramu = [folder] { return folder; };
    deps.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
    deps.VytvorPort = [] { return std::make_unique<FakeSerialPort>(std::make_shared<FakeLine>()); };
    return deps;
}

// Runs answer on the box once it is on screen; the box's own loop runs meanwhile. A box that the
// answer left open is closed, so that a failing test does not hang.
void NaBox(std::function<void(QDialog& box)> answer) {
    auto* timer = new QTimer();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            timer->stop();
            answer(*box);
            if (box->isVisible()) {
                box->reject();
            }
        }
    });
    timer->start(10);
}

QPushButton* Tlacitko(QDialog& box, int index) {
    return box.findChild<QPushButton*>(QStringLiteral("Tlacitko%1").arg(index));
}

TEST(Hlaseni, NeverGrowsPastTheScreenAndItsButtonsStayInView) {
    TTempDir dir;
    TFrm_Main frm(Zavislosti(dir.Path().string() + "/"));
    const std::string cesta = "/dev/" + std::string(60000, 'x');
    std::string radky;
    for (int i = 0; i < 3000; ++i) {
        radky += "řádek " + std::to_string(i) + " s několika slovy\n";
    }
    struct Case {
        const char* Name;
        std::function<void()> Show;
        std::string Shown;
    };
    const Case cases[] = {
        {"a 60 KB device path", [&] { frm.Varovani("Port nelze otevřít", cesta); }, cesta},
        {"3000 lines", [&] { frm.Chyba(radky); }, radky},
        {"a long question", [&] { frm.OtazkaAnoNe(radky + cesta, TVychoziOdpoved::Ano); },
         radky + cesta},
        {"a short warning", [&] { frm.Varovani("Krátké", "a krátký detail"); }, "Krátké"},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        bool seen = false;
        NaBox([&](QDialog& box) {
            seen = true;
            EXPECT_TRUE(screen.contains(box.frameGeometry()))
                << box.frameGeometry().width() << "x" << box.frameGeometry().height();
            auto* text = box.findChild<QTextEdit*>(QStringLiteral("Text"));
            ASSERT_NE(text, nullptr);
            EXPECT_TRUE(text->toPlainText().contains(QString::fromStdString(c.Shown)))
                << "nothing is cut off";
            QPushButton* ok = Tlacitko(box, 0);
            ASSERT_NE(ok, nullptr);
            EXPECT_TRUE(ok->isVisible());
            EXPECT_TRUE(box.rect().contains(QRect(ok->mapTo(&box, QPoint()), ok->size())));
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        c.Show();
        EXPECT_TRUE(seen);
    }
}

TEST(Hlaseni, QuestionIsAnsweredByItsButtonsAndKeys) {
    TTempDir dir;
    TFrm_Main frm(Zavislosti(dir.Path().string() + "/"));
    struct Case {
        const char* Name;
        TVychoziOdpoved Vychozi;
        std::function<void(QDialog& box)> Answer;
        bool Yes;
    };
    const auto enter = [](QDialog& box) { QTest::keyClick(&box, Qt::Key_Return); };
    const Case cases[] = {
        {"Enter takes the default, Ano", TVychoziOdpoved::Ano, enter, true},
        {"Enter takes the default, Ne", TVychoziOdpoved::Ne, enter, false},
        {"Escape is Ne", TVychoziOdpoved::Ano,
         [](QDialog& box) { QTest::keyClick(&box, Qt::Key_Escape); }, false},
        {"a click on Ne", TVychoziOdpoved::Ano,
         [](QDialog& box) { QTest::mouseClick(Tlacitko(box, 1), Qt::LeftButton); }, false},
        {"a click on Ano", TVychoziOdpoved::Ne,
         [](QDialog& box) { QTest::mouseClick(Tlacitko(box, 0), Qt::LeftButton); }, true},
        {"the window's close", TVychoziOdpoved::Ano, [](QDialog& box) { box.close(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        NaBox([&](QDialog& box) {
            EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Varování"));
            EXPECT_EQ(Tlacitko(box, 0)->text(), "&Ano");
            EXPECT_EQ(Tlacitko(box, 1)->text(), "&Ne");
            c.Answer(box);
        });
        EXPECT_EQ(frm.OtazkaAnoNe("Chcete opravdu změnit komunikační port?", c.Vychozi), c.Yes);
    }
}

} // namespace
