// MTEXT laid out in the box font of tests/data/fonts/boxes.shx, where every
// printable character is a box of ink 4 font units wide and 10 high that
// advances 6 (a 'g' reaches 2 below the baseline). At height 2.5 a font unit
// is 0.25: a character's ink spans 0.25 to 1.25 of its 1.5 advance.
#include "toolkit/db/host_fault.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/display/glyphs.h"
#include "toolkit/display/handlers.h"
#include "toolkit/display/mtext_layout.h"
#include "toolkit/display/render_state.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

struct Stroke {
    double x1, y1, x2, y2;
};
std::vector<Stroke>& strokes() {
    static std::vector<Stroke> recorded;
    return recorded;
}
std::vector<std::int16_t>& colours() {
    static std::vector<std::int16_t> recorded;
    return recorded;
}

// Glyph lines on the text plane (the placement and the view are identity).
void recordGlyphLine(AdDrawing*, double start[3], double end[3], const AdMatrix4*, const AdMatrix4* matrices,
                     const AdLtypeRecord*, AdDrawing*, AdWideSegment*, std::int32_t, double) {
    double a[4] = {start[0], start[1], start[2], 1.0}, b[4] = {end[0], end[1], end[2], 1.0};
    adTransformPoint(a, &matrices[0], a);
    adTransformPoint(b, &matrices[0], b);
    strokes().push_back({a[0], a[1], b[0], b[1]});
}
void recordColour(std::int16_t colour, void*) { colours().push_back(colour); }

// Device lines (bars and frames), 1000 device units a drawing unit.
std::vector<DevicePoint>& devicePoints() {
    static std::vector<DevicePoint> recorded;
    return recorded;
}
void recordMove(std::int32_t x, std::int32_t y, void*) { devicePoints().push_back({x, y}); }

struct Extent {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void add(double x, double y) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
};

