// GIF decoding: the block walk, extensions, frame counting and the choice of
// frame.
#include "imaging/gif/gif_codec.h"
#include "imaging/gif/gif_image.h"
#include "imaging/raster_bytes.h"

#include <cstdio>
#include <cstring>

namespace {

// What a graphic control extension says about the one image after it.
struct GifControl {
    std::uint8_t flags = 0;
    std::uint16_t delay = 0;
    std::uint8_t transparentByte = 0;
    std::int32_t transparent = -1;
    std::uint32_t disposal = 0;
};

struct GifDescriptor {
    std::uint32_t left, top, width, height;
    std::uint8_t flags;
};

bool SkipBytes(CRasterStream* stream, std::size_t count) {
    std::uint8_t scratch[255];
    return ReadExactly(stream, scratch, count);
}

// Skips sub-blocks up to and including the 0 terminator.
bool SkipSubBlocks(CRasterStream* stream) {
    for (;;) {
        const int length = stream->GetC();
        if (length < 0) return false;
        if (length == 0) return true;
        if (!SkipBytes(stream, static_cast<std::size_t>(length))) return false;
    }
}

bool ReadTable(CRasterStream* stream, std::uint8_t flags, GifColorTable& table) {
    table.count = 2u << (flags & 7);
    return ReadExactly(stream, table.rgb, 3 * table.count);
}

// The block walk shared by counting and decoding. For each image whose area
// lies inside the screen, `image` consumes its colour table and data; others
// are passed over. Bytes between blocks that are neither an extension, an
// image nor the trailer are skipped up to a 0 byte.
class GifWalker {
public:
    GifWalker(CRasterStream* stream, CRasterImageGIF& gif, std::uint32_t width, std::uint32_t height)
        : Stream(stream), Gif(gif), Width(width), Height(height) {}

    // `image`(descriptor, control) → false stops the walk.
    template <class Image>
    bool Walk(Image image) {
        for (;;) {
            if (Gif.Info.Escape > 0) return false;
            const int byte = Stream->GetC();
            if (byte < 0 || byte == 0x3B) return true;
            if (byte == 0x21) {
                if (!ReadExtension()) return true;
            } else if (byte == 0x2C) {
                std::uint8_t raw[9];
                if (!ReadExactly(Stream, raw, sizeof raw)) return true;
                const GifDescriptor descriptor{LoadLe16(raw), LoadLe16(raw + 2), LoadLe16(raw + 4), LoadLe16(raw + 6),
                                               raw[8]};
                const GifControl control = Control;
                Control = GifControl{};
                if (descriptor.width == 0 || descriptor.height == 0 || descriptor.left + descriptor.width > Width ||
                    descriptor.top + descriptor.height > Height) {
                    GifColorTable skipped;
                    if ((descriptor.flags & 0x80) && !ReadTable(Stream, descriptor.flags, skipped)) return true;
                    if (Stream->GetC() < 0 || !SkipSubBlocks(Stream)) return true;
                    continue;
                }
                if (!image(descriptor, control)) return false;
            } else {
                int skipped = byte;
                while (skipped > 0) skipped = Stream->GetC();
                if (skipped < 0) return true;
            }
        }
    }

private:
    bool ReadExtension() {
        const int label = Stream->GetC();
        if (label < 0) return false;
        if (label == 0xF9) {
            const int size = Stream->GetC();
            std::uint8_t block[255];
            if (size < 0 || !ReadExactly(Stream, block, static_cast<std::size_t>(size))) return false;
            if (size >= 4) {
                Control.flags = Gif.ControlFlags = block[0];
                Control.delay = Gif.ControlDelay = LoadLe16(block + 1);
                Control.transparentByte = Gif.ControlTransparent = block[3];
                Control.transparent = (block[0] & 1) ? block[3] : -1;
                Control.disposal = (block[0] >> 2) & 7;
            }
        } else if (label == 0xFE) {
            const int size = Stream->GetC();
            if (size < 0 || !ReadExactly(Stream, Gif.Comment, static_cast<std::size_t>(size))) return false;
            Gif.Comment[size] = '\0';
        } else if (label == 0xFF) {
            const int size = Stream->GetC();
            std::uint8_t block[255];
            if (size < 0 || !ReadExactly(Stream, block, static_cast<std::size_t>(size))) return false;
            if (size == 11) {
                const int length = Stream->GetC();
                if (length < 0 || !ReadExactly(Stream, block, static_cast<std::size_t>(length))) return false;
                if (length > 2) Gif.LoopCount = LoadLe16(block + 1);
                if (length == 0) return true;
            }
        }
        return SkipSubBlocks(Stream);
    }

