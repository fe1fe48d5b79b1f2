#include "okno/MainLogika.h"

#include "editace/Editace.h"
#include "kovra.h"
#include "operace/Cteni.h"
#include "operace/RozdilyNastaveni.h"
#include "operace/ZapisNastaveni.h"
#include "operace/ZapisTelCisel.h"
#include "soubory/Export.h"
#include "soubory/NactiExport.h"
#include "soubory/ProfileFile.h"
#include "soubory/Protokol.h"
#include "soubory/Slozky.h"
#include "soubory/UlozDoIni.h"
#include "stav/promenne.h"
#include "text/Cp1250.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <variant>
#include <vector>

namespace {

constexpr int k_MinPocetExp = 1;
constexpr int k_MaxPocetExp = static_cast<int>(k_NORLINKMaxPocetExp);
constexpr int k_PocetRadkuMrizky = static_cast<int>(k_NORLINKMaxPocetCisel);

std::string Text(std::string_view view) {
    return std::string(view);
}

} // namespace

std::string SlozkaSpustitelnehoSouboru() {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return "./";
    }
    std::string path(buffer.data(), static_cast<std::size_t>(length));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return "./";
    }
    return path.substr(0, slash + 1);
}

std::string PopisChybyPortu(const std::string& devicePath, const std::string& reason,
                            TChybaPortu pricina) {
    switch (pricina) {
    case TChybaPortu::BezZarizeni:
        return "Port nemá přiřazené zařízení: " + reason +
               "\nZařízení lze zadat v norlink.ini, sekce [Porty], např. COM2=/dev/ttyUSB0.";
    case TChybaPortu::Neexistuje:
        return "Zařízení " + devicePath + ": " + reason +
               ".\nZkontrolujte, že je převodník připojen; jiné zařízení lze zadat v norlink.ini, "
               "sekce [Porty], např. COM2=/dev/ttyUSB0.";
    case TChybaPortu::BezOpravneni:
        return "Zařízení " + devicePath + ": " + reason +
               ".\nPřidejte uživatele do skupiny dialout (sudo usermod -aG dialout $USER) a znovu "
               "se přihlaste.";
    case TChybaPortu::Obsazen:
        return "Zařízení " + devicePath + ": " + reason +
               ".\nUkončete program, který port drží (například jinou kopii NORLINK nebo "
               "ModemManager: sudo systemctl stop ModemManager).";
    case TChybaPortu::Zadna:
    case TChybaPortu::Jina:
        break;
    }
    return "Zařízení " + devicePath + ": " + reason + ".";
}

std::string PopisStavuPortu(std::int32_t comPortNo, const std::string& zarizeni, bool otevren) {
    return "COM" + std::to_string(comPortNo) + " – " + (otevren ? zarizeni : "nepřipojeno");
}

bool UlozComLog(const TComLog& log, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        return false;
    }
    bool written = true;
    for (std::size_t i = log.Count(); i-- > 0;) {
        const std::string_view message = log[i].Message();
        written = written &&
                  std::fwrite(message.data(), 1, message.size(), file) == message.size() &&
                  std::fputc('\n', file) != EOF;
    }
    return std::fclose(file) == 0 && written;
}

TMainLogika::TMainLogika(IFrm_Main& okno, TMainZavislosti zavislosti)
    : fOkno(okno), fZavislosti(std::move(zavislosti)) {
    if (!fZavislosti.SlozkaProgramu) {
        fZavislosti.SlozkaProgramu = SlozkaSpustitelnehoSouboru;
    }
    if (!fZavislosti.VytvorPort) {
        fZavislosti.VytvorPort = MakePosixSerialPort;
    }
    fEditace.NastavZnama(&fZnama, &NORLINKRec);
}

TMainLogika::~TMainLogika() {
    // The globals must not outlive what they point at.
    if (Komunikace == fKomunikace.get()) {
        Komunikace = nullptr;
    }
    if (ComLog == fComLog.get()) {
        ComLog = nullptr;
    }
}

std::string TMainLogika::IniSoubor() const {
    return CestaNastaveni(SlozkaNastaveni(InstDir));
}

