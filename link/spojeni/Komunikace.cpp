// The link engine: driver set-up, the transmit queue with its write phase and the answer to a
// poll.
#include "spojeni/Komunikace.h"

#include <algorithm>
#include <string>
#include <utility>

TKomunikace::TKomunikace(std::unique_ptr<IPeriodicTimer> timer, std::unique_ptr<ISerialPort> port)
    : fCom(std::make_unique<TSerialDriver>(std::move(timer), std::move(port))) {
    fCom->SetOnLinkaVolna([this] {
        if (std::exchange(fOdlozeno, false)) {
            PosliData();
        }
    });
}

TKomunikace::~TKomunikace() {
    fCom->Disconnect();
}

void TKomunikace::Initialize() {
    VyprazdniFrontu();
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

namespace {

// The telegram an entry sends: a pair's read-back on the second poll of its cycle, else the first.
const TTelegram& Odesilany(const TPolozkaFronty& polozka, bool druhaVyzva) {
    if (const auto* par = std::get_if<TParZapisu>(&polozka)) {
        return druhaVyzva ? par->Cteni : par->Zapis;
    }
    return std::get<TDotaz>(polozka).Tlg;
}

} // namespace

void TKomunikace::PrislaVyzva() {
    if (Zapisuju()) {
        if (fPocCyklu == 2) {
            fPocCyklu = 0;
        }
        ++fPocCyklu;
    }
    PosliData();
}

void TKomunikace::PosliData() {
    if (fFronta.empty()) {
        return;
    }
    // The line goes one way at a time: while the last transmission still holds it, this one
    // waits for the driver to release it.
    if (!fCom->LinkaVolna()) {
        fOdlozeno = true;
        return;
    }
    fOdlozeno = false;
    const auto bajty = Odesilany(fFronta.front(), fPocCyklu == 2).Bajty();
    const std::size_t k = bajty.size();
    // An empty telegram, or one longer than the send area holds besides the 0xFF prefix, is not
    // sent.
    if (k == 0 || k > MaxOutputDataCount - 1) {
        return;
    }
    std::copy(bajty.begin(), bajty.end(), fOutputBuffer.begin() + 1);

    const std::span<const std::uint8_t> tlg(fOutputBuffer.data() + 1, k);
    if (!PropustTelegram(tlg, Vysilani, SamostatnePC)) {
        fOutputBuffer = fPosledniTLG;
        return;
    }
    fOutputBuffer[0] = 0xFF;
    fPosledniTLG = fOutputBuffer;

    // The keyed line settles for the 2 ms guard before the first byte; the driver's ticks wait
    // it out, so the caller's thread does not.
    const std::span<const std::uint8_t> vysilani(fOutputBuffer.data(), k + 1);
    if (fToggleDTROnTransmit) {
        fCom->VysliPoOchrane(vysilani);
    } else {
        fCom->Vysli(vysilani);
    }
    if (fOdeslano) {
        fOdeslano(vysilani);
    }
    // The entry stays queued until its answer has been handled.
}

std::uint8_t TKomunikace::CtiPosledniTLG(std::uint16_t position) const {
    if (position < 1 || position > MaxOutputDataCount) {
        return 255;
    }
    return fPosledniTLG[position - 1u];
}

std::size_t TKomunikace::PocetZaznamuFronty() const {
    return fFronta.size();
}

std::optional<TZaznamFronty> TKomunikace::ZaznamFronty(std::size_t index) const {
    if (index >= fFronta.size()) {
        return std::nullopt;
    }
    return Odesilany(fFronta[index], false).Rozloz();
}

std::optional<TZaznamFronty> TKomunikace::CteniParu() const {
    if (!Zapisuju()) {
        return std::nullopt;
    }
    return std::get<TParZapisu>(fFronta.front()).Cteni.Rozloz();
}

bool TKomunikace::Zapisuju() const {
    return !fFronta.empty() && std::holds_alternative<TParZapisu>(fFronta.front());
}

std::uint8_t TKomunikace::OpakovaniParu() const {
    return Zapisuju() ? std::get<TParZapisu>(fFronta.front()).Opakovani : 0;
}

void TKomunikace::SmazZaznamFronty() {
    if (!fFronta.empty()) {
        fFronta.pop_front();
    }
    fPocCyklu = 0;
}

void TKomunikace::OpakujPar() {
    if (auto* par = fFronta.empty() ? nullptr : std::get_if<TParZapisu>(&fFronta.front())) {
        ++par->Opakovani;
        fPocCyklu = 0;
    }
}

void TKomunikace::VyprazdniFrontu() {
    fFronta.clear();
    fPocCyklu = 0;
    fOdlozeno = false;
}
