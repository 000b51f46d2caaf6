// The GIF codec: sizes, frames composed onto the screen, interlacing,
// transparency and broken data when reading; every compressor, table clears,
// true-colour mosaics, the written extensions and write failures when writing.
#include "imaging/gif/gif_image.h"
#include "imaging/file_bytes.h"
#include "imaging/raster_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// GIF files built block by block. Image data sends a clear code before every
// pixel, so that no table entry is ever made: valid data for any decoder.
class GifBuilder {
public:
    GifBuilder(std::uint32_t width, std::uint32_t height, std::vector<std::uint32_t> global, const char* version = "GIF89a") {
        Out.assign(version, version + 6);
        Put16(Out, width);
        Put16(Out, height);
        Out.push_back(global.empty() ? 0 : static_cast<std::uint8_t>(0x80 | TableBits(global.size())));
        Out.push_back(0);
        Out.push_back(0);
        PutTable(global);
    }
    GifBuilder& Control(std::uint32_t disposal, int transparent = -1) {
        Out.insert(Out.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>(disposal << 2 | (transparent >= 0 ? 1 : 0)), 0, 0,
                               static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0), 0});
        return *this;
    }
    GifBuilder& Image(std::uint32_t left, std::uint32_t top, std::uint32_t width, std::uint32_t height,
                      const std::vector<std::uint8_t>& pixels, std::vector<std::uint32_t> local = {},
                      bool interlaced = false) {
        Out.push_back(0x2C);
        Put16(Out, left);
        Put16(Out, top);
        Put16(Out, width);
        Put16(Out, height);
        Out.push_back(static_cast<std::uint8_t>((local.empty() ? 0 : 0x80 | TableBits(local.size())) |
                                                (interlaced ? 0x40 : 0)));
        PutTable(local);
        const std::uint32_t codeSize = 4, clear = 1u << codeSize;
        Out.push_back(static_cast<std::uint8_t>(codeSize));
        Bytes data;
        std::uint32_t accumulator = 0, bits = 0;
        auto put = [&](std::uint32_t code) {
            accumulator |= code << bits;
            for (bits += codeSize + 1; bits >= 8; bits -= 8, accumulator >>= 8)
                data.push_back(static_cast<std::uint8_t>(accumulator));
        };
        for (std::uint8_t pixel : pixels) {
            put(clear);
            put(pixel);
        }
        put(clear + 1);
        if (bits) data.push_back(static_cast<std::uint8_t>(accumulator));
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t length = std::min<std::size_t>(255, data.size() - at);
            Out.push_back(static_cast<std::uint8_t>(length));
            Out.insert(Out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + length));
        }
        Out.push_back(0);
        return *this;
    }
    Bytes End() {
        Out.push_back(0x3B);
        return Out;
    }

private:
    static std::uint8_t TableBits(std::size_t entries) {
        std::uint8_t bits = 0;
        while ((2u << bits) < entries) ++bits;
        return bits;
    }
    void PutTable(const std::vector<std::uint32_t>& table) {
        if (table.empty()) return;
        const std::size_t entries = 2u << TableBits(table.size());
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint32_t rgb = i < table.size() ? table[i] : 0;
            Out.insert(Out.end(), {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                                   static_cast<std::uint8_t>(rgb)});
        }
    }
    Bytes Out;
};

// The colour at (x, y) counted from the top, as 0xRRGGBB.
std::uint32_t ColorAt(const CRasterImage& image, std::uint32_t x, std::uint32_t y) {
    return Rgb(image.GetColorAt(x, image.GetHeight() - 1 - y, false));
}

bool DecodeFrame(const Bytes& file, std::int32_t frame, CRasterImage& image) {
    image.SetFrame(frame);
    return image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), kRasterGif);
}

