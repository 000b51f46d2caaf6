// The JPEG-2000 family: every member through the encoder and back, member
// recognition, the component layouts (colour, alpha, frames, precisions,
// YCbCr), refusals, the size limit, hostile headers and two decodes at once.
#include "codec_memory.h"

#include <gtest/gtest.h>
#include <openjpeg.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>

namespace {

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool SameColours(const CRasterImage& a, const CRasterImage& b, int tolerance) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (std::uint32_t y = 0; y < a.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < a.GetWidth(); ++x) {
            const RGBQUAD p = a.GetColorAt(x, y, false), q = b.GetColorAt(x, y, false);
            if (std::abs(p.rgbRed - q.rgbRed) > tolerance || std::abs(p.rgbGreen - q.rgbGreen) > tolerance ||
                std::abs(p.rgbBlue - q.rgbBlue) > tolerance) {
                return false;
            }
        }
    }
    return true;
}

TEST(Jpeg2000Family, EveryMemberRoundTrips) {
    const struct {
        std::uint32_t formatId;
        bool grey;
    } cases[] = {{kRasterJp2, false}, {kRasterJp2, true}, {kRasterJpc, false}, {kRasterJpc, true},
                 {kRasterPgx, true},  {kRasterPnm, false}, {kRasterPnm, true},  {kRasterRas, false},
                 {kRasterRas, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << RasterFormatName(c.formatId) << (c.grey ? " grey" : " colour"));
        CRasterImage image(13, 7, c.grey ? 8 : 24, kRasterBmp);
        if (c.grey) image.SetGreyRamp();
        FillPattern(image);
        image.SetJpegQuality(100);  // lossless for the JPEG-2000 members
        const Bytes bytes = EncodeToMemory(image, c.formatId);
        ASSERT_FALSE(bytes.empty()) << image.GetLastErrorText();
        // The member is recognised by its bytes; asked with 0, the image names it.
        CRasterImage back;
        ASSERT_TRUE(DecodeFromMemory(back, bytes, kRasterUnknown)) << back.GetLastErrorText();
        EXPECT_EQ(back.GetFormatId(), c.formatId);
        EXPECT_EQ(back.GetBpp(), c.grey ? 8 : 24);
        EXPECT_TRUE(SameColours(image, back, 0));
        // Named as another member, the decode still reads it and keeps the name it was given.
        CRasterImage named;
        ASSERT_TRUE(DecodeFromMemory(named, bytes, kRasterRas));
        EXPECT_EQ(named.GetFormatId(), std::uint32_t{kRasterRas});
    }
}

TEST(Jpeg2000Family, QualitySetsTheCompressionRatio) {
    // Noise, so that the size comes from the rate and not from the content.
    CRasterImage image(64, 64, 24, kRasterBmp);
    std::mt19937 random(11);
    for (std::uint32_t i = 0; i < image.Header.biSizeImage; ++i) image.GetPixels()[i] = static_cast<std::uint8_t>(random());
    const std::size_t raw = 64 * 64 * 3;
    for (const std::uint8_t quality : {50, 10}) {
        SCOPED_TRACE(int(quality));
        image.SetJpegQuality(quality);
        const Bytes j2k = EncodeToMemory(image, kRasterJpc);
        ASSERT_FALSE(j2k.empty());
        // Quality q keeps about q per cent of the raw size; headers add a little.
        EXPECT_LE(j2k.size(), raw * quality / 100 + 200);
        EXPECT_GE(j2k.size(), raw * quality / 100 / 2);
        CRasterImage back;
        EXPECT_TRUE(DecodeFromMemory(back, j2k, kRasterJpc));
    }
}

TEST(Jpeg2000Family, EncodeRefusals) {
    CRasterImage colour(4, 4, 24, kRasterBmp);
    EXPECT_TRUE(EncodeToMemory(colour, kRasterPgx).empty());
    EXPECT_STREQ(colour.GetLastErrorText(), "PGX can save only GrayScale images");
    CRasterImage palette(4, 4, 8, kRasterBmp);
    palette.SetStandardPalette();
    EXPECT_TRUE(EncodeToMemory(palette, kRasterJp2).empty());
    EXPECT_STREQ(palette.GetLastErrorText(), "JasPer can save only RGB or GrayScale images");
}

