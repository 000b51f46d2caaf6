// The PCX codec: run coding and row padding of the writer, depths through the
// encoder and back, and hostile files.
#include "imaging/pcx/pcx_image.h"
#include "imaging/file_bytes.h"
#include "imaging/raster_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Bytes Encoded(CRasterImage& picture) {
    CRasterMemStream stream;
    stream.Open();
    EXPECT_TRUE(picture.Encode(&stream, kRasterPcx)) << picture.GetLastErrorText();
    return Bytes(stream.Buffer, stream.Buffer + stream.Size());
}

bool Decoded(const Bytes& file, CRasterImage& image) {
    return image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), kRasterPcx);
}

TEST(PcxEncode, RunCoding) {
    struct Case {
        const char* name;
        Bytes line, coded;
    };
    const Case cases[] = {
        {"single bytes below 192 stand alone", {1, 2, 3}, {1, 2, 3}},
        {"a single byte of 192 or more takes a count", {0xC5}, {0xC1, 0xC5}},
        {"a run of 100 is 63 and 37", Bytes(100, 7), {0xFF, 7, 0xE5, 7}},
        {"a run of exactly 63", Bytes(63, 9), {0xFF, 9}},
    };
    for (const Case& c : cases) {
        Bytes out;
        PcxEncodeLine(c.line.data(), c.line.size(), out);
        EXPECT_EQ(out, c.coded) << c.name;
    }
}

TEST(PcxEncode, OddWidthRowsArePaddedToEvenBytes) {
    CRasterImage picture(5, 2, 8, kRasterBmp);
    for (std::uint32_t x = 0; x < 5; ++x) {
        picture.SetIndexAt(x, 0, static_cast<std::uint8_t>(x + 1));
        picture.SetIndexAt(x, 1, static_cast<std::uint8_t>(200));
    }
    const Bytes file = Encoded(picture);
    EXPECT_EQ(file[66] | file[67] << 8, 6);
    // Top row first: a run of five 200s and the pad byte, then 1 to 5 and the pad byte.
    EXPECT_EQ(Bytes(file.begin() + 128, file.begin() + 128 + 10), (Bytes{0xC5, 200, 0, 1, 2, 3, 4, 5, 0, 12}));
    CRasterImage back;
    ASSERT_TRUE(Decoded(file, back)) << back.GetLastErrorText();
    for (std::uint32_t y = 0; y < 2; ++y)
        for (std::uint32_t x = 0; x < 5; ++x) EXPECT_EQ(back.GetIndexAt(x, y), picture.GetIndexAt(x, y));
}

TEST(PcxEncode, OneBitWhiteFirstIsWrittenBlackFirstAndTheCallersPictureStays) {
    CRasterImage picture(10, 3, 1, kRasterBmp);
    picture.SetPaletteEntry(0, 255, 255, 255);
    picture.SetPaletteEntry(1, 0, 0, 0);
    for (std::uint32_t x = 0; x < 10; ++x) picture.SetIndexAt(x, 1, x % 3 == 0);
    CRasterImage before(picture, true, false, false);
    const Bytes file = Encoded(picture);
    EXPECT_EQ(Bytes(file.begin() + 16, file.begin() + 22), (Bytes{0, 0, 0, 255, 255, 255}));
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 10; ++x) ASSERT_EQ(picture.GetIndexAt(x, y), before.GetIndexAt(x, y));
    CRasterImage back;
    ASSERT_TRUE(Decoded(file, back));
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 10; ++x)
            EXPECT_EQ(Rgb(back.GetColorAt(x, y, false)), Rgb(picture.GetColorAt(x, y, false))) << x << "," << y;
}

