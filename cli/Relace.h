#pragma once
// One session with the communicator: the link of the window (TKomunikace with its serial driver,
// the receive path, the communication log) on the port given, and a small loop that runs one
// device operation at a time to its end. The loop ticks the driver's timer every 40 ms on the
// steady clock, as the window's timer does, so each tick reads what waits and the receive path
// answers a poll within that tick; it waits on a signalfd, so SIGINT and SIGTERM cancel at once.

#include "Konzole.h"
#include "okno/Povoleni.h"
#include "operace/Operace.h"
#include "port/SerialDrv.h"
#include "port/Timer.h"
#include "spojeni/ComLog.h"
#include "spojeni/DekoderOdpovedi.h"
#include "spojeni/Komunikace.h"
#include "spojeni/PrijemTLG.h"

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

// The driver's period: the window's timer.
inline constexpr std::chrono::milliseconds k_PeriodaTiku{40};
// As the window's watch: the progress line says so after 3 s without a poll.
inline constexpr std::chrono::seconds k_TichoPoVyzve{3};

class TRelace final : public IDekoderOdpovedi {
public:
    // limitOdpovedi: how long an operation may go without any answer before it is given up.
    TRelace(TKonzoleOkno& okno, std::chrono::milliseconds limitOdpovedi);
    ~TRelace() override;
    TRelace(const TRelace&) = delete;
    TRelace& operator=(const TRelace&) = delete;

    // Opens the port: a device path as given, or COMn through the port map (COMn ->
    // /dev/ttyS(n-1) unless the map says otherwise). False with the reason (Czech) in chyba.
    bool Otevri(const std::string& port, const TPortMap& mapa, std::uint32_t baud,
                std::string& chyba);
    // Runs the operation until it ends, is cancelled by a signal, goes unanswered or the port goes.
    TKonecOperace Proved(IOperace& operace);
    TKontextOperace Kontext();
    // A SIGINT or SIGTERM is waiting (it is taken, so this says true once per signal).
    bool PrisloZruseni();
    // Why the port went away, for the message (Czech).
    std::string PopisZtraty() const;
    TComLog& Log() { return fLog; }

    void DekodTLGRam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void DekodTLGEeprom(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void DekodTLGZaznam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void DekodTLGHWSW(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void PrepniLed(bool zapnuto) override;

private:
    using TClock = std::chrono::steady_clock;

    void Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                 std::span<const std::uint8_t> data);
    // Waits for the next tick or a signal; true when a signal came.
    bool Cekej(TClock::time_point dalsiTik);
    void Hlidej();

    TKonzoleOkno& fOkno;
    std::chrono::milliseconds fLimitOdpovedi;
    int fSignaly = -1;
    TComLog fLog;
    TManualTimer* fCasovac = nullptr; // owned by the driver
    std::unique_ptr<TKomunikace> fKomunikace;
    std::unique_ptr<TPrijemTLG> fPrijem;
    TPovoleni fPovoleni;
    IOperace* fOperace = nullptr;
    bool fZtraceno = false;
    TClock::time_point fPosledniVyzva{};
    TClock::time_point fPosledniOdpoved{};
    bool fTicho = false;
    std::string fPopisPredTichem;
};
