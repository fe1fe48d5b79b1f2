#include "spojeni/PrijemTLG.h"

#include <algorithm>
#include <string>

namespace {

constexpr char k_Hex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& text, std::uint8_t value) {
    text += k_Hex[value >> 4];
    text += k_Hex[value & 0x0F];
}

// Each byte as two upper-case hex digits followed by one space.
std::string HexDump(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        AppendHexByte(text, b);
        text += ' ';
    }
    return text;
}

std::uint8_t Sum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (const std::uint8_t b : bytes) {
        sum += b;
    }
    return static_cast<std::uint8_t>(sum);
}

bool IsFindDevice(std::uint8_t value) {
    return std::find(FindDevice.begin(), FindDevice.end(), value) != FindDevice.end();
}

} // namespace

TPrijemTLG::TPrijemTLG(TKomunikace& komunikace, IDekoderOdpovedi& dekoder, TComLog& log)
    : fKomunikace(komunikace), fDekoder(dekoder), fLog(log) {
    fKomunikace.NastavObsluhuOdeslani(
        [this](std::span<const std::uint8_t> bytes) { Log("Odeslany TLG:" + HexDump(bytes)); });
}

TPrijemTLG::~TPrijemTLG() {
    fKomunikace.NastavObsluhuOdeslani({});
}

TReceiveDataEvent TPrijemTLG::Obsluha() {
    return [this](TSerialDriver& sender, std::span<const std::uint8_t> data) {
        ComReceiveData(sender, data);
    };
}

void TPrijemTLG::Log(std::string_view text) {
    AddComLogMessage(fLog, text, TLogMessageKind::dev);
}

void TPrijemTLG::ComReceiveData(TSerialDriver& /*sender*/, std::span<const std::uint8_t> data) {
    fCOMBuffer.insert(fCOMBuffer.end(), data.begin(), data.end());
    // An adapter that hands over bytes in batches puts an answer and the next poll in one chunk:
    // each whole telegram is handled, or every such poll would go unanswered.
    while (ZpracujComBuffer() && !fCOMBuffer.empty()) {
    }
}

