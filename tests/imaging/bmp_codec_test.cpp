// The BMP codec: header forms and pixel layouts, refused headers and depths,
// sizes and offsets that never reach past the picture, run-length data, the
// written file and the fallback when a file is named as another format.
#include "imaging/bmp/bmp_image.h"
#include "imaging/raster_bytes.h"
#include "imaging/file_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A BMP file (or, without the file header, a bare DIB) with a 40-byte
// header, or with a longer one padded with zeros.
struct BmpSpec {
    std::int32_t width = 2, height = 2;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t colours = 0;
    std::uint32_t headerSize = 40;
    bool fileHeader = true;
    Bytes extra;  // between the header and the pixels: colour table or masks
    Bytes pixels;
};

Bytes MakeBmp(const BmpSpec& s) {
    Bytes info;
    Put32(info, s.headerSize);
    Put32(info, static_cast<std::uint32_t>(s.width));
    Put32(info, static_cast<std::uint32_t>(s.height));
    Put16(info, 1);
    Put16(info, s.bits);
    Put32(info, s.compression);
    Put32(info, s.sizeImage);
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, s.colours);
    Put32(info, 0);
    info.resize(s.headerSize, 0);
    Bytes out;
    if (s.fileHeader) {
        out = {'B', 'M'};
        Put32(out, static_cast<std::uint32_t>(14 + info.size() + s.extra.size() + s.pixels.size()));
        Put32(out, 0);
        Put32(out, static_cast<std::uint32_t>(14 + info.size() + s.extra.size()));
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), s.extra.begin(), s.extra.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

Bytes GreyTable(int entries, int step) {
    Bytes table;
    for (int i = 0; i < entries; ++i) {
        const auto v = static_cast<std::uint8_t>(i * step);
        table.insert(table.end(), {v, v, v, 0});
    }
    return table;
}

bool DecodeBmp(CRasterImage& image, const Bytes& bytes) {
    return image.Decode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), kRasterBmp);
}

// 24-bit 2 x 2: bottom row blue, green; top row red, white.
const Bytes kRgb24 = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};

TEST(BmpDecode, HeaderFormsAndLayouts) {
    struct Case {
        const char* name;
        BmpSpec spec;
    };
    BmpSpec plain;
    plain.pixels = kRgb24;
    BmpSpec bare = plain;
    bare.fileHeader = false;
    BmpSpec extended = plain;
    extended.headerSize = 64;
    BmpSpec longPlain = plain;
    longPlain.headerSize = 108;
    longPlain.sizeImage = 16;
    BmpSpec topDown = plain;
    topDown.height = -2;
    topDown.pixels = {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0};
    const Case cases[] = {{"file", plain}, {"bare DIB", bare}, {"64-byte header", extended},
                          {"108-byte plain header", longPlain}, {"top-down", topDown}};
    for (const Case& c : cases) {
        CRasterImage image;
        ASSERT_TRUE(DecodeBmp(image, MakeBmp(c.spec))) << c.name << ": " << image.GetLastErrorText();
        EXPECT_EQ(image.GetFormatId(), kRasterBmp);
        EXPECT_EQ(image.GetBpp(), 24);
        EXPECT_EQ(Rgb(image.GetColorAt(0, 0, false)), 0x0000FFu) << c.name;
        EXPECT_EQ(Rgb(image.GetColorAt(1, 0, false)), 0x00FF00u) << c.name;
        EXPECT_EQ(Rgb(image.GetColorAt(0, 1, false)), 0xFF0000u) << c.name;
        EXPECT_EQ(Rgb(image.GetColorAt(1, 1, false)), 0xFFFFFFu) << c.name;
        EXPECT_EQ(image.GetDpiX(), 72) << c.name;
    }
}

