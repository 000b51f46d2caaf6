// The PSD reader: each colour mode, depth and compression to the same 24-bit
// pixels, the resolution it reports, and files it must refuse.
#include "imaging/psd/psd_reader.h"
#include "imaging/file_bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

void PutBe(Bytes& b, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A PSD file: header, colour mode data, resources, empty layer section, image data.
struct PsdSpec {
    std::uint16_t channels = 3, depth = 8, mode = 3, version = 1, compression = 0;
    std::uint32_t width = 2, height = 1;
    Bytes colourModeData{}, resources{}, data{};
};

Bytes MakePsd(const PsdSpec& s) {
    Bytes b = {'8', 'B', 'P', 'S'};
    PutBe(b, s.version, 2);
    b.insert(b.end(), 6, 0);
    PutBe(b, s.channels, 2);
    PutBe(b, s.height, 4);
    PutBe(b, s.width, 4);
    PutBe(b, s.depth, 2);
    PutBe(b, s.mode, 2);
    PutBe(b, static_cast<std::uint32_t>(s.colourModeData.size()), 4);
    b.insert(b.end(), s.colourModeData.begin(), s.colourModeData.end());
    PutBe(b, static_cast<std::uint32_t>(s.resources.size()), 4);
    b.insert(b.end(), s.resources.begin(), s.resources.end());
    PutBe(b, 0, 4);
    PutBe(b, s.compression, 2);
    b.insert(b.end(), s.data.begin(), s.data.end());
    return b;
}

Bytes Resource(std::uint16_t id, const Bytes& data) {
    Bytes r = {'8', 'B', 'I', 'M'};
    PutBe(r, id, 2);
    r.insert(r.end(), {0, 0});  // empty name, padded
    PutBe(r, static_cast<std::uint32_t>(data.size()), 4);
    r.insert(r.end(), data.begin(), data.end());
    if (data.size() % 2) r.push_back(0);
    return r;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

int Load(const Bytes& file, CPsdReader& reader) {
    std::unique_ptr<std::FILE, FileCloser> temp(std::tmpfile());
    if (!temp) return 1;
    std::fwrite(file.data(), 1, file.size(), temp.get());
    std::rewind(temp.get());
    return reader.Load(temp.get());
}

// The colour of pixel x of the top row.
std::uint32_t TopPixel(const CPsdReader& reader, std::uint32_t x) {
    const CRasterImage& picture = reader.Picture();
    return Rgb(picture.GetColorAt(x, picture.GetHeight() - 1, false));
}

TEST(PsdReader, ColourModes) {
    Bytes table(768);
    for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint8_t>(i), table[256 + i] = 7, table[512 + i] = 255 - i;
    struct Case {
        const char* name;
        PsdSpec spec;
        std::uint32_t first, second;
    };
    const Case cases[] = {
        {"RGB raw", {.data = {10, 11, 20, 21, 30, 31}}, 0x0A141E, 0x0B151F},
        {"RGB run-length", {.compression = 1, .data = {0, 2, 0, 2, 0, 2, 0xFF, 10, 1, 20, 21, 0xFF, 30}}, 0x0A141E,
         0x0A151E},
        {"RGB 16 bits: the high bytes", {.depth = 16, .data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}, 0x010509,
         0x03070B},
        {"grey", {.channels = 1, .mode = 1, .data = {0x40, 0xC0}}, 0x404040, 0xC0C0C0},
        {"grey 16 bits", {.channels = 1, .depth = 16, .mode = 1, .data = {0x12, 0x34, 0xAB, 0xCD}}, 0x121212, 0xABABAB},
        {"indexed", {.channels = 1, .mode = 2, .colourModeData = table, .data = {5, 200}}, 0x0507FA, 0xC80737},
        {"CMYK, no ink and full ink", {.channels = 4, .mode = 4, .data = {255, 0, 255, 0, 255, 0, 255, 0}}, 0xFDFDFD, 0},
        {"Lab, white and black", {.mode = 9, .data = {255, 0, 128, 128, 128, 128}}, 0xFDFDFD, 0},
        {"RGB with an alpha plane", {.channels = 4, .data = {1, 2, 3, 4, 5, 6, 7, 8}}, 0x010305, 0x020406},
    };
    for (const Case& c : cases) {
        CPsdReader reader;
        ASSERT_EQ(Load(MakePsd(c.spec), reader), 0) << c.name;
        ASSERT_TRUE(reader.Picture().IsValid()) << c.name;
        EXPECT_EQ(reader.Picture().GetBpp(), 24u);
        EXPECT_EQ(TopPixel(reader, 0), c.first) << c.name;
        EXPECT_EQ(TopPixel(reader, 1), c.second) << c.name;
    }
}

TEST(PsdReader, Resolution) {
    Bytes resolution;
    PutBe(resolution, 300 << 16, 4);
    PutBe(resolution, 1, 2);
    PutBe(resolution, 1, 2);
    PutBe(resolution, 150 << 16, 4);
    PutBe(resolution, 1, 2);
    PutBe(resolution, 1, 2);
    PsdSpec spec{.data = {1, 2, 3, 4, 5, 6}};
    spec.resources = Resource(1007, Bytes(28, 1)) + Resource(1005, resolution) + Resource(1046, {0, 9});
    CPsdReader reader;
    ASSERT_EQ(Load(MakePsd(spec), reader), 0);
    EXPECT_EQ(reader.Picture().Header.biXPelsPerMeter, 11811);
    EXPECT_EQ(reader.Picture().Header.biYPelsPerMeter, 5905);
    EXPECT_EQ(reader.IndexedColors, 9);
    CPsdReader plain;
    ASSERT_EQ(Load(MakePsd({.data = {1, 2, 3, 4, 5, 6}}), plain), 0);
    EXPECT_EQ(plain.Picture().Header.biXPelsPerMeter, 3780);
}

TEST(PsdReader, Failures) {
    Bytes longColourData = MakePsd({.data = {1, 2, 3, 4, 5, 6}});
    longColourData[26] = 0x7F;  // the colour mode data's length
    Bytes overrun = Resource(1000, Bytes(10, 0));
    overrun.resize(overrun.size() - 4);
    Bytes noImageData = MakePsd({});
    noImageData.resize(noImageData.size() - 2);  // the compression field
    struct Case {
        const char* name;
        Bytes file;
        int result;
        bool picture;
    };
    const Case cases[] = {
        {"version 2", MakePsd({.version = 2, .data = {1, 2, 3, 4, 5, 6}}), kPsdBadHeader, false},
        {"short header", Bytes{'8', 'B', 'P', 'S', 0, 1}, kPsdBadHeader, false},
        {"no channels", MakePsd({.channels = 0}), kPsdBadHeader, false},
        {"a width beyond the format", MakePsd({.width = 400000}), kPsdBadHeader, false},
        {"colour mode data past the end", longColourData, kPsdBadColorModeData, false},
        {"a resource running past its section", MakePsd({.resources = overrun}), kPsdBadResources, false},
        {"bitmap mode", MakePsd({.channels = 1, .depth = 1, .mode = 0, .data = {0x80}}), kPsdBitmapMode, false},
        {"32-bit samples", MakePsd({.depth = 32, .data = Bytes(24, 1)}), kPsdUnsupportedDepth, false},
        {"ZIP", MakePsd({.compression = 2}), kPsdZip, false},
        {"ZIP with prediction", MakePsd({.compression = 3}), kPsdZipPrediction, false},
        {"compression 7", MakePsd({.compression = 7}), kPsdUnknownCompression, false},
        {"no image data", noImageData, kPsdBadImageData, false},
        {"raw data cut short", MakePsd({.data = {1, 2, 3}}), kPsdBadImageData, false},
        {"a huge picture in a small file", MakePsd({.width = 300000, .height = 300000, .data = {1, 2, 3}}),
         kPsdBadImageData, false},
        {"a huge run-length picture in a small file",
         MakePsd({.compression = 1, .width = 300000, .height = 300000, .data = {0, 2, 0, 2}}), kPsdBadImageData, false},
        {"run-length data cut short", MakePsd({.compression = 1, .data = {0, 2, 0, 2, 0, 2, 0x81}}), kPsdOk, true},
        {"indexed without a table", MakePsd({.channels = 1, .mode = 2, .data = {1, 2}}), kPsdOk, true},
    };
    for (const Case& c : cases) {
        CPsdReader reader;
        EXPECT_EQ(Load(c.file, reader), c.result) << c.name;
        EXPECT_EQ(reader.Picture().IsValid(), c.picture) << c.name;
    }
    CPsdReader missing;
    EXPECT_EQ(missing.Load("/nonexistent/file.psd"), kPsdCannotOpen);
}

}  // namespace
