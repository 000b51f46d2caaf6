// Objects of a bit-coded DWG file: their framing (size words, data, CRC) and
// the common start every object begins with, read into the bit stream so
// that the table, object and entity readers go on from there.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::int32_t kCrcSize = 2;
constexpr std::int32_t kGraphicsPiece = 512;
constexpr std::int32_t kPieceSize = 0x8000;

std::int16_t unreadable() { return static_cast<std::int16_t>(adDwgFail(AD_ERR_DWG_OBJECT_CRC)); }

// Sets the bit stream over the object at the file position; answers the
// object's data size, or -1 when it does not lie whole in the file.
std::int32_t openObject(AdDrawing* drawing, AdDwgFile* dwg, std::int64_t position) {
    HostFile* file = drawing->file;
    AdDwgFraming f{};
    if (!adDwgReadFraming(file, &f) || !adDwgInFile(position + f.words, static_cast<std::int64_t>(f.size) + kCrcSize,
                                               dwg->fileLength))
        return -1;
    // A single piece is read with its CRC; the reader still stops at the data's end.
    const std::int32_t read = f.pieces == 1 ? f.size + kCrcSize : f.firstPiece;
    if (HostRead(adGlobals->buffer128kA, 1, static_cast<std::size_t>(read), file) != static_cast<std::size_t>(read))
        return -1;
    AdBitStream* bs = adDwgBitStreamOver(drawing, static_cast<std::int32_t>(position + f.words), f.firstPiece);
    bs->startOffset = static_cast<std::int32_t>(position);
    bs->pieceCount = f.pieces;
    bs->twoWordSize = f.words == 4 ? 1 : 0;
    return f.size;
}

// Extended data into the record buffer, in its raw form: per application a
// 16-bit size, the handle's code byte and bytes, the data; then a 16-bit 0.
int readXdata(std::uint8_t* flag) {
    std::uint8_t* out = adGlobals->buffer32kA;
    std::int32_t used = 0;
    for (;;) {
        const auto size = static_cast<std::uint16_t>(adBitReadShort());
        if (!adBitUsable() || !out) return 0;
        if (used + 2 > AD_XDATA_BUFFER_SIZE) return 0;
        out[used] = static_cast<std::uint8_t>(size);
        out[used + 1] = static_cast<std::uint8_t>(size >> 8);
        used += 2;
        if (size == 0) break;
        const std::uint8_t head = adBitReadByte();
        const std::int32_t count = head & 0x0F;
        if (count > 8) return adBitBadData();
        if (used + 1 + count + size > AD_XDATA_BUFFER_SIZE) return 0;
        out[used] = head;
        if (!adBitReadBytes(out + used + 1, count) || !adBitReadBytes(out + used + 1 + count, size)) return 0;
        used += 1 + count + size;
        *flag = 1;
    }
    adGlobals->xdataLength = used;
    return 1;
}

// An entity's own graphics into a new store.
int readGraphics(std::int32_t objectSize, AdStore** graphicsOut) {
    const std::int32_t size = adBitReadRawLong();
    if (!adBitUsable() || size < 0 || size > objectSize) return 0;
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) {
        if (store) adStoreFree(store);
        adNoMemory(AD_ERR_STREAM_MEMORY);
        return 0;
    }
    std::uint8_t piece[kGraphicsPiece];
    int ok = 1;
    for (std::int32_t done = 0; ok && done < size;) {
        const std::int32_t n = std::min(kGraphicsPiece, size - done);
        ok = adBitReadBytes(piece, n) && adStreamWrite(out, piece, n);
        done += n;
    }
    if (!adStreamCloseWrite(out) || !ok) {
        adStoreFree(store);
        return 0;
    }
    *graphicsOut = store;
    return 1;
}

// The common start after the type; 1 when it was read whole.
int readCommonStart(AdDrawing* drawing, std::int32_t size, AdHandle* handleOut, std::uint8_t* xdataFlagOut,
                    int isEntity, AdStore** graphicsOut) {
    AdBitStream* bs = adBitCurrent();
    const bool ac1015 = drawing->version >= AD_VERSION_AC1015;
    if (ac1015) bs->bitSize = adBitReadRawLong();
    adBitReadHandle(handleOut);
    if (!readXdata(xdataFlagOut)) return 0;
    if (isEntity) {
        bs->graphicsFlag = static_cast<std::uint8_t>(adBitReadBit());
        if (bs->graphicsFlag && !readGraphics(size, graphicsOut)) return 0;
    }
    if (!ac1015) bs->bitSize = adBitReadRawLong();
    if (!isEntity) bs->reactorCount = adBitReadLong();
    return adBitUsable() && bs->bitSize >= 0 && bs->bitSize <= static_cast<std::int64_t>(size) * 8 &&
           bs->reactorCount >= 0 && bs->reactorCount <= size;
}
}  // namespace

