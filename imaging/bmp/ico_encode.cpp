// ICO encoding: a one-entry icon file; the AND mask comes from the alpha
// plane, the table's alpha or the transparent colour.
#include "imaging/bmp/bmp_image.h"
#include "imaging/raster_bytes.h"

#include <cstring>
#include <vector>

bool CRasterImageICO::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    const std::size_t width = GetWidth(), height = GetHeight();
    if (width >= 256 || height >= 256) {
        SetLastError("Can't save this image as icon");
        return false;
    }
    if (GetBpp() <= 8 && !IsIndexed()) return false;
    const std::uint16_t bits = HasAlphaPlane() && !IsIndexed() ? 32 : GetBpp();
    const std::uint32_t imageBytes = bits == 32 ? static_cast<std::uint32_t>(width * height * 4) : Header.biSizeImage;
    const std::size_t maskRow = (width + 31) / 32 * 4;
    const std::uint32_t maskBytes = static_cast<std::uint32_t>(maskRow * height);

    std::uint8_t head[6 + 16 + 40] = {};
    StoreLe16(head + 2, 1);
    StoreLe16(head + 4, 1);
    std::uint8_t* entry = head + 6;
    entry[0] = static_cast<std::uint8_t>(width);
    entry[1] = static_cast<std::uint8_t>(height);
    entry[2] = static_cast<std::uint8_t>(GetPaletteCount());
    StoreLe16(entry + 6, bits);
    StoreLe32(entry + 8, imageBytes + PaletteBytes() + maskBytes + 40);
    StoreLe32(entry + 12, 22);
    std::uint8_t* info = head + 22;
    StoreLe32(info, 40);
    StoreLe32(info + 4, static_cast<std::uint32_t>(width));
    StoreLe32(info + 8, static_cast<std::uint32_t>(height * 2));
    StoreLe16(info + 12, 1);
    StoreLe16(info + 14, bits);
    StoreLe32(info + 20, imageBytes);

    std::vector<std::uint8_t> colour;
    if (bits == 32) {
        colour.reserve(imageBytes);
        for (std::size_t y = 0; y < height; ++y) {
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint8_t* p = RgbAddressAt(x, y);
                colour.insert(colour.end(), {p[0], p[1], p[2], GetAlphaAt(x, y)});
            }
        }
    }
    std::vector<std::uint8_t> mask(maskBytes, 0);
    const bool tableAlpha = PaletteHasAlpha();
    const RGBQUAD key = GetTransparentColor();
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            bool transparent = HasAlphaPlane() && GetAlphaAt(x, y) == 0;
            transparent = transparent || (tableAlpha && GetColorAt(x, y, true).rgbReserved == 0);
            if (!transparent && Info.TransparentIndex != -1) {
                const RGBQUAD colour = GetColorAt(x, y, false);
                transparent = std::memcmp(&colour, &key, 3) == 0;
            }
            if (transparent) mask[y * maskRow + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        }
    }
    const bool written = WriteExactly(stream, head, sizeof head) && WriteExactly(stream, PaletteData(), PaletteBytes()) &&
                         (bits == 32 ? WriteExactly(stream, colour.data(), colour.size())
                                     : WriteExactly(stream, Info.Pixels, Header.biSizeImage)) &&
                         WriteExactly(stream, mask.data(), mask.size());
    if (!written) SetLastError("icon write failed");
    return written;
}
