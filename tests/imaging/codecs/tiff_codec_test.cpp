// The TIFF codec: pages, grey, palette and alpha pages written here with
// libtiff itself, resolution, and the tags of what the encoder writes.
#include "codec_memory.h"
#include "imaging/tiff/tiff_image.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace {

// A one-page TIFF made with libtiff: the tags, then rows from fill(row, y).
Bytes MakeTiff(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::uint16_t samples,
               std::uint16_t photometric, const std::function<void(TIFF*)>& tags,
               const std::function<void(std::uint8_t*, std::uint32_t)>& fill) {
    return EncodeWith([&](CRasterStream* stream) {
        TIFF* tif = TiffOpenStream(stream, "w");
        if (!tif) return false;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
        tags(tif);
        Bytes row(static_cast<std::size_t>(TIFFScanlineSize64(tif)));
        bool ok = true;
        for (std::uint32_t y = 0; y < height; ++y) {
            fill(row.data(), y);
            ok = ok && TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
        }
        TIFFClose(tif);
        return ok;
    });
}

const auto kNoTags = [](TIFF*) {};

TEST(TiffDecode, GreyAndPaletteTables) {
    const auto grey1 = [](std::uint16_t photometric) {
        return MakeTiff(8, 1, 1, 1, photometric, kNoTags, [](std::uint8_t* row, std::uint32_t) { row[0] = 0xF0; });
    };
    CRasterImage white, black;
    ASSERT_TRUE(DecodeFromMemory(white, grey1(PHOTOMETRIC_MINISWHITE), kRasterTiff));
    ASSERT_TRUE(DecodeFromMemory(black, grey1(PHOTOMETRIC_MINISBLACK), kRasterTiff));
    EXPECT_EQ(white.GetBpp(), 1);
    EXPECT_EQ(white.GetPaletteEntry(0).rgbRed, 255);
    EXPECT_EQ(white.GetPaletteEntry(1).rgbRed, 0);
    EXPECT_EQ(black.GetPaletteEntry(0).rgbRed, 0);
    EXPECT_EQ(black.GetPaletteEntry(1).rgbRed, 255);
    EXPECT_EQ(white.GetIndexAt(0, 0), 1);
    EXPECT_EQ(white.GetIndexAt(7, 0), 0);

    CRasterImage grey4;
    ASSERT_TRUE(DecodeFromMemory(grey4, MakeTiff(2, 1, 4, 1, PHOTOMETRIC_MINISBLACK, kNoTags,
                                                 [](std::uint8_t* row, std::uint32_t) { row[0] = 0x3C; }),
                                 kRasterTiff));
    EXPECT_EQ(grey4.GetBpp(), 4);
    for (std::uint32_t i = 0; i < 16; ++i) EXPECT_EQ(grey4.GetPaletteEntry(i).rgbGreen, 17 * i);
    EXPECT_EQ(grey4.GetIndexAt(0, 0), 3);
    EXPECT_EQ(grey4.GetIndexAt(1, 0), 12);

    // 2-bit grey samples land in their own nibbles with a four-step ramp.
    CRasterImage grey2;
    ASSERT_TRUE(DecodeFromMemory(grey2, MakeTiff(4, 1, 2, 1, PHOTOMETRIC_MINISBLACK, kNoTags,
                                                 [](std::uint8_t* row, std::uint32_t) { row[0] = 0x1B; }),
                                 kRasterTiff));
    EXPECT_EQ(grey2.GetBpp(), 4);
    for (std::uint32_t x = 0; x < 4; ++x) {
        EXPECT_EQ(grey2.GetIndexAt(x, 0), x);
        EXPECT_EQ(grey2.GetColorAt(x, 0, false).rgbRed, 85 * x);
    }

    // Colour maps: 16-bit values scaled by 255/65535, small ones kept; a
    // 16-bit palette page brings 65,536 entries of which the table takes 256.
    const struct {
        const char* name;
        std::uint16_t bits, value;
        std::uint8_t expected;
    } maps[] = {{"16-bit values", 8, 0x8000, 127}, {"8-bit values", 8, 200, 200}, {"16 bits per sample", 16, 0xFFFF, 255}};
    for (const auto& m : maps) {
        std::vector<std::uint16_t> map(3u << m.bits, m.value);
        const Bytes tiff = MakeTiff(2, 2, m.bits, 1, PHOTOMETRIC_PALETTE,
                                    [&](TIFF* tif) {
                                        const std::size_t n = std::size_t{1} << m.bits;
                                        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + n, map.data() + 2 * n);
                                    },
                                    [&](std::uint8_t* row, std::uint32_t) {
                                        // Index 1 in the first pixel, in the host's order for 16 bits.
                                        const std::uint16_t wide[2] = {1, 1};
                                        if (m.bits == 16) std::memcpy(row, wide, 4);
                                        else row[0] = row[1] = 1;
                                    });
        CRasterImage image;
        ASSERT_TRUE(DecodeFromMemory(image, tiff, kRasterTiff)) << m.name << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), 8) << m.name;
        EXPECT_EQ(image.GetPaletteEntry(1).rgbRed, m.expected) << m.name;
        EXPECT_EQ(image.GetPaletteEntry(255).rgbBlue, m.expected) << m.name;
    }
}

