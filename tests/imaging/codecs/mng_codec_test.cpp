// The MNG codec: frames of animations, the background it reports, the
// single-image writer and damaged or hostile streams.
#include "codec_memory.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>

namespace {

std::uint32_t Big32(const std::uint8_t* p) { return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// The inflated bytes of every IDAT chunk of a PNG datastream.
Bytes InflatedIdat(const Bytes& png) {
    Bytes packed;
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const std::uint32_t length = Big32(&png[pos]);
        if (std::memcmp(&png[pos + 4], "IDAT", 4) == 0) packed.insert(packed.end(), &png[pos + 8], &png[pos + 8] + length);
        pos += 12 + length;
    }
    Bytes raw(1 << 16);
    uLongf size = raw.size();
    if (uncompress(raw.data(), &size, packed.data(), packed.size()) != Z_OK) return {};
    raw.resize(size);
    return raw;
}

TEST(MngCodec, FramesOfAnAnimation) {
    const Bytes mng = ReadFixture("mng/three_frames.mng");
    ASSERT_FALSE(mng.empty());
    // Each frame shows its coloured band three pixels further right.
    const std::uint32_t bands[3] = {0xD02010, 0x10A040, 0x2030C0};
    for (std::int32_t frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        CRasterImage image;
        image.SetFrame(frame);
        ASSERT_TRUE(DecodeFromMemory(image, mng, kRasterMng)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetNumFrames(), 3);
        EXPECT_EQ(image.GetBpp(), 24);
        const RGBQUAD band = image.GetColorAt(3 * frame + 1, 3, false);
        EXPECT_EQ(band.rgbRed << 16 | band.rgbGreen << 8 | band.rgbBlue, bands[frame]);
    }
    CRasterImage single;
    ASSERT_TRUE(DecodeFromMemory(single, ReadFixture("mng/single.mng"), kRasterMng));
    EXPECT_EQ(single.GetNumFrames(), 1);
}

TEST(MngCodec, FrameBeyondTheLastIsRefusedWithTheCount) {
    CRasterImage image;
    image.SetFrame(5);
    EXPECT_FALSE(DecodeFromMemory(image, ReadFixture("mng/three_frames_looped.mng"), kRasterMng));
    EXPECT_STREQ(image.GetLastErrorText(), "Error: frame not present in MNG file");
    EXPECT_EQ(image.GetNumFrames(), 3);
    EXPECT_FALSE(image.IsValid());
}

TEST(MngCodec, ReportsItsBackgroundAsTransparent) {
    CRasterImage image;
    ASSERT_TRUE(DecodeFromMemory(image, ReadFixture("mng/single.mng"), kRasterMng));
    EXPECT_EQ(image.GetTransparentIndex(), 0);
    const RGBQUAD background = image.Info.TransparentColor;
    EXPECT_EQ(background.rgbRed + background.rgbGreen + background.rgbBlue, 3 * 255);
}

TEST(MngCodec, WritesOneImageAsAPngDatastream) {
    CRasterImage image(5, 4, 24, kRasterBmp);
    FillPattern(image);
    const Bytes png = EncodeToMemory(image, kRasterMng);
    ASSERT_FALSE(png.empty()) << image.GetLastErrorText();
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_EQ(std::memcmp(png.data(), kSignature, 8), 0);
    // Rows of a filter byte and 3 x 5 bytes, red first.
    const Bytes raw = InflatedIdat(png);
    ASSERT_EQ(raw.size(), 4u * 16);
    const RGBQUAD top = image.GetColorAt(0, 3, false);
    EXPECT_EQ(raw[0], 0);
    EXPECT_EQ(raw[1], top.rgbRed);
    EXPECT_EQ(raw[3], top.rgbBlue);
    for (const std::uint32_t formatId : {kRasterMng, kRasterPng}) {
        CRasterImage back;
        ASSERT_TRUE(DecodeFromMemory(back, png, formatId)) << back.GetLastErrorText();
        for (std::uint32_t y = 0; y < 4; ++y) {
            for (std::uint32_t x = 0; x < 5; ++x) {
                EXPECT_EQ(std::memcmp(back.RgbAddressAt(x, y), image.RgbAddressAt(x, y), 3), 0) << x << "," << y;
            }
        }
    }
}

TEST(MngCodec, IncompressiblePicturesAreWritten) {
    // Noise deflates to more bytes than it has: the output buffer must allow for that.
    CRasterImage image(64, 64, 24, kRasterBmp);
    std::mt19937 random(7);
    for (std::uint32_t i = 0; i < image.Header.biSizeImage; ++i) image.GetPixels()[i] = static_cast<std::uint8_t>(random());
    const Bytes png = EncodeToMemory(image, kRasterMng);
    ASSERT_FALSE(png.empty()) << image.GetLastErrorText();
    CRasterImage back;
    ASSERT_TRUE(DecodeFromMemory(back, png, kRasterMng));
    EXPECT_EQ(std::memcmp(back.GetPixels(), image.GetPixels(), image.Header.biSizeImage), 0);
}

TEST(MngCodec, RefusesWhatItCannotWrite) {
    CRasterImage palette(4, 4, 8, kRasterBmp);
    EXPECT_TRUE(EncodeToMemory(palette, kRasterMng).empty());
    EXPECT_STREQ(palette.GetLastErrorText(), "MNG encoder can save only RGB images");
    CRasterImage empty;
    EXPECT_TRUE(EncodeToMemory(empty, kRasterMng).empty());
    EXPECT_STREQ(empty.GetLastErrorText(), "null image!!!");
}

TEST(MngCodec, DamagedAndHostileStreams) {
    const Bytes mng = ReadFixture("mng/three_frames.mng");
    ASSERT_FALSE(mng.empty());
    // Every cut ends: before the header with an error text, after it with
    // the frames drawn so far.
    for (std::size_t length = 0; length < mng.size(); length += 7) {
        CRasterImage image;
        const bool decoded = DecodeFromMemory(image, Bytes(mng.begin(), mng.begin() + length), kRasterMng);
        if (!decoded) {
            EXPECT_STRNE(image.GetLastErrorText(), "") << length;
        }
    }
    // A header naming a canvas beyond the image limit is refused before anything is allocated.
    Bytes huge = mng;
    const std::uint8_t big[8] = {0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF};
    std::memcpy(&huge[16], big, 8);
    const uLong crc = crc32(0, &huge[12], 4 + 28);
    for (int i = 0; i < 4; ++i) huge[12 + 4 + 28 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    CRasterImage image;
    EXPECT_FALSE(DecodeFromMemory(image, huge, kRasterMng));
    EXPECT_STREQ(image.GetLastErrorText(), "CRasterImageMNG::Decode cannot create image");

    // TERM chunks asking for 2^31-1 repeats: replayed, the first leaves a row
    // buffer behind and the second, whose animation is empty, never returns.
    for (const char* name : {"mng/repeat_then_image.mng", "mng/repeat_empty_animation.mng"}) {
        CRasterImage repeated;
        DecodeFromMemory(repeated, ReadFixture(name), kRasterMng);
    }
}

TEST(MngCodec, JngThroughTheSameClass) {
    CRasterImage image;
    ASSERT_TRUE(DecodeFromMemory(image, ReadFixture("jng/plain.jng"), kRasterUnknown)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetFormatId(), std::uint32_t{kRasterMng});
    EXPECT_EQ(image.GetWidth(), 9u);
    EXPECT_EQ(image.GetHeight(), 7u);
}

}  // namespace
