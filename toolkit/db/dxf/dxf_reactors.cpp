// The groups every DXF record may carry: its reactors and its extension
// dictionary, each inside a 102 bracket.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

int adDxfCollectReactors(AdDrawing* drawing, AdStore** reactors, std::int32_t* reactorCount) {
    *reactorCount = 0;
    if (!adDxfReadGroup(drawing)) return 0;
    if (adDxfToken().code == 102) return 1;
    if (*reactors) adStoreFree(*reactors);
    *reactors = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = *reactors ? adStreamOpenWrite(*reactors) : nullptr;
    if (!stream) return 0;
    bool ok = true;
    bool read = true;
    do {
        ok = adStreamWriteHandle(stream, &adDxfToken().handle) != 0;
        if (ok) ++*reactorCount;
        read = ok && adDxfReadGroup(drawing);
    } while (read && adDxfToken().code != 102);
    ok = adStreamCloseWrite(stream) && read;
    return ok ? 1 : 0;
}

int adDxfReadReactors(AdDrawing* drawing, AdStore** reactors, std::int32_t* reactorCount,
                      AdHandle* extensionDictionary) {
    if (!drawing || !adGlobals) return 0;
    if (adDxfToken().code != 102) return 1;
    do {
        if (adDxfTokenIs(102, "{ACAD_REACTORS")) {
            if (!adDxfCollectReactors(drawing, reactors, reactorCount)) return 0;
        } else if (adDxfTokenIs(102, "{ACAD_XDICTIONARY")) {
            if (!adDxfReadGroup(drawing)) return 0;
            *extensionDictionary = adDxfToken().handle;
            if (!adDxfReadGroup(drawing)) return 0;
        }
        if (!adDxfReadGroup(drawing)) return 0;
    } while (adDxfToken().code == 102);
    return adDxfPutBack(drawing);
}

int adDxfReadPoint(AdDrawing* drawing, double point[3], std::int16_t base) {
    if (!drawing || !adGlobals) return 0;
    point[0] = adDxfToken().real;
    point[1] = point[2] = 0.0;
    for (int axis = 1; axis <= 2; ++axis) {
        const bool read = adDxfReadGroup(drawing) != 0;
        if (!read || (base != 0 && adDxfToken().code != base + 10 * axis)) return adDxfPutBack(drawing);
        point[axis] = adDxfToken().real;
    }
    return 1;
}

int adDxfReadChunks(AdDrawing* drawing, AdStore** store) {
    if (!drawing || !adGlobals) return 0;
    // A repeated run of chunks replaces the one read before, which is freed.
    adStoreFree(*store);
    *store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = *store ? adStreamOpenWrite(*store) : nullptr;
    if (!stream) return 0;
    // An ASCII line holds at most AD_DXF_LINE_LIMIT digits.
    std::uint8_t bytes[AD_DXF_LINE_LIMIT / 2 + 1];
    bool ok = true;
    do {
        std::int16_t count = 0;
        ok = adHexToBytes(adDxfToken().text, bytes, sizeof bytes, &count) && adStreamWrite(stream, bytes, count);
    } while (ok && adDxfReadGroup(drawing) && adDxfToken().code == 310);
    ok = adStreamCloseWrite(stream) && ok && adDxfPutBack(drawing);
    return ok ? 1 : 0;
}
