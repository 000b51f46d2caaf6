// Extended-data groups of a DXF record, collected in the record buffer in
// the raw form the extended-data reader takes apart. The buffer has a fixed
// size: an item that does not fit is not stored.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/raw_double.h"
#include "toolkit/db/xdata_kinds.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
// The longest item: a code byte, a length byte and 255 bytes.
constexpr std::size_t kItemSize = 257;

struct Item {
    std::uint8_t bytes[kItemSize];
    std::size_t length = 0;

    void put(const void* source, std::size_t count) {
        std::memcpy(bytes + length, source, count);
        length += count;
    }
    void putByte(std::uint8_t b) { bytes[length++] = b; }
    void putDouble(double value) {
        std::uint8_t b[8];
        adDoubleToBytes(value, b);
        put(b, sizeof b);
    }
};

// A length byte counts at most 255 characters: longer texts are cut.
void putCounted(Item* item, const std::uint8_t* bytes, std::size_t count) {
    if (count > 255) count = 255;
    item->putByte(static_cast<std::uint8_t>(count));
    item->put(bytes, count);
}

void putChunk(AdDrawing* drawing, Item* item) {
    const AdDxfToken& t = adDxfToken();
    if (drawing->format == AD_FORMAT_DXF_BINARY) {
        putCounted(item, reinterpret_cast<const std::uint8_t*>(t.text), static_cast<std::size_t>(t.chunkLength));
        return;
    }
    // At most 255 bytes: digits beyond 510 are cut.
    char digits[511];
    adDxfCopyText(digits, sizeof digits, t.text);
    std::uint8_t bytes[255];
    std::int16_t count = 0;
    adHexToBytes(digits, bytes, sizeof bytes, &count);
    putCounted(item, bytes, static_cast<std::size_t>(count));
}

bool putValue(AdDrawing* drawing, std::int16_t code, AdXdataKind kind, Item* item) {
    const AdDxfToken& t = adDxfToken();
    switch (kind) {
        case AdXdataKind::Text:
            putCounted(item, reinterpret_cast<const std::uint8_t*>(t.text), std::strlen(t.text));
            return true;
        case AdXdataKind::Handle:
            if (code == 1005) {
                item->put(t.handle.b, sizeof t.handle.b);
            } else {
                putCounted(item, reinterpret_cast<const std::uint8_t*>(t.text), std::strlen(t.text));
            }
            return true;
        case AdXdataKind::Brace: item->putByte(t.text[0] == '{' ? 0 : 1); return true;
        case AdXdataKind::Binary: putChunk(drawing, item); return true;
        case AdXdataKind::Point: {
            double point[3];
            if (!adDxfReadPoint(drawing, point, code)) return false;
            for (double v : point) item->putDouble(v);
            return true;
        }
        case AdXdataKind::Real: item->putDouble(t.real); return true;
        case AdXdataKind::Int16: {
            const std::uint8_t b[2] = {static_cast<std::uint8_t>(t.shortValue & 0xFF),
                                       static_cast<std::uint8_t>((t.shortValue >> 8) & 0xFF)};
            item->put(b, sizeof b);
            return true;
        }
        case AdXdataKind::Int32: {
            const auto v = static_cast<std::uint32_t>(t.longValue);
            const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                       static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
            item->put(b, sizeof b);
            return true;
        }
        case AdXdataKind::Refused: return false;
    }
    return false;
}
}  // namespace

// A code extended data does not have is left out entirely: a code byte
// without its value would make the rest of the data unreadable.
int adDxfXdataGroup(AdDrawing* drawing, std::int16_t code) {
    if (!drawing || !adGlobals || !adGlobals->buffer32kA) return 0;
    const AdXdataKind kind = adXdataKind(code);
    if (kind == AdXdataKind::Refused) return 0;
    Item item;
    item.putByte(static_cast<std::uint8_t>((code - 1000) & 0xFF));
    if (!putValue(drawing, code, kind, &item)) return 0;
    std::int32_t& length = adGlobals->xdataLength;
    if (length < 0 || length > AD_XDATA_BUFFER_SIZE ||
        item.length > static_cast<std::size_t>(AD_XDATA_BUFFER_SIZE - length))
        return 0;
    std::memcpy(adGlobals->buffer32kA + length, item.bytes, item.length);
    length += static_cast<std::int32_t>(item.length);
    return 1;
}
