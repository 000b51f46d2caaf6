// Little-endian fields of the file formats, read from byte arrays and
// streams and written to streams.
#pragma once

#include "imaging/raster_stream.h"

#include <cstddef>
#include <cstdint>

inline std::uint16_t LoadLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline void StoreLe16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t value) {
    StoreLe16(p, static_cast<std::uint16_t>(value));
    StoreLe16(p + 2, static_cast<std::uint16_t>(value >> 16));
}

// Reads exactly `size` bytes or reports failure.
inline bool ReadExactly(CRasterStream* stream, void* buffer, std::size_t size) {
    return size == 0 || stream->Read(buffer, 1, size) == size;
}

// Bytes from the stream's position to its end: what a header's sizes can be
// checked against before anything is allocated for them.
inline std::uint64_t BytesLeft(CRasterStream* stream) {
    const long here = stream->Tell(), size = stream->Size();
    return size > here ? static_cast<std::uint64_t>(size - here) : 0;
}

inline bool WriteExactly(CRasterStream* stream, const void* buffer, std::size_t size) {
    return size == 0 || stream->Write(buffer, 1, size) == size;
}
