// The link engine: driver set-up, the transmit queue and the answer to a poll.
#include "telegramy.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

TKomunikace::TKomunikace(std::unique_ptr<IPeriodicTimer> timer, std::unique_ptr<ISerialPort> port)
    : fCom(std::make_unique<TSerialDriver>(std::move(timer), std::move(port))) {}

TKomunikace::~TKomunikace() {
    fZapisovaFronta.clear();
    fCom->Disconnect();
}

void TKomunikace::Initialize() {
    fZapisovaFronta.clear();
    if (fCom->Connected()) {
        fCom->Disconnect();
    }
    fCom->SetBaudRateValue(4800);
    fCom->SetDataBits(TDataBits::db8BITS);
    // DTR keys the line direction: off except while a telegram goes out.
    fCom->SetEnableDTROnOpen(false);
    fCom->SetHwFlowControl(THwFlowControl::hfNONERTSON);
    fCom->SetInBufSize(2048);
    fCom->SetOutBufSize(2048);
    fCom->SetOutputTimeout(500);
    fCom->SetParity(TParity::ptNONE);
    fCom->SetPollingDelay(40);
    fCom->SetPortName("\\\\.\\COM2");
    fCom->SetStopBits(TStopBits::sb1BITS);
    fCom->SetSwFlowControl(TSwFlowControl::sfNONE);
    fKontrolujLimitOut = true;
    fToggleDTROnTransmit = true;
}

void TKomunikace::NastavComPort(std::uint8_t PortNumber) {
    if (PortNumber >= 1 && PortNumber <= 25) {
        fCom->SetPort(static_cast<TPortNumber>(PortNumber));
    } else {
        fCom->SetPortName("\\\\.\\COM" + std::to_string(PortNumber));
    }
}

bool TKomunikace::NavazSpojeni(std::uint32_t ABaudRateValue) {
    fCom->SetBaudRateValue(ABaudRateValue);
    fCom->Connect();
    return fCom->Connected();
}

void TKomunikace::NastavObsluhuPrijetiDat(TReceiveDataEvent Event) {
    fCom->SetOnReceiveData(std::move(Event));
}

void TKomunikace::NastavAdresoveLimity(std::uint16_t ALoAddressLimit,
                                       std::uint16_t AHiAddressLimit) {
    fLoAddressLimit = ALoAddressLimit;
    fHiAddressLimit = AHiAddressLimit;
}

void TKomunikace::PosliData() {
    const auto& fronta = fZapisovaFronta;
    if (fronta.empty()) {
        return;
    }
    // During a write phase the second poll of each cycle sends the read-back that follows the
    // write.
    std::size_t zacatek = 0;
    if (Zapisuju && PocCyklu == 2) {
        zacatek = 1u + fronta[0];
        if (zacatek >= fronta.size()) {
            return;
        }
    }
    const std::size_t k = fronta[zacatek];
    // A corrupt entry (no bytes, or more than the send area holds besides the 0xFF prefix) or an
    // incomplete one is not sent.
    if (k == 0 || k > MaxOutputDataCount - 1 || fronta.size() - zacatek - 1 < k) {
        return;
    }
    const auto entry = fronta.begin() + static_cast<std::ptrdiff_t>(zacatek + 1);
    std::copy(entry, entry + static_cast<std::ptrdiff_t>(k), fOutputBuffer.begin() + 1);

    const std::span<const std::uint8_t> tlg(fOutputBuffer.data() + 1, k);
    if (!PropustTelegram(tlg, Vysilani, SamostatnePC)) {
        fOutputBuffer = fPosledniTLG;
        return;
    }
    fOutputBuffer[0] = 0xFF;
    fPosledniTLG = fOutputBuffer;

    if (fToggleDTROnTransmit) {
        fCom->ToggleDTR(true);
        Delay(2);
    }
    const std::span<const std::uint8_t> vysilani(fOutputBuffer.data(), k + 1);
    fCom->SendData(vysilani);
    if (fToggleDTROnTransmit) {
        Delay(2);
        fCom->ToggleDTR(false);
    }
    if (fOdeslano) {
        fOdeslano(vysilani);
    }
    // The entry stays queued until its answer has been handled.
}

void TKomunikace::SmazZaznamFronty() {
    if (fZapisovaFronta.empty()) {
        return;
    }
    // A head entry announcing more bytes than are queued takes the rest with it.
    const std::size_t konec =
        std::min<std::size_t>(fZapisovaFronta.size(), 1u + fZapisovaFronta[0]);
    fZapisovaFronta.erase(fZapisovaFronta.begin(),
                          fZapisovaFronta.begin() + static_cast<std::ptrdiff_t>(konec));
}

std::uint16_t TKomunikace::ZjistiPocetPrvkuFronty() const {
    // Callers test only for an empty queue; a count past 65535 must not read as empty.
    if (fZapisovaFronta.size() > 0xFFFF) {
        return 0xFFFF;
    }
    return static_cast<std::uint16_t>(fZapisovaFronta.size());
}

std::uint8_t TKomunikace::CtiPosledniTLG(std::uint16_t position) const {
    if (position < 1 || position > MaxOutputDataCount) {
        return 255;
    }
    return fPosledniTLG[position - 1u];
}

namespace {
TKomunikace::TCekani gCekani = nullptr;
} // namespace

void TKomunikace::NastavCekani(TCekani cekani) {
    gCekani = cekani;
}

void TKomunikace::Delay(std::uint32_t ADelay) {
    if (gCekani != nullptr) {
        gCekani(ADelay);
        return;
    }
    // A busy wait, not a sleep: the line direction must switch within a few milliseconds.
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto limit = std::chrono::milliseconds(ADelay);
    while (Clock::now() - start <= limit) {
    }
}

namespace {

// Offsets of the entries in the queue: each is a length byte and that many telegram bytes. Stops
// at a damaged entry, which nothing after it can be told apart from.
std::vector<std::size_t> ZacatkyZaznamu(const std::vector<std::uint8_t>& fronta) {
    std::vector<std::size_t> zacatky;
    std::size_t at = 0;
    while (at < fronta.size()) {
        const std::size_t k = fronta[at];
        if (k == 0 || fronta.size() - at - 1 < k) {
            break;
        }
        zacatky.push_back(at);
        at += 1 + k;
    }
    return zacatky;
}

} // namespace

std::size_t TKomunikace::PocetZaznamuFronty() const {
    return ZacatkyZaznamu(fZapisovaFronta).size();
}

std::optional<TZaznamFronty> TKomunikace::ZaznamFronty(std::size_t index) const {
    const auto zacatky = ZacatkyZaznamu(fZapisovaFronta);
    if (index >= zacatky.size()) {
        return std::nullopt;
    }
    const std::size_t at = zacatky[index];
    const std::size_t k = fZapisovaFronta[at];
    // Header, control byte, address and the data checksum at least.
    if (k < k_MinPocetBytuTLG + 2) {
        return std::nullopt;
    }
    const std::uint8_t* tlg = fZapisovaFronta.data() + at + 1;
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

void TKomunikace::VyprazdniFrontu() {
    fZapisovaFronta.clear();
}

void TKomunikace::ZahajZapis() {
    PocCyklu = 0;
    Zapisuju = true;
}

void TKomunikace::UkonciZapis() {
    Zapisuju = false;
    PocCyklu = 0;
}
