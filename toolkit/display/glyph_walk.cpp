// Walking a string glyph by glyph, measuring a string in its own frame, and
// the glyph slots the walks draw through.
#include "toolkit/display/linetype.h"
#include "toolkit/display/text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kChordsPerRadian = 64.0 / (2.0 * std::numbers::pi);  // 64 chords per full circle
constexpr std::uint8_t kFitAlignment = 5;

int codePageOf(const AdDrawing* drawing) {
    return drawing && drawing->header ? drawing->header->dwgcodepage : adCurrentCodePage();
}

// The glyph line and arc slots of a measurement, put back when it ends.
struct MeasureSlots {
    AdGlyphLineSlot line = adGlyphs.line;
    AdGlyphArcSlot arc = adGlyphs.arc;
    MeasureSlots(bool fit) {
        adGlyphs.line = nullptr;
        adGlyphs.arc = adArcExtents;
        adGlyphs.advanceExtents = fit ? 1 : 0;
    }
    ~MeasureSlots() {
        adGlyphs.advanceExtents = 0;
        adGlyphs.line = line;
        adGlyphs.arc = arc;
    }
    MeasureSlots(const MeasureSlots&) = delete;
    MeasureSlots& operator=(const MeasureSlots&) = delete;
};

}  // namespace

void adSetTrueTypeGlyphSlot(AdTrueTypeGlyphSlot slot) {
    adGlyphs.trueType = slot;
    if (adGlobals) adGlobals->hooks.display[AD_DISPLAY_HOOK_GLYPH] = reinterpret_cast<void*>(slot);
}

void adSetGlyphSlots() {
    adGlyphs.line = adApplyLinetype;
    adGlyphs.arc = adDrawArc;
    adSetTrueTypeGlyphSlot(adDrawTrueTypeGlyph);
}

void adClearGlyphSlots() {
    adGlyphs.line = nullptr;
    adGlyphs.arc = nullptr;
    adSetTrueTypeGlyphSlot(nullptr);
}

void adResetExtents(double box[6]) {
    box[0] = box[1] = 1e300;
    box[3] = box[4] = -1e300;
    box[2] = box[5] = 0.0;
}

std::int32_t adArcExtents(AdDrawing*, const double centre[3], double start, double end, double radius,
                          const AdMatrix4*, const AdMatrix4*, std::uint8_t, const AdLtypeRecord*, AdDrawing*,
                          const AdArcBox* box) {
    const double chords = std::fabs(end - start) * kChordsPerRadian;
    const auto n = static_cast<std::uint16_t>(chords >= 0.0 && chords < 65536.0 ? chords : 0.0);
    if (n == 0 || !box) return n;
    const double step = (end - start) / n, cs = std::cos(step), sn = std::sin(step);
    double p[3] = {centre[0] + radius * std::cos(start), centre[1] + radius * std::sin(start), centre[2]};
    for (std::uint16_t i = 0; i < n; ++i) {
        const double dx = p[0] - centre[0], dy = p[1] - centre[1];
        const double q[3] = {centre[0] + dx * cs - dy * sn, centre[1] + dx * sn + dy * cs, p[2]};
        adGrowExtents(p, q, box);
        p[0] = q[0];
        p[1] = q[1];
    }
    return n;
}

int adWalkGlyphs(AdDrawing* drawing, const char* text, AdGlyphRun* run, double bigFontRatio,
                 const AdArcBox* extents, int measure) {
    if (!text || !run || !run->font) return 1;
    const int codePage = codePageOf(drawing);
    run->pen[0] = run->pen[1] = 0.0;
    run->drawMode = measure ? 0 : 1;
    run->factor[0] = run->factor[1] = 1.0;
    AdFont* primary = run->font;
    const std::uint8_t flags = primary->kind;
    std::uint8_t toggles = 0, remap = 1;
    const char* cursor = text;
    for (std::uint16_t code = adNextTextChar(&cursor, flags, run, codePage, &remap, &toggles); code != 0;
         code = adNextTextChar(&cursor, flags, run, codePage, &remap, &toggles)) {
        AdFont* font = (primary->kind & AD_FONT_TRUETYPE)
                           ? primary
                           : adFontFindShape(drawing, primary, run->bigFont, code, remap);
        if (!font) return 0;
        if (run->bigFont) run->factor[0] = run->factor[1] = font != run->bigFont ? bigFontRatio : 1.0;
        adDrawGlyph(drawing, code, font, run, toggles, extents);
    }
    return 1;
}

int adMeasureText(AdDrawing* drawing, const char* text, AdTextParams* params, int vertical, const char* fontFile,
                  const char* bigFontFile, int fallback, double box[6], double* descent) {
    const bool withBig = bigFontFile && *bigFontFile;
    AdFont* font = adLoadFont(drawing, fontFile, withBig ? AD_FONT_MASK_SHAPE : AD_FONT_MASK_ANY,
                              fallback ? adDefaultFont() : nullptr, nullptr, -1);
    const auto above = static_cast<std::uint16_t>(font ? font->above : 0);
    // A font without a height unit cannot be scaled to any height.
    if (!font || above == 0) {
        adSetError(AD_ERR_TEXT_FONT);
        return 0;
    }
    const double height = params->height;
    *descent = -(static_cast<std::uint16_t>(font->below) * height) / above;
    AdFont* bigFont = nullptr;
    double ratio = 0.0;
    if (withBig) {
        bigFont = adLoadFont(drawing, bigFontFile, AD_FONT_MASK_BIGFONT, nullptr, nullptr, -1);
        if (!bigFont) {
            adSetError(AD_ERR_TEXT_BIGFONT);
            return 0;
        }
        ratio = static_cast<double>(bigFont->bigFontHeight) / above;
        if (bigFont->bigFontHeight != 0)
            *descent = std::min(*descent, -(static_cast<std::uint16_t>(bigFont->below) * height) /
                                              bigFont->bigFontHeight);
    }
    const bool upsideDown = params->generation & 0x04, backwards = params->generation & 0x02;
    if (upsideDown) params->height = -params->height;
    if (upsideDown != backwards) params->widthFactor = -params->widthFactor;

    AdMatrix4 matrix = adIdentityMatrix;
    double oblique = params->obliqueAngle;
    if (oblique != 0.0) {
        if (oblique > std::numbers::pi / 2.0) oblique -= 2.0 * std::numbers::pi;
        for (int j = 0; j < 4; ++j) matrix.m[1][j] += std::tan(oblique) * matrix.m[0][j];
    }
    const double unit = bigFont && bigFont->bigFontHeight ? bigFont->bigFontHeight : above;
    adMatrixScaleAxes(params->height / unit * params->widthFactor, params->height / unit, 1.0, &matrix);

    AdGlyphRun run{};
    run.style.flags = vertical ? 0x04 : 0x00;
    run.font = font;
    run.bigFont = bigFont;
    run.heightUnit = above;
    adGlyphs.stackTop = -1;
    adResetExtents(box);
    const AdArcBox extents{box, &matrix};
    const MeasureSlots slots(params->horizontalAlignment == kFitAlignment);
    adWalkGlyphs(drawing, text, &run, ratio, &extents, (font->kind & AD_FONT_TRUETYPE) ? 1 : 0);
    return 1;
}
