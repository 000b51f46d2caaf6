// Single-line text: the glyph transform (insertion, rotation, scale, mirror),
// the oblique limit, blank strings, quick-text outlines, the ".pfb" rule,
// realignment, big-font units and TrueType characters from the outline hook.
#include "text_fixture.h"

#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

class Text : public TextTest {};

TEST_F(Text, GlyphsArePlacedScaledAndRotated) {
    // D: (0, 0)-(3, -2), (3, -2)-(4, -1), (4, -1)-(6, -1) in font units.
    ASSERT_EQ(drawText("D", params()), 1);
    expectSegments({{0, 0, 3, -2}, {3, -2, 4, -1}, {4, -1, 6, -1}}, "plain");
    AdTextParams p = params(20.0);
    p.rotation = kPi / 2;
    p.widthFactor = 0.5;
    drawText("D", p, style(), 5, 8);
    expectSegments({{5, 8, 9, 11}, {9, 11, 7, 12}, {7, 12, 7, 14}}, "height 20, width 0.5, a quarter turn");
    // Backwards mirrors x; upside down mirrors y; both turn the text half round.
    p = params();
    p.generation = 2;
    drawText("D", p);
    expectSegments({{0, 0, -3, -2}, {-3, -2, -4, -1}, {-4, -1, -6, -1}}, "backwards");
    p.generation = 4;
    drawText("D", p);
    expectSegments({{0, 0, 3, 2}, {3, 2, 4, 1}, {4, 1, 6, 1}}, "upside down");
    AdStyleRecord mirrored = style();
    mirrored.generationFlags = 2;
    p.generation = 4;
    drawText("D", p, mirrored);
    expectSegments({{0, 0, -3, 2}, {-3, 2, -4, 1}, {-4, 1, -6, 1}}, "both, one from the style");
}

TEST_F(Text, ObliqueAnglesAndBlankStrings) {
    const struct {
        const char* text;
        double oblique;
        std::size_t segments;
    } cases[] = {
        {"I", 1.5, 0},       {"I", 1.4835, 1}, {"I", 4.8, 1},
        {"   ", 0.0, 0},     {"", 0.0, 0},
        {"\t", 0.0, 1},  // not blank: drawn as the font's ?
    };
    for (const auto& c : cases) {
        AdTextParams p = params();
        p.obliqueAngle = c.oblique;
        EXPECT_EQ(drawText(c.text, p), 1) << c.oblique;
        EXPECT_EQ(segments().size(), c.segments) << "'" << c.text << "' at " << c.oblique;
    }
    // 4.8 radians is 4.8 - 2 pi: I leans to the left.
    AdTextParams p = params();
    p.obliqueAngle = 4.8;
    drawText("I", p);
    expectSegments({{0, 0, std::tan(4.8 - 2 * kPi), 1}}, "4.8 radians");
}

TEST_F(Text, QuickTextDrawsOutlines) {
    header->qtextmode = 1;
    AdTextParams p = params(2.5);
    p.widthFactor = 0.8;
    drawText("ABCD", p, style(), 10, 10);
    expectSegments({{10, 10, 18, 10}, {10, 10, 10, 12.5}, {10, 12.5, 18, 12.5}, {18, 12.5, 18, 10}}, "QTEXTMODE");
    // Below the threshold only the baseline, with or without QTEXTMODE.
    drawText("ABCD", p, style(), 10, 10, 3.0);
    expectSegments({{10, 10, 18, 10}}, "small, QTEXTMODE");
    header->qtextmode = 0;
    drawText("ABCD", p, style(), 10, 10, 3.0);
    expectSegments({{10, 10, 18, 10}}, "small");
    // Escapes count once; backwards runs the other way; fit spans its points.
    p.generation = 2;
    drawText("A\\U+00B0", p, style(), 10, 10, 3.0);
    expectSegments({{10, 10, 6, 10}}, "backwards");
    p = params(2.5);
    p.horizontalAlignment = 5;
    p.alignment[0] = 3;
    drawText("ABCD", p, style(), 10, 10, 3.0);
    expectSegments({{10, 10, 17, 10}}, "fit");
    EXPECT_EQ(entity.type, AD_ENTITY_TEXT);
}

