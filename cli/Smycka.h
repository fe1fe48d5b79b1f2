#pragma once
// norlink-cli's loop around the model's session (relace/Relace.h): it runs one device operation
// at a time to its end. It ticks the driver's timer on its period on the steady clock, as the
// window's timer does, and at once when the port has bytes, so the receive path answers a poll as
// soon as it has come; it waits on a signalfd, so SIGINT and SIGTERM cancel at once; it gives up
// an operation that goes without any answer for the response time limit.

#include "Konzole.h"
#include "okno/Povoleni.h"
#include "operace/Operace.h"
#include "port/Timer.h"
#include "relace/Relace.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

enum class TKonecOperace : std::uint8_t {
    Hotovo,          // completed
    NeniCoDelat,     // did not start: nothing to do (a write without differences)
    Nespustena,      // did not start for another reason (it has said why)
    Zrusena,         // SIGINT or SIGTERM
    Neodpovida,      // no answer for the time limit
    SpojeniZtraceno, // the port went away
};

// How an operation ended, and what it handed over (empty when it did not start).
struct TProvedeni {
    TKonecOperace Konec = TKonecOperace::Nespustena;
    TVysledekOperace Vysledek;
};

class TSmycka {
public:
    // limitOdpovedi: how long an operation may go without any answer before it is given up.
    TSmycka(TKonzoleOkno& okno, std::chrono::milliseconds limitOdpovedi);
    ~TSmycka();
    TSmycka(const TSmycka&) = delete;
    TSmycka& operator=(const TSmycka&) = delete;

    // Opens the port: a device path as given, or COMn through the port map (COMn ->
    // /dev/ttyS(n-1) unless the map says otherwise), the line direction keyed as smer says.
    // False with the reason (Czech) in chyba.
    bool Otevri(const std::string& port, const TPortMap& mapa, std::uint32_t baud, TSmer smer,
                std::string& chyba);
    // Why the port refused the direction mode asked for (Czech); empty when it took it.
    const std::string& VarovaniSmeru() { return fRelace.Link().Com().VarovaniSmeru(); }
    // Runs the operation until it ends, is cancelled by a signal, goes unanswered or the port goes.
    TProvedeni Proved(std::unique_ptr<IOperace> operace);
    TKontextOperace Kontext();
    // A SIGINT or SIGTERM is waiting (it is taken, so this says true once per signal).
    bool PrisloZruseni();
    // Why the port went away, for the message (Czech).
    std::string PopisZtraty() const;
    TComLog& Log() { return fRelace.Log(); }

private:
    using TClock = std::chrono::steady_clock;

    enum class TUdalost : std::uint8_t { Tik, Data, Signal };
    // Waits for the next tick, bytes on the port or a signal.
    TUdalost Cekej(TClock::time_point dalsiTik);

    TKonzoleOkno& fOkno;
    std::chrono::milliseconds fLimitOdpovedi;
    int fSignaly = -1;
    TManualTimer* fCasovac = nullptr; // owned by the driver
    TPovoleni fPovoleni;
    TRelace fRelace;
};