// A set bit 15 in the first size word means a second word follows: the
// object then holds (first & 0x7FFF) + second * 0x8000 bytes and is read in
// pieces, the first of (first & 0x7FFF) bytes.
int adDwgReadFraming(HostFile* file, AdDwgFraming* f) {
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    if (!adDwgReadRawShort(file, &first)) return 0;
    *f = AdDwgFraming{2, first, first, 1};
    if (!(first & 0x8000)) return 1;
    if (!adDwgReadRawShort(file, &second) || (second & 0x8000)) return 0;
    f->words = 4;
    f->firstPiece = first & 0x7FFF;
    f->size = f->firstPiece + second * kPieceSize;
    f->pieces = static_cast<std::int16_t>(second + 1);
    return 1;
}

AdBitStream* adDwgBitStreamOver(AdDrawing* drawing, std::int32_t dataOffset, std::int32_t size) {
    AdBitStream* bs = drawing->bitStream;
    bs->startOffset = dataOffset;
    bs->dataOffset = dataOffset;
    bs->pieceCount = 1;
    bs->pieceIndex = 0;
    bs->bitMask = 0x100;
    bs->twoWordSize = 0;
    bs->bytesLeft = size;
    bs->firstSizeWord = size;
    bs->current = adGlobals->buffer128kA;
    bs->bitSize = 0;
    bs->reactorCount = 0;
    bs->graphicsFlag = 0;
    bs->stream = nullptr;
    bs->streamBytesLeft = 0;
    bs->failed = 0;
    adGlobals->bitStream = bs;
    adGlobals->bitDrawing = drawing;
    return bs;
}

std::int64_t adDwgBitsTaken() {
    const AdBitStream* bs = adBitCurrent();
    if (!bs) return 0;
    return static_cast<std::int64_t>(adBitReadPosition() - bs->dataOffset) * 8 + adBitUsedInByte(bs);
}

std::int16_t adDwgReadObjectStart(AdDrawing* drawing, AdHandle* handleOut, std::uint8_t* xdataFlagOut, int isEntity,
                                  AdStore** graphicsOut) {
    *graphicsOut = nullptr;
    *xdataFlagOut = 0;
    std::memset(handleOut->b, 0, sizeof handleOut->b);
    AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!adGlobals || !dwg || !drawing->file || !drawing->bitStream) return unreadable();
    adGlobals->xdataLength = 0;
    const std::int64_t mapOffset = dwg->sections[AD_DWG_SECTION_OBJECT_MAP].offset;
    // Every pass moves on by a whole object, so the objects of type 0 that
    // are passed over cannot outnumber the bytes before the map.
    for (;;) {
        const std::int64_t position = HostTell(drawing->file);
        if (position >= mapOffset) return 0;
        const std::int32_t size = position < 0 ? -1 : openObject(drawing, dwg, position);
        if (size < 0) return unreadable();
        const std::int16_t type = adBitReadShort();
        if (!adBitUsable()) return unreadable();
        if (type != 0) {
            if (readCommonStart(drawing, size, handleOut, xdataFlagOut, isEntity, graphicsOut)) return type;
            if (*graphicsOut) adStoreFree(*graphicsOut);
            *graphicsOut = nullptr;
            return unreadable();
        }
        const AdBitStream* bs = adBitCurrent();
        if (HostSeek(drawing->file, position + (bs->twoWordSize ? 4 : 2) + size + kCrcSize, SEEK_SET) != 0)
            return unreadable();
    }
}

int adDwgReadControlObject(AdDrawing* drawing, const AdHandle* handle, std::int32_t* countOut, int extraByte) {
    *countOut = 0;
    AdHandle own{};
    std::uint8_t xdataFlag = 0;
    AdStore* graphics = nullptr;
    if (!adDwgSeekObject(drawing, handle) || !adDwgReadObjectStart(drawing, &own, &xdataFlag, 0, &graphics))
        return unreadable();
    AdBitStream* bs = adBitCurrent();
    const std::int32_t count = adBitReadLong();
    if (extraByte) adBitReadByte();
    // From AC1015 the handles stand apart, from the data size in bits on.
    if (drawing->version >= AD_VERSION_AC1015) {
        const std::int64_t taken = adDwgBitsTaken();
        if (taken > bs->bitSize) return unreadable();
        adBitSkip(static_cast<std::int32_t>(bs->bitSize - taken));
    }
    AdHandle reference{};
    adBitReadRelHandle(&own, &reference);  // the owner
    for (std::int32_t i = 0; i < bs->reactorCount && adBitUsable(); ++i) adBitReadRelHandle(&own, &reference);
    adBitReadRelHandle(&own, &reference);  // the extension dictionary
    if (!adBitUsable() || count < 0) return unreadable();
    *countOut = count;
    return 1;
}
