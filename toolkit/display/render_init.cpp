// Creating and freeing the render context and everything allocated with it.
#include "toolkit/display/glyphs.h"
#include "toolkit/display/handlers.h"

#include <cstring>

AdRenderContext* adRender = nullptr;
AdRenderValues adRenderValues;
AdDisplayGlobals* adDisplayGlobals = nullptr;

namespace {

// Everything adInitRender allocates, in allocation order.
struct RenderBlocks {
    AdRenderContext* context;
    AdDisplayGlobals* globals;
    AdEntityHeader* subHeader;
    AdEntityData* subData;
    void* layerRecord;
    void* secondRecord;
    std::uint8_t* nodeTable;
};

// A table record buffer large enough for whichever record the view setup,
// the dispatcher and the tolerance drawing read into it.
constexpr std::size_t kRecordBufferSize =
    sizeof(AdLayerRecord) > sizeof(AdLtypeRecord) ? sizeof(AdLayerRecord) : sizeof(AdLtypeRecord);

void* allocZeroed(std::size_t size) {
    void* block = HostAlloc(size);
    if (block) std::memset(block, 0, size);
    return block;
}

void freeBlocks(RenderBlocks& blocks) {
    // In reverse order of allocation; null ones are skipped.
    void* order[] = {blocks.nodeTable, blocks.secondRecord, blocks.layerRecord, blocks.subData,
                     blocks.subHeader, blocks.globals, blocks.context};
    for (void* block : order)
        if (block) HostFree(block);
}

void setDefaultValues() {
    for (int i = 0; i < 256; ++i) adRenderValues.colorMap[i] = static_cast<std::int16_t>(i <= 16 ? i : 15);
    adRenderValues.pixelAspect = 1.0;
    adRenderValues.detailFactor = 2.0;
    adRenderValues.pollInterval = AD_POLL_INTERVAL;
    adRenderValues.linetypeSwitch = 1;
    adRenderValues.drawContinue = 1;
    adRenderValues.maxCircleSegments = 0;
}

void setDefaultContext(AdRenderContext& context) {
    context.displayCaching = 1;
    context.insideDimension = 0;
    context.defaultLineWeight = 25;
    context.modelLineWeightScale = -1.0;
    context.paperLineWeightScale = 1.0;
    context.textRealign = 0;
    context.solidDrawing = 0;
    context.hooks.findTextFile = adDefaultFileFinder;
    context.hooks.findXrefFile = adDefaultFileFinder;
    context.hooks.setColor = adDefaultColorHook;
    context.hooks.hostSetColor = adDefaultColorHook;
    context.hooks.solidModel = adSolidBridge;
    context.lastPoint = DevicePoint{AD_UNKNOWN_DEVICE_POINT, AD_UNKNOWN_DEVICE_POINT};
    context.textFrame = adIdentityMatrix;
    context.segmentCount = 10;
    context.curveResolution = 10;
}

}  // namespace

int adInitRender() {
    if (adRender) return 1;
    RenderBlocks blocks{};
    blocks.context = static_cast<AdRenderContext*>(allocZeroed(sizeof(AdRenderContext)));
    if (blocks.context) blocks.globals = static_cast<AdDisplayGlobals*>(allocZeroed(sizeof(AdDisplayGlobals)));
    if (blocks.globals) blocks.subHeader = static_cast<AdEntityHeader*>(allocZeroed(sizeof(AdEntityHeader)));
    if (blocks.subHeader) blocks.subData = static_cast<AdEntityData*>(allocZeroed(sizeof(AdEntityData)));
    if (blocks.subData) blocks.layerRecord = allocZeroed(kRecordBufferSize);
    if (blocks.layerRecord) blocks.secondRecord = allocZeroed(kRecordBufferSize);
    if (blocks.secondRecord)
        blocks.nodeTable = static_cast<std::uint8_t*>(allocZeroed(AD_NODE_TABLE_SIZE * AD_NODE_TABLE_SIZE));
    if (!blocks.nodeTable) {
        freeBlocks(blocks);
        if (adGlobals) adNoMemory(AD_ERR_RENDER_MEMORY);
        return 0;
    }
    AdRenderContext& context = *blocks.context;
    context.layerRecord = blocks.layerRecord;
    context.secondRecord = blocks.secondRecord;
    context.nodeTable = blocks.nodeTable;
    setDefaultValues();
    setDefaultContext(context);
    adBuildNodeTable(context.nodeTable);

    AdDisplayGlobals& globals = *blocks.globals;
    globals.subHeader = blocks.subHeader;
    globals.subData = blocks.subData;
    globals.objectMatrix = adIdentityMatrix;
    globals.transform = adIdentityMatrix;

    adRender = blocks.context;
    adDisplayGlobals = blocks.globals;
    adSetGlyphSlots();
    return 1;
}

void adTermRender() {
    if (!adRender) return;
    AdRenderContext* context = adRender;
    for (AdGrowBuffer& buffer : context->growBuffers)
        if (buffer.data) HostFree(buffer.data);
    if (context->rasterBuffer) HostFree(context->rasterBuffer);
    RenderBlocks blocks{context, adDisplayGlobals, adDisplayGlobals->subHeader, adDisplayGlobals->subData,
                        context->layerRecord, context->secondRecord, context->nodeTable};
    freeBlocks(blocks);
    adClearGlyphSlots();
    adRender = nullptr;
    adDisplayGlobals = nullptr;
}

// Leaf a is cell 8 x row + column of an 8 by 8 grid; the table gives the
// smallest quadtree node that holds two leaves: the leaf itself, its 2 by 2
// block (64..79), its quarter (80..83) or the whole (84).
void adBuildNodeTable(std::uint8_t* table) {
    for (std::size_t a = 0; a < AD_NODE_TABLE_SIZE; ++a) {
        const std::size_t rowA = a / 8, columnA = a % 8;
        for (std::size_t b = 0; b < AD_NODE_TABLE_SIZE; ++b) {
            const std::size_t rowB = b / 8, columnB = b % 8;
            std::size_t node = 84;
            if (a == b)
                node = a;
            else if (rowA / 2 == rowB / 2 && columnA / 2 == columnB / 2)
                node = 64 + 4 * (rowA / 2) + columnA / 2;
            else if (rowA / 4 == rowB / 4 && columnA / 4 == columnB / 4)
                node = 80 + 2 * (rowA / 4) + columnA / 4;
            table[a * AD_NODE_TABLE_SIZE + b] = static_cast<std::uint8_t>(node);
        }
    }
}
