// The JPEG codec: decoding options, resolution, failures, and encoding with
// its options and the EXIF it keeps.
#include "codec_memory.h"
#include "exif_bytes.h"
#include "imaging/jpeg/jpeg_image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

Bytes EncodedPattern(std::uint32_t width = 32, std::uint32_t height = 24, std::uint8_t quality = 95) {
    CRasterImage image(width, height, 24, kRasterBmp);
    FillPattern(image);
    image.SetJpegQuality(quality);
    return EncodeToMemory(image, kRasterJpeg);
}

TEST(JpegDecode, RoundTripKeepsOrientationAndColours) {
    CRasterImage image(16, 8, 24, kRasterBmp);
    image.FillPixels(0);
    for (std::uint32_t x = 0; x < 8; ++x) {
        for (std::uint32_t y = 0; y < 8; ++y) image.SetColorAt(x, y, RGBQUAD{0, 0, 255, 0}, false);  // red, bottom left
    }
    image.SetJpegQuality(100);
    const Bytes jpeg = EncodeToMemory(image, kRasterJpeg);
    CRasterImage decoded;
    ASSERT_TRUE(DecodeFromMemory(decoded, jpeg, kRasterJpeg)) << decoded.GetLastErrorText();
    ASSERT_EQ(decoded.GetBpp(), 24);
    const RGBQUAD red = decoded.GetColorAt(2, 2, false), black = decoded.GetColorAt(13, 2, false);
    EXPECT_GT(red.rgbRed, 240);
    EXPECT_LT(red.rgbBlue, 15);
    EXPECT_LT(black.rgbRed, 15);
}

TEST(JpegDecode, SizeOnlyScaleAndTruncation) {
    const Bytes jpeg = EncodedPattern(64, 48);
    const struct {
        const char* name;
        std::int32_t escape;
        std::uint8_t scale;
        std::uint32_t width, height;
        bool pixels;
    } cases[] = {
        {"full", 0, 0, 64, 48, true},
        {"size only", -1, 0, 64, 48, false},
        {"half", 0, 2, 32, 24, true},
        {"eighth", 0, 8, 8, 6, true},
    };
    for (const auto& c : cases) {
        CRasterImage image;
        image.Info.Escape = c.escape;
        image.Info.JpegScale = c.scale;
        EXPECT_TRUE(DecodeFromMemory(image, jpeg, kRasterJpeg)) << c.name;
        EXPECT_EQ(image.GetWidth(), c.width) << c.name;
        EXPECT_EQ(image.GetHeight(), c.height) << c.name;
        EXPECT_EQ(image.IsValid(), c.pixels) << c.name;
    }

    // A stream cut in its scan data decodes with what it has; an empty one fails.
    CRasterImage cut;
    EXPECT_TRUE(DecodeFromMemory(cut, Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), kRasterJpeg));
    EXPECT_EQ(cut.GetHeight(), 48u);
    CRasterImage empty;
    EXPECT_FALSE(DecodeFromMemory(empty, Bytes{}, kRasterJpeg));
    EXPECT_STREQ(empty.GetLastErrorText(), "Empty input file");
    CRasterImage notJpeg;
    EXPECT_FALSE(DecodeFromMemory(notJpeg, Bytes{'G', 'I', 'F', '8', '9', 'a'}, kRasterJpeg));
    EXPECT_STRNE(notJpeg.GetLastErrorText(), "");
    CRasterImage cancelled;
    cancelled.Info.Escape = 1;
    EXPECT_FALSE(DecodeFromMemory(cancelled, jpeg, kRasterJpeg));
}

TEST(JpegDecode, ResolutionFromJfifOrExif) {
    const Bytes jpeg = EncodedPattern();
    ASSERT_EQ(std::memcmp(&jpeg[6], "JFIF", 4), 0);
    const struct {
        std::uint8_t unit;
        std::uint16_t density;
        std::int32_t dpi;
    } jfif[] = {{2, 38, 97}, {1, 0, 96}, {0, 72, 72}, {1, 300, 300}};
    for (const auto& c : jfif) {
        Bytes patched = jpeg;
        patched[13] = c.unit;
        patched[14] = patched[16] = std::uint8_t(c.density >> 8);
        patched[15] = patched[17] = std::uint8_t(c.density);
        CRasterImage image;
        ASSERT_TRUE(DecodeFromMemory(image, patched, kRasterJpeg));
        EXPECT_EQ(image.GetDpiX(), c.dpi) << int(c.unit) << " " << c.density;
        EXPECT_EQ(image.GetDpiY(), c.dpi) << int(c.unit) << " " << c.density;
    }

    // EXIF in centimetres: 100 / (1 / 2.54) in single precision, truncated.
    const ExifBuilder b;
    Bytes withExif(jpeg.begin(), jpeg.begin() + 2);
    ExifBuilder::Append(withExif, ExifBuilder::App1(b.Tiff({{b.Rational(0x011A, 100, 1), b.Rational(0x011B, 100, 1),
                                                              b.Short(0x0128, 3)}})));
    withExif.insert(withExif.end(), jpeg.begin() + 2, jpeg.end());
    CRasterImage image;
    ASSERT_TRUE(DecodeFromMemory(image, withExif, kRasterJpeg));
    EXPECT_EQ(image.GetDpiX(), 254);
    EXPECT_EQ(image.GetDpiY(), 254);
}

