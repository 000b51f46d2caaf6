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
