// HATCH entities of AC1014 and later files: the boundary paths, the pattern
// lines and the seed points, each list in a store in the layout every
// reader of HATCH entities gives it.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int32_t kPolylinePath = 0x2;
constexpr std::int32_t kDerivedPath = 0x4;
enum EdgeType : std::uint8_t { kLine = 1, kArc = 2, kEllipse = 3, kSpline = 4 };
// The fewest bits of each list entry.
constexpr std::int64_t kPathBits = 6;
constexpr std::int64_t kPointBits = 128;
constexpr std::int64_t kDoubleBits = 2;
constexpr std::int64_t kEdgeBits = 8;
constexpr std::int64_t kPatternLineBits = 12;

void copyDouble(AdDwgStoreFill* fill) {
    double value = 0.0;
    adBitReadDouble(&value);
    adDwgFillDouble(fill, value);
}

void copyPoint(AdDwgStoreFill* fill) {
    double point[2] = {};
    adBitReadRaw2D(point);
    adDwgFillBytes(fill, point, sizeof point);
}

void copyBit(AdDwgStoreFill* fill) { adDwgFillShort(fill, static_cast<std::int16_t>(adBitReadBit())); }

// A BL count, checked against the data, into the store.
bool copyCount(AdDwgStoreFill* fill, std::int64_t minBits, std::int32_t* count) {
    *count = adBitReadLong();
    if (!adDwgCountFits(*count, minBits)) return false;
    adDwgFillLong(fill, *count);
    return true;
}

bool going(const AdDwgStoreFill* fill) { return fill->ok && adBitUsable(); }

bool splineEdge(AdDwgStoreFill* fill) {
    adDwgFillLong(fill, adBitReadLong());  // degree
    const int rational = adBitReadBit();
    adDwgFillShort(fill, static_cast<std::int16_t>(rational));
    copyBit(fill);  // periodic
    std::int32_t knots = 0;
    std::int32_t points = 0;
    if (!copyCount(fill, kDoubleBits, &knots) || !copyCount(fill, kPointBits, &points)) return false;
    if (!adDwgCountFits(knots * kDoubleBits + points * (rational ? kPointBits + kDoubleBits : kPointBits), 1))
        return false;
    for (std::int32_t i = 0; i < knots && going(fill); ++i) copyDouble(fill);
    for (std::int32_t i = 0; i < points && going(fill); ++i) {
        copyPoint(fill);
        if (rational) copyDouble(fill);
    }
    return true;
}

bool edge(AdDwgStoreFill* fill) {
    const std::uint8_t type = adBitReadByte();
    adDwgFillShort(fill, type);
    switch (type) {
        case kLine:
            copyPoint(fill);
            copyPoint(fill);
            return true;
        case kArc:
            copyPoint(fill);
            for (int i = 0; i < 3; ++i) copyDouble(fill);  // radius, start and end angles
            copyBit(fill);
            return true;
        case kEllipse:
            copyPoint(fill);
            copyPoint(fill);  // the major axis's end
            for (int i = 0; i < 3; ++i) copyDouble(fill);  // ratio, start and end parameters
            copyBit(fill);
            return true;
        case kSpline: return splineEdge(fill);
        default: return adBitFail() != 0;
    }
}

bool path(AdDwgStoreFill* fill, std::int32_t* flagsOut, std::int64_t* sources) {
    const std::int32_t flags = adBitReadLong();
    *flagsOut = flags;
    adDwgFillLong(fill, flags);
    std::int32_t count = 0;
    if (flags & kPolylinePath) {
        const int bulges = adBitReadBit();
        adDwgFillShort(fill, static_cast<std::int16_t>(bulges));
        copyBit(fill);  // closed
        if (!copyCount(fill, bulges ? kPointBits + kDoubleBits : kPointBits, &count)) return false;
        for (std::int32_t i = 0; i < count && going(fill); ++i) {
            copyPoint(fill);
            if (bulges) copyDouble(fill);
        }
    } else {
        if (!copyCount(fill, kEdgeBits, &count)) return false;
        for (std::int32_t i = 0; i < count && going(fill); ++i)
            if (!edge(fill)) return false;
    }
    std::int32_t boundaries = 0;
    if (!copyCount(fill, 0, &boundaries)) return false;
    *sources += boundaries;
    return true;
}

int readPaths(AdHatchData* h, bool* derived, std::int64_t* sources) {
    const std::int32_t count = adBitReadLong();
    if (!adDwgCountFits(count, kPathBits)) return 0;
    h->pathCount = count;
    const int read = adDwgFillList(count, 0, &h->paths, [&](AdDwgStoreFill* fill, std::int32_t) {
        std::int32_t flags = 0;
        if (path(fill, &flags, sources) && (flags & kDerivedPath)) *derived = true;
    });
    if (!read || *sources <= INT32_MAX) return read;
    return adBitFail();
}

int readPatternLines(AdHatchData* h) {
    const std::int16_t count = adBitReadShort();
    if (!adDwgCountFits(count, kPatternLineBits)) return 0;
    h->patternLineCount = count;
    return adDwgFillList(count, 0, &h->patternLines, [](AdDwgStoreFill* fill, std::int32_t) {
        for (int k = 0; k < 5; ++k) copyDouble(fill);  // angle, base x and y, offset x and y
        const std::int16_t dashes = adBitReadShort();
        if (!adDwgCountFits(dashes, kDoubleBits)) return;
        adDwgFillShort(fill, dashes);
        for (std::int32_t k = 0; k < dashes && going(fill); ++k) copyDouble(fill);
    });
}

int readSeeds(AdHatchData* h) {
    const std::int32_t count = adBitReadLong();
    if (!adDwgCountFits(count, kPointBits)) return 0;
    h->seedCount = count;
    return adDwgFillList(count, 2 * sizeof(double), &h->seeds, [](AdDwgStoreFill* fill, std::int32_t) { copyPoint(fill); });
}

int readFields(AdHatchData* h, AdEntityHeader* header, std::int64_t* sources) {
    adBitReadDouble(&h->elevation[2]);
    adDwgReadNormal(header->extrusion);
    adDwgReadEntityText(h->patternName, sizeof h->patternName);
    h->solidFill = static_cast<std::int16_t>(adBitReadBit());
    h->associative = static_cast<std::int16_t>(adBitReadBit());
    bool derived = false;
    if (!readPaths(h, &derived, sources)) return 0;
    h->style = adBitReadShort();
    h->patternType = adBitReadShort();
    if (!h->solidFill) {
        adBitReadDouble(&h->patternAngle);
        adBitReadDouble(&h->patternScale);
        h->doubleFlag = static_cast<std::int16_t>(adBitReadBit());
        if (!readPatternLines(h)) return 0;
    }
    if (derived) adBitReadDouble(&h->pixelSize);
    return readSeeds(h);
}
}  // namespace

int adDwgReadHatch(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdHatchData& h = data->hatch;
    std::int64_t sources = 0;
    if (!readFields(&h, header, &sources) || !adDwgClassHandles(drawing, header)) return 0;
    return adDwgReadHandleStore(&header->handle, static_cast<std::int32_t>(sources), &h.further);
}
