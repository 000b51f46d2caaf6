// One entity through the dispatcher: filters, property resolution, pen
// state, and its type's handler.
#include "toolkit/display/entity_properties.h"

#include "toolkit/display/plot_style.h"
#include "toolkit/display/view.h"

#include <cstring>

namespace {

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, 8) == 0; }

// The layer, through the display state's one-record cache; a layer that
// cannot be read is taken as layer 0's copy.
const AdLayerRecord* layerOf(AdDrawing* drawing, const AdHandle& handle) {
    AdDisplayState* state = drawing->display;
    if (adHandleLength(&state->cachedLayer) != 0 && sameHandle(state->cachedLayer, handle)) return &state->layerCache;
    if (adLayerByHandle(drawing, &handle, &state->layerCache)) {
        state->cachedLayer = handle;
    } else {
        state->layerCache = AdLayerRecord{};
        state->layerCache.colour = 7;
        state->cachedLayer = AdHandle{};
    }
    return &state->layerCache;
}

// A linetype of the drawing, through its display state's cache; the first
// linetype when the handle names none.
void linetypeOf(AdDrawing* owner, const AdHandle& handle, AdLtypeRecord* out) {
    AdDisplayState* state = owner->display ? owner->display : nullptr;
    if (state && adHandleLength(&state->cachedLtype) != 0 && sameHandle(state->cachedLtype, handle)) {
        *out = state->ltypeCache;
        return;
    }
    if (adLtypeByHandle(owner, &handle, out)) {
        if (state) {
            state->ltypeCache = *out;
            state->cachedLtype = handle;
        }
        return;
    }
    if (state)
        *out = state->continuousRecord;
    else
        *out = AdLtypeRecord{};
}

void resolveLinetype(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    const AdHandle& handle = entity.header->linetype;
    if (sameHandle(handle, drawing->byBlockLtype) && adHandleLength(&handle) != 0) {
        if (entity.inherited->linetype)
            *entity.linetype = *entity.inherited->linetype;
        else
            *entity.linetype = drawing->display->continuousRecord;
        entity.linetypeDrawing = entity.inherited->linetypeDrawing ? entity.inherited->linetypeDrawing : drawing;
    } else if (sameHandle(handle, drawing->byLayerLtype) && adHandleLength(&handle) != 0) {
        AdDrawing* owner = entity.layer->drawing ? entity.layer->drawing : drawing;
        linetypeOf(owner, entity.layer->linetype, entity.linetype);
        entity.linetypeDrawing = owner;
    } else {
        linetypeOf(drawing, handle, entity.linetype);
        entity.linetypeDrawing = drawing;
    }
}

bool typeDrawable(std::uint16_t type) { return type < 32 || type == AD_ENTITY_BODY || type >= AD_ENTITY_PROXY; }

const AdPlotStyle* plotStyleOf(const AdDrawContext& entity) {
    const AdDisplayState* state = entity.drawing->display;
    const AdPlotStyleTable* table = state->plotStyles;
    if (!table || entity.colour < 0) return nullptr;
    const AdHeaderVars* header = entity.drawing->header;
    AdPlotStyle* style = nullptr;
    if (header && header->pstylemode != 0) {
        if (table->colourStyles && entity.colour >= 1 && entity.colour <= AD_PLOT_STYLE_COLOURS)
            style = table->colourStyles[entity.colour - 1];
    } else if (entity.header->flags & AD_ENTITY_FLAG_PLOT_STYLE_BYLAYER) {
        const AdDrawing* owner = entity.layer->drawingCopy ? entity.layer->drawingCopy : entity.drawing;
        const AdPlotStyleTable* own = owner->display && owner->display->plotStyles ? owner->display->plotStyles : table;
        adPlotStyleByHandle(entity.layer->plotStyle.b, own, &style);
    } else if (!(entity.header->flags & AD_ENTITY_FLAG_PLOT_STYLE_BYBLOCK)) {
        adPlotStyleByHandle(entity.header->plotStyle.b, table, &style);
    } else if (entity.inherited->plotStyle && entity.inherited->plotStyle->name[0] != '\0') {
        return entity.inherited->plotStyle;
    }
    return style;
}

std::int16_t resolveLineWeight(const AdDrawContext& entity) {
    std::int16_t weight = entity.header->lineweight;
    if (entity.header->type == AD_ENTITY_VIEWPORT) return static_cast<std::int16_t>(adRender->defaultLineWeight);
    if (weight == -2) weight = entity.inherited->lineWeight;
    if (weight == -1) weight = entity.layer->lineweight;
    if (weight == -3) weight = static_cast<std::int16_t>(adRender->defaultLineWeight);
    return weight;
}

