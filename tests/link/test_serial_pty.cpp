// TSerialDriver on the termios port layer, against a real pseudo-terminal.

#include "PtyPair.h"
#include "port/SerialDrv.h"
#include "port/SerialPort_posix.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr auto k_Settle = 2000ms; // generous limit for the kernel to move bytes through the pty

std::vector<std::uint8_t> Pattern(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return bytes;
}

// A driver set up the way the link engine sets it up, pointed at the pty's slave.
struct TTestDriver {
    TManualTimer* Timer = nullptr;
    std::unique_ptr<TSerialDriver> Driver;
    std::vector<std::vector<std::uint8_t>> Received;
    std::vector<std::string> Losses;

    explicit TTestDriver(const std::string& path) {
        auto timer = std::make_unique<TManualTimer>();
        Timer = timer.get();
        Driver = std::make_unique<TSerialDriver>(std::move(timer));
        Driver->SetBaudRateValue(4800);
        Driver->SetEnableDTROnOpen(false);
        Driver->SetPollingDelay(40);
        Driver->SetPortName(path);
        Driver->SetOnConnectionLost(
            [this](TSerialDriver&, const std::string& why) { Losses.push_back(why); });
    }
    void Collect() {
        Driver->SetOnReceiveData([this](TSerialDriver&, std::span<const std::uint8_t> data) {
            Received.emplace_back(data.begin(), data.end());
        });
    }
};

class SerialPty : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Pty.Ok()) << Pty.Error(); }

    termios Slave() {
        termios tio{};
        EXPECT_TRUE(Pty.SlaveSettings(tio));
        return tio;
    }
    int Exclusive() {
        int excl = -1;
        EXPECT_EQ(::ioctl(Pty.Watch(), TIOCGEXCL, &excl), 0);
        return excl;
    }

    PtyPair Pty;
    TTestDriver Drv{Pty.SlavePath()};
};

TEST_F(SerialPty, ConnectConfiguresTheLineAndStartsPolling) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    EXPECT_TRUE(Drv.Driver->Connected());
    EXPECT_EQ(Drv.Driver->LastDevicePath(), Pty.SlavePath());
    EXPECT_TRUE(Drv.Timer->Running());
    EXPECT_EQ(Drv.Timer->Period(), 40ms);

    const termios tio = Slave();
    EXPECT_EQ(::cfgetospeed(&tio), B4800);
    EXPECT_EQ(::cfgetispeed(&tio), B4800);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0U);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0U);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INPCK | ISTRIP), 0U);
    EXPECT_EQ(tio.c_oflag & OPOST, 0U);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    EXPECT_EQ(Exclusive(), 1);
    // A second Connect while open is a no-op that succeeds.
    EXPECT_TRUE(Drv.Driver->Connect());
    EXPECT_EQ(Drv.Timer->Starts(), 1);

    Drv.Driver->Disconnect();
    EXPECT_FALSE(Drv.Driver->Connected());
    EXPECT_FALSE(Drv.Timer->Running());
    EXPECT_EQ(Exclusive(), 0);
}

struct TLineCase {
    const char* Name;
    TDataBits DataBits;
    TParity Parity;
    TStopBits StopBits;
    THwFlowControl Hw;
    TSwFlowControl Sw;
    std::uint32_t Baud;
    tcflag_t Cflag; // expected CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS
    tcflag_t Iflag; // expected IXON | IXOFF (never IXANY, INPCK, ICRNL)
    speed_t Speed;
};

constexpr tcflag_t k_Framing = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

TLineSettings SettingsOf(const TLineCase& c) {
    TLineSettings s;
    s.BaudRate = c.Baud;
    s.DataBits = c.DataBits;
    s.Parity = c.Parity;
    s.StopBits = c.StopBits;
    s.HwFlow = c.Hw;
    s.SwFlow = c.Sw;
    return s;
}

class SerialPtyLine : public SerialPty, public ::testing::WithParamInterface<TLineCase> {};

