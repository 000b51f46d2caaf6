// TGA encoding: 8-bit pictures colour-mapped, 24-bit ones true colour (32 bits
// with the alpha plane), always plain and bottom row first.
#include "imaging/tga/tga_image.h"
#include "imaging/raster_bytes.h"

#include <vector>

bool CRasterImageTGA::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    const std::uint32_t bits = GetBpp(), width = GetWidth(), height = GetHeight();
    if (bits < 8) return Fail("Bit depth must be 8 or 24");
    if (width > 0xFFFF || height > 0xFFFF) return Fail("Image too large for TGA");
    const bool alpha = bits == 24 && HasAlphaPlane();
    std::uint8_t header[18] = {};
    header[1] = IsIndexed() ? 1 : 0;
    header[2] = bits == 8 ? 1 : 2;
    if (bits == 8) {
        StoreLe16(header + 5, 256);
        header[7] = 24;
    }
    StoreLe16(header + 12, static_cast<std::uint16_t>(width));
    StoreLe16(header + 14, static_cast<std::uint16_t>(height));
    header[16] = static_cast<std::uint8_t>(alpha ? 32 : bits);
    std::vector<std::uint8_t> out(header, header + sizeof header);
    if (bits == 8) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            const RGBQUAD entry = GetPaletteEntry(i);
            out.insert(out.end(), {entry.rgbBlue, entry.rgbGreen, entry.rgbRed});
        }
    }
    for (std::uint32_t row = 0; row < height; ++row) {
        const std::uint8_t* pixels = GetPixels(row);
        if (!alpha) {
            out.insert(out.end(), pixels, pixels + std::size_t{width} * bits / 8);
            continue;
        }
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = pixels + 3 * x;
            out.insert(out.end(), {p[0], p[1], p[2], static_cast<std::uint8_t>(GetAlphaAt(x, row) * Info.AlphaMax / 255)});
        }
    }
    if (!WriteExactly(stream, out.data(), out.size())) return Fail("Write Error in TGA file");
    return true;
}
