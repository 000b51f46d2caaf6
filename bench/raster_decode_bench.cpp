// Decoding a 24-megapixel JPEG, PNG and TIFF (LZW) through the image codecs,
// timed in the same run as the libraries' own tools (djpeg, pngtopnm, tiffcp)
// on the same files. The pictures are written on the first run into the build
// tree by the codecs' own encoders.
#include "imaging/raster_image.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr std::uint32_t kWidth = 6000, kHeight = 4000;

// A picture with smooth areas and fine detail, so each codec has work of both kinds.
const std::string& BenchFile(std::uint32_t formatId, const char* extension) {
    static std::string paths[kRasterFormatCount];
    std::string& path = paths[formatId];
    if (!path.empty()) return path;
    path = std::string(VT_BENCH_DATA_DIR) + "/raster_24mp." + extension;
    if (std::filesystem::exists(path)) return path;
    CRasterImage image(kWidth, kHeight, 24, kRasterBmp);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = image.GetPixels(y);
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const std::uint32_t noise = (x * 2654435761u ^ y * 40503u) >> 28;
            row[3 * x] = std::uint8_t(x / 24 + noise);
            row[3 * x + 1] = std::uint8_t(y / 16 + noise);
            row[3 * x + 2] = std::uint8_t((x + y) / 40);
        }
    }
    image.Info.FormatOptions[kRasterTiff] = 5;  // LZW
    if (!image.SaveFile(path.c_str(), formatId)) path.clear();
    return path;
}

void DecodeOurs(benchmark::State& state, std::uint32_t formatId, const char* extension) {
    const std::string& path = BenchFile(formatId, extension);
    if (path.empty()) {
        state.SkipWithError("the picture could not be written");
        return;
    }
    for (auto _ : state) {
        CRasterImage image;
        if (!image.LoadFile(path.c_str(), formatId)) state.SkipWithError(image.GetLastErrorText());
        benchmark::DoNotOptimize(image.GetDIB());
    }
}

// The library's own tool on the same file; what it writes is thrown away
// (tiffcp needs a file it can seek in).
void DecodeTool(benchmark::State& state, std::uint32_t formatId, const char* extension, const char* command,
                const char* output) {
    const std::string& path = BenchFile(formatId, extension);
    const std::string line = std::string(command) + " '" + path + "' " + output + " >/dev/null 2>&1";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(line.c_str()) != 0) state.SkipWithError(command);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

BENCHMARK_CAPTURE(DecodeOurs, jpeg, kRasterJpeg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeTool, djpeg, kRasterJpeg, "jpg", "djpeg", "")
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeOurs, png, kRasterPng, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeTool, pngtopnm, kRasterPng, "png", "pngtopnm", "")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeOurs, tiff, kRasterTiff, "tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeTool, tiffcp, kRasterTiff, "tif", "tiffcp -c none",
                  VT_BENCH_DATA_DIR "/raster_24mp_copy.tif")
    ->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
