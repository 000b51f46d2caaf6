// Flips, mirrors, turns and the colour negative of a whole picture.
#include "imaging/raster_image.h"

#include <algorithm>
#include <cstring>

// The result of a turn or a depth change: this image's record, table and
// alpha plane on a picture of the given size and depth.
bool CRasterImage::BuildRebuilt(CRasterImage& result, std::uint32_t width, std::uint32_t height,
                                std::uint32_t bpp) const {
    result.InitFields(kRasterUnknown);
    result.CopyInfoFrom(*this);
    if (!result.Create(width, height, bpp, Info.FormatId)) return false;
    if (const RGBQUAD* table = PaletteData())
        result.SetPaletteQuads(table, std::min<std::uint32_t>(Header.biClrUsed, 256));
    if (Alpha) result.CreateAlphaPlane();
    return true;
}

bool CRasterImage::FlipVertical() {
    if (!Dib) return false;
    CRasterImage flipped(*this, false, false, true);
    if (!flipped.IsValid()) return false;
    const std::uint32_t height = GetHeight();
    for (std::uint32_t y = 0; y < height; ++y)
        std::memcpy(flipped.GetPixels(y), GetPixels(height - 1 - y), Info.RowBytes);
    flipped.FlipAlphaVertical();
    return TakeOver(flipped);
}

bool CRasterImage::MirrorHorizontal() {
    if (!Dib) return false;
    CRasterImage mirrored(*this, false, false, true);
    if (!mirrored.IsValid()) return false;
    const std::int64_t width = GetWidth(), height = GetHeight();
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* in = GetPixels(static_cast<std::uint32_t>(y));
        std::uint8_t* out = mirrored.GetPixels(static_cast<std::uint32_t>(y));
        for (std::int64_t x = 0; x < width; ++x) {
            const std::int64_t from = width - 1 - x;
            switch (Header.biBitCount) {
            case 8: out[x] = in[from]; break;
            case 24: std::memcpy(out + 3 * x, in + 3 * from, 3); break;
            default: mirrored.SetIndexAt(x, y, IndexAtUnchecked(from, y)); break;
            }
        }
    }
    mirrored.MirrorAlphaHorizontal();
    return TakeOver(mirrored);
}

namespace {
constexpr std::int64_t kTile = 64;
}

// A quarter turn. Left: destination (x, y) = source (y, H - 1 - x); right:
// destination (x, y) = source (W - 1 - y, x).
bool CRasterImage::TurnQuarter(CRasterImage* target, bool left) {
    if (!Dib) return false;
    const std::int64_t width = GetWidth(), height = GetHeight();
    CRasterImage turned;
    if (!BuildRebuilt(turned, static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width),
                      Header.biBitCount))
        return false;
    // The source column depends on the destination row only, the source row on the destination column only.
    auto sourceX = [&](std::int64_t, std::int64_t y) { return left ? y : width - 1 - y; };
    auto sourceY = [&](std::int64_t x, std::int64_t) { return left ? height - 1 - x : x; };
    if (Header.biBitCount == 1) {
        // Bit by bit on bytes: each set source bit is ORed into its destination bit.
        turned.FillPixels(0);
        const std::size_t destRow = turned.Info.RowBytes;
        const std::size_t destSize = turned.Header.biSizeImage;
        for (std::int64_t sy = 0; sy < height; ++sy) {
            const std::uint8_t* row = GetPixels(static_cast<std::uint32_t>(sy));
            for (std::int64_t byte = 0; byte < (width + 7) / 8; ++byte) {
                if (!row[byte]) continue;
                for (int bit = 0; bit < 8; ++bit) {
                    const std::int64_t sx = byte * 8 + bit;
                    if (sx >= width || !(row[byte] & (0x80 >> bit))) continue;
                    const std::int64_t dx = left ? height - 1 - sy : sy;
                    const std::int64_t dy = left ? sx : width - 1 - sx;
                    const std::size_t address =
                        static_cast<std::size_t>(dy) * destRow + static_cast<std::size_t>(dx / 8);
                    if (address < destSize) turned.Info.Pixels[address] |= static_cast<std::uint8_t>(0x80 >> (dx & 7));
                }
            }
        }
        if (Alpha) {
            for (std::int64_t y = 0; y < width; ++y)
                for (std::int64_t x = 0; x < height; ++x)
                    turned.SetAlphaAt(x, y, AlphaAtUnchecked(sourceX(x, y), sourceY(x, y)));
        }
    } else {
        // Destination tiles of 64 x 64 keep the source and destination rows in cache.
        const std::int64_t destWidth = height, destHeight = width;
        for (std::int64_t tx = 0; tx < destWidth; tx += kTile) {
            for (std::int64_t ty = 0; ty < destHeight; ty += kTile) {
                const std::int64_t xEnd = std::min(tx + kTile, destWidth), yEnd = std::min(ty + kTile, destHeight);
                for (std::int64_t x = tx; x < xEnd; ++x) {
                    for (std::int64_t y = ty; y < yEnd; ++y) {
                        Info.Progress = static_cast<std::int32_t>(left ? x * 100 / height : y * 100 / width);
                        const std::int64_t sx = sourceX(x, y), sy = sourceY(x, y);
                        if (Header.biBitCount == 24) std::memcpy(turned.RgbAddressAt(x, y), RgbAddressAt(sx, sy), 3);
                        else turned.SetIndexAt(x, y, IndexAtUnchecked(sx, sy));
                        if (Alpha) turned.SetAlphaAt(x, y, AlphaAtUnchecked(sx, sy));
                    }
                }
            }
        }
    }
    return (target ? target : this)->TakeOver(turned);
}

