// What readers kept of records they could not take apart, written back: the
// data bits, and the handle references each with its kind.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include "toolkit/db/bit_stream_state.h"

namespace {
constexpr std::int32_t kRun = 32;
}  // namespace

int adDwgCopyBits(AdStore* store, std::int32_t bits) {
    if (!store || bits <= 0) return 1;
    AdStream* in = adStreamOpenRead(store);
    if (!in) return 0;
    std::uint8_t run[kRun];
    int ok = 1;
    for (std::int32_t left = bits / 8; ok && left > 0;) {
        const std::int32_t n = left < kRun ? left : kRun;
        ok = adStreamRead(in, run, n) && adBitWriteBytes(run, n) > 0;
        left -= n;
    }
    std::uint8_t last = 0;
    if (ok && bits % 8 != 0 && (ok = adStreamRead(in, &last, 1)) != 0)
        for (int i = 0; i < bits % 8; ++i) adBitWriteBit((last >> (7 - i)) & 1);
    adStreamCloseRead(in);
    return ok && adBitUsable() ? 1 : 0;
}

int adDwgWriteHandleRefs(AdStore* store, std::int32_t count) {
    AdStream* in = store && count > 0 ? adStreamOpenRead(store) : nullptr;
    AdHandleEntry entry{};
    for (std::int32_t i = 0; in && i < count; ++i) {
        if (!adStreamRead(in, entry.handle.b, sizeof entry.handle.b) || !adStreamRead(in, &entry.flag, 1)) break;
        adBitWriteHandleRef(&entry);
    }
    if (in) adStreamCloseRead(in);
    return adBitUsable() ? 1 : 0;
}