TEST(TiffDecode, AlphaSixteenBitsAndResolution) {
    CRasterImage rgba;
    ASSERT_TRUE(DecodeFromMemory(rgba, MakeTiff(2, 1, 8, 4, PHOTOMETRIC_RGB,
                                                [](TIFF* tif) {
                                                    const std::uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
                                                    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
                                                    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
                                                    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 118.11f);
                                                    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 118.11f);
                                                },
                                                [](std::uint8_t* row, std::uint32_t) {
                                                    const std::uint8_t px[8] = {10, 20, 30, 255, 40, 50, 60, 128};
                                                    std::copy(px, px + 8, row);
                                                }),
                                 kRasterTiff));
    EXPECT_EQ(rgba.GetBpp(), 24);
    ASSERT_TRUE(rgba.HasAlphaPlane());
    EXPECT_EQ(rgba.GetAlphaAt(1, 0), 128);
    EXPECT_EQ(rgba.GetColorAt(0, 0, false).rgbRed, 10);
    EXPECT_EQ(rgba.GetColorAt(0, 0, false).rgbBlue, 30);
    EXPECT_EQ(rgba.GetDpiX(), 300);
    EXPECT_EQ(rgba.GetDpiY(), 300);

    CRasterImage grey16;
    ASSERT_TRUE(DecodeFromMemory(grey16, MakeTiff(2, 1, 16, 1, PHOTOMETRIC_MINISBLACK, kNoTags,
                                                  [](std::uint8_t* row, std::uint32_t) {
                                                      const std::uint16_t s[2] = {0x12FF, 0xAB00};
                                                      std::memcpy(row, s, 4);
                                                  }),
                                 kRasterTiff));
    EXPECT_EQ(grey16.GetBpp(), 8);
    EXPECT_EQ(grey16.GetIndexAt(0, 0), 0x12);
    EXPECT_EQ(grey16.GetIndexAt(1, 0), 0xAB);

    CRasterImage sizeOnly;
    sizeOnly.Info.Escape = -1;
    EXPECT_TRUE(DecodeFromMemory(sizeOnly, MakeTiff(5, 3, 8, 1, PHOTOMETRIC_MINISBLACK, kNoTags,
                                                    [](std::uint8_t*, std::uint32_t) {}),
                                 kRasterTiff));
    EXPECT_EQ(sizeOnly.GetWidth(), 5u);
    EXPECT_FALSE(sizeOnly.IsValid());
    EXPECT_STREQ(sizeOnly.GetLastErrorText(), "output dimensions returned");

    CRasterImage notTiff;
    EXPECT_FALSE(DecodeFromMemory(notTiff, Bytes{'P', 'K', 3, 4}, kRasterTiff));
    EXPECT_STREQ(notTiff.GetLastErrorText(), "Error encountered while opening TIFF file: Cannot read TIFF header");
}

