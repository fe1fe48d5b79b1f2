// Request telegrams: built into the send area and appended to the transmit queue.
#include "modem.h"
#include "telegramy.h"

namespace {

// Header (offsets 0..4) of a telegram whose length field is `delka`; kind 0.
void ZapisHlavicku(std::span<std::uint8_t> tlg, std::uint8_t Zdroj, std::uint8_t Adresat,
                   std::uint8_t delka) {
    tlg[0] = SyncByte;
    tlg[1] = Adresat;
    tlg[2] = Zdroj;
    tlg[3] = delka;
    tlg[4] = SpoctiCRC(tlg.data(), 4);
}

} // namespace

void TKomunikace::ZapisDoDataOutBuffer(std::uint8_t position, std::uint8_t value) {
    if (position >= 1) {
        fDataOutBuffer[position - 1u] = value;
    }
}

bool TKomunikace::SestavTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                            std::uint8_t TypPameti, std::uint8_t Adresa) {
    const auto polozka = NajdiPolozkuAdres(Adresat, Adresa);
    if (!polozka) {
        return false;
    }
    // Only the low byte of the length goes into the telegram; every table length fits a telegram.
    const auto c = static_cast<std::uint8_t>(polozka->Delka);
    const bool zapis = Akce == Zapis;
    const std::uint8_t d = zapis ? c : 0;

    std::span<std::uint8_t> tlg(fOutputBuffer);
    // A read carries no data, yet its control byte still announces the count wanted.
    ZapisHlavicku(tlg, Zdroj, Adresat, static_cast<std::uint8_t>(d + 2));
    tlg[5] = static_cast<std::uint8_t>(128 * Akce + 32 * TypPameti + c);
    tlg[6] = static_cast<std::uint8_t>(polozka->Adresa & 0xFF);
    tlg[7] = static_cast<std::uint8_t>(polozka->Adresa >> 8);
    for (std::uint8_t i = 0; i < d; ++i) {
        tlg[8u + i] = fDataOutBuffer[i];
    }
    tlg[8u + d] = SpoctiCRC(&tlg[5], static_cast<std::uint8_t>(3 + d));
    LastMesLength = static_cast<std::uint8_t>(9 + d);
    return true;
}

bool TKomunikace::SestavTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                               std::uint8_t TypPameti, std::uint16_t Adresa,
                               std::uint8_t DelkaDat) {
    // More data bytes than the five-bit length field can announce would give a frame that the
    // device misreads (the excess spills into the kind bits); build nothing instead.
    if (DelkaDat > k_MaxPocetDatTLG) {
        return false;
    }
    const std::uint8_t n = DelkaDat;
    std::span<std::uint8_t> tlg(fOutputBuffer);
    ZapisHlavicku(tlg, Zdroj, Adresat, static_cast<std::uint8_t>(n + 2));
    tlg[5] = static_cast<std::uint8_t>((Akce << 7) | (TypPameti << 5) | (n & 0x1F));
    tlg[6] = static_cast<std::uint8_t>(Adresa & 0xFF);
    tlg[7] = static_cast<std::uint8_t>(Adresa >> 8);
    // A read carries the data-out bytes as well: it is as long as a write of the same size.
    for (std::uint8_t i = 0; i < n; ++i) {
        tlg[8u + i] = fDataOutBuffer[i];
    }
    tlg[8u + n] = SpoctiCRC(&tlg[5], static_cast<std::uint8_t>(3 + n));
    LastMesLength = static_cast<std::uint8_t>(9 + n);
    return true;
}

void TKomunikace::VytvorTLGDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                                    std::uint8_t TypPameti, std::uint8_t Adresa) {
    SestavTLG(Zdroj, Adresat, Akce, TypPameti, Adresa);
}

void TKomunikace::VytvorTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                            std::uint8_t TypPameti, std::uint8_t Adresa) {
    if (SestavTLG(Zdroj, Adresat, Akce, TypPameti, Adresa)) {
        KopirujTLGZBuffruDoFronty();
    }
}

// Maska and aAdresatTamis3 concern other device families; every caller here passes 0, which
// leaves the telegram as it is.
void TKomunikace::VytvorTLGNewDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                                       std::uint8_t TypPameti, std::uint16_t Adresa,
                                       std::uint8_t DelkaDat, std::uint8_t /*Maska*/,
                                       std::uint8_t /*aAdresatTamis3*/) {
    SestavTLGNew(Zdroj, Adresat, Akce, TypPameti, Adresa, DelkaDat);
}

void TKomunikace::VytvorTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                               std::uint8_t TypPameti, std::uint16_t Adresa, std::uint8_t DelkaDat,
                               std::uint8_t /*Maska*/, std::uint8_t /*aAdresatTamis3*/) {
    if (SestavTLGNew(Zdroj, Adresat, Akce, TypPameti, Adresa, DelkaDat)) {
        KopirujTLGZBuffruDoFronty();
    }
}

bool TKomunikace::KopirujTLGZBuffruDoFronty() {
    // Nothing built yet: an entry of length 0 could never be sent and would block the queue.
    if (LastMesLength < k_MinPocetBytuTLG) {
        return false;
    }
    fZapisovaFronta.push_back(LastMesLength);
    fZapisovaFronta.insert(fZapisovaFronta.end(), fOutputBuffer.begin(),
                           fOutputBuffer.begin() + LastMesLength);
    return true;
}
