// The drawing device's shared part: world-to-device rounding, the clip
// rectangle, the point buffer's growth and every operation reaching the
// implementation behind it.
#include "imaging/draw/draw_device.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A device that records the operations called on it, one line each.
class RecordingDevice : public CDrawDevice {
public:
    std::vector<std::string> calls;

    bool Create() override { return Note("Create"), true; }
    void SetInvertMode(int mode) override { Note("SetInvertMode " + std::to_string(mode)); }
    void SetPenColor(COLORREF color) override { Note("SetPenColor " + std::to_string(color)); }
    void SetBrushColor(COLORREF color) override { Note("SetBrushColor " + std::to_string(color)); }
    void SetBkColor(COLORREF color) override { Note("SetBkColor " + std::to_string(color)); }
    void SetPenWidth(int pixels) override { Note("SetPenWidth " + std::to_string(pixels)); }
    void Clear(COLORREF color) override { Note("Clear " + std::to_string(color)); }
    void Flush() override { Note("Flush"); }
    int BeginDraw(COLORREF, bool) override {
        drawDone = 0;
        status = view ? 0 : 4;
        return Note("BeginDraw"), status;
    }
    int EndDraw() override {
        drawDone = 1;
        return Note("EndDraw"), status;
    }
    bool SetSize(int w, int h) override {
        const bool grew = w > width || h > height;
        width = w;
        height = h;
        return grew;
    }
    void LineWorld(DrawWorldPoint a, DrawWorldPoint b) override {
        Line(view->WorldToDevice(a), view->WorldToDevice(b));
    }
    void LineDevice(DrawDevicePoint a, DrawDevicePoint b) override { Line(a, b); }
    void LineDeviceXY(int x1, int y1, int x2, int y2) override { Line({x1, y1}, {x2, y2}); }
    void FillRect(COLORREF, const DrawDeviceRect&) override { Note("FillRect"); }
    void DrawMarker(DrawWorldPoint, int) override { Note("DrawMarker"); }
    void SetPixelWorld(float, float, COLORREF) override { Note("SetPixelWorld"); }
    void MoveToWorld(DrawWorldPoint point) override { current = view->WorldToDevice(point); }
    void MoveToDevice(DrawDevicePoint point) override { current = point; }
    void LineToWorld(DrawWorldPoint point) override { LineToDevice(view->WorldToDevice(point)); }
    void LineToDevice(DrawDevicePoint point) override {
        Line(current, point);
        current = point;
    }
    void PolyWorld(const DrawWorldPoint* p, int count, bool close, bool) override {
        if (!TransformPoints(p, count, close)) return;
        for (std::int32_t i = 1; i < points.count; ++i) Line(points.points[i - 1], points.points[i]);
    }
    void PolyList(const DrawPolyline& polyline, bool close, bool fill) override {
        PolyWorld(polyline.points, polyline.count, close, fill);
    }
    void PolyPolygon(const DrawPolylineList&, int) override { Note("PolyPolygon"); }
    void DrawImage(DrawWorldPoint, int, int, const void*, const BITMAPINFOHEADER*, bool, int, COLORREF, bool) override {
        Note("DrawImage");
    }
    void DrawRectWorld(COLORREF, const DrawWorldRect&, int, COLORREF) override { Note("DrawRectWorld"); }
    void DrawRect(const DrawWorldRect&, COLORREF, bool) override { Note("DrawRect"); }
    void DrawInvertRect(DrawDevicePoint, DrawDevicePoint) override { Note("DrawInvertRect"); }

private:
    void Note(const std::string& call) { calls.push_back(call); }
    void Line(DrawDevicePoint a, DrawDevicePoint b) {
        Note("Line " + std::to_string(a.x) + "," + std::to_string(a.y) + " " + std::to_string(b.x) + "," +
             std::to_string(b.y));
    }
    DrawDevicePoint current{};
    int status = 0;
};

TEST(DrawDevice, WorldToDeviceRoundsAfterSinglePrecision) {
    CViewTransform view;
    view.offsetX = 10;
    view.offsetY = 20;
    view.scale = 2;
    struct Case {
        DrawWorldPoint world;
        DrawDevicePoint device;
    };
    const Case cases[] = {
        {{12.5f, 18.25f}, {5, 4}},   // 5.0, and 3.5 to even
        {{10.25f, 19.75f}, {0, 0}},  // 0.5 to even
        {{10.75f, 18.75f}, {2, 2}},  // 1.5 and 2.5 to even
        {{9.0f, 21.0f}, {-2, -2}},   // left of and above the surface
        {{1e30f, -1e30f}, {INT32_MAX, INT32_MAX}},
    };
    for (const Case& c : cases) {
        const DrawDevicePoint device = view.WorldToDevice(c.world);
        EXPECT_EQ(device.x, c.device.x) << c.world.x;
        EXPECT_EQ(device.y, c.device.y) << c.world.y;
    }
    const DrawWorldPoint back = view.DeviceToWorld({5, 4});
    EXPECT_FLOAT_EQ(back.x, 12.5f);
    EXPECT_FLOAT_EQ(back.y, 18.0f);
}

