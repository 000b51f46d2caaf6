// Block references: INSERT (with the row and column grid of a multiple
// insert) and the anonymous block of a DIMENSION drawn under their cell
// matrices, the BLOCK entity at the head of every block's list, and the
// attributes that follow an INSERT.
#include "toolkit/display/handlers.h"

#include "toolkit/display/active_block.h"
#include "toolkit/display/block_clip.h"
#include "toolkit/display/xref.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// What one reference places: a grid of cells of one block.
struct Placement {
    AdHandle block;
    double insertion[3];
    double scale[3];
    double rotation;
    double rowSpacing;
    double columnSpacing;
    std::int16_t rows;
    std::int16_t columns;
};

// A dimension block rotation this large marks a dimension that is not drawn.
constexpr double kNoDimensionBlock = 1e90;

bool placementOf(const AdEntityHeader& header, const AdEntityData& data, Placement& out) {
    if (header.type == AD_ENTITY_DIMENSION) {
        const AdDimensionData& dimension = data.dimension;
        if (dimension.angle54 > kNoDimensionBlock) return false;
        out = Placement{dimension.block, {}, {1.0, 1.0, 1.0}, dimension.angle54, 0.0, 0.0, 1, 1};
        std::memcpy(out.insertion, dimension.clonePoint, sizeof out.insertion);
        return true;
    }
    const AdInsertData& insert = data.insert;
    out = Placement{insert.block, {}, {}, insert.rotation, insert.rowSpacing, insert.columnSpacing, insert.rowCount,
                    insert.columnCount};
    std::memcpy(out.insertion, insert.insertion, sizeof out.insertion);
    std::memcpy(out.scale, insert.scale, sizeof out.scale);
    if (out.scale[2] == 0.0) out.scale[2] = 1.0;
    return true;
}

// What a reference changes in shared state for its contents and puts back
// when it ends, drawn or not.
struct ReferenceScope {
    AdDrawing* drawing;
    AdRecordList* list;
    AdDisplayState* state;
    std::uint64_t plan;
    std::uint64_t suppressed;
    AdHandle insertLayer;
    AdListRecord* position;
    double smallSize;
    double currentScale;
    std::int16_t pdmode = 0;
    bool dimension;
    bool paperSheetSet = false;

    ReferenceScope(AdDrawContext& entity, bool isDimension)
        : drawing(entity.drawing), list(entity.list), state(entity.drawing->display), plan(state->planViewports),
          suppressed(state->suppressedViewports), insertLayer(state->insertLayer), position(adListCurrent(entity.list)),
          smallSize(state->smallSize), currentScale(state->currentScale), dimension(isDimension) {
        if (!state->paperSheet && (entity.header->flags & AD_ENTITY_FLAG_PAPER_SPACE)) {
            state->paperSheet = 1;
            paperSheetSet = true;
        }
        // The definition points of a dimension block are drawn as dots.
        if (dimension && drawing->header) {
            pdmode = drawing->header->pdmode;
            drawing->header->pdmode = 0;
        }
        state->insertLayer = entity.header->layer;
        state->xrefInsert = 0;
    }
    ~ReferenceScope() {
        adRender->insideDimension = 0;
        state->planViewports = plan;
        state->insertLayer = insertLayer;
        state->smallSize = smallSize;
        state->currentScale = currentScale;
        if (dimension && drawing->header) drawing->header->pdmode = pdmode;
        state->suppressedViewports = suppressed;
        adListSetCurrent(list, position);
        if (paperSheetSet) state->paperSheet = 0;
        state->xrefInsert = 0;
    }
};

// The cell matrix: a block point q goes to q x scale x rotation x
// translation to the cell x the base matrix.
AdMatrix4 cellMatrix(const AdMatrix4& base, const Placement& placement, int row, int column, bool grid) {
    double p[3] = {placement.insertion[0], placement.insertion[1], placement.insertion[2]};
    if (grid) {
        const double cs = std::cos(placement.rotation), sn = std::sin(placement.rotation);
        const double across = column * placement.columnSpacing, up = row * placement.rowSpacing;
        p[0] += across * cs - up * sn;
        p[1] += across * sn + up * cs;
    }
    AdMatrix4 cell = base;
    adMatrixPreTranslate(p, &cell);
    if (placement.rotation != 0.0) adMatrixRotateZ(placement.rotation, &cell);
    adMatrixScaleAxes(placement.scale[0], placement.scale[1], placement.scale[2], &cell);
    return cell;
}

