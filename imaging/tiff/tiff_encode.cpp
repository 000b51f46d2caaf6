// TIFF encoding of one page, alone or as one of several pages written
// through the same handle.
#include "imaging/tiff/tiff_image.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <tiffio.h>

namespace {

int Luminance(const RGBQUAD& quad) { return (306 * quad.rgbRed + 601 * quad.rgbGreen + 117 * quad.rgbBlue) / 1024; }

bool IsGreyIdentity(const CRasterImage& image) {
    for (std::uint32_t i = 0; i < image.GetPaletteCount(); ++i) {
        const RGBQUAD quad = image.GetPaletteEntry(i);
        if (quad.rgbRed != i || quad.rgbGreen != i || quad.rgbBlue != i) return false;
    }
    return true;
}

std::uint16_t DefaultCompression(std::uint32_t bitCount) {
    switch (bitCount) {
    case 1: return COMPRESSION_CCITTFAX4;
    case 4:
    case 8: return COMPRESSION_LZW;
    case 24:
    case 32: return COMPRESSION_JPEG;
    default: return COMPRESSION_NONE;
    }
}

}  // namespace

CRasterImageTIF::~CRasterImageTIF() {
    if (WriteHandle) TIFFClose(WriteHandle);
}

bool CRasterImageTIF::Encode(CRasterStream* stream) { return Encode(stream, false); }

bool CRasterImageTIF::Encode(CRasterStream* stream, bool append) {
    if (CheckEncodeTarget(stream)) return false;
    if (!WriteHandle) {
        WriteHandle = TiffOpenStream(stream, "a", &WriteReport);
        if (!WriteHandle) {
            SetLastError(WriteReport.Explain("initialization fail").c_str());
            return false;
        }
    }
    const auto fail = [this](const char* message) {
        TIFFClose(WriteHandle);
        WriteHandle = nullptr;
        MultiPage = false;
        PagesWritten = 0;
        SetLastError(WriteReport.Explain(message).c_str());
        return false;
    };
    MultiPage = append || PagesWritten > 0;
    ++PagesWritten;
    if (!EncodeBody(WriteHandle, MultiPage, PagesWritten, PagesWritten)) return fail("Error saving TIFF file");
    if (append) {
        if (!TIFFWriteDirectory(WriteHandle)) return fail("Error saving TIFF directory");
        return true;
    }
    // Closing writes the last directory; a failed flush must not pass as a saved file.
    if (!TIFFFlush(WriteHandle)) return fail("Error saving TIFF file");
    TIFFClose(WriteHandle);
    WriteHandle = nullptr;
    MultiPage = false;
    PagesWritten = 0;
    return true;
}

