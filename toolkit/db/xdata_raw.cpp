// The raw extended data that the readers leave in the record buffer, taken
// apart item by item. Files before AC1012 and DXF files give a run of items
// up to the collected length; AC1012 and later files give application blocks
// {size, handle, items} ended by a size of 0. The data comes from the file
// as it stands, so every byte taken is checked against the end of the
// collected data and of the open block.
#include "toolkit/ad_internal.h"
#include "toolkit/db/init_data.h"
#include "toolkit/db/raw_double.h"
#include "toolkit/db/xdata_kinds.h"

#include <cstring>

namespace {

enum class Step { Item, End, Damaged };

struct RawReader {
    const std::uint8_t* data;
    std::int32_t end;  // of the collected data
    bool blocks;       // AC1012 and later
};

static_assert(sizeof(AdGlobalState::xdataName) > 255, "a name counted by a length byte fits with its NUL");

// Numbers in the files are little-endian, like those of the init data.
std::int16_t littleEndian16(const std::uint8_t* b) { return static_cast<std::int16_t>(adInitGet16(b)); }
std::int32_t littleEndian32(const std::uint8_t* b) { return static_cast<std::int32_t>(adInitGet32(b)); }

// The collected length as far as the record buffer can hold it; a longer
// one means the data in the buffer is not what the length claims.
bool collectedEnd(std::int32_t* end) {
    const std::int32_t length = adGlobals->xdataLength;
    if (length < 0 || length > AD_XDATA_BUFFER_SIZE || (length > 0 && !adGlobals->buffer32kA)) {
        adSetError(AD_ERR_XDATA_DAMAGED);
        return false;
    }
    *end = length;
    return true;
}

// Points bytes at the next count bytes and moves past them; false when they
// run past the open block or the data.
bool take(const RawReader& r, std::int32_t count, const std::uint8_t** bytes) {
    AdGlobalState& g = *adGlobals;
    const std::int32_t limit = g.xdataBlockEnd ? g.xdataBlockEnd : r.end;
    if (count > limit - g.xdataPosition) return false;
    *bytes = r.data + g.xdataPosition;
    g.xdataPosition += count;
    return true;
}

// The start of an application block gives a 1001 item with the
// application's handle, right-aligned.
Step openBlock(const RawReader& r, AdXdataItem* item) {
    AdGlobalState& g = *adGlobals;
    const std::uint8_t* b = nullptr;
    if (!take(r, 2, &b)) return Step::Damaged;
    const std::int16_t size = littleEndian16(b);
    if (size == 0) return Step::End;
    if (size < 0 || !take(r, 1, &b)) return Step::Damaged;
    const std::int32_t n = b[0] & 0x0F;
    if (n > static_cast<std::int32_t>(sizeof(AdHandle)) || !take(r, n, &b) || size > r.end - g.xdataPosition)
        return Step::Damaged;
    std::memcpy(item->value.handle.b + sizeof(AdHandle) - n, b, static_cast<std::size_t>(n));
    g.xdataBlockEnd = g.xdataPosition + size;
    item->code = 1001;
    return Step::Item;
}

// AC1012 and later files keep the code page with each string; the others
// use the drawing's.
bool readText(const RawReader& r, const AdDrawing* drawing, AdXdataItem* item) {
    const std::uint8_t* b = nullptr;
    if (!take(r, 1, &b)) return false;
    const std::int32_t n = b[0];
    std::uint8_t codePage = drawing->header ? static_cast<std::uint8_t>(drawing->header->dwgcodepage) : 0;
    if (r.blocks) {
        if (!take(r, 2, &b)) return false;
        codePage = b[1];
    }
    if (!take(r, n, &b)) return false;
    std::memcpy(item->value.text, b, static_cast<std::size_t>(n));
    item->value.text[n] = '\0';
    if (adGlobals->xdataCodePages) item->value.text[n + 1] = static_cast<char>(codePage);
    return true;
}

// An application (1001) or layer (1003) reference that only the tables can
// turn into a handle: a table index in files before AC1012, a name in DXF.
bool readTableReference(const RawReader& r, const AdDrawing* drawing) {
    const std::uint8_t* b = nullptr;
    if (!drawing->dxf) {
        if (!take(r, 2, &b)) return false;
        adGlobals->xdataTableIndex = littleEndian16(b);
        return true;
    }
    if (!take(r, 1, &b)) return false;
    const std::int32_t n = b[0];
    if (!take(r, n, &b)) return false;
    std::memcpy(adGlobals->xdataName, b, static_cast<std::size_t>(n));
    adGlobals->xdataName[n] = '\0';
    return true;
}

bool readBinary(const RawReader& r, AdXdataItem* item) {
    const std::uint8_t* b = nullptr;
    if (!take(r, 1, &b)) return false;
    const std::int32_t n = b[0];
    if (!take(r, n, &b)) return false;
    std::memcpy(item->value.bytes, b, static_cast<std::size_t>(n));
    item->length = static_cast<std::int16_t>(n);
    return true;
}

bool readFixed(const RawReader& r, AdXdataKind kind, AdXdataItem* item) {
    const std::uint8_t* b = nullptr;
    if (!take(r, adXdataFixedLength(kind), &b)) return false;
    switch (kind) {
        case AdXdataKind::Brace: item->value.text[0] = b[0] == 0 ? '{' : '}'; break;
        case AdXdataKind::Handle: std::memcpy(item->value.handle.b, b, sizeof(AdHandle)); break;
        case AdXdataKind::Point:
            for (int i = 0; i < 3; ++i) item->value.point[i] = adDoubleFromFileBytes(b + 8 * i);
            break;
        case AdXdataKind::Real: item->value.real = adDoubleFromFileBytes(b); break;
        case AdXdataKind::Int16: item->value.int16 = littleEndian16(b); break;
        case AdXdataKind::Int32: item->value.int32 = littleEndian32(b); break;
        case AdXdataKind::Refused:
        case AdXdataKind::Text:
        case AdXdataKind::Binary: return false;
    }
    return true;
}

// A code extended data does not have ends the data; so does a 1001 item
// inside an application block, whose handle only the block gives.
Step readItem(const RawReader& r, const AdDrawing* drawing, AdXdataItem* item) {
    const std::uint8_t* b = nullptr;
    if (!take(r, 1, &b)) return Step::Damaged;
    item->code = static_cast<std::int16_t>(1000 + static_cast<std::int8_t>(b[0]));
    const AdXdataKind kind = adXdataKind(item->code);
    if (kind == AdXdataKind::Refused || (r.blocks && item->code == 1001)) return Step::End;
    bool read = false;
    switch (kind) {
        case AdXdataKind::Text: read = readText(r, drawing, item); break;
        case AdXdataKind::Binary: read = readBinary(r, item); break;
        case AdXdataKind::Handle:
            // 1005, and 1003 in AC1012 and later files, carry the handle itself.
            read = item->code == 1005 || r.blocks ? readFixed(r, kind, item) : readTableReference(r, drawing);
            break;
        default: read = readFixed(r, kind, item); break;
    }
    return read ? Step::Item : Step::Damaged;
}

// Leaves the reader at the end of the data: it answers 0 until the next begin.
int stop(std::int32_t end) {
    adGlobals->xdataPosition = end;
    adGlobals->xdataBlockEnd = 0;
    return 0;
}

}  // namespace

