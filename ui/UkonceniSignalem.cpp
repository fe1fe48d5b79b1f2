#include "UkonceniSignalem.h"

#include <QSocketNotifier>
#include <QWidget>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
std::array<int, 2> gPipe{-1, -1};
bool gSignal = false;

void ObsluhaSignalu(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gPipe[0], &byte, 1);
}
} // namespace

void ZavirejPriSignalu(QWidget& window) {
    if (gPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gPipe.data()) != 0) {
        return;
    }
    ::fcntl(gPipe[0], F_SETFL, O_NONBLOCK);
    auto* notifier = new QSocketNotifier(gPipe[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        std::array<char, 16> buffer{};
        while (::read(gPipe[1], buffer.data(), buffer.size()) ==
               static_cast<ssize_t>(buffer.size())) {
        }
        gSignal = true;
        window.close();
    });
    struct sigaction action {};
    action.sa_handler = ObsluhaSignalu;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(sig, &action, nullptr);
    }
}

bool UkoncujeSeSignalem() {
    return gSignal;
}
