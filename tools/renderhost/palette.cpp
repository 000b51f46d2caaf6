// The standard 256-colour palette of colour indexes.
#include "tools/renderhost/raster_host.h"

#include <cmath>

namespace {

std::uint32_t rgb(double r, double g, double b) {
    return static_cast<std::uint32_t>(std::lround(r)) << 16 | static_cast<std::uint32_t>(std::lround(g)) << 8 |
           static_cast<std::uint32_t>(std::lround(b));
}

}  // namespace

// 1..9 are named colours; 10..249 are 24 hues in steps of 15 degrees, each
// in five brightnesses, full and half saturated; 250..255 are greys.
std::uint32_t adPaletteRgb(int colourIndex) {
    static const std::uint32_t named[10] = {0x000000, 0xff0000, 0xffff00, 0x00ff00, 0x00ffff,
                                            0x0000ff, 0xff00ff, 0xffffff, 0x808080, 0xc0c0c0};
    static const double greys[6] = {51, 80, 105, 130, 190, 255};
    static const double brightness[5] = {255, 165, 127, 76, 38};
    if (colourIndex < 0 || colourIndex > 255) return named[7];
    if (colourIndex < 10) return named[colourIndex];
    if (colourIndex >= 250) {
        const double g = greys[colourIndex - 250];
        return rgb(g, g, g);
    }
    const int hue = (colourIndex - 10) / 10, variant = (colourIndex - 10) % 10;
    const double high = brightness[variant / 2];
    const double low = variant % 2 ? std::floor(high / 2) : 0.0;
    // Six sectors of 60 degrees; within one, one channel moves between low and high.
    const int sector = hue / 4;
    const double rising = low + (high - low) * (hue % 4) / 4.0;
    const double falling = high - (high - low) * (hue % 4) / 4.0;
    switch (sector) {
        case 0: return rgb(high, rising, low);
        case 1: return rgb(falling, high, low);
        case 2: return rgb(low, high, rising);
        case 3: return rgb(low, falling, high);
        case 4: return rgb(rising, low, high);
        default: return rgb(high, low, falling);
    }
}
