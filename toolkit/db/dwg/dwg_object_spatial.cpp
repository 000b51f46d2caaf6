// The clipping and index objects of AC1012 and later files: SPATIAL_FILTER
// (the clip boundary of a block reference), SPATIAL_INDEX and LAYER_INDEX.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

#include <cstring>

namespace {
constexpr std::int32_t kTransformValues = 12;
constexpr std::int32_t kRows = 3;
constexpr std::int32_t kColumns = 4;

// count items into a new store (none for 0), each read from the data and
// written by one call; a failed stream ends the walk, so the data bounds it.
bool readItems(std::int32_t count, AdStore** store, bool (*item)(AdStream* out)) {
    *store = nullptr;
    if (count < 0) return false;
    if (count == 0) return adBitUsable();
    AdStream* out = nullptr;
    if (!adDwgOpenStore(store, &out)) return false;
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count; ++i) ok = item(out) && adBitUsable();
    return adDwgCloseStore(store, out, ok) != 0;
}

// A boundary point: its two coordinates as doubles.
bool readPoint(AdStream* out) {
    double point[2] = {};
    return adBitReadRaw2D(point) && adStreamWriteDouble(out, &point[0]) && adStreamWriteDouble(out, &point[1]);
}

// The file gives each 3 by 4 matrix a row of four after another; the record
// keeps it column by column.
void readTransform(double matrix[kTransformValues]) {
    for (std::int32_t i = 0; i < kTransformValues; ++i) adBitReadDouble(&matrix[(i % kColumns) * kRows + i / kColumns]);
}

void readClip(std::int16_t* flag, double* distance) {
    *flag = adBitReadShort();
    if (*flag) adBitReadDouble(distance);
}

void readTimeStamp(AdJulianDate* date) {
    date->day = adBitReadLong();
    date->milliseconds = adBitReadLong();
}

// One entry of a layer index: its entry count, then the layer's name as a
// 16-bit length and its bytes.
bool readLayerEntry(AdStream* out) {
    const std::int32_t entries = adBitReadLong();
    char name[AD_OBJECT_SHORT_TEXT_SIZE];
    if (!adDwgReadCutText(name, sizeof name)) return false;
    const auto length = static_cast<std::int16_t>(std::strlen(name));
    return adStreamWriteLong(out, &entries) && adStreamWriteShort(out, &length) && adStreamWrite(out, name, length);
}
}  // namespace

int adDwgReadSpatialFilter(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* d = static_cast<AdSpatialFilterData*>(out);
    d->pointCount = adBitReadShort();
    if (!readItems(d->pointCount, &d->boundary, readPoint)) return 0;
    adBitRead3D(d->normal);
    adBitRead3D(d->origin);
    d->displayBoundary = adBitReadShort();
    readClip(&d->frontClip, &d->frontDistance);
    readClip(&d->backClip, &d->backDistance);
    readTransform(d->inverseTransform);
    readTransform(d->clipTransform);
    return adDwgReadObjectHandles(drawing, header);
}

int adDwgReadSpatialIndex(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* d = static_cast<AdSpatialIndexData*>(out);
    readTimeStamp(&d->timeStamp);
    for (double& extent : d->extents) adBitReadDouble(&extent);
    d->byteCount = adBitReadLong();
    if (!adBitUsable() || !adDwgReadByteStore(d->byteCount, &d->bytes)) return 0;
    d->flag = adBitReadLong();
    if (!adBitUsable() || !adDwgReadRemainingBits(&d->remaining, &d->remainingBits)) return 0;
    return adDwgReadObjectHandles(drawing, header);
}

int adDwgReadLayerIndex(AdDrawing* drawing, AdObjectHeader* header, void* out) {
    auto* d = static_cast<AdLayerIndexData*>(out);
    readTimeStamp(&d->timeStamp);
    d->entryCount = adBitReadLong();
    return readItems(d->entryCount, &d->names, readLayerEntry) && adDwgReadObjectHandles(drawing, header) &&
           adDwgReadHandleStore(&header->handle, d->entryCount, &d->handles);
}