void TMainLogika::FormCreate() {
    VerzeSWPC = "0.9";
    fOkno.SetCaption(Text(R_Caption) + VerzeSWPC);
    InstDir = fZavislosti.SlozkaProgramu();
    AlokujObjekty();
    LoadIni();

    fKomunikace =
        std::make_unique<TKomunikace>(fZavislosti.VytvorCasovac(), fZavislosti.VytvorPort());
    Komunikace = fKomunikace.get();
    // The receive handler is in place before the port opens.
    fPrijem = std::make_unique<TPrijemTLG>(*fKomunikace, *this, *fComLog);
    fKomunikace->NastavObsluhuPrijetiDat(fPrijem->Obsluha());
    InitializeCom();

    InicializujNORLINKRec(NORLINKRec);
    NORLINKRecNew = NORLINKRec;
    NactiTexty();

    for (const TOvladac control :
         {TOvladac::Hg_PhoneNumbers, TOvladac::Btn_ZapisTelCisla, TOvladac::Btn_ZapisNastaveni,
          TOvladac::Btn_NactiExpandery, TOvladac::Btn_NactiAktualni, TOvladac::Btn_reset}) {
        fPovoleni.Nastav(control, false);
    }
    fOkno.InfoForm().SetOnPrerusit([this] { Btn_PrerusitClick(); });
    if (fZavislosti.VytvorHlidac) {
        fHlidac = fZavislosti.VytvorHlidac();
        fHlidac->Start(std::chrono::milliseconds(k_HlidaniMs), [this] { HlidacTik(); });
    }
    SEdt_PocetExpanderuChange();
    fOkno.SetItemIndex(TSeznam::Cmb_Expander, 0);
    fOkno.SetItemIndex(TSeznam::Cmb_Vstup, 0);
    Cmb_ExpanderChange();
    for (const TMemo memo :
         {TMemo::Mem_Porucha, TMemo::Mem_Obnova, TMemo::Mem_Sepnuti, TMemo::Mem_Rozpojeni}) {
        fOkno.SetMemoMaxLength(memo, static_cast<int>(k_DelkaSMS));
    }
    fVytvoreno = true;
    // Nothing of the device is known yet.
    fZmeny.Zacni(NORLINKRec);
    fZnama = TZnameData();
    fZnamaRec = TZnameData();
    ObnovZnacky();
}

void TMainLogika::FormClose() {
    if (!fVytvoreno || fZavreno) {
        return;
    }
    fZavreno = true;
    ZrusOperaci();
    if (fHlidac) {
        fHlidac->Stop();
    }
    try {
        SaveIni();
    } catch (const std::exception& error) {
        // The window closes all the same; the user learns that the count was not kept.
        fOkno.Chyba(error.what());
    }
    DeAlokujObjekty();
    // Freeing the link closes the port; the receive path goes with it.
    Komunikace = nullptr;
    fKomunikace.reset();
    fPrijem.reset();
}

void TMainLogika::AlokujObjekty() {
    fComLog = std::make_unique<TComLog>();
    ComLog = fComLog.get();
}

void TMainLogika::DeAlokujObjekty() {
    if (fComLog && !fZavislosti.VypisKomunikace.empty()) {
        UlozComLog(*fComLog, fZavislosti.VypisKomunikace);
    }
    if (fComLog) {
        fComLog->Clear();
    }
    ComLog = nullptr;
    // The receive path logs into it: it may not outlive the log.
    if (fKomunikace) {
        fKomunikace->NastavObsluhuPrijetiDat({});
    }
    fPrijem.reset();
    fComLog.reset();
}

void TMainLogika::LoadIni() {
    TProfileFile ini;
    fIniNacten = true;
    try {
        ini = TProfileFile::Load(IniSoubor());
    } catch (const EProfileReadError& error) {
        fIniNacten = false;
        fOkno.Varovani(Text(R_NastaveniNelzeCist), "Soubor " + error.Path() + ": " +
                                                       error.Reason() + ".\n" +
                                                       Text(R_NastaveniZustane));
    }
    const TNastaveniProgramu nastaveni = NactiNastaveniProgramu(ini);
    fComPortNo = nastaveni.ComPortNo;
    fComBaudRate = nastaveni.ComBaudRate;
    fOkno.SetPocetExpanderu(std::clamp(nastaveni.PocetExpanderu, k_MinPocetExp, k_MaxPocetExp));
    fPortMap = NactiMapuPortu(ini, InstDir);
}

