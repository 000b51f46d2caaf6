// The composite's samples to 24-bit pixels, by colour mode.
#include "imaging/psd/psd_reader.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint8_t Channel(double value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0)); }

}  // namespace

void CPsdReader::CmykToRgb(double cyan, double magenta, double yellow, double black, std::uint8_t rgb[3]) {
    rgb[0] = Channel(std::trunc((1 - (black + (1 - black) * cyan)) * 255));
    rgb[1] = Channel(std::trunc((1 - (black + (1 - black) * magenta)) * 255));
    rgb[2] = Channel(std::trunc((1 - (black + (1 - black) * yellow)) * 255));
}

void CPsdReader::XyzToRgb(double x, double y, double z, std::uint8_t rgb[3]) {
    x *= 0.01;
    y *= 0.01;
    z *= 0.01;
    const double linear[3] = {3.2406 * x - 1.5372 * y - 0.4986 * z, -0.9689 * x + 1.8758 * y + 0.0415 * z,
                              0.0557 * x - 0.2040 * y + 1.0570 * z};
    for (int i = 0; i < 3; ++i) {
        const double v = linear[i] > 0.0031308 ? 1.055 * std::pow(linear[i], 1 / 2.4) - 0.055 : 12.92 * linear[i];
        rgb[i] = Channel(std::trunc(v * 256));
    }
}

void CPsdReader::LabToRgb(double l, double a, double b, std::uint8_t rgb[3]) {
    const double fy = (l + 16) / 116, fx = fy + a * 0.002, fz = fy - b * 0.005;
    auto inverse = [](double f) { return f * f * f > 0.008856 ? f * f * f : (f - 16.0 / 116) / 7.787; };
    XyzToRgb(inverse(fx) * 95.047, inverse(fy) * 100, inverse(fz) * 108.883, rgb);
}

void CPsdReader::ConvertPixels(const std::vector<std::uint8_t>& data, std::uint32_t sampleBytes) {
    const std::uint32_t channels = static_cast<std::uint32_t>(Channels);
    const double max = Depth == 16 ? 65536.0 : 256.0;
    const bool palette = ColorMode == 2 && ColorModeLength == 768;
    if ((ColorMode == 2 && !palette) || (ColorMode == 3 && channels < 3) || (ColorMode == 4 && channels < 4) ||
        (ColorMode == 7 && channels < 3) || (ColorMode == 9 && channels < 3))
        return;
    std::size_t at = 0;
    for (std::int32_t y = 0; y < Height; ++y) {
        const std::int64_t row = std::int64_t{Height} - 1 - y;
        for (std::int32_t x = 0; x < Width; ++x, at += channels * sampleBytes) {
            auto sample = [&](std::uint32_t i) { return ReadBigEndian(data.data() + at + i * sampleBytes, static_cast<int>(sampleBytes)); };
            // Eight bits of a sample: the high byte of a 16-bit one.
            auto byte = [&](std::uint32_t i) { return static_cast<std::uint8_t>(sample(i) >> (8 * (sampleBytes - 1))); };
            std::uint8_t rgb[3];
            switch (ColorMode) {
            case 1:
            case 8: rgb[0] = rgb[1] = rgb[2] = byte(0); break;
            case 2: {
                const std::uint8_t index = data[at];
                rgb[0] = ColorModeData[index];
                rgb[1] = ColorModeData[256 + index];
                rgb[2] = ColorModeData[512 + index];
                break;
            }
            case 3: rgb[0] = byte(0), rgb[1] = byte(1), rgb[2] = byte(2); break;
            case 4:
            case 7:
                CmykToRgb(1 - sample(0) / max, 1 - sample(1) / max, 1 - sample(2) / max,
                          ColorMode == 4 || channels == 4 ? 1 - sample(3) / max : 0, rgb);
                break;
            default:
                LabToRgb(std::trunc(sample(0) / (max * 0.01)), std::trunc(sample(1) / (max / 256) - 128),
                         std::trunc(sample(2) / (max / 256) - 128), rgb);
                break;
            }
            Bitmap.SetColorAt(x, row, {rgb[2], rgb[1], rgb[0], 0}, false);
        }
    }
}
