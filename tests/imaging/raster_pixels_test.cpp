// Pixel access of raster images: index packing by depth, colours inside and
// outside the picture, fills, the alpha plane, the selection box and the
// expansion of bit-field pixels.
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include <vector>

namespace {

RGBQUAD Quad(std::uint32_t rgb, std::uint8_t reserved = 0) {
    return {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb >> 16),
            reserved};
}

std::uint32_t Rgb(RGBQUAD q) { return q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue; }

TEST(RasterPixels, IndexesPackByDepth) {
    struct Case {
        std::uint32_t bpp;
        std::int64_t x;
        std::uint8_t stored;
        std::uint8_t read;
        std::uint8_t firstByte;  // of a row that was all zeros
    };
    const Case cases[] = {
        {8, 1, 0xAB, 0xAB, 0x00}, {4, 1, 0x1F, 0x0F, 0x0F}, {4, 0, 0x1F, 0x0F, 0xF0},
        {1, 0, 3, 1, 0x80},       {1, 6, 1, 1, 0x02},       {1, 7, 2, 0, 0x00},
    };
    for (const Case& c : cases) {
        CRasterImage image(9, 2, c.bpp, kRasterBmp);
        image.FillPixels(0);
        image.SetIndexAt(c.x, 0, c.stored);
        EXPECT_EQ(image.GetIndexAt(c.x, 0), c.read) << c.bpp << "/" << c.x;
        if (c.bpp != 8) {
            EXPECT_EQ(image.GetPixels(0)[0], c.firstByte) << c.bpp << "/" << c.x;
        }
        EXPECT_EQ(image.GetIndexAt(c.x, 1), 0) << "other row untouched";
    }
}

TEST(RasterPixels, OutsideAnswersTheTransparentIndexOrTheFirstByte) {
    CRasterImage image(3, 3, 8, kRasterBmp);
    image.FillPixels(0);
    image.SetIndexAt(0, 0, 42);
    EXPECT_EQ(image.GetIndexAt(-1, 0), 42);
    image.SetTransparentIndex(5);
    EXPECT_EQ(image.GetIndexAt(-1, 0), 5);
    EXPECT_EQ(image.GetIndexAt(0, 3), 5);
    image.SetIndexAt(3, 0, 9);  // outside: ignored
    EXPECT_EQ(image.GetIndexAt(2, 0), 0);
    CRasterImage rgb(2, 2, 24, kRasterBmp);
    EXPECT_EQ(rgb.GetIndexAt(0, 0), 0);
}

TEST(RasterPixels, ColoursOfIndexedAndRgbPictures) {
    CRasterImage indexed(2, 2, 1, kRasterBmp);
    indexed.SetPaletteEntry(0, 0x10, 0x20, 0x30, 0x40);
    indexed.SetPaletteEntry(1, 0xFF, 0xFF, 0xFF);
    indexed.FillPixels(0);
    indexed.SetColorAt(1, 1, Quad(0xEEEEEE), false);
    EXPECT_EQ(indexed.GetIndexAt(1, 1), 1);
    EXPECT_EQ(Rgb(indexed.GetColorAt(0, 0, false)), 0x102030u);
    EXPECT_EQ(indexed.GetColorAt(0, 0, false).rgbReserved, 0x40);

    CRasterImage rgb(2, 2, 24, kRasterBmp);
    rgb.FillPixels(0);
    rgb.SetColorRefAt(1, 0, 0x00332211);  // COLORREF: red in the low byte
    EXPECT_EQ(Rgb(rgb.GetColorAt(1, 0, false)), 0x112233u);
    EXPECT_EQ(rgb.RgbAddressAt(1, 0)[0], 0x33);  // blue first in memory
    rgb.Info.TransparentColor = Quad(0, 0x77);
    EXPECT_EQ(rgb.GetColorAt(1, 0, true).rgbReserved, 0x77);
    rgb.CreateAlphaPlane();
    rgb.SetColorAt(1, 0, Quad(0x445566, 12), true);
    EXPECT_EQ(rgb.GetColorAt(1, 0, true).rgbReserved, 12);
    EXPECT_EQ(rgb.GetColorAt(1, 0, false).rgbReserved, 0x77);
    EXPECT_EQ(indexed.RgbAddressAt(0, 0), nullptr);
}

