// Carrying the token into a record field through one map row.
#include "toolkit/db/dxf/dxf_map_rows.h"
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstdlib>
#include <cstring>
#include <numbers>

namespace {
template <typename T>
void put(std::uint8_t* field, const AdDxfFieldMap& row, T value) {
    const std::size_t index = row.index < 0 ? 0 : static_cast<std::size_t>(row.index);
    std::memcpy(field + index * sizeof(T), &value, sizeof(T));
}

// A block named before it was read is looked for again when the load
// completes; a block of that name present now gives its handle at once.
void storeArrow(AdDrawing* drawing, const AdDxfFieldMap& row, void* record, std::uint8_t* field) {
    const char* name = adDxfToken().text;
    AdHandle block{};
    if (drawing && adBlockHandleByName(drawing, name, &block)) {
        std::memcpy(field, &block, sizeof block);
        return;
    }
    const auto* style = static_cast<const AdDimStyleRecord*>(record);
    adDxfDeferArrowName(drawing, &style->handle, name, row.code);
}
}  // namespace

void adDxfStoreRow(AdDrawing* drawing, const AdDxfFieldMap& row, void* record) {
    const AdDxfToken& t = adDxfToken();
    std::uint8_t* field = static_cast<std::uint8_t*>(record) + row.field;
    switch (static_cast<AdDxfFieldKind>(row.kind)) {
        case AD_DXF_FIELD_BYTE: put(field, row, static_cast<std::uint8_t>(adDxfTokenInteger() & 0xFF)); break;
        case AD_DXF_FIELD_INT16: put(field, row, static_cast<std::int16_t>(adDxfTokenInteger())); break;
        case AD_DXF_FIELD_DOUBLE: put(field, row, t.real); break;
        case AD_DXF_FIELD_ANGLE: put(field, row, t.real * std::numbers::pi / 180.0); break;
        case AD_DXF_FIELD_TEXT:
        case AD_DXF_FIELD_NAME: adDxfCopyText(reinterpret_cast<char*>(field), row.size, t.text); break;
        case AD_DXF_FIELD_HANDLE: put(field, row, t.handle); break;
        case AD_DXF_FIELD_INT32: put(field, row, adDxfTokenInteger()); break;
        case AD_DXF_FIELD_ARROW: storeArrow(drawing, row, record, field); break;
    }
}

int adDxfCompareCodes(const void* a, const void* b) {
    const std::int16_t x = static_cast<const AdDxfFieldMap*>(a)->code;
    const std::int16_t y = static_cast<const AdDxfFieldMap*>(b)->code;
    return x < y ? -1 : (x > y ? 1 : 0);
}

const AdDxfFieldMap* adDxfFindRow(const AdDxfFieldMap* map, std::int32_t count, std::int16_t code) {
    if (!map || count <= 0) return nullptr;
    AdDxfFieldMap key{};
    key.code = code;
    return static_cast<const AdDxfFieldMap*>(
        std::bsearch(&key, map, static_cast<std::size_t>(count), sizeof(AdDxfFieldMap), adDxfCompareCodes));
}