TEST(DrawDevice, ClipRect) {
    RecordingDevice device;
    device.SetSize(100, 100);
    struct Case {
        DrawDeviceRect rect;
        bool inside;
        DrawDeviceRect clipped;
    };
    const Case cases[] = {
        {{-5, -5, 10, 10}, true, {0, 0, 10, 10}},
        {{-20, 5, -1, 10}, false, {}},
        {{90, 90, 150, 150}, true, {90, 90, 99, 99}},
        {{5, -9, 10, -1}, false, {}},
        {{100, 5, 120, 10}, false, {}},
        {{5, 100, 10, 120}, false, {}},
        {{0, 0, 99, 99}, true, {0, 0, 99, 99}},
    };
    for (const Case& c : cases) {
        DrawDeviceRect rect = c.rect;
        ASSERT_EQ(device.ClipRect(rect), c.inside) << c.rect.left << "," << c.rect.top;
        if (!c.inside) continue;
        EXPECT_EQ(rect.left, c.clipped.left);
        EXPECT_EQ(rect.top, c.clipped.top);
        EXPECT_EQ(rect.right, c.clipped.right);
        EXPECT_EQ(rect.bottom, c.clipped.bottom);
    }
}

TEST(DrawDevice, PointBufferGrowsToExactlyWhatIsNeeded) {
    RecordingDevice device;
    EXPECT_EQ(device.points.capacity, 200);
    EXPECT_EQ(device.points.count, 200);
    CViewTransform view;
    device.view = &view;
    std::vector<DrawWorldPoint> world(250);
    for (int i = 0; i < 250; ++i) world[i] = {float(i), float(-i)};
    ASSERT_TRUE(device.TransformPoints(world.data(), 250, false));
    EXPECT_EQ(device.points.capacity, 250);
    EXPECT_EQ(device.points.count, 250);
    ASSERT_TRUE(device.TransformPoints(world.data(), 250, true));
    EXPECT_EQ(device.points.capacity, 251);
    EXPECT_EQ(device.points.count, 251);
    EXPECT_EQ(device.points.points[250].x, 0);
    // A shorter polyline reuses the buffer.
    const DrawDevicePoint* kept = device.points.points;
    ASSERT_TRUE(device.TransformPolyline({world.data(), 3}, true));
    EXPECT_EQ(device.points.points, kept);
    EXPECT_EQ(device.points.count, 4);
    EXPECT_EQ(device.points.points[2].y, 2);
    DrawPointBuffer other;
    ASSERT_TRUE(device.TransformPointsInto({world.data(), 7}, other));
    EXPECT_EQ(other.count, 7);
    EXPECT_EQ(other.capacity, 7);
    other.Release();
    // Without a view nothing is transformed.
    device.view = nullptr;
    EXPECT_FALSE(device.TransformPoints(world.data(), 3, false));
}

TEST(DrawDevice, OperationsReachTheImplementation) {
    RecordingDevice device;
    EXPECT_EQ(device.BeginDraw(0, false), 4) << "no view set";
    CViewTransform view;
    view.scale = 10;
    device.view = &view;
    CDrawDevice& base = device;
    EXPECT_EQ(base.BeginDraw(0xFFFFFF, true), 0);
    EXPECT_EQ(base.drawDone, 0);
    base.MoveToWorld({0, 0});
    base.LineToWorld({1, -1});
    const DrawWorldPoint triangle[] = {{0, 0}, {2, 0}, {0, -2}};
    base.PolyWorld(triangle, 3, true, false);
    EXPECT_EQ(base.EndDraw(), 0);
    EXPECT_EQ(base.drawDone, 1);
    const std::vector<std::string> expected = {"BeginDraw", "BeginDraw", "Line 0,0 10,10", "Line 0,0 20,0",
                                               "Line 20,0 0,20", "Line 0,20 0,0", "EndDraw"};
    EXPECT_EQ(device.calls, expected);
    // Destroyed through the base, as its owners do.
    CDrawDevice* owned = new RecordingDevice;
    delete owned;
}

}  // namespace