Bytes EncodeWith(CRasterImageGIF& gif) {
    CRasterMemStream stream;
    stream.Open();
    EXPECT_TRUE(gif.Encode(&stream)) << gif.GetLastErrorText();
    return Bytes(stream.Buffer, stream.Buffer + stream.Size());
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

TEST(GifDecode, SignatureAndSizeOnly) {
    const Bytes good = GifBuilder(3, 2, {kRed, kGreen}, "GIF87a").Image(0, 0, 3, 2, {0, 1, 0, 1, 0, 1}).End();
    CRasterImage image;
    ASSERT_TRUE(DecodeFrame(good, 0, image)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 1u);
    EXPECT_EQ(ColorAt(image, 1, 0), kGreen);
    Bytes wrong = good;
    wrong[3] = '9';
    CRasterImage refused;
    EXPECT_FALSE(DecodeFrame(wrong, 0, refused));
    CRasterImage size;
    size.Info.Escape = -1;
    ASSERT_TRUE(DecodeFrame(good, 0, size));
    EXPECT_EQ(size.GetWidth(), 3u);
    EXPECT_EQ(size.GetHeight(), 2u);
    EXPECT_FALSE(size.IsValid());
}

TEST(GifDecode, FrameIndexOutOfRange) {
    const Bytes two = GifBuilder(2, 2, {kRed, kGreen}).Image(0, 0, 2, 2, {0, 0, 0, 0}).Image(0, 0, 2, 2, {1, 1, 1, 1}).End();
    for (std::int32_t frame : {-1, 2, 3}) {
        CRasterImage image;
        EXPECT_FALSE(DecodeFrame(two, frame, image)) << frame;
        EXPECT_EQ(image.GetNumFrames(), 2);
    }
    CRasterImage second;
    ASSERT_TRUE(DecodeFrame(two, 1, second));
    EXPECT_EQ(ColorAt(second, 0, 0), kGreen);
}

TEST(GifDecode, InterlacedRowsComeInPassOrder) {
    // File row k holds colour index k; interlacing puts it on row kOrder[k].
    constexpr std::uint32_t kOrder[] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    std::vector<std::uint32_t> table;
    for (std::uint32_t i = 0; i < 16; ++i) table.push_back(i * 0x101010);
    std::vector<std::uint8_t> pixels;
    for (std::uint8_t row = 0; row < 10; ++row) pixels.insert(pixels.end(), 2, row);
    const Bytes file = GifBuilder(2, 10, table).Image(0, 0, 2, 10, pixels, {}, true).End();
    CRasterImage image;
    ASSERT_TRUE(DecodeFrame(file, 0, image));
    for (std::uint32_t k = 0; k < 10; ++k) EXPECT_EQ(ColorAt(image, 1, kOrder[k]), k * 0x101010) << k;
}

// Each case composes two or three frames on a one-row screen (4 pixels unless
// the case says) and looks at the last: what lies under transparent pixels and
// what each disposal leaves.
struct ComposeCase {
    const char* name;
    Bytes file;
    std::int32_t frame;
    std::vector<std::uint32_t> expected;  // the screen's colours, left to right
};

std::vector<ComposeCase> ComposeCases() {
    const std::vector<std::uint32_t> table = {kRed, kGreen, kBlue, kWhite};
    // More than 16 entries: the screen holds a byte a pixel.
    std::vector<std::uint32_t> wide;
    for (std::uint32_t i = 0; i < 20; ++i) wide.push_back(i * 0x0A0B0C);
    return {
        {"transparent pixels show the frame before",
         GifBuilder(4, 1, table).Image(0, 0, 4, 1, {1, 1, 1, 1}).Control(1, 3).Image(0, 0, 4, 1, {2, 3, 3, 2}).End(), 1,
         {kBlue, kGreen, kGreen, kBlue}},
        {"a control block speaks for the one image after it",
         GifBuilder(4, 1, table).Control(1, 3).Image(0, 0, 4, 1, {1, 1, 1, 1}).Image(0, 0, 4, 1, {3, 3, 0, 0}).End(),
         1, {kWhite, kWhite, kRed, kRed}},
        {"disposal 1 keeps the frame",
         GifBuilder(4, 1, table).Image(0, 0, 4, 1, {1, 1, 1, 1}).Control(1).Image(1, 0, 2, 1, {2, 2}).Image(3, 0, 1, 1, {0}).End(),
         2, {kGreen, kBlue, kBlue, kRed}},
        {"disposal 2 restores only the frame's area to the background",
         GifBuilder(4, 1, table).Control(0, 0).Image(0, 0, 4, 1, {1, 1, 1, 1}).Control(2).Image(1, 0, 2, 1, {2, 2})
             .Image(3, 0, 1, 1, {3}).End(),
         2, {kGreen, kRed, kRed, kWhite}},
        {"disposal 3 restores what lay under the frame",
         GifBuilder(4, 1, table).Image(0, 0, 4, 1, {1, 2, 1, 2}).Control(3).Image(0, 0, 2, 1, {0, 0})
             .Image(3, 0, 1, 1, {3}).End(),
         2, {kGreen, kBlue, kGreen, kWhite}},
        {"a frame with its own table does not recolour the others",
         GifBuilder(4, 1, table).Image(0, 0, 4, 1, {1, 1, 1, 1}).Image(2, 0, 2, 1, {0, 1}, {0x123456, 0x654321}).End(), 1,
         {kGreen, kGreen, 0x123456, 0x654321}},
        {"a local table serves its own image only",
         GifBuilder(4, 1, table).Image(0, 0, 2, 1, {0, 1}, {0x123456, 0x654321}).Image(2, 0, 2, 1, {0, 1}).End(), 1,
         {0x123456, 0x654321, kRed, kGreen}},
        {"an image beyond the screen is passed over",
         GifBuilder(4, 1, table).Image(0, 0, 4, 1, {1, 1, 1, 1}).Image(2, 0, 3, 1, {0, 0, 0}).Image(0, 0, 1, 1, {2}).End(),
         1, {kBlue, kGreen, kGreen, kGreen}},
        {"a screen of a byte a pixel",
         GifBuilder(4, 1, wide).Image(0, 0, 4, 1, {1, 2, 3, 4}).Control(1, 3).Image(2, 0, 2, 1, {15, 3}).End(), 1,
         {wide[1], wide[2], wide[15], wide[4]}},
        {"a screen of a bit a pixel, the frame across a byte's end",
         GifBuilder(9, 1, {kRed, kGreen}).Image(0, 0, 9, 1, {1, 0, 1, 0, 1, 0, 1, 0, 1}).Control(1, 0)
             .Image(6, 0, 3, 1, {0, 1, 1}).Image(1, 0, 1, 1, {1}).End(),
         2, {kGreen, kGreen, kGreen, kRed, kGreen, kRed, kGreen, kGreen, kGreen}},
        {"transparency holds on a screen turned to colours, and later frames keep the global table",
         GifBuilder(4, 1, table).Image(0, 0, 4, 1, {0, 0, 0, 0}).Control(1, 1)
             .Image(0, 0, 4, 1, {0, 1, 0, 1}, {0x123456, 0x654321}).Image(0, 0, 1, 1, {2}).End(),
         2, {kBlue, kRed, 0x123456, kRed}},
    };
}

TEST(GifDecode, ComposesFramesOntoTheScreen) {
    for (const ComposeCase& c : ComposeCases()) {
        SCOPED_TRACE(c.name);
        CRasterImage image;
        ASSERT_TRUE(DecodeFrame(c.file, c.frame, image)) << image.GetLastErrorText();
        ASSERT_EQ(image.GetWidth(), c.expected.size());
        std::vector<std::uint32_t> colours;
        for (std::uint32_t x = 0; x < c.expected.size(); ++x) colours.push_back(ColorAt(image, x, 0));
        EXPECT_EQ(colours, c.expected);
    }
}

TEST(GifDecode, TransparencyOfTheFirstFrameStaysWithThePicture) {
    const Bytes file = GifBuilder(4, 1, {kRed, kGreen}).Control(0, 1).Image(0, 0, 4, 1, {0, 1, 1, 0}).End();
    CRasterImage image;
    ASSERT_TRUE(DecodeFrame(file, 0, image));
    EXPECT_EQ(image.GetTransparentIndex(), 1);
    EXPECT_EQ(image.GetIndexAt(1, 0), 1);
}

TEST(GifDecode, BrokenDataEndsTheFrameEarly) {
    const Bytes good = GifBuilder(4, 2, {kRed, kGreen}).Image(0, 0, 4, 2, {1, 1, 1, 1, 1, 1, 1, 1}).End();
    // Data cut inside the image: the rows read stay, the rest is index 0.
    Bytes cut(good.begin(), good.begin() + 13 + 6 + 10 + 1 + 6);
    CRasterImage image;
    ASSERT_TRUE(DecodeFrame(cut, 0, image)) << image.GetLastErrorText();
    EXPECT_EQ(ColorAt(image, 0, 0), kGreen);
    EXPECT_EQ(ColorAt(image, 3, 1), kRed);
    // Minimum code sizes outside 2 to 9 give no pixels but do not stop the file.
    for (std::uint8_t size : {0, 1, 10, 12}) {
        Bytes bad = good;
        bad[13 + 6 + 10] = size;
        CRasterImage blank;
        ASSERT_TRUE(DecodeFrame(bad, 0, blank)) << int(size);
        EXPECT_EQ(ColorAt(blank, 0, 0), kRed);
    }
}

// Pictures of each depth written by each compressor decode to what was written.
TEST(GifEncode, EveryCompressorRoundTrips) {
    for (std::uint32_t bits : {1u, 4u, 8u}) {
        for (std::uint32_t compression : {kGifLzw, kGifPlain, kGifRle}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, compressor " + std::to_string(compression));
            CRasterImageGIF gif;
            ASSERT_TRUE(gif.Create(61, 47, bits, kRasterGif));
            for (std::uint32_t i = 0; i < gif.GetPaletteCount(); ++i)
                gif.SetPaletteEntry(i, static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i), 9);
            // Runs of every length and noise, so the run coder meets all its cases.
            for (std::uint32_t y = 0; y < 47; ++y) {
                for (std::uint32_t x = 0; x < 61; ++x) {
                    const std::uint32_t value = y < 20 ? (x / (1 + y % 9)) : (x * 2654435761u ^ y * 40503u) >> 7;
                    gif.SetIndexAt(x, y, static_cast<std::uint8_t>(value % gif.GetPaletteCount()));
                }
            }
            gif.SetFormatOption(compression, kRasterGif);
            const Bytes file = EncodeWith(gif);
            CRasterImage back;
            ASSERT_TRUE(DecodeFrame(file, 0, back)) << back.GetLastErrorText();
            ASSERT_EQ(back.GetWidth(), 61u);
            for (std::uint32_t y = 0; y < 47; ++y) {
                for (std::uint32_t x = 0; x < 61; ++x) ASSERT_EQ(back.GetIndexAt(x, y), gif.GetIndexAt(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(GifEncode, PlainCodesAndTableClears) {
    // 200 x 100 of noise fills the LZW table several times over.
    CRasterImageGIF gif;
    ASSERT_TRUE(gif.Create(200, 100, 8, kRasterGif));
    std::uint32_t seed = 1;
    for (std::uint32_t y = 0; y < 100; ++y) {
        for (std::uint32_t x = 0; x < 200; ++x) {
            seed = seed * 1103515245 + 12345;
            gif.SetIndexAt(x, y, static_cast<std::uint8_t>(seed >> 24));
        }
    }
    std::size_t plainSize = 0;
    for (std::uint32_t compression : {kGifLzw, kGifPlain}) {
        gif.SetFormatOption(compression, kRasterGif);
        const Bytes file = EncodeWith(gif);
        if (compression == kGifPlain) {
            plainSize = file.size();
        }
        CRasterImage back;
        ASSERT_TRUE(DecodeFrame(file, 0, back));
        for (std::uint32_t y = 0; y < 100; ++y)
            for (std::uint32_t x = 0; x < 200; ++x) ASSERT_EQ(back.GetIndexAt(x, y), gif.GetIndexAt(x, y));
    }
    // One code per pixel: 9 bits for the first codes, growing to 12.
    EXPECT_GT(plainSize, 200u * 100u * 9 / 8);
}

TEST(GifEncode, TrueColourBecomesAMosaicOfTiles) {
    CRasterImage picture(35, 16, 24, kRasterBmp);
    for (std::uint32_t y = 0; y < 16; ++y)
        for (std::uint32_t x = 0; x < 35; ++x) picture.SetColorRefAt(x, y, x * 7 + y * 0x10300 + 0x400000);
    CRasterMemStream stream;
    stream.Open();
    ASSERT_TRUE(picture.Encode(&stream, kRasterGif)) << picture.GetLastErrorText();
    const Bytes file(stream.Buffer, stream.Buffer + stream.Size());
    std::size_t images = 0;
    for (std::size_t i = 0; i + 10 < file.size(); ++i) {
        // A descriptor follows each control extension's terminator.
        if (file[i] == 0x21 && file[i + 1] == 0xF9 && file[i + 7] == 0 && file[i + 8] == 0x2C) ++images;
    }
    EXPECT_EQ(images, 6u);
    CRasterImage back;
    ASSERT_TRUE(DecodeFrame(file, 0, back)) << back.GetLastErrorText();
    EXPECT_EQ(back.GetBpp(), 24u);
    EXPECT_EQ(back.GetNumFrames(), 6);
    for (std::uint32_t y = 0; y < 16; ++y)
        for (std::uint32_t x = 0; x < 35; ++x)
            ASSERT_EQ(Rgb(back.GetColorAt(x, y, false)), Rgb(picture.GetColorAt(x, y, false))) << x << "," << y;
}

TEST(GifEncode, HeaderAndExtensionsAsWritten) {
    CRasterImageGIF gif;
    ASSERT_TRUE(gif.Create(3, 2, 4, kRasterGif));
    gif.SetTransparentIndex(5);
    gif.DisposalMethod = 2;
    gif.Info.FrameDelay = 0x1234;
    std::strcpy(gif.Comment, "hi");
    const Bytes file = EncodeWith(gif);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
    EXPECT_EQ(file[10], 0xE3);
    const std::size_t control = 13 + 16 * 3;
    EXPECT_EQ(Bytes(file.begin() + control, file.begin() + control + 8), (Bytes{0x21, 0xF9, 4, 9, 0x34, 0x12, 5, 0}));
    EXPECT_EQ(Bytes(file.begin() + control + 8, file.begin() + control + 14), (Bytes{0x21, 0xFE, 2, 'h', 'i', 0}));
    EXPECT_EQ(file.back(), 0x3B);
}

// A stream that takes nothing.
class FullStream : public CRasterMemStream {
public:
    std::size_t Write(const void*, std::size_t, std::size_t) override { return 0; }
    bool PutC(std::uint8_t) override { return false; }
};

TEST(GifEncode, WriteFailureIsReported) {
    for (std::uint32_t bits : {8u, 24u}) {
        CRasterImage picture(4, 4, bits, kRasterBmp);
        FullStream stream;
        stream.Open();
        EXPECT_FALSE(picture.Encode(&stream, kRasterGif));
        EXPECT_STREQ(picture.GetLastErrorText(), "Write Error in GIF file");
    }
}

}  // namespace
