// The glyph interpreter over the small test fonts of
// tests/data/fonts/make_glyph_fonts.py: every shape code stroke by stroke,
// subshapes, the position stack, vertical text, big fonts and unifonts, the
// special characters and escapes, and the malformed shapes that must end
// their character rather than the process.
#include "glyph_fixture.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

class Glyphs : public GlyphTest {
protected:
    void SetUp() override {
        GlyphTest::SetUp();
        font = load("glyphs.shx");
        ASSERT_NE(font, nullptr);
        ASSERT_EQ(font->above, 10);
    }
    // The strokes of one character of glyphs.shx.
    AdGlyphRun drawOne(std::uint32_t code, std::uint8_t styleFlags = 0, std::uint8_t toggles = 0) {
        lines().clear();
        arcs().clear();
        AdGlyphRun run = runOf(font, nullptr, styleFlags);
        draw(run, code, toggles);
        return run;
    }
    AdFont* font = nullptr;
};

TEST_F(Glyphs, VectorsStepInTheirSixteenDirections) {
    const AdGlyphRun run = drawOne('A');
    const double points[17][2] = {{0, 0},      {1, 0},    {2, .5},   {3, 1.5},    {3.5, 2.5}, {3.5, 3.5},
                                  {3, 4.5},    {2, 5.5},  {1, 6},    {0, 6},      {-1, 5.5},  {-2, 4.5},
                                  {-2.5, 3.5}, {-2.5, 2.5}, {-2, 1.5}, {-1, .5},  {0, 0}};
    std::vector<GlyphLine> expected;
    for (int i = 0; i < 16; ++i) expected.push_back({points[i][0], points[i][1], points[i + 1][0], points[i + 1][1]});
    expectLines(expected, "A");
    EXPECT_EQ(run.pen[0], 0.0);
    EXPECT_EQ(run.pen[1], 0.0);
}

TEST_F(Glyphs, StraightCodesDrawTheirStrokes) {
    const struct {
        std::uint32_t code;
        std::uint8_t styleFlags;
        std::vector<GlyphLine> lines;
        double pen[2];
    } cases[] = {
        // Pen up moves without drawing.
        {'B', 0, {{0, 0, 1, 0}, {2, 0, 3, 0}}, {3, 0}},
        // Times 2, then divided by 4.
        {'C', 0, {{0, 0, 2, 0}, {2, 0, 2.5, 0}}, {2.5, 0}},
        // Code 8, then a code 9 run ended by (0, 0).
        {'D', 0, {{0, 0, 3, -2}, {3, -2, 4, -1}, {4, -1, 6, -1}}, {6, -1}},
        // Push, pop: the pop moves back without a line.
        {'K', 0, {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 0, 1, -1}}, {1, -1}},
        // Code 14 passes over the next command with its operands in
        // horizontal text, and is ignored in vertical text.
        {'J', 0, {{0, 0, 1, 0}}, {1, 0}},
        {'J', 4, {{0, 0, 5, 5}, {5, 5, 6, 5}}, {6, 5}},
        {'L', 0, {{0, 0, -1, 0}, {-1, 0, 0, 0}}, {0, 0}},
        {'L', 4, {{0, 0, 0, 1}, {0, 1, -1, 1}, {-1, 1, 0, 1}}, {0, 1}},
        {'M', 0, {{0, 0, 1, 0}}, {1, 0}},
        {'N', 0, {{0, 0, 1, 0}}, {1, 0}},
        {'N', 4, {{0, 0, 0, 1}, {0, 1, 1, 1}}, {1, 1}},
        // A subshape goes on from the pen and leaves it where it ends.
        {'U', 0, {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 2, 1}}, {2, 1}},
    };
    for (const auto& c : cases) {
        const AdGlyphRun run = drawOne(c.code, c.styleFlags);
        const std::string what = std::string(1, static_cast<char>(c.code)) + (c.styleFlags ? " vertical" : "");
        expectLines(c.lines, what.c_str());
        EXPECT_NEAR(run.pen[0], c.pen[0], 1e-9) << what;
        EXPECT_NEAR(run.pen[1], c.pen[1], 1e-9) << what;
        EXPECT_EQ(adGlyphs.stackTop, -1) << what;
    }
}

