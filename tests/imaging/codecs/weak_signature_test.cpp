// TGA, PCX and WBMP files carry no real signature. Tried under identifier 0
// (format unknown), other files and random bytes must not pass for them,
// while their own files still do.
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::set<std::string> kWeakFolders = {"tga", "pcx", "wbmp"};

bool IsWeak(std::uint32_t formatId) {
    return formatId == kRasterTga || formatId == kRasterPcx || formatId == kRasterWbmp;
}

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The picture decoded under identifier 0, or 0 when nothing took it.
std::uint32_t ProbedFormat(const Bytes& bytes) {
    CRasterImage image;
    if (!image.Decode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), kRasterUnknown)) return 0;
    return image.GetFormatId();
}

std::vector<std::filesystem::path> RasterFiles(const std::filesystem::path& root) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& folder : std::filesystem::directory_iterator(root, error)) {
        if (!folder.is_directory()) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path(), error)) files.push_back(entry.path());
    }
    return files;
}

TEST(WeakSignatures, OtherFilesAreNotTakenForThem) {
    const auto files = RasterFiles(std::filesystem::path(VT_SHARED_DATA_DIR) / "raster");
    if (files.empty()) GTEST_SKIP() << "no shared raster files";
    std::size_t tried = 0;
    for (const auto& file : files) {
        if (kWeakFolders.count(file.parent_path().filename().string())) continue;
        ++tried;
        const std::uint32_t format = ProbedFormat(ReadAll(file));
        EXPECT_FALSE(IsWeak(format)) << file << " taken for " << RasterFormatName(format);
    }
    EXPECT_GT(tried, 50u);
}

TEST(WeakSignatures, TextAndRandomBytesAreNotTakenForThem) {
    const std::string texts[] = {"hello, world\n", "\nA text that begins with a newline\x01\x01 and goes on.\n",
                                 std::string(300, ' '), std::string(64, '\0')};
    for (const std::string& text : texts) {
        const std::uint32_t format = ProbedFormat(Bytes(text.begin(), text.end()));
        EXPECT_FALSE(IsWeak(format)) << "text taken for " << RasterFormatName(format);
    }
    // Source files of this repository are text too.
    const Bytes source = ReadAll(std::filesystem::path(VT_TEST_DATA_DIR) / "raster" / "make_gif_pcx_tga_fixtures.py");
    ASSERT_FALSE(source.empty());
    EXPECT_FALSE(IsWeak(ProbedFormat(source)));
    std::mt19937 random(20261211);
    for (int sample = 0; sample < 2000; ++sample) {
        Bytes bytes(16 + random() % 2000);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        const std::uint32_t format = ProbedFormat(bytes);
        ASSERT_FALSE(IsWeak(format)) << "random sample " << sample << " taken for " << RasterFormatName(format);
    }
}

TEST(WeakSignatures, TheirOwnFilesStillPass) {
    std::vector<std::filesystem::path> files = RasterFiles(std::filesystem::path(VT_SHARED_DATA_DIR) / "raster");
    const auto fixtures = RasterFiles(std::filesystem::path(VT_TEST_DATA_DIR) / "raster");
    files.insert(files.end(), fixtures.begin(), fixtures.end());
    const std::pair<const char*, std::uint32_t> folders[] = {{"tga", kRasterTga}, {"pcx", kRasterPcx},
                                                              {"wbmp", kRasterWbmp}};
    std::size_t checked = 0;
    for (const auto& file : files) {
        for (const auto& [folder, formatId] : folders) {
            if (file.parent_path().filename() != folder) continue;
            const Bytes bytes = ReadAll(file);
            CRasterImage named;
            if (!named.Decode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), formatId)) continue;
            ++checked;
            EXPECT_EQ(ProbedFormat(bytes), formatId) << file;
        }
    }
    EXPECT_GT(checked, 20u);
}

}  // namespace
