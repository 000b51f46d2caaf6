// Turns, flips and mirrors of pixels and alpha at every depth, inversion, and
// depth reduction by nearest colour or diffusion, with its refusals and its
// escape.
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::uint32_t Rgb(RGBQUAD q) { return q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue; }

// Gives each pixel (x, y) a value made of its coordinates, and adds an
// alpha plane and a selection mask.
void Number(CRasterImage& image) {
    const std::uint32_t width = image.GetWidth(), height = image.GetHeight(), bpp = image.GetBpp();
    if (image.IsIndexed()) image.SetGreyRamp();
    image.CreateAlphaPlane();
    image.Selection = static_cast<std::uint8_t*>(std::calloc(width * height, 1));
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t value = x * 7 + y * 3 + 1;
            if (bpp == 24) image.SetColorRefAt(x, y, value * 0x010203u);
            else image.SetIndexAt(x, y, static_cast<std::uint8_t>(value % (1u << bpp)));
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(value));
        }
    }
}

std::uint32_t PixelOf(const CRasterImage& image, std::int64_t x, std::int64_t y) {
    return image.IsIndexed() ? image.GetIndexAt(x, y) : Rgb(image.GetColorAt(x, y, false));
}

struct Turn {
    const char* name;
    bool (*apply)(CRasterImage&, CRasterImage*);
    bool swapsSize;
    // source coordinates of destination (x, y) for a W x H source
    void (*from)(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t* sx, std::int64_t* sy);
};

const Turn kTurns[] = {
    {"left", [](CRasterImage& i, CRasterImage* t) { return i.RotateLeft90(t); }, true,
     [](std::int64_t x, std::int64_t y, std::int64_t, std::int64_t h, std::int64_t* sx, std::int64_t* sy) {
         *sx = y;
         *sy = h - 1 - x;
     }},
    {"right", [](CRasterImage& i, CRasterImage* t) { return i.RotateRight90(t); }, true,
     [](std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t, std::int64_t* sx, std::int64_t* sy) {
         *sx = w - 1 - y;
         *sy = x;
     }},
    {"half", [](CRasterImage& i, CRasterImage* t) { return i.Rotate180(t); }, false,
     [](std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t* sx, std::int64_t* sy) {
         *sx = w - 1 - x;
         *sy = h - 1 - y;
     }},
    {"flip", [](CRasterImage& i, CRasterImage*) { return i.FlipVertical(); }, false,
     [](std::int64_t x, std::int64_t y, std::int64_t, std::int64_t h, std::int64_t* sx, std::int64_t* sy) {
         *sx = x;
         *sy = h - 1 - y;
     }},
    {"mirror", [](CRasterImage& i, CRasterImage*) { return i.MirrorHorizontal(); }, false,
     [](std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t, std::int64_t* sx, std::int64_t* sy) {
         *sx = w - 1 - x;
         *sy = y;
     }},
};

TEST(RasterTransforms, PixelsAndAlphaMoveByTheDefinitionAtEveryDepth) {
    // Sizes around the 64-pixel tiles and the 8-pixel bytes of 1-bit rows.
    const std::uint32_t sizes[][2] = {{3, 2}, {13, 5}, {70, 9}, {1, 1}};
    for (const Turn& turn : kTurns) {
        for (std::uint32_t bpp : {1u, 4u, 8u, 24u}) {
            for (const auto& size : sizes) {
                CRasterImage source(size[0], size[1], bpp, kRasterPng);
                Number(source);
                CRasterImage image(source, true, true, true);
                ASSERT_TRUE(turn.apply(image, nullptr)) << turn.name;
                const std::int64_t w = size[0], h = size[1];
                ASSERT_EQ(image.GetWidth(), turn.swapsSize ? size[1] : size[0]) << turn.name;
                ASSERT_EQ(image.GetBpp(), source.GetBpp());
                EXPECT_EQ(image.Selection, nullptr) << turn.name << ": the selection is dropped";
                for (std::int64_t y = 0; y < static_cast<std::int64_t>(image.GetHeight()); ++y) {
                    for (std::int64_t x = 0; x < static_cast<std::int64_t>(image.GetWidth()); ++x) {
                        std::int64_t sx = 0, sy = 0;
                        turn.from(x, y, w, h, &sx, &sy);
                        ASSERT_EQ(PixelOf(image, x, y), PixelOf(source, sx, sy))
                            << turn.name << " " << bpp << " bits " << w << "x" << h << " at " << x << "," << y;
                        ASSERT_EQ(image.GetAlphaAt(x, y), source.GetAlphaAt(sx, sy)) << turn.name;
                    }
                }
            }
        }
    }
}

