// Font shapes: the bytes of each font against its source, every printable
// character of the built-in font, the stand-in for missing characters, big
// font lookups, double-byte codes, and strokes and arcs within bounds.
#include "font_fixture.h"
#include "toolkit/db/font_files.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The bytes of a shape of a .shp source.
struct SourceShape {
    std::vector<std::uint8_t> bytes;
};

// A number of a shape source: hexadecimal when it starts with 0; a minus
// before a hexadecimal arc specification sets its clockwise bit (0x80).
long sourceNumber(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t(");
    std::string t = text.substr(start);
    while (!t.empty() && (t.back() == ')' || t.back() == ' ' || t.back() == '\t')) t.pop_back();
    const bool negative = !t.empty() && t[0] == '-';
    const std::string digits = negative ? t.substr(1) : t;
    if (digits.size() > 1 && digits[0] == '0') {
        const long value = std::strtol(digits.c_str(), nullptr, 16);
        return negative ? 0x80 | value : value;
    }
    const long value = std::strtol(digits.c_str(), nullptr, 10);
    return negative ? -value : value;
}

std::map<long, SourceShape> readSource(const std::string& path) {
    std::ifstream in(path);
    std::map<long, SourceShape> shapes;
    SourceShape* current = nullptr;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t comment = line.find(';');
        if (comment != std::string::npos) line.erase(comment);
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (line[0] == '*') {
            const std::string number = line.substr(1, line.find(',') - 1);
            current = number == "UNIFONT" ? nullptr : &shapes[sourceNumber(number)];
            continue;
        }
        if (!current) continue;
        std::size_t at = 0;
        while (at < line.size()) {
            std::size_t end = line.find(',', at);
            if (end == std::string::npos) end = line.size();
            const std::string item = line.substr(at, end - at);
            if (item.find_first_of("0123456789") != std::string::npos)
                current->bytes.push_back(static_cast<std::uint8_t>(sourceNumber(item)));
            at = end + 1;
        }
    }
    return shapes;
}

class ShapeSources : public FontTest, public testing::WithParamInterface<std::pair<const char*, const char*>> {};

