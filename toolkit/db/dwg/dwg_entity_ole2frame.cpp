// OLE2FRAME entities of AC1012 and later files: the embedded object's bytes,
// and the frame's corners taken from the head of those bytes.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/raw_double.h"
#include "toolkit/ad_internal.h"

namespace {
constexpr std::int32_t kPiece = 4096;
constexpr std::int32_t kUpperLeftAt = 2;
constexpr std::int32_t kLowerRightAt = 50;
constexpr std::int32_t kCornerBytes = 24;

// A corner of three doubles at offset of the first piece, when it lies there whole.
void cornerFrom(const std::uint8_t* piece, std::int32_t length, std::int32_t offset, double corner[3]) {
    if (offset + kCornerBytes > length) return;
    for (int i = 0; i < 3; ++i) corner[i] = adDoubleFromFileBytes(piece + offset + 8 * i);
}

int readData(AdOle2FrameData* frame) {
    const std::int32_t length = adBitReadLong();
    if (!adDwgCountFits(length, 8)) return 0;
    frame->dataLength = length;
    AdDwgStoreFill fill{};
    if (!adDwgFillOpen(&fill)) return 0;
    std::uint8_t piece[kPiece];
    for (std::int32_t done = 0; done < length && fill.ok && adBitUsable();) {
        const std::int32_t n = length - done < kPiece ? length - done : kPiece;
        adBitReadBytes(piece, n);
        if (done == 0) {
            cornerFrom(piece, n, kUpperLeftAt, frame->upperLeft);
            cornerFrom(piece, n, kLowerRightAt, frame->lowerRight);
        }
        adDwgFillBytes(&fill, piece, n);
        done += n;
    }
    if (!adBitUsable()) fill.ok = false;
    return adDwgFillClose(&fill, &frame->data);
}
}  // namespace

int adDwgReadOle2Frame(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdOle2FrameData& frame = data->ole2Frame;
    const bool ac1015 = adDwgIsAc1015(drawing);
    frame.version = adBitReadShort();
    frame.spareShort = ac1015 ? adBitReadShort() : 0;
    if (!readData(&frame)) return 0;
    frame.spareByte = ac1015 ? adBitReadByte() : 1;
    return adDwgClassHandles(drawing, header);
}
