#include "okno/MainLogika.h"

#include "operace/RozdilyNastaveni.h"
#include "operace/ZapisTelCisel.h"
#include "soubory/Export.h"
#include "soubory/NactiExport.h"
#include "soubory/ProfileFile.h"
#include "soubory/Protokol.h"
#include "soubory/Slozky.h"
#include "soubory/UlozDoIni.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

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
    relace.PoNavratu = [this] { PrevodnikSeVratil(); };
    relace.VytvorPrevodniky = fZavislosti.VytvorPrevodniky ? fZavislosti.VytvorPrevodniky
                                                           : [koren = fZavislosti.KorenZarizeni] {
                                                                 return MakePosixPrevodniky(koren);
                                                             };
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
    fSmer = nastaveni.Smer;
    fPortMenu.Smer = fSmer;
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
