#include "Smycka.h"

#include "stav/promenne.h"

#include <array>
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

TZavislostiRelace ZavislostiRelace(TKonzoleOkno& okno, TManualTimer*& casovac) {
    TZavislostiRelace z;
    z.VytvorCasovac = [&casovac] {
        auto timer = std::make_unique<TManualTimer>();
        casovac = timer.get();
        return timer;
    };
    // The loop runs what is posted after each tick.
    z.Naplanuj = [&okno](std::function<void()> krok) { okno.Naplanuj(std::move(krok)); };
    return z;
}

} // namespace

TSmycka::TSmycka(TKonzoleOkno& okno, std::chrono::milliseconds limitOdpovedi)
    : fOkno(okno), fLimitOdpovedi(limitOdpovedi),
      fRelace(okno.InfoForm(), fPovoleni, ZavislostiRelace(okno, fCasovac)) {
    // Blocked, the signals wait in the signalfd until the loop takes them.
    const sigset_t set = SignalyZruseni();
    sigprocmask(SIG_BLOCK, &set, nullptr);
    fSignaly = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

TSmycka::~TSmycka() {
    if (fSignaly >= 0) {
        ::close(fSignaly);
    }
}

bool TSmycka::Otevri(const std::string& port, const TPortMap& mapa, std::uint32_t baud, TSmer smer,
                     std::string& chyba) {
    fRelace.Link().Com().SetSmer(smer);
    if (!fRelace.Otevri(port, mapa, baud)) {
        chyba = std::string(R_PortNeexistuje) + "\n" + fRelace.PopisChyby();
        return false;
    }
    return true;
}

std::string TSmycka::PopisZtraty() const {
    return std::string(R_SpojeniZtraceno) + "\n" + fRelace.PopisChyby();
}

TKontextOperace TSmycka::Kontext() {
    return {NORLINKRec, NORLINKRecNew, fRelace.Link(), fOkno, fOkno.InfoForm(), fPovoleni};
}

bool TSmycka::PrisloZruseni() {
    if (fSignaly < 0) {
        return false;
    }
    signalfd_siginfo info{};
    return ::read(fSignaly, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
}

TSmycka::TUdalost TSmycka::Cekej(TClock::time_point dalsiTik) {
    const auto zbyva =
        std::chrono::ceil<std::chrono::milliseconds>(dalsiTik - TClock::now()).count();
    std::array<pollfd, 2> fds{};
    nfds_t pocet = 0;
    if (fSignaly >= 0) {
        fds[pocet++] = {fSignaly, POLLIN, 0};
    }
    const nfds_t port = pocet;
    if (fCasovac != nullptr && fCasovac->Vstup() >= 0) {
        fds[pocet++] = {fCasovac->Vstup(), POLLIN, 0};
    }
    const int ready = ::poll(fds.data(), pocet, zbyva > 0 ? static_cast<int>(zbyva) : 0);
    if (ready <= 0) {
        return TUdalost::Tik;
    }
    if (fSignaly >= 0 && fds[0].revents != 0 && PrisloZruseni()) {
        return TUdalost::Signal;
    }
    return port < pocet && fds[port].revents != 0 ? TUdalost::Data : TUdalost::Tik;
}

TProvedeni TSmycka::Proved(std::unique_ptr<IOperace> operace) {
    TProvedeni provedeni;
    if (fRelace.PortZtracen() || !fRelace.PortOtevren()) {
        provedeni.Konec = TKonecOperace::SpojeniZtraceno;
        return provedeni;
    }
    if (PrisloZruseni()) {
        provedeni.Konec = TKonecOperace::Zrusena;
        return provedeni;
    }
    const auto start = TClock::now();
    TStavOperace stav = TStavOperace::Bezi;
    const TSpusteni spusteni =
        fRelace.Spust(std::move(operace), [&](TStavOperace s, const TVysledekOperace& v) {
            stav = s;
            provedeni.Vysledek = v;
        });
    if (spusteni != TSpusteni::Zahajena) {
        fOkno.SpustNaplanovane();
        provedeni.Konec = spusteni == TSpusteni::NeniCoDelat ? TKonecOperace::NeniCoDelat
                                                             : TKonecOperace::Nespustena;
        return provedeni;
    }
    TKonecOperace konec = TKonecOperace::Hotovo;
    // The driver restarts its timer with another period while a transmission ends.
    int starty = fCasovac->Starts();
    auto dalsiTik = start + fCasovac->Period();
    while (fRelace.BeziOperace()) {
        const TUdalost udalost = Cekej(dalsiTik);
        if (udalost == TUdalost::Signal) {
            fRelace.Zrus();
            konec = TKonecOperace::Zrusena;
            break;
        }
        const auto now = TClock::now();
        if (now >= dalsiTik || udalost == TUdalost::Data) {
            if (now >= dalsiTik) {
                // As a precise timer: one period on, or one from now when that has passed.
                dalsiTik += fCasovac->Period();
                if (dalsiTik <= now) {
                    dalsiTik = now + fCasovac->Period();
                }
            }
            fCasovac->Pump();
            if (fCasovac->Starts() != starty) {
                starty = fCasovac->Starts();
                dalsiTik = TClock::now() + fCasovac->Period();
            }
        }
        fOkno.SpustNaplanovane();
        if (!fRelace.BeziOperace()) {
            break;
        }
        fRelace.Hlidej();
        if (TClock::now() - fRelace.PosledniOdpoved() > fLimitOdpovedi) {
            fRelace.Zrus();
            konec = TKonecOperace::Neodpovida;
            break;
        }
    }
    fOkno.SpustNaplanovane();
    if (konec == TKonecOperace::Hotovo && stav != TStavOperace::Hotovo) {
        konec = fRelace.PortZtracen() ? TKonecOperace::SpojeniZtraceno : TKonecOperace::Zrusena;
    }
    provedeni.Konec = konec;
    return provedeni;
}
