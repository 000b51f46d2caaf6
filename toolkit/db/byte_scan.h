// Scans for the bytes that end a text line, eight bytes at a time: both the
// file layer and the DXF tokenizer look at every byte of an ASCII file, and a
// byte-by-byte loop was their largest cost.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace adscan {

// The scans take the first byte of a word as its lowest.
static_assert(std::endian::native == std::endian::little);

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHigh = 0x8080808080808080ULL;

inline std::uint64_t load(const void* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Nonzero when some byte of word is below n (n at most 128).
inline std::uint64_t hasBelow(std::uint64_t word, std::uint8_t n) { return (word - kOnes * n) & ~word & kHigh; }

// Nonzero when some byte of word equals c.
inline std::uint64_t hasByte(std::uint64_t word, std::uint8_t c) { return hasBelow(word ^ (kOnes * c), 1); }

// Index of the lowest byte flagged in a mask of hasBelow or hasByte; a flag
// may be false only above a true one, so the lowest is exact.
inline std::size_t firstFlagged(std::uint64_t mask) { return static_cast<std::size_t>(__builtin_ctzll(mask)) / 8; }

}  // namespace adscan

// The index of the first CR or LF among the n bytes, or n.
inline std::size_t adFindLineEnd(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t word = adscan::load(p + i);
        const std::uint64_t mask = adscan::hasByte(word, '\r') | adscan::hasByte(word, '\n');
        if (mask) return i + adscan::firstFlagged(mask);
    }
    while (i < n && p[i] != '\r' && p[i] != '\n') ++i;
    return i;
}

// The index of the first control byte other than a tab among the n bytes, or n.
inline std::size_t adFindControl(const char* p, std::size_t n) {
    std::size_t i = 0;
    while (i + 8 <= n) {
        const std::uint64_t mask = adscan::hasBelow(adscan::load(p + i), 0x20);
        if (!mask) {
            i += 8;
            continue;
        }
        i += adscan::firstFlagged(mask);
        if (p[i] != '\t') return i;
        ++i;
    }
    while (i < n && (static_cast<unsigned char>(p[i]) >= 0x20 || p[i] == '\t')) ++i;
    return i;
}
