#ifndef KOVRA_H
#define KOVRA_H
/* libkovra.so: small stateless helper routines with a C ABI, exported by name.

   The library keeps no state, needs no initialisation, and every routine may be called from any
   thread. Only plain values cross: pointers into the caller's buffers (the caller keeps them),
   integers, doubles and zero-terminated text. No routine reads or writes beyond what its comment
   names, and none crashes for any argument value; null pointers are handled as stated per routine.

   Five routines have a second overload. C sees the second one under its own export name; the C++
   header kovra.hpp offers both under the plain name in namespace kovra:
     ReadDWord (pointer)                            ReadDWordInc (cursor, step)
     ZjistiCtvrthodinu (minute, second)             ZjistiCtvrthodinuDT (date-time)
     ZacatekCtvrthodiny (hour, minute, second)      ZacatekCtvrthodinyDT (date-time)
     JeVikend (date-time)                           JeVikendDMY (day, month, year)
     ZaokrouhliNaNejblizsiDalsiCtvrthodinu (date-time)
                                       ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS (hour, minute,
   second)

   Date-time: a double counting days since 30 December 1899; the fraction is the time of day (0.5 is
   noon). For a negative value the whole days are truncated toward zero and the time of day is the
   size of the fraction (-1.25 is 29 December 1899, 06:00). Decomposing rounds the time of day to
   the nearest millisecond. A value decomposes when it is finite and its day lies in the years 1 to
   9999; routines returning a date-time return NaN for one that does not.

   Composition failures. Two routines compose a time or a date without a guard and can fail:
   UpravDatumPodlePocatkuDne fails with KOVRA_CHYBA_CASU and DatumVelikonocnihoPondeli with
   KOVRA_CHYBA_DATA. Through the C ABI a failure is reported as a NaN result, which no valid
   date-time ever is (test it with isnan()); errno is set to EDOM as well. The C++ wrappers in
   kovra.hpp throw kovra::EncodeError carrying exactly that text instead. */

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(KOVRA_BUILD)
#define KOVRA_API __attribute__((visibility("default")))
#else
#define KOVRA_API
#endif

#define KOVRA_CHYBA_CASU "Invalid argument to time encode"
#define KOVRA_CHYBA_DATA "Invalid argument to date encode"

/* How long NajdiAPosliZpravuSNavratem waits for a window's answer at most, in milliseconds. */
#define KOVRA_LIMIT_ODPOVEDI_MS 5000

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Byte, bit and BCD access ------------------------------------------------------------------
   Multi-byte values are little-endian and read byte by byte (no alignment needed). A cursor routine
   takes the address of the caller's pointer, reads at it and then moves it by step bytes (0..255),
   independent of the width read. A null pointer, a null cursor or a cursor holding a null pointer
   reads as 0 and nothing moves. */

KOVRA_API uint8_t ReadByte(const uint8_t** cursor, uint8_t step);
/* Reads 2 bytes at p. */
KOVRA_API uint16_t ReadWord(const uint8_t* p);
KOVRA_API uint16_t ReadWordInc(const uint8_t** cursor, uint8_t step);
/* Reads 3 bytes; bits 24..31 of the result are zero. */
KOVRA_API uint32_t Read3B(const uint8_t* p);
KOVRA_API uint32_t Read3BInc(const uint8_t** cursor, uint8_t step);
/* Reads 4 bytes. */
KOVRA_API uint32_t ReadDWord(const uint8_t* p);
/* Second overload of ReadDWord: reads 4 bytes at the cursor, then moves it by step. */
KOVRA_API uint32_t ReadDWordInc(const uint8_t** cursor, uint8_t step);

KOVRA_API bool ByteToBool(uint8_t value);
/* Bit indices are taken modulo 32. SetBit and ClearBit work within 16 bits: indices 16..31 leave
   the value unchanged. */
KOVRA_API bool ReadBit(uint32_t index, uint32_t value);
KOVRA_API uint16_t SetBit(uint32_t index, uint16_t value);
KOVRA_API uint16_t ClearBit(uint32_t index, uint16_t value);

/* Tens in bits 4..7, units in bits 0..3; nibbles above 9 are not rejected (0xFF gives 165). */
KOVRA_API uint8_t BCDToDecimal(uint8_t bcd);
/* ((n / 10) * 16 + n % 10) & 255: from 100 on the tens overflow the upper nibble (100 -> 0xA0). */
KOVRA_API uint8_t DecimalToBCD(uint8_t number);

