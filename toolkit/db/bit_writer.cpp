// The core of the DWG bit writer: bits and bytes put into the write buffer,
// whose full chunks go into the stream (the encoder) or the chunk store (a
// record bound for a file).
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

#include <bit>
#include <cstdint>

namespace {

// The bit count of a record is an int32, and every chunk is 0x20000 bits, so a
// record holds fewer chunks than this.
constexpr std::int16_t kChunkLimit = 0x3FFF;

int appendToChunkStore(AdBitStream* bs, std::int32_t count) {
    if (!bs->chunkStore) {
        bs->chunkStore = adStoreCreate(AD_STORE_BLOCK_SIZE);
        if (!bs->chunkStore) return 0;
    }
    if (!bs->chunkStream && !(bs->chunkStream = adStreamOpenWrite(bs->chunkStore))) return 0;
    return adStreamWrite(bs->chunkStream, adBitWriteBuffer(), count);
}

// Hands the full buffer on and starts it again from its first byte.
int flushChunk(AdBitStream* bs) {
    if (bs->pieceIndex + 1 >= kChunkLimit) return 0;
    const int stored = bs->stream ? adStreamWrite(bs->stream, adBitWriteBuffer(), AD_BIT_CHUNK_SIZE)
                                  : appendToChunkStore(bs, AD_BIT_CHUNK_SIZE);
    if (!stored) return 0;
    ++bs->pieceIndex;
    bs->current = adBitWriteBuffer();
    bs->bytesLeft = AD_BIT_CHUNK_SIZE;
    return 1;
}

// Starts the next byte of the buffer, cleared, with none of its bits used.
int startByte(AdBitStream* bs) {
    if (bs->bytesLeft > 1) {
        ++bs->current;
        --bs->bytesLeft;
    } else if (!flushChunk(bs)) {
        bs->failed = 1;
        return 0;
    }
    *bs->current = 0;
    bs->bitMask = 0x100;
    return 1;
}

// The current stream when it can take more bits, with a free bit in its
// current byte; null otherwise.
AdBitStream* roomForBits() {
    if (!adBitUsable()) return nullptr;
    AdBitStream* bs = adBitCurrent();
    return bs->bitMask > 1 || startByte(bs) ? bs : nullptr;
}

}  // namespace

int adBitBufferReset(AdDrawing* drawing, std::int32_t start) {
    if (!drawing || !drawing->bitStream || !adBitWriteBuffer()) return 0;
    AdBitStream* bs = drawing->bitStream;
    adGlobals->bitStream = bs;
    adGlobals->bitDrawing = drawing;
    bs->startOffset = start;
    bs->pieceCount = 1;
    bs->pieceIndex = 0;
    bs->firstSizeWord = AD_BIT_CHUNK_SIZE;
    bs->bytesLeft = AD_BIT_CHUNK_SIZE;
    bs->bitMask = 0x100;
    bs->current = adBitWriteBuffer();
    *bs->current = 0;
    bs->chunkStore = nullptr;
    bs->chunkStream = nullptr;
    bs->graphicsFlag = 0;
    bs->stream = nullptr;
    bs->failed = 0;
    return 1;
}

int adBitBufferBegin(AdDrawing* drawing) {
    if (!drawing || !drawing->file) return 0;
    const std::int64_t position = HostTell(drawing->file);
    if (position < 0 || position > INT32_MAX) return 0;
    return adBitBufferReset(drawing, static_cast<std::int32_t>(position));
}

int adBitChunkFlush(AdDrawing* drawing, std::int32_t count) {
    if (!drawing || !drawing->bitStream || !adBitWriteBuffer() || count < 0 || count > AD_BIT_CHUNK_SIZE) return 0;
    return appendToChunkStore(drawing->bitStream, count);
}

int adBitWriteBit(int bit) {
    AdBitStream* bs = roomForBits();
    if (!bs) return -1;
    bs->bitMask = static_cast<std::int16_t>(bs->bitMask >> 1);
    if (bit) *bs->current = static_cast<std::uint8_t>(*bs->current | bs->bitMask);
    return 1;
}

// The test for a free bit is the whole of the fast path; adBitWriteBit makes it.
int adBitWriteBitFast(int bit) { return adBitWriteBit(bit); }

int adBitWriteCode(int code) {
    adBitWriteBit(code & 2);
    return adBitWriteBit(code & 1);
}

int adBitWriteByte(std::uint8_t value) {
    AdBitStream* bs = roomForBits();
    if (!bs) return -1;
    if (bs->bitMask == 0x100) {
        *bs->current = value;
        bs->bitMask = 0x01;
        return 1;
    }
    // The high bits fill the current byte, the low ones start the next at its
    // top; the mask ends where it began.
    const std::int16_t mask = bs->bitMask;
    const int free = std::countr_zero(static_cast<unsigned>(mask));
    *bs->current = static_cast<std::uint8_t>(*bs->current | (value >> (8 - free)));
    if (!startByte(bs)) return -1;
    *bs->current = static_cast<std::uint8_t>(value << free);
    bs->bitMask = mask;
    return 1;
}

int adBitWriteBytes(const void* bytes, std::int32_t count) {
    const auto* in = static_cast<const std::uint8_t*>(bytes);
    for (std::int32_t i = 0; i < count && adBitUsable(); ++i) adBitWriteByte(in[i]);
    return adBitWriterResult();
}
