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

    // Shows the fixture's drawing with a plain display state.
    void show(const AdMatrix4& view = adIdentityMatrix) {
        displayState = {};
        displayState.viewports[0].full = view;
        displayState.penColour = -1;
        displayState.penWidth = -1;
        drawing.display = &displayState;
        drawing.userData = this;
    }

    AdDrawing drawing{};
    AdDisplayState displayState{};
};
