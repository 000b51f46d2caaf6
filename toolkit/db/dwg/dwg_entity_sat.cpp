// REGION, 3DSOLID and BODY entities of AC1012 and later files: the SAT text
// restored from its coded blocks, and the data bits after it kept for
// writing the entity back.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/ad_internal.h"

#include <cstring>

namespace {
constexpr std::int16_t kCodedBlocks = 64;
constexpr std::int32_t kPiece = 512;
constexpr std::uint8_t kTab = 9;

// The blocks, each a BL length and its bytes, up to a length of 0.
int readText(AdSatData* sat) {
    AdDwgStoreFill fill{};
    if (!adDwgFillOpen(&fill)) return 0;
    // Every block takes at least the two bits of its length, so the data
    // bounds the blocks.
    for (std::int32_t length = adBitReadLong(); length != 0 && fill.ok; length = adBitReadLong()) {
        if (!adDwgCountFits(length, 8)) break;
        std::uint8_t piece[kPiece];
        for (std::int32_t done = 0; done < length && fill.ok && adBitUsable();) {
            const std::int32_t n = length - done < kPiece ? length - done : kPiece;
            adBitReadBytes(piece, n);
            for (std::int32_t i = 0; i < n; ++i)
                piece[i] = piece[i] == kTab ? ' ' : adSatRestoreByte(piece[i]);
            adDwgFillBytes(&fill, piece, n);
            done += n;
        }
    }
    if (!adBitUsable()) fill.ok = false;
    return adDwgFillClose(&fill, &sat->satText);
}

// A flag byte (1 when SAT text was read), the number of data bits left as
// int32, then those bits as adDwgReadRemainingBits keeps them.
int readTail(AdSatData* sat, bool textRead) {
    AdStore* bits = nullptr;
    std::int32_t count = 0;
    if (!adDwgReadRemainingBits(&bits, &count)) return 0;
    AdDwgStoreFill fill{};
    AdStream* in = bits ? adStreamOpenRead(bits) : nullptr;
    if (adDwgFillOpen(&fill) && (in || !bits)) {
        const std::uint8_t flag = textRead ? 1 : 0;
        adDwgFillBytes(&fill, &flag, 1);
        adDwgFillLong(&fill, count);
        std::uint8_t piece[kPiece];
        for (std::int32_t left = bits ? adStoreSize(bits) : 0; left > 0 && fill.ok;) {
            const std::int32_t n = left < kPiece ? left : kPiece;
            fill.ok = adStreamRead(in, piece, n) != 0;
            adDwgFillBytes(&fill, piece, n);
            left -= n;
        }
    } else {
        fill.ok = false;
    }
    if (in) adStreamCloseRead(in);
    if (bits) adStoreFree(bits);
    return adDwgFillClose(&fill, &sat->satTail);
}

int readFields(AdSatData* sat) {
    const bool coded = adBitReadShort() == kCodedBlocks;
    if (coded) {
        double unused = 0.0;
        adBitReadDouble(&unused);
        if (!readText(sat)) return 0;
    }
    return readTail(sat, coded);
}
}  // namespace

int adDwgReadSatEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    std::memset(data, 0, sizeof *data);
    if (!readFields(&data->sat) || !adDwgClassHandles(drawing, header))
        return adDwgDropEntity(drawing, AD_ENTITY_3DSOLID, data);
    return 1;
}
