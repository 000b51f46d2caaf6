// The PNG codec: every depth through the encoder and back, transparency,
// interlacing, the written palette's length, resolution and failures.
#include "codec_memory.h"
#include "imaging/png/png_image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The length of the first chunk of the given kind, or -1.
long ChunkLength(const Bytes& png, const char* kind) {
    for (std::size_t pos = 8; pos + 8 <= png.size();) {
        const std::uint32_t length = (png[pos] << 24) | (png[pos + 1] << 16) | (png[pos + 2] << 8) | png[pos + 3];
        if (std::memcmp(&png[pos + 4], kind, 4) == 0) return long(length);
        pos += 12 + length;
    }
    return -1;
}

void ExpectSamePixels(const CRasterImage& a, const CRasterImage& b) {
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    for (std::uint32_t y = 0; y < a.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < a.GetWidth(); ++x) {
            const RGBQUAD p = a.GetColorAt(x, y, false), q = b.GetColorAt(x, y, false);
            ASSERT_TRUE(p.rgbRed == q.rgbRed && p.rgbGreen == q.rgbGreen && p.rgbBlue == q.rgbBlue) << x << "," << y;
            ASSERT_EQ(a.HasAlphaPlane() ? a.GetAlphaAt(x, y) : 255, b.HasAlphaPlane() ? b.GetAlphaAt(x, y) : 255);
        }
    }
}

TEST(PngCodec, EveryDepthRoundTrips) {
    const struct {
        std::uint32_t bpp;
        bool alpha, interlaced;
    } cases[] = {{1, false, false}, {4, false, false}, {8, false, false}, {8, false, true},
                 {24, false, false}, {24, true, false}, {24, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << (c.alpha ? " alpha" : "") << (c.interlaced ? " interlaced" : ""));
        CRasterImage image(19, 11, c.bpp, kRasterBmp);
        if (c.bpp <= 8) image.SetStandardPalette();
        FillPattern(image);
        if (c.alpha) {
            image.CreateAlphaPlane();
            for (std::uint32_t x = 0; x < 19; ++x) image.SetAlphaAt(x, 5, std::uint8_t(x * 13));
        }
        image.Info.FormatOptions[kRasterPng] = c.interlaced ? 1 : 0;
        image.SetDpiX(300);
        image.SetDpiY(72);
        const Bytes png = EncodeToMemory(image, kRasterPng);
        ASSERT_FALSE(png.empty()) << image.GetLastErrorText();
        CRasterImage back;
        ASSERT_TRUE(DecodeFromMemory(back, png, kRasterPng)) << back.GetLastErrorText();
        EXPECT_EQ(back.GetBpp(), c.bpp);
        EXPECT_EQ(back.GetFormatOption(kRasterPng), c.interlaced ? 1u : 0u);
        EXPECT_EQ(back.GetDpiX(), 300);
        EXPECT_EQ(back.GetDpiY(), 72);
        ExpectSamePixels(image, back);
    }
}

TEST(PngCodec, TransparencyAndPaletteLength) {
    // A transparent index other than 0 is swapped to 0 in the palette and the
    // pixels, written as one tRNS entry, and read back as index 0.
    CRasterImage image(100, 100, 8, kRasterBmp);
    image.SetStandardPalette();
    for (std::uint32_t y = 0; y < 100; ++y) {
        for (std::uint32_t x = 0; x < 100; ++x) image.SetIndexAt(x, y, std::uint8_t((x + y) % 10));
    }
    image.SetTransparentIndex(7);
    const RGBQUAD seven = image.GetPaletteEntry(7);
    const Bytes png = EncodeToMemory(image, kRasterPng);
    EXPECT_EQ(ChunkLength(png, "PLTE"), 3 * 10);  // indexes 0 to 9 in use
    EXPECT_EQ(ChunkLength(png, "tRNS"), 1);
    EXPECT_EQ(image.GetTransparentIndex(), 0);  // the caller's image follows the swap
    CRasterImage back;
    ASSERT_TRUE(DecodeFromMemory(back, png, kRasterPng));
    EXPECT_EQ(back.GetTransparentIndex(), 0);
    EXPECT_FALSE(back.Info.AlphaPaletteEnabled);
    EXPECT_EQ(back.GetPaletteEntry(0).rgbRed, seven.rgbRed);
    ExpectSamePixels(image, back);

    CRasterImage large(300, 300, 8, kRasterBmp);
    large.SetStandardPalette();
    large.FillPixels(3);
    EXPECT_EQ(ChunkLength(EncodeToMemory(large, kRasterPng), "PLTE"), 3 * 256);

    // A transparent colour of a true-colour image becomes alpha 0 for that colour only.
    CRasterImage keyed(4, 1, 24, kRasterBmp);
    keyed.FillPixels(0);
    keyed.SetColorAt(2, 0, RGBQUAD{1, 2, 3, 0}, false);
    keyed.SetTransparentIndex(0);
    keyed.SetTransparentColor(RGBQUAD{1, 2, 3, 0});
    CRasterImage keyedBack;
    ASSERT_TRUE(DecodeFromMemory(keyedBack, EncodeToMemory(keyed, kRasterPng), kRasterPng));
    ASSERT_TRUE(keyedBack.HasAlphaPlane());
    EXPECT_EQ(keyedBack.GetAlphaAt(2, 0), 0);
    EXPECT_EQ(keyedBack.GetAlphaAt(1, 0), 255);
    EXPECT_FALSE(keyed.HasAlphaPlane());
}

TEST(PngCodec, Failures) {
    CRasterImage image(8, 8, 24, kRasterBmp);
    FillPattern(image);
    const Bytes png = EncodeToMemory(image, kRasterPng);
    CRasterImage cut;
    EXPECT_FALSE(DecodeFromMemory(cut, Bytes(png.begin(), png.begin() + png.size() - 20), kRasterPng));
    EXPECT_STREQ(cut.GetLastErrorText(), "Read Error");
    CRasterImage notPng;
    EXPECT_FALSE(DecodeFromMemory(notPng, Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'}, kRasterPng));
    EXPECT_STRNE(notPng.GetLastErrorText(), "");
    CRasterImage cancelled;
    cancelled.Info.Escape = 1;
    cancelled.SetLastError("before");
    EXPECT_FALSE(DecodeFromMemory(cancelled, png, kRasterPng));
    EXPECT_STREQ(cancelled.GetLastErrorText(), "before");
    CRasterImage empty;
    EXPECT_TRUE(EncodeToMemory(empty, kRasterPng).empty());
    EXPECT_STREQ(empty.GetLastErrorText(), "null image!!!");
}

}  // namespace
