// Fixed-size records are assembled field by field in the output's record
// buffer and written whole, with the check value AC1009 gives every record.
#include "toolkit/write/r12_records.h"
#include "toolkit/db/raw_double.h"

#include <cstring>

namespace {
constexpr std::int32_t kCheckBytes = 2;

std::uint8_t* take(AdR12RecordBuffer* record, std::int32_t count) {
    if (record->overflow || count < 0 || count > AD_R12_RECORD_BUFFER_SIZE - record->cursor) {
        record->overflow = 1;
        return nullptr;
    }
    std::uint8_t* at = record->bytes + record->cursor;
    record->cursor += count;
    return at;
}

// The check constant of each table, in AdR12Table order.
constexpr std::uint16_t kChecks[AD_R12_TABLE_COUNT] = {0x91C0, 0xC6AD, 0x79D4, 0xF4D1, 0xAAAD,
                                                       0xB4E0, 0x83FF, 0xDDC1, 0x33F8, 0xC2FC};
}  // namespace

void adR12RecordBegin(AdR12RecordBuffer* record) {
    std::memset(record->bytes, 0, sizeof record->bytes);
    record->cursor = 0;
    record->overflow = 0;
}

void adR12PutByte(AdR12RecordBuffer* record, std::uint8_t value) {
    if (std::uint8_t* at = take(record, 1)) at[0] = value;
}

void adR12PutShort(AdR12RecordBuffer* record, std::int16_t value) {
    if (std::uint8_t* at = take(record, 2)) {
        const auto bits = static_cast<std::uint16_t>(value);
        at[0] = static_cast<std::uint8_t>(bits & 0xFF);
        at[1] = static_cast<std::uint8_t>(bits >> 8);
    }
}

void adR12PutLong(AdR12RecordBuffer* record, std::int32_t value) {
    if (std::uint8_t* at = take(record, 4)) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF);
    }
}

void adR12PutDouble(AdR12RecordBuffer* record, double value) {
    if (std::uint8_t* at = take(record, 8)) adDoubleToBytes(value, at);
}

void adR12PutPoint2D(AdR12RecordBuffer* record, const double point[2]) {
    for (int i = 0; i < 2; ++i) adR12PutDouble(record, point[i]);
}

void adR12PutPoint3D(AdR12RecordBuffer* record, const double point[3]) {
    for (int i = 0; i < 3; ++i) adR12PutDouble(record, point[i]);
}

void adR12PutText(AdR12RecordBuffer* record, const char* text, std::int32_t width) {
    std::uint8_t* at = take(record, width);
    if (!at) return;
    const std::size_t length = strnlen(text, static_cast<std::size_t>(width));
    std::memcpy(at, text, length);
}

void adR12PutBytes(AdR12RecordBuffer* record, const void* bytes, std::int32_t count) {
    if (std::uint8_t* at = take(record, count)) std::memcpy(at, bytes, static_cast<std::size_t>(count));
}

void adR12PutZeros(AdR12RecordBuffer* record, std::int32_t width) { take(record, width); }

std::uint16_t adR12RecordCheck(AdR12Table table) {
    return table >= 0 && table < AD_R12_TABLE_COUNT ? kChecks[table] : 0;
}

int adR12WriteTableRecord(AdOutputDrawing* output, AdR12Table table) {
    AdR12RecordBuffer* record = &output->record;
    const std::int32_t size = output->recordSizes[table];
    const std::int32_t fields = output->version == AD_VERSION_AC1009 ? size - kCheckBytes : size;
    // Fields beyond the record would be lost without a word: refuse it.
    if (record->overflow || record->cursor > fields) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    if (output->version == AD_VERSION_AC1009) adCrcStamp(record->bytes, size, kChecks[table]);
    return adOutWrite(output, record->bytes, static_cast<std::size_t>(size));
}
