#pragma once
// Writing 16-byte blocks as write pairs (the write of a block, then a read-back) and confirming
// them: the phone write and the settings write differ only in their rules. Either the read-back
// reads the block itself and its answer is compared at once (a different one repeats the pair),
// or it reads number 0's table entry, which says only that the pair arrived, and once the queue is
// empty a verification round reads each written block back and writes the differing ones again.
// What cannot be confirmed is named in a box at the end; the images and the grid are never
// touched.

#include "operace/Operace.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One block to write: its device address, its 16 bytes, and what to call it in a message.
struct TBlokZapisu {
    std::uint16_t Adresa = 0;
    std::array<std::uint8_t, k_NORLINKTlgSize> Data{};
    std::string Popis;
};

enum class TOvereniZapisu : std::uint8_t {
    // The pair reads its own block back and completes when the answer shows what was written;
    // otherwise the pair is sent again.
    HnedPoZapisu,
    // The pair reads back number 0's table entry and completes on any answer; a verification
    // round after the pairs compares, and the differing blocks go in another round of pairs.
    KolemOvereni,
};

// What differs between the writers.
struct TPravidlaZapisu {
    bool Cisla = false; // the result's kind: the phone numbers, else the settings
    TOvereniZapisu Overeni = TOvereniZapisu::HnedPoZapisu;
    // Sends of a block after its first: of its pair, or in further rounds.
    int Opakovani = 0;
    std::string_view TextZapisu;  // the dialog while the pairs go
    std::string_view TextOvereni; // the dialog during a verification round
    // The box's text from the labels of what was not written, each once, in order.
    std::string (*TextNezapsanych)(const std::vector<std::string>& popisy) = nullptr;
};

class TZapisBloku : public IOperace {
public:
    TZapisBloku(const TZapisBloku&) = delete;
    TZapisBloku& operator=(const TZapisBloku&) = delete;

    bool Start() override;
    TKrok Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                  std::span<const std::uint8_t> data) override;
    void Zrus() override;
    void SpojeniZtraceno() override { Zrus(); }
    TStavOperace Stav() const override { return fStav; }
    TVysledekOperace Vysledek() const override;

protected:
    TZapisBloku(const TKontextOperace& kontext, const TPravidlaZapisu& pravidla);

    // The blocks that differ, chosen when the write starts.
    virtual std::vector<TBlokZapisu> Vyber() const = 0;
    const TKontextOperace& Kontext() const { return fKontext; }

private:
    void ZapisPary();
    void Over();
    // The pair at the head completes: it leaves the queue; the queue empty ends the round.
    TKrok Dokonci();
    // The verification answer for the block at the head.
    TKrok Porovnej(std::uint16_t adresa, std::span<const std::uint8_t> data);
    TKrok Ukonci();

    TKontextOperace fKontext;
    TPravidlaZapisu fPravidla;
    std::vector<std::uint16_t> fAdresy;  // what the write set out to send
    std::vector<TBlokZapisu> fBloky;     // what this round writes
    std::vector<TBlokZapisu> fRozdilne;  // what this verification round found different
    std::vector<TBlokZapisu> fNezapsane; // given up
    std::size_t fHlava = 0;              // this round's block at the head of the queue
    int fKolo = 0;                       // further rounds so far
    bool fOveruje = false;
    TStavOperace fStav = TStavOperace::Bezi;
};
