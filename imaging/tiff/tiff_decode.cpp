// TIFF decoding of one page. RGB, CMYK, YCbCr and LogLuv pages go through
// libtiff's RGBA reader into 24 bits; grey and palette pages keep their
// indexes, read strip by strip or tile by tile; CIELab pages are converted.
#include "imaging/raster_numeric.h"
#include "imaging/tiff/tiff_image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <vector>

#include <tiffio.h>

namespace {

struct TiffFailure {
    const char* message;
};

struct CloseTiff {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, CloseTiff>;

struct FreeBlock {
    void operator()(void* block) const { std::free(block); }
};

// RGB samples into the image's blue-green-red order.
void StoreBgr(const std::uint8_t* rgb, std::uint8_t* bgr, std::uint32_t pixels) {
    for (std::uint32_t x = 0; x < pixels; ++x) {
        bgr[3 * x] = rgb[3 * x + 2];
        bgr[3 * x + 1] = rgb[3 * x + 1];
        bgr[3 * x + 2] = rgb[3 * x];
    }
}

// Strips or tiles of 8-bit RGB pixels, top row first, need none of the RGBA
// reader's conversions: each is decoded into one reused block and stored
// straight into the image's rows, without the page-sized buffer of 32-bit
// words. False leaves the page to the RGBA reader.
bool DecodeRgbBlocks(CRasterImage& image, TIFF* tif, std::uint32_t width, std::uint32_t height,
                     std::uint16_t samples) {
    std::uint16_t bits = 0, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    if (samples != 3 || bits != 8 || photometric != PHOTOMETRIC_RGB || planar != PLANARCONFIG_CONTIG ||
        orientation != ORIENTATION_TOPLEFT || TIFFScanlineSize(tif) != tmsize_t{width} * 3) {
        return false;
    }
    // A block is a strip of the full width, or a tile; its rows lie blockRowBytes apart.
    const bool tiled = TIFFIsTiled(tif);
    std::uint32_t blockWidth = width, blockRows = 0;
    if (tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &blockWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &blockRows);
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &blockRows);
    }
    const tmsize_t blockRowBytes = tiled ? TIFFTileRowSize(tif) : TIFFScanlineSize(tif);
    const tmsize_t blockSize = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
    // Tiles come in multiples of 16 pixels; one larger than that beyond the
    // picture is left to the RGBA reader rather than allocated here.
    if (blockWidth == 0 || blockRows == 0 || (tiled && (blockWidth > width + 15ull || blockRows > height + 15ull)) ||
        blockRowBytes != tmsize_t{blockWidth} * 3 || blockSize <= 0 ||
        blockSize / blockRowBytes < tmsize_t{std::min(blockRows, height)}) {
        return false;
    }
    std::unique_ptr<std::uint8_t, FreeBlock> block(static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(blockSize))));
    if (!block) throw TiffFailure{"No space for raster buffer"};
    for (std::uint32_t top = 0, rows = 0; top < height; top += rows) {
        if (image.Info.Escape) throw TiffFailure{"Cancelled"};
        rows = std::min(blockRows, height - top);
        for (std::uint32_t left = 0, pixels = 0; left < width; left += pixels) {
            // A strip may end after its last row; a tile is always whole.
            const tmsize_t wanted = tiled ? blockSize : blockRowBytes * rows;
            const tmsize_t read = tiled ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, left, top, 0, 0), block.get(), wanted)
                                        : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), block.get(), wanted);
            if (read < wanted) throw TiffFailure{"Corrupted TIFF file!"};
            // The last column of tiles may reach past the picture's right edge.
            pixels = std::min(blockWidth, width - left);
            for (std::uint32_t r = 0; r < rows; ++r) {
                StoreBgr(block.get() + std::size_t{r} * static_cast<std::size_t>(blockRowBytes),
                         image.GetPixels(height - 1 - (top + r)) + std::size_t{left} * 3, pixels);
            }
        }
    }
    return true;
}