    CRasterStream* Stream;
    CRasterImageGIF& Gif;
    std::uint32_t Width, Height;
    GifControl Control;
};

}  // namespace

bool CRasterImageGIF::Decode(CRasterStream* stream) {
    if (!stream) return false;
    std::uint8_t head[13];
    if (!ReadExactly(stream, head, sizeof head) || std::memcmp(head, "GIF8", 4) != 0) {
        SetLastError("Not a GIF");
        return false;
    }
    const std::uint32_t width = LoadLe16(head + 6), height = LoadLe16(head + 8);
    if (Info.Escape == -1) {
        Header.biWidth = static_cast<std::int32_t>(width);
        Header.biHeight = static_cast<std::int32_t>(height);
        return true;
    }
    GifColorTable global;
    if ((head[10] & 0x80) && !ReadTable(stream, head[10], global)) {
        SetLastError("corrupted GIF");
        return false;
    }
    const long start = stream->Tell();

    // Count the images, noting the size of the first.
    std::int32_t count = 0;
    std::uint32_t firstWidth = 0, firstHeight = 0;
    GifWalker(stream, *this, width, height).Walk([&](const GifDescriptor& image, const GifControl&) {
        if (count++ == 0) {
            firstWidth = image.width;
            firstHeight = image.height;
        }
        GifColorTable skipped;
        if ((image.flags & 0x80) && !ReadTable(stream, image.flags, skipped)) return false;
        return stream->GetC() >= 0 && SkipSubBlocks(stream);
    });
    stream->Seek(start, SEEK_SET);
    Info.FrameCount = count;
    if (Info.Escape > 0) return false;
    if (Info.FrameIndex < 0 || Info.FrameIndex >= count) {
        SetLastError(count ? "GIF frame out of range" : "no image in GIF");
        return false;
    }
    // The layout EncodeRgbMosaic writes: tiles with tables of their own, no
    // global table, the first smaller than the screen.
    const bool mosaic = global.count == 0 && count > 1 && firstWidth < width && firstHeight < height;

    GifScreen screen(*this, width, height);
    std::int32_t frame = 0;
    GifControl shown;
    RGBQUAD mosaicTransparent{};
    bool failed = false;
    const bool walked = GifWalker(stream, *this, width, height).Walk([&](const GifDescriptor& image,
                                                                          const GifControl& control) {
        GifColorTable local;
        if ((image.flags & 0x80) && !ReadTable(stream, image.flags, local)) return false;
        const GifColorTable& table = (image.flags & 0x80) ? local : global;
        CRasterImage picture(kRasterGif);
        picture.SetTransparentIndex(control.transparent);
        if (!picture.Create(image.width, image.height, GifTableBits(table.count), kRasterGif)) {
            SetLastError(picture.GetLastErrorText());
            return !(failed = true);
        }
        SetGifPalette(picture, table);
        DecodeGifLzw(stream, picture, (image.flags & 0x40) != 0);
        if (Info.Escape) return false;
        const bool composed = mosaic ? screen.Paste(picture, image.left, image.top)
                                     : screen.Compose(picture, table, image.left, image.top, control.transparent,
                                                      control.disposal, head[11]);
        if (!composed) {
            SetLastError(screen.Failure());
            return !(failed = true);
        }
        shown = control;
        if (control.transparent >= 0) mosaicTransparent = picture.GetPaletteEntry(control.transparent);
        return mosaic || frame++ < Info.FrameIndex;
    });
    if (failed || (!walked && Info.Escape)) {
        if (Info.Escape) SetLastError("Cancelled");
        return false;
    }
    if (!screen.Picture().IsValid()) {
        SetLastError("corrupted GIF");
        return false;
    }
    if (mosaic && shown.transparent >= 0) {
        screen.Picture().SetTransparentColor(mosaicTransparent);
        screen.Picture().SetTransparentIndex(0);
    }
    const std::int32_t frames = Info.FrameCount;
    if (!TakeOver(screen.Picture())) return false;
    Info.FrameCount = frames;
    Info.FrameDelay = shown.delay;
    DisposalMethod = static_cast<std::uint8_t>(shown.disposal);
    return true;
}
