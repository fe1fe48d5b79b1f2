#include "RozvrzeniOkna.h"

#include "Meritko.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

constexpr int k_PocetRadku = 17;
// Panel 0 takes what the others leave, at least its minimum.
constexpr std::array<int, 4> k_SirkyPanelu{150, 130, 110, 110};

QPushButton* Tlacitko(QWidget* parent, const char* name, const char* caption, const QRect& rect) {
    auto* button = new QPushButton(Q(caption), parent);
    button->setObjectName(Q(name));
    button->setGeometry(rect);
    return button;
}

QLabel* Popisek(QWidget* parent, const char* name, const char* caption, QPoint place) {
    auto* label = new QLabel(Q(caption), parent);
    label->setObjectName(Q(name));
    label->move(place);
    label->adjustSize();
    return label;
}

// A grid whose row 0 and column 0 are fixed (not editable, drawn like a header); cells are
// addressed (column, row) as the workflows count them.
TEditGrid* NovaMrizka(QWidget* parent, const char* name, const QRect& rect,
                      std::initializer_list<int> sirky, const TMeritko& m,
                      std::initializer_list<const char*> hlavicky) {
    const int columns = static_cast<int>(sirky.size());
    auto* grid = new TEditGrid(k_PocetRadku, columns, parent);
    grid->setObjectName(Q(name));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    // Column 0 keeps its width; the others share what the grid gets beyond it, each at least as
    // wide as designed. Rows share the height, each at least as high as designed.
    int col = 0;
    int nejsirsi = 0;
    for (const int sirka : sirky) {
        grid->setColumnWidth(col, m.X(sirka));
        if (col > 0) {
            grid->horizontalHeader()->setSectionResizeMode(col, QHeaderView::Stretch);
            nejsirsi = std::max(nejsirsi, m.X(sirka));
        }
        ++col;
    }
    grid->verticalHeader()->setMinimumSectionSize(m.Y(20));
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int ramecek = 2 * grid->frameWidth();
    grid->setMinimumSize(m.X(*sirky.begin()) + (columns - 1) * nejsirsi + ramecek,
                         std::max(rect.height(), k_PocetRadku * m.Y(20) + ramecek));
    grid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (int row = 0; row < k_PocetRadku; ++row) {
        for (col = 0; col < columns; ++col) {
            auto* item = new QTableWidgetItem();
            if (row == 0 || col == 0) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(grid->palette().button());
                item->setForeground(grid->palette().buttonText());
                item->setTextAlignment(Qt::AlignCenter);
            }
            grid->setItem(row, col, item);
        }
    }
    col = 0;
    for (const char* hlavicka : hlavicky) {
        grid->item(0, col++)->setText(Q(hlavicka));
    }
    return grid;
}

TMemoEdit* NoveMemo(QWidget* parent, const char* name, const TMeritko& m) {
    auto* memo = new TMemoEdit(parent);
    memo->setObjectName(Q(name));
    memo->setMinimumSize(m.X(120), m.Y(60));
    return memo;
}