class MTextLayout : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        ASSERT_EQ(adInitRender(), 1);
        drawing = adCreateDrawing();
        ASSERT_NE(drawing, nullptr);
        const std::string path = std::string(VT_TEST_DATA_DIR) + "/fonts/boxes.shx";
        boxes = adLoadFont(drawing, path.c_str(), AD_FONT_MASK_SHAPE, nullptr, nullptr, -1);
        ASSERT_NE(boxes, nullptr);
        ASSERT_EQ(boxes->above, 10);
        // Without a STYLE record the text takes the default font: the boxes.
        builtin = adGlobals->builtinFonts[0];
        adGlobals->builtinFonts[0] = boxes;
        show();
        adSetGlyphSlots();
        adGlyphs.line = recordGlyphLine;
        adSetColorHook(recordColour);
        adSetMoveToHook(recordMove);
        adSetLineToHook(recordMove);
        strokes().clear();
        colours().clear();
        devicePoints().clear();
    }
    void TearDown() override {
        adGlobals->builtinFonts[0] = builtin;
        drawing->display = nullptr;
        adCloseDrawing(drawing);
        adMText.frameHandle = AdHandle{};
        adTermRender();
        StartedToolkit::TearDown();
    }
    void show() {
        AdMatrix4 view;
        adMatrixIdentity(&view);
        adMatrixScaleAxes(1000.0, 1000.0, 1.0, &view);
        adMatrixPostTranslate(50000.0, 50000.0, 0.0, &view);
        display.viewports[0].full = view;
        display.viewports[0].scale = adMatrixScale(&view);
        for (int k = 0; k < 2; ++k) {
            display.viewports[0].deviceRect[k] = display.viewports[0].clipRect[k] = 0.0;
            display.viewports[0].deviceRect[k + 2] = display.viewports[0].clipRect[k + 2] = 100000.0;
        }
        display.viewportCount = 1;
        display.activeViewports = AD_ALL_VIEWPORTS;
        display.owner = drawing;
        display.curveCounter = 1;
        display.currentScale = 1000.0;
        display.penColour = -1;
        display.penWidth = -1;
        display.restartAtVertex = 1;
        display.linetypeGeneration = 1;
        drawing->display = &display;
    }
    // An MTEXT at the origin of height 2.5 in the boxes.
    static AdMtextData mtext(const char* text, double referenceWidth = 100.0, std::uint8_t attachment = 1,
                             std::int16_t spacingStyle = 2, double factor = 1.0) {
        AdMtextData m{};
        m.xAxis[0] = 1.0;
        m.height = 2.5;
        m.referenceWidth = referenceWidth;
        m.attachment = attachment;
        m.drawingDirection = 1;
        m.lineSpacingStyle = spacingStyle;
        m.lineSpacingFactor = factor;
        std::snprintf(m.text, sizeof m.text, "%s", text);
        return m;
    }
    // Draws the text; the strokes in text-plane units, minus the view's
    // scale (glyph lines come through the glyph slot unscaled).
    void draw(AdMtextData* m, std::uint8_t codes = 1) {
        adDrawMText(drawing, m, &adIdentityMatrix, 7, 3, 5, codes);
        toPlane();
    }
    static void toPlane() {
        for (Stroke& s : strokes()) {
            s.x1 = (s.x1 - 50000.0) / 1000.0, s.y1 = (s.y1 - 50000.0) / 1000.0;
            s.x2 = (s.x2 - 50000.0) / 1000.0, s.y2 = (s.y2 - 50000.0) / 1000.0;
        }
    }
    // The ink of each line by its baseline: where the upright strokes of
    // its boxes begin (texts with a 'g' are not split into lines).
    static std::map<double, Extent, std::greater<>> lines() {
        std::map<double, Extent, std::greater<>> out;
        for (const Stroke& s : strokes())
            if (std::fabs(s.x1 - s.x2) < 1e-9) out[std::round(std::min(s.y1, s.y2) * 1e6) / 1e6];
        for (const Stroke& s : strokes()) {
            const auto line = out.lower_bound(std::min(s.y1, s.y2) + 1e-6);
            if (line == out.end()) continue;
            line->second.add(s.x1, s.y1);
            line->second.add(s.x2, s.y2);
        }
        return out;
    }

    AdDrawing* drawing = nullptr;
    AdFont* boxes = nullptr;
    AdFont* builtin = nullptr;
    AdDisplayState display{};
};

TEST_F(MTextLayout, LineSpacingStyles) {
    const struct {
        const char* text;
        std::int16_t style;
        double factor;
        std::vector<double> baselines;
        double height;
    } cases[] = {
        // Exactly: the first baseline one MTEXT height down, then 1.666667 heights.
        {"ab\\Pcd\\Pef", 2, 1.0, {-2.5, -6.6666675, -10.833335}, 10.833335},
        {"ab\\Pcd\\Pef", 2, 0.5, {-2.5, -4.58333375, -6.6666675}, 6.6666675},
        // At least: the first line's height, then a third of the MTEXT height
        // and of the previous line's largest height and the line's height.
        {"ab\\Pcd", 1, 1.0, {-2.5, -2.5 - 2.5 * 5 / 3}, 2.5 + 2.5 * 5 / 3},
        {"ab\\Pcd", 1, 2.0, {-2.5, -2.5 - 2.5 * 10 / 3}, 2.5 + 2.5 * 10 / 3},
        {"ab\\P{\\H5;cd}", 1, 1.0, {-2.5, -2.5 - (2.5 / 3 + 2.5 / 3 + 5)}, 2.5 + (2.5 / 3 + 2.5 / 3 + 5)},
        {"{\\H5;ab}\\Pcd", 1, 1.0, {-5.0, -5.0 - (2.5 / 3 + 5.0 / 3 + 2.5)}, 5.0 + (2.5 / 3 + 5.0 / 3 + 2.5)},
    };
    for (const auto& c : cases) {
        strokes().clear();
        AdMtextData m = mtext(c.text, 100.0, 1, c.style, c.factor);
        draw(&m);
        const auto found = lines();
        std::vector<double> baselines;
        for (const auto& [base, extent] : found) baselines.push_back(base);
        ASSERT_EQ(baselines.size(), c.baselines.size()) << c.text;
        for (std::size_t i = 0; i < baselines.size(); ++i) EXPECT_NEAR(baselines[i], c.baselines[i], 1e-6) << c.text;
        EXPECT_NEAR(m.extentsHeight, c.height, 1e-6) << c.text;
    }
}

