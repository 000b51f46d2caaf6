// The GIF encoder's code writer, pixel walker and its LZW and plain
// compressors.
#include "imaging/gif/gif_codec.h"

#include <vector>

void GifCodeWriter::Put(std::uint32_t code, std::uint32_t width) {
    Accumulator |= code << Bits;
    Bits += width;
    while (Bits >= 8) {
        Block[Length++] = static_cast<std::uint8_t>(Accumulator);
        Accumulator >>= 8;
        Bits -= 8;
        if (Length == Limit) FlushBlock();
    }
}

void GifCodeWriter::FlushBlock() {
    if (Length == 0) return;
    const std::uint8_t length = static_cast<std::uint8_t>(Length);
    if (Stream->Write(&length, 1, 1) != 1 || Stream->Write(Block, 1, Length) != Length) Failed = true;
    Length = 0;
}

bool GifCodeWriter::Finish() {
    if (Bits > 0) {
        Block[Length++] = static_cast<std::uint8_t>(Accumulator);
        Accumulator = 0;
        Bits = 0;
    }
    FlushBlock();
    return !Failed;
}

GifPixelWalker::GifPixelWalker(const CRasterImage& picture)
    : Picture(picture), Row(static_cast<std::int64_t>(picture.GetHeight()) - 1),
      Left(std::uint64_t{picture.GetWidth()} * picture.GetHeight()) {}

int GifPixelWalker::Next() {
    if (Left == 0) return -1;
    --Left;
    const int index = Picture.IndexAtUnchecked(X, Row);
    if (++X == static_cast<std::int64_t>(Picture.GetWidth())) {
        X = 0;
        --Row;
    }
    return index;
}

namespace {

constexpr std::uint32_t kTableCodes = 4096;
constexpr int kHashSize = 5003;

// Code widths as the decoder's table grows: one entry per code after a clear,
// a bit more each time the next free code passes the width's largest.
class GrowingCodes {
public:
    GrowingCodes(GifCodeWriter& out, std::uint32_t codeSize)
        : Out(out), InitialWidth(codeSize + 1), Clear(1u << codeSize), NextFree(Clear + 2) {
        Reset();
    }
    void Output(std::uint32_t code) {
        Out.Put(code, Width);
        if (NextFree > MaxCode || ClearPending) {
            if (ClearPending) {
                Reset();
            } else {
                ++Width;
                MaxCode = Width == 12 ? kTableCodes : (1u << Width) - 1;
            }
        }
    }
    // Counts the entry the decoder makes; a full table is cleared.
    bool AddEntry() {
        if (NextFree < kTableCodes) {
            ++NextFree;
            return true;
        }
        NextFree = Clear + 2;
        ClearPending = true;
        Output(Clear);
        return false;
    }
    std::uint32_t NextCode() const { return NextFree; }
    std::uint32_t ClearCode() const { return Clear; }

private:
    void Reset() {
        Width = InitialWidth;
        MaxCode = (1u << Width) - 1;
        ClearPending = false;
    }
    GifCodeWriter& Out;
    std::uint32_t InitialWidth, Clear, NextFree, Width = 0, MaxCode = 0;
    bool ClearPending = false;
};

}  // namespace

bool CompressGifLzw(GifPixelWalker& pixels, std::uint32_t codeSize, GifCodeWriter& out) {
    GrowingCodes codes(out, codeSize);
    std::vector<std::int32_t> keys(kHashSize, -1);
    std::vector<std::uint16_t> values(kHashSize, 0);
    codes.Output(codes.ClearCode());
    std::int32_t current = pixels.Next();
    if (current >= 0) {
        for (std::int32_t pixel; (pixel = pixels.Next()) >= 0;) {
            const std::int32_t key = (pixel << 12) + current;
            int slot = (pixel << 4) ^ current;
            const int step = slot == 0 ? 1 : kHashSize - slot;
            while (keys[slot] >= 0 && keys[slot] != key) {
                slot -= step;
                if (slot < 0) slot += kHashSize;
            }
            if (keys[slot] == key) {
                current = values[slot];
                continue;
            }
            codes.Output(static_cast<std::uint32_t>(current));
            const std::uint32_t code = codes.NextCode();
            if (codes.AddEntry()) {
                keys[slot] = key;
                values[slot] = static_cast<std::uint16_t>(code);
            } else {
                keys.assign(kHashSize, -1);
            }
            current = pixel;
        }
        codes.Output(static_cast<std::uint32_t>(current));
    }
    codes.Output(codes.ClearCode() + 1);
    return out.Finish();
}

bool CompressGifPlain(GifPixelWalker& pixels, std::uint32_t codeSize, GifCodeWriter& out) {
    GrowingCodes codes(out, codeSize);
    codes.Output(codes.ClearCode());
    for (std::int32_t pixel; (pixel = pixels.Next()) >= 0;) {
        codes.Output(static_cast<std::uint32_t>(pixel));
        codes.AddEntry();
    }
    codes.Output(codes.ClearCode() + 1);
    return out.Finish();
}
