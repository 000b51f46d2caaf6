// The view side of a shown drawing: the matrices of a view, the viewport
// entries and their device rectangles, the display-list cache's virtual
// device, and the clip-region stack. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// Side of the display-list cache's virtual device.
constexpr std::int32_t AD_VIRTUAL_DEVICE_SIZE = 32000;

// World to view: the target goes to the origin, the view direction onto +z,
// the up vector onto +y, and (cx, cy) is taken off. A direction that is not
// a unit vector is normalised first; an up vector along the direction gives
// no roll.
void adViewOrientation(const double target[4], const double direction[4], const double up[4], double cx, double cy,
                       AdMatrix4* out);
// The up vector of a view direction turned by -twist about it; components
// below 1e-13 become 0.
void adUpVector(const double direction[4], double twist, double upOut[4]);
// Where the current view's line of sight meets z = 0 (or y = 0, or x = 0).
void adViewGroundPoint(const AdDisplayState* state, double pointOut[4]);
// View to device: the view's width and height fill the rectangle. A zero
// width or height is taken as the other one (as 1 when both are 0), so a
// degenerate view gives a finite matrix.
void adViewToDeviceMatrix(double x1, double y1, double x2, double y2, double width, double height, AdMatrix4* out);
// (x2 - x1) / (y2 - y1) of a rectangle; a rectangle under 1e-10 high counts
// as one device unit high.
double adRectAspect(double x1, double y1, double x2, double y2);

void adDeviceBoxToWorld(const AdMatrix4* matrix, const double p1[2], const double p2[2], double out1[4],
                        double out2[4]);
void adTransformBox(const double min[4], const double max[4], const AdMatrix4* matrix, double outMin[4],
                    double outMax[4]);
void adSetSpaceMode(AdDrawing* drawing, std::int8_t paper);

// Device and clip rectangles of entry 0 from the device rectangle (left, top,
// right, bottom), of window i from its sheet rectangle.
void adMainDeviceRect(AdDisplayState* state, const std::int32_t rect[4]);
void adViewportDeviceRect(AdDisplayState* state, int i);
// Rebuilds viewport i's polygon set of the top clip level from its clip
// rectangle and outline; 0 when memory ran out (the set is then empty).
int adViewportClip(AdDisplayState* state, int i);

// After the matrices changed: each entry's uniform scale, and the plan bits
// of the entries that look straight down the z axis.
void adViewportsChanged(AdDisplayState* state);

int adSetupView(AdDrawing* drawing, const std::int32_t rect[4], AdViewRecord* out, const std::uint8_t space[8]);
void adComputeView(AdDrawing* drawing, const AdViewRecord* view, const std::int32_t rect[4]);
void adSetupVirtualDevice(AdDisplayState* state, const std::int32_t rect[4], std::int32_t virtualOut[4]);
// 1 when the view needs a regeneration of the cache.
int adCacheCoversView(const AdDisplayState* state, const AdViewRecord* view);
void adSetCacheWindow(AdDisplayState* state, const AdViewRecord* view);
int adComputeExtentsView(AdDrawing* drawing, AdViewRecord* out);

// The clip-region stack. Push answers 1, or 0 when memory ran out (nothing
// is pushed then). store holds 3D points (three doubles each) of one contour;
// matrices, when given, map them per viewport.
int adPushClipRegions(AdDisplayState* state, AdStore* store, const AdMatrix4* matrices);
void adPopClipRegions(AdDisplayState* state);

// While a drawing is shown, a LAYER record's spare slot holds its freeze
// bits per viewport entry (bit i for entry i), from the windows' frozen-layer
// lists.
std::uint64_t adLayerViewportBits(const AdLayerRecord* layer);
void adSetLayerViewportBits(AdLayerRecord* layer, std::uint64_t bits);