TEST_P(SerialPtyLine, SettingsMapToTermios) {
    const TLineCase& c = GetParam();
    termios tio{};
    tio.c_lflag = ICANON | ECHO | ISIG;
    tio.c_iflag = ICRNL | INPCK | IXANY;
    tio.c_oflag = OPOST;
    tio.c_cflag = CS7 | PARENB | CSTOPB | CRTSCTS; // leftovers of an earlier user
    std::string why;
    ASSERT_TRUE(LineSettingsToTermios(SettingsOf(c), tio, why)) << why;
    EXPECT_EQ(tio.c_cflag & k_Framing, c.Cflag);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | INPCK | ICRNL), c.Iflag);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0U);
    EXPECT_EQ(tio.c_oflag & OPOST, 0U);
    EXPECT_EQ(::cfgetospeed(&tio), c.Speed);
    EXPECT_EQ(::cfgetispeed(&tio), c.Speed);
    EXPECT_EQ(tio.c_cc[VSTART], 0x11);
    EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST_P(SerialPtyLine, SettingsChangedWhileOpenReachTheTerminal) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    const TLineCase& c = GetParam();
    Drv.Driver->SetDataBits(c.DataBits);
    Drv.Driver->SetParity(c.Parity);
    Drv.Driver->SetStopBits(c.StopBits);
    Drv.Driver->SetHwFlowControl(c.Hw);
    Drv.Driver->SetSwFlowControl(c.Sw);
    Drv.Driver->SetBaudRateValue(c.Baud);
    EXPECT_TRUE(Drv.Driver->ApplyCOMSettings()) << Drv.Driver->LastError();
    // A pty keeps everything but the character size and parity enable, which it fixes at 8N.
    const tcflag_t visible = k_Framing & ~(CSIZE | PARENB);
    const termios tio = Slave();
    EXPECT_EQ(tio.c_cflag & visible, c.Cflag & visible);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), c.Iflag);
    EXPECT_EQ(::cfgetospeed(&tio), c.Speed);
}

