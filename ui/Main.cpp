#include "Main.h"

#include "Dialogy.h"
#include "Hlaseni.h"
#include "Meritko.h"
#include "ProtokolOkno.h"
#include "UkonceniSignalem.h"
#include "editace/Editace.h"
#include "editace/EditaceExpanderu.h"
#include "soubory/ProfileFile.h"
#include "soubory/Protokol.h"
#include "soubory/Slozky.h"
#include "text/Cp1250.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
QString Q(const char* text) {
    return QString::fromUtf8(text);
}

constexpr int k_PocetRadku = 17;
// norlink.ini: where the window was at its last close (X, Y, Sirka, Vyska).
constexpr const char* k_SekceOkno = "Okno";
// A recipient cell's note on an index brought into range, and how long the status bar shows it.
constexpr int k_RoleOmezeni = Qt::UserRole + 1;
constexpr int k_ZpravaStavuMs = 6000;
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

} // namespace

TFrm_Main::TFrm_Main(TMainZavislosti zavislosti, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      fLogika(*this, std::move(zavislosti)) {
    setObjectName(QStringLiteral("Frm_Main"));
    VytvorOvladace();
    VytvorMenu();
    resize(VychoziVelikost());
    move(246, 108);
}

QSize TFrm_Main::VychoziVelikost() const {
    return fVychoziKlient + QSize(0, Men_Main->sizeHint().height() + Stb_Main->height());
}

void TFrm_Main::UmistiNaObrazovku() {
    // The size and place the window had at its last close, else the designed ones; then made to
    // fit the screen's available area and moved left and up as far as needed to keep it whole.
    QRect okno(QPoint(246, 108), VychoziVelikost());
    try {
        const std::string ini = fLogika.IniSoubor();
        const int sirka = ReadProfileInteger(ini, k_SekceOkno, "Sirka", 0);
        const int vyska = ReadProfileInteger(ini, k_SekceOkno, "Vyska", 0);
        if (sirka > 0 && vyska > 0) {
            okno = QRect(ReadProfileInteger(ini, k_SekceOkno, "X", okno.x()),
                         ReadProfileInteger(ini, k_SekceOkno, "Y", okno.y()), sirka, vyska);
        }
    } catch (const std::exception&) {
        // An unreadable file has been reported at start-up; the designed place serves.
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(okno.size());
        move(okno.topLeft());
        return;
    }
    const QRect area = screen->availableGeometry();
    // The window manager's frame, once known; none without one.
    const QSize ramec = frameGeometry().size() - geometry().size();
    const QSize size = okno.size().boundedTo(area.size() - ramec).expandedTo(minimumSizeHint());
    resize(size);
    const int x =
        std::max(area.left(), std::min(okno.x(), area.right() + 1 - size.width() - ramec.width()));
    const int y = std::max(area.top(),
                           std::min(okno.y(), area.bottom() + 1 - size.height() - ramec.height()));
    move(x, y);
}

void TFrm_Main::UlozUmisteni() {
    if (!fLogika.IniNacten()) {
        return;
    }
    const std::array<TProfileEntry, 4> entries{{
        {k_SekceOkno, "X", std::to_string(pos().x())},
        {k_SekceOkno, "Y", std::to_string(pos().y())},
        {k_SekceOkno, "Sirka", std::to_string(width())},
        {k_SekceOkno, "Vyska", std::to_string(height())},
    }};
    try {
        WriteProfileStrings(fLogika.IniSoubor(), entries);
    } catch (const std::exception&) {
        // The close has already reported a file that cannot be written.
    }
}

TFrm_Main::~TFrm_Main() = default;

void TFrm_Main::VytvorOvladace() {
    // The controls lie in a grid of five columns (phone numbers, the expander's recipients and
    // texts, the input's recipients and texts) under a row of buttons, as designed; the grids and
    // memos take what the window gives beyond that. Below its minimum the window scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("Sbx_Klient"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    setCentralWidget(scroll);
    auto* client = new QWidget(scroll);
    client->setObjectName(QStringLiteral("Pnl_Klient"));
    Klient = client;
    const TMeritko m(font());

    Led_Incoming = new TLed(client);
    Led_Incoming->setObjectName(QStringLiteral("Led_Incoming"));
    Led_Incoming->setFixedSize(m.Y(16), m.Y(16));
    Led_Incoming->setProperty("blinkInterval", 200);

    Btn_NactiTelCisla =
        Tlacitko(client, "Btn_NactiTelCisla", "Načti tel. čísla", m.Rect(80, 16, 121, 24));
    Btn_ZapisTelCisla =
        Tlacitko(client, "Btn_ZapisTelCisla", "Zapiš tel. čísla", m.Rect(80, 48, 121, 24));
    Btn_ZapisTelCisla->setEnabled(false);
    Hg_PhoneNumbers = NovaMrizka(client, "Hg_PhoneNumbers", m.Rect(40, 95, 191, 361), {50, 136}, m,
                                 {"Tel. číslo"});
    Hg_PhoneNumbers->setEnabled(false);

    Label1 = Popisek(client, "Label1", "Počet expanderů", {m.X(272), m.Y(24)});
    SEdt_PocetExpanderu = new QSpinBox(client);
    SEdt_PocetExpanderu->setObjectName(QStringLiteral("SEdt_PocetExpanderu"));
    SEdt_PocetExpanderu->setRange(1, 8);
    SEdt_PocetExpanderu->setValue(1);
    SEdt_PocetExpanderu->setMinimumWidth(
        std::max(m.X(49), SEdt_PocetExpanderu->sizeHint().width()));

    Btn_NactiExpandery = Tlacitko(client, "Btn_NactiExpandery", "Načti nastavení expanderů - vše",
                                  m.Rect(443, 3, 200, 24));
    Btn_NactiAktualni = Tlacitko(client, "Btn_NactiAktualni",
                                 "Načti jen nastavení vybraného vstupu", m.Rect(443, 35, 200, 24));
    Btn_reset = Tlacitko(client, "Btn_reset", "Vyber jiný vstup", m.Rect(443, 67, 200, 25));
    Btn_ZapisNastaveni = Tlacitko(client, "Btn_ZapisNastaveni", "Zapiš nastavení expanderů",
                                  m.Rect(667, 19, 142, 24));
    for (QPushButton* button :
         {Btn_NactiExpandery, Btn_NactiAktualni, Btn_reset, Btn_ZapisNastaveni}) {
        button->setEnabled(false);
    }

    Cmb_Expander = new QComboBox(client);
    Cmb_Expander->setObjectName(QStringLiteral("Cmb_Expander"));
    Hg_Komunikace = NovaMrizka(client, "Hg_Komunikace", m.Rect(264, 95, 156, 361), {50, 50, 50}, m,
                               {"Tel. číslo", "Porucha", "Obnova"});
    Label2 = Popisek(client, "Label2", "Porucha komunikace", {m.X(432), m.Y(96)});
    Mem_Porucha = NoveMemo(client, "Mem_Porucha", m);
    Label4 = Popisek(client, "Label4", "Obnovení komunikace", {m.X(432), m.Y(288)});
    Mem_Obnova = NoveMemo(client, "Mem_Obnova", m);

    Cmb_Vstup = new QComboBox(client);
    Cmb_Vstup->setObjectName(QStringLiteral("Cmb_Vstup"));
    Hg_Vstupy = NovaMrizka(client, "Hg_Vstupy", m.Rect(655, 95, 162, 361), {50, 50, 55}, m,
                           {"Tel. číslo", "Sepnutí", "Rozpojení"});
    Label6 = Popisek(client, "Label6", "Sepnutí vstupů", {m.X(832), m.Y(96)});
    Mem_Sepnuti = NoveMemo(client, "Mem_Sepnuti", m);
    Label5 = Popisek(client, "Label5", "Rozpojení vstupů", {m.X(832), m.Y(288)});
    Mem_Rozpojeni = NoveMemo(client, "Mem_Rozpojeni", m);
    for (QComboBox* list : {Cmb_Expander, Cmb_Vstup}) {
        // Wide enough for "Expander 8" whatever the count shown now.
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(static_cast<int>(QString::fromUtf8("Expander 8").size()));
    }
    std::size_t i = 0;
    for (TMemoEdit* memo : {Mem_Porucha, Mem_Obnova, Mem_Sepnuti, Mem_Rozpojeni}) {
        auto* counter = new QLabel(client);
        counter->setObjectName(memo->objectName() + QStringLiteral("_Delka"));
        counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Lbl_Delka.at(i++) = counter;
        connect(memo, &QPlainTextEdit::textChanged, this, [this] { ObnovDelky(); });
    }

    const int mezera = m.X(12);
    auto* g = new QGridLayout(client);
    g->setContentsMargins(m.X(6), m.Y(3), m.X(6), m.Y(3));
    g->setHorizontalSpacing(mezera);
    g->setVerticalSpacing(m.Y(3));

    auto* telefony = new QVBoxLayout;
    telefony->addWidget(Led_Incoming, 0, Qt::AlignLeft);
    telefony->addWidget(Btn_NactiTelCisla);
    telefony->addWidget(Btn_ZapisTelCisla);
    telefony->addStretch();
    g->addLayout(telefony, 0, 0);

    auto* expandery = new QVBoxLayout;
    auto* pocet = new QHBoxLayout;
    pocet->addWidget(Label1);
    pocet->addWidget(SEdt_PocetExpanderu);
    pocet->addStretch();
    expandery->addSpacing(m.Y(18));
    expandery->addLayout(pocet);
    expandery->addStretch();
    expandery->addWidget(Cmb_Expander);
    g->addLayout(expandery, 0, 1);

    auto* cteni = new QVBoxLayout;
    cteni->addWidget(Btn_NactiExpandery);
    cteni->addWidget(Btn_NactiAktualni);
    cteni->addWidget(Btn_reset);
    g->addLayout(cteni, 0, 2);

    auto* vstupy = new QVBoxLayout;
    vstupy->addSpacing(m.Y(16));
    vstupy->addWidget(Btn_ZapisNastaveni);
    vstupy->addStretch();
    vstupy->addWidget(Cmb_Vstup);
    g->addLayout(vstupy, 0, 3);

    g->addWidget(Hg_PhoneNumbers, 1, 0);
    g->addWidget(Hg_Komunikace, 1, 1);
    g->addWidget(Hg_Vstupy, 1, 3);
    const auto sloupecMemo = [&](QLabel* l1, TMemoEdit* m1, QLabel* c1, QLabel* l2, TMemoEdit* m2,
                                 QLabel* c2) {
        auto* sloupec = new QVBoxLayout;
        sloupec->setSpacing(0);
        for (QWidget* w : std::initializer_list<QWidget*>{l1, m1, c1, l2, m2, c2}) {
            sloupec->addWidget(w, qobject_cast<TMemoEdit*>(w) != nullptr ? 1 : 0);
        }
        return sloupec;
    };
    g->addLayout(sloupecMemo(Label2, Mem_Porucha, Lbl_Delka[0], Label4, Mem_Obnova, Lbl_Delka[1]),
                 1, 2);
    g->addLayout(
        sloupecMemo(Label6, Mem_Sepnuti, Lbl_Delka[2], Label5, Mem_Rozpojeni, Lbl_Delka[3]), 1, 4);
    g->setRowStretch(1, 1);
    for (const auto& [col, stretch] : {std::pair{0, 2}, {1, 2}, {2, 3}, {3, 2}, {4, 3}}) {
        g->setColumnStretch(col, stretch);
    }
    scroll->setWidget(client);

    Stb_Main = statusBar();
    Stb_Main->setObjectName(QStringLiteral("Stb_Main"));
    Stb_Main->setSizeGripEnabled(false);
    for (std::size_t p = 0; p < Stb_Panels.size(); ++p) {
        auto* panel = new QLabel(Stb_Main);
        panel->setObjectName(QStringLiteral("Stb_Main_Panel%1").arg(p));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (p == 0) {
            // The widest panel gives way when the window is narrow.
            panel->setMinimumWidth(m.X(k_SirkyPanelu.at(p)));
            Stb_Main->addWidget(panel, 1);
        } else {
            panel->setFixedWidth(m.X(k_SirkyPanelu.at(p)));
            Stb_Main->addWidget(panel);
        }
        Stb_Panels.at(p) = panel;
    }
    Stb_Main->setFixedHeight(std::max(m.Y(19), Stb_Main->sizeHint().height()));

    // Narrower than the status bar's panels the window does not get; below the client area's own
    // minimum it scrolls.
    setMinimumSize(std::min(1024, Stb_Main->minimumSizeHint().width()), std::min(600, m.Y(300)));
    // The designed client area where the screen has room for it.
    fVychoziKlient = client->sizeHint().expandedTo(QSize(m.X(1031), m.Y(465)));
    ObnovDelky();
    PropojMrizky();
    PropojMema();
    // A selection can change without the focus moving (the mouse wheel over a list): what is
    // being edited is stored first, under the expander and input it was typed for.
    connect(SEdt_PocetExpanderu, &QSpinBox::valueChanged, this, [this] {
        UlozRozpracovane();
        SEdt_PocetExpanderuChange();
    });
    connect(Cmb_Expander, &QComboBox::activated, this, [this] {
        UlozRozpracovane();
        Cmb_ExpanderChange();
    });
    connect(Cmb_Vstup, &QComboBox::activated, this, [this] {
        UlozRozpracovane();
        Cmb_VstupChange();
    });
    connect(Btn_NactiTelCisla, &QPushButton::clicked, this, [this] { Btn_NactiTelCislaClick(); });
    connect(Btn_ZapisTelCisla, &QPushButton::clicked, this, [this] { Btn_ZapisTelCislaClick(); });
    connect(Btn_NactiExpandery, &QPushButton::clicked, this, [this] { Btn_NactiExpanderyClick(); });
    connect(Btn_NactiAktualni, &QPushButton::clicked, this, [this] { Btn_NactiAktualniClick(); });
    connect(Btn_reset, &QPushButton::clicked, this, [this] { Btn_resetClick(); });
    connect(Btn_ZapisNastaveni, &QPushButton::clicked, this, [this] { Btn_ZapisNastaveniClick(); });
}

void TFrm_Main::PropojMema() {
    for (const TMemo id :
         {TMemo::Mem_Porucha, TMemo::Mem_Obnova, TMemo::Mem_Sepnuti, TMemo::Mem_Rozpojeni}) {
        connect(Memo(id), &TMemoEdit::exited, this, [this, id] { fLogika.MemoExit(id); });
    }
}

void TFrm_Main::UlozRozpracovane() {
    for (const TMemo id :
         {TMemo::Mem_Porucha, TMemo::Mem_Obnova, TMemo::Mem_Sepnuti, TMemo::Mem_Rozpojeni}) {
        if (Memo(id)->hasFocus()) {
            fLogika.MemoExit(id);
        }
    }
    for (const TMrizka id :
         {TMrizka::Hg_PhoneNumbers, TMrizka::Hg_Komunikace, TMrizka::Hg_Vstupy}) {
        Mrizka(id)->UkonciEditaci();
    }
}

void TFrm_Main::PropojMrizky() {
    // A recipient cell shows the number it refers to: it follows the phone grid.
    for (const TMrizka id : {TMrizka::Hg_Komunikace, TMrizka::Hg_Vstupy}) {
        Mrizka(id)->SetPopisBunky(
            [this, id](int col, int row) { return PopisPrijemce(id, col, row); });
    }
    connect(Hg_PhoneNumbers, &QTableWidget::itemChanged, this, [this] {
        Hg_Komunikace->viewport()->update();
        Hg_Vstupy->viewport()->update();
    });
    const auto filtr = [](char32_t c) {
        Hg_PhoneNumbersKeyPress(c);
        return c != 0;
    };
    for (const TMrizka id :
         {TMrizka::Hg_PhoneNumbers, TMrizka::Hg_Komunikace, TMrizka::Hg_Vstupy}) {
        TEditGrid* grid = Mrizka(id);
        grid->SetCharFilter(filtr);
        connect(grid, &TEditGrid::cellEdited, this,
                [this, id](int col, int row) { fLogika.MrizkaCellEdited(id, col, row); });
        connect(grid, &TEditGrid::exited, this, [this, id] { fLogika.MrizkaExit(id); });
        connect(grid, &TEditGrid::keyDown, this, [this, id](int col, int row, int key) {
            fLogika.Hg_KomunikaceKeyDown(id, col, row, static_cast<std::uint16_t>(key));
        });
    }
}

void TFrm_Main::VytvorMenu() {
    Men_Main = menuBar();
    Men_Main->setObjectName(QStringLiteral("Men_Main"));

    Men_Program = Men_Main->addMenu(Q("Program"));
    Men_Program->setObjectName(QStringLiteral("Men_Program"));
    // A shortcut opens no menu: an open cell editor is committed first, as the menu does.
    const auto ukonciEditaci = [this] {
        for (TEditGrid* grid : {Hg_PhoneNumbers, Hg_Komunikace, Hg_Vstupy}) {
            grid->UkonciEditaci();
        }
    };
    cmNactiTelCisla = Men_Program->addAction(Q("Načti tel. čísla"));
    cmNactiTelCisla->setObjectName(QStringLiteral("cmNactiTelCisla"));
    cmNactiTelCisla->setShortcut(QKeySequence(Qt::Key_F5));
    connect(cmNactiTelCisla, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        // As the button, and only while the button may be used.
        if (Btn_NactiTelCisla->isEnabled()) {
            Btn_NactiTelCislaClick();
        }
    });
    cmUlozNastaveni = Men_Program->addAction(Q("Ulož nastavení"));
    cmUlozNastaveni->setObjectName(QStringLiteral("cmUlozNastaveni"));
    cmUlozNastaveni->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(cmUlozNastaveni, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        cmUlozNastaveniClick();
    });
    cmNactiNastaveni = Men_Program->addAction(Q("Načti nastavení ze souboru"));
    cmNactiNastaveni->setObjectName(QStringLiteral("cmNactiNastaveni"));
    cmNactiNastaveni->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(cmNactiNastaveni, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        cmNactiNastaveniClick();
    });
    cmObnovitZeZalohy = Men_Program->addAction(Q("Obnovit ze zálohy…"));
    cmObnovitZeZalohy->setObjectName(QStringLiteral("cmObnovitZeZalohy"));
    connect(cmObnovitZeZalohy, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        fLogika.cmObnovitZeZalohyClick();
    });
    cmProtokol = Men_Program->addAction(Q("Protokol…"));
    cmProtokol->setObjectName(QStringLiteral("cmProtokol"));
    connect(cmProtokol, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        cmProtokolClick();
    });
    cmKomunikacniLog = Men_Program->addAction(Q("Komunikační log"));
    cmKomunikacniLog->setObjectName(QStringLiteral("cmKomunikacniLog"));
    connect(cmKomunikacniLog, &QAction::triggered, this, [this] { cmKomunikacniLogClick(); });
    N1 = Men_Program->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Men_Ukonci = Men_Program->addAction(Q("Ukonči"));
    Men_Ukonci->setObjectName(QStringLiteral("Men_Ukonci"));
    // The window closes as with its close button: the settings are saved on the way.
    connect(Men_Ukonci, &QAction::triggered, this, [this] {
        fPtatSePriZavreni = true;
        close();
        fPtatSePriZavreni = false;
    });

    Sriovport1 = Men_Main->addMenu(Q("Sériový port"));
    Sriovport1->setObjectName(QStringLiteral("Sriovport1"));
    // Radio items look like radio items; which one is ticked is the logic's to say.
    auto* group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        if (item == TPortMenu::k_JinyPort) {
            cmJinyCOMOddelovac = Sriovport1->addSeparator();
            cmJinyCOMOddelovac->setObjectName(QStringLiteral("cmJinyCOMOddelovac"));
        }
        QAction* action = Sriovport1->addAction(QString());
        action->setObjectName(QStringLiteral("cmCOM%1").arg(item));
        action->setCheckable(true);
        if (item != TPortMenu::k_JinyPort) {
            action->setActionGroup(group);
        }
        connect(action, &QAction::triggered, this, [this, action] { cmCOM1Click(action); });
        cmCOM.at(static_cast<std::size_t>(item - 1)) = action;
    }
    cmJinyCOMport = Sriovport1->addAction(Q("Zvolit jiný COM port"));
    cmJinyCOMport->setObjectName(QStringLiteral("cmJinyCOMport"));
    connect(cmJinyCOMport, &QAction::triggered, this, [this] { cmJinyCOMportClick(); });
    cmZarizeniOddelovac = Sriovport1->addSeparator();
    cmZarizeniOddelovac->setObjectName(QStringLiteral("cmZarizeniOddelovac"));
    // The devices are looked for each time the menu opens: adapters come and go.
    connect(Sriovport1, &QMenu::aboutToShow, this, [this] { ObnovZarizeni(); });
    // A menu takes no focus from the grid, so an open cell editor is committed here: its cell rule
    // runs before any menu item can act, and the grid's exit rule does not.
    for (QMenu* menu : {Men_Program, Sriovport1}) {
        connect(menu, &QMenu::aboutToShow, this, [this] {
            for (TEditGrid* grid : {Hg_PhoneNumbers, Hg_Komunikace, Hg_Vstupy}) {
                grid->UkonciEditaci();
            }
        });
    }
    ZobrazPortMenu(fPortMenu);
}

