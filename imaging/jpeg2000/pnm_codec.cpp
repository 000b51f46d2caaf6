// PNM: bitmaps (P1, P4), grey maps (P2, P5) and pixel maps (P3, P6), plain
// or raw, with samples of one or two bytes. Bitmaps become 1-bit components
// with 1 for white, as the grey ramp wants them.
#include "imaging/jpeg2000/jas_header.h"
#include "imaging/jpeg2000/jas_picture.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool ReadPlain(CRasterStream& stream, JasPicture& picture, bool bitmap) {
    const std::size_t count = picture.components[0].storage.size();
    for (std::size_t i = 0; i < count; ++i) {
        for (JasComponent& c : picture.components) {
            std::uint32_t value = 0;
            const int first = JasNextToken(stream, true);
            if (bitmap) {
                // Bitmap digits need no separators.
                if (first != '0' && first != '1') return false;
                value = first == '0' ? 1 : 0;
            } else if (!JasReadNumber(stream, first, value) || value > c.maximum) {
                return false;
            }
            c.storage[i] = static_cast<std::int32_t>(value);
        }
    }
    return true;
}

bool ReadRaw(CRasterStream& stream, JasPicture& picture, bool bitmap) {
    JasComponent& first = picture.components[0];
    const std::size_t channels = picture.components.size();
    const std::size_t bytesPerSample = first.maximum > 255 ? 2 : 1;
    const std::size_t rowBytes = bitmap ? (std::size_t{first.width} + 7) / 8 : first.width * channels * bytesPerSample;
    std::vector<std::uint8_t> row(rowBytes);
    for (std::uint32_t y = 0; y < first.height; ++y) {
        if (stream.Read(row.data(), 1, rowBytes) != rowBytes) return false;
        for (std::uint32_t x = 0; x < first.width; ++x) {
            const std::size_t at = std::size_t{y} * first.width + x;
            if (bitmap) {
                first.storage[at] = (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 1;
                continue;
            }
            for (std::size_t c = 0; c < channels; ++c) {
                const std::uint8_t* p = &row[(x * channels + c) * bytesPerSample];
                const std::int32_t value = bytesPerSample == 2 ? p[0] << 8 | p[1] : p[0];
                picture.components[c].storage[at] = std::min<std::int32_t>(value, picture.components[c].maximum);
            }
        }
    }
    return true;
}

std::uint32_t BitsFor(std::uint32_t maximum) {
    std::uint32_t bits = 1;
    while (bits < 16 && (maximum >> bits) != 0) ++bits;
    return bits;
}

}  // namespace

bool ReadPnm(CRasterStream& stream, JasPicture& picture, std::string& error) {
    if (stream.GetC() != 'P') return false;
    const int kind = stream.GetC();
    if (kind < '1' || kind > '6') return false;
    const bool bitmap = kind == '1' || kind == '4', colour = kind == '3' || kind == '6', raw = kind >= '4';
    std::uint32_t width = 0, height = 0, maximum = 1;
    if (!JasReadNumber(stream, JasNextToken(stream, true), width) ||
        !JasReadNumber(stream, JasNextToken(stream, true), height)) {
        return false;
    }
    if (!bitmap && (!JasReadNumber(stream, JasNextToken(stream, true), maximum) || maximum == 0 || maximum > 65535)) {
        return false;
    }
    const std::uint32_t channels = colour ? 3 : 1;
    if (!JasSizeAllowed(width, height, channels)) {
        if (width && height) error = kJasTooLarge;
        return false;
    }
    // Each sample takes at least one byte in the file, a bitmap's raw pixels one bit.
    const std::uint64_t least = bitmap && raw ? (std::uint64_t{width} + 7) / 8 * height
                                              : std::uint64_t{width} * height * channels;
    if (least > static_cast<std::uint64_t>(JasRemaining(stream))) return false;
    picture.components.resize(channels);
    for (JasComponent& c : picture.components) c.Allocate(width, height, BitsFor(maximum), maximum);
    picture.colourSpace = colour ? JasColourSpace::Srgb : JasColourSpace::Grey;
    return raw ? ReadRaw(stream, picture, bitmap) : ReadPlain(stream, picture, bitmap);
}

bool WritePnm(CRasterStream& stream, const JasPicture& picture) {
    const JasComponent& first = picture.components[0];
    const std::size_t channels = picture.components.size();
    char header[64];
    std::snprintf(header, sizeof header, "P%c\n%u %u\n255\n", channels == 1 ? '5' : '6', first.width, first.height);
    if (!JasWriteText(stream, header)) return false;
    std::vector<std::uint8_t> row(first.width * channels);
    for (std::uint32_t y = 0; y < first.height; ++y) {
        for (std::uint32_t x = 0; x < first.width; ++x) {
            for (std::size_t c = 0; c < channels; ++c) {
                row[x * channels + c] = JasSampleByte(picture.components[c], picture.components[c].samples[std::size_t{y} * first.width + x]);
            }
        }
        if (stream.Write(row.data(), 1, row.size()) != row.size()) return false;
    }
    return true;
}
