// Conversions between the image and GDI bitmaps (Windows build only).
#include "imaging/raster_image.h"

#include <cstring>

HBITMAP CRasterImage::CreateHBitmap(HDC dc) const {
    if (!Dib) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(Dib);
    if (dc) return CreateDIBitmap(dc, &Header, CBM_INIT, Info.Pixels, info, DIB_RGB_COLORS);
    HDC memory = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(memory, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section && bits) std::memcpy(bits, Info.Pixels, Header.biSizeImage);
    if (memory) DeleteDC(memory);
    return section;
}

bool CRasterImage::CreateFromBitmapHandle(HBITMAP bitmap, HPALETTE palette) {
    if (!FreeImageData()) return false;
    if (!bitmap) return false;
    BITMAP record{};
    if (!GetObjectA(bitmap, sizeof record, &record)) return false;
    if (record.bmWidth <= 0 || record.bmHeight <= 0) return false;
    if (!Create(static_cast<std::uint32_t>(record.bmWidth), static_cast<std::uint32_t>(record.bmHeight),
                record.bmBitsPixel, kRasterUnknown))
        return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HPALETTE previous = nullptr;
    if (palette) {
        previous = SelectPalette(screen, palette, FALSE);
        RealizePalette(screen);
    }
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(Header.biHeight), Info.Pixels,
                               reinterpret_cast<BITMAPINFO*>(Dib), DIB_RGB_COLORS);
    if (previous) SelectPalette(screen, previous, FALSE);
    ReleaseDC(nullptr, screen);
    // GetDIBits may have rewritten the block's header; the object's own copy is the one that holds.
    std::memcpy(Dib, &Header, sizeof Header);
    Info.NearestCacheValid = false;
    if (rows == 0) {
        SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

bool CRasterImage::DrawStretched(HDC dc, int x, int y, int width, int height, DWORD rop) const {
    if (!Dib || !dc) return false;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, width, height, 0, 0, Header.biWidth, Header.biHeight, Info.Pixels,
                  reinterpret_cast<const BITMAPINFO*>(Dib), DIB_RGB_COLORS, rop);
    return true;
}
