// A libkovra.so that lacks routines: the program must refuse to start with it.

#include <cstdint>

extern "C" {
#if !defined(KOVRA_STUB_NONE) && !defined(KOVRA_STUB_NO_READBYTE)
std::uint8_t ReadByte(const std::uint8_t** cursor, std::uint8_t step) {
    const std::uint8_t value = **cursor;
    *cursor += step;
    return value;
}
#endif
#if !defined(KOVRA_STUB_NONE) && !defined(KOVRA_STUB_NO_READWORDINC)
std::uint16_t ReadWordInc(const std::uint8_t** cursor, std::uint8_t step) {
    const auto value = static_cast<std::uint16_t>((*cursor)[0] | ((*cursor)[1] << 8));
    *cursor += step;
    return value;
}
#endif
#if !defined(KOVRA_STUB_NONE) && !defined(KOVRA_STUB_NO_PREVEDALIMITUJHODNOTU)
double PrevedALimitujHodnotu(const char*, double lowest, double, double) {
    return lowest;
}
#endif
int KovraStubMarker() {
    return 0;
}
}