TEST(RasterPixels, ColoursOutsideThePicture) {
    CRasterImage indexed(2, 2, 8, kRasterBmp);
    indexed.FillPixels(3);
    indexed.SetPaletteEntry(3, 1, 2, 3);
    indexed.SetPaletteEntry(7, 7, 7, 7);
    EXPECT_EQ(Rgb(indexed.GetColorAt(5, 5, false)), 0x010203u);  // the colour at (0, 0)
    indexed.SetTransparentIndex(7);
    EXPECT_EQ(Rgb(indexed.GetColorAt(-1, 0, false)), 0x070707u);

    CRasterImage rgb(2, 2, 24, kRasterBmp);
    rgb.SetTransparentIndex(0);
    rgb.SetTransparentColor(Quad(0xABCDEF, 9));
    EXPECT_EQ(Rgb(rgb.GetColorAt(2, 0, false)), 0xABCDEFu);
    EXPECT_EQ(rgb.GetTransparentColor().rgbReserved, 0);
    CRasterImage empty;
    empty.SetTransparentColor(Quad(0x123456));
    EXPECT_EQ(Rgb(empty.GetColorAt(0, 0, false)), 0x123456u);
}

TEST(RasterPixels, FillSpreadsTheValueOverEveryByte) {
    struct Case {
        std::uint32_t bpp;
        std::uint8_t value, byte;
    };
    const Case cases[] = {{1, 1, 0xFF}, {1, 0, 0x00}, {4, 0x3C, 0xCC}, {8, 0x3C, 0x3C}, {24, 0x81, 0x81}};
    for (const Case& c : cases) {
        CRasterImage image(5, 3, c.bpp, kRasterBmp);
        image.FillPixels(c.value);
        const std::vector<std::uint8_t> expected(image.Header.biSizeImage, c.byte);
        EXPECT_EQ(std::vector<std::uint8_t>(image.GetPixels(0), image.GetPixels(0) + image.Header.biSizeImage),
                  expected)
            << c.bpp;
    }
}

TEST(RasterAlpha, PlaneAccessFlipAndMirror) {
    CRasterImage image(3, 2, 24, kRasterPng);
    EXPECT_EQ(image.GetAlphaAt(0, 0), 0);
    EXPECT_FALSE(image.FlipAlphaVertical());
    image.CreateAlphaPlane();
    EXPECT_EQ(image.GetAlphaAt(2, 1), 255);
    image.SetAlphaAt(0, 0, 1);
    image.SetAlphaAt(2, 0, 2);
    image.SetAlphaAt(3, 0, 3);  // outside: ignored
    EXPECT_EQ(image.GetAlphaAt(3, 0), 0);
    ASSERT_TRUE(image.MirrorAlphaHorizontal());
    EXPECT_EQ(image.GetAlphaAt(2, 0), 1);
    EXPECT_EQ(image.GetAlphaAt(0, 0), 2);
    ASSERT_TRUE(image.FlipAlphaVertical());
    EXPECT_EQ(image.GetAlphaAt(2, 1), 1);
    EXPECT_EQ(image.GetAlphaAt(2, 0), 255);

    CRasterImage other(3, 2, 8, kRasterPng);
    EXPECT_TRUE(other.CopyAlphaPlane(image));
    EXPECT_EQ(other.GetAlphaAt(0, 1), 2);
    CRasterImage smaller(2, 2, 8, kRasterPng);
    EXPECT_FALSE(smaller.CopyAlphaPlane(image));
    image.DeleteAlphaPlane();
    EXPECT_FALSE(image.HasAlphaPlane());
}

