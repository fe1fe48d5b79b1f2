#pragma once
// The main window's logic without the toolkit: start-up and shutdown, the settings file
// norlink.ini, the choice of the COM port, and the views that start-up fills. The Qt window
// forwards its handlers here under the same names; the tests drive it with a fake window.
//
// From FormCreate to FormClose it holds the session with the communicator (relace/Relace.h).

#include "editace/EditaceExpanderu.h"
#include "okno/OknoMain.h"
#include "okno/Povoleni.h"
#include "okno/Prekresleni.h"
#include "operace/Operace.h"
#include "operace/SeznamZmen.h"
#include "port/SerioveZarizeni.h"
#include "port/Timer.h"
#include "relace/Relace.h"
#include "soubory/NastaveniProgramu.h"
#include "stav/Zmeny.h"
#include "stav/ZnameData.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view R_Caption = "NORLINK ";
inline constexpr std::string_view R_ZmenitPort = "Chcete opravdu změnit komunikační port?";
inline constexpr std::string_view R_SmerOdmitnut = "Převodník nepřijal zvolené řízení směru linky.";
inline constexpr std::string_view R_CisloPortu = "Číslo COM portu";
inline constexpr std::string_view R_ComPort = "COM port:";
inline constexpr std::string_view R_NastaveniNelzeCist =
    "Soubor nastavení nelze přečíst, program použije výchozí nastavení.";
inline constexpr std::string_view R_NastaveniZustane =
    "Soubor zůstane, jak je: program ho při ukončení nepřepíše.";
inline constexpr std::string_view R_Expander = "Expander";
inline constexpr std::string_view R_Vstup = "Vstup";
inline constexpr std::string_view R_NejdrivNacti =
    "Nejdřív načtěte nastavení všech expanderů z komunikátoru: zápis posílá jen rozdíly proti "
    "tomu, co v komunikátoru je.";
inline constexpr std::string_view R_NacistNastaveni = "Načíst nastavení ze souboru";
inline constexpr std::string_view R_NastaveniNacteno =
    "Nastavení bylo načteno ze souboru. Do komunikátoru je zapíšete tlačítky \"Zapiš tel. "
    "čísla\" a \"Zapiš nastavení expanderů\".";
inline constexpr std::string_view R_NeulozeneZmeny =
    "Změny nebyly zapsány do komunikátoru ani uloženy do souboru. Opravdu ukončit program?";
inline constexpr std::string_view R_PrepsatZmeny =
    "Okno obsahuje změny, které nebyly zapsány do komunikátoru ani uloženy do souboru. Načtení je "
    "přepíše. Pokračovat?";
inline constexpr std::string_view R_KontrolaZapisu = "Kontrola zápisu";
inline constexpr std::string_view R_ObnovitZeZalohy = "Obnovit ze zálohy";
inline constexpr std::string_view R_VyberZalohu =
    "Vyberte zálohu; načte se do okna a tlačítka zápisu pak pošlou jen její rozdíly proti "
    "komunikátoru:";
inline constexpr std::string_view R_ZadnaZaloha = "Žádná záloha zatím neexistuje.";
inline constexpr std::string_view R_SpojeniZtracenoRada =
    "Jakmile převodník znovu připojíte, program port sám otevře; jiný port zvolte v nabídce "
    "Sériový port.";

inline constexpr std::string_view R_PortNeotevren =
    "Sériový port není otevřen: s komunikátorem nelze komunikovat.";
inline constexpr std::string_view R_PortNeotevrenRada =
    "Zvolte port v nabídce Sériový port (a zkontrolujte převodník).";

// The session's watch on a quiet device looks every k_HlidaniMs.
inline constexpr int k_HlidaniMs = 250;

// What the logic needs from the platform; the window passes the real ones, tests their own.
struct TMainZavislosti {
    // The program's folder, ending with '/'. Default: the folder of /proc/self/exe.
    std::function<std::string()> SlozkaProgramu;
    // The serial driver's timer (required: the window gives a QTimer).
    std::function<std::unique_ptr<IPeriodicTimer>()> VytvorCasovac;
    // The port layer. Default: the termios one.
    std::function<std::unique_ptr<ISerialPort>()> VytvorPort;
    // A timer for watching the device while an operation runs (no timer: nobody watches).
    std::function<std::unique_ptr<IPeriodicTimer>()> VytvorHlidac;
    // The watch's clock. Default: the steady clock.
    std::function<TCasRelace()> Hodiny;
    // The root of /sys and /dev for the list of serial devices (tests give a fake tree).
    std::string KorenZarizeni = "/";
    // The machine's adapters, for finding a lost one again. Default: the POSIX ones under
    // KorenZarizeni.
    std::function<std::unique_ptr<IPrevodniky>()> VytvorPrevodniky;
    // A file that receives the communication log, oldest record first, when it is released at
    // close (empty: the log stays in memory only). For diagnosing a link in the field.
    std::string VypisKomunikace;
};