TEST(BmpDecode, RefusedHeadersAndDepths) {
    struct Case {
        const char* name;
        BmpSpec spec;
        const char* error;
    };
    BmpSpec shortHeader;
    shortHeader.headerSize = 20;
    BmpSpec longCompressed;
    longCompressed.headerSize = 124;
    longCompressed.bits = 8;
    longCompressed.colours = 4;
    BmpSpec badBits;
    badBits.bits = 30000;
    BmpSpec twoBits;
    twoBits.bits = 2;
    BmpSpec bigTable;
    bigTable.bits = 4;
    bigTable.colours = 17;
    BmpSpec rle32;
    rle32.bits = 32;
    rle32.compression = 1;
    BmpSpec rle24;
    rle24.compression = 2;
    BmpSpec jpeg8;
    jpeg8.bits = 8;
    jpeg8.compression = 4;
    const Case cases[] = {{"20-byte header", shortHeader, "Error reading BMP info"},
                          {"124-byte header with a table", longCompressed, "Error reading BMP info"},
                          {"bit count 30000", badBits, "Error reading BMP info"},
                          {"bit count 2", twoBits, "Error reading BMP info"},
                          {"17 colours at 4 bits", bigTable, "Error reading BMP info"},
                          {"32 bits RLE8", rle32, "unknown compression"},
                          {"24 bits RLE4", rle24, "unknown compression"},
                          {"8 bits compression 4", jpeg8, "compression type not supported"}};
    for (const Case& c : cases) {
        CRasterImage image(1, 1, 8, kRasterBmp);
        EXPECT_FALSE(DecodeBmp(image, MakeBmp(c.spec))) << c.name;
        EXPECT_STREQ(image.GetLastErrorText(), c.error) << c.name;
        EXPECT_EQ(image.GetWidth(), 1u) << c.name << ": the previous picture stays";
    }
    CRasterImage image;
    const Bytes tiny = {'B', 'M', 1};
    EXPECT_FALSE(DecodeBmp(image, tiny));
    EXPECT_STREQ(image.GetLastErrorText(), "Not a BMP");
}

TEST(BmpDecode, SizeOnlyModeAnswersTheSizeWithoutPixels) {
    BmpSpec spec;
    spec.width = 300;
    spec.height = -200;
    CRasterImage image;
    image.Info.Escape = -1;
    ASSERT_TRUE(DecodeBmp(image, MakeBmp(spec)));
    EXPECT_STREQ(image.GetLastErrorText(), "output dimensions returned");
    EXPECT_EQ(image.GetWidth(), 300u);
    EXPECT_EQ(image.GetHeight(), 200u);
    EXPECT_FALSE(image.IsValid());
}

TEST(BmpDecode, CoreHeaderWithThreeByteTable) {
    Bytes core;
    Put32(core, 12);
    Put16(core, 3);
    Put16(core, 1);
    Put16(core, 1);
    Put16(core, 4);
    Bytes file = {'B', 'M'};
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 14 + 12 + 16 * 3);
    file.insert(file.end(), core.begin(), core.end());
    for (int i = 0; i < 16; ++i) file.insert(file.end(), {static_cast<std::uint8_t>(i), 0x10, 0x20});
    file.insert(file.end(), {0x1F, 0x20, 0, 0});  // pixels 1, 15, 2
    CRasterImage image;
    ASSERT_TRUE(DecodeBmp(image, file)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 4);
    EXPECT_EQ(Rgb(image.GetColorAt(0, 0, false)), 0x201001u);
    EXPECT_EQ(Rgb(image.GetColorAt(1, 0, false)), 0x20100Fu);
    EXPECT_EQ(Rgb(image.GetColorAt(2, 0, false)), 0x201002u);
    EXPECT_EQ(image.GetPaletteEntry(15).rgbReserved, 0);
}

