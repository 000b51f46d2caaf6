// The primitive emission layer: world quads and contours and device lines
// are mapped to the device, clipped to the viewport rectangle or the clip
// region in force, counted into the drawn extents, and handed to the host's
// output hooks. Also the growable scratch buffers the geometry code shares
// and the small 2D predicates of the clipping. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// Entity flags of the display engine (beside the database's).
constexpr std::uint8_t AD_ENTITY_FLAG_CLIPPED_EXTENTS = 0x08;  // extents from the clipped output
constexpr std::uint8_t AD_ENTITY_FLAG_BOUNDARY = 0x10;         // a boundary outline

// The render context's scratch buffers.
constexpr int AD_BUFFER_INTEGER = 0;  // DevicePoint
constexpr int AD_BUFFER_DOUBLE = 1;   // pairs of doubles, or AdDeviceSegment

// One clipped piece of a device line.
struct AdDeviceSegment {
    double x1, y1, x2, y2;
};

// The entity being drawn; a neutral header when none is set.
AdEntityHeader* adCurrentEntity();

// 1 above 1e-10, -1 below -1e-10, else 0.
std::int16_t adSignTol(double value);
// x and y of p x M, without a division by w.
void adTransformToDevice(const double p[3], const AdMatrix4* matrix, double out[2]);
// points holds count (x, y) pairs; repeats are removed in place, and a last
// point equal to the first.
void adRemoveDuplicatePoints(double* points, std::int16_t* count);

// A request larger than the capacity is rounded up to 1024 bytes. Reserve
// keeps nothing, Grow keeps the old contents. When allocation fails the
// buffer is left empty (null, capacity 0) and null is answered.
void* adBufferReserve(AdGrowBuffer* buffer, std::size_t bytes);
void* adBufferGrow(AdGrowBuffer* buffer, std::size_t bytes);

// The viewports a primitive of the current entity goes to: viewport 0
// alone, or the windows 1..count-1; first and end (exclusive).
void adViewportRange(const AdDisplayState* state, int* first, int* end);
// Clear in the suppressed bitmap and set in the active one.
bool adViewportDrawable(const AdDisplayState* state, int v);
// Counts one primitive toward the poll of the draw.
void adPollPrimitive(AdDrawing* drawing);
// Fills of the current entity are drawn filled in viewport v (else outlined).
int adFillVisibleInViewport(AdDrawing* drawing, int v);

// Quads: corners in the order p1, p2, p4, p3 make the outline.
int adFillQuad(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3], const double p4[3],
               const AdMatrix4* matrices);
int adFillQuadOneViewport(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3],
                          const double p4[3], const AdMatrix4* matrices, int v);
void adFillQuadInViewport(AdDrawing* drawing, const double p1[3], const double p2[3], const double p3[3],
                          const double p4[3], const AdMatrix4* matrices, int v, const AdMatrix4* matrix,
                          AdOleFrameRecord* frame);
// Contours of 3D points (three doubles each), filled together by the even-odd
// rule; 0 when the counts sum to 0.
int adFillContours(AdDrawing* drawing, const double* points, const std::int16_t* counts, std::int16_t contourCount,
                   const AdMatrix4* matrices);

// The rectangle clipper: count points (at most AD_DEVICE_OUTLINE_LIMIT / 5,
// reordered in place) against the current viewport's clip rectangle into
// at most AD_DEVICE_OUTLINE_LIMIT integer points; 1 when 3 or more remain.
void adSetClipRect(const AdDisplayState* state, int v);
int adClipPolygonToRect(std::int16_t count, double* points, std::int16_t* outCount, DevicePoint* out);
// The polygon hook for points[0..count-1]; extents, when given, grow first.
void adEmitPolygon(std::int16_t count, const DevicePoint* points, AdDrawing* drawing, AdDisplayState* extents);
void adEmitRegion(AdDrawing* drawing, const AdClipPolygon* region, AdDisplayState* extents, AdOleFrameRecord* frame);

// Device lines: clipped to viewport v, then moveTo (when not joined) and
// lineTo per piece.
void adEmitDeviceLine(AdDrawing* drawing, const double start[2], const double end[2], int v);
std::int32_t adClipDeviceLine(AdDrawing* drawing, const double start[2], const double end[2], int v,
                              AdGrowBuffer* out);

int adPointNearSegment(const double p[2], const double a[2], const double b[2], double tolerance);
// Up to two points (x, y pairs) where the segment meets the edge.
int adIntersectSegments(const double s0[2], const double s1[2], const double e0[2], const double e1[2],
                        double out[4]);
int adPointInContour(const double p[2], std::int32_t count, const AdClipPoint* vertices, double tolerance);
int adPointInRegion(const double p[2], const AdClipPolygon* region, double tolerance);
// Widens the device extents of state by a point.
void adWidenExtents(AdDisplayState* state, double x, double y);
// The display state whose extents count: the top-level drawing's.
AdDisplayState* adTopState(AdDrawing* drawing);
