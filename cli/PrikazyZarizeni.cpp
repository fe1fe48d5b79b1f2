// The device commands: read the configuration, write one with verification.

#include "Prikazy.h"

#include "Smycka.h"
#include "operace/Cteni.h"
#include "operace/SeznamZmen.h"
#include "operace/VarovaniZapisu.h"
#include "operace/ZapisNastaveni.h"
#include "operace/ZapisTelCisel.h"
#include "soubory/Export.h"
#include "soubory/NactiExport.h"
#include "soubory/NastaveniProgramu.h"
#include "soubory/Slozky.h"
#include "soubory/WholeFile.h"
#include "soubory/Zalohy.h"
#include "text/Cp1250.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class TPrikazy {
public:
    TPrikazy(const TParametry& parametry, TKonzoleOkno& okno)
        : fP(parametry), fOkno(okno), fSmycka(okno, parametry.LimitOdpovedi) {}

    int Zarizeni() {
        TNORLINK soubor{};
        int expandery = fP.Expandery.value_or(1);
        if (fP.Prikaz == TPrikaz::Zapis) {
            const int kod = NactiSoubor(soubor, expandery);
            if (kod != k_KodHotovo) {
                return kod;
            }
        }
        const std::string slozka = SlozkaSpustitelnehoSouboru();
        TProfileFile ini;
        try {
            ini = TProfileFile::Load(CestaNastaveni(SlozkaNastaveni(slozka)));
        } catch (const std::exception&) {
            // An unreadable norlink.ini gives no port map; a device path still works.
        }
        std::string chyba;
        const TNastaveniProgramu nastaveni = NactiNastaveniProgramu(ini);
        if (!fSmycka.Otevri(fP.Port, NactiMapuPortu(ini, slozka),
                            static_cast<std::uint32_t>(nastaveni.ComBaudRate), nastaveni.Smer,
                            chyba)) {
            Rekni(chyba);
            return k_KodPort;
        }
        if (!fSmycka.VarovaniSmeru().empty()) {
            Rekni(fSmycka.VarovaniSmeru());
        }
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
        const int kod = Proved(soubor, expandery);
        if (const char* log = std::getenv("NORLINK_COMLOG"); log != nullptr && *log != '\0') {
            UlozComLog(fSmycka.Log(), log);
        }
        return kod;
    }