void TMainLogika::SaveIni() {
    if (!fIniNacten) {
        return;
    }
    UlozDoIni(IniSoubor(), k_SekceComPort, k_KlicProgram,
              static_cast<std::int64_t>(fOkno.PocetExpanderu()), TIniType::int_ini);
}

void TMainLogika::InitializeCom() {
    // A running operation cannot go on over another port.
    ZrusOperaci();
    fKomunikace->Initialize();
    fPortZtracen = false;
    fKomunikace->Com().SetOnConnectionLost([this](TSerialDriver&, const std::string&) {
        fOkno.Naplanuj([this] { SpojeniZtraceno(); });
    });
    fKomunikace->Com().SetPortMap(fPortMap);
    fKomunikace->NastavAdresoveLimity(0, 65535);
    fKomunikace->NastavComPort(static_cast<std::uint8_t>(fComPortNo));

    if (fComPortNo >= 1 && fComPortNo <= 10) {
        fPortMenu.Zaskrtni(fComPortNo);
        fPortMenu.Polozka(TPortMenu::k_JinyPort).Viditelna = false;
    } else {
        // Only the port in use is ticked: a radio item left ticked could not be chosen again.
        for (int item = 1; item < TPortMenu::k_JinyPort; ++item) {
            fPortMenu.Polozka(item).Zaskrtnuta = false;
        }
        TPolozkaPortu& jiny = fPortMenu.Polozka(TPortMenu::k_JinyPort);
        jiny.Zaskrtnuta = true;
        jiny.Tag = fComPortNo;
        jiny.Titulek = "COM " + std::to_string(fComPortNo);
        jiny.Viditelna = true;
    }
    ZobrazPortMenu();

    const bool otevren = fKomunikace->NavazSpojeni(static_cast<std::uint32_t>(fComBaudRate));
    ZobrazStavPortu();
    if (!otevren) {
        // No port is open: no item stays ticked, and choosing the same one again tries anew.
        fPortZtracen = true;
        for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
            fPortMenu.Polozka(item).Zaskrtnuta = false;
        }
        ZobrazPortMenu();
        const TSerialDriver& com = fKomunikace->Com();
        fOkno.Varovani(Text(R_PortNeexistuje),
                       PopisChybyPortu(com.LastDevicePath(), com.LastError(), com.LastErrorKind()));
    }
}

bool TMainLogika::PortOtevren() const {
    return fKomunikace && fKomunikace->Com().Connected();
}

void TMainLogika::ZobrazStavPortu() {
    const bool otevren = PortOtevren();
    const std::string zarizeni = fKomunikace ? fKomunikace->Com().LastDevicePath() : std::string();
    fOkno.SetPanelText(0, PopisStavuPortu(fComPortNo, zarizeni, otevren));
    fOkno.SetLedAktivni(otevren);
}

bool TMainLogika::UlozCisloPortu() {
    try {
        UlozDoIni(IniSoubor(), k_SekceComPort, k_KlicCislo, static_cast<std::int64_t>(fComPortNo),
                  TIniType::int_ini);
    } catch (const std::exception& error) {
        fOkno.Chyba(error.what());
        return false;
    }
    return true;
}

void TMainLogika::cmCOM1Click(int item) {
    if (!TPortMenu::JePolozka(item) || fPortMenu.Polozka(item).Zaskrtnuta) {
        return;
    }
    // Choosing the port that was lost again is a reconnect, not a change.
    const bool znovu = fPortZtracen && fPortMenu.Polozka(item).Tag == fComPortNo;
    if (!znovu && !fOkno.OtazkaAnoNe(Text(R_ZmenitPort), TVychoziOdpoved::Ano)) {
        return;
    }
    fPortMenu.Zaskrtni(item);
    ZobrazPortMenu();
    fComPortNo = ZjistiZvolenyComPort();
    if (!UlozCisloPortu()) {
        return;
    }
    InitializeCom();
}

