#pragma once
// The telegram format of the link to the communicator: bus addresses, frame constants, checksum,
// header decoding and the telegram as a value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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

// A request telegram as the operations see it.
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

// One telegram's bytes, from its sync byte.
class TTelegram {
public:
    TTelegram() = default;
    explicit TTelegram(std::span<const std::uint8_t> bajty) : fBajty(bajty.begin(), bajty.end()) {}

    std::span<const std::uint8_t> Bajty() const { return fBajty; }
    std::size_t Delka() const { return fBajty.size(); }
    // The request's fields; nothing when it is too short to hold header, control byte, address and
    // data checksum.
    std::optional<TZaznamFronty> Rozloz() const;

    friend bool operator==(const TTelegram&, const TTelegram&) = default;

private:
    std::vector<std::uint8_t> fBajty;
};

// A request telegram: header (kind 0, length field data + 2), control byte, address, data and data
// checksum. The caller keeps data within k_MaxPocetDatTLG.
TTelegram SestavTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t RidiciBajt,
                    std::uint16_t Adresa, std::span<const std::uint8_t> data);
