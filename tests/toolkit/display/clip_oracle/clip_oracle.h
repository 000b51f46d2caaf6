// The independent clipper used as a test and benchmark oracle. It works on
// integer coordinates, so operands are scaled by 2^40: its rounding of
// crossings then moves areas by far less than the tolerance compared.
#pragma once
#include "toolkit/display/clip/clip.h"

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <vector>

constexpr double kOracleScale = 0x1.0p40;

inline ClipperLib::Paths oraclePaths(const AdClipPolygon* p, double scale = kOracleScale) {
    ClipperLib::Paths paths;
    for (std::int32_t i = 0; i < adClipPolygonContourCount(p); ++i) {
        ClipperLib::Path path;
        const AdClipPoint* pts = adClipPolygonContourPoints(p, i);
        for (std::int32_t v = 0; v < adClipPolygonContourSize(p, i); ++v)
            path.emplace_back(std::llround(pts[v].x * scale), std::llround(pts[v].y * scale));
        paths.push_back(std::move(path));
    }
    return paths;
}

inline ClipperLib::ClipType oracleOperation(AdClipOp op) {
    switch (op) {
    case AD_CLIP_DIFFERENCE: return ClipperLib::ctDifference;
    case AD_CLIP_INTERSECTION: return ClipperLib::ctIntersection;
    case AD_CLIP_XOR: return ClipperLib::ctXor;
    default: return ClipperLib::ctUnion;
    }
}

// Both operands read by the even-odd rule, as ours are.
inline ClipperLib::Paths oracleBoolean(AdClipOp op, const ClipperLib::Paths& subject, const ClipperLib::Paths& clip) {
    ClipperLib::Clipper c;
    c.AddPaths(subject, ClipperLib::ptSubject, true);
    c.AddPaths(clip, ClipperLib::ptClip, true);
    ClipperLib::Paths out;
    c.Execute(oracleOperation(op), out, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    return out;
}

// The oracle's result area in the operands' units (its holes run clockwise).
inline double oracleArea(const ClipperLib::Paths& paths) {
    double area = 0;
    for (const ClipperLib::Path& path : paths) area += ClipperLib::Area(path);
    return area / (kOracleScale * kOracleScale);
}