void TFrm_Main::ObnovZarizeni() {
    for (QAction* action : cmZarizeni) {
        Sriovport1->removeAction(action);
        action->deleteLater();
    }
    cmZarizeni.clear();
    const std::string mapped = fLogika.MapovaneZarizeni();
    const auto zarizeni = fLogika.SeriovaZarizeni();
    for (const TSerioveZarizeni& z : zarizeni) {
        QAction* action = Sriovport1->addAction(Q(z.Popis()));
        action->setObjectName(QStringLiteral("cmZarizeni"));
        action->setToolTip(Q(z.Cesta));
        action->setData(Q(z.Cesta));
        action->setCheckable(true);
        action->setChecked(z.Cesta == mapped || z.Jadro == mapped);
        connect(action, &QAction::triggered, this, [this, cesta = z.Cesta, action] {
            action->setChecked(!action->isChecked()); // the logic decides after its question
            fLogika.cmZarizeniClick(cesta);
        });
        cmZarizeni.append(action);
    }
    if (zarizeni.empty()) {
        QAction* none = Sriovport1->addAction(Q("Žádné sériové zařízení nenalezeno"));
        none->setEnabled(false);
        cmZarizeni.append(none);
    }
    Sriovport1->setToolTipsVisible(true);
}

void TFrm_Main::ObnovDelky() {
    const std::array<TMemoEdit*, 4> memos{Mem_Porucha, Mem_Obnova, Mem_Sepnuti, Mem_Rozpojeni};
    for (std::size_t i = 0; i < memos.size(); ++i) {
        const TMemoEdit* memo = memos.at(i);
        QLabel* counter = Lbl_Delka.at(i);
        const int delka = memo->Length();
        const int limit = memo->MaxLength();
        counter->setText(limit > 0 ? QStringLiteral("%1/%2").arg(delka).arg(limit)
                                   : QString::number(delka));
        // From nine tenths of the limit on the colour warns; at the limit nothing more goes in.
        QString barva;
        if (limit > 0 && delka >= limit) {
            barva = QStringLiteral("#c00000");
        } else if (limit > 0 && delka * 10 >= limit * 9) {
            barva = QStringLiteral("#b06000");
        }
        counter->setStyleSheet(barva.isEmpty() ? QString() : QStringLiteral("color: ") + barva);
    }
}

