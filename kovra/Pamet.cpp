// Byte copying and release of a caller's list of memory blocks.
#include "kovra.h"

#include <cstdlib>

extern "C" {

void MemCopy(const void* source, void* destination, uint16_t count) {
    if (source == nullptr || destination == nullptr) {
        return;
    }
    // One byte at a time from the first upward: an overlapping destination re-reads copied bytes.
    const auto* from = static_cast<const uint8_t*>(source);
    auto* to = static_cast<uint8_t*>(destination);
    for (uint16_t i = 0; i < count; ++i) {
        to[i] = from[i];
    }
}

int32_t DealokujPoleZaznamu(KovraSeznamBloku* AList, int32_t ADelkaZaznamu) {
    if (AList == nullptr) {
        return 0;
    }
    int32_t failures = 0;
    if (AList->bloky != nullptr) {
        for (size_t i = 0; i < AList->pocet; ++i) {
            void* blok = AList->bloky[i];
            AList->bloky[i] = nullptr;
            if (blok == nullptr) {
                continue;
            }
            if (AList->uvolni == nullptr) {
                std::free(blok);
            } else if (AList->uvolni(AList->kontext, blok, ADelkaZaznamu) != 0 &&
                       failures < INT32_MAX) {
                ++failures;
            }
        }
    }
    AList->pocet = 0;
    return failures;
}

} // extern "C"
