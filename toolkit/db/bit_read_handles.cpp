// Handles of the DWG bit stream: a code and count byte, then the handle's
// significant bytes, most significant first.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kFirstRelativeCode = 6;  // codes below are absolute handles
constexpr int kCodePlusBytes = 0xA;
constexpr int kCodeMinusBytes = 0xC;

// Reads the H byte and its bytes right-aligned into a zeroed handle; answers
// the count and the code, or 0 (handle null) for a count above 8.
int readHandle(AdHandle* handle, int* code) {
    std::memset(handle->b, 0, sizeof handle->b);
    // Mostly the whole handle lies in the next word: taken in one step.
    std::uint64_t word = 0;
    const int bits = adBitPeek(&word);
    const int peekedCount = static_cast<int>(word >> 56) & 0x0F;
    if (peekedCount < 8 && bits >= 8 + 8 * peekedCount) {
        *code = static_cast<int>(word >> 60);
        for (int i = 0; i < peekedCount; ++i)
            handle->b[8 - peekedCount + i] = static_cast<std::uint8_t>(word >> (48 - 8 * i));
        adBitAdvance(adBitCurrent(), 8 + 8 * peekedCount);
        return peekedCount;
    }
    const auto head = adBitTake(8);
    *code = static_cast<int>(head >> 4);
    const int count = static_cast<int>(head & 0x0F);
    if (!adBitUsable()) return 0;
    if (count > 8) return adBitBadData();
    // At most two takes of up to four bytes, most significant first.
    for (int at = 8 - count; at < 8;) {
        const int n = std::min(4, 8 - at);
        const std::uint32_t bytes = adBitTake(8 * n);
        for (int i = 0; i < n; ++i) handle->b[at + i] = static_cast<std::uint8_t>(bytes >> (8 * (n - 1 - i)));
        at += n;
    }
    if (adBitUsable()) return count;
    std::memset(handle->b, 0, sizeof handle->b);
    return 0;
}

}  // namespace

int adBitReadHandle(AdHandle* handle) {
    int code = 0;
    return readHandle(handle, &code);
}

int adBitReadHandleRef(AdHandleEntry* entry) {
    int code = 0;
    const int count = readHandle(&entry->handle, &code);
    entry->flag = adBitUsable() ? static_cast<std::uint8_t>((code & 3) + 1) : 0;
    return count;
}

int adBitReadRelHandle(const AdHandle* base, AdHandle* handle) {
    AdHandle value;
    int code = 0;
    const int count = readHandle(&value, &code);
    if (!adBitUsable()) {
        std::memset(handle->b, 0, sizeof handle->b);
        return 0;
    }
    if (code < kFirstRelativeCode) {
        *handle = value;
        return 1;
    }
    // The codes without bytes (6, 8) step by one, up or down by bit 3. 0xA
    // and 0xC carry their step, so without bytes they step by nothing.
    bool down = code == kCodeMinusBytes;
    if (count == 0 && code != kCodePlusBytes && code != kCodeMinusBytes) {
        value.b[7] = 1;
        down = (code & 8) != 0;
    }
    if (down) {
        adHandleSubtract(base, &value, handle);
    } else {
        adHandleAdd(base, &value, handle);
    }
    return 1;
}
