// Copying a graphics block kept in a store into the bit stream, with its
// header rebuilt from the commands it holds.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

#include <algorithm>

namespace {

constexpr std::int32_t kHeaderSize = 8;  // two RL places
constexpr std::int32_t kCopyRun = 512;

int readLong(AdStream* stream, std::int32_t* value) {
    std::uint8_t b[4];
    if (!adStreamRead(stream, b, 4)) return 0;
    *value = static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
    return 1;
}

// The number of commands after the header, each an RL of its own length (the
// RL included) and its data; -1 unless they fill the block exactly.
std::int32_t countCommands(AdStream* stream, std::int32_t size) {
    std::int32_t count = 0;
    for (std::int32_t at = kHeaderSize; at < size; ++count) {
        std::int32_t length = 0;
        if (!adStreamSeek(stream, at) || !readLong(stream, &length)) return -1;
        if (length < 4 || length > size - at) return -1;
        at += length;
    }
    return count;
}

int copyBody(AdStream* stream, std::int32_t size) {
    std::uint8_t run[kCopyRun];
    if (!adStreamSeek(stream, kHeaderSize)) return 0;
    for (std::int32_t left = size - kHeaderSize; left > 0;) {
        const std::int32_t n = std::min(left, kCopyRun);
        if (!adStreamRead(stream, run, n) || adBitWriteBytes(run, n) < 0) return 0;
        left -= n;
    }
    return 1;
}

}  // namespace

bool adBitStoreCopyable(AdStore* store) {
    const std::int32_t size = store ? adStoreSize(store) : 0;
    AdStream* stream = size >= kHeaderSize ? adStreamOpenRead(store) : nullptr;
    if (!stream) return false;
    const bool whole = countCommands(stream, size) >= 0;
    adStreamCloseRead(stream);
    return whole;
}

int adBitCopyStore(AdStore* store) {
    const std::int32_t size = adStoreSize(store);
    AdStream* stream = size >= kHeaderSize ? adStreamOpenRead(store) : nullptr;
    if (!stream) return -1;
    const std::int32_t commands = countCommands(stream, size);
    int ok = commands >= 0;
    if (ok) {
        adBitWriteRawLong(size);
        adBitWriteRawLong(size);
        adBitWriteRawLong(commands);
        ok = copyBody(stream, size);
    }
    adStreamCloseRead(stream);
    return ok ? adBitWriterResult() : -1;
}
