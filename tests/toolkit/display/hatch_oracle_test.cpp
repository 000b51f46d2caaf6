// The hatches of tests/data/display/hatch/hatches.dxf drawn whole and
// checked by hatch_oracle.py against ezdxf's reading of the same hatches,
// with shapely's geometry: pattern lines inside the region the style fills
// and on the pattern's lines, solid fills covering the region.
#include "displayed_drawing.h"

#include "oracle.h"
#include "toolkit/db/temp_dir.h"
#include "tools/renderhost/recording_host.h"

#include <cstdio>

namespace {

std::string geometrySkipReason() {
#ifdef _WIN32
    return "ezdxf and shapely run with the system's Python, which the Windows build does not run";
#else
    static const bool present = runPython({"-c", "import ezdxf, shapely"}) == 0;
    return present ? "" : "python3-ezdxf or python3-shapely is not installed";
#endif
}

class HatchOracle : public DisplayedDrawing {};

}  // namespace

TEST_F(HatchOracle, PatternLinesAndSolidFillsMatchTheBoundaries) {
    const std::string reason = geometrySkipReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    const std::string fixture = displayDataDir() + "hatch/hatches.dxf";
    // The cells span 120 by 100 drawing units: 100 device units each.
    const std::int32_t rect[4] = {0, 0, 12000, 10000};
    AdViewRecord view{};
    ASSERT_TRUE(begin(fixture, rect, &view));
    view = AdViewRecord{{0, 0, 1, 0}, {60, 50, 0, 1}, {0, 1, 0, 0}, 120, 100};
    adMakeViewTransform(d, &view, rect, nullptr);
    RecordingHost host;
    host.install();
    host.setUserData(d);
    adDrawDrawing(d);
    const AdMatrix4& m = d->display->viewports[0].full;
    char matrix[256];
    std::snprintf(matrix, sizeof matrix, "matrix %.17g %.17g %.17g %.17g %.17g %.17g\n", m.m[0][0], m.m[1][0],
                  m.m[0][1], m.m[1][1], m.m[3][0], m.m[3][1]);
    TempDir dir;
    const std::string stream = dir.write("draw.stream", matrix + host.stream());
    EXPECT_EQ(runPython({std::string(VT_TEST_SOURCE_DIR) + "/toolkit/display/hatch_oracle.py", fixture, stream}), 0);
}