// The whole page as bottom-up 32-bit RGBA words from libtiff's RGBA reader.
void DecodeRgb(CRasterImage& image, TIFF* tif, std::uint32_t width, std::uint32_t height, std::uint16_t samples) {
    if (DecodeRgbBlocks(image, tif, width, height, samples)) return;
    std::unique_ptr<std::uint32_t, FreeBlock> raster(
        static_cast<std::uint32_t*>(std::malloc(std::size_t{width} * height * sizeof(std::uint32_t))));
    if (!raster) throw TiffFailure{"No space for raster buffer"};
    if (!TIFFReadRGBAImage(tif, width, height, raster.get(), 1)) throw TiffFailure{"Corrupted TIFF file!"};
    for (std::uint32_t y = 0; y < height; ++y) {
        if (image.Info.Escape) throw TiffFailure{"Cancelled"};
        const std::uint32_t* words = raster.get() + std::size_t{y} * width;
        std::uint8_t* row = image.GetPixels(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(TIFFGetB(words[x]));
            row[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(words[x]));
            row[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(words[x]));
            if (samples == 4) image.SetAlphaAt(x, y, static_cast<std::uint8_t>(TIFFGetA(words[x])));
        }
    }
}

void SetPalette(CRasterImage& image, TIFF* tif, std::uint16_t photometric, std::uint16_t bitsPerSample) {
    RGBQUAD palette[256] = {};
    const std::uint32_t colours = image.GetPaletteCount();
    if (photometric <= PHOTOMETRIC_MINISBLACK && bitsPerSample == 1) {
        palette[photometric == PHOTOMETRIC_MINISBLACK ? 1 : 0] = RGBQUAD{255, 255, 255, 0};
    } else if (photometric <= PHOTOMETRIC_MINISBLACK) {
        // A ramp over the values the samples can hold (4 for 2-bit samples,
        // which the image keeps in 4 bits).
        const std::uint32_t levels = bitsPerSample < 8 ? 1u << bitsPerSample : colours;
        const std::uint32_t step = 255 / (levels - 1);
        for (std::uint32_t i = 0; i < levels && i < colours; ++i) {
            const auto grey = static_cast<std::uint8_t>(photometric == PHOTOMETRIC_MINISBLACK ? i * step : 255 - i * step);
            palette[i] = RGBQUAD{grey, grey, grey, 0};
        }
    } else if (photometric == PHOTOMETRIC_PALETTE) {
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) && red && green && blue) {
            // A 16-bit palette page has 65,536 colour-map entries; the table holds 256.
            const std::uint32_t entries = std::min<std::uint32_t>(bitsPerSample < 8 ? 1u << bitsPerSample : 256, 256);
            bool wide = false;
            for (std::uint32_t i = 0; i < entries; ++i) wide = wide || red[i] >= 256 || green[i] >= 256 || blue[i] >= 256;
            const auto scale = [wide](std::uint16_t value) {
                return static_cast<std::uint8_t>(wide ? value * 255u / 65535u : value);
            };
            for (std::uint32_t i = 0; i < entries; ++i) {
                palette[i] = RGBQUAD{scale(blue[i]), scale(green[i]), scale(red[i]), 0};
            }
        }
    }
    image.SetPaletteQuads(palette, colours);
}

// Reads the band of rows starting at row `top` into `band` (rows of rowBytes).
void ReadBand(TIFF* tif, std::uint8_t* band, std::uint32_t top, std::uint32_t rows, std::uint32_t width,
              std::size_t rowBytes, std::uint8_t* tile) {
    if (!tile) {
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), band, tmsize_t(rows * rowBytes)) < 0) {
            throw TiffFailure{"Corrupted TIFF file!"};
        }
        return;
    }
    std::uint32_t tileWidth = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    if (tileWidth == 0) throw TiffFailure{"Corrupted tiled TIFF file!"};
    const auto tileRowBytes = static_cast<std::size_t>(TIFFTileRowSize64(tif));
    std::size_t column = 0;
    for (std::uint32_t x = 0; x < width && column < rowBytes; x += tileWidth, column += tileRowBytes) {
        if (TIFFReadTile(tif, tile, x, top, 0, 0) < 0) throw TiffFailure{"Corrupted tiled TIFF file!"};
        // The last column of tiles may reach past the end of the scanline.
        const std::size_t bytes = std::min(tileRowBytes, rowBytes - column);
        for (std::uint32_t r = 0; r < rows; ++r) std::memcpy(band + r * rowBytes + column, tile + r * tileRowBytes, bytes);
    }
}

