// Loading the OBJECTS section: each object the reader announces is read by
// its kind's reader, given its extended-data store and appended to the
// drawing's object list. One bad object is noted and passed over, so that a
// damaged object does not cost the drawing all the others.
#include "toolkit/db/read_ops.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstdint>
#include <cstring>

namespace {
const std::int16_t kProxyType = 499;

AdReadObjectOp AdReadOps::*readerOf(std::int16_t type) {
    switch (type) {
    case AD_OBJECT_DICTIONARY: return &AdReadOps::readDictionary;
    case AD_OBJECT_MLINESTYLE: return &AdReadOps::readMlineStyle;
    case AD_OBJECT_GROUP: return &AdReadOps::readGroup;
    default: return &AdReadOps::readClassObject;
    }
}

int callReader(AdDrawing* drawing, AdReadObjectOp AdReadOps::*slot, AdObjectHeader* header, void* data,
               std::uint8_t* xdataFlag) {
    const AdReadOps* ops = drawing->readOps;
    return ops && ops->*slot ? (ops->*slot)(drawing, header, data, xdataFlag) : 0;
}

// R13 files keep objects of the zombie class under its number; they are
// stored as proxies, as later files store them.
void markZombie(const AdDrawing* drawing, AdObjectHeader* header) {
    if (!adIsDxf(drawing) && drawing->version == AD_VERSION_AC1012 && drawing->zombieObjectClass != 0 &&
        header->type == drawing->zombieObjectClass)
        header->type = kProxyType;
}

// The error a reader or the store set tells what went wrong; the stage's
// own code stands in when neither said anything.
void noteSkipped(AdDrawing* drawing, std::int32_t stage, const AdHandle& handle) {
    const std::int32_t code = adGlobals->errorCode != AD_OK ? adGlobals->errorCode : stage;
    adNoteSkippedRecord(drawing, code, handle);
    adGlobals->errorCode = stage;
}

// Reads one object into cleared buffers and appends it: 1 when stored, 0
// when it was noted and passed over with everything it owned freed.
int loadObject(AdDrawing* drawing, AdReadObjectOp AdReadOps::*slot, AdObjectHeader* header, void* data,
               std::size_t size) {
    const std::int32_t stage = adGlobals->errorCode;
    *header = AdObjectHeader{};
    std::memset(data, 0, size);
    std::uint8_t xdataFlag = 0;
    adGlobals->xdataLength = 0;
    bool ok = callReader(drawing, slot, header, data, &xdataFlag) != 0;
    if (ok) markZombie(drawing, header);
    ok = ok && (!xdataFlag || adCollectExtendedData(drawing, &header->xdata));
    ok = ok && adObjectAdd(drawing, header, data);
    if (ok) {
        adGlobals->errorCode = stage;
        return 1;
    }
    // Whatever the object owns is freed, whether its reader failed halfway
    // or it could not be kept; its type tells how its data is laid out, and
    // a reader that failed before it knew the type has filled in nothing.
    if (header->type != 0) adObjectFreeData(drawing, header, data);
    noteSkipped(drawing, stage, header->handle);
    return 0;
}
}  // namespace

int adLoadClassObject(AdDrawing* drawing, AdObjectHeader* header, void* data, std::size_t size) {
    if (!drawing || !adGlobals || !header || !data) return 0;
    return loadObject(drawing, &AdReadOps::readClassObject, header, data, size);
}

int adLoadObjects(AdDrawing* drawing) {
    if (!drawing || !adGlobals) return 0;
    const std::int32_t stage = adGlobals->errorCode;
    if (!adCallReadOp(drawing, &AdReadOps::beginObjects)) {
        adLoadTableDone(drawing);
        return 0;
    }
    AdObjectHeader header{};
    AdObjectData data;
    // The object list cannot count past INT32_MAX, which bounds the walk
    // even when a reader announces objects without moving on.
    for (std::int32_t read = 0; read < INT32_MAX; ++read) {
        const std::int16_t type = static_cast<std::int16_t>(adCallReadOp(drawing, &AdReadOps::nextObject));
        if (type == 0) break;
        loadObject(drawing, readerOf(type), &header, &data, sizeof data);
    }
    adLoadTableDone(drawing);
    adGlobals->errorCode = stage;
    return 1;
}
