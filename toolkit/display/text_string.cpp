// adDrawTextString: one line of text, as glyphs in its style's fonts or, in
// quick-text mode and below the small-text threshold, as an outline.
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/text.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kSteepestOblique = 1.4835;  // 85 degrees
constexpr std::uint8_t kBackwards = 0x02;
constexpr std::uint8_t kUpsideDown = 0x04;
constexpr std::uint8_t kVertical = 0x04;
constexpr std::uint8_t kFitAlignment = 5;

bool blank(const char* text) {
    for (; *text; ++text)
        if (*text != ' ') return false;
    return true;
}

// The current entity's type reads as another for as long as this lives.
struct EntityTypeScope {
    AdEntityHeader* entity;
    std::uint16_t saved;
    EntityTypeScope(std::uint16_t type) : entity(adCurrentEntity()), saved(entity ? entity->type : 0) {
        if (entity) entity->type = type;
    }
    ~EntityTypeScope() {
        if (entity) entity->type = saved;
    }
    EntityTypeScope(const EntityTypeScope&) = delete;
    EntityTypeScope& operator=(const EntityTypeScope&) = delete;
};

void outlineSide(AdDrawing* drawing, const double a[3], const double b[3], const AdMatrix4* matrices) {
    double from[3] = {a[0], a[1], a[2]}, to[3] = {b[0], b[1], b[2]};
    adApplyLinetype(drawing, from, to, nullptr, matrices, nullptr, nullptr, nullptr, ++drawing->display->curveCounter,
                    0.0);
}

// The baseline, and for text at or above the threshold the box over it.
void quickText(AdDrawing* drawing, const double insertion[3], const char* text, const AdStyleRecord& style,
               const AdTextParams* params, const AdMatrix4* viewMatrices, double absHeight, double threshold) {
    const int codePage = drawing->header ? drawing->header->dwgcodepage : adCurrentCodePage();
    double length = params->horizontalAlignment == kFitAlignment
                        ? std::fabs(params->alignment[0] - insertion[0])
                        : adTextCharCount(text, codePage) * params->height * params->widthFactor;
    if (params->generation & kBackwards) length = -length;
    double rotation = params->rotation;
    if (style.flags & kVertical) rotation += 3.0 * std::numbers::pi / 2.0;
    const double c = std::cos(rotation), s = std::sin(rotation);
    const double* p = insertion;
    const double e[3] = {p[0] + length * c, p[1] + length * s, p[2]};
    const EntityTypeScope type(AD_ENTITY_CIRCLE);
    outlineSide(drawing, p, e, viewMatrices);
    if (absHeight < threshold) return;
    const double h = (params->generation & kUpsideDown) ? -params->height : params->height;
    const double d[2] = {-s * h, c * h};
    const double pd[3] = {p[0] + d[0], p[1] + d[1], p[2]}, ed[3] = {e[0] + d[0], e[1] + d[1], e[2]};
    outlineSide(drawing, p, pd, viewMatrices);
    outlineSide(drawing, pd, ed, viewMatrices);
    outlineSide(drawing, ed, e, viewMatrices);
}

// Glyph coordinates to the block: the OCS, the insertion point, the
// rotation, the oblique shear and the font-unit scale, each acting before
// what is already composed.
AdMatrix4 textMatrix(const double insertion[3], const AdTextParams* params, const AdMatrix4* matrix, double scale) {
    AdMatrix4 m = *matrix;
    const AdEntityHeader* entity = adCurrentEntity();
    if (entity && (entity->flags & AD_ENTITY_FLAG_EXTRUDED)) adMatrixMultiply(&adDisplayGlobals->objectMatrix, &m, &m);
    adMatrixPreTranslate(insertion, &m);
    if (params->rotation != 0.0) adMatrixRotateZ(params->rotation, &m);
    double oblique = params->obliqueAngle;
    if (oblique != 0.0) {
        if (oblique > std::numbers::pi / 2.0) oblique -= kTwoPi;
        for (int j = 0; j < 4; ++j) m.m[1][j] += std::tan(oblique) * m.m[0][j];
    }
    adMatrixScaleAxes(scale * params->widthFactor, scale, 1.0, &m);
    return m;
}

}  // namespace

int adDrawTextString(AdDrawing* drawing, const double insertion[3], const char* text, const AdStyleRecord* style,
                     AdTextParams* params, const AdMatrix4* matrix, const AdMatrix4* viewMatrices, double threshold) {
    const double absHeight = std::fabs(params->height);
    if (params->obliqueAngle >= std::numbers::pi / 2.0) params->obliqueAngle -= kTwoPi;
    if (!(params->obliqueAngle <= kSteepestOblique)) return 1;
    if (!text || blank(text)) return 1;
    const AdStyleRecord copy = *style;
    AdStyleFonts fonts;
    adResolveStyleFonts(drawing, &copy, &fonts);
    if (!fonts.font) return 1;
    if (std::strstr(copy.fontFile, ".PFB") || std::strstr(copy.fontFile, ".pfb"))
        params->height *= adGlobals->pfbFontScale;
    AdDisplayState* state = drawing->display;
    if ((drawing->header && drawing->header->qtextmode != 0) || absHeight < threshold) {
        quickText(drawing, insertion, text, copy, params, viewMatrices, absHeight, threshold);
        return 1;
    }
    const std::uint8_t generation = params->generation | copy.generationFlags;
    const bool backwards = generation & kBackwards, upsideDown = generation & kUpsideDown;
    if (upsideDown) params->height = -params->height;
    if (backwards != upsideDown) params->widthFactor = -params->widthFactor;
    const bool inBigUnits = fonts.bigFont && !(fonts.font->kind & AD_FONT_TRUETYPE);
    const auto unit = static_cast<std::uint16_t>(inBigUnits ? fonts.bigFont->bigFontHeight : fonts.font->above);
    // A font without a height unit cannot be brought to any height.
    if (unit == 0) return 1;
    const double scale = params->height / unit;
    const AdMatrix4 placed = textMatrix(insertion, params, matrix, scale);

    auto* matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
    if (!matrices) {
        adNoMemory(AD_ERR_TEXT_MATRICES);
        return adGlobals->hooks.fatalError ? 1 : 0;
    }
    int first = 0, end = 0;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end && v < AD_VIEWPORT_LIMIT; ++v)
        adMatrixMultiply(&placed, &state->viewports[v].full, &matrices[v]);
    {
        const EntityTypeScope type(AD_ENTITY_TEXT);
        adGlyphs.stackTop = -1;
        const double savedScale = state->currentScale;
        state->currentScale *= std::fabs(scale);
        AdGlyphRun run{};
        run.style = copy;
        run.matrices = matrices;
        run.font = fonts.font;
        run.bigFont = fonts.bigFont;
        run.heightUnit = static_cast<std::uint16_t>(fonts.font->above);
        adWalkGlyphs(drawing, text, &run, fonts.bigFontRatio, nullptr, 0);
        state->currentScale = savedScale;
    }
    HostFree(matrices);
    return 1;
}
