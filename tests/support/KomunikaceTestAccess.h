#pragma once
// The link's queue and poll cycle, for tests that check the telegrams queued or put a queue or a
// cycle in place. Production code sees the queue only through TKomunikace's typed view.

#include "spojeni/Komunikace.h"

#include <cstdint>
#include <deque>
#include <utility>
#include <variant>
#include <vector>

struct TKomunikaceTestAccess {
    static const std::deque<TPolozkaFronty>& Fronta(const TKomunikace& kom) { return kom.fFronta; }
    // Every queued telegram's bytes in queue order, a pair's write before its read-back.
    static std::vector<std::vector<std::uint8_t>> Telegramy(const TKomunikace& kom) {
        std::vector<std::vector<std::uint8_t>> out;
        const auto pridej = [&out](const TTelegram& tlg) {
            out.emplace_back(tlg.Bajty().begin(), tlg.Bajty().end());
        };
        for (const TPolozkaFronty& polozka : kom.fFronta) {
            if (const auto* par = std::get_if<TParZapisu>(&polozka)) {
                pridej(par->Zapis);
                pridej(par->Cteni);
            } else {
                pridej(std::get<TDotaz>(polozka).Tlg);
            }
        }
        return out;
    }
    // Puts the queue as given, whatever its telegrams hold.
    static void NahradFrontu(TKomunikace& kom, std::deque<TPolozkaFronty> fronta) {
        kom.fFronta = std::move(fronta);
    }
    static void NastavPocCyklu(TKomunikace& kom, std::uint8_t cyklus) { kom.fPocCyklu = cyklus; }
};
