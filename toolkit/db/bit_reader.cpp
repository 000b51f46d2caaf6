// The core of the DWG bit reader: bits and bytes taken from the read buffer,
// which is refilled piece by piece from the drawing's file or run by run from
// a stream. Bits are taken from the most significant end of each byte.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::int32_t kPieceSize = 0x8000;
// The last piece of an object carries its two CRC bytes after the data.
constexpr std::int32_t kLastPieceSize = 0x8002;
constexpr std::int32_t kStreamRunSize = 0xFFE0;

std::int32_t refillFromStream(AdBitStream* bs, std::uint8_t* buffer) {
    const std::int32_t n = std::min(bs->streamBytesLeft, kStreamRunSize);
    if (n <= 0 || !adStreamRead(bs->stream, buffer, n)) return 0;
    bs->streamBytesLeft -= n;
    return n;
}

std::int32_t refillFromFile(AdBitStream* bs, std::uint8_t* buffer) {
    const AdDrawing* drawing = adGlobals->bitDrawing;
    if (!drawing || !drawing->file || bs->pieceIndex >= bs->pieceCount - 1) return 0;
    ++bs->pieceIndex;
    const std::int32_t n = bs->pieceIndex == bs->pieceCount - 1 ? kLastPieceSize : kPieceSize;
    return static_cast<std::int32_t>(HostRead(buffer, 1, static_cast<std::size_t>(n), drawing->file));
}

// Moves onto the next byte, refilling the buffer when it is used up; 0 (the
// stream failed) when the data has no next byte.
int stepByte(AdBitStream* bs) {
    if (bs->bytesLeft > 1) {
        ++bs->current;
        --bs->bytesLeft;
        return 1;
    }
    std::uint8_t* buffer = adBitReadBuffer();
    const std::int32_t got = !buffer ? 0 : bs->stream ? refillFromStream(bs, buffer) : refillFromFile(bs, buffer);
    if (got <= 0) {
        bs->bytesLeft = 0;
        return adBitFail();
    }
    bs->current = buffer;
    bs->bytesLeft = got;
    return 1;
}

// True when no bit of the current byte is left to take.
bool byteUsedUp(const AdBitStream* bs) { return bs->bytesLeft <= 0 || bs->bitMask <= 1; }

// Bits the buffer still holds from the reader on.
std::int64_t bitsInBuffer(const AdBitStream* bs) {
    return bs->bytesLeft > 0 ? std::int64_t{bs->bytesLeft} * 8 - adBitUsedInByte(bs) : 0;
}

// count bytes (at most those the buffer holds) at the reader's bit position.
void copyFromBuffer(AdBitStream* bs, std::uint8_t* out, std::int32_t count) {
    const int used = adBitUsedInByte(bs);
    const std::uint8_t* from = bs->current + used / 8;
    const int shift = used % 8;
    if (shift == 0) {
        std::memcpy(out, from, static_cast<std::size_t>(count));
    } else {
        for (std::int32_t i = 0; i < count; ++i)
            out[i] = static_cast<std::uint8_t>((from[i] << shift) | (from[i + 1] >> (8 - shift)));
    }
    adBitAdvance(bs, std::int64_t{count} * 8);
}

// The buffer's last bytes (fewer than 8) from the reader on, as the high
// bytes of a word.
std::uint64_t lastBytes(const AdBitStream* bs) {
    std::uint64_t word = 0;
    for (std::int32_t i = 0; i < bs->bytesLeft && i < 8; ++i)
        word |= static_cast<std::uint64_t>(bs->current[i]) << (56 - 8 * i);
    return word;
}

}  // namespace

int adBitFail() {
    if (AdBitStream* bs = adBitCurrent()) bs->failed = 1;
    return 0;
}

int adBitBadData() {
    adFatalError(AD_FATAL_BAD_STORED_DATA);
    return adBitFail();
}

int adBitReadBit() {
    if (!adBitUsable()) return 0;
    AdBitStream* bs = adBitCurrent();
    if (byteUsedUp(bs)) {
        if (!stepByte(bs)) return 0;
        bs->bitMask = 0x100;
    }
    bs->bitMask = static_cast<std::int16_t>(bs->bitMask >> 1);
    return (*bs->current & bs->bitMask) ? 1 : 0;
}

std::uint32_t adBitTakeSlow(int n) {
    AdBitStream* bs = adBitCurrent();
    // The buffer holds the bits, though not 8 bytes of them.
    if (bs && !bs->failed && bitsInBuffer(bs) >= n) return adBitTakeFromWord(bs, lastBytes(bs), n);
    std::uint32_t value = 0;
    for (int i = 0; i < n; ++i) value = (value << 1) | static_cast<std::uint32_t>(adBitReadBit());
    return adBitUsable() ? value : 0;
}

int adBitPeek(std::uint64_t* word) {
    *word = 0;
    const AdBitStream* bs = adBitCurrent();
    if (!bs || bs->failed || bs->bytesLeft <= 0) return 0;
    std::uint64_t raw = 0;
    if (bs->bytesLeft >= 8) {
        std::memcpy(&raw, bs->current, sizeof raw);
        if constexpr (std::endian::native == std::endian::little) raw = __builtin_bswap64(raw);
    } else {
        raw = lastBytes(bs);
    }
    const int used = adBitUsedInByte(bs);
    *word = raw << used;
    return 8 * std::min(bs->bytesLeft, 8) - used;
}

std::uint8_t adBitReadByte() { return static_cast<std::uint8_t>(adBitTake(8)); }

int adBitReadBytes(void* bytes, std::int32_t count) {
    auto* out = static_cast<std::uint8_t*>(bytes);
    std::int32_t done = 0;
    // Each pass takes at least one byte, or the stream fails.
    while (done < count && adBitUsable()) {
        AdBitStream* bs = adBitCurrent();
        const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(count - done, bitsInBuffer(bs) / 8));
        if (n > 0) {
            copyFromBuffer(bs, out + done, n);
            done += n;
        } else {
            out[done++] = static_cast<std::uint8_t>(adBitTakeSlow(8));  // across the refill
        }
    }
    if (adBitUsable()) return 1;
    std::memset(out, 0, static_cast<std::size_t>(std::max(count, 0)));
    return 0;
}

int adBitSkip(std::int32_t bits) {
    // Each pass passes over the rest of the buffer, or one bit across the refill.
    while (bits > 0 && adBitUsable()) {
        AdBitStream* bs = adBitCurrent();
        const std::int64_t inBuffer = bitsInBuffer(bs);
        if (inBuffer > 0) {
            const std::int64_t n = std::min<std::int64_t>(bits, inBuffer);
            adBitAdvance(bs, n);
            bits -= static_cast<std::int32_t>(n);
        } else {
            adBitReadBit();
            --bits;
        }
    }
    return adBitUsable() ? 1 : 0;
}

std::int32_t adBitReadPosition() {
    const AdBitStream* bs = adBitCurrent();
    if (!bs) return 0;
    const auto buffer = reinterpret_cast<std::uintptr_t>(adBitReadBuffer());
    const auto current = reinterpret_cast<std::uintptr_t>(bs->current);
    const std::int64_t taken = buffer && current >= buffer ? static_cast<std::int64_t>(current - buffer) : 0;
    std::int64_t earlier = 0;
    if (bs->pieceIndex > 0) earlier = bs->firstSizeWord + static_cast<std::int64_t>(bs->pieceIndex - 1) * kPieceSize;
    return static_cast<std::int32_t>(bs->dataOffset + earlier + taken);
}
