// The raster image object: one picture held as a packed DIB (40-byte header,
// colour table, bottom-up rows), an information record with the picture's
// metadata and the options that steer decoding and encoding, and optional
// alpha plane, selection mask and layers. Each file format is a class derived
// from CRasterImage, chosen by its numeric format identifier in Decode and
// Encode (raster_formats.h).
#pragma once

#include "imaging/raster_stream.h"
#include "imaging/raster_types.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Format identifiers; 17 and above name no format.
enum RasterFormatId : std::uint32_t {
    kRasterUnknown = 0,
    kRasterBmp = 1,
    kRasterGif = 2,
    kRasterJpeg = 3,
    kRasterPng = 4,
    kRasterMng = 5,
    kRasterIco = 6,
    kRasterTiff = 7,
    kRasterTga = 8,
    kRasterPcx = 9,
    kRasterWbmp = 10,
    kRasterWmf = 11,
    kRasterJp2 = 12,
    kRasterJpc = 13,
    kRasterPgx = 14,
    kRasterPnm = 15,
    kRasterRas = 16,
    kRasterFormatCount = 17,
};

// The short name of a format identifier ("BMP", "JPEG", ...), "unknown" for 0
// and above 16.
const char* RasterFormatName(std::uint32_t formatId);

// Whether a picture of this size and bit count (rounded as Create rounds it)
// stays within the memory limit every image obeys; decoders ask before they
// allocate anything of a size a file names.
bool RasterWithinMemoryLimit(std::uint64_t width, std::uint64_t height, std::uint32_t bpp);

class CRasterImage;

struct SelectionRect {
    std::int32_t left, top, right, bottom;
};

struct ImageInfo {
    std::uint32_t RowBytes;
    std::uint8_t* Pixels;
    CRasterImage* Ghost;
    std::uint32_t FormatId;
    char LastError[256];
    std::int32_t Progress;
    // Set from outside a running decode or long operation to stop it; -1
    // before a decode asks the decoders that can for the picture's size only.
    std::int32_t Escape;
    std::int32_t TransparentIndex;
    RGBQUAD TransparentColor;
    std::uint8_t JpegQuality;
    std::uint8_t JpegScale;
    std::int32_t FrameIndex;
    std::int32_t FrameCount;
    std::uint32_t FrameDelay;
    std::int32_t DpiX, DpiY;
    SelectionRect SelectionBox;
    std::uint8_t AlphaMax;
    bool AlphaPaletteEnabled;
    std::int32_t OffsetX, OffsetY;
    std::uint32_t FormatOptions[kRasterFormatCount];
    RGBQUAD NearestCacheColor;
    std::uint8_t NearestCacheIndex;
    bool NearestCacheValid;
    std::int32_t LayerCount;
};

class CRasterImage {
public:
    explicit CRasterImage(std::uint32_t formatId = kRasterUnknown);
    CRasterImage(std::uint32_t width, std::uint32_t height, std::uint32_t bpp, std::uint32_t formatId);
    CRasterImage(const CRasterImage& source, bool copyPixels, bool copySelection, bool copyAlpha);
    CRasterImage(const char* path, std::uint32_t formatId);
    CRasterImage(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t formatId);
    virtual ~CRasterImage();
    CRasterImage(const CRasterImage&) = delete;
    CRasterImage& operator=(const CRasterImage&) = delete;

    // Lifecycle.
    void InitFields(std::uint32_t formatId);
    std::uint8_t* Create(std::uint32_t width, std::uint32_t height, std::uint32_t bpp, std::uint32_t formatId);
    bool FreeImageData();
    void CopyFrom(const CRasterImage& source, bool copyPixels, bool copySelection, bool copyAlpha);
    void MakeGhostOf(CRasterImage& source);
    bool TakeOver(CRasterImage& source);
    void CopyInfoFrom(const CRasterImage& source);

    // Decoding and encoding, by format identifier.
    bool Decode(CRasterStream* stream, std::uint32_t formatId);
    bool Encode(CRasterStream* stream, std::uint32_t formatId);
    bool Decode(std::FILE* file, std::uint32_t formatId);
    bool Encode(std::FILE* file, std::uint32_t formatId);
    bool Decode(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t formatId);
    bool LoadFile(const char* path, std::uint32_t formatId);
    bool SaveFile(const char* path, std::uint32_t formatId);
    // The pre-check of every encoder: true refuses.
    bool CheckEncodeTarget(CRasterStream* stream);

    // The accessors the engine library also exports under these names.
    unsigned short GetBpp() const { return Header.biBitCount; }
    unsigned long GetWidth() const { return static_cast<unsigned long>(Header.biWidth); }
    unsigned long GetHeight() const { return static_cast<unsigned long>(Header.biHeight); }
    long GetNumFrames() const { return Info.FrameCount; }
    void SetFrame(long frame) { Info.FrameIndex = static_cast<std::int32_t>(frame); }
    void* GetDIB() const { return Dib; }
    void SetJpegQuality(unsigned char quality) { Info.JpegQuality = quality; }
    bool IsValid() const { return Dib != nullptr; }

