// Opening a drawing: the format sniff, the reader's open, then the sections
// in a fixed order, with progress to the host, the host's chance to cancel
// before every stage, and everything freed when a load does not finish.
#include "toolkit/db/drawing_release.h"
#include "toolkit/db/format_sniff.h"
#include "toolkit/db/read_ops.h"
#include "toolkit/db/table_loader.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/r12/r12_read.h"

#include <cstdio>
#include <cstring>

namespace {

// A format whose reader table has none of a section's slots has no such
// section: the stage passes.
bool objectSlots(const AdReadOps& ops) {
    return ops.beginObjects || ops.nextObject || ops.readDictionary || ops.readMlineStyle || ops.readGroup ||
           ops.readClassObject;
}

bool bitCoded(const AdDrawing* drawing, int) { return drawing->version >= AD_VERSION_FIRST_BITCODED; }
bool fixedRecords(const AdDrawing* drawing, int) { return drawing->version < AD_VERSION_FIRST_BITCODED; }
bool fixedRecordDwg(const AdDrawing* drawing, int) { return adIsFixedRecordDwg(drawing); }
bool dwg(const AdDrawing* drawing, int) { return !adIsDxf(drawing); }
bool asciiDxf2000(const AdDrawing* drawing, int) {
    return drawing->format == AD_FORMAT_DXF_ASCII && drawing->version == AD_VERSION_AC1015;
}
bool upgraded(const AdDrawing* drawing, int upgrade) { return upgrade && drawing->version < AD_VERSION_AC1015; }
bool bitCodedDxf(const AdDrawing* drawing, int) { return adIsDxf(drawing) && bitCoded(drawing, 0); }

// The completion steps on the driver's terms: some results are not used, as
// what a step could not add leaves a drawing that still loads.
int resolveHeaderReferences(AdDrawing* drawing) { return adResolveHeaderReferences(drawing, drawing->header); }
int takePlotStyleDictionary(AdDrawing* drawing) {
    adTakePlotStyleDictionary(drawing);
    return 1;
}
int completeR12Objects(AdDrawing* drawing) { return adCompleteR12Objects(drawing, drawing->header, nullptr); }
void raiseHandleSeed(AdDrawing* drawing);
int completeR2000Objects(AdDrawing* drawing) {
    raiseHandleSeed(drawing);
    adCompleteR2000Objects(drawing);
    return 1;
}
int findStandardMlineStyle(AdDrawing* drawing) {
    adFindStandardMlineStyle(drawing, &drawing->header->cmlstyleHandle);
    return 1;
}

// The viewport-entity headers come last of the DWG sections; the drawing's
// VISRETAIN copy is then taken again from the header.
int loadVportEntityHeaders(AdDrawing* drawing) {
    if (!adLoadVportEntityHeaders(drawing)) return 0;
    drawing->visRetain = drawing->header->visretain;
    return 1;
}

struct Stage {
    std::int32_t error;
    std::int32_t progressAfter;                        // -1: none
    bool (*applies)(const AdDrawing* drawing, int upgrade);  // null: every load
    int (*load)(AdDrawing* drawing);                   // null: nothing to do
    bool (*slotsSet)(const AdReadOps& ops);            // null: every format reads the stage
};

const Stage kStages[] = {
    {AD_STAGE_LTYPE, 8, nullptr, adLoadLtypes, nullptr},
    {AD_STAGE_LAYER, 12, nullptr, adLoadLayers, nullptr},
    {AD_STAGE_CLASSES, 16, nullptr, adLoadClasses, nullptr},
    {AD_STAGE_VPORT, 20, nullptr, adLoadVports, nullptr},
    {AD_STAGE_UCS, 24, nullptr, adLoadUcs, nullptr},
    {AD_STAGE_APPID, 28, nullptr, adLoadAppids, nullptr},
    {AD_STAGE_VIEW, 32, nullptr, adLoadViews, nullptr},
    {AD_STAGE_STYLE, 36, nullptr, adLoadStyles, nullptr},
    {AD_STAGE_BLOCK, 40, nullptr, adLoadBlockTable, nullptr},
    {AD_STAGE_DIMSTYLE, 46, nullptr, adLoadDimStyles, nullptr},
    {AD_STAGE_ENTITIES, -1, fixedRecordDwg, adBuildBlockNumberTable, nullptr},
    {AD_STAGE_ENTITIES, -1, nullptr, adLoadEntitiesSection, nullptr},
    {AD_STAGE_BLOCK_ENTITIES, -1, nullptr, adLoadBlockEntities, nullptr},
    {AD_STAGE_OBJECTS, 96, bitCoded, adLoadObjects, objectSlots},
    {AD_STAGE_VPORT_ENTITIES, -1, dwg, loadVportEntityHeaders, nullptr},
    {AD_STAGE_HEADER_REFERENCES, -1, nullptr, resolveHeaderReferences, nullptr},
    {AD_STAGE_HEADER_REFERENCES, -1, asciiDxf2000, takePlotStyleDictionary, nullptr},
    {AD_STAGE_COMPLETION, -1, fixedRecords, completeR12Objects, nullptr},
    {AD_STAGE_COMPLETION, -1, upgraded, completeR2000Objects, nullptr},
    {AD_STAGE_COMPLETION, -1, bitCodedDxf, findStandardMlineStyle, nullptr},
};

void reportProgress(std::int32_t percent) {
    if (adGlobals->hooks.loadProgress) adGlobals->hooks.loadProgress(percent);
}

int runStage(AdDrawing* drawing, const Stage& stage) {
    if (stage.slotsSet && !(drawing->readOps && stage.slotsSet(*drawing->readOps))) return 1;
    return stage.load ? stage.load(drawing) : 1;
}

// Readers replace the error code with their own on failure; the stage a load
// stopped in is kept apart so that the host can still name it.
void enterStage(std::int32_t code) {
    adSetError(code);
    adGlobals->loadStage = code;
}

bool loadSections(AdDrawing* drawing, int upgrade) {
    for (const Stage& stage : kStages) {
        if (stage.applies && !stage.applies(drawing, upgrade)) continue;
        enterStage(stage.error);
        if (!adGlobals->continueFlag || !runStage(drawing, stage)) return false;
        if (stage.progressAfter >= 0) reportProgress(stage.progressAfter);
    }
    return true;
}

// Files before AC1012 may lack handles: the entity reader then gives new
// ones to the entities of the ENTITIES section (handlesMissing) or of the
// other blocks (assignHandles).
void decideHandleRules(AdDrawing* drawing) {
    std::int16_t version = drawing->version;
    bool seed = drawing->seedFromFile != 0;
    bool both = false;
    drawing->assignHandles = drawing->handlesMissing = 0;
    if (version >= AD_VERSION_FIRST_BITCODED) return;
    if ((version == AD_VERSION_AC1009 && !seed) || version < AD_VERSION_AC1006 || drawing->unknownVersion) {
        both = true;
    } else if (version == AD_VERSION_AC1006 && drawing->dxf) {
        drawing->assignHandles = 1;
        drawing->handlesMissing = seed ? 0 : 1;
    } else if (version == AD_VERSION_AC1006) {
        both = !seed;
    }
    if (both) drawing->assignHandles = drawing->handlesMissing = 1;
}

// A seed of zero could hand out no handle: the default stands in for it.
void startHandleSeed(AdDrawing* drawing) {
    bool fromFile = drawing->seedFromFile && adHandleLength(&drawing->fileHandleSeed) > 0;
    adSetHandleSeed(drawing, fromFile ? &drawing->fileHandleSeed : &adGlobals->handleSeedDefault);
}

// Handles the load entered may lie beyond the seed the file gave.
void raiseHandleSeed(AdDrawing* drawing) {
    if (adHandleCompare(&adGlobals->highestHandle, &drawing->handleSeed) > 0) {
        AdHandle next = adGlobals->highestHandle;
        adHandleIncrement(&next);
        adSetHandleSeed(drawing, &next);
    }
}

void finishHandleSeed(AdDrawing* drawing) {
    raiseHandleSeed(drawing);
    drawing->header->handseed = drawing->handleSeed;
}

// Release-12 viewports keep their view in extended data whose application
// and layer references are resolved only now. A viewport that cannot be
// converted keeps its extended data; the drawing still loads.
int resolveNameReferences(AdDrawing* drawing) {
    const bool deferred = drawing->loadStores[AD_LOAD_STORE_NAME_REFERENCES] != nullptr;
    if (!adResolveNameReferences(drawing)) return 0;
    if (deferred) adConvertR12Viewports(drawing);
    return 1;
}

// An AC1014 external reference that was unloaded says so by an
// "ACAD_UNLOAD" entry in its block record's extension dictionary.
void markUnloadedReferences(AdDrawing* drawing) {
    auto* block = static_cast<AdBlockHeader*>(HostAlloc(sizeof(AdBlockHeader)));
    if (!block) return;
    adBlockRewind(drawing);
    for (std::int32_t i = adBlockCount(drawing); i > 0 && adBlockNext(drawing, block); --i) {
        if (adHandleLength(&block->extensionDictionary) == 0 ||
            !adDictionaryFindEntry(drawing, &block->extensionDictionary, "ACAD_UNLOAD", nullptr))
            continue;
        block->unloaded = 1;
        adBlockUpdate(drawing, block);
    }
    HostFree(block);
}

AdDrawing* createForFile(const char* name) {
    AdDrawing* drawing = adCreateDrawing();
    if (!drawing) return nullptr;
    drawing->userData = nullptr;
    adClearBlockNameIndex(drawing);
    std::memcpy(drawing->fileName, name, std::strlen(name) + 1);
    drawing->xrefCount = 0;
    drawing->header = static_cast<AdHeaderVars*>(HostAlloc(sizeof(AdHeaderVars)));
    if (!drawing->header) {
        adSetError(AD_ERR_NO_DRAWING_MEMORY);
        adReleaseDrawing(drawing);
        return nullptr;
    }
    std::memset(drawing->header, 0, sizeof(AdHeaderVars));
    return drawing;
}

// The file is open; sniff it, point the drawing at its format's reader and
// let the reader read the header part.
bool openFormat(AdDrawing* drawing) {
    enterStage(AD_ERR_BEFORE_SNIFF);
    drawing->format = AD_FORMAT_DWG;
    drawing->dxf = 0;
    drawing->readOps = adGlobals->dwgReadOps;
    drawing->writerVersionLimit = -1;
    adGlobals->preReleaseSeen = 0;
    AdFileSniff sniff;
    if (!adSniffFile(drawing->file, &sniff)) return false;
    drawing->format = sniff.format;
    drawing->dxf = sniff.format != AD_FORMAT_DWG;
    drawing->readOps = drawing->dxf ? adGlobals->dxfReadOps : adGlobals->dwgReadOps;
    drawing->version = sniff.version;
    HostSeek(drawing->file, 0, SEEK_SET);
    enterStage(AD_ERR_HEADER_REJECTED);
    return adCallReadOp(drawing, &AdReadOps::open) != 0;
}
}  // namespace

