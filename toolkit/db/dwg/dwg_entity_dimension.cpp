// DIMENSION entity objects of AC1012+ files (seven object types, one per
// kind of dimension), and the values a dimension holds before any DWG
// reader fills it.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {

constexpr std::int16_t kDefaultAttachment = 5;
constexpr double kDefaultLineSpacingFactor = 1.6666666666666665;
constexpr std::uint8_t kUserTextPosition = 0x80;
constexpr std::uint8_t kOrdinateX = 0x40;
constexpr int kSkippedFlagBits = 7;

// Definition points by their DXF group.
enum Point { k16 = 0, k13 = 1, k14 = 2, k15 = 3 };

struct Kind {
    std::int16_t dwgType;
    std::uint8_t dimensionType;
};
const Kind kKinds[] = {
    {AD_DWG_DIM_ORDINATE, 6}, {AD_DWG_DIM_LINEAR, 0}, {AD_DWG_DIM_ALIGNED, 1}, {AD_DWG_DIM_ANG3PT, 5},
    {AD_DWG_DIM_ANG2LN, 2},   {AD_DWG_DIM_RADIUS, 4}, {AD_DWG_DIM_DIAMETER, 3},
};

std::uint8_t kindOf(std::int16_t dwgType) {
    for (const Kind& k : kKinds)
        if (k.dwgType == dwgType) return k.dimensionType;
    return 0;
}

void readCommon(AdDrawing* drawing, AdEntityHeader* header, AdDimensionData& d) {
    adDwgReadNormal(header->extrusion);
    adBitReadRaw2D(d.textMidpoint);
    adBitReadDouble(&d.textMidpoint[2]);
    adBitSkip(kSkippedFlagBits);
    if (!adBitReadBit()) d.dimensionType |= kUserTextPosition;
    adDwgReadEntityText(d.text, sizeof d.text);
    adBitReadDouble(&d.textRotation);
    adBitReadDouble(&d.horizontalDirection);
    double insertScale = 0.0;
    for (int i = 0; i < 3; ++i) adBitReadDouble(&insertScale);
    adBitReadDouble(&d.angle54);
    if (adDwgIsAc1015(drawing)) {
        d.attachment = adBitReadShort();
        d.lineSpacingStyle = adBitReadShort();
        adBitReadDouble(&d.lineSpacingFactor);
        adBitReadDouble(&d.measurement);
    }
    adBitReadRaw2D(d.clonePoint);
    d.clonePoint[2] = d.textMidpoint[2];
    d.clonePointGiven = d.clonePoint[0] != 0.0 || d.clonePoint[1] != 0.0 || d.clonePoint[2] != 0.0;
}

void readPoints(std::int16_t dwgType, AdDimensionData& d) {
    double (&p)[4][3] = d.definitionPoints;
    switch (dwgType) {
    case AD_DWG_DIM_ORDINATE:
        adBitRead3D(d.definitionPoint);
        adBitRead3D(p[k13]);
        adBitRead3D(p[k14]);
        if (adBitReadByte() & 0x1) d.dimensionType |= kOrdinateX;
        break;
    case AD_DWG_DIM_LINEAR:
    case AD_DWG_DIM_ALIGNED:
        adBitRead3D(p[k13]);
        adBitRead3D(p[k14]);
        adBitRead3D(d.definitionPoint);
        adBitReadDouble(&d.obliqueAngle);
        if (dwgType == AD_DWG_DIM_LINEAR) adBitReadDouble(&d.rotation);
        break;
    case AD_DWG_DIM_ANG3PT:
        adBitRead3D(d.definitionPoint);
        adBitRead3D(p[k13]);
        adBitRead3D(p[k14]);
        adBitRead3D(p[k15]);
        break;
    case AD_DWG_DIM_ANG2LN:
        adBitReadRaw2D(p[k16]);
        adBitRead3D(p[k13]);
        adBitRead3D(p[k14]);
        adBitRead3D(p[k15]);
        adBitRead3D(d.definitionPoint);
        break;
    case AD_DWG_DIM_RADIUS:
        adBitRead3D(d.definitionPoint);
        adBitRead3D(p[k15]);
        adBitReadDouble(&d.leaderLength);
        break;
    default:
        adBitRead3D(p[k15]);
        adBitRead3D(d.definitionPoint);
        adBitReadDouble(&d.leaderLength);
        break;
    }
}

}  // namespace

void adDwgDimensionDefaults(AdDimensionData* d) {
    const double elevation = adGlobals->entityElevation;
    d->dimensionType = 0;
    d->text[0] = '\0';
    d->clonePointGiven = 0;
    d->clonePoint[0] = d->clonePoint[1] = 0.0;
    d->clonePoint[2] = d->textMidpoint[2] = elevation;
    std::memset(d->definitionPoints, 0, sizeof d->definitionPoints);
    d->leaderLength = d->rotation = d->textRotation = d->obliqueAngle = 0.0;
    d->horizontalDirection = d->angle54 = d->measurement = 0.0;
    d->attachment = kDefaultAttachment;
    d->lineSpacingStyle = 1;
    d->lineSpacingFactor = kDefaultLineSpacingFactor;
    adGlobals->entityIndexes.dimStyle = -1;
    adGlobals->dxfNames[AD_DXF_NAME_DIMSTYLE][0] = '\0';
}

int adDwgReadDimensionEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdDimensionData& d = data->dimension;
    adDwgDimensionDefaults(&d);
    const auto dwgType = static_cast<std::int16_t>(header->type);
    d.dimensionType = kindOf(dwgType);
    readCommon(drawing, header, d);
    readPoints(dwgType, d);
    return adDwgReadHandlesWith(drawing, header, &d.dimStyle, &d.block);
}
