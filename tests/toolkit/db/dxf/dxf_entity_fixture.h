// A DXF file of AC1015 or another version with the classes the entity and
// object readers meet, opened as the load driver opens it, and reading the
// doubles and bytes of a store.
#pragma once
#include "dxf_fixture.h"

#include <string>
#include <vector>

inline std::string dxfSection(const std::string& name, const std::string& body) {
    return asciiGroups({{0, "SECTION"}, {2, name}}) + body + asciiGroups({{0, "ENDSEC"}});
}

// HEADER naming the version, the section holding body, and EOF.
inline std::string dxfDrawing(const std::string& version, const std::string& section, const std::string& body) {
    return dxfSection("HEADER", asciiGroups({{9, "$ACADVER"}, {1, version}})) + dxfSection(section, body) +
           asciiGroups({{0, "EOF"}});
}

// Registers the classes in this order: 500 LWPOLYLINE, 501 HATCH, 502 IMAGE,
// 503 MYENTITY, 504 XRECORD, 505 LAYOUT, 506 MYOBJECT.
inline void registerClasses(AdDrawing* d) {
    const char* const names[][2] = {{"LWPOLYLINE", "AcDbPolyline"}, {"HATCH", "AcDbHatch"},
                                    {"IMAGE", "AcDbRasterImage"},   {"MYENTITY", "MyEntity"},
                                    {"XRECORD", "AcDbXrecord"},     {"LAYOUT", "AcDbLayout"},
                                    {"MYOBJECT", "MyObject"}};
    for (const auto& name : names) {
        const std::int16_t number = adClassRegister(d, name[0], name[1], "App", 0, 0, 0);
        adClassNumSet(d, name[0], number);
    }
}

template <typename T>
std::vector<T> storeValues(AdStore* store) {
    std::vector<T> values;
    if (!store) return values;
    values.resize(static_cast<std::size_t>(adStoreSize(store)) / sizeof(T));
    AdStream* s = adStreamOpenRead(store);
    if (!values.empty()) adStreamRead(s, values.data(), static_cast<std::int32_t>(values.size() * sizeof(T)));
    adStreamCloseRead(s);
    return values;
}
