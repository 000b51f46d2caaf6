// Construction, lifecycle and accessors of the image object.
#include "imaging/raster_image.h"
#include "imaging/raster_numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// Pictures whose width x height x bits / 256 exceed this are refused.
constexpr std::uint64_t kRasterMaxMemory = 256000000;

std::uint32_t RoundedBitCount(std::uint32_t bpp) {
    if (bpp <= 1) return 1;
    if (bpp <= 4) return 4;
    if (bpp <= 8) return 8;
    return 24;
}

// A resolution from a file can be any 32-bit value; its pixels per metre are
// clamped to the header's field instead of overflowing it.
std::int32_t PelsPerMeter(std::int32_t dpi) {
    return RasterTruncate(std::floor(dpi * 39.37007874015748 + 0.5));
}

}  // namespace

bool RasterWithinMemoryLimit(std::uint64_t width, std::uint64_t height, std::uint32_t bpp) {
    if (width > 0xFFFFFFFFu || height > 0xFFFFFFFFu) return false;
    bpp = RoundedBitCount(bpp);
    // width x height x bpp can reach 2^69: divide before multiplying the last factor.
    const std::uint64_t pixels = width * height;
    return pixels / 256 * bpp + (pixels % 256) * bpp / 256 <= kRasterMaxMemory;
}

const char* RasterFormatName(std::uint32_t formatId) {
    static const char* const kNames[kRasterFormatCount] = {"unknown", "BMP", "GIF",  "JPEG", "PNG", "MNG",
                                                           "ICO",     "TIFF", "TGA", "PCX",  "WBMP", "WMF",
                                                           "JP2",     "JPC", "PGX",  "PNM",  "RAS"};
    return formatId < kRasterFormatCount ? kNames[formatId] : kNames[0];
}

CRasterImage::CRasterImage(std::uint32_t formatId) { InitFields(formatId); }

CRasterImage::CRasterImage(std::uint32_t width, std::uint32_t height, std::uint32_t bpp, std::uint32_t formatId) {
    InitFields(formatId);
    Create(width, height, bpp, formatId);
}

CRasterImage::CRasterImage(const CRasterImage& source, bool copyPixels, bool copySelection, bool copyAlpha) {
    InitFields(source.Info.FormatId);
    CopyFrom(source, copyPixels, copySelection, copyAlpha);
}

CRasterImage::CRasterImage(const char* path, std::uint32_t formatId) {
    InitFields(formatId);
    LoadFile(path, formatId);
}

CRasterImage::CRasterImage(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t formatId) {
    InitFields(formatId);
    Decode(buffer, size, formatId);
}

CRasterImage::~CRasterImage() { FreeImageData(); }

void CRasterImage::ClearMembers() {
    Dib = nullptr;
    Selection = nullptr;
    Alpha = nullptr;
    Layers = nullptr;
    std::memset(&Header, 0, sizeof Header);
    std::memset(&Info, 0, sizeof Info);
}

void CRasterImage::InitFields(std::uint32_t formatId) {
    ClearMembers();
    Info.FormatId = formatId;
    Info.JpegQuality = 90;
    Info.AlphaMax = 255;
    Info.TransparentIndex = -1;
    SetDpiX(96);
    SetDpiY(96);
}

void CRasterImage::SetLastError(const char* text) {
    std::strncpy(Info.LastError, text ? text : "", sizeof Info.LastError - 1);
    Info.LastError[sizeof Info.LastError - 1] = '\0';
}

bool CRasterImage::Fail(const char* text) {
    SetLastError(text);
    return false;
}

std::uint8_t* CRasterImage::Create(std::uint32_t width, std::uint32_t height, std::uint32_t bpp,
                                   std::uint32_t formatId) {
    if (!FreeImageData()) return nullptr;
    if (width == 0 || height == 0) {
        SetLastError("CRasterImage::Create : width and height must be greater than zero");
        return nullptr;
    }
    bpp = RoundedBitCount(bpp);
    if (!RasterWithinMemoryLimit(width, height, bpp)) {
        SetLastError("RASTER_MAX_MEMORY exceeded");
        return nullptr;
    }
    const std::uint32_t colours = bpp == 24 ? 0 : 1u << bpp;
    const std::uint64_t rowBytes = (std::uint64_t{width} * bpp + 31) / 32 * 4;
    const std::uint64_t imageBytes = rowBytes * height;
    // The header keeps sizes in 32-bit fields and signed 32-bit dimensions.
    const std::uint64_t limit = std::numeric_limits<std::uint32_t>::max() - 40 - 4 * 256;
    if (imageBytes > limit || width > std::numeric_limits<std::int32_t>::max() ||
        height > std::numeric_limits<std::int32_t>::max()) {
        SetLastError("CRasterImage::Create can't allocate memory");
        return nullptr;
    }
    Header.biClrUsed = colours;
    Info.FormatId = formatId;
    Info.RowBytes = static_cast<std::uint32_t>(rowBytes);
    Header.biSize = 40;
    Header.biWidth = static_cast<std::int32_t>(width);
    Header.biHeight = static_cast<std::int32_t>(height);
    Header.biPlanes = 1;
    Header.biBitCount = static_cast<std::uint16_t>(bpp);
    Header.biCompression = 0;
    Header.biSizeImage = static_cast<std::uint32_t>(imageBytes);
    Header.biClrImportant = 0;
    // Zeroed rows: a short or sparse file never shows what the heap held.
    Dib = static_cast<std::uint8_t*>(std::calloc(GetDIBSize(), 1));
    if (!Dib) {
        SetLastError("CRasterImage::Create can't allocate memory");
        return nullptr;
    }
    Info.NearestCacheValid = false;
    WriteHeaderToDib();
    Info.Pixels = Dib + 40 + 4 * Header.biClrUsed;
    return Dib;
}

