#include "SimPeer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

TPeer::TPeer(const std::string& path) {
    fFd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

TPeer::~TPeer() {
    if (fFd >= 0) {
        ::close(fFd);
    }
}

void TPeer::Write(const TBytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fFd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
    }
}

bool TPeer::Fill(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fFd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) {
        return false;
    }
    std::uint8_t buf[512];
    const ssize_t n = ::read(fFd, buf, sizeof buf);
    if (n <= 0) {
        // A hang-up: wait out the time rather than spin.
        ::poll(nullptr, 0, static_cast<int>(std::min<long long>(left.count(), 10)));
        return false;
    }
    fPending.insert(fPending.end(), buf, buf + n);
    return true;
}

TBytes TPeer::ReadFor(std::chrono::milliseconds time) {
    const auto deadline = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < deadline) {
        Fill(deadline);
    }
    TBytes out;
    out.swap(fPending);
    return out;
}

TBytes TPeer::Read(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (fPending.size() < count && std::chrono::steady_clock::now() < deadline) {
        Fill(deadline);
    }
    const std::size_t n = std::min(count, fPending.size());
    TBytes out(fPending.begin(), fPending.begin() + static_cast<std::ptrdiff_t>(n));
    fPending.erase(fPending.begin(), fPending.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

bool TPeer::WaitPoll(std::chrono::milliseconds timeout, TBytes* before) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto it = std::search(fPending.begin(), fPending.end(), kPoll.begin(), kPoll.end());
        if (it != fPending.end()) {
            if (before != nullptr) {
                before->assign(fPending.begin(), it);
            }
            fPending.erase(fPending.begin(), it + static_cast<std::ptrdiff_t>(kPoll.size()));
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        Fill(deadline);
    }
}

bool TPeer::HungUp(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fFd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0) {
            if ((p.revents & POLLHUP) != 0) {
                return true;
            }
            std::uint8_t buf[256];
            const ssize_t n = ::read(fFd, buf, sizeof buf);
            if (n < 0 && errno == EIO) {
                return true;
            }
        }
    }
    return false;
}

std::uint8_t TestChecksum(const TBytes& bytes, std::size_t from, std::size_t to) {
    unsigned sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += bytes[i];
    }
    return static_cast<std::uint8_t>(-sum & 0xFFU);
}