private:
    void Rekni(const std::string& text) { fOkno.Vystup().Zprava(text); }

    int Proved(const TNORLINK& soubor, int expandery) {
        if (const int kod = CtiCisla(); kod != k_KodHotovo) {
            return kod;
        }
        if (fP.Prikaz == TPrikaz::CtiCisla) {
            std::vector<TProfileEntry> cisla = ExportniZaznamy(NORLINKRec);
            std::erase_if(cisla,
                          [](const TProfileEntry& e) { return e.Section != R_Log_TelCisla; });
            return Vypis(TextExportu(cisla));
        }
        if (expandery >= 7) {
            // The device's read window ends inside expander 7: the rest stays unknown.
            Rekni("Upozornění: vstup 8 expanderu 7 (kromě čísel pro sepnutí) a vstupy expanderu 8 "
                  "nelze z komunikátoru přečíst; export je uvádí v sekci [Nezname bloky] a zápis "
                  "takového souboru je nikdy nepošle.");
        }
        const TKonecOperace konec = fSmycka
                                        .Proved(std::make_unique<TCteniNastaveni>(
                                            fSmycka.Kontext(), TRozsahCteni{true, expandery, 0, 0}))
                                        .Konec;
        if (konec != TKonecOperace::Hotovo) {
            return Neuspech(konec, "Čtení nastavení nedokončeno, nic nebylo uloženo.");
        }
        if (fP.Prikaz == TPrikaz::CtiNastaveni) {
            return Vypis(TextExportu(ExportniZaznamy(NORLINKRecNew, ZnamoPoCteni(expandery))));
        }
        return Zapis(soubor, expandery);
    }

    // What the numbers' read and the read of the first n expanders make known.
    static TZnameData ZnamoPoCteni(int expandery) {
        TZnameData znama = PoCteniNastaveni(TZnameData(), true, expandery, 0, 0);
        znama.Nastav(k_OknoTelCisel.Zacatek, k_OknoTelCisel.Konec - k_OknoTelCisel.Zacatek,
                     TPuvod::Zarizeni);
        return znama;
    }

    int NactiSoubor(TNORLINK& soubor, int& expandery) {
        const TNacteniExportu nacteni = NactiExportZeSouboru(fP.Soubory.at(0));
        if (!nacteni.Ok) {
            Rekni(nacteni.Chyba);
            return k_KodSoubor;
        }
        soubor = nacteni.Image;
        fZnamaSouboru = nacteni.Znama;
        const int potreba = ExpanderyVSouboru(soubor);
        if (fP.Expandery && *fP.Expandery < potreba) {
            Rekni("Soubor nastavuje i expander " + std::to_string(potreba) + ", --expanders " +
                  std::to_string(*fP.Expandery) + " by ho nezapsal. Zadejte --expanders " +
                  std::to_string(potreba) + " nebo víc.");
            return k_KodParametry;
        }
        expandery = fP.Expandery.value_or(potreba);
        return k_KodHotovo;
    }

    // The last expander whose settings differ from those of an empty image (at least 1).
    static int ExpanderyVSouboru(const TNORLINK& f) {
        TNORLINK prazdny{};
        InicializujNORLINKRec(prazdny);
        int n = 1;
        for (std::size_t e = 0; e < k_NORLINKMaxPocetExp; ++e) {
            const bool jine = !(f.TelCislaPoruchaKom[e] == prazdny.TelCislaPoruchaKom[e]) ||
                              !(f.TelCislaObnovaKom[e] == prazdny.TelCislaObnovaKom[e]) ||
                              !(f.ZpravaPorucha[e] == prazdny.ZpravaPorucha[e]) ||
                              !(f.ZpravaObnova[e] == prazdny.ZpravaObnova[e]) ||
                              !(f.TelCislaSepnuti[e] == prazdny.TelCislaSepnuti[e]) ||
                              !(f.TelCislaRozpojeni[e] == prazdny.TelCislaRozpojeni[e]) ||
                              !(f.ZpravaSepnuti[e] == prazdny.ZpravaSepnuti[e]) ||
                              !(f.ZpravaRozpojeni[e] == prazdny.ZpravaRozpojeni[e]);
            if (jine) {
                n = static_cast<int>(e) + 1;
            }
        }
        return n;
    }

    int CtiCisla() {
        const TKonecOperace konec =
            fSmycka.Proved(std::make_unique<TCteniTelCisel>(fSmycka.Kontext())).Konec;
        if (konec != TKonecOperace::Hotovo) {
            return Neuspech(konec, "Čtení telefonních čísel nedokončeno, nic nebylo uloženo.");
        }
        const auto citelne = [](const TIdentText& t) {
            return Cp1250DoUtf8(CitelnyText(t.View()));
        };
        Rekni("komunikátor: " + citelne(HWTYP) + ", " + citelne(VERSW) + ", " + citelne(VERHW));
        return k_KodHotovo;
    }

    int Zapis(const TNORLINK& soubor, int expandery) {
        // The window's working state after loading the file; what the file names as unknown is
        // what the device holds, so it is never written.
        const TZnameData zarizeni = ZnamoPoCteni(expandery);
        NORLINKRecNew = soubor;
        PrevezmiNezname(NORLINKRecNew, NORLINKRec, fZnamaSouboru);
        TZnameData znama = fZnamaSouboru;
        znama.DoplnZ(zarizeni);
        const std::vector<TZapisovanyBlok> cisla = RozdilneTelCisla(NORLINKRec, NORLINKRecNew);
        for (const TZapisovanyBlok& blok : cisla) {
            const auto& cislo = soubor.TelCisla[static_cast<std::size_t>(blok.Cislo)];
            if (cislo.size() > k_PhoneNoLength) {
                Rekni("Telefonní číslo " + std::to_string(blok.Cislo) + " \"" +
                      Cp1250DoUtf8(cislo.View()) + "\" má " + std::to_string(cislo.size()) +
                      " znaků, komunikátor jich uloží nejvýš " + std::to_string(k_PhoneNoLength) +
                      ". Nic nebylo zapsáno.");
                return k_KodSoubor;
            }
        }
        const std::vector<TBlokNastaveni> bloky =
            RozdilneBloky(NORLINKRec, NORLINKRecNew, expandery);
        if (cisla.empty() && bloky.empty()) {
            Rekni("Komunikátor už má nastavení ze souboru, není co zapsat.");
            return k_KodHotovo;
        }
        std::vector<std::uint16_t> adresy;
        for (const TZapisovanyBlok& blok : cisla) {
            adresy.push_back(blok.Adresa);
        }
        for (const TBlokNastaveni& blok : bloky) {
            adresy.push_back(blok.Adresa);
        }
        if (const std::string nejdriv = CoNacistNejdriv(znama, adresy); !nejdriv.empty()) {
            Rekni(nejdriv + " Nic nebylo zapsáno.");
            return k_KodSoubor;
        }
        // As the window's preview: worth a look, never a reason to stop.
        for (const std::string& varovani : VarovaniPredZapisem(NORLINKRecNew, znama, expandery)) {
            Rekni("Upozornění: " + varovani);
        }
        if (fP.NaZkousku) {
            std::string text;
            for (const std::string& radek :
                 SeznamZmen(NORLINKRec, NORLINKRecNew, {true, true, expandery})) {
                text += radek + "\n";
            }
            text += SouhrnZapisu(cisla.size(), bloky.size()) + "\n";
            return Vypis(text);
        }
        // What the device holds, saved before the first telegram; without it nothing is sent.
        std::string zaloha;
        try {
            const auto ted = std::chrono::system_clock::now();
            zaloha = UlozZalohu(SlozkaZaloh(SlozkaExportu(SlozkaSpustitelnehoSouboru())),
                                DateTimeStamp(ted), CasZalohy(LocalDateTimeParts(ted)), NORLINKRec,
                                zarizeni, IdentZarizeni(HWTYP, VERSW, VERHW));
        } catch (const EProfileWriteError& error) {
            Rekni(std::string(R_ZalohaNeulozena) + "\n" + error.what() +
                  "\nDůvod: " + error.Reason());
            return k_KodSoubor;
        }
        Rekni("Záloha před zápisem: " + zaloha);
        // Each write names in a box (Chyba) what its verification could not confirm.
        bool overeno = true;
        if (!cisla.empty()) {
            const TProvedeni zapis =
                fSmycka.Proved(std::make_unique<TZapisTelCisel>(fSmycka.Kontext()));
            if (zapis.Konec != TKonecOperace::Hotovo) {
                std::string seznam;
                for (const TZapisovanyBlok& blok : cisla) {
                    seznam += (seznam.empty() ? "" : ", ") + std::to_string(blok.Cislo);
                }
                return Neuspech(zapis.Konec,
                                "Zápis telefonních čísel nedokončen, neověřena: " + seznam +
                                    (bloky.empty() ? "." : ". Nastavení nezapsáno."));
            }
            overeno = std::get<TZapsaneBloky>(zapis.Vysledek).Overeno;
            if (overeno) {
                Rekni("Telefonní čísla zapsána a ověřena: " + std::to_string(cisla.size()) + ".");
            }
        }
        if (!bloky.empty()) {
            const TProvedeni zapis =
                fSmycka.Proved(std::make_unique<TZapisNastaveni>(fSmycka.Kontext(), expandery));
            const auto* zapsano = std::get_if<TZapsaneBloky>(&zapis.Vysledek);
            if (zapis.Konec != TKonecOperace::Hotovo) {
                // The pairs complete in order: those from the first not completed on are
                // unconfirmed.
                const std::size_t hotovo =
                    std::min(zapsano != nullptr ? zapsano->Dokonceno : 0, bloky.size());
                std::string seznam;
                std::string posledni;
                for (std::size_t i = hotovo; i < bloky.size(); ++i) {
                    if (bloky[i].Popis != posledni) {
                        posledni = bloky[i].Popis;
                        seznam += "\n- " + posledni;
                    }
                }
                return Neuspech(zapis.Konec,
                                "Zápis nastavení nedokončen (" + std::to_string(hotovo) + " z " +
                                    std::to_string(bloky.size()) + " bloků), neověřeno:" + seznam);
            }
            overeno = overeno && zapsano != nullptr && zapsano->Overeno;
        }
        if (!overeno) {
            return k_KodNezapsano;
        }
        Rekni("Zapsáno a ověřeno: telefonních čísel " + std::to_string(cisla.size()) +
              ", bloků nastavení " + std::to_string(bloky.size()) + ".");
        return k_KodHotovo;
    }

    int Neuspech(TKonecOperace konec, const std::string& co) {
        switch (konec) {
        case TKonecOperace::Zrusena:
            Rekni("Přerušeno. " + co);
            return k_KodPreruseno;
        case TKonecOperace::Neodpovida:
            Rekni(std::string(R_KomunikatorNeodpovida) + " (" +
                  std::to_string(fP.LimitOdpovedi.count()) + " s bez odpovědi).\n" + co);
            return k_KodNeodpovida;
        case TKonecOperace::SpojeniZtraceno:
            Rekni(fSmycka.PopisZtraty() + "\n" + co);
            return k_KodPort;
        case TKonecOperace::Hotovo:
        case TKonecOperace::NeniCoDelat:
        case TKonecOperace::Nespustena:
            break;
        }
        Rekni("Operaci nelze zahájit. " + co);
        return k_KodNezapsano;
    }

    int Vypis(const std::string& text) {
        // A cancel that came as the read ended still leaves nothing behind.
        if (fSmycka.PrisloZruseni()) {
            Rekni("Přerušeno. Nic nebylo uloženo.");
            return k_KodPreruseno;
        }
        if (fP.Vystup) {
            std::string why;
            if (!ReplaceWholeFile(*fP.Vystup, text, &why)) {
                Rekni("Soubor " + *fP.Vystup + " nelze uložit: " + why);
                return k_KodSoubor;
            }
            return k_KodHotovo;
        }
        if (!ZapisVse(STDOUT_FILENO, text)) {
            Rekni(std::string("Standardní výstup nelze zapsat: ") + std::strerror(errno));
            return k_KodSoubor;
        }
        return k_KodHotovo;
    }

    const TParametry& fP;
    TKonzoleOkno& fOkno;
    TSmycka fSmycka;
    TZnameData fZnamaSouboru;
};

} // namespace

int PrikazZarizeni(const TParametry& p, TKonzoleOkno& okno) {
    TPrikazy prikazy(p, okno);
    return prikazy.Zarizeni();
}
