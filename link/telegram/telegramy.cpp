// The frame: checksums, header decoding, building and reading a request.
#include "telegram/telegramy.h"

#include <algorithm>

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

std::optional<TZaznamFronty> TTelegram::Rozloz() const {
    const std::size_t k = fBajty.size();
    if (k < k_MinPocetBytuTLG + 2) {
        return std::nullopt;
    }
    const std::uint8_t* tlg = fBajty.data();
    TZaznamFronty zaznam;
    zaznam.Adresat = tlg[1];
    zaznam.Zdroj = tlg[2];
    zaznam.Akce = static_cast<std::uint8_t>(tlg[5] >> 7);
    zaznam.TypPameti = static_cast<std::uint8_t>((tlg[5] >> 5) & 0x03);
    zaznam.PocetDat = static_cast<std::uint8_t>(tlg[5] & 0x1F);
    zaznam.Adresa = static_cast<std::uint16_t>(tlg[6] | (tlg[7] << 8));
    zaznam.Data.assign(tlg + 8, tlg + k - 1);
    return zaznam;
}

TTelegram SestavTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t RidiciBajt,
                    std::uint16_t Adresa, std::span<const std::uint8_t> data) {
    const auto d = static_cast<std::uint8_t>(data.size());
    std::vector<std::uint8_t> tlg(9u + d);
    tlg[0] = SyncByte;
    tlg[1] = Adresat;
    tlg[2] = Zdroj;
    tlg[3] = static_cast<std::uint8_t>(d + 2);
    tlg[4] = SpoctiCRC(tlg.data(), 4);
    tlg[5] = RidiciBajt;
    tlg[6] = static_cast<std::uint8_t>(Adresa & 0xFF);
    tlg[7] = static_cast<std::uint8_t>(Adresa >> 8);
    std::copy(data.begin(), data.end(), tlg.begin() + 8);
    tlg[8u + d] = SpoctiCRC(&tlg[5], static_cast<std::uint8_t>(3 + d));
    return TTelegram(tlg);
}
