// The engine's BMP reader: every depth and compression read as Pillow reads
// it, and hostile headers, palettes and RLE codes kept inside their tables.
#include "bitmap_bytes.h"
#include "golden.h"

#include "toolkit/db/scratch_fixture.h"
#include "toolkit/display/bitmap.h"
#ifdef VT_HAVE_PNG
#include "tools/renderhost/png_file.h"
#endif

#include <string>
#include <vector>

namespace {

class Bitmap : public ScratchFixture {
protected:
    // Reads the header and expands the pixels; the stream then reads them.
    bool open(const std::string& bytes) {
        store = storeFromBytes(bytes);
        stream = adStreamOpenRead(store);
        if (!adReadBitmapHeader(stream, &header)) return false;
        if (!adExpandBitmap(stream, &header, &expanded)) return false;
        if (expanded) {
            adStreamCloseRead(stream);
            stream = adStreamOpenRead(expanded);
        }
        return true;
    }
    std::uint32_t pixel(int x, int storedRow) {
        std::uint8_t rgb[3];
        adBitmapPixel(x, storedRow, &header, stream, header.pixelPosition, rgb);
        return std::uint32_t{rgb[0]} << 16 | rgb[1] << 8 | rgb[2];
    }
    void TearDown() override {
        if (stream) adStreamCloseRead(stream);
        if (expanded) adStoreFree(expanded);
        if (store) adStoreFree(store);
    }
    AdStore* store = nullptr;
    AdStore* expanded = nullptr;
    AdStream* stream = nullptr;
    AdBitmapHeader header{};
};

std::string imagePath(const std::string& name) { return displayDataDir() + "images/" + name; }

}  // namespace

#ifdef VT_HAVE_PNG
// Each fixture against Pillow's decoding of the same file.
TEST_F(Bitmap, EveryDepthAndCompressionReadsAsPillowReadsIt) {
    for (const char* name : {"mono1", "nibble4", "palette8", "os2core8", "rgb24", "rle8", "rle4"}) {
        SCOPED_TRACE(name);
        TearDown();
        store = nullptr, expanded = nullptr, stream = nullptr;
        ASSERT_TRUE(open(readText(imagePath(std::string(name) + ".bmp"))));
        int width = 0, height = 0;
        std::vector<std::uint8_t> rgba;
        ASSERT_EQ(adReadPng(imagePath(std::string(name) + ".png"), &width, &height, &rgba), 1);
        ASSERT_EQ(header.width, width);
        ASSERT_EQ(header.height, height);
        int wrong = 0;
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x) {
                const std::size_t i = (static_cast<std::size_t>(row) * width + x) * 4;
                const std::uint32_t expected = std::uint32_t{rgba[i]} << 16 | rgba[i + 1] << 8 | rgba[i + 2];
                if (pixel(x, height - 1 - row) != expected && ++wrong < 4)
                    ADD_FAILURE() << "pixel " << x << "," << row << ": " << std::hex << pixel(x, height - 1 - row)
                                  << " for " << expected;
            }
    }
}
#endif

