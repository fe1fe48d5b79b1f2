// Quarter-hours whose limits lie half-way between the quarter marks (7:30, 22:30, 37:30, 52:30).
#include "kovra.h"

#include "Datum.h"

#include <limits>

namespace {

constexpr int64_t k_MsZaMinutu = 60000;

// Start minute of quarter q within its hour.
uint32_t PocatecniMinuta(uint8_t q) {
    return 15U * (q - 1U) + 7U;
}

// Day and millisecond of the next quarter limit after a decomposed time.
TRozlozeno DalsiMez(const TRozlozeno& r) {
    int64_t h = r.Hodina();
    const uint8_t q =
        ZjistiCtvrthodinu(static_cast<uint16_t>(r.Minuta()), static_cast<uint16_t>(r.Sekunda()));
    int64_t s = 0;
    if (q == 4) {
        if (r.Minuta() > 7) {
            ++h;
        }
        s = 451;
    } else {
        s = q * 900 + 451;
    }
    int32_t den = r.den;
    if (h > 23) {
        h = 0;
        ++den;
    }
    return TRozlozeno{den, h * 3600000 + s * 1000};
}

} // namespace

extern "C" {

uint8_t ZjistiCtvrthodinu(uint16_t minute, uint16_t second) {
    const auto s = static_cast<uint16_t>(minute * 60U + second);
    if (s >= 3600) {
        return 1;
    }
    if (s <= 450 || s >= 3151) {
        return 4;
    }
    return static_cast<uint8_t>((s - 451) / 900 + 1);
}

uint8_t ZjistiCtvrthodinuDT(double dateTime) {
    const auto r = Rozloz(dateTime);
    if (!r) {
        return 1;
    }
    return ZjistiCtvrthodinu(static_cast<uint16_t>(r->Minuta()),
                             static_cast<uint16_t>(r->Sekunda()));
}

uint16_t ZacatekCtvrthodiny(uint16_t hour, uint16_t minute, uint16_t second) {
    const uint32_t d = PocatecniMinuta(ZjistiCtvrthodinu(minute, second));
    const auto s = static_cast<uint16_t>(minute * 60U + second);
    if (s >= 451) {
        return static_cast<uint16_t>(hour * 60U + d);
    }
    if (hour == 0) {
        return static_cast<uint16_t>(1380U + d);
    }
    return static_cast<uint16_t>((hour - 1U) * 60U + d);
}

double ZacatekCtvrthodinyDT(double dateTime) {
    const auto r = Rozloz(dateTime);
    if (!r) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const uint16_t m =
        ZacatekCtvrthodiny(static_cast<uint16_t>(r->Hodina()), static_cast<uint16_t>(r->Minuta()),
                           static_cast<uint16_t>(r->Sekunda()));
    const int64_t t = m * k_MsZaMinutu;
    // A start later in the day than the time itself belongs to the day before.
    return Sloz(r->ms < t ? r->den - 1 : r->den, t);
}

uint16_t ZjistiHodinu(uint16_t hour, uint16_t minute, uint16_t second) {
    return static_cast<uint16_t>(ZacatekCtvrthodiny(hour, minute, second) / 60U);
}

double ZaokrouhliNaNejblizsiDalsiCtvrthodinu(double dateTime) {
    const auto r = Rozloz(dateTime);
    if (!r) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const TRozlozeno mez = DalsiMez(*r);
    return Sloz(mez.den, mez.ms);
}

uint16_t ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(uint16_t hour, uint16_t minute, uint16_t second) {
    uint32_t h = hour;
    const uint8_t q = ZjistiCtvrthodinu(minute, second);
    uint32_t s = 0;
    if (q == 4) {
        if (minute > 7) {
            ++h;
        }
        s = 451;
    } else {
        s = q * 900U + 451U;
    }
    if (h > 23) {
        h = 0;
    }
    return static_cast<uint16_t>(h * 60U + s / 60U);
}

double ZaokrouhliNaNejblizsiNizsiCtvrthodinu(double dateTime) {
    const auto r = Rozloz(dateTime);
    if (!r) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const TRozlozeno mez = DalsiMez(*r);
    return Sloz(mez.den, mez.ms - 15 * k_MsZaMinutu);
}

} // extern "C"