// A 21 x 13 RGB page in blocks of the given size (tiles when tiled, else
// strips of `rows` rows), LZW-compressed, top row first; the pixel at (x, y)
// is (7x, 5y, x + y) from the top.
Bytes MakeRgbBlocks(bool tiled, std::uint32_t columns, std::uint32_t rows) {
    constexpr std::uint32_t width = 21, height = 13;
    return EncodeWith([&](CRasterStream* stream) {
        TIFF* tif = TiffOpenStream(stream, "w");
        if (!tif) return false;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        if (tiled) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, columns);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, rows);
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows);
        }
        const std::uint32_t blockWidth = tiled ? columns : width;
        Bytes block(std::size_t{blockWidth} * rows * 3);
        bool ok = true;
        for (std::uint32_t top = 0; top < height; top += rows) {
            for (std::uint32_t left = 0; left < width; left += blockWidth) {
                for (std::uint32_t i = 0; i < blockWidth * rows; ++i) {
                    const std::uint32_t x = left + i % blockWidth, y = top + i / blockWidth;
                    block[3 * i] = std::uint8_t(x * 7);
                    block[3 * i + 1] = std::uint8_t(y * 5);
                    block[3 * i + 2] = std::uint8_t(x + y);
                }
                const tmsize_t bytes = tiled ? tmsize_t(block.size()) : tmsize_t(std::min(rows, height - top)) * width * 3;
                ok = ok && (tiled ? TIFFWriteEncodedTile(tif, TIFFComputeTile(tif, left, top, 0, 0), block.data(), bytes)
                                  : TIFFWriteEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), block.data(), bytes)) == bytes;
            }
        }
        TIFFClose(tif);
        return ok;
    });
}

TEST(TiffDecode, RgbStripsAndTilesOfEverySize) {
    const struct {
        const char* name;
        bool tiled;
        std::uint32_t columns, rows;
    } cases[] = {
        {"strips of one row", false, 0, 1},
        {"strips of 5 rows, the last of 3", false, 0, 5},
        {"one strip", false, 0, 13},
        {"tiles cut at the right and bottom edges", true, 16, 16},
        {"one column of tiles wider than the page", true, 32, 16},
        {"a tile far beyond the page", true, 64, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes tiff = MakeRgbBlocks(c.tiled, c.columns, c.rows);
        ASSERT_FALSE(tiff.empty());
        CRasterImage image;
        ASSERT_TRUE(DecodeFromMemory(image, tiff, kRasterTiff)) << image.GetLastErrorText();
        ASSERT_EQ(image.GetBpp(), 24);
        for (std::uint32_t y = 0; y < 13; ++y) {
            for (std::uint32_t x = 0; x < 21; ++x) {
                const RGBQUAD quad = image.GetColorAt(x, 12 - y, false);
                ASSERT_TRUE(quad.rgbRed == std::uint8_t(x * 7) && quad.rgbGreen == std::uint8_t(y * 5) &&
                            quad.rgbBlue == std::uint8_t(x + y))
                    << x << "," << y;
            }
        }
    }
}

struct Tags {
    std::uint16_t compression = 0, photometric = 0, predictor = 0, samples = 0, page = 0, pages = 0;
    std::uint32_t rowsPerStrip = 0;
    std::string name;
};

std::vector<Tags> ReadTags(const Bytes& bytes) {
    std::vector<Tags> pages;
    CRasterMemStream stream(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    TIFF* tif = TiffOpenStream(&stream, "r");
    if (!tif) return pages;
    do {
        Tags t;
        TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &t.compression);
        TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &t.photometric);
        TIFFGetFieldDefaulted(tif, TIFFTAG_PREDICTOR, &t.predictor);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &t.samples);
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &t.rowsPerStrip);
        TIFFGetField(tif, TIFFTAG_PAGENUMBER, &t.page, &t.pages);
        char* name = nullptr;
        if (TIFFGetField(tif, TIFFTAG_PAGENAME, &name) && name) t.name = name;
        pages.push_back(t);
    } while (TIFFReadDirectory(tif));
    TIFFClose(tif);
    return pages;
}

