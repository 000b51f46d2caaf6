// The raster image record: creation with its depth and size limits, defaults
// and options, copies, take-overs and ghosts that own nothing, and format
// dispatch that refuses unknown or unavailable formats with a reason.
#include "imaging/raster_formats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(RasterImageCreate, RoundsTheDepthAndSizesTheBlock) {
    struct Case {
        std::uint32_t width, height, bpp;
        unsigned short bits;
        std::uint32_t colours, rowBytes;
    };
    const Case cases[] = {{9, 2, 1, 1, 2, 4},   {9, 2, 2, 4, 16, 8},  {9, 2, 5, 8, 256, 12},
                          {9, 2, 8, 8, 256, 12}, {9, 2, 16, 24, 0, 28}, {9, 2, 32, 24, 0, 28},
                          {1, 1, 0, 1, 2, 4}};
    for (const Case& c : cases) {
        CRasterImage image(c.width, c.height, c.bpp, kRasterPng);
        ASSERT_TRUE(image.IsValid()) << c.bpp;
        EXPECT_EQ(image.GetBpp(), c.bits) << c.bpp;
        EXPECT_EQ(image.GetPaletteCount(), c.colours) << c.bpp;
        EXPECT_EQ(image.GetRowBytes(), c.rowBytes) << c.bpp;
        EXPECT_EQ(image.Header.biSizeImage, c.rowBytes * c.height) << c.bpp;
        EXPECT_EQ(image.GetDIBSize(), 40 + 4 * c.colours + c.rowBytes * c.height) << c.bpp;
        EXPECT_EQ(image.GetFormatId(), kRasterPng);
        EXPECT_EQ(std::memcmp(image.GetDIB(), &image.Header, 40), 0);
        EXPECT_EQ(image.GetPixels(0), image.Dib + 40 + 4 * c.colours);
        if (c.height > 1) {
            EXPECT_EQ(image.GetPixels(1), image.GetPixels(0) + c.rowBytes);
        }
        EXPECT_EQ(image.GetPixels(c.height), nullptr);
        for (std::uint32_t i = 0; i < c.colours; ++i) EXPECT_EQ(image.GetPaletteEntry(i).rgbRed, 0);
    }
}

TEST(RasterImageCreate, RefusesEmptyAndOversizedPictures) {
    struct Case {
        std::uint32_t width, height, bpp;
        const char* error;
    };
    const Case cases[] = {
        {0, 10, 8, "CRasterImage::Create : width and height must be greater than zero"},
        {10, 0, 8, "CRasterImage::Create : width and height must be greater than zero"},
        // width x height x bpp / 256 above 256,000,000, also where the product overflows 32 bits
        {100000, 100000, 24, "RASTER_MAX_MEMORY exceeded"},
        {4000000000u, 4000000000u, 1, "RASTER_MAX_MEMORY exceeded"},
        // within the memory limit, but the pixel data would not fit the header's 32-bit size
        {40000, 40000, 24, "CRasterImage::Create can't allocate memory"},
        {3000000000u, 1, 1, "CRasterImage::Create can't allocate memory"},
    };
    for (const Case& c : cases) {
        CRasterImage image(4, 4, 8, kRasterBmp);
        ASSERT_TRUE(image.IsValid());
        EXPECT_EQ(image.Create(c.width, c.height, c.bpp, kRasterBmp), nullptr) << c.width << "x" << c.height;
        EXPECT_STREQ(image.GetLastErrorText(), c.error) << c.width << "x" << c.height;
        EXPECT_FALSE(image.IsValid());  // the previous picture went first
    }
}