bool CRasterImage::RotateLeft90(CRasterImage* target) { return TurnQuarter(target, true); }

bool CRasterImage::RotateRight90(CRasterImage* target) { return TurnQuarter(target, false); }

bool CRasterImage::Rotate180(CRasterImage* target) {
    if (!Dib) return false;
    const std::int64_t width = GetWidth(), height = GetHeight();
    CRasterImage turned;
    if (!BuildRebuilt(turned, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                      Header.biBitCount))
        return false;
    for (std::int64_t y = 0; y < height; ++y) {
        Info.Progress = static_cast<std::int32_t>(y * 100 / height);
        for (std::int64_t x = 0; x < width; ++x) {
            const std::int64_t dx = width - 1 - x, dy = height - 1 - y;
            if (IsIndexed()) turned.SetIndexAt(dx, dy, GetIndexAt(x, y));
            else turned.SetColorAt(dx, dy, GetColorAt(x, y, true), false);
            if (Alpha) turned.SetAlphaAt(dx, dy, AlphaAtUnchecked(x, y));
        }
    }
    return (target ? target : this)->TakeOver(turned);
}

bool CRasterImage::Invert() {
    if (!Dib) return false;
    const SelectionRect box = Info.SelectionBox;
    auto forSelected = [&](auto change) {
        for (std::int64_t y = box.bottom; y < box.top; ++y)
            for (std::int64_t x = box.left; x < box.right; ++x)
                if (IsSelected(x, y)) change(x, y);
    };
    if (Header.biBitCount > 8) {
        if (Selection) {
            forSelected([&](std::int64_t x, std::int64_t y) {
                std::uint8_t* p = RgbAddressAt(x, y);
                for (int i = 0; i < 3; ++i) p[i] = static_cast<std::uint8_t>(255 - p[i]);
            });
        } else {
            for (std::uint32_t i = 0; i < Header.biSizeImage; ++i)
                Info.Pixels[i] = static_cast<std::uint8_t>(~Info.Pixels[i]);
        }
        RGBQUAD& key = Info.TransparentColor;
        key = {static_cast<std::uint8_t>(255 - key.rgbBlue), static_cast<std::uint8_t>(255 - key.rgbGreen),
               static_cast<std::uint8_t>(255 - key.rgbRed), key.rgbReserved};
        return true;
    }
    if (!HasIdentityGreyPalette()) {
        RGBQUAD* table = PaletteData();
        for (std::uint32_t i = 0; i < Header.biClrUsed; ++i) {
            table[i].rgbBlue = static_cast<std::uint8_t>(255 - table[i].rgbBlue);
            table[i].rgbGreen = static_cast<std::uint8_t>(255 - table[i].rgbGreen);
            table[i].rgbRed = static_cast<std::uint8_t>(255 - table[i].rgbRed);
        }
        Info.NearestCacheValid = false;
        return true;
    }
    auto negate = [&](std::int64_t x, std::int64_t y) {
        SetIndexAt(x, y, static_cast<std::uint8_t>(~IndexAtUnchecked(x, y)));
    };
    if (Selection) {
        forSelected(negate);
    } else {
        for (std::int64_t y = 0; y < Header.biHeight; ++y)
            for (std::int64_t x = 0; x < Header.biWidth; ++x) negate(x, y);
    }
    return true;
}
