// The raw extended data a reader collected for a record, made into the
// record's store of items.
#include "toolkit/ad.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
const std::int32_t kItemHeaderSize = 8;  // code, value length, four spare bytes
}  // namespace

int adCollectExtendedData(AdDrawing* drawing, AdStore** store) {
    *store = nullptr;
    AdStore* items = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = items ? adStreamOpenWrite(items) : nullptr;
    if (!stream || !adXdataReadBegin(drawing)) {
        if (stream) adStreamCloseWrite(stream);
        adStoreFree(items);
        return 0;
    }
    // The item reader answers 0 at the end and on damage alike; only the
    // error code tells them apart.
    const std::int32_t stage = adGlobals->errorCode;
    adGlobals->errorCode = AD_OK;
    AdXdataItem item;
    bool ok = true;
    while (ok && adDwgReadXdataItem(drawing, &item)) {
        // Application and layer items wait for their handle until the load
        // ends. What a write stream holds so far is its length: its read
        // position stays 0, which would put every patch on the first item.
        const std::int32_t valueOffset = adStreamLength(stream) + kItemHeaderSize;
        ok = adXdataWriteItem(stream, &item) != 0;
        if (ok && (item.code == 1001 || item.code == 1003))
            ok = adAddNameReference(drawing, item.code == 1001 ? AD_NAME_REFERENCE_APPID : AD_NAME_REFERENCE_LAYER,
                                    items, valueOffset) != 0;
    }
    ok = ok && adGlobals->errorCode == AD_OK;
    if (!adStreamCloseWrite(stream)) ok = false;
    if (!ok) {
        adStoreFree(items);
        if (adGlobals->errorCode == AD_OK) adGlobals->errorCode = AD_ERR_XDATA_DAMAGED;
        return 0;
    }
    adGlobals->errorCode = stage;
    *store = items;
    return 1;
}
