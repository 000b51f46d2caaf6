// The shared WMF and EMF files played by GDI (Windows build, under Wine):
// placeable metafiles and enhanced ones decode, bare 16-bit ones are refused,
// and a WMF's ink (its share of non-white pixels) stays within 0.25 of the
// share in ImageMagick's rendering (references made by make_references.py).
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

#ifdef _WIN32

double Ink(const CRasterImage& image) {
    std::size_t inked = 0;
    for (std::uint32_t y = 0; y < image.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD q = image.GetColorAt(x, y, false);
            if (0.299 * q.rgbRed + 0.587 * q.rgbGreen + 0.114 * q.rgbBlue < 250) ++inked;
        }
    }
    return double(inked) / (double(image.GetWidth()) * image.GetHeight());
}

// ImageMagick's ink by file name, where it rendered the file.
std::map<std::string, double> MagickInk() {
    std::map<std::string, double> ink;
    std::ifstream in(std::filesystem::path(VT_RASTER_REFERENCE_DIR) / "wmf" / "ink.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name, width;
        double height = 0, share = 0;
        if (fields >> name >> width >> height >> share) ink[name] = share;
    }
    return ink;
}

TEST(WmfCorpus, PlayedLikeOtherRenderers) {
    const std::filesystem::path raster = std::filesystem::path(VT_SHARED_DATA_DIR) / "raster";
    std::error_code error;
    if (!std::filesystem::is_directory(raster / "wmf", error)) GTEST_SKIP() << "no shared WMF files";
    const std::map<std::string, double> magick = MagickInk();
    for (const char* folder : {"wmf", "emf"}) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(raster / folder, error)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            const std::string name = file.filename().string();
            SCOPED_TRACE(name);
            std::FILE* in = std::fopen(file.string().c_str(), "rb");
            ASSERT_NE(in, nullptr);
            CRasterImage image;
            const bool decoded = image.Decode(in, kRasterWmf);
            std::fclose(in);
            // A bare 16-bit metafile has no size of its own; fuzzed ones are broken.
            const bool refused = name.find("standard") != std::string::npos || name == "text.wmf" ||
                                 name.rfind("bad_", 0) == 0;
            if (!decoded) {
                std::printf("%s/%s: %s\n", folder, name.c_str(), image.GetLastErrorText());
                EXPECT_TRUE(refused) << image.GetLastErrorText();
                EXPECT_STREQ(image.GetLastErrorText(), "corrupted WMF");
                continue;
            }
            EXPECT_FALSE(refused && name.rfind("bad_", 0) != 0) << "a bare metafile was decoded";
            const double ink = Ink(image);
            const auto reference = magick.find(name);
            std::printf("%s/%s: %lu x %lu, ink %.3f, ImageMagick's %s\n", folder, name.c_str(), image.GetWidth(),
                        image.GetHeight(), ink,
                        reference == magick.end() ? "none" : std::to_string(reference->second).c_str());
            if (name.rfind("bad_", 0) != 0) {
                EXPECT_GT(ink, 0.0) << "nothing drawn";
            }
            if (reference != magick.end()) {
                // ImageMagick smooths edges, and its grey edge pixels count
                // as ink: most on small pictures (109 x 109: 0.58 against 0.80).
                EXPECT_NEAR(ink, reference->second, 0.25);
            }
        }
    }
}

#endif

}  // namespace
