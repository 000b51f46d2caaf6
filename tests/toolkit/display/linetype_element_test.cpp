// Complex linetype elements: where the text or shape of a dash entry is
// placed, turned and scaled, which characters it draws, and the sizes it
// refuses.
#include "render_fixture.h"

#include "toolkit/display/linetype_element.h"

#include <cmath>
#include <string>

namespace {

class LinetypeElement : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        show();
    }
    // Where a glyph point (font units) lands.
    static void place(const AdMatrix4& m, double x, double y, double out[2]) {
        const double p[4] = {x, y, 0.0, 1.0};
        double q[4];
        adTransformPoint(p, &m, q);
        out[0] = q[0], out[1] = q[1];
    }
};

}  // namespace

// L = 2, element scale 1, x offset 0.1: the element's origin lies 0.2 along
// the line from its anchor, and its x axis runs with the line unless the
// rotation is absolute. Inside a block (a model matrix moving x by 100) the
// offset is a displacement and does not take the translation again. A font
// height unit of 0 gives no size; a fixed style height scales the text.
TEST_F(LinetypeElement, PlacementAlongTheSegment) {
    const double origin[3] = {0, 0, 0}, east[3] = {10, 0, 0}, north[3] = {0, 10, 0};
    AdMatrix4 moved = adIdentityMatrix;
    adMatrixPostTranslate(100.0, 0.0, 0.0, &moved);
    const struct {
        const char* name;
        const double* end;
        std::int16_t flags;
        const AdMatrix4* model;
        double heightUnit, fixedHeight;
        double at[2], xAxis[2];  // where glyph (0, 0) and (1, 0) land
    } cases[] = {
        {"horizontal", east, 0, nullptr, 1, 0, {1.2, 0}, {3.2, 0}},
        {"upwards", north, 0, nullptr, 1, 0, {1, 0.2}, {1, 2.2}},
        {"upwards, absolute rotation", north, AD_ELEMENT_ABSOLUTE_ROTATION, nullptr, 1, 0, {1, 0.2}, {3, 0.2}},
        {"in a block", east, 0, &moved, 1, 0, {101.2, 0}, {103.2, 0}},
        {"text of height unit 4, fixed height 3", east, 0, nullptr, 4, 3, {1.2, 0}, {2.7, 0}},
    };
    for (const auto& c : cases) {
        AdLtypeDash dash{};
        dash.scale = 1.0;
        dash.xOffset = 0.1;
        dash.complexFlags = c.flags;
        const double anchor[3] = {1, 0, 0};
        AdMatrix4 m;
        ASSERT_EQ(adLinetypeElementMatrix(&drawing, 0, anchor, c.model, 2.0, adWalkDirection(origin, c.end), dash,
                                          c.heightUnit, c.fixedHeight, false, &m),
                  1)
            << c.name;
        double at[2], x[2];
        place(m, 0, 0, at);
        place(m, 1, 0, x);
        EXPECT_NEAR(at[0], c.at[0], 1e-12) << c.name;
        EXPECT_NEAR(at[1], c.at[1], 1e-12) << c.name;
        EXPECT_NEAR(x[0], c.xAxis[0], 1e-12) << c.name;
        EXPECT_NEAR(x[1], c.xAxis[1], 1e-12) << c.name;
    }
    AdLtypeDash dash{};
    dash.scale = 1.0;
    const double anchor[3] = {0, 0, 0};
    AdMatrix4 m;
    EXPECT_EQ(adLinetypeElementMatrix(&drawing, 0, anchor, nullptr, 1.0, 0.0, dash, 0.0, 0.0, false, &m), 0)
        << "a height unit of 0 has no size";
}

// A shape element draws the low byte of its shape number; a text element
// its string from the record's text area; an entry without either, or a
// text position outside the area, draws nothing.
TEST_F(LinetypeElement, TheCharactersAnEntryDraws) {
    AdLtypeRecord record{};
    record.dashCount = 4;
    record.dashes[0].shapeNumber = 300;
    record.dashes[1].complexFlags = AD_ELEMENT_TEXT;
    record.dashes[1].textPosition = 4;
    std::snprintf(record.textArea + 4, 8, "GAS");
    record.dashes[3].complexFlags = AD_ELEMENT_TEXT;
    record.dashes[3].textPosition = -1;  // 65535 as stored
    const struct {
        int entry;
        const char* text;  // null: nothing
    } cases[] = {{0, "\x2C"}, {1, "GAS"}, {2, nullptr}, {3, nullptr}, {AD_LTYPE_DASH_COUNT, nullptr}};
    for (const auto& c : cases) {
        char text[AD_LTYPE_TEXT_AREA_SIZE];
        const int drawn = adLinetypeElementString(&record, c.entry, text, sizeof text);
        EXPECT_EQ(drawn, c.text ? 1 : 0) << c.entry;
        if (c.text && drawn) {
            EXPECT_STREQ(text, c.text) << c.entry;
        }
    }
}
