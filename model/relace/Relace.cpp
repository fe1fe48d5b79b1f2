#include "relace/Relace.h"

#include "stav/promenne.h"

#include <cstdio>
#include <utility>

namespace {

std::string Vysvetleni(const std::string& devicePath, const std::string& reason,
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

} // namespace

std::string PopisChybyPortu(const std::string& devicePath, const std::string& reason,
                            TChybaPortu pricina, bool brltty) {
    std::string popis = Vysvetleni(devicePath, reason, pricina);
    if (brltty) {
        popis += "\n" + std::string(R_BrlttyBere);
    }
    return popis;
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

TRelace::TRelace(IInfoForm& info, TPovoleni& povoleni, TZavislostiRelace zavislosti)
    : fInfo(info), fPovoleni(povoleni), fZavislosti(std::move(zavislosti)) {
    if (!fZavislosti.VytvorPort) {
        fZavislosti.VytvorPort = MakePosixSerialPort;
    }
    if (!fZavislosti.Hodiny) {
        fZavislosti.Hodiny = [] { return std::chrono::steady_clock::now(); };
    }
    fPrevodniky =
        fZavislosti.VytvorPrevodniky ? fZavislosti.VytvorPrevodniky() : MakePosixPrevodniky();
    ComLog = &fLog;
    fKomunikace =
        std::make_unique<TKomunikace>(fZavislosti.VytvorCasovac(), fZavislosti.VytvorPort());
    Komunikace = fKomunikace.get();
    // The receive handler is in place before the port opens.
    fPrijem = std::make_unique<TPrijemTLG>(*fKomunikace, *this, fLog);
    fKomunikace->NastavObsluhuPrijetiDat(fPrijem->Obsluha());
}

TRelace::~TRelace() {
    // The receive path and the lost-port step must not outlive what they call.
    fKomunikace->NastavObsluhuPrijetiDat({});
    fKomunikace->Com().SetOnConnectionLost({});
    fPrijem.reset();
    // The globals must not outlive what they point at; the port closes with the link.
    if (ComLog == &fLog) {
        ComLog = nullptr;
    }
    if (Komunikace == fKomunikace.get()) {
        Komunikace = nullptr;
    }
    fKomunikace.reset();
}

bool TRelace::Otevri(std::uint8_t comPortNo, const TPortMap& mapa, std::uint32_t baud) {
    return Otevri([comPortNo](TKomunikace& k) { k.NastavComPort(comPortNo); }, mapa, baud);
}

bool TRelace::Otevri(const std::string& port, const TPortMap& mapa, std::uint32_t baud) {
    return Otevri([port](TKomunikace& k) { k.Com().SetPortName(port); }, mapa, baud);
}

bool TRelace::Otevri(TNazevPortu nazev, const TPortMap& mapa, std::uint32_t baud) {
    // A running operation cannot go on over another port.
    Zrus();
    // Choosing a port ends the wait for the lost one, unless it failed on that same device.
    std::optional<TOtiskPrevodniku> hledany = std::exchange(fHledany, std::nullopt);
    fNazev = std::move(nazev);
    fMapa = mapa;
    fBaud = baud;
    const bool otevren = Pripoj(fNazev);
    const std::string& cesta = fKomunikace->Com().LastDevicePath();
    if (otevren) {
        fOtisk = fPrevodniky->Rozpoznej(cesta);
    } else {
        if (fOtisk && fOtisk->Cesta != cesta) {
            fOtisk.reset();
        }
        if (hledany && hledany->Cesta == cesta) {
            fHledany = std::move(hledany);
        }
    }
    return otevren;
}

bool TRelace::Pripoj(const TNazevPortu& nazev) {
    fKomunikace->Initialize();
    fZtraceno = false;
    fKomunikace->Com().SetOnConnectionLost(
        [this, zije = std::weak_ptr<bool>(fZije)](TSerialDriver&, const std::string&) {
            // Not inside the driver's tick.
            fZavislosti.Naplanuj([this, zije] {
                if (zije.lock()) {
                    SpojeniZtraceno();
                }
            });
        });
    fKomunikace->Com().SetPortMap(fMapa);
    fKomunikace->NastavAdresoveLimity(0, 65535);
    nazev(*fKomunikace);
    fZtraceno = !fKomunikace->NavazSpojeni(fBaud);
    return !fZtraceno;
}

std::string TRelace::PopisChyby() const {
    const TSerialDriver& com = fKomunikace->Com();
    // A port that is missing or vanished may have been taken by brltty.
    const bool brltty = com.LastErrorKind() == TChybaPortu::Neexistuje &&
                        fPrevodniky->BrlttyBere(fOtisk ? fOtisk->Usb : std::nullopt);
    return PopisChybyPortu(com.LastDevicePath(), com.LastError(), com.LastErrorKind(), brltty);
}

TSpusteni TRelace::Spust(std::unique_ptr<IOperace> operace, TPoKonci poKonci) {
    if (fOperace || !PortOtevren()) {
        return TSpusteni::Nezahajena;
    }
    fTicho = false;
    fPosledniVyzva = fPosledniOdpoved = fZavislosti.Hodiny();
    if (!operace->Start()) {
        return operace->Stav() == TStavOperace::Hotovo ? TSpusteni::NeniCoDelat
                                                       : TSpusteni::Nezahajena;
    }
    fOperace = std::move(operace);
    fPoKonci = std::move(poKonci);
    fPovoleni.ZahajOperaci();
    PoKroku();
    Dokonci();
    return TSpusteni::Zahajena;
}

void TRelace::Dokonci() {
    if (!fOperace || fOperace->Stav() == TStavOperace::Bezi) {
        return;
    }
    if (const TPoKonci poKonci = std::exchange(fPoKonci, {})) {
        poKonci(fOperace->Stav(), fOperace->Vysledek());
    }
    fOperace.reset();
    fTicho = false;
    fPovoleni.UkonciOperaci();
}

void TRelace::PoKroku() {
    if (fZavislosti.PoKroku) {
        fZavislosti.PoKroku();
    }
}

void TRelace::Zrus() {
    if (fOperace) {
        fOperace->Zrus();
        Dokonci();
    }
}

void TRelace::Hlidej() {
    HledejNavrat();
    if (!fOperace || fTicho || fZavislosti.Hodiny() - fPosledniVyzva < k_TichoPoVyzve) {
        return;
    }
    fTicho = true;
    fPopisPredTichem = fInfo.Text();
    fInfo.SetText(std::string(R_KomunikatorNeodpovida));
}

void TRelace::PrepniLed(bool zapnuto) {
    if (fZavislosti.Led) {
        fZavislosti.Led(zapnuto);
    }
    fPosledniVyzva = fZavislosti.Hodiny();
    if (fTicho) {
        // The device polls again: the operation goes on under its own label.
        fTicho = false;
        fInfo.SetText(fPopisPredTichem);
    }
}

void TRelace::SpojeniZtraceno() {
    if (fZtraceno || !fKomunikace->Com().ConnectionLost()) {
        return;
    }
    fZtraceno = true;
    if (fOperace) {
        fOperace->SpojeniZtraceno();
        Dokonci();
    }
    if (fZavislosti.PoNavratu && fOtisk) {
        fHledany = fOtisk;
        fDalsiPohled = fZavislosti.Hodiny() + k_PohledNaNavrat;
    }
    if (fZavislosti.PoZtrate) {
        fZavislosti.PoZtrate();
    }
}

void TRelace::HledejNavrat() {
    const TCasRelace ted = fZavislosti.Hodiny();
    if (!fHledany || ted < fDalsiPohled) {
        return;
    }
    fDalsiPohled = ted + k_PohledNaNavrat;
    const std::string cesta = fPrevodniky->Najdi(*fHledany);
    if (cesta.empty()) {
        return;
    }
    // The same path opens as before (through the map); a device that came back under another
    // name opens by that name.
    TNazevPortu nazev = fNazev;
    if (cesta != fHledany->Cesta) {
        nazev = [cesta](TKomunikace& k) { k.Com().SetPortName(cesta); };
    }
    if (!Pripoj(nazev)) {
        return; // not ready yet (still settling, or held): the next look tries again
    }
    fNazev = std::move(nazev);
    fOtisk = fPrevodniky->Rozpoznej(fKomunikace->Com().LastDevicePath());
    fHledany.reset();
    fZavislosti.PoNavratu();
}

void TRelace::Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                      std::span<const std::uint8_t> data) {
    fPosledniOdpoved = fZavislosti.Hodiny();
    if (fOperace) {
        fOperace->Odpoved(typPameti, hlavicka, data);
        PoKroku();
        Dokonci();
    }
}

void TRelace::DekodTLGRam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(RAM, hlavicka, data);
}
void TRelace::DekodTLGEeprom(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(EEPROM, hlavicka, data);
}
void TRelace::DekodTLGZaznam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(ZAZNAM, hlavicka, data);
}
void TRelace::DekodTLGHWSW(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) {
    Odpoved(HWSW, hlavicka, data);
}
