#include "port/SerialPort_posix.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

std::string PortErrorText(int errnoValue) {
    switch (errnoValue) {
    case EBUSY:
    case EWOULDBLOCK:
        return "Port právě používá jiný program";
    case ENOENT:
        return "Zařízení neexistuje";
    case ENOTTY:
        return "Cesta nevede k sériovému portu";
    case EACCES:
    case EPERM:
        return "Chybí oprávnění k portu";
    case EIO:
        return "Zařízení bylo odpojeno";
    case ENXIO:
    case ENODEV:
        return "Zařízení není připojeno";
    case EISDIR:
        return "Cesta vede ke složce, ne k sériovému portu";
    case EINVAL:
        return "Port nepřijal nastavení linky";
    default:
        break;
    }
    // The system's own words are English; its symbolic name is what a technician can look up.
    const char* name = ::strerrorname_np(errnoValue);
    return "Systémová chyba " + std::string(name != nullptr ? name : "") + " (" +
           std::to_string(errnoValue) + ")";
}

TChybaPortu PortErrorKind(int errnoValue) {
    switch (errnoValue) {
    case EBUSY:
    case EWOULDBLOCK:
        return TChybaPortu::Obsazen;
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return TChybaPortu::Neexistuje;
    case EACCES:
    case EPERM:
        return TChybaPortu::BezOpravneni;
    default:
        return TChybaPortu::Jina;
    }
}

namespace {

using Clock = std::chrono::steady_clock;

struct TBaudRate {
    std::uint32_t Value;
    speed_t Code;
};

constexpr std::array<TBaudRate, 31> k_BaudRates{{
    {50, B50},
    {75, B75},
    {110, B110},
    {134, B134},
    {150, B150},
    {200, B200},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {576000, B576000},
    {921600, B921600},
    {1000000, B1000000},
    {1152000, B1152000},
    {1500000, B1500000},
    {2000000, B2000000},
    {2500000, B2500000},
    {3000000, B3000000},
    {3500000, B3500000},
    {4000000, B4000000},
    {0, B0},
}};

bool BaudCode(std::uint32_t value, speed_t& code) {
    const auto it = std::find_if(k_BaudRates.begin(), k_BaudRates.end(),
                                 [value](const TBaudRate& b) { return b.Value == value; });
    if (value == 0 || it == k_BaudRates.end()) {
        return false;
    }
    code = it->Code;
    return true;
}

// The bits of c_cflag that the line settings decide; checked again after tcsetattr, because
// tcsetattr succeeds when any part of the request was taken.
constexpr tcflag_t k_FramingBits = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

} // namespace

