#pragma once
// The main window and the progress dialog as the logic sees them: the controls the workflows read
// and set, and the boxes they ask. The Qt window implements these; the tests give fakes, so no
// test ever waits on a modal box. Every text crossing here is UTF-8.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Controls whose enabled state the workflows set.
enum class TOvladac : std::uint8_t {
    Btn_NactiTelCisla,
    Btn_ZapisTelCisla,
    Hg_PhoneNumbers,
    SEdt_PocetExpanderu,
    Btn_NactiExpandery,
    Btn_NactiAktualni,
    Btn_reset,
    Btn_ZapisNastaveni,
    Cmb_Expander,
    Hg_Komunikace,
    Mem_Porucha,
    Mem_Obnova,
    Cmb_Vstup,
    Hg_Vstupy,
    Mem_Sepnuti,
    Mem_Rozpojeni,
};

// Grids; cells are addressed as (column, row) with the fixed row 0 and column 0 included.
enum class TMrizka : std::uint8_t { Hg_PhoneNumbers, Hg_Komunikace, Hg_Vstupy };
enum class TMemo : std::uint8_t { Mem_Porucha, Mem_Obnova, Mem_Sepnuti, Mem_Rozpojeni };
enum class TSeznam : std::uint8_t { Cmb_Expander, Cmb_Vstup };

// The "Sériový port" menu. Items 1..10 are cmCOM1..cmCOM10, radio items of one group; item 11 is
// cmCOM11, outside the group: only the program ticks it and nothing unticks it.
struct TPolozkaPortu {
    bool Zaskrtnuta = false;
    bool Viditelna = true;
    int Tag = 0;
    std::string Titulek;
};

class TPortMenu {
public:
    static constexpr int k_PocetPolozek = 11;
    static constexpr int k_JinyPort = 11; // cmCOM11

    TPortMenu() {
        for (int item = 1; item <= k_PocetPolozek; ++item) {
            Polozka(item).Tag = item;
            Polozka(item).Titulek = "COM " + std::to_string(item);
        }
        Polozka(k_JinyPort).Titulek = "COM xx";
    }
    // 1..11; anything else is not an item.
    static bool JePolozka(int item) { return item >= 1 && item <= k_PocetPolozek; }
    const TPolozkaPortu& Polozka(int item) const { return fPolozky.at(Index(item)); }
    TPolozkaPortu& Polozka(int item) { return fPolozky.at(Index(item)); }
    // Ticks an item; ticking a radio item unticks the other radio items.
    void Zaskrtni(int item) {
        if (!JePolozka(item)) {
            return;
        }
        if (item != k_JinyPort) {
            for (int other = 1; other < k_JinyPort; ++other) {
                Polozka(other).Zaskrtnuta = false;
            }
        }
        Polozka(item).Zaskrtnuta = true;
    }

private:
    static std::size_t Index(int item) { return static_cast<std::size_t>(item - 1); }
    std::array<TPolozkaPortu, k_PocetPolozek> fPolozky;
};

// The progress dialog InfoForm. Only the lower bar (Pgb_Dolni) is used by operations.
class IInfoForm {
public:
    virtual ~IInfoForm() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetText(const std::string& text) = 0; // Lbl_Text
    virtual std::string Text() const = 0;
    virtual void SetHorniVisible(bool visible) = 0; // Pgb_Horni
    virtual void SetDolniVisible(bool visible) = 0; // Pgb_Dolni
    virtual bool DolniVisible() const = 0;
    virtual void SetDolniMax(int maximum) = 0;
    virtual int DolniMax() const = 0;
    virtual void SetDolniPosition(int position) = 0;
    virtual int DolniPosition() const = 0;
    virtual void StepDolni() = 0;     // position + 1, kept within the range
    virtual void ShowModeless() = 0;  // returns at once
    virtual void Hide() = 0;          // hides without FormClose
    virtual void Close() = 0;         // FormClose: hides both bars and the dialog
    virtual bool IsShown() const = 0; // visible on screen
    virtual bool PrerusNacitani() const = 0;
    // Btn_Prerusit, and what its click (or Escape in the dialog) calls.
    virtual void SetPrerusitVisible(bool visible) = 0;
    virtual bool PrerusitVisible() const = 0;
    virtual void SetOnPrerusit(std::function<void()> handler) = 0;
};

enum class TVychoziOdpoved : std::uint8_t { Ano, Ne };

