// The frame: checksums, header decoding, and the link's globals.
#include "telegramy.h"

std::uint8_t LastMesLength = 0;
bool Zapisuju = false;
std::uint8_t PocCyklu = 0;

std::uint8_t SpoctiCRC(const std::uint8_t* bytes, std::uint8_t count) {
    std::uint8_t sum = 0;
    for (std::uint8_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    return static_cast<std::uint8_t>(0x100 - sum);
}

void DekodujHlavickuTLG(const std::uint8_t* telegram, std::uint16_t& Adresa,
                        std::uint8_t& Odesilatel, std::uint8_t& DelkaDat, std::uint8_t& DruhTLG,
                        std::uint8_t& Zarizeni, bool& ZapisovyTLG) {
    Adresa = static_cast<std::uint16_t>(telegram[6] | (telegram[7] << 8));
    Odesilatel = telegram[2];
    const std::uint8_t delka = telegram[3] & 0x1F;
    // The length field counts the two address bytes too.
    DelkaDat = delka >= 2 ? static_cast<std::uint8_t>(delka - 2) : delka;
    DruhTLG = (telegram[3] >> 5) & 0x07;
    Zarizeni = (telegram[5] >> 5) & 0x03;
    ZapisovyTLG = (telegram[5] & 0x80) != 0;
}

bool DekodujHlavickuTLG(std::span<const std::uint8_t> telegram, THlavickaTLG& hlavicka) {
    if (telegram.size() < 8) {
        return false;
    }
    DekodujHlavickuTLG(telegram.data(), hlavicka.Adresa, hlavicka.Odesilatel, hlavicka.DelkaDat,
                       hlavicka.DruhTLG, hlavicka.Zarizeni, hlavicka.ZapisovyTLG);
    return true;
}
