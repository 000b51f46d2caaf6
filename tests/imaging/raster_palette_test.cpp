// Colour tables of raster images: nearest-colour search, grey ramps and the
// standard tables, entry access, index swaps that keep the picture, important
// colours and red-blue order.
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

std::uint32_t Rgb(RGBQUAD q) { return q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue; }

TEST(RasterPalette, NearestColourSearch) {
    CRasterImage image(1, 1, 1, kRasterBmp);
    image.SetPaletteEntry(0, 0, 0, 0);
    image.SetPaletteEntry(1, 255, 255, 255);
    // 3 x 127^2 to white against 3 x 128^2 to black
    EXPECT_EQ(image.FindNearestIndex({0x80, 0x80, 0x80, 0}), 1);
    EXPECT_EQ(image.FindNearestIndex({0x7F, 0x7F, 0x80, 0}), 0);

    CRasterImage ties(1, 1, 4, kRasterBmp);
    ties.SetStandardPalette();
    ties.SetPaletteEntry(3, 10, 10, 10);
    ties.SetPaletteEntry(5, 10, 10, 10);
    ties.SetPaletteEntry(0, 200, 200, 200);
    EXPECT_EQ(ties.FindNearestIndex({10, 10, 10, 0}), 3);  // the lower index wins
    ties.SetPaletteEntry(3, 0, 0, 0);                     // a table change drops the cache
    EXPECT_EQ(ties.FindNearestIndex({10, 10, 10, 0}), 5);
    ties.SetImportantColors(4);  // only entries 0 to 3 are searched
    EXPECT_EQ(ties.FindNearestIndex({10, 10, 10, 0}), 3);

    CRasterImage rgb(1, 1, 24, kRasterBmp);
    EXPECT_EQ(rgb.FindNearestIndex({1, 2, 3, 0}), 0);
}

TEST(RasterPalette, GreyRampsAndTheIdentityTest) {
    struct Case {
        std::uint32_t bpp, index;
        std::uint8_t grey;
        bool identity;
    };
    const Case cases[] = {{1, 1, 0xFF, false}, {4, 1, 0x11, false}, {4, 15, 0xFF, false}, {8, 200, 200, true}};
    for (const Case& c : cases) {
        CRasterImage image(1, 1, c.bpp, kRasterBmp);
        image.SetGreyRamp();
        EXPECT_EQ(Rgb(image.GetPaletteEntry(c.index)), c.grey * 0x010101u) << c.bpp;
        EXPECT_EQ(image.HasIdentityGreyPalette(), c.identity) << c.bpp;
    }
    CRasterImage rgb(1, 1, 24, kRasterBmp);
    EXPECT_FALSE(rgb.HasIdentityGreyPalette());
}

TEST(RasterPalette, StandardTables) {
    CRasterImage four(1, 1, 4, kRasterBmp);
    four.SetStandardPalette();
    EXPECT_EQ(Rgb(four.GetPaletteEntry(1)), 0x800000u);
    EXPECT_EQ(Rgb(four.GetPaletteEntry(7)), 0xC0C0C0u);
    EXPECT_EQ(Rgb(four.GetPaletteEntry(15)), 0xFFFFFFu);

    CRasterImage eight(1, 1, 8, kRasterBmp);
    eight.SetStandardPalette();
    struct Entry {
        std::uint32_t index, rgb;
    };
    const Entry entries[] = {{0, 0x000000},   {9, 0xA6CAF0},   {10, 0xFFF0D4},  {15, 0xFFAA25},
                             {16, 0xFFAA00},  {21, 0x503200},  {22, 0xFFE3D4},  {34, 0xFFD4D4},
                             {40, 0xFE0000},  {45, 0x500000},  {112, 0x0000FE}, {118, 0xD4E3FF}, {225, 0x505000},
                             {226, 0xF2F2F2}, {245, 0x0E0E0E}, {246, 0xFFFBF0}, {255, 0xFFFFFF}};
    for (const Entry& e : entries) EXPECT_EQ(Rgb(eight.GetPaletteEntry(e.index)), e.rgb) << e.index;
    for (std::uint32_t i = 0; i < 256; ++i) EXPECT_EQ(eight.GetPaletteEntry(i).rgbReserved, 0) << i;
}