TEST(JpegEncode, DepthsOptionsAndDensity) {
    CRasterImage colour(8, 8, 8, kRasterBmp);
    colour.SetStandardPalette();
    CRasterImage oneBit(8, 8, 1, kRasterBmp);
    oneBit.SetPaletteEntry(0, 0, 0, 0);
    oneBit.SetPaletteEntry(1, 1, 1, 1);  // an identity grey table, yet not one byte per pixel
    for (CRasterImage* refused : {&colour, &oneBit}) {
        FillPattern(*refused);
        EXPECT_TRUE(EncodeToMemory(*refused, kRasterJpeg).empty());
        EXPECT_STREQ(refused->GetLastErrorText(), "JPEG can save only RGB or GreyScale images");
    }

    CRasterImage grey(8, 8, 8, kRasterBmp);
    grey.SetGreyRamp();
    FillPattern(grey);
    const Bytes greyJpeg = EncodeToMemory(grey, kRasterJpeg);
    const std::uint8_t* frame = FindMarker(greyJpeg, 0xC0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame[9], 1);  // components

    const struct {
        std::uint32_t options;
        std::uint8_t frameMarker;
        int components;
    } cases[] = {
        {0, 0xC0, 3},
        {CRasterImageJPG::kEncodeProgressive, 0xC2, 3},
        {CRasterImageJPG::kEncodeArithmetic, 0xC9, 3},
        {CRasterImageJPG::kEncodeGreyscale, 0xC0, 1},
        {CRasterImageJPG::kEncodeOptimize | CRasterImageJPG::kEncodeBaseline, 0xC0, 3},
    };
    for (const auto& c : cases) {
        CRasterImage image(16, 16, 24, kRasterBmp);
        FillPattern(image);
        image.Info.FormatOptions[kRasterJpeg] = c.options;
        image.SetDpiX(70000);  // kept in 16 bits
        const Bytes jpeg = EncodeToMemory(image, kRasterJpeg);
        const std::uint8_t* sof = FindMarker(jpeg, c.frameMarker);
        ASSERT_NE(sof, nullptr) << c.options;
        EXPECT_EQ(sof[9], c.components) << c.options;
        EXPECT_EQ((jpeg[14] << 8) | jpeg[15], 70000 & 0xFFFF);
        CRasterImage back;
        EXPECT_TRUE(DecodeFromMemory(back, jpeg, kRasterJpeg)) << c.options << back.GetLastErrorText();
    }
}

TEST(JpegEncode, KeepsTheExifOfTheFileItDecoded) {
    const ExifBuilder b;
    const Bytes plain = EncodedPattern();
    Bytes withExif(plain.begin(), plain.begin() + 2);
    ExifBuilder::Append(withExif, ExifBuilder::App1(b.Tiff({{ExifBuilder::Text(0x010F, "Maker")}})));
    ExifBuilder::Append(withExif, Segment(0xFE, {'n', 'o', 't', 'e'}));
    withExif.insert(withExif.end(), plain.begin() + 2, plain.end());

    CRasterImageJPG jpeg;
    CRasterMemStream in(withExif.data(), static_cast<std::uint32_t>(withExif.size()));
    ASSERT_TRUE(jpeg.Decode(&in));
    EXPECT_TRUE(jpeg.ExifInfo.isExif);
    const Bytes again = EncodeWith([&](CRasterStream* out) { return jpeg.Encode(out); });
    ASSERT_FALSE(again.empty()) << jpeg.GetLastErrorText();
    EXPECT_EQ(again[3], 0xE1);  // the EXIF segment right after the start of image, no JFIF

    CRasterImageJPG reread;
    CRasterMemStream second(again.data(), static_cast<std::uint32_t>(again.size()));
    EXPECT_TRUE(reread.ReadExif(&second));
    EXPECT_STREQ(reread.ExifInfo.cameraMake, "Maker");
    EXPECT_STREQ(reread.ExifInfo.comments, "note");
    CRasterImage pixels;
    EXPECT_TRUE(DecodeFromMemory(pixels, again, kRasterJpeg));

    // The image object's own Encode writes through a fresh codec: JFIF, no EXIF.
    CRasterImage image;
    ASSERT_TRUE(DecodeFromMemory(image, withExif, kRasterJpeg));
    const Bytes fresh = EncodeToMemory(image, kRasterJpeg);
    EXPECT_EQ(fresh[3], 0xE0);
    EXPECT_EQ(FindMarker(fresh, 0xE1), nullptr);
}

}  // namespace
