// What the readers of splines, solids and class-numbered entities share:
// counts checked against the data, stores filled as the fields are read,
// and the end of an entity, read or failed.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_read.h"

bool adDwgCountFits(std::int64_t count, std::int64_t minBits) {
    if (count >= 0 && adBitUsable() && count * minBits <= adDwgBitsLeft()) return true;
    adBitFail();
    return false;
}

bool adDwgFillOpen(AdDwgStoreFill* fill, std::int64_t expectedBytes) {
    fill->ok = adDwgOpenStore(&fill->store, &fill->out, expectedBytes);
    return fill->ok;
}

void adDwgFillBytes(AdDwgStoreFill* fill, const void* bytes, std::int32_t count) {
    if (!fill->ok || count <= 0) return;
    fill->ok = adStreamWrite(fill->out, bytes, count) != 0;
    if (!fill->ok) adNoMemory(AD_ERR_STREAM_MEMORY);
}

void adDwgFillDouble(AdDwgStoreFill* fill, double value) { adDwgFillBytes(fill, &value, sizeof value); }

void adDwgFillLong(AdDwgStoreFill* fill, std::int32_t value) { adDwgFillBytes(fill, &value, sizeof value); }

void adDwgFillShort(AdDwgStoreFill* fill, std::int16_t value) { adDwgFillBytes(fill, &value, sizeof value); }

int adDwgFillClose(AdDwgStoreFill* fill, AdStore** field) {
    if (!fill->store) return 0;
    const int kept = adDwgCloseStore(&fill->store, fill->out, fill->ok);
    *field = fill->store;
    fill->store = nullptr;
    fill->out = nullptr;
    return kept;
}

int adDwgClassHandles(AdDrawing* drawing, AdEntityHeader* header) {
    if (!adBitUsable()) return 0;
    adDwgReadEntityHandles(drawing, header);
    return adBitUsable() ? 1 : 0;
}

int adDwgDropEntity(AdDrawing* drawing, std::uint16_t type, AdEntityData* data) {
    if (!adBitUsable()) adSetError(AD_ERR_DWG_OBJECT_CRC);
    AdEntityHeader own{};
    own.type = type;
    adEntityFreeStores(drawing, &own, data);
    return 0;
}