TEST(RasterSelection, ClearingSetsTheEmptyBox) {
    CRasterImage image(4, 3, 8, kRasterBmp);
    EXPECT_TRUE(image.IsSelected(3, 2));
    EXPECT_FALSE(image.IsSelected(4, 0));
    image.Selection = static_cast<std::uint8_t*>(std::calloc(12, 1));
    image.Selection[1 * 4 + 2] = 1;
    EXPECT_TRUE(image.IsSelected(2, 1));
    EXPECT_FALSE(image.IsSelected(1, 1));
    CRasterImage copy(4, 3, 8, kRasterBmp);
    EXPECT_TRUE(copy.CopySelection(image));
    EXPECT_TRUE(copy.IsSelected(2, 1));
    EXPECT_FALSE(copy.IsSelected(0, 0));
    image.ClearSelection();
    EXPECT_EQ(image.Selection, nullptr);
    EXPECT_EQ(image.Info.SelectionBox.left, 4);
    EXPECT_EQ(image.Info.SelectionBox.top, 0);
    EXPECT_EQ(image.Info.SelectionBox.right, 0);
    EXPECT_EQ(image.Info.SelectionBox.bottom, 3);
}

TEST(RasterBitfields, ChannelsScaleByTheirOwnMasks) {
    struct Case {
        std::uint16_t word;
        std::uint32_t red, green, blue;
        std::uint32_t rgb;
    };
    const Case cases[] = {
        {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0xF8F8F8},  // 5-5-5
        {0x7C00, 0x7C00, 0x03E0, 0x001F, 0xF80000},
        {0xFFFF, 0xF800, 0x07E0, 0x001F, 0xF8FCF8},  // 5-6-5
        {0x07E0, 0xF800, 0x07E0, 0x001F, 0x00FC00},
        // 4-4-4 and 6-5-5: masks whose shifts the 5-bit formula gets wrong
        {0x0F0F, 0x0F00, 0x00F0, 0x000F, 0xF000F0},
        {0xFFFF, 0xFC00, 0x03E0, 0x001F, 0xFCF8F8},
        {0x0001, 0x0F00, 0x00F0, 0x000F, 0x000010},
    };
    for (const Case& c : cases) {
        CRasterImage image(1, 1, 24, kRasterBmp);
        const std::uint8_t source[4] = {static_cast<std::uint8_t>(c.word), static_cast<std::uint8_t>(c.word >> 8)};
        image.ExpandBitfields(source, c.red, c.green, c.blue, 16);
        EXPECT_EQ(Rgb(image.GetColorAt(0, 0, false)), c.rgb) << std::hex << c.word << " " << c.red;
    }
}

TEST(RasterBitfields, ExpandsInPlaceFromTheTopRowBackwards) {
    // 16-bit rows of 3 pixels take 8 bytes; the 24-bit rows 12: output outruns input row by row.
    CRasterImage image(3, 2, 24, kRasterBmp);
    std::uint8_t* pixels = image.GetPixels(0);
    const std::uint16_t words[2][4] = {{0x001F, 0x03E0, 0x7C00, 0}, {0x7FFF, 0x0000, 0x4210, 0}};
    std::memcpy(pixels, words, sizeof words);
    image.ExpandBitfields(pixels, 0x7C00, 0x03E0, 0x001F, 16);
    EXPECT_EQ(Rgb(image.GetColorAt(0, 0, false)), 0x0000F8u);
    EXPECT_EQ(Rgb(image.GetColorAt(1, 0, false)), 0x00F800u);
    EXPECT_EQ(Rgb(image.GetColorAt(2, 0, false)), 0xF80000u);
    EXPECT_EQ(Rgb(image.GetColorAt(0, 1, false)), 0xF8F8F8u);
    EXPECT_EQ(Rgb(image.GetColorAt(1, 1, false)), 0x000000u);
    EXPECT_EQ(Rgb(image.GetColorAt(2, 1, false)), 0x808080u);

    const std::uint8_t wide[2][12] = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                                      {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}};
    image.ExpandBitfields(&wide[0][0], 0, 0, 0, 32);
    EXPECT_EQ(Rgb(image.GetColorAt(2, 1, false)), 0x171615u);
}

TEST(RasterBitfields, LuminanceOrder) {
    const std::uint8_t green[3] = {0, 255, 0}, red[3] = {0, 0, 255}, blue[3] = {255, 0, 0};
    EXPECT_GT(CRasterImage::CompareLuminance(green, red), 0);
    EXPECT_GT(CRasterImage::CompareLuminance(red, blue), 0);
    EXPECT_EQ(CRasterImage::CompareLuminance(red, red), 0);
    EXPECT_EQ(CRasterImage::CompareLuminance(green, blue), ((601 * 255) >> 10) - ((117 * 255) >> 10));
}

}  // namespace
