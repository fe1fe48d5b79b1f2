// Posting and sending window messages to a receiver found by its window class name.
#include "kovra.h"

#include "okna/OknaSpolecne.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

using kovra_okna::TDruh;
using kovra_okna::TFd;
using kovra_okna::TZpravaOkna;

namespace {

using Hodiny = std::chrono::steady_clock;

// Connects to the class's socket; an invalid fd when no live receiver has it. Posting never
// waits, not even for room in the receiver's queue; sending waits for that up to the time limit.
TFd Pripoj(const char* trida, bool cekej) {
    const auto cesta = kovra_okna::CestaSoketu(trida, false);
    if (!cesta) {
        return TFd();
    }
    TFd fd(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | (cekej ? 0 : SOCK_NONBLOCK), 0));
    if (!fd.Platny()) {
        return TFd();
    }
    if (cekej) {
        timeval limit{KOVRA_LIMIT_ODPOVEDI_MS / 1000, (KOVRA_LIMIT_ODPOVEDI_MS % 1000) * 1000};
        setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    }
    sockaddr_un adresa{};
    adresa.sun_family = AF_UNIX;
    std::memcpy(adresa.sun_path, cesta->c_str(), cesta->size() + 1);
    // A stale socket file (its receiver died) refuses the connection: not found.
    if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&adresa), sizeof adresa) != 0) {
        return TFd();
    }
    return fd;
}

bool Odesli(const TFd& fd, TDruh druh, uint32_t message, int32_t wParam, int32_t lParam) {
    const TZpravaOkna zprava{static_cast<uint32_t>(druh), message, wParam, lParam};
    return send(fd.Get(), &zprava, sizeof zprava, MSG_NOSIGNAL | MSG_DONTWAIT) ==
           static_cast<ssize_t>(sizeof zprava);
}

// Waits for the one-packet answer until the deadline; 0 when none comes.
int32_t CekejNaOdpoved(const TFd& fd, Hodiny::time_point konec) {
    for (;;) {
        const auto zbyva =
            std::chrono::duration_cast<std::chrono::milliseconds>(konec - Hodiny::now()).count();
        if (zbyva <= 0) {
            return 0;
        }
        pollfd p{fd.Get(), POLLIN, 0};
        const int n = poll(&p, 1, static_cast<int>(zbyva));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return 0;
        }
        int32_t odpoved = 0;
        const ssize_t r = recv(fd.Get(), &odpoved, sizeof odpoved, MSG_DONTWAIT);
        if (r < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        return r == static_cast<ssize_t>(sizeof odpoved) ? odpoved : 0;
    }
}

} // namespace

extern "C" {

int32_t NajdiAPosliZpravu(const char* className, uint32_t message, int32_t wParam, int32_t lParam) {
    const TFd fd = Pripoj(className, false);
    // The packet waits in the receiver's queue even after this end is closed.
    return fd.Platny() && Odesli(fd, TDruh::Posli, message, wParam, lParam) ? 1 : 0;
}

int32_t NajdiAPosliZpravuSNavratem(const char* className, uint32_t message, int32_t wParam,
                                   int32_t lParam) {
    const auto konec = Hodiny::now() + std::chrono::milliseconds(KOVRA_LIMIT_ODPOVEDI_MS);
    const TFd fd = Pripoj(className, true);
    if (!fd.Platny() || !Odesli(fd, TDruh::PosliSNavratem, message, wParam, lParam)) {
        return 0;
    }
    return CekejNaOdpoved(fd, konec);
}

} // extern "C"
