// One arrowhead of an annotation: drawn from a user block scaled to the
// arrow length and turned along the path, or as the built-in shape of its
// name; then the point where the path starts.
#include "toolkit/display/active_block.h"
#include "toolkit/display/leader.h"

#include <cstring>

namespace {

// Names after which the path starts at the tip.
bool tickName(const char* name) {
    static const char* const kTicks[] = {"_NONE", "_OBLIQUE", "_ARCHTICK", "_DOTSMALL", "_INTEGRAL"};
    for (const char* tick : kTicks)
        if (adStrCompareNoCase(name, tick) == 0) return true;
    return false;
}

// Block coordinates to the drawing: scale by the arrow length, turn along
// other -> tip, the entity's extrusion, to the tip, then the model matrix.
AdMatrix4 arrowMatrix(const AdEntityHeader& header, const double tip[3], const double other[3], double length,
                      const AdMatrix4* model) {
    const bool extruded = (header.flags & AD_ENTITY_FLAG_EXTRUDED) != 0;
    AdMatrix4 extrusion;
    adMatrixIdentity(&extrusion);
    if (extruded) adMatrixFromExtrusion(header.extrusion, &extrusion);
    double direction[4] = {tip[0] - other[0], tip[1] - other[1], tip[2] - other[2], 0.0};
    if (extruded) {
        AdMatrix4 inverse = extrusion;
        if (adMatrixInvert(&inverse)) adTransformPoint(direction, &inverse, direction);
    }
    AdMatrix4 m = *model;
    adMatrixPreTranslate(tip, &m);
    if (extruded) adMatrixMultiply(&extrusion, &m, &m);
    adMatrixRotateZ(adVectorAngle(direction), &m);
    adMatrixScaleAxes(length, length, length, &m);
    return m;
}

// What the block's draw changes in the display state, put back after it.
struct ArrowScope {
    AdDrawContext& entity;
    AdDisplayState* state;
    AdHandle insertLayer;
    std::uint8_t paperSheet;
    std::uint8_t xrefInsert;
    double smallSize;
    double currentScale;
    AdEntityHeader header;
    AdEntityData data;

    explicit ArrowScope(AdDrawContext& e)
        : entity(e), state(e.drawing->display), insertLayer(state->insertLayer), paperSheet(state->paperSheet),
          xrefInsert(state->xrefInsert), smallSize(state->smallSize), currentScale(state->currentScale),
          header(*e.header), data(*e.data) {
        state->insertLayer = header.layer;
        if (header.flags & AD_ENTITY_FLAG_PAPER_SPACE) state->paperSheet = 1;
        state->xrefInsert = 0;
    }
    ~ArrowScope() {
        state->smallSize = smallSize;
        state->currentScale = currentScale;
        state->insertLayer = insertLayer;
        *entity.header = header;
        *entity.data = data;
        adDisplayGlobals->currentEntity = entity.header;
        state->paperSheet = paperSheet;
        state->xrefInsert = xrefInsert;
    }
    ArrowScope(const ArrowScope&) = delete;
    ArrowScope& operator=(const ArrowScope&) = delete;
};

void drawBlock(AdDrawContext& entity, const AdBlockHeader& block, const AdHandle& handle, const double tip[3],
               const double other[3], double length, std::int16_t colour) {
    AdDrawing* drawing = entity.drawing;
    AdDisplayState* state = drawing->display;
    AdActiveBlock active(state, handle);
    if (!active.entered || !block.entities || block.entities == entity.list) return;
    ArrowScope scope(entity);
    AdMatrix4 m = arrowMatrix(scope.header, tip, other, length, entity.block);
    const AdInherited contents{colour,  &state->continuousRecord,
                               drawing, nullptr,
                               0,       static_cast<std::int16_t>(entity.inherited->depth + 1),
                               entity.inherited->xrefLevel,
                               state->suppressedViewports,
                               entity.inherited->chain};
    adEntityRewind(block.entities);
    adDrawEntityList(drawing, block.entities, &m, contents, nullptr);
}

}  // namespace

void adDrawArrowhead(AdDrawContext& entity, double tip[3], const double other[3], const AdHandle& arrowBlock,
                     double halfSize, std::int16_t colour, bool move) {
    AdDrawing* drawing = entity.drawing;
    AdBlockHeader block{};
    const bool named = adHandleLength(&arrowBlock) != 0 && adBlockByHandle(drawing, &arrowBlock, &block);
    char name[AD_TABLE_NAME_SIZE] = "";
    if (named) std::memcpy(name, block.name, sizeof name);
    name[sizeof name - 1] = '\0';
    const double length = 2.0 * halfSize;
    const bool tooSmall = adPointDistance(tip, other) < 2.0 * length;
    const bool none = std::strcmp(name, "_NONE") == 0;
    if (!none && !tooSmall) {
        AdHandle byName{};
        if (name[0] == '\0' || !adBlockHandleByName(drawing, name, &byName)) {
            adDrawArrowShape(drawing, tip, other, entity.block, entity.matrices, name, halfSize, move);
            return;
        }
        drawBlock(entity, block, byName, tip, other, length, colour);
    }
    if (!tooSmall && (move || !tickName(name))) adMovePointToward(tip, other, none ? halfSize : length);
    adSetPenColor(drawing, adMapColor(colour));
}