INSTANTIATE_TEST_SUITE_P(
    Mappings, SerialPtyLine,
    ::testing::Values(TLineCase{"odd7", TDataBits::db7BITS, TParity::ptODD, TStopBits::sb1BITS,
                                THwFlowControl::hfNONERTSON, TSwFlowControl::sfNONE, 9600,
                                CS7 | PARENB | PARODD, 0, B9600},
                      TLineCase{"even6two", TDataBits::db6BITS, TParity::ptEVEN, TStopBits::sb2BITS,
                                THwFlowControl::hfNONE, TSwFlowControl::sfNONE, 19200,
                                CS6 | PARENB | CSTOPB, 0, B19200},
                      TLineCase{"mark5", TDataBits::db5BITS, TParity::ptMARK, TStopBits::sb1BITS,
                                THwFlowControl::hfNONE, TSwFlowControl::sfNONE, 1200,
                                CS5 | PARENB | CMSPAR | PARODD, 0, B1200},
                      TLineCase{"space8", TDataBits::db8BITS, TParity::ptSPACE, TStopBits::sb1BITS,
                                THwFlowControl::hfNONE, TSwFlowControl::sfNONE, 115200,
                                CS8 | PARENB | CMSPAR, 0, B115200},
                      TLineCase{"rtscts", TDataBits::db8BITS, TParity::ptNONE, TStopBits::sb1BITS,
                                THwFlowControl::hfRTSCTS, TSwFlowControl::sfNONE, 57600,
                                CS8 | CRTSCTS, 0, B57600},
                      TLineCase{"xonxoff", TDataBits::db8BITS, TParity::ptNONE, TStopBits::sb1BITS,
                                THwFlowControl::hfNONERTSON, TSwFlowControl::sfXONXOFF, 300, CS8,
                                IXON | IXOFF, B300}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SerialTermios, UnavailableSettingsAreRefusedWithTioUntouched) {
    for (const auto& [baud, stop] :
         {std::pair{4800U, TStopBits::sb1HALFBITS}, std::pair{12345U, TStopBits::sb1BITS},
          std::pair{0U, TStopBits::sb1BITS}}) {
        TLineSettings s;
        s.BaudRate = baud;
        s.StopBits = stop;
        termios tio{};
        tio.c_cflag = CS7;
        std::string why;
        EXPECT_FALSE(LineSettingsToTermios(s, tio, why)) << baud;
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(tio.c_cflag, static_cast<tcflag_t>(CS7));
    }
}

TEST_F(SerialPty, UnavailableSettingsAreRefusedWithoutTouchingTheLine) {
    // At connect: the port is closed again, and so free for the next opener.
    Drv.Driver->SetStopBits(TStopBits::sb1HALFBITS);
    EXPECT_FALSE(Drv.Driver->Connect());
    EXPECT_FALSE(Drv.Driver->Connected());
    EXPECT_FALSE(Drv.Timer->Running());
    EXPECT_NE(Drv.Driver->LastError().find("1,5"), std::string::npos) << Drv.Driver->LastError();
    TTestDriver other(Pty.SlavePath());
    ASSERT_TRUE(other.Driver->Connect()) << other.Driver->LastError();

    // While open: the refused request changes nothing on the line.
    other.Driver->SetStopBits(TStopBits::sb1HALFBITS);
    EXPECT_FALSE(other.Driver->ApplyCOMSettings());
    EXPECT_TRUE(other.Driver->Connected());
    EXPECT_EQ(Slave().c_cflag & CSTOPB, 0U);
    other.Driver->SetStopBits(TStopBits::sb1BITS);
    other.Driver->SetBaudRateValue(12345);
    EXPECT_FALSE(other.Driver->ApplyCOMSettings());
    const termios tio = Slave();
    EXPECT_EQ(::cfgetospeed(&tio), B4800);
    other.Driver->SetBaudRateValue(9600);
    EXPECT_TRUE(other.Driver->ApplyCOMSettings());
}

TEST_F(SerialPty, APortHeldElsewhereIsRefusedAsBusy) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    // Also as root, which TIOCEXCL does not stop.
    TTestDriver second(Pty.SlavePath());
    EXPECT_FALSE(second.Driver->Connect());
    EXPECT_FALSE(second.Driver->Connected());
    EXPECT_EQ(second.Driver->LastErrorKind(), TChybaPortu::Obsazen);
    EXPECT_NE(second.Driver->LastError().find("jiný program"), std::string::npos)
        << second.Driver->LastError();
    EXPECT_EQ(second.Driver->LastDevicePath(), Pty.SlavePath());
    // The first driver is unharmed, and once it lets go the port is free.
    EXPECT_TRUE(Drv.Driver->Connected());
    Drv.Driver->Disconnect();
    EXPECT_TRUE(second.Driver->Connect()) << second.Driver->LastError();
    second.Driver->Disconnect();

    // Another program that holds the lock.
    const int fd = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(Drv.Driver->Connect());
    EXPECT_NE(Drv.Driver->LastError().find("jiný program"), std::string::npos);
    ::close(fd);
    EXPECT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
}

TEST(SerialPtyOpen, PathsThatAreNoTerminalAreRefused) {
    char file[] = "/tmp/norlink-serial-XXXXXX";
    const int fd = ::mkstemp(file);
    ASSERT_GE(fd, 0);
    ::close(fd);
    struct TCase {
        std::string Path;
        const char* Reason;
        TChybaPortu Kind;
    };
    for (const TCase& c :
         {TCase{"/dev/null", "sériovému portu", TChybaPortu::Jina},
          TCase{file, "sériovému portu", TChybaPortu::Jina},
          TCase{"/tmp", "složce", TChybaPortu::Jina},
          TCase{"/dev/norlink-no-such-port", "neexistuje", TChybaPortu::Neexistuje}}) {
        TTestDriver drv(c.Path);
        EXPECT_FALSE(drv.Driver->Connect()) << c.Path;
        EXPECT_FALSE(drv.Driver->Connected()) << c.Path;
        EXPECT_FALSE(drv.Timer->Running()) << c.Path;
        EXPECT_EQ(drv.Driver->LastDevicePath(), c.Path);
        EXPECT_NE(drv.Driver->LastError().find(c.Reason), std::string::npos)
            << c.Path << ": " << drv.Driver->LastError();
        EXPECT_EQ(drv.Driver->LastErrorKind(), c.Kind) << c.Path;
    }
    ::unlink(file);
}

