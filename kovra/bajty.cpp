// Little-endian reads through a pointer or a cursor, bit access and packed BCD.
#include "kovra.h"

namespace {

// Assembles width bytes from the lowest address upward; a null pointer reads as 0.
uint32_t CtiLE(const uint8_t* p, int width) {
    if (p == nullptr) {
        return 0;
    }
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

// Reads at the cursor and moves it afterwards; a null cursor (or one pointing nowhere) stays put.
uint32_t CtiKurzor(const uint8_t** cursor, uint8_t step, int width) {
    if (cursor == nullptr || *cursor == nullptr) {
        return 0;
    }
    const uint32_t value = CtiLE(*cursor, width);
    *cursor += step;
    return value;
}

} // namespace

extern "C" {

uint8_t ReadByte(const uint8_t** cursor, uint8_t step) {
    return static_cast<uint8_t>(CtiKurzor(cursor, step, 1));
}

uint16_t ReadWordInc(const uint8_t** cursor, uint8_t step) {
    return static_cast<uint16_t>(CtiKurzor(cursor, step, 2));
}

} // extern "C"
