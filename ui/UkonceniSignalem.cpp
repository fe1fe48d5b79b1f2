#include "UkonceniSignalem.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
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

// Rejects every modal dialog on screen; true when there was one.
bool ZavriDialogy() {
    bool zavren = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog != nullptr && dialog->isVisible() && dialog->isModal()) {
            dialog->reject();
            zavren = true;
        }
    }
    return zavren;
}

// Lives on the window from the first signal to the end of the program.
class TUkonceni : public QObject {
public:
    explicit TUkonceni(QWidget& window) : QObject(&window), fWindow(&window) {
        // Periodic, and not the timer that closes the window: a box shown during the close runs
        // its loop inside that timer's call, where the same timer would not fire again.
        connect(&fHlidac, &QTimer::timeout, this, [this] { Hlidej(); });
        fHlidac.start(20);
    }

private:
    void Hlidej() {
        // A box was open: its caller goes on first, the window is closed on a later round, from
        // whatever loop runs then.
        if (ZavriDialogy() || fZavira) {
            return;
        }
        fZavira = true;
        QTimer::singleShot(0, this, [this] {
            if (QApplication::activeModalWidget() != nullptr || fWindow == nullptr) {
                fZavira = false;
                return;
            }
            fWindow->close();
            // A window that was never shown does not end the loop by closing.
            QCoreApplication::quit();
        });
    }

    QPointer<QWidget> fWindow;
    QTimer fHlidac;
    bool fZavira = false;
};

// The close under way, if any; it goes with its window.
QPointer<TUkonceni> gUkonceni;

} // namespace

void ZavirejPriSignalu(QWidget& window) {
    if (gPipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gPipe.data()) != 0) {
            gPipe = {-1, -1};
            return;
        }
        // Neither end may block: not the handler, and not a window that finds the bytes taken.
        ::fcntl(gPipe[0], F_SETFL, O_NONBLOCK);
        ::fcntl(gPipe[1], F_SETFL, O_NONBLOCK);
        struct sigaction action {};
        action.sa_handler = ObsluhaSignalu;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
            ::sigaction(sig, &action, nullptr);
        }
    }
    auto* notifier = new QSocketNotifier(gPipe[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        std::array<char, 16> buffer{};
        while (::read(gPipe[1], buffer.data(), buffer.size()) > 0) {
        }
        gSignal = true;
        if (gUkonceni == nullptr) {
            gUkonceni = new TUkonceni(window);
        }
    });
}

bool UkoncujeSeSignalem() {
    return gSignal;
}
