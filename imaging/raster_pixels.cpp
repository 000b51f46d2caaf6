// Reading and writing single pixels: x from the left, y from the bottom row,
// the order of the rows in memory.
#include "imaging/raster_image.h"

#include <cstring>

bool CRasterImage::IsInside(std::int64_t x, std::int64_t y) const {
    return x >= 0 && y >= 0 && x < Header.biWidth && y < Header.biHeight;
}

std::uint8_t CRasterImage::IndexAtUnchecked(std::int64_t x, std::int64_t y) const {
    const std::uint8_t* row = Info.Pixels + static_cast<std::size_t>(y) * Info.RowBytes;
    switch (Header.biBitCount) {
    case 8: return row[x];
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default: return 0;
    }
}

std::uint8_t CRasterImage::GetIndexAt(std::int64_t x, std::int64_t y) const {
    if (!Dib || Header.biClrUsed == 0) return 0;
    if (!IsInside(x, y)) {
        if (Info.TransparentIndex != -1) return static_cast<std::uint8_t>(Info.TransparentIndex);
        return Info.Pixels[0];
    }
    return IndexAtUnchecked(x, y);
}

void CRasterImage::SetIndexAt(std::int64_t x, std::int64_t y, std::uint8_t index) {
    if (!Dib || Header.biClrUsed == 0 || !IsInside(x, y)) return;
    std::uint8_t* row = Info.Pixels + static_cast<std::size_t>(y) * Info.RowBytes;
    switch (Header.biBitCount) {
    case 8: row[x] = index; break;
    case 4: {
        std::uint8_t& byte = row[x >> 1];
        byte = (x & 1) ? (byte & 0xF0) | (index & 0x0F) : (byte & 0x0F) | ((index & 0x0F) << 4);
        break;
    }
    case 1: {
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
        std::uint8_t& byte = row[x >> 3];
        byte = (index & 1) ? byte | bit : byte & ~bit;
        break;
    }
    default: break;
    }
}

RGBQUAD CRasterImage::GetColorAt(std::int64_t x, std::int64_t y, bool withAlpha) const {
    if (!Dib || !IsInside(x, y)) {
        if (Info.TransparentIndex == -1) return Dib ? GetColorAt(0, 0, withAlpha) : Info.TransparentColor;
        if (Header.biBitCount < 24) return GetPaletteEntry(static_cast<std::uint32_t>(Info.TransparentIndex));
        return Info.TransparentColor;
    }
    RGBQUAD quad;
    if (Header.biClrUsed) {
        quad = GetPaletteEntry(GetIndexAt(x, y));
    } else {
        const std::uint8_t* p = RgbAddressAt(x, y);
        quad = {p[0], p[1], p[2], Info.TransparentColor.rgbReserved};
    }
    if (withAlpha && Alpha) quad.rgbReserved = GetAlphaAt(x, y);
    return quad;
}

void CRasterImage::SetColorAt(std::int64_t x, std::int64_t y, RGBQUAD quad, bool setAlpha) {
    if (!Dib || !IsInside(x, y)) return;
    if (Header.biClrUsed) {
        SetIndexAt(x, y, FindNearestIndex(quad));
        return;
    }
    std::uint8_t* p = RgbAddressAt(x, y);
    p[0] = quad.rgbBlue;
    p[1] = quad.rgbGreen;
    p[2] = quad.rgbRed;
    if (setAlpha) SetAlphaAt(x, y, quad.rgbReserved);
}

void CRasterImage::SetColorRefAt(std::int64_t x, std::int64_t y, COLORREF color) {
    SetColorAt(x, y, ColorRefToQuad(color), false);
}

std::uint8_t* CRasterImage::RgbAddressAt(std::int64_t x, std::int64_t y) const {
    if (Header.biClrUsed) return nullptr;
    return Info.Pixels + static_cast<std::size_t>(y) * Info.RowBytes + static_cast<std::size_t>(x) * 3;
}

void CRasterImage::FillPixels(std::uint8_t value) {
    if (!Dib) return;
    if (Header.biBitCount == 1 && value) value = 255;
    if (Header.biBitCount == 4) value = static_cast<std::uint8_t>((value & 15) * 17);
    std::memset(Info.Pixels, value, Header.biSizeImage);
}

RGBQUAD CRasterImage::ColorRefToQuad(COLORREF color) {
    return {static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
            static_cast<std::uint8_t>(color), 0};
}
