// Extended-data items in their stored form: an 8-byte header (code, value
// length, four spare bytes) and the value.
#include "toolkit/db/init_data.h"
#include "toolkit/db/xdata_kinds.h"

#include <cstring>

namespace {

constexpr std::int32_t kHeaderSize = 8;
// A length byte counts the characters of a 1000 string and the bytes of a
// 1004 chunk in every file form, so nothing longer can be written out again.
constexpr std::int32_t kMaxCounted = 255;

// The value length the item is stored with; -1 when it cannot be stored.
std::int32_t storedLength(const AdXdataItem& item) {
    const AdXdataKind kind = adXdataKind(item.code);
    if (kind == AdXdataKind::Text) {
        const auto n = static_cast<std::int32_t>(strnlen(item.value.text, AD_XDATA_VALUE_SIZE));
        if (n > kMaxCounted) return -1;
        // With code pages the NUL and the code-page byte that follows it are
        // stored too.
        return adGlobals && adGlobals->xdataCodePages ? n + 2 : n;
    }
    if (kind == AdXdataKind::Binary) return item.length >= 0 && item.length <= kMaxCounted ? item.length : -1;
    if (kind == AdXdataKind::Refused) return -1;
    return adXdataFixedLength(kind);
}

}  // namespace

int adXdataWriteItem(AdStream* stream, AdXdataItem* item) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_WRITE_NULL);
        return 0;
    }
    const std::int32_t length = item ? storedLength(*item) : -1;
    if (length < 0) {
        adSetError(AD_ERR_XDATA_WRITE);
        return 0;
    }
    item->length = static_cast<std::int16_t>(length);
    return adStreamPutShort(stream, item->code) && adStreamPutShort(stream, item->length) &&
           adStreamWrite(stream, item->spare, sizeof item->spare) && adStreamWrite(stream, item->value.bytes, length);
}

int adXdataReadItem(AdStream* stream, AdXdataItem* item) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    std::uint8_t header[kHeaderSize];
    if (!item || !adStreamRead(stream, header, kHeaderSize)) return 0;
    const std::int16_t length = static_cast<std::int16_t>(adInitGet16(header + 2));
    // One byte of the value area stays free for the terminator of a string.
    std::memset(&item->value, 0, sizeof item->value);
    if (length < 0 || length >= static_cast<std::int32_t>(AD_XDATA_VALUE_SIZE) ||
        !adStreamRead(stream, item->value.bytes, length)) {
        adSetError(AD_ERR_XDATA_DAMAGED);
        return 0;
    }
    item->code = static_cast<std::int16_t>(adInitGet16(header));
    item->length = item->code == 1004 ? length : 0;
    std::memcpy(item->spare, header + 4, sizeof item->spare);
    return 1;
}
