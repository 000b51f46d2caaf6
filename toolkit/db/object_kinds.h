// The kinds of object data, how each is laid out, and where a stored object
// record keeps its parts.
#pragma once
#include "toolkit/ad.h"

enum AdObjectKind : std::int32_t {
    AD_OBJECT_KIND_DICTIONARY,
    AD_OBJECT_KIND_MLINESTYLE,
    AD_OBJECT_KIND_GROUP,
    AD_OBJECT_KIND_XRECORD,
    AD_OBJECT_KIND_DIMASSOC,
    AD_OBJECT_KIND_IDBUFFER,
    AD_OBJECT_KIND_DICTIONARYVAR,
    AD_OBJECT_KIND_IMAGEDEF,
    AD_OBJECT_KIND_IMAGEDEF_REACTOR,
    AD_OBJECT_KIND_LAYER_INDEX,
    AD_OBJECT_KIND_OBJECT_PTR,
    AD_OBJECT_KIND_RASTERVARIABLES,
    AD_OBJECT_KIND_SORTENTSTABLE,
    AD_OBJECT_KIND_SPATIAL_FILTER,
    AD_OBJECT_KIND_SPATIAL_INDEX,
    AD_OBJECT_KIND_ACDBDICTIONARYWDFLT,
    AD_OBJECT_KIND_ACDBPLACEHOLDER,
    AD_OBJECT_KIND_LAYOUT,
    AD_OBJECT_KIND_PLOTSETTINGS,
    AD_OBJECT_KIND_VBA_PROJECT,
    AD_OBJECT_KIND_WIPEOUTVARIABLES,
    AD_OBJECT_KIND_PROXY,
    AD_OBJECT_KIND_COUNT
};

constexpr int AD_OBJECT_STORE_SLOTS = 2;

struct AdObjectTextField {
    std::size_t offset;
    std::size_t size;  // 0 ends the list
};

struct AdObjectKindDesc {
    std::int16_t fixedType;  // the type code of a fixed type, else 0
    std::int32_t classSlot;  // AdClassSlot of a class-numbered kind, else -1
    std::size_t dataSize;
    std::int32_t storeOffsets[AD_OBJECT_STORE_SLOTS];  // AdStore* fields; -1 none
    const AdObjectTextField* texts;                    // null, or a list ended by a zero size
};

extern const AdObjectKindDesc adObjectKinds[AD_OBJECT_KIND_COUNT];

// The kind of a type code in this drawing: a fixed type, the kind whose
// class slot holds the number, else a proxy object.
AdObjectKind adObjectKindOf(const AdDrawing* drawing, std::int16_t type);

// Frees the header's stores and those the data of the kind owns, and clears
// their pointers; 0 when a store could not be freed.
int adObjectFreeStores(AdObjectKind kind, AdObjectHeader* header, void* data);

// A stored object record: the links, the kind its data was stored as (which
// fixes its size even if the drawing's class numbers change later), the
// header, then the data from the next 8-byte boundary.
struct AdStoredObject {
    std::int32_t kind;
    AdObjectHeader header;
};

constexpr std::size_t AD_OBJECT_DATA_OFFSET = (AD_LIST_LINKS_SIZE + sizeof(AdStoredObject) + 7) & ~std::size_t{7};
constexpr std::size_t AD_OBJECT_MAX_RECORD = AD_OBJECT_DATA_OFFSET + sizeof(AdObjectData);

inline AdRecordList* adObjectList(const AdDrawing* drawing) { return drawing ? drawing->objects : nullptr; }

// The record the handle index gives for a handle while the drawing has an
// object list; it may lie in another list.
AdListRecord* adObjectIndexed(AdDrawing* drawing, const AdHandle* handle);

// The stored kind, header and data of a record; 0 when the stored kind is
// out of range.
int adObjectReadStored(AdListRecord* record, AdObjectKind* kind, AdObjectHeader* header, void* data);
