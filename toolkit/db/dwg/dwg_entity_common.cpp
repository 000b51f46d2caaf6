// The part every entity object of an AC1012+ file begins with after its
// object start, and the compound values that many entity types read.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

#include <cmath>
#include <numbers>

bool adDwgIsAc1015(const AdDrawing* drawing) { return drawing->version >= AD_DWG_AC1015; }

// A normal along the z axis is kept as a unit vector whatever length the file gave.
void adDwgReadNormal(double vector[3]) {
    adBitRead3D(vector);
    if (vector[0] == 0.0 && vector[1] == 0.0) vector[2] = vector[2] > 0.0 ? 1.0 : -1.0;
}

void adDwgReadEntityExtrusion(const AdDrawing* drawing, AdEntityHeader* header) {
    double* e = header->extrusion;
    if (adDwgIsAc1015(drawing) && adBitReadBit()) {
        e[0] = e[1] = 0.0;
        e[2] = 1.0;
        return;
    }
    adDwgReadNormal(e);
}

void adDwgReadEntityThickness(const AdDrawing* drawing, AdEntityHeader* header) {
    header->thickness = 0.0;
    if (adDwgIsAc1015(drawing) && adBitReadBit()) return;
    adBitReadDouble(&header->thickness);
}

void adDwgReadOwnHandle(const AdEntityHeader* header, AdHandle* out) { adBitReadRelHandle(&header->handle, out); }

void adDwgReadEntityText(char* text, std::int32_t size) { adDwgReadCutText(text, size); }

int adDwgReadEntityCommon(AdDrawing* drawing, AdEntityHeader* header) {
    AdGlobalState::AdDwgEntityRefs& refs = adGlobals->dwgEntity;
    const bool ac1015 = adDwgIsAc1015(drawing);
    refs.modeZero = adBitReadCode() == 0;
    refs.reactorCount = adBitReadLong();
    if (!ac1015) refs.linetypeByLayer = static_cast<std::uint8_t>(adBitReadBit());
    refs.noLinks = static_cast<std::uint8_t>(adBitReadBit());
    header->color = adBitReadShort();
    adBitReadDouble(&header->linetypeScale);
    if (ac1015) {
        refs.linetypeFlags = static_cast<std::uint8_t>(adBitReadCode());
        refs.plotStyleFlags = static_cast<std::uint8_t>(adBitReadCode());
    }
    if (adBitReadShort() == 1) header->flags |= AD_ENTITY_FLAG_INVISIBLE;
    if (ac1015) header->lineweight = adLineweightFromIndex(adBitReadByte());
    // Each reactor handle takes at least a byte of the data.
    const AdBitStream* bs = adBitCurrent();
    if (refs.reactorCount < 0 || (bs && refs.reactorCount > bs->bitSize / 8)) return adBitFail();
    return adBitUsable() ? 1 : 0;
}

void adDwgNormaliseEnd(double start, double* end, double limit) {
    if (!adGlobals->angleNormalisation || !std::isfinite(start) || !std::isfinite(*end) || *end >= start) return;
    constexpr double kTurn = 2.0 * std::numbers::pi;
    const double gap = start - *end;
    if (!(gap < limit) || *end + kTurn == *end) return;
    // The steps are counted at once; rounding may leave the end one turn
    // short. Where even that does not reach start the value stays as read.
    double moved = *end + std::ceil(gap / kTurn) * kTurn;
    if (moved < start) moved += kTurn;
    if (std::isfinite(moved) && moved >= start) *end = moved;
}
