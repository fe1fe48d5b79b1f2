#pragma once
// The telegram link to the communicator: frame format, request builder and the link engine that
// answers each poll with at most one queued telegram.

#include "SerialDrv.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

// Bus addresses.
inline constexpr std::uint8_t PC = 63;
inline constexpr std::uint8_t MDM = 20;
inline constexpr std::uint8_t NORLINK = 20;
inline constexpr std::uint8_t PCServer = 55;
inline constexpr std::uint8_t PCKlient1 = 56;
inline constexpr std::uint8_t PCKlient7 = 62;
inline constexpr std::uint8_t SamostatnePC = 0;

// Frame.
inline constexpr std::uint8_t SyncByte = 0xA5;
inline constexpr std::uint8_t DelkaHlavickyTLG = 5;
inline constexpr std::uint8_t k_MinPocetBytuTLG = 7;
inline constexpr std::uint8_t Vyzva = 4; // kind of a poll

// Memory kinds and access.
inline constexpr std::uint8_t RAM = 0;
inline constexpr std::uint8_t EEPROM = 1;
inline constexpr std::uint8_t ZAZNAM = 2;
inline constexpr std::uint8_t HWSW = 3;
inline constexpr std::uint8_t Cteni = 0;
inline constexpr std::uint8_t Zapis = 1;

// Direction for PropustTelegram.
inline constexpr std::uint8_t Vysilani = 0;
inline constexpr std::uint8_t Prijem = 1;

inline constexpr std::size_t MaxOutputDataCount = 270;
inline constexpr std::size_t MaxDataOutCount = 255;
// The five-bit length field holds the data count + 2.
inline constexpr std::uint8_t k_MaxPocetDatTLG = 29;

// Checksum of count bytes: the covered bytes plus the result add up to 0 modulo 256.
std::uint8_t SpoctiCRC(const std::uint8_t* bytes, std::uint8_t count);

struct THlavickaTLG {
    std::uint16_t Adresa = 0;
    std::uint8_t Odesilatel = 0;
    std::uint8_t DelkaDat = 0;
    std::uint8_t DruhTLG = 0;
    std::uint8_t Zarizeni = 0;
    bool ZapisovyTLG = false;
};

// Reads bytes 2, 3, 5, 6 and 7 of a telegram that starts at its sync byte; checks nothing.
// The caller guarantees at least 8 readable bytes.
void DekodujHlavickuTLG(const std::uint8_t* telegram, std::uint16_t& Adresa,
                        std::uint8_t& Odesilatel, std::uint8_t& DelkaDat, std::uint8_t& DruhTLG,
                        std::uint8_t& Zarizeni, bool& ZapisovyTLG);
// The same on a byte view: false, with nothing filled, when it holds fewer than 8 bytes.
bool DekodujHlavickuTLG(std::span<const std::uint8_t> telegram, THlavickaTLG& hlavicka);

// A queued telegram as the operations see it.
struct TZaznamFronty {
    std::uint8_t Adresat = 0;
    std::uint8_t Zdroj = 0;
    std::uint8_t Akce = Cteni;  // Cteni or Zapis
    std::uint8_t TypPameti = 0; // RAM, EEPROM, ZAZNAM, HWSW
    std::uint8_t PocetDat = 0;  // the count the control byte announces
    std::uint16_t Adresa = 0;
    std::vector<std::uint8_t> Data; // the data bytes the telegram carries

    friend bool operator==(const TZaznamFronty&, const TZaznamFronty&) = default;
};

// Globals of the link.
extern std::uint8_t LastMesLength; // length of the telegram last built
extern bool Zapisuju;              // a write phase is running
extern std::uint8_t PocCyklu;      // poll cycle during a write phase: 1 or 2

class TKomunikace {
public:
    // Creates the queue and the driver; does not configure or open the port.
    explicit TKomunikace(std::unique_ptr<IPeriodicTimer> timer,
                         std::unique_ptr<ISerialPort> port = MakePosixSerialPort());
    ~TKomunikace();
    TKomunikace(const TKomunikace&) = delete;
    TKomunikace& operator=(const TKomunikace&) = delete;