TEST(RasterTransforms, TopLeftCornerOfATurnAndTheWayBack) {
    CRasterImage image(3, 2, 24, kRasterPng);
    Number(image);
    const std::uint32_t topLeft = PixelOf(image, 0, 1);
    CRasterImage left(image, true, false, true);
    ASSERT_TRUE(left.RotateLeft90());
    EXPECT_EQ(left.GetWidth(), 2u);
    EXPECT_EQ(PixelOf(left, 0, 0), topLeft);  // bottom left
    CRasterImage right(image, true, false, true);
    ASSERT_TRUE(right.RotateRight90());
    EXPECT_EQ(PixelOf(right, 1, 2), topLeft);  // top right
    ASSERT_TRUE(right.RotateLeft90());
    EXPECT_EQ(std::memcmp(right.GetPixels(0), image.GetPixels(0), image.Header.biSizeImage), 0);
}

TEST(RasterTransforms, ATurnIntoATargetLeavesTheSource) {
    CRasterImage source(5, 3, 8, kRasterPng);
    Number(source);
    std::uint8_t* block = source.Dib;
    CRasterImage target(1, 1, 1, kRasterBmp);
    ASSERT_TRUE(source.RotateRight90(&target));
    EXPECT_EQ(source.Dib, block);
    EXPECT_EQ(source.GetWidth(), 5u);
    EXPECT_EQ(target.GetWidth(), 3u);
    EXPECT_EQ(target.GetHeight(), 5u);
    EXPECT_EQ(target.GetPaletteEntry(9).rgbRed, 9);
    CRasterImage empty;
    EXPECT_FALSE(empty.RotateLeft90(&target));
    EXPECT_FALSE(empty.FlipVertical());
    EXPECT_FALSE(empty.Invert());
}

TEST(RasterTransforms, InvertByDepthAndTable) {
    CRasterImage grey(2, 1, 8, kRasterBmp);
    grey.SetGreyRamp();
    grey.SetIndexAt(0, 0, 10);
    ASSERT_TRUE(grey.Invert());
    EXPECT_EQ(grey.GetIndexAt(0, 0), 245);
    EXPECT_EQ(grey.GetPaletteEntry(10).rgbRed, 10);  // the table stays

    CRasterImage coloured(2, 1, 8, kRasterBmp);
    coloured.SetStandardPalette();
    coloured.SetIndexAt(0, 0, 10);
    ASSERT_TRUE(coloured.Invert());
    EXPECT_EQ(coloured.GetIndexAt(0, 0), 10);
    EXPECT_EQ(Rgb(coloured.GetPaletteEntry(1)), 0x7FFFFFu);

    CRasterImage rgb(2, 2, 24, kRasterBmp);
    rgb.FillPixels(0x10);
    rgb.SetTransparentColor({0, 0x80, 0xFF, 0});
    rgb.Selection = static_cast<std::uint8_t*>(std::calloc(4, 1));
    rgb.Selection[3] = 1;  // (1, 1)
    rgb.Info.SelectionBox = {0, 2, 2, 0};
    ASSERT_TRUE(rgb.Invert());
    EXPECT_EQ(Rgb(rgb.GetColorAt(1, 1, false)), 0xEFEFEFu);
    EXPECT_EQ(Rgb(rgb.GetColorAt(0, 1, false)), 0x101010u);
    EXPECT_EQ(Rgb(rgb.Info.TransparentColor), 0x007FFFu);
}

