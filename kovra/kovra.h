#ifndef KOVRA_H
#define KOVRA_H
/* libkovra.so: small stateless helper routines with a C ABI, exported by name. */

#include <stdint.h>

#if defined(KOVRA_BUILD)
#define KOVRA_API __attribute__((visibility("default")))
#else
#define KOVRA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A cursor routine takes the address of the caller's pointer, reads at it and then moves it by
   step bytes (0..255), independent of the width read. */
KOVRA_API uint8_t ReadByte(const uint8_t** cursor, uint8_t step);
KOVRA_API uint16_t ReadWordInc(const uint8_t** cursor, uint8_t step);

KOVRA_API double LimitujHodnotu(double value, double lowest, double highest);

/* text: zero-terminated; the decimal separator is the one of the current LC_NUMERIC locale. */
KOVRA_API double PrevedALimitujHodnotu(const char* text, double lowest, double highest, double def);

#ifdef __cplusplus
}
#endif

#endif
