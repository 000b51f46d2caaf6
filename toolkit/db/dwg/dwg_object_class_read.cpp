// Objects of registered classes in AC1012 and later files: the known
// classes are taken apart, every other class is kept as its data and handles.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstdint>
#include <initializer_list>
#include <iterator>

namespace {
constexpr std::int16_t kXrecordAc1015 = 79;
constexpr std::int16_t kProxyObject = 499;

int readXrecord(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdXrecordData*>(out);
    const std::int32_t size = adBitReadLong();
    if (!adDwgReadByteStore(size, &data->items)) return 0;
    data->dataBits = size * 8;
    data->cloning = drawing->version >= AD_DWG_AC1015 ? adBitReadShort() : 0;
    return adDwgReadObjectHandles(drawing, header);
}

int readIdBuffer(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdIdBufferData*>(out);
    adBitReadByte();
    data->count = adBitReadLong();
    return data->count >= 0 && adDwgReadObjectHandles(drawing, header) &&
           adDwgReadHandleStore(&header->handle, data->count, &data->handles);
}

int readDictionaryVar(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdDictionaryVarData*>(out);
    data->schema = adBitReadByte();
    adDwgReadCutText(data->value, AD_OBJECT_SHORT_TEXT_SIZE);
    return adDwgReadObjectHandles(drawing, header);
}

int readRasterVariables(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdRasterVariablesData*>(out);
    data->classVersion = adBitReadLong();
    data->displayFrame = adBitReadShort();
    data->displayQuality = adBitReadShort();
    data->units = adBitReadShort();
    return adDwgReadObjectHandles(drawing, header);
}

int readWipeoutVariables(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    static_cast<AdWipeoutVariablesData*>(out)->displayFrame = adBitReadShort();
    return adDwgReadObjectHandles(drawing, header);
}

int readImageDef(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdImageDefData*>(out);
    data->classVersion = adBitReadLong();
    adBitReadRaw2D(data->imageSize);
    adDwgReadCutText(data->filePath, AD_OBJECT_NAME_SIZE);
    data->loaded = static_cast<std::uint8_t>(adBitReadBit());
    data->resolutionUnits = adBitReadByte();
    adBitReadRaw2D(data->pixelSize);
    return adDwgReadObjectHandles(drawing, header);
}

int readPlotSettings(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    return adDwgReadPlotSettings(static_cast<AdPlotSettingsData*>(out)) && adDwgReadObjectHandles(drawing, header);
}

int readLayout(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdLayoutData*>(out);
    if (!adDwgReadPlotSettings(&data->plotSettings)) return 0;
    adDwgReadCutText(data->name, AD_OBJECT_NAME_SIZE);
    data->tabOrder = adBitReadShort();
    data->flags = adBitReadShort();
    adBitRead3D(data->ucsOrigin);
    adBitReadRaw2D(data->limitsMin);
    adBitReadRaw2D(data->limitsMax);
    adBitRead3D(data->insertionBase);
    adBitRead3D(data->ucsXAxis);
    adBitRead3D(data->ucsYAxis);
    adBitReadDouble(&data->elevation);
    data->orthographicType = adBitReadShort();
    adBitRead3D(data->extentsMin);
    adBitRead3D(data->extentsMax);
    if (!adDwgReadObjectHandles(drawing, header)) return 0;
    for (AdHandle* h : {&data->paperSpaceBlock, &data->lastActiveViewport, &data->baseUcs, &data->namedUcs})
        adBitReadRelHandle(&header->handle, h);
    return adBitUsable() ? 1 : 0;
}

int readDictionaryWithDefault(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdDictionaryWithDefaultData*>(out);
    data->entryCount = adBitReadLong();
    data->cloning = adBitReadShort();
    adBitReadByte();
    if (!adDwgReadNamedEntries(drawing, header, data->entryCount, &data->entries)) return 0;
    adBitReadRelHandle(&header->handle, &data->defaultEntry);
    return adBitUsable() ? 1 : 0;
}

int readSortentsTable(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdSortentsTableData*>(out);
    data->count = adBitReadLong();
    if (data->count < 0 || !adDwgReadHandleStore(&header->handle, data->count, &data->sortHandles) ||
        !adDwgReadObjectHandles(drawing, header))
        return 0;
    adBitReadRelHandle(&header->handle, &data->block);
    return adDwgReadHandleStore(&header->handle, data->count, &data->entityHandles);
}

// The reactor keeps its owner, the image, in a store of its own.
int readImageDefReactor(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdImageDefReactorData*>(out);
    data->classVersion = adBitReadLong();
    return adDwgToHandles(drawing) && adDwgReadHandleStore(&header->handle, 1, &data->image);
}

// Only the handles; the owner and extension dictionary are not kept.
int readPlaceholder(AdDrawing* drawing, AdObjectHeader* header, void*) {
    const int ok = adDwgReadObjectHandles(drawing, header);
    header->extensionDictionary = AdHandle{};
    return ok;
}

int readVbaProject(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdVbaProjectData*>(out);
    data->size = adBitReadLong();
    return adDwgReadByteStore(data->size, &data->data) && readPlaceholder(drawing, header, nullptr);
}

int readObjectPtr(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdObjectPtrData*>(out);
    return adDwgReadRemainingBits(&data->data, &data->dataBits) && adDwgReadObjectHandles(drawing, header);
}

// Objects of classes not taken apart here keep their data bits and, unless
// the data fills the object, the handles after them. A proxy object that
// says it holds an object of a class read here in that class's own form is
// read as that class.
int readProxy(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* data = static_cast<AdProxyObjectData*>(out);
    if (header->type == kProxyObject) {
        if (drawing->version >= AD_DWG_AC1015) {
            data->classId = adBitReadLong();
            data->instanceCount = adBitReadLong();
            data->formatFlag = static_cast<std::int16_t>(adBitReadBit());
        } else {
            adBitReadLong();
            data->classId = adBitReadLong();
            data->formatFlag = 1;
        }
        if (!adBitUsable()) return 0;
        if (data->formatFlag == 0 && data->classId >= AD_FIRST_CLASS_NUMBER && data->classId <= INT16_MAX &&
            adDwgIsObjectClass(drawing, static_cast<std::int16_t>(data->classId))) {
            header->type = static_cast<std::int16_t>(data->classId);
            *data = AdProxyObjectData{};
            return adDwgReadClassData(drawing, header, out);
        }
    }
    if (!adDwgReadRemainingBits(&data->data, &data->dataBits)) return 0;
    const AdBitStream* bs = adBitCurrent();
    if (bs->pieceIndex + 1 >= bs->pieceCount && bs->bytesLeft < 4) {
        header->reactorCount = 0;
        return 1;
    }
    return adDwgReadObjectHandles(drawing, header) && adDwgReadHandleRefs(&data->references, &data->referenceCount);
}

using ClassReader = int (*)(AdDrawing* drawing, AdObjectHeader* header, void* data);

struct KnownClass {
    AdClassSlot slot;
    ClassReader read;
};

const KnownClass kClasses[] = {
    {AD_CLASS_XRECORD, readXrecord},
    {AD_CLASS_IDBUFFER, readIdBuffer},
    {AD_CLASS_DICTIONARYVAR, readDictionaryVar},
    {AD_CLASS_IMAGEDEF, readImageDef},
    {AD_CLASS_IMAGEDEF_REACTOR, readImageDefReactor},
    {AD_CLASS_RASTERVARIABLES, readRasterVariables},
    {AD_CLASS_SPATIAL_FILTER, adDwgReadSpatialFilter},
    {AD_CLASS_SORTENTSTABLE, readSortentsTable},
    {AD_CLASS_LAYER_INDEX, adDwgReadLayerIndex},
    {AD_CLASS_SPATIAL_INDEX, adDwgReadSpatialIndex},
    {AD_CLASS_OBJECT_PTR, readObjectPtr},
    {AD_CLASS_ACDBDICTIONARYWDFLT, readDictionaryWithDefault},
    {AD_CLASS_ACDBPLACEHOLDER, readPlaceholder},
    {AD_CLASS_LAYOUT, readLayout},
    {AD_CLASS_VBA_PROJECT, readVbaProject},
    {AD_CLASS_WIPEOUTVARIABLES, readWipeoutVariables},
    {AD_CLASS_PLOTSETTINGS, readPlotSettings},
    {AD_CLASS_DIMASSOC, adDwgReadDimAssoc},
};
static_assert(std::size(kClasses) == AD_CLASS_SLOT_COUNT - AD_CLASS_XRECORD, "a reader for every object class");

// The reader of the type: a known class's own, the proxy reader for every
// other type.
ClassReader readerOf(const AdDrawing* drawing, std::int16_t type) {
    for (const KnownClass& known : kClasses)
        if (drawing->classNumbers[known.slot] == type) return known.read;
    return readProxy;
}
}  // namespace

int adDwgReadClassData(AdDrawing* drawing, AdObjectHeader* header, void* data) {
    return readerOf(drawing, header->type)(drawing, header, data) && adBitUsable() ? 1 : 0;
}

int adDwgReadClassObject(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag) {
    header->xdata = nullptr;
    header->reactors = nullptr;
    header->reactorCount = 0;
    header->owner = AdHandle{};
    header->extensionDictionary = AdHandle{};
    AdStore* graphics = nullptr;
    std::int16_t type = adDwgReadObjectStart(drawing, &header->handle, xdataFlag, 0, &graphics);
    if (type == 0) return 0;
    if (drawing->version >= AD_DWG_AC1015 && type == kXrecordAc1015) type = adClassNumXrecord(drawing);
    header->type = type;
    header->reactorCount = adBitCurrent()->reactorCount;
    if (adDwgReadClassData(drawing, header, data)) return 1;
    adObjectFreeData(drawing, header, data);
    return 0;
}
