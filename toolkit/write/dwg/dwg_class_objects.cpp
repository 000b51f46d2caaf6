// Objects of class-numbered types in a bit-coded DWG file: the type each is
// written under, the small kinds field by field, and the objects of classes
// this writer does not know, written back from what the reader kept.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/object_kinds.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr std::int16_t kXrecordAc1015 = 79;
constexpr std::int16_t kProxyObject = 499;
constexpr std::int32_t kProxyFormat = 0x60017;
constexpr char kRoundTripMark[] = "AcadProxyRoundTripData";

// The handles of a store, as many as it holds up to count.
std::vector<AdHandle> storedHandles(AdStore* store, std::int32_t count) {
    std::vector<AdHandle> handles;
    AdStream* in = store && count > 0 ? adStreamOpenRead(store) : nullptr;
    AdHandle handle{};
    for (std::int32_t i = 0; in && i < count && adStreamReadHandle(in, &handle); ++i) handles.push_back(handle);
    if (in) adStreamCloseRead(in);
    return handles;
}

std::vector<AdNameRecord> storedEntries(AdStore* store, std::int32_t count) {
    std::vector<AdNameRecord> entries;
    AdStream* in = store && count > 0 ? adStreamOpenRead(store) : nullptr;
    AdNameRecord entry{};
    for (std::int32_t i = 0; in && i < count && adStreamReadNameRecord(in, &entry); ++i) {
        entry.name[sizeof entry.name - 1] = '\0';
        entries.push_back(entry);
    }
    if (in) adStreamCloseRead(in);
    return entries;
}

// Whole bytes of a store, at most what it holds.
std::int32_t storedBytes(AdStore* store, std::int32_t count) {
    const std::int32_t held = store ? adStoreSize(store) : 0;
    return count <= 0 ? 0 : count < held ? count : held;
}

int end(AdDwgWriter* writer, const AdObjectHeader* header, const AdHandle* owner) {
    return adDwgWriteObjectTail(writer, header, owner) && adDwgRecordEnd(writer, &header->handle);
}

// The proxied type and version of a proxy's round-trip data: under the
// application "ACAD", the mark text and two 1071 values.
bool roundTripOf(AdDwgWriter* writer, const AdObjectHeader* header, std::int32_t* type, std::int32_t* version) {
    AdStream* in = header->xdata ? adStreamOpenRead(header->xdata) : nullptr;
    if (!in) return false;
    auto item = std::make_unique<AdXdataItem>();
    auto appid = std::make_unique<AdAppidRecord>();
    bool acad = false;
    int step = 0;  // 1 after the mark, 2 after the proxied type
    bool found = false;
    while (!found && adXdataReadItem(in, item.get())) {
        if (item->code == 1001) {
            acad = adAppidByHandle(writer->source, &item->value.handle, appid.get()) &&
                   std::strcmp(appid->name, "ACAD") == 0;
            step = 0;
        } else if (acad && item->code == 1000) {
            item->value.text[sizeof item->value.text - 1] = '\0';
            step = std::strcmp(item->value.text, kRoundTripMark) == 0 ? 1 : 0;
        } else if (acad && item->code == 1071 && step == 1) {
            *type = item->value.int32;
            step = 2;
        } else if (acad && item->code == 1071 && step == 2) {
            *version = item->value.int32;
            found = true;
        } else {
            step = 0;
        }
    }
    adStreamCloseRead(in);
    return found;
}

int writeXrecord(AdDwgWriter* writer, const AdXrecordData& x) {
    const std::int32_t bytes = storedBytes(x.items, x.dataBits / 8);
    adBitWriteLong(bytes);
    if (!adDwgCopyBits(x.items, bytes * 8)) return 0;
    if (adDwgWritesAc1015(writer)) adBitWriteShort(x.cloning);
    return 1;
}

int writeIdBuffer(AdDwgWriter* writer, const AdObjectHeader* header, const AdIdBufferData& b, const AdHandle* owner) {
    const std::vector<AdHandle> handles = storedHandles(b.handles, b.count);
    adBitWriteByte(0);
    adBitWriteLong(static_cast<std::int32_t>(handles.size()));
    if (!adDwgWriteObjectTail(writer, header, owner)) return 0;
    for (const AdHandle& h : handles) adBitWriteHandle(&h, AD_REF_SOFT_POINTER);
    return adDwgRecordEnd(writer, &header->handle);
}

