// Positioning a read stream: rewind, seek, tell, unread, and loading blocks.
//
// Each stream keeps the chain record it loads next, instead of relying on the
// chain's shared cursor, so that read streams of one store may be interleaved.
#include "stream_cursor.h"

#include <algorithm>

int adStreamLoadBlock(AdStream* stream) {
    AdStore& h = stream->header;
    AdListRecord* block = stream->nextBlock;
    if (!block || h.remaining <= 0) return 0;
    const std::int32_t k = std::min<std::int32_t>(h.blockSize, h.remaining);
    AdListRecord links;
    HostMemMove(&links, block, sizeof links);
    HostMemMove(h.blockBuffer, adListRecordData(block), static_cast<std::size_t>(k));
    stream->nextBlock = links.next;
    h.blockOffset = 0;
    h.buffered = static_cast<std::int16_t>(k);
    return 1;
}

// A write stream is not rewound: its unstored bytes would be lost.
int adStreamRewind(AdStream* stream) {
    if (!stream || stream->header.writeFlag) return 0;
    AdStore& h = stream->header;
    h.remaining = h.length;
    h.buffered = 0;
    h.blockOffset = 0;
    stream->nextBlock = adListFirst(h.chain);
    return 1;
}

int adStreamSeek(AdStream* stream, std::int32_t offset) {
    if (!stream || stream->header.writeFlag || offset < 0 || offset > stream->header.length) return 0;
    AdStore& h = stream->header;
    const std::int32_t position = h.length - h.remaining;
    if (h.buffered > 0 && offset / h.blockSize == position / h.blockSize) {
        h.blockOffset = static_cast<std::int16_t>(offset % h.blockSize);
        h.buffered = static_cast<std::int16_t>(h.buffered + (position - offset));
        h.remaining = h.length - offset;
        return 1;
    }

    adStreamRewind(stream);
    const std::int32_t skip = offset / h.blockSize;
    AdListRecord* block = stream->nextBlock;
    for (std::int32_t i = 0; i < skip; ++i) {
        if (!block) return 0;
        block = block->next;
        h.remaining -= h.blockSize;
    }
    stream->nextBlock = block;
    if (h.remaining == 0) return 1;
    if (!adStreamLoadBlock(stream)) return 0;
    const std::int32_t r = offset % h.blockSize;
    h.remaining -= r;
    h.buffered = static_cast<std::int16_t>(h.buffered - r);
    h.blockOffset = static_cast<std::int16_t>(r);
    return 1;
}

std::int32_t adStreamTell(const AdStream* stream) {
    return stream ? stream->header.length - stream->header.remaining : 0;
}

// Only a byte taken from the current buffer can be stepped back over; at the
// start of the buffer there is nothing before the offset to write to.
int adStreamUnreadByte(AdStream* stream, std::uint8_t byte) {
    if (!stream || stream->header.writeFlag || stream->header.blockOffset <= 0) return 0;
    AdStore& h = stream->header;
    --h.blockOffset;
    h.blockBuffer[h.blockOffset] = byte;
    ++h.buffered;
    ++h.remaining;
    return 1;
}
