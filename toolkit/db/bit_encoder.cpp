// The in-memory encoder: records of classes the DXF reader does not read
// itself are kept bit-coded in a store, as a DWG file would hold them, so that
// a writer can emit them again.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

#include <bit>

namespace {

int encoded(int writerResult) { return writerResult > 0 ? 1 : 0; }

// Bits put into the current byte: none at 0x100, eight once the mask is 0x01.
std::int32_t bitsInCurrentByte(std::int16_t mask) {
    if (mask == 0x100) return 0;
    return mask <= 0 ? 8 : 8 - std::countr_zero(static_cast<unsigned>(mask));
}

}  // namespace

int adEncodeBegin(AdDrawing* drawing) {
    if (!adBitBufferReset(drawing, 0)) return 0;
    AdBitStream* bs = drawing->bitStream;
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = store ? adStreamOpenWrite(store) : nullptr;
    if (!stream) {
        adStoreFree(store);
        return 0;
    }
    bs->encoderStore = store;
    bs->stream = stream;
    return 1;
}

int adEncodeText(const char* text) { return encoded(adBitWriteText(text)); }

int adEncodeBytes(const void* bytes, std::int32_t count) {
    if (count < 0 || count > 0xFFFF) return 0;
    adBitWriteShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(count)));
    return encoded(adBitWriteBytes(bytes, count));
}

int adEncodeHandle(const AdHandle* handle) { return encoded(adBitWriteHandle(handle, 0x40)); }
int adEncodeLong(std::int32_t value) { return encoded(adBitWriteLong(value)); }
int adEncodeShort(std::int16_t value) { return encoded(adBitWriteShort(value)); }
int adEncodeDouble(double value) { return encoded(adBitWriteDouble(value)); }
int adEncodePoint3D(const double point[3]) { return encoded(adBitWrite3D(point)); }

AdStore* adEncodeEnd(AdDrawing* drawing, std::int32_t* bits) {
    *bits = 0;
    AdBitStream* bs = drawing ? drawing->bitStream : nullptr;
    if (!bs || !bs->stream || !bs->encoderStore) return nullptr;
    AdStore* store = bs->encoderStore;
    AdStream* stream = bs->stream;
    bs->encoderStore = nullptr;
    bs->stream = nullptr;
    const std::int32_t full = AD_BIT_CHUNK_SIZE - bs->bytesLeft;
    const std::int32_t inCurrent = bitsInCurrentByte(bs->bitMask);
    const bool stored = !bs->failed && adStreamWrite(stream, adBitWriteBuffer(), full + (inCurrent > 0 ? 1 : 0));
    if (!adStreamCloseWrite(stream) || !stored) {
        adStoreFree(store);
        return nullptr;
    }
    *bits = 8 * full + inCurrent + static_cast<std::int32_t>(bs->pieceIndex) * (8 * AD_BIT_CHUNK_SIZE);
    return store;
}
