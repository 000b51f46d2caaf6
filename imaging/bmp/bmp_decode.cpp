// BMP decoding: a file header and a bitmap information header, or a bare DIB
// with the information header first.
#include "imaging/bmp/bmp_image.h"
#include "imaging/raster_buffer.h"
#include "imaging/raster_bytes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

bool KnownBitCount(std::uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::int32_t DpiOf(std::int32_t pelsPerMeter) {
    return static_cast<std::int32_t>(std::floor(pelsPerMeter * 0.0254 + 0.5));
}

}  // namespace

bool CRasterImageBMP::Decode(CRasterStream* stream) {
    if (!stream) return false;
    // Every failure ends here; in size-only mode the caller asked for no more.
    auto fail = [this](const char* text) {
        SetLastError(text);
        return Info.Escape == -1;
    };
    const long start = stream->Tell();
    std::uint8_t fileHeader[14];
    if (!ReadExactly(stream, fileHeader, sizeof fileHeader)) return fail("Not a BMP");
    std::uint32_t pixelOffset = LoadLe32(fileHeader + 10);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') {
        pixelOffset = 0;
        stream->Seek(start, SEEK_SET);
    }
    BITMAPINFOHEADER file;
    bool coreHeader = false;
    if (!ReadBitmapInfo(stream, file, &coreHeader)) return fail("Error reading BMP info");
    const bool topDown = file.biHeight < 0;
    const std::uint32_t width = static_cast<std::uint32_t>(file.biWidth);
    const std::uint32_t height = topDown ? 0u - static_cast<std::uint32_t>(file.biHeight)
                                         : static_cast<std::uint32_t>(file.biHeight);
    if (Info.Escape == -1) {
        Header.biWidth = file.biWidth;
        Header.biHeight = static_cast<std::int32_t>(height);
        return fail("output dimensions returned");
    }
    // A bit count the pixel readers do not know would leave a blank picture
    // reported as read; a colour table longer than the depth allows would not
    // fit the image's own.
    if (!KnownBitCount(file.biBitCount) || file.biWidth <= 0 ||
        (file.biBitCount <= 8 && file.biClrUsed > (1u << file.biBitCount)))
        return fail("Error reading BMP info");
    if (!Create(width, height, file.biBitCount, kRasterBmp)) return fail("Can't allocate memory");
    Header.biXPelsPerMeter = file.biXPelsPerMeter;
    Header.biYPelsPerMeter = file.biYPelsPerMeter;
    Info.DpiX = DpiOf(file.biXPelsPerMeter);
    Info.DpiY = DpiOf(file.biYPelsPerMeter);
    std::memcpy(Dib, &Header, sizeof Header);
    if (Info.Escape) return fail("Cancelled");

    if (IsIndexed()) {
        auto* table = reinterpret_cast<std::uint8_t*>(PaletteData());
        if (coreHeader) {
            stream->Read(table, 3, file.biClrUsed);
            for (std::uint32_t i = file.biClrUsed; i-- > 0;) {
                const std::uint8_t blue = table[3 * i], green = table[3 * i + 1], red = table[3 * i + 2];
                table[4 * i] = blue;
                table[4 * i + 1] = green;
                table[4 * i + 2] = red;
                table[4 * i + 3] = 0;
            }
        } else {
            stream->Read(table, 4, file.biClrUsed);
            for (std::uint32_t i = 0; i < file.biClrUsed; ++i) table[4 * i + 3] = 0;
        }
        Info.NearestCacheValid = false;
    }
    if (Info.Escape) return fail("Cancelled");

    auto seekPixels = [&] {
        if (!pixelOffset) return;
        const std::int64_t target = std::int64_t{start} + pixelOffset;
        // An offset no stream position can hold leaves nothing to read.
        if (target > std::numeric_limits<long>::max()) stream->Seek(0, SEEK_END);
        else stream->Seek(static_cast<long>(target), SEEK_SET);
    };
    // Never more than the picture holds, whatever the file's image size says.
    const std::uint32_t pixelBytes = std::min(file.biSizeImage, Header.biSizeImage);
    switch (file.biBitCount) {
    case 1:
    case 4:
    case 8:
        seekPixels();
        if (file.biCompression == 0) stream->Read(Info.Pixels, 1, pixelBytes);
        else if (file.biCompression == 1 && file.biBitCount == 8) DecodeRle8(stream, *this);
        else if (file.biCompression == 2 && file.biBitCount == 4) DecodeRle4(stream, *this);
        else return fail("compression type not supported");
        break;
    case 16: {
        std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
        if (file.biCompression == 3) {
            std::uint8_t bytes[12];
            if (ReadExactly(stream, bytes, sizeof bytes)) {
                for (int i = 0; i < 3; ++i) masks[i] = LoadLe32(bytes + 4 * i);
            }
        }
        seekPixels();
        const std::size_t sourceBytes = std::size_t{(width + 1) / 2} * 4 * height;
        stream->Read(Info.Pixels, 1, std::min<std::size_t>(sourceBytes, Header.biSizeImage));
        ExpandBitfields(Info.Pixels, masks[0], masks[1], masks[2], 16);
        break;
    }
    case 24:
        if (file.biCompression != 0) return fail("unknown compression");
        seekPixels();
        stream->Read(Info.Pixels, 1, pixelBytes);
        break;
    case 32: {
        if (file.biCompression != 0 && file.biCompression != 3) return fail("unknown compression");
        seekPixels();
        const std::size_t sourceBytes = std::size_t{width} * height * 4;
        FreeBuffer source(static_cast<std::uint8_t*>(std::calloc(sourceBytes, 1)));
        if (!source) return fail("can't allocate memory");
        stream->Read(source.get(), 1, sourceBytes);
        ExpandBitfields(source.get(), 0, 0, 0, 32);
        break;
    }
    default: break;
    }
    if (topDown) FlipVertical();
    return true;
}