bool LineSettingsToTermios(const TLineSettings& settings, termios& tio, std::string& why) {
    speed_t speed = B0;
    if (!BaudCode(settings.BaudRate, speed)) {
        why = "Nepodporovaná rychlost linky: " + std::to_string(settings.BaudRate) + " Bd";
        return false;
    }
    if (settings.StopBits == TStopBits::sb1HALFBITS) {
        why = "1,5 stop bitu tento systém nepodporuje";
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~k_FramingBits;
    // Modem lines drop when the port is closed, as they do on the original platform.
    tio.c_cflag |= CLOCAL | CREAD | HUPCL;
    static constexpr std::array<tcflag_t, 4> sizes{CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes.at(static_cast<std::size_t>(settings.DataBits));
    switch (settings.Parity) {
    case TParity::ptNONE:
        break;
    case TParity::ptODD:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case TParity::ptEVEN:
        tio.c_cflag |= PARENB;
        break;
    case TParity::ptMARK:
        tio.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case TParity::ptSPACE:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    }
    if (settings.StopBits == TStopBits::sb2BITS) {
        tio.c_cflag |= CSTOPB;
    }
    if (settings.HwFlow == THwFlowControl::hfRTSCTS) {
        tio.c_cflag |= CRTSCTS;
    }
    // No parity checking on input: bytes are taken as they come, the telegram checksums judge.
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    if (settings.SwFlow == TSwFlowControl::sfXONXOFF) {
        tio.c_iflag |= IXON | IXOFF;
    }
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return true;
}

namespace {

// Errors after which the descriptor is useless: the device was unplugged or hung up.
bool IsGone(int err) {
    return err == EIO || err == ENXIO || err == ENODEV || err == EPIPE || err == EBADF;
}

// Modem-line ioctls on a port without modem lines (a pseudo-terminal): ENOTTY, or EINVAL on
// older kernels.
bool NoModemLines(int err) {
    return err == ENOTTY || err == EINVAL;
}

class TPosixSerialPort final : public ISerialPort {
public:
    ~TPosixSerialPort() override { Close(); }

    bool Open(const std::string& path) override {
        Close();
        fHungUp = false;
        fLastError.clear();
        fLastErrorKind = TChybaPortu::Zadna;
        // Refuse anything that is not a character device before opening it: opening some
        // devices (tapes, for one) has side effects.
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            return Fail(errno);
        }
        if (S_ISDIR(st.st_mode)) {
            return Fail(EISDIR);
        }
        if (!S_ISCHR(st.st_mode)) {
            return Fail(ENOTTY);
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return Fail(errno);
        }
        if (::isatty(fd) == 0) {
            ::close(fd);
            return Fail(ENOTTY);
        }
        // TIOCEXCL does not stop root; the lock stops every other opener that plays fair.
        int rc = 0;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            return Fail(EBUSY);
        }
        ::ioctl(fd, TIOCEXCL);
        // Adapters that hold received bytes (an FTDI chip up to 16 ms) hand them over at once in
        // low-latency mode; a port without the setting (a pseudo-terminal) simply lacks it.
        serial_struct serial{};
        if (::ioctl(fd, TIOCGSERIAL, &serial) == 0 && (serial.flags & ASYNC_LOW_LATENCY) == 0) {
            serial.flags |= ASYNC_LOW_LATENCY;
            ::ioctl(fd, TIOCSSERIAL, &serial);
        }
        fFd = fd;
        fKonecLinky = Clock::now();
        fPseudoTerminal =
            major(st.st_rdev) >= k_PtySlaveMajorFirst && major(st.st_rdev) <= k_PtySlaveMajorLast;
        return true;
    }

    void Close() override {
        if (fFd < 0) {
            return;
        }
        // The exclusive flag lives on the terminal, not the descriptor: clear it, or a terminal
        // kept alive by another descriptor stays barred to ordinary users.
        ::ioctl(fFd, TIOCNXCL);
        ::close(fFd);
        fFd = -1;
    }

    bool IsOpen() const override { return fFd >= 0; }

    bool Configure(const TLineSettings& settings) override {
        if (fFd < 0) {
            return Fail(EBADF);
        }
        termios tio{};
        if (::tcgetattr(fFd, &tio) != 0) {
            return Fail(errno);
        }
        std::string why;
        if (!LineSettingsToTermios(settings, tio, why)) {
            fLastError = why;
            fLastErrorKind = TChybaPortu::Jina;
            return false;
        }
        // A pseudo-terminal has no line and keeps 8 bits without parity whatever is asked; the
        // C library reports that as EINVAL after the rest was applied.
        if (::tcsetattr(fFd, TCSANOW, &tio) != 0 && !(errno == EINVAL && fPseudoTerminal)) {
            return Fail(errno);
        }
        // tcsetattr succeeds when any part of the request was taken: look at what was kept.
        termios now{};
        if (::tcgetattr(fFd, &now) != 0) {
            return Fail(errno);
        }
        const tcflag_t checked =
            fPseudoTerminal ? k_FramingBits & ~(CSIZE | PARENB) : k_FramingBits;
        if ((now.c_cflag & checked) != (tio.c_cflag & checked) ||
            ::cfgetospeed(&now) != ::cfgetospeed(&tio)) {
            return Fail(EINVAL);
        }
        fBaudRate = settings.BaudRate;
        const unsigned bity = 1 + 5 + static_cast<unsigned>(settings.DataBits) +
                              (settings.Parity == TParity::ptNONE ? 0 : 1) +
                              (settings.StopBits == TStopBits::sb2BITS ? 2 : 1);
        fCasBajtu = std::chrono::nanoseconds(1'000'000'000LL * bity / std::max(fBaudRate, 50U));
        fHwHandshake = settings.HwFlow == THwFlowControl::hfRTSCTS;
        return true;
    }

    bool Flush(bool input, bool output) override {
        if (fFd < 0) {
            return Fail(EBADF);
        }
        if (!input && !output) {
            return true;
        }
        const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
        if (::tcflush(fFd, which) != 0) {
            return Fail(errno);
        }
        return true;
    }

    long InQueue() override { return Count(FIONREAD); }
    long OutQueue() override { return Count(TIOCOUTQ); }

    TIoResult Read(std::span<std::uint8_t> buffer) override {
        if (fFd < 0) {
            return {TIoStatus::Interrupted, 0};
        }
        for (;;) {
            const ssize_t n = ::read(fFd, buffer.data(), buffer.size());
            if (n > 0) {
                return {TIoStatus::Ok, static_cast<std::size_t>(n)};
            }
            if (n == 0) {
                // With VMIN 0 an empty queue reads 0 bytes; so does a hung-up terminal.
                return {HungUp() ? TIoStatus::Interrupted : TIoStatus::Ok, 0};
            }
            if (errno == EINTR) {
                continue;
            }
            return Failed(errno);
        }
    }

    TIoResult Write(std::span<const std::uint8_t> data) override {
        if (fFd < 0) {
            return {TIoStatus::Interrupted, 0};
        }
        for (;;) {
            const ssize_t n = ::write(fFd, data.data(), data.size());
            if (n >= 0) {
                // The line carries the bytes one after another from now, or from when the ones
                // before them have left.
                fKonecLinky = std::max(fKonecLinky, Clock::now()) + fCasBajtu * n;
                return {TIoStatus::Ok, static_cast<std::size_t>(n)};
            }
            if (errno == EINTR) {
                continue;
            }
            return Failed(errno);
        }
    }

    // tcdrain alone can block for ever (a pseudo-terminal on some kernels, a CTS line held
    // low), so the kernel queue is watched with TIOCOUTQ and the transmitter with
    // TIOCSERGETLSR, each for a bounded time. tcdrain is used only where neither can stall:
    // no hardware handshake and no way to ask the transmitter.
    bool Drain() override {
        if (fFd < 0) {
            return Fail(EBADF);
        }
        const auto byteTime = std::chrono::microseconds(12'000'000 / std::max(fBaudRate, 50U));
        long queued = OutQueue();
        if (queued < 0) {
            return false;
        }
        const auto queueEnd =
            Clock::now() + byteTime * (2 * queued) + std::chrono::milliseconds(50);
        while (queued > 0) {
            if (Clock::now() > queueEnd) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            queued = OutQueue();
            if (queued < 0) {
                return false;
            }
        }
        // The transmitter's FIFO (up to a few hundred bytes on some UARTs) and shift register.
        const auto fifoEnd = Clock::now() + byteTime * 512 + std::chrono::milliseconds(20);
        for (;;) {
            unsigned int lsr = 0;
            if (::ioctl(fFd, TIOCSERGETLSR, &lsr) != 0) {
                break;
            }
            if ((lsr & TIOCSER_TEMT) != 0) {
                return true;
            }
            if (Clock::now() > fifoEnd) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (errno != ENOTTY && errno != EINVAL && errno != k_ENOIOCTLCMD) {
            return Fail(errno);
        }
        if (fHwHandshake) {
            return true;
        }
        int rc = 0;
        do {
            rc = ::tcdrain(fFd);
        } while (rc != 0 && errno == EINTR);
        return rc == 0 || Fail(errno);
    }

    // USB adapters report an empty queue as soon as the bytes are in the adapter (a CH340 cannot
    // tell more), so the line time of what was written is a floor. A transmitter that never
    // reports empty is not waited for beyond what its FIFO could hold.
    bool Vyslano() override {
        if (fFd < 0) {
            return true;
        }
        const auto ted = Clock::now();
        if (ted < fKonecLinky) {
            return false;
        }
        const long queued = OutQueue();
        if (queued > 0) {
            return false;
        }
        unsigned int lsr = 0;
        if (queued < 0 || ::ioctl(fFd, TIOCSERGETLSR, &lsr) != 0 || (lsr & TIOCSER_TEMT) != 0) {
            return true;
        }
        return ted > fKonecLinky + fCasBajtu * 512 + std::chrono::milliseconds(20);
    }

    bool NastavRs485(bool zapnuto) override {
        if (fFd < 0) {
            return Fail(EBADF);
        }
        serial_rs485 rs485{};
        if (zapnuto) {
            rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        }
        if (::ioctl(fFd, TIOCSRS485, &rs485) != 0) {
            const int err = errno;
            fLastError =
                "Převodník nepodporuje režim RS-485 jádra (" +
                std::string(NoModemLines(err) || err == k_ENOIOCTLCMD ? "ovladač jej nezná"
                                                                      : PortErrorText(err)) +
                ")";
            fLastErrorKind = TChybaPortu::Jina;
            return false;
        }
        return true;
    }

    int Deskriptor() const override { return fFd; }

    bool SetDTR(bool on) override { return ModemLine(TIOCM_DTR, on); }
    bool SetRTS(bool on) override { return ModemLine(TIOCM_RTS, on); }

    bool HungUp() const override {
        if (fHungUp || fFd < 0) {
            return fHungUp;
        }
        pollfd pfd{fFd, POLLIN, 0};
        if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLNVAL)) != 0) {
            fHungUp = true;
            fLastError = PortErrorText(EIO);
            fLastErrorKind = PortErrorKind(EIO);
        }
        return fHungUp;
    }

    const std::string& LastError() const override { return fLastError; }
    TChybaPortu LastErrorKind() const override { return fLastErrorKind; }

private:
    // ENOIOCTLCMD: kernel-internal, but some drivers let it out.
    static constexpr int k_ENOIOCTLCMD = 515;

    bool Fail(int err) {
        fLastError = PortErrorText(err);
        fLastErrorKind = PortErrorKind(err);
        if (IsGone(err) && fFd >= 0) {
            fHungUp = true;
        }
        return false;
    }

    TIoResult Failed(int err) {
        if (err == EAGAIN || err == EWOULDBLOCK) {
            return {TIoStatus::Ok, 0};
        }
        Fail(err);
        return {IsGone(err) ? TIoStatus::Interrupted : TIoStatus::Ok, 0};
    }

    long Count(unsigned long request) {
        if (fFd < 0) {
            return -1;
        }
        int n = 0;
        if (::ioctl(fFd, request, &n) != 0) {
            Fail(errno);
            return -1;
        }
        return n;
    }

    bool ModemLine(int line, bool on) {
        if (fFd < 0) {
            return Fail(EBADF);
        }
        if (::ioctl(fFd, on ? TIOCMBIS : TIOCMBIC, &line) != 0) {
            const int err = errno;
            return NoModemLines(err) || Fail(err);
        }
        return true;
    }

    // Device numbers of Unix 98 pseudo-terminal slaves.
    static constexpr unsigned k_PtySlaveMajorFirst = 136;
    static constexpr unsigned k_PtySlaveMajorLast = 143;

    int fFd = -1;
    bool fPseudoTerminal = false;
    mutable bool fHungUp = false;
    mutable std::string fLastError;
    mutable TChybaPortu fLastErrorKind = TChybaPortu::Zadna;
    std::uint32_t fBaudRate = 9600;
    std::chrono::nanoseconds fCasBajtu{1'041'667}; // 10 bits at 9600 Bd
    // When the last byte written will have left the line at its bit rate.
    Clock::time_point fKonecLinky{};
    bool fHwHandshake = false;
};

} // namespace

std::unique_ptr<ISerialPort> MakePosixSerialPort() {
    return std::make_unique<TPosixSerialPort>();
}
