// TIFF files the codec refuses or libtiff complains about: nothing reaches
// the standard error stream, and a refusal's error text gives libtiff's cause.
#include "codec_memory.h"
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Put(Bytes& b, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A little-endian 1 x 1 grey page of one uncompressed byte.
struct TinyTiff {
    std::uint32_t stripOffset = 0;  // 0: just after the directory
    std::uint16_t extraTag = 0;     // above every known tag, so the directory stays sorted
};

Bytes Make(const TinyTiff& t) {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    constexpr std::uint16_t kShort = 3, kLong = 4;
    const std::uint32_t entries = t.extraTag ? 9 : 8, dataOffset = 8 + 2 + entries * 12 + 4;
    const Entry directory[] = {{256, kShort, 1}, {257, kShort, 1}, {258, kShort, 8},
                               {259, kShort, 1}, {262, kShort, 1}, {273, kLong, t.stripOffset ? t.stripOffset : dataOffset},
                               {278, kShort, 1}, {279, kLong, 1},  {t.extraTag, kShort, 7}};
    Bytes b = {'I', 'I', 42, 0};
    Put(b, 8, 4);
    Put(b, entries, 2);
    for (std::uint32_t i = 0; i < entries; ++i) {
        Put(b, directory[i].tag, 2);
        Put(b, directory[i].type, 2);
        Put(b, 1, 4);
        Put(b, directory[i].value, 4);
    }
    Put(b, 0, 4);
    b.push_back(0x5A);
    return b;
}

TEST(TiffRefusals, ExplainedAndKeptOutOfStandardError) {
    const struct {
        const char* name;
        Bytes file;
        bool decoded;
        const char* text;  // the whole error text, or its start when a cause follows
        const char* cause;
    } cases[] = {
        {"not a TIFF", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, false,
         "Error encountered while opening TIFF file: ", "bad magic number"},
        {"a header cut short", {'I', 'I', 42, 0}, false, "Error encountered while opening TIFF file: ", "header"},
        {"a strip past the end", Make({.stripOffset = 5000}), false, "Corrupted TIFF file!: ", "strip 0"},
        {"an unknown tag, only warned about", Make({.extraTag = 65000}), true, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRasterImage image;
        testing::internal::CaptureStderr();
        const bool decoded = DecodeFromMemory(image, c.file, kRasterTiff);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(decoded, c.decoded);
        const std::string text = image.GetLastErrorText();
        EXPECT_EQ(text.rfind(c.text, 0), 0u) << text;
        EXPECT_NE(text.find(c.cause), std::string::npos) << text;
        if (decoded) {
            EXPECT_EQ(image.GetIndexAt(0, 0), 0x5A);
        }
    }
}

}  // namespace
