#pragma once
// One session with the communicator, as the window logic and norlink-cli both hold it: the
// communication log, the link on a port and the receive path behind it (pointed at by the globals
// ComLog and Komunikace while it lives); the one running operation, handed every answer; the watch
// on a device that stops polling; the lost port and, for the window, its return; and the Czech
// wording of port errors.

#include "okno/InfoForm.h"
#include "okno/Povoleni.h"
#include "operace/Operace.h"
#include "port/Prevodniky.h"
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
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view R_PortNeexistuje =
    "Daný sériový port neexistuje nebo se právě používá !";
inline constexpr std::string_view R_SpojeniZtraceno =
    "Spojení se sériovým portem bylo přerušeno (převodník byl odpojen?).";
inline constexpr std::string_view R_OpetPripojen = "Převodník je opět připojen: ";
inline constexpr std::string_view R_PrevodnikOdpojen = "Převodník byl odpojen: ";
inline constexpr std::string_view R_CekaNaPrevodnik = " (čeká se na převodník)";
inline constexpr std::string_view R_BrlttyBere =
    "Program brltty (obsluha Braillových řádků) si nejspíš zabral převodník, a port proto po "
    "připojení zmizí. Pokud Braillův řádek nepoužíváte, odinstalujte ho (sudo apt remove brltty), "
    "nebo vypněte jeho pravidlo (sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules); pak "
    "převodník odpojte a znovu připojte.";
inline constexpr std::string_view R_KomunikatorNeodpovida =
    "Komunikátor neodpovídá - zkontrolujte kabel a napájení";

// The dialog says the device is quiet when no poll came for this long while an operation runs.
inline constexpr std::chrono::seconds k_TichoPoVyzve{3};
// After a lost port the session looks this often whether its device is back.
inline constexpr std::chrono::milliseconds k_PohledNaNavrat{500};

// Why a port could not be opened, for the second line of the warning: the device that was tried,
// the reason and, by its category, what to do; brltty: brltty has taken the adapter. Czech only.
std::string PopisChybyPortu(const std::string& devicePath, const std::string& reason,
                            TChybaPortu pricina, bool brltty = false);
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
    // The lost port's device came back and was opened again; nothing was started on it. Unset:
    // the session does not look for it (norlink-cli ends on a lost port).
    std::function<void()> PoNavratu;
    // The machine's adapters. Default: the POSIX ones.
    std::function<std::unique_ptr<IPrevodniky>()> VytvorPrevodniky;
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
    // The port went away and the session looks for its device (PoNavratu set); opening a port
    // ends the wait, unless that open failed on the same device.
    bool CekaNaNavrat() const { return fHledany.has_value(); }
    // The driver's last error in Czech, with what to do.
    std::string PopisChyby() const;

    TSpusteni Spust(std::unique_ptr<IOperace> operace, TPoKonci poKonci);
    bool BeziOperace() const { return fOperace != nullptr; }
    // Cancels the running operation, if any.
    void Zrus();
    // One look of the watch, and every k_PohledNaNavrat one for a lost port's device; the owner
    // calls it from its timer or loop.
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
    using TNazevPortu = std::function<void(TKomunikace&)>;
    bool Otevri(TNazevPortu nazev, const TPortMap& mapa, std::uint32_t baud);
    // Opens the port the name gives with the last map and speed.
    bool Pripoj(const TNazevPortu& nazev);
    void HledejNavrat();
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
    std::unique_ptr<IPrevodniky> fPrevodniky;
    // How the port was last opened, to open it again.
    TNazevPortu fNazev;
    TPortMap fMapa;
    std::uint32_t fBaud = 0;
    // The device opened last, and the lost one being looked for.
    std::optional<TOtiskPrevodniku> fOtisk;
    std::optional<TOtiskPrevodniku> fHledany;
    TCasRelace fDalsiPohled{};
    TCasRelace fPosledniVyzva{};
    TCasRelace fPosledniOdpoved{};
    bool fTicho = false;
    std::string fPopisPredTichem;
    // A step posted after the driver's tick may run after the session has gone.
    std::shared_ptr<bool> fZije = std::make_shared<bool>(true);
};
