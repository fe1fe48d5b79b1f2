// norlink-bench: how fast the program reads a communicator. The program's logic (TMainLogika with
// its real link, serial driver and termios port) runs against the simulated communicator through a
// virtual adapter, its driver timer ticking every 40 ms and on every byte that arrives as the
// window's timer and socket notifier do, and a full settings read is timed under the conditions the
// field has: the device's pause before its next poll (--gap), the program's side paced as a serial
// line or bare (--pty), and an adapter that hands received bytes over at once or in batches
// (--batch, as the latency timer of a USB adapter). A measurement, not a test: it prints its
// figures beside the targets and exits 0 either way.
//
// The virtual adapter is a thread between two pseudo-terminals: the program's port on one, the
// simulator's on the other. What the program writes reaches the device at 4800 Bd (10 bits a byte)
// unless the side is bare; what the device sends reaches the program at once or at the next batch
// boundary.

#include "FakeOkno.h"
#include "ForwardingPort.h"
#include "KomunikacniLog.h"
#include "ScratchDir.h"
#include "Simulator.h"
#include "okno/MainLogika.h"
#include "stav/promenne.h"

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t k_PollBytes = 7;    // header and a two-byte data block
constexpr std::size_t k_AnswerBytes = 25; // header, control, address, 16 data bytes, checksum

// One condition of the field.
struct TPodminky {
    int Expandery = 1;
    std::chrono::milliseconds Gap{sim::TSimOptions{}.Gap};
    bool Pty = false;                   // the program's side bare: its bytes arrive at once
    std::chrono::milliseconds Davka{0}; // the adapter hands over received bytes in batches
};

struct TMoznosti {
    bool LogOkno = false; // the communication log window open, following the log
    std::chrono::milliseconds AnswerTimeout{sim::TSimOptions{}.AnswerTimeout};
    std::vector<TPodminky> Behy;
};

// The field, unless the options choose: both reads at every gap on a paced line and an adapter
// that delivers at once; the one-expander read also bare and through adapters that deliver in
// 1 ms and 16 ms batches (the eight-expander read takes minutes each).
std::vector<TPodminky> Pole(const std::vector<int>& expandery, const std::vector<int>& gapy,
                            const std::vector<bool>& strany, const std::vector<int>& davky,
                            bool vybrano) {
    std::vector<TPodminky> behy;
    for (const int n : expandery) {
        for (const int g : gapy) {
            for (const bool pty : strany) {
                for (const int d : davky) {
                    if (!vybrano && (pty || n > 1) && (d > 0 || n > 1) && (pty || d > 0)) {
                        continue;
                    }
                    behy.push_back(
                        {n, std::chrono::milliseconds(g), pty, std::chrono::milliseconds(d)});
                }
            }
        }
    }
    return behy;
}

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
    void HlidejVstup(int deskriptor) override { fVstup = deskriptor; }
    int Vstup() const { return fRunning ? fVstup : -1; }
    // Runs the tick at once, as the socket notifier does when the port has bytes.
    void RunNow() {
        auto tick = fTick;
        tick();
    }

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
    int fVstup = -1;
};

// The termios port, with every written byte recorded.
struct TZaznamPortu {
    std::vector<std::uint8_t> Odeslano;
    std::uint64_t Zapisy = 0;
};

class TPort final : public TForwardingPort {
public:
    explicit TPort(std::shared_ptr<TZaznamPortu> zaznam) : fZaznam(std::move(zaznam)) {}
    TIoResult Write(std::span<const std::uint8_t> data) override {
        const TIoResult r = Inner().Write(data);
        const auto vzato = data.first(std::min(r.Count, data.size()));
        fZaznam->Odeslano.insert(fZaznam->Odeslano.end(), vzato.begin(), vzato.end());
        ++fZaznam->Zapisy;
        return r;
    }

private:
    std::shared_ptr<TZaznamPortu> fZaznam;
};

