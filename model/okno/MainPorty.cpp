// The window logic's port: opening it, the port menu and the device list, the lost port.

#include "okno/MainLogika.h"

#include "kovra.h"
#include "soubory/NastaveniProgramu.h"
#include "soubory/ProfileFile.h"
#include "soubory/UlozDoIni.h"

#include <cmath>
#include <string>
#include <vector>

void TMainLogika::InitializeCom() {
    // Opening the port anew cancels a running operation first.
    ZaskrtniPort();
    ZobrazPortMenu();

    fRelace->Link().Com().SetSmer(fSmer);
    const bool otevren = fRelace->Otevri(static_cast<std::uint8_t>(fComPortNo), fPortMap,
                                         static_cast<std::uint32_t>(fComBaudRate));
    ZobrazStavPortu();
    UkazVarovaniSmeru();
    if (!otevren) {
        // No port is open: no item stays ticked, and choosing the same one again tries anew.
        for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
            fPortMenu.Polozka(item).Zaskrtnuta = false;
        }
        ZobrazPortMenu();
        fOkno.Varovani(Text(R_PortNeexistuje), fRelace->PopisChyby());
    }
}

void TMainLogika::ZaskrtniPort() {
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
}

bool TMainLogika::PortOtevren() const {
    return fRelace && fRelace->PortOtevren();
}

void TMainLogika::ZobrazStavPortu(std::string_view prefix) {
    const bool otevren = PortOtevren();
    const std::string zarizeni = fRelace ? fRelace->Link().Com().LastDevicePath() : std::string();
    std::string text = Text(prefix) + PopisStavuPortu(fComPortNo, zarizeni, otevren);
    if (!otevren && fRelace && fRelace->CekaNaNavrat()) {
        text += R_CekaNaPrevodnik;
    }
    fOkno.SetPanelText(0, text);
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

void TMainLogika::cmSmerClick(TSmer smer) {
    if (smer == fSmer) {
        return;
    }
    fSmer = smer;
    fPortMenu.Smer = smer;
    ZobrazPortMenu();
    try {
        UlozSmer(IniSoubor(), smer);
    } catch (const std::exception& error) {
        // The mode is used all the same; only the next start will not know it.
        fOkno.Chyba(error.what());
    }
    if (fRelace) {
        fRelace->Link().Com().SetSmer(smer);
        UkazVarovaniSmeru();
    }
}

void TMainLogika::UkazVarovaniSmeru() {
    if (fRelace && PortOtevren() && !fRelace->Link().Com().VarovaniSmeru().empty()) {
        fOkno.Varovani(Text(R_SmerOdmitnut), fRelace->Link().Com().VarovaniSmeru());
    }
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

void TMainLogika::SpojeniZtraceno() {
    // No port is open now: no item stays ticked, and choosing one opens it again.
    for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
        fPortMenu.Polozka(item).Zaskrtnuta = false;
    }
    ZobrazPortMenu();
    ZobrazStavPortu();
    const TSerialDriver& com = fRelace->Link().Com();
    fRelace->Log().Add(Text(R_PrevodnikOdpojen) +
                           PopisStavuPortu(fComPortNo, com.LastDevicePath(), true) + " (" +
                           com.LastError() + ")",
                       TLogMessageKind::usr);
    fOkno.Varovani(Text(R_SpojeniZtraceno),
                   fRelace->PopisChyby() + "\n" + Text(R_SpojeniZtracenoRada));
}

void TMainLogika::PrevodnikSeVratil() {
    ZaskrtniPort();
    ZobrazPortMenu();
    ZobrazStavPortu(R_OpetPripojen);
    fRelace->Log().Add(
        Text(R_OpetPripojen) +
            PopisStavuPortu(fComPortNo, fRelace->Link().Com().LastDevicePath(), true),
        TLogMessageKind::usr);
}
