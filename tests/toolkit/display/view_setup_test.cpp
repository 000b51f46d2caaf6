// The initial view of real DXF drawings (made by tests/data/display/views/
// make_view_fixtures.py): model space from an *ACTIVE viewport of aspect 2
// looking along a 3D direction, layouts with 3 and with 60 viewports, and an
// R12 drawing without viewports shown in paper space. The matrices and
// rectangles are checked against values worked out by hand from the files.
#include "displayed_drawing.h"

#include "toolkit/display/view.h"

#include <cmath>
#include <string>

namespace {

void device(const AdDisplayState* state, int entry, double x, double y, double out[2]) {
    const double p[4] = {x, y, 0.0, 1.0};
    double q[4];
    adTransformPoint(p, &state->viewports[entry].full, q);
    out[0] = q[0], out[1] = q[1];
}

class ViewSetup : public DisplayedDrawing {
protected:
    AdDisplayState* show(const char* name, const std::int32_t rect[4]) {
        return begin(displayDataDir() + "views/" + name, rect, &view) ? d->display : nullptr;
    }
    // The space shown, its viewport entries and the size of the view it starts with.
    void expectStart(const AdDisplayState* state, std::int32_t paperSpace, std::int32_t viewports, double height,
                     double width) {
        EXPECT_EQ(state->paperSpace, paperSpace);
        EXPECT_EQ(state->viewportCount, viewports);
        EXPECT_DOUBLE_EQ(view.height, height);
        EXPECT_DOUBLE_EQ(view.width, width);
    }
    AdViewRecord view{};
};

}  // namespace

