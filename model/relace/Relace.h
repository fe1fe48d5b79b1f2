#pragma once
// One session with the communicator, as the window logic and norlink-cli both hold it: the
// communication log, the link on a port and the receive path behind it (pointed at by the globals
// ComLog and Komunikace while it lives); the one running operation, handed every answer; the watch
// on a device that stops polling; the lost port; and the Czech wording of port errors.

#include "okno/InfoForm.h"
#include "okno/Povoleni.h"
#include "operace/Operace.h"
#include "port/SerialDrv.h"
#include "port/SerialPort.h"
#include "port/Timer.h"
#include "spojeni/ComLog.h"
#include "spojeni/DekoderOdpovedi.h"
#include "spojeni/Komunikace.h"
#include "spojeni/PrijemTLG.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

inline constexpr std::string_view R_PortNeexistuje =
    "Daný sériový port neexistuje nebo se právě používá !";
inline constexpr std::string_view R_SpojeniZtraceno =
    "Spojení se sériovým portem bylo přerušeno (převodník byl odpojen?).";
inline constexpr std::string_view R_KomunikatorNeodpovida =
    "Komunikátor neodpovídá - zkontrolujte kabel a napájení";

// The dialog says the device is quiet when no poll came for this long while an operation runs.
inline constexpr std::chrono::seconds k_TichoPoVyzve{3};

// Why a port could not be opened, for the second line of the warning: the device that was tried,
// the reason and, by its category, what to do. Czech only.
std::string PopisChybyPortu(const std::string& devicePath, const std::string& reason,
                            TChybaPortu pricina);
// Status-bar panel 0: the port and its device, "COM2 – /dev/ttyUSB0", or "COM3 – nepřipojeno".
std::string PopisStavuPortu(std::int32_t comPortNo, const std::string& zarizeni, bool otevren);
// Appends the log's records to a file, oldest first, one per line; false when it cannot.
bool UlozComLog(const TComLog& log, const std::string& path);

using TCasRelace = std::chrono::steady_clock::time_point;

// What the session needs from its owner.
struct TZavislostiRelace {
    // The serial driver's timer (required).
    std::function<std::unique_ptr<IPeriodicTimer>()> VytvorCasovac;
    // The port layer. Default: the termios one.
    std::function<std::unique_ptr<ISerialPort>()> VytvorPort;
    // The watch's clock. Default: the steady clock.
    std::function<TCasRelace()> Hodiny;
    // Runs a step later, outside the serial driver's tick (required).
    std::function<void(std::function<void()>)> Naplanuj;
    // The incoming-traffic lamp was toggled by a poll.
    std::function<void(bool)> Led;
    // The running operation has started or taken an answer: what it changed may be drawn.
    std::function<void()> PoKroku;
    // The port went away; any running operation has ended already.
    std::function<void()> PoZtrate;
};

// What a started operation tells whoever started it when it has ended: how, and its result.
using TPoKonci = std::function<void(TStavOperace stav, const TVysledekOperace& vysledek)>;

enum class TSpusteni : std::uint8_t {
    Zahajena,    // it runs, or has ended already (its TPoKonci has been called)
    NeniCoDelat, // it did not start: there was nothing to do
    Nezahajena,  // it did not start: another runs, no port is open, or it has said why
};

class TRelace final : public IDekoderOdpovedi {
public:
    // info: the progress dialog the watch writes into; povoleni: the buttons an operation holds.
    TRelace(IInfoForm& info, TPovoleni& povoleni, TZavislostiRelace zavislosti);
    ~TRelace() override;
    TRelace(const TRelace&) = delete;
    TRelace& operator=(const TRelace&) = delete;

    // Opens the port anew (a running operation is cancelled first): COMn through the port map, or
    // a name as given (a device path, or "COMn"). False when it cannot; PopisChyby says why.
    bool Otevri(std::uint8_t comPortNo, const TPortMap& mapa, std::uint32_t baud);
    bool Otevri(const std::string& port, const TPortMap& mapa, std::uint32_t baud);
    bool PortOtevren() const { return fKomunikace->Com().Connected(); }
    // The last open failed or the port went away since.
    bool PortZtracen() const { return fZtraceno; }
    // The driver's last error in Czech, with what to do.
    std::string PopisChyby() const;

    TSpusteni Spust(std::unique_ptr<IOperace> operace, TPoKonci poKonci);
    bool BeziOperace() const { return fOperace != nullptr; }
    // Cancels the running operation, if any.
    void Zrus();
    // One look of the watch; the owner calls it from its timer or loop.
    void Hlidej();
    // When the last answer came (or the operation started), on the session's clock.
    TCasRelace PosledniOdpoved() const { return fPosledniOdpoved; }

    TKomunikace& Link() { return *fKomunikace; }
    TComLog& Log() { return fLog; }
    TPrijemTLG& Prijem() { return *fPrijem; }

    // Answers go to the running operation; with none running they are stale and dropped.
    void DekodTLGRam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void DekodTLGEeprom(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void DekodTLGZaznam(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void DekodTLGHWSW(const THlavickaTLG& hlavicka, std::span<const std::uint8_t> data) override;
    void PrepniLed(bool zapnuto) override;

private:
    bool Otevri(const std::function<void(TKomunikace&)>& nazev, const TPortMap& mapa,
                std::uint32_t baud);
    void Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                 std::span<const std::uint8_t> data);
    void PoKroku();
    // Releases an operation that has ended and tells its starter.
    void Dokonci();
    void SpojeniZtraceno();

    IInfoForm& fInfo;
    TPovoleni& fPovoleni;
    TZavislostiRelace fZavislosti;
    TComLog fLog;
    std::unique_ptr<TKomunikace> fKomunikace;
    std::unique_ptr<TPrijemTLG> fPrijem;
    std::unique_ptr<IOperace> fOperace;
    TPoKonci fPoKonci;
    bool fZtraceno = false;
    TCasRelace fPosledniVyzva{};
    TCasRelace fPosledniOdpoved{};
    bool fTicho = false;
    std::string fPopisPredTichem;
    // A step posted after the driver's tick may run after the session has gone.
    std::shared_ptr<bool> fZije = std::make_shared<bool>(true);
};
