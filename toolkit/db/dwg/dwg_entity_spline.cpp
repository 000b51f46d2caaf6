// SPLINE entities of AC1012 and later files: defined by control points
// (scenario 1) or by fit points (scenario 2), with every point in one store.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>

namespace {
constexpr std::int16_t kByControlPoints = AD_DWG_SPLINE_BY_CONTROL_POINTS;
constexpr std::int16_t kByFitPoints = AD_DWG_SPLINE_BY_FIT_POINTS;
constexpr std::int16_t kClosed = AD_DWG_SPLINE_CLOSED;
constexpr std::int16_t kPeriodic = AD_DWG_SPLINE_PERIODIC;
constexpr std::int16_t kRational = AD_DWG_SPLINE_RATIONAL;
constexpr std::int32_t kCountLimit = 0x7FFF;
// The fewest bits a BD and a 3BD take.
constexpr std::int64_t kDoubleBits = 2;
constexpr std::int64_t kPointBits = 3 * kDoubleBits;

// A BL count for an int16 field, which the data must be able to hold.
bool count(std::int16_t* field, std::int64_t minBits) {
    const std::int32_t value = adBitReadLong();
    if (value > kCountLimit) return adBitFail() != 0;
    if (!adDwgCountFits(value, minBits)) return false;
    *field = static_cast<std::int16_t>(value);
    return true;
}

void copyDoubles(AdDwgStoreFill* fill, std::int32_t n) {
    for (std::int32_t i = 0; i < n && fill->ok && adBitUsable(); ++i) {
        double value = 0.0;
        adBitReadDouble(&value);
        adDwgFillDouble(fill, value);
    }
}

int readPoints(AdSplineData* s) {
    AdDwgStoreFill fill{};
    if (!adDwgFillOpen(&fill)) return 0;
    copyDoubles(&fill, s->knotCount);
    const bool rational = (s->flags & kRational) != 0;
    for (std::int32_t i = 0; i < s->controlPointCount && fill.ok && adBitUsable(); ++i)
        copyDoubles(&fill, rational ? 4 : 3);
    copyDoubles(&fill, 3 * s->fitPointCount);
    if (!adBitUsable()) fill.ok = false;
    return adDwgFillClose(&fill, &s->points);
}

// A fit-point spline whose last point repeats the first, byte for byte, is
// closed; 0 when the store could not be read.
int closeOnRepeat(AdSplineData* s) {
    if (s->fitPointCount < 2) return 1;
    AdStream* in = adStreamOpenRead(s->points);
    if (!in) return 0;
    const std::int32_t first = (s->controlPointCount * ((s->flags & kRational) ? 4 : 3) + s->knotCount) * 8;
    std::uint8_t a[24] = {};
    std::uint8_t b[24] = {};
    const bool read = adStreamSeek(in, first) && adStreamRead(in, a, sizeof a) &&
                      adStreamSeek(in, first + (s->fitPointCount - 1) * 24) && adStreamRead(in, b, sizeof b);
    adStreamCloseRead(in);
    if (read && std::memcmp(a, b, sizeof a) == 0) s->flags |= kClosed;
    return read ? 1 : 0;
}

int readFields(AdSplineData* s) {
    const std::int16_t scenario = adBitReadShort();
    s->degree = adBitReadShort();
    if (scenario == kByFitPoints) {
        adBitReadDouble(&s->fitTolerance);
        adBitRead3D(s->startTangent);
        adBitRead3D(s->endTangent);
        if (!count(&s->fitPointCount, kPointBits)) return 0;
        s->degree = 3;
    } else if (scenario == kByControlPoints) {
        if (adBitReadBit()) s->flags |= kRational;
        if (adBitReadBit()) s->flags |= kClosed;
        if (adBitReadBit()) s->flags |= kPeriodic;
        adBitReadDouble(&s->knotTolerance);
        adBitReadDouble(&s->controlPointTolerance);
        if (!count(&s->knotCount, kDoubleBits) || !count(&s->controlPointCount, kPointBits)) return 0;
        adBitReadBit();  // weights present: the rational flag says as much
        if (!adDwgCountFits(static_cast<std::int64_t>(s->knotCount) * kDoubleBits +
                                s->controlPointCount * ((s->flags & kRational) ? kPointBits + kDoubleBits : kPointBits),
                            1))
            return 0;
    }
    return readPoints(s) && closeOnRepeat(s) && adSplineShapeFlags(s);
}
}  // namespace

int adDwgReadSpline(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    std::memset(data, 0, sizeof *data);
    if (!readFields(&data->spline) || !adDwgClassHandles(drawing, header))
        return adDwgDropEntity(drawing, AD_ENTITY_SPLINE, data);
    return 1;
}