void CRasterImage::WriteHeaderToDib() {
    if (Dib) std::memcpy(Dib, &Header, sizeof Header);
}

bool CRasterImage::FreeImageData() {
    if (Info.Ghost) return false;
    if (Layers) {
        for (std::int32_t i = 0; i < Info.LayerCount; ++i) delete Layers[i];
        std::free(Layers);
        Layers = nullptr;
    }
    Info.LayerCount = 0;
    std::free(Selection);
    std::free(Alpha);
    std::free(Dib);
    Selection = Alpha = Dib = nullptr;
    Info.Pixels = nullptr;
    return true;
}

void CRasterImage::CopyFrom(const CRasterImage& source, bool copyPixels, bool copySelection, bool copyAlpha) {
    if (!FreeImageData()) return;
    CopyInfoFrom(source);
    // Create keeps the resolution fields: they follow the copied DPI.
    Header.biXPelsPerMeter = source.Header.biXPelsPerMeter;
    Header.biYPelsPerMeter = source.Header.biYPelsPerMeter;
    if (!Create(source.GetWidth(), source.GetHeight(), source.GetBpp(), source.Info.FormatId)) return;
    if (copyPixels && source.Dib) {
        std::memcpy(Dib, source.Dib, GetDIBSize());
    } else if (source.Dib) {
        const std::uint32_t entries = std::min<std::uint32_t>({source.Header.biClrUsed, Header.biClrUsed, 256u});
        if (entries) std::memcpy(PaletteData(), source.PaletteData(), 4 * entries);
    }
    if (copySelection && source.Selection) CopySelection(source);
    if (copyAlpha && source.Alpha) CopyAlphaPlane(source);
}

// The header, the record and the four buffer pointers, as they stand.
void CRasterImage::ShareMembersOf(const CRasterImage& source, CRasterImage* ghost) {
    Header = source.Header;
    Info = source.Info;
    Dib = source.Dib;
    Selection = source.Selection;
    Alpha = source.Alpha;
    Layers = source.Layers;
    Info.Ghost = ghost;
}

void CRasterImage::MakeGhostOf(CRasterImage& source) { ShareMembersOf(source, &source); }

bool CRasterImage::TakeOver(CRasterImage& source) {
    if (!FreeImageData()) return false;
    ShareMembersOf(source, nullptr);
    source.ClearMembers();
    return true;
}

void CRasterImage::CopyInfoFrom(const CRasterImage& source) {
    if (Dib) return;
    // The record's buffer pointers stay this image's own: an empty image
    // points into no other picture and never becomes a ghost this way.
    CRasterImage* const ghost = Info.Ghost;
    Info = source.Info;
    Info.Pixels = nullptr;
    Info.Ghost = ghost;
}

int CRasterImage::GetColorKind() const {
    if (Alpha) return 4;
    return Header.biBitCount <= 8 ? 1 : 2;
}

std::uint8_t* CRasterImage::GetPixels(std::uint32_t row) const {
    if (!Dib) return nullptr;
    if (row == 0) return Info.Pixels;
    if (row >= GetHeight()) return nullptr;
    return Info.Pixels + std::size_t{row} * Info.RowBytes;
}

std::uint32_t CRasterImage::GetDIBSize() const { return 4 * Header.biClrUsed + Header.biSizeImage + Header.biSize; }

void CRasterImage::SetDpiX(std::int32_t dpi) {
    if (dpi <= 0) dpi = 96;
    Info.DpiX = dpi;
    Header.biXPelsPerMeter = PelsPerMeter(dpi);
}

void CRasterImage::SetDpiY(std::int32_t dpi) {
    if (dpi <= 0) dpi = 96;
    Info.DpiY = dpi;
    Header.biYPelsPerMeter = PelsPerMeter(dpi);
}

std::uint32_t CRasterImage::GetFormatOption(std::uint32_t id) const {
    if (id >= kRasterFormatCount) return 0;
    if (id == 0) id = Info.FormatId;
    return id < kRasterFormatCount ? Info.FormatOptions[id] : 0;
}

bool CRasterImage::SetFormatOption(std::uint32_t value, std::uint32_t id) {
    if (id >= kRasterFormatCount) return false;
    if (id == 0) id = Info.FormatId;
    if (id >= kRasterFormatCount) return false;
    Info.FormatOptions[id] = value;
    return true;
}

void CRasterImage::SetFrameOffset(std::int32_t x, std::int32_t y) {
    Info.OffsetX = x;
    Info.OffsetY = y;
}

void CRasterImage::SetTransparentColor(RGBQUAD quad) {
    Info.TransparentColor = quad;
    Info.TransparentColor.rgbReserved = 0;
}

RGBQUAD CRasterImage::GetTransparentColor() const {
    if (Header.biBitCount < 24 && Info.TransparentIndex != -1)
        return GetPaletteEntry(static_cast<std::uint32_t>(Info.TransparentIndex));
    return Info.TransparentColor;
}

bool CRasterImage::CheckEncodeTarget(CRasterStream* stream) {
    if (!stream) {
        SetLastError("null file handler");
        return true;
    }
    if (!Dib) {
        SetLastError("null image!!!");
        return true;
    }
    return false;
}
