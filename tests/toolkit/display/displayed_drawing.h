// Tests that show one of the DXF drawings under tests/data/display: the
// toolkit and the render context started with the display-list cache off,
// and the drawing's display ended and the drawing closed after each test.
#pragma once
#include "golden.h"

#include "toolkit/db/started_toolkit.h"
#include "toolkit/display/render_state.h"

#include <string>

class DisplayedDrawing : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
        ASSERT_EQ(adInitRender(), 1);
        adSetDisplayCaching(0);
    }
    void TearDown() override {
        closeDrawing();
        adTermRender();
        StartedToolkit::TearDown();
    }
    // Opens the drawing and begins its display in the device rectangle,
    // which writes the view it starts with; false when either fails.
    bool begin(const std::string& path, const std::int32_t rect[4], AdViewRecord* view) {
        d = adOpenDrawing(path.c_str(), 1, 1);
        if (!d) {
            ADD_FAILURE() << path << ": error " << adGlobals->errorCode;
            return false;
        }
        return adBeginDisplay(d, view, rect, nullptr, nullptr) == 1;
    }
    // Ends the display of the drawing shown and closes it, so that a test
    // can show another.
    void closeDrawing() {
        if (!d) return;
        adEndDisplay(d);
        adCloseDrawing(d);
        d = nullptr;
    }
    AdDrawing* d = nullptr;
};