    void Initialize();
    void NastavComPort(std::uint8_t PortNumber);
    bool NavazSpojeni(std::uint32_t ABaudRateValue);
    void NastavObsluhuPrijetiDat(TReceiveDataEvent Event);
    // Told of every transmission, with its bytes (the 0xFF prefix included), once they are out.
    using TOdeslanoEvent = std::function<void(std::span<const std::uint8_t> bytes)>;
    void NastavObsluhuOdeslani(TOdeslanoEvent Event) { fOdeslano = std::move(Event); }
    void NastavAdresoveLimity(std::uint16_t ALoAddressLimit, std::uint16_t AHiAddressLimit);

    // Answers one poll: sends the first queued telegram (the second during a write phase when
    // PocCyklu is 2), preceded by 0xFF and framed by DTR. The entry stays queued.
    void PosliData();
    // telegram: from its sync byte; count: bytes available there.
    bool PropustTelegram(std::span<const std::uint8_t> telegram, std::uint8_t ASmer,
                         std::uint8_t AFunkcePC);
    void SmazZaznamFronty();
    std::uint16_t ZjistiPocetPrvkuFronty() const;
    // Position 1..270 of the last transmission (1 = the 0xFF prefix); 255 outside.
    std::uint8_t CtiPosledniTLG(std::uint16_t position) const;
    // Busy-waits until more than ADelay ms have passed on the millisecond clock, unless a wait
    // has been set with NastavCekani.
    static void Delay(std::uint32_t ADelay);
    // Puts a wait in place of Delay's busy wait, for the whole program (nullptr: the busy wait),
    // so that a harness can run the link faster than the line.
    using TCekani = void (*)(std::uint32_t ms);
    static void NastavCekani(TCekani cekani);

    // Builder.
    void ZapisDoDataOutBuffer(std::uint8_t position, std::uint8_t value); // position 1..255
    void VytvorTLGDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                           std::uint8_t TypPameti, std::uint8_t Adresa);
    void VytvorTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                   std::uint8_t TypPameti, std::uint8_t Adresa);
    void VytvorTLGNewDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                              std::uint8_t TypPameti, std::uint16_t Adresa, std::uint8_t DelkaDat,
                              std::uint8_t Maska, std::uint8_t aAdresatTamis3);
    void VytvorTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                      std::uint8_t TypPameti, std::uint16_t Adresa, std::uint8_t DelkaDat,
                      std::uint8_t Maska, std::uint8_t aAdresatTamis3);
    bool KopirujTLGZBuffruDoFronty();

    // What operations see of the queue: its entries as telegrams, never its bytes.
    std::size_t PocetZaznamuFronty() const;
    // Entry `index` (0 = the head); nothing when there is no such entry or it is damaged.
    std::optional<TZaznamFronty> ZaznamFronty(std::size_t index) const;
    // Drops every queued telegram (an operation that ends early).
    void VyprazdniFrontu();
    // The write phase: the one place that sets and clears Zapisuju and PocCyklu.
    static void ZahajZapis();
    static void UkonciZapis();

    TSerialDriver& Com() { return *fCom; }
    const TSerialDriver& Com() const { return *fCom; }
    // Build/send area, 0-based: element 0 is position 1.
    const std::array<std::uint8_t, MaxOutputDataCount>& OutputBuffer() const {
        return fOutputBuffer;
    }

private:
    friend struct TKomunikaceTestAccess;

    // The builds; false when nothing was built (no table entry, too many data bytes).
    bool SestavTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                   std::uint8_t TypPameti, std::uint8_t Adresa);
    bool SestavTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                      std::uint8_t TypPameti, std::uint16_t Adresa, std::uint8_t DelkaDat);

    std::unique_ptr<TSerialDriver> fCom;
    std::vector<std::uint8_t> fZapisovaFronta;
    std::array<std::uint8_t, MaxOutputDataCount> fOutputBuffer{};
    std::array<std::uint8_t, MaxOutputDataCount> fPosledniTLG{};
    std::array<std::uint8_t, MaxDataOutCount> fDataOutBuffer{};
    std::uint16_t fLoAddressLimit = 0;
    std::uint16_t fHiAddressLimit = 0xFFFF;
    bool fKontrolujLimitOut = true;
    bool fToggleDTROnTransmit = true;
    TOdeslanoEvent fOdeslano;
};
