#pragma once
// A pseudo-terminal pair for tests that need a real terminal device: the test plays the far end
// on the master, the code under test opens SlavePath(). The pair also keeps one descriptor of the
// slave open (the "watch" side), opened before anyone else's, so the test can look at the slave's
// settings and input queue even after the code under test took the port exclusively.
//
//   PtyPair pty;
//   ASSERT_TRUE(pty.Ok()) << pty.Error();
//   drv.SetPortName(pty.SlavePath());

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        fMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fMaster < 0 || ::grantpt(fMaster) != 0 || ::unlockpt(fMaster) != 0) {
            fError = std::strerror(errno);
            return;
        }
        char name[128] = {};
        if (::ptsname_r(fMaster, name, sizeof name) != 0) {
            fError = std::strerror(errno);
            return;
        }
        fSlavePath = name;
        ::fcntl(fMaster, F_SETFL, ::fcntl(fMaster, F_GETFL) | O_NONBLOCK);
        fWatch = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fWatch < 0) {
            fError = std::strerror(errno);
        }
    }
    ~PtyPair() {
        CloseMaster();
        if (fWatch >= 0) {
            ::close(fWatch);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return fMaster >= 0 && fWatch >= 0 && !fSlavePath.empty(); }
    const std::string& Error() const { return fError; }
    int Master() const { return fMaster; }
    const std::string& SlavePath() const { return fSlavePath; }

    // The far end goes away: the slave is hung up.
    void CloseMaster() {
        if (fMaster >= 0) {
            ::close(fMaster);
            fMaster = -1;
        }
    }

    // Writes all bytes to the master (the slave's input); false when the master refuses them.
    bool Write(std::span<const std::uint8_t> bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fMaster, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno != EINTR && errno != EAGAIN) {
                return false;
            }
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                WaitFor(POLLOUT, std::chrono::milliseconds(10));
            }
        }
        return true;
    }

    // Reads what the slave sent until `count` bytes arrived or `limit` passed.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds limit) {
        std::vector<std::uint8_t> out;
        const auto end = std::chrono::steady_clock::now() + limit;
        std::uint8_t buf[4096];
        while (out.size() < count && std::chrono::steady_clock::now() < end) {
            const ssize_t n = ::read(fMaster, buf, std::min(sizeof buf, count - out.size()));
            if (n > 0) {
                out.insert(out.end(), buf, buf + n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            } else {
                WaitFor(POLLIN, std::chrono::milliseconds(5));
            }
        }
        return out;
    }

    // Reads everything the slave sent, until nothing more arrives within `quiet`.
    std::vector<std::uint8_t> ReadAll(std::chrono::milliseconds quiet) {
        std::vector<std::uint8_t> out;
        for (;;) {
            auto more = Read(65536, quiet);
            if (more.empty()) {
                return out;
            }
            out.insert(out.end(), more.begin(), more.end());
        }
    }

    // Bytes waiting in the slave's input queue (what the code under test can read now).
    int SlaveInQueue() const {
        int n = -1;
        return ::ioctl(fWatch, FIONREAD, &n) == 0 ? n : -1;
    }
    // Waits until the slave's input queue holds exactly `count` bytes.
    bool WaitSlaveInQueue(int count, std::chrono::milliseconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (SlaveInQueue() != count) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // The slave's line settings as the code under test left them.
    bool SlaveSettings(termios& tio) const { return ::tcgetattr(fWatch, &tio) == 0; }
    int Watch() const { return fWatch; }

private:
    void WaitFor(short events, std::chrono::milliseconds limit) const {
        pollfd pfd{fMaster, events, 0};
        ::poll(&pfd, 1, static_cast<int>(limit.count()));
    }

    int fMaster = -1;
    int fWatch = -1;
    std::string fSlavePath;
    std::string fError;
};