int adXdataReadBegin(AdDrawing* drawing) {
    if (!drawing || !adGlobals) return 0;
    adGlobals->xdataPosition = 0;
    adGlobals->xdataBlockEnd = 0;
    std::int32_t end = 0;
    return collectedEnd(&end) ? 1 : 0;
}

int adDwgReadXdataItem(AdDrawing* drawing, AdXdataItem* item) {
    if (!drawing || !item || !adGlobals) return 0;
    AdGlobalState& g = *adGlobals;
    RawReader r{g.buffer32kA, 0, adIsBitCodedDwg(drawing)};
    if (!collectedEnd(&r.end)) return stop(0);
    // A new collection since the last begin may have left the position
    // outside the data.
    if (g.xdataPosition < 0 || g.xdataPosition > r.end || g.xdataBlockEnd < 0 || g.xdataBlockEnd > r.end) {
        adSetError(AD_ERR_XDATA_DAMAGED);
        return stop(r.end);
    }
    std::memset(item, 0, sizeof *item);
    if (g.xdataBlockEnd != 0 && g.xdataPosition == g.xdataBlockEnd) g.xdataBlockEnd = 0;
    if (g.xdataPosition == r.end) return stop(r.end);
    const Step step = r.blocks && g.xdataBlockEnd == 0 ? openBlock(r, item) : readItem(r, drawing, item);
    if (step == Step::Item) return 1;
    if (step == Step::Damaged) adSetError(AD_ERR_XDATA_DAMAGED);
    return stop(r.end);
}