void StoreLab(CRasterImage& image, const std::uint8_t* source, std::uint32_t pixels, std::uint16_t samples,
              std::uint32_t row) {
    for (std::uint32_t x = 0; x < pixels; ++x) {
        const std::uint8_t* p = source + std::size_t{x} * samples;
        const double l = p[0], a = static_cast<std::int8_t>(p[1]), b = static_cast<std::int8_t>(p[2]);
        const double f = (l / 2.55 + 16) / 116;
        const double cx = std::pow(f + a * 0.002, 3) * 0.95047;
        const double cy = f * f * f;
        const double cz = std::pow(f - b * 0.005, 3) * 1.0883;
        const double rgb[3] = {3.240479 * cx - 1.53715 * cy - 0.498535 * cz,
                               -0.969256 * cx + 1.875992 * cy + 0.041556 * cz,
                               0.055648 * cx - 0.204043 * cy + 1.057311 * cz};
        std::uint8_t out[3];
        for (int c = 0; c < 3; ++c) {
            const double v = rgb[c] > 0.00304 ? 1.055 * std::pow(rgb[c], 0.41667) - 0.055 : 12.92 * rgb[c];
            out[c] = static_cast<std::uint8_t>(std::clamp(RasterTruncate(v * 255), 0, 255));
        }
        image.SetColorAt(x, row, RGBQUAD{out[2], out[1], out[0], samples == 4 ? p[3] : std::uint8_t{255}}, samples == 4);
    }
}

// Grey, palette and CIELab pages, band by band from the top.
void DecodeIndexed(CRasterImage& image, TIFF* tif, std::uint32_t width, std::uint32_t height, std::uint16_t samples,
                   std::uint16_t bitsPerSample, std::uint32_t rowsPerStrip) {
    const std::size_t rowBytes = (std::size_t{samples} * bitsPerSample * width + 7) / 8;
    std::vector<std::uint8_t> tile;
    if (TIFFIsTiled(tif)) {
        std::uint32_t tileLength = 0;
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
        rowsPerStrip = std::clamp<std::uint32_t>(tileLength, 1, height);
        tile.resize(static_cast<std::size_t>(TIFFTileSize64(tif)));
        if (tile.empty() || TIFFTileRowSize64(tif) * rowsPerStrip > tile.size()) throw TiffFailure{"Corrupted tiled TIFF file!"};
    }
    rowsPerStrip = std::max<std::uint32_t>(rowsPerStrip, 1);
    std::vector<std::uint8_t> band(rowsPerStrip * rowBytes);
    bool converted = false;
    for (std::uint32_t top = 0; top < height; top += rowsPerStrip) {
        if (image.Info.Escape) throw TiffFailure{"Cancelled"};
        const std::uint32_t rows = std::min(rowsPerStrip, height - top);
        ReadBand(tif, band.data(), top, rows, width, rowBytes, tile.empty() ? nullptr : tile.data());
        for (std::uint32_t y = 0; y < rows; ++y) {
            std::uint8_t* source = band.data() + (rows - y - 1) * rowBytes;
            const std::uint32_t target = height - top - rows + y;
            std::size_t available = rowBytes;
            if (bitsPerSample == 16) {
                // Every sample of the row keeps its high byte.
                available = rowBytes / 2;
                for (std::size_t i = 0; i < available; ++i) {
                    std::uint16_t sample;
                    std::memcpy(&sample, source + 2 * i, 2);
                    source[i] = static_cast<std::uint8_t>(sample >> 8);
                }
            }
            if (samples == 1) {
                std::uint8_t* row = image.GetPixels(target);
                if (bitsPerSample == 2) {
                    for (std::uint32_t x = 0; x < width; ++x) image.SetIndexAt(x, target, (source[x / 4] >> (6 - 2 * (x % 4))) & 3);
                } else {
                    std::memcpy(row, source, std::min<std::size_t>(available, image.GetRowBytes()));
                }
            } else if (samples == 2) {
                const std::uint32_t pairs = static_cast<std::uint32_t>(std::min<std::size_t>(width, available / 2));
                for (std::uint32_t x = 0; x < pairs; ++x) {
                    image.SetIndexAt(x, target, source[2 * x]);
                    image.SetAlphaAt(x, target, source[2 * x + 1]);
                }
            } else {
                if (!converted) {
                    if (!image.Create(width, height, 24, kRasterTiff)) throw TiffFailure{image.GetLastErrorText()};
                    if (samples == 4) image.CreateAlphaPlane();
                    converted = true;
                }
                StoreLab(image, source, static_cast<std::uint32_t>(std::min<std::size_t>(width, available / samples)),
                         samples, target);
            }
        }
    }
}

