// Reduction of the bit depth to 1, 4 or 8 bits, by nearest colour or with
// error diffusion.
#include "imaging/raster_image.h"

#include <algorithm>

namespace {

std::uint8_t Clamped(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

}  // namespace

bool CRasterImage::ReduceDepth(std::uint32_t bits, bool diffuse, const RGBQUAD* palette,
                               std::uint32_t importantColors) {
    if (!Dib || bits > Header.biBitCount) return false;
    if (bits == Header.biBitCount &&
        (importantColors == 0 || (Header.biClrImportant != 0 && Header.biClrImportant < importantColors)))
        return true;
    CRasterImage reduced;
    if (!BuildRebuilt(reduced, GetWidth(), GetHeight(), bits)) return false;
    if (importantColors) reduced.SetImportantColors(importantColors);
    reduced.CopySelection(*this);
    reduced.CopyAlphaPlane(*this);
    switch (reduced.GetBpp()) {
    case 1:
        if (palette) {
            reduced.SetPaletteQuads(palette, 2);
        } else {
            reduced.SetPaletteEntry(0, 0, 0, 0);
            reduced.SetPaletteEntry(1, 255, 255, 255);
        }
        break;
    case 4:
    case 8:
        if (palette) reduced.SetPaletteQuads(palette, reduced.GetPaletteCount());
        else reduced.SetStandardPalette();
        break;
    default: return false;
    }
    const std::int64_t width = GetWidth(), height = GetHeight();
    for (std::int64_t y = 0; y < height && Info.Escape == 0; ++y) {
        Info.Progress = static_cast<std::int32_t>(y * 100 / height);
        for (std::int64_t x = 0; x < width; ++x) {
            const RGBQUAD wanted = GetColorAt(x, y, true);
            reduced.SetColorAt(x, y, wanted, false);
            if (!diffuse) continue;
            const RGBQUAD got = reduced.GetColorAt(x, y, false);
            const int error[3] = {wanted.rgbBlue - got.rgbBlue, wanted.rgbGreen - got.rgbGreen,
                                  wanted.rgbRed - got.rgbRed};
            // The error goes right and to the row above, which is the next one converted.
            const struct {
                int dx, dy, weight;
            } shares[] = {{1, 0, 7}, {-1, 1, 2}, {0, 1, 4}, {1, 1, 1}};
            for (const auto& share : shares) {
                const std::int64_t nx = x + share.dx, ny = y + share.dy;
                if (!IsInside(nx, ny)) continue;
                RGBQUAD q = GetColorAt(nx, ny, false);
                q.rgbBlue = Clamped(q.rgbBlue + error[0] * share.weight / 16);
                q.rgbGreen = Clamped(q.rgbGreen + error[1] * share.weight / 16);
                q.rgbRed = Clamped(q.rgbRed + error[2] * share.weight / 16);
                SetColorAt(nx, ny, q, false);
            }
        }
    }
    if (GetBpp() == 1) {
        reduced.SetPaletteEntry(0, 0, 0, 0);
        reduced.SetPaletteEntry(1, 255, 255, 255);
    }
    return TakeOver(reduced);
}
