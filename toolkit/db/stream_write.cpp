// Writing bytes, numbers, handles, names and counted texts to a stream.
#include "stream_cursor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

int adStreamFlushBlock(AdStream* stream, std::int16_t bytes) {
    AdStore& h = stream->header;
    if (!adListAppendNew(h.blockBuffer, static_cast<std::size_t>(bytes), h.chain)) return 0;
    h.length += bytes;
    h.blockOffset = 0;
    return 1;
}

// A full block is stored before more bytes go in; when storing fails the
// bytes that did not fit are not taken and the buffer keeps its contents.
int adStreamWrite(AdStream* stream, const void* source, std::int32_t count) {
    if (!stream || !stream->header.writeFlag || count < 0 || (!source && count > 0)) return 0;
    AdStore& h = stream->header;
    if (count > INT32_MAX - (h.length + h.blockOffset)) return 0;
    // Most writes are a value or a point that fits the buffer as it is.
    if (count <= stream->capacity - h.blockOffset && h.blockOffset < h.blockSize) {
        if (count > 0) std::memcpy(h.blockBuffer + h.blockOffset, source, static_cast<std::size_t>(count));
        h.blockOffset = static_cast<std::int16_t>(h.blockOffset + count);
        return 1;
    }
    const auto* from = static_cast<const std::uint8_t*>(source);
    for (;;) {
        if (h.blockOffset == h.blockSize && !adStreamFlushBlock(stream, h.blockOffset)) return 0;
        if (count == 0) return 1;
        if (!adStreamGrowBuffer(stream, count)) return 0;
        const std::int32_t k = std::min<std::int32_t>(count, stream->capacity - h.blockOffset);
        HostMemMove(h.blockBuffer + h.blockOffset, from, static_cast<std::size_t>(k));
        from += k;
        h.blockOffset = static_cast<std::int16_t>(h.blockOffset + k);
        count -= k;
    }
}

int adStreamWriteByte(AdStream* stream, std::uint8_t byte) {
    if (!stream) return 0;
    AdStore& h = stream->header;
    if (!h.writeFlag || h.blockOffset >= stream->capacity || h.blockOffset >= h.blockSize ||
        h.length + h.blockOffset >= INT32_MAX)
        return adStreamWrite(stream, &byte, 1);
    h.blockBuffer[h.blockOffset++] = byte;
    return 1;
}

int adStreamWriteShort(AdStream* stream, const std::int16_t* value) {
    return adStreamWrite(stream, value, sizeof *value);
}

int adStreamWriteLong(AdStream* stream, const std::int32_t* value) {
    return adStreamWrite(stream, value, sizeof *value);
}

int adStreamWriteDouble(AdStream* stream, const double* value) { return adStreamWrite(stream, value, sizeof *value); }

int adStreamWritePoint2D(AdStream* stream, const double point[2]) {
    return adStreamWrite(stream, point, 2 * sizeof(double));
}

int adStreamWritePoint3D(AdStream* stream, const double point[3]) {
    return adStreamWrite(stream, point, 3 * sizeof(double));
}

int adStreamPutShort(AdStream* stream, std::int16_t value) { return adStreamWriteShort(stream, &value); }

int adStreamPutLong(AdStream* stream, std::int32_t value) { return adStreamWriteLong(stream, &value); }

int adStreamPutDouble(AdStream* stream, double value) { return adStreamWriteDouble(stream, &value); }

int adStreamPutPoint3D(AdStream* stream, double x, double y, double z) {
    return adStreamPutDouble(stream, x) && adStreamPutDouble(stream, y) && adStreamPutDouble(stream, z);
}

int adStreamWriteHandle(AdStream* stream, const AdHandle* handle) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_WRITE_NULL);
        return 0;
    }
    return adStreamWrite(stream, handle, sizeof *handle);
}

int adStreamWriteNameRecord(AdStream* stream, const AdNameRecord* record) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_WRITE_NULL);
        return 0;
    }
    return adStreamWrite(stream, record, sizeof *record);
}

// A text whose length does not fit the 16-bit count is refused rather than
// stored with a wrong length.
int adStreamWriteString(AdStream* stream, const char* text) {
    if (!stream || !text) return 0;
    const std::size_t n = strnlen(text, INT16_MAX + 1u);
    if (n > INT16_MAX) return 0;
    return adStreamPutShort(stream, static_cast<std::int16_t>(n)) &&
           adStreamWrite(stream, text, static_cast<std::int32_t>(n));
}
