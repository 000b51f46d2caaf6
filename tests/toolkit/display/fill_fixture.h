// Tests of the fills and hatches: a drawing shown at 10 device units a
// drawing unit (or a chosen scale) with the base clip regions, drawn to the
// recording host.
#pragma once
#include "render_fixture.h"

#include "toolkit/display/view.h"
#include "tools/renderhost/recording_host.h"

class FillTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        showScaled(10.0, 1000.0);
    }
    void TearDown() override {
        while (displayState.clipStack) adPopClipRegions(&displayState);
        RenderTest::TearDown();
    }
    void showScaled(double scale, double size) {
        while (displayState.clipStack) adPopClipRegions(&displayState);
        AdMatrix4 view = adIdentityMatrix;
        adMatrixScaleAxes(scale, scale, 1.0, &view);
        show(view, size);
        displayState.planViewports = 1;
        ASSERT_EQ(adPushClipRegions(&displayState, nullptr, nullptr), 1);
        host.install();
        host.setUserData(&drawing);
    }
    const AdMatrix4* matrices() const { return &displayState.viewports[0].full; }
    RecordingHost host;
};
