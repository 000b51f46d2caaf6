// Host file primitives: opening, writing, positioning and access tests.
#include "toolkit/db/host_file.h"
#include "toolkit/db/host_path.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
// Written files and files open for update keep the runtime's buffering, this
// large: the writers put out bytes one at a time.
constexpr std::size_t kStreamBuffer = 8192;

std::int64_t systemLength(std::FILE* file) {
    if (HostSystemSeek(file, 0, SEEK_END) != 0) return -1;
    const std::int64_t length = HostSystemTell(file);
    return HostSystemSeek(file, 0, SEEK_SET) == 0 ? length : -1;
}

bool openWindow(HostFile* f) {
    if (std::setvbuf(f->file, nullptr, _IONBF, 0) != 0) return false;
    f->windowed = true;
    f->length = systemLength(f->file);
    f->capacity = f->length < 0 ? HOST_READ_WINDOW : std::clamp<std::size_t>(static_cast<std::size_t>(
                                                    std::min<std::int64_t>(f->length, HOST_READ_WINDOW)), 1, HOST_READ_WINDOW);
    f->window = static_cast<std::uint8_t*>(std::malloc(f->capacity));
    return f->window != nullptr;
}
}  // namespace

int HostSystemSeek(std::FILE* file, std::int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, offset, whence);
#else
    return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t HostSystemTell(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<std::int64_t>(ftello(file));
#endif
}

HostFile* HostOpenFile(const char* name, const char* mode) {
    char path[HOST_PATH_SIZE];
    if (!name || !mode || !HostPlatformPath(name, path, sizeof path)) return nullptr;
    std::FILE* file = std::fopen(path, mode);
    if (!file) return nullptr;
    auto* f = new (std::nothrow) HostFile;
    if (f) {
        f->file = file;
        const bool ready = std::strcmp(mode, "rb") == 0
                               ? openWindow(f)
                               : std::setvbuf(file, nullptr, _IOFBF, kStreamBuffer) == 0;
        if (ready) return f;
        std::free(f->window);
        delete f;
    }
    std::fclose(file);
    return nullptr;
}

HostFile* HostOpenRead(const char* name) { return HostOpenFile(name, "rb"); }

int HostClose(HostFile* f) {
    if (!f) return EOF;
    const int result = std::fclose(f->file);
    std::free(f->window);
    delete f;
    return result;
}

std::size_t HostWrite(const void* buffer, std::size_t itemSize, std::size_t count, HostFile* f) {
    return f && buffer && !f->windowed ? std::fwrite(buffer, itemSize, count, f->file) : 0;
}

int HostPuts(const char* text, HostFile* f) { return f && text && !f->windowed ? std::fputs(text, f->file) : EOF; }

int HostSeek(HostFile* f, std::int64_t offset, int origin) {
    if (!f || origin < 0 || origin > 2) return -1;
    if (f->windowed) {
        const std::int64_t base = origin == 0 ? 0 : origin == 1 ? f->position : f->length;
        if (base < 0 || (offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
        f->position = base + offset;
        f->eof = false;
        return 0;
    }
    const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    if (HostSystemSeek(f->file, offset, whence) != 0) return -1;
    // A seek ends the end-of-file state, as the standard seek does; the Windows
    // runtime's 64-bit seek keeps it, and the line reader would then see nothing.
    std::clearerr(f->file);
    return 0;
}

std::int64_t HostTell(HostFile* f) {
    if (!f) return -1;
    return f->windowed ? f->position : HostSystemTell(f->file);
}

std::int64_t HostFileLength(HostFile* f) {
    if (!f) return -1;
    if (f->windowed) return f->length;
    const std::int64_t position = HostTell(f);
    if (position < 0 || HostSeek(f, 0, 2) != 0) return -1;
    const std::int64_t length = HostTell(f);
    if (HostSeek(f, position, 0) != 0) return -1;
    return length;
}

int HostAccess(const char* name, int mode) {
    char path[HOST_PATH_SIZE];
    if (!name || !HostPlatformPath(name, path, sizeof path)) return -1;
#ifdef _WIN32
    return _access(path, mode) == 0 ? 0 : -1;
#else
    return access(path, mode) == 0 ? 0 : -1;
#endif
}
