#pragma once
// The receive path: collects the bytes the serial driver reads, finds each telegram addressed to
// this program, checks it, passes it through the link's filter and dispatches it: a poll
// is answered through the link engine, a data telegram goes to the owner's decoder for its memory
// kind. Discarded telegrams and dispatches are written to the communication log.
//
// The owner (the main window) keeps the link engine, the decoder and the log alive for as long as
// this object lives and installs the handler with
//     Komunikace.NastavObsluhuPrijetiDat(prijem.Obsluha());

#include "port/SerialDrv.h"
#include "spojeni/ComLog.h"
#include "spojeni/DekoderOdpovedi.h"
#include "spojeni/Komunikace.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Destination bytes that may follow a sync byte at a telegram start: only this program.
inline constexpr std::array<std::uint8_t, 1> FindDevice{PC};
inline constexpr std::size_t k_DekodBufferSize = 256;
// Longest telegram: a five-byte header and a data block of 31 + 2 bytes.
inline constexpr std::size_t k_MaxDelkaTLG = DelkaHlavickyTLG + 31 + 2;

class TPrijemTLG {
public:
    // Logs every transmission of the link ("Odeslany TLG:" and its bytes) until destroyed.
    TPrijemTLG(TKomunikace& komunikace, IDekoderOdpovedi& dekoder, TComLog& log);
    ~TPrijemTLG();
    TPrijemTLG(const TPrijemTLG&) = delete;
    TPrijemTLG& operator=(const TPrijemTLG&) = delete;

    // The handler for NastavObsluhuPrijetiDat; it calls ComReceiveData on this object.
    TReceiveDataEvent Obsluha();

    // Appends the chunk to the receive buffer and handles every whole telegram in it. The sender
    // is not used.
    void ComReceiveData(TSerialDriver& sender, std::span<const std::uint8_t> data);
    // One pass: handles at most one telegram; true when it took one off the buffer's front.
    bool ZpracujComBuffer();
    // Dispatches one accepted telegram, given from its sync byte with exactly its own bytes.
    void DekodTLG(std::span<const std::uint8_t> telegram);

    const std::vector<std::uint8_t>& COMBuffer() const { return fCOMBuffer; }
    const std::array<std::uint8_t, k_DekodBufferSize>& DekodBuffer() const { return fDekodBuffer; }
    bool LedIncoming() const { return fLedIncoming; }

private:
    void Log(std::string_view text);

    TKomunikace& fKomunikace;
    IDekoderOdpovedi& fDekoder;
    TComLog& fLog;
    std::vector<std::uint8_t> fCOMBuffer;
    std::array<std::uint8_t, k_DekodBufferSize> fDekodBuffer{};
    bool fLedIncoming = false;
};
