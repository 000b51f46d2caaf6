// Reads the composite image of a PSD file (big-endian throughout) into a
// 24-bit picture: greyscale, duotone, indexed, RGB, CMYK, multichannel and
// Lab colour modes, 8 or 16 bits a sample, raw or run-length coded. Layers
// and masks are passed over. It is not one of the image object's formats:
// the raster loader uses it for the .psd extension.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

// Load results.
enum PsdResult : int {
    kPsdOk = 0,
    kPsdCannotOpen = -1,
    kPsdBadHeader = -2,
    kPsdBadColorModeData = -3,
    kPsdBadResources = -4,
    kPsdBadImageData = -6,
    kPsdBitmapMode = -7,
    kPsdUnsupportedDepth = -8,
    kPsdNoBitmap = -9,
    kPsdZip = -10,
    kPsdZipPrediction = -11,
    kPsdUnknownCompression = -12,
};

class CPsdReader {
public:
    CPsdReader() { Reset(); }
    CPsdReader(const CPsdReader&) = delete;
    CPsdReader& operator=(const CPsdReader&) = delete;

    void Reset();
    // 0 on success (also for a colour mode that is not drawn, which yields no
    // picture), else a PsdResult: kPsdBadImageData when the image data is
    // missing, raw data is cut short or the file is too small for the picture.
    int Load(const char* path);
    // The same over a stream already open for reading.
    int Load(std::FILE* file);

    // The composite, bottom-up, 24 bits, filled white before the pixels are
    // set; invalid when the file gave none.
    const CRasterImage& Picture() const { return Bitmap; }
    // Hands the picture to `target`; this reader keeps none.
    bool DetachPicture(CRasterImage& target);
#ifdef _WIN32
    // The picture as a 24-bit DIB section, which the caller deletes.
    HBITMAP DetachBitmap();
#endif

    static std::uint32_t ReadBigEndian(const std::uint8_t* bytes, int count);
    // Colour conversions of the Lab and CMYK modes, to 0 ... 255 a channel.
    static void CmykToRgb(double cyan, double magenta, double yellow, double black, std::uint8_t rgb[3]);
    static void LabToRgb(double l, double a, double b, std::uint8_t rgb[3]);
    static void XyzToRgb(double x, double y, double z, std::uint8_t rgb[3]);

    // The header.
    std::int16_t Channels;
    std::int32_t Height, Width;
    std::int16_t Depth, ColorMode;
    // The colour mode data (768 bytes of red, green and blue for indexed files).
    std::int32_t ColorModeLength;
    std::vector<std::uint8_t> ColorModeData;
    // Resource 1046 (indexed colour count) and 1047 (transparent index).
    std::int16_t IndexedColors, TransparentIndex;
    // Resource 1005: resolutions in pixels per inch.
    std::int32_t ResolutionX, ResolutionY;
    bool ResolutionRead;

private:
    bool ReadHeader();
    bool ReadColorModeData();
    bool ReadImageResources();
    void SkipLayerAndMaskInfo();
    int ReadImageData();
    int MakeBitmap();
    void ConvertPixels(const std::vector<std::uint8_t>& data, std::uint32_t sampleBytes);
    bool Read(void* buffer, std::size_t size);
    long Left();

    std::FILE* File = nullptr;
    CRasterImage Bitmap;
};
