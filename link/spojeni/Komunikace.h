#pragma once
// The link engine: the transmit queue, its write phase and the answer to each poll with at most one
// queued telegram.

#include "port/SerialDrv.h"
#include "telegram/telegramy.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <variant>

// A request: sent on every poll until its answer has been handled.
struct TDotaz {
    TTelegram Tlg;
};

// A write and the read that confirms it: the first poll of each cycle sends the write, the second
// the read-back, until the pair is completed.
struct TParZapisu {
    TTelegram Zapis;
    TTelegram Cteni;
    std::uint8_t Opakovani = 0; // times the pair has been sent again
};

using TPolozkaFronty = std::variant<TDotaz, TParZapisu>;

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

    // A poll came: during a write phase the cycle moves on (1, 2, 1, ...), then PosliData answers.
    void PrislaVyzva();
    // Sends the head's telegram (a pair's read-back when PocCyklu is 2), preceded by 0xFF, the
    // transmitter keyed 2 ms before it; the driver releases the line when the bytes have left.
    // While the last transmission still holds the line, it goes when the line is released. The
    // entry stays queued.
    void PosliData();
    // A poll came while the last transmission still held the line: its answer goes on release.
    bool CekaNaLinku() const { return fOdlozeno; }
    // telegram: from its sync byte; count: bytes available there.
    bool PropustTelegram(std::span<const std::uint8_t> telegram, std::uint8_t ASmer,
                         std::uint8_t AFunkcePC);
    // Position 1..270 of the last transmission (1 = the 0xFF prefix); 255 outside.
    std::uint8_t CtiPosledniTLG(std::uint16_t position) const;

    // Builder. The DoBuffru forms build into the send area only and return what they built.
    void ZapisDoDataOutBuffer(std::uint8_t position, std::uint8_t value); // position 1..255
    std::optional<TTelegram> VytvorTLGDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat,
                                               std::uint8_t Akce, std::uint8_t TypPameti,
                                               std::uint8_t Adresa);
    void VytvorTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                   std::uint8_t TypPameti, std::uint8_t Adresa);
    std::optional<TTelegram> VytvorTLGNewDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat,
                                                  std::uint8_t Akce, std::uint8_t TypPameti,
                                                  std::uint16_t Adresa, std::uint8_t DelkaDat,
                                                  std::uint8_t Maska, std::uint8_t aAdresatTamis3);
    void VytvorTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                      std::uint8_t TypPameti, std::uint16_t Adresa, std::uint8_t DelkaDat,
                      std::uint8_t Maska, std::uint8_t aAdresatTamis3);
    // Queues the telegram last built as a request.
    bool KopirujTLGZBuffruDoFronty();
    // Queues a write with its read-back; while such a pair is at the head, a write phase runs.
    void ZaradParZapisu(TTelegram zapis, TTelegram cteni);
    // Length of the telegram last built.
    std::uint8_t LastMesLength() const { return fLastMesLength; }

    // What operations see of the queue: its entries as telegrams, never their bytes.
    std::size_t PocetZaznamuFronty() const;
    // Entry `index` (0 = the head) as the telegram it sends first (a pair's write); nothing when
    // there is no such entry or it is too short to be a request.
    std::optional<TZaznamFronty> ZaznamFronty(std::size_t index) const;
    // The read-back of the pair at the head; nothing outside a write phase.
    std::optional<TZaznamFronty> CteniParu() const;

    // The write phase: a write pair is at the head of the queue.
    bool Zapisuju() const;
    // Poll cycle of the pair at the head: 0 before its first poll, then 1 (write) or 2 (read-back).
    std::uint8_t PocCyklu() const { return fPocCyklu; }
    // Times the pair at the head has been sent again; 0 outside a write phase.
    std::uint8_t OpakovaniParu() const;

    // The awaited answer came: the head (a request, or a pair whole) leaves the queue.
    void SmazZaznamFronty();
    // The pair at the head is sent again from its write on the next poll.
    void OpakujPar();
    // Drops every queued telegram (an operation that ends early).
    void VyprazdniFrontu();

    TSerialDriver& Com() { return *fCom; }
    const TSerialDriver& Com() const { return *fCom; }
    // Build/send area, 0-based: element 0 is position 1.
    const std::array<std::uint8_t, MaxOutputDataCount>& OutputBuffer() const {
        return fOutputBuffer;
    }

private:
    friend struct TKomunikaceTestAccess;

    // The builds; nothing when nothing was built (no table entry, too many data bytes).
    std::optional<TTelegram> SestavTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                                       std::uint8_t TypPameti, std::uint8_t Adresa);
    std::optional<TTelegram> SestavTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat,
                                          std::uint8_t Akce, std::uint8_t TypPameti,
                                          std::uint16_t Adresa, std::uint8_t DelkaDat);
    // Puts a built telegram into the send area.
    const TTelegram& DoBuffru(const TTelegram& tlg);

    std::unique_ptr<TSerialDriver> fCom;
    std::deque<TPolozkaFronty> fFronta;
    std::uint8_t fPocCyklu = 0;
    std::uint8_t fLastMesLength = 0;
    std::array<std::uint8_t, MaxOutputDataCount> fOutputBuffer{};
    std::array<std::uint8_t, MaxOutputDataCount> fPosledniTLG{};
    std::array<std::uint8_t, MaxDataOutCount> fDataOutBuffer{};
    std::uint16_t fLoAddressLimit = 0;
    std::uint16_t fHiAddressLimit = 0xFFFF;
    bool fKontrolujLimitOut = true;
    bool fToggleDTROnTransmit = true;
    bool fOdlozeno = false; // a poll came while the line was still held
    TOdeslanoEvent fOdeslano;
};
