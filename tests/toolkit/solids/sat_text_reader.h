// SAT text held in memory, given to adAcisRender through a request's read
// callback in pieces of at most `chunk` bytes (small odd pieces make tokens
// straddle the parser's refills). The request's userData points at the
// reader, or at the reader part of an object built on it.
#pragma once
#include "toolkit/solids/acis_request.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

struct SatTextReader {
    const char* text = nullptr;
    std::size_t size = 0;
    std::size_t chunk = std::numeric_limits<std::size_t>::max();
    std::size_t position = 0;

    static std::int32_t read(void* buffer, std::int32_t size, void* user) {
        auto* reader = static_cast<SatTextReader*>(user);
        const std::size_t n =
            std::min<std::size_t>({static_cast<std::size_t>(size), reader->chunk, reader->size - reader->position});
        std::memcpy(buffer, reader->text + reader->position, n);
        reader->position += n;
        return static_cast<std::int32_t>(n);
    }
};
