#include "Relace.h"

#include "okno/MainLogika.h"
#include "stav/promenne.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t SignalyZruseni() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

TRelace::TRelace(TKonzoleOkno& okno, std::chrono::milliseconds limitOdpovedi)
    : fOkno(okno), fLimitOdpovedi(limitOdpovedi) {
    // Blocked, the signals wait in the signalfd until the loop takes them.
    const sigset_t set = SignalyZruseni();
    sigprocmask(SIG_BLOCK, &set, nullptr);
    fSignaly = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

TRelace::~TRelace() {
    if (fKomunikace) {
        // The receive path and the lost-port step must not outlive what they call.
        fKomunikace->NastavObsluhuPrijetiDat({});
        fKomunikace->Com().SetOnConnectionLost({});
    }
    fPrijem.reset();
    if (Komunikace == fKomunikace.get()) {
        Komunikace = nullptr;
    }
    fKomunikace.reset();
    if (ComLog == &fLog) {
        ComLog = nullptr;
    }
    if (fSignaly >= 0) {
        ::close(fSignaly);
    }
}

bool TRelace::Otevri(const std::string& port, const TPortMap& mapa, std::uint32_t baud,
                     std::string& chyba) {
    auto casovac = std::make_unique<TManualTimer>();
    fCasovac = casovac.get();
    fKomunikace = std::make_unique<TKomunikace>(std::move(casovac), MakePosixSerialPort());
    Komunikace = fKomunikace.get();
    ComLog = &fLog;
    // The receive handler is in place before the port opens, as in the window.
    fPrijem = std::make_unique<TPrijemTLG>(*fKomunikace, *this, fLog);
    fKomunikace->NastavObsluhuPrijetiDat(fPrijem->Obsluha());
    fKomunikace->Initialize();
    // Not inside the driver's tick: the loop handles it after the tick.
    fKomunikace->Com().SetOnConnectionLost([this](TSerialDriver&, const std::string&) {
        fOkno.Naplanuj([this] {
            if (fZtraceno) {
                return;
            }
            fZtraceno = true;
            if (fOperace != nullptr) {
                fOperace->SpojeniZtraceno();
            }
        });
    });
    fKomunikace->Com().SetPortMap(mapa);
    fKomunikace->NastavAdresoveLimity(0, 65535);
    fKomunikace->Com().SetPortName(port);
    if (!fKomunikace->NavazSpojeni(baud)) {
        const TSerialDriver& com = fKomunikace->Com();
        chyba = std::string(R_PortNeexistuje) + "\n" +
                PopisChybyPortu(com.LastDevicePath(), com.LastError(), com.LastErrorKind());
        return false;
    }
    return true;
}

std::string TRelace::PopisZtraty() const {
    if (!fKomunikace) {
        return std::string(R_SpojeniZtraceno);
    }
    const TSerialDriver& com = fKomunikace->Com();
    return std::string(R_SpojeniZtraceno) + "\n" +
           PopisChybyPortu(com.LastDevicePath(), com.LastError(), com.LastErrorKind());
}

TKontextOperace TRelace::Kontext() {
    return {NORLINKRec, NORLINKRecNew, *fKomunikace, fOkno, fOkno.InfoForm(), fPovoleni};
}

bool TRelace::PrisloZruseni() {
    if (fSignaly < 0) {
        return false;
    }
    signalfd_siginfo info{};
    return ::read(fSignaly, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
}

bool TRelace::Cekej(TClock::time_point dalsiTik) {
    const auto zbyva =
        std::chrono::ceil<std::chrono::milliseconds>(dalsiTik - TClock::now()).count();
    pollfd fd{fSignaly, POLLIN, 0};
    const int ready = ::poll(&fd, fSignaly >= 0 ? 1 : 0, zbyva > 0 ? static_cast<int>(zbyva) : 0);
    return ready > 0 && PrisloZruseni();
}

TKonecOperace TRelace::Proved(IOperace& operace) {
    if (!fKomunikace || fZtraceno || !fKomunikace->Com().Connected()) {
        return TKonecOperace::SpojeniZtraceno;
    }
    if (PrisloZruseni()) {
        return TKonecOperace::Zrusena;
    }
    const auto start = TClock::now();
    fPosledniVyzva = start;
    fPosledniOdpoved = start;
    fTicho = false;
    if (!operace.Start()) {
        fOkno.SpustNaplanovane();
        return operace.Stav() == TStavOperace::Hotovo ? TKonecOperace::NeniCoDelat
                                                      : TKonecOperace::Nespustena;
    }
    fOperace = &operace;
    fPovoleni.ZahajOperaci();
    TKonecOperace konec = TKonecOperace::Hotovo;
    auto dalsiTik = start + k_PeriodaTiku;
    while (operace.Stav() == TStavOperace::Bezi) {
        if (Cekej(dalsiTik)) {
            operace.Zrus();
            konec = TKonecOperace::Zrusena;
            break;
        }
        const auto now = TClock::now();
        if (now >= dalsiTik) {
            // As a precise timer: one period on, or one from now when that has passed already.
            dalsiTik += k_PeriodaTiku;
            if (dalsiTik <= now) {
                dalsiTik = now + k_PeriodaTiku;
            }
            fCasovac->Pump();
        }
        fOkno.SpustNaplanovane();
        if (operace.Stav() != TStavOperace::Bezi) {
            break;
        }
        Hlidej();
        if (TClock::now() - fPosledniOdpoved > fLimitOdpovedi) {
            operace.Zrus();
            konec = TKonecOperace::Neodpovida;
            break;
        }
    }
    fOperace = nullptr;
    fOkno.SpustNaplanovane();
    fPovoleni.UkonciOperaci();
    if (konec == TKonecOperace::Hotovo && operace.Stav() != TStavOperace::Hotovo) {
        konec = fZtraceno ? TKonecOperace::SpojeniZtraceno : TKonecOperace::Zrusena;
    }
    return konec;
}

void TRelace::Hlidej() {
    if (fTicho || TClock::now() - fPosledniVyzva < k_TichoPoVyzve) {
        return;
    }
    fTicho = true;
    IInfoForm& info = fOkno.InfoForm();
    fPopisPredTichem = info.Text();
    info.SetText(std::string(R_KomunikatorNeodpovida));
}

void TRelace::PrepniLed(bool) {
    fPosledniVyzva = TClock::now();
    if (fTicho) {
        // The device polls again: the operation goes on under its own label.
        fTicho = false;
        fOkno.InfoForm().SetText(fPopisPredTichem);
    }
}

void TRelace::Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                      std::span<const std::uint8_t> data) {
    fPosledniOdpoved = TClock::now();
    // Answers go to the running operation; with none running they are stale and dropped.
    if (fOperace != nullptr && fOperace->Stav() == TStavOperace::Bezi) {
        fOperace->Odpoved(typPameti, hlavicka, data);
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