TEST_F(Glyphs, ArcCodesGoToTheArcSlot) {
    const double r2 = 3.0 * std::sqrt(0.5);
    const double fStart = 1.25 * kPi / 4, fEnd = 2.5 * kPi / 4;
    const struct {
        std::uint32_t code;
        std::vector<GlyphArc> arcs;
        double pen[2];
    } cases[] = {
        // Radius 3, counter-clockwise, from octant 1, one octant.
        {'E', {{-r2, -r2, kPi / 4, kPi / 2, 3, 1}}, {-r2, -r2 + 3}},
        // Offsets of 64 and 128 256ths; the end offset takes one octant off.
        {'F',
         {{-3 * std::cos(fStart), -3 * std::sin(fStart), fStart, fEnd, 3, 1}},
         {-3 * std::cos(fStart) + 3 * std::cos(fEnd), -3 * std::sin(fStart) + 3 * std::sin(fEnd)}},
        // Clockwise from octant 2, two octants: drawn from 0 to 90 degrees.
        {'G', {{0, -2, 0, kPi / 2, 2, 1}}, {2, -2}},
        // Bulge 127: the half circle below the chord; -127: above it.
        {'H', {{4, 0, kPi, 2 * kPi, 4, 1}, {12, 0, 0, kPi, 4, 1}}, {16, 8}},
    };
    for (const auto& c : cases) {
        const AdGlyphRun run = drawOne(c.code);
        const std::string what(1, static_cast<char>(c.code));
        ASSERT_EQ(arcs().size(), c.arcs.size()) << what;
        for (std::size_t i = 0; i < c.arcs.size(); ++i) {
            const GlyphArc& a = arcs()[i];
            const GlyphArc& e = c.arcs[i];
            EXPECT_NEAR(a.cx, e.cx, 1e-9) << what << i;
            EXPECT_NEAR(a.cy, e.cy, 1e-9) << what << i;
            EXPECT_NEAR(a.start, e.start, 1e-9) << what << i;
            EXPECT_NEAR(a.end, e.end, 1e-9) << what << i;
            EXPECT_NEAR(a.radius, e.radius, 1e-9) << what << i;
            EXPECT_EQ(a.draw, e.draw) << what << i;
        }
        EXPECT_NEAR(run.pen[0], c.pen[0], 1e-9) << what;
        EXPECT_NEAR(run.pen[1], c.pen[1], 1e-9) << what;
    }
    // The code 13 run of H ends with a straight (bulge 0) chord.
    expectLines({{16, 0, 16, 8}}, "H");
}

TEST_F(Glyphs, MalformedShapesEndTheirCharacter) {
    // A shape that calls itself: one line per level, up to the nesting limit.
    AdGlyphRun run = drawOne('R');
    EXPECT_EQ(lines().size(), static_cast<std::size_t>(AD_GLYPH_NESTING_LIMIT));
    EXPECT_EQ(run.pen[0], AD_GLYPH_NESTING_LIMIT);
    // A sixth push has no room: nothing after it is drawn.
    run = drawOne('X');
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(adGlyphs.stackTop, AD_GLYPH_STACK_SIZE - 1);
    adGlyphs.stackTop = -1;
    // Dividing by 0 ends the character after its first line.
    run = drawOne('Z');
    expectLines({{0, 0, 1, 0}}, "Z");
    EXPECT_EQ(run.factor[0], 1.0);
    // A bulge over no chord is a point, not a circle of infinite radius.
    run = drawOne('Q');
    EXPECT_TRUE(arcs().empty());
    expectLines({{0, 0, 0, 0}, {0, 0, 1, 0}}, "Q");
}

TEST_F(Glyphs, UnderAndOverlinesFollowTheCharacter) {
    drawOne('0', 0, AD_TEXT_OVERLINE | AD_TEXT_UNDERLINE);
    expectLines({{0, 0, 3, 0}, {0, 12, 3, 12}, {0, -2, 3, -2}}, "horizontal");
    drawOne('I', 4, AD_TEXT_OVERLINE | AD_TEXT_UNDERLINE);
    expectLines({{0, 0, 0, 1}, {-1.3, 12, -1.3, 13}, {-1.3, -2, -1.3, -1}}, "vertical");
    // A subshape draws its own underline as well as the character's.
    drawOne('U', 0, AD_TEXT_UNDERLINE);
    expectLines({{0, 0, 1, 0}, {1, 0, 1, 1}, {1, -2, 1, -2}, {1, 1, 2, 1}, {0, -2, 2, -2}}, "subshape");
}

