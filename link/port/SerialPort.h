#pragma once
// The platform's serial port, as the serial driver needs it. One implementation on POSIX termios
// (PosixSerialPort); tests may put a fake behind the driver.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

enum class TDataBits : std::uint8_t { db5BITS = 0, db6BITS, db7BITS, db8BITS };
enum class TStopBits : std::uint8_t { sb1BITS = 0, sb1HALFBITS, sb2BITS };
enum class TParity : std::uint8_t { ptNONE = 0, ptODD, ptEVEN, ptMARK, ptSPACE };
enum class THwFlowControl : std::uint8_t { hfNONE = 0, hfNONERTSON, hfRTSCTS };
enum class TSwFlowControl : std::uint8_t { sfNONE = 0, sfXONXOFF };

// What keys the transmitter of a half-duplex (RS-485) line: the DTR or the RTS line, raised only
// while a telegram goes out; the kernel's RS-485 mode; or nothing (an adapter that switches by
// itself).
enum class TSmer : std::uint8_t { DTR = 0, RTS, RS485, Zadny };

struct TLineSettings {
    std::uint32_t BaudRate = 9600;
    TDataBits DataBits = TDataBits::db8BITS;
    TStopBits StopBits = TStopBits::sb1BITS;
    TParity Parity = TParity::ptNONE;
    THwFlowControl HwFlow = THwFlowControl::hfNONERTSON;
    TSwFlowControl SwFlow = TSwFlowControl::sfNONE;
    bool EnableDTROnOpen = true;
    std::uint32_t InBufSize = 2048;
    std::uint32_t OutBufSize = 2048;
};

// Why a port could not be opened or was lost, so that the window can say what to do without
// looking at the device again.
enum class TChybaPortu : std::uint8_t {
    Zadna,        // no failure
    BezZarizeni,  // the port name has no device (COM0, an empty or bad name)
    Neexistuje,   // no such device
    Obsazen,      // another program holds the port
    BezOpravneni, // the user may not open it
    Jina,
};

// Results of a read or write: a count, or one of these.
enum class TIoStatus : std::uint8_t {
    Ok,         // count bytes moved (possibly 0: nothing available / no room now)
    Interrupted // the port is gone (hang-up, EIO): the caller must stop using it
};

struct TIoResult {
    TIoStatus Status = TIoStatus::Ok;
    std::size_t Count = 0;
};

class ISerialPort {
public:
    virtual ~ISerialPort() = default;

    // Opens an existing terminal device for reading and writing, exclusively and without
    // blocking. On failure the port stays closed and LastError() tells why. A path that is no
    // terminal (a regular file, /dev/null) and a port held by another opener are refused.
    virtual bool Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Applies the whole line configuration at once; false (with LastError()) when the platform
    // cannot do what is asked, for example 1.5 stop bits.
    virtual bool Configure(const TLineSettings& settings) = 0;
    virtual bool Flush(bool input, bool output) = 0;
    // Bytes waiting in the driver's input / output queue; -1 when the query fails.
    virtual long InQueue() = 0;
    virtual long OutQueue() = 0;
    virtual TIoResult Read(std::span<std::uint8_t> buffer) = 0;
    virtual TIoResult Write(std::span<const std::uint8_t> data) = 0;
    // Waits until the output queue has left the port (the line direction is keyed by DTR).
    // Never waits for ever: false when the bytes did not leave in the time they should take.
    virtual bool Drain() = 0;
    // Without waiting: whether everything written has left the line, as far as the port can
    // tell. A port that knows its bit rate never says so before the line time of what was
    // written has passed, whatever its queue reports.
    virtual bool Vyslano() { return OutQueue() <= 0; }
    // The kernel's RS-485 mode (the driver keys the transmitter itself); false, with
    // LastError(), when the adapter's driver refuses it.
    virtual bool NastavRs485(bool /*zapnuto*/) { return false; }
    // The descriptor to watch for incoming bytes; -1 when there is none to watch.
    virtual int Deskriptor() const { return -1; }
    // Modem lines; a port that has none (a pseudo-terminal) reports success and does nothing.
    virtual bool SetDTR(bool on) = 0;
    virtual bool SetRTS(bool on) = 0;
    // True once the device has gone away (hang-up); reads and writes then fail.
    virtual bool HungUp() const = 0;

    // The reason for the last failure, in Czech words, and its category.
    virtual const std::string& LastError() const = 0;
    virtual TChybaPortu LastErrorKind() const = 0;
};

std::unique_ptr<ISerialPort> MakePosixSerialPort();
