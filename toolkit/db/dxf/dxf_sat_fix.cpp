// DXF files escape every caret of the stored SAT text with a space after it
// ("^ "), which reads as a space after every "A" once the characters are
// mirrored back; the spaces are dropped, whatever the file's release. The text is
// treated as one run, so a space that a store block boundary separates
// from its "A" goes too.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
const std::int32_t kChunk = 4096;
}

int adDxfSatTextFix(AdStore** store) {
    if (!store || !*store) return 0;
    AdStore* fixed = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = fixed ? adStreamOpenWrite(fixed) : nullptr;
    AdStream* in = out ? adStreamOpenRead(*store) : nullptr;
    if (!in) {
        if (out) adStreamCloseWrite(out);
        adStoreFree(fixed);
        adNoMemory(AD_ERR_BUFFER_128K_A);
        return 0;
    }
    std::uint8_t chunk[kChunk];
    std::uint8_t kept[kChunk];
    bool afterA = false;
    bool ok = true;
    for (std::int32_t left = adStoreSize(*store); ok && left > 0;) {
        const std::int32_t n = left < kChunk ? left : kChunk;
        ok = adStreamRead(in, chunk, n) != 0;
        std::int32_t count = 0;
        for (std::int32_t i = 0; ok && i < n; ++i) {
            if (afterA && chunk[i] == ' ') continue;
            afterA = chunk[i] == 'A';
            kept[count++] = chunk[i];
        }
        ok = ok && adStreamWrite(out, kept, count);
        left -= n;
    }
    adStreamCloseRead(in);
    ok = adStreamCloseWrite(out) && ok;
    if (!ok) {
        adStoreFree(fixed);
        return 0;
    }
    adStoreFree(*store);
    *store = fixed;
    return 1;
}
