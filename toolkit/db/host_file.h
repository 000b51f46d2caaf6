// The host file stream behind the opaque HostFile of the host layer.
#pragma once
#include "toolkit/ad.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A file opened for reading ("rb") is served from a window of its bytes in
// memory: the readers seek per record and read byte by byte, and inside the
// window a seek is arithmetic and a byte a load. Only a position outside the
// window costs a system call, one read that refills it. Files opened in any
// other mode go straight to the C runtime's buffered stream.
struct HostFile {
    std::FILE* file = nullptr;
    bool windowed = false;
    std::uint8_t* window = nullptr;
    std::size_t capacity = 0;
    std::int64_t windowStart = 0;     // file offset of window[0]
    std::size_t filled = 0;           // bytes of the window that hold file data
    std::int64_t position = 0;        // the next byte the caller reads
    std::int64_t systemPosition = 0;  // where the runtime's stream stands
    std::int64_t length = -1;         // -1 when the file could not tell
    bool eof = false;                 // set by a read that met the end, as the runtime's indicator
};

// Files read are refilled this much at a time, or whole when smaller, so that
// the reads a load makes follow the file's size and not its record count.
constexpr std::size_t HOST_READ_WINDOW = std::size_t{1} << 20;

// The runtime's own seek and tell with 64-bit offsets.
int HostSystemSeek(std::FILE* file, std::int64_t offset, int whence);
std::int64_t HostSystemTell(std::FILE* file);

// HostGets that also gives the length of what it put in the buffer.
char* HostGetLine(char* buffer, std::int32_t size, HostFile* f, std::size_t* length);

// The window's bytes from the position on, refilled first when the position
// lies outside it; null at the end of the file.
const std::uint8_t* HostWindowFill(HostFile* f, std::size_t* available);

// The bytes of a read file's window from the position on; null once a read
// met the end of the file, and for a stream without window. A reader takes a
// whole group where it lies with these, and comes back through the byte and
// line primitives only where the window ends. Inline: readers ask per group.
inline const std::uint8_t* HostWindowBytes(HostFile* f, std::size_t* available) {
    *available = 0;
    if (!f->windowed || f->eof) return nullptr;
    if (f->position >= f->windowStart) {
        const auto at = static_cast<std::uint64_t>(f->position - f->windowStart);
        if (at < f->filled) {
            *available = f->filled - at;
            return f->window + at;
        }
    }
    return HostWindowFill(f, available);
}

// Moves the position over count of the bytes HostWindowBytes gave.
inline void HostTakeBytes(HostFile* f, std::size_t count) { f->position += static_cast<std::int64_t>(count); }