std::uint8_t TMainLogika::ZjistiZvolenyComPort() const {
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        if (fPortMenu.Polozka(item).Zaskrtnuta) {
            return static_cast<std::uint8_t>(fPortMenu.Polozka(item).Tag);
        }
    }
    return 1;
}

void TMainLogika::cmJinyCOMportClick() {
    if (!fOkno.OtazkaAnoNe(Text(R_ZmenitPort), TVychoziOdpoved::Ano)) {
        return;
    }
    const auto text = fOkno.InputQuery(Text(R_CisloPortu), Text(R_ComPort), std::string());
    if (!text) {
        return;
    }
    const double value = PrevedALimitujHodnotu(text->c_str(), 1, 256, 1);
    const auto n = static_cast<std::int32_t>(std::trunc(value));
    fComPortNo = n;
    TPolozkaPortu& jiny = fPortMenu.Polozka(TPortMenu::k_JinyPort);
    jiny.Tag = n;
    fPortMenu.Zaskrtni(TPortMenu::k_JinyPort);
    ZobrazPortMenu();
    if (!UlozCisloPortu()) {
        return;
    }
    InitializeCom();
}

std::vector<TSerioveZarizeni> TMainLogika::SeriovaZarizeni() const {
    return NajdiSerioveZarizeni(fZavislosti.KorenZarizeni);
}

std::string TMainLogika::MapovaneZarizeni() const {
    const auto found = fPortMap.find(static_cast<unsigned>(fComPortNo));
    return found != fPortMap.end() ? found->second : std::string();
}

void TMainLogika::cmZarizeniClick(const std::string& cesta) {
    if (cesta.empty() || fComPortNo < 0 ||
        !fOkno.OtazkaAnoNe(Text(R_ZmenitPort), TVychoziOdpoved::Ano)) {
        return;
    }
    const auto com = static_cast<unsigned>(fComPortNo);
    try {
        WriteProfileString(IniSoubor(), "Porty", "COM" + std::to_string(com), cesta);
    } catch (const std::exception& error) {
        fOkno.Chyba(error.what());
        return;
    }
    fPortMap[com] = cesta;
    InitializeCom();
}

void TMainLogika::NactiTexty() {
    for (int k = 0; k < k_PocetRadkuMrizky; ++k) {
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 0, k + 1, std::to_string(k));
    }
    for (int i = 1; i <= static_cast<int>(k_PocetVstupuExp); ++i) {
        fOkno.AddItem(TSeznam::Cmb_Vstup, Text(R_Vstup) + " " + std::to_string(i));
    }
}

void TMainLogika::SEdt_PocetExpanderuChange() {
    fOkno.ClearItems(TSeznam::Cmb_Expander);
    const int count = std::clamp(fOkno.PocetExpanderu(), k_MinPocetExp, k_MaxPocetExp);
    for (int i = 0; i < count; ++i) {
        fOkno.AddItem(TSeznam::Cmb_Expander, Text(R_Expander) + " " + std::to_string(i + 1));
    }
    fOkno.SetItemIndex(TSeznam::Cmb_Expander, 0);
    Cmb_ExpanderChange();
}

int TMainLogika::VybranyExpander() const {
    const int e = fOkno.ItemIndex(TSeznam::Cmb_Expander);
    return e >= 0 && e < k_MaxPocetExp ? e : -1;
}

int TMainLogika::VybranyVstup() const {
    const int v = fOkno.ItemIndex(TSeznam::Cmb_Vstup);
    return v >= 0 && v < static_cast<int>(k_PocetVstupuExp) ? v : -1;
}

void TMainLogika::Cmb_ExpanderChange() {
    fEditace.Cmb_ExpanderChange();
    ObnovZnacky();
}

void TMainLogika::Cmb_VstupChange() {
    fEditace.Cmb_VstupChange();
    ObnovZnacky();
}