TEST(RasterReduceDepth, RefusalsAndNoChange) {
    CRasterImage four(3, 3, 4, kRasterBmp);
    EXPECT_FALSE(four.ReduceDepth(8, false, nullptr, 0));
    CRasterImage eight(3, 3, 8, kRasterPng);
    Number(eight);
    std::uint8_t* block = eight.Dib;
    EXPECT_TRUE(eight.ReduceDepth(8, false, nullptr, 0));
    EXPECT_EQ(eight.Dib, block);
    eight.SetImportantColors(10);
    EXPECT_TRUE(eight.ReduceDepth(8, false, nullptr, 20));  // fewer important colours already
    EXPECT_EQ(eight.Dib, block);
}

TEST(RasterReduceDepth, NearestAndDiffusedColours) {
    CRasterImage rgb(16, 4, 24, kRasterBmp);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) rgb.SetColorRefAt(x, y, static_cast<COLORREF>(x * 17) * 0x010101u);
    rgb.SetColorRefAt(0, 0, 0x808080);  // ties go to black: 3 x 128^2 against 3 x 127^2 ... to white
    CRasterImage mono(rgb, true, false, false);
    ASSERT_TRUE(mono.ReduceDepth(1, false, nullptr, 0));
    EXPECT_EQ(mono.GetBpp(), 1);
    EXPECT_EQ(Rgb(mono.GetPaletteEntry(1)), 0xFFFFFFu);
    EXPECT_EQ(mono.GetIndexAt(0, 0), 1);  // 808080 is nearer white
    EXPECT_EQ(mono.GetIndexAt(7, 1), 0);  // 777777
    EXPECT_EQ(mono.GetIndexAt(8, 1), 1);  // 888888

    CRasterImage eight(rgb, true, false, false);
    ASSERT_TRUE(eight.ReduceDepth(8, true, nullptr, 0));
    EXPECT_EQ(eight.GetBpp(), 8);
    CRasterImage standard(1, 1, 8, kRasterBmp);
    standard.SetStandardPalette();
    EXPECT_EQ(std::memcmp(eight.PaletteData(), standard.PaletteData(), 1024), 0);

    // Diffusion keeps a mid grey's average where nearest colour cannot.
    CRasterImage flat(16, 16, 24, kRasterBmp);
    flat.FillPixels(0x60);
    CRasterImage dithered(flat, true, false, false);
    ASSERT_TRUE(dithered.ReduceDepth(1, true, nullptr, 0));
    ASSERT_TRUE(flat.ReduceDepth(1, false, nullptr, 0));
    int whiteDithered = 0, whiteFlat = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            whiteDithered += dithered.GetIndexAt(x, y);
            whiteFlat += flat.GetIndexAt(x, y);
        }
    }
    EXPECT_EQ(whiteFlat, 0);
    EXPECT_GT(whiteDithered, 256 * 0x60 / 255 / 2);
    EXPECT_LT(whiteDithered, 256 * 0x60 / 255 * 2);
}

TEST(RasterReduceDepth, EscapeStopsTheRowsAndTheAlphaFollows) {
    CRasterImage rgb(4, 4, 24, kRasterPng);
    Number(rgb);
    rgb.Info.Escape = 1;
    ASSERT_TRUE(rgb.ReduceDepth(4, false, nullptr, 0));
    EXPECT_EQ(rgb.GetBpp(), 4);
    EXPECT_TRUE(rgb.HasAlphaPlane());
    EXPECT_EQ(rgb.GetAlphaAt(1, 1), 11);
}

}  // namespace
