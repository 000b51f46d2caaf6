// The byte rule of stored SAT text, for whole coded bytes and for coded bytes
// that the proxy decoder meets rotated left by two bits.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

std::uint8_t adSatRestoreByte(std::uint8_t coded) {
    return coded >= 33 && coded <= 126 ? static_cast<std::uint8_t>(159 - coded) : coded;
}

int adSatDecodeByte(AdStream* target, std::uint8_t byte, char* line, std::int32_t* length) {
    return adSatPutChar(target, adSatRestoreByte(byte), line, length);
}

// Rotating back gives the coded byte itself, so every byte, 127 and those
// above it included, restores as it does in the whole-byte phases.
int adSatDecodeRotated(AdStream* target, std::uint8_t value, char* line, std::int32_t* length) {
    const auto coded = static_cast<std::uint8_t>((value >> 2) | (value << 6));
    return adSatDecodeByte(target, coded, line, length);
}
