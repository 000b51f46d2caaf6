// The begin operations: each puts the file where the pre-scan found the
// part the loader is about to read.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
// The load keeps one read stream over a position store at a time.
int openPositions(AdDrawing* drawing, int slot) {
    if (drawing->loadStream) adStreamCloseRead(drawing->loadStream);
    drawing->loadStream = adStreamOpenRead(drawing->loadStores[slot]);
    return drawing->loadStream ? 1 : 0;
}
}  // namespace

int adDxfTableBegin(AdDrawing* drawing, int kind) {
    const int control = adDxfKindControl(kind);
    if (!drawing || control < 0) return 0;
    return adDxfSeek(drawing, drawing->dxfTablePositions[control]);
}

int adDxfBlockRecordBegin(AdDrawing* drawing) { return adDxfTableBegin(drawing, AD_DXF_KIND_BLOCK_RECORD); }

int adDxfClassBegin(AdDrawing* drawing) { return drawing ? adDxfSeek(drawing, drawing->dxfClassesPosition) : 0; }

int adDxfObjectsBegin(AdDrawing* drawing) { return drawing ? adDxfSeek(drawing, drawing->dxfObjectsPosition) : 0; }

int adDxfMlineStylesBegin(AdDrawing* drawing) {
    return drawing ? adDxfSeek(drawing, drawing->dxfMlineStylePosition) : 0;
}

int adDxfEntitiesBegin(AdDrawing* drawing) {
    if (!drawing) return 0;
    drawing->dxfInBlock = 0;
    return adDxfSeek(drawing, drawing->dxfEntitiesStart);
}

int adDxfBlockBegin(AdDrawing* drawing) {
    if (!drawing || !openPositions(drawing, AD_DXF_STORE_BLOCKS)) return 0;
    return adDxfSeek(drawing, drawing->dxfBlocksPosition);
}

int adDxfBlockEntitiesBegin(AdDrawing* drawing) {
    if (!drawing) return 0;
    drawing->dxfInBlock = 1;
    drawing->dxfBlockDescription[0] = '\0';
    return adDxfSeek(drawing, drawing->dxfBlocksPosition + drawing->dxfBlockOffset);
}

int adDxfVportHeaderBegin(AdDrawing* drawing) {
    return drawing ? openPositions(drawing, AD_DXF_STORE_VIEWPORTS) : 0;
}

int adDxfNextPosition(AdDrawing* drawing, std::int64_t* position) {
    return drawing->loadStream && adStreamRead(drawing->loadStream, position, sizeof *position) ? 1 : 0;
}
