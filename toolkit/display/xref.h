// External references during a draw: the chain of drawings being drawn
// (which keeps a circular reference from being drawn again), and the queue
// of references that the dispatcher meets and the traversal draws after the
// space that met them. Internal to the engine.
#pragma once
#include "toolkit/display/dispatch.h"

// One queued external reference: the walk context it is drawn with.
struct AdXrefRequest {
    char path[AD_PATH_SIZE];
    char blockName[AD_TABLE_NAME_SIZE];
    AdXrefTag tag;
    AdMatrix4 block;
    std::int16_t colour;
    std::int16_t lineWeight;
    std::int16_t level;
    AdLtypeRecord linetype;
    const AdPlotStyle* plotStyle;
    std::uint64_t suppressed;
    std::uint8_t paperSheet;
    AdStore* chain;  // owned by the request
    // The layer of the INSERT that refers to the drawing, for its layer 0.
    char insertLayerName[AD_TABLE_NAME_SIZE];
    std::int16_t insertLayerColour;
    std::int16_t insertLayerWeight;
    AdHandle insertLayerPlotStyle;
    AdHandle insertLayerLinetype;
};

// Block header flag: the block is an external reference.
constexpr std::uint8_t AD_BLOCK_FLAG_XREF = 0x04;

// The chain: upper-cased paths, each followed by a NUL.
int adChainAppend(AdStore* chain, const char* path);
// A new chain: a copy of chain (which may be null) with the path added.
AdStore* adChainExtend(AdStore* chain, const char* path);
// 1 when the chain holds the path, compared as a whole (in upper case).
int adChainContains(AdStore* chain, const char* path);

int adXrefQueueAdd(AdRecordList* queue, const AdXrefRequest* request);
// The first request, unlinked and freed; 0 for a null or empty queue.
int adXrefQueuePop(AdRecordList* queue, AdXrefRequest* out);
// At the BLOCK of an external-reference block: completes the path, asks the
// host's finder, and queues the reference on the top-level drawing; 1 when
// it was queued (the block's own list then ends). A missing file is reported
// and a circular reference skipped: the block's own entities are drawn.
int adQueueXref(AdDrawContext& entity);
// The path of an external reference with its extension: ".dwg" or ".dxf"
// (as the top-level drawing was read) when it names neither, in any case.
void adCompleteXrefPath(const char* path, std::uint8_t topFormat, char* out, std::size_t capacity);
// Around the drawing of a reference: its LAYER and LTYPE records saved
// (null when memory ran out), renamed "NAME|..." and bound to the referring
// drawing's records of those names (layers only under VISRETAIN; layer 0
// becomes the referring INSERT's layer), and written back.
AdStore* adSaveXrefTables(AdDrawing* drawing);
int adMergeXrefTables(AdDrawing* xref, const AdXrefRequest* request);
int adRestoreXrefTables(AdDrawing* drawing, AdStore** saved);
// Draws one request of drawing D's queue.
void adDrawXref(AdDrawing* drawing, AdXrefRequest* request);