TEST_F(Text, PfbFontsDrawWithTheDefaultFontAtHalfHeight) {
    AdFont* stand = adLoadFont(&drawing, fontPath("glyphs.shx").c_str(), AD_FONT_MASK_ANY, nullptr, nullptr, 0);
    ASSERT_NE(stand, nullptr);
    adGlobals->builtinFonts[0] = stand;
    AdStyleRecord pfb = style();
    std::snprintf(pfb.fontFile, sizeof pfb.fontFile, "%s", "romans.PFB");
    drawText("I", params(), pfb);
    expectSegments({{0, 0, 0, 0.5}}, ".PFB");
    std::snprintf(pfb.fontFile, sizeof pfb.fontFile, "%s", "romans.Pfb");
    drawText("I", params(), pfb);
    expectSegments({{0, 0, 0, 1}}, ".Pfb is not matched");
    adGlobals->builtinFonts[0] = nullptr;
}

TEST_F(Text, BigFontTextIsInBigFontUnits) {
    // Height 8 in a big font 8 high: the primary font's I (ratio 8 / 10)
    // and the big font's 8-unit stroke.
    drawText("I\x81\x40", params(8.0), style("glyphs.shx", "glyphbig.shx"));
    expectSegments({{0, 0, 0, 0.8}, {0, 0.8, 0, 8.8}}, "big font");
}

TEST_F(Text, RealignmentMovesTheInsertionPoint) {
    // D measures 6 wide and from -2 to 0 high at height 10.
    const std::string font = fontPath("glyphs.shx");
    const struct {
        std::uint8_t horizontal, vertical;
        double rotation;
        double x, y;
    } cases[] = {
        {2, 0, 0.0, 14, 0},  {2, 0, kPi / 2, 20, -6}, {1, 0, 0.0, 17, 0},
        {4, 0, 0.0, 17, 1},  {0, 3, 0.0, 20, 0},      {0, 1, 0.0, 20, 2},
    };
    for (const auto& c : cases) {
        AdTextParams p = params();
        p.horizontalAlignment = c.horizontal;
        p.verticalAlignment = c.vertical;
        p.rotation = c.rotation;
        p.alignment[0] = 20;
        double insertion[3] = {1, 1, 7};
        ASSERT_EQ(adRealignText(&drawing, "D", insertion, &p, font.c_str(), nullptr), 1);
        EXPECT_NEAR(insertion[0], c.x, 1e-9) << int(c.horizontal) << "/" << int(c.vertical);
        EXPECT_NEAR(insertion[1], c.y, 1e-9) << int(c.horizontal) << "/" << int(c.vertical);
        EXPECT_EQ(insertion[2], 7);
        EXPECT_EQ(p.height, 10);
    }
    // Aligned: points 12 apart double the height; fit doubles the width.
    AdTextParams p = params();
    p.horizontalAlignment = 3;
    p.alignment[0] = 12;
    double insertion[3] = {0, 0, 0};
    ASSERT_EQ(adRealignText(&drawing, "D", insertion, &p, font.c_str(), nullptr), 1);
    EXPECT_NEAR(p.height, 20, 1e-9);
    p = params();
    p.horizontalAlignment = 5;
    p.alignment[0] = 12;
    ASSERT_EQ(adRealignText(&drawing, "D", insertion, &p, font.c_str(), nullptr), 1);
    EXPECT_NEAR(p.widthFactor, 2, 1e-9);
    EXPECT_EQ(p.height, 10);
    // A font that cannot be loaded changes nothing.
    p.horizontalAlignment = 2;
    EXPECT_EQ(adRealignText(&drawing, "D", insertion, &p, "nosuchfont.shx", nullptr), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_TEXT_FONT);
    EXPECT_EQ(adRealignText(&drawing, "D", insertion, &p, font.c_str(), "nosuchbig.shx"), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_TEXT_BIGFONT);
}