/* Copies count bytes one at a time from the first upward: with the destination inside the source
   range above its start, the leading bytes repeat. Null pointers copy nothing. */
KOVRA_API void MemCopy(const void* source, void* destination, uint16_t count);

/* A list of owned memory blocks. The struct and its array belong to the caller; the blocks are
   what DealokujPoleZaznamu releases. Null entries hold no block and are skipped. */
typedef struct KovraSeznamBloku {
    void** bloky; /* pocet block pointers; may be null when pocet is 0 */
    size_t pocet; /* number of entries */
    /* Releases one block; returns 0 on success. Null: free(), which always succeeds. */
    int32_t (*uvolni)(void* kontext, void* blok, int32_t delkaZaznamu);
    void* kontext; /* handed to uvolni unchanged */
} KovraSeznamBloku;

/* Releases every block of AList in index order from 0, handing ADelkaZaznamu to each release, and
   empties the list: entries become null and pocet 0 (the bloky array itself stays with its owner).
   A failed release does not stop the others and the list is emptied all the same. Returns the
   number of failed releases, 0 when all succeeded. A null AList does nothing and returns 0. */
KOVRA_API int32_t DealokujPoleZaznamu(KovraSeznamBloku* AList, int32_t ADelkaZaznamu);

/* dividend / divisor; def when the divisor is 0 or NaN, or the quotient is infinite or NaN. */
KOVRA_API double MojeDeleni(double dividend, double divisor, double def);

/* ---- Calendar and quarter-hours ----------------------------------------------------------------
   Day numbers: English 1 = Sunday .. 7 = Saturday, Czech 1 = Monday .. 7 = Sunday.
   Quarters of an hour are split at minute:second 7:30, 22:30, 37:30 and 52:30: quarter 1 is 7:31 to
   22:30, 2 is 22:31 to 37:30, 3 is 37:31 to 52:30, 4 is 52:31 to 7:30 of the next hour. The same
   rules hold for negative date-times, in calendar terms. */

/* Below 80 add 2000, otherwise 1900. */
KOVRA_API uint16_t ShortYearToYear(uint16_t shortYear);
/* Below 2000 subtract 1900, otherwise 2000, modulo 65536 (1899 gives 65535). */
KOVRA_API uint16_t YearToShortYear(uint16_t year);
/* 1 gives 7, any other n gives n - 1 (wrapping at the ends of the 32-bit range). */
KOVRA_API int32_t EnglishIndexOfWeekToCzechIndex(int32_t english);
/* 7 gives 1, any other n gives n + 1 (wrapping at the ends of the 32-bit range). */
KOVRA_API int32_t CzechIndexOfWeekToEnglishIndex(int32_t czech);
/* Czech day number of the date; 0 when the date-time does not decompose. */
KOVRA_API int32_t MyDayOfWeek(double dateTime);

/* Quarter 1..4 of minute * 60 + second (16-bit arithmetic); 3600 seconds or more count as 1. */
KOVRA_API uint8_t ZjistiCtvrthodinu(uint16_t minute, uint16_t second);
/* Second overload: the quarter of the date-time's minute and second; 1 when it does not decompose.
 */
KOVRA_API uint8_t ZjistiCtvrthodinuDT(double dateTime);
/* Minute of the day at which the quarter starts: 0:05:00 gives 1432 (23:52 of the day before). */
KOVRA_API uint16_t ZacatekCtvrthodiny(uint16_t hour, uint16_t minute, uint16_t second);
/* Second overload: the date-time at which the quarter starts (00:03 gives 23:52 of the day
   before); NaN when the input does not decompose. */
KOVRA_API double ZacatekCtvrthodinyDT(double dateTime);
/* ZacatekCtvrthodiny / 60: the hour in which the quarter starts. */
KOVRA_API uint16_t ZjistiHodinu(uint16_t hour, uint16_t minute, uint16_t second);
/* The next quarter limit (7:31, 22:31, 37:31, 52:31), always later than the input: 23:55 gives
   00:07:31 of the next day. NaN when the input does not decompose. */
KOVRA_API double ZaokrouhliNaNejblizsiDalsiCtvrthodinu(double dateTime);
/* Second overload: the minute of the day of the next limit (the 31 seconds dropped); an hour past
   23 becomes 0. */
KOVRA_API uint16_t ZaokrouhliNaNejblizsiDalsiCtvrthodinuHMS(uint16_t hour, uint16_t minute,
                                                            uint16_t second);
