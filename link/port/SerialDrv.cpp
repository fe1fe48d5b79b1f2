#include "port/SerialDrv.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t k_MinBufSize = 128;
constexpr std::uint32_t k_MaxBufSize = 8192;
constexpr std::uint16_t k_MinPollingDelay = 5;
constexpr std::uint16_t k_NotConnectedFreeSpace = std::numeric_limits<std::uint16_t>::max();
// How long a send waits before asking the port again when it took nothing.
constexpr auto k_SendRetryPause = std::chrono::milliseconds(1);

std::uint32_t ClampBufSize(std::uint32_t size) {
    return std::clamp(size, k_MinBufSize, k_MaxBufSize);
}

bool TimedOut(Clock::time_point since, std::uint32_t timeoutMs) {
    return Clock::now() - since > std::chrono::milliseconds(timeoutMs);
}

} // namespace

TSerialDriver::TSerialDriver(std::unique_ptr<IPeriodicTimer> timer,
                             std::unique_ptr<ISerialPort> port)
    : fTimer(std::move(timer)), fHandle(std::move(port)) {}

TSerialDriver::~TSerialDriver() {
    Disconnect();
}

void TSerialDriver::SetPort(TPortNumber value) {
    if (Connected()) {
        return;
    }
    fPort = value;
    if (value != TPortNumber::pnCustom) {
        fPortName = "\\\\.\\COM" + std::to_string(static_cast<unsigned>(value));
    }
}

void TSerialDriver::SetPortName(const std::string& name) {
    if (Connected()) {
        return;
    }
    fPort = TPortNumber::pnCustom;
    fPortName = name;
}

void TSerialDriver::SetPortMap(TPortMap map) {
    fPortMap = std::move(map);
}

void TSerialDriver::SetInBufSize(std::uint32_t size) {
    if (Connected()) {
        return;
    }
    fInBufSize = ClampBufSize(size);
    fTempInBuffer.assign(fInBufSize, 0);
}

void TSerialDriver::SetOutBufSize(std::uint32_t size) {
    if (Connected()) {
        return;
    }
    fOutBufSize = ClampBufSize(size);
}

void TSerialDriver::SetBaudRateValue(std::uint32_t value) {
    fBaudRateValue = value;
    ReapplySettings();
}

void TSerialDriver::SetDataBits(TDataBits value) {
    fDataBits = value;
    ReapplySettings();
}

void TSerialDriver::SetStopBits(TStopBits value) {
    fStopBits = value;
    ReapplySettings();
}

void TSerialDriver::SetParity(TParity value) {
    fParity = value;
    ReapplySettings();
}

void TSerialDriver::SetHwFlowControl(THwFlowControl value) {
    fHwFlow = value;
    ReapplySettings();
}

void TSerialDriver::SetSwFlowControl(TSwFlowControl value) {
    fSwFlow = value;
    ReapplySettings();
}

void TSerialDriver::SetEnableDTROnOpen(bool value) {
    fEnableDTROnOpen = value;
}

void TSerialDriver::SetOutputTimeout(std::uint16_t ms) {
    fOutputTimeout = ms;
}

void TSerialDriver::SetPollingDelay(std::uint16_t ms) {
    const std::uint16_t value = std::max(ms, k_MinPollingDelay);
    if (value == fPollingDelay) {
        return;
    }
    fPollingDelay = value;
    if (Connected()) {
        fTimer->Stop();
        StartTimer();
    }
}

void TSerialDriver::SetOnReceiveData(TReceiveDataEvent handler) {
    fOnReceiveData = std::move(handler);
}

void TSerialDriver::SetOnConnectionLost(TConnectionLostEvent handler) {
    fOnConnectionLost = std::move(handler);
}

bool TSerialDriver::Connect() {
    if (Connected()) {
        return true;
    }
    fLastError.clear();
    fLastErrorKind = TChybaPortu::Zadna;
    fLastDevicePath = ResolvePortName(fPortName, fPortMap, &fLastError);
    if (fLastDevicePath.empty()) {
        fLastErrorKind = TChybaPortu::BezZarizeni;
        return false;
    }
    if (!fHandle || !fTimer) {
        fLastError = "Chybí vrstva sériového portu";
        fLastErrorKind = TChybaPortu::Jina;
        return false;
    }
    if (!fHandle->Open(fLastDevicePath)) {
        fLastError = fHandle->LastError();
        fLastErrorKind = fHandle->LastErrorKind();
        fHandle->Close();
        return false;
    }
    if (!ApplyCOMSettings()) {
        fLastError = fHandle->LastError();
        fLastErrorKind = fHandle->LastErrorKind();
        fHandle->Close();
        return false;
    }
    // Reads and writes are non-blocking at the port layer, which stands for the 1 ms read and
    // 10 ms write time-outs of the original port set-up.
    fConnectionLost = false;
    StartTimer();
    return true;
}

void TSerialDriver::Disconnect() {
    if (!Connected()) {
        return;
    }
    fTimer->Stop();
    fHandle->Close();
}

bool TSerialDriver::Connected() const {
    return fHandle && fHandle->IsOpen();
}

