// The bitmap information header in its three accepted forms.
#include "imaging/bmp/bmp_image.h"
#include "imaging/raster_bytes.h"

#include <cstring>

namespace {

std::uint64_t PackedImageSize(const BITMAPINFOHEADER& h) {
    const std::uint64_t width = static_cast<std::uint32_t>(h.biWidth);
    const std::int64_t height = h.biHeight < 0 ? -std::int64_t{h.biHeight} : h.biHeight;
    return (h.biBitCount * width + 31) / 32 * 4 * static_cast<std::uint64_t>(height);
}

bool SkipBytes(CRasterStream* stream, std::uint32_t count) {
    std::uint8_t scratch[256];
    while (count) {
        const std::uint32_t n = count < sizeof scratch ? count : sizeof scratch;
        if (!ReadExactly(stream, scratch, n)) return false;
        count -= n;
    }
    return true;
}

}  // namespace

bool ReadBitmapInfo(CRasterStream* stream, BITMAPINFOHEADER& header, bool* coreHeader) {
    std::uint8_t bytes[40];
    if (!ReadExactly(stream, bytes, 4)) return false;
    const std::uint32_t size = LoadLe32(bytes);
    std::memset(&header, 0, sizeof header);
    *coreHeader = size == 12;
    if (size == 12) {
        if (!ReadExactly(stream, bytes + 4, 8)) return false;
        header.biSize = 40;
        header.biWidth = LoadLe16(bytes + 4);
        header.biHeight = LoadLe16(bytes + 6);
        header.biPlanes = LoadLe16(bytes + 8);
        header.biBitCount = LoadLe16(bytes + 10);
    } else if (size >= 40) {
        if (!ReadExactly(stream, bytes + 4, 36)) return false;
        header.biSize = 40;
        header.biWidth = static_cast<std::int32_t>(LoadLe32(bytes + 4));
        header.biHeight = static_cast<std::int32_t>(LoadLe32(bytes + 8));
        header.biPlanes = LoadLe16(bytes + 12);
        header.biBitCount = LoadLe16(bytes + 14);
        header.biCompression = LoadLe32(bytes + 16);
        header.biSizeImage = LoadLe32(bytes + 20);
        header.biXPelsPerMeter = static_cast<std::int32_t>(LoadLe32(bytes + 24));
        header.biYPelsPerMeter = static_cast<std::int32_t>(LoadLe32(bytes + 28));
        header.biClrUsed = LoadLe32(bytes + 32);
        header.biClrImportant = LoadLe32(bytes + 36);
        // Longer headers are taken only for plain pictures, whose meaning the first 40 bytes hold whole.
        if (size != 40 && size != 64 &&
            (header.biSizeImage != PackedImageSize(header) || header.biPlanes != 1 || header.biCompression != 0 ||
             header.biClrUsed != 0))
            return false;
        if (!SkipBytes(stream, size - 40)) return false;
    } else {
        return false;
    }
    if (header.biSizeImage == 0) header.biSizeImage = static_cast<std::uint32_t>(PackedImageSize(header));
    if (header.biClrUsed == 0 && header.biBitCount <= 8) header.biClrUsed = 1u << header.biBitCount;
    return true;
}
