// Moving a view record, the view transform of degenerate views and device
// rectangles, and the display-list cache's question whether a view needs a
// regeneration.
#include "render_fixture.h"

#include "toolkit/display/view.h"

#include <cmath>

namespace {

AdViewRecord planView(double width, double height) {
    AdViewRecord view{};
    view.direction[2] = 1.0;
    view.target[3] = 1.0;
    view.up[1] = 1.0;
    view.width = width;
    view.height = height;
    return view;
}

bool finite(const AdMatrix4& m) {
    for (const auto& row : m.m)
        for (double v : row)
            if (!std::isfinite(v)) return false;
    return true;
}

class ViewTransform : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        show();
    }
};

}  // namespace

TEST(ViewMoves, PanOrbitAndRoll) {
    const double quarter = std::acos(0.0);
    AdViewRecord view = planView(10, 10);
    adViewPan(&view, 1.0, 0.0);  // along up x direction = (1, 0, 0)
    EXPECT_NEAR(view.target[0], 1.0, 1e-15);
    EXPECT_NEAR(view.target[1], 0.0, 1e-15);
    adViewPan(&view, 0.0, 2.0);
    EXPECT_NEAR(view.target[1], 2.0, 1e-15);
    view = planView(10, 10);
    adViewRoll(&view, quarter);  // by -angle about (0, 0, 1)
    EXPECT_NEAR(view.up[0], 1.0, 1e-15);
    EXPECT_NEAR(view.up[1], 0.0, 1e-15);
    view = planView(10, 10);
    adViewOrbitHorizontal(&view, quarter);
    EXPECT_NEAR(view.direction[0], -1.0, 1e-15);
    EXPECT_NEAR(view.direction[2], 0.0, 1e-15);
    view = planView(10, 10);
    adViewOrbitVertical(&view, quarter / 2.0);
    const double* d = view.direction;
    const double* u = view.up;
    EXPECT_NEAR(d[0] * u[0] + d[1] * u[1] + d[2] * u[2], 0.0, 1e-15);
    EXPECT_NEAR(std::hypot(d[0], d[1], d[2]), 1.0, 1e-15);
    EXPECT_NEAR(std::hypot(u[0], u[1], u[2]), 1.0, 1e-15);
}

// Views and rectangles without width or height used to divide by zero; now
// each gives finite matrices.
TEST_F(ViewTransform, DegenerateViewsAndRectanglesGiveFiniteMatrices) {
    const struct {
        const char* name;
        double width, height;
        std::int32_t rect[4];
    } cases[] = {
        {"zero view width", 0.0, 10.0, {0, 0, 100, 100}},
        {"zero view height", 10.0, 0.0, {0, 0, 100, 100}},
        {"zero view", 0.0, 0.0, {0, 0, 100, 100}},
        {"zero-height device rectangle", 10.0, 10.0, {0, 50, 100, 50}},
        {"empty device rectangle", 10.0, 10.0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        AdViewRecord view = planView(c.width, c.height);
        adMakeViewTransform(&drawing, &view, c.rect, nullptr);
        EXPECT_TRUE(finite(displayState.viewports[0].full)) << c.name;
    }
    EXPECT_DOUBLE_EQ(adRectAspect(0, 50, 100, 50), 100.0);
    displayState.caching = 1;
    std::int32_t virtualRect[4];
    adSetupVirtualDevice(&displayState, cases[4].rect, virtualRect);
    EXPECT_EQ(virtualRect[2], AD_VIRTUAL_DEVICE_SIZE);
    EXPECT_EQ(virtualRect[3], AD_VIRTUAL_DEVICE_SIZE);
    EXPECT_TRUE(std::isfinite(displayState.virtualScale));
}

// The cache holds the drawing at 32000 virtual units across: a view that
// stays within it and does not zoom past its resolution needs no
// regeneration; zooming further in does.
TEST_F(ViewTransform, TheCacheIsRegeneratedWhenTheViewLeavesItsResolution) {
    displayState.caching = 1;
    const std::int32_t rect[4] = {0, 0, 800, 600};
    std::int32_t virtualRect[4];
    AdViewRecord view = planView(80, 60);
    EXPECT_EQ(adMakeViewTransform(&drawing, &view, rect, virtualRect), 1);
    EXPECT_EQ(virtualRect[2], 32000);
    EXPECT_EQ(virtualRect[3], 24000);
    displayState.cacheBlock.valid = 1;  // as a finished draw leaves it
    AdViewRecord closer = view;
    closer.width /= 2.0, closer.height /= 2.0;
    EXPECT_EQ(adMakeViewTransform(&drawing, &closer, rect, virtualRect), 0);
    EXPECT_EQ(displayState.cache.windowWidth, 16000);
    AdViewRecord tooClose = view;
    tooClose.width = view.width * 800.0 / 32000.0 / 2.0;
    tooClose.height = view.height * 600.0 / 24000.0 / 2.0;
    EXPECT_EQ(adMakeViewTransform(&drawing, &tooClose, rect, virtualRect), 1);
    EXPECT_EQ(displayState.cacheBlock.valid, 0);
}