TEST(RasterPalette, EntriesArraysTriplesAndQuads) {
    CRasterImage image(2, 1, 4, kRasterBmp);
    EXPECT_EQ(Rgb(image.GetPaletteEntry(16)), 0u);   // beyond the table
    image.SetPaletteEntry(256 + 2, 1, 2, 3);          // index taken modulo 256
    EXPECT_EQ(Rgb(image.GetPaletteEntry(2)), 0x010203u);
    std::uint8_t r = 0, g = 0, b = 0;
    ASSERT_TRUE(image.GetPaletteRgb(2, &r, &g, &b));
    EXPECT_EQ(r * 0x10000u + g * 0x100u + b, 0x010203u);

    const std::uint8_t reds[20] = {9, 8, 7};
    image.SetPaletteArrays(20, reds, nullptr, nullptr);  // greens and blues fall back to reds
    EXPECT_EQ(Rgb(image.GetPaletteEntry(1)), 0x080808u);
    const std::uint8_t triples[6] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    image.SetPaletteTriples(triples, 2);
    EXPECT_EQ(Rgb(image.GetPaletteEntry(1)), 0x445566u);
    RGBQUAD quads[300] = {};
    quads[15] = {1, 1, 1, 1};
    image.SetPaletteQuads(quads, 300);  // only the 16 entries the table holds
    EXPECT_EQ(image.GetPaletteEntry(15).rgbReserved, 1);
    EXPECT_TRUE(image.PaletteHasAlpha());

    CRasterImage rgb(1, 1, 24, kRasterBmp);
    EXPECT_FALSE(rgb.GetPaletteRgb(0, &r, &g, &b));
    EXPECT_EQ(rgb.PaletteData(), nullptr);
}

TEST(RasterPalette, SwappingIndicesRewritesThePixels) {
    CRasterImage image(3, 1, 4, kRasterBmp);
    image.SetStandardPalette();
    image.SetIndexAt(0, 0, 1);
    image.SetIndexAt(1, 0, 2);
    image.SetIndexAt(2, 0, 3);
    image.SwapPaletteIndices(1, 2);
    EXPECT_EQ(image.GetIndexAt(0, 0), 2);
    EXPECT_EQ(image.GetIndexAt(1, 0), 1);
    EXPECT_EQ(image.GetIndexAt(2, 0), 3);
    EXPECT_EQ(Rgb(image.GetPaletteEntry(1)), 0x008000u);
    EXPECT_EQ(Rgb(image.GetColorAt(0, 0, false)), 0x800000u);  // the picture looks the same
}

TEST(RasterPalette, ImportantColoursByDepth) {
    struct Case {
        std::uint32_t bpp, count, important;
    };
    const Case cases[] = {{1, 5, 2}, {4, 20, 16}, {8, 200, 200}, {8, 0, 0}, {8, 300, 0}, {24, 5, 0}};
    for (const Case& c : cases) {
        CRasterImage image(1, 1, c.bpp, kRasterBmp);
        image.SetImportantColors(c.count);
        EXPECT_EQ(image.Header.biClrImportant, c.important) << c.bpp << "/" << c.count;
    }
}

TEST(RasterPalette, RedBlueSwapAndColorRefs) {
    CRasterImage rgb(2, 1, 24, kRasterBmp);  // rows of 8 bytes
    std::uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    rgb.SwapRedBlue(bytes, 10);
    const std::uint8_t swapped[10] = {3, 2, 1, 6, 5, 4, 9, 8, 7, 10};
    EXPECT_EQ(std::memcmp(bytes, swapped, 10), 0);
    CRasterImage indexed(2, 1, 8, kRasterBmp);
    indexed.SwapRedBlue(bytes, 10);
    EXPECT_EQ(bytes[0], 3);
    const RGBQUAD q = CRasterImage::ColorRefToQuad(0xFF112233);
    EXPECT_EQ(q.rgbRed, 0x33);
    EXPECT_EQ(q.rgbGreen, 0x22);
    EXPECT_EQ(q.rgbBlue, 0x11);
    EXPECT_EQ(q.rgbReserved, 0);
}

}  // namespace