TEST_F(MTextLayout, NineAttachments) {
    // "ab": ink 0.25..2.75 from the pen, one line 2.5 high.
    const struct {
        std::uint8_t attachment;
        double left, right, baseline;
    } cases[] = {
        {1, 0.0, 2.5, -2.5},  {2, -1.0, 1.5, -2.5},  {3, -2.25, 0.25, -2.5},
        {4, 0.0, 2.5, -1.25}, {5, -1.0, 1.5, -1.25}, {6, -2.25, 0.25, -1.25},
        {7, 0.0, 2.5, 0.0},   {8, -1.0, 1.5, 0.0},   {9, -2.25, 0.25, 0.0},
    };
    for (const auto& c : cases) {
        strokes().clear();
        AdMtextData m = mtext("ab", 100.0, c.attachment);
        draw(&m);
        const auto found = lines();
        ASSERT_EQ(found.size(), 1u) << int(c.attachment);
        const auto& [base, e] = *found.begin();
        EXPECT_NEAR(base, c.baseline, 1e-9) << int(c.attachment);
        EXPECT_NEAR(e.minX, c.left, 1e-9) << int(c.attachment);
        EXPECT_NEAR(e.maxX, c.right, 1e-9) << int(c.attachment);
        EXPECT_NEAR(m.extentsWidth, 2.5, 1e-9);
        EXPECT_NEAR(m.extentsHeight, 2.5, 1e-9);
    }
}

TEST_F(MTextLayout, WrapWidths) {
    const struct {
        const char* text;
        double referenceWidth;
        std::vector<Extent> lines;  // left and right of each line's ink, top to bottom
        double width;
    } cases[] = {
        {"ab cd ef", 4.0, {{0, 0, 2.5, 0}, {0, 0, 2.5, 0}, {0, 0, 2.5, 0}}, 2.5},
        {"ab cd ef", 8.0, {{0, 0, 7.0, 0}, {0, 0, 2.5, 0}}, 7.0},
        // A word wider than the width stays whole; the next word starts a new
        // line without its leading blanks.
        {"abcdef    hi", 3.0, {{0, 0, 8.5, 0}, {0, 0, 2.5, 0}}, 8.5},
        // Height 2.5 over 10 is at least 0.2: no wrapping at all.
        {"ab cd ef", 0.2, {{0, 0, 11.5, 0}}, 11.5},
    };
    for (const auto& c : cases) {
        strokes().clear();
        AdMtextData m = mtext(c.text, c.referenceWidth);
        draw(&m);
        const auto found = lines();
        ASSERT_EQ(found.size(), c.lines.size()) << c.text << " in " << c.referenceWidth;
        std::size_t i = 0;
        for (const auto& [base, e] : found) {
            EXPECT_NEAR(e.minX, c.lines[i].minX, 1e-9) << c.text << " line " << i;
            EXPECT_NEAR(e.maxX, c.lines[i].maxX, 1e-9) << c.text << " line " << i;
            ++i;
        }
        EXPECT_NEAR(m.extentsWidth, c.width, 1e-9) << c.text;
    }
}

