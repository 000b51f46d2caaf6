// Reading bytes, numbers, handles, names and counted texts from a stream.
#include "stream_cursor.h"

#include <algorithm>
#include <cstring>

int adStreamRead(AdStream* stream, void* destination, std::int32_t count) {
    if (!stream || count < 0 || (!destination && count > 0)) return 0;
    AdStore& h = stream->header;
    // Reading nothing succeeds even at the end: an empty counted text stored
    // last must still read back.
    if (count > h.remaining) return 0;
    // Most reads are a value or a point that the buffer holds: copied
    // straight out of it, as a byte read is.
    if (count <= h.buffered) {
        if (count > 0) std::memcpy(destination, h.blockBuffer + h.blockOffset, static_cast<std::size_t>(count));
        h.blockOffset = static_cast<std::int16_t>(h.blockOffset + count);
        h.buffered = static_cast<std::int16_t>(h.buffered - count);
        h.remaining -= count;
        return 1;
    }
    auto* out = static_cast<std::uint8_t*>(destination);
    while (count > 0) {
        if (h.buffered == 0 && !adStreamLoadBlock(stream)) return 0;
        const std::int32_t k = std::min<std::int32_t>(count, h.buffered);
        HostMemMove(out, h.blockBuffer + h.blockOffset, static_cast<std::size_t>(k));
        out += k;
        h.blockOffset = static_cast<std::int16_t>(h.blockOffset + k);
        h.buffered = static_cast<std::int16_t>(h.buffered - k);
        h.remaining -= k;
        count -= k;
    }
    return 1;
}

int adStreamReadByte(AdStream* stream, std::uint8_t* byte) {
    if (!stream || !byte) return 0;
    AdStore& h = stream->header;
    if (h.buffered <= 0) return adStreamRead(stream, byte, 1);
    *byte = h.blockBuffer[h.blockOffset++];
    --h.buffered;
    --h.remaining;
    return 1;
}

int adStreamReadShort(AdStream* stream, std::int16_t* value) { return adStreamRead(stream, value, sizeof *value); }

int adStreamReadLong(AdStream* stream, std::int32_t* value) { return adStreamRead(stream, value, sizeof *value); }

int adStreamReadDouble(AdStream* stream, double* value) { return adStreamRead(stream, value, sizeof *value); }

int adStreamReadPoint3D(AdStream* stream, double point[3]) { return adStreamRead(stream, point, 3 * sizeof(double)); }

int adStreamReadHandle(AdStream* stream, AdHandle* handle) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    return adStreamRead(stream, handle, sizeof *handle);
}

// The stored name is terminated within its field even when the stored bytes
// are not, so no reader of the record runs past it.
int adStreamReadNameRecord(AdStream* stream, AdNameRecord* record) {
    static_assert(sizeof(AdNameRecord) == 520);
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    if (!adStreamRead(stream, record, sizeof *record)) return 0;
    record->name[AD_NAME_RECORD_NAME_SIZE - 1] = '\0';
    return 1;
}

int adStreamReadHandleEntry(AdStream* stream, AdHandleEntry* entry) {
    static_assert(sizeof(AdHandleEntry) == 9);
    if (!stream) {
        adSetError(AD_ERR_STREAM_READ_NULL);
        return 0;
    }
    return adStreamRead(stream, entry, sizeof *entry);
}

int adStreamReadCountedText(AdStream* stream, std::int32_t n, char* buffer, std::int32_t size) {
    if (!buffer || n < 0 || n > size) {
        adFatalError(AD_FATAL_BAD_STORED_DATA);
        return 0;
    }
    if (!adStreamRead(stream, buffer, n)) return 0;
    buffer[n] = '\0';
    return 1;
}

int adStreamReadString(AdStream* stream, char* buffer, std::int32_t size) {
    std::int16_t n = 0;
    if (!adStreamReadShort(stream, &n)) return 0;
    return adStreamReadCountedText(stream, n, buffer, size);
}
