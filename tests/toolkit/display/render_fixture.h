// Tests that need the render context: a zeroed global state (with a fatal-error
// recorder), the context made before each test and freed after it, and a
// drawing with a display state whose main view matrix the test chooses.
#pragma once
#include "toolkit/display/render_state.h"

#include "toolkit/db/scratch_fixture.h"

#include <gtest/gtest.h>

class RenderTest : public ScratchFixture {
protected:
    void SetUp() override { ASSERT_EQ(adInitRender(), 1); }
    void TearDown() override {
        adTermRender();
        EXPECT_EQ(adRender, nullptr);
    }

    // Shows the fixture's drawing with a plain display state: one viewport
    // whose device rectangle is 0, 0 .. size, size.
    void show(const AdMatrix4& view = adIdentityMatrix, double size = 1000.0) {
        displayState = {};
        displayState.viewports[0].full = view;
        displayState.viewports[0].scale = adMatrixScale(&view);
        const double rect[4] = {0.0, 0.0, size, size};
        for (int k = 0; k < 4; ++k) displayState.viewports[0].deviceRect[k] = displayState.viewports[0].clipRect[k] = rect[k];
        displayState.viewports[0].clipRect[2] += 0.5;  // as the view setup makes it
        displayState.viewports[0].clipRect[3] += 0.5;
        displayState.viewportCount = 1;
        displayState.activeViewports = AD_ALL_VIEWPORTS;
        displayState.owner = &drawing;
        displayState.curveCounter = 1;
        displayState.exactDash = 1;
        displayState.linetypeGeneration = 1;
        displayState.restartAtVertex = 1;
        for (int k = 0; k < 2; ++k) displayState.deviceExtents[k] = 1e300, displayState.deviceExtents[k + 2] = -1e300;
        displayState.penColour = -1;
        displayState.penWidth = -1;
        drawing.display = &displayState;
        drawing.userData = this;
    }

    // 100 device units a drawing unit, the origin at (5000, 5000) of a
    // 10000-unit device, and the entity the draw is of.
    void showHundredfold(AdEntityHeader& entity, std::uint16_t type) {
        AdMatrix4 view = adIdentityMatrix;
        adMatrixScaleAxes(100.0, 100.0, 100.0, &view);
        view.m[3][0] = view.m[3][1] = 5000.0;
        show(view, 10000.0);
        entity.type = type;
        entity.linetypeScale = 1.0;
        entity.extrusion[2] = 1.0;
        adDisplayGlobals->currentEntity = &entity;
    }

    AdDrawing drawing{};
    AdDisplayState displayState{};
};
