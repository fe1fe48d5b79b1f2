// A window class's receiver: a listening SOCK_SEQPACKET socket, one connection per message, all
// watched through one epoll descriptor so the program's event loop needs to watch only that.
#include "okna.h"

#include "OknaSpolecne.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>

using kovra_okna::TDruh;
using kovra_okna::TFd;
using kovra_okna::TZpravaOkna;

namespace {

// Connections accepted before their message arrived; more are refused rather than hoarded.
constexpr size_t k_MaxCekajicich = 256;
// Connections taken from the queue per call, so that a flood cannot stall the event loop.
constexpr int k_MaxPrijatychNaVolani = 256;

bool OdStejnehoUzivatele(int fd) {
    ucred cred{};
    socklen_t delka = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &delka) == 0 && cred.uid == geteuid();
}

} // namespace

struct TPrijemceZprav::TStav {
    THandler handler;
    std::string cestaSoketu;
    TFd zamek; // held for the receiver's life: the class is ours
    TFd posluchac;
    TFd epoll;
    std::vector<TFd> cekajici; // accepted, message not yet complete
};

TPrijemceZprav::TPrijemceZprav(std::unique_ptr<TStav> stav) : fStav(std::move(stav)) {}

TPrijemceZprav::~TPrijemceZprav() {
    // The lock is still held here, so the socket file is ours to remove.
    unlink(fStav->cestaSoketu.c_str());
}

std::unique_ptr<TPrijemceZprav> TPrijemceZprav::Register(const char* className, THandler handler) {
    const auto cestaZamku = kovra_okna::CestaZamku(className, true);
    const auto cestaSoketu = kovra_okna::CestaSoketu(className, true);
    if (!cestaZamku || !cestaSoketu || !handler) {
        errno = EINVAL;
        return nullptr;
    }
    auto stav = std::make_unique<TStav>();
    stav->handler = std::move(handler);
    stav->cestaSoketu = *cestaSoketu;
    // The lock file is never removed: removing it would let two receivers lock different files.
    stav->zamek = TFd(open(cestaZamku->c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!stav->zamek.Platny()) {
        return nullptr;
    }
    if (flock(stav->zamek.Get(), LOCK_EX | LOCK_NB) != 0) {
        errno = (errno == EWOULDBLOCK) ? EADDRINUSE : errno;
        return nullptr;
    }
    // Whatever socket file is left belongs to a receiver that is gone.
    unlink(cestaSoketu->c_str());
    stav->posluchac = TFd(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!stav->posluchac.Platny()) {
        return nullptr;
    }
    sockaddr_un adresa{};
    adresa.sun_family = AF_UNIX;
    std::memcpy(adresa.sun_path, cestaSoketu->c_str(), cestaSoketu->size() + 1);
    if (bind(stav->posluchac.Get(), reinterpret_cast<const sockaddr*>(&adresa), sizeof adresa) !=
        0) {
        return nullptr;
    }
    if (listen(stav->posluchac.Get(), SOMAXCONN) != 0) {
        unlink(cestaSoketu->c_str());
        return nullptr;
    }
    stav->epoll = TFd(epoll_create1(EPOLL_CLOEXEC));
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = stav->posluchac.Get();
    if (!stav->epoll.Platny() ||
        epoll_ctl(stav->epoll.Get(), EPOLL_CTL_ADD, stav->posluchac.Get(), &ev) != 0) {
        unlink(cestaSoketu->c_str());
        return nullptr;
    }
    return std::unique_ptr<TPrijemceZprav>(new TPrijemceZprav(std::move(stav)));
}

int TPrijemceZprav::Fd() const {
    return fStav->epoll.Get();
}

namespace {

enum class TVysledek { Obslouzeno, Ceka, Zahozeno };

// Reads the connection's one message, runs the handler and answers a sent message.
TVysledek Obsluz(int fd, const TPrijemceZprav::THandler& handler) {
    // One byte more than a message, so that an oversized packet shows as such.
    std::array<char, sizeof(TZpravaOkna) + 1> buffer{};
    const ssize_t n = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return TVysledek::Ceka;
    }
    if (n != static_cast<ssize_t>(sizeof(TZpravaOkna))) {
        return TVysledek::Zahozeno;
    }
    TZpravaOkna zprava{};
    std::memcpy(&zprava, buffer.data(), sizeof zprava);
    const bool posli = zprava.druh == static_cast<uint32_t>(TDruh::Posli);
    if (!posli && zprava.druh != static_cast<uint32_t>(TDruh::PosliSNavratem)) {
        return TVysledek::Zahozeno;
    }
    const int32_t odpoved = handler(zprava.zprava, zprava.wParam, zprava.lParam);
    if (!posli) {
        // The sender may have given up waiting; that is no failure here.
        send(fd, &odpoved, sizeof odpoved, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    return TVysledek::Obslouzeno;
}

} // namespace

int TPrijemceZprav::HandlePending() {
    TStav& s = *fStav;
    int obslouzeno = 0;
    // Connections that were waiting for their message go first: they were queued earlier.
    for (auto it = s.cekajici.begin(); it != s.cekajici.end();) {
        const TVysledek v = Obsluz(it->Get(), s.handler);
        if (v == TVysledek::Ceka) {
            ++it;
            continue;
        }
        obslouzeno += v == TVysledek::Obslouzeno ? 1 : 0;
        it = s.cekajici.erase(it); // closing removes it from the epoll set too
    }
    for (int i = 0; i < k_MaxPrijatychNaVolani; ++i) {
        TFd spojeni(accept4(s.posluchac.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!spojeni.Platny()) {
            break;
        }
        if (!OdStejnehoUzivatele(spojeni.Get())) {
            continue;
        }
        const TVysledek v = Obsluz(spojeni.Get(), s.handler);
        if (v == TVysledek::Obslouzeno) {
            ++obslouzeno;
        } else if (v == TVysledek::Ceka && s.cekajici.size() < k_MaxCekajicich) {
            epoll_event ev{};
            ev.events = EPOLLIN;
            ev.data.fd = spojeni.Get();
            if (epoll_ctl(s.epoll.Get(), EPOLL_CTL_ADD, spojeni.Get(), &ev) == 0) {
                s.cekajici.push_back(std::move(spojeni));
            }
        }
    }
    return obslouzeno;
}
