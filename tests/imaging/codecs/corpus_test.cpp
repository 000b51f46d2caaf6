// Every JPEG, PNG, TIFF, MNG, JNG, JPEG-2000, PNM, Sun raster, GIF, PCX, TGA,
// WBMP and PSD file of the shared raster data decodes to the pixels other readers give (references
// made at build time by make_references.py), every frame of an animation
// included, or fails with a clear error where they refuse it too.
#include "imaging/psd/psd_reader.h"
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
bool IsTransparent(const CRasterImage& image, std::uint32_t x, std::uint32_t y) {
    if (!image.HasTransparency()) return false;
    if (image.IsIndexed()) return image.GetIndexAt(x, y) == image.GetTransparentIndex();
    const RGBQUAD quad = image.GetColorAt(x, y, false), key = image.GetTransparentColor();
    return quad.rgbRed == key.rgbRed && quad.rgbGreen == key.rgbGreen && quad.rgbBlue == key.rgbBlue;
}

std::vector<std::uint8_t> TopDownPixels(const CRasterImage& image, std::uint32_t channels) {
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t{image.GetWidth()} * image.GetHeight() * channels);
    for (std::uint32_t y = image.GetHeight(); y-- > 0;) {
        for (std::uint32_t x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD quad = image.GetColorAt(x, y, false);
            out.insert(out.end(), {quad.rgbRed, quad.rgbGreen, quad.rgbBlue});
            if (channels == 4) {
                out.push_back(image.HasAlphaPlane() ? image.GetAlphaAt(x, y) : IsTransparent(image, x, y) ? 0 : 255);
            }
        }
    }
    return out;
}

// How the picture differs from the reference, empty when it does not. Pixels
// where `undecided` (the other reader's reference) and the reference disagree
// on whether the pixel is transparent are not compared: there the readers
// compose differently (a disposal to the background colour).
std::string Differences(const CRasterImage& image, const Reference& reference, const Reference* undecided = nullptr) {
    if (image.GetWidth() != reference.width || image.GetHeight() != reference.height) {
        return "size " + std::to_string(image.GetWidth()) + " x " + std::to_string(image.GetHeight()) + " against " +
               std::to_string(reference.width) + " x " + std::to_string(reference.height);
    }
    const std::vector<std::uint8_t> pixels = TopDownPixels(image, reference.channels);
    if (reference.crc != "-") {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08lx", crc32(0, pixels.data(), static_cast<uInt>(pixels.size())));
        return crc == reference.crc ? "" : "CRC " + std::string(crc) + " against " + reference.crc;
    }
    if (pixels.size() != reference.pixels.size()) return "reference holds " + std::to_string(reference.pixels.size()) + " bytes";
    std::size_t differing = 0, first = 0;
    const std::size_t channels = reference.channels;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        // The colour of a pixel both leave fully transparent does not count.
        const std::size_t alpha = i - i % channels + 3;
        if (channels == 4 && pixels[alpha] == 0 && reference.pixels[alpha] == 0) continue;
        if (undecided && undecided->pixels.size() == pixels.size() &&
            (undecided->pixels[alpha] == 0) != (reference.pixels[alpha] == 0))
            continue;
        if (std::abs(int(pixels[i]) - int(reference.pixels[i])) > int(reference.tolerance) && differing++ == 0) first = i;
    }
    if (differing == 0) return "";
    return std::to_string(differing) + " bytes differ, first at byte " + std::to_string(first) + ": " +
           std::to_string(pixels[first]) + " against " + std::to_string(reference.pixels[first]);
}

// Equal to the reference, or to the other reader's where the two readers
// differ (<name>.alt.ref).
void ExpectPixels(const CRasterImage& image, const Reference& reference, const std::filesystem::path& alternative) {
    const std::string differences = Differences(image, reference);
    if (differences.empty()) return;
    Reference other;
    if (!ReadReference(alternative, other)) {
        ADD_FAILURE() << differences;
        return;
    }
    if (Differences(image, other).empty()) return;
    const std::string outsideDisagreement = Differences(image, reference, &other);
    EXPECT_TRUE(outsideDisagreement.empty()) << outsideDisagreement;
}

// PSD files go through the PSD reader, which is not one of the image's formats.
constexpr std::uint32_t kPsd = 18;

