#include "Simulator.h"

#include "SimPty.h"

#include <algorithm>
#include <array>

namespace sim {

namespace {

constexpr auto kSlice = std::chrono::milliseconds(50);

void Merge(TFaultCounts& into, const TFaultCounts& from) {
    for (std::size_t i = 0; i < kFaultKinds; ++i) {
        into[i] += from[i];
    }
}

} // namespace

TSimulator::TSimulator(TSimOptions options, TSimMemory memory)
    : fOptions(std::move(options)), fFaults(fOptions.Faults), fScanner(kAddressDevice),
      fMemory(std::move(memory)) {
    fMemory.SetIdentification(kAddressHwTyp, fOptions.HwTyp);
    fMemory.SetIdentification(kAddressVerSw, fOptions.VerSw);
    fMemory.SetIdentification(kAddressVerHw, fOptions.VerHw);
}

TSimulator::~TSimulator() {
    Stop();
    if (fLine) {
        fLine->Close();
    }
}

bool TSimulator::OpenLine(std::string& error) {
    if (fLine) {
        fLine->Close();
    }
    auto pty = std::make_unique<TPseudoTerminal>();
    if (!pty->Open(fOptions.LinkPath, error)) {
        return false;
    }
    {
        const std::lock_guard lock(fMutex);
        fSlavePath = pty->SlavePath();
        ++fGeneration;
    }
    fLine = std::move(pty);
    fScanner.Clear();
    fPeerWasPresent = false;
    return true;
}

bool TSimulator::Open(std::string& error) {
    if (fLine && fLine->IsOpen()) {
        return true;
    }
    return OpenLine(error);
}

bool TSimulator::Start(std::string& error) {
    if (fThread.joinable()) {
        error = "already running";
        return false;
    }
    if (!Open(error)) {
        return false;
    }
    fThread = std::thread([this] { Run(); });
    return true;
}

void TSimulator::Stop() {
    RequestStop();
    if (fThread.joinable()) {
        fThread.join();
    }
}

void TSimulator::Run(const std::function<void()>& between) {
    const auto start = TClock::now();
    while (!fStopRequested.load()) {
        if (fOptions.TimeLimit.count() > 0 && TClock::now() - start >= fOptions.TimeLimit) {
            break;
        }
        if (RunCycle() == TCycle::Finished) {
            break;
        }
        if (between) {
            between();
        }
    }
    fFinished.store(true);
}

std::string TSimulator::SlavePath() const {
    const std::lock_guard lock(fMutex);
    return fSlavePath;
}

unsigned TSimulator::Generation() const {
    const std::lock_guard lock(fMutex);
    return fGeneration;
}

TSimStats TSimulator::Stats() const {
    const std::lock_guard lock(fMutex);
    TSimStats s = fStats;
    s.Latency = fLatency.Summary();
    return s;
}

TSimMemory TSimulator::Memory() const {
    const std::lock_guard lock(fMutex);
    return fMemory;
}

std::vector<std::uint8_t> TSimulator::ReadMemory(TMemoryKind kind, std::uint16_t address,
                                                 std::size_t count) const {
    const std::lock_guard lock(fMutex);
    return fMemory.Read(kind, address, count);
}

void TSimulator::WriteMemory(TMemoryKind kind, std::uint16_t address,
                             std::span<const std::uint8_t> data) {
    const std::lock_guard lock(fMutex);
    fMemory.Write(kind, address, data);
}

void TSimulator::Log(const std::string& text) {
    if (fLog) {
        fLog(text);
    }
}

void TSimulator::Sleep(TClock::duration d) {
    std::this_thread::sleep_for(std::min<TClock::duration>(d, kSlice));
}

void TSimulator::CountFault(TFault fault) {
    const std::lock_guard lock(fMutex);
    ++fStats.Faults[static_cast<std::size_t>(fault)];
}

TCycle TSimulator::RunCycle() {
    if (fStopRequested.load()) {
        return TCycle::Finished;
    }
    const auto now = TClock::now();
    const TFaultOptions& f = fOptions.Faults;

    if (!fLine || !fLine->IsOpen()) {
        if (!fUnplugged || !fUnpluggedUntil) {
            return TCycle::Finished;
        }
        if (now < *fUnpluggedUntil) {
            Sleep(*fUnpluggedUntil - now);
            return TCycle::Idle;
        }
        std::string error;
        if (!OpenLine(error)) {
            Log("cannot open a new pseudo-terminal: " + error);
            fLineFailed.store(true);
            return TCycle::Finished;
        }
        fUnplugged = false;
        fUnpluggedUntil.reset();
        Log("plugged in again: " + SlavePath());
        return TCycle::Idle;
    }

    if (fPausedUntil) {
        if (now < *fPausedUntil) {
            Listen(std::min(now + kSlice, *fPausedUntil), false);
            return fLine->IsOpen() ? TCycle::Idle : TCycle::Finished;
        }
        fPausedUntil.reset();
        fPollsSinceStop = 0;
        Log("polling again");
    }

    if (!fLine->PeerPresent()) {
        if (fPeerWasPresent) {
            Log("the program closed the port");
        }
        fPeerWasPresent = false;
        fScanner.Clear();
        Sleep(std::chrono::milliseconds(20));
        return TCycle::Idle;
    }
    if (!fPeerWasPresent) {
        fPeerWasPresent = true;
        Log("the program opened the port");
    }

    if (f.UnplugAfter > 0 && fPollsSinceUnplug >= f.UnplugAfter) {
        fLine->Close();
        fUnplugged = true;
        fPollsSinceUnplug = 0;
        CountFault(TFault::Unplug);
        if (f.UnplugFor.count() > 0) {
            fUnpluggedUntil = now + f.UnplugFor;
            Log("unplugged for " + std::to_string(f.UnplugFor.count()) + " ms");
            return TCycle::Idle;
        }
        fUnpluggedUntil.reset();
        Log("unplugged");
        return TCycle::Finished;
    }
    if (f.StopAfter > 0 && fPollsSinceStop >= f.StopAfter) {
        CountFault(TFault::StopPolling);
        if (f.StopFor.count() > 0) {
            fPausedUntil = now + f.StopFor;
            Log("polling stopped for " + std::to_string(f.StopFor.count()) + " ms");
        } else {
            fPausedUntil = TClock::time_point::max();
            Log("polling stopped");
        }
        return TCycle::Idle;
    }
    return PollCycle();
}

TCycle TSimulator::PollCycle() {
    // Traffic that came outside an answer window is not a request; the receiver starts afresh
    // with every transmission (the bus is half duplex).
    Listen(TClock::now(), false);
    fScanner.Clear();

    TFaultCounts faults{};
    std::vector<std::uint8_t> poll = BuildPoll();
    fFaults.Damage(poll, faults);
    const auto pollEnd = Transmit(poll);
    {
        const std::lock_guard lock(fMutex);
        ++fStats.Polls;
    }
    ++fPollsSinceStop;
    ++fPollsSinceUnplug;

    std::optional<TClock::time_point> firstByte;
    const std::optional<TRequest> request =
        Listen(pollEnd + fOptions.AnswerTimeout, true, &firstByte);
    if (request) {
        {
            const std::lock_guard lock(fMutex);
            fLatency.Add(std::chrono::duration_cast<std::chrono::microseconds>(
                firstByte.value_or(pollEnd) - pollEnd));
        }
        if (!request->Write && !fFaults.SkipAnswer(faults)) {
            Answer(*request);
        }
    }
    const std::vector<std::uint8_t> between = fFaults.Interleave(faults);
    {
        const std::lock_guard lock(fMutex);
        Merge(fStats.Faults, faults);
    }
    if (!between.empty()) {
        Transmit(between);
    }
    Listen(TClock::now() + fOptions.Gap, false);
    return fLine && fLine->IsOpen() ? TCycle::Polled : TCycle::Finished;
}

TClock::time_point TSimulator::Transmit(std::span<const std::uint8_t> bytes) {
    fScanner.Clear();
    if (fOptions.Fast) {
        fLine->Write(bytes);
        return TClock::now();
    }
    // 8N1: ten bits a byte.
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / fOptions.Baud);
    auto t = TClock::now();
    for (const std::uint8_t& b : bytes) {
        std::this_thread::sleep_until(t);
        if (!fLine->Write(std::span(&b, 1))) {
            break;
        }
        t += byteTime;
    }
    std::this_thread::sleep_until(t);
    // Writes that ran late end later than planned; latencies count from the real end.
    return std::max(t, TClock::now());
}