AdDrawing* adOpenDrawing(const char* name, int loadMode, int upgrade) {
    if (!adGlobals) return nullptr;
    adGlobals->continueFlag = 1;
    adGlobals->loadStage = 0;
    // The name must fit the drawing's file name field whole: a cut name would
    // name another file.
    if (!name || std::strlen(name) >= AD_FILE_NAME_SIZE) {
        adSetError(AD_ERR_FILE_OPEN);
        return nullptr;
    }
    AdDrawing* drawing = createForFile(name);
    if (!drawing) return nullptr;
    adSetError(AD_ERR_FILE_OPEN);
    drawing->file = HostOpenRead(name);
    bool ok = drawing->file && openFormat(drawing);
    if (ok) {
        decideHandleRules(drawing);
        reportProgress(0);
        startHandleSeed(drawing);
        ok = drawing->version >= AD_VERSION_FIRST_BITCODED || adSetTableHandles(drawing);
    }
    if (ok) {
        drawing->loadMode = static_cast<std::uint8_t>(loadMode);
        enterStage(AD_STAGE_LTYPE);
        adGlobals->highestHandle = AdHandle{};
        reportProgress(4);
        ok = loadSections(drawing, upgrade) && resolveNameReferences(drawing);
        adFreeBlockNumberTable(drawing);
    }
    if (!ok) {
        adReleaseDrawing(drawing);
        return nullptr;
    }
    HostClose(drawing->file);
    drawing->file = nullptr;
    adSetError(AD_OK);
    adLoadCompletion(drawing);
    adDefaultUniversalDate(&drawing->header->tdcreate, &drawing->header->tducreate);
    reportProgress(100);
    adReleaseLoadStores(drawing);
    finishHandleSeed(drawing);
    if (drawing->dxf) adNextHandle(drawing, &drawing->tableControls[AD_CONTROL_VPORT_ENTITY]);
    if (drawing->version == AD_VERSION_AC1014) markUnloadedReferences(drawing);
    return drawing;
}