// Every shape of the source is found under its number and the font hands out
// exactly the bytes the source gives after the shape's name.
TEST_P(ShapeSources, FontBytesMatchTheSource) {
    SKIP_WITHOUT_SHARED_FONTS();
    AdFont* font = load(sharedFont(GetParam().first));
    ASSERT_NE(font, &fallback);
    const auto shapes = readSource(sharedFont(GetParam().second));
    ASSERT_GT(shapes.size(), 0u);
    for (const auto& [number, shape] : shapes) {
        ASSERT_EQ(adFontSeekCode(font, static_cast<std::uint32_t>(number)), 1) << number;
        // The compiled name may differ (lower-case names are not kept).
        for (int i = 0; i < 256 && adFontNextShapeByte(font) != 0; ++i) {
        }
        for (std::size_t i = 0; i < shape.bytes.size(); ++i)
            ASSERT_EQ(adFontNextShapeByte(font), shape.bytes[i]) << "shape " << number << " byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ShapeSources,
                         testing::Values(std::make_pair("iso3098b_shapes.shx", "iso3098b_shapes.shp"),
                                         std::make_pair("line_shape.shx", "line_shape.shp"),
                                         std::make_pair("netdxf_shape.shx", "netdxf_shape.shp"),
                                         std::make_pair("test_shape.shx", "test_shape.shp"),
                                         std::make_pair("iso3098_unifont.shx", "iso3098_unifont.shp")));

TEST_F(FontTest, BuiltinSimplexDrawsEveryPrintableCharacter) {
    AdFont* simplex = builtin(0);
    ASSERT_EQ(adFontFindShape(d, simplex, nullptr, '?', 0), simplex);
    const std::int32_t question = adFontShapePos(simplex, nullptr);
    for (std::uint32_t c = 32; c < 127; ++c) {
        ASSERT_EQ(adFontFindShape(d, simplex, nullptr, c, 0), simplex) << c;
        if (c != '?') {
            EXPECT_NE(adFontShapePos(simplex, nullptr), question) << "character " << c << " is its own";
        }
        std::vector<Segment> segments;
        double end[2];
        EXPECT_EQ(adShapeStrokes(d, simplex, nullptr, c, 0, 0, collectSegment, &segments, end), 1) << c;
        EXPECT_GT(end[0], 0) << c;
        EXPECT_EQ(end[1], 0) << c;
        EXPECT_EQ(segments.empty(), c == ' ') << c;
    }
}

TEST_F(FontTest, AMissingCharacterDrawsAQuestionMarkOrElseASpace) {
    SKIP_WITHOUT_SHARED_FONTS();
    AdFont* withQuestion = load(sharedFont("iso3098b_shapes.shx"));
    ASSERT_EQ(adFontFindShape(d, withQuestion, nullptr, '?', 0), withQuestion);
    const std::int32_t question = adFontShapePos(withQuestion, nullptr);
    EXPECT_EQ(adFontFindShape(d, withQuestion, nullptr, 0x2000, 0), withQuestion);
    EXPECT_EQ(adFontShapePos(withQuestion, nullptr), question);

    AdFont* withSpace = load(testFont("edge.shx"));
    ASSERT_EQ(adFontFindShape(d, withSpace, nullptr, ' ', 0), withSpace);
    const std::int32_t space = adFontShapePos(withSpace, nullptr);
    EXPECT_EQ(adFontFindShape(d, withSpace, nullptr, 'x', 0), withSpace);
    EXPECT_EQ(adFontShapePos(withSpace, nullptr), space);

    AdFont* neither = load(sharedFont("ltype_shapes_v11.shx"));
    EXPECT_EQ(adFontFindShape(d, neither, nullptr, 'x', 0), nullptr);
    EXPECT_EQ(adFontFindShape(d, nullptr, nullptr, 'x', 0), nullptr);
}

struct BigFontCase {
    std::uint32_t code;
    std::int32_t options;
    bool fromBigFont;
    double end[2];  // of the strokes
};

class BigFontLookup : public FontTest, public testing::WithParamInterface<BigFontCase> {};

TEST_P(BigFontLookup, EscapeRangesAndTheHashedIndex) {
    const BigFontCase& c = GetParam();
    AdFont* font = load(testFont("edge.shx"));
    AdFont* big = load(testFont("bigfont.shx"), AD_FONT_MASK_BIGFONT);
    ASSERT_NE(big, &fallback);
    EXPECT_EQ(adFontFindShape(d, font, big, c.code, c.options), c.fromBigFont ? big : font);
    double end[2];
    std::vector<Segment> segments;
    adShapeStrokes(d, font, big, c.code, c.options, 0, collectSegment, &segments, end);
    EXPECT_EQ(end[0], c.end[0]);
    EXPECT_EQ(end[1], c.end[1]);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, BigFontLookup,
    testing::Values(BigFontCase{0x8140, 0, true, {0, 1}},
                    BigFontCase{'A', 0, true, {1, 0}},  // below 222: any escape range will do
                    BigFontCase{'B', 0, false, {0, 0}},  // edge's B breaks off at once
                    BigFontCase{0xA141, 0, false, {8, 0}},  // lead byte outside the range: edge's space
                    BigFontCase{0xA141, AD_SHAPE_FORCE_BIGFONT, true, {0, -1}},
                    BigFontCase{0x8400, 0, true, {0, 2}},  // placed before the slot its hash names
                    BigFontCase{0x8341, 0, false, {8, 0}}));  // its entry points past the file

TEST_F(FontTest, UnifontsTakeDoubleByteCodesThroughTheDrawingsCodePage) {
    SKIP_WITHOUT_SHARED_FONTS();
    auto header = std::make_unique<AdHeaderVars>();
    header->dwgcodepage = 38;  // ANSI 932
    d->header = header.get();
    AdFont* font = load(sharedFont("kst32b_unifont.shx"));
    ASSERT_NE(font, &fallback);
    ASSERT_EQ(adFontSeekCode(font, 0x3042), 1) << "the font holds HIRAGANA LETTER A";
    const std::int32_t wanted = adFontShapePos(font, nullptr);
    EXPECT_EQ(adFontFindShape(d, font, nullptr, 0x82A0, AD_SHAPE_FROM_CODE_PAGE), font);
    EXPECT_EQ(adFontShapePos(font, nullptr), wanted);
    d->header = nullptr;
}

struct StrokeCase {
    const char* file;
    bool shared;
    std::uint32_t code;
    int vertical;
    int whole;
    std::vector<Segment> segments;
    double end[2];
};

class ShapeStrokes : public FontTest, public testing::WithParamInterface<StrokeCase> {};

TEST_P(ShapeStrokes, FollowThePenCodesWithinBounds) {
    const StrokeCase& c = GetParam();
    if (c.shared) SKIP_WITHOUT_SHARED_FONTS();
    AdFont* font = load(c.shared ? sharedFont(c.file) : testFont(c.file));
    ASSERT_NE(font, &fallback);
    std::vector<Segment> segments;
    double end[2];
    EXPECT_EQ(adShapeStrokes(d, font, nullptr, c.code, 0, c.vertical, collectSegment, &segments, end), c.whole);
    ASSERT_EQ(segments.size(), c.segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i)
        for (int k = 0; k < 2; ++k) {
            EXPECT_NEAR(segments[i].from[k], c.segments[i].from[k], 1e-9) << i;
            EXPECT_NEAR(segments[i].to[k], c.segments[i].to[k], 1e-9) << i;
        }
    EXPECT_NEAR(end[0], c.end[0], 1e-9);
    EXPECT_NEAR(end[1], c.end[1], 1e-9);
}

constexpr double k127 = 127.0 / 128;
INSTANTIATE_TEST_SUITE_P(
    Glyphs, ShapeStrokes,
    testing::Values(
        // iso3098b_shapes.shp, '1': 2,14,8,(-3,-20),8,(1,15),1,8,(4,4),8,(0,-18),2,8,(5,-1),14,8,(-7,-10),0
        StrokeCase{"iso3098b_shapes.shx", true, '1', 0, 1, {{{1, 15}, {5, 19}}, {{5, 19}, {5, 1}}}, {10, 0}},
        StrokeCase{"iso3098b_shapes.shx", true, '1', 1, 1, {{{-2, -5}, {2, -1}}, {{2, -1}, {2, -19}}}, {0, -30}},
        // line_shape.shp: the scale codes shrink (127,127),(1,1) to one unit.
        StrokeCase{"line_shape.shx", true, 1, 0, 1, {{{0, 0}, {k127, k127}}, {{k127, k127}, {1, 1}}}, {0, 0}},
        StrokeCase{"edge.shx", false, 'A', 0, 0, {}, {0, 0}},                        // calls itself
        StrokeCase{"edge.shx", false, 'B', 0, 0, {}, {0, 0}},                        // five pushes
        StrokeCase{"edge.shx", false, 'C', 0, 0, {{{0, 0}, {0, 1}}}, {0, 1}},        // unknown code 15
        StrokeCase{"edge.shx", false, 'D', 0, 0, {}, {0, 0}},                        // divides by 0
        StrokeCase{"edge.shx",
                   false,
                   'F',
                   0,
                   0,
                   {{{0, 0}, {1, 0}}, {{1, 0}, {2, 0}}, {{2, 0}, {3, 0}}, {{3, 0}, {4, 0}},
                    {{4, 0}, {5, 0}}, {{5, 0}, {6, 0}}, {{6, 0}, {7, 0}}, {{7, 0}, {8, 0}}},
                   {8, 0}},  // F and G call each other until the nesting bound
        StrokeCase{"edge.shx", false, 'H', 0, 1, {{{0, 0}, {0, 1}}, {{0, 1}, {1, 1}}}, {1, 1}},
        StrokeCase{"edge.shx", false, 'V', 0, 1, {{{0, 0}, {1, 0}}}, {1, 0}},
        StrokeCase{"edge.shx", false, 'V', 1, 1, {{{0, 0}, {5, 5}}, {{5, 5}, {6, 5}}}, {6, 5}},
        StrokeCase{"edge.shx", false, 'Z', 0, 1, {{{0, 0}, {1, 0}}, {{1, 0}, {2, 0}}}, {2, 0}}),
    [](const testing::TestParamInfo<StrokeCase>& info) { return "Case" + std::to_string(info.index); });

double farthest(const std::vector<Segment>& segments, const double centre[2], double radius) {
    double worst = 0;
    for (const Segment& s : segments)
        worst = std::max(worst, std::fabs(std::hypot(s.to[0] - centre[0], s.to[1] - centre[1]) - radius));
    return worst;
}

// iso3098b '.': 8,(1,2),1,10,(1,040): a full circle of radius 1 starting at
// 180 degrees; '(': 8,(3,-1),1,12,(0,20,-25): a clockwise bulge, left of
// its chord.
TEST_F(FontTest, ArcsLieOnTheirCircles) {
    SKIP_WITHOUT_SHARED_FONTS();
    AdFont* font = load(sharedFont("iso3098b_shapes.shx"));
    std::vector<Segment> dot;
    double end[2];
    ASSERT_EQ(adShapeStrokes(d, font, nullptr, '.', 0, 0, collectSegment, &dot, end), 1);
    ASSERT_GE(dot.size(), 8u);
    const double centre[2] = {2, 2};
    EXPECT_LT(farthest(dot, centre, 1), 1e-9);
    EXPECT_NEAR(dot.back().to[0], 1, 1e-9);
    EXPECT_NEAR(dot.back().to[1], 2, 1e-9);

    std::vector<Segment> paren;
    ASSERT_EQ(adShapeStrokes(d, font, nullptr, '(', 0, 0, collectSegment, &paren, end), 1);
    ASSERT_GE(paren.size(), 2u);
    double least = 3;
    for (const Segment& s : paren) {
        EXPECT_LE(s.to[0], 3 + 1e-9);
        least = std::min(least, s.to[0]);
    }
    const double sagitta = 25.0 / 127 * 10;
    EXPECT_NEAR(least, 3 - sagitta, 0.05);
    EXPECT_NEAR(paren.back().to[0], 3, 1e-9);
    EXPECT_NEAR(paren.back().to[1], 19, 1e-9);
}

}  // namespace
