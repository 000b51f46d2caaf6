// Block entity objects of AC1012+ files: the BLOCK entity that opens a
// block's list, and INSERT and MINSERT, which place a block.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/ad_internal.h"

#include <cmath>
#include <cstring>

namespace {

constexpr char kPaperSpace[] = "*PAPER_SPACE";
constexpr std::size_t kPaperSpaceLength = sizeof kPaperSpace - 1;
constexpr std::size_t kAnonymousKept = 2;
constexpr double kSmallestScale = 1e-12;

// Anonymous names keep their kind letter only ("*U12" is "*U"); the paper
// space layouts keep their numbered names.
void cutAnonymousName(char* name) {
    if (name[0] != '*') return;
    if (adStrCompareNoCaseN(name, kPaperSpace, kPaperSpaceLength) == 0) return;
    if (std::strlen(name) > kAnonymousKept) name[kAnonymousKept] = '\0';
}

constexpr int kScalesUnit = 3;
constexpr int kScalesUniform = 2;
constexpr int kScalesUnitX = 1;

void readScales(const AdDrawing* drawing, double s[3]) {
    if (!adDwgIsAc1015(drawing)) {
        for (int i = 0; i < 3; ++i) adBitReadDouble(&s[i]);
    } else {
        const int flags = adBitReadCode();
        s[0] = 1.0;
        if (flags == kScalesUnit) {
            s[1] = s[2] = 1.0;
        } else if (flags == kScalesUniform) {
            adBitReadRawDouble(&s[0]);
            s[1] = s[2] = s[0];
        } else {
            if (flags != kScalesUnitX) adBitReadRawDouble(&s[0]);
            adBitReadDefDouble(&s[1], s[0]);
            adBitReadDefDouble(&s[2], s[0]);
        }
    }
    for (int i = 0; i < 3; ++i)
        if (std::fabs(s[i]) < kSmallestScale) s[i] = 1.0;
}

std::int16_t atLeastOne(std::int16_t count) { return count == 0 ? 1 : count; }

}  // namespace

int adDwgReadBlockEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdBlockData& b = data->block;
    adDwgReadEntityText(b.name, sizeof b.name);
    cutAnonymousName(b.name);
    std::memcpy(b.basePoint, adGlobals->blockBasePoint, sizeof b.basePoint);
    static_assert(sizeof b.xrefPath >= sizeof adGlobals->blockXrefPath);
    std::memcpy(b.xrefPath, adGlobals->blockXrefPath, sizeof adGlobals->blockXrefPath);
    b.xrefPath[sizeof adGlobals->blockXrefPath - 1] = '\0';
    return adDwgReadHandlesOnly(drawing, header, data);
}

int adDwgReadInsertEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdInsertData& in = data->insert;
    adBitRead3D(in.insertion);
    readScales(drawing, in.scale);
    adBitReadDouble(&in.rotation);
    adDwgReadNormal(header->extrusion);
    in.attributesFollow = static_cast<std::int16_t>(adBitReadBit());
    in.rowCount = in.columnCount = 1;
    if (header->type == AD_DWG_MINSERT) {
        in.columnCount = atLeastOne(adBitReadShort());
        in.rowCount = atLeastOne(adBitReadShort());
        adBitReadDouble(&in.columnSpacing);
        adBitReadDouble(&in.rowSpacing);
    }
    if (!adDwgReadHandlesWith(drawing, header, &in.block, nullptr)) return 0;
    return in.attributesFollow ? adDwgReadSubEntityHandles(header) : 1;
}