TEST_F(MTextLayout, LineFeedsOfAnR13TextBreakLinesAndNothingWraps) {
    AdMtextData m = mtext("ab cd\nef hi", 3.0);
    drawing->version = AD_VERSION_AC1012;
    draw(&m);
    auto found = lines();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NEAR(found.begin()->second.maxX, 7.0, 1e-9);
    EXPECT_NEAR(m.extentsWidth, 7.0, 1e-9);

    // A later version ignores the line feed and wraps at the width.
    strokes().clear();
    drawing->version = AD_VERSION_AC1015;
    m = mtext("ab cd\nef hi", 3.0);
    draw(&m);
    EXPECT_EQ(lines().size(), 3u);
}

TEST_F(MTextLayout, FinalParagraphBreaksCountAnEmptyLine) {
    for (const char* text : {"abc\\P", "abc\\P}", "abc\\P  "}) {
        strokes().clear();
        AdMtextData m = mtext(text);
        draw(&m);
        EXPECT_EQ(lines().size(), 1u) << text;
        EXPECT_NEAR(m.extentsHeight, 2.5 + 2.5 * 1.666667, 1e-9) << text;
    }
    AdMtextData m = mtext("abc");
    draw(&m);
    EXPECT_NEAR(m.extentsHeight, 2.5, 1e-9);
}

TEST_F(MTextLayout, BlankTextsDrawNothing) {
    AdMtextData m = mtext("   ", 10.0);
    draw(&m);
    EXPECT_TRUE(strokes().empty());
    EXPECT_DOUBLE_EQ(m.extentsWidth, 10.0);
    EXPECT_DOUBLE_EQ(m.extentsHeight, 0.0);
}

TEST_F(MTextLayout, DescendersAndHardSpaces) {
    AdMtextData m = mtext("abg");
    draw(&m);
    EXPECT_NEAR(m.extentsHeight, 3.0, 1e-9) << "the last line's descender counts";

    // A centred line ending in a hard space is centred on its ink.
    strokes().clear();
    m = mtext("ab\\~", 100.0, 2);
    draw(&m);
    const auto found = lines();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NEAR(found.begin()->second.minX, -1.0, 1e-9);
    EXPECT_NEAR(found.begin()->second.maxX, 1.5, 1e-9);
}

TEST_F(MTextLayout, TrackingWidthAndObliqueReachTheGlyphs) {
    AdMtextData m = mtext("\\T1.5;ab");
    draw(&m);
    Extent all;
    for (const Stroke& s : strokes()) all.add(s.x1, s.y1), all.add(s.x2, s.y2);
    EXPECT_NEAR(all.maxX, 0.25 + 1.5 * 1.5 + 1.0 - 0.25, 1e-9) << "b starts half an advance later";

    strokes().clear();
    m = mtext("\\W2;a");
    draw(&m);
    Extent wide;
    for (const Stroke& s : strokes()) wide.add(s.x1, s.y1), wide.add(s.x2, s.y2);
    EXPECT_NEAR(wide.maxX - wide.minX, 2.0, 1e-9);

    strokes().clear();
    m = mtext("\\Q45;a");
    draw(&m);
    Extent slanted;
    for (const Stroke& s : strokes()) slanted.add(s.x1, s.y1), slanted.add(s.x2, s.y2);
    EXPECT_NEAR(slanted.maxX - slanted.minX, 1.0 + 2.5, 1e-9) << "the top leans one height right";
}

TEST_F(MTextLayout, ColoursReachThePenAndBracesRestoreThem) {
    AdMtextData m = mtext("{\\C1;red}x\\C256;y\\C0;z");
    draw(&m);
    // The measuring pass sets no colour; the drawing pass: 1, back to the
    // entity's 7, the layer's 3, the block's 5.
    EXPECT_EQ(colours(), (std::vector<std::int16_t>{1, 7, 3, 5}));
}

