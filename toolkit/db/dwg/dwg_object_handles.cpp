// What every DWG object reader shares: its start, its handle part, and the
// data it keeps without taking it apart.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>

namespace {
constexpr std::int32_t kLastBytes = 3;
constexpr std::int32_t kBytePiece = 512;

bool atObjectEnd(const AdBitStream* bs) { return bs->pieceIndex + 1 >= bs->pieceCount && bs->bytesLeft <= kLastBytes; }
}  // namespace

int adDwgStartObject(AdDrawing* drawing, AdObjectHeader* header, std::int16_t expected, std::uint8_t* xdataFlag) {
    AdStore* graphics = nullptr;
    const std::int16_t type = adDwgReadObjectStart(drawing, &header->handle, xdataFlag, 0, &graphics);
    header->reactorCount = type ? adBitCurrent()->reactorCount : 0;
    return type != 0 && type == expected;
}

int adDwgToHandles(AdDrawing* drawing) {
    if (drawing->version < AD_DWG_AC1015) return adBitUsable() ? 1 : 0;
    const std::int64_t left = adDwgBitsLeft();
    if (left < 0) return adBitFail();
    adBitSkip(static_cast<std::int32_t>(left));
    return adBitUsable() ? 1 : 0;
}

int adDwgReadObjectHandles(AdDrawing* drawing, AdObjectHeader* header) {
    if (!adDwgToHandles(drawing)) return 0;
    adBitReadRelHandle(&header->handle, &header->owner);
    if (!adDwgReadHandleStore(&header->handle, header->reactorCount, &header->reactors)) return 0;
    adBitReadRelHandle(&header->handle, &header->extensionDictionary);
    return adBitUsable() ? 1 : 0;
}

std::int64_t adDwgBitsLeft() {
    const AdBitStream* bs = adBitCurrent();
    return bs ? bs->bitSize - adDwgBitsTaken() : 0;
}

int adDwgReadRemainingBits(AdStore** store, std::int32_t* bits) {
    *bits = 0;
    *store = nullptr;
    const std::int64_t left = adDwgBitsLeft();
    if (left <= 0) return adBitUsable() ? 1 : 0;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(store, &out)) return 0;
    bool ok = true;
    for (std::int64_t done = 0; ok && done < left; done += 8) {
        std::uint8_t byte = 0;
        if (left - done >= 8) {
            byte = adBitReadByte();
        } else {
            for (std::int64_t i = 0; i < left - done; ++i)
                byte = static_cast<std::uint8_t>(byte | (adBitReadBit() << (7 - i)));
        }
        ok = adBitUsable() && adStreamWrite(out, &byte, 1);
    }
    *bits = static_cast<std::int32_t>(left);
    if (adDwgCloseStore(store, out, ok)) return 1;
    *bits = 0;
    return 0;
}

int adDwgReadByteStore(std::int32_t count, AdStore** store) {
    *store = nullptr;
    if (count < 0 || count > adDwgBitsLeft() / 8) return 0;
    if (count == 0) return 1;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(store, &out)) return 0;
    std::uint8_t piece[kBytePiece];
    bool ok = true;
    for (std::int32_t done = 0; ok && done < count; done += kBytePiece) {
        const std::int32_t n = count - done < kBytePiece ? count - done : kBytePiece;
        ok = adBitReadBytes(piece, n) && adStreamWrite(out, piece, n);
    }
    return adDwgCloseStore(store, out, ok);
}

int adDwgReadHandleRefs(AdStore** store, std::int32_t* count) {
    *count = 0;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(store, &out)) return 0;
    bool ok = true;
    // Every reference takes a byte at least, so the data bounds the loop.
    for (const AdBitStream* bs = adBitCurrent(); ok && !atObjectEnd(bs);) {
        AdHandleEntry entry{};
        adBitReadHandleRef(&entry);
        ok = adBitUsable() && adStreamWrite(out, entry.handle.b, sizeof entry.handle.b) &&
             adStreamWrite(out, &entry.flag, 1);
        if (ok) ++*count;
    }
    if (adDwgCloseStore(store, out, ok)) return 1;
    *count = 0;
    return 0;
}
