// Opening, closing and releasing streams over a store.
#include "stream_cursor.h"

#include <algorithm>
#include <cstdint>

namespace {
// The first buffer of a write stream: most stores of a drawing hold a few
// points or a short run of extended data.
constexpr std::int32_t kFirstWriteBuffer = 256;

std::int32_t firstWriteBuffer(const AdStore* store) {
    return std::min<std::int32_t>(kFirstWriteBuffer, std::max<std::int16_t>(store->blockSize, 1));
}
}  // namespace

AdStream* adStreamCreate(AdStore* store, std::int32_t capacity) {
    auto* stream = static_cast<AdStream*>(HostAlloc(sizeof(AdStream)));
    if (!stream) {
        adNoMemory(AD_ERR_STREAM_MEMORY);
        return nullptr;
    }
    HostMemMove(&stream->header, store, sizeof(AdStore));
    auto* buffer = static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(capacity)));
    if (!buffer) {
        HostFree(stream);
        adNoMemory(AD_ERR_STREAM_MEMORY);
        return nullptr;
    }
    AdStore& h = stream->header;
    h.blockBuffer = buffer;
    h.owner = store;
    h.remaining = 0;
    h.writeFlag = 0;
    h.blockOffset = 0;
    h.buffered = 0;
    stream->nextBlock = nullptr;
    stream->capacity = capacity;
    return stream;
}

int adStreamGrowBuffer(AdStream* stream, std::int32_t count) {
    AdStore& h = stream->header;
    const std::int64_t wanted = std::min<std::int64_t>(std::int64_t{h.blockOffset} + count, h.blockSize);
    if (wanted <= stream->capacity) return 1;
    const auto capacity = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::max<std::int64_t>(wanted, std::int64_t{stream->capacity} * 2), h.blockSize));
    auto* buffer = static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(capacity)));
    if (!buffer) {
        adNoMemory(AD_ERR_STREAM_MEMORY);
        return 0;
    }
    HostMemMove(buffer, h.blockBuffer, static_cast<std::size_t>(h.blockOffset));
    HostFree(h.blockBuffer);
    h.blockBuffer = buffer;
    stream->capacity = capacity;
    return 1;
}

void adStreamWriteBack(const AdStream* stream) {
    AdStore back;
    HostMemMove(&back, stream->header.owner, sizeof back);
    back.chain = stream->header.chain;
    back.length = stream->header.length;
    HostMemMove(stream->header.owner, &back, sizeof back);
}

void adStreamRelease(AdStream* stream, bool writeBack) {
    if (writeBack) adStreamWriteBack(stream);
    HostFree(stream->header.blockBuffer);
    HostFree(stream);
}

AdStream* adStreamOpenRead(AdStore* store) {
    if (!store) return nullptr;
    // A read stream never holds more than the store: most stores of a
    // drawing are a few points long, and a whole block for each read would
    // cost more than the reading.
    AdStream* stream = adStreamCreate(store, std::clamp<std::int32_t>(store->length, 1, store->blockSize));
    if (stream) adStreamRewind(stream);
    return stream;
}

// The old contents are freed here rather than left behind, and the store is
// told at once that it is empty, so that it never names blocks it has lost.
AdStream* adStreamOpenWrite(AdStore* store) {
    if (!store) return nullptr;
    AdStream* stream = adStreamCreate(store, firstWriteBuffer(store));
    if (!stream) return nullptr;
    AdStore& h = stream->header;
    if (h.chain) {
        adListFreeRecords(h.chain);
    } else if (!(h.chain = adListCreate())) {
        adStreamRelease(stream, false);
        return nullptr;
    }
    h.length = 0;
    h.writeFlag = 1;
    adStreamWriteBack(stream);
    return stream;
}

// The last block goes back into the buffer so that writing continues as if the
// store had never been closed.
AdStream* adStreamOpenAppend(AdStore* store) {
    if (!store) return nullptr;
    if (!store->chain) return adStreamOpenWrite(store);
    AdListRecord* last = adListLast(store->chain);
    const std::int32_t blocks = adListCount(store->chain);
    const std::int64_t tail =
        blocks > 0 ? store->length - static_cast<std::int64_t>(store->blockSize) * (blocks - 1) : store->length;
    if (tail < 0 || tail > store->blockSize || (!last && tail != 0)) return nullptr;
    AdStream* stream =
        adStreamCreate(store, std::max(firstWriteBuffer(store), static_cast<std::int32_t>(tail)));
    if (!stream) return nullptr;
    AdStore& h = stream->header;
    if (last) {
        HostMemMove(h.blockBuffer, adListRecordData(last), static_cast<std::size_t>(tail));
        HostFree(adListUnlinkLast(h.chain));
    }
    h.length -= static_cast<std::int32_t>(tail);
    h.blockOffset = static_cast<std::int16_t>(tail);
    h.writeFlag = 1;
    adStreamWriteBack(stream);
    return stream;
}

int adStreamCloseRead(AdStream* stream) {
    if (!stream) return 0;
    adStreamRelease(stream, false);
    return 1;
}

// The stream is released even when its last block cannot be stored: no
// caller can do better than report the failure, and a stream left open would
// be lost. The store then keeps the blocks stored before.
int adStreamCloseWrite(AdStream* stream) {
    if (!stream) return 0;
    const bool stored = stream->header.blockOffset == 0 || adStreamFlushBlock(stream, stream->header.blockOffset);
    adStreamRelease(stream, true);
    return stored ? 1 : 0;
}

int adStreamCloseAppend(AdStream* stream) { return adStreamCloseWrite(stream); }

std::int32_t adStreamLength(const AdStream* stream) {
    if (!stream) return 0;
    return stream->header.writeFlag ? stream->header.length + stream->header.blockOffset : stream->header.length;
}
