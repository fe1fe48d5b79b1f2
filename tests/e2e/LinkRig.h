#pragma once
// The program's device session, whole and real, on the one rig: TRelace with its TKomunikace and
// TSerialDriver on a POSIX port (recorded, see E2eWire.h) opened on the simulator's
// pseudo-terminal through the port map, the receive path with the communication log, and the
// program's own reads and writes (model/operace) on the two images, with the tests' fake window as
// dialog and boxes. The test thread pumps the driver's timer as the window's timer would.
//
//   TLinkRig rig(FastOptions(), SeededMemory(1));
//   ASSERT_TRUE(rig.Start(error)) << error;
//   ASSERT_TRUE(rig.Run(rig.CteniTelCisel(), 20s)) << rig.Describe();

#include "E2eRig.h"
#include "E2eWire.h"
#include "FakeOkno.h"
#include "operace/Cteni.h"
#include "operace/ZapisNastaveni.h"
#include "operace/ZapisTelCisel.h"
#include "port/Timer.h"
#include "relace/Relace.h"
#include "stav/promenne.h"

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// The COM number the rig maps to the simulator's pseudo-terminal, as norlink.ini would.
inline constexpr std::uint8_t kComNumber = 9;

// What the receive path logged, tallied tick by tick (the log keeps only the last 501 lines).
struct TLogTally {
    unsigned HeaderErrors = 0;
    unsigned DataErrors = 0;
    unsigned Refused = 0;
    unsigned Polls = 0;
    unsigned DataTelegrams = 0;
    std::vector<std::string> Errors; // the first few lines about discarded telegrams
};

class TLinkRig : public TE2eRig {
public:
    explicit TLinkRig(sim::TSimOptions options, sim::TSimMemory memory = {})
        : TE2eRig(std::move(options), std::move(memory)) {
        // Both images and the identification texts start empty in every test.
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
        HWTYP = VERSW = VERHW = TIdentText{};
    }
    ~TLinkRig() { Sim.Stop(); }

    bool Start(std::string& error) { return TE2eRig::Start(error) && Connect(error); }
    // Opens the session on the simulator's current pseudo-terminal.
    bool Connect(std::string& error) {
        if (!Relace.Otevri(kComNumber, {{kComNumber, Port()}}, 4800)) {
            error = Relace.PopisChyby();
            return false;
        }
        return true;
    }

    TKomunikace& Link() { return Relace.Link(); }
    TKontextOperace Kontext() {
        return {NORLINKRec, NORLINKRecNew, Relace.Link(), Okno, Okno.Info, Povoleni};
    }
    std::unique_ptr<IOperace> CteniTelCisel() {
        return std::make_unique<TCteniTelCisel>(Kontext());
    }
    std::unique_ptr<IOperace> CteniNastaveni(TRozsahCteni rozsah) {
        return std::make_unique<TCteniNastaveni>(Kontext(), rozsah);
    }
    std::unique_ptr<IOperace> ZapisTelCisel() {
        return std::make_unique<TZapisTelCisel>(Kontext());
    }
    std::unique_ptr<IOperace> ZapisNastaveni(int pocetExpanderu = 8) {
        return std::make_unique<TZapisNastaveni>(Kontext(), pocetExpanderu);
    }

    // Starts the operation through the session; true once it has started.
    bool Spust(std::unique_ptr<IOperace> operace) {
        Stav.reset();
        Vysledek.reset();
        return Relace.Spust(std::move(operace), [this](TStavOperace s, const TVysledekOperace& v) {
            Stav = s;
            Vysledek = v;
        }) == TSpusteni::Zahajena;
    }
    // Starts it and pumps until it has ended as it set out to.
    bool Run(std::unique_ptr<IOperace> operace, std::chrono::milliseconds limit,
             std::chrono::milliseconds period = kFastTick, const std::function<void()>& each = {}) {
        return Spust(std::move(operace)) &&
               RunUntil([this] { return !Relace.BeziOperace(); }, limit, period, each) &&
               Stav == TStavOperace::Hotovo;
    }
    // What a write ended with (nothing for a read).
    TZapsaneBloky Zapsano() const {
        const auto* z = Vysledek ? std::get_if<TZapsaneBloky>(&*Vysledek) : nullptr;
        return z ? *z : TZapsaneBloky{};
    }

