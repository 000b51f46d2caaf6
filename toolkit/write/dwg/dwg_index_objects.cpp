// The objects that tie geometry together in a bit-coded DWG file: DIMASSOC
// (which geometry a dimension's points follow), LAYER_INDEX, SPATIAL_FILTER
// (a block reference's clip) and SPATIAL_INDEX.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"

#include <vector>

namespace {
constexpr std::uint8_t kSnapIntersection = 6;
constexpr std::uint8_t kSnapApparentIntersection = 11;
constexpr std::int32_t kTransformValues = 12;
constexpr std::int32_t kRows = 3;
constexpr std::int32_t kColumns = 4;

void writeHexHandle(const AdHandle& handle) {
    char text[AD_HANDLE_HEX_SIZE];
    adHandleToHex(&handle, text, sizeof text);
    adBitWriteText(text);
}

void writeReference(const AdDimAssocReference& r) {
    adBitWriteText(r.className);
    adBitWriteByte(r.snapType);
    adBitWriteLong(r.mainObjectFlag);
    if (r.mainObjectFlag) {
        adBitWriteLong(r.subentityType);
        adBitWriteLong(r.subentityValue);
        const std::int16_t count = r.pathCount < AD_DIMASSOC_PATH_SIZE ? r.pathCount : AD_DIMASSOC_PATH_SIZE;
        adBitWriteLong(count > 0 ? count : 0);
        for (std::int16_t i = 0; i < count; ++i) writeHexHandle(r.path[i]);
    }
    adBitWriteDouble(r.parameter);
    adBitWrite3D(r.point);
    if (r.snapType == kSnapIntersection || r.snapType == kSnapApparentIntersection) {
        adBitWriteLong(r.intersectionFlag);
        for (std::int32_t value : r.intersectionValues) adBitWriteLong(value);
        if (r.intersectionValues[2] != 0) writeHexHandle(r.intersectionHandle);
    }
    adBitWriteBit(r.hasLastReference != 0);
}

// The file gives a 3 by 4 matrix row by row; the record keeps it column by column.
void writeTransform(const double matrix[kTransformValues]) {
    for (std::int32_t i = 0; i < kTransformValues; ++i) adBitWriteDouble(matrix[(i % kColumns) * kRows + i / kColumns]);
}

void writeClip(std::int16_t flag, double distance) {
    adBitWriteShort(flag);
    if (flag) adBitWriteDouble(distance);
}
}  // namespace

int adDwgWriteDimAssoc(AdDwgWriter* writer, const AdObjectHeader* header, const AdDimAssocData& d,
                       const AdHandle* owner) {
    // The reader takes one reference per low flag bit and one more after
    // each that says so: the references are walked that way, and flag bits
    // the record holds no reference for are cleared.
    const std::int16_t count = d.referenceCount < 0 ? 0
                               : d.referenceCount < AD_DIMASSOC_REFERENCE_COUNT ? d.referenceCount
                                                                                : AD_DIMASSOC_REFERENCE_COUNT;
    std::int32_t flags = d.associativity;
    std::int32_t left = adBitCount(flags & 0xF);
    std::int16_t written = 0;
    for (; left > 0 && written < count; --left) left += d.references[written++].hasLastReference ? 1 : 0;
    // A last-reference bit on the last reference would call for one more.
    const bool dropLast = left > 0 && written > 0 && d.references[written - 1].hasLastReference;
    if (dropLast) --left;
    for (std::int32_t bit = 3; bit >= 0 && left > 0; --bit)
        if (flags & (1 << bit)) {
            flags &= ~(1 << bit);
            --left;
        }
    adBitWriteLong(flags);
    adBitWriteBit(d.transSpace != 0);
    adBitWriteByte(d.rotatedType);
    for (std::int16_t i = 0; i < written; ++i) {
        AdDimAssocReference r = d.references[i];
        if (i + 1 == written && dropLast) r.hasLastReference = 0;
        writeReference(r);
    }
    if (!adDwgWriteObjectTail(writer, header, owner)) return 0;
    adBitWriteHandle(&d.dimension, AD_REF_SOFT_POINTER);
    for (std::int16_t i = 0; i < written; ++i) {
        const AdDimAssocReference& r = d.references[i];
        if (r.mainObjectFlag) adBitWriteHandle(&r.mainObject, AD_REF_SOFT_POINTER);
        if (r.intersectionFlag) adBitWriteHandle(&r.intersectionObject, AD_REF_SOFT_POINTER);
    }
    return adDwgRecordEnd(writer, &header->handle);
}

