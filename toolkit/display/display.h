// The drawing display engine's interface for hosts: the render context with
// its output callbacks and settings, device points and the view record, and
// the 4 x 4 matrix math every transform of the engine uses.
//
// Call order: adInitRender and the setters once; per drawing shown
// adBeginDisplay, adMakeViewTransform for each device rectangle and view,
// adDrawDrawing for each draw, adEndDisplay when done; adTermRender at the end.
// Only one thread may be inside the engine at a time.
#pragma once
#include "toolkit/ad.h"

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Device points and records handed to the host
// ---------------------------------------------------------------------------
struct DevicePoint {
    std::int32_t x;
    std::int32_t y;
};

// The one conversion from a double to a device coordinate: truncated toward
// zero, NaN gives 0, values beyond the 32-bit range give the range's end.
std::int32_t adDeviceCoord(double value);

// An OLE frame: the picture store begins with one byte, 0 for a Windows
// metafile, 1 for a device-independent bitmap; the host draws it into the
// rectangle, clipped to the outline.
struct AdOleFrameRecord {
    AdStore* picture;
    std::int32_t pictureLength;
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    std::int32_t outlineCount;
    DevicePoint* outline;
};

// Which INSERT of which drawing referenced an external-reference drawing.
struct AdXrefTag {
    AdDrawing* drawing;
    AdHandle insert;
};

// The view exchanged with the host: direction from the target towards the
// viewer (w 0), target (w 1), up vector (w 0), then the view's width and
// height in drawing units.
struct AdViewRecord {
    double direction[4];
    double target[4];
    double up[4];
    double width;
    double height;
};
static_assert(sizeof(AdViewRecord) == 112, "the view record is 112 bytes");

// ---------------------------------------------------------------------------
// Output callbacks. Every callback gets the drawing's user pointer last (an
// external-reference drawing carries its parent's).
// ---------------------------------------------------------------------------
struct AdPlotStyle;
struct AdImageFrameRecord;
struct AdSolidDrawRecord;

using AdMoveToHook = void (*)(std::int32_t x, std::int32_t y, void* user);
using AdLineToHook = void (*)(std::int32_t x, std::int32_t y, void* user);
// A filled polygon of points[range[0]..range[1]], both inclusive.
using AdPolygonHook = void (*)(const std::int16_t range[2], const DevicePoint* points, void* user);
// Outer and hole contours filled together by the even-odd rule.
using AdPolyPolygonHook = void (*)(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount,
                                   void* user);
using AdTriangleStripHook = void (*)(const DevicePoint* points, std::int32_t count, void* user);
using AdColorHook = void (*)(std::int16_t colour, void* user);
using AdDrawProgressHook = void (*)(std::int16_t percent, void* user);
using AdDrawPollHook = void (*)(void* user);
using AdMissingFileHook = void (*)(const char* path, void* user);
// Writes the path found (at most capacity bytes with the terminator) to
// pathOut; 1 when a file was found.
using AdFindFileHook = int (*)(const char* name, char* pathOut, std::size_t capacity, void* user);
using AdXrefBeginHook = void (*)(const char* path, const AdXrefTag* tag, void* user);
using AdXrefDrawingHook = void (*)(AdDrawing* xref, void* user);
using AdSubEntityHook = void (*)(AdEntityHeader* header, AdEntityData* data, void* user);
using AdEntityBeginHook = void (*)(AdEntityHeader* header, AdEntityData* data, std::int16_t colour,
                                   const AdLtypeRecord* linetype, const AdPlotStyle* plotStyle, void* user);
using AdImageFileHook = int (*)(const char* path, AdStore** imageOut, void* user);
using AdImageDrawHook = void (*)(const std::uint8_t* block, std::int16_t length, void* user);
using AdOleFrameHook = void (*)(AdOleFrameRecord* frame, void* user);
using AdImageFrameHook = void (*)(AdImageFrameRecord* frame, void* user);
using AdImageOpenHook = int (*)(const char* path, std::int32_t* hostImage, void* user);
using AdOleDataHook = int (*)(AdStore* objectData, AdStore** pictureOut, void* user);
// pathOut holds AD_PATH_SIZE bytes.
using AdPlotStyleFileHook = void (*)(const char* name, char* pathOut, void* user);
using AdLineWeightHook = void (*)(std::int32_t deviceWidth, void* user);
// What the dispatcher hands the solid-model slot for one REGION, 3DSOLID or
// BODY: its SAT text and the context its edges are drawn in. The default
// slot (installed by adInitRender) draws the edges through the linetype.
struct AdMatrix4;
struct AdSolidDrawRecord {
    AdStore* sat;  // null: nothing to draw
    std::int32_t spare;
    AdDrawing* drawing;
    const AdMatrix4* block;
    const AdMatrix4* matrices;  // one per viewport
    const AdLtypeRecord* linetype;
    AdDrawing* linetypeDrawing;
    void* wide;  // always null for a solid
    std::int32_t curve;
    std::int32_t spareWord;
    double curveLength;
    std::int32_t segmentsPerSpan;
};
using AdSolidModelHook = std::int32_t (*)(AdSolidDrawRecord* record, std::int32_t* result);
using AdImageReleaseHook = void (*)(void* hostImage, void* user);
// AdGlyphOutlineHook and adSetGlyphOutlineHook are declared with the fonts.

