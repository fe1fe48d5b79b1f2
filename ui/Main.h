#pragma once
// Frm_Main: the main window. It owns the controls ui/RozvrzeniOkna builds, under their own names;
// shows what the logic (TMainLogika) sets through IFrm_Main (MainPohled.cpp); and forwards its
// handlers to the logic under the same names (Main.cpp). The boxes it asks are virtual, so a test
// can answer them instead of a user.

#include "KomunikacniLog.h"
#include "RozvrzeniOkna.h"
#include "info.h"
#include "okno/MainLogika.h"
#include "okno/OknoMain.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QPrinter;

class TFrm_Main : public QMainWindow, public IFrm_Main, public TOvladaceOkna {
    Q_OBJECT

public:
    // Builds the controls; FormCreate follows as the next step of creating the window.
    explicit TFrm_Main(TMainZavislosti zavislosti, QWidget* parent = nullptr);
    ~TFrm_Main() override;

    // Handlers, forwarded to the logic.
    void FormCreate();
    void FormClose();
    void cmCOM1Click(QAction* sender);
    void cmJinyCOMportClick();
    void SEdt_PocetExpanderuChange();
    void Cmb_ExpanderChange();
    void Cmb_VstupChange();
    void Btn_NactiTelCislaClick();
    void Btn_ZapisTelCislaClick();
    void Btn_NactiExpanderyClick();
    void Btn_NactiAktualniClick();
    void Btn_resetClick();
    void Btn_ZapisNastaveniClick();
    void cmUlozNastaveniClick();
    void cmNactiNastaveniClick();
    // The handover report (menu "Protokol…"): asks for the site and technician, then saves a PDF
    // into the exports' folder or prints.
    void cmProtokolClick();

    // Gives the window the size and place of its last close (norlink.ini, section "Okno"), else
    // the designed ones, within the screen's available area.
    void UmistiNaObrazovku();
    // The progress dialog, created after the window (hidden).
    void VytvorInfoForm();
    TInfoForm* Info() const { return fInfoForm; }
    TMainLogika& Logika() { return fLogika; }

    // IFrm_Main
    void SetCaption(const std::string& text) override;
    std::string Caption() const override;
    void SetEnabled(TOvladac control, bool enabled) override;
    bool Enabled(TOvladac control) const override;
    void SetCellText(TMrizka grid, int col, int row, const std::string& text) override;
    std::string CellText(TMrizka grid, int col, int row) const override;
    void SetCellBold(TMrizka grid, int col, int row, bool bold) override;
    void SetMemoBold(TMemo memo, bool bold) override;
    void SetToolTip(TOvladac control, const std::string& text) override;
    void OdkazOmezen(TMrizka grid, int col, int row, const std::string& text) override;
    std::optional<std::string> OtevriSoubor(const std::string& caption, const std::string& folder,
                                            const std::string& filter) override;
    void SetMemoText(TMemo memo, const std::string& text) override;
    std::string MemoText(TMemo memo) const override;
    void SetMemoMaxLength(TMemo memo, int length) override;
    void ClearItems(TSeznam list) override;
    void AddItem(TSeznam list, const std::string& text) override;
    int ItemCount(TSeznam list) const override;
    std::string ItemText(TSeznam list, int index) const override;
    void SetItemIndex(TSeznam list, int index) override;
    int ItemIndex(TSeznam list) const override;
    void SetPocetExpanderu(int value) override;
    int PocetExpanderu() const override;
    void SetPanelText(int panel, const std::string& text) override;
    std::string PanelText(int panel) const override;
    void ZobrazPortMenu(const TPortMenu& menu) override;
    void SetLed(bool on) override;
    bool LedOn() const override;
    void SetLedAktivni(bool aktivni) override;
    void Varovani(const std::string& text, const std::string& detail) override;
    bool OtazkaAnoNe(const std::string& text, TVychoziOdpoved vychozi) override;
    void Chyba(const std::string& text) override;
    void Zprava(const std::string& text, const std::string& detail) override;
    std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                          const std::string& initial) override;
    bool KontrolaZapisu(const std::vector<std::string>& zmeny,
                        const std::vector<std::string>& varovani,
                        const std::string& souhrn) override;
    std::optional<int> VyberZeSeznamu(const std::string& caption, const std::string& prompt,
                                      const std::vector<std::string>& polozky) override;
    IInfoForm& InfoForm() override;
    void Naplanuj(std::function<void()> krok) override;

    // The report's dialog: the site and technician (shown, and changed in place) and what to do,
    // a TProtokolDialog::TVolba. The print dialog: false when cancelled. Tests answer both.
    virtual int DialogProtokolu(std::string& objekt, std::string& technik);
    virtual bool DialogTisku(QPrinter& printer);

    // Opens (or brings up) the communication log window.
    void cmKomunikacniLogClick();
    TKomunikacniLog* KomunikacniLog() const { return fLogOkno; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The controls' events go to the logic; typed characters pass its key filter.
    void PropojOvladace();
    void PropojMrizky();
    void PropojMema();
    void PropojMenu();
    // A recipient cell: the number its index refers to, drawn beside it, and its tooltip.
    TEditGrid::TPopis PopisPrijemce(TMrizka grid, int col, int row) const;
    // Stores the text of a memo that has the focus and commits an open cell editor.
    void UlozRozpracovane();
    // The serial devices present, listed in the port menu when it opens.
    void ObnovZarizeni();
    // The memos' counters: the colour turns as the text nears its limit.
    void ObnovDelky();

    TMainLogika fLogika;
    TPortMenu fPortMenu; // what the menu shows; restored when a click toggles an item itself
    TInfoForm* fInfoForm = nullptr;
    TKomunikacniLog* fLogOkno = nullptr;
    bool fPtatSePriZavreni = false; // "Ukonči" asks like the close button
};