TEST_F(Glyphs, MeasuringGrowsTheBoxAndDrawsNothing) {
    AdGlyphRun run = runOf(font);
    run.drawMode = 0;
    double box[6];
    adResetExtents(box);
    const AdArcBox extents{box, &adIdentityMatrix};
    lines().clear();
    draw(run, 'D', 0, &extents);
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(box[0], 0.0);
    EXPECT_EQ(box[1], -2.0);
    EXPECT_EQ(box[3], 6.0);
    EXPECT_EQ(box[4], 0.0);
    // Arc extents: 64 chords per circle of the arc slot's stand-in.
    adResetExtents(box);
    const double centre[3] = {0, 0, 0};
    EXPECT_EQ(adArcExtents(nullptr, centre, 0, 2 * kPi, 2, nullptr, nullptr, 0, nullptr, nullptr, &extents), 64);
    EXPECT_NEAR(box[0], -2, 1e-9);
    EXPECT_NEAR(box[4], 2, 1e-9);
    EXPECT_NEAR(box[1], -2, 1e-9);
}

TEST_F(GlyphTest, BigFontsJoinLeadBytesAndScaleExtendedSubshapes) {
    AdFont* font = load("glyphs.shx");
    AdFont* big = load("glyphbig.shx", AD_FONT_MASK_BIGFONT);
    ASSERT_TRUE(font && big);
    ASSERT_EQ(big->bigFontHeight, 8);
    AdGlyphRun run = runOf(font, big);
    // The extended form: 0x8140 at offset (2, 1) in a 4 by 4 box of an 8
    // high font; the pen stays at the offset afterwards.
    draw(run, 0x8141);
    expectLines({{2, 1, 2, 5}, {2, 1, 3, 1}}, "extended");
    EXPECT_EQ(run.factor[0], 1.0);
    lines().clear();
    run = runOf(font, big);
    draw(run, 0x8142);
    expectLines({{0, 0, 0, 8}, {0, 8, 1, 8}}, "escape range");
    // A walk: the primary font's I scaled by the ratio 8 / 10, then the
    // lead byte 0x81 joined with its second byte.
    lines().clear();
    run = runOf(font, big);
    EXPECT_EQ(adWalkGlyphs(d, "I\x81\x40", &run, 0.8, nullptr, 0), 1);
    expectLines({{0, 0, 0, 0.8}, {0, 0.8, 0, 8.8}}, "walk");
}

TEST_F(GlyphTest, WalksDecodeSpecialCharactersAndEscapes) {
    AdFont* font = load("glyphs.shx");
    AdFont* uni = load("glyphuni.shx");
    ASSERT_TRUE(font && uni);
    ASSERT_EQ(uni->kind, AD_FONT_UNIFONT);
    const struct {
        AdFont* font;
        const char* text;
        std::vector<GlyphLine> lines;
        double penX;
    } cases[] = {
        // A plain shape font holds its specials at 256, 257 and 258.
        {font, "%%d%%p%%c", {{0, 0, 1, .5}, {1, .5, 2, 1.5}, {2, 1.5, 2.5, 2.5}}, 2.5},
        {font, "\\U+00B0", {{0, 0, 1, .5}}, 1},
        // A lower-case hex digit is read, and the string goes on.
        {font, "\\U+00b0I", {{0, 0, 1, .5}, {1, .5, 1, 1.5}}, 1},
        {font, "100%", {{0, 0, 5, 0}, {5, 0, 8, 0}, {8, 0, 11, 0}, {11, 0, 13, 0}}, 13},
        {font, "%%%0", {{0, 0, 2, 0}, {2, 0, 5, 0}}, 5},
        // Code 4 of C leaves its factor to the characters after it.
        {font, "CI", {{0, 0, 2, 0}, {2, 0, 2.5, 0}, {2.5, 0, 2.5, 0.5}}, 2.5},
        // A unifont takes the Unicode codes as they are.
        {uni, "%%d%%p%%c", {{0, 0, 0, 1}, {0, 1, 0, 3}, {0, 3, 0, 6}}, 0},
        // A two-byte subshape number.
        {uni, "\\U+4E00", {{0, 0, 1, 0}, {1, 0, 1, 1}}, 1},
    };
    for (const auto& c : cases) {
        lines().clear();
        adGlyphs.stackTop = -1;
        AdGlyphRun run = runOf(c.font);
        EXPECT_EQ(adWalkGlyphs(d, c.text, &run, 0.0, nullptr, 0), 1) << c.text;
        expectLines(c.lines, c.text);
        EXPECT_NEAR(run.pen[0], c.penX, 1e-9) << c.text;
    }
}

