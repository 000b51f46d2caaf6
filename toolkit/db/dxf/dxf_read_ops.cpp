// The DXF reader's entries in the reader-operation table. Tables share
// their begin and next operations; each slot calls them with its kind.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/load_stages.h"

namespace {
template <int Kind>
int beginTable(AdDrawing* drawing) {
    return adDxfTableBegin(drawing, Kind);
}

template <int Kind>
int nextRecord(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag) {
    return adDxfTableNext(drawing, Kind, record, xdataFlag);
}
}  // namespace

void adDxfFillReadOps(AdReadOps* ops) {
    ops->open = adDxfOpen;
    ops->beginLtypes = beginTable<AD_DXF_KIND_LTYPE>;
    ops->beginLayers = beginTable<AD_DXF_KIND_LAYER>;
    ops->beginStyles = beginTable<AD_DXF_KIND_STYLE>;
    ops->beginViews = beginTable<AD_DXF_KIND_VIEW>;
    ops->beginUcs = beginTable<AD_DXF_KIND_UCS>;
    ops->beginVports = beginTable<AD_DXF_KIND_VPORT>;
    ops->beginAppids = beginTable<AD_DXF_KIND_APPID>;
    ops->beginDimStyles = beginTable<AD_DXF_KIND_DIMSTYLE>;
    ops->nextLtype = adDxfLtypeNext;
    ops->nextLayer = nextRecord<AD_DXF_KIND_LAYER>;
    ops->nextStyle = nextRecord<AD_DXF_KIND_STYLE>;
    ops->nextView = nextRecord<AD_DXF_KIND_VIEW>;
    ops->nextUcs = nextRecord<AD_DXF_KIND_UCS>;
    ops->nextVport = nextRecord<AD_DXF_KIND_VPORT>;
    ops->nextAppid = nextRecord<AD_DXF_KIND_APPID>;
    ops->nextDimStyle = nextRecord<AD_DXF_KIND_DIMSTYLE>;
    ops->beginVportEntities = adDxfVportHeaderBegin;
    ops->nextVportEntity = adDxfVportHeaderNext;
    ops->beginClasses = adDxfClassBegin;
    ops->nextClass = adDxfClassNext;
    ops->beginBlocks = adDxfBlockBegin;
    ops->nextBlock = adDxfBlockNext;
    ops->readBlockHeaderPart = adDxfBlockRecordRead;
    ops->beginBlockEntities = adDxfBlockEntitiesBegin;
    ops->beginEntities = adDxfEntitiesBegin;
    ops->beginObjects = adDxfObjectsBegin;
    ops->readEntity = adDxfEntityNext;
    ops->nextObject = adDxfObjectKind;
    ops->readDictionary = adDxfDictionaryRead;
    ops->readClassObject = adDxfClassObjectRead;
    ops->readGroup = adDxfGroupRead;
    ops->readMlineStyle = adDxfMlineStyleRead;
    ops->seekSaved = adDxfMlineStylesBegin;
}