std::optional<TRequest> TSimulator::Listen(TClock::time_point deadline, bool inWindow,
                                           std::optional<TClock::time_point>* firstByte) {
    std::array<std::uint8_t, 256> buffer{};
    int extra = 0; // reads past the deadline while bytes keep coming, bounded against a flood
    for (;;) {
        if (!fLine || !fLine->IsOpen()) {
            return std::nullopt;
        }
        const auto now = TClock::now();
        const TLineRead r = fLine->Read(buffer, std::min(deadline, now + kSlice));
        if (r.Failed) {
            Log("the line failed");
            fLineFailed.store(true);
            fLine->Close();
            return std::nullopt;
        }
        if (r.Count > 0) {
            if (firstByte != nullptr && !*firstByte) {
                *firstByte = TClock::now();
            }
            fScanner.Feed(std::span(buffer).first(r.Count));
            std::optional<TRequest> taken;
            while (const auto event = fScanner.Next()) {
                if (event->Kind != TScanKind::Telegram) {
                    const std::lock_guard lock(fMutex);
                    ++fStats.BadFrames;
                    continue;
                }
                if (inWindow) {
                    taken = Take(event->Bytes);
                    if (taken) {
                        break;
                    }
                } else {
                    const std::lock_guard lock(fMutex);
                    ++fStats.RequestsIgnored; // outside an answer window
                }
            }
            {
                const std::lock_guard lock(fMutex);
                fStats.SkippedBytes = fScanner.SkippedBytes();
            }
            if (taken) {
                return taken;
            }
        }
        if (fStopRequested.load()) {
            return std::nullopt;
        }
        if (TClock::now() >= deadline && (r.Count < buffer.size() || ++extra > 16)) {
            return std::nullopt;
        }
    }
}

