// The view that shows a drawing's extents from its header: the default sheet
// for extents never set, the stored view's aspect kept, and a stored view
// without height (or a box without height) giving a finite view.
#include "render_fixture.h"

#include "toolkit/display/view.h"

#include <cmath>

namespace {

class ExtentsView : public RenderTest {};

TEST_F(ExtentsView, FromTheHeaderBoxAndTheStoredAspect) {
    const struct {
        const char* name;
        double min[3], max[3];
        double storedWidth, storedHeight;
        double width, height, centre[2];
    } cases[] = {
        {"extents never set: the default sheet", {1e20, 1e20, 1e20}, {-1e20, -1e20, -1e20}, 4, 2, 17, 8.5, {5.5, 4.25}},
        {"a wide stored view widens a square box", {0, 0, 0}, {10, 10, 0}, 4, 2, 20, 10, {5, 5}},
        {"a tall stored view heightens a square box", {0, 0, 0}, {10, 10, 0}, 1, 2, 10, 20, {5, 5}},
        {"a stored view without height takes the box's aspect", {0, 0, 0}, {10, 5, 0}, 3, 0, 10, 5, {5, 2.5}},
        {"a box without height and a stored view without height", {2, 3, 0}, {6, 3, 0}, 0, 0, 4, 4, {4, 3}},
    };
    for (const auto& c : cases) {
        show();
        displayState.worldToView = adIdentityMatrix;
        displayState.storedView = {};
        displayState.storedView.width = c.storedWidth;
        displayState.storedView.height = c.storedHeight;
        AdHeaderVars header{};
        header.tilemode = 1;
        for (int i = 0; i < 3; ++i) header.extmin[i] = c.min[i], header.extmax[i] = c.max[i];
        drawing.header = &header;
        AdViewRecord view{};
        EXPECT_EQ(adComputeExtentsView(&drawing, &view), 0) << c.name;  // from the header, not the device
        EXPECT_NEAR(view.width, c.width, 1e-5) << c.name;
        EXPECT_NEAR(view.height, c.height, 1e-5) << c.name;
        EXPECT_NEAR(view.target[0], c.centre[0], 1e-9) << c.name;
        EXPECT_NEAR(view.target[1], c.centre[1], 1e-9) << c.name;
        EXPECT_TRUE(std::isfinite(view.width) && std::isfinite(view.height)) << c.name;
        drawing.header = nullptr;
    }
}

}  // namespace