// VPORT height 10, aspect 2, in a square device: the view is 20 by 20; the
// target becomes the ground point on the line of sight through the view
// centre, which lands in the middle of the device; 10 device units a unit.
TEST_F(ViewSetup, ModelSpaceFromTheActiveViewport) {
    const std::int32_t rect[4] = {0, 0, 100, 100};
    AdDisplayState* state = show("active_aspect2.dxf", rect);
    ASSERT_NE(state, nullptr);
    expectStart(state, 0, 1, 20.0, 20.0);
    const double k = 1.0 / std::sqrt(3.0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(view.direction[i], k, 1e-12);
    EXPECT_NEAR(view.target[2], 0.0, 1e-9);
    EXPECT_NEAR(view.up[0] * k + view.up[1] * k + view.up[2] * k, 0.0, 1e-12);
    EXPECT_GT(view.up[2], 0.0);
    double centre[4];
    adTransformPoint(view.target, &state->viewports[0].full, centre);
    EXPECT_NEAR(centre[0], 50.5, 1e-9);
    EXPECT_NEAR(centre[1], 50.5, 1e-9);
    // One unit along the up vector is 10 device units straight up.
    const double above[4] = {view.target[0] + view.up[0], view.target[1] + view.up[1], view.target[2] + view.up[2], 1};
    double q[4];
    adTransformPoint(above, &state->viewports[0].full, q);
    EXPECT_NEAR(q[0] - centre[0], 0.0, 1e-9);
    EXPECT_NEAR(q[1] - centre[1], 10.0, 1e-9);
    // The host's view through adMakeViewTransform fills a rectangle twice as wide.
    const std::int32_t wide[4] = {0, 0, 200, 100};
    view.width = 40.0;
    EXPECT_EQ(adMakeViewTransform(d, &view, wide, nullptr), 0);
    adTransformPoint(view.target, &state->viewports[0].full, q);
    EXPECT_NEAR(q[0], 100.5, 1e-9);
    EXPECT_NEAR(q[1], 50.5, 1e-9);
}

// The sheet's viewport (centre 12, 7; 26.4 by 15.4; view height 15.4) fills
// a 1000 by 600 device: 600 / 15.4 device units a unit. The windows follow
// it; each maps its own model view into its sheet rectangle.
TEST_F(ViewSetup, PaperSpaceFromTheLayoutViewports) {
    const std::int32_t rect[4] = {0, 0, 1000, 600};
    AdDisplayState* state = show("layout3.dxf", rect);
    ASSERT_NE(state, nullptr);
    ASSERT_EQ(state->paperSpace, 1);
    ASSERT_EQ(state->viewportCount, 4);
    const double k = 600.0 / 15.4;
    EXPECT_NEAR(view.height, 15.4, 1e-9);
    EXPECT_NEAR(view.width, 15.4 * 1000.0 / 600.0, 1e-9);
    double p[2];
    device(state, 0, 12.0, 7.0, p);
    EXPECT_NEAR(p[0], 500.5, 1e-9);
    EXPECT_NEAR(p[1], 300.5, 1e-9);
    device(state, 0, 13.0, 7.0, p);
    EXPECT_NEAR(p[0], 500.5 + k, 1e-9);
    const AdViewportEntry& sheet = state->viewports[0];
    const double expectedClip[4] = {0, 0, 1000.5, 600.5};
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(sheet.clipRect[i], expectedClip[i]);
    // Window 1: centre (1.5, 1.5), 2 by 1, view height 1 around the origin.
    const struct {
        int entry;
        double cx, viewHeight;
    } windows[] = {{1, 1.5, 1.0}, {2, 3.5, 4.0}, {3, 5.5, 1.0}};
    for (const auto& w : windows) {
        const AdViewportEntry& entry = state->viewports[w.entry];
        const double x1 = (w.cx - 1.0 - 12.0) * k + 500.5, x2 = (w.cx + 1.0 - 12.0) * k + 500.5;
        const double y1 = (1.0 - 7.0) * k + 300.5, y2 = (2.0 - 7.0) * k + 300.5;
        EXPECT_NEAR(entry.deviceRect[0], x1, 1e-9) << w.entry;
        EXPECT_NEAR(entry.deviceRect[1], y1, 1e-9) << w.entry;
        EXPECT_NEAR(entry.deviceRect[2], x2, 1e-9) << w.entry;
        EXPECT_NEAR(entry.deviceRect[3], y2, 1e-9) << w.entry;
        device(state, w.entry, 0.0, 0.0, p);
        EXPECT_NEAR(p[0], (x1 + x2) / 2.0 + 0.5, 1e-9) << w.entry;
        EXPECT_NEAR(p[1], (y1 + y2) / 2.0 + 0.5, 1e-9) << w.entry;
        device(state, w.entry, 1.0, 0.0, p);
        EXPECT_NEAR(p[0] - ((x1 + x2) / 2.0 + 0.5), k / w.viewHeight, 1e-9) << w.entry;
        EXPECT_NEAR(entry.scale, adMatrixScale(&entry.full), 0.0);
    }
    // Zooming the sheet moves the windows with it.
    view.height /= 2.0;
    view.width /= 2.0;
    adMakeViewTransform(d, &view, rect, nullptr);
    device(state, 1, 0.0, 0.0, p);
    const double x1 = (0.5 - 12.0) * 2 * k + 500.5, x2 = (2.5 - 12.0) * 2 * k + 500.5;
    EXPECT_NEAR(p[0], (x1 + x2) / 2.0 + 0.5, 1e-6);
    EXPECT_NEAR(state->viewports[1].clipRect[0], 0.0, 0.0);  // clamped to the device
}

TEST_F(ViewSetup, ALayoutKeepsAtMost49Viewports) {
    const std::int32_t rect[4] = {0, 0, 1000, 600};
    AdDisplayState* state = show("layout60.dxf", rect);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->viewportCount, AD_VIEWPORT_LIMIT);
    EXPECT_EQ(state->layoutViewportCount, AD_VIEWPORT_LIMIT);
    EXPECT_NEAR(view.height, 15.4, 1e-9);  // the sheet stays entry 0
}

// An R12 drawing in paper space without VIEWPORT entities and with its
// extents never set: the sheet is the default 11 by 8.5 around (5.5, 4.25).
TEST_F(ViewSetup, PaperSpaceWithoutViewportsShowsTheExtentsSheet) {
    const std::int32_t rect[4] = {0, 0, 200, 100};
    AdDisplayState* state = show("r12_paper.dxf", rect);
    ASSERT_NE(state, nullptr);
    expectStart(state, 1, 1, 8.5, 17.0);
    const double k = 100.0 / 8.5;
    double p[2];
    device(state, 0, 5.5, 4.25, p);
    EXPECT_NEAR(p[0], 100.5, 1e-9);
    EXPECT_NEAR(p[1], 50.5, 1e-9);
    device(state, 0, 11.0, 8.5, p);
    EXPECT_NEAR(p[0], 100.5 + 5.5 * k, 1e-9);
    EXPECT_NEAR(p[1], 100.5, 1e-9);
}

// Direction components below 1e-13 are zeroed; an all-zero direction looks
// down the z axis.
TEST_F(ViewSetup, ATinyDirectionBecomesThePlanView) {
    const std::int32_t rect[4] = {0, 0, 100, 100};
    ASSERT_NE(show("active_tiny_direction.dxf", rect), nullptr);
    EXPECT_EQ(view.direction[0], 0.0);
    EXPECT_EQ(view.direction[1], 0.0);
    EXPECT_EQ(view.direction[2], 1.0);
    EXPECT_EQ(view.up[1], 1.0);
}