TEST(BmpDecode, SixteenAndThirtyTwoBits) {
    BmpSpec fiveFive;
    fiveFive.bits = 16;
    fiveFive.width = 1;
    fiveFive.height = 1;
    fiveFive.pixels = {0x1F, 0x7C, 0, 0};  // 7C1F: red and blue full
    BmpSpec sixFive = fiveFive;
    sixFive.compression = 3;
    Put32(sixFive.extra, 0xF800);
    Put32(sixFive.extra, 0x07E0);
    Put32(sixFive.extra, 0x001F);
    sixFive.pixels = {0xE0, 0x07, 0, 0};  // green full
    BmpSpec thirtyTwo;
    thirtyTwo.bits = 32;
    thirtyTwo.width = 1;
    thirtyTwo.height = 1;
    thirtyTwo.pixels = {0x11, 0x22, 0x33, 0x44};
    struct Case {
        const char* name;
        BmpSpec spec;
        std::uint32_t rgb;
    };
    const Case cases[] = {{"5-5-5", fiveFive, 0xF800F8}, {"5-6-5", sixFive, 0x00FC00}, {"32 bits", thirtyTwo, 0x332211}};
    for (const Case& c : cases) {
        CRasterImage image;
        ASSERT_TRUE(DecodeBmp(image, MakeBmp(c.spec))) << c.name << ": " << image.GetLastErrorText();
        EXPECT_EQ(image.GetBpp(), 24) << c.name;
        EXPECT_EQ(Rgb(image.GetColorAt(0, 0, false)), c.rgb) << c.name;
    }
}

TEST(BmpDecode, FileSizesNeverReachPastThePicture) {
    // An image size larger than the picture and pixel data cut short.
    BmpSpec spec;
    spec.bits = 8;
    spec.width = 4;
    spec.height = 2;
    spec.sizeImage = 0x7FFFFFFF;
    spec.extra = GreyTable(256, 1);
    spec.pixels = {1, 2, 3, 4, 5};
    CRasterImage image;
    ASSERT_TRUE(DecodeBmp(image, MakeBmp(spec))) << image.GetLastErrorText();
    EXPECT_EQ(image.GetIndexAt(3, 0), 4);
    EXPECT_EQ(image.GetIndexAt(0, 1), 5);
    EXPECT_EQ(image.GetIndexAt(1, 1), 0);  // unread rows are blank, never stale memory

    // A pixel offset beyond the data leaves the rows blank.
    Bytes distant = MakeBmp(spec);
    StoreLe32(distant.data() + 10, 0xFFFFFFF0u);
    ASSERT_TRUE(DecodeBmp(image, distant));
    EXPECT_EQ(image.GetIndexAt(0, 0), 0);
}

struct RleCase {
    const char* name;
    std::uint16_t bits;
    Bytes data;
    std::vector<int> bottomRow, topRow;
    long consumed;  // bytes of pixel data read, -1 for all
};

TEST(BmpDecode, RunLengthData) {
    const RleCase cases[] = {
        {"rle8 runs and end of line", 8, {3, 7, 1, 9, 0, 0, 2, 5}, {7, 7, 7, 9, 0}, {5, 5, 0, 0, 0}, -1},
        {"rle8 absolute run with pad", 8, {0, 3, 1, 2, 3, 0, 4, 6}, {1, 2, 3, 6, 6}, {0, 0, 0, 0, 0}, -1},
        {"rle8 delta skips pixels", 8, {0, 2, 2, 1, 1, 8, 0, 1, 1, 9}, {0, 0, 0, 0, 0}, {0, 0, 8, 0, 0}, 8},
        {"rle8 end of bitmap stops", 8, {1, 4, 0, 1, 1, 9}, {4, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, 4},
        {"rle8 run past the row ends all", 8, {9, 3, 1, 9}, {3, 3, 3, 3, 3}, {0, 0, 0, 0, 0}, 2},
        {"rle4 run alternates nibbles", 4, {5, 0x12, 0, 0, 2, 0x34}, {1, 2, 1, 2, 1}, {3, 4, 0, 0, 0}, -1},
        // 3 pixels: 2 data bytes, no pad; 5 pixels: 3 data bytes and a pad
        {"rle4 absolute of 3", 4, {0, 3, 0x56, 0x70, 1, 0x90}, {5, 6, 7, 9, 0}, {0, 0, 0, 0, 0}, -1},
        {"rle4 absolute of 5", 4, {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 0, 1, 0x90}, {1, 2, 3, 4, 5}, {9, 0, 0, 0, 0}, -1},
        // a run that starts on an odd pixel still begins with the high nibble
        {"rle4 odd start", 4, {1, 0x70, 2, 0xAB}, {7, 0xA, 0xB, 0, 0}, {0, 0, 0, 0, 0}, -1},
        {"rle4 odd delta", 4, {0, 2, 3, 0, 1, 0x50}, {0, 0, 0, 5, 0}, {0, 0, 0, 0, 0}, -1},
    };
    for (const RleCase& c : cases) {
        BmpSpec spec;
        spec.bits = c.bits;
        spec.width = 5;
        spec.compression = c.bits == 8 ? 1 : 2;
        spec.extra = GreyTable(c.bits == 8 ? 256 : 16, 1);
        spec.pixels = c.data;
        const Bytes file = MakeBmp(spec);
        CRasterMemStream stream(file.data(), static_cast<std::uint32_t>(file.size()));
        CRasterImage image;
        ASSERT_TRUE(image.Decode(&stream, kRasterBmp)) << c.name << ": " << image.GetLastErrorText();
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(image.GetIndexAt(x, 0), c.bottomRow[x]) << c.name << " x " << x;
            EXPECT_EQ(image.GetIndexAt(x, 1), c.topRow[x]) << c.name << " x " << x;
        }
        const long pixelStart = static_cast<long>(file.size() - c.data.size());
        if (c.consumed >= 0) {
            EXPECT_EQ(stream.Tell(), pixelStart + c.consumed) << c.name;
        }
    }
}

