// Shared by the bit reader, the bit writer and the encoder: where the current
// stream and its buffers are, and how a stream is marked failed.
#pragma once
#include "toolkit/ad_internal.h"

#include <bit>
#include <cstdint>
#include <cstring>

inline AdBitStream* adBitCurrent() { return adGlobals ? adGlobals->bitStream : nullptr; }
inline std::uint8_t* adBitReadBuffer() { return adGlobals ? adGlobals->buffer128kA : nullptr; }
inline std::uint8_t* adBitWriteBuffer() { return adGlobals ? adGlobals->buffer128kB : nullptr; }

// True when there is a current stream and it has not failed.
inline bool adBitUsable() {
    const AdBitStream* bs = adBitCurrent();
    return bs && !bs->failed;
}

// Marks the current stream failed (when there is one); answers 0.
int adBitFail();
// Stored data that cannot be taken (an over-long handle or text): the
// fatal-error hook with 5, and the stream failed; answers 0.
int adBitBadData();

// Bits of the current byte already taken: none at mask 0x100, all at 0x01.
inline int adBitUsedInByte(const AdBitStream* bs) {
    return bs->bitMask <= 1 ? 8 : 8 - std::countr_zero(static_cast<unsigned>(bs->bitMask));
}

// Moves the reader past n bits (1 or more) that the buffer holds: the byte
// of the last bit taken stays current, its mask on that bit, as when the
// bits are taken one at a time.
inline void adBitAdvance(AdBitStream* bs, std::int64_t n) {
    const std::int64_t last = adBitUsedInByte(bs) + n - 1;
    bs->current += last / 8;
    bs->bytesLeft -= static_cast<std::int32_t>(last / 8);
    bs->bitMask = static_cast<std::int16_t>(0x80 >> (last % 8));
}

// n bits (1 to 32) of word, whose first byte is the current one; the reader
// moves past them.
inline std::uint32_t adBitTakeFromWord(AdBitStream* bs, std::uint64_t word, int n) {
    const int used = adBitUsedInByte(bs);
    adBitAdvance(bs, n);
    return static_cast<std::uint32_t>((word << used) >> (64 - n));
}

// The next n bits (1 to 32), first bit highest; 0 once the stream has
// failed. While the buffer holds the next 8 bytes they are taken in one
// load; the slow path takes what the buffer's last bytes hold, and goes bit
// by bit across a refill.
std::uint32_t adBitTakeSlow(int n);
inline std::uint32_t adBitTake(int n) {
    AdBitStream* bs = adBitCurrent();
    if (!bs || bs->failed || bs->bytesLeft < 8) return adBitTakeSlow(n);
    std::uint64_t word = 0;
    std::memcpy(&word, bs->current, sizeof word);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return adBitTakeFromWord(bs, word, n);
}

// The bits from the reader on as a word, first bit highest, without taking
// them; answers how many of the word's bits are data (up to 64 less the bits
// of the current byte already taken), 0 when the stream has failed or the
// buffer is used up.
int adBitPeek(std::uint64_t* word);

// n bytes (1 to 4) taken first byte highest, as the little-endian value
// they store.
inline std::uint32_t adBitLittleEndian(std::uint32_t taken, int n) {
    std::uint32_t value = 0;
    for (int i = 0; i < n; ++i) value |= ((taken >> (8 * (n - 1 - i))) & 0xFF) << (8 * i);
    return value;
}

// The next n bytes (1 to 4) as a little-endian value.
inline std::uint32_t adBitTakeLittleEndian(int n) { return adBitLittleEndian(adBitTake(8 * n), n); }

// The two-bit prefix of BS, BL, BD and DD, first bit high.
inline int adBitReadCode() { return static_cast<int>(adBitTake(2)); }
int adBitWriteCode(int code);

// The writer's result: 1, or -1 once the stream has failed.
inline int adBitWriterResult() { return adBitUsable() ? 1 : -1; }
