#include "imaging/raster_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

CRasterMemStream::CRasterMemStream(const std::uint8_t* buffer, std::uint32_t size)
    // The caller's bytes are never written through this pointer: Grow copies
    // them into a block of the stream's own before the first write.
    : Buffer(const_cast<std::uint8_t*>(buffer)), End(size), OwnsBuffer(buffer == nullptr), Position(0),
      Capacity(size) {}

CRasterMemStream::~CRasterMemStream() { Close(); }

bool CRasterMemStream::Open() {
    if (Buffer) return false;
    End = Capacity = Position = 0;
    Buffer = static_cast<std::uint8_t*>(std::malloc(1));
    OwnsBuffer = true;
    return Buffer != nullptr;
}

bool CRasterMemStream::Close() {
    if (OwnsBuffer) {
        std::free(Buffer);
        Buffer = nullptr;
        End = 0;
    }
    return true;
}

std::uint8_t* CRasterMemStream::GetBuffer(bool detach) {
    OwnsBuffer = !detach;
    return Buffer;
}

// Room for `needed` bytes, in 4 KB steps. A failed growth keeps the current
// block as it was; a block that is not the stream's own is copied, never
// reallocated.
bool CRasterMemStream::Grow(std::uint64_t needed) {
    if (needed <= Capacity) return true;
    const std::uint64_t capacity = (needed & ~std::uint64_t{0xFFF}) + 4096;
    if (capacity > std::numeric_limits<std::uint32_t>::max()) return false;
    std::uint8_t* grown = nullptr;
    if (OwnsBuffer) {
        grown = static_cast<std::uint8_t*>(std::realloc(Buffer, capacity));
    } else {
        grown = static_cast<std::uint8_t*>(std::malloc(capacity));
        if (grown && Buffer) std::memcpy(grown, Buffer, std::min(End, Capacity));
    }
    if (!grown) return false;
    Buffer = grown;
    Capacity = static_cast<std::uint32_t>(capacity);
    OwnsBuffer = true;
    return true;
}

// A write after a seek beyond the end leaves no unset bytes in between.
void CRasterMemStream::ZeroGap() {
    if (Position > End) std::memset(Buffer + End, 0, Position - End);
}

std::size_t CRasterMemStream::Read(void* buffer, std::size_t size, std::size_t count) {
    if (!Buffer || !buffer || Position >= End || size == 0 || count == 0) return 0;
    if (count > std::numeric_limits<std::size_t>::max() / size) count = std::numeric_limits<std::size_t>::max() / size;
    const std::size_t n = std::min<std::size_t>(size * count, End - Position);
    std::memcpy(buffer, Buffer + Position, n);
    Position += static_cast<std::uint32_t>(n);
    return n / size;
}

std::size_t CRasterMemStream::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (!Buffer || !buffer || size == 0 || count == 0) return 0;
    if (count > std::numeric_limits<std::uint32_t>::max() / size) return 0;
    const std::uint64_t n = std::uint64_t{size} * count;
    if (!Grow(std::uint64_t{Position} + n)) return 0;
    ZeroGap();
    std::memcpy(Buffer + Position, buffer, n);
    Position += static_cast<std::uint32_t>(n);
    End = std::max(End, Position);
    return count;
}

bool CRasterMemStream::Seek(long offset, int origin) {
    if (!Buffer) return false;
    std::int64_t base = 0;
    switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = Position; break;
    case SEEK_END: base = End; break;
    default: return false;
    }
    const std::int64_t target = std::clamp<std::int64_t>(base + offset, 0, std::numeric_limits<std::uint32_t>::max());
    Position = static_cast<std::uint32_t>(target);
    return true;
}

long CRasterMemStream::Tell() { return Buffer ? static_cast<long>(Position) : -1; }

long CRasterMemStream::Size() { return Buffer ? static_cast<long>(End) : -1; }

bool CRasterMemStream::Flush() { return Buffer != nullptr; }

bool CRasterMemStream::Eof() { return !Buffer || Position >= End; }

long CRasterMemStream::Error() {
    if (!Buffer) return -1;
    return Position > End ? 1 : 0;
}

bool CRasterMemStream::PutC(std::uint8_t byte) {
    if (!Buffer || !Grow(std::uint64_t{Position} + 1)) return false;
    ZeroGap();
    Buffer[Position++] = byte;
    End = std::max(End, Position);
    return true;
}

int CRasterMemStream::GetC() {
    if (Eof()) return -1;
    return Buffer[Position++];
}