// Decodes one frame of a file and compares it with its reference.
void CheckFrame(const std::filesystem::path& file, std::uint32_t formatId, const Reference& reference,
                std::int32_t frame, const std::filesystem::path& alternative) {
    CRasterImage image;
    bool decoded = false;
    if (formatId == kPsd) {
        CPsdReader reader;
        const int result = reader.Load(file.string().c_str());
        decoded = result == 0 && reader.DetachPicture(image);
        if (!decoded) image.SetLastError(("PSD reader: " + std::to_string(result)).c_str());
    } else {
        std::FILE* in = std::fopen(file.string().c_str(), "rb");
        ASSERT_NE(in, nullptr);
        image.SetFrame(frame);
        decoded = image.Decode(in, formatId);
        std::fclose(in);
    }
    const bool framesKnown = reference.status == "ok" || reference.status == "damaged";
    if (framesKnown && (formatId == kRasterTiff || formatId == kRasterMng || reference.frames > 1)) {
        EXPECT_EQ(image.GetNumFrames(), reference.frames);
    }
    if (reference.status == "toolarge") {
        // More samples than a decode may take: refused before anything is allocated.
        EXPECT_FALSE(decoded);
        EXPECT_STREQ(image.GetLastErrorText(), "RASTER_MAX_MEMORY exceeded");
        return;
    }
    if (reference.status == "partial") {
        // The other reader does not know every feature the file uses.
        EXPECT_TRUE(decoded) << image.GetLastErrorText();
        return;
    }
    if (reference.status == "refused" || (reference.status == "damaged" && !decoded)) {
        // A damaged animation shows what was drawn before the damage.
        if (formatId == kRasterMng && decoded) {
            EXPECT_TRUE(image.IsValid());
        } else {
            EXPECT_FALSE(decoded);
            EXPECT_STRNE(image.GetLastErrorText(), "");
        }
        return;
    }
    EXPECT_TRUE(decoded) << image.GetLastErrorText();
    if (decoded) ExpectPixels(image, reference, alternative);
}

void CheckFolder(const std::filesystem::path& source, const std::filesystem::path& references,
                 std::uint32_t formatId) {
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(source, error)) {
        if (std::filesystem::exists(references / (entry.path().filename().string() + ".ref"))) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        Reference reference;
        ASSERT_TRUE(ReadReference(references / (file.filename().string() + ".ref"), reference));
        CheckFrame(file, formatId, reference, 0, references / (file.filename().string() + ".alt.ref"));
        // Animations have a reference per frame. Each GIF frame's decode
        // composes every frame before it: of a long one the second and the last.
        for (std::int32_t frame = 1; frame < reference.frames; ++frame) {
            if (formatId == kRasterGif && reference.frames > 8 && frame != 1 && frame != reference.frames - 1) continue;
            SCOPED_TRACE(testing::Message() << "frame " << frame);
            Reference later;
            const std::string name = file.filename().string() + "." + std::to_string(frame);
            if (!ReadReference(references / (name + ".ref"), later)) break;
            CheckFrame(file, formatId, later, frame, references / (name + ".alt.ref"));
        }
    }
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
    CheckFolder(source, references, formatId);
}

// The project's own fixtures, made by other programs, decode as those programs read them.
TEST_P(RasterCorpus, FixturesDecodeLikeOtherReaders) {
    const auto [folder, formatId] = GetParam();
    const std::filesystem::path source = std::filesystem::path(VT_TEST_DATA_DIR) / "raster" / folder;
    const std::filesystem::path references = std::filesystem::path(VT_RASTER_REFERENCE_DIR) / "fixtures" / folder;
    std::error_code error;
    if (!std::filesystem::is_directory(source, error) || !std::filesystem::is_directory(references, error)) {
        GTEST_SKIP() << "no " << folder << " fixtures";
    }
    CheckFolder(source, references, formatId);
}

INSTANTIATE_TEST_SUITE_P(Formats, RasterCorpus,
                         testing::Values(std::pair{"jpeg", std::uint32_t{kRasterJpeg}},
                                         std::pair{"png", std::uint32_t{kRasterPng}},
                                         std::pair{"tiff", std::uint32_t{kRasterTiff}},
                                         std::pair{"mng", std::uint32_t{kRasterMng}},
                                         std::pair{"jng", std::uint32_t{kRasterMng}},
                                         std::pair{"jp2", std::uint32_t{kRasterJp2}},
                                         std::pair{"pnm", std::uint32_t{kRasterPnm}},
                                         std::pair{"ras", std::uint32_t{kRasterRas}},
                                         std::pair{"gif", std::uint32_t{kRasterGif}},
                                         std::pair{"pcx", std::uint32_t{kRasterPcx}},
                                         std::pair{"tga", std::uint32_t{kRasterTga}},
                                         std::pair{"wbmp", std::uint32_t{kRasterWbmp}},
                                         std::pair{"psd", kPsd}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
