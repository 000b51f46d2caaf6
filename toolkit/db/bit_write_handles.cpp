// Handles put into the DWG bit stream: absolute, as typed references, and
// relative to the handle of the object that holds them.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

namespace {

constexpr std::uint8_t kCodeSoftPointer = 0x40;
constexpr std::uint8_t kCodeBasePlusOne = 0x60;
constexpr std::uint8_t kCodeBaseMinusOne = 0x80;
constexpr std::uint8_t kCodeBasePlus = 0xA0;
constexpr std::uint8_t kCodeBaseMinus = 0xC0;

bool isOne(const AdHandle* h) { return adHandleLength(h) == 1 && h->b[7] == 1; }

}  // namespace

int adBitWriteHandle(const AdHandle* handle, std::uint8_t code) {
    const int count = adHandleLength(handle);
    adBitWriteByte(static_cast<std::uint8_t>((code & 0xF0) | count));
    return adBitWriteBytes(handle->b + 8 - count, count);
}

int adBitWriteHandleRef(const AdHandleEntry* entry) {
    // Reference kinds 1 to 4 (soft pointer, hard pointer, soft owner, hard owner).
    static constexpr std::uint8_t kCodes[5] = {0x00, 0x40, 0x50, 0x20, 0x30};
    const std::uint8_t code = entry->flag < 5 ? kCodes[entry->flag] : 0;
    return adBitWriteHandle(&entry->handle, code);
}

int adBitWriteRelHandle(const AdHandle* ref, const AdHandle* base, std::uint8_t code) {
    AdHandle d;
    adHandleSubtract(ref, base, &d);
    // A reference equal to its base (or both null) goes as it is: written as
    // "code | 0" it would come back as the null handle.
    if (adHandleLength(&d) == 0) return adBitWriteHandle(ref, code);
    if (d.b[0] & 0x80) {
        adHandleSubtract(base, ref, &d);
        if (isOne(&d)) return adBitWriteByte(kCodeBaseMinusOne);
        if (adHandleCompare(&d, ref) < 0) return adBitWriteHandle(&d, kCodeBaseMinus);
        return adBitWriteHandle(ref, kCodeSoftPointer);
    }
    if (isOne(&d)) return adBitWriteByte(kCodeBasePlusOne);
    if (adHandleLength(ref) >= adHandleLength(&d)) return adBitWriteHandle(&d, kCodeBasePlus);
    return adBitWriteHandle(ref, kCodeSoftPointer);
}