bool TPrijemTLG::ZpracujComBuffer() {
    const std::size_t len = fCOMBuffer.size();

    // The start: the first sync byte followed by our address. Below the shortest telegram the
    // start is taken at 0 without a search.
    std::size_t p = 0;
    if (len >= k_MinPocetBytuTLG) {
        p = len - 2;
        for (std::size_t i = 0; i + 3 <= len; ++i) {
            if (fCOMBuffer[i] == SyncByte && IsFindDevice(fCOMBuffer[i + 1])) {
                p = i;
                break;
            }
        }
    }

    if (len - p <= 4) {
        if (p + 2 == len) {
            if (fCOMBuffer[p] != SyncByte && fCOMBuffer[p + 1] != SyncByte) {
                fCOMBuffer.clear();
            } else if (len > fKomunikace.Com().InBufSize()) {
                // A sync byte among the last two may still begin a telegram, but nothing before
                // them can: the search has covered those. Without this the buffer grows without
                // bound on a stream whose chunks end in 0xA5.
                fCOMBuffer.erase(fCOMBuffer.begin(),
                                 fCOMBuffer.begin() + static_cast<std::ptrdiff_t>(p));
            }
        }
        return false;
    }

    const std::span<const std::uint8_t> fromStart(fCOMBuffer.data() + p, len - p);
    const auto header = fromStart.first(DelkaHlavickyTLG);
    const std::size_t delkaBloku = (header[3] & 0x1FU) + 2U;
    const std::uint8_t odesilatel = header[2] & 0x7FU;

    if (Sum(header) != 0) {
        std::string detail = "Pozice: " + std::to_string(p) + " Delka:" + std::to_string(len) +
                             "  " + HexDump(header);
        fCOMBuffer.clear();
        Log("Vadné CRC hlavicky,TLG zahozen");
        Log(detail);
        return false;
    }

    if (fromStart.size() - DelkaHlavickyTLG < delkaBloku) {
        return false;
    }

    const std::size_t delkaTLG = DelkaHlavickyTLG + delkaBloku;
    const auto telegram = fromStart.first(delkaTLG);
    if (Sum(telegram.subspan(DelkaHlavickyTLG)) != 0) {
        std::string dump = HexDump(telegram);
        if (fromStart.size() > delkaTLG) {
            dump += "  Next: ";
            AppendHexByte(dump, fromStart[delkaTLG]);
            dump += ' ';
            if (fromStart.size() > delkaTLG + 1) {
                AppendHexByte(dump, fromStart[delkaTLG + 1]);
            }
        }
        std::string sent;
        for (std::uint16_t pos = 1; pos <= fKomunikace.LastMesLength(); ++pos) {
            AppendHexByte(sent, fKomunikace.CtiPosledniTLG(pos));
            sent += ' ';
        }
        fCOMBuffer.clear();
        Log("Vadné CRC dat,TLG zahozen");
        Log("Vadny    TLG:" + dump);
        Log("Odeslany TLG:" + sent);
        return false;
    }

    // Zero behind the telegram, so that the header of a seven-byte telegram reads a defined
    // address high byte rather than a byte left over from an earlier telegram.
    fDekodBuffer.fill(0);
    const std::size_t kopie = std::min(delkaTLG, fDekodBuffer.size());
    std::copy_n(telegram.begin(), kopie, fDekodBuffer.begin());
    fCOMBuffer.erase(fCOMBuffer.begin(),
                     fCOMBuffer.begin() + static_cast<std::ptrdiff_t>(p + delkaTLG));

    const std::span<const std::uint8_t> dekod(fDekodBuffer.data(), kopie);
    // The filter reads the address at offsets 6 and 7: hand it at least those, zero-padded.
    const std::span<const std::uint8_t> proFiltr(fDekodBuffer.data(),
                                                 std::max<std::size_t>(kopie, 8));
    if (fKomunikace.PropustTelegram(proFiltr, Prijem, SamostatnePC)) {
        if (odesilatel == MDM) {
            DekodTLG(dekod);
        }
    } else {
        Log("TLG nepropusten");
    }
    return true;
}

void TPrijemTLG::DekodTLG(std::span<const std::uint8_t> telegram) {
    // The header fields lie within the first eight bytes; a shorter telegram reads zeros there.
    std::array<std::uint8_t, 8> hlavaBytes{};
    std::copy_n(telegram.begin(), std::min(telegram.size(), hlavaBytes.size()), hlavaBytes.begin());
    THlavickaTLG h;
    DekodujHlavickuTLG(hlavaBytes.data(), h.Adresa, h.Odesilatel, h.DelkaDat, h.DruhTLG, h.Zarizeni,
                       h.ZapisovyTLG);

    if (h.DruhTLG == Vyzva) {
        Log("Prisla vyzva");
        fLedIncoming = !fLedIncoming;
        fDekoder.PrepniLed(fLedIncoming);
        fKomunikace.PrislaVyzva();
        return;
    }

    Log("Prisly data");
    // Data from offset 8 up to the data checksum, and never more than the header announces.
    std::span<const std::uint8_t> data;
    if (telegram.size() > 9) {
        data = telegram.subspan(8, std::min<std::size_t>(telegram.size() - 9, h.DelkaDat));
    }
    switch (h.Zarizeni) {
    case RAM:
        fDekoder.DekodTLGRam(h, data);
        break;
    case EEPROM:
        fDekoder.DekodTLGEeprom(h, data);
        break;
    case ZAZNAM:
        fDekoder.DekodTLGZaznam(h, data);
        break;
    case HWSW:
        fDekoder.DekodTLGHWSW(h, data);
        break;
    default:
        break;
    }
}
