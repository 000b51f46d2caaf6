// The TGA codec: pixel forms, run-length rows, orientation and colour maps;
// hostile files; depths written and read back, and the depths it refuses.
#include "imaging/tga/tga_image.h"
#include "imaging/file_bytes.h"
#include "imaging/raster_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Bytes Header(std::uint8_t type, std::uint16_t width, std::uint16_t height, std::uint8_t depth,
             std::uint8_t descriptor = 0, std::uint16_t mapLength = 0, std::uint8_t mapEntry = 0) {
    Bytes h = {0, static_cast<std::uint8_t>(mapLength ? 1 : 0), type};
    Put16(h, 0);
    Put16(h, mapLength);
    h.push_back(mapEntry);
    Put32(h, 0);
    Put16(h, width);
    Put16(h, height);
    h.insert(h.end(), {depth, descriptor});
    return h;
}

bool Decoded(const Bytes& file, CRasterImage& image, std::uint32_t formatId = kRasterTga) {
    return image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), formatId);
}

// The colour at (x, y) counted from the top.
std::uint32_t ColorAt(const CRasterImage& image, std::uint32_t x, std::uint32_t y) {
    return Rgb(image.GetColorAt(x, image.GetHeight() - 1 - y, false));
}

TEST(TgaDecode, PixelForms) {
    // 16 bits: five bits a channel times 8, the top bit unused.
    Bytes sixteen = Header(2, 2, 1, 16);
    Put16(sixteen, 0x7FFF);
    Put16(sixteen, 0x801F);
    CRasterImage image;
    ASSERT_TRUE(Decoded(sixteen, image)) << image.GetLastErrorText();
    EXPECT_EQ(ColorAt(image, 0, 0), 0xF8F8F8u);
    EXPECT_EQ(ColorAt(image, 1, 0), 0x0000F8u);

    // A run of 4 across a row end carries on in the next row; top-down rows.
    Bytes crossing = Header(10, 3, 2, 24, 0x20);
    crossing.insert(crossing.end(), {0x01, 1, 2, 3, 4, 5, 6, 0x83, 0x10, 0x20, 0x30});
    CRasterImage runs;
    ASSERT_TRUE(Decoded(crossing, runs)) << runs.GetLastErrorText();
    EXPECT_EQ(ColorAt(runs, 0, 0), 0x030201u);
    EXPECT_EQ(ColorAt(runs, 2, 0), 0x302010u);
    EXPECT_EQ(ColorAt(runs, 0, 1), 0x302010u);
    EXPECT_EQ(ColorAt(runs, 2, 1), 0x302010u);

    // 32 bits top-down, right to left: alpha stays with its pixel.
    Bytes rgba = Header(2, 2, 2, 32, 0x30);
    rgba.insert(rgba.end(), {1, 1, 1, 10, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40});
    CRasterImage alpha;
    ASSERT_TRUE(Decoded(rgba, alpha));
    ASSERT_TRUE(alpha.HasAlphaPlane());
    const std::uint32_t top = alpha.GetHeight() - 1;
    EXPECT_EQ(ColorAt(alpha, 0, 0), 0x020202u);
    EXPECT_EQ(alpha.GetAlphaAt(0, top), 20);
    EXPECT_EQ(alpha.GetAlphaAt(1, top), 10);
    EXPECT_EQ(alpha.GetAlphaAt(0, 0), 40);

    // A colour map of 16-bit entries, starting at entry 0.
    Bytes mapped = Header(1, 2, 1, 8, 0, 2, 16);
    Put16(mapped, 0x7C00);
    Put16(mapped, 0x03E0);
    mapped.insert(mapped.end(), {1, 0});
    CRasterImage indexed;
    ASSERT_TRUE(Decoded(mapped, indexed)) << indexed.GetLastErrorText();
    EXPECT_EQ(ColorAt(indexed, 0, 0), 0x00F800u);
    EXPECT_EQ(ColorAt(indexed, 1, 0), 0xF80000u);
}

