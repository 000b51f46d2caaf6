// Adding, updating and deleting objects.
#include "toolkit/db/object_kinds.h"

#include <cstddef>
#include <cstring>

namespace {

// The record image of an object: the links part zero, the stored kind and
// header, then the data with its texts cut to their fields. Answers its
// length.
std::size_t buildImage(AdObjectKind kind, const AdObjectHeader* header, const void* data, std::uint8_t* image) {
    const AdObjectKindDesc& desc = adObjectKinds[kind];
    AdStoredObject stored;
    std::memset(static_cast<void*>(&stored), 0, sizeof stored);
    stored.kind = kind;
    stored.header = *header;
    std::memset(image, 0, AD_OBJECT_DATA_OFFSET);
    HostMemMove(image + AD_LIST_LINKS_SIZE, &stored, sizeof stored);
    std::uint8_t* bytes = image + AD_OBJECT_DATA_OFFSET;
    HostMemMove(bytes, data, desc.dataSize);
    for (const AdObjectTextField* text = desc.texts; text && text->size != 0; ++text)
        bytes[text->offset + text->size - 1] = '\0';
    return AD_OBJECT_DATA_OFFSET + desc.dataSize;
}

// The record the index gives for a handle, when it lies in the object list.
AdListRecord* findObject(AdDrawing* drawing, const AdHandle* handle) {
    AdListRecord* record = adObjectIndexed(drawing, handle);
    if (!record) return nullptr;
    AdListRecord links;
    HostMemMove(&links, record, sizeof links);
    return links.list == adObjectList(drawing) ? record : nullptr;
}

constexpr std::int32_t kClassFlagTopBit = 0x8000;

void clearClassTopBit(AdDrawing* drawing, std::int16_t number) {
    char name[AD_TABLE_NAME_SIZE];
    AdClassRecord record;
    if (!adClassNameByNumber(drawing, number, name) || !adClassByName(drawing, name, &record)) return;
    if ((record.proxyFlags & kClassFlagTopBit) == 0) return;
    record.proxyFlags &= ~kClassFlagTopBit;
    adClassUpdate(drawing, &record);
}

}  // namespace

int adObjectAdd(AdDrawing* drawing, const AdObjectHeader* header, const void* data) {
    AdRecordList* list = adObjectList(drawing);
    if (!list || !header || !data) return 0;
    const AdObjectKind kind = adObjectKindOf(drawing, header->type);
    alignas(std::max_align_t) std::uint8_t image[AD_OBJECT_MAX_RECORD];
    const std::size_t length = buildImage(kind, header, data, image);
    if (!adListInsertKeyed(&header->handle, drawing, image, length, list, AD_LIST_AT_END, nullptr)) return 0;
    // Only once the object is stored, so that a refused add changes nothing.
    if (adObjectKinds[kind].classSlot >= 0) clearClassTopBit(drawing, header->type);
    return 1;
}

int adObjectUpdate(AdDrawing* drawing, const AdObjectHeader* header, const void* data) {
    AdListRecord* record = header && data ? findObject(drawing, &header->handle) : nullptr;
    if (!record) return 0;
    AdStoredObject stored;
    HostMemMove(&stored, adListRecordData(record), sizeof stored);
    // The stored kind fixes the record's size: data of another kind would not
    // fit it, even under the same type code once class numbers changed.
    const AdObjectKind kind = adObjectKindOf(drawing, header->type);
    if (stored.header.type != header->type || stored.kind != kind) {
        adSetError(AD_ERR_OBJECT_TYPE);
        return 0;
    }
    alignas(std::max_align_t) std::uint8_t image[AD_OBJECT_MAX_RECORD];
    const std::size_t length = buildImage(kind, header, data, image);
    HostMemMove(adListRecordData(record), image + AD_LIST_LINKS_SIZE, length - AD_LIST_LINKS_SIZE);
    return 1;
}

int adObjectDelete(AdDrawing* drawing, const AdHandle* handle) {
    adClearError();
    AdRecordList* list = adObjectList(drawing);
    AdListRecord* record = adObjectIndexed(drawing, handle);
    if (!record) {
        adSetError(AD_ERR_OBJECT_NOT_FOUND);
        return 0;
    }
    AdObjectKind kind;
    AdObjectHeader header;
    AdObjectData data;
    if (adListSetCurrent(list, record) != 0 || !adListCurrent(list) ||
        !adObjectReadStored(record, &kind, &header, &data)) {
        adSetError(AD_ERR_OBJECT_NOT_CURRENT);
        return 0;
    }
    // The index entry goes first so that no lookup can reach a freed record;
    // when the index cannot work (209), nothing is changed.
    if (adHandleIndexDelete(drawing, handle) != 1) return 0;
    if (!adListUnlink(list, record)) {
        adSetError(AD_ERR_OBJECT_UNLINK);
        return 0;
    }
    adObjectFreeStores(kind, &header, &data);
    if (!HostFree(record)) {
        adSetError(AD_ERR_OBJECT_FREE);
        return 0;
    }
    return 1;
}
