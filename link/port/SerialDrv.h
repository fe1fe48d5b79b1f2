#pragma once
// TSerialDriver: one serial port, opened and configured, written with a time limit, read on a
// periodic timer and whenever the port has bytes (no reader thread). Each tick drains the input
// queue, takes out the echo of the program's own transmission and hands the rest to the receive
// handler in one call. A transmission keys the line direction and returns at once; the ticks drop
// the line when the bytes have left.

#include "port/Ozvena.h"
#include "port/SerialPort.h"
#include "port/Timer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class TPortNumber : std::uint8_t { pnCustom = 0, pnCOM1 = 1, pnCOM25 = 25 };
// Any value 1..25 is a valid TPortNumber (pnCOMn == n).

class TSerialDriver;
using TReceiveDataEvent =
    std::function<void(TSerialDriver& sender, std::span<const std::uint8_t> data)>;
// Called once when an open port disappears (USB adapter pulled, pseudo-terminal closed); the
// driver has closed the port before the call.
using TConnectionLostEvent = std::function<void(TSerialDriver& sender, const std::string& reason)>;

// COM number -> device path overrides (norlink.ini, section "Porty").
using TPortMap = std::map<unsigned, std::string>;

// Resolves a port name to a device path: "\\.\COMn" (also "COMn") -> the override for n when the
// map has one (an empty one: no device), else /dev/ttyS(n-1); COM0 has no default device. Any other
// name is a path as given. Returns an empty string when there is no device, with the reason in
// *why.
std::string ResolvePortName(const std::string& portName, const TPortMap& overrides,
                            std::string* why = nullptr);

class TSerialDriver {
public:
    // Defaults of a new driver: \\.\COM2, 9600 Bd, 8N1, RTS on, DTR on open, 2048/2048 queues,
    // 50 ms polling, 500 ms output time-out. The port stays closed.
    explicit TSerialDriver(std::unique_ptr<IPeriodicTimer> timer,
                           std::unique_ptr<ISerialPort> port = MakePosixSerialPort());
    ~TSerialDriver();
    TSerialDriver(const TSerialDriver&) = delete;
    TSerialDriver& operator=(const TSerialDriver&) = delete;

    // Ignored while connected.
    void SetPort(TPortNumber value);
    void SetPortName(const std::string& name);
    void SetPortMap(TPortMap map);
    void SetInBufSize(std::uint32_t size);  // clamped to 128..8192
    void SetOutBufSize(std::uint32_t size); // clamped to 128..8192

    // Applied at once while connected (ApplyCOMSettings, result ignored).
    void SetBaudRateValue(std::uint32_t value);
    void SetDataBits(TDataBits value);
    void SetStopBits(TStopBits value);
    void SetParity(TParity value);
    void SetHwFlowControl(THwFlowControl value);
    void SetSwFlowControl(TSwFlowControl value);

    void SetEnableDTROnOpen(bool value);
    // How the transmitter is keyed; applied at once while connected. When the port refuses the
    // kernel's RS-485 mode, DTR keys the line and VarovaniSmeru() says why.
    void SetSmer(TSmer value);
    TSmer Smer() const { return fSmer; }
    // The mode in use: the one asked for, or DTR when that was refused.
    TSmer UcinnySmer() const { return fSmerUcinny; }
    const std::string& VarovaniSmeru() const { return fVarovaniSmeru; }
    void SetOutputTimeout(std::uint16_t ms);
    void SetPollingDelay(std::uint16_t ms); // below 5 raised to 5; restarts a running timer
    void SetOnReceiveData(TReceiveDataEvent handler);
    void SetOnConnectionLost(TConnectionLostEvent handler);

    TPortNumber Port() const { return fPort; }
    const std::string& PortName() const { return fPortName; }
    std::uint32_t BaudRateValue() const { return fBaudRateValue; }
    TDataBits DataBits() const { return fDataBits; }
    TStopBits StopBits() const { return fStopBits; }
    TParity Parity() const { return fParity; }
    THwFlowControl HwFlow() const { return fHwFlow; }
    TSwFlowControl SwFlow() const { return fSwFlow; }
    std::uint32_t InBufSize() const { return fInBufSize; }
    std::uint32_t OutBufSize() const { return fOutBufSize; }
    std::uint16_t PollingDelay() const { return fPollingDelay; }
    bool EnableDTROnOpen() const { return fEnableDTROnOpen; }
    std::uint16_t OutputTimeout() const { return fOutputTimeout; }