TEST(TiffEncode, CompressionByDepthAndRoundTrip) {
    const struct {
        std::uint32_t bpp;
        bool alpha;
        std::uint16_t compression, photometric, predictor, samples;
    } cases[] = {
        {1, false, COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, 0, 1},
        {4, false, COMPRESSION_LZW, PHOTOMETRIC_PALETTE, 1, 1},
        {8, false, COMPRESSION_LZW, PHOTOMETRIC_PALETTE, 2, 1},
        {8, true, COMPRESSION_LZW, PHOTOMETRIC_PALETTE, 2, 2},
        {24, false, COMPRESSION_JPEG, PHOTOMETRIC_RGB, 0, 3},
        {24, true, COMPRESSION_JPEG, PHOTOMETRIC_RGB, 0, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << (c.alpha ? " with alpha" : ""));
        CRasterImage image(21, 13, c.bpp, kRasterBmp);
        if (c.bpp <= 8) image.SetStandardPalette();
        if (c.bpp == 1) {
            image.SetPaletteEntry(0, 0, 0, 0);
            image.SetPaletteEntry(1, 255, 255, 255);
        }
        FillPattern(image);
        if (c.alpha) {
            image.CreateAlphaPlane();
            image.SetAlphaAt(3, 4, 77);
        }
        const Bytes tiff = EncodeToMemory(image, kRasterTiff);
        const std::vector<Tags> tags = ReadTags(tiff);
        ASSERT_EQ(tags.size(), 1u) << image.GetLastErrorText();
        EXPECT_EQ(tags[0].compression, c.compression);
        EXPECT_EQ(tags[0].photometric, c.photometric);
        EXPECT_EQ(tags[0].predictor, c.predictor);
        EXPECT_EQ(tags[0].samples, c.samples);
        if (c.compression == COMPRESSION_JPEG) {
            EXPECT_EQ(tags[0].rowsPerStrip % 8, 0u);
        }

        CRasterImage back;
        ASSERT_TRUE(DecodeFromMemory(back, tiff, kRasterTiff)) << back.GetLastErrorText();
        EXPECT_EQ(back.GetFormatOption(kRasterTiff), c.compression);
        EXPECT_EQ(back.HasAlphaPlane(), c.alpha);
        if (c.alpha) {
            EXPECT_NEAR(back.GetAlphaAt(3, 4), 77, c.compression == COMPRESSION_JPEG ? 4 : 0);
        }
        if (c.compression == COMPRESSION_JPEG) continue;  // lossy
        for (std::uint32_t y = 0; y < 13; ++y) {
            for (std::uint32_t x = 0; x < 21; ++x) {
                const RGBQUAD a = image.GetColorAt(x, y, false), b = back.GetColorAt(x, y, false);
                ASSERT_TRUE(a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue) << x << "," << y;
            }
        }
    }
}

TEST(TiffEncode, PagesOfOneFile) {
    CRasterImage page(9, 7, 24, kRasterBmp);
    FillPattern(page);
    page.Info.FormatOptions[kRasterTiff] = COMPRESSION_LZW;  // as a decoded LZW file keeps it
    const Bytes tiff = EncodeWith([&](CRasterStream* stream) {
        CRasterImageTIF writer;
        writer.MakeGhostOf(page);
        return writer.Encode(stream, true) && writer.Encode(stream, true) && writer.Encode(stream, false);
    });
    const std::vector<Tags> tags = ReadTags(tiff);
    ASSERT_EQ(tags.size(), 3u);
    for (std::uint16_t i = 0; i < 3; ++i) {
        EXPECT_EQ(tags[i].compression, COMPRESSION_LZW);
        EXPECT_EQ(tags[i].page, i + 1);
        EXPECT_EQ(tags[i].pages, i + 1);
        EXPECT_EQ(tags[i].name, "Page " + std::to_string(i + 1));
    }
    CRasterImage third;
    third.SetFrame(2);
    EXPECT_TRUE(DecodeFromMemory(third, tiff, kRasterTiff));
    EXPECT_EQ(third.GetNumFrames(), 3);
    CRasterImage beyond;
    beyond.SetFrame(3);
    EXPECT_FALSE(DecodeFromMemory(beyond, tiff, kRasterTiff));
    EXPECT_STREQ(beyond.GetLastErrorText(), "Error: page not present in TIFF file");
    EXPECT_EQ(beyond.GetNumFrames(), 3);
}

}  // namespace
