// The five init-data hooks. They are set before the toolkit starts, so they
// live outside the global state; the defaults read a file.
#include "toolkit/db/init_data.h"

namespace {

void* openFile(const char* name) { return HostOpenRead(name); }
int getcFile(void* handle) { return HostGetc(static_cast<HostFile*>(handle)); }
std::size_t readFile(void* buffer, std::size_t itemSize, std::size_t count, void* handle) {
    return HostRead(buffer, itemSize, count, static_cast<HostFile*>(handle));
}
int seekFile(void* handle, std::int64_t offset, int origin) {
    return HostSeek(static_cast<HostFile*>(handle), offset, origin);
}
int closeFile(void* handle) { return HostClose(static_cast<HostFile*>(handle)); }

AdInitHooks hooks = {openFile, getcFile, readFile, seekFile, closeFile};

}  // namespace

const AdInitHooks* adInitHooks() { return &hooks; }

void adSetInitOpenHook(AdInitOpenHook hook) { hooks.open = hook ? hook : openFile; }
void adSetInitGetcHook(AdInitGetcHook hook) { hooks.getc = hook ? hook : getcFile; }
void adSetInitReadHook(AdInitReadHook hook) { hooks.read = hook ? hook : readFile; }
void adSetInitSeekHook(AdInitSeekHook hook) { hooks.seek = hook ? hook : seekFile; }
void adSetInitCloseHook(AdInitCloseHook hook) { hooks.close = hook ? hook : closeFile; }

int adInitReadBytes(void* handle, void* buffer, std::size_t length) {
    return hooks.read(buffer, 1, length, handle) == length;
}
