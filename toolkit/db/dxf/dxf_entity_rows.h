// Writing entity maps: rows in reading order, sorted when compiled, and
// the rows of a point's coordinates.
#pragma once
#include "toolkit/db/dxf/dxf_map_rows.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <algorithm>
#include <array>

template <std::size_t N>
constexpr std::array<AdDxfFieldMap, N> adDxfSortedRows(std::array<AdDxfFieldMap, N> rows) {
    std::sort(rows.begin(), rows.end(), [](const AdDxfFieldMap& a, const AdDxfFieldMap& b) { return a.code < b.code; });
    for (std::size_t i = 1; i < N; ++i)
        if (rows[i - 1].code == rows[i].code) throw "a code has two rows";
    return rows;
}

// The x, y and z of a point field from code, code + 10 and code + 20; a
// point inside an array field takes the elements from first on.
#define AD_DXF_POINT(code, member) AD_DXF_POINT_AT(code, member, 0)
#define AD_DXF_POINT_AT(code, member, first)                                                                \
    AD_DXF_ROW(code, member, AD_DXF_FIELD_DOUBLE, (first)),                                                 \
        AD_DXF_ROW((code) + 10, member, AD_DXF_FIELD_DOUBLE, (first) + 1),                                  \
        AD_DXF_ROW((code) + 20, member, AD_DXF_FIELD_DOUBLE, (first) + 2)
#define AD_DXF_POINT2(code, member)                                                                         \
    AD_DXF_ROW(code, member, AD_DXF_FIELD_DOUBLE, 0), AD_DXF_ROW((code) + 10, member, AD_DXF_FIELD_DOUBLE, 1)
#define AD_DXF_MAP(name, ...) constexpr auto name = adDxfSortedRows(std::array{__VA_ARGS__})

struct AdDxfEntityMap {
    const AdDxfFieldMap* rows;
    std::int32_t count;
};

template <const auto& Rows>
constexpr AdDxfEntityMap adDxfMapOf() {
    return {Rows.data(), static_cast<std::int32_t>(Rows.size())};
}
