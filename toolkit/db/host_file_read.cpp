// Host file primitives: reading bytes, items and lines.
#include "toolkit/db/host_file.h"
#include "toolkit/db/byte_scan.h"

#include <algorithm>
#include <cstring>

// The window's bytes from the position on; refilled with one system read when
// the position lies outside it. Null at the end of the file.
const std::uint8_t* HostWindowFill(HostFile* f, std::size_t* available) {
    const std::int64_t end = f->windowStart + static_cast<std::int64_t>(f->filled);
    if (f->position < f->windowStart || f->position >= end) {
        if (f->length >= 0 && f->position >= f->length) return nullptr;
        f->windowStart = f->position;
        f->filled = 0;
        if (f->systemPosition != f->position) {
            if (HostSystemSeek(f->file, f->position, SEEK_SET) != 0) return nullptr;
            f->systemPosition = f->position;
        }
        f->filled = std::fread(f->window, 1, f->capacity, f->file);
        f->systemPosition += static_cast<std::int64_t>(f->filled);
        if (f->filled == 0) return nullptr;
    }
    const auto at = static_cast<std::size_t>(f->position - f->windowStart);
    *available = f->filled - at;
    return f->window + at;
}

namespace {

// A read larger than the window goes past it, straight into the caller's
// memory, once the window's bytes are taken.
std::size_t readDirect(HostFile* f, std::uint8_t* out, std::size_t count) {
    if (f->systemPosition != f->position) {
        if (HostSystemSeek(f->file, f->position, SEEK_SET) != 0) return 0;
        f->systemPosition = f->position;
    }
    const std::size_t n = std::fread(out, 1, count, f->file);
    f->systemPosition += static_cast<std::int64_t>(n);
    f->position += static_cast<std::int64_t>(n);
    return n;
}

// The next byte without taking it; EOF (and the end-of-file state) at the end.
int peek(HostFile* f) {
    if (!f->windowed) {
        const int c = std::fgetc(f->file);
        return c == EOF ? EOF : std::ungetc(c, f->file);
    }
    std::size_t available = 0;
    const std::uint8_t* p = HostWindowFill(f, &available);
    if (!p) {
        f->eof = true;
        return EOF;
    }
    return *p;
}

void take(HostFile* f) {
    if (f->windowed) {
        ++f->position;
    } else {
        std::fgetc(f->file);
    }
}

}  // namespace

std::size_t HostRead(void* buffer, std::size_t itemSize, std::size_t count, HostFile* f) {
    if (!f || !buffer) return 0;
    if (!f->windowed) return std::fread(buffer, itemSize, count, f->file);
    if (itemSize == 0 || count == 0) return 0;
    const std::size_t total = count > SIZE_MAX / itemSize ? SIZE_MAX / itemSize * itemSize : itemSize * count;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < total) {
        const std::int64_t windowEnd = f->windowStart + static_cast<std::int64_t>(f->filled);
        const bool inWindow = f->position >= f->windowStart && f->position < windowEnd;
        if (!inWindow && total - done >= f->capacity) {
            const std::size_t n = readDirect(f, out + done, total - done);
            done += n;
            if (n == 0) break;
            continue;
        }
        std::size_t available = 0;
        const std::uint8_t* p = HostWindowFill(f, &available);
        if (!p) break;
        const std::size_t k = std::min(available, total - done);
        std::memcpy(out + done, p, k);
        done += k;
        f->position += static_cast<std::int64_t>(k);
    }
    if (done < total) f->eof = true;
    return done / itemSize;
}

int HostGetc(HostFile* f) {
    if (!f) return EOF;
    const int c = peek(f);
    if (c != EOF) take(f);
    return c;
}

int HostEof(HostFile* f) {
    if (!f) return 1;
    return f->windowed ? (f->eof ? 1 : 0) : std::feof(f->file);
}

// Reads one line; CR, LF, CR LF and LF CR each end one line, the line end is
// kept and the pair's second byte is consumed. A line longer than the buffer
// comes back in pieces of size - 1 bytes: the byte that did not fit is left
// on the stream for the next call.
char* HostGets(char* buffer, std::int32_t size, HostFile* f) {
    std::size_t length = 0;
    return HostGetLine(buffer, size, f, &length);
}

char* HostGetLine(char* buffer, std::int32_t size, HostFile* f, std::size_t* length) {
    if (!buffer || !f || size <= 0 || HostEof(f)) return nullptr;
    const auto room = static_cast<std::size_t>(size - 1);
    std::size_t n = 0;
    for (;;) {
        // The plain bytes the window holds are taken in one run.
        std::size_t available = 0;
        const std::uint8_t* p = f->windowed && n < room ? HostWindowFill(f, &available) : nullptr;
        if (p) {
            const std::size_t limit = std::min(available, room - n);
            const std::size_t run = adFindLineEnd(p, limit);
            std::memcpy(buffer + n, p, run);
            n += run;
            f->position += static_cast<std::int64_t>(run);
            // A line end inside the window, with the byte after it there too,
            // is taken here without going back to the window for each byte.
            if (run + 1 < available && run < limit) {
                const std::uint8_t end = p[run];
                buffer[n++] = static_cast<char>(end);
                const bool pair = p[run + 1] == (end == '\r' ? '\n' : '\r');
                f->position += pair ? 2 : 1;
                break;
            }
        }
        const int c = peek(f);
        if (c == EOF || n == room) break;
        take(f);
        buffer[n++] = static_cast<char>(c);
        if (c == '\r' || c == '\n') {
            if (peek(f) == (c == '\r' ? '\n' : '\r')) take(f);
            break;
        }
    }
    buffer[n] = '\0';
    *length = n;
    return buffer;
}
