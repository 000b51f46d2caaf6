// GIF89a encoding: indexed pictures as one frame, deeper ones as a mosaic of
// 17 x 15 tiles, each with a local table of at most 255 colours.
#include "imaging/gif/gif_codec.h"
#include "imaging/gif/gif_image.h"
#include "imaging/raster_bytes.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr std::uint32_t kTileWidth = 17, kTileHeight = 15;
constexpr char kWriteError[] = "Write Error in GIF file";

bool WriteTable(CRasterStream* stream, const CRasterImage& picture) {
    for (std::uint32_t i = 0; i < picture.GetPaletteCount(); ++i) {
        const RGBQUAD entry = picture.GetPaletteEntry(i);
        const std::uint8_t rgb[3] = {entry.rgbRed, entry.rgbGreen, entry.rgbBlue};
        if (!WriteExactly(stream, rgb, 3)) return false;
    }
    return true;
}

}  // namespace

bool CRasterImageGIF::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    if (GetBpp() > 8) return EncodeRgbMosaic(stream);
    const std::uint8_t trailer = 0x3B;
    if (!WriteHeader(stream) || !WriteControlExtension(stream) || !WriteComment(stream) || !WriteImage(stream, false) ||
        !WriteExactly(stream, &trailer, 1) || !stream->Flush()) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}

bool CRasterImageGIF::WriteHeader(CRasterStream* stream) {
    std::uint8_t header[13] = {'G', 'I', 'F', '8', '9', 'a'};
    StoreLe16(header + 6, static_cast<std::uint16_t>(GetWidth()));
    StoreLe16(header + 8, static_cast<std::uint16_t>(GetHeight()));
    const std::uint32_t bits = GetBpp();
    header[10] = IsIndexed() ? static_cast<std::uint8_t>(0x80 | (((bits + 7) * 32) & 0xFF) | (bits - 1)) : 0x11;
    return WriteExactly(stream, header, sizeof header) && WriteTable(stream, *this);
}

bool CRasterImageGIF::WriteControlExtension(CRasterStream* stream) {
    std::uint8_t block[8] = {0x21, 0xF9, 4};
    block[3] = static_cast<std::uint8_t>(((DisposalMethod * 4) & 0x1F) | (Info.TransparentIndex != -1 ? 1 : 0));
    StoreLe16(block + 4, static_cast<std::uint16_t>(Info.FrameDelay));
    block[6] = static_cast<std::uint8_t>(Info.TransparentIndex);
    return WriteExactly(stream, block, sizeof block);
}

bool CRasterImageGIF::WriteComment(CRasterStream* stream) {
    const std::size_t length = strnlen(Comment, 255);
    if (length == 0) return true;
    const std::uint8_t head[3] = {0x21, 0xFE, static_cast<std::uint8_t>(length)};
    const std::uint8_t end = 0;
    return WriteExactly(stream, head, 3) && WriteExactly(stream, Comment, length) && WriteExactly(stream, &end, 1);
}

bool CRasterImageGIF::WriteImage(CRasterStream* stream, bool localTable) {
    std::uint8_t descriptor[10] = {0x2C};
    StoreLe16(descriptor + 1, static_cast<std::uint16_t>(Info.OffsetX));
    StoreLe16(descriptor + 3, static_cast<std::uint16_t>(Info.OffsetY));
    StoreLe16(descriptor + 5, static_cast<std::uint16_t>(GetWidth()));
    StoreLe16(descriptor + 7, static_cast<std::uint16_t>(GetHeight()));
    const std::uint32_t bits = GetBpp();
    descriptor[9] = localTable ? static_cast<std::uint8_t>(0x80 | (bits - 1)) : 0;
    const std::uint8_t codeSize = static_cast<std::uint8_t>(std::max<std::uint32_t>(bits, 2));
    if (!WriteExactly(stream, descriptor, sizeof descriptor) || (localTable && !WriteTable(stream, *this)) ||
        !WriteExactly(stream, &codeSize, 1))
        return false;
    GifPixelWalker pixels(*this);
    const std::uint32_t compression = Info.FormatOptions[kRasterGif];
    bool written;
    if (compression == kGifRle) {
        GifCodeWriter out(stream, 255);
        written = CompressGifRle(pixels, codeSize, out);
    } else {
        GifCodeWriter out(stream, 254);
        written = compression == kGifPlain ? CompressGifPlain(pixels, codeSize, out)
                                           : CompressGifLzw(pixels, codeSize, out);
    }
    const std::uint8_t end = 0;
    return written && WriteExactly(stream, &end, 1);
}

bool CRasterImageGIF::EncodeRgbMosaic(CRasterStream* stream) {
    if (!WriteHeader(stream) || !WriteComment(stream)) {
        SetLastError(kWriteError);
        return false;
    }
    const std::uint32_t width = GetWidth(), height = GetHeight();
    CRasterImageGIF tile;
    tile.Info.FormatOptions[kRasterGif] = Info.FormatOptions[kRasterGif];
    tile.Info.FrameDelay = Info.FrameDelay;
    for (std::uint32_t top = 0; top < height; top += kTileHeight) {
        const std::uint32_t tileHeight = std::min(kTileHeight, height - top);
        for (std::uint32_t left = 0; left < width; left += kTileWidth) {
            const std::uint32_t tileWidth = std::min(kTileWidth, width - left);
            if (tile.GetWidth() != tileWidth || tile.GetHeight() != tileHeight) {
                if (!tile.Create(tileWidth, tileHeight, 8, kRasterGif)) {
                    SetLastError(tile.GetLastErrorText());
                    return false;
                }
            }
            tile.SetTransparentIndex(HasTransparency() ? 0 : -1);
            if (HasTransparency()) tile.SetPaletteEntry(0, GetTransparentColor());
            // Picture row (from the bottom) of the tile's bottom row.
            const std::uint32_t bottom = height - top - tileHeight;
            for (std::uint32_t i = 0; i < tileHeight; ++i) {
                for (std::uint32_t j = 0; j < tileWidth; ++j) {
                    RGBQUAD colour = GetColorAt(left + j, bottom + i, false);
                    colour.rgbReserved = 0;
                    tile.SetPaletteEntry(1 + kTileWidth * i + j, colour);
                    tile.SetIndexAt(j, i, tile.FindNearestIndex(colour));
                }
            }
            tile.SetFrameOffset(static_cast<std::int32_t>(left), static_cast<std::int32_t>(top));
            if (!tile.WriteControlExtension(stream) || !tile.WriteImage(stream, true)) {
                SetLastError(kWriteError);
                return false;
            }
        }
    }
    const std::uint8_t trailer = 0x3B;
    if (!WriteExactly(stream, &trailer, 1) || !stream->Flush()) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}
