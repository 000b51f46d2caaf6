// The one entry point for intersecting two curves, a curve with a surface or
// two surfaces. Pairs without code of their own go through the legacy layer.
#pragma once

#include <cstdint>

#include "toolkit/solids/geometry_fwd.h"
#include "toolkit/solids/legacy_records.h"

class c_IntersectionResult {
public:
    c_IntersectionResult(const c_Curve& a, const c_Curve& b);
    c_IntersectionResult(const c_Curve& curve, const c_Surface& surface);
    c_IntersectionResult(const c_Surface& a, const c_Surface& b);

    // 0 not handled, 1 no intersection, 2 intersections found.
    std::int32_t getStatus() const { return status; }
    // A result with status 2 and no items (the operands coincide) counts one.
    std::int32_t getCount() const;
    void clear() { list.count = 0; }
    const LegacyIntersectionList& getList() const { return list; }

private:
    friend class c_IntersectionItem;

    void intersectLegacy(const c_Curve& a, const c_Curve& b);

    std::int32_t status = 1;
    LegacyIntersectionList list;
};

// A view of one item of a result, which must outlive it.
class c_IntersectionItem {
public:
    c_IntersectionItem(const c_IntersectionResult& result, std::int32_t index);

    // 1 whole coincidence, 0 nothing, 2 a point, 3 a line, circle or ellipse.
    std::int32_t kind() const;
    bool getPoint(aPoint& out) const;
    bool getLine(c_Line& out) const;

private:
    bool whole = false;
    const LegacyItem* item = nullptr;
};
