// The core of the DWG bit reader: bits and bytes taken from the read buffer,
// which is refilled piece by piece from the drawing's file or run by run from
// a stream. Bits are taken from the most significant end of each byte.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <bit>
#include <cstdint>

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

int adBitReadCode() {
    const int high = adBitReadBit();
    return (high << 1) | adBitReadBit();
}

std::uint8_t adBitReadByte() {
    if (!adBitUsable()) return 0;
    AdBitStream* bs = adBitCurrent();
    if (byteUsedUp(bs)) {
        if (!stepByte(bs)) return 0;
        bs->bitMask = 0x100;
    }
    if (bs->bitMask == 0x100) {
        bs->bitMask = 0x01;
        return *bs->current;
    }
    if (bs->bytesLeft >= 2) {
        // The byte straddles two buffer bytes: the low bits of this one, the
        // high bits of the next. The mask stays where it is.
        const int kept = std::countr_zero(static_cast<unsigned>(bs->bitMask));
        const auto value = static_cast<std::uint8_t>((bs->current[0] << (8 - kept)) | (bs->current[1] >> kept));
        ++bs->current;
        --bs->bytesLeft;
        return value;
    }
    // The byte straddles a refill.
    unsigned value = 0;
    for (int i = 0; i < 8; ++i) value = (value << 1) | static_cast<unsigned>(adBitReadBit());
    return adBitUsable() ? static_cast<std::uint8_t>(value) : 0;
}

int adBitReadBytes(void* bytes, std::int32_t count) {
    auto* out = static_cast<std::uint8_t*>(bytes);
    for (std::int32_t i = 0; i < count; ++i) out[i] = adBitReadByte();
    if (adBitUsable()) return 1;
    for (std::int32_t i = 0; i < count; ++i) out[i] = 0;
    return 0;
}

int adBitSkip(std::int32_t bits) {
    for (std::int32_t i = 0; i < bits / 8 && adBitUsable(); ++i) adBitReadByte();
    for (std::int32_t i = 0; i < bits % 8 && adBitUsable(); ++i) adBitReadBit();
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
