// The abstract drawing target through which a scene and its raster item
// draw: a fixed-size pixel surface addressed in device pixels, or in world
// coordinates through the current view. Implementations (the GDI device)
// fill in the operations; the order of the virtual operations is fixed, as
// the slot order of an interface other modules are built against.
#pragma once

#include "imaging/draw/view_transform.h"
#include "imaging/raster_types.h"

#include <cstdint>

// The common base of the scene and its raster item.
class CSceneObject {
public:
    virtual ~CSceneObject() = default;
};

struct DrawWorldRect {
    float left, top, right, bottom;  // top is the larger y
};

struct DrawDeviceRect {
    std::int32_t left, top, right, bottom;
};

struct DrawPolyline {
    const DrawWorldPoint* points;
    std::int32_t count;
};

struct DrawPolylineNode {
    DrawPolylineNode* next;
    DrawPolyline polyline;
};

struct DrawPolylineList {
    DrawPolylineNode* first;
    std::int32_t count;
};

// Device points reused from call to call: replaced (without copying) only
// when a longer run of points arrives.
struct DrawPointBuffer {
    std::int32_t count = 0;
    std::int32_t capacity = 0;
    DrawDevicePoint* points = nullptr;

    // Room for exactly `needed` points unless there already is; false when
    // memory runs out.
    bool Reserve(std::int32_t needed);
    void Release();
};

class CDrawDevice {
public:
    CDrawDevice();
    CDrawDevice(const CDrawDevice&) = delete;
    CDrawDevice& operator=(const CDrawDevice&) = delete;

    virtual bool Create() = 0;
    virtual ~CDrawDevice();
    // Mode 1: the lines that follow invert the pixels they cover; any other: normal drawing.
    virtual void SetInvertMode(int mode) = 0;
    virtual void SetPenColor(COLORREF color) = 0;
    virtual void SetBrushColor(COLORREF color) = 0;
    virtual void SetBkColor(COLORREF color) = 0;
    // 0 is taken as 1.
    virtual void SetPenWidth(int pixels) = 0;
    virtual void Clear(COLORREF color) = 0;
    // Copies the surface to its target at (originX, originY).
    virtual void Flush() = 0;
    // 0 ready, 4 no view set (nothing may be drawn).
    virtual int BeginDraw(COLORREF clearColor, bool clear) = 0;
    // The status of the last BeginDraw.
    virtual int EndDraw() = 0;
    // True when either dimension grew beyond the previous size.
    virtual bool SetSize(int width, int height) = 0;
    virtual void LineWorld(DrawWorldPoint a, DrawWorldPoint b) = 0;
    virtual void LineDevice(DrawDevicePoint a, DrawDevicePoint b) = 0;
    virtual void LineDeviceXY(int x1, int y1, int x2, int y2) = 0;
    virtual void FillRect(COLORREF color, const DrawDeviceRect& rect) = 0;
    // A filled square of side 2 x halfSize centred on the point, in 0xFF0000.
    virtual void DrawMarker(DrawWorldPoint point, int halfSize) = 0;
    virtual void SetPixelWorld(float x, float y, COLORREF color) = 0;
    virtual void MoveToWorld(DrawWorldPoint point) = 0;
    virtual void MoveToDevice(DrawDevicePoint point) = 0;
    virtual void LineToWorld(DrawWorldPoint point) = 0;
    virtual void LineToDevice(DrawDevicePoint point) = 0;
    virtual void PolyWorld(const DrawWorldPoint* points, int count, bool close, bool fill) = 0;
    virtual void PolyList(const DrawPolyline& polyline, bool close, bool fill) = 0;
    virtual void PolyPolygon(const DrawPolylineList& list, int totalPoints) = 0;
    virtual void DrawImage(DrawWorldPoint origin, int right, int top, const void* pixels, const BITMAPINFOHEADER* info,
                           bool frame, int shadow, COLORREF frameColor, bool colorOnColor) = 0;
    virtual void DrawRectWorld(COLORREF fill, const DrawWorldRect& rect, int shadow, COLORREF shadowBase) = 0;
    virtual void DrawRect(const DrawWorldRect& rect, COLORREF color, bool filled) = 0;
    virtual void DrawInvertRect(DrawDevicePoint a, DrawDevicePoint b) = 0;

    // Frees the point array (part of every implementation's destruction).
    void ReleasePointBuffer();
    // False when the rectangle lies wholly outside the surface; otherwise
    // clamps it to 0 ... width - 1 and 0 ... height - 1.
    bool ClipRect(DrawDeviceRect& rect) const;
    // The points through the current view into the point buffer, with the
    // first again at the end when `close`; false when memory runs out or no
    // view is set.
    bool TransformPoints(const DrawWorldPoint* points, std::int32_t count, bool close);
    bool TransformPolyline(const DrawPolyline& polyline, bool close);
    // The same into another buffer, never closed.
    bool TransformPointsInto(const DrawPolyline& polyline, DrawPointBuffer& buffer) const;

    std::uint8_t drawDone = 0;
    std::int32_t skipImageFrame = 0;
    CViewTransform* view = nullptr;
    std::int32_t originX = 0, originY = 0;
    std::int32_t width = 0, height = 0;
    std::uint8_t colorStretchForMono = 0;
    DrawPointBuffer points;
};
