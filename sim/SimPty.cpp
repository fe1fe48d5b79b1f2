#include "SimPty.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace sim {

namespace {

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B4800);
    cfsetospeed(&t, B4800);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

int Milliseconds(TClock::duration d) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return ms <= 0 ? 0 : static_cast<int>(std::min<long long>(ms, INT_MAX));
}

bool LinkPointsAt(const std::string& link, const std::string& target) {
    std::string buf(PATH_MAX, '\0');
    const ssize_t n = readlink(link.c_str(), buf.data(), buf.size());
    return n > 0 && std::string(buf.data(), static_cast<std::size_t>(n)) == target;
}

} // namespace

TPseudoTerminal::~TPseudoTerminal() {
    Close();
}

bool TPseudoTerminal::Open(const std::string& linkPath, std::string& error) {
    Close();
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = Reason("posix_openpt");
        return false;
    }
    std::string name(256, '\0');
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name.data(), name.size()) != 0) {
        error = Reason("pseudo-terminal");
        ::close(fd);
        return false;
    }
    name.resize(std::strlen(name.c_str()));
    // The master's settings are the slave's on Linux; the temporary open makes sure, and it
    // leaves the slave raw for whoever opens it next.
    const int slave = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const bool raw = MakeRaw(fd) && slave >= 0 && MakeRaw(slave);
    if (!raw) {
        error = Reason("raw mode");
        if (slave >= 0) {
            ::close(slave);
        }
        ::close(fd);
        return false;
    }
    ::close(slave);
    tcflush(fd, TCIOFLUSH);

    if (!linkPath.empty()) {
        struct stat st {};
        if (lstat(linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
            error = linkPath + ": exists and is not a symbolic link";
            ::close(fd);
            return false;
        }
        // A new link under a temporary name, then renamed over the old one in one step.
        const std::string temp = linkPath + ".tmp" + std::to_string(::getpid());
        ::unlink(temp.c_str());
        if (::symlink(name.c_str(), temp.c_str()) != 0 ||
            ::rename(temp.c_str(), linkPath.c_str()) != 0) {
            error = Reason(linkPath.c_str());
            ::unlink(temp.c_str());
            ::close(fd);
            return false;
        }
    }
    fMaster = fd;
    fSlavePath = name;
    fLinkPath = linkPath;
    return true;
}

void TPseudoTerminal::Close() {
    if (fMaster < 0) {
        return;
    }
    ::close(fMaster);
    fMaster = -1;
    if (!fLinkPath.empty() && LinkPointsAt(fLinkPath, fSlavePath)) {
        ::unlink(fLinkPath.c_str());
    }
}

bool TPseudoTerminal::PeerPresent() {
    if (fMaster < 0) {
        return false;
    }
    pollfd p{fMaster, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) {
        return errno == EINTR;
    }
    return (p.revents & POLLHUP) == 0;
}

TLineRead TPseudoTerminal::Read(std::span<std::uint8_t> buffer, TClock::time_point deadline) {
    TLineRead result;
    if (fMaster < 0) {
        result.Failed = true;
        return result;
    }
    pollfd p{fMaster, POLLIN, 0};
    const int r = ::poll(&p, 1, Milliseconds(deadline - TClock::now()));
    if (r < 0) {
        result.Failed = errno != EINTR;
        return result;
    }
    if (r == 0) {
        return result;
    }
    if ((p.revents & POLLIN) != 0) {
        const ssize_t n = ::read(fMaster, buffer.data(), buffer.size());
        if (n > 0) {
            result.Count = static_cast<std::size_t>(n);
            return result;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
            result.Failed = true;
            return result;
        }
    }
    if ((p.revents & (POLLHUP | POLLERR)) != 0) {
        // Nobody on the other end: wait out the time instead of spinning on the hang-up.
        std::this_thread::sleep_until(
            std::min(deadline, TClock::now() + std::chrono::milliseconds(10)));
    }
    if ((p.revents & POLLNVAL) != 0) {
        result.Failed = true;
    }
    return result;
}

bool TPseudoTerminal::Write(std::span<const std::uint8_t> bytes) {
    if (fMaster < 0) {
        return false;
    }
    std::size_t done = 0;
    const auto deadline = TClock::now() + std::chrono::milliseconds(200);
    while (done < bytes.size()) {
        const ssize_t n = ::write(fMaster, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        // The program is not reading: give it a moment, then drop the rest as a line would.
        const auto now = TClock::now();
        if (now >= deadline) {
            return false;
        }
        pollfd p{fMaster, POLLOUT, 0};
        ::poll(&p, 1, Milliseconds(deadline - now));
    }
    return true;
}

} // namespace sim