// An external-reference block is entered only from the drawing itself when
// it is an overlay, and never when it is unloaded.
bool enterBlock(AdDrawContext& entity, const AdBlockHeader& block, const AdHandle& insert) {
    if (!(block.flags & AD_BLOCK_FLAG_XREF)) return true;
    AdDisplayState* state = entity.drawing->display;
    state->xrefInsert = 1;
    if ((entity.inherited->xrefLevel != 0 && block.overlay) || block.unloaded) return false;
    adRender->xrefTag = AdXrefTag{entity.drawing, insert};
    return true;
}

// The first cell's clip: the clip matrix maps the block's own coordinates
// (its base point at the origin, unless it is an external reference). An
// empty block ends the reference: 0 then.
int clipFirstCell(AdDrawing* drawing, const AdEntityHeader& insert, const AdBlockHeader& block, AdMatrix4 clip,
                  bool* pushed) {
    *pushed = false;
    AdHandle filter{};
    if (!adFindSpatialFilter(drawing, &insert, &filter)) return 1;
    if (!(block.flags & AD_BLOCK_FLAG_XREF)) {
        AdEntityHeader header{};
        auto data = std::make_unique<AdEntityData>();
        adEntityRewind(block.entities);
        if (!adEntityNext(block.entities, &header, data.get())) return 0;
        const double* base = data->block.basePoint;
        const double back[3] = {-base[0], -base[1], -base[2]};
        if (header.type == AD_ENTITY_BLOCK) adMatrixPreTranslate(back, &clip);
        if (!adEntityNext(block.entities, &header, data.get()) || header.type == AD_ENTITY_ENDBLK) return 0;
    }
    *pushed = adPushBlockClip(drawing, insert, clip) != 0;
    return 1;
}

}  // namespace

void adDrawBlockReference(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    AdDisplayState* state = drawing->display;
    // The shared entity buffers belong to the block's entities once it is
    // drawn: keep what the reference itself needs.
    const AdEntityHeader header = *entity.header;
    const bool dimension = header.type == AD_ENTITY_DIMENSION;
    const bool attributes = !dimension && entity.data->insert.attributesFollow != 0;
    Placement placement{};
    const bool placed = placementOf(header, *entity.data, placement);
    const AdMatrix4 base = [&] {
        AdMatrix4 m = *entity.block;
        if (header.flags & AD_ENTITY_FLAG_EXTRUDED) adMatrixMultiply(&adDisplayGlobals->objectMatrix, entity.block, &m);
        return m;
    }();
    {
        ReferenceScope scope(entity, dimension);
        AdBlockHeader block{};
        if (placed && adBlockByHandle(drawing, &placement.block, &block) && enterBlock(entity, block, header.handle)) {
            if (dimension) {
                adRender->insideDimension = 1;
                std::memcpy(adRender->dimensionClonePoint, placement.insertion, sizeof placement.insertion);
            }
            AdActiveBlock active(state, placement.block);
            AdRecordList* list = block.entities;
            if (active.entered && list && list != entity.list) {
                const AdInherited contents{entity.colour,     entity.linetype,
                                           entity.linetypeDrawing, entity.plotStyle,
                                           header.lineweight, static_cast<std::int16_t>(entity.inherited->depth + 1),
                                           entity.inherited->xrefLevel, state->suppressedViewports,
                                           entity.inherited->chain};
                const bool grid = !dimension;
                bool clipped = false, empty = false;
                for (int row = 0; row < placement.rows && adRenderValues.drawContinue && !empty; ++row) {
                    for (int column = 0; column < placement.columns && adRenderValues.drawContinue; ++column) {
                        AdMatrix4 cell = cellMatrix(base, placement, row, column, grid);
                        if (row == 0 && column == 0 && !clipFirstCell(drawing, header, block, cell, &clipped)) {
                            empty = true;
                            break;
                        }
                        adEntityRewind(list);
                        const std::uint8_t xrefInsert = state->xrefInsert;
                        adDrawEntityList(drawing, list, &cell, contents, nullptr);
                        state->xrefInsert = xrefInsert;
                    }
                }
                if (clipped) adPopBlockClip(drawing);
            }
        }
    }
    if (attributes) {
        state->attributeMode = 1;
        state->attributeColour = entity.colour;
        state->attributeLayer = header.layer;
        state->attributeSuppressed = state->suppressedViewports;
    }
}

// The BLOCK entity: the block's base point goes to the cell's origin, and
// an external-reference block queues its drawing and ends its list.
void adDrawBlockEntity(AdDrawContext& entity) {
    AdDisplayState* state = entity.drawing->display;
    if (!state->xrefInsert) {
        const double* base = entity.data->block.basePoint;
        const double back[3] = {-base[0], -base[1], -base[2]};
        adMatrixPreTranslate(back, entity.block);
        for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v)
            adMatrixMultiply(entity.block, &state->viewports[v].full, &entity.matrices[v]);
        return;
    }
    if (adQueueXref(entity)) entity.endList = 1;
}