int writeImageDefReactor(AdDwgWriter* writer, const AdObjectHeader* header, const AdImageDefReactorData& r) {
    adBitWriteLong(r.classVersion);
    const std::vector<AdHandle> image = storedHandles(r.image, 1);
    // The reactor belongs to its image, whatever else names it.
    const AdHandle owner = image.empty() ? header->owner : image[0];
    return end(writer, header, &owner);
}

int writeSortentsTable(AdDwgWriter* writer, const AdObjectHeader* header, const AdSortentsTableData& t,
                       const AdHandle* owner) {
    const std::vector<AdHandle> sorts = storedHandles(t.sortHandles, t.count);
    const std::vector<AdHandle> entities = storedHandles(t.entityHandles, t.count);
    const std::size_t n = sorts.size() < entities.size() ? sorts.size() : entities.size();
    adBitWriteLong(static_cast<std::int32_t>(n));
    for (std::size_t i = 0; i < n; ++i) adBitWriteHandle(&sorts[i], 0);
    if (!adDwgWriteObjectTail(writer, header, owner)) return 0;
    adBitWriteHandle(&t.block, AD_REF_SOFT_POINTER);
    for (std::size_t i = 0; i < n; ++i) adBitWriteHandle(&entities[i], AD_REF_SOFT_POINTER);
    return adDwgRecordEnd(writer, &header->handle);
}

int writeDictionaryWithDefault(AdDwgWriter* writer, const AdObjectHeader* header,
                               const AdDictionaryWithDefaultData& d, const AdHandle* owner) {
    const std::vector<AdNameRecord> entries = storedEntries(d.entries, d.entryCount);
    adBitWriteLong(static_cast<std::int32_t>(entries.size()));
    adBitWriteShort(d.cloning);
    adBitWriteByte(0);
    for (const AdNameRecord& entry : entries) adBitWriteText(entry.name);
    if (!adDwgWriteObjectTail(writer, header, owner)) return 0;
    for (const AdNameRecord& entry : entries) adBitWriteHandle(&entry.handle, AD_REF_SOFT_OWNER);
    adBitWriteHandle(&d.defaultEntry, AD_REF_HARD_POINTER);
    return adDwgRecordEnd(writer, &header->handle);
}

int writeVbaProject(const AdVbaProjectData& v) {
    const std::int32_t bytes = storedBytes(v.data, v.size);
    adBitWriteLong(bytes);
    return adDwgCopyBits(v.data, bytes * 8);
}

// Objects of classes without a writer of their own; the class id and format
// word of a proxy object first, unless it goes back to the type it stands for.
int writeProxy(AdDwgWriter* writer, const AdObjectHeader* header, const AdProxyObjectData& p, const AdHandle* owner,
               bool ownType) {
    if (adDwgIsProxyObject(writer->source, header->type) && !ownType) {
        if (adDwgWritesAc1015(writer)) {
            adBitWriteLong(p.classId);
            adBitWriteLong(p.instanceCount ? p.instanceCount : kProxyFormat);
            adBitWriteBit(1);
        } else {
            adBitWriteLong(kProxyObject);
            adBitWriteLong(p.classId);
        }
    }
    if (!adDwgCopyBits(p.data, p.dataBits) || !adDwgWriteObjectTail(writer, header, owner)) return 0;
    return adDwgWriteHandleRefs(p.references, p.referenceCount) && adDwgRecordEnd(writer, &header->handle);
}

// The data of the kinds whose handles are the common tail alone.
int writeTailedKind(AdDwgWriter* writer, AdObjectKind kind, const AdObjectData* data) {
    switch (kind) {
    case AD_OBJECT_KIND_XRECORD: return writeXrecord(writer, data->xrecord);
    case AD_OBJECT_KIND_DICTIONARYVAR:
        adBitWriteByte(static_cast<std::uint8_t>(data->dictionaryVar.schema));
        adBitWriteText(data->dictionaryVar.value);
        return 1;
    case AD_OBJECT_KIND_OBJECT_PTR: return adDwgCopyBits(data->objectPtr.data, data->objectPtr.dataBits);
    case AD_OBJECT_KIND_RASTERVARIABLES:
        adBitWriteLong(data->rasterVariables.classVersion);
        adBitWriteShort(data->rasterVariables.displayFrame);
        adBitWriteShort(data->rasterVariables.displayQuality);
        adBitWriteShort(data->rasterVariables.units);
        return 1;
    case AD_OBJECT_KIND_IMAGEDEF: {
        const AdImageDefData& d = data->imageDef;
        adBitWriteLong(d.classVersion);
        adBitWriteRaw2D(d.imageSize);
        adBitWriteText(d.filePath);
        adBitWriteBit(d.loaded != 0);
        adBitWriteByte(d.resolutionUnits);
        adBitWriteRaw2D(d.pixelSize);
        return 1;
    }
    case AD_OBJECT_KIND_PLOTSETTINGS: return adDwgWritePlotSettingsData(data->plotSettings);
    case AD_OBJECT_KIND_VBA_PROJECT: return writeVbaProject(data->vbaProject);
    case AD_OBJECT_KIND_WIPEOUTVARIABLES: adBitWriteShort(data->wipeoutVariables.displayFrame); return 1;
    case AD_OBJECT_KIND_ACDBPLACEHOLDER: return 1;
    default: return 0;
    }
}
}  // namespace

