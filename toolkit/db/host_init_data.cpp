// The host's init-data hooks over the copy of the init data compiled into the
// program. One read position serves every handle.
#include "toolkit/ad.h"
#include "toolkit/db/init_data_blob.h"

#include <cstring>

namespace {
std::uint32_t position = 0;
}  // namespace

void* HostInitOpen(const char*) {
    position = 0;
    return &position;
}

int HostInitGetc(void*) {
    if (position >= adInitDataLength) return 0;
    return adInitDataBytes[position++];
}

std::size_t HostInitRead(void* buffer, std::size_t itemSize, std::size_t count, void*) {
    if (itemSize == 0 || position >= adInitDataLength) return 0;
    std::size_t left = adInitDataLength - position;
    std::size_t items = count < left / itemSize ? count : left / itemSize;
    std::size_t length = items * itemSize;
    // A request for more than is left still gets the bytes up to the end.
    if (items < count) length = left;
    std::memcpy(buffer, adInitDataBytes + position, length);
    position += static_cast<std::uint32_t>(length);
    return items;
}

// Origin 0 counts from the start, 1 from the position, 2 back from the end
// (length - offset). A position outside the data is refused, leaving the
// position where it was.
int HostInitSeek(void*, std::int64_t offset, int origin) {
    if (origin < 0 || origin > 2) return 0;
    if (offset < INT32_MIN || offset > INT32_MAX) return -1;
    std::int64_t target = offset;
    if (origin == 1) target = static_cast<std::int64_t>(position) + offset;
    if (origin == 2) target = static_cast<std::int64_t>(adInitDataLength) - offset;
    if (target < 0 || target > adInitDataLength) return -1;
    position = static_cast<std::uint32_t>(target);
    return 0;
}

int HostInitClose(void*) {
    position = 0;
    return 1;
}

void HostUseEmbeddedInitData() {
    adSetInitOpenHook(HostInitOpen);
    adSetInitGetcHook(HostInitGetc);
    adSetInitReadHook(HostInitRead);
    adSetInitSeekHook(HostInitSeek);
    adSetInitCloseHook(HostInitClose);
}