// The controls lie in a grid of five columns (phone numbers, the expander's recipients and texts,
// the input's recipients and texts) under a row of buttons, as designed; the grids and memos take
// what the window gives beyond that. Below its minimum the window scrolls.
void VytvorOvladace(QMainWindow& okno, TOvladaceOkna& o) {
    auto* scroll = new QScrollArea(&okno);
    scroll->setObjectName(QStringLiteral("Sbx_Klient"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    okno.setCentralWidget(scroll);
    auto* client = new QWidget(scroll);
    client->setObjectName(QStringLiteral("Pnl_Klient"));
    o.Klient = client;
    const TMeritko m(okno.font());

    o.Led_Incoming = new TLed(client);
    o.Led_Incoming->setObjectName(QStringLiteral("Led_Incoming"));
    o.Led_Incoming->setFixedSize(m.Y(16), m.Y(16));
    o.Led_Incoming->setProperty("blinkInterval", 200);

    o.Btn_NactiTelCisla =
        Tlacitko(client, "Btn_NactiTelCisla", "Načti tel. čísla", m.Rect(80, 16, 121, 24));
    o.Btn_ZapisTelCisla =
        Tlacitko(client, "Btn_ZapisTelCisla", "Zapiš tel. čísla", m.Rect(80, 48, 121, 24));
    o.Btn_ZapisTelCisla->setEnabled(false);
    o.Hg_PhoneNumbers = NovaMrizka(client, "Hg_PhoneNumbers", m.Rect(40, 95, 191, 361), {50, 136},
                                   m, {"Tel. číslo"});
    o.Hg_PhoneNumbers->setEnabled(false);

    o.Label1 = Popisek(client, "Label1", "Počet expanderů", {m.X(272), m.Y(24)});
    o.SEdt_PocetExpanderu = new QSpinBox(client);
    o.SEdt_PocetExpanderu->setObjectName(QStringLiteral("SEdt_PocetExpanderu"));
    o.SEdt_PocetExpanderu->setRange(1, 8);
    o.SEdt_PocetExpanderu->setValue(1);
    o.SEdt_PocetExpanderu->setMinimumWidth(
        std::max(m.X(49), o.SEdt_PocetExpanderu->sizeHint().width()));

    o.Btn_NactiExpandery = Tlacitko(client, "Btn_NactiExpandery", "Načti nastavení expanderů - vše",
                                    m.Rect(443, 3, 200, 24));
    o.Btn_NactiAktualni =
        Tlacitko(client, "Btn_NactiAktualni", "Načti jen nastavení vybraného vstupu",
                 m.Rect(443, 35, 200, 24));
    o.Btn_reset = Tlacitko(client, "Btn_reset", "Vyber jiný vstup", m.Rect(443, 67, 200, 25));
    o.Btn_ZapisNastaveni = Tlacitko(client, "Btn_ZapisNastaveni", "Zapiš nastavení expanderů",
                                    m.Rect(667, 19, 142, 24));
    for (QPushButton* button :
         {o.Btn_NactiExpandery, o.Btn_NactiAktualni, o.Btn_reset, o.Btn_ZapisNastaveni}) {
        button->setEnabled(false);
    }

    o.Cmb_Expander = new QComboBox(client);
    o.Cmb_Expander->setObjectName(QStringLiteral("Cmb_Expander"));
    o.Hg_Komunikace = NovaMrizka(client, "Hg_Komunikace", m.Rect(264, 95, 156, 361), {50, 50, 50},
                                 m, {"Tel. číslo", "Porucha", "Obnova"});
    o.Label2 = Popisek(client, "Label2", "Porucha komunikace", {m.X(432), m.Y(96)});
    o.Mem_Porucha = NoveMemo(client, "Mem_Porucha", m);
    o.Label4 = Popisek(client, "Label4", "Obnovení komunikace", {m.X(432), m.Y(288)});
    o.Mem_Obnova = NoveMemo(client, "Mem_Obnova", m);

    o.Cmb_Vstup = new QComboBox(client);
    o.Cmb_Vstup->setObjectName(QStringLiteral("Cmb_Vstup"));
    o.Hg_Vstupy = NovaMrizka(client, "Hg_Vstupy", m.Rect(655, 95, 162, 361), {50, 50, 55}, m,
                             {"Tel. číslo", "Sepnutí", "Rozpojení"});
    o.Label6 = Popisek(client, "Label6", "Sepnutí vstupů", {m.X(832), m.Y(96)});
    o.Mem_Sepnuti = NoveMemo(client, "Mem_Sepnuti", m);
    o.Label5 = Popisek(client, "Label5", "Rozpojení vstupů", {m.X(832), m.Y(288)});
    o.Mem_Rozpojeni = NoveMemo(client, "Mem_Rozpojeni", m);
    for (QComboBox* list : {o.Cmb_Expander, o.Cmb_Vstup}) {
        // Wide enough for "Expander 8" whatever the count shown now.
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(static_cast<int>(QString::fromUtf8("Expander 8").size()));
    }
    std::size_t i = 0;
    for (TMemoEdit* memo : o.Mema()) {
        auto* counter = new QLabel(client);
        counter->setObjectName(memo->objectName() + QStringLiteral("_Delka"));
        counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        o.Lbl_Delka.at(i++) = counter;
    }

    const int mezera = m.X(12);
    auto* g = new QGridLayout(client);
    g->setContentsMargins(m.X(6), m.Y(3), m.X(6), m.Y(3));
    g->setHorizontalSpacing(mezera);
    g->setVerticalSpacing(m.Y(3));

    auto* telefony = new QVBoxLayout;
    telefony->addWidget(o.Led_Incoming, 0, Qt::AlignLeft);
    telefony->addWidget(o.Btn_NactiTelCisla);
    telefony->addWidget(o.Btn_ZapisTelCisla);
    telefony->addStretch();
    g->addLayout(telefony, 0, 0);

    auto* expandery = new QVBoxLayout;
    auto* pocet = new QHBoxLayout;
    pocet->addWidget(o.Label1);
    pocet->addWidget(o.SEdt_PocetExpanderu);
    pocet->addStretch();
    expandery->addSpacing(m.Y(18));
    expandery->addLayout(pocet);
    expandery->addStretch();
    expandery->addWidget(o.Cmb_Expander);
    g->addLayout(expandery, 0, 1);

    auto* cteni = new QVBoxLayout;
    cteni->addWidget(o.Btn_NactiExpandery);
    cteni->addWidget(o.Btn_NactiAktualni);
    cteni->addWidget(o.Btn_reset);
    g->addLayout(cteni, 0, 2);

    auto* vstupy = new QVBoxLayout;
    vstupy->addSpacing(m.Y(16));
    vstupy->addWidget(o.Btn_ZapisNastaveni);
    vstupy->addStretch();
    vstupy->addWidget(o.Cmb_Vstup);
    g->addLayout(vstupy, 0, 3);

    g->addWidget(o.Hg_PhoneNumbers, 1, 0);
    g->addWidget(o.Hg_Komunikace, 1, 1);
    g->addWidget(o.Hg_Vstupy, 1, 3);
    const auto sloupecMemo = [&](QLabel* l1, TMemoEdit* m1, QLabel* c1, QLabel* l2, TMemoEdit* m2,
                                 QLabel* c2) {
        auto* sloupec = new QVBoxLayout;
        sloupec->setSpacing(0);
        for (QWidget* w : std::initializer_list<QWidget*>{l1, m1, c1, l2, m2, c2}) {
            sloupec->addWidget(w, qobject_cast<TMemoEdit*>(w) != nullptr ? 1 : 0);
        }
        return sloupec;
    };
    g->addLayout(sloupecMemo(o.Label2, o.Mem_Porucha, o.Lbl_Delka[0], o.Label4, o.Mem_Obnova,
                             o.Lbl_Delka[1]),
                 1, 2);
    g->addLayout(sloupecMemo(o.Label6, o.Mem_Sepnuti, o.Lbl_Delka[2], o.Label5, o.Mem_Rozpojeni,
                             o.Lbl_Delka[3]),
                 1, 4);
    g->setRowStretch(1, 1);
    for (const auto& [col, stretch] : {std::pair{0, 2}, {1, 2}, {2, 3}, {3, 2}, {4, 3}}) {
        g->setColumnStretch(col, stretch);
    }
    scroll->setWidget(client);

    o.Stb_Main = okno.statusBar();
    o.Stb_Main->setObjectName(QStringLiteral("Stb_Main"));
    o.Stb_Main->setSizeGripEnabled(false);
    for (std::size_t p = 0; p < o.Stb_Panels.size(); ++p) {
        auto* panel = new QLabel(o.Stb_Main);
        panel->setObjectName(QStringLiteral("Stb_Main_Panel%1").arg(p));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (p == 0) {
            // The widest panel gives way when the window is narrow.
            panel->setMinimumWidth(m.X(k_SirkyPanelu.at(p)));
            o.Stb_Main->addWidget(panel, 1);
        } else {
            panel->setFixedWidth(m.X(k_SirkyPanelu.at(p)));
            o.Stb_Main->addWidget(panel);
        }
        o.Stb_Panels.at(p) = panel;
    }
    o.Stb_Main->setFixedHeight(std::max(m.Y(19), o.Stb_Main->sizeHint().height()));

    // Narrower than the status bar's panels the window does not get; below the client area's own
    // minimum it scrolls.
    okno.setMinimumSize(std::min(1024, o.Stb_Main->minimumSizeHint().width()),
                        std::min(600, m.Y(300)));
    o.VychoziKlient = client->sizeHint().expandedTo(QSize(m.X(1031), m.Y(465)));
}

QAction* Polozka(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(Q(caption));
    action->setObjectName(Q(name));
    return action;
}

void VytvorMenu(QMainWindow& okno, TOvladaceOkna& o) {
    o.Men_Main = okno.menuBar();
    o.Men_Main->setObjectName(QStringLiteral("Men_Main"));

    o.Men_Program = o.Men_Main->addMenu(Q("Program"));
    o.Men_Program->setObjectName(QStringLiteral("Men_Program"));
    o.cmNactiTelCisla = Polozka(o.Men_Program, "cmNactiTelCisla", "Načti tel. čísla");
    o.cmNactiTelCisla->setShortcut(QKeySequence(Qt::Key_F5));
    o.cmUlozNastaveni = Polozka(o.Men_Program, "cmUlozNastaveni", "Ulož nastavení");
    o.cmUlozNastaveni->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    o.cmNactiNastaveni = Polozka(o.Men_Program, "cmNactiNastaveni", "Načti nastavení ze souboru");
    o.cmNactiNastaveni->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    o.cmObnovitZeZalohy = Polozka(o.Men_Program, "cmObnovitZeZalohy", "Obnovit ze zálohy…");
    o.cmProtokol = Polozka(o.Men_Program, "cmProtokol", "Protokol…");
    o.cmKomunikacniLog = Polozka(o.Men_Program, "cmKomunikacniLog", "Komunikační log");
    o.N1 = o.Men_Program->addSeparator();
    o.N1->setObjectName(QStringLiteral("N1"));
    o.Men_Ukonci = Polozka(o.Men_Program, "Men_Ukonci", "Ukonči");

    o.Sriovport1 = o.Men_Main->addMenu(Q("Sériový port"));
    o.Sriovport1->setObjectName(QStringLiteral("Sriovport1"));
    // Radio items look like radio items; which one is ticked is the logic's to say.
    auto* group = new QActionGroup(&okno);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        if (item == TPortMenu::k_JinyPort) {
            o.cmJinyCOMOddelovac = o.Sriovport1->addSeparator();
            o.cmJinyCOMOddelovac->setObjectName(QStringLiteral("cmJinyCOMOddelovac"));
        }
        QAction* action = o.Sriovport1->addAction(QString());
        action->setObjectName(QStringLiteral("cmCOM%1").arg(item));
        action->setCheckable(true);
        if (item != TPortMenu::k_JinyPort) {
            action->setActionGroup(group);
        }
        o.cmCOM.at(static_cast<std::size_t>(item - 1)) = action;
    }
    o.cmJinyCOMport = Polozka(o.Sriovport1, "cmJinyCOMport", "Zvolit jiný COM port");
    o.cmSmer = o.Sriovport1->addMenu(Q("Řízení směru linky"));
    o.cmSmer->setObjectName(QStringLiteral("cmSmer"));
    o.cmSmer->menuAction()->setObjectName(QStringLiteral("cmSmer"));
    auto* smery = new QActionGroup(&okno);
    static constexpr std::array<const char*, 4> k_Smery{"DTR", "RTS", "RS-485 (režim jádra)",
                                                        "Žádné (převodník přepíná sám)"};
    for (std::size_t i = 0; i < k_Smery.size(); ++i) {
        QAction* action = o.cmSmer->addAction(Q(k_Smery.at(i)));
        action->setObjectName(QStringLiteral("cmSmer%1").arg(i));
        action->setCheckable(true);
        action->setActionGroup(smery);
        o.cmSmerPolozky.at(i) = action;
    }
    o.cmZarizeniOddelovac = o.Sriovport1->addSeparator();
    o.cmZarizeniOddelovac->setObjectName(QStringLiteral("cmZarizeniOddelovac"));
}

} // namespace