void TFrm_Main::cmKomunikacniLogClick() {
    if (fLogOkno == nullptr) {
        fLogOkno = new TKomunikacniLog(this);
    }
    fLogOkno->NastavLog(fLogika.Log());
    fLogOkno->show();
    fLogOkno->raise();
    fLogOkno->activateWindow();
}

void TFrm_Main::FormCreate() {
    fLogika.FormCreate();
}

void TFrm_Main::FormClose() {
    // The log goes with the logic's close.
    if (fLogOkno != nullptr) {
        fLogOkno->NastavLog(nullptr);
        fLogOkno->close();
    }
    fLogika.FormClose();
}

void TFrm_Main::cmCOM1Click(QAction* sender) {
    // Qt has toggled the item on its own; the logic decides what is ticked.
    ZobrazPortMenu(fPortMenu);
    const auto found = std::find(cmCOM.begin(), cmCOM.end(), sender);
    if (found != cmCOM.end()) {
        fLogika.cmCOM1Click(static_cast<int>(found - cmCOM.begin()) + 1);
    }
}

void TFrm_Main::cmJinyCOMportClick() {
    fLogika.cmJinyCOMportClick();
}
void TFrm_Main::SEdt_PocetExpanderuChange() {
    fLogika.SEdt_PocetExpanderuChange();
}
void TFrm_Main::Cmb_ExpanderChange() {
    fLogika.Cmb_ExpanderChange();
}
void TFrm_Main::Cmb_VstupChange() {
    fLogika.Cmb_VstupChange();
}