// The layouts a decoded picture can have, from the fixtures other programs wrote.
TEST(Jpeg2000Family, ComponentLayouts) {
    const struct {
        const char* fixture;
        std::uint32_t bpp;
        std::int32_t frames;
        bool alpha;
    } cases[] = {
        {"jp2/rgb8.jp2", 24, 1, false},        {"jp2/rgb8.j2k", 24, 1, false},
        {"jp2/rgba.jp2", 24, 1, true},         {"jp2/two_components.j2k", 8, 2, false},
        {"jp2/grey12.j2k", 8, 1, false},       {"jp2/ycc420.j2k", 24, 1, false},
        {"pnm/bitmap.pbm", 1, 1, false},       {"pnm/maximum_100.pgm", 8, 1, false},
        {"ras/mapped.ras", 24, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        CRasterImage image;
        ASSERT_TRUE(DecodeFromMemory(image, ReadFixture(c.fixture), kRasterUnknown)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetNumFrames(), c.frames);
        EXPECT_EQ(image.HasAlphaPlane(), c.alpha);
    }
    // The second component of a two-component code stream is its second frame; there is no third.
    const Bytes two = ReadFixture("jp2/two_components.j2k");
    CRasterImage second;
    second.SetFrame(1);
    ASSERT_TRUE(DecodeFromMemory(second, two, kRasterJpc));
    EXPECT_TRUE(second.HasIdentityGreyPalette());
    CRasterImage third;
    third.SetFrame(2);
    EXPECT_FALSE(DecodeFromMemory(third, two, kRasterJpc));
    EXPECT_STREQ(third.GetLastErrorText(), "wrong frame!");
}

// Samples of other precisions than 1, 4 and 8 bits are scaled to 8 bits;
// signed ones are moved up by half their range first.
TEST(Jpeg2000Family, SamplePrecisions) {
    using namespace std::string_literals;
    const struct {
        std::string file;
        std::uint32_t bpp;
        std::uint8_t first, last;
    } cases[] = {
        {"P2\n3 1\n100\n0 50 100\n", 8, 0, 255},        // no power of two: 50 is 128
        {"P2\n3 1\n15\n0 7 15\n", 4, 0, 15},            // 4 bits stay indexes of the 16-step ramp
        {"P1\n3 1\n1 0 1\n", 1, 0, 0},                   // bitmaps: 1 is black
        {"P5\n2 1\n65535\n\x00\x00\xFF\xFF"s, 8, 0, 255},
        {"PG ML - 8 2 1\n\x80\x7F"s, 8, 0, 255},         // signed: -128 ... 127
        {"PG LM + 12 2 1\n\xFF\x0F\x00\x08"s, 8, 255, 128},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.substr(0, 8));
        CRasterImage image;
        ASSERT_TRUE(DecodeFromMemory(image, Text(c.file), kRasterUnknown)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetIndexAt(0, 0), c.first);
        EXPECT_EQ(image.GetIndexAt(image.GetWidth() - 1, 0), c.last);
    }
    CRasterImage middle;
    ASSERT_TRUE(DecodeFromMemory(middle, Text("P2\n3 1\n100\n0 50 100\n"), kRasterPnm));
    EXPECT_EQ(middle.GetIndexAt(1, 0), 128);
}

