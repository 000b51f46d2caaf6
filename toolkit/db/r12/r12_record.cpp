// The cursor over a fixed-size record held whole in memory.
#include "toolkit/db/r12/dwg_r12.h"
#include "toolkit/db/raw_double.h"

#include <cstring>

void adR12BeginRecord(AdR12Record* record, const std::uint8_t* bytes, std::int32_t length) {
    record->at = bytes;
    record->end = bytes + (length > 0 ? length : 0);
    record->overrun = 0;
}

// The next n bytes, or null (and the overrun mark) when fewer are left; the
// cursor then stays where it is so that later reads also give zeros.
static const std::uint8_t* take(AdR12Record* record, std::int32_t n) {
    if (record->overrun || n < 0 || record->end - record->at < n) {
        record->overrun = 1;
        return nullptr;
    }
    const std::uint8_t* bytes = record->at;
    record->at += n;
    return bytes;
}

std::uint8_t adR12ReadByte(AdR12Record* record) {
    const std::uint8_t* b = take(record, 1);
    return b ? b[0] : 0;
}

std::int16_t adR12ReadShort(AdR12Record* record) {
    const std::uint8_t* b = take(record, 2);
    return b ? static_cast<std::int16_t>(b[0] | (b[1] << 8)) : 0;
}

std::int32_t adR12ReadLong(AdR12Record* record) {
    const std::uint8_t* b = take(record, 4);
    if (!b) return 0;
    const std::uint32_t v = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                            (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return static_cast<std::int32_t>(v);
}

double adR12ReadDouble(AdR12Record* record) {
    const std::uint8_t* b = take(record, 8);
    return b ? adDoubleFromFileBytes(b) : 0.0;
}

void adR12Read2D(AdR12Record* record, double out[2]) {
    for (int i = 0; i < 2; ++i) out[i] = adR12ReadDouble(record);
}

void adR12Read3D(AdR12Record* record, double out[3]) {
    for (int i = 0; i < 3; ++i) out[i] = adR12ReadDouble(record);
}

void adR12ReadText(AdR12Record* record, std::int32_t width, char* out, std::int32_t size) {
    const std::uint8_t* bytes = take(record, width);
    if (size <= 0) return;
    out[0] = '\0';
    if (!bytes) return;
    std::int32_t kept = 0;
    while (kept < width && kept < size - 1 && bytes[kept] != 0) ++kept;
    std::memcpy(out, bytes, static_cast<std::size_t>(kept));
    out[kept] = '\0';
}

// A text longer than its field is cut to the field, yet the cursor still moves
// past all of the stored bytes: the fields after it stay aligned and the
// record keeps the part of the text that fits.
int adR12ReadString(AdR12Record* record, char* out, std::int32_t limit) {
    std::int16_t length = adR12ReadShort(record);
    if (length < 0) length = 0;
    const std::uint8_t* bytes = take(record, length);
    if (limit <= 0) return 0;
    if (!bytes) {
        out[0] = 0;
        return 0;
    }
    const std::int32_t kept = length < limit ? length : limit - 1;
    std::memcpy(out, bytes, static_cast<std::size_t>(kept));
    out[kept] = 0;
    if (kept < length) {
        adFatalError(AD_FATAL_BAD_STORED_DATA);
        return 0;
    }
    return 1;
}
