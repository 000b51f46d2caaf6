// Group-coded items (XRECORD data) in their stream form.
//
// Reading and writing share one table of value kinds, so every item that can
// be written reads back (codes 39 and 1020..1038 included: each is one double).
#include "stream_cursor.h"

#include <cstring>

namespace {

enum class GroupValue { Refused, None, Text, Binary, Point, Real, Int16, Int32, Handle };

struct GroupRange {
    std::int16_t from;
    std::int16_t to;
    GroupValue kind;
};

constexpr GroupRange kGroupRanges[] = {
    {0, 9, GroupValue::Text},         {10, 19, GroupValue::Point},      {39, 59, GroupValue::Real},
    {60, 79, GroupValue::Int16},      {90, 99, GroupValue::Int32},      {100, 100, GroupValue::Text},
    {102, 102, GroupValue::Text},     {140, 147, GroupValue::Real},     {170, 175, GroupValue::Int16},
    {300, 309, GroupValue::Text},     {310, 319, GroupValue::Binary},   {320, 369, GroupValue::Handle},
    {999, 1003, GroupValue::Text},    {1004, 1004, GroupValue::Binary}, {1005, 1008, GroupValue::Text},
    {1009, 1009, GroupValue::None},   {1010, 1019, GroupValue::Point},  {1020, 1059, GroupValue::Real},
    {1060, 1070, GroupValue::Int16},  {1071, 1071, GroupValue::Int32},
};

constexpr std::uint8_t kTextMarker = 0xC0;
constexpr std::uint16_t kMaxBinaryLength = 255;

GroupValue groupValueKind(std::int16_t code) {
    for (const GroupRange& r : kGroupRanges)
        if (code >= r.from && code <= r.to) return r.kind;
    return GroupValue::Refused;
}

// Object and hard-pointer handles (330, 340) are stored least significant
// byte first.
bool storedReversed(std::int16_t code) { return code == 330 || code == 340; }

void reverseHandle(AdHandle* handle) {
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t t = handle->b[i];
        handle->b[i] = handle->b[7 - i];
        handle->b[7 - i] = t;
    }
}

int readText(AdStream* stream, AdGroupItem* item) {
    std::int16_t n = 0;
    std::uint8_t marker = 0;
    return adStreamReadShort(stream, &n) && adStreamReadByte(stream, &marker) &&
           adStreamReadCountedText(stream, n, item->value.text, static_cast<std::int32_t>(AD_GROUP_VALUE_SIZE - 1));
}

int readBinary(AdStream* stream, AdGroupItem* item) {
    std::uint8_t n = 0;
    if (!adStreamReadByte(stream, &n) || !adStreamRead(stream, item->value.bytes, n)) return 0;
    item->binaryLength = n;
    return 1;
}

int readHandle(AdStream* stream, AdGroupItem* item) {
    if (!adStreamRead(stream, &item->value.handle, sizeof(AdHandle))) return 0;
    if (storedReversed(item->code)) reverseHandle(&item->value.handle);
    return 1;
}

int writeHandle(AdStream* stream, const AdGroupItem* item) {
    AdHandle stored = item->value.handle;
    if (storedReversed(item->code)) reverseHandle(&stored);
    return adStreamWrite(stream, &stored, sizeof stored);
}

}  // namespace

int adStreamReadGroupItem(AdStream* stream, AdGroupItem* item) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    if (!item || !adStreamReadShort(stream, &item->code)) return 0;
    switch (groupValueKind(item->code)) {
        case GroupValue::Refused: adSetError(AD_ERR_GROUP_CODE_READ); return 0;
        case GroupValue::None: return 1;
        case GroupValue::Text: return readText(stream, item);
        case GroupValue::Binary: return readBinary(stream, item);
        case GroupValue::Point: return adStreamReadPoint3D(stream, item->value.reals);
        case GroupValue::Real: return adStreamReadDouble(stream, &item->value.reals[0]);
        case GroupValue::Int16: return adStreamReadShort(stream, &item->value.int16);
        case GroupValue::Int32: return adStreamReadLong(stream, &item->value.int32);
        case GroupValue::Handle: return readHandle(stream, item);
    }
    return 0;
}

// An item whose value does not fit its own value area (a text without a
// terminator inside it, a binary length over 255) is refused before anything
// is written.
int adStreamWriteGroupItem(AdStream* stream, const AdGroupItem* item) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_WRITE_NULL);
        return 0;
    }
    const GroupValue kind = item ? groupValueKind(item->code) : GroupValue::Refused;
    const std::size_t textLength = kind == GroupValue::Text ? strnlen(item->value.text, AD_GROUP_VALUE_SIZE) : 0;
    if (kind == GroupValue::Refused || textLength == AD_GROUP_VALUE_SIZE ||
        (kind == GroupValue::Binary && item->binaryLength > kMaxBinaryLength)) {
        adSetError(AD_ERR_GROUP_CODE_WRITE);
        return 0;
    }
    if (!adStreamPutShort(stream, item->code)) return 0;
    switch (kind) {
        case GroupValue::Refused: return 0;
        case GroupValue::None: return 1;
        case GroupValue::Text:
            return adStreamPutShort(stream, static_cast<std::int16_t>(textLength)) &&
                   adStreamWriteByte(stream, kTextMarker) &&
                   adStreamWrite(stream, item->value.text, static_cast<std::int32_t>(textLength));
        case GroupValue::Binary:
            return adStreamWriteByte(stream, static_cast<std::uint8_t>(item->binaryLength)) &&
                   adStreamWrite(stream, item->value.bytes, item->binaryLength);
        case GroupValue::Point: return adStreamWritePoint3D(stream, item->value.reals);
        case GroupValue::Real: return adStreamWriteDouble(stream, &item->value.reals[0]);
        case GroupValue::Int16: return adStreamWriteShort(stream, &item->value.int16);
        case GroupValue::Int32: return adStreamWriteLong(stream, &item->value.int32);
        case GroupValue::Handle: return writeHandle(stream, item);
    }
    return 0;
}
