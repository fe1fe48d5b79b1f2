// The window's layout built apart from its logic: its controls go with the window, its designed
// size holds them; and the window's place fitted to a screen.

#include "RozvrzeniOkna.h"
#include "UmisteniOkna.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

TEST(Rozvrzeni, ControlsMenusAndPanelsGoWithTheWindow) {
    auto okno = std::make_unique<QMainWindow>();
    const TOvladaceOkna o = VytvorRozvrzeni(*okno);
    std::vector<QPointer<QObject>> objekty;
    for (QObject* x : std::initializer_list<QObject*>{
             o.Klient, o.Led_Incoming, o.Ovladac(TOvladac::Btn_reset), o.Label5, o.Sriovport1,
             o.Stb_Panels[3], o.cmProtokol, o.cmCOM.back(), o.N1}) {
        objekty.emplace_back(x);
    }
    for (const QPointer<QObject>& p : objekty) {
        ASSERT_FALSE(p.isNull());
    }
    okno.reset();
    for (const QPointer<QObject>& p : objekty) {
        EXPECT_TRUE(p.isNull()) << "left behind by the window";
    }
}

TEST(Rozvrzeni, DesignedSizeHoldsTheClientAreaMenuAndStatusBar) {
    QMainWindow okno;
    const TOvladaceOkna o = VytvorRozvrzeni(okno);
    const QSize size = o.VychoziVelikost();
    EXPECT_EQ(size.width(), o.VychoziKlient.width());
    EXPECT_GT(size.height(), o.VychoziKlient.height() + o.Stb_Main->height());
    EXPECT_TRUE(o.VychoziKlient.expandedTo(o.Klient->sizeHint()) == o.VychoziKlient);
    EXPECT_LE(okno.minimumWidth(), 1024);
    EXPECT_LE(okno.minimumHeight(), 600);
}

// Hand-worked rows: a window that fits stays, one too large is cut to the area less the frame,
// one beyond an edge comes back in, and the minimum wins over a small request.
TEST(Umisteni, FitsTheWindowIntoTheAvailableArea) {
    struct Row {
        QRect Okno, Oblast;
        QSize Ramec, Minimum;
        QRect Expected;
    };
    const Row rows[] = {
        {{100, 50, 800, 600}, {0, 0, 1600, 900}, {0, 0}, {300, 200}, {100, 50, 800, 600}},
        {{20, 30, 3000, 2000}, {0, 0, 1600, 900}, {10, 30}, {300, 200}, {0, 0, 1590, 870}},
        {{1500, 800, 400, 300}, {0, 0, 1600, 900}, {0, 0}, {300, 200}, {1200, 600, 400, 300}},
        {{1500, 800, 400, 300}, {0, 0, 1600, 900}, {8, 28}, {300, 200}, {1192, 572, 400, 300}},
        {{-50, -70, 400, 300}, {100, 40, 1500, 860}, {0, 0}, {300, 200}, {100, 40, 400, 300}},
        {{0, 0, 200, 100}, {0, 0, 1600, 900}, {0, 0}, {640, 480}, {0, 0, 640, 480}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.Okno.x() << "," << row.Okno.y() << " "
                                        << row.Okno.width() << "x" << row.Okno.height());
        EXPECT_EQ(VOblasti(row.Okno, row.Oblast, row.Ramec, row.Minimum), row.Expected);
    }
}

// Wherever the last close left it, a window whose minimum fits lies whole in the area, frame
// included, and is never larger than asked.
TEST(Umisteni, AnyPlaceEndsWholeInTheArea) {
    const QRect oblast(0, 24, 1366, 744);
    const QSize ramec(4, 26);
    const QSize minimum(640, 400);
    for (int x = -3000; x <= 3000; x += 250) {
        for (int y = -2000; y <= 2000; y += 250) {
            for (const QSize size : {QSize(700, 500), QSize(1366, 768), QSize(5000, 300)}) {
                const QRect r = VOblasti(QRect(QPoint(x, y), size), oblast, ramec, minimum);
                ASSERT_TRUE(oblast.contains(QRect(r.topLeft(), r.size() + ramec)))
                    << x << "," << y << " " << size.width() << "x" << size.height();
                ASSERT_LE(r.width(), std::max(size.width(), minimum.width()));
                ASSERT_LE(r.height(), std::max(size.height(), minimum.height()));
            }
        }
    }
}

} // namespace
