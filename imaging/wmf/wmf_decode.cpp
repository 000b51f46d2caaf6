// Metafiles played into a bitmap by GDI.
#include "imaging/wmf/wmf_image.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// GDI objects released on every way out.
struct GdiGuard {
    HENHMETAFILE metafile = nullptr;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HPALETTE palette = nullptr;
    ~GdiGuard() {
        if (dc && oldBitmap) SelectObject(dc, oldBitmap);
        if (palette) DeleteObject(palette);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        if (metafile) DeleteEnhMetaFile(metafile);
    }
};

}  // namespace

bool CRasterImageWMF::Encode(CRasterStream* stream) {
    if (stream) SetLastError("Save WMF not supported");
    return false;
}

bool CRasterImageWMF::DecodeAtSize(CRasterStream* stream, std::int32_t width, std::int32_t height) {
    if (!stream) return false;
    GdiGuard gdi;
    const long start = stream->Tell();
    std::int32_t fileWidth = 0, fileHeight = 0;
    gdi.metafile = ReadPlaceableMetafile(stream, fileWidth, fileHeight);
    if (!gdi.metafile) {
        stream->Seek(start, SEEK_SET);
        gdi.metafile = ReadEnhancedMetafile(stream, fileWidth, fileHeight);
        if (!gdi.metafile) return Fail("corrupted WMF");
    }
    if (Info.Escape) return Fail("Cancelled");
    // A box drawn right to left or bottom up still has a size.
    fileWidth = std::abs(fileWidth);
    fileHeight = std::abs(fileHeight);
    if (fileWidth == 0 || fileHeight == 0) return Fail("empty WMF");
    if (width > 0) fileWidth = width;
    if (height > 0) fileHeight = height;
    CapSize(fileWidth, fileHeight);
    if (fileWidth == 0 || fileHeight == 0) return Fail("empty WMF");

    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    gdi.bitmap = CreateCompatibleBitmap(screen, fileWidth, fileHeight);
    gdi.dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!gdi.bitmap || !gdi.dc) return false;
    gdi.oldBitmap = SelectObject(gdi.dc, gdi.bitmap);
    const int bits = GetDeviceCaps(gdi.dc, BITSPIXEL);
    RECT area{0, 0, fileWidth, fileHeight};
    const COLORREF oldBackground = SetBkColor(gdi.dc, GetSysColor(COLOR_WINDOW));
    ExtTextOutA(gdi.dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(gdi.dc, oldBackground);

    const UINT entries = GetEnhMetaFilePaletteEntries(gdi.metafile, 0, nullptr);
    if (entries > 0 && entries != GDI_ERROR) {
        std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(entries);
        GetEnhMetaFilePaletteEntries(gdi.metafile, entries, logical->palPalEntry);
        gdi.palette = CreatePalette(logical);
        if (gdi.palette) {
            SelectPalette(gdi.dc, gdi.palette, FALSE);
            RealizePalette(gdi.dc);
        }
    }
    PlayEnhMetaFile(gdi.dc, gdi.metafile, &area);
    SelectObject(gdi.dc, gdi.oldBitmap);
    gdi.oldBitmap = nullptr;
    if (Info.Escape) return Fail("Cancelled");

    if (!Create(static_cast<std::uint32_t>(fileWidth), static_cast<std::uint32_t>(fileHeight),
                static_cast<std::uint32_t>(bits), kRasterWmf))
        return false;
    return GetDIBits(gdi.dc, gdi.bitmap, 0, static_cast<UINT>(fileHeight), GetPixels(),
                     reinterpret_cast<BITMAPINFO*>(Dib), DIB_RGB_COLORS) != 0;
}
