// The handle references every entity object of an AC1012+ file carries:
// owner, reactors, extension dictionary, layer, linetype, plot style and the
// links to the previous and next entity of its chain.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::uint8_t kByLayer = 0;
constexpr std::uint8_t kByBlock = 1;
constexpr std::uint8_t kContinuous = 2;
constexpr std::uint8_t kGiven = 3;
constexpr std::uint8_t kPlotStyleByBlock = 2;
constexpr std::int16_t kLastBits = 3;

// The reader stands on the last byte of the object with at most three bits
// of it left: what would follow was left out by the writer.
bool dataEnded() {
    const AdBitStream* bs = adBitCurrent();
    if (!bs || bs->pieceIndex + 1 < bs->pieceCount) return false;
    return bs->bytesLeft <= 0 || (bs->bytesLeft == 1 && bs->bitMask <= (1 << kLastBits));
}

// The handle references start at the data's size in bits in every version;
// a type whose fields are not read is passed over up to there.
bool toHandles() {
    const std::int64_t left = adDwgBitsLeft();
    if (left < 0) return adBitFail() != 0;
    return adBitSkip(static_cast<std::int32_t>(left)) != 0;
}

void readLinks(const AdEntityHeader* header) {
    AdGlobalState::AdDwgEntityRefs& refs = adGlobals->dwgEntity;
    if (!refs.noLinks) {
        adDwgReadOwnHandle(header, &refs.previous);
        adDwgReadOwnHandle(header, &refs.next);
        return;
    }
    AdHandle one{};
    one.b[7] = 1;
    adHandleSubtract(&header->handle, &one, &refs.previous);
    adHandleAdd(&header->handle, &one, &refs.next);
}

void readAc1015Styles(const AdDrawing* drawing, AdEntityHeader* header) {
    const AdGlobalState::AdDwgEntityRefs& refs = adGlobals->dwgEntity;
    switch (refs.linetypeFlags) {
    case kByLayer: header->linetype = drawing->byLayerLtype; break;
    case kByBlock: header->linetype = drawing->byBlockLtype; break;
    case kContinuous: header->linetype = drawing->continuousLtype; break;
    default:
        if (dataEnded()) header->linetype = drawing->byLayerLtype;
        else adDwgReadOwnHandle(header, &header->linetype);
        break;
    }
    if (refs.plotStyleFlags == kByLayer || (refs.plotStyleFlags == kGiven && dataEnded()))
        header->flags |= AD_ENTITY_FLAG_PLOT_STYLE_BYLAYER;
    else if (refs.plotStyleFlags == kPlotStyleByBlock)
        header->flags |= AD_ENTITY_FLAG_PLOT_STYLE_BYBLOCK;
    else if (refs.plotStyleFlags == kGiven)
        adDwgReadOwnHandle(header, &header->plotStyle);
}
}  // namespace

void adDwgReadEntityHandles(AdDrawing* drawing, AdEntityHeader* header) {
    AdGlobalState::AdDwgEntityRefs& refs = adGlobals->dwgEntity;
    refs.owner = refs.previous = refs.next = AdHandle{};
    if (!toHandles()) return;
    if (refs.modeZero) adDwgReadOwnHandle(header, &refs.owner);
    if (!adDwgReadHandleStore(&header->handle, refs.reactorCount, &header->reactors)) return;
    header->reactorCount = header->reactors ? refs.reactorCount : 0;
    adDwgReadOwnHandle(header, &header->extensionDictionary);
    if (!adDwgIsAc1015(drawing)) {
        adDwgReadOwnHandle(header, &header->layer);
        if (refs.linetypeByLayer) header->linetype = drawing->byLayerLtype;
        else adDwgReadOwnHandle(header, &header->linetype);
        readLinks(header);
        return;
    }
    readLinks(header);
    if (!dataEnded()) adDwgReadOwnHandle(header, &header->layer);
    readAc1015Styles(drawing, header);
}