TEST_F(Text, AFontWithoutHeightUnitDrawsNothing) {
    AdFont* font = adLoadFont(&drawing, fontPath("glyphs.shx").c_str(), AD_FONT_MASK_ANY, nullptr, nullptr, 0);
    ASSERT_NE(font, nullptr);
    font->above = 0;
    EXPECT_EQ(drawText("D", params()), 1);
    EXPECT_TRUE(segments().empty());
    double box[6], descent = 0;
    AdTextParams p = params();
    EXPECT_EQ(adMeasureText(&drawing, "D", &p, 0, fontPath("glyphs.shx").c_str(), nullptr, 0, box, &descent), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_TEXT_FONT);
}

// A TrueType face whose every character is the unit square 500 wide and
// high over the baseline, 600 advance; the answer is the receiver's to free.
std::int32_t squareOutline(std::uint32_t character, double* pen, AdFontRequest*, AdGlyphAnswer* answer, void*) {
    if (character == 'x') return 1;  // a character the host cannot outline
    const double corners[5][2] = {{0, 0}, {500, 0}, {500, 500}, {0, 500}, {0, 0}};
    AdStore* store = adStoreCreate(4096);
    AdStream* stream = adStreamOpenWrite(store);
    for (int i = 0; i < 4; ++i) {
        const double segment[4] = {pen[0] + corners[i][0], pen[1] + corners[i][1], pen[0] + corners[i + 1][0],
                                   pen[1] + corners[i + 1][1]};
        adStreamWrite(stream, segment, sizeof segment);
    }
    adStreamCloseWrite(stream);
    answer->contours = static_cast<AdStore**>(HostAlloc(sizeof(AdStore*)));
    answer->pointCounts = static_cast<std::uint16_t*>(HostAlloc(sizeof(std::uint16_t)));
    answer->contours[0] = store;
    answer->pointCounts[0] = 4;
    answer->contourCount = 1;
    answer->kind = AD_GLYPH_LINES | AD_GLYPH_RECEIVER_FREES;
    answer->advance = 600;
    return 0;
}

TEST_F(Text, TrueTypeCharactersComeFromTheOutlineHook) {
    AdFont face{};
    face.kind = AD_FONT_TRUETYPE;
    face.above = 1000;
    adSetGlyphOutlineHook(squareOutline);
    AdMatrix4 unit = adIdentityMatrix;  // font units of 1000 to the drawing unit, in the device
    adMatrixScaleAxes(0.1, 0.1, 0.1, &unit);
    unit.m[3][0] = unit.m[3][1] = 5000.0;
    AdGlyphRun run{};
    run.font = &face;
    run.matrices = &unit;
    EXPECT_EQ(adWalkGlyphs(&drawing, "ax", &run, 0.0, nullptr, 0), 1);
    // The square of a, drawn from each segment's end; x is skipped without advancing.
    expectSegments({{0.5, 0, 0, 0}, {0.5, 0.5, 0.5, 0}, {0, 0.5, 0.5, 0.5}, {0, 0, 0, 0.5}}, "a");
    EXPECT_EQ(run.pen[0], 600);
    // Measuring: the box of both squares, through the extents matrix.
    double box[6];
    adResetExtents(box);
    const AdArcBox extents{box, &adIdentityMatrix};
    segments().clear();
    EXPECT_EQ(adWalkGlyphs(&drawing, "aa", &run, 0.0, &extents, 1), 1);
    EXPECT_TRUE(segments().empty());
    EXPECT_EQ(box[0], 0);
    EXPECT_EQ(box[3], 1100);
    EXPECT_EQ(box[4], 500);
    // Under- and overlines of a TrueType character are 1000 units apart.
    segments().clear();
    EXPECT_EQ(adWalkGlyphs(&drawing, "%%u%%oa", &run, 0.0, nullptr, 0), 1);
    ASSERT_EQ(segments().size(), 6u);
    EXPECT_EQ(segments()[4].y0, dev(1.2));
    EXPECT_EQ(segments()[5].y0, dev(-0.2));
    // Without a hook nothing is drawn and the pen stays.
    adSetGlyphOutlineHook(nullptr);
    segments().clear();
    EXPECT_EQ(adWalkGlyphs(&drawing, "a", &run, 0.0, nullptr, 0), 1);
    EXPECT_TRUE(segments().empty());
    EXPECT_EQ(run.pen[0], 0);
}

}  // namespace
