// Request telegrams: built into the send area and appended to the transmit queue.
#include "spojeni/Komunikace.h"
#include "telegram/modem.h"

#include <algorithm>

void TKomunikace::ZapisDoDataOutBuffer(std::uint8_t position, std::uint8_t value) {
    if (position >= 1) {
        fDataOutBuffer[position - 1u] = value;
    }
}

const TTelegram& TKomunikace::DoBuffru(const TTelegram& tlg) {
    const auto bajty = tlg.Bajty();
    std::copy(bajty.begin(), bajty.end(), fOutputBuffer.begin());
    fLastMesLength = static_cast<std::uint8_t>(bajty.size());
    return tlg;
}

std::optional<TTelegram> TKomunikace::SestavTLG(std::uint8_t Zdroj, std::uint8_t Adresat,
                                                std::uint8_t Akce, std::uint8_t TypPameti,
                                                std::uint8_t Adresa) {
    const auto polozka = NajdiPolozkuAdres(Adresat, Adresa);
    if (!polozka) {
        return std::nullopt;
    }
    // Only the low byte of the length goes into the telegram; every table length fits a telegram.
    const auto c = static_cast<std::uint8_t>(polozka->Delka);
    const std::uint8_t d = Akce == Zapis ? c : 0;
    // A read carries no data, yet its control byte still announces the count wanted.
    const auto ridici = static_cast<std::uint8_t>(128 * Akce + 32 * TypPameti + c);
    return DoBuffru(::SestavTLG(Zdroj, Adresat, ridici, polozka->Adresa,
                                std::span<const std::uint8_t>(fDataOutBuffer).first(d)));
}

std::optional<TTelegram> TKomunikace::SestavTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat,
                                                   std::uint8_t Akce, std::uint8_t TypPameti,
                                                   std::uint16_t Adresa, std::uint8_t DelkaDat) {
    // More data bytes than the five-bit length field can announce would give a frame that the
    // device misreads (the excess spills into the kind bits); build nothing instead.
    if (DelkaDat > k_MaxPocetDatTLG) {
        return std::nullopt;
    }
    const std::uint8_t n = DelkaDat;
    const auto ridici = static_cast<std::uint8_t>((Akce << 7) | (TypPameti << 5) | (n & 0x1F));
    // A read carries the data-out bytes as well: it is as long as a write of the same size.
    return DoBuffru(::SestavTLG(Zdroj, Adresat, ridici, Adresa,
                                std::span<const std::uint8_t>(fDataOutBuffer).first(n)));
}

std::optional<TTelegram> TKomunikace::VytvorTLGDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat,
                                                        std::uint8_t Akce, std::uint8_t TypPameti,
                                                        std::uint8_t Adresa) {
    return SestavTLG(Zdroj, Adresat, Akce, TypPameti, Adresa);
}

void TKomunikace::VytvorTLG(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                            std::uint8_t TypPameti, std::uint8_t Adresa) {
    if (SestavTLG(Zdroj, Adresat, Akce, TypPameti, Adresa)) {
        KopirujTLGZBuffruDoFronty();
    }
}

// Maska and aAdresatTamis3 concern other device families; every caller here passes 0, which
// leaves the telegram as it is.
std::optional<TTelegram>
TKomunikace::VytvorTLGNewDoBuffru(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                                  std::uint8_t TypPameti, std::uint16_t Adresa,
                                  std::uint8_t DelkaDat, std::uint8_t /*Maska*/,
                                  std::uint8_t /*aAdresatTamis3*/) {
    return SestavTLGNew(Zdroj, Adresat, Akce, TypPameti, Adresa, DelkaDat);
}

void TKomunikace::VytvorTLGNew(std::uint8_t Zdroj, std::uint8_t Adresat, std::uint8_t Akce,
                               std::uint8_t TypPameti, std::uint16_t Adresa, std::uint8_t DelkaDat,
                               std::uint8_t /*Maska*/, std::uint8_t /*aAdresatTamis3*/) {
    if (SestavTLGNew(Zdroj, Adresat, Akce, TypPameti, Adresa, DelkaDat)) {
        KopirujTLGZBuffruDoFronty();
    }
}

bool TKomunikace::KopirujTLGZBuffruDoFronty() {
    // Nothing built yet: an empty entry could never be sent and would block the queue.
    if (fLastMesLength < k_MinPocetBytuTLG) {
        return false;
    }
    fFronta.push_back(TDotaz{TTelegram(std::span(fOutputBuffer).first(fLastMesLength))});
    return true;
}

void TKomunikace::ZaradParZapisu(TTelegram zapis, TTelegram cteni) {
    fFronta.push_back(TParZapisu{std::move(zapis), std::move(cteni)});
}