/* The quarter limit at or before the input (a time on a limit gives itself); NaN when the input
   does not decompose. */
KOVRA_API double ZaokrouhliNaNejblizsiNizsiCtvrthodinu(double dateTime);

/* Hour number within a counting day that starts dayStart hours after midnight (negative: before):
   with a start of 6, hour 7 gives 1, hour 6 gives 24, hour 0 gives 18; a start of 0 returns the
   hour unchanged. 8-bit arithmetic throughout. */
KOVRA_API uint8_t HodinaDlePocatkuDne(uint8_t hour, int32_t dayStart);
/* The date-time shifted by dayStart hours (sign included); a start of 0 returns it unchanged.
   |dayStart| >= 24 fails with KOVRA_CHYBA_CASU: the result is NaN and errno is EDOM. */
KOVRA_API double UpravDatumPodlePocatkuDne(double dateTime, int32_t dayStart);

/* Saturday or Sunday; false when the date-time does not decompose. */
KOVRA_API bool JeVikend(double dateTime);
/* Second overload: the same for a calendar date; false for a date that does not exist. */
KOVRA_API bool JeVikendDMY(uint16_t day, uint16_t month, uint16_t year);

/* Easter Monday of the year, at midnight, by Gauss's rule with the constants of 1900..2099
   (M = 24, N = 5) applied to any year. A year outside 1..9999 fails with KOVRA_CHYBA_DATA: the
   result is NaN and errno is EDOM. */
KOVRA_API double DatumVelikonocnihoPondeli(int32_t year);
/* Whether the date is Easter Monday; false for a date that does not exist. */
KOVRA_API bool JeVelikonocniPondeli(uint16_t day, uint16_t month, uint16_t year);

/* ---- Value limiting, temperatures and window messages ------------------------------------------
   Limits are inclusive. */

/* Below lowest or NaN gives lowest, above highest gives highest (lowest is tested first). */
KOVRA_API double LimitujHodnotu(double value, double lowest, double highest);
/* def (unlimited) when the value is below lowest, above highest or NaN; otherwise the value. */
KOVRA_API double LimitujHodnotuDefault(double value, double lowest, double highest, double def);

/* text: zero-terminated, or null (not a number). A text number is: optional blanks (space, tab),
   an optional sign, digits with at most one decimal separator, an optional exponent (E or e,
   optional sign, digits), optional blanks, nothing else. The decimal separator is that of the
   current LC_NUMERIC locale (the program calls setlocale(LC_ALL, "") at start-up); nothing else of
   the locale is used: no digit grouping, no "inf" or "nan". Text that is not a number gives def.
   The result is LimitujHodnotu of the number (or of def); a number too large for a double counts as
   an infinity and so reaches a limit. */
KOVRA_API double PrevedALimitujHodnotu(const char* text, double lowest, double highest, double def);

/* Bit 7 the sign (1 = below zero), bits 0..6 tenths: 0..128 read as 0.0..+12.8, 129..255 as
   -0.1..-12.7. */
KOVRA_API double VratSignedTeplotu(uint8_t value);
/* t := temperature * 10 truncated toward zero; 0..127 gives t, -127..-1 gives 128 + |t|.
   Outside that range the value is clamped: above +12.7 (and +infinity) gives 127, below -12.7 (and
   -infinity) gives 255. NaN gives 0. */
KOVRA_API uint8_t SignedTeplotaNaByte(double temperature);

/* Window messages between processes of the same user. A receiving program registers a window
   class name with the receiver of kovra/okna.h (static library kovra_okna). A class name is looked
   up byte for byte; an empty or null name, one containing '/', "." or "..", or one too long for a
   socket path is never found. A receiver that has died counts as not found.
   NajdiAPosliZpravu queues the message and returns at once: non-zero when it was queued, 0 when
   no window was found or its queue is full. */
KOVRA_API int32_t NajdiAPosliZpravu(const char* className, uint32_t message, int32_t wParam,
                                    int32_t lParam);
/* Delivers the message and waits for the window's answer, at most KOVRA_LIMIT_ODPOVEDI_MS: 0 when
   no window was found, when it did not answer in time or went away, otherwise its answer. A send
   to a window served by the calling thread itself cannot be answered and ends by the time limit. */
KOVRA_API int32_t NajdiAPosliZpravuSNavratem(const char* className, uint32_t message,
                                             int32_t wParam, int32_t lParam);

#ifdef __cplusplus
}
#endif

#endif