bool TSerialDriver::ApplyCOMSettings() {
    if (!Connected()) {
        return false;
    }
    TLineSettings settings;
    settings.BaudRate = fBaudRateValue;
    settings.DataBits = fDataBits;
    settings.StopBits = fStopBits;
    settings.Parity = fParity;
    settings.HwFlow = fHwFlow;
    settings.SwFlow = fSwFlow;
    settings.EnableDTROnOpen = fEnableDTROnOpen;
    settings.InBufSize = fInBufSize;
    settings.OutBufSize = fOutBufSize;
    if (!fHandle->Configure(settings)) {
        return false;
    }
    // The kernel raises DTR and RTS when a port is opened. Put both where the configuration
    // wants them: DTR keys the line direction and must stay low between transmissions.
    if (!fHandle->SetDTR(fEnableDTROnOpen)) {
        return false;
    }
    if (fHwFlow != THwFlowControl::hfRTSCTS &&
        !fHandle->SetRTS(fHwFlow == THwFlowControl::hfNONERTSON)) {
        return false;
    }
    // The platform has no settable queue sizes; OutBufSize only bounds OutFreeSpace.
    return FlushBuffers(true, true);
}

bool TSerialDriver::FlushBuffers(bool input, bool output) {
    if (!Connected()) {
        return false;
    }
    return fHandle->Flush(input, output);
}

std::uint16_t TSerialDriver::OutFreeSpace() {
    if (!Connected()) {
        return k_NotConnectedFreeSpace;
    }
    // A failed query counts as an empty queue: the write that follows finds out what is wrong.
    const long queued = std::max(fHandle->OutQueue(), 0L);
    const long free = static_cast<long>(fOutBufSize) - queued;
    return static_cast<std::uint16_t>(
        std::clamp(free, 0L, static_cast<long>(k_NotConnectedFreeSpace)));
}

std::uint32_t TSerialDriver::SendDataEx(std::span<const std::uint8_t> data,
                                        std::uint32_t timeoutMs) {
    if (!Connected()) {
        return 0;
    }
    std::size_t sent = 0;
    auto lastProgress = Clock::now();
    while (sent < data.size()) {
        const std::size_t free = OutFreeSpace();
        std::size_t moved = 0;
        if (free > 0) {
            const auto chunk = data.subspan(sent, std::min(data.size() - sent, free));
            const TIoResult result = fHandle->Write(chunk);
            if (result.Status == TIoStatus::Interrupted) {
                LoseConnection(fHandle->LastError());
                return static_cast<std::uint32_t>(sent);
            }
            moved = std::min(result.Count, chunk.size());
        }
        if (moved > 0) {
            sent += moved;
            lastProgress = Clock::now();
            continue;
        }
        if (TimedOut(lastProgress, timeoutMs)) {
            break;
        }
        std::this_thread::sleep_for(k_SendRetryPause);
    }
    if (sent > 0) {
        WaitUntilSent(timeoutMs);
    }
    return static_cast<std::uint32_t>(sent);
}

std::uint32_t TSerialDriver::SendData(std::span<const std::uint8_t> data) {
    return SendDataEx(data, fOutputTimeout);
}

// The caller drops DTR right after a send, which turns the line around: the bytes must have
// left the port by then. The kernel queue is watched under the same no-progress limit as the
// writes; the port layer then waits, bounded, for the transmitter itself.
void TSerialDriver::WaitUntilSent(std::uint32_t timeoutMs) {
    auto lastProgress = Clock::now();
    long queued = fHandle->OutQueue();
    while (queued > 0) {
        if (TimedOut(lastProgress, timeoutMs)) {
            return;
        }
        std::this_thread::sleep_for(k_SendRetryPause);
        const long now = fHandle->OutQueue();
        if (now < queued) {
            lastProgress = Clock::now();
        }
        queued = now;
    }
    if (queued == 0) {
        fHandle->Drain();
    }
}

void TSerialDriver::ToggleDTR(bool on) {
    if (Connected()) {
        fHandle->SetDTR(on);
    }
}

void TSerialDriver::TimerWndProc() {
    if (!Connected()) {
        return;
    }
    const long queued = fHandle->InQueue();
    if (queued > 0) {
        const std::size_t count =
            std::min<std::size_t>(static_cast<std::size_t>(queued), fInBufSize);
        const TIoResult result = fHandle->Read(std::span(fTempInBuffer.data(), count));
        if (result.Status == TIoStatus::Interrupted) {
            LoseConnection(fHandle->LastError());
            return;
        }
        const std::size_t got = std::min(result.Count, count);
        if (got > 0 && fOnReceiveData) {
            fOnReceiveData(*this, std::span<const std::uint8_t>(fTempInBuffer.data(), got));
        }
        return;
    }
    // Nothing to read (or the count could not be had): a port that went away says so here.
    if (fHandle->HungUp()) {
        LoseConnection(fHandle->LastError());
    }
}

void TSerialDriver::StartTimer() {
    fTimer->Start(std::chrono::milliseconds(fPollingDelay), [this] { TimerWndProc(); });
}

void TSerialDriver::ReapplySettings() {
    if (Connected()) {
        ApplyCOMSettings();
    }
}

void TSerialDriver::LoseConnection(const std::string& reason) {
    Disconnect();
    fConnectionLost = true;
    // A copy: the handler may reconnect, which rewrites fLastError.
    const std::string why = reason.empty() ? "Zařízení bylo odpojeno" : reason;
    fLastError = why;
    fLastErrorKind = TChybaPortu::Neexistuje;
    if (fOnConnectionLost) {
        fOnConnectionLost(*this, why);
    }
}
