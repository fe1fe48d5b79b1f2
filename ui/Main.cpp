#include "Main.h"

#include "ProtokolOkno.h"
#include "UkonceniSignalem.h"
#include "UmisteniOkna.h"
#include "editace/Editace.h"
#include "soubory/Protokol.h"
#include "soubory/Slozky.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>
#include <utility>

// The window: it owns the controls and the logic, and forwards the controls' events to the logic.

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// Where the window opens when norlink.ini does not say.
constexpr QPoint k_MistoOkna(246, 108);

} // namespace

TFrm_Main::TFrm_Main(TMainZavislosti zavislosti, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      fLogika(*this, std::move(zavislosti)) {
    setObjectName(QStringLiteral("Frm_Main"));
    // The widgets belong to this window through their Qt parents; the base keeps their names.
    TOvladaceOkna::operator=(VytvorRozvrzeni(*this));
    ObnovDelky();
    PropojOvladace();
    PropojMrizky();
    PropojMema();
    PropojMenu();
    ZobrazPortMenu(fPortMenu);
    resize(VychoziVelikost());
    move(k_MistoOkna);
}

TFrm_Main::~TFrm_Main() = default;

void TFrm_Main::UmistiNaObrazovku() {
    ::UmistiNaObrazovku(*this, fLogika, QRect(k_MistoOkna, VychoziVelikost()));
}

void TFrm_Main::PropojOvladace() {
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
    for (TMemoEdit* memo : Mema()) {
        connect(memo, &QPlainTextEdit::textChanged, this, [this] { ObnovDelky(); });
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

void TFrm_Main::PropojMenu() {
    // A shortcut opens no menu: an open cell editor is committed first, as the menu does.
    const auto ukonciEditaci = [this] {
        for (TEditGrid* grid : Mrizky()) {
            grid->UkonciEditaci();
        }
    };
    connect(cmNactiTelCisla, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        // As the button, and only while the button may be used.
        if (Btn_NactiTelCisla->isEnabled()) {
            Btn_NactiTelCislaClick();
        }
    });
    connect(cmUlozNastaveni, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        cmUlozNastaveniClick();
    });
    connect(cmNactiNastaveni, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        cmNactiNastaveniClick();
    });
    connect(cmObnovitZeZalohy, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        fLogika.cmObnovitZeZalohyClick();
    });
    connect(cmProtokol, &QAction::triggered, this, [this, ukonciEditaci] {
        ukonciEditaci();
        cmProtokolClick();
    });
    connect(cmKomunikacniLog, &QAction::triggered, this, [this] { cmKomunikacniLogClick(); });
    // The window closes as with its close button: the settings are saved on the way.
    connect(Men_Ukonci, &QAction::triggered, this, [this] {
        fPtatSePriZavreni = true;
        close();
        fPtatSePriZavreni = false;
    });

    for (QAction* action : cmCOM) {
        connect(action, &QAction::triggered, this, [this, action] { cmCOM1Click(action); });
    }
    connect(cmJinyCOMport, &QAction::triggered, this, [this] { cmJinyCOMportClick(); });
    for (std::size_t i = 0; i < cmSmerPolozky.size(); ++i) {
        connect(cmSmerPolozky.at(i), &QAction::triggered, this,
                [this, i] { fLogika.cmSmerClick(static_cast<TSmer>(i)); });
    }
    // The devices are looked for each time the menu opens: adapters come and go.
    connect(Sriovport1, &QMenu::aboutToShow, this, [this] { ObnovZarizeni(); });
    // A menu takes no focus from the grid, so an open cell editor is committed here: its cell rule
    // runs before any menu item can act, and the grid's exit rule does not.
    for (QMenu* menu : {Men_Program, Sriovport1}) {
        connect(menu, &QMenu::aboutToShow, this, [this] {
            for (TEditGrid* grid : Mrizky()) {
                grid->UkonciEditaci();
            }
        });
    }
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
    ::UlozUmisteni(*this, fLogika);
    event->accept();
}