class IFrm_Main {
public:
    virtual ~IFrm_Main() = default;

    virtual void SetCaption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetEnabled(TOvladac control, bool enabled) = 0;
    virtual bool Enabled(TOvladac control) const = 0;

    virtual void SetCellText(TMrizka grid, int col, int row, const std::string& text) = 0;
    virtual std::string CellText(TMrizka grid, int col, int row) const = 0;
    // Marks a cell, or a memo, whose value differs from what the device holds.
    virtual void SetCellBold(TMrizka grid, int col, int row, bool bold) = 0;
    virtual void SetMemoBold(TMemo memo, bool bold) = 0;
    virtual void SetToolTip(TOvladac control, const std::string& text) = 0;
    // A typed recipient index was brought into range: the cell says why (tooltip) and the status
    // bar says it for a moment. Setting the cell's text again forgets it.
    virtual void OdkazOmezen(TMrizka grid, int col, int row, const std::string& text) = 0;

    virtual void SetMemoText(TMemo memo, const std::string& text) = 0;
    virtual std::string MemoText(TMemo memo) const = 0;
    // Characters the user may type; a line break counts as two (CR LF).
    virtual void SetMemoMaxLength(TMemo memo, int length) = 0;

    virtual void ClearItems(TSeznam list) = 0;
    virtual void AddItem(TSeznam list, const std::string& text) = 0;
    virtual int ItemCount(TSeznam list) const = 0;
    virtual std::string ItemText(TSeznam list, int index) const = 0;
    // -1 selects nothing; setting it runs no change handler.
    virtual void SetItemIndex(TSeznam list, int index) = 0;
    virtual int ItemIndex(TSeznam list) const = 0;

    // SEdt_PocetExpanderu (1..8); setting it runs no change handler.
    virtual void SetPocetExpanderu(int value) = 0;
    virtual int PocetExpanderu() const = 0;

    // Status-bar panels 0..3.
    virtual void SetPanelText(int panel, const std::string& text) = 0;
    virtual std::string PanelText(int panel) const = 0;

    // Shows the port menu as the logic holds it.
    virtual void ZobrazPortMenu(const TPortMenu& menu) = 0;

    // Led_Incoming.
    virtual void SetLed(bool on) = 0;
    virtual bool LedOn() const = 0;
    // false: no port is open, the lamp is grey.
    virtual void SetLedAktivni(bool aktivni) = 0;

    // Caption "Varování", one button "OK"; detail is a second, smaller line (may be empty).
    virtual void Varovani(const std::string& text, const std::string& detail) = 0;
    // Caption "Varování", buttons "&Ano" and "&Ne", vychozi the one Enter takes; true for "&Ano".
    // A question whose "&Ano" would lose data has "&Ne" as its default.
    virtual bool OtazkaAnoNe(const std::string& text, TVychoziOdpoved vychozi) = 0;
    // Caption "Chyba", one button "OK".
    virtual void Chyba(const std::string& text) = 0;
    // A plain message, one button "OK"; detail is a second, smaller line (may be empty).
    virtual void Zprava(const std::string& text, const std::string& detail) = 0;
    // A file dialog for opening a file in folder, files matching filter first; no value when
    // the user cancels.
    virtual std::optional<std::string> OtevriSoubor(const std::string& caption,
                                                    const std::string& folder,
                                                    const std::string& filter) = 0;
    // The write preview "Kontrola zápisu": the changes one per line, the warnings, the number of
    // telegrams and the time; buttons "&Zapsat" and "&Zpět", "&Zpět" the default. True for
    // "&Zapsat".
    virtual bool KontrolaZapisu(const std::vector<std::string>& zmeny,
                                const std::vector<std::string>& varovani,
                                const std::string& souhrn) = 0;
    // A list to choose one item from, with "OK" and "Zrušit"; no value when the user cancels.
    virtual std::optional<int> VyberZeSeznamu(const std::string& caption, const std::string& prompt,
                                              const std::vector<std::string>& polozky) = 0;
    // Text-input dialog with "OK" and "Zrušit"; no value for "Zrušit".
    virtual std::optional<std::string> InputQuery(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& initial) = 0;

    // The progress dialog; it exists once the window has been created.
    virtual IInfoForm& InfoForm() = 0;

    // Runs a step later from the message loop, outside whatever handler is running now (a box
    // must not open inside the serial driver's tick).
    virtual void Naplanuj(std::function<void()> krok) = 0;
};
