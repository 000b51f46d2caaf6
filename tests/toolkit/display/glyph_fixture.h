// A started toolkit with the render context, a drawing whose fonts are freed
// at the end, and recorders in the glyph line and arc slots: strokes come
// out in font units, as the interpreter hands them on.
#pragma once
#include "toolkit/display/glyphs.h"

#include "toolkit/db/started_toolkit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct GlyphLine {
    double x0, y0, x1, y1;
};
struct GlyphArc {
    double cx, cy, start, end, radius;
    std::uint8_t draw;
};

class GlyphTest : public StartedToolkit {
public:
    static std::vector<GlyphLine>& lines() {
        static std::vector<GlyphLine> recorded;
        return recorded;
    }

protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        ASSERT_EQ(adInitRender(), 1);
        lines().clear();
        arcs().clear();
        adGlyphs.line = recordLine;
        adGlyphs.arc = recordArc;
        adGlyphs.stackTop = -1;
    }
    void TearDown() override {
        adFreeFonts(d);
        adTermRender();
        StartedToolkit::TearDown();
    }

    AdFont* load(const char* name, std::int32_t mask = AD_FONT_MASK_ANY) {
        const std::string path = std::string(VT_TEST_DATA_DIR) + "/fonts/" + name;
        AdFont* font = adLoadFont(d, path.c_str(), mask, nullptr, nullptr, 0);
        EXPECT_NE(font, nullptr) << name;
        return font;
    }

    // A run in draw mode over the font (and big font), pen at the origin.
    AdGlyphRun runOf(AdFont* font, AdFont* bigFont = nullptr, std::uint8_t styleFlags = 0) const {
        AdGlyphRun run{};
        run.font = font;
        run.bigFont = bigFont;
        run.drawMode = 1;
        run.factor[0] = run.factor[1] = 1.0;
        run.style.flags = styleFlags;
        run.heightUnit = static_cast<std::uint16_t>(font->above);
        return run;
    }

    // One character as the walk draws it: found, then interpreted.
    void draw(AdGlyphRun& run, std::uint32_t code, std::uint8_t toggles = 0, const AdArcBox* extents = nullptr) {
        AdFont* holder = adFontFindShape(d, run.font, run.bigFont, code, 0);
        ASSERT_NE(holder, nullptr) << code;
        adDrawGlyph(d, code, holder, &run, toggles, extents);
    }

    static std::vector<GlyphArc>& arcs() {
        static std::vector<GlyphArc> recorded;
        return recorded;
    }
    static void recordLine(AdDrawing*, double start[3], double end[3], const AdMatrix4*, const AdMatrix4*,
                           const AdLtypeRecord*, AdDrawing*, AdWideSegment*, std::int32_t, double) {
        lines().push_back({start[0], start[1], end[0], end[1]});
    }
    static std::int32_t recordArc(AdDrawing*, const double centre[3], double start, double end, double radius,
                                  const AdMatrix4*, const AdMatrix4*, std::uint8_t draw, const AdLtypeRecord*,
                                  AdDrawing*, const AdArcBox* box) {
        arcs().push_back({centre[0], centre[1], start, end, radius, draw});
        return box ? adArcExtents(nullptr, centre, start, end, radius, nullptr, nullptr, draw, nullptr, nullptr, box)
                   : 1;
    }

    std::unique_ptr<AdDrawing> drawing_ = std::make_unique<AdDrawing>();
    AdDrawing* d = drawing_.get();
};

// Expects exactly these strokes, in order.
inline void expectLines(const std::vector<GlyphLine>& expected, const char* what) {
    const std::vector<GlyphLine>& got = GlyphTest::lines();
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(got[i].x0, expected[i].x0, 1e-9) << what << " line " << i;
        EXPECT_NEAR(got[i].y0, expected[i].y0, 1e-9) << what << " line " << i;
        EXPECT_NEAR(got[i].x1, expected[i].x1, 1e-9) << what << " line " << i;
        EXPECT_NEAR(got[i].y1, expected[i].y1, 1e-9) << what << " line " << i;
    }
}
