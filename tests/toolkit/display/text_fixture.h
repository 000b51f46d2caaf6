// Text drawn into a 10000-unit device at 100 device units a drawing unit
// (the origin at 5000, 5000), with the device segments recorded, a current
// TEXT entity, a header and styles over the test fonts.
#pragma once
#include "render_fixture.h"

#include "toolkit/display/text.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct DeviceSegment {
    std::int32_t x0, y0, x1, y1;
};

class TextTest : public RenderTest {
public:
    // A drawing-unit point in device units.
    static std::int32_t dev(double v) { return static_cast<std::int32_t>(std::trunc(v * 100.0 + 5000.0)); }

    static std::vector<DeviceSegment>& segments() {
        static std::vector<DeviceSegment> recorded;
        return recorded;
    }

protected:
    void SetUp() override {
        RenderTest::SetUp();
        showHundredfold(entity, AD_ENTITY_TEXT);
        displayState.currentScale = 100.0;
        drawing.header = header.get();
        header->ltscale = 1.0;
        adGlobals->pfbFontScale = 0.5;
        segments().clear();
        adSetMoveToHook(moveTo);
        adSetLineToHook(lineTo);
    }
    void TearDown() override {
        adDisplayGlobals->currentEntity = nullptr;
        adFreeFonts(&drawing);
        RenderTest::TearDown();
    }

    static std::string fontPath(const char* name) { return std::string(VT_TEST_DATA_DIR) + "/fonts/" + name; }
    static AdStyleRecord style(const char* font = "glyphs.shx", const char* bigFont = "") {
        AdStyleRecord record{};
        std::snprintf(record.fontFile, sizeof record.fontFile, "%s", fontPath(font).c_str());
        if (*bigFont) std::snprintf(record.bigFontFile, sizeof record.bigFontFile, "%s", fontPath(bigFont).c_str());
        return record;
    }
    // Height 10 in a font 10 high: one drawing unit a font unit.
    static AdTextParams params(double height = 10.0) {
        AdTextParams p{};
        p.height = height;
        p.widthFactor = 1.0;
        return p;
    }
    int drawText(const char* text, AdTextParams p, const AdStyleRecord& s = style(), double x = 0, double y = 0,
                 double threshold = 0.0) {
        segments().clear();
        const double insertion[3] = {x, y, 0.0};
        return adDrawTextString(&drawing, insertion, text, &s, &p, &adIdentityMatrix,
                                &displayState.viewports[0].full, threshold);
    }
    static DevicePoint& pen() {
        static DevicePoint at;
        return at;
    }
    static void moveTo(std::int32_t x, std::int32_t y, void*) { pen() = DevicePoint{x, y}; }
    static void lineTo(std::int32_t x, std::int32_t y, void*) {
        segments().push_back({pen().x, pen().y, x, y});
        pen() = DevicePoint{x, y};
    }

    AdEntityHeader entity{};
    std::unique_ptr<AdHeaderVars> header = std::make_unique<AdHeaderVars>();
};

// The device segments, each within one unit of the drawing-unit segment.
inline void expectSegments(const std::vector<std::vector<double>>& expected, const char* what) {
    const std::vector<DeviceSegment>& got = TextTest::segments();
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::int32_t e[4] = {TextTest::dev(expected[i][0]), TextTest::dev(expected[i][1]),
                                   TextTest::dev(expected[i][2]), TextTest::dev(expected[i][3])};
        const std::int32_t g[4] = {got[i].x0, got[i].y0, got[i].x1, got[i].y1};
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(g[k], e[k], 1) << what << " segment " << i << " coordinate " << k;
    }
}