TEST(RasterImage, StartsWithItsDefaults) {
    CRasterImage image(kRasterGif);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetFormatId(), kRasterGif);
    EXPECT_EQ(image.GetJpegQuality(), 90);
    EXPECT_EQ(image.Info.AlphaMax, 255);
    EXPECT_EQ(image.GetTransparentIndex(), -1);
    EXPECT_FALSE(image.HasTransparency());
    EXPECT_EQ(image.GetDpiX(), 96);
    EXPECT_EQ(image.Header.biXPelsPerMeter, 3780);
    EXPECT_EQ(image.GetPixels(0), nullptr);
    EXPECT_EQ(image.GetColorKind(), 1);
}

TEST(RasterImage, DpiAndFormatOptions) {
    CRasterImage image(2, 2, 24, kRasterTga);
    image.SetDpiX(0);
    EXPECT_EQ(image.GetDpiX(), 96);
    EXPECT_EQ(image.Header.biXPelsPerMeter, 3780);
    image.SetDpiY(300);
    EXPECT_EQ(image.Header.biYPelsPerMeter, 11811);
    image.Create(3, 3, 8, kRasterTga);
    EXPECT_EQ(image.Header.biYPelsPerMeter, 11811);  // the resolution survives re-creation
    image.SetDpiX(2000000000);  // from a file: the pixels per metre are clamped, not overflowed
    EXPECT_EQ(image.Header.biXPelsPerMeter, 2147483647);
    image.SetDpiX(300);

    EXPECT_TRUE(image.SetFormatOption(7, 0));  // 0 means the image's own format
    EXPECT_EQ(image.GetFormatOption(kRasterTga), 7u);
    EXPECT_TRUE(image.SetFormatOption(3, kRasterRas));
    EXPECT_EQ(image.GetFormatOption(0), 7u);
    EXPECT_EQ(image.GetFormatOption(kRasterRas), 3u);
    EXPECT_FALSE(image.SetFormatOption(1, 17));
    EXPECT_EQ(image.GetFormatOption(17), 0u);
}

TEST(RasterImage, FreeKeepsTheHeaderAndTheRecord) {
    CRasterImage image(7, 5, 4, kRasterPcx);
    image.CreateAlphaPlane();
    EXPECT_EQ(image.GetColorKind(), 4);
    EXPECT_TRUE(image.FreeImageData());
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.HasAlphaPlane());
    EXPECT_EQ(image.GetWidth(), 7u);
    EXPECT_EQ(image.GetHeight(), 5u);
}

TEST(RasterImage, CopyTakesPixelsOrOnlyTheTableAndThePlanesAsAsked) {
    CRasterImage source(3, 2, 8, kRasterGif);
    source.SetGreyRamp();
    source.FillPixels(77);
    source.CreateAlphaPlane();
    source.SetAlphaAt(1, 1, 9);
    source.SetDpiX(200);
    source.Info.FrameCount = 4;

    CRasterImage whole(source, true, false, true);
    ASSERT_TRUE(whole.IsValid());
    EXPECT_EQ(std::memcmp(whole.GetDIB(), source.GetDIB(), source.GetDIBSize()), 0);
    EXPECT_EQ(whole.GetAlphaAt(1, 1), 9);
    EXPECT_EQ(whole.GetNumFrames(), 4);
    EXPECT_EQ(whole.GetDpiX(), 200);
    EXPECT_EQ(whole.Header.biXPelsPerMeter, source.Header.biXPelsPerMeter);
    EXPECT_NE(whole.Alpha, source.Alpha);

    CRasterImage tableOnly(source, false, false, false);
    EXPECT_EQ(tableOnly.GetPaletteEntry(200).rgbGreen, 200);
    EXPECT_EQ(tableOnly.GetIndexAt(0, 0), 0);
    EXPECT_FALSE(tableOnly.HasAlphaPlane());
}

TEST(RasterImage, TakeOverMovesThePictureAndEmptiesTheSource) {
    CRasterImage source(4, 4, 24, kRasterJpeg);
    std::uint8_t* block = source.Dib;
    CRasterImage target(2, 2, 1, kRasterBmp);
    ASSERT_TRUE(target.TakeOver(source));
    EXPECT_EQ(target.Dib, block);
    EXPECT_EQ(target.GetWidth(), 4u);
    EXPECT_EQ(target.GetFormatId(), kRasterJpeg);
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(source.GetWidth(), 0u);
}

