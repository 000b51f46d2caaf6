// The primitive emission layer: quads clipped to the viewport rectangle,
// regions through the clip stack, device lines with move elision, the
// scratch buffers and the 2D predicates.
#include "render_fixture.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/view.h"
#include "tools/renderhost/recording_host.h"

#include <vector>

namespace {

class Emission : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        show(adIdentityMatrix, 100.0);
        displayState.planViewports = 1;
        host.install();
        host.setUserData(&drawing);
    }
    void TearDown() override {
        while (displayState.clipStack) adPopClipRegions(&displayState);
        RenderTest::TearDown();
    }
    void quad(std::vector<double> xy) {
        double p[4][3] = {};
        for (int k = 0; k < 4; ++k) p[k][0] = xy[2 * k], p[k][1] = xy[2 * k + 1];
        // The outline runs p1, p2, p4, p3: the corners are given in outline order.
        adFillQuad(&drawing, p[0], p[1], p[3], p[2], &displayState.viewports[0].full);
    }
    RecordingHost host;
};

}  // namespace

TEST_F(Emission, QuadsAreClippedToTheViewportRectangle) {
    const struct {
        const char* name;
        std::vector<double> corners;  // in outline order
        const char* stream;
    } cases[] = {
        {"inside", {10, 10, 20, 10, 20, 20, 10, 20}, "polygon 4 10,10 20,10 20,20 10,20\n"},
        {"clockwise, reversed first", {10, 10, 10, 20, 20, 20, 20, 10}, "polygon 4 20,10 20,20 10,20 10,10\n"},
        {"across the right edge", {90, 10, 120, 10, 120, 20, 90, 20}, "polygon 4 100,10 100,20 90,20 90,10\n"},
        {"on the right edge", {100, 10, 100, 20, 100, 30, 100, 40}, ""},
        {"all corners in one point", {5, 5, 5, 5, 5, 5, 5, 5}, ""},
        {"two distinct points: a line", {5, 5, 5, 5, 50, 60, 50, 60}, "move 5 5\nline 50 60\n"},
        // Its first three corners lie on one line; the polygon's orientation
        // comes from its whole area, so it is clipped like any other (it
        // used to go out unclipped, over the neighbouring viewports).
        {"first three collinear", {-50, 50, 50, 50, 150, 50, 50, 90}, "polygon 6 0,50 50,50 100,50 100,70 50,90 0,70\n"},
    };
    for (const auto& c : cases) {
        host.clear();
        adRender->lastPoint = DevicePoint{AD_UNKNOWN_DEVICE_POINT, AD_UNKNOWN_DEVICE_POINT};
        quad(c.corners);
        EXPECT_EQ(host.stream(), c.stream) << c.name;
    }
}

TEST_F(Emission, FillModeOffOutlinesTheQuad) {
    AdHeaderVars header{};
    drawing.header = &header;
    quad({10, 10, 20, 10, 20, 20, 10, 20});
    drawing.header = nullptr;
    EXPECT_EQ(host.stream(), "move 10 10\nline 20 10\nline 20 20\nline 10 20\nline 10 10\n");
}

TEST_F(Emission, DeviceLinesAreClippedAndJoined) {
    const struct {
        const char* name;
        std::vector<std::vector<double>> lines;
        const char* stream;
    } cases[] = {
        {"a polyline inside needs one move", {{10, 10, 20, 10}, {20, 10, 20, 30}}, "move 10 10\nline 20 10\nline 20 30\n"},
        {"entering from outside starts at the edge", {{-50, 50, 50, 50}}, "move 0 50\nline 50 50\n"},
        {"leaving runs back from the edge", {{50, 50, 150, 50}}, "move 100 50\nline 50 50\n"},
        {"wholly outside", {{150, 50, 250, 50}}, ""},
    };
    for (const auto& c : cases) {
        host.clear();
        adRender->lastPoint = DevicePoint{AD_UNKNOWN_DEVICE_POINT, AD_UNKNOWN_DEVICE_POINT};
        for (const auto& l : c.lines) {
            const double a[2] = {l[0], l[1]}, b[2] = {l[2], l[3]};
            adEmitDeviceLine(&drawing, a, b, 0);
        }
        EXPECT_EQ(host.stream(), c.stream) << c.name;
    }
}

// A clip region pushed above the base level (a clipped block) clips lines
// by walking their crossings, and keeps a piece that runs along its edge.
TEST_F(Emission, LinesThroughAClipRegion) {
    ASSERT_EQ(adPushClipRegions(&displayState, nullptr, nullptr), 1);
    AdStore* store = adStoreCreate(4096);
    AdStream* out = adStreamOpenWrite(store);
    const double square[4][3] = {{20, 20, 0}, {60, 20, 0}, {60, 60, 0}, {20, 60, 0}};
    for (const auto& p : square) adStreamWritePoint3D(out, p);
    adStreamCloseWrite(out);
    ASSERT_EQ(adPushClipRegions(&displayState, store, nullptr), 1);
    adStoreFree(store);
    const struct {
        double a[2], b[2];
        const char* stream;
    } cases[] = {
        {{0, 40}, {100, 40}, "move 20 40\nline 60 40\n"},
        {{40, 0}, {40, 100}, "move 40 20\nline 40 60\n"},
        {{0, 20}, {100, 20}, "move 20 20\nline 60 20\n"},
        {{0, 80}, {100, 80}, ""},
    };
    for (const auto& c : cases) {
        host.clear();
        adRender->lastPoint = DevicePoint{AD_UNKNOWN_DEVICE_POINT, AD_UNKNOWN_DEVICE_POINT};
        adEmitDeviceLine(&drawing, c.a, c.b, 0);
        EXPECT_EQ(host.stream(), c.stream) << c.a[0] << "," << c.a[1];
    }
}

