// Host file primitives over the C runtime's buffered streams.
#include "toolkit/ad.h"
#include "toolkit/db/host_path.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

// The DXF reader reads byte by byte and line by line: every stream gets a
// buffer this large.
constexpr std::size_t kStreamBuffer = 8192;

HostFile* HostOpenFile(const char* name, const char* mode) {
    char path[HOST_PATH_SIZE];
    if (!name || !mode || !HostPlatformPath(name, path, sizeof path)) return nullptr;
    HostFile* f = std::fopen(path, mode);
    if (f && std::setvbuf(f, nullptr, _IOFBF, kStreamBuffer) != 0) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

HostFile* HostOpenRead(const char* name) { return HostOpenFile(name, "rb"); }

int HostClose(HostFile* f) { return f ? std::fclose(f) : EOF; }

std::size_t HostRead(void* buffer, std::size_t itemSize, std::size_t count, HostFile* f) {
    return f && buffer ? std::fread(buffer, itemSize, count, f) : 0;
}

std::size_t HostWrite(const void* buffer, std::size_t itemSize, std::size_t count, HostFile* f) {
    return f && buffer ? std::fwrite(buffer, itemSize, count, f) : 0;
}

int HostPuts(const char* text, HostFile* f) { return f && text ? std::fputs(text, f) : EOF; }

int HostGetc(HostFile* f) { return f ? std::fgetc(f) : EOF; }

// Reads one line; CR, LF, CR LF and LF CR each end one line, the line end is
// kept and the pair's second byte is consumed. A line longer than the buffer
// comes back in pieces of size - 1 bytes: the byte that did not fit is left
// on the stream for the next call.
char* HostGets(char* buffer, std::int32_t size, HostFile* f) {
    if (!buffer || !f || size <= 0 || std::feof(f)) return nullptr;
    std::int32_t n = 0;
    for (;;) {
        const int c = std::fgetc(f);
        if (c == EOF) break;
        if (n == size - 1) {
            std::ungetc(c, f);
            break;
        }
        buffer[n++] = static_cast<char>(c);
        if (c == '\r' || c == '\n') {
            const int partner = c == '\r' ? '\n' : '\r';
            const int next = std::fgetc(f);
            if (next != EOF && next != partner) std::ungetc(next, f);
            break;
        }
    }
    buffer[n] = '\0';
    return buffer;
}

int HostEof(HostFile* f) { return f ? std::feof(f) : 1; }

int HostSeek(HostFile* f, std::int64_t offset, int origin) {
    if (!f) return -1;
    int whence = SEEK_SET;
    if (origin == 1) {
        whence = SEEK_CUR;
    } else if (origin == 2) {
        whence = SEEK_END;
    } else if (origin != 0) {
        return -1;
    }
#ifdef _WIN32
    const int result = _fseeki64(f, offset, whence);
#else
    const int result = fseeko(f, static_cast<off_t>(offset), whence);
#endif
    if (result != 0) return -1;
    // A seek ends the end-of-file state, as the standard seek does; the Windows
    // runtime's 64-bit seek keeps it, and the line reader would then see nothing.
    std::clearerr(f);
    return 0;
}

std::int64_t HostTell(HostFile* f) {
    if (!f) return -1;
#ifdef _WIN32
    return _ftelli64(f);
#else
    return static_cast<std::int64_t>(ftello(f));
#endif
}

std::int64_t HostFileLength(HostFile* f) {
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