TEST_F(SerialPty, ComNamesGoThroughThePortMap) {
    Drv.Driver->SetPortMap({{7, Pty.SlavePath()}});
    Drv.Driver->SetPort(static_cast<TPortNumber>(7));
    EXPECT_EQ(Drv.Driver->PortName(), "\\\\.\\COM7");
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    EXPECT_EQ(Drv.Driver->LastDevicePath(), Pty.SlavePath());
    Drv.Driver->Disconnect();

    Drv.Driver->SetPortName("\\\\.\\COM0");
    EXPECT_FALSE(Drv.Driver->Connect());
    EXPECT_EQ(Drv.Driver->LastDevicePath(), "");
    EXPECT_NE(Drv.Driver->LastError().find("COM0"), std::string::npos);
    EXPECT_EQ(Drv.Driver->LastErrorKind(), TChybaPortu::BezZarizeni);
}

TEST_F(SerialPty, SentBytesArriveExactly) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    const auto data = Pattern(271);
    EXPECT_EQ(Drv.Driver->SendData(data), 271U);
    EXPECT_EQ(Pty.Read(271, k_Settle), data);
    EXPECT_TRUE(Pty.ReadAll(20ms).empty());
    // The queue is empty on a pty, so the whole buffer counts as free.
    EXPECT_EQ(Drv.Driver->OutFreeSpace(), 2048);
}

// A pty takes bytes at once, as a USB adapter whose driver reports an empty queue too early:
// the transmission still holds the line for the line time of what was written.
TEST_F(SerialPty, ATransmissionHoldsTheLineForItsLineTimeThoughThePortEmptiesAtOnce) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    const auto data = Pattern(270);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Drv.Driver->Vysli(data), 270U);
    EXPECT_EQ(Pty.Read(270, k_Settle), data);
    EXPECT_TRUE(Drv.Driver->Vysila());
    EXPECT_FALSE(Drv.Driver->LinkaVolna());
    const auto limit = start + 5s;
    while (Drv.Driver->Vysila() && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(1ms);
        Drv.Timer->Pump();
    }
    // 270 bytes of 10 bits at 4800 Bd, and the guard after them.
    EXPECT_FALSE(Drv.Driver->Vysila());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 562ms + 2ms);
    EXPECT_EQ(Drv.Timer->Period(), 40ms);
}

TEST_F(SerialPty, ASendThatCannotProgressEndsAfterItsLimit) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    // Nobody reads the master: the pty fills up and takes no more.
    const auto data = Pattern(400000);
    const auto start = std::chrono::steady_clock::now();
    const std::uint32_t sent = Drv.Driver->SendDataEx(data, 100);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GT(sent, 0U);
    EXPECT_LT(sent, data.size());
    EXPECT_GE(took, 100ms);
    EXPECT_LT(took, 5s);
    // What the driver counts as sent is exactly what is on the line.
    const auto line = Pty.ReadAll(50ms);
    ASSERT_EQ(line.size(), sent);
    EXPECT_TRUE(std::equal(line.begin(), line.end(), data.begin()));
    EXPECT_TRUE(Drv.Driver->Connected());
}

TEST_F(SerialPty, EachTickDeliversWhatWaitsInOneCall) {
    Drv.Collect();
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    EXPECT_TRUE(Drv.Timer->Pump());
    EXPECT_TRUE(Drv.Received.empty()); // nothing waiting, no call

    const auto data = Pattern(20);
    ASSERT_TRUE(Pty.Write(data));
    ASSERT_TRUE(Pty.WaitSlaveInQueue(20, k_Settle));
    EXPECT_TRUE(Drv.Timer->Pump());
    ASSERT_EQ(Drv.Received.size(), 1U);
    EXPECT_EQ(Drv.Received[0], data);
    EXPECT_TRUE(Drv.Timer->Pump());
    EXPECT_EQ(Drv.Received.size(), 1U);
}

