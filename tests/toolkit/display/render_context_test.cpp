// The render context: its defaults, the setters' clamping, the pen and poll
// rules, the pass-through routines and the quadtree node table.
#include "render_fixture.h"

#include <vector>

namespace {

struct Calls {
    std::vector<std::int32_t> colours;
    std::vector<std::int32_t> widths;
    int polls = 0;
    int polygons = 0;
};
Calls calls;

void recordColour(std::int16_t colour, void*) { calls.colours.push_back(colour); }
void recordWidth(std::int32_t width, void*) { calls.widths.push_back(width); }
void recordPoll(void*) { ++calls.polls; }
void recordPolygon(const std::int16_t*, const DevicePoint*, void*) { ++calls.polygons; }
void recordPolyPolygon(const DevicePoint*, const std::int32_t*, std::int32_t, void*) { ++calls.polygons; }
void stopFromPoll(void*) { adStopDraw(); }

class RenderContext : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        calls = Calls{};
    }
};

}  // namespace

TEST_F(RenderContext, StartsWithTheDocumentedDefaults) {
    const AdRenderHooks& hooks = adRender->hooks;
    EXPECT_EQ(hooks.setColor, adDefaultColorHook);
    EXPECT_EQ(hooks.hostSetColor, adDefaultColorHook);
    EXPECT_EQ(hooks.findTextFile, adDefaultFileFinder);
    EXPECT_EQ(hooks.findXrefFile, adDefaultFileFinder);
    EXPECT_EQ(hooks.moveTo, nullptr);
    EXPECT_EQ(hooks.polyPolygon, nullptr);
    EXPECT_EQ(hooks.drawPoll, nullptr);
    EXPECT_EQ(hooks.lineWeight, nullptr);
    EXPECT_EQ(adGetSegmentCount(), 10);
    EXPECT_EQ(adGetCurveResolution(), 10);
    EXPECT_EQ(adGetSolidDrawing(), 0);
    EXPECT_EQ(adRender->defaultLineWeight, 25);
    EXPECT_EQ(adRender->modelLineWeightScale, -1.0);
    EXPECT_EQ(adRender->paperLineWeightScale, 1.0);
    EXPECT_EQ(adRender->displayCaching, 1);
    EXPECT_EQ(adRender->lastPoint.x, AD_UNKNOWN_DEVICE_POINT);
    EXPECT_EQ(adRenderValues.detailFactor, 2.0);
    EXPECT_EQ(adRenderValues.pollInterval, 100);
    EXPECT_EQ(adDrawContinues(), 1);
    EXPECT_EQ(adCurrentDrawing(), nullptr);
}

TEST_F(RenderContext, ColoursAboveSixteenReachTheHostAsFifteenUntilTheMapIsReplaced) {
    const struct {
        std::int16_t colour;
        std::int16_t mapped;
    } cases[] = {{0, 0}, {1, 1}, {7, 7}, {16, 16}, {17, 15}, {128, 15}, {255, 15}, {256, 256}, {-1, -1}};
    for (const auto& c : cases) EXPECT_EQ(adMapColor(c.colour), c.mapped) << c.colour;
    std::int16_t identity[256];
    for (int i = 0; i < 256; ++i) identity[i] = static_cast<std::int16_t>(i);
    adSetColorMap(identity);
    EXPECT_EQ(adMapColor(128), 128);
}

TEST_F(RenderContext, SettersKeepCountsInTheirRanges) {
    const struct {
        void (*set)(std::int32_t);
        std::int32_t (*get)();
        std::int32_t given;
        std::int32_t kept;
    } cases[] = {
        {adSetCurveResolution, adGetCurveResolution, 100, 50}, {adSetCurveResolution, adGetCurveResolution, -5, 0},
        {adSetCurveResolution, adGetCurveResolution, 0, 0},    {adSetCurveResolution, adGetCurveResolution, 37, 37},
        {adSetSegmentCount, adGetSegmentCount, 0, 1},          {adSetSegmentCount, adGetSegmentCount, 51, 50},
        {adSetSegmentCount, adGetSegmentCount, 1, 1},          {adSetSegmentCount, adGetSegmentCount, -7, 1},
    };
    for (const auto& c : cases) {
        c.set(c.given);
        EXPECT_EQ(c.get(), c.kept) << c.given;
    }
}

TEST_F(RenderContext, PairedSettersWriteBothEntriesAndPolygonsPassThrough) {
    adSetColorHook(recordColour);
    adSetLineWeightHook(recordWidth);
    adSetPolygonHook(recordPolygon);
    adSetPolyPolygonHook(recordPolyPolygon);
    const AdRenderHooks& hooks = adRender->hooks;
    EXPECT_EQ(hooks.setColor, recordColour);
    EXPECT_EQ(hooks.hostSetColor, recordColour);
    EXPECT_EQ(hooks.lineWeight, recordWidth);
    EXPECT_EQ(hooks.hostLineWeight, recordWidth);
    EXPECT_EQ(hooks.polygon, adPassPolygon);
    EXPECT_EQ(hooks.hostPolygon, recordPolygon);
    EXPECT_EQ(hooks.polyPolygon, adPassPolyPolygon);
    EXPECT_EQ(hooks.hostPolyPolygon, recordPolyPolygon);
    // A finder reset to null gets the default back, never a null slot.
    adSetXrefFinderHook(nullptr);
    EXPECT_EQ(hooks.findXrefFile, adDefaultFileFinder);
}

