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
// The keyed transmitter settles this long before the first byte, and stays keyed this long after
// the last byte has left the line.
constexpr auto k_OchranaPredVysilanim = std::chrono::milliseconds(2);
constexpr auto k_OchranaPoVysilani = std::chrono::milliseconds(2);
// How often the ticks look at a transmission that is ending.
constexpr auto k_KrokVysilani = std::chrono::milliseconds(1);

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
    // A transmission that is ending keeps the fast ticks; releasing the line restores the delay.
    if (Connected() && !fDrzi) {
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
    fOzvena.Ocekavej({});
    StartTimer();
    fTimer->HlidejVstup(fHandle->Deskriptor());
    return true;
}

void TSerialDriver::Disconnect() {
    fDrzi = false;
    fVyslanoOd.reset();
    fCekaNaZapis.clear();
    if (!Connected()) {
        return;
    }
    fTimer->HlidejVstup(-1);
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
    NastavSmerPortu();
    // The kernel raises DTR and RTS when a port is opened. Put both where the configuration
    // wants them: the line that keys the direction must stay low between transmissions.
    if (!fHandle->SetDTR(fEnableDTROnOpen)) {
        return false;
    }
    const bool rts = fSmerUcinny != TSmer::RTS && fHwFlow == THwFlowControl::hfNONERTSON;
    if (fHwFlow != THwFlowControl::hfRTSCTS && fSmerUcinny != TSmer::RS485 &&
        !fHandle->SetRTS(rts)) {
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
    const std::uint32_t sent = Zapis(data, timeoutMs);
    if (sent > 0 && Connected()) {
        WaitUntilSent(timeoutMs);
    }
    return sent;
}

std::uint32_t TSerialDriver::Zapis(std::span<const std::uint8_t> data, std::uint32_t timeoutMs) {
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

void TSerialDriver::SetSmer(TSmer value) {
    fSmer = value;
    ReapplySettings();
}

void TSerialDriver::NastavSmerPortu() {
    fVarovaniSmeru.clear();
    fSmerUcinny = fSmer;
    if (fSmer != TSmer::RS485) {
        // A port left in RS-485 mode by an earlier choice would key RTS behind our back; one
        // set up so by someone else is theirs.
        if (std::exchange(fRs485Zapnuto, false)) {
            fHandle->NastavRs485(false);
        }
        return;
    }
    fRs485Zapnuto = fHandle->NastavRs485(true);
    if (!fRs485Zapnuto) {
        fVarovaniSmeru = fHandle->LastError() + ". Směr linky proto řídí signál DTR.";
        fSmerUcinny = TSmer::DTR;
    }
}

bool TSerialDriver::Klicuje() const {
    return fSmerUcinny == TSmer::DTR || fSmerUcinny == TSmer::RTS;
}

void TSerialDriver::KlicujVysilac(bool on) {
    if (!Connected()) {
        return;
    }
    if (fSmerUcinny == TSmer::DTR) {
        fHandle->SetDTR(on);
    } else if (fSmerUcinny == TSmer::RTS) {
        fHandle->SetRTS(on);
    }
}

void TSerialDriver::VysliPoOchrane(std::span<const std::uint8_t> data) {
    if (!Connected() || !Klicuje()) {
        Vysli(data);
        return;
    }
    // The line is held from the keying on; a tick writes once the transmitter has settled, so the
    // caller's thread never waits for it.
    KlicujVysilac(true);
    fCekaNaZapis.assign(data.begin(), data.end());
    fZapisOd = fHodiny() + k_OchranaPredVysilanim;
    fDrzi = true;
    fVyslanoOd.reset();
    fTimer->Start(k_KrokVysilani, [this] { TimerWndProc(); });
}

std::uint32_t TSerialDriver::Vysli(std::span<const std::uint8_t> data) {
    const std::uint32_t sent = Zapis(data, fOutputTimeout);
    if (!Connected()) {
        return sent;
    }
    fOzvena.Ocekavej(data.first(sent));
    fDrzi = true;
    // The bytes' line time at 11 bits each (parity or a second stop bit), then the time-out.
    fLimitVysilani =
        fHodiny() + std::chrono::microseconds(11'000'000LL * sent / std::max(fBaudRateValue, 50U)) +
        std::chrono::milliseconds(fOutputTimeout);
    fVyslanoOd.reset();
    HlidejVysilani();
    if (fDrzi) {
        fTimer->Start(k_KrokVysilani, [this] { TimerWndProc(); });
    }
    return sent;
}

void TSerialDriver::HlidejVysilani() {
    if (!fDrzi) {
        return;
    }
    const auto ted = fHodiny();
    if (!fCekaNaZapis.empty()) {
        // More than the guard, as a busy wait on the millisecond clock would give.
        if (ted <= fZapisOd) {
            return;
        }
        const std::vector<std::uint8_t> data = std::exchange(fCekaNaZapis, {});
        Vysli(data);
        return;
    }
    // A transmitter that never reports empty (CTS held low) is released the output time-out
    // after its bytes should have left, so that the line is never held for good.
    if (!fVyslanoOd && (fHandle->Vyslano() || ted > fLimitVysilani)) {
        fVyslanoOd = ted;
    }
    if (fVyslanoOd && ted - *fVyslanoOd >= k_OchranaPoVysilani) {
        UvolniLinku();
    }
}

void TSerialDriver::NastavHodiny(THodiny hodiny) {
    fHodiny = hodiny ? std::move(hodiny) : THodiny(Clock::now);
}

void TSerialDriver::UvolniLinku() {
    KlicujVysilac(false);
    fDrzi = false;
    fVyslanoOd.reset();
    fCekaNaZapis.clear();
    StartTimer();
}

bool TSerialDriver::LinkaVolna() {
    HlidejVysilani();
    return !fDrzi;
}

void TSerialDriver::SetOnLinkaVolna(std::function<void()> handler) {
    fOnLinkaVolna = std::move(handler);
}

void TSerialDriver::TimerWndProc() {
    if (!Connected()) {
        return;
    }
    if (fDrzi) {
        HlidejVysilani();
        // The settled write may have found the port gone.
        if (!Connected()) {
            return;
        }
        if (!fDrzi && fOnLinkaVolna) {
            fOnLinkaVolna();
            if (!Connected()) {
                return;
            }
        }
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
        fPrijato.clear();
        fOzvena.Odfiltruj(std::span<const std::uint8_t>(fTempInBuffer.data(), got), fPrijato);
        if (!fPrijato.empty() && fOnReceiveData) {
            fOnReceiveData(*this, fPrijato);
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