// A fill with a hole, without the host's poly-polygon hook, goes as
// triangles that leave the hole empty (the first contour alone would fill
// it); with the hook, both contours go together.
TEST_F(Emission, AFillWithAHoleKeepsItsHole) {
    ASSERT_EQ(adPushClipRegions(&displayState, nullptr, nullptr), 1);
    const double points[8][3] = {{10, 10, 0}, {90, 10, 0}, {90, 90, 0}, {10, 90, 0},
                                 {40, 40, 0}, {60, 40, 0}, {60, 60, 0}, {40, 60, 0}};
    const std::int16_t counts[2] = {4, 4};
    adSetPolyPolygonHook(nullptr);
    ASSERT_EQ(adFillContours(&drawing, &points[0][0], counts, 2, &displayState.viewports[0].full), 1);
    const std::string triangles = host.stream();
    EXPECT_NE(triangles.find("polygon 3"), std::string::npos);
    EXPECT_EQ(triangles.find("polygon 4"), std::string::npos);
    EXPECT_EQ(triangles.find("50,50"), std::string::npos);
    host.clear();
    host.install();
    adFillContours(&drawing, &points[0][0], counts, 2, &displayState.viewports[0].full);
    EXPECT_EQ(host.stream().rfind("polypolygon 2", 0), 0u) << host.stream();
    const std::int16_t none[1] = {0};
    EXPECT_EQ(adFillContours(&drawing, &points[0][0], none, 1, &displayState.viewports[0].full), 0);
}

TEST_F(Emission, TheHostIsPolledEveryHundredPrimitives) {
    adSetDrawPollHook([](void* user) { static_cast<RecordingHost*>(user)->add("poll"); });
    for (int i = 0; i < 250; ++i) {
        const double a[2] = {1, 1}, b[2] = {2, 2};
        adEmitDeviceLine(&drawing, a, b, 0);
    }
    std::size_t polls = 0;
    for (std::size_t at = host.stream().find("poll"); at != std::string::npos; at = host.stream().find("poll", at + 1))
        ++polls;
    EXPECT_EQ(polls, 2u);
}

TEST(EmissionHelpers, GrowableBuffers) {
    AdGrowBuffer buffer{};
    auto* data = static_cast<char*>(adBufferReserve(&buffer, 10));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(buffer.capacity, 1024u);
    data[0] = 'k';
    EXPECT_EQ(adBufferReserve(&buffer, 1000), data);  // within the capacity
    data = static_cast<char*>(adBufferGrow(&buffer, 1025));
    EXPECT_EQ(buffer.capacity, 2048u);
    EXPECT_EQ(data[0], 'k');
    HostFree(buffer.data);
}

TEST(EmissionHelpers, DuplicatePointsAndPointInRegion) {
    double points[] = {0, 0, 0, 0, 5, 5, 5, 5 + 1e-11, 9, 9, 0, 0};
    std::int16_t count = 6;
    adRemoveDuplicatePoints(points, &count);
    EXPECT_EQ(count, 3);
    const AdClipPoint outer[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const AdClipPoint hole[4] = {{4, 4}, {6, 4}, {6, 6}, {4, 6}};
    AdClipContour contours[2] = {{4, const_cast<AdClipPoint*>(outer)}, {4, const_cast<AdClipPoint*>(hole)}};
    std::int32_t flags[2] = {0, 1};
    const AdClipPolygon region{2, flags, contours};
    const struct {
        double p[2];
        int inside;
    } cases[] = {{{2, 2}, 1}, {{5, 5}, 0}, {{10, 5}, 1}, {{11, 5}, 0}, {{4, 5}, 0}};
    for (const auto& c : cases) EXPECT_EQ(adPointInRegion(c.p, &region, 1e-6), c.inside) << c.p[0] << "," << c.p[1];
    EXPECT_EQ(adSignTol(2e-10), 1);
    EXPECT_EQ(adSignTol(-5e-11), 0);
}

// Every allocation of a clip push, a fill with a hole and a quad of an
// extruded entity fails in turn: each answers failure or draws less, and
// nothing is written through missing memory (the sanitizers watch) or left
// allocated.
TEST_F(Emission, RunningOutOfMemoryAnswersFailure) {
    AdEntityHeader extruded{};
    extruded.type = AD_ENTITY_SOLID;
    extruded.flags = AD_ENTITY_FLAG_EXTRUDED;
    extruded.extrusion[2] = -1.0;
    const double points[8][3] = {{10, 10, 0}, {90, 10, 0}, {90, 90, 0}, {10, 90, 0},
                                 {40, 40, 0}, {60, 40, 0}, {60, 60, 0}, {40, 60, 0}};
    const std::int16_t counts[2] = {4, 4};
    adSetPolyPolygonHook(nullptr);
    bool sawFailure = false;
    for (std::int32_t n = 0; n < 60; ++n) {
        HostFailAllocationAfter(n);
        const int pushed = adPushClipRegions(&displayState, nullptr, nullptr);
        const int filled = adFillContours(&drawing, &points[0][0], counts, 2, &displayState.viewports[0].full);
        adDisplayGlobals->currentEntity = &extruded;
        const int quad = adFillQuad(&drawing, points[0], points[1], points[3], points[2], &displayState.viewports[0].full);
        adDisplayGlobals->currentEntity = nullptr;
        sawFailure = sawFailure || !pushed || !filled || !quad;
        if (pushed) adPopClipRegions(&displayState);
        HostFailAllocationAfter(-1);
    }
    EXPECT_TRUE(sawFailure);
    EXPECT_FALSE(fatal.conditions().empty());
}