TEST_F(SerialPty, MoreThanInBufSizeIsDeliveredInChunks) {
    Drv.Driver->SetInBufSize(100); // raised to 128
    Drv.Collect();
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    const auto data = Pattern(300);
    ASSERT_TRUE(Pty.Write(data));
    ASSERT_TRUE(Pty.WaitSlaveInQueue(300, k_Settle));
    for (int i = 0; i < 4; ++i) {
        Drv.Timer->Pump();
    }
    ASSERT_EQ(Drv.Received.size(), 3U);
    EXPECT_EQ(Drv.Received[0].size(), 128U);
    EXPECT_EQ(Drv.Received[1].size(), 128U);
    EXPECT_EQ(Drv.Received[2].size(), 44U);
    std::vector<std::uint8_t> joined;
    for (const auto& chunk : Drv.Received) {
        joined.insert(joined.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(joined, data);
}

TEST_F(SerialPty, WithoutAHandlerBytesAreReadAndDropped) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    ASSERT_TRUE(Pty.Write(Pattern(10)));
    ASSERT_TRUE(Pty.WaitSlaveInQueue(10, k_Settle));
    Drv.Timer->Pump();
    EXPECT_EQ(Pty.SlaveInQueue(), 0);

    Drv.Collect();
    const std::vector<std::uint8_t> later{0xA5, 0x14, 0x3F};
    ASSERT_TRUE(Pty.Write(later));
    ASSERT_TRUE(Pty.WaitSlaveInQueue(3, k_Settle));
    Drv.Timer->Pump();
    ASSERT_EQ(Drv.Received.size(), 1U);
    EXPECT_EQ(Drv.Received[0], later);
}

TEST_F(SerialPty, FlushDiscardsWaitingInput) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    ASSERT_TRUE(Pty.Write(Pattern(5)));
    ASSERT_TRUE(Pty.WaitSlaveInQueue(5, k_Settle));
    EXPECT_TRUE(Drv.Driver->FlushBuffers(true, false));
    EXPECT_EQ(Pty.SlaveInQueue(), 0);
}

TEST_F(SerialPty, ModemLinesOnAPtyAreToleratedSilently) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    Drv.Driver->ToggleDTR(true);
    Drv.Driver->ToggleDTR(false);
    EXPECT_TRUE(Drv.Driver->Connected());
    Drv.Driver->SetEnableDTROnOpen(true);
    EXPECT_TRUE(Drv.Driver->ApplyCOMSettings());
    EXPECT_TRUE(Drv.Losses.empty());
}

TEST_F(SerialPty, AVanishingPeerIsReportedOnceAndClosesThePort) {
    Drv.Collect();
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    Pty.CloseMaster();
    Drv.Timer->Pump();
    ASSERT_EQ(Drv.Losses.size(), 1U);
    EXPECT_FALSE(Drv.Losses[0].empty());
    EXPECT_FALSE(Drv.Driver->Connected());
    EXPECT_TRUE(Drv.Driver->ConnectionLost());
    EXPECT_EQ(Drv.Driver->LastError(), Drv.Losses[0]);
    EXPECT_FALSE(Drv.Timer->Running());
    // Nothing more happens on later ticks or sends.
    EXPECT_FALSE(Drv.Timer->Pump());
    Drv.Driver->TimerWndProc();
    EXPECT_EQ(Drv.Driver->SendData(Pattern(4)), 0U);
    EXPECT_EQ(Drv.Losses.size(), 1U);
    EXPECT_TRUE(Drv.Received.empty());

    // A fresh port clears the state.
    PtyPair next;
    ASSERT_TRUE(next.Ok());
    Drv.Driver->SetPortName(next.SlavePath());
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    EXPECT_FALSE(Drv.Driver->ConnectionLost());
}

TEST_F(SerialPty, APeerVanishingBeforeASendIsFoundByTheSend) {
    ASSERT_TRUE(Drv.Driver->Connect()) << Drv.Driver->LastError();
    Pty.CloseMaster();
    EXPECT_EQ(Drv.Driver->SendData(Pattern(10)), 0U);
    EXPECT_EQ(Drv.Losses.size(), 1U);
    EXPECT_FALSE(Drv.Driver->Connected());
    Drv.Driver->TimerWndProc();
    EXPECT_EQ(Drv.Losses.size(), 1U);
}

} // namespace