class TMainLogika {
public:
    TMainLogika(IFrm_Main& okno, TMainZavislosti zavislosti);
    ~TMainLogika();
    TMainLogika(const TMainLogika&) = delete;
    TMainLogika& operator=(const TMainLogika&) = delete;

    void FormCreate();
    // Runs once; a settings file that cannot be written is reported and the close goes on.
    void FormClose();
    // A norlink.ini that exists but cannot be read is reported; the defaults are used.
    void LoadIni();
    // Throws EProfileWriteError when norlink.ini cannot be written. Writes nothing when LoadIni
    // could not read the file: the count shown then is no value from the file.
    void SaveIni();
    // False when norlink.ini exists but could not be read: nothing is written into it then.
    bool IniNacten() const { return fIniNacten; }
    void InitializeCom();
    bool PortOtevren() const;
    // item: 1..10 for cmCOM1..cmCOM10, 11 for cmCOM11.
    void cmCOM1Click(int item);
    std::uint8_t ZjistiZvolenyComPort() const;
    void cmJinyCOMportClick();
    // A direction mode chosen in the port menu: stored in norlink.ini and used at once.
    void cmSmerClick(TSmer smer);
    // The serial devices present, for the port menu, and the one the current COM number is
    // mapped to in [Porty] (empty: none).
    std::vector<TSerioveZarizeni> SeriovaZarizeni() const;
    std::string MapovaneZarizeni() const;
    // A device chosen in the port menu: after the port-change question the current COM number is
    // mapped to it in norlink.ini, section "Porty", and the port opened anew.
    void cmZarizeniClick(const std::string& cesta);

    // Views filled at start-up.
    void NactiTexty();
    void SEdt_PocetExpanderuChange();
    void Cmb_ExpanderChange();
    void Cmb_VstupChange();

    // The reads and the reset.
    void Btn_NactiTelCislaClick();
    void Btn_NactiExpanderyClick();
    void Btn_NactiAktualniClick();
    void Btn_resetClick();
    // The grids: a cell's editor was left with a changed text, the focus left the grid, Delete was
    // pressed on the current cell (Key: the key code).
    void MrizkaCellEdited(TMrizka grid, int ACol, int ARow);
    void MrizkaExit(TMrizka grid);
    void Hg_KomunikaceKeyDown(TMrizka grid, int ACol, int ARow, std::uint16_t Key);
    void Hg_PhoneNumbersCellEdited(int ACol, int ARow);
    void Hg_PhoneNumbersExit();
    void Hg_KomunikaceCellEdited(int ACol, int ARow);
    void Hg_VstupyCellEdited(int ACol, int ARow);
    void Hg_KomunikaceExit();
    void Hg_VstupyExit();
    // A memo lost the focus (Mem_PoruchaExit, Mem_ObnovaExit, Mem_SepnutiExit, Mem_RozpojeniExit).
    void MemoExit(TMemo memo);
    const TEditaceExpanderu& Editace() const { return fEditace; }
    void Btn_ZapisTelCislaClick();
    void Btn_ZapisNastaveniClick();
    // The settings export (menu "Ulož nastavení").
    void cmUlozNastaveniClick();
    // Loads an export into the working image and the phone grid (menu "Načti nastavení ze
    // souboru"); the write buttons then send its differences from what was last read.
    void cmNactiNastaveniClick();
    // Loads a backup of the device into the working image as cmNactiNastaveniClick loads an
    // export (menu "Obnovit ze zálohy…").
    void cmObnovitZeZalohyClick();
    // Changes that were neither written nor exported (the close asks first).
    bool NeulozeneZmeny() const;
    // Which blocks of the working image are the device's, the technician's, or unknown.
    const TZnameData& ZnamaData() const { return fZnama; }
    // Both images taken as the device's, as after reading everything: for a view over images
    // filled by hand (the window's tests).
    void VseZnameZeZarizeni() {
        fZnama.NastavVse(TPuvod::Zarizeni);
        fZnamaRec.NastavVse(TPuvod::Zarizeni);
    }
    // What the device is known to hold (the last reads and the writes verified since).
    const TZmeny& Zmeny() const { return fZmeny; }
    // The backup saved before the last write (empty before the first).
    const std::string& PosledniZaloha() const { return fZaloha; }
    // Marks what differs from what the device holds and tells the write buttons' tooltips how
    // many blocks a write would send now.
    void ObnovZnacky();
    // The phone grid and the identification panels drawn from the images.
    void Prekresli();