void DecodePage(CRasterImageTIF& image, TIFF* tif) {
    image.Info.FrameCount = static_cast<std::int32_t>(TIFFNumberOfDirectories(tif));
    if (!TIFFSetDirectory(tif, static_cast<std::uint16_t>(image.Info.FrameIndex))) {
        throw TiffFailure{"Error: page not present in TIFF file"};
    }
    std::uint32_t width = 0, height = 0, rowsPerStrip = 0xFFFFFFFF;
    std::uint16_t samples = 1, bitsPerSample = 1, photometric = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    if (image.Info.Escape == -1) {
        image.Header.biWidth = static_cast<std::int32_t>(width);
        image.Header.biHeight = static_cast<std::int32_t>(height);
        image.SetLastError("output dimensions returned");
        return;
    }

    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    float resolution = 0;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolution)) {
        image.SetDpiX(RasterTruncate(unit == RESUNIT_CENTIMETER ? resolution * 2.54 + 0.5 : resolution));
    }
    if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &resolution)) {
        image.SetDpiY(RasterTruncate(unit == RESUNIT_CENTIMETER ? resolution * 2.54 + 0.5 : resolution));
    }
    float position = 0;
    if (TIFFGetField(tif, TIFFTAG_XPOSITION, &position)) image.Info.OffsetX = RasterTruncate(position);
    if (TIFFGetField(tif, TIFFTAG_YPOSITION, &position)) image.Info.OffsetY = RasterTruncate(position);
    image.Info.TransparentIndex = -1;
    if (rowsPerStrip > height) {
        rowsPerStrip = height;
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    }

    const bool rgb = (bitsPerSample >= 8 && photometric == PHOTOMETRIC_RGB) || photometric == PHOTOMETRIC_SEPARATED ||
                     photometric == PHOTOMETRIC_YCBCR || photometric == PHOTOMETRIC_LOGL ||
                     photometric == PHOTOMETRIC_LOGLUV;
    // 1-bit and 4-bit pages keep their depth, grey or palette alike; 2-bit
    // samples are widened to 4 bits.
    const bool greyOrPalette = photometric <= PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_PALETTE;
    std::uint32_t depth = 24;
    if (!rgb) {
        depth = greyOrPalette && bitsPerSample == 1                              ? 1
                : bitsPerSample == 4 || (greyOrPalette && bitsPerSample == 2) ? 4
                                                                                : 8;
    }
    if (image.Info.Escape) throw TiffFailure{"Cancelled"};
    if (!image.Create(width, height, depth, kRasterTiff)) throw TiffFailure{"CRasterImageTIF can't create image"};
    if (samples == 4 || (samples == 2 && bitsPerSample == 8)) image.CreateAlphaPlane();
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    image.Info.FormatOptions[kRasterTiff] = compression;

    if (rgb) {
        DecodeRgb(image, tif, width, height, samples);
    } else {
        SetPalette(image, tif, photometric, bitsPerSample);
        DecodeIndexed(image, tif, width, height, samples, bitsPerSample, rowsPerStrip);
    }
}

}  // namespace

bool CRasterImageTIF::Decode(CRasterStream* stream) {
    CTiffReport report;
    try {
        TiffHandle tif(stream ? TiffOpenStream(stream, "rb", &report) : nullptr);
        if (!tif) throw TiffFailure{"Error encountered while opening TIFF file"};
        DecodePage(*this, tif.get());
        return true;
    } catch (const TiffFailure& failure) {
        SetLastError(report.Explain(failure.message).c_str());
        return false;
    } catch (const std::exception&) {
        SetLastError("CRasterImageTIF can't allocate memory");
        return false;
    }
}