void TMainLogika::Hg_KomunikaceCellEdited(int ACol, int ARow) {
    fEditace.Hg_KomunikaceCellEdited(ACol, ARow);
    ObnovZnacky();
}
void TMainLogika::Hg_VstupyCellEdited(int ACol, int ARow) {
    fEditace.Hg_VstupyCellEdited(ACol, ARow);
    ObnovZnacky();
}
void TMainLogika::Hg_KomunikaceExit() {
    fEditace.Hg_KomunikaceExit();
    ObnovZnacky();
}
void TMainLogika::Hg_VstupyExit() {
    fEditace.Hg_VstupyExit();
    ObnovZnacky();
}
void TMainLogika::MemoExit(TMemo memo) {
    fEditace.MemoExit(memo);
    ObnovZnacky();
}

void TMainLogika::ObnovZnacky() {
    if (!fVytvoreno) {
        return;
    }
    fPrekresleni.Znacky(NORLINKRec, NORLINKRecNew, fZmeny.Zname(), fZnama, fEditace.Expander(),
                        fEditace.Vstup(), fOkno.ItemCount(TSeznam::Cmb_Expander));
}

void TMainLogika::Prekresli() {
    fPrekresleni.TelCisla(NORLINKRecNew);
    fPrekresleni.Ident();
}

bool TMainLogika::NeulozeneZmeny() const {
    return fZmeny.Neulozene(NORLINKRecNew);
}

void TMainLogika::cmNactiNastaveniClick() {
    if (fOperace) {
        return;
    }
    if (!fNastaveniPrectena) {
        fOkno.Varovani(Text(R_NejdrivNacti), std::string());
        return;
    }
    const auto path = fOkno.OtevriSoubor(Text(R_NacistNastaveni), SlozkaExportu(InstDir),
                                         "Export nastavení (nastaveni*.log);;Všechny soubory (*)");
    if (path) {
        NactiSoubor(*path);
    }
}

void TMainLogika::NactiSoubor(const std::string& path) {
    const TNacteniExportu nacteno = NactiExportZeSouboru(path);
    if (!nacteno.Ok) {
        fOkno.Chyba(nacteno.Chyba);
        return;
    }
    // The file's numbers and settings; what it names as unknown stays as the device image
    // holds it, so no write sends it.
    NORLINKRecNew = nacteno.Image;
    PrevezmiNezname(NORLINKRecNew, NORLINKRec, nacteno.Znama);
    fZnama = nacteno.Znama;
    fZnama.DoplnZ(fZnamaRec);
    fPrekresleni.TelCisla(NORLINKRecNew);
    Cmb_ExpanderChange();
    fOkno.Zprava(Text(R_NastaveniNacteno), path);
}

TKontextOperace TMainLogika::Kontext() {
    return {NORLINKRec, NORLINKRecNew, *fKomunikace, fOkno, fOkno.InfoForm(), fPovoleni};
}

void TMainLogika::Spust(std::unique_ptr<IOperace> operace) {
    if (fOperace || !fKomunikace) {
        return;
    }
    // Nothing would ever answer: say so instead of waiting.
    if (!PortOtevren()) {
        fOkno.Varovani(Text(R_PortNeotevren), PopisStavuPortu(fComPortNo, std::string(), false) +
                                                  "\n" + Text(R_PortNeotevrenRada));
        return;
    }
    fTicho = false;
    fTikuBezVyzvy = 0;
    if (!operace->Start()) {
        return;
    }
    fOperace = std::move(operace);
    fPovoleni.ZahajOperaci();
    Prekresli();
    DokonciOperaci();
}

void TMainLogika::DokonciOperaci() {
    if (fOperace && fOperace->Stav() == TStavOperace::Hotovo) {
        std::visit([this](const auto& vysledek) { Dokonceno(vysledek); }, fOperace->Vysledek());
    }
    if (fOperace && fOperace->Stav() != TStavOperace::Bezi) {
        // A cancel has put back what the operation had emptied.
        Prekresli();
        fOperace.reset();
        fTicho = false;
        fPovoleni.UkonciOperaci();
        ObnovZnacky();
    }
}