    // The progress dialog's cancel button (and Escape there).
    void Btn_PrerusitClick();

    bool BeziOperace() const { return fRelace && fRelace->BeziOperace(); }
    // The handover report of what the window holds now: the working image, whether it differs
    // from the device, and when the device last agreed (the last read or verified write).
    std::string ProtokolHtml(const std::string& objekt, const std::string& technik) const;
    const TPovoleni& Povoleni() const { return fPovoleni; }

    std::string IniSoubor() const;
    const TPortMenu& PortMenu() const { return fPortMenu; }
    const TPortMap& PortMap() const { return fPortMap; }
    // The session, from FormCreate to FormClose (null outside).
    TRelace* Relace() { return fRelace.get(); }
    TKomunikace* Link() { return fRelace ? &fRelace->Link() : nullptr; }
    TComLog* Log() { return fRelace ? &fRelace->Log() : nullptr; }
    TPrijemTLG* Prijem() { return fRelace ? &fRelace->Prijem() : nullptr; }

    std::int32_t fComPortNo = k_DefaultComPortNo;
    std::int32_t fComBaudRate = k_DefaultCOMBaudRate;
    TSmer fSmer = TSmer::DTR;

private:
    // A port that refused the direction mode asked for says so, and which one is used.
    void UkazVarovaniSmeru();
    TKontextOperace Kontext();
    // Starts an operation unless one runs; it then owns the buttons until it ends.
    void Spust(std::unique_ptr<IOperace> operace);
    // What an operation that ended hands over.
    void Dokonceno(const TPrectenaCisla& precteno);
    void Dokonceno(const TPrectenoNastaveni& precteno);
    void Dokonceno(const TZapsaneBloky& zapsano);
    // The device agreed with the window: the report's time of verification.
    void Shoda();
    void ZrusOperaci();
    // The port went away: the menu, the status bar and the log say so, and a warning.
    void SpojeniZtraceno();
    // Its device came back and the session opened it again: the menu, the status bar and the
    // log say so.
    void PrevodnikSeVratil();
    // Ticks the item of fComPortNo (the extra item for a port outside 1..10).
    void ZaskrtniPort();
    // A read that would replace changes neither written nor saved asks first.
    bool SmiPrepsat(bool cisla);
    // Before a write: refuses one that would send unknown bytes, shows what it changes and saves
    // the backup; false when nothing is to be sent.
    bool PripravZapis(const std::vector<std::uint16_t>& adresy, std::size_t cisel,
                      std::size_t bloku, TRozsahZmen rozsah);
    // A write's end, as the box after it says.
    void ZapisDokoncen(bool overeno, std::size_t cisel, const std::vector<std::uint16_t>& bloky);
    void NactiSoubor(const std::string& path);
    // Writes "Cislo"; false (after showing the error) when the file cannot be written.
    bool UlozCisloPortu();
    void ZobrazPortMenu() { fOkno.ZobrazPortMenu(fPortMenu); }
    // Panel 0 and the lamp say whether a port is open, and which; prefix goes before panel 0's
    // text.
    void ZobrazStavPortu(std::string_view prefix = {});
    // The selected expander and input, within the image's bounds; -1 when nothing is selected.
    int VybranyExpander() const;
    int VybranyVstup() const;

    static constexpr int k_MinPocetExp = 1;
    static constexpr int k_MaxPocetExp = static_cast<int>(k_NORLINKMaxPocetExp);
    static constexpr int k_PocetRadkuMrizky = static_cast<int>(k_NORLINKMaxPocetCisel);
    static std::string Text(std::string_view view) { return std::string(view); }

    IFrm_Main& fOkno;
    TMainZavislosti fZavislosti;
    TPortMenu fPortMenu;
    TPortMap fPortMap;
    TPovoleni fPovoleni{&fOkno};
    TEditaceExpanderu fEditace{fOkno, fOkno, NORLINKRecNew};
    TPrekresleni fPrekresleni{fOkno, fOkno, fOkno};
    TZmeny fZmeny;
    // Known data of the working image and of the device image.
    TZnameData fZnama;
    TZnameData fZnamaRec;
    std::string fZaloha;
    std::string fCasOvereni;
    bool fNastaveniPrectena = false;
    std::unique_ptr<TRelace> fRelace;
    std::unique_ptr<IPeriodicTimer> fHlidac;
    bool fVytvoreno = false;
    bool fZavreno = false;
    bool fIniNacten = true;
};
