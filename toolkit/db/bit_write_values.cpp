// Values put into the DWG bit stream: the integer, double and point forms and
// texts, each the twin of its reader.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/raw_double.h"
#include "toolkit/ad_internal.h"

#include <bit>
#include <cstring>

namespace {

constexpr int kCodeFull = 0;
constexpr int kCodeByte = 1;
constexpr int kCodeZero = 2;
constexpr int kCode256 = 3;
constexpr int kCodeOne = 1;
constexpr int kCodeDefault = 0;
constexpr int kCodeFullDouble = 3;

int writeLittleEndian(std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) adBitWriteByte(static_cast<std::uint8_t>(value >> (8 * i)));
    return adBitWriterResult();
}

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

int adBitWriteShort(std::int16_t value) {
    if (value == 0) return adBitWriteCode(kCodeZero);
    if (value == 256) return adBitWriteCode(kCode256);
    if (value > 0 && value < 256) {
        adBitWriteCode(kCodeByte);
        return adBitWriteByte(static_cast<std::uint8_t>(value));
    }
    adBitWriteCode(kCodeFull);
    return writeLittleEndian(static_cast<std::uint16_t>(value), 2);
}

int adBitWriteLong(std::int32_t value) {
    if (value == 0) return adBitWriteCode(kCodeZero);
    if (value > 0 && value < 256) {
        adBitWriteCode(kCodeByte);
        return adBitWriteByte(static_cast<std::uint8_t>(value));
    }
    adBitWriteCode(kCodeFull);
    return adBitWriteRawLong(value);
}

int adBitWriteRawLong(std::int32_t value) { return writeLittleEndian(static_cast<std::uint32_t>(value), 4); }

int adBitWriteRawDouble(double value) {
    std::uint8_t bytes[8];
    adDoubleToBytes(value, bytes);
    return adBitWriteBytes(bytes, 8);
}

// By bits, so -0.0 keeps its sign in the long form.
int adBitWriteDouble(double value) {
    if (sameBits(value, 0.0)) return adBitWriteCode(kCodeZero);
    if (sameBits(value, 1.0)) return adBitWriteCode(kCodeOne);
    adBitWriteCode(kCodeFull);
    return adBitWriteRawDouble(value);
}

int adBitWritePoint2D(const double point[2]) {
    adBitWriteRawDouble(point[0]);
    return adBitWriteRawDouble(point[1]);
}

// The reader takes two raw doubles here, so two raw doubles are what is written.
int adBitWriteRaw2D(const double point[2]) { return adBitWritePoint2D(point); }

int adBitWrite2BD(const double point[2]) {
    adBitWriteDouble(point[0]);
    return adBitWriteDouble(point[1]);
}

int adBitWrite3D(const double point[3]) {
    for (int i = 0; i < 3; ++i) adBitWriteDouble(point[i]);
    return adBitWriterResult();
}

int adBitWriteDefDouble(double value, double defaultValue) {
    if (sameBits(value, defaultValue)) return adBitWriteCode(kCodeDefault);
    adBitWriteCode(kCodeFullDouble);
    return adBitWriteRawDouble(value);
}

int adBitWriteDefPoint3D(const double point[3], const double defaultPoint[3]) {
    for (int i = 0; i < 3; ++i) adBitWriteDefDouble(point[i], defaultPoint[i]);
    return adBitWriterResult();
}

int adBitWriteOptionalDouble(const double values[3]) {
    const bool thirdIsZero = values[2] == 0.0;
    adBitWriteBit(thirdIsZero);
    adBitWritePoint2D(values);
    if (!thirdIsZero) adBitWriteRawDouble(values[2]);
    return adBitWriterResult();
}

int adBitWriteFlaggedPoints(const double start[3], const double end[3]) {
    const bool zIsZero = start[2] == 0.0 && end[2] == 0.0;
    adBitWriteBit(zIsZero);
    const int axes = zIsZero ? 2 : 3;
    for (int i = 0; i < axes; ++i) {
        adBitWriteRawDouble(start[i]);
        adBitWriteDefDouble(end[i], start[i]);
    }
    return adBitWriterResult();
}

int adBitWriteThickness(double value) {
    if (value == 0.0) return adBitWriteBit(1);
    adBitWriteBit(0);
    return adBitWriteDouble(value);
}

int adBitWriteExtrusion(const double vector[3]) {
    if (vector[0] == 0.0 && vector[1] == 0.0 && vector[2] == 1.0) return adBitWriteBit(1);
    adBitWriteBit(0);
    return adBitWrite3D(vector);
}

int adBitWriteText(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length > 0xFFFF) {
        adBitFail();
        return -1;
    }
    adBitWriteShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(length)));
    return adBitWriteBytes(text, static_cast<std::int32_t>(length));
}

// TEXT, ATTRIB and ATTDEF of AC1012 and AC1014 files share these fields after
// the insertion point, in the order their reader takes them.
int adBitWriteTextGeometry(const AdEntityHeader* header, const AdTextFields* fields) {
    adBitWritePoint2D(fields->alignment);
    adBitWrite3D(header->extrusion);
    adBitWriteDouble(header->thickness);
    adBitWriteDouble(fields->obliqueAngle);
    adBitWriteDouble(fields->rotation);
    adBitWriteDouble(fields->height);
    return adBitWriteDouble(fields->widthFactor);
}