TEST(Jpeg2000Family, HostileHeaders) {
    const struct {
        std::string file;
        const char* error;
    } cases[] = {
        // Sizes beyond the limit are refused before anything is allocated.
        {"P5\n100000 100000\n255\n", "RASTER_MAX_MEMORY exceeded"},
        {"PG ML + 8 70000 70000\n", "RASTER_MAX_MEMORY exceeded"},
        {std::string("\x59\xA6\x6A\x95\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00\x18", 16) + std::string(16, '\0'),
         "RASTER_MAX_MEMORY exceeded"},
        // Data shorter than the header promises, numbers out of range, bad fields.
        {"P5\n4 4\n255\nabc", "error: cannot load image data"},
        {"P3\n1 1\n255\n1 2 300\n", "error: cannot load image data"},
        {"P2\n1 1\n0\n0\n", "error: cannot load image data"},
        {"P6\n99999999999 1\n255\n", "error: cannot load image data"},
        {"PG XY + 8 1 1\n\0", "error: cannot load image data"},
        {"PG ML + 40 1 1\n\0", "error: cannot load image data"},
        {std::string("\x59\xA6\x6A\x95\x00\x00\x00\x04\x00\x00\x00\x04\x00\x00\x00\x07", 16) + std::string(16, '\0'),
         "error: cannot load image data"},
        {std::string("\xFF\x4F\xFF\x51\x00\x00", 6), "error: cannot load image data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.substr(0, 12));
        CRasterImage image;
        EXPECT_FALSE(DecodeFromMemory(image, Text(c.file), kRasterPnm));
        EXPECT_STREQ(image.GetLastErrorText(), c.error);
    }
}

// Every cut of every fixture ends in a picture or a clear error.
TEST(Jpeg2000Family, TruncatedFiles) {
    for (const char* fixture : {"jp2/rgb8.jp2", "jp2/ycc420.j2k", "pnm/plain.ppm", "ras/mapped.ras"}) {
        const Bytes whole = ReadFixture(fixture);
        ASSERT_FALSE(whole.empty()) << fixture;
        for (std::size_t length = 0; length < whole.size(); length += 5) {
            CRasterImage image;
            if (!DecodeFromMemory(image, Bytes(whole.begin(), whole.begin() + length), kRasterJp2)) {
                EXPECT_STRNE(image.GetLastErrorText(), "") << fixture << " cut at " << length;
            }
        }
    }
}

TEST(Jpeg2000Family, TooManyComponents) {
    // A code stream of 65 one-pixel components, written with the library itself.
    std::vector<opj_image_cmptparm_t> parameters(65);
    for (auto& p : parameters) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = p.w = p.h = 1;
        p.prec = 8;
    }
    opj_image_t* picture = opj_image_create(65, parameters.data(), OPJ_CLRSPC_UNSPECIFIED);
    ASSERT_NE(picture, nullptr);
    picture->x1 = picture->y1 = 1;
    opj_cparameters_t options;
    opj_set_default_encoder_parameters(&options);
    options.numresolution = 1;
    const Bytes j2k = EncodeWith([&](CRasterStream* stream) {
        opj_codec_t* codec = opj_create_compress(OPJ_CODEC_J2K);
        opj_stream_t* out = opj_stream_create(1 << 16, OPJ_FALSE);
        opj_stream_set_user_data(out, stream, nullptr);
        opj_stream_set_write_function(out, [](void* buffer, OPJ_SIZE_T count, void* user) -> OPJ_SIZE_T {
            return static_cast<CRasterStream*>(user)->Write(buffer, 1, count);
        });
        const bool written = opj_setup_encoder(codec, &options, picture) && opj_start_compress(codec, picture, out) &&
                             opj_encode(codec, out) && opj_end_compress(codec, out);
        opj_stream_destroy(out);
        opj_destroy_codec(codec);
        return written;
    });
    opj_image_destroy(picture);
    ASSERT_FALSE(j2k.empty());
    CRasterImage image;
    EXPECT_FALSE(DecodeFromMemory(image, j2k, kRasterJpc));
    EXPECT_STREQ(image.GetLastErrorText(), "error: too much components");
}

TEST(Jpeg2000Family, TwoDecodesAtOnce) {
    CRasterImage source(48, 40, 24, kRasterBmp);
    FillPattern(source);
    source.SetJpegQuality(100);
    const Bytes jp2 = EncodeToMemory(source, kRasterJp2);
    ASSERT_FALSE(jp2.empty());
    bool same[2] = {true, true};
    auto decodeMany = [&](bool& ok) {
        for (int i = 0; i < 20; ++i) {
            CRasterImage image;
            ok = ok && DecodeFromMemory(image, jp2, kRasterJp2) && SameColours(image, source, 0);
        }
    };
    std::thread first(decodeMany, std::ref(same[0])), second(decodeMany, std::ref(same[1]));
    first.join();
    second.join();
    EXPECT_TRUE(same[0]);
    EXPECT_TRUE(same[1]);
}

}  // namespace
