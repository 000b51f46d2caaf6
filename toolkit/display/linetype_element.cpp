// Complex linetype elements: the text or shape of a dash entry, placed at
// the end of its dash, turned with the segment, scaled by the linetype
// scale and moved by the entry's offset along the segment.
#include "toolkit/display/linetype_element.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/glyphs.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double kQuarterTurn = 1.5707963267948966;

// The style's TrueType face name and font flags from its extended data.
void faceOf(const AdStyleRecord& style, char* face, std::size_t capacity, std::int32_t* flags) {
    face[0] = '\0';
    *flags = -1;
    if (!style.xdata) return;
    AdStream* in = adStreamOpenRead(style.xdata);
    if (!in) return;
    AdXdataItem item{};
    for (std::int32_t guard = adStoreSize(style.xdata); guard > 0 && adXdataReadItem(in, &item); --guard) {
        if (item.code == 1000) std::snprintf(face, capacity, "%s", item.value.text);
        if (item.code == 1071) *flags = item.value.int32;
    }
    adStreamCloseRead(in);
}

// The characters' glyphs under the element's matrix in viewport v alone,
// as a TEXT whose thickness is measured in font units. 0 when a character
// has no shape (the rest of the string is left out) or memory ran out.
int drawElementGlyphs(AdDrawing* drawing, int v, AdFont* font, const AdStyleRecord& style, const char* text,
                      const AdMatrix4& matrix, double size) {
    auto* matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
    if (!matrices) {
        adNoMemory(AD_ERR_ELEMENT_MATRICES);
        return 0;
    }
    matrices[v] = matrix;
    AdDisplayState* state = drawing->display;
    AdEntityHeader* entity = adCurrentEntity();
    const std::uint64_t active = state->activeViewports;
    const double thickness = entity->thickness;
    const std::uint16_t type = entity->type;
    state->activeViewports = std::uint64_t{1} << v;
    if (size != 0.0) entity->thickness = thickness / size;
    entity->type = AD_ENTITY_TEXT;
    // From pen (0, 0), drawing, in the primary font alone at its own size.
    AdGlyphRun run{{0.0, 0.0}, {0.0, 0.0}, style, 1, matrices, font, nullptr, {1.0, 1.0},
                   static_cast<std::uint16_t>(font->above)};
    adGlyphs.stackTop = -1;
    int drawn = 1;
    for (const char* c = text; *c; ++c) {
        const std::uint8_t code = static_cast<std::uint8_t>(*c);
        AdFont* holder = adFontFindShape(drawing, font, nullptr, code, AD_SHAPE_FROM_CODE_PAGE);
        if (!holder) {
            drawn = 0;
            break;
        }
        adDrawGlyph(drawing, code, holder, &run, 0, nullptr);
    }
    entity->type = type;
    entity->thickness = thickness;
    state->activeViewports = active;
    HostFree(matrices);
    return drawn;
}

// Font units to drawing units before the linetype scale.
double elementSize(const AdLtypeDash& dash, double heightUnit, double fixedHeight) {
    const double k = dash.scale / heightUnit;
    return fixedHeight != 0.0 ? k * fixedHeight : k;
}

}  // namespace

int adLinetypeElementString(const AdLtypeRecord* linetype, int e, char* out, std::size_t capacity) {
    if (capacity < 2 || e < 0 || e >= AD_LTYPE_DASH_COUNT) return 0;
    const AdLtypeDash& dash = linetype->dashes[e];
    out[0] = '\0';
    if (dash.complexFlags & AD_ELEMENT_TEXT) {
        const std::size_t at = static_cast<std::uint16_t>(dash.textPosition);
        if (at >= sizeof linetype->textArea) return 0;
        const char* text = linetype->textArea + at;
        const std::size_t length = strnlen(text, sizeof linetype->textArea - at);
        if (length == 0 || length >= capacity) return 0;
        std::memcpy(out, text, length);
        out[length] = '\0';
        return 1;
    }
    if (dash.shapeNumber == 0) return 0;
    const std::uint8_t code = static_cast<std::uint8_t>(dash.shapeNumber & 0xFF);
    if (code == 0) return 0;
    out[0] = static_cast<char>(code);
    out[1] = '\0';
    return 1;
}

