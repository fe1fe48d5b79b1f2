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

// 1 shifted left within 16 bits: indices 16..31 shift the bit out.
uint32_t Maska16(uint32_t index) {
    const uint32_t bit = index % 32U;
    return bit < 16 ? (1U << bit) : 0U;
}

} // namespace

extern "C" {

uint8_t ReadByte(const uint8_t** cursor, uint8_t step) {
    return static_cast<uint8_t>(CtiKurzor(cursor, step, 1));
}

uint16_t ReadWord(const uint8_t* p) {
    return static_cast<uint16_t>(CtiLE(p, 2));
}

uint16_t ReadWordInc(const uint8_t** cursor, uint8_t step) {
    return static_cast<uint16_t>(CtiKurzor(cursor, step, 2));
}

uint32_t Read3B(const uint8_t* p) {
    return CtiLE(p, 3);
}

uint32_t Read3BInc(const uint8_t** cursor, uint8_t step) {
    return CtiKurzor(cursor, step, 3);
}

uint32_t ReadDWord(const uint8_t* p) {
    return CtiLE(p, 4);
}

uint32_t ReadDWordInc(const uint8_t** cursor, uint8_t step) {
    return CtiKurzor(cursor, step, 4);
}

bool ByteToBool(uint8_t value) {
    return value != 0;
}

bool ReadBit(uint32_t index, uint32_t value) {
    return ((value >> (index % 32U)) & 1U) != 0;
}

uint16_t SetBit(uint32_t index, uint16_t value) {
    return static_cast<uint16_t>(value | Maska16(index));
}

uint16_t ClearBit(uint32_t index, uint16_t value) {
    return static_cast<uint16_t>(value & (0xFFFFU - Maska16(index)));
}

uint8_t BCDToDecimal(uint8_t bcd) {
    return static_cast<uint8_t>((bcd >> 4) * 10 + (bcd & 15));
}

uint8_t DecimalToBCD(uint8_t number) {
    return static_cast<uint8_t>(((number / 10) * 16 + number % 10) & 255);
}

} // extern "C"
