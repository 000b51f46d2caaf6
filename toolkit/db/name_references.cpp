// Extended data of DXF files and files before AC1012 names applications and
// layers by name or table index; the records may come later in the file, so
// the handles are written into the stored items once the load has read them.
#include "toolkit/ad.h"
#include "toolkit/db/table_index.h"
#include "toolkit/db/load_stages.h"

#include <cstddef>
#include <cstring>

namespace {

// The whole name is kept: a shorter copy would resolve to another record.
struct NameReference {
    std::int16_t kind;
    std::int16_t index;
    std::int32_t offset;
    AdStore* store;
    char name[sizeof AdGlobalState::xdataName];
};

AdHandle lookUp(AdDrawing* drawing, const NameReference& reference) {
    AdHandle handle{};
    const bool layer = reference.kind == AD_NAME_REFERENCE_LAYER;
    if (drawing->dxf) {
        if (layer) adLayerHandleByName(drawing, reference.name, &handle);
        else adAppidHandleByName(drawing, reference.name, &handle);
    } else if (layer) {
        adTableHandleAtIndex<AdLayerRecord>(drawing, adLayerRewind, adLayerNext, reference.index, &handle);
    } else {
        adTableHandleAtIndex<AdAppidRecord>(drawing, adAppidRewind, adAppidNext, reference.index, &handle);
    }
    return handle;
}

}  // namespace

int adBeginNameReferences(AdDrawing* drawing) {
    AdStore*& store = drawing->loadStores[AD_LOAD_STORE_NAME_REFERENCES];
    if (!store) store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    return store != nullptr;
}

int adAddNameReference(AdDrawing* drawing, std::int16_t kind, AdStore* store, std::int32_t offset) {
    // Later DWG files give the handle itself.
    if (adIsBitCodedDwg(drawing)) return 1;
    if (!adBeginNameReferences(drawing)) return 0;
    NameReference reference{};
    reference.kind = kind;
    reference.index = adGlobals->xdataTableIndex;
    reference.offset = offset;
    reference.store = store;
    std::memcpy(reference.name, adGlobals->xdataName, sizeof reference.name);
    reference.name[sizeof reference.name - 1] = '\0';
    AdStream* stream = adStreamOpenAppend(drawing->loadStores[AD_LOAD_STORE_NAME_REFERENCES]);
    if (!stream) return 0;
    const int written = adStreamWrite(stream, &reference, sizeof reference);
    return adStreamCloseAppend(stream) && written;
}

void adDropNameReferences(AdDrawing* drawing, const AdStore* store) {
    if (!drawing || !store) return;
    AdStore* references = drawing->loadStores[AD_LOAD_STORE_NAME_REFERENCES];
    AdStream* stream = references ? adStreamOpenRead(references) : nullptr;
    if (!stream) return;
    NameReference reference;
    AdStore* const gone = nullptr;
    for (std::int32_t at = 0; adStreamRead(stream, &reference, sizeof reference); at += sizeof reference)
        if (reference.store == store)
            adStorePatch(references, at + static_cast<std::int32_t>(offsetof(NameReference, store)), &gone, sizeof gone);
    adStreamCloseRead(stream);
}

int adResolveNameReferences(AdDrawing* drawing) {
    AdStore*& references = drawing->loadStores[AD_LOAD_STORE_NAME_REFERENCES];
    if (!references) return 1;
    AdStream* stream = adStreamOpenRead(references);
    int ok = stream != nullptr;
    const std::int32_t error = adGlobals->errorCode;
    NameReference reference;
    while (ok && adStreamRead(stream, &reference, sizeof reference)) {
        if (!reference.store) continue;  // its record was not kept
        const AdHandle handle = lookUp(drawing, reference);
        ok = adStorePatch(reference.store, reference.offset, &handle, sizeof handle);
    }
    if (stream) adStreamCloseRead(stream);
    // A name that no record has leaves the null handle; that is no failure.
    if (ok && adGlobals->errorCode == AD_ERR_UNKNOWN_HANDLE) adGlobals->errorCode = error;
    adStoreFree(references);
    references = nullptr;
    return ok;
}