int adDwgWriteLayerIndex(AdDwgWriter* writer, const AdObjectHeader* header, const AdLayerIndexData& d,
                         const AdHandle* owner) {
    struct Entry {
        std::int32_t value;
        char name[AD_OBJECT_SHORT_TEXT_SIZE];
        AdHandle handle;
    };
    std::vector<Entry> entries;
    AdStream* names = d.names && d.entryCount > 0 ? adStreamOpenRead(d.names) : nullptr;
    AdStream* handles = d.handles ? adStreamOpenRead(d.handles) : nullptr;
    for (std::int32_t i = 0; names && i < d.entryCount; ++i) {
        Entry e{};
        std::int16_t length = 0;
        if (!adStreamReadLong(names, &e.value) || !adStreamReadShort(names, &length) || length < 0 ||
            static_cast<std::size_t>(length) >= sizeof e.name || (length > 0 && !adStreamRead(names, e.name, length)))
            break;
        if (handles) adStreamReadHandle(handles, &e.handle);
        entries.push_back(e);
    }
    if (names) adStreamCloseRead(names);
    if (handles) adStreamCloseRead(handles);
    adBitWriteLong(d.timeStamp.day);
    adBitWriteLong(d.timeStamp.milliseconds);
    adBitWriteLong(static_cast<std::int32_t>(entries.size()));
    for (const Entry& e : entries) {
        adBitWriteLong(e.value);
        adBitWriteText(e.name);
    }
    if (!adDwgWriteObjectTail(writer, header, owner)) return 0;
    for (const Entry& e : entries) adBitWriteHandle(&e.handle, AD_REF_HARD_OWNER);
    return adDwgRecordEnd(writer, &header->handle);
}

int adDwgWriteSpatialFilter(AdDwgWriter* writer, const AdObjectHeader* header, const AdSpatialFilterData& d,
                            const AdHandle* owner) {
    const std::vector<double> points = adStoredDoubles(d.boundary, 2 * static_cast<std::int64_t>(d.pointCount));
    const auto count = static_cast<std::int16_t>(points.size() / 2);
    adBitWriteShort(count);
    for (std::int16_t i = 0; i < count; ++i) adBitWriteRaw2D(&points[2 * static_cast<std::size_t>(i)]);
    adBitWrite3D(d.normal);
    adBitWrite3D(d.origin);
    adBitWriteShort(d.displayBoundary);
    writeClip(d.frontClip, d.frontDistance);
    writeClip(d.backClip, d.backDistance);
    writeTransform(d.inverseTransform);
    writeTransform(d.clipTransform);
    return adDwgWriteObjectTail(writer, header, owner) && adDwgRecordEnd(writer, &header->handle);
}

int adDwgWriteSpatialIndex(AdDwgWriter* writer, const AdObjectHeader* header, const AdSpatialIndexData& d,
                           const AdHandle* owner) {
    adBitWriteLong(d.timeStamp.day);
    adBitWriteLong(d.timeStamp.milliseconds);
    for (double extent : d.extents) adBitWriteDouble(extent);
    // The index bytes are in the form of the version they were read at.
    const bool sameVersion = writer->output->sourceVersion == writer->version;
    const std::int32_t held = d.bytes ? adStoreSize(d.bytes) : 0;
    const std::int32_t bytes = sameVersion && d.byteCount > 0 ? (d.byteCount < held ? d.byteCount : held) : 0;
    adBitWriteLong(bytes);
    if (!adDwgCopyBits(d.bytes, bytes * 8)) return 0;
    adBitWriteLong(d.flag);
    if (!adDwgCopyBits(d.remaining, d.remainingBits)) return 0;
    return adDwgWriteObjectTail(writer, header, owner) && adDwgRecordEnd(writer, &header->handle);
}