void TMainLogika::Shoda() {
    fCasOvereni = CasProtokolu(LocalDateTimeParts(std::chrono::system_clock::now()));
}

void TMainLogika::Dokonceno(const TPrectenaCisla&) {
    Shoda();
    fZmeny.PrectenaCisla(NORLINKRec);
    const std::uint32_t bajtu = k_OknoTelCisel.Konec - k_OknoTelCisel.Zacatek;
    fZnama.Nastav(k_OknoTelCisel.Zacatek, bajtu, TPuvod::Zarizeni);
    fZnamaRec.Nastav(k_OknoTelCisel.Zacatek, bajtu, TPuvod::Zarizeni);
}

void TMainLogika::Dokonceno(const TPrectenoNastaveni& precteno) {
    Shoda();
    const TRozsahCteni& r = precteno.Rozsah;
    fZnamaRec = PoCteniNastaveni(fZnamaRec, r.Vse, r.N, r.E, r.V);
    // The working image is the device image now, but for its numbers.
    TZnameData znama = fZnamaRec;
    for (std::uint32_t a = k_OknoTelCisel.Zacatek; a < k_OknoTelCisel.Konec;
         a += k_NORLINKTlgSize) {
        znama.Nastav(a, k_NORLINKTlgSize, fZnama.Puvod(a));
    }
    fZnama = znama;
    fZmeny.PrectenoNastaveni(NORLINKRec, fZnamaRec);
    fNastaveniPrectena = fNastaveniPrectena || r.Vse;
    // What was on display was replaced: show it anew, unknown parts empty.
    Cmb_ExpanderChange();
}

void TMainLogika::Dokonceno(const TZapsaneBloky& zapsano) {
    if (zapsano.Overeno) {
        // Read back as written: the device image holds them now, so the next preview compares
        // with what is there and a restored backup has something to send.
        Shoda();
        if (zapsano.Cisla) {
            fZmeny.ZapsanaCisla(NORLINKRecNew);
            NORLINKRec.TelCisla = NORLINKRecNew.TelCisla;
        } else {
            fZmeny.ZapsanyBloky(NORLINKRecNew, zapsano.Bloky);
            for (const std::uint16_t a : zapsano.Bloky) {
                KopirujCast(NORLINKRec, NORLINKRecNew, a);
                fZnamaRec.Nastav(a, k_NORLINKTlgSize, TPuvod::Zarizeni);
            }
        }
    }
    const std::vector<std::uint16_t> zadne;
    ZapisDokoncen(zapsano.Overeno, zapsano.Cisla ? zapsano.Bloky.size() : 0,
                  zapsano.Cisla ? zadne : zapsano.Bloky);
}

void TMainLogika::ZrusOperaci() {
    if (fOperace) {
        fOperace->Zrus();
        DokonciOperaci();
    }
}

void TMainLogika::Btn_NactiTelCislaClick() {
    if (!fOperace && SmiPrepsat(true)) {
        Spust(std::make_unique<TCteniTelCisel>(Kontext()));
    }
}

void TMainLogika::Btn_NactiExpanderyClick() {
    if (!fOperace && SmiPrepsat(false)) {
        TRozsahCteni rozsah;
        rozsah.N = std::clamp(fOkno.PocetExpanderu(), k_MinPocetExp, k_MaxPocetExp);
        Spust(std::make_unique<TCteniNastaveni>(Kontext(), rozsah));
    }
}

void TMainLogika::Btn_NactiAktualniClick() {
    const int e = VybranyExpander();
    const int v = VybranyVstup();
    if (!fOperace && e >= 0 && v >= 0 && SmiPrepsat(false)) {
        Spust(std::make_unique<TCteniNastaveni>(Kontext(), TRozsahCteni{false, 1, e, v}));
    }
}

