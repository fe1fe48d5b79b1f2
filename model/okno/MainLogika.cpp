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
#include <chrono>
#include <cmath>
#include <string>
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

TMainLogika::TMainLogika(IFrm_Main& okno, TMainZavislosti zavislosti)
    : fOkno(okno), fZavislosti(std::move(zavislosti)) {
    if (!fZavislosti.SlozkaProgramu) {
        fZavislosti.SlozkaProgramu = SlozkaSpustitelnehoSouboru;
    }
    fEditace.NastavZnama(&fZnama, &NORLINKRec);
}

TMainLogika::~TMainLogika() = default;

std::string TMainLogika::IniSoubor() const {
    return CestaNastaveni(SlozkaNastaveni(InstDir));
}

void TMainLogika::FormCreate() {
    VerzeSWPC = "0.9";
    fOkno.SetCaption(Text(R_Caption) + VerzeSWPC);
    InstDir = fZavislosti.SlozkaProgramu();
    LoadIni();

    TZavislostiRelace relace;
    relace.VytvorCasovac = fZavislosti.VytvorCasovac;
    relace.VytvorPort = fZavislosti.VytvorPort;
    relace.Hodiny = fZavislosti.Hodiny;
    relace.Naplanuj = [this](std::function<void()> krok) { fOkno.Naplanuj(std::move(krok)); };
    relace.Led = [this](bool zapnuto) { fOkno.SetLed(zapnuto); };
    relace.PoKroku = [this] { Prekresli(); };
    relace.PoZtrate = [this] { SpojeniZtraceno(); };
    fRelace = std::make_unique<TRelace>(fOkno.InfoForm(), fPovoleni, std::move(relace));
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
        fHlidac->Start(std::chrono::milliseconds(k_HlidaniMs), [this] { fRelace->Hlidej(); });
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
    if (!fZavislosti.VypisKomunikace.empty()) {
        UlozComLog(fRelace->Log(), fZavislosti.VypisKomunikace);
    }
    // Ending the session closes the port and releases the log.
    fRelace.reset();
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
    ZrusOperaci();
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

    const bool otevren = fRelace->Otevri(static_cast<std::uint8_t>(fComPortNo), fPortMap,
                                         static_cast<std::uint32_t>(fComBaudRate));
    ZobrazStavPortu();
    if (!otevren) {
        // No port is open: no item stays ticked, and choosing the same one again tries anew.
        for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
            fPortMenu.Polozka(item).Zaskrtnuta = false;
        }
        ZobrazPortMenu();
        fOkno.Varovani(Text(R_PortNeexistuje), fRelace->PopisChyby());
    }
}

bool TMainLogika::PortOtevren() const {
    return fRelace && fRelace->PortOtevren();
}

void TMainLogika::ZobrazStavPortu() {
    const bool otevren = PortOtevren();
    const std::string zarizeni = fRelace ? fRelace->Link().Com().LastDevicePath() : std::string();
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
    const bool znovu =
        fRelace && fRelace->PortZtracen() && fPortMenu.Polozka(item).Tag == fComPortNo;
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
    if (BeziOperace()) {
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
    return {NORLINKRec, NORLINKRecNew, fRelace->Link(), fOkno, fOkno.InfoForm(), fPovoleni};
}

void TMainLogika::Spust(std::unique_ptr<IOperace> operace) {
    if (BeziOperace() || !fRelace) {
        return;
    }
    // Nothing would ever answer: say so instead of waiting.
    if (!PortOtevren()) {
        fOkno.Varovani(Text(R_PortNeotevren), PopisStavuPortu(fComPortNo, std::string(), false) +
                                                  "\n" + Text(R_PortNeotevrenRada));
        return;
    }
    fRelace->Spust(std::move(operace), [this](TStavOperace stav, const TVysledekOperace& v) {
        if (stav == TStavOperace::Hotovo) {
            std::visit([this](const auto& vysledek) { Dokonceno(vysledek); }, v);
        }
        // A cancel has put back what the operation had emptied.
        Prekresli();
        ObnovZnacky();
    });
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
    if (fRelace) {
        fRelace->Zrus();
    }
}

void TMainLogika::Btn_NactiTelCislaClick() {
    if (!BeziOperace() && SmiPrepsat(true)) {
        Spust(std::make_unique<TCteniTelCisel>(Kontext()));
    }
}

void TMainLogika::Btn_NactiExpanderyClick() {
    if (!BeziOperace() && SmiPrepsat(false)) {
        TRozsahCteni rozsah;
        rozsah.N = std::clamp(fOkno.PocetExpanderu(), k_MinPocetExp, k_MaxPocetExp);
        Spust(std::make_unique<TCteniNastaveni>(Kontext(), rozsah));
    }
}

void TMainLogika::Btn_NactiAktualniClick() {
    const int e = VybranyExpander();
    const int v = VybranyVstup();
    if (!BeziOperace() && e >= 0 && v >= 0 && SmiPrepsat(false)) {
        Spust(std::make_unique<TCteniNastaveni>(Kontext(), TRozsahCteni{false, 1, e, v}));
    }
}

void TMainLogika::Btn_resetClick() {
    if (BeziOperace()) {
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
    if (BeziOperace()) {
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
    if (BeziOperace()) {
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

void TMainLogika::SpojeniZtraceno() {
    // No port is open now: no item stays ticked, and choosing one opens it again.
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        fPortMenu.Polozka(item).Zaskrtnuta = false;
    }
    ZobrazPortMenu();
    ZobrazStavPortu();
    fOkno.Varovani(Text(R_SpojeniZtraceno),
                   fRelace->PopisChyby() + "\n" + Text(R_SpojeniZtracenoRada));
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
