// The WBMP codec: files read and refused, and pictures written at their size
// with the same look whichever colour comes first.
#include "imaging/wbmp/wbmp_image.h"
#include "imaging/file_bytes.h"
#include "imaging/raster_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Decoded(const Bytes& file, CRasterImage& image, std::uint32_t formatId = kRasterWbmp) {
    return image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), formatId);
}

TEST(WbmpDecode, FilesAndFailures) {
    struct Case {
        const char* name;
        Bytes file;
        const char* error;  // null: decodes
    };
    const Case cases[] = {
        {"one row of 10 pixels", {0, 0, 10, 1, 0xA5, 0xC0}, nullptr},
        {"a width of two bytes (130)", Bytes{0, 0, 0x81, 0x02, 1} + Bytes(17, 0xFF), nullptr},
        {"type 1", {1, 0, 10, 1, 0, 0}, "Unsupported WBMP type"},
        {"width 0", {0, 0, 0, 1}, "Corrupted WBMP"},
        {"rows cut short", {0, 0, 10, 2, 0xA5, 0xC0}, "Corrupted WBMP"},
        {"header cut short", {0}, "Not a WBMP"},
        {"a size of five bytes", {0, 0, 0x81, 0x81, 0x81, 0x81, 0x01, 1}, "Not a WBMP"},
    };
    for (const Case& c : cases) {
        CRasterImage image;
        const bool decoded = Decoded(c.file, image);
        if (!c.error) {
            ASSERT_TRUE(decoded) << c.name << ": " << image.GetLastErrorText();
            continue;
        }
        EXPECT_FALSE(decoded) << c.name;
        EXPECT_STREQ(image.GetLastErrorText(), c.error) << c.name;
    }
    CRasterImage row;
    ASSERT_TRUE(Decoded({0, 0, 10, 1, 0xA5, 0xC0}, row));
    EXPECT_EQ(row.GetWidth(), 10u);
    EXPECT_EQ(Rgb(row.GetColorAt(0, 0, false)), 0xFFFFFFu);
    EXPECT_EQ(Rgb(row.GetColorAt(1, 0, false)), 0u);
    EXPECT_EQ(Rgb(row.GetColorAt(9, 0, false)), 0xFFFFFFu);
    CRasterImage wide;
    ASSERT_TRUE(Decoded(Bytes{0, 0, 0x81, 0x02, 1} + Bytes(17, 0xFF), wide));
    EXPECT_EQ(wide.GetWidth(), 130u);
}

TEST(WbmpEncode, SizesAndColours) {
    for (auto [width, height, bits] : {std::tuple{300u, 10u, 1u}, {10u, 256u, 1u}, {10u, 10u, 4u}}) {
        CRasterImage picture(width, height, bits, kRasterBmp);
        CRasterMemStream stream;
        stream.Open();
        EXPECT_FALSE(picture.Encode(&stream, kRasterWbmp)) << width << " x " << height << ", " << bits;
        EXPECT_STREQ(picture.GetLastErrorText(), "Can't save this image as WBMP");
    }
    // White first or black first, the file shows the same picture.
    for (bool whiteFirst : {false, true}) {
        CRasterImage picture(130, 2, 1, kRasterBmp);
        picture.SetPaletteEntry(0, whiteFirst ? 255 : 0, whiteFirst ? 255 : 0, whiteFirst ? 255 : 0);
        picture.SetPaletteEntry(1, whiteFirst ? 0 : 255, whiteFirst ? 0 : 255, whiteFirst ? 0 : 255);
        for (std::uint32_t x = 0; x < 130; x += 3) picture.SetIndexAt(x, 1, 1);
        CRasterMemStream stream;
        stream.Open();
        ASSERT_TRUE(picture.Encode(&stream, kRasterWbmp));
        const Bytes file(stream.Buffer, stream.Buffer + stream.Size());
        EXPECT_EQ(Bytes(file.begin(), file.begin() + 5), (Bytes{0, 0, 0x81, 0x02, 2}));
        EXPECT_EQ(file.size(), 5u + 2 * 17);
        EXPECT_EQ(file[5 + 16] & 0x3F, 0) << "padding bits stay clear";
        CRasterImage back;
        ASSERT_TRUE(Decoded(file, back));
        for (std::uint32_t x = 0; x < 130; ++x)
            for (std::uint32_t y = 0; y < 2; ++y)
                ASSERT_EQ(Rgb(back.GetColorAt(x, y, false)), Rgb(picture.GetColorAt(x, y, false))) << x;
    }
}

}  // namespace