    // One timer tick, then the steps the session posted. Counts a tick that put bytes on the line
    // without a poll having come in.
    bool Pump() {
        const unsigned polls = Polls;
        const std::size_t written = Wire->BytesWritten;
        // A poll that came while the line was still held is answered when it is released; an
        // answer keyed before this tick is written once the line has settled.
        const bool odlozeno = Relace.Link().CekaNaLinku() || Relace.Link().Com().Vysila();
        const bool ran = Timer->Pump();
        Okno.RunPlanned();
        if (Wire->BytesWritten != written && Polls == polls && !odlozeno) {
            ++UnsolicitedSends;
        }
        if (Polls != polls) {
            PollTickLateness.push_back(Late);
        }
        DrainLog();
        ++Ticks;
        return ran;
    }
    using TE2eRig::RunUntil;
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                  std::chrono::milliseconds period = kFastTick,
                  const std::function<void()>& each = {}) {
        return TE2eRig::RunUntil(done, limit, period, [&] {
            Pump();
            // A keyed answer is written by the driver's 1 ms ticks once the line has settled, as a
            // real timer would give them.
            for (int i = 0; i < 100 && Timer->Running() && Relace.Link().Com().ZapisCeka(); ++i) {
                std::this_thread::sleep_for(Timer->Period());
                Pump();
            }
            if (each) {
                each();
            }
        });
    }

    TParsedWire Sent() const { return ParseWire(*Wire); }

    // Everything worth seeing when a run fails.
    std::string Describe() {
        std::string d = DescribeSim();
        d += "\nlink: ticks " + std::to_string(Ticks) + ", polls taken " + std::to_string(Polls) +
             ", dialog at " + std::to_string(Okno.Info.Position) + " \"" + Okno.Info.Label +
             "\", queue " + std::to_string(Link().PocetZaznamuFronty()) + " entries, connected " +
             (Link().Com().Connected() ? "yes" : "no") + ", bytes written " +
             std::to_string(Wire->BytesWritten) + ", read " + std::to_string(Wire->BytesRead);
        d += "\nlog: header errors " + std::to_string(Tally.HeaderErrors) + ", data errors " +
             std::to_string(Tally.DataErrors) + ", refused " + std::to_string(Tally.Refused);
        for (const std::string& e : Tally.Errors) {
            d += "\n  " + e;
        }
        return d;
    }

    std::shared_ptr<TWire> Wire = std::make_shared<TWire>();
    TManualTimer* Timer = nullptr;
    TFakeOkno Okno;
    TPovoleni Povoleni;
    unsigned Polls = 0;
    // Times the lamp did not change state between two polls.
    unsigned LampNotToggled = 0;
    unsigned Losses = 0;
    // Times the session opened a lost port again by itself (it looks only when Hlidej is called).
    unsigned Returns = 0;
    TRelace Relace{Okno.Info, Povoleni, Zavislosti()};
    std::optional<TStavOperace> Stav;
    std::optional<TVysledekOperace> Vysledek;

    TLogTally Tally;
    unsigned Ticks = 0;
    unsigned UnsolicitedSends = 0;
    // For each tick that took a poll, how late it ran against the schedule of RunUntil.
    std::vector<std::chrono::microseconds> PollTickLateness;

private:
    bool fLamp = false;

    TZavislostiRelace Zavislosti() {
        TZavislostiRelace z;
        z.VytvorCasovac = [this] {
            auto timer = std::make_unique<TManualTimer>();
            Timer = timer.get();
            return timer;
        };
        z.VytvorPort = [this] { return std::make_unique<TRecordingPort>(Wire); };
        z.Naplanuj = [this](std::function<void()> krok) { Okno.Naplanuj(std::move(krok)); };
        z.Led = [this](bool zapnuto) {
            if (Polls > 0 && zapnuto == fLamp) {
                ++LampNotToggled;
            }
            fLamp = zapnuto;
            ++Polls;
        };
        z.PoZtrate = [this] { ++Losses; };
        z.PoNavratu = [this] { ++Returns; };
        return z;
    }

    void DrainLog() {
        TComLog& log = Relace.Log();
        // Oldest first.
        for (std::size_t i = log.Count(); i-- > 0;) {
            const std::string line(log[i].Message());
            const bool error = line.find("CRC") != std::string::npos ||
                               line.find("TLG:") != std::string::npos ||
                               line.find("Pozice:") != std::string::npos;
            if (line.find("Vadné CRC hlavicky,TLG zahozen") != std::string::npos) {
                ++Tally.HeaderErrors;
            } else if (line.find("Vadné CRC dat,TLG zahozen") != std::string::npos) {
                ++Tally.DataErrors;
            } else if (line.find("TLG nepropusten") != std::string::npos) {
                ++Tally.Refused;
            } else if (line.find("Prisla vyzva") != std::string::npos) {
                ++Tally.Polls;
            } else if (line.find("Prisly data") != std::string::npos) {
                ++Tally.DataTelegrams;
            }
            if (error && Tally.Errors.size() < 12) {
                Tally.Errors.push_back(line);
            }
        }
        log.Clear();
    }
};

} // namespace e2e
