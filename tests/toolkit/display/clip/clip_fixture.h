// Polygons for clipper tests written as nested lists of points, and results
// read back into plain vectors for comparison.
#pragma once
#include "clip_shapes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline std::ostream& operator<<(std::ostream& os, const AdClipPoint& p) { return os << "(" << p.x << "," << p.y << ")"; }


// An operand that owns its clipper record.
class Poly {
public:
    Poly() = default;
    Poly(std::initializer_list<Ring> rings) : Poly(std::vector<Ring>(rings)) {}
    explicit Poly(const std::vector<Ring>& rings) {
        std::vector<std::int32_t> counts;
        for (const Ring& r : rings) counts.push_back(static_cast<std::int32_t>(r.size()));
        EXPECT_EQ(adClipPolygonAlloc(&p, static_cast<std::int32_t>(counts.size()), counts.data()), 1);
        for (std::size_t i = 0; i < rings.size(); ++i)
            std::copy(rings[i].begin(), rings[i].end(), adClipPolygonContourPoints(&p, static_cast<std::int32_t>(i)));
    }
    ~Poly() { adClipPolygonFree(&p); }
    Poly(const Poly&) = delete;
    Poly& operator=(const Poly&) = delete;
    AdClipPolygon* get() { return &p; }
    AdClipPolygon p{0, nullptr, nullptr};
};

class Strips {
public:
    ~Strips() { adTriStripsFree(&s); }
    AdTriStrips* get() { return &s; }
    AdTriStrips s{0, nullptr};
};

// One result contour: its hole flag and vertices.
struct Contour {
    int hole;
    Ring points;
    bool operator==(const Contour&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Contour& c) {
    os << (c.hole ? "hole" : "outer");
    for (const AdClipPoint& p : c.points) os << " " << p;
    return os;
}

inline std::vector<Contour> contoursOf(const AdClipPolygon* p) {
    std::vector<Contour> out;
    for (std::int32_t i = 0; i < adClipPolygonContourCount(p); ++i) {
        const AdClipPoint* pts = adClipPolygonContourPoints(p, i);
        out.push_back({p->holeFlags[i], Ring(pts, pts + adClipPolygonContourSize(p, i))});
    }
    return out;
}

inline std::vector<Ring> stripsOf(const AdTriStrips* s) {
    std::vector<Ring> out;
    for (std::int32_t i = 0; i < adTriStripsCount(s); ++i) {
        const AdClipPoint* pts = adTriStripsPoints(s, i);
        out.push_back(Ring(pts, pts + adTriStripsSize(s, i)));
    }
    return out;
}