// ---------------------------------------------------------------------------
// Render context
// ---------------------------------------------------------------------------
// 1 on success; 0 when memory runs out, with nothing left allocated.
int adInitRender();
void adTermRender();

void adSetMoveToHook(AdMoveToHook hook);
void adSetLineToHook(AdLineToHook hook);
void adSetPolygonHook(AdPolygonHook hook);
void adSetPolyPolygonHook(AdPolyPolygonHook hook);
void adSetTriangleStripHook(AdTriangleStripHook hook);
void adSetColorHook(AdColorHook hook);
void adSetDrawProgressHook(AdDrawProgressHook hook);
void adSetDrawPollHook(AdDrawPollHook hook);
void adSetMissingFileHook(AdMissingFileHook hook);
// Null restores the default finder.
void adSetTextFileFinderHook(AdFindFileHook hook);
void adSetXrefFinderHook(AdFindFileHook hook);
void adSetXrefBeginHook(AdXrefBeginHook hook);
void adSetXrefOpenedHook(AdXrefDrawingHook hook);
void adSetXrefDoneHook(AdXrefDrawingHook hook);
void adSetSubEntityHook(AdSubEntityHook hook);
void adSetEntityBeginHook(AdEntityBeginHook hook);
void adSetImageFileHook(AdImageFileHook hook);
void adSetImageDrawHook(AdImageDrawHook hook);
void adSetOleFrameHook(AdOleFrameHook hook);
void adSetImageFrameHook(AdImageFrameHook hook);
void adSetImageOpenHook(AdImageOpenHook hook);
void adSetOleDataHook(AdOleDataHook hook);
void adSetPlotStyleFileHook(AdPlotStyleFileHook hook);
void adSetLineWeightHook(AdLineWeightHook hook);
void adSetSolidModelHook(AdSolidModelHook hook);
void adSetImageReleaseHook(AdImageReleaseHook hook);
// The colour hook every context starts with: it does nothing.
void adDefaultColorHook(std::int16_t colour, void* user);

void adSetTextRealign(std::int32_t on);
void adSetDefaultLineWeight(std::int32_t lineWeight);
void adSetModelLineWeightScale(double scale);
void adSetPaperLineWeightScale(double scale);
void adSetSolidDrawing(std::int32_t on);
void adSetDisplayCaching(std::uint8_t on);
// Kept within 1..50 and 0..50 (0: view-dependent).
void adSetSegmentCount(std::int32_t count);
void adSetCurveResolution(std::int32_t resolution);
std::int32_t adGetSegmentCount();
std::int32_t adGetCurveResolution();
std::int32_t adGetSolidDrawing();
// The drawing being drawn: the main drawing, or an external reference's.
AdDrawing* adCurrentDrawing();

// Colour map: every pen colour index passes through it. Starts as 0..16 to
// themselves and 17..255 to 15.
void adSetColorMap(const std::int16_t map[256]);
std::int16_t adMapColor(std::int16_t colour);
// Further process-wide values of the render unit.
void adSetDetailFactor(double factor);
void adSetPixelAspect(double factor);

// Abandons the draw in progress after the current entity. Safe to call from
// the draw poll; the display itself stays as it is.
void adStopDraw();
// 1 while no one has asked the draw to stop.
std::int16_t adDrawContinues();

// ---------------------------------------------------------------------------
// Display of a drawing
// ---------------------------------------------------------------------------
// Shows the drawing for a device rectangle (left, top, right, bottom): model
// space from its "*ACTIVE" VPORT, paper space from the layout's VIEWPORT
// entities (space: the layout block's 8-byte handle, or null for the
// default). Writes the initial view; with the display-list cache on, the
// virtual device rectangle too. 1, or 0 when memory runs out.
int adBeginDisplay(AdDrawing* drawing, AdViewRecord* viewOut, const std::int32_t deviceRect[4],
                   std::int32_t virtualRectOut[4], const std::uint8_t* space);
