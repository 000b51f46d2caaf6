#include "toolkit/solids/legacy_records.h"

#include "toolkit/solids/diagnostics.h"

namespace {

void addItem(const LegacyGeometry& geometry, std::int32_t flag, LegacyIntersectionList& list) {
    if (list.count < 0) list.count = 0;
    if (list.count >= kLegacyMaxItems) {
        writeDiagnostic(DiagnosticStream::out, "*\n*\n*\n***** TOO MANY INTERSECTION POINTS\n*\n*\n*\n\n");
        return;
    }
    LegacyItem& item = list.items[list.count++];
    item.type = legacyTypeOf(geometry);
    item.reserved = 0;
    item.tangent = flag;
    item.geometry = geometry;
}

}  // namespace

void addLegacyPoint(const aPoint& point, std::int32_t flag, LegacyIntersectionList& list) {
    addItem(point, flag, list);
}

void addLegacyLine(const aPoint& p, const aVector& d, std::int32_t flag, LegacyIntersectionList& list) {
    addItem(LegacyLine{p, d}, flag, list);
}

void addLegacyCircle(const aPoint& z, const aVector& u, const aVector& v, const aVector& n, double radius,
                     std::int32_t flag, LegacyIntersectionList& list) {
    addItem(LegacyCircle{z, u, v, n, radius}, flag, list);
}

void addLegacyEllipse(const aPoint& z, const aVector& u, const aVector& v, const aVector& n, double major,
                      double minor, std::int32_t flag, LegacyIntersectionList& list) {
    addItem(LegacyEllipse{z, u, v, n, major, minor}, flag, list);
}

void addLegacyParabola(const aPoint& vertex, const aVector& u, const aVector& v, const aVector& n, double focal,
                       std::int32_t flag, LegacyIntersectionList& list) {
    addItem(LegacyParabola{vertex, u, v, n, focal}, flag, list);
}

void addLegacyHyperbola(const aPoint& z, const aVector& u, const aVector& v, const aVector& n, double a, double b,
                        std::int32_t flag, LegacyIntersectionList& list) {
    addItem(LegacyHyperbola{z, u, v, n, a, b}, flag, list);
}

void appendLegacyResults(const LegacyIntersectionList& source, LegacyIntersectionList& target) {
    for (std::int32_t i = 0; i < source.count && i < kLegacyMaxItems && target.count < kLegacyMaxItems; ++i)
        target.items[target.count++] = source.items[i];
}

void copyLegacyResults(const LegacyIntersectionList& source, LegacyIntersectionList& target) {
    if (&source != &target) target = source;
}
