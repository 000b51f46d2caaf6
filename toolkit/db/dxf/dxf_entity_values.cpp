// Small readers the entity and object readers share: values taken from the
// next group, references, byte chunks, work lists and the name slots.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <algorithm>

bool adDxfNextValueGroup(AdDrawing* drawing) {
    return adDxfRecordGroup(drawing, nullptr) == AdDxfRecordStep::Group;
}

bool adDxfNextReal(AdDrawing* drawing, double* value) {
    if (!adDxfNextValueGroup(drawing)) return false;
    *value = adDxfToken().real;
    return true;
}

bool adDxfNextInteger(AdDrawing* drawing, std::int32_t* value) {
    if (!adDxfNextValueGroup(drawing)) return false;
    *value = adDxfTokenInteger();
    return true;
}

bool adDxfAddReference(AdStream* stream, std::int32_t* count, const AdHandle& handle, std::int16_t code) {
    const auto kind = static_cast<std::uint8_t>((code - 320) / 10);
    if (!stream || !adStreamWrite(stream, handle.b, sizeof handle.b) || !adStreamWriteByte(stream, kind)) return false;
    ++*count;
    return true;
}

bool adDxfReadFollowingChunks(AdDrawing* drawing, AdStore** store) {
    if (adDxfReadGroup(drawing) && adDxfToken().code == 310) {
        if (adDxfReadChunks(drawing, store)) return true;
        adFatalError(AD_FATAL_NO_MEMORY);
        return false;
    }
    adStoreFree(*store);
    *store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    if (!*store) adFatalError(AD_FATAL_NO_MEMORY);
    return *store && adDxfPutBack(drawing);
}

bool adDxfWorkWrite(AdDxfEntityRead& read, int i, const double* values, std::int32_t count) {
    if (!read.work[i]) {
        read.work[i] = adStoreCreate(adDxfBlockSizeFor(read.workBytes[i] > 0 ? read.workBytes[i] : AD_STORE_BLOCK_SIZE));
        read.workStream[i] = read.work[i] ? adStreamOpenWrite(read.work[i]) : nullptr;
    }
    if (!read.workStream[i]) return false;
    return adStreamWrite(read.workStream[i], values, count * static_cast<std::int32_t>(sizeof(double))) != 0;
}

std::int16_t adDxfBlockSizeFor(std::int64_t expectedBytes) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(expectedBytes, 1, AD_STORE_BLOCK_SIZE));
}

bool adDxfNewStore(AdStore** store, AdStream** out, std::int64_t expectedBytes) {
    *store = adStoreCreate(adDxfBlockSizeFor(expectedBytes));
    *out = *store ? adStreamOpenWrite(*store) : nullptr;
    if (!*out) adFatalError(AD_FATAL_NO_MEMORY);
    return *out != nullptr;
}

void adDxfWorkClose(AdDxfEntityRead& read) {
    for (AdStream*& stream : read.workStream) {
        if (stream) adStreamCloseWrite(stream);
        stream = nullptr;
    }
}

int adDxfEntityNameSlot(std::uint16_t type, std::int16_t code) {
    switch (code) {
        case 2:
            if (type == AD_ENTITY_SHAPE) return AD_DXF_NAME_SHAPE;
            if (type == AD_ENTITY_INSERT || type == AD_ENTITY_DIMENSION) return AD_DXF_NAME_BLOCK;
            if (type == AD_ENTITY_MLINE) return AD_DXF_NAME_MLINE_STYLE;
            return -1;
        case 3:
            return type == AD_ENTITY_DIMENSION || type == AD_ENTITY_LEADER || type == AD_ENTITY_TOLERANCE
                       ? AD_DXF_NAME_DIMSTYLE
                       : -1;
        case 7:
            return type == AD_ENTITY_TEXT || type == AD_ENTITY_ATTDEF || type == AD_ENTITY_ATTRIB ||
                           type == AD_ENTITY_MTEXT
                       ? AD_DXF_NAME_TEXT_STYLE
                       : -1;
        default: return -1;
    }
}