void objectFrame(AdDrawContext& entity) {
    const AdEntityHeader* header = entity.header;
    if (!(header->flags & AD_ENTITY_FLAG_EXTRUDED) || header->type == AD_ENTITY_LINE || header->type == AD_ENTITY_3DLINE)
        return;
    adMatrixFromExtrusion(header->extrusion, &adDisplayGlobals->objectMatrix);
    AdMatrix4 placed;
    adMatrixMultiply(&adDisplayGlobals->objectMatrix, entity.block, &placed);
    for (int i = 0; i < 3; ++i) entity.drawing->display->extrusion[i] = placed.m[2][i];
}

bool onWhenLayerOff(std::uint16_t type) {
    return type == AD_ENTITY_BLOCK || type == AD_ENTITY_ENDBLK || type == AD_ENTITY_INSERT || type == AD_ENTITY_POLYLINE;
}

}  // namespace

void adDrawOneEntity(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    AdDisplayState* state = drawing->display;
    AdEntityHeader* header = entity.header;
    const std::uint16_t type = header->type;
    if (type == AD_ENTITY_RAY || type == AD_ENTITY_XLINE)
        adRender->suppressExtents |= AD_SUPPRESS_RAY;
    else
        adRender->suppressExtents &= static_cast<std::uint8_t>(~AD_SUPPRESS_RAY);
    if (type == AD_ENTITY_ENDBLK) entity.endList = 1;
    const bool inPaper = (header->flags & AD_ENTITY_FLAG_PAPER_SPACE) != 0;
    if ((!state->paperSpace && (inPaper || state->paperSheet)) || (inPaper && adRender->drawingXref)) {
        if (type == AD_ENTITY_POLYLINE) adSkipToSeqend(drawing, entity.list);
        return;
    }
    // The attributes of an INSERT end at their SEQEND (or wherever something
    // else follows them).
    if (type != AD_ENTITY_ATTRIB) state->attributeMode = 0;
    const bool attribute = type == AD_ENTITY_ATTRIB && state->attributeMode;
    if (attribute && sameHandle(header->layer, state->layerZero)) header->layer = state->attributeLayer;
    const AdLayerRecord* layer = layerOf(drawing, header->layer);
    entity.layer = layer;
    const bool frozen = (layer->flags & 1) != 0;
    if (frozen && (type == AD_ENTITY_INSERT || type == AD_ENTITY_DIMENSION)) {
        // Its attributes are hidden with it.
        if (type == AD_ENTITY_INSERT && entity.data->insert.attributesFollow) adSkipToSeqend(drawing, entity.list);
        return;
    }
    resolveLinetype(entity);
    if (!typeDrawable(type)) return;
    if ((header->flags & AD_ENTITY_FLAG_INVISIBLE) ||
        (frozen && type != AD_ENTITY_BLOCK && type != AD_ENTITY_ENDBLK && type != AD_ENTITY_VIEWPORT))
        return;
    state->suppressedViewports |= adLayerViewportBits(layer);
    std::int16_t colour = header->color;
    if (attribute && (colour == 0 || (colour == 256 && sameHandle(header->layer, state->layerZero))))
        colour = state->attributeColour;
    else if (colour == 0)
        colour = entity.inherited->colour;
    else if (colour == 256)
        colour = layer->colour;
    entity.colour = colour;
    header->lineweight = resolveLineWeight(entity);
    const AdPlotStyle* style = plotStyleOf(entity);
    entity.plotStyle = style;
    if (style && style->lineWeight != 0) header->lineweight = adPlotStyleLineWeight(style->lineWeight);
    if (adRender->hooks.entityBegin)
        adRender->hooks.entityBegin(header, entity.data, colour, entity.linetype, style, drawing->userData);
    if (type == AD_ENTITY_VIEWPORT && frozen) return;
    adSetPenWeight(drawing, header->lineweight);
    if (colour >= 0) adSetPenColor(drawing, adMapColor(colour));
    if (entity.linetype->dashCount <= 0) {
        *entity.linetype = state->continuousRecord;
        entity.linetypeDrawing = drawing;
    }
    if (colour < 0 && !onWhenLayerOff(type)) {
        if (type == AD_ENTITY_VIEWPORT && entity.inherited->depth == 0) state->firstViewportSeen = 1;
        return;
    }
    objectFrame(entity);
    if (AdEntityHandler handler = adEntityHandler(drawing, type)) handler(entity);
}