std::optional<TRequest> TSimulator::Take(std::span<const std::uint8_t> telegram) {
    std::optional<TRequest> request = DecodeRequest(telegram);
    const std::lock_guard lock(fMutex);
    if (!request || request->Source != kAddressPc || request->Kind != 0) {
        ++fStats.RequestsIgnored;
        return std::nullopt;
    }
    if (request->Write) {
        // A write must carry exactly the bytes its control byte announces.
        if (request->Memory == TMemoryKind::ZAZNAM && request->Count == request->Data.size()) {
            fMemory.Write(TMemoryKind::ZAZNAM, request->Address, request->Data);
            ++fStats.RequestsWrite;
            return request;
        }
        ++fStats.RequestsIgnored;
        return std::nullopt;
    }
    // A read may carry data (the program's 25-byte form); the count says what is wanted.
    if (fMemory.Holds(request->Memory) && request->Count <= kMaxDataBytes) {
        ++fStats.RequestsRead;
        return request;
    }
    ++fStats.RequestsIgnored;
    return std::nullopt;
}

void TSimulator::Answer(const TRequest& request) {
    std::vector<std::uint8_t> data;
    {
        const std::lock_guard lock(fMutex);
        data = fMemory.Read(request.Memory, request.Address, request.Count);
    }
    std::vector<std::uint8_t> answer =
        BuildDataTelegram(kAddressPc, kAddressDevice, request.Control, request.Address, data);
    TFaultCounts faults{};
    fFaults.Damage(answer, faults);
    {
        const std::lock_guard lock(fMutex);
        Merge(fStats.Faults, faults);
        ++fStats.Answers;
    }
    Transmit(answer);
}

} // namespace sim