TEST(BmpEncode, WritesTheFileHeaderAndThePackedDib) {
    for (std::uint32_t bpp : {1u, 4u, 8u, 24u}) {
        CRasterImage image(7, 3, bpp, kRasterPng);
        if (image.IsIndexed()) image.SetGreyRamp();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) image.SetColorRefAt(x, y, (x * 37 + y * 91) * 0x010101u & 0xFFFFFF);
        image.SetDpiX(150);
        CRasterMemStream out;
        ASSERT_TRUE(out.Open());
        ASSERT_TRUE(image.Encode(&out, kRasterBmp)) << image.GetLastErrorText();
        ASSERT_EQ(out.Size(), static_cast<long>(14 + image.GetDIBSize()));
        EXPECT_EQ(LoadLe32(out.Buffer + 10), 54 + image.PaletteBytes());
        CRasterImage back(out.Buffer, out.End, kRasterBmp);
        ASSERT_TRUE(back.IsValid()) << back.GetLastErrorText();
        EXPECT_EQ(std::memcmp(back.GetDIB(), image.GetDIB(), image.GetDIBSize()), 0) << bpp;
        EXPECT_EQ(back.GetDpiX(), 150);
        EXPECT_EQ(image.GetFormatId(), kRasterPng);  // the encoder's ghost changed nothing of the caller's record
    }
    CRasterImage empty;
    CRasterMemStream out;
    EXPECT_FALSE(empty.Encode(&out, kRasterBmp));
    EXPECT_STREQ(empty.GetLastErrorText(), "null image!!!");
}

TEST(BmpDispatch, UnknownFormatFindsABmpAndLoadFileFallsBack) {
    BmpSpec spec;
    spec.pixels = kRgb24;
    const Bytes file = MakeBmp(spec);
    CRasterImage image;
    ASSERT_TRUE(image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), kRasterUnknown));
    EXPECT_EQ(image.GetFormatId(), kRasterBmp);

    const std::string path = testing::TempDir() + "bmp_named_as_gif.gif";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    CRasterImage loaded;
    EXPECT_TRUE(loaded.LoadFile(path.c_str(), kRasterIco));  // named wrongly, read all the same
    EXPECT_EQ(loaded.GetFormatId(), kRasterBmp);

    const std::string junk = testing::TempDir() + "junk.bmp";
    f = std::fopen(junk.c_str(), "wb");
    std::fputs("no picture here", f);
    std::fclose(f);
    EXPECT_FALSE(loaded.LoadFile(junk.c_str(), kRasterBmp));
    EXPECT_STREQ(loaded.GetLastErrorText(), "Error reading BMP info");  // the named format's reason
    EXPECT_TRUE(loaded.IsValid());
    EXPECT_FALSE(loaded.LoadFile((testing::TempDir() + "missing.bmp").c_str(), kRasterBmp));
    std::remove(path.c_str());
    std::remove(junk.c_str());
}

}  // namespace
