// Every JPEG, PNG and TIFF file of the shared raster data decodes to the
// pixels other readers give (references made at build time by
// make_references.py), or fails with a clear error where they refuse it too.
#include "imaging/raster_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Reference {
    std::string status;
    std::uint32_t width = 0, height = 0, channels = 0, tolerance = 0;
    std::int32_t frames = 0;
    std::string crc;  // "-" when the pixels follow
    std::vector<std::uint8_t> pixels;
};

bool ReadReference(const std::filesystem::path& path, Reference& reference) {
    std::ifstream in(path, std::ios::binary);
    std::string header;
    if (!std::getline(in, header)) return false;
    std::istringstream fields(header);
    fields >> reference.status >> reference.width >> reference.height >> reference.channels >> reference.frames >>
        reference.tolerance >> reference.crc;
    reference.pixels.assign(std::istreambuf_iterator<char>(in), {});
    return bool(fields);
}

// The decoded picture as the reference holds it: top row first, RGB or RGBA
// (alpha from the alpha plane, opaque without one).
std::vector<std::uint8_t> TopDownPixels(const CRasterImage& image, std::uint32_t channels) {
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t{image.GetWidth()} * image.GetHeight() * channels);
    for (std::uint32_t y = image.GetHeight(); y-- > 0;) {
        for (std::uint32_t x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD quad = image.GetColorAt(x, y, false);
            out.insert(out.end(), {quad.rgbRed, quad.rgbGreen, quad.rgbBlue});
            if (channels == 4) out.push_back(image.HasAlphaPlane() ? image.GetAlphaAt(x, y) : 255);
        }
    }
    return out;
}

void ExpectPixels(const CRasterImage& image, const Reference& reference) {
    ASSERT_EQ(image.GetWidth(), reference.width);
    ASSERT_EQ(image.GetHeight(), reference.height);
    const std::vector<std::uint8_t> pixels = TopDownPixels(image, reference.channels);
    if (reference.crc != "-") {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08lx", crc32(0, pixels.data(), static_cast<uInt>(pixels.size())));
        EXPECT_EQ(crc, reference.crc);
        return;
    }
    ASSERT_EQ(pixels.size(), reference.pixels.size());
    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (std::abs(int(pixels[i]) - int(reference.pixels[i])) > int(reference.tolerance) && differing++ == 0) first = i;
    }
    EXPECT_EQ(differing, 0u) << "first at byte " << first << ": " << int(pixels[first]) << " against "
                             << int(reference.pixels[first]);
}

class RasterCorpus : public testing::TestWithParam<std::pair<const char*, std::uint32_t>> {};

TEST_P(RasterCorpus, DecodesLikeOtherReaders) {
    const auto [folder, formatId] = GetParam();
    const std::filesystem::path source = std::filesystem::path(VT_SHARED_DATA_DIR) / "raster" / folder;
    const std::filesystem::path references = std::filesystem::path(VT_RASTER_REFERENCE_DIR) / folder;
    std::error_code error;
    if (!std::filesystem::is_directory(source, error) || !std::filesystem::is_directory(references, error)) {
        GTEST_SKIP() << "no " << folder << " files under " << source;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(source, error)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        Reference reference;
        ASSERT_TRUE(ReadReference(references / (file.filename().string() + ".ref"), reference));
        std::FILE* in = std::fopen(file.string().c_str(), "rb");
        ASSERT_NE(in, nullptr);
        CRasterImage image;
        const bool decoded = image.Decode(in, formatId);
        std::fclose(in);
        if (formatId == kRasterTiff && reference.status != "refused") {
            EXPECT_EQ(image.GetNumFrames(), reference.frames);
        }
        if (reference.status == "refused" || (reference.status == "damaged" && !decoded)) {
            EXPECT_FALSE(decoded);
            EXPECT_STRNE(image.GetLastErrorText(), "");
            continue;
        }
        EXPECT_TRUE(decoded) << image.GetLastErrorText();
        if (decoded) ExpectPixels(image, reference);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RasterCorpus,
                         testing::Values(std::pair{"jpeg", std::uint32_t{kRasterJpeg}},
                                         std::pair{"png", std::uint32_t{kRasterPng}},
                                         std::pair{"tiff", std::uint32_t{kRasterTiff}}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
