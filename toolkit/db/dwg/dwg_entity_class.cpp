// Entities of types from 498 in AC1012 and later files: the kind their
// class number names decides the reader; any other class is kept as a
// proxy, its data bits and handle references as the file holds them.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>

namespace {
// AC1012 and AC1014 proxies carry their class only when more data follows.
constexpr std::int64_t kClassBits = 68;
constexpr std::int16_t kR12Format = 1;

int readKind(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);

// The SAT text of an ADPART proxy, restored from its data bits.
int restoreSat(AdProxyData* p) {
    if (!p->data) return 1;
    AdDwgStoreFill fill{};
    AdStream* in = adStreamOpenRead(p->data);
    if (!in || !adDwgFillOpen(&fill)) {
        if (in) adStreamCloseRead(in);
        return 0;
    }
    // A source that ends early keeps the lines restored so far.
    fill.ok = adSatDecodeProxy(in, fill.out) != AD_SAT_TARGET_FAILED;
    if (!fill.ok) adNoMemory(AD_ERR_STREAM_MEMORY);
    adStreamCloseRead(in);
    return adDwgFillClose(&fill, &p->spareStore);
}

int readProxy(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdProxyData& p = data->proxy;
    std::int32_t classId = 0;
    if (adDwgIsAc1015(drawing)) {
        classId = adBitReadLong();
        p.drawingFormat = adBitReadLong();
        p.originalFormat = static_cast<std::int16_t>(adBitReadBit());
        // Only a class number that still reads as a proxy, or names an
        // entity class, may become the type: any other would have the
        // proxy's bits taken for another type's data.
        if (p.originalFormat == 0 && adBitUsable() && classId >= AD_ENTITY_PROXY && classId <= INT16_MAX) {
            const auto type = static_cast<std::uint16_t>(classId);
            if (adDwgIsEntityClass(drawing, static_cast<std::int16_t>(type))) {
                header->type = type;
                std::memset(data, 0, sizeof *data);
                return readKind(drawing, header, data);
            }
            if (adEntityKind(drawing, type) == AD_KIND_PROXY) header->type = type;
        }
    } else if (adDwgBitsLeft() > kClassBits) {
        adBitReadLong();
        classId = adBitReadLong();
        p.originalFormat = kR12Format;
    }
    p.classId = static_cast<std::int16_t>(AD_ENTITY_PROXY);
    p.applicationClass = static_cast<std::int16_t>(classId);
    if (!adBitUsable() || !adDwgReadRemainingBits(&p.data, &p.dataBits)) return 0;
    if (drawing->adpartClass != 0 && header->type == static_cast<std::uint16_t>(drawing->adpartClass) &&
        !restoreSat(&p))
        return 0;
    if (!adDwgClassHandles(drawing, header) || !adDwgReadHandleRefs(&p.objectIds, &p.objectIdCount)) return 0;
    // The store of references is the entity's only while it holds some.
    if (p.objectIdCount == 0 && p.objectIds) {
        adStoreFree(p.objectIds);
        p.objectIds = nullptr;
    }
    return 1;
}

int readKind(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    switch (adEntityKind(drawing, header->type)) {
        case AD_KIND_OLE2FRAME: return adDwgReadOle2Frame(drawing, header, data);
        case AD_KIND_LWPOLYLINE: return adDwgReadLwpolyline(drawing, header, data);
        case AD_KIND_HATCH: return adDwgReadHatch(drawing, header, data);
        case AD_KIND_IMAGE: return adDwgReadImage(drawing, header, data, true);
        case AD_KIND_WIPEOUT: return adDwgReadImage(drawing, header, data, false);
        case AD_KIND_RTEXT: return adDwgReadRtext(drawing, header, data);
        case AD_KIND_ARCALIGNEDTEXT: return adDwgReadArcAlignedText(drawing, header, data);
        default: return readProxy(drawing, header, data);
    }
}
}  // namespace

int adDwgReadClassEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    std::memset(data, 0, sizeof *data);
    if (!readKind(drawing, header, data)) return adDwgDropEntity(drawing, header->type, data);
    return 1;
}
