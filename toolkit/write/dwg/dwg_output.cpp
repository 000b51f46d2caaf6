// Raw little-endian values written to the output file, and the write-back of
// bytes the writer could only fill in once later sections were placed.
#include "toolkit/write/dwg/dwg_writer.h"

#include <cstdio>
#include <cstring>

namespace {
template <typename T>
int writeLittle(AdOutputDrawing* output, T value) {
    std::uint8_t bytes[sizeof(T)];
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(T));
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return adOutWrite(output, bytes, sizeof bytes);
}
}  // namespace

int adOutWriteShort(AdOutputDrawing* output, std::int16_t value) { return writeLittle(output, value); }
int adOutWriteLong(AdOutputDrawing* output, std::int32_t value) { return writeLittle(output, value); }
int adOutWriteDouble(AdOutputDrawing* output, double value) { return writeLittle(output, value); }

std::int32_t adOutTell(AdOutputDrawing* output) {
    if (!output->file) return -1;
    const std::int64_t at = HostTell(output->file);
    // Every offset a locator or the object map holds is an int32.
    return at >= 0 && at <= INT32_MAX ? static_cast<std::int32_t>(at) : -1;
}

int adOutPatch(AdOutputDrawing* output, std::int32_t offset, const void* bytes, std::int32_t count) {
    if (!output->file || HostSeek(output->file, offset, SEEK_SET) != 0) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    const int written = adOutWrite(output, bytes, static_cast<std::size_t>(count));
    if (output->file && HostSeek(output->file, 0, SEEK_END) != 0) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    return written;
}
