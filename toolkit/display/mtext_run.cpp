// Glyphs of multi-line text: one run format at a time, measured into boxes
// on the text plane and drawn through the viewports of the pass.
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/mtext_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The big font's character height over the primary font's "above": the
// scale of primary-font glyphs when a big font sets the units.
double bigFontRatio(const AdMTextFormat* format) {
    const AdFont* primary = format->primaryFont;
    const double above = primary && primary->above > 0 ? primary->above : 1.0;
    return format->bigFont ? format->bigFont->bigFontHeight / above : 1.0;
}

}  // namespace

AdMTextMeasuring::AdMTextMeasuring() : line_(adGlyphs.line), arc_(adGlyphs.arc) {
    adGlyphs.line = nullptr;
    adGlyphs.arc = adArcExtents;
}

AdMTextMeasuring::~AdMTextMeasuring() {
    adGlyphs.line = line_;
    adGlyphs.arc = arc_;
}

void adMTextRunStart(AdMTextRun* run, const AdMTextPass* pass, const AdMTextFormat* format, double x, double y) {
    AdGlyphRun& g = run->glyphs;
    std::memset(&g, 0, sizeof g);
    g.factor[0] = g.factor[1] = 1.0;
    g.font = format->primaryFont;
    g.bigFont = format->bigFont;
    g.heightUnit = static_cast<std::uint16_t>(format->primaryFont ? format->primaryFont->above : 0);
    g.style.flags = pass ? pass->styleFlags : 0;
    const double sx = format->glyphScale * format->widthFactor;
    const double sy = format->glyphScale;
    AdMatrix4& m = run->local;
    adMatrixIdentity(&m);
    m.m[0][0] = sx;
    m.m[1][0] = std::tan(format->obliqueAngle) * sx;
    m.m[1][1] = sy;
    m.m[3][0] = x;
    m.m[3][1] = y;
    if (!pass || pass->pass != 1) return;
    g.drawMode = 1;
    g.matrices = pass->runMatrices;
    for (int v = pass->firstView; v < pass->endView; ++v)
        adMatrixMultiply(&m, &pass->views[v], &pass->runMatrices[v]);
}

int adMTextRunGlyph(AdMTextRun* run, AdDrawing* drawing, const AdMTextFormat* format, std::uint16_t code,
                    std::uint8_t codePage, AdTextBox* box) {
    AdGlyphRun& g = run->glyphs;
    AdFont* primary = format->primaryFont;
    if (!primary) return 0;
    AdFont* font = (primary->kind & AD_FONT_TRUETYPE)
                       ? primary
                       : adFontFindShape(drawing, primary, format->bigFont, code,
                                         codePage ? AD_SHAPE_FROM_CODE_PAGE : 0);
    if (!font) return 0;
    if (format->bigFont) g.factor[0] = g.factor[1] = font != format->bigFont ? bigFontRatio(format) : 1.0;
    const double before[2] = {g.pen[0], g.pen[1]};
    const AdArcBox extents{box ? box->b : nullptr, &run->local};
    // Glyph arcs are in font units: their chords are counted at the glyph
    // scale.
    AdDisplayState* state = drawing ? drawing->display : nullptr;
    const double scale = state ? state->currentScale : 0.0;
    if (state && g.drawMode) state->currentScale = scale * std::fabs(format->glyphScale);
    adDrawGlyph(drawing, code, font, &g, format->lineFlags, box ? &extents : nullptr);
    if (state && g.drawMode) state->currentScale = scale;
    g.pen[0] += format->trackingExtra * (g.pen[0] - before[0]);
    g.pen[1] += format->trackingExtra * (g.pen[1] - before[1]);
    return 1;
}

void adMTextRunPen(const AdMTextRun* run, double out[2]) {
    const double p[4] = {run->glyphs.pen[0], run->glyphs.pen[1], 0.0, 1.0};
    double q[4];
    adTransformPoint(p, &run->local, q);
    out[0] = q[0];
    out[1] = q[1];
}

void adMTextLineSegment(const AdMTextPass* pass, double x1, double y1, double x2, double y2) {
    if (!pass || pass->pass != 1) return;
    double start[3] = {x1, y1, 0.0};
    double end[3] = {x2, y2, 0.0};
    AdDisplayState* state = pass->drawing->display;
    adApplyLinetype(pass->drawing, start, end, nullptr, pass->views, nullptr, nullptr, nullptr,
                    state ? ++state->curveCounter : 0, 0.0);
}