TEST_F(MTextLayout, StacksMeasureTheirParts) {
    AdMTextFormat format{};
    format.height = 2.5;
    format.widthFactor = 1.0;
    format.primaryFont = boxes;
    format.glyphScale = 0.25;
    const struct {
        const char* text;
        double box[4];  // min x, min y, max x, max y
        double advance;
        const char* rest;
    } cases[] = {
        {"1/2;x", {0.25, 0, 1.25, 2.5 / 3 + 5}, 1.5, "x"},
        {"1^2;x", {0.25, 0, 1.25, 2.5 / 3 + 5}, 1.5, "x"},
        {"1#2;x", {0.25, 0, 2.5, 5}, 3.0, "x"},
        {"12/3;", {0.25, 0, 2.75, 2.5 / 3 + 5}, 3.0, ""},
        // Without a separator the lower part is an empty box at the origin.
        {"1\\/2;x", {0, 0, 4.25, 2.5 / 3 + 2.5}, 4.5, "x"},
        {"ab", {0, 0, 2.75, 2.5 / 3 + 2.5}, 3.0, ""},
    };
    for (const auto& c : cases) {
        const char* at = c.text;
        AdTextBox stack, upper, lower;
        AdMTextLineMetrics metrics{2.5, 2.5, 0.0};
        const double advance = adMeasureStack(drawing, &at, &format, 4, &stack, &upper, &lower, &metrics);
        EXPECT_NEAR(stack.b[0], c.box[0], 1e-9) << c.text;
        EXPECT_NEAR(stack.b[1], c.box[1], 1e-9) << c.text;
        EXPECT_NEAR(stack.b[3], c.box[2], 1e-9) << c.text;
        EXPECT_NEAR(stack.b[4], c.box[3], 1e-9) << c.text;
        EXPECT_NEAR(advance, c.advance, 1e-9) << c.text;
        EXPECT_NEAR(metrics.largest, c.box[3] - c.box[1], 1e-9) << c.text;
        EXPECT_STREQ(at, c.rest) << c.text;
    }
}

TEST_F(MTextLayout, StacksDrawOverAndBesideEachOther) {
    AdMtextData m = mtext("\\S1/2;", 100.0, 1, 1);
    draw(&m);
    // The upper part raised by the stack height less its own, the lower on
    // the baseline; one bar between them.
    const double base = -(2.5 / 3 + 5);  // the first line is as high as the stack
    Extent upper, lower;
    for (const Stroke& s : strokes()) {
        Extent& part = std::min(s.y1, s.y2) > base + 3.0 ? upper : lower;
        part.add(s.x1, s.y1);
        part.add(s.x2, s.y2);
    }
    EXPECT_NEAR(lower.minY, base, 1e-9);
    EXPECT_NEAR(upper.minY, base + 2.5 / 3 + 2.5, 1e-9);
    EXPECT_NEAR(upper.minX, lower.minX, 1e-9);
    ASSERT_EQ(devicePoints().size(), 2u) << "the bar";
    EXPECT_NEAR(devicePoints()[0].y, 50000 + 1000 * (base + 2.5 / 6 + 2.5), 1.0);
    EXPECT_NEAR(devicePoints()[1].x - devicePoints()[0].x, 1000, 1.0);
}

TEST_F(MTextLayout, TolerancesStackWithoutABarAndDiagonalsSideBySide) {
    // "1^2": left-aligned, no bar; the stack is as high as for '/'.
    AdMtextData m = mtext("\\S1^2;", 100.0, 1, 1);
    draw(&m);
    EXPECT_TRUE(devicePoints().empty());
    Extent ink;
    for (const Stroke& s : strokes()) ink.add(s.x1, s.y1), ink.add(s.x2, s.y2);
    EXPECT_NEAR(ink.maxX - ink.minX, 1.0, 1e-9) << "one part over the other";

    // "1#2": the lower part begins where the upper ends, and one slanted bar
    // crosses between them.
    strokes().clear();
    m = mtext("\\S1#2;", 100.0, 1, 1);
    draw(&m);
    Extent all;
    for (const Stroke& s : strokes()) all.add(s.x1, s.y1), all.add(s.x2, s.y2);
    EXPECT_NEAR(all.maxX - all.minX, 2.5, 1e-9);
    ASSERT_EQ(devicePoints().size(), 2u);
    EXPECT_GT(devicePoints()[1].x, devicePoints()[0].x);
    EXPECT_GT(devicePoints()[1].y, devicePoints()[0].y);
}

