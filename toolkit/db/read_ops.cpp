// The reader-operation tables of the two input formats and the calls through
// them. The readers of each format fill their table's slots; until a reader
// is built its slots stay null, so a load of that format stops honestly at
// the first stage that needs one.
#include "toolkit/db/read_ops.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dwg/dwg_blocks.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_tables.h"
#include "toolkit/db/dwg/dwg_vport_headers.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {
const AdReadOps kDwgReadOps = [] {
    AdReadOps ops{};
    ops.open = adDwgReadHeader;
    ops.beginVportEntities = adDwgBeginVportEntities;
    ops.nextVportEntity = adDwgNextVportEntity;
    ops.beginLayers = adDwgBeginLayers;
    ops.nextLayer = adDwgNextLayer;
    ops.beginLtypes = adDwgBeginLtypes;
    ops.nextLtype = adDwgNextLtype;
    ops.beginStyles = adDwgBeginStyles;
    ops.nextStyle = adDwgNextStyle;
    ops.beginViews = adDwgBeginViews;
    ops.nextView = adDwgNextView;
    ops.beginUcs = adDwgBeginUcs;
    ops.nextUcs = adDwgNextUcs;
    ops.beginVports = adDwgBeginVports;
    ops.nextVport = adDwgNextVport;
    ops.beginAppids = adDwgBeginAppids;
    ops.nextAppid = adDwgNextAppid;
    ops.beginObjects = adDwgBeginObjects;
    ops.nextObject = adDwgNextObject;
    ops.readDictionary = adDwgReadDictionary;
    ops.readGroup = adDwgReadGroup;
    ops.readMlineStyle = adDwgReadMlineStyle;
    ops.readClassObject = adDwgReadClassObject;
    ops.beginDimStyles = adDwgBeginDimStyles;
    ops.nextDimStyle = adDwgNextDimStyle;
    ops.beginBlocks = adDwgBeginBlocks;
    ops.nextBlock = adDwgNextBlock;
    ops.beginClasses = adDwgBeginClasses;
    ops.nextClass = adDwgNextClass;
    ops.readEntity = adDwgEntityNext;
    ops.beginBlockEntities = adDwgBeginBlockEntities;
    ops.beginEntities = adDwgBeginEntities;
    // One routine serves both formats: it puts the file back where the
    // reader saved its position.
    ops.seekSaved = adDxfMlineStylesBegin;
    return ops;
}();
const AdReadOps kDxfReadOps = [] {
    AdReadOps ops{};
    adDxfFillReadOps(&ops);
    return ops;
}();

const AdReadOps* opsOf(const AdDrawing* drawing) { return drawing ? drawing->readOps : nullptr; }
}  // namespace

void adInstallDwgReadOps() {
    if (adGlobals) adGlobals->dwgReadOps = &kDwgReadOps;
}

void adInstallDxfReadOps() {
    if (adGlobals) adGlobals->dxfReadOps = &kDxfReadOps;
}

int adCallReadOp(AdDrawing* drawing, AdReadOp AdReadOps::*slot) {
    const AdReadOps* ops = opsOf(drawing);
    return ops && ops->*slot ? (ops->*slot)(drawing) : 0;
}

int adCallReadRecordOp(AdDrawing* drawing, AdReadRecordOp AdReadOps::*slot, void* record) {
    const AdReadOps* ops = opsOf(drawing);
    return ops && ops->*slot ? (ops->*slot)(drawing, record) : 0;
}

int adCallReadTableRecordOp(AdDrawing* drawing, AdReadTableRecordOp AdReadOps::*slot, void* record,
                            std::uint8_t* xdataFlag) {
    const AdReadOps* ops = opsOf(drawing);
    return ops && ops->*slot ? (ops->*slot)(drawing, record, xdataFlag) : 0;
}
