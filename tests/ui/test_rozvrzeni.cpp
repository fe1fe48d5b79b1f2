// The window's layout built apart from its logic: every control the logic names is on the window
// under its own name and goes with it; and the window's place from norlink.ini fitted to a screen.

#include "ProgramRun.h"
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

using namespace program_run;

QString L(const char* text) {
    return QString::fromLatin1(text);
}

TEST(Rozvrzeni, EveryControlTheLogicNamesIsOnTheWindowUnderThatName) {
    QMainWindow okno;
    const TOvladaceOkna o = VytvorRozvrzeni(okno);
    const std::vector<std::pair<TOvladac, const char*>> ovladace{
        {TOvladac::Btn_NactiTelCisla, "Btn_NactiTelCisla"},
        {TOvladac::Btn_ZapisTelCisla, "Btn_ZapisTelCisla"},
        {TOvladac::Hg_PhoneNumbers, "Hg_PhoneNumbers"},
        {TOvladac::SEdt_PocetExpanderu, "SEdt_PocetExpanderu"},
        {TOvladac::Btn_NactiExpandery, "Btn_NactiExpandery"},
        {TOvladac::Btn_NactiAktualni, "Btn_NactiAktualni"},
        {TOvladac::Btn_reset, "Btn_reset"},
        {TOvladac::Btn_ZapisNastaveni, "Btn_ZapisNastaveni"},
        {TOvladac::Cmb_Expander, "Cmb_Expander"},
        {TOvladac::Hg_Komunikace, "Hg_Komunikace"},
        {TOvladac::Mem_Porucha, "Mem_Porucha"},
        {TOvladac::Mem_Obnova, "Mem_Obnova"},
        {TOvladac::Cmb_Vstup, "Cmb_Vstup"},
        {TOvladac::Hg_Vstupy, "Hg_Vstupy"},
        {TOvladac::Mem_Sepnuti, "Mem_Sepnuti"},
        {TOvladac::Mem_Rozpojeni, "Mem_Rozpojeni"},
    };
    for (const auto& [id, name] : ovladace) {
        SCOPED_TRACE(name);
        QWidget* w = o.Ovladac(id);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), L(name));
        EXPECT_EQ(okno.findChild<QWidget*>(L(name)), w);
        EXPECT_TRUE(o.Klient->isAncestorOf(w));
    }
    for (const auto& [id, ovladac] :
         {std::pair{TMrizka::Hg_PhoneNumbers, TOvladac::Hg_PhoneNumbers},
          {TMrizka::Hg_Komunikace, TOvladac::Hg_Komunikace},
          {TMrizka::Hg_Vstupy, TOvladac::Hg_Vstupy}}) {
        EXPECT_EQ(o.Mrizka(id), o.Ovladac(ovladac));
    }
    for (const auto& [id, ovladac] : {std::pair{TMemo::Mem_Porucha, TOvladac::Mem_Porucha},
                                      {TMemo::Mem_Obnova, TOvladac::Mem_Obnova},
                                      {TMemo::Mem_Sepnuti, TOvladac::Mem_Sepnuti},
                                      {TMemo::Mem_Rozpojeni, TOvladac::Mem_Rozpojeni}}) {
        EXPECT_EQ(o.Memo(id), o.Ovladac(ovladac));
    }
    EXPECT_EQ(o.Seznam(TSeznam::Cmb_Expander), o.Ovladac(TOvladac::Cmb_Expander));
    EXPECT_EQ(o.Seznam(TSeznam::Cmb_Vstup), o.Ovladac(TOvladac::Cmb_Vstup));
    // The lists the window walks through hold the same controls in the logic's order.
    EXPECT_EQ(o.Mrizky()[1], o.Mrizka(TMrizka::Hg_Komunikace));
    EXPECT_EQ(o.Mema()[2], o.Memo(TMemo::Mem_Sepnuti));
    // Each memo's counter is named after it.
    for (std::size_t i = 0; i < o.Lbl_Delka.size(); ++i) {
        ASSERT_NE(o.Lbl_Delka.at(i), nullptr);
        EXPECT_EQ(o.Lbl_Delka.at(i)->objectName(), o.Mema().at(i)->objectName() + L("_Delka"));
    }
    EXPECT_EQ(okno.statusBar(), o.Stb_Main);
    EXPECT_EQ(okno.menuBar(), o.Men_Main);
}

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

TEST(Umisteni, WrittenPlaceIsReadBackAndTheRestOfTheFileKept) {
    TTempDir dir;
    const std::string ini = (dir.Path() / "norlink.ini").string();
    WriteFile(ini, "[Porty]\nCOM2=/dev/ttyUSB0\n");
    const QRect vychozi(246, 108, 1100, 560);
    EXPECT_EQ(NactiUmisteni(ini, vychozi), vychozi);

    const QRect misto(-8, 12, 900, 650);
    ZapisUmisteni(ini, misto);
    EXPECT_EQ(NactiUmisteni(ini, vychozi), misto);
    EXPECT_NE(ReadFile(ini).find("COM2=/dev/ttyUSB0"), std::string::npos);
}

TEST(Umisteni, SizeWithoutPlaceKeepsTheDesignedPlaceAndNoSizeKeepsAll) {
    TTempDir dir;
    const std::string ini = (dir.Path() / "norlink.ini").string();
    const QRect vychozi(246, 108, 1100, 560);
    WriteFile(ini, "[Okno]\nSirka=700\nVyska=500\n");
    EXPECT_EQ(NactiUmisteni(ini, vychozi), QRect(vychozi.topLeft(), QSize(700, 500)));
    WriteFile(ini, "[Okno]\nX=5\nY=6\nSirka=0\nVyska=500\n");
    EXPECT_EQ(NactiUmisteni(ini, vychozi), vychozi);
    WriteFile(ini, "[Okno]\nX=5\nY=6\nSirka=700\nVyska=-1\n");
    EXPECT_EQ(NactiUmisteni(ini, vychozi), vychozi);
}

} // namespace
