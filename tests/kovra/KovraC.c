/* kovra.h is a C header: this file is compiled as C and calls the library through it. */
#include "kovra.h"

#include <math.h>
#include <stdlib.h>

static int32_t PocetUvolneni = 0;

static int32_t Uvolni(void* kontext, void* blok, int32_t delkaZaznamu) {
    (void)kontext;
    (void)delkaZaznamu;
    free(blok);
    ++PocetUvolneni;
    return 0;
}

/* Returns 0 when every call gave what C callers expect, otherwise the number of the first check
   that failed. */
int KovraZC(void) {
    static const uint8_t data[6] = {0x78, 0x56, 0x34, 0x12, 0x01, 0x02};
    const uint8_t* kurzor = data;
    void* bloky[2];
    KovraSeznamBloku seznam;

    if (ReadDWordInc(&kurzor, 4) != 0x12345678U || kurzor != data + 4) {
        return 1;
    }
    if (ReadWordInc(&kurzor, 2) != 0x0201 || ReadDWord(data) != 0x12345678U) {
        return 2;
    }
    if (!isnan(DatumVelikonocnihoPondeli(0)) || isnan(DatumVelikonocnihoPondeli(2024))) {
        return 3;
    }
    if (!isnan(UpravDatumPodlePocatkuDne(45000.0, 24))) {
        return 4;
    }
    if (ZjistiCtvrthodinu(7, 31) != 1 || ZjistiCtvrthodinuDT(NAN) != 1 ||
        !JeVikendDMY(6, 1, 2024)) {
        return 5;
    }
    if (PrevedALimitujHodnotu(" 17 ", 1, 256, 1) != 17.0 || SignedTeplotaNaByte(-0.3) != 131) {
        return 6;
    }
    bloky[0] = malloc(16);
    bloky[1] = malloc(16);
    seznam.bloky = bloky;
    seznam.pocet = 2;
    seznam.uvolni = Uvolni;
    seznam.kontext = NULL;
    if (DealokujPoleZaznamu(&seznam, 257) != 0 || PocetUvolneni != 2 || seznam.pocet != 0) {
        return 7;
    }
    if (NajdiAPosliZpravu("", 1, 2, 3) != 0 || NajdiAPosliZpravuSNavratem(NULL, 1, 2, 3) != 0) {
        return 8;
    }
    return 0;
}
