// The ADPART SAT decoder over arbitrary proxy data bits.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AdGlobalState state;
    state = AdGlobalState{};
    adGlobals = &state;
    if (size > INT32_MAX) return 0;

    AdStore* source = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* writer = adStreamOpenWrite(source);
    if (!adStreamWrite(writer, data, static_cast<std::int32_t>(size)) || !adStreamCloseWrite(writer)) std::abort();

    AdStore* target = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* in = adStreamOpenRead(source);
    AdStream* out = adStreamOpenWrite(target);
    const std::int32_t result = adSatDecodeProxy(in, out);
    // Memory does not run out here, so the target takes every line.
    if (result != AD_SAT_DONE && result != AD_SAT_SOURCE_ENDED && result != AD_SAT_LINE_TOO_LONG) std::abort();
    adStreamCloseRead(in);
    adStreamCloseWrite(out);
    adStoreFree(target);
    adStoreFree(source);
    return 0;
}
