// The window logic's guard around the writes: a read that would replace unsaved changes asks
// first; a write that would send bytes nobody read is refused; every write shows what it changes
// and saves what the device holds before its first telegram; its end is told in a box; a backup
// can be loaded back.

#include "okno/MainLogika.h"

#include "operace/VarovaniZapisu.h"
#include "soubory/Export.h"
#include "soubory/ProfileFile.h"
#include "soubory/Slozky.h"
#include "soubory/Zalohy.h"

#include <chrono>

bool TMainLogika::SmiPrepsat(bool cisla) {
    const bool zmeny =
        cisla ? fZmeny.NeulozenaCisla(NORLINKRecNew) : fZmeny.NeulozeneNastaveni(NORLINKRecNew);
    return !zmeny || fOkno.OtazkaAnoNe(std::string(R_PrepsatZmeny), TVychoziOdpoved::Ne);
}

bool TMainLogika::PripravZapis(const std::vector<std::uint16_t>& adresy, std::size_t cisel,
                               std::size_t bloku, TRozsahZmen rozsah) {
    if (adresy.empty()) {
        return false;
    }
    if (const std::string nejdriv = CoNacistNejdriv(fZnama, adresy); !nejdriv.empty()) {
        fOkno.Chyba(nejdriv);
        return false;
    }
    if (!fOkno.KontrolaZapisu(SeznamZmen(NORLINKRec, NORLINKRecNew, rozsah),
                              VarovaniPredZapisem(NORLINKRecNew, fZnama, rozsah.PocetExpanderu),
                              SouhrnZapisu(cisel, bloku))) {
        return false;
    }
    const auto ted = std::chrono::system_clock::now();
    try {
        fZaloha = UlozZalohu(SlozkaZaloh(SlozkaExportu(InstDir)), DateTimeStamp(ted),
                             CasZalohy(LocalDateTimeParts(ted)), fZmeny.Zname(),
                             fZmeny.ZnamaZarizeni(), IdentZarizeni(HWTYP, VERSW, VERHW));
    } catch (const EProfileWriteError& error) {
        fOkno.Chyba(std::string(R_ZalohaNeulozena) + "\n" + error.what() +
                    "\nDůvod: " + error.Reason());
        return false;
    }
    return true;
}

void TMainLogika::ZapisDokoncen(bool overeno, std::size_t cisel,
                                const std::vector<std::uint16_t>& bloky) {
    if (!overeno) {
        // The write has named in its own box what is not on the device.
        return;
    }
    // Not inside the serial driver's tick: the box waits for the user.
    fOkno.Naplanuj([this,
                    text = "Zapsáno a ověřeno: telefonních čísel " + std::to_string(cisel) +
                           ", bloků nastavení " + std::to_string(bloky.size()) + ".",
                    detail = fZaloha.empty() ? std::string() : "Záloha před zápisem: " + fZaloha] {
        fOkno.Zprava(text, detail);
    });
}

void TMainLogika::cmObnovitZeZalohyClick() {
    if (BeziOperace()) {
        return;
    }
    if (!fNastaveniPrectena) {
        fOkno.Varovani(std::string(R_NejdrivNacti), std::string());
        return;
    }
    const std::string slozka = SlozkaZaloh(SlozkaExportu(InstDir));
    const std::vector<TZaloha> zalohy = NajdiZalohy(slozka);
    if (zalohy.empty()) {
        fOkno.Zprava(std::string(R_ZadnaZaloha), slozka);
        return;
    }
    std::vector<std::string> popisy;
    for (const TZaloha& z : zalohy) {
        popisy.push_back(z.Popis());
    }
    const auto volba =
        fOkno.VyberZeSeznamu(std::string(R_ObnovitZeZalohy), std::string(R_VyberZalohu), popisy);
    if (volba && *volba >= 0 && static_cast<std::size_t>(*volba) < zalohy.size()) {
        NactiSoubor(zalohy[static_cast<std::size_t>(*volba)].Cesta);
    }
}
