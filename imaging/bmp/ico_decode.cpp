// ICO decoding: the directory, one entry's bitmap and its AND mask, which
// becomes a transparent colour, a transparent index or the alpha plane.
#include "imaging/bmp/bmp_image.h"
#include "imaging/raster_buffer.h"
#include "imaging/raster_bytes.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

FreeBuffer Allocate(std::size_t size) { return FreeBuffer(static_cast<std::uint8_t*>(std::calloc(size ? size : 1, 1))); }

std::size_t MaskRowBytes(std::size_t width) { return (width + 31) / 32 * 4; }

}  // namespace

bool CRasterImageICO::Decode(CRasterStream* stream) {
    if (!stream) return false;
    const long start = stream->Tell();
    std::uint8_t directory[6];
    if (!ReadExactly(stream, directory, sizeof directory)) return Fail("Not an icon file");
    const std::uint16_t type = LoadLe16(directory + 2);
    if (LoadLe16(directory) != 0 || (type != 1 && type != 2)) return Fail("Not an icon file");
    const std::uint16_t count = LoadLe16(directory + 4);
    Info.FrameCount = count;
    std::vector<std::uint8_t> entries(16u * count);
    if (!ReadExactly(stream, entries.data(), entries.size())) return Fail("Icon directory cut short");
    if (Info.FrameIndex < 0 || Info.FrameIndex >= count) return Fail("Icon image index out of range");
    const std::uint8_t* entry = entries.data() + 16 * Info.FrameIndex;
    const std::int64_t offset = std::int64_t{start} + LoadLe32(entry + 12);
    if (offset > std::numeric_limits<long>::max() || !stream->Seek(static_cast<long>(offset), SEEK_SET))
        return Fail("Icon image not found");
    std::uint8_t header[40];
    // Images stored as PNG, or in any form other than a 40-byte bitmap header, are not read.
    if (!ReadExactly(stream, header, sizeof header) || LoadLe32(header) != 40)
        return Fail("Icon image is not a bitmap");
    const std::uint16_t bits = LoadLe16(header + 14);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return Fail("Icon bit count not supported");
    if (!Create(entry[0], entry[1], bits, kRasterIco)) return false;

    if (IsIndexed()) {
        std::vector<RGBQUAD> table(GetPaletteCount());
        stream->Read(table.data(), 4, table.size());
        SetPaletteQuads(table.data(), static_cast<std::uint32_t>(table.size()));
    }
    const std::size_t width = GetWidth(), height = GetHeight();
    if (bits == 32) {
        FreeBuffer colour = Allocate(width * height * 4);
        if (!colour) return Fail("can't allocate memory");
        stream->Read(colour.get(), 1, width * height * 4);
        CreateAlphaPlane();
        const std::uint8_t* p = colour.get();
        for (std::size_t y = 0; y < height; ++y) {
            for (std::size_t x = 0; x < width; ++x, p += 4) {
                std::memcpy(RgbAddressAt(x, y), p, 3);
                SetAlphaAt(x, y, p[3]);
            }
        }
    } else {
        stream->Read(Info.Pixels, 1, Header.biSizeImage);
    }

    const std::size_t maskRow = MaskRowBytes(width);
    FreeBuffer mask = Allocate(maskRow * height);
    if (!mask) return Fail("can't allocate memory");
    const std::size_t maskRead = stream->Read(mask.get(), 1, maskRow * height);
    if (maskRead == 0) return true;
    const std::uint8_t* maskBytes = mask.get();
    bool allSet = true;
    for (std::size_t i = 0; i < maskRow * height; ++i) allSet = allSet && maskBytes[i] == 0xFF;
    if (allSet) {
        Info.TransparentIndex = 0;
        Invert();
        return true;
    }
    auto masked = [&](std::size_t x, std::size_t y) {
        return (maskBytes[y * maskRow + x / 8] & (0x80 >> (x & 7))) != 0;
    };
    const bool hadAlpha = HasAlphaPlane();
    CreateAlphaPlane();
    bool anyMasked = false;
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            if (!masked(x, y)) continue;
            SetAlphaAt(x, y, 0);
            anyMasked = true;
        }
    }
    if (!anyMasked && !hadAlpha) DeleteAlphaPlane();

    if (bits == 24) {
        // One colour under the whole mask is the transparent colour.
        bool single = true, found = false;
        RGBQUAD key{};
        for (std::size_t y = 0; y < height && single; ++y) {
            for (std::size_t x = 0; x < width && single; ++x) {
                if (!masked(x, y)) continue;
                const RGBQUAD colour = GetColorAt(x, y, false);
                if (!found) key = colour;
                single = !found || std::memcmp(&key, &colour, 3) == 0;
                found = true;
            }
        }
        if (found && single) {
            SetTransparentColor(key);
            Info.TransparentIndex = 0;
            DeleteAlphaPlane();
        }
    } else if (bits <= 8) {
        // An index no pixel uses takes the masked pixels.
        bool used[256] = {};
        for (std::size_t y = 0; y < height; ++y)
            for (std::size_t x = 0; x < width; ++x) used[IndexAtUnchecked(x, y)] = true;
        for (std::uint32_t index = 0; index < GetPaletteCount(); ++index) {
            if (used[index]) continue;
            for (std::size_t y = 0; y < height; ++y)
                for (std::size_t x = 0; x < width; ++x)
                    if (masked(x, y)) SetIndexAt(x, y, static_cast<std::uint8_t>(index));
            if (anyMasked) Info.TransparentIndex = static_cast<std::int32_t>(index);
            DeleteAlphaPlane();
            break;
        }
    }
    return true;
}
