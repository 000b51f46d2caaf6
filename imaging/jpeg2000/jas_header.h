// The text headers of PNM and PGX files: numbers separated by white space,
// with comments from '#' to the end of the line in PNM; and what their raw
// readers and writers share.
#pragma once

#include "imaging/raster_stream.h"

#include <cstdint>
#include <cstring>

// The next character that is neither white space nor (with `comments`) part
// of a comment; -1 at the end.
inline int JasNextToken(CRasterStream& stream, bool comments) {
    for (;;) {
        int c = stream.GetC();
        if (comments && c == '#') {
            while (c != -1 && c != '\n' && c != '\r') c = stream.GetC();
        }
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') return c;
    }
}

// A decimal number below 2^32 whose first digit is `c`; the character after
// it is consumed. False when `c` is no digit or the number is too long.
inline bool JasReadNumber(CRasterStream& stream, int c, std::uint32_t& value) {
    if (c < '0' || c > '9') return false;
    std::uint64_t number = 0;
    for (; c >= '0' && c <= '9'; c = stream.GetC()) {
        number = number * 10 + static_cast<std::uint32_t>(c - '0');
        if (number > 0xFFFFFFFFu) return false;
    }
    value = static_cast<std::uint32_t>(number);
    return true;
}

// Bytes left from the stream's position to its end.
inline long JasRemaining(CRasterStream& stream) {
    const long position = stream.Tell(), size = stream.Size();
    return position >= 0 && size > position ? size - position : 0;
}

inline bool JasWriteText(CRasterStream& stream, const char* text) {
    const std::size_t length = std::strlen(text);
    return stream.Write(text, 1, length) == length;
}
