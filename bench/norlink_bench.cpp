// norlink-bench: how fast the program reads a communicator. The program's logic (TMainLogika with
// its real link, serial driver and termios port) runs against the simulated communicator paced at
// 4800 Bd on a pseudo-terminal, its driver timer ticking every 40 ms as the window's QTimer does,
// and a full settings read of 1 and of 8 expanders is timed. A measurement, not a test: it prints
// its figures beside the targets and exits 0 either way.
//
// A pseudo-terminal delivers the program's bytes at once, where a serial line takes 2.08 ms for
// each. By default the port is therefore paced like a UART (each write leaves one byte every 10 bit
// times and returns when the last has left), so that the program blocks and the device receives
// as on a real line; --pty measures the bare pseudo-terminal.

#include "FakeOkno.h"
#include "ForwardingPort.h"
#include "KomunikacniLog.h"
#include "ScratchDir.h"
#include "Simulator.h"
#include "okno/MainLogika.h"
#include "stav/promenne.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t k_PollBytes = 7;    // header and a two-byte data block
constexpr std::size_t k_AnswerBytes = 25; // header, control, address, 16 data bytes, checksum

struct TMoznosti {
    bool Pty = false;
    bool LogOkno = false; // the communication log window open, following the log
    std::chrono::milliseconds Gap{sim::TSimOptions{}.Gap};
    std::chrono::milliseconds AnswerTimeout{sim::TSimOptions{}.AnswerTimeout};
    std::vector<int> Expandery{1, 8};
};

// The window's timer as Qt runs a Qt::PreciseTimer: the next expiry is computed before the tick
// runs, one period after the due one, or one period from now when that has passed already. A tick
// that blocks past its successor's time is thus followed at once by one more, not by a burst.
class TCasovac final : public IPeriodicTimer {
public:
    void Start(std::chrono::milliseconds period, std::function<void()> tick) override {
        fPeriod = period;
        fTick = std::move(tick);
        fDue = TClock::now() + period;
        fRunning = true;
    }
    void Stop() override { fRunning = false; }
    bool Running() const override { return fRunning; }
    std::chrono::milliseconds Period() const override { return fPeriod; }

    TClock::time_point Due() const { return fRunning ? fDue : TClock::time_point::max(); }
    // Runs the tick when due; returns how late it ran.
    std::optional<TClock::duration> RunIfDue(TClock::time_point now) {
        if (!fRunning || now < fDue) {
            return std::nullopt;
        }
        const TClock::duration late = now - fDue;
        fDue += fPeriod;
        if (fDue < now) {
            fDue = now + fPeriod;
        }
        auto tick = fTick;
        tick();
        return late;
    }

private:
    std::function<void()> fTick;
    std::chrono::milliseconds fPeriod{0};
    TClock::time_point fDue{};
    bool fRunning = false;
};

// The termios port, with every written byte recorded and, unless the line is the bare
// pseudo-terminal, paced at the line rate.
struct TZaznamPortu {
    std::vector<std::uint8_t> Odeslano;
};

class TPort final : public TForwardingPort {
public:
    TPort(std::shared_ptr<TZaznamPortu> zaznam, bool pacing)
        : fZaznam(std::move(zaznam)), fPacing(pacing) {}
    bool Configure(const TLineSettings& s) override {
        fBajt = std::chrono::nanoseconds(10'000'000'000LL / std::max<std::uint32_t>(s.BaudRate, 1));
        return Inner().Configure(s);
    }
    TIoResult Write(std::span<const std::uint8_t> data) override {
        if (!fPacing) {
            const TIoResult r = Inner().Write(data);
            Zaznamenej(data.first(std::min(r.Count, data.size())));
            return r;
        }
        TIoResult r;
        auto t = TClock::now();
        for (const std::uint8_t& b : data) {
            const TIoResult one = Inner().Write(std::span(&b, 1));
            if (one.Status != TIoStatus::Ok || one.Count == 0) {
                r.Status = one.Status;
                break;
            }
            Zaznamenej(std::span(&b, 1));
            ++r.Count;
            t += fBajt;
            std::this_thread::sleep_until(t);
        }
        return r;
    }

private:
    void Zaznamenej(std::span<const std::uint8_t> bytes) {
        fZaznam->Odeslano.insert(fZaznam->Odeslano.end(), bytes.begin(), bytes.end());
    }

    std::shared_ptr<TZaznamPortu> fZaznam;
    bool fPacing;
    std::chrono::nanoseconds fBajt{2'083'333};
};

// The transmissions in what the program wrote (0xFF, then one telegram each).
std::vector<std::vector<std::uint8_t>> Vysilani(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::vector<std::uint8_t>> out;
    for (std::size_t i = 0; i + 6 <= bytes.size();) {
        if (bytes[i] != 0xFF || bytes[i + 1] != 0xA5) {
            ++i;
            continue;
        }
        const std::size_t length = 1 + 5 + (bytes[i + 4] & 0x1FU) + 2;
        const std::size_t end = std::min(bytes.size(), i + length);
        out.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                         bytes.begin() + static_cast<std::ptrdiff_t>(end));
        i = end;
    }
    return out;
}

