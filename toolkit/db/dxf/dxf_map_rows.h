// Building the rows of the group-code maps. A row is checked when it is
// compiled: its field must hold its kind's values, its element must lie
// inside the field, and a map must be sorted by code.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstddef>
#include <type_traits>

constexpr std::size_t adDxfKindElementSize(AdDxfFieldKind kind) {
    switch (kind) {
        case AD_DXF_FIELD_BYTE: return 1;
        case AD_DXF_FIELD_INT16: return 2;
        case AD_DXF_FIELD_DOUBLE:
        case AD_DXF_FIELD_ANGLE: return 8;
        case AD_DXF_FIELD_TEXT:
        case AD_DXF_FIELD_NAME: return 1;
        case AD_DXF_FIELD_HANDLE:
        case AD_DXF_FIELD_ARROW: return sizeof(AdHandle);
        case AD_DXF_FIELD_INT32: return 4;
    }
    return 0;
}

// Throwing stops the compilation of a map whose row does not fit.
constexpr AdDxfFieldMap adDxfRow(std::int16_t code, std::size_t offset, std::size_t size, std::size_t element,
                                 AdDxfFieldKind kind, int index) {
    const std::size_t at = static_cast<std::size_t>(index < 0 ? 0 : index) * element;
    if (element != adDxfKindElementSize(kind) || at + element > size || offset > 0x7FFF || size > 0xFFFF)
        throw "a map row does not fit its field";
    return {code, static_cast<std::int16_t>(offset), static_cast<std::uint8_t>(kind), static_cast<std::int8_t>(index),
            static_cast<std::uint16_t>(size)};
}

template <std::size_t N>
constexpr bool adDxfMapSorted(const AdDxfFieldMap (&map)[N]) {
    for (std::size_t i = 1; i < N; ++i)
        if (map[i - 1].code >= map[i].code) return false;
    return true;
}

// A row for member of the Record type in scope.
#define AD_DXF_ROW(code, member, kind, index)                                                                   \
    adDxfRow(code, offsetof(Record, member), sizeof(Record::member),                                          \
             sizeof(std::remove_all_extents_t<decltype(Record::member)>), kind, index)

// Stores the token through one row into the record.
void adDxfStoreRow(AdDrawing* drawing, const AdDxfFieldMap& row, void* record);
// The row of a code in a sorted map; null when there is none.
const AdDxfFieldMap* adDxfFindRow(const AdDxfFieldMap* map, std::int32_t count, std::int16_t code);
