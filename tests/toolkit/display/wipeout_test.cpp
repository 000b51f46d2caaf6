// WIPEOUT drawn from its graphics (tests/data/display/proxy/wipeout.dxf, made
// by make_proxy_fixtures.py), only while the drawing's WIPEOUTVARIABLES
// object shows wipeout frames.
#include "dispatch_fixture.h"

#include <memory>

namespace {

class Wipeout : public DisplayedDrawing {
protected:
    // Sets the frame switch of the drawing's WIPEOUTVARIABLES object.
    void setFrame(std::int16_t frame) {
        const std::int16_t type = adClassNumWipeoutVariables(d);
        ASSERT_NE(type, 0);
        AdObjectHeader header{};
        auto data = std::make_unique<AdObjectData>();
        adObjectRewind(d);
        while (adObjectNext(d, &header, data.get()) && header.type != type) {
        }
        ASSERT_EQ(header.type, type);
        data->wipeoutVariables.displayFrame = frame;
        ASSERT_EQ(adObjectUpdate(d, &header, data.get()), 1);
    }
    // Begins the display again, which reads the switch, and draws the window
    // (0, 0)..(30, 30) in a 300 by 300 device.
    std::string draw() {
        const std::int32_t rect[4] = {0, 0, 300, 300};
        AdViewRecord view{};
        adEndDisplay(d);
        EXPECT_EQ(adBeginDisplay(d, &view, rect, nullptr, nullptr), 1);
        view = AdViewRecord{{0, 0, 1, 0}, {15, 15, 0, 1}, {0, 1, 0, 0}, 30, 30};
        adMakeViewTransform(d, &view, rect, nullptr);
        host.install();
        host.setUserData(d);
        host.clear();
        adDrawDrawing(d);
        return host.stream();
    }
    RecordingHost host;
};

TEST_F(Wipeout, IsDrawnFromItsGraphicsOnlyWhileFramesAreShown) {
    const std::int32_t rect[4] = {0, 0, 300, 300};
    AdViewRecord view{};
    ASSERT_TRUE(begin(displayDataDir() + "proxy/wipeout.dxf", rect, &view));
    const struct {
        std::int16_t frame;
        std::vector<std::string> lines;
    } cases[] = {
        // The frame (2, 2)..(12, 8), closed, at 10 device units a unit.
        {1, {"line 120 20", "line 120 80", "line 20 80", "line 20 20"}},
        {0, {}},
    };
    for (const auto& c : cases) {
        setFrame(c.frame);
        const std::string stream = draw();
        EXPECT_EQ(lines(stream, "line "), c.lines) << "frame " << c.frame << "\n" << stream;
        EXPECT_EQ(lines(stream, "colour 3").size(), c.lines.empty() ? 0u : 1u) << "frame " << c.frame;
    }
}

}  // namespace
