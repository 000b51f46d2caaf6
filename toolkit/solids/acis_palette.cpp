#include "toolkit/solids/acis_attrib.h"

#include <cmath>

namespace {

constexpr std::uint8_t kBase[10][3] = {{0, 0, 0},     {255, 0, 0},   {255, 255, 0}, {0, 255, 0},     {0, 255, 255},
                                       {0, 0, 255},   {255, 0, 255}, {255, 255, 255}, {152, 152, 152}, {192, 192, 192}};
constexpr std::uint8_t kGreys[6] = {84, 118, 152, 187, 221, 255};
constexpr double kLevels[5] = {255, 166, 128, 76, 38};

std::uint8_t rounded(double value) { return static_cast<std::uint8_t>(std::lround(value)); }

}  // namespace

std::array<std::uint8_t, 3> acisPaletteEntry(int index) {
    index &= 255;
    if (index < 10) return {kBase[index][0], kBase[index][1], kBase[index][2]};
    if (index >= 250) return {kGreys[index - 250], kGreys[index - 250], kGreys[index - 250]};
    // 24 hues 15 degrees apart from red; per hue five brightness levels, each
    // as the full colour and then halfway to the grey of its level.
    const int hue = (index - 10) / 10;
    const int within = (index - 10) % 10;
    const double level = kLevels[within / 2];
    const double sector = hue * 15.0 / 60.0;
    const int segment = static_cast<int>(sector);
    const double f = sector - segment;
    double rgb[3] = {};
    switch (segment) {
        case 0: rgb[0] = 1, rgb[1] = f, rgb[2] = 0; break;
        case 1: rgb[0] = 1 - f, rgb[1] = 1, rgb[2] = 0; break;
        case 2: rgb[0] = 0, rgb[1] = 1, rgb[2] = f; break;
        case 3: rgb[0] = 0, rgb[1] = 1 - f, rgb[2] = 1; break;
        case 4: rgb[0] = f, rgb[1] = 0, rgb[2] = 1; break;
        default: rgb[0] = 1, rgb[1] = 0, rgb[2] = 1 - f; break;
    }
    std::array<std::uint8_t, 3> out{};
    for (int i = 0; i < 3; ++i) {
        const double full = rgb[i] * level;
        out[i] = rounded(within % 2 ? (full + level) / 2 : full);
    }
    return out;
}