void TFrm_Main::Btn_NactiTelCislaClick() {
    fLogika.Btn_NactiTelCislaClick();
}
void TFrm_Main::Btn_ZapisTelCislaClick() {
    fLogika.Btn_ZapisTelCislaClick();
}
void TFrm_Main::Btn_NactiExpanderyClick() {
    fLogika.Btn_NactiExpanderyClick();
}
void TFrm_Main::Btn_NactiAktualniClick() {
    fLogika.Btn_NactiAktualniClick();
}
void TFrm_Main::Btn_resetClick() {
    fLogika.Btn_resetClick();
}

void TFrm_Main::Btn_ZapisNastaveniClick() {
    fLogika.Btn_ZapisNastaveniClick();
}
void TFrm_Main::cmUlozNastaveniClick() {
    fLogika.cmUlozNastaveniClick();
}
void TFrm_Main::cmNactiNastaveniClick() {
    fLogika.cmNactiNastaveniClick();
}

int TFrm_Main::DialogProtokolu(std::string& objekt, std::string& technik) {
    TProtokolDialog dialog(objekt, technik, this);
    const int volba = dialog.exec();
    objekt = dialog.Objekt();
    technik = dialog.Technik();
    return volba;
}

bool TFrm_Main::DialogTisku(QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(Q("Tisk protokolu"));
    return dialog.exec() == QDialog::Accepted;
}