TEST_F(Bitmap, SignaturesAndHeaderSizesItDoesNotRead) {
    const struct {
        std::string bytes;
        std::int16_t status;
    } cases[] = {
        {"BA" + std::string(60, '\0'), AD_BITMAP_OS2_ARRAY},
        {"IC" + std::string(60, '\0'), AD_BITMAP_OS2_ARRAY},
        {"PT" + std::string(60, '\0'), AD_BITMAP_OS2_ARRAY},
        {"GIF89a" + std::string(60, '\0'), AD_BITMAP_UNREADABLE},
        {"BM", AD_BITMAP_UNREADABLE},                                           // cut short
        {bmpFile(108, 2, 2, 24, 0, {}, std::string(16, '\0')), AD_BITMAP_UNREADABLE},  // header too long
        {bmpFile(40, 2, 2, 16, 0, {}, std::string(16, '\0')), AD_BITMAP_UNREADABLE},   // 16 bits a pixel
        {bmpFile(40, 2, 2, 8, 2, {}, std::string(16, '\0')), AD_BITMAP_UNREADABLE},    // RLE4 of 8 bits
        {bmpFile(40, 2, -2, 24, 0, {}, std::string(16, '\0')), AD_BITMAP_UNREADABLE},  // top-down
        {bmpFile(40, 2, 2, 24, 0, {}, std::string(15, '\0')), AD_BITMAP_UNREADABLE},   // a byte short
        {bmpFile(40, 2, 2, 24, 0, {}, std::string(16, '\0')), AD_BITMAP_READABLE},
    };
    for (const auto& c : cases) {
        AdStore* s = storeFromBytes(c.bytes);
        AdStream* in = adStreamOpenRead(s);
        EXPECT_EQ(adReadBitmapHeader(in, &header), c.status == AD_BITMAP_READABLE ? 1 : 0) << c.bytes.size();
        EXPECT_EQ(header.status, c.status) << c.bytes.size();
        adStreamCloseRead(in);
        adStoreFree(s);
    }
}

// The offsets claim a palette of 1000 entries: the table takes 256 and the
// pixels are read where the offset says.
TEST_F(Bitmap, APaletteClaimedBeyondTheTableIsCutTo256) {
    std::vector<std::uint32_t> palette(1000, 0x000000);
    palette[5] = 0x123456;
    palette[300] = 0xabcdef;
    ASSERT_TRUE(open(bmpFile(40, 2, 1, 8, 0, palette, std::string("\x05\x2c\0\0", 4))));
    EXPECT_EQ(header.paletteCount, 256);
    EXPECT_EQ(pixel(0, 0), 0x123456u);
    EXPECT_EQ(pixel(1, 0), 0u);  // index 44 of an all-black table
}

// Runs longer than their row, moves beyond the last row and more codes than
// pixels: the expansion holds exactly width x height pixels.
TEST_F(Bitmap, RleExpansionStaysInsideThePicture) {
    std::string codes;
    for (int i = 0; i < 40; ++i) codes += std::string("\xff\x07", 2);     // 255-pixel runs
    codes += std::string("\x00\x02\xff\xff", 4);                         // a move far below
    for (int i = 0; i < 40; ++i) codes += std::string("\x00\x09", 2) + std::string(10, '\x07');
    ASSERT_TRUE(open(bmpFile(40, 5, 3, 8, 1, std::vector<std::uint32_t>(16, 0xffffff), codes)));
    ASSERT_NE(expanded, nullptr);
    EXPECT_EQ(adStoreSize(expanded), 8 * 3);
    EXPECT_EQ(pixel(4, 2), 0xffffffu);
    // A picture too large to expand is refused, not allocated.
    TearDown();
    store = nullptr, expanded = nullptr, stream = nullptr;
    EXPECT_FALSE(open(bmpFile(40, 30000, 30000, 8, 1, std::vector<std::uint32_t>(16, 0), "\x00\x01")));
}

// A 4-bit picture 3 pixels wide stores 2 bytes a row and 2 bytes of
// padding: reading on without skipping them would shear the picture.
TEST_F(Bitmap, UncompressedNibbleRowsSkipTheirPadding) {
    std::vector<std::uint32_t> palette(16, 0);
    palette[1] = 0x0000ff, palette[2] = 0x00ff00, palette[3] = 0xff0000;
    const std::string rows = std::string("\x12\x30\x00\x00", 4) + std::string("\x31\x20\x00\x00", 4);
    ASSERT_TRUE(open(bmpFile(40, 3, 2, 4, 0, palette, rows)));
    EXPECT_EQ(pixel(0, 1), 0xff0000u);
    EXPECT_EQ(pixel(1, 1), 0x0000ffu);
    EXPECT_EQ(pixel(2, 1), 0x00ff00u);
    EXPECT_EQ(pixel(3, 1), 0u);  // outside the picture
}
