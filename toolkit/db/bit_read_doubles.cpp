// Double values of the DWG bit stream: RD, BD, DD and the point forms built
// from them. Every full double read goes through the range rule.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/raw_double.h"
#include "toolkit/ad_internal.h"

#include <bit>
#include <cstdint>

namespace {

double readRaw() {
    const std::uint64_t low = adBitTakeLittleEndian(4);
    const std::uint64_t bits = low | (std::uint64_t{adBitTakeLittleEndian(4)} << 32);
    return adBitUsable() ? adDoubleFromFileBits(bits) : 0.0;
}

// Answers the stream's state, with the values cleared when it has failed.
int finish(double* values, int count) {
    if (adBitUsable()) return 1;
    for (int i = 0; i < count; ++i) values[i] = 0.0;
    return 0;
}

// The forms other than a full double, when the peeked word holds them whole:
// 1 with the value, else 0 and nothing taken.
int shortDefDouble(double* value, std::uint64_t bits) {
    constexpr int kBitsOfForm[] = {2, 2 + 32, 2 + 16 + 32};
    std::uint64_t word = 0;
    const int available = adBitPeek(&word);
    const auto code = static_cast<int>(word >> 62);
    if (code == 3 || available < kBitsOfForm[code]) return 0;
    const auto bytesAt = [word](int at, int n) {
        return std::uint64_t{adBitLittleEndian(static_cast<std::uint32_t>(word >> (64 - at - 8 * n)), n)};
    };
    if (code == 1) bits = (bits & 0xFFFFFFFF00000000u) | bytesAt(2, 4);
    if (code == 2) bits = (bits & 0xFFFF000000000000u) | bytesAt(2, 2) << 32 | bytesAt(18, 4);
    adBitAdvance(adBitCurrent(), kBitsOfForm[code]);
    *value = std::bit_cast<double>(bits);
    return 1;
}

}  // namespace

int adBitReadRawDouble(double* value) {
    *value = readRaw();
    return finish(value, 1);
}

int adBitReadDouble(double* value) {
    switch (adBitReadCode()) {
    case 0: *value = readRaw(); break;
    case 1: *value = 1.0; break;
    default: *value = 0.0; break;  // 11 is never written
    }
    return finish(value, 1);
}

int adBitReadRaw2D(double point[2]) {
    point[0] = readRaw();
    point[1] = readRaw();
    return finish(point, 2);
}

int adBitRead3D(double point[3]) {
    for (int i = 0; i < 3; ++i) adBitReadDouble(&point[i]);
    return finish(point, 3);
}

// The partial forms patch bytes of the default and are taken as they come.
int adBitReadDefDouble(double* value, double defaultValue) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(defaultValue);
    if (shortDefDouble(value, bits)) return 1;
    switch (adBitReadCode()) {
    case 0: *value = defaultValue; break;
    case 1:
        bits = (bits & 0xFFFFFFFF00000000u) | adBitTakeLittleEndian(4);
        *value = std::bit_cast<double>(bits);
        break;
    case 2: {
        const std::uint64_t middle = std::uint64_t{adBitTakeLittleEndian(2)} << 32;
        bits = (bits & 0xFFFF000000000000u) | middle | adBitTakeLittleEndian(4);
        *value = std::bit_cast<double>(bits);
        break;
    }
    default: *value = readRaw(); break;
    }
    return finish(value, 1);
}

int adBitReadDefPoint3D(double point[3], const double defaultPoint[3]) {
    for (int i = 0; i < 3; ++i) adBitReadDefDouble(&point[i], defaultPoint[i]);
    return finish(point, 3);
}

int adBitReadOptionalDouble(double values[3]) {
    const int thirdIsZero = adBitReadBit();
    values[0] = readRaw();
    values[1] = readRaw();
    values[2] = thirdIsZero ? 0.0 : readRaw();
    return finish(values, 3);
}

int adBitReadFlaggedPoints(double start[3], double end[3]) {
    const int axes = adBitReadBit() ? 2 : 3;  // 1: both z are zero
    start[2] = end[2] = 0.0;
    for (int i = 0; i < axes; ++i) {
        start[i] = readRaw();
        adBitReadDefDouble(&end[i], start[i]);
    }
    if (adBitUsable()) return 1;
    finish(start, 3);
    return finish(end, 3);
}