TEST(PcxCodec, DepthsRoundTrip) {
    for (std::uint32_t bits : {1u, 4u, 8u, 24u}) {
        for (bool alpha : {false, true}) {
            if (alpha && bits != 24) continue;
            SCOPED_TRACE(std::to_string(bits) + (alpha ? " bits with alpha" : " bits"));
            CRasterImage picture(7, 4, bits, kRasterBmp);
            // One plane of 1 bit is black and white whatever the header says.
            if (bits == 1) picture.SetGreyRamp();
            for (std::uint32_t i = 0; bits > 1 && i < picture.GetPaletteCount(); ++i)
                picture.SetPaletteEntry(i, static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i), 77);
            if (alpha) picture.CreateAlphaPlane();
            for (std::uint32_t y = 0; y < 4; ++y) {
                for (std::uint32_t x = 0; x < 7; ++x) {
                    if (bits <= 8) {
                        picture.SetIndexAt(x, y, static_cast<std::uint8_t>((x * 5 + y * 3) % picture.GetPaletteCount()));
                    } else {
                        picture.SetColorRefAt(x, y, x * 0x2301 + y * 0x450000);
                    }
                    if (alpha) picture.SetAlphaAt(x, y, static_cast<std::uint8_t>(x * 40));
                }
            }
            CRasterImage back;
            ASSERT_TRUE(Decoded(Encoded(picture), back)) << back.GetLastErrorText();
            EXPECT_EQ(back.GetBpp(), bits);
            EXPECT_EQ(back.HasAlphaPlane(), alpha);
            for (std::uint32_t y = 0; y < 4; ++y) {
                for (std::uint32_t x = 0; x < 7; ++x) {
                    EXPECT_EQ(Rgb(back.GetColorAt(x, y, false)), Rgb(picture.GetColorAt(x, y, false)));
                    if (alpha) {
                        EXPECT_EQ(back.GetAlphaAt(x, y), picture.GetAlphaAt(x, y));
                    }
                }
            }
        }
    }
}

// A valid 4 x 2 file of 8 bits: header, data, the colour table's mark and table.
Bytes SmallFile() {
    Bytes file(128, 0);
    file[0] = 10;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    file[8] = 3;
    file[10] = 1;
    file[65] = 1;
    file[66] = 4;
    file.push_back(0xC8);
    file.push_back(5);
    file.push_back(12);
    file.insert(file.end(), 768, 40);
    return file;
}

TEST(PcxDecode, HostileFiles) {
    struct Case {
        const char* name;
        std::size_t at;
        Bytes bytes;  // written at `at`, or the file cut there when empty
        const char* error;
    };
    const Case cases[] = {
        {"not a PCX", 0, {11}, "Error: Not a PCX file"},
        {"unknown encoding", 2, {2}, "PCX file has unknown encoding scheme"},
        {"five planes", 65, {5}, "Can't handle image with more than 4 planes"},
        {"two planes of 8 bits", 65, {2}, "Can't handle more than 1 bit per pixel"},
        {"lines shorter than the picture", 66, {3, 0}, "corrupted PCX"},
        {"x max below x min", 4, {9, 0}, "corrupted PCX"},
        {"a run past the picture", 128, {0xC9, 5}, "repeat count spans end of image"},
        {"data cut short", 129, {}, "corrupted PCX"},
        {"no colour table mark", 130, {13}, "bad color map signature"},
        {"colour table cut short", 500, {}, "corrupted PCX"},
        {"header cut short", 100, {}, "Can't read PCX image"},
        {"a huge picture in a small file", 8, {0xFF, 0xFF, 0xFF, 0xFF}, "corrupted PCX"},
    };
    CRasterImage good;
    ASSERT_TRUE(Decoded(SmallFile(), good)) << good.GetLastErrorText();
    EXPECT_EQ(good.GetIndexAt(3, 0), 5);
    EXPECT_EQ(good.GetPaletteEntry(5).rgbGreen, 40);
    for (const Case& c : cases) {
        Bytes file = SmallFile();
        if (c.bytes.empty()) file.resize(c.at);
        else std::copy(c.bytes.begin(), c.bytes.end(), file.begin() + static_cast<long>(c.at));
        if (std::string(c.name) == "lines shorter than the picture") file[8] = 7;
        CRasterImage image;
        EXPECT_FALSE(Decoded(file, image)) << c.name;
        EXPECT_STREQ(image.GetLastErrorText(), c.error) << c.name;
    }
}

}  // namespace
