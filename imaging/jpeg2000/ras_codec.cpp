// Sun raster: 1, 8, 24 and 32 bits per pixel, plain or run-length encoded,
// with an optional colour map. Mapped pictures become three colour
// components; a 1-bit picture without a map shows set bits black.
#include "imaging/jpeg2000/jas_header.h"
#include "imaging/jpeg2000/jas_picture.h"

#include <array>
#include <vector>

namespace {

constexpr std::uint32_t kMagic = 0x59A66A95;
constexpr std::uint32_t kTypeStandard = 1, kTypeRunLength = 2, kTypeRgb = 3;
constexpr std::uint32_t kMapNone = 0, kMapRgb = 1;

std::uint32_t Big32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void PutBig32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// Run-length data: 0x80 0 is one 0x80 byte, 0x80 n v is n + 1 copies of v.
bool ReadRunLength(CRasterStream& stream, std::vector<std::uint8_t>& out) {
    std::size_t at = 0;
    while (at < out.size()) {
        const int c = stream.GetC();
        if (c < 0) return false;
        if (c != 0x80) {
            out[at++] = static_cast<std::uint8_t>(c);
            continue;
        }
        const int count = stream.GetC();
        if (count < 0) return false;
        if (count == 0) {
            out[at++] = 0x80;
            continue;
        }
        const int value = stream.GetC();
        if (value < 0) return false;
        for (int i = 0; i <= count && at < out.size(); ++i) out[at++] = static_cast<std::uint8_t>(value);
    }
    return true;
}

}  // namespace

bool ReadRas(CRasterStream& stream, JasPicture& picture, std::string& error) {
    std::uint8_t header[32];
    if (stream.Read(header, 1, sizeof header) != sizeof header || Big32(header) != kMagic) return false;
    const std::uint32_t width = Big32(header + 4), height = Big32(header + 8), depth = Big32(header + 12);
    const std::uint32_t type = Big32(header + 20), mapType = Big32(header + 24), mapLength = Big32(header + 28);
    if ((depth != 1 && depth != 8 && depth != 24 && depth != 32) || type > kTypeRgb || mapType > 2) return false;
    const bool mapped = mapType == kMapRgb && mapLength >= 3 && depth <= 8;
    const std::uint32_t channels = depth > 8 || mapped ? 3 : 1;
    if (!JasSizeAllowed(width, height, channels)) {
        if (width && height) error = kJasTooLarge;
        return false;
    }
    if (mapLength > static_cast<std::uint32_t>(JasRemaining(stream))) return false;
    std::vector<std::uint8_t> map(mapLength);
    if (mapLength && stream.Read(map.data(), 1, mapLength) != mapLength) return false;
    const std::uint32_t entries = mapLength / 3;

    // Rows are padded to 16 bits.
    const std::size_t rowBytes = (std::uint64_t{width} * depth + 15) / 16 * 2;
    const std::uint64_t dataBytes = std::uint64_t{rowBytes} * height;
    // Run-length data takes at least a third of the bytes it stands for.
    if ((type == kTypeRunLength ? dataBytes / 255 * 3 : dataBytes) > static_cast<std::uint64_t>(JasRemaining(stream))) {
        return false;
    }
    std::vector<std::uint8_t> data(dataBytes);
    if (type == kTypeRunLength ? !ReadRunLength(stream, data) : stream.Read(data.data(), 1, data.size()) != data.size()) {
        return false;
    }

    picture.components.resize(channels);
    for (JasComponent& c : picture.components) c.Allocate(width, height, depth == 1 && !mapped ? 1 : 8, depth == 1 && !mapped ? 1 : 255);
    picture.colourSpace = channels == 3 ? JasColourSpace::Srgb : JasColourSpace::Grey;
    const bool rgbOrder = type == kTypeRgb;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = &data[y * rowBytes];
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = std::size_t{y} * width + x;
            if (depth <= 8) {
                const std::uint32_t index = depth == 1 ? (row[x / 8] >> (7 - x % 8)) & 1 : row[x];
                if (!mapped) {
                    picture.components[0].storage[at] = static_cast<std::int32_t>(depth == 1 ? 1 - index : index);
                    continue;
                }
                for (std::uint32_t c = 0; c < 3; ++c) {
                    picture.components[c].storage[at] = index < entries ? map[c * entries + index] : 0;
                }
                continue;
            }
            // 32-bit pixels lead with a pad byte; the standard order is blue, green, red.
            const std::uint8_t* p = row + x * (depth / 8) + (depth == 32 ? 1 : 0);
            picture.components[0].storage[at] = rgbOrder ? p[0] : p[2];
            picture.components[1].storage[at] = p[1];
            picture.components[2].storage[at] = rgbOrder ? p[2] : p[0];
        }
    }
    return true;
}

bool WriteRas(CRasterStream& stream, const JasPicture& picture) {
    const JasComponent& first = picture.components[0];
    const std::uint32_t channels = static_cast<std::uint32_t>(picture.components.size());
    const std::uint32_t depth = channels == 1 ? 8 : 24;
    const std::size_t rowBytes = (std::size_t{first.width} * depth + 15) / 16 * 2;
    std::array<std::uint8_t, 32> header{};
    const std::uint32_t fields[8] = {kMagic, first.width, first.height, depth,
                                     static_cast<std::uint32_t>(rowBytes * first.height), kTypeStandard, kMapNone, 0};
    for (int i = 0; i < 8; ++i) PutBig32(&header[4 * i], fields[i]);
    if (stream.Write(header.data(), 1, header.size()) != header.size()) return false;
    std::vector<std::uint8_t> row(rowBytes);
    for (std::uint32_t y = 0; y < first.height; ++y) {
        for (std::uint32_t x = 0; x < first.width; ++x) {
            const std::size_t at = std::size_t{y} * first.width + x;
            for (std::uint32_t c = 0; c < channels; ++c) {
                // Blue, green, red: the components from the last.
                const JasComponent& component = picture.components[channels - 1 - c];
                row[x * channels + c] = JasSampleByte(component, component.samples[at]);
            }
        }
        if (stream.Write(row.data(), 1, row.size()) != row.size()) return false;
    }
    return true;
}
