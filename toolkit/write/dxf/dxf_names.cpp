// The names of the table records that entities and the header refer to by
// handle, as a DXF file spells them.
#include "toolkit/write/dxf/dxf_entities.h"

#include <cstring>
#include <memory>

namespace {
void copyName(char* out, const char* name) {
    std::strncpy(out, name, AD_TABLE_NAME_SIZE - 1);
    out[AD_TABLE_NAME_SIZE - 1] = '\0';
}

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

int fail(std::int32_t error) {
    adSetError(error);
    return 0;
}
}  // namespace

bool adDxfIsPaperSpaceName(const char* name) { return adStrCompareNoCaseN(name, "*PAPER_SPACE", 12) == 0; }

void adDxfRenumberBlockName(const char* name, std::int32_t position, char* out) {
    copyName(out, name);
    if (name[0] != '*' || adDxfIsPaperSpaceName(name) || std::strlen(name) < 2) return;
    std::snprintf(out + 2, AD_TABLE_NAME_SIZE - 2, "%d", static_cast<int>(position));
}

int adDxfLtypeName(AdDrawing* source, const AdHandle* handle, char* name) {
    if (sameHandle(*handle, source->byLayerLtype)) {
        copyName(name, "ByLayer");
        return 1;
    }
    if (sameHandle(*handle, source->byBlockLtype)) {
        copyName(name, "ByBlock");
        return 1;
    }
    auto record = std::make_unique<AdLtypeRecord>();
    copyName(name, adLtypeByHandle(source, handle, record.get()) ? record->name : "ByLayer");
    return 1;
}

int adDxfLayerName(AdDrawing* source, const AdHandle* handle, char* name) {
    auto record = std::make_unique<AdLayerRecord>();
    if (!adLayerByHandle(source, handle, record.get())) return fail(AD_ERR_LAYER_INDEX);
    copyName(name, record->name);
    return 1;
}

int adDxfStyleName(AdDrawing* source, const AdHandle* handle, char* name) {
    auto record = std::make_unique<AdStyleRecord>();
    if (!adStyleByHandle(source, handle, record.get())) return fail(AD_ERR_STYLE_INDEX);
    copyName(name, record->name);
    return 1;
}

int adDxfBlockName(AdDrawing* source, const AdHandle* handle, char* name) {
    auto record = std::make_unique<AdBlockHeader>();
    std::int16_t position = 0;
    if (!adBlockByHandle(source, handle, record.get()) || !adBlockHandleToIndex(source, handle, &position))
        return fail(AD_ERR_BLOCK_INDEX);
    adDxfRenumberBlockName(record->name, position, name);
    return 1;
}

int adDxfDimStyleName(AdDrawing* source, const AdHandle* handle, char* name) {
    if (adHandleLength(handle) == 0) {
        copyName(name, "*UNNAMED");
        return 1;
    }
    auto record = std::make_unique<AdDimStyleRecord>();
    if (!adDimStyleByHandle(source, handle, record.get())) return fail(AD_ERR_DIMSTYLE_INDEX);
    copyName(name, record->name);
    return 1;
}

int adDxfMlineStyleName(AdDrawing* source, AdHandle* handle, char* name) {
    AdObjectHeader header{};
    auto data = std::make_unique<AdObjectData>();
    bool haveDefault = false;
    AdHandle first{};
    adObjectRewind(source);
    while (adObjectNext(source, &header, data.get())) {
        if (header.type != AD_OBJECT_MLINESTYLE) continue;
        if (sameHandle(header.handle, *handle)) {
            copyName(name, data->mlineStyle.name);
            return 2;
        }
        if (!haveDefault) {
            haveDefault = true;
            first = header.handle;
            copyName(name, data->mlineStyle.name);
        }
    }
    if (!haveDefault) return 0;
    *handle = first;
    return 1;
}