    std::uint32_t GetFormatId() const { return Info.FormatId; }
    std::uint32_t GetRowBytes() const { return Info.RowBytes; }
    std::uint32_t GetPaletteCount() const { return Header.biClrUsed; }
    bool IsIndexed() const { return Header.biClrUsed != 0; }
    int GetColorKind() const;
    std::uint8_t* GetPixels(std::uint32_t row = 0) const;
    std::uint32_t GetDIBSize() const;
    std::uint8_t GetJpegQuality() const { return Info.JpegQuality; }
    std::uint8_t GetJpegScale() const { return Info.JpegScale; }
    std::int32_t GetDpiX() const { return Info.DpiX; }
    std::int32_t GetDpiY() const { return Info.DpiY; }
    void SetDpiX(std::int32_t dpi);
    void SetDpiY(std::int32_t dpi);
    std::uint32_t GetFormatOption(std::uint32_t id) const;
    bool SetFormatOption(std::uint32_t value, std::uint32_t id);
    void SetFrameOffset(std::int32_t x, std::int32_t y);
    const char* GetLastErrorText() const { return Info.LastError; }
    std::int32_t GetTransparentIndex() const { return Info.TransparentIndex; }
    void SetTransparentIndex(std::int32_t index) { Info.TransparentIndex = index; }
    bool HasTransparency() const { return Info.TransparentIndex >= 0; }
    void SetTransparentColor(RGBQUAD quad);
    RGBQUAD GetTransparentColor() const;

    // Pixels.
    bool IsInside(std::int64_t x, std::int64_t y) const;
    std::uint8_t GetIndexAt(std::int64_t x, std::int64_t y) const;
    std::uint8_t IndexAtUnchecked(std::int64_t x, std::int64_t y) const;
    void SetIndexAt(std::int64_t x, std::int64_t y, std::uint8_t index);
    RGBQUAD GetColorAt(std::int64_t x, std::int64_t y, bool withAlpha) const;
    void SetColorAt(std::int64_t x, std::int64_t y, RGBQUAD quad, bool setAlpha);
    void SetColorRefAt(std::int64_t x, std::int64_t y, COLORREF color);
    std::uint8_t* RgbAddressAt(std::int64_t x, std::int64_t y) const;
    void FillPixels(std::uint8_t value);

    // Colour table.
    RGBQUAD* PaletteData() const;
    std::uint32_t PaletteBytes() const { return 4 * Header.biClrUsed; }
    RGBQUAD GetPaletteEntry(std::uint32_t index) const;
    bool GetPaletteRgb(std::uint32_t index, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) const;
    void SetPaletteEntry(std::uint32_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                         std::uint8_t alpha = 0);
    void SetPaletteEntry(std::uint32_t index, RGBQUAD quad);
    void SetPaletteArrays(std::uint32_t count, const std::uint8_t* reds, const std::uint8_t* greens,
                          const std::uint8_t* blues);
    void SetPaletteTriples(const std::uint8_t* rgb, std::uint32_t count);
    void SetPaletteQuads(const RGBQUAD* quads, std::uint32_t count);
    void SetGreyRamp();
    bool HasIdentityGreyPalette() const;
    std::uint8_t FindNearestIndex(RGBQUAD quad);
    void SwapPaletteIndices(std::uint8_t a, std::uint8_t b);
    void SetImportantColors(std::uint32_t count);
    void SetStandardPalette();
    bool PaletteHasAlpha() const;
    void SwapRedBlue(std::uint8_t* bytes, std::uint32_t length) const;
    static RGBQUAD ColorRefToQuad(COLORREF color);

    // Alpha plane and selection.
    bool HasAlphaPlane() const { return Alpha != nullptr; }
    void CreateAlphaPlane();
    void DeleteAlphaPlane();
    bool CopyAlphaPlane(const CRasterImage& source);
    void SetAlphaAt(std::int64_t x, std::int64_t y, std::uint8_t value);
    std::uint8_t GetAlphaAt(std::int64_t x, std::int64_t y) const;
    std::uint8_t AlphaAtUnchecked(std::int64_t x, std::int64_t y) const;
    bool FlipAlphaVertical();
    bool MirrorAlphaHorizontal();
    void ClearSelection();
    bool IsSelected(std::int64_t x, std::int64_t y) const;
    bool CopySelection(const CRasterImage& source);

    // Whole-picture transforms; each builds its result aside and takes it
    // over, so the selection mask and the layers go.
    bool FlipVertical();
    bool MirrorHorizontal();
    bool RotateLeft90(CRasterImage* target = nullptr);
    bool RotateRight90(CRasterImage* target = nullptr);
    bool Rotate180(CRasterImage* target = nullptr);
    bool Invert();
    bool ReduceDepth(std::uint32_t bits, bool diffuse, const RGBQUAD* palette, std::uint32_t importantColors);

#ifdef _WIN32
    // GDI conversions.
    HBITMAP CreateHBitmap(HDC dc) const;
    bool CreateFromBitmapHandle(HBITMAP bitmap, HPALETTE palette);
    bool DrawStretched(HDC dc, int x, int y, int width, int height, DWORD rop) const;
#endif

    // Codec helpers.
    void ExpandBitfields(const std::uint8_t* source, std::uint32_t redMask, std::uint32_t greenMask,
                         std::uint32_t blueMask, std::uint32_t bits);
    static int CompareLuminance(const void* a, const void* b);

    // Copies `text` (at most 255 characters) into LastError.
    void SetLastError(const char* text);
    // SetLastError, answering false: how a codec gives up.
    bool Fail(const char* text);

    std::uint8_t* Dib;
    BITMAPINFOHEADER Header;
    ImageInfo Info;
    std::uint8_t* Selection;
    std::uint8_t* Alpha;
    CRasterImage** Layers;

private:
    void ClearMembers();
    void ShareMembersOf(const CRasterImage& source, CRasterImage* ghost);
    bool BuildRebuilt(CRasterImage& result, std::uint32_t width, std::uint32_t height, std::uint32_t bpp) const;
    bool TurnQuarter(CRasterImage* target, bool left);
    void WriteHeaderToDib();
    std::size_t PlaneSize() const;
};