TEST(RasterImage, AGhostOwnsNothing) {
    CRasterImage owner(4, 4, 8, kRasterBmp);
    {
        CRasterImage ghost;
        ghost.MakeGhostOf(owner);
        EXPECT_EQ(ghost.GetDIB(), owner.GetDIB());
        EXPECT_FALSE(ghost.FreeImageData());
        EXPECT_EQ(ghost.Create(2, 2, 8, kRasterBmp), nullptr);
        CRasterImage other(1, 1, 1, kRasterBmp);
        EXPECT_FALSE(ghost.TakeOver(other));
    }
    EXPECT_TRUE(owner.IsValid());
    owner.FillPixels(3);  // still the owner's, untouched by the ghost's end
    EXPECT_EQ(owner.GetIndexAt(3, 3), 3);
}

TEST(RasterImage, CheckEncodeTargetRefusesWithAReason) {
    CRasterMemStream stream;
    CRasterImage empty;
    EXPECT_TRUE(empty.CheckEncodeTarget(nullptr));
    EXPECT_STREQ(empty.GetLastErrorText(), "null file handler");
    EXPECT_TRUE(empty.CheckEncodeTarget(&stream));
    EXPECT_STREQ(empty.GetLastErrorText(), "null image!!!");
    CRasterImage picture(1, 1, 24, kRasterBmp);
    EXPECT_FALSE(picture.CheckEncodeTarget(&stream));
}

TEST(RasterImageDispatch, UnknownIdentifiersAreRefusedWithoutReading) {
    const std::uint8_t bytes[] = {'B', 'M', 0, 0};
    CRasterMemStream stream(bytes, sizeof bytes);
    CRasterImage image(2, 2, 8, kRasterBmp);
    EXPECT_FALSE(image.Decode(&stream, 17));
    EXPECT_STREQ(image.GetLastErrorText(), "Decode: Unknown or wrong format");
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_TRUE(image.IsValid());
    for (std::uint32_t id : {0u, 17u}) {
        EXPECT_FALSE(image.Encode(&stream, id));
        EXPECT_STREQ(image.GetLastErrorText(), "Encode: Unknown format");
    }
}

TEST(RasterImageDispatch, FormatsWithoutACodecAnswerNotAvailable) {
    for (std::uint32_t id = 1; id < kRasterFormatCount; ++id) {
        if (FindRasterFormat(id)) continue;
        const std::uint8_t bytes[] = {1, 2, 3};
        CRasterMemStream stream(bytes, sizeof bytes);
        CRasterImage image(1, 1, 24, kRasterBmp);
        EXPECT_FALSE(image.Decode(&stream, id));
        EXPECT_EQ(std::string(image.GetLastErrorText()),
                  std::string("Decode: ") + RasterFormatName(id) + " format not available");
        EXPECT_EQ(stream.Tell(), 0);
        EXPECT_TRUE(image.IsValid());
        EXPECT_FALSE(image.Encode(&stream, id));
        EXPECT_EQ(std::string(image.GetLastErrorText()),
                  std::string("Encode: ") + RasterFormatName(id) + " format not available");
    }
}

TEST(RasterImageDispatch, BytesNoCodecTakesAreAnUnknownFormatAndTheStreamIsRewound) {
    const std::uint8_t bytes[] = "plain text, no picture";
    CRasterMemStream stream(bytes, sizeof bytes);
    ASSERT_TRUE(stream.Seek(3, SEEK_SET));
    CRasterImage image;
    EXPECT_FALSE(image.Decode(&stream, kRasterUnknown));
    EXPECT_STREQ(image.GetLastErrorText(), "Decode: Unknown or wrong format");
    EXPECT_EQ(stream.Tell(), 3);
}

}  // namespace