// The pen position after a fill is the fill's first vertex, all 32 bits of
// it: devices wider than 32767 units must not see a wrapped position.
TEST_F(RenderContext, PassThroughFillsMoveThePenToTheirFirstVertex) {
    adSetPolygonHook(recordPolygon);
    adSetPolyPolygonHook(recordPolyPolygon);
    const DevicePoint points[] = {{10, 20}, {40000, -70000}, {5, 5}, {7, 9}};
    const std::int16_t range[2] = {1, 3};
    adRender->hooks.polygon(range, points, nullptr);
    EXPECT_EQ(calls.polygons, 1);
    EXPECT_EQ(adRender->lastPoint.x, 40000);
    EXPECT_EQ(adRender->lastPoint.y, -70000);
    const std::int32_t counts[] = {3};
    adRender->hooks.polyPolygon(points + 1, counts, 1, nullptr);
    EXPECT_EQ(calls.polygons, 2);
    EXPECT_EQ(adRender->lastPoint.x, 40000);
}

TEST_F(RenderContext, FillsWithoutAHostRoutineAreDroppedQuietly) {
    adSetPolygonHook(nullptr);
    adSetPolyPolygonHook(nullptr);
    const DevicePoint points[] = {{1, 2}, {3, 4}, {5, 6}};
    const std::int16_t range[2] = {0, 2};
    const std::int32_t counts[] = {3};
    adRender->hooks.polygon(range, points, nullptr);
    adRender->hooks.polyPolygon(points, counts, 1, nullptr);
    EXPECT_EQ(adRender->lastPoint.x, AD_UNKNOWN_DEVICE_POINT);
}

TEST_F(RenderContext, PenChangesReachTheHostOnlyWhenTheyChange) {
    show();
    adSetColorHook(recordColour);
    adSetLineWeightHook(recordWidth);
    for (std::int16_t colour : {1, 1, 2, -1, 2, 2}) adSetPenColor(&drawing, colour);
    EXPECT_EQ(calls.colours, (std::vector<std::int32_t>{1, 2, 2}));
    for (std::int32_t width : {3, 3, 0, 0, 3}) adPassPenWidth(&drawing, width);
    EXPECT_EQ(calls.widths, (std::vector<std::int32_t>{3, 0, 3}));
}

TEST_F(RenderContext, WithoutALineWeightHookNoWidthIsRemembered) {
    show();
    adPassPenWidth(&drawing, 4);
    EXPECT_EQ(displayState.penWidth, -1);
    adSetColorHook(nullptr);
    adSetPenColor(&drawing, 3);  // no colour slot: nothing to call
    EXPECT_EQ(displayState.penColour, 3);
}

TEST_F(RenderContext, PollsEveryHundredPrimitivesAndAPollMayStopTheDraw) {
    show();
    for (int i = 0; i < 250; ++i) adCountPrimitive(&drawing);
    EXPECT_EQ(calls.polls, 0);  // no poll slot
    adSetDrawPollHook(recordPoll);
    displayState.emitted = 0;
    for (int i = 0; i < 250; ++i) adCountPrimitive(&drawing);
    EXPECT_EQ(calls.polls, 2);
    EXPECT_EQ(displayState.emitted, 50);
    adSetDrawPollHook(stopFromPoll);
    for (int i = 0; i < 50; ++i) adCountPrimitive(&drawing);
    EXPECT_EQ(adDrawContinues(), 0);
    EXPECT_EQ(drawing.display, &displayState);
}

TEST_F(RenderContext, NodeTableNamesTheSmallestCommonNode) {
    const std::uint8_t* table = adRender->nodeTable;
    auto node = [&](int a, int b) { return table[a * 64 + b]; };
    const struct {
        int a, b, node;
    } cases[] = {
        {0, 0, 0},     {63, 63, 63},  {0, 1, 64},   {0, 9, 64},  {0, 2, 80},  {0, 27, 80},
        {4, 5, 66},    {4, 7, 81},    {36, 45, 74}, {0, 63, 84}, {3, 4, 84},  {27, 36, 84},
        {62, 63, 79},  {60, 63, 83},  {32, 59, 82},  {56, 59, 82},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(node(c.a, c.b), c.node) << c.a << "," << c.b;
        EXPECT_EQ(node(c.b, c.a), c.node) << c.b << "," << c.a;
    }
    int leaves = 0, blocks = 0, quarters = 0, whole = 0;
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b) {
            ASSERT_EQ(node(a, b), node(b, a));
            const int n = node(a, b);
            n < 64 ? ++leaves : n < 80 ? ++blocks : n < 84 ? ++quarters : ++whole;
        }
    // 64 diagonal cells; 16 blocks of 4 x 3 ordered pairs; 4 quarters of
    // 16 x 16 minus their blocks' 64; the rest.
    EXPECT_EQ(leaves, 64);
    EXPECT_EQ(blocks, 16 * 12);
    EXPECT_EQ(quarters, 4 * (256 - 64));
    EXPECT_EQ(whole, 4096 - 64 - 192 - 768);
}

// Every allocation of the start fails in turn: the start answers 0, the
// memory error is set, and nothing stays allocated (the leak checker sees it).
TEST(RenderInit, EachFailedAllocationLeavesNothingBehind) {
    ScratchState state;
    for (std::int32_t n = 0; n < 7; ++n) {
        HostFailAllocationAfter(n);
        state.get()->errorCode = 0;
        EXPECT_EQ(adInitRender(), 0) << n;
        EXPECT_EQ(adRender, nullptr);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_RENDER_MEMORY);
    }
    HostFailAllocationAfter(-1);
    ASSERT_EQ(adInitRender(), 1);
    adTermRender();
}