    bool Connect();
    void Disconnect();
    bool Connected() const;
    bool ApplyCOMSettings();
    bool FlushBuffers(bool input, bool output);
    // 65535 while closed; otherwise OutBufSize less what waits in the output queue.
    std::uint16_t OutFreeSpace();
    // Writes as much as the port takes; ends when no byte moved for more than timeoutMs. Returns
    // once what was written has left the port (bounded by the same limit), so DTR may drop then.
    // A port found gone is closed and reported through the connection-lost event.
    std::uint32_t SendDataEx(std::span<const std::uint8_t> data, std::uint32_t timeoutMs);
    std::uint32_t SendData(std::span<const std::uint8_t> data);
    void ToggleDTR(bool on);

    // The transmission, never waiting for the line: VysliPoOchrane keys the transmitter (DTR or
    // RTS; Klicuje says whether a line is keyed) and the ticks write once it has settled for more
    // than 2 ms; without a keyed line it writes at once, as Vysli does. After the write the ticks
    // keep the transmitter keyed until the port says the bytes have left (never before their line
    // time), plus a 2 ms guard, then release it. LinkaVolna: no transmission holds the line.
    bool Klicuje() const;
    void VysliPoOchrane(std::span<const std::uint8_t> data);
    std::uint32_t Vysli(std::span<const std::uint8_t> data);
    bool LinkaVolna();
    void UvolniLinku();
    bool Vysila() const { return fDrzi; }
    // A keyed transmission waits for the line to settle before its first byte.
    bool ZapisCeka() const { return !fCekaNaZapis.empty(); }
    // The clock both guards of a transmission are timed on (nullptr: the steady clock); a harness
    // that steps time itself sets its own.
    using THodiny = std::function<std::chrono::steady_clock::time_point()>;
    void NastavHodiny(THodiny hodiny);
    // Called when a held line has been released by a tick.
    void SetOnLinkaVolna(std::function<void()> handler);
    // One timer tick: read what waits (at most InBufSize bytes), call the handler once; a port
    // found gone is closed and reported once.
    void TimerWndProc();

    // What the last Connect tried and why it failed (device path, the reason in Czech and its
    // category); after a lost connection, why it was lost. The path is empty when the name had no
    // device.
    const std::string& LastDevicePath() const { return fLastDevicePath; }
    const std::string& LastError() const { return fLastError; }
    TChybaPortu LastErrorKind() const { return fLastErrorKind; }
    // Set when an open port disappeared; cleared by the next successful Connect.
    bool ConnectionLost() const { return fConnectionLost; }

private:
    void StartTimer();
    void NastavSmerPortu();
    void KlicujVysilac(bool on);
    // Releases the line once the bytes have left and the guard has passed.
    void HlidejVysilani();
    std::uint32_t Zapis(std::span<const std::uint8_t> data, std::uint32_t timeoutMs);
    void ReapplySettings();
    void WaitUntilSent(std::uint32_t timeoutMs);
    // Closes the port and reports the loss once.
    void LoseConnection(const std::string& reason);

    std::unique_ptr<IPeriodicTimer> fTimer;
    std::unique_ptr<ISerialPort> fHandle;
    TPortNumber fPort = static_cast<TPortNumber>(2);
    std::string fPortName = "\\\\.\\COM2";
    TPortMap fPortMap;
    std::uint32_t fBaudRateValue = 9600;
    TDataBits fDataBits = TDataBits::db8BITS;
    TStopBits fStopBits = TStopBits::sb1BITS;
    TParity fParity = TParity::ptNONE;
    THwFlowControl fHwFlow = THwFlowControl::hfNONERTSON;
    TSwFlowControl fSwFlow = TSwFlowControl::sfNONE;
    std::uint32_t fInBufSize = 2048;
    std::uint32_t fOutBufSize = 2048;
    TReceiveDataEvent fOnReceiveData;
    TConnectionLostEvent fOnConnectionLost;
    std::uint16_t fPollingDelay = 50;
    bool fEnableDTROnOpen = true;
    std::uint16_t fOutputTimeout = 500;
    std::vector<std::uint8_t> fTempInBuffer = std::vector<std::uint8_t>(2048, 0);
    std::string fLastDevicePath;
    std::string fLastError;
    TChybaPortu fLastErrorKind = TChybaPortu::Zadna;
    bool fConnectionLost = false;
    TSmer fSmer = TSmer::DTR;
    TSmer fSmerUcinny = TSmer::DTR;
    std::string fVarovaniSmeru;
    bool fRs485Zapnuto = false; // this driver put the port into RS-485 mode
    bool fDrzi = false;
    std::chrono::steady_clock::time_point fLimitVysilani{};
    std::optional<std::chrono::steady_clock::time_point> fVyslanoOd;
    THodiny fHodiny = std::chrono::steady_clock::now;
    std::vector<std::uint8_t> fCekaNaZapis; // keyed, written once the transmitter has settled
    std::chrono::steady_clock::time_point fZapisOd{};
    std::function<void()> fOnLinkaVolna;
    TOzvena fOzvena;
    std::vector<std::uint8_t> fPrijato;
};
