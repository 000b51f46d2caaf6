// Working records of one clip operation, shared by the table builder, the
// scanbeam sweep and the two output builders (contours, triangle strips).
#pragma once

#include "toolkit/display/clip/clip.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

// Working memory comes from the host allocator; running out throws
// std::bad_alloc, which the entry points turn into a failure after the
// containers have released what they held.
template <class T>
struct ClipAllocator {
    using value_type = T;
    ClipAllocator() = default;
    template <class U>
    ClipAllocator(const ClipAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        void* block = HostAlloc(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) { HostFree(block); }
    friend bool operator==(ClipAllocator, ClipAllocator) { return true; }
};

template <class T>
using ClipVector = std::vector<T, ClipAllocator<T>>;

// Owners: the clip polygon is 0, the subject 1. Sides of the scanline:
// above 0, below 1.
constexpr int kClipOwner = 0;
constexpr int kSubjectOwner = 1;
constexpr int kAbove = 0;
constexpr int kBelow = 1;

// The only tolerance: bundling coincident edges and refusing near-parallel
// crossings. Every other comparison of coordinates is exact.
constexpr double kClipEpsilon = DBL_EPSILON;

enum ClipBundleState : std::uint8_t { kUnbundled = 0, kBundleHead = 1, kBundleTail = 2 };

constexpr std::int32_t kNoRecord = -1;

struct ClipEdge {
    AdClipPoint bottom;
    AdClipPoint top;
    double xb;  // x at the bottom of the current scanbeam
    double xt;  // x at its top
    double dx;  // change of x per unit of y
    std::uint8_t owner;
    std::uint8_t bundle[2][2];  // [side][owner]
    std::uint8_t side[2];       // running inside-state left of the edge, per owner
    std::uint8_t state[2];      // ClipBundleState per side
    std::int32_t out[2];        // output record per side (contour or strip index)
    ClipEdge* prev;             // active edge table
    ClipEdge* next;
    ClipEdge* successor;  // next edge of the same bound
};

// A bound that starts at a local minimum: its first edge, in table order.
struct ClipBound {
    double y;
    ClipEdge* first;
};

// Everything the sweep needs, built from the operands.
struct ClipTables {
    ClipVector<ClipEdge> edges;       // every bound's edges, one block
    ClipVector<ClipBound> minima;     // sorted by y, then bottom x, then dx
    ClipVector<double> scanbeams;     // distinct y values, ascending
};

// Builds the tables of both operands (bounding-box pre-test included). The
// tables are empty when nothing can contribute.
void adClipBuildTables(AdClipOp op, const AdClipPolygon* subject, const AdClipPolygon* clip, ClipTables& tables);

// What the sweep hands an output builder. Codes are the 4-bit quadrant
// classes: at the scanline bit 0 below-left, 1 below-right, 2 above-left,
// 3 above-right; at a crossing bit 0 below, 1 right, 2 left, 3 above.
class ClipOutput {
public:
    virtual void beginScanbeam() = 0;
    virtual void atScanline(int code, ClipEdge& edge, double x, double y) = 0;
    virtual void atCrossing(int code, ClipEdge& e0, ClipEdge& e1, double x, double y) = 0;

protected:
    ~ClipOutput() = default;
};

void adClipSweep(AdClipOp op, ClipTables& tables, ClipOutput& output);

// Sweep with an output builder and assemble its result into a fresh record.
// Both throw std::bad_alloc, releasing whatever of the result they had built.
void adClipSweepContours(AdClipOp op, ClipTables& tables, AdClipPolygon& result);
void adClipSweepStrips(AdClipOp op, ClipTables& tables, AdTriStrips& result);
