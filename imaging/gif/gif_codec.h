// The GIF codec's parts shared between its files: colour tables, the LZW
// decoder, the logical screen that frames are composed onto, and the code
// writers of the encoders.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>
#include <memory>

struct GifColorTable {
    std::uint8_t rgb[768] = {};
    std::uint32_t count = 0;
};

// The frame depth that holds a table's indices: 2 entries 1 bit, up to 16
// entries 4 bits, more 8 bits.
std::uint32_t GifTableBits(std::uint32_t count);

// Puts a table into an indexed picture's palette; entries the table lacks are
// white when the picture has a transparent index, as a transparent index past
// the table's end is common.
void SetGifPalette(CRasterImage& picture, const GifColorTable& table);

// LZW decoder results.
constexpr int kGifLzwBadCodeSize = -20;
constexpr int kGifLzwNoMemory = -10;
constexpr int kGifLzwTooManyRows = -1;

// Decodes one image's data (the stream at its minimum code size byte) into
// `frame`, an indexed picture of the image's size, rows from the top. Data
// that ends early or breaks off leaves the remaining pixels as they are. The
// stream is left after the image's last sub-block whatever the result.
int DecodeGifLzw(CRasterStream* stream, CRasterImage& frame, bool interlaced);

// The logical screen: the frames composed in order, each after the disposal
// that the one before asked for (1 keep, 2 restore its area to the background,
// 3 restore what was under it). The screen stays indexed while every frame
// shares its colour table, and turns 24-bit when one brings another.
class GifScreen {
public:
    GifScreen(const CRasterImage& options, std::uint32_t width, std::uint32_t height);
    // The first frame fixes the background: its transparent index, else the
    // screen descriptor's background colour.
    bool Compose(const CRasterImage& frame, const GifColorTable& table, std::uint32_t left, std::uint32_t top,
                 std::int32_t transparent, std::uint32_t disposal, std::uint8_t screenBackground);
    // Mosaic files: every frame's colours copied onto a 24-bit screen.
    bool Paste(const CRasterImage& frame, std::uint32_t left, std::uint32_t top);
    CRasterImage& Picture() { return *Screen; }
    const char* Failure() const { return Screen->GetLastErrorText(); }

private:
    bool Start(const CRasterImage& frame, const GifColorTable& table, std::int32_t transparent,
               std::uint8_t screenBackground);
    bool Promote(CRasterImage& picture);
    void Dispose();
    bool SharesTable(const GifColorTable& table) const;

    std::unique_ptr<CRasterImage> Screen, Saved;
    std::uint32_t Width, Height;
    GifColorTable Table;
    std::uint8_t Background = 0;
    bool Transparent = false;
    RGBQUAD BackgroundColor{};
    // The previous frame's area and disposal.
    std::uint32_t LastLeft = 0, LastTop = 0, LastWidth = 0, LastHeight = 0, LastDisposal = 0;
};

// Packs codes least significant bit first into sub-blocks of up to `blockLimit`
// bytes (GIF allows 255).
class GifCodeWriter {
public:
    GifCodeWriter(CRasterStream* stream, std::uint32_t blockLimit) : Stream(stream), Limit(blockLimit) {}
    void Put(std::uint32_t code, std::uint32_t width);
    // Writes the last bits and the last sub-block, then the 0 terminator.
    bool Finish();

private:
    void FlushBlock();
    CRasterStream* Stream;
    std::uint32_t Limit;
    std::uint32_t Accumulator = 0, Bits = 0;
    std::uint8_t Block[256] = {};
    std::uint32_t Length = 0;
    bool Failed = false;
};

// The pixels of an indexed picture, top row first, each row from the left;
// -1 after the last.
class GifPixelWalker {
public:
    explicit GifPixelWalker(const CRasterImage& picture);
    int Next();

private:
    const CRasterImage& Picture;
    std::int64_t X = 0, Row;
    std::uint64_t Left;
};

// The three compressors; each writes the data sub-blocks (without the
// terminator) for `codeSize`, the minimum code size.
bool CompressGifLzw(GifPixelWalker& pixels, std::uint32_t codeSize, GifCodeWriter& out);
bool CompressGifPlain(GifPixelWalker& pixels, std::uint32_t codeSize, GifCodeWriter& out);
bool CompressGifRle(GifPixelWalker& pixels, std::uint32_t codeSize, GifCodeWriter& out);
