// HATCH records: the boundary paths, pattern lines and seed points copied
// from the stores every reader of HATCH entities fills, and the boundary
// objects after the common handles.
#include "toolkit/write/dwg/dwg_entity_head.h"

namespace {
constexpr std::int32_t kPolylinePath = 0x2;
constexpr std::int32_t kDerivedPath = 0x4;
enum EdgeType : std::int16_t { kLine = 1, kArc = 2, kEllipse = 3, kSpline = 4 };

// The stored values, each written as it is read.
struct Cursor : AdStoreValues {
    using AdStoreValues::AdStoreValues;
    void point() {
        const double p[2] = {get<double>(), get<double>()};
        adBitWriteRaw2D(p);
    }
    void real() { adBitWriteDouble(get<double>()); }
    void bit() { adBitWriteBit(get<std::int16_t>() != 0); }
    std::int32_t count() {
        const std::int32_t n = get<std::int32_t>();
        adBitWriteLong(n > 0 ? n : 0);
        return n;
    }
};

void splineEdge(Cursor& c) {
    adBitWriteLong(c.get<std::int32_t>());
    const bool rational = c.get<std::int16_t>() != 0;
    adBitWriteBit(rational);
    c.bit();
    const std::int32_t knots = c.count();
    const std::int32_t points = c.count();
    for (std::int32_t i = 0; c.ok && i < knots; ++i) c.real();
    for (std::int32_t i = 0; c.ok && i < points; ++i) {
        c.point();
        if (rational) c.real();
    }
}

void edge(Cursor& c) {
    const std::int16_t type = c.get<std::int16_t>();
    adBitWriteByte(static_cast<std::uint8_t>(type));
    switch (type) {
    case kLine:
        c.point();
        c.point();
        break;
    case kArc:
        c.point();
        for (int i = 0; i < 3; ++i) c.real();
        c.bit();
        break;
    case kEllipse:
        c.point();
        c.point();
        for (int i = 0; i < 3; ++i) c.real();
        c.bit();
        break;
    case kSpline: splineEdge(c); break;
    default: c.ok = false; break;
    }
}

// One path; its boundary objects are counted into sources.
void path(Cursor& c, bool* derived, std::int64_t* sources) {
    const std::int32_t flags = c.get<std::int32_t>();
    adBitWriteLong(flags);
    if (flags & kDerivedPath) *derived = true;
    if (flags & kPolylinePath) {
        const bool bulges = c.get<std::int16_t>() != 0;
        adBitWriteBit(bulges);
        c.bit();
        const std::int32_t n = c.count();
        for (std::int32_t i = 0; c.ok && i < n; ++i) {
            c.point();
            if (bulges) c.real();
        }
    } else {
        const std::int32_t n = c.count();
        for (std::int32_t i = 0; c.ok && i < n; ++i) edge(c);
    }
    const std::int32_t boundaries = c.count();
    if (boundaries > 0) *sources += boundaries;
}
}  // namespace

int adDwgWriteHatchEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                          const AdDwgEntityLinks& links, std::int16_t type) {
    const AdHatchData& h = data->hatch;
    adBitWriteDouble(h.elevation[2]);
    adBitWrite3D(header->extrusion);
    adBitWriteText(h.patternName);
    adBitWriteBit(h.solidFill != 0);
    adBitWriteBit(h.associative != 0);
    const std::int32_t pathCount = h.paths && h.pathCount > 0 ? h.pathCount : 0;
    adBitWriteLong(pathCount);
    bool derived = false;
    std::int64_t sources = 0;
    {
        Cursor c(h.paths);
        for (std::int32_t i = 0; i < pathCount; ++i) path(c, &derived, &sources);
    }
    adBitWriteShort(h.style);
    adBitWriteShort(h.patternType);
    if (!h.solidFill) {
        adBitWriteDouble(h.patternAngle);
        adBitWriteDouble(h.patternScale);
        adBitWriteBit(h.doubleFlag != 0);
        const std::int16_t lines = h.patternLines && h.patternLineCount > 0 ? h.patternLineCount : 0;
        adBitWriteShort(lines);
        Cursor c(h.patternLines);
        for (std::int16_t i = 0; i < lines; ++i) {
            for (int k = 0; k < 5; ++k) c.real();
            const std::int16_t dashes = c.get<std::int16_t>();
            adBitWriteShort(dashes > 0 ? dashes : 0);
            for (std::int16_t k = 0; k < dashes; ++k) c.real();
        }
    }
    if (derived) adBitWriteDouble(h.pixelSize);
    const std::int32_t seeds = h.seeds && h.seedCount > 0 ? h.seedCount : 0;
    adBitWriteLong(seeds);
    {
        Cursor c(h.seeds);
        for (std::int32_t i = 0; i < seeds; ++i) c.point();
    }
    if (!adDwgEntityHandles(writer, header, type, links)) return 0;
    AdStream* in = h.further && sources > 0 ? adStreamOpenRead(h.further) : nullptr;
    AdHandle boundary{};
    for (std::int64_t i = 0; i < sources; ++i) {
        if (!in || !adStreamReadHandle(in, &boundary)) boundary = AdHandle{};
        adBitWriteHandle(&boundary, AD_REF_SOFT_POINTER);
    }
    if (in) adStreamCloseRead(in);
    return adBitUsable() ? 1 : 0;
}