void TFrm_Main::cmProtokolClick() {
    UlozRozpracovane();
    const std::string ini = fLogika.IniSoubor();
    TUdajeProtokolu udaje = NactiUdajeProtokolu(ini);
    const int volba = DialogProtokolu(udaje.Objekt, udaje.Technik);
    if (volba != TProtokolDialog::UlozitPdf && volba != TProtokolDialog::Tisk) {
        return;
    }
    try {
        UlozUdajeProtokolu(ini, udaje);
    } catch (const EProfileWriteError&) {
        // Only the suggestion for the next report is lost; the report goes on.
    }
    const std::string html = fLogika.ProtokolHtml(udaje.Objekt, udaje.Technik);
    if (volba == TProtokolDialog::Tisk) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(Q("Protokol NORLINK"));
        if (DialogTisku(printer)) {
            TiskniProtokol(html, printer);
        }
        return;
    }
    const std::string path = NazevProtokolu(SlozkaExportu(InstDir), DateTimeStamp());
    std::string why;
    if (!UlozProtokolPdf(html, path, why)) {
        Chyba("Protokol nelze uložit do " + path + "\nDůvod: " + why);
        return;
    }
    Zprava("Protokol byl uložen.", path);
}

void TFrm_Main::keyPressEvent(QKeyEvent* event) {
    // Escape that no control took cancels a running operation, as the dialog's button does.
    if (event->key() == Qt::Key_Escape && fLogika.BeziOperace()) {
        fLogika.Btn_PrerusitClick();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TFrm_Main::Naplanuj(std::function<void()> krok) {
    QTimer::singleShot(0, this, std::move(krok));
}

void TFrm_Main::VytvorInfoForm() {
    if (fInfoForm == nullptr) {
        fInfoForm = new TInfoForm(this);
    }
}

void TFrm_Main::closeEvent(QCloseEvent* event) {
    // A memo or cell being edited counts among the changes.
    UlozRozpracovane();
    // The user closes (the close button, "Ukonči"): ask. A close the program makes itself, and one
    // at logout or shutdown, where nobody would answer, does not.
    const bool uzivatel = event->spontaneous() || fPtatSePriZavreni;
    if (uzivatel && !UkoncujeSeSignalem() && fLogika.NeulozeneZmeny() &&
        !OtazkaAnoNe(std::string(R_NeulozeneZmeny), TVychoziOdpoved::Ne)) {
        event->ignore();
        return;
    }
    FormClose();
    UlozUmisteni();
    event->accept();
}

QWidget* TFrm_Main::Ovladac(TOvladac control) const {
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

TEditGrid* TFrm_Main::Mrizka(TMrizka grid) const {
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

TMemoEdit* TFrm_Main::Memo(TMemo memo) const {
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

QComboBox* TFrm_Main::Seznam(TSeznam list) const {
    return list == TSeznam::Cmb_Expander ? Cmb_Expander : Cmb_Vstup;
}

void TFrm_Main::SetCaption(const std::string& text) {
    setWindowTitle(Q(text));
}
std::string TFrm_Main::Caption() const {
    return windowTitle().toStdString();
}

void TFrm_Main::SetEnabled(TOvladac control, bool enabled) {
    Ovladac(control)->setEnabled(enabled);
}
bool TFrm_Main::Enabled(TOvladac control) const {
    return Ovladac(control)->isEnabled();
}

void TFrm_Main::SetCellText(TMrizka grid, int col, int row, const std::string& text) {
    if (QTableWidgetItem* item = Mrizka(grid)->item(row, col)) {
        item->setText(Q(text));
        item->setData(k_RoleOmezeni, QVariant());
    }
}

void TFrm_Main::OdkazOmezen(TMrizka grid, int col, int row, const std::string& text) {
    if (QTableWidgetItem* item = Mrizka(grid)->item(row, col)) {
        item->setData(k_RoleOmezeni, Q(text));
    }
    Stb_Main->showMessage(Q(text), k_ZpravaStavuMs);
}

TEditGrid::TPopis TFrm_Main::PopisPrijemce(TMrizka grid, int col, int row) const {
    TEditGrid::TPopis popis;
    const QTableWidgetItem* item = Mrizka(grid)->item(row, col);
    if (col < 1 || row < 1 || item == nullptr) {
        return popis;
    }
    if (const auto odkaz = OdkazBunky(item->text().toStdString())) {
        const std::string cislo = CellText(TMrizka::Hg_PhoneNumbers, 1, *odkaz + 1);
        popis.Vedle = cislo.empty() ? Q("prázdné") : Q(cislo);
        popis.Varovani = cislo.empty();
        popis.Tip = Q(PopisOdkazu(*odkaz, cislo));
    }
    const QString omezeni = item->data(k_RoleOmezeni).toString();
    if (!omezeni.isEmpty()) {
        popis.Tip = popis.Tip.isEmpty() ? omezeni : popis.Tip + QChar('\n') + omezeni;
    }
    return popis;
}

std::string TFrm_Main::CellText(TMrizka grid, int col, int row) const {
    const QTableWidgetItem* item = Mrizka(grid)->item(row, col);
    return item != nullptr ? item->text().toStdString() : std::string();
}

void TFrm_Main::SetCellBold(TMrizka grid, int col, int row, bool bold) {
    if (QTableWidgetItem* item = Mrizka(grid)->item(row, col)) {
        if (item->font().bold() != bold) {
            QFont font = item->font();
            font.setBold(bold);
            item->setFont(font);
        }
    }
}

void TFrm_Main::SetMemoBold(TMemo memo, bool bold) {
    TMemoEdit* edit = Memo(memo);
    if (edit->font().bold() != bold) {
        QFont font = edit->font();
        font.setBold(bold);
        edit->setFont(font);
    }
    // Shown only while the memo is empty: a text the write will erase.
    edit->setPlaceholderText(bold ? Q("(smazáno – zápis text vymaže)") : QString());
}

void TFrm_Main::SetToolTip(TOvladac control, const std::string& text) {
    Ovladac(control)->setToolTip(Q(text));
}

std::optional<std::string> TFrm_Main::OtevriSoubor(const std::string& caption,
                                                   const std::string& folder,
                                                   const std::string& filter) {
    const QString path = QFileDialog::getOpenFileName(this, Q(caption), Q(folder), Q(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

void TFrm_Main::SetMemoText(TMemo memo, const std::string& text) {
    Memo(memo)->SetText(text);
}
std::string TFrm_Main::MemoText(TMemo memo) const {
    return Memo(memo)->Text();
}
void TFrm_Main::SetMemoMaxLength(TMemo memo, int length) {
    Memo(memo)->SetMaxLength(length);
    ObnovDelky();
}

void TFrm_Main::ClearItems(TSeznam list) {
    const QSignalBlocker blocker(Seznam(list));
    Seznam(list)->clear();
}

void TFrm_Main::AddItem(TSeznam list, const std::string& text) {
    const QSignalBlocker blocker(Seznam(list));
    Seznam(list)->addItem(Q(text));
}

int TFrm_Main::ItemCount(TSeznam list) const {
    return Seznam(list)->count();
}

std::string TFrm_Main::ItemText(TSeznam list, int index) const {
    return Seznam(list)->itemText(index).toStdString();
}

void TFrm_Main::SetItemIndex(TSeznam list, int index) {
    const QSignalBlocker blocker(Seznam(list));
    Seznam(list)->setCurrentIndex(index);
}

int TFrm_Main::ItemIndex(TSeznam list) const {
    return Seznam(list)->currentIndex();
}

void TFrm_Main::SetPocetExpanderu(int value) {
    const QSignalBlocker blocker(SEdt_PocetExpanderu);
    SEdt_PocetExpanderu->setValue(value);
}

int TFrm_Main::PocetExpanderu() const {
    return SEdt_PocetExpanderu->value();
}

void TFrm_Main::SetPanelText(int panel, const std::string& text) {
    if (panel >= 0 && panel < static_cast<int>(Stb_Panels.size())) {
        Stb_Panels.at(static_cast<std::size_t>(panel))->setText(Q(text));
    }
}

std::string TFrm_Main::PanelText(int panel) const {
    if (panel >= 0 && panel < static_cast<int>(Stb_Panels.size())) {
        return Stb_Panels.at(static_cast<std::size_t>(panel))->text().toStdString();
    }
    return {};
}

void TFrm_Main::ZobrazPortMenu(const TPortMenu& menu) {
    fPortMenu = menu;
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        QAction* action = cmCOM.at(static_cast<std::size_t>(item - 1));
        const TPolozkaPortu& polozka = menu.Polozka(item);
        const QSignalBlocker blocker(action);
        action->setText(Q(polozka.Titulek));
        action->setProperty("tag", polozka.Tag);
        action->setVisible(polozka.Viditelna);
        action->setChecked(polozka.Zaskrtnuta);
    }
    // In an exclusive group, ticking one item unticks the others: settle them once more.
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        QAction* action = cmCOM.at(static_cast<std::size_t>(item - 1));
        const QSignalBlocker blocker(action);
        action->setChecked(menu.Polozka(item).Zaskrtnuta);
    }
}

void TFrm_Main::SetLed(bool on) {
    Led_Incoming->SetOn(on);
}
bool TFrm_Main::LedOn() const {
    return Led_Incoming->On();
}
void TFrm_Main::SetLedAktivni(bool aktivni) {
    Led_Incoming->SetAktivni(aktivni);
}

void TFrm_Main::Varovani(const std::string& text, const std::string& detail) {
    UkazHlaseni(this, QMessageBox::Warning, Q("Varování"), Q(text), Q(detail), {Q("OK")}, 0, 0);
}

bool TFrm_Main::OtazkaAnoNe(const std::string& text, TVychoziOdpoved vychozi) {
    return UkazHlaseni(this, QMessageBox::Warning, Q("Varování"), Q(text), {},
                       {Q("&Ano"), Q("&Ne")}, vychozi == TVychoziOdpoved::Ne ? 1 : 0, 1) == 0;
}

void TFrm_Main::Chyba(const std::string& text) {
    UkazHlaseni(this, QMessageBox::Critical, Q("Chyba"), Q(text), {}, {Q("OK")}, 0, 0);
}

void TFrm_Main::Zprava(const std::string& text, const std::string& detail) {
    UkazHlaseni(this, QMessageBox::NoIcon, Q("NORLINK"), Q(text), Q(detail), {Q("OK")}, 0, 0);
}

std::optional<std::string> TFrm_Main::InputQuery(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(Q(caption));
    dialog.setLabelText(Q(prompt));
    dialog.setTextValue(Q(initial));
    dialog.setOkButtonText(Q("OK"));
    dialog.setCancelButtonText(Q("Zrušit"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue().toStdString();
}

bool TFrm_Main::KontrolaZapisu(const std::vector<std::string>& zmeny,
                               const std::vector<std::string>& varovani,
                               const std::string& souhrn) {
    QStringList z;
    for (const std::string& r : zmeny) {
        z << Q(r);
    }
    QStringList v;
    for (const std::string& r : varovani) {
        v << Q(r);
    }
    return UkazKontroluZapisu(this, z, v, Q(souhrn));
}

std::optional<int> TFrm_Main::VyberZeSeznamu(const std::string& caption, const std::string& prompt,
                                             const std::vector<std::string>& polozky) {
    QStringList p;
    for (const std::string& r : polozky) {
        p << Q(r);
    }
    return UkazVyber(this, Q(caption), Q(prompt), p);
}

IInfoForm& TFrm_Main::InfoForm() {
    VytvorInfoForm();
    return *fInfoForm;
}