TEST(TgaDecode, HostileFiles) {
    struct Case {
        const char* name;
        Bytes file;
        const char* error;
    };
    Bytes trueColourWithMap = Header(2, 1, 1, 24, 0, 256, 24);
    trueColourWithMap.insert(trueColourWithMap.end(), 256 * 3 + 3, 9);
    Bytes mapOfOddEntries = Header(1, 1, 1, 8, 0, 2, 8);
    mapOfOddEntries.insert(mapOfOddEntries.end(), {1, 2, 0});
    Bytes rleCut = Header(10, 4, 4, 24);
    rleCut.insert(rleCut.end(), {0x8F, 1, 2});
    const Case cases[] = {
        {"short header", Bytes(10, 0), "Not a TGA"},
        {"image type 4", Header(4, 1, 1, 8), "Unknown TGA image type"},
        {"zero width", Header(2, 0, 1, 24), "bad TGA header"},
        {"depth 20", Header(2, 1, 1, 20), "bad TGA header"},
        {"true colour of 8 bits", Header(2, 1, 1, 8), "bad TGA header"},
        {"colour-mapped of 24 bits", Header(1, 1, 1, 24), "bad TGA header"},
        {"a map of 8-bit entries", mapOfOddEntries, "bad TGA header"},
        {"a map longer than 256", Header(1, 1, 1, 8, 0, 300, 24), "bad TGA header"},
        {"raw pixels cut short", Header(2, 4, 4, 24), "corrupted TGA"},
        {"run-length pixels cut short", rleCut, "corrupted TGA"},
    };
    for (const Case& c : cases) {
        CRasterImage image;
        EXPECT_FALSE(Decoded(c.file, image)) << c.name;
        EXPECT_STREQ(image.GetLastErrorText(), c.error) << c.name;
    }
    // A true-colour picture's colour map is passed over, not stored.
    CRasterImage skipped;
    ASSERT_TRUE(Decoded(trueColourWithMap, skipped)) << skipped.GetLastErrorText();
    EXPECT_EQ(ColorAt(skipped, 0, 0), 0x090909u);
}

TEST(TgaEncode, DepthsRoundTripAndShallowOnesAreRefused) {
    for (std::uint32_t bits : {1u, 4u}) {
        CRasterImage picture(3, 3, bits, kRasterBmp);
        CRasterMemStream stream;
        stream.Open();
        EXPECT_FALSE(picture.Encode(&stream, kRasterTga));
        EXPECT_STREQ(picture.GetLastErrorText(), "Bit depth must be 8 or 24");
    }
    for (std::uint32_t bits : {8u, 24u, 32u}) {
        SCOPED_TRACE(bits);
        CRasterImage picture(5, 3, bits == 32 ? 24 : bits, kRasterBmp);
        if (bits == 32) picture.CreateAlphaPlane();
        for (std::uint32_t i = 0; i < picture.GetPaletteCount(); ++i)
            picture.SetPaletteEntry(i, static_cast<std::uint8_t>(i), 3, static_cast<std::uint8_t>(255 - i));
        for (std::uint32_t y = 0; y < 3; ++y) {
            for (std::uint32_t x = 0; x < 5; ++x) {
                if (bits == 8) {
                    picture.SetIndexAt(x, y, static_cast<std::uint8_t>(x * 50 + y));
                } else {
                    picture.SetColorRefAt(x, y, x * 0x10203 + y * 0x300000);
                }
                if (bits == 32) picture.SetAlphaAt(x, y, static_cast<std::uint8_t>(x * 60 + y));
            }
        }
        CRasterMemStream stream;
        stream.Open();
        ASSERT_TRUE(picture.Encode(&stream, kRasterTga)) << picture.GetLastErrorText();
        EXPECT_EQ(stream.Buffer[16], bits);
        CRasterImage back;
        ASSERT_TRUE(back.Decode(stream.Buffer, static_cast<std::uint32_t>(stream.Size()), kRasterTga));
        for (std::uint32_t y = 0; y < 3; ++y) {
            for (std::uint32_t x = 0; x < 5; ++x) {
                EXPECT_EQ(Rgb(back.GetColorAt(x, y, false)), Rgb(picture.GetColorAt(x, y, false)));
                if (bits == 32) {
                    EXPECT_EQ(back.GetAlphaAt(x, y), picture.GetAlphaAt(x, y));
                }
            }
        }
    }
}

}  // namespace