int adLinetypeElementMatrix(const AdDrawing* drawing, int v, const double anchor[3], const AdMatrix4* model,
                            double linetypeScale, double alpha, const AdLtypeDash& dash, double heightUnit,
                            double fixedHeight, bool trueType, AdMatrix4* out) {
    // A font that gives its height unit as 0 has no size to scale by.
    if (!(heightUnit > 0.0)) return 0;
    const double k = elementSize(dash, heightUnit, fixedHeight);
    const double along = alpha + kQuarterTurn;  // the segment's direction
    const double rotation = dash.rotation + ((dash.complexFlags & AD_ELEMENT_ABSOLUTE_ROTATION) ? 0.0 : along);
    const AdMatrix4& place = model ? *model : adIdentityMatrix;
    AdMatrix4 m = adIdentityMatrix;
    adMatrixRotateZ(rotation, &m);
    const AdEntityHeader* entity = adCurrentEntity();
    if ((entity->flags & AD_ENTITY_FLAG_EXTRUDED) && !trueType) {
        AdMatrix4 ocs;
        adMatrixFromExtrusion(entity->extrusion, &ocs);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 4; ++c) ocs.m[r][c] = -ocs.m[r][c];
        AdMatrix4 turned;
        adMatrixMultiply(&m, &ocs, &turned);
        m = turned;
    }
    // Scale, anchor and model together; a model that scales x and y apart
    // gives the element the mean of the two.
    AdMatrix4 placed = place;
    adMatrixPreTranslate(anchor, &placed);
    const double size = linetypeScale * k;
    adMatrixScaleAxes(size, size, size, &placed);
    if (placed.m[0][0] != placed.m[1][1]) placed.m[0][0] = placed.m[1][1] = (placed.m[0][0] + placed.m[1][1]) / 2.0;
    AdMatrix4 element;
    adMatrixMultiply(&m, &placed, &element);
    // The offset is a displacement along the segment: through the model's
    // linear part only.
    const double ox = dash.xOffset * linetypeScale, oy = dash.yOffset * linetypeScale;
    const double c = std::cos(along), s = std::sin(along);
    const double d[2] = {ox * c - oy * s, ox * s + oy * c};
    for (int i = 0; i < 3; ++i) element.m[3][i] += d[0] * place.m[0][i] + d[1] * place.m[1][i];
    adMatrixMultiply(&element, &drawing->display->viewports[v].full, out);
    for (const auto& row : out->m)
        for (double value : row)
            if (!std::isfinite(value)) return 0;
    return 1;
}

int adDrawLinetypeElement(AdDrawing* drawing, int v, const double anchor[3], const AdMatrix4* model,
                          double linetypeScale, double alpha, const AdLtypeRecord* linetype, int e,
                          AdDrawing* linetypeDrawing) {
    char text[AD_LTYPE_TEXT_AREA_SIZE];
    if (!adLinetypeElementString(linetype, e, text, sizeof text)) return 0;
    const AdLtypeDash& dash = linetype->dashes[e];
    const bool shape = !(dash.complexFlags & AD_ELEMENT_TEXT);
    AdStyleRecord style{};
    const AdDisplayState* state = drawing->display;
    const bool own = state->owner == nullptr || state->owner == drawing;
    if (!adStyleByHandle(drawing, &dash.style, &style) &&
        (own || !linetypeDrawing || !adStyleByHandle(linetypeDrawing, &dash.style, &style)))
        return 0;
    char face[AD_FONT_REQUEST_NAME_SIZE];
    std::int32_t flags = -1;
    faceOf(style, face, sizeof face, &flags);
    AdFont* fallback = adGlobals->builtinFonts[0];
    AdFont* font = adLoadFont(drawing, style.fontFile, AD_FONT_MASK_ANY, fallback, face, flags);
    if (!font || (font == fallback && shape)) return 0;
    const double heightUnit = shape ? 1.0 : static_cast<double>(static_cast<std::uint16_t>(font->above));
    const double fixedHeight = shape ? 0.0 : style.fixedHeight;
    AdMatrix4 matrix;
    if (!adLinetypeElementMatrix(drawing, v, anchor, model, linetypeScale, alpha, dash, heightUnit, fixedHeight,
                                 (font->kind & AD_FONT_TRUETYPE) != 0, &matrix))
        return 0;
    const double size = linetypeScale * elementSize(dash, heightUnit, fixedHeight);
    return drawElementGlyphs(drawing, v, font, style, text, matrix, size);
}
