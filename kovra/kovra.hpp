#ifndef KOVRA_HPP
#define KOVRA_HPP
// C++ view of libkovra.so: every routine in namespace kovra, both overloads of the five overloaded
// routines under their plain name, and composition failures thrown as kovra::EncodeError.

#include "kovra.h"

#include <cmath>
#include <stdexcept>

namespace kovra {

// A time or a date that cannot be composed; what() is KOVRA_CHYBA_CASU or KOVRA_CHYBA_DATA.
class EncodeError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

using ::BCDToDecimal;
using ::ByteToBool;
using ::ClearBit;
using ::CzechIndexOfWeekToEnglishIndex;
using ::DealokujPoleZaznamu;
using ::DecimalToBCD;
using ::EnglishIndexOfWeekToCzechIndex;
using ::HodinaDlePocatkuDne;
using ::JeVelikonocniPondeli;
using ::JeVikend;
using ::LimitujHodnotu;
using ::LimitujHodnotuDefault;
using ::MemCopy;
using ::MojeDeleni;
using ::MyDayOfWeek;
using ::NajdiAPosliZpravu;
using ::NajdiAPosliZpravuSNavratem;
using ::PrevedALimitujHodnotu;
using ::Read3B;
using ::Read3BInc;
using ::ReadBit;
using ::ReadByte;
using ::ReadDWord;
using ::ReadWord;
using ::ReadWordInc;
using ::SetBit;
using ::ShortYearToYear;
using ::SignedTeplotaNaByte;
using ::VratSignedTeplotu;
using ::YearToShortYear;
using ::ZacatekCtvrthodiny;
using ::ZaokrouhliNaNejblizsiDalsiCtvrthodinu;
using ::ZaokrouhliNaNejblizsiNizsiCtvrthodinu;
using ::ZjistiCtvrthodinu;
using ::ZjistiHodinu;

inline uint32_t ReadDWord(const uint8_t** cursor, uint8_t step) {
    return ::ReadDWordInc(cursor, step);
}
inline uint8_t ZjistiCtvrthodinu(double dateTime) {
    return ::ZjistiCtvrthodinuDT(dateTime);
}
inline double ZacatekCtvrthodiny(double dateTime) {
    return ::ZacatekCtvrthodinyDT(dateTime);
}
inline bool JeVikend(uint16_t day, uint16_t month, uint16_t year) {
    return ::JeVikendDMY(day, month, year);
}
inline uint16_t ZaokrouhliNaNejblizsiDalsiCtvrthodinu(uint16_t hour, uint16_t minute,
                                                      uint16_t second) {
    return ::ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(hour, minute, second);
}

// Throws EncodeError(KOVRA_CHYBA_CASU) when |dayStart| >= 24.
inline double UpravDatumPodlePocatkuDne(double dateTime, int32_t dayStart) {
    if (dayStart <= -24 || dayStart >= 24) {
        throw EncodeError(KOVRA_CHYBA_CASU);
    }
    return ::UpravDatumPodlePocatkuDne(dateTime, dayStart);
}

// Throws EncodeError(KOVRA_CHYBA_DATA) for a year outside 1..9999.
inline double DatumVelikonocnihoPondeli(int32_t year) {
    const double result = ::DatumVelikonocnihoPondeli(year);
    if (std::isnan(result)) {
        throw EncodeError(KOVRA_CHYBA_DATA);
    }
    return result;
}

} // namespace kovra

#endif