double Ms(TClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <typename T>
T Median(std::vector<T> v) {
    if (v.empty()) {
        return T{};
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct TVysledek {
    bool Hotovo = false;
    bool Presne = false;
    double Wall = 0;
    std::uint64_t Odpovedi = 0;
    std::uint64_t Vyzvy = 0;
    std::uint64_t PrevzateVyzvy = 0; // polls the program took (its log)
    std::uint64_t ChybyDat = 0;      // answers or polls it discarded
    std::size_t BajtyPozadavku = 0;  // each request once, 0xFF included
    std::size_t Opakovani = 0;       // transmissions repeating the one before
    sim::TLatencySummary Latence;
    std::vector<double> Zpozdeni; // how late the driver's ticks ran, ms
};

TVysledek Zmer(const TMoznosti& m, int n) {
    TVysledek v;
    sim::TSimOptions o;
    o.Gap = m.Gap;
    o.AnswerTimeout = m.AnswerTimeout;
    sim::TSimMemory pamet;
    std::uint32_t x = 0x12345678U + static_cast<std::uint32_t>(n);
    for (auto& b : pamet.Record()) {
        x = x * 1664525U + 1013904223U;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    sim::TSimulator simulator(o, pamet);
    std::string error;
    if (!simulator.Start(error)) {
        std::fprintf(stderr, "norlink-bench: %s\n", error.c_str());
        return v;
    }
    TScratchDir dir("norlink-bench");
    std::ofstream(dir / "norlink.ini")
        << "[Porty]\nCOM2=" << simulator.SlavePath() << "\n[ComPort]\nProgram=" << n << "\n";

    std::vector<TCasovac*> casovace;
    auto zaznam = std::make_shared<TZaznamPortu>();
    TMainZavislosti z;
    z.SlozkaProgramu = [d = dir.path().string() + "/"] { return d; };
    const auto casovac = [&casovace] {
        auto c = std::make_unique<TCasovac>();
        casovace.push_back(c.get());
        return c;
    };
    z.VytvorCasovac = casovac;
    z.VytvorHlidac = casovac;
    z.VytvorPort = [&] { return std::make_unique<TPort>(zaznam, !m.Pty); };
    TFakeOkno okno;
    TMainLogika logika(okno, z);
    logika.FormCreate();
    TCasovac* driver = casovace.at(0);
    std::unique_ptr<TKomunikacniLog> logOkno;
    if (m.LogOkno) {
        logOkno = std::make_unique<TKomunikacniLog>();
        logOkno->NastavLog(logika.Log());
        logOkno->show();
    }
    // Records are counted as they come (the log keeps the last 501), so the log stays whole for
    // the window.
    std::uint64_t videno = logika.Log() != nullptr ? logika.Log()->Zmeny() : 0;

    // The message loop: the timers when due, then what the logic posted.
    const auto bez = [&](const std::function<bool()>& hotovo, TClock::duration limit) {
        const auto konec = TClock::now() + limit;
        while (!hotovo() && TClock::now() < konec) {
            TClock::time_point due = TClock::time_point::max();
            for (const TCasovac* c : casovace) {
                due = std::min(due, c->Due());
            }
            std::this_thread::sleep_until(std::min(due, TClock::now() + 50ms));
            for (TCasovac* c : casovace) {
                const auto late = c->RunIfDue(TClock::now());
                if (late && c == driver && logika.BeziOperace()) {
                    v.Zpozdeni.push_back(Ms(*late));
                }
            }
            okno.RunPlanned();
            if (logOkno) {
                QCoreApplication::processEvents();
            }
            if (TComLog* log = logika.Log()) {
                const auto nove = std::min<std::uint64_t>(log->Zmeny() - videno, log->Count());
                videno = log->Zmeny();
                for (std::size_t i = 0; i < nove; ++i) {
                    const std::string_view t = (*log)[i].Message();
                    v.PrevzateVyzvy += t.find("Prisla vyzva") != std::string_view::npos ? 1 : 0;
                    v.ChybyDat += t.find("zahozen") != std::string_view::npos ? 1 : 0;
                }
            }
        }
        return hotovo();
    };

    if (bez([&] { return okno.LedChanges >= 2; }, 10s)) {
        v.PrevzateVyzvy = v.ChybyDat = 0;
        zaznam->Odeslano.clear();
        const sim::TSimStats pred = simulator.Stats();
        const auto start = TClock::now();
        logika.Btn_NactiExpanderyClick();
        v.Hotovo = bez([&] { return !logika.BeziOperace(); }, 30min);
        v.Wall = std::chrono::duration<double>(TClock::now() - start).count();
        const sim::TSimStats po = simulator.Stats();
        v.Odpovedi = po.Answers - pred.Answers;
        v.Vyzvy = po.Polls - pred.Polls;
        v.Latence = po.Latency;
        const auto vysilani = Vysilani(zaznam->Odeslano);
        for (std::size_t i = 0; i < vysilani.size(); ++i) {
            if (i > 0 && vysilani[i] == vysilani[i - 1]) {
                ++v.Opakovani;
            } else {
                v.BajtyPozadavku += vysilani[i].size();
            }
        }
        // The recipients of every expander read came back as the device holds them.
        v.Presne = v.Hotovo;
        for (std::size_t e = 0; e < static_cast<std::size_t>(n); ++e) {
            const auto a = static_cast<std::uint16_t>(0x0100 + 512 * e);
            const auto dev = pamet.Read(sim::TMemoryKind::ZAZNAM, a, 16);
            v.Presne = v.Presne && std::equal(dev.begin(), dev.end(),
                                              NORLINKRecNew.TelCislaPoruchaKom[e].begin());
        }
    }
    logika.FormClose();
    simulator.Stop();
    return v;
}

const char* Vysledek(bool splneno) {
    return splneno ? "PASS" : "MISS";
}

void Vypis(const TMoznosti& m, int n, const TVysledek& v) {
    const double bajt = 10.0 / 4800.0;
    const double gap = std::chrono::duration<double>(m.Gap).count();
    const double odpovedi = static_cast<double>(v.Odpovedi);
    const double linka = (static_cast<double>(v.BajtyPozadavku) + odpovedi * k_AnswerBytes) * bajt;
    // On the bare pseudo-terminal the program's requests take no time on the line.
    const double pozadavky = m.Pty ? 0.0 : static_cast<double>(v.BajtyPozadavku) * bajt;
    const double simulator = pozadavky + odpovedi * ((k_AnswerBytes + k_PollBytes) * bajt + gap);
    const double vyzvy = odpovedi > 0 ? static_cast<double>(v.Vyzvy) / odpovedi : 0;
    const double median = Ms(v.Latence.Median);
    const double maximum = Ms(v.Latence.Max);

    std::printf("Full read of %d expander%s: %s, %llu answers\n", n, n == 1 ? "" : "s",
                v.Hotovo ? (v.Presne ? "complete, exact" : "complete, NOT EXACT") : "DID NOT END",
                static_cast<unsigned long long>(v.Odpovedi));
    std::printf("  wall time                          %9.3f s\n", v.Wall);
    std::printf("  line-rate bound                    %9.3f s  ratio %.3f  (requests %zu B + "
                "answers %llu B at 4800 Bd)\n",
                linka, v.Wall / linka, v.BajtyPozadavku,
                static_cast<unsigned long long>(v.Odpovedi * k_AnswerBytes));
    std::printf("  bound with the simulator's timing  %9.3f s  ratio %.3f  target <= 1.15  %s"
                "  (%s + per answer a %zu-byte poll and the %lld ms gap)\n",
                simulator, v.Wall / simulator, Vysledek(v.Wall <= 1.15 * simulator),
                m.Pty ? "polls and answers at 4800 Bd, requests instant" : "all bytes at 4800 Bd",
                k_PollBytes, static_cast<long long>(m.Gap.count()));
    std::printf("  polls per answered request         %9.3f    target <= 1.02  %s  (%llu polls)\n",
                vyzvy, Vysledek(vyzvy <= 1.02), static_cast<unsigned long long>(v.Vyzvy));
    std::printf("  poll-to-answer latency, ms         min %.1f  median %.1f  max %.1f  (%llu)  "
                "targets median <= 25 %s, max <= 45 %s\n",
                Ms(v.Latence.Min), median, maximum,
                static_cast<unsigned long long>(v.Latence.Count), Vysledek(median <= 25),
                Vysledek(maximum <= 45));
    const double lost = static_cast<double>(v.Vyzvy) - static_cast<double>(v.PrevzateVyzvy);
    std::printf("  where time goes: polls taken by the program %llu, lost %.0f; discarded "
                "telegrams %llu; repeated requests %zu; driver ticks late median %.2f ms, max "
                "%.2f ms\n\n",
                static_cast<unsigned long long>(v.PrevzateVyzvy), lost,
                static_cast<unsigned long long>(v.ChybyDat), v.Opakovani, Median(v.Zpozdeni),
                v.Zpozdeni.empty() ? 0.0 : *std::max_element(v.Zpozdeni.begin(), v.Zpozdeni.end()));
    std::fflush(stdout);
}

bool Cislo(const char* text, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}

} // namespace

int main(int argc, char** argv) {
    TMoznosti m;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        long value = 0;
        if (a == "--pty") {
            m.Pty = true;
        } else if (a == "--log-okno") {
            m.LogOkno = true;
        } else if ((a == "--gap" || a == "--answer-timeout" || a == "--expanders") &&
                   i + 1 < argc && Cislo(argv[i + 1], value)) {
            ++i;
            if (a == "--gap") {
                m.Gap = std::chrono::milliseconds(value);
            } else if (a == "--answer-timeout") {
                m.AnswerTimeout = std::chrono::milliseconds(value);
            } else if (value >= 1 && value <= 8) {
                m.Expandery = {static_cast<int>(value)};
            }
        } else {
            std::fprintf(stderr, "usage: norlink-bench [--pty] [--log-okno] [--gap MS] "
                                 "[--answer-timeout MS] [--expanders N]\n");
            return 2;
        }
    }
    // The log window needs a display; without one it is drawn offscreen.
    if (m.LogOkno && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    std::unique_ptr<QApplication> app;
    if (m.LogOkno) {
        static int qtArgc = 1;
        static char qtName[] = "norlink-bench";
        static char* qtArgv[] = {qtName, nullptr};
        app = std::make_unique<QApplication>(qtArgc, qtArgv);
    }
    std::printf("%s", m.LogOkno ? "With the communication log window open.\n" : "");
    std::printf("NORLINK read benchmark: the program's link and settings read against norlink-sim "
                "at 4800 Bd on a pseudo-terminal (gap %lld ms, answer time-out %lld ms), driver "
                "tick 40 ms; the program's side %s.\n\n",
                static_cast<long long>(m.Gap.count()),
                static_cast<long long>(m.AnswerTimeout.count()),
                m.Pty ? "on the bare pseudo-terminal (its bytes arrive at once)"
                      : "paced as a serial line, 10 bits a byte");
    std::fflush(stdout);
    for (const int n : m.Expandery) {
        Vypis(m, n, Zmer(m, n));
    }
    return 0;
}