TOvladaceOkna VytvorRozvrzeni(QMainWindow& okno) {
    TOvladaceOkna o;
    VytvorOvladace(okno, o);
    VytvorMenu(okno, o);
    return o;
}

QSize TOvladaceOkna::VychoziVelikost() const {
    return VychoziKlient + QSize(0, Men_Main->sizeHint().height() + Stb_Main->height());
}

QWidget* TOvladaceOkna::Ovladac(TOvladac control) const {
    switch (control) {
    case TOvladac::Btn_NactiTelCisla:
        return Btn_NactiTelCisla;
    case TOvladac::Btn_ZapisTelCisla:
        return Btn_ZapisTelCisla;
    case TOvladac::Hg_PhoneNumbers:
        return Hg_PhoneNumbers;
    case TOvladac::SEdt_PocetExpanderu:
        return SEdt_PocetExpanderu;
    case TOvladac::Btn_NactiExpandery:
        return Btn_NactiExpandery;
    case TOvladac::Btn_NactiAktualni:
        return Btn_NactiAktualni;
    case TOvladac::Btn_reset:
        return Btn_reset;
    case TOvladac::Btn_ZapisNastaveni:
        return Btn_ZapisNastaveni;
    case TOvladac::Cmb_Expander:
        return Cmb_Expander;
    case TOvladac::Hg_Komunikace:
        return Hg_Komunikace;
    case TOvladac::Mem_Porucha:
        return Mem_Porucha;
    case TOvladac::Mem_Obnova:
        return Mem_Obnova;
    case TOvladac::Cmb_Vstup:
        return Cmb_Vstup;
    case TOvladac::Hg_Vstupy:
        return Hg_Vstupy;
    case TOvladac::Mem_Sepnuti:
        return Mem_Sepnuti;
    case TOvladac::Mem_Rozpojeni:
        return Mem_Rozpojeni;
    }
    return nullptr;
}

TEditGrid* TOvladaceOkna::Mrizka(TMrizka grid) const {
    switch (grid) {
    case TMrizka::Hg_PhoneNumbers:
        return Hg_PhoneNumbers;
    case TMrizka::Hg_Komunikace:
        return Hg_Komunikace;
    case TMrizka::Hg_Vstupy:
        return Hg_Vstupy;
    }
    return nullptr;
}

TMemoEdit* TOvladaceOkna::Memo(TMemo memo) const {
    switch (memo) {
    case TMemo::Mem_Porucha:
        return Mem_Porucha;
    case TMemo::Mem_Obnova:
        return Mem_Obnova;
    case TMemo::Mem_Sepnuti:
        return Mem_Sepnuti;
    case TMemo::Mem_Rozpojeni:
        return Mem_Rozpojeni;
    }
    return nullptr;
}

QComboBox* TOvladaceOkna::Seznam(TSeznam list) const {
    return list == TSeznam::Cmb_Expander ? Cmb_Expander : Cmb_Vstup;
}
