#pragma once
// The main window's controls, grid layout, menus and status bar, built on a QMainWindow under their
// own names. Building connects no handler: the window wires them to its logic.

#include "EditGrid.h"
#include "Led.h"
#include "MemoEdit.h"
#include "okno/OknoMain.h"

#include <QList>
#include <QSize>

#include <array>

class QAction;
class QComboBox;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QSpinBox;
class QStatusBar;

// The controls by name. The widgets belong to the window through their Qt parents; these pointers
// own nothing.
struct TOvladaceOkna {
    // Controls; they lie on Klient, which scrolls when the window is smaller than it.
    QWidget* Klient = nullptr;
    TLed* Led_Incoming = nullptr;
    QPushButton* Btn_NactiTelCisla = nullptr;
    QPushButton* Btn_ZapisTelCisla = nullptr;
    TEditGrid* Hg_PhoneNumbers = nullptr;
    QLabel* Label1 = nullptr;
    QSpinBox* SEdt_PocetExpanderu = nullptr;
    QPushButton* Btn_NactiExpandery = nullptr;
    QPushButton* Btn_NactiAktualni = nullptr;
    QPushButton* Btn_reset = nullptr;
    QPushButton* Btn_ZapisNastaveni = nullptr;
    QComboBox* Cmb_Expander = nullptr;
    TEditGrid* Hg_Komunikace = nullptr;
    QLabel* Label2 = nullptr;
    TMemoEdit* Mem_Porucha = nullptr;
    QLabel* Label4 = nullptr;
    TMemoEdit* Mem_Obnova = nullptr;
    QComboBox* Cmb_Vstup = nullptr;
    TEditGrid* Hg_Vstupy = nullptr;
    QLabel* Label6 = nullptr;
    TMemoEdit* Mem_Sepnuti = nullptr;
    QLabel* Label5 = nullptr;
    TMemoEdit* Mem_Rozpojeni = nullptr;
    // Under each memo: its stored length against the limit ("73/160").
    std::array<QLabel*, 4> Lbl_Delka{};
    QStatusBar* Stb_Main = nullptr;
    std::array<QLabel*, 4> Stb_Panels{};

    // Menu.
    QMenuBar* Men_Main = nullptr;
    QMenu* Men_Program = nullptr;
    QAction* cmNactiTelCisla = nullptr; // F5, as Btn_NactiTelCisla
    QAction* cmUlozNastaveni = nullptr;
    QAction* cmObnovitZeZalohy = nullptr;
    QAction* N1 = nullptr;
    QAction* Men_Ukonci = nullptr;
    QMenu* Sriovport1 = nullptr;
    std::array<QAction*, TPortMenu::k_PocetPolozek> cmCOM{}; // cmCOM1 .. cmCOM11
    QAction* cmJinyCOMOddelovac = nullptr;
    QAction* cmJinyCOMport = nullptr;
    QMenu* cmSmer = nullptr;                 // "Řízení směru linky"
    std::array<QAction*, 4> cmSmerPolozky{}; // in the order of TSmer
    QAction* cmZarizeniOddelovac = nullptr;
    QList<QAction*> cmZarizeni; // the serial devices present, built when the menu opens
    QAction* cmKomunikacniLog = nullptr;
    QAction* cmNactiNastaveni = nullptr;
    QAction* cmProtokol = nullptr;

    // The client area the window opens with where the screen has room.
    QSize VychoziKlient;
    // The designed window: that client area with the menu bar and the status bar.
    QSize VychoziVelikost() const;

    // The control the logic names.
    QWidget* Ovladac(TOvladac control) const;
    TEditGrid* Mrizka(TMrizka grid) const;
    TMemoEdit* Memo(TMemo memo) const;
    QComboBox* Seznam(TSeznam list) const;
    std::array<TEditGrid*, 3> Mrizky() const { return {Hg_PhoneNumbers, Hg_Komunikace, Hg_Vstupy}; }
    std::array<TMemoEdit*, 4> Mema() const {
        return {Mem_Porucha, Mem_Obnova, Mem_Sepnuti, Mem_Rozpojeni};
    }
};

// Builds the controls on the window's client area (scrolling below its minimum), its menus with
// empty port items, and its status bar; sets the window's minimum size.
TOvladaceOkna VytvorRozvrzeni(QMainWindow& okno);