bool CRasterImageTIF::EncodeBody(TIFF* handle, bool multiPage, int page, int pageCount) {
    const std::uint32_t width = GetWidth(), height = GetHeight();
    std::uint32_t bitCount = GetBpp();
    std::uint16_t samples = bitCount == 24 || bitCount == 32 ? 3 : 1;
    if (bitCount == 24 && HasAlphaPlane()) {
        bitCount = 32;
        samples = 4;
    }
    const std::uint16_t bitsPerSample = static_cast<std::uint16_t>(bitCount / samples);

    std::uint16_t photometric = PHOTOMETRIC_RGB;
    if (bitCount == 1) {
        if (Luminance(GetPaletteEntry(0)) < Luminance(GetPaletteEntry(1))) {
            // Min-is-white: the lighter entry becomes 0, with the same look.
            const RGBQUAD dark = GetPaletteEntry(0);
            SetPaletteEntry(0, GetPaletteEntry(1));
            SetPaletteEntry(1, dark);
            for (std::uint32_t i = 0; i < Header.biSizeImage; ++i) Info.Pixels[i] = static_cast<std::uint8_t>(~Info.Pixels[i]);
        }
        photometric = PHOTOMETRIC_MINISWHITE;
    } else if (bitCount == 4 || bitCount == 8) {
        photometric = IsGreyIdentity(*this) ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
    }
    const bool indexAlpha = bitCount == 8 && HasAlphaPlane();
    if (indexAlpha) samples = 2;

    TIFFSetField(handle, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(handle, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(handle, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(handle, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
    TIFFSetField(handle, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(handle, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(handle, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    // Without this the fourth sample is not read back as alpha.
    if (samples == 4 || indexAlpha) {
        const std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(handle, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    std::uint32_t rowsPerStrip = TIFFDefaultStripSize(handle, 0);
    TIFFSetField(handle, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(handle, TIFFTAG_XRESOLUTION, static_cast<float>(GetDpiX()));
    TIFFSetField(handle, TIFFTAG_YRESOLUTION, static_cast<float>(GetDpiY()));
    if (multiPage) {
        char name[32];
        std::snprintf(name, sizeof name, "Page %d", page);
        TIFFSetField(handle, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(handle, TIFFTAG_PAGENUMBER, static_cast<std::uint16_t>(page), static_cast<std::uint16_t>(pageCount));
        TIFFSetField(handle, TIFFTAG_PAGENAME, name);
    } else {
        TIFFSetField(handle, TIFFTAG_SUBFILETYPE, 0);
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        std::vector<std::uint16_t> map(3 * 256, 0);
        for (std::uint32_t i = 0; i < GetPaletteCount() && i < 256; ++i) {
            const RGBQUAD quad = GetPaletteEntry(i);
            map[i] = static_cast<std::uint16_t>(quad.rgbRed * 257);
            map[256 + i] = static_cast<std::uint16_t>(quad.rgbGreen * 257);
            map[512 + i] = static_cast<std::uint16_t>(quad.rgbBlue * 257);
        }
        TIFFSetField(handle, TIFFTAG_COLORMAP, map.data(), map.data() + 256, map.data() + 512);
    }

    const std::uint32_t stored = Info.FormatOptions[kRasterTiff];
    const std::uint16_t compression = stored ? static_cast<std::uint16_t>(stored) : DefaultCompression(bitCount);
    if (!TIFFSetField(handle, TIFFTAG_COMPRESSION, compression)) return false;
    if (compression == COMPRESSION_LZW && bitCount >= 8) TIFFSetField(handle, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (compression == COMPRESSION_JPEG) {
        TIFFSetField(handle, TIFFTAG_JPEGQUALITY, int(GetJpegQuality()));
        rowsPerStrip = (rowsPerStrip + 7) / 8 * 8;
    }
    TIFFSetField(handle, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);

    // libtiff may change a scanline while it encodes it (the predictor does),
    // so each row goes through a copy, never the image's own pixels.
    const std::size_t rowBytes = GetRowBytes();
    std::vector<std::uint8_t> line(std::max<std::size_t>(rowBytes, std::size_t{4} * width));
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t row = height - 1 - y;
        const std::uint8_t* pixels = GetPixels(row);
        if (indexAlpha) {
            for (std::uint32_t x = 0; x < width; ++x) {
                line[2 * x] = pixels[x];
                line[2 * x + 1] = AlphaAtUnchecked(x, row);
            }
        } else if (bitCount == 32) {
            for (std::uint32_t x = 0; x < width; ++x) {
                line[4 * x] = pixels[3 * x + 2];
                line[4 * x + 1] = pixels[3 * x + 1];
                line[4 * x + 2] = pixels[3 * x];
                line[4 * x + 3] = AlphaAtUnchecked(x, row);
            }
        } else if (bitCount == 24) {
            for (std::uint32_t x = 0; x < width; ++x) {
                line[3 * x] = pixels[3 * x + 2];
                line[3 * x + 1] = pixels[3 * x + 1];
                line[3 * x + 2] = pixels[3 * x];
            }
        } else {
            std::copy(pixels, pixels + rowBytes, line.begin());
        }
        if (TIFFWriteScanline(handle, line.data(), y, 0) < 0) return false;
    }
    return true;
}