std::int16_t adRoundTripVersionIndex(std::int32_t value) {
    if (value < 9) return AD_VERSION_AC1002;
    if (value == 9 || value == 12 || value == 13) return AD_VERSION_AC1006;
    if (value == 10) return AD_VERSION_AC1003;
    if (value == 11) return AD_VERSION_AC1004;
    if (value <= 16) return AD_VERSION_AC1009;
    if (value <= 19) return AD_VERSION_AC1012;
    if (value <= 21) return AD_VERSION_AC1014;
    return AD_VERSION_AC1015;
}

bool adDwgIsProxyObject(const AdDrawing* source, std::int16_t type) {
    // The DXF reader keeps proxy objects under a type of its own below the
    // class numbers; a file knows them as 499 alone.
    return type == kProxyObject || (type < AD_FIRST_CLASS_NUMBER && type != AD_OBJECT_DICTIONARY &&
                                    type != AD_OBJECT_MLINESTYLE && type != AD_OBJECT_GROUP &&
                                    adObjectKindOf(source, type) == AD_OBJECT_KIND_PROXY);
}

std::int16_t adDwgObjectType(AdDwgWriter* writer, const AdObjectHeader* header, bool* withXdata) {
    *withXdata = true;
    if (adDwgIsProxyObject(writer->source, header->type)) {
        std::int32_t proxied = 0;
        std::int32_t version = 0;
        if (roundTripOf(writer, header, &proxied, &version) && adRoundTripVersionIndex(version) == writer->version &&
            proxied > 0 && proxied <= INT16_MAX) {
            *withXdata = false;
            return static_cast<std::int16_t>(proxied);
        }
        return writer->version == AD_VERSION_AC1012 ? writer->zombieObjectClass : kProxyObject;
    }
    if (adDwgWritesAc1015(writer) && header->type == adClassNumXrecord(writer->source)) return kXrecordAc1015;
    return header->type;
}

int adDwgWriteObject(AdDwgWriter* writer, const AdObjectHeader* header, const AdObjectData* data,
                     const AdHandle* owner) {
    bool withXdata = true;
    const std::int16_t type = adDwgObjectType(writer, header, &withXdata);
    // A proxy that goes back to its own type keeps that type's data as its
    // stored bits: it is written as the proxy kind all the same.
    const AdObjectKind kind = adObjectKindOf(writer->source, header->type);
    if (!adDwgObjectBegin(writer, type, header, withXdata ? header->xdata : nullptr)) return 0;
    switch (kind) {
    case AD_OBJECT_KIND_DIMASSOC: return adDwgWriteDimAssoc(writer, header, data->dimAssoc, owner);
    case AD_OBJECT_KIND_IDBUFFER: return writeIdBuffer(writer, header, data->idBuffer, owner);
    case AD_OBJECT_KIND_IMAGEDEF_REACTOR: return writeImageDefReactor(writer, header, data->imageDefReactor);
    case AD_OBJECT_KIND_LAYER_INDEX: return adDwgWriteLayerIndex(writer, header, data->layerIndex, owner);
    case AD_OBJECT_KIND_SORTENTSTABLE: return writeSortentsTable(writer, header, data->sortentsTable, owner);
    case AD_OBJECT_KIND_SPATIAL_FILTER: return adDwgWriteSpatialFilter(writer, header, data->spatialFilter, owner);
    case AD_OBJECT_KIND_SPATIAL_INDEX: return adDwgWriteSpatialIndex(writer, header, data->spatialIndex, owner);
    case AD_OBJECT_KIND_ACDBDICTIONARYWDFLT:
        return writeDictionaryWithDefault(writer, header, data->dictionaryWithDefault, owner);
    case AD_OBJECT_KIND_LAYOUT: return adDwgWriteLayout(writer, header, data->layout, owner);
    case AD_OBJECT_KIND_PROXY: return writeProxy(writer, header, data->proxy, owner, !withXdata);
    default: return writeTailedKind(writer, kind, data) && end(writer, header, owner);
    }
}
