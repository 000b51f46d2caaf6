// The handlers of TEXT, ATTDEF, ATTRIB and SHAPE: which string is drawn,
// in which style, and where a SHAPE's one character goes.
#include "toolkit/display/emit.h"
#include "toolkit/display/handlers.h"
#include "toolkit/display/text.h"

#include <cmath>
#include <numbers>

namespace {

constexpr std::uint8_t kInvisibleAttribute = 0x01;
constexpr std::uint8_t kConstantAttribute = 0x02;

bool nullHandle(const AdHandle& handle) {
    for (std::uint8_t b : handle.b)
        if (b) return false;
    return true;
}

std::int16_t attributeMode(const AdDrawing* drawing) { return drawing->header ? drawing->header->attmode : 1; }

// One string in the style the entity names ("Standard" when it names none).
void drawString(AdDrawContext& entity, double insertion[3], const char* text, AdTextParams* params, bool realign) {
    AdDrawing* drawing = entity.drawing;
    AdHandle style = params->style;
    if (nullHandle(style) && !adStyleHandleByName(drawing, "Standard", &style)) return;
    AdStyleRecord record;
    if (!adStyleByHandle(drawing, &style, &record)) return;
    if (realign && adRender->textRealign)
        adRealignText(drawing, text, insertion, params, record.fontFile,
                      record.bigFontFile[0] ? record.bigFontFile : nullptr);
    if (!adDrawTextString(drawing, insertion, text, &record, params, entity.block, entity.matrices,
                          drawing->display->smallSize))
        entity.endList = 1;
}

}  // namespace

void adDrawTextEntity(AdDrawContext& entity) {
    AdEntityData* data = entity.data;
    switch (entity.header->type) {
    case AD_ENTITY_TEXT:
        drawString(entity, data->text.insertion, data->text.text, &data->text.fields, true);
        return;
    case AD_ENTITY_ATTDEF: {
        AdAttdefData& attdef = data->attdef;
        if (entity.inherited->depth == 0 && !adRender->drawingXref) {
            drawString(entity, attdef.insertion, attdef.tag, &attdef.fields, false);
            return;
        }
        const std::int16_t mode = attributeMode(entity.drawing);
        if ((attdef.attributeFlags & kConstantAttribute) && !(attdef.attributeFlags & kInvisibleAttribute) &&
            (mode == 1 || mode == 2))
            drawString(entity, attdef.insertion, attdef.defaultValue, &attdef.fields, false);
        return;
    }
    case AD_ENTITY_ATTRIB: {
        AdAttribData& attrib = data->attrib;
        const std::int16_t mode = attributeMode(entity.drawing);
        if (mode == 2 || (mode == 1 && !(attrib.attributeFlags & kInvisibleAttribute)))
            drawString(entity, attrib.insertion, attrib.value, &attrib.fields, true);
        return;
    }
    default:
        return;
    }
}

void adDrawShapeEntity(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    AdDisplayState* state = drawing->display;
    const AdShapeData& shape = entity.data->shape;
    AdStyleRecord style;
    if (!adStyleByHandle(drawing, &shape.style, &style)) return;
    AdFont* font = adLoadFont(drawing, style.fontFile, AD_FONT_MASK_ANY, adDefaultFont(), nullptr, -1);
    // The default font holds letters, not the shapes of a shape file.
    if (!font || font == adDefaultFont()) return;

    AdMatrix4 placed = *entity.block;
    if (entity.header->flags & AD_ENTITY_FLAG_EXTRUDED)
        adMatrixMultiply(&adDisplayGlobals->objectMatrix, &placed, &placed);
    adMatrixPreTranslate(shape.insertion, &placed);
    if (shape.rotation != 0.0) adMatrixRotateZ(shape.rotation, &placed);
    double oblique = shape.obliqueAngle;
    if (oblique != 0.0) {
        if (oblique > std::numbers::pi / 2.0) oblique -= 2.0 * std::numbers::pi;
        for (int j = 0; j < 4; ++j) placed.m[1][j] += std::tan(oblique) * placed.m[0][j];
    }
    adMatrixScaleAxes(shape.widthFactor * shape.size, shape.size, 1.0, &placed);
    auto* matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
    if (!matrices) {
        adNoMemory(AD_ERR_SHAPE_MATRICES);
        entity.endList = 1;
        return;
    }
    int first = 0, end = 0;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end && v < AD_VIEWPORT_LIMIT; ++v)
        adMatrixMultiply(&placed, &state->viewports[v].full, &matrices[v]);
    AdGlyphRun run{};
    run.style = style;
    run.drawMode = 1;
    run.matrices = matrices;
    run.font = font;
    run.factor[0] = run.factor[1] = 1.0;
    run.heightUnit = static_cast<std::uint16_t>(font->above);
    adGlyphs.stackTop = -1;
    // Shape arcs are given in shape units.
    const double savedScale = state->currentScale;
    state->currentScale *= std::fabs(shape.size);
    if (AdFont* holder = adFontFindShape(drawing, font, nullptr, shape.shapeNumber, 0))
        adDrawGlyph(drawing, shape.shapeNumber, holder, &run, 0, nullptr);
    state->currentScale = savedScale;
    HostFree(matrices);
}