TEST_F(MTextLayout, AnAnnotationFrameIsDrawnOnceAroundTheNextText) {
    adMText.frameHandle.b[7] = 1;
    adMText.frameMargin = 0.5;
    AdMtextData m = mtext("ab");
    draw(&m);
    ASSERT_GE(devicePoints().size(), 5u);
    Extent frame;
    for (const DevicePoint& p : devicePoints()) frame.add((p.x - 50000) / 1000.0, (p.y - 50000) / 1000.0);
    EXPECT_NEAR(frame.minX, -0.5, 1e-3);
    EXPECT_NEAR(frame.maxX, 3.0, 1e-3);
    EXPECT_NEAR(frame.minY, -3.0, 1e-3);
    EXPECT_NEAR(frame.maxY, 0.5, 1e-3);
    EXPECT_EQ(adHandleLength(&adMText.frameHandle), 0);
    devicePoints().clear();
    draw(&m);
    EXPECT_TRUE(devicePoints().empty());
}

}  // namespace

namespace {

// An RTEXT shows the file its text names, with codes when its flags ask.
TEST_F(MTextLayout, RTextShowsTheFileItNames) {
    const std::string path = std::string(VT_TEST_DATA_DIR) + "/display/mtext/rtext.txt";  // "ab\Pcd"
    const struct {
        const char* file;
        std::int16_t flags;
        std::size_t lines;
        double right;
    } cases[] = {
        {path.c_str(), 2, 2, 2.5},  // "ab" over "cd"
        {path.c_str(), 0, 1, 8.5},  // the six characters as they stand
        {path.c_str(), 1, 0, 0.0},  // an expression: not a file
        {"no-such-file.txt", 2, 0, 0.0},
    };
    AdMatrix4 block = adIdentityMatrix;
    AdLayerRecord layer{};
    AdInherited inherited{};
    AdEntityHeader header{};
    for (const auto& c : cases) {
        strokes().clear();
        AdEntityData data{};
        data.rtext.height = 2.5;
        data.rtext.flags = c.flags;
        std::snprintf(data.rtext.text, sizeof data.rtext.text, "%s", c.file);
        AdDrawContext entity{drawing, nullptr, &block, nullptr, &inherited, &header, &data, nullptr, nullptr,
                             7, &layer, 0};
        adDrawRTextEntity(entity);
        toPlane();
        const auto found = lines();
        ASSERT_EQ(found.size(), c.lines) << c.file << " flags " << c.flags;
        if (c.lines) {
            EXPECT_NEAR(found.begin()->second.maxX, c.right, 1e-9) << c.file << " flags " << c.flags;
        }
    }
}

}  // namespace

namespace {

// No memory for the text's copy (259) or for the per-viewport matrices
// (260): the pass draws nothing and the fatal-error hook hears 2.
TEST_F(MTextLayout, OutOfMemoryDrawsNothing) {
    static std::vector<std::int32_t> conditions;
    adGlobals->hooks.fatalError = [](std::int32_t condition) {
        conditions.push_back(condition);
        return 0;
    };
    for (const std::int32_t code : {AD_ERR_DXF_MTEXT_MEMORY, AD_ERR_MTEXT_MATRICES}) {
        strokes().clear();
        conditions.clear();
        AdMtextData m = mtext("ab");
        HostFailAllocationAfter(code == AD_ERR_DXF_MTEXT_MEMORY ? 0 : 1);
        draw(&m);
        HostFailAllocationAfter(-1);
        EXPECT_TRUE(strokes().empty()) << code;
        EXPECT_EQ(adGlobals->errorCode, code);
        EXPECT_EQ(conditions, std::vector<std::int32_t>{2}) << code;
    }
    adGlobals->hooks.fatalError = nullptr;
}

}  // namespace