void TMainLogika::Btn_resetClick() {
    if (fOperace) {
        return;
    }
    // The settings are emptied and nobody knows them now; the numbers stay as the grid shows
    // them, so the window and its record keep agreeing.
    const auto cisla = NORLINKRec.TelCisla;
    const auto cislaNew = NORLINKRecNew.TelCisla;
    ClearImage(NORLINKRec);
    ClearImage(NORLINKRecNew);
    NORLINKRec.TelCisla = cisla;
    NORLINKRecNew.TelCisla = cislaNew;
    fZnamaRec.NastavNastaveni(TPuvod::Neznamy);
    fZnama.NastavNastaveni(TPuvod::Neznamy);
    fZmeny.ZapomenNastaveni();
    fNastaveniPrectena = false;
    fPovoleni.Nastav(TOvladac::Cmb_Expander, true);
    fPovoleni.Nastav(TOvladac::Cmb_Vstup, true);
    Cmb_ExpanderChange();
    Cmb_VstupChange();
}

void TMainLogika::MrizkaCellEdited(TMrizka grid, int ACol, int ARow) {
    switch (grid) {
    case TMrizka::Hg_PhoneNumbers:
        Hg_PhoneNumbersCellEdited(ACol, ARow);
        break;
    case TMrizka::Hg_Komunikace:
        Hg_KomunikaceCellEdited(ACol, ARow);
        break;
    case TMrizka::Hg_Vstupy:
        Hg_VstupyCellEdited(ACol, ARow);
        break;
    }
}

void TMainLogika::MrizkaExit(TMrizka grid) {
    switch (grid) {
    case TMrizka::Hg_PhoneNumbers:
        Hg_PhoneNumbersExit();
        break;
    case TMrizka::Hg_Komunikace:
        Hg_KomunikaceExit();
        break;
    case TMrizka::Hg_Vstupy:
        Hg_VstupyExit();
        break;
    }
}

void TMainLogika::Hg_KomunikaceKeyDown(TMrizka grid, int ACol, int ARow, std::uint16_t Key) {
    // Only the cell: the grid's exit rule deals with the empty cell later.
    if (Key == k_VK_DELETE) {
        fOkno.SetCellText(grid, ACol, ARow, std::string());
        ObnovZnacky();
    }
}

void TMainLogika::Hg_PhoneNumbersCellEdited(int ACol, int ARow) {
    const std::string cislo =
        RemoveChar(fOkno.CellText(TMrizka::Hg_PhoneNumbers, ACol, ARow), k_CharSpace);
    if (ARow < 1 || ARow > k_PocetRadkuMrizky || ACol != 1) {
        return;
    }
    const auto k = static_cast<std::size_t>(ARow - 1);
    if (const auto bajty = PlatneTelCislo(cislo)) {
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, ACol, ARow, cislo);
        NORLINKRecNew.TelCisla[k] = *bajty;
        fZnama.Nastav(AdresaTelCisla(static_cast<std::uint8_t>(k)), k_NORLINKTlgSize,
                      TPuvod::Technik);
    } else {
        // The entry is refused, the number stays as it was.
        fOkno.Chyba(Text(R_NeplatneCislo));
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, ACol, ARow,
                          Cp1250DoUtf8(NORLINKRecNew.TelCisla[k].View()));
    }
    ObnovZnacky();
}

void TMainLogika::Hg_PhoneNumbersExit() {
    for (int row = 1; row <= k_PocetRadkuMrizky; ++row) {
        if (fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, row).empty()) {
            NORLINKRecNew.TelCisla[static_cast<std::size_t>(row - 1)].Clear();
        }
    }
    ObnovZnacky();
}

void TMainLogika::Btn_ZapisTelCislaClick() {
    if (fOperace) {
        return;
    }
    const auto bloky = RozdilneTelCisla(NORLINKRec, NORLINKRecNew);
    std::vector<std::uint16_t> adresy;
    for (const TZapisovanyBlok& b : bloky) {
        adresy.push_back(b.Adresa);
    }
    if (PripravZapis(adresy, bloky.size(), 0, {true, false, 8})) {
        Spust(std::make_unique<TZapisTelCisel>(Kontext()));
    }
}