// The same with the drawing that shows this one (itself, or the parent of
// an external reference, whose view is then an input).
int adSetupDisplay(AdDrawing* drawing, AdViewRecord* view, const std::int32_t deviceRect[4],
                   std::int32_t virtualRectOut[4], AdDrawing* owner, const std::uint8_t* space);
void adEndDisplay(AdDrawing* drawing);
// Makes the matrices for the view and device rectangle; 1 when the display
// cache must be regenerated by the next draw. A zero view width or height
// counts as the other one, a device rectangle without height as one unit
// high.
int adMakeViewTransform(AdDrawing* drawing, AdViewRecord* view, const std::int32_t deviceRect[4],
                        std::int32_t virtualRect[4]);
void adInvalidateViewCache(AdDrawing* drawing);
// Draws the shown drawing: the layout's paper space and model space, then
// the external references they name; 1.
int adDrawDrawing(AdDrawing* drawing);
// The view that shows the drawn extents; 1.
int adZoomExtents(AdDrawing* drawing, AdViewRecord* out);
// Moving a view: target along the side vector (up x direction) and up;
// turns are by -angle about up, direction or the side vector.
void adViewPan(AdViewRecord* view, double dx, double dy);
void adViewOrbitHorizontal(AdViewRecord* view, double angle);
void adViewOrbitVertical(AdViewRecord* view, double angle);
void adViewRoll(AdViewRecord* view, double angle);
// A view from a VIEW record, keeping the width-to-height ratio of view.
void adViewFromTableRecord(AdDrawing* drawing, AdViewRecord* view, const AdViewTableRecord* record);

// World and device coordinates of a displayed drawing.
void adWorldToDevice(const AdDrawing* drawing, const double world[3], double deviceOut[2]);
// 0 (worldOut untouched) when the view matrix has no inverse.
int adDeviceToWorld(const AdDrawing* drawing, const double device[2], double worldOut[3]);
struct AdMatrix4;
AdMatrix4* adViewMatrix(AdDrawing* drawing);
std::int16_t adExtentsValid(const AdDrawing* drawing);
void adGetExtentsSize(const AdDrawing* drawing, double* width, double* height);

void adBitsOr8(std::uint8_t target[8], const std::uint8_t source[8]);

// Reads the next entity of the list into the shared buffers (adSubEntityHeader,
// adSubEntityData); with substituteLayer, an entity on layer 0 other than an
// ATTRIB takes the inserting entity's layer. Answers adEntityNext's result.
int adNextSubEntity(AdDrawing* drawing, AdRecordList* list, std::int16_t substituteLayer);
// Reads up to and including the next SEQEND; 0 when the list ends first.
int adSkipToSeqend(AdDrawing* drawing, AdRecordList* list);
AdEntityHeader* adSubEntityHeader();
AdEntityData* adSubEntityData();

// ---------------------------------------------------------------------------
// Matrices: row-major, points are row vectors (p' = p x M), the translation
// is row 3, and A x B applies A first.
// ---------------------------------------------------------------------------
struct AdMatrix4 {
    double m[4][4];
};

extern const AdMatrix4 adIdentityMatrix;

void adMatrixIdentity(AdMatrix4* matrix);
// out may be a or b.
void adMatrixMultiply(const AdMatrix4* a, const AdMatrix4* b, AdMatrix4* out);
// In place; 0 and the matrix unchanged when it has no finite inverse.
int adMatrixInvert(AdMatrix4* matrix);
// out may be p.
void adTransformPoint(const double p[4], const AdMatrix4* matrix, double out[4]);
void adMatrixPreTranslate(const double t[3], AdMatrix4* matrix);
void adMatrixPostTranslate(double tx, double ty, double tz, AdMatrix4* matrix);
void adMatrixScaleAxes(double sx, double sy, double sz, AdMatrix4* matrix);
void adMatrixRotateZ(double angle, AdMatrix4* matrix);
// The object coordinate system of an extrusion direction (a unit vector).
void adMatrixFromExtrusion(const double normal[3], AdMatrix4* matrix);
void adRotateAboutAxis(double point[3], const double axisPoint[3], const double axis[3], double angle);
void adPlaneNormal(const double p0[3], const double p1[3], const double p2[3], double out[4]);
void adCircleCentre3P(const double p0[3], const double p1[3], const double p2[3], const double normal[3],
                      double out[3]);
// Applies the current transform of the display globals.
void adTransformByGlobal(double point[3]);
double adPointDistance(const double p[3], const double q[3]);
double adMatrixScale(const AdMatrix4* matrix);
