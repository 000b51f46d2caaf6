// The older geometry layer behind the analytic intersections: small records of
// doubles told apart by type codes, kept in per-type pools, and the result
// list of at most 20 points and curves that every intersection routine fills.
#pragma once

#include <cstdint>
#include <variant>

#include "toolkit/solids/vector.h"

enum LegacyType : std::int32_t {
    LEGACY_POINT = 6,
    LEGACY_LINE = 100,
    LEGACY_CIRCLE = 101,
    LEGACY_ELLIPSE = 102,
    LEGACY_PARABOLA = 103,
    LEGACY_HYPERBOLA = 104,
    LEGACY_PLANE = 500,
    LEGACY_CYLINDER = 501,
    LEGACY_SPHERE = 502,
    LEGACY_CONE = 503,
};

struct LegacyLine {
    aPoint point;
    aVector direction;  // unit
};
struct LegacyCircle {
    aPoint centre;
    aVector u, v, normal;
    double radius = 0;
};
struct LegacyEllipse {
    aPoint centre;
    aVector u, v, normal;  // u along the major axis
    double major = 0, minor = 0;
};
// Points vertex + 2a·t·u + a·t²·v; v points towards the focus.
struct LegacyParabola {
    aPoint vertex;
    aVector u, v, normal;
    double focal = 0;
};
// Points centre + a·sec θ·u + b·tan θ·v.
struct LegacyHyperbola {
    aPoint centre;
    aVector u, v, normal;
    double a = 0, b = 0;
};
struct LegacyPlane {
    aPoint point;
    aVector normal;  // unit
};
struct LegacyCylinder {
    aPoint base;
    aVector x, y, axis;
    double radius = 0;
};
struct LegacySphere {
    aPoint centre;
    double radius = 0;
};
struct LegacyCone {
    aPoint apex;
    aVector x, y, axis;
    double halfAngle = 0, tanHalfAngle = 0, cosHalfAngle = 0;
};

using LegacyGeometry = std::variant<aPoint, LegacyLine, LegacyCircle, LegacyEllipse, LegacyParabola,
                                    LegacyHyperbola, LegacyPlane, LegacyCylinder, LegacySphere, LegacyCone>;

// The type code of whatever the geometry holds.
LegacyType legacyTypeOf(const LegacyGeometry& geometry);

struct LegacyNode;

// Ahead of every pooled record: 0 in use, 1 on a free list; the owning node
// while in use, the next free record while on a free list.
struct LegacyRecordHeader {
    std::int32_t state = 0;
    void* link = nullptr;
};

struct LegacyRecord {
    LegacyRecordHeader header;
    LegacyGeometry geometry;
};

struct LegacyNode {
    std::int32_t type = 0;
    std::int32_t handleWord = 0;
    LegacyRecord* record = nullptr;
};

struct LegacyEntityHandle {
    std::int32_t word = 0;
    LegacyNode* node = nullptr;
};

// What a curve or surface without a legacy form answers.
inline constexpr LegacyEntityHandle nullEntityHandle{};

LegacyNode* newLegacyLine(const LegacyLine& image, LegacyEntityHandle& out);
LegacyNode* newLegacyCircle(const LegacyCircle& image, LegacyEntityHandle& out);
LegacyNode* newLegacyEllipse(const LegacyEllipse& image, LegacyEntityHandle& out);
LegacyNode* newLegacyPlane(const LegacyPlane& image, LegacyEntityHandle& out);
LegacyNode* newLegacyCylinder(const LegacyCylinder& image, LegacyEntityHandle& out);
LegacyNode* newLegacySphere(const LegacySphere& image, LegacyEntityHandle& out);
LegacyNode* newLegacyCone(const LegacyCone& image, LegacyEntityHandle& out);

// Answers 0 for null; otherwise returns the record to its pool, frees the
// node and answers 1.
std::int32_t freeLegacyEntity(LegacyNode* node);

LegacyRecord* allocLegacyRecord(std::int32_t type);
// A record already on its free list is not pushed again.
void releaseLegacyRecord(std::int32_t type, LegacyRecord* record);
// Frees every record on every free list; records in use are not touched.
void freeLegacyPools();

// ---- intersection results ----

inline constexpr std::int32_t kLegacyMaxItems = 20;

struct LegacyItem {
    std::int32_t type = 0;
    std::int32_t reserved = 0;
    std::int32_t tangent = 0;  // 1 where the routine found a touching contact
    LegacyGeometry geometry;
};

struct LegacyIntersectionList {
    std::int32_t count = 0;
    LegacyItem items[kLegacyMaxItems];
};

// Items beyond the 20th are dropped with a message on the standard output.
void addLegacyPoint(const aPoint& point, std::int32_t flag, LegacyIntersectionList& list);
void addLegacyLine(const aPoint& p, const aVector& d, std::int32_t flag, LegacyIntersectionList& list);
void addLegacyCircle(const aPoint& z, const aVector& u, const aVector& v, const aVector& n, double radius,
                     std::int32_t flag, LegacyIntersectionList& list);
void addLegacyEllipse(const aPoint& z, const aVector& u, const aVector& v, const aVector& n, double major,
                      double minor, std::int32_t flag, LegacyIntersectionList& list);
void addLegacyParabola(const aPoint& vertex, const aVector& u, const aVector& v, const aVector& n, double focal,
                       std::int32_t flag, LegacyIntersectionList& list);
void addLegacyHyperbola(const aPoint& z, const aVector& u, const aVector& v, const aVector& n, double a, double b,
                        std::int32_t flag, LegacyIntersectionList& list);
// Appends the source's items while the target holds fewer than 20.
void appendLegacyResults(const LegacyIntersectionList& source, LegacyIntersectionList& target);
void copyLegacyResults(const LegacyIntersectionList& source, LegacyIntersectionList& target);

// Both answer 1 for a missing entity or an unsupported pair, otherwise the
// code of the routine the pair selects.
std::int32_t intersectLegacyCurves(const LegacyNode* a, const LegacyNode* b, LegacyIntersectionList& list);
std::int32_t intersectLegacyCurveSurface(const LegacyNode* curve, const LegacyNode* surface,
                                         LegacyIntersectionList& list);