// The virtual adapter: a pseudo-terminal for the program, relayed to the simulator's.
class TAdapter {
public:
    TAdapter(const std::string& zarizeni, const TPodminky& p) : fPodminky(p) {
        fMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        char name[128] = {};
        if (fMaster < 0 || ::grantpt(fMaster) != 0 || ::unlockpt(fMaster) != 0 ||
            ::ptsname_r(fMaster, name, sizeof name) != 0) {
            fChyba = std::strerror(errno);
            return;
        }
        fCesta = name;
        // The slave stays open here too, so the master never sees a hang-up between opens.
        fDrzeni = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        fZarizeni = ::open(zarizeni.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fDrzeni < 0 || fZarizeni < 0) {
            fChyba = std::strerror(errno);
            return;
        }
        termios tio{};
        for (const int fd : {fDrzeni, fZarizeni}) {
            ::tcgetattr(fd, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
        fVlakno = std::thread([this] { Bez(); });
    }
    ~TAdapter() {
        fKonec = true;
        if (fVlakno.joinable()) {
            fVlakno.join();
        }
        for (const int fd : {fMaster, fDrzeni, fZarizeni}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    TAdapter(const TAdapter&) = delete;
    TAdapter& operator=(const TAdapter&) = delete;

    bool Ok() const { return fChyba.empty(); }
    const std::string& Chyba() const { return fChyba; }
    const std::string& Cesta() const { return fCesta; }

private:
    void Bez() {
        const auto bajt = std::chrono::nanoseconds(10'000'000'000LL / 4800);
        std::deque<std::uint8_t> kZarizeni;
        std::vector<std::uint8_t> kProgramu;
        auto dalsiBajt = TClock::now();
        const auto start = TClock::now();
        auto dalsiDavka = start + fPodminky.Davka;
        std::array<std::uint8_t, 512> buf{};
        while (!fKonec) {
            std::array<pollfd, 2> fds{{{fMaster, POLLIN, 0}, {fZarizeni, POLLIN, 0}}};
            ::poll(fds.data(), fds.size(), kZarizeni.empty() && kProgramu.empty() ? 5 : 0);
            const ssize_t zProgramu = ::read(fMaster, buf.data(), buf.size());
            if (zProgramu > 0) {
                kZarizeni.insert(kZarizeni.end(), buf.begin(), buf.begin() + zProgramu);
            }
            const ssize_t zZarizeni = ::read(fZarizeni, buf.data(), buf.size());
            if (zZarizeni > 0) {
                kProgramu.insert(kProgramu.end(), buf.begin(), buf.begin() + zZarizeni);
            }
            const auto ted = TClock::now();
            // Towards the device: byte by byte at the line rate, or all at once.
            while (!kZarizeni.empty() && (fPodminky.Pty || ted >= dalsiBajt)) {
                const std::uint8_t b = kZarizeni.front();
                if (::write(fZarizeni, &b, 1) != 1) {
                    break;
                }
                kZarizeni.pop_front();
                dalsiBajt = std::max(dalsiBajt, ted) + bajt;
            }
            if (!kZarizeni.empty() && !fPodminky.Pty) {
                std::this_thread::sleep_until(std::min(dalsiBajt, ted + 1ms));
            }
            // Towards the program: at once, or at the batch boundary.
            if (fPodminky.Davka.count() > 0) {
                if (ted < dalsiDavka) {
                    if (kZarizeni.empty()) {
                        std::this_thread::sleep_until(std::min(dalsiDavka, ted + 1ms));
                    }
                    continue;
                }
                while (dalsiDavka <= ted) {
                    dalsiDavka += fPodminky.Davka;
                }
            }
            if (!kProgramu.empty()) {
                const ssize_t n = ::write(fMaster, kProgramu.data(), kProgramu.size());
                if (n > 0) {
                    kProgramu.erase(kProgramu.begin(), kProgramu.begin() + n);
                }
            }
        }
    }

    TPodminky fPodminky;
    int fMaster = -1;
    int fDrzeni = -1;
    int fZarizeni = -1;
    std::string fCesta;
    std::string fChyba;
    std::atomic<bool> fKonec{false};
    std::thread fVlakno;
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
    std::vector<double> Zpozdeni;  // how late the driver's ticks ran, ms
    std::vector<double> Blokovani; // how long each tick that transmitted held the thread, ms
};

TVysledek Zmer(const TMoznosti& m, const TPodminky& p) {
    const int n = p.Expandery;
    TVysledek v;
    sim::TSimOptions o;
    o.Gap = p.Gap;
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
    TAdapter adapter(simulator.SlavePath(), p);
    if (!adapter.Ok()) {
        std::fprintf(stderr, "norlink-bench: %s\n", adapter.Chyba().c_str());
        simulator.Stop();
        return v;
    }
    TScratchDir dir("norlink-bench");
    std::ofstream(dir / "norlink.ini")
        << "[Porty]\nCOM2=" << adapter.Cesta() << "\n[ComPort]\nProgram=" << n << "\n";

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
    z.VytvorPort = [&] { return std::make_unique<TPort>(zaznam); };
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

    // How long a tick held the thread when it took part in a transmission: it keyed the line for
    // an answer, or wrote it.
    const auto vysila = [&] {
        return logika.Relace() != nullptr && logika.Relace()->Link().Com().Vysila();
    };
    const auto zmer = [&](const std::function<void()>& tik) {
        const std::uint64_t zapisy = zaznam->Zapisy;
        const bool drzelo = vysila();
        const auto t0 = TClock::now();
        tik();
        const bool vysilani = zaznam->Zapisy != zapisy || (!drzelo && vysila());
        if (vysilani && logika.BeziOperace()) {
            v.Blokovani.push_back(Ms(TClock::now() - t0));
        }
    };
    // The message loop: the port's bytes as they come, the timers when due, then what the logic
    // posted.
    const auto bez = [&](const std::function<bool()>& hotovo, TClock::duration limit) {
        const auto konec = TClock::now() + limit;
        while (!hotovo() && TClock::now() < konec) {
            TClock::time_point due = TClock::time_point::max();
            for (const TCasovac* c : casovace) {
                due = std::min(due, c->Due());
            }
            const auto ceka = std::chrono::ceil<std::chrono::milliseconds>(
                std::min(due, TClock::now() + 50ms) - TClock::now());
            pollfd port{driver->Vstup(), POLLIN, 0};
            const int ready = ::poll(&port, port.fd >= 0 ? 1 : 0,
                                     static_cast<int>(std::max<long long>(ceka.count(), 0)));
            if (ready > 0 && driver->Vstup() >= 0) {
                zmer([&] { driver->RunNow(); });
            }
            for (TCasovac* c : casovace) {
                std::optional<TClock::duration> late;
                zmer([&] { late = c->RunIfDue(TClock::now()); });
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

    const bool spojeno = bez([&] { return okno.LedChanges >= 2; }, 10s);
    if (!spojeno && logika.Log() != nullptr) {
        // What the link saw instead of polls, for whoever reads the figures.
        std::fprintf(stderr, "norlink-bench: no polls within 10 s; the log, newest first:\n");
        for (std::size_t i = 0; i < std::min<std::size_t>(logika.Log()->Count(), 12); ++i) {
            std::fprintf(stderr, "  %s\n", std::string((*logika.Log())[i].Message()).c_str());
        }
    }
    if (spojeno) {
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

void Vypis(const TPodminky& p, const TVysledek& v) {
    const int n = p.Expandery;
    const double bajt = 10.0 / 4800.0;
    const double gap = std::chrono::duration<double>(p.Gap).count();
    const double odpovedi = static_cast<double>(v.Odpovedi);
    const double linka = (static_cast<double>(v.BajtyPozadavku) + odpovedi * k_AnswerBytes) * bajt;
    // On the bare side the program's requests take no time on the line.
    const double pozadavky = p.Pty ? 0.0 : static_cast<double>(v.BajtyPozadavku) * bajt;
    const double simulator = pozadavky + odpovedi * ((k_AnswerBytes + k_PollBytes) * bajt + gap);
    const double vyzvy = odpovedi > 0 ? static_cast<double>(v.Vyzvy) / odpovedi : 0;
    const double median = Ms(v.Latence.Median);
    const double maximum = Ms(v.Latence.Max);
    const double blok =
        v.Blokovani.empty() ? 0.0 : *std::max_element(v.Blokovani.begin(), v.Blokovani.end());
    // Only an adapter that hands bytes over at once can answer within milliseconds.
    const bool hned = p.Davka.count() == 0;

    std::printf(
        "Full read of %d expander%s, gap %lld ms, program's side %s, adapter %s: %s, "
        "%llu answers\n",
        n, n == 1 ? "" : "s", static_cast<long long>(p.Gap.count()), p.Pty ? "bare" : "paced",
        hned ? "delivers at once" : (std::to_string(p.Davka.count()) + " ms batches").c_str(),
        v.Hotovo ? (v.Presne ? "complete, exact" : "complete, NOT EXACT") : "DID NOT END",
        static_cast<unsigned long long>(v.Odpovedi));
    std::printf("  wall time                          %9.3f s\n", v.Wall);
    std::printf("  line-rate bound                    %9.3f s  ratio %.3f  (requests %zu B + "
                "answers %llu B at 4800 Bd)\n",
                linka, v.Wall / linka, v.BajtyPozadavku,
                static_cast<unsigned long long>(v.Odpovedi * k_AnswerBytes));
    std::printf("  bound with the simulator's timing  %9.3f s  ratio %.3f  target <= 1.05  %s\n",
                simulator, v.Wall / simulator,
                hned ? Vysledek(v.Wall <= 1.05 * simulator) : "(batches add their delay)");
    std::printf("  polls per answered request         %9.3f    target <= 1.02  %s  (%llu polls)\n",
                vyzvy, p.Davka.count() <= 1 ? Vysledek(vyzvy <= 1.02) : "(batches)",
                static_cast<unsigned long long>(v.Vyzvy));
    std::printf("  poll-to-answer latency, ms         min %.1f  median %.1f  max %.1f  (%llu)  "
                "targets median <= 3 %s, max <= 10 %s\n",
                Ms(v.Latence.Min), median, maximum,
                static_cast<unsigned long long>(v.Latence.Count),
                hned ? Vysledek(median <= 3) : "-", hned ? Vysledek(maximum <= 10) : "-");
    std::printf("  GUI thread blocked per transmission, ms  median %.2f  max %.2f  target <= 3  "
                "%s\n",
                Median(v.Blokovani), blok, Vysledek(blok <= 3));
    const double lost = static_cast<double>(v.Vyzvy) - static_cast<double>(v.PrevzateVyzvy);
    std::printf("  checksum or discard lines in the log %llu  target 0  %s\n",
                static_cast<unsigned long long>(v.ChybyDat), Vysledek(v.ChybyDat == 0));
    std::printf("  where time goes: polls taken by the program %llu, lost %.0f; repeated requests "
                "%zu; driver ticks late median %.2f ms, max %.2f ms\n\n",
                static_cast<unsigned long long>(v.PrevzateVyzvy), lost, v.Opakovani,
                Median(v.Zpozdeni),
                v.Zpozdeni.empty() ? 0.0 : *std::max_element(v.Zpozdeni.begin(), v.Zpozdeni.end()));
    std::fflush(stdout);
}

bool Cislo(const char* text, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}

// A comma-separated list of numbers.
bool Seznam(const char* text, std::vector<int>& hodnoty) {
    hodnoty.clear();
    std::string t = text;
    std::size_t od = 0;
    while (od <= t.size()) {
        const std::size_t carka = std::min(t.find(',', od), t.size());
        long value = 0;
        if (!Cislo(t.substr(od, carka - od).c_str(), value)) {
            return false;
        }
        hodnoty.push_back(static_cast<int>(value));
        od = carka + 1;
    }
    return !hodnoty.empty();
}

} // namespace

int main(int argc, char** argv) {
    TMoznosti m;
    std::vector<int> expandery{1, 8};
    std::vector<int> gapy{0, 5, 20, 50};
    std::vector<bool> strany{false, true};
    std::vector<int> davky{0, 1, 16};
    bool vybrano = false; // the side or the adapter chosen: every combination asked for
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        long value = 0;
        if (a == "--pty" || a == "--paced") {
            strany = {a == "--pty"};
            vybrano = true;
        } else if (a == "--log-okno") {
            m.LogOkno = true;
        } else if (a == "--answer-timeout" && i + 1 < argc && Cislo(argv[i + 1], value)) {
            ++i;
            m.AnswerTimeout = std::chrono::milliseconds(value);
        } else if (a == "--gap" && i + 1 < argc && Seznam(argv[i + 1], gapy)) {
            ++i;
        } else if (a == "--batch" && i + 1 < argc && Seznam(argv[i + 1], davky)) {
            ++i;
            vybrano = true;
        } else if (a == "--expanders" && i + 1 < argc && Seznam(argv[i + 1], expandery) &&
                   std::ranges::all_of(expandery, [](int e) { return e >= 1 && e <= 8; })) {
            ++i;
        } else {
            std::fprintf(stderr,
                         "usage: norlink-bench [--pty | --paced] [--log-okno] [--gap MS,...] "
                         "[--batch MS,...] [--answer-timeout MS] [--expanders N,...]\n");
            return 2;
        }
    }
    m.Behy = Pole(expandery, gapy, strany, davky, vybrano);
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
                "at 4800 Bd through a virtual adapter (answer time-out %lld ms); the driver ticks "
                "every 40 ms and whenever the port has bytes. %zu conditions.\n\n",
                static_cast<long long>(m.AnswerTimeout.count()), m.Behy.size());
    std::fflush(stdout);
    for (const TPodminky& p : m.Behy) {
        Vypis(p, Zmer(m, p));
    }
    return 0;
}
