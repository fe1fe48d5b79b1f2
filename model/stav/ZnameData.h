#pragma once
// Known data: for every 16-byte block of the configuration's record memory (the 16 phone numbers,
// the expander blocks, the input blocks), where the working image's bytes come from: the device
// (read since the last reset), the technician (typed or loaded from a file, every byte of the
// block), or nobody (unknown). A write never sends a block whose bytes are unknown, and the window
// shows unknown data empty rather than as the placeholder bytes the image holds.

#include "stav/AdresyPameti.h"
#include "stav/promenne.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TPuvod : std::uint8_t { Neznamy, Zarizeni, Technik };

// The configuration ends with the disconnect text of input 8 of expander 8 at 0x90FF.
inline constexpr std::uint32_t k_KonecKonfigurace = 0x9100;
inline constexpr std::size_t k_PocetBlokuKonfigurace = k_KonecKonfigurace / k_NORLINKTlgSize;

// A run of blocks, [Od, Do) in bytes of record memory.
struct TRozsahBloku {
    std::uint32_t Od = 0;
    std::uint32_t Do = 0;
    friend bool operator==(const TRozsahBloku&, const TRozsahBloku&) = default;
};

class TZnameData {
public:
    // Everything unknown.
    TZnameData() { fBloky.fill(TPuvod::Neznamy); }

    // The block holding address adresa; anything past the configuration is unknown.
    TPuvod Puvod(std::uint32_t adresa) const;
    bool Znamy(std::uint32_t adresa) const { return Puvod(adresa) != TPuvod::Neznamy; }
    // Every block touching [od, od + bajtu) is known.
    bool Znamy(std::uint32_t od, std::uint32_t bajtu) const;
    // Sets every block touching [od, od + bajtu).
    void Nastav(std::uint32_t od, std::uint32_t bajtu, TPuvod puvod);
    void NastavVse(TPuvod puvod) { fBloky.fill(puvod); }
    // The settings blocks (everything but the phone numbers).
    void NastavNastaveni(TPuvod puvod);
    // Where this says unknown, the state of other; elsewhere this one's.
    void DoplnZ(const TZnameData& other);

    bool VseZname() const;
    // The unknown blocks as runs in rising order.
    std::vector<TRozsahBloku> NeznameRozsahy() const;

    friend bool operator==(const TZnameData&, const TZnameData&) = default;

private:
    std::array<TPuvod, k_PocetBlokuKonfigurace> fBloky{};
};

// The blocks of the parts of the image, for the known-data rules (e expander, v input, 0-based).
inline constexpr std::uint32_t k_BajtuSeznamu = k_NORLINKTlgSize;
inline constexpr std::uint32_t k_BajtuTextu = 15 * k_NORLINKTlgSize;
std::uint32_t AdresaSeznamuExpanderu(std::size_t e, bool obnova);
std::uint32_t AdresaTextuExpanderu(std::size_t e, bool obnova);
std::uint32_t AdresaSeznamuVstupu(std::size_t e, std::size_t v, bool rozpojeni);
std::uint32_t AdresaTextuVstupu(std::size_t e, std::size_t v, bool rozpojeni);

// What a completed settings read makes known: all of the first n expanders, or expander e and its
// input v, each up to the device's read bound (the block at 0x7F00 is the last one read).
TZnameData PoCteniNastaveni(TZnameData znama, bool vse, int n, int e, int v);

// The part of the image (a phone number, a recipient list, a whole text) holding address adresa,
// copied from zdroj to cil. Texts go whole: their 15 blocks are read and written together.
void KopirujCast(TNORLINK& cil, const TNORLINK& zdroj, std::uint32_t adresa);
// Every part not wholly known in znama taken from zdroj: a loaded file's unknown parts become
// what the device image holds, so no write ever sends them.
void PrevezmiNezname(TNORLINK& cil, const TNORLINK& zdroj, const TZnameData& znama);

// What a write must have read first, for the box that refuses it: the first block among adresy
// that znama does not know, in words ("Nejdřív načtěte nastavení expanderu 2 z komunikátoru.");
// empty when every block is known.
std::string CoNacistNejdriv(const TZnameData& znama, const std::vector<std::uint16_t>& adresy);