void TMainLogika::Btn_ZapisNastaveniClick() {
    if (fOperace) {
        return;
    }
    const int n = fOkno.ItemCount(TSeznam::Cmb_Expander);
    const auto bloky = RozdilneBloky(NORLINKRec, NORLINKRecNew, n);
    std::vector<std::uint16_t> adresy;
    for (const TBlokNastaveni& b : bloky) {
        adresy.push_back(b.Adresa);
    }
    if (PripravZapis(adresy, 0, bloky.size(), {false, true, n})) {
        Spust(std::make_unique<TZapisNastaveni>(Kontext(), n));
    }
}

void TMainLogika::cmUlozNastaveniClick() {
    const std::string path = NazevExportu(SlozkaExportu(InstDir), DateTimeStamp());
    try {
        UlozNastaveni(path, NORLINKRecNew, fZnama);
    } catch (const EProfileWriteError& error) {
        fOkno.Chyba(std::string(error.what()) + "\nDůvod: " + error.Reason());
        return;
    }
    fZmeny.Exportovano(NORLINKRecNew);
    fOkno.Zprava(Text(R_SouborUlozen), path);
}

void TMainLogika::Btn_PrerusitClick() {
    ZrusOperaci();
}

void TMainLogika::HlidacTik() {
    if (!fOperace) {
        fTikuBezVyzvy = 0;
        return;
    }
    if (fTikuBezVyzvy < k_TikuTicha) {
        ++fTikuBezVyzvy;
    }
    if (fTikuBezVyzvy >= k_TikuTicha && !fTicho) {
        fTicho = true;
        IInfoForm& info = fOkno.InfoForm();
        fPopisPredTichem = info.Text();
        info.SetText(Text(R_KomunikatorNeodpovida));
    }
}

void TMainLogika::SpojeniZtraceno() {
    if (!fKomunikace || fPortZtracen || !fKomunikace->Com().ConnectionLost()) {
        return;
    }
    fPortZtracen = true;
    if (fOperace) {
        fOperace->SpojeniZtraceno();
        DokonciOperaci();
    }
    // No port is open now: no item stays ticked, and choosing one opens it again.
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        fPortMenu.Polozka(item).Zaskrtnuta = false;
    }
    ZobrazPortMenu();
    ZobrazStavPortu();
    const TSerialDriver& com = fKomunikace->Com();
    fOkno.Varovani(Text(R_SpojeniZtraceno),
                   PopisChybyPortu(com.LastDevicePath(), com.LastError(), com.LastErrorKind()) +
                       "\n" + Text(R_SpojeniZtracenoRada));
}

void TMainLogika::Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                          std::span<const std::uint8_t> data) {
    if (fOperace) {
        fOperace->Odpoved(typPameti, hlavicka, data);
        Prekresli();
        DokonciOperaci();
    }
}

// Answers go to the running operation; with none running they are stale and dropped.
void TMainLogika::DekodTLGRam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(RAM, hlavicka, data);
}
void TMainLogika::DekodTLGEeprom(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(EEPROM, hlavicka, data);
}
void TMainLogika::DekodTLGZaznam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(ZAZNAM, hlavicka, data);
}
void TMainLogika::DekodTLGHWSW(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(HWSW, hlavicka, data);
}

void TMainLogika::PrepniLed(bool zapnuto) {
    fOkno.SetLed(zapnuto);
    fTikuBezVyzvy = 0;
    if (fTicho) {
        // The device polls again: the operation goes on under its own label.
        fTicho = false;
        fOkno.InfoForm().SetText(fPopisPredTichem);
    }
}

std::string TMainLogika::ProtokolHtml(const std::string& objekt, const std::string& technik) const {
    const std::size_t nezapsano =
        RozdilneTelCisla(NORLINKRec, NORLINKRecNew).size() +
        RozdilneBloky(NORLINKRec, NORLINKRecNew, fOkno.ItemCount(TSeznam::Cmb_Expander)).size();
    const int expanderu = fOkno.PocetExpanderu();
    return ::ProtokolHtml(VstupProtokolu(
        NORLINKRecNew, fZnama, HWTYP.View(), VERSW.View(), VERHW.View(), expanderu, objekt, technik,
        CasProtokolu(LocalDateTimeParts(std::chrono::system_clock::now())),
        StavProtokolu(nezapsano, fZnama, expanderu, fCasOvereni)));
}