class TextChars : public StartedToolkit {};

TEST_F(TextChars, DecodeCodesTogglesAndPairs) {
    const struct {
        const char* text;
        std::uint8_t flags;
        int codePage;
        std::uint16_t code;
        std::uint8_t remap;
        std::uint8_t toggles;
        std::ptrdiff_t consumed;
    } cases[] = {
        {"%%d", 0, 0, 256, 1, 0, 3},
        {"%%p", 0, 0, 257, 1, 0, 3},
        {"%%c", 0, 0, 258, 1, 0, 3},
        {"%%d", AD_FONT_SHAPES_10, 0, 127, 1, 0, 3},
        {"%%P", AD_FONT_SHAPES_10, 0, 128, 1, 0, 3},
        {"%%c", AD_FONT_SHAPES_10, 0, 129, 1, 0, 3},
        {"%%d", AD_FONT_UNIFONT, 0, 176, 0, 0, 3},
        {"%%p", AD_FONT_UNIFONT, 0, 177, 0, 0, 3},
        {"%%c", AD_FONT_UNIFONT, 0, 8709, 0, 0, 3},
        {"%%c", AD_FONT_TRUETYPE, 0, 216, 1, 0, 3},
        {"%%d", AD_FONT_BUILTIN_GDT, 0, 126, 1, 0, 3},
        {"%%d", AD_FONT_SPECIAL, 0, 248, 1, 0, 3},
        {"%%p", AD_FONT_SIMPLEX6, 0, 177, 1, 0, 3},
        {"%%127", 0, 0, 127, 1, 0, 5},
        {"%%200", 0, 0, 200, 0, 0, 5},
        {"%%%", 0, 0, '%', 1, 0, 3},
        {"%a", 0, 0, '%', 1, 0, 1},
        {"%%uA", 0, 0, 'A', 1, AD_TEXT_UNDERLINE, 4},
        {"%%O%%ux", 0, 0, 'x', 1, AD_TEXT_OVERLINE | AD_TEXT_UNDERLINE, 7},
        {"%%o", 0, 0, 0, 1, AD_TEXT_OVERLINE, 3},
        {"%%", 0, 0, 0, 1, 0, 2},
        {"\\U+00B0", 0, 0, 256, 0, 0, 7},
        {"\\U+00b0", 0, 0, 256, 0, 0, 7},
        {"\\U+00B0", AD_FONT_UNIFONT, 0, 176, 0, 0, 7},
        {"\\U+41x", 0, 0, 'A', 0, 0, 5},
        {"\\U+", 0, 0, '\\', 1, 0, 1},
        {"\\M+18140", 0, 0, 0x8140, 0, 0, 8},
        // The specials of plain fonts under the western code pages.
        {"\xF8", AD_FONT_SHAPES_10, 30, 127, 1, 0, 1},
        {"\xF1", AD_FONT_SHAPES_10, 12, 128, 1, 0, 1},
        {"\xED", AD_FONT_SHAPES_10, 30, 129, 1, 0, 1},
        {"\xF8", AD_FONT_SHAPES_11, 30, 256, 1, 0, 1},
        {"\xF8", AD_FONT_BUILTIN_GDT, 30, 126, 1, 0, 1},
        {"\xF8", AD_FONT_UNIFONT, 30, 248, 1, 0, 1},
        {"\xF8", AD_FONT_SHAPES_10, 0, 248, 1, 0, 1},
        // Double-byte characters of the code page; a lead byte at the end
        // stands alone.
        {"\x82\xA0", 0, 38, 0x82A0, 1, 0, 2},
        {"\x82", 0, 38, 0x82, 1, 0, 1},
        {"\x82\xA0", 0, 30, 0x82, 1, 0, 1},
    };
    for (const auto& c : cases) {
        const char* cursor = c.text;
        std::uint8_t remap = 9, toggles = 0;
        EXPECT_EQ(adNextTextChar(&cursor, c.flags, nullptr, c.codePage, &remap, &toggles), c.code) << c.text;
        EXPECT_EQ(remap, c.remap) << c.text;
        EXPECT_EQ(toggles, c.toggles) << c.text;
        EXPECT_EQ(cursor - c.text, c.consumed) << c.text;
    }
}

}  // namespace
