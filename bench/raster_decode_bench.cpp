// Decoding a 24-megapixel JPEG, PNG and TIFF (LZW, in strips and in tiles)
// through the image codecs, timed in the same run as the libraries' own tools
// on the same files: djpeg, pngtopnm, and for TIFF tiffcp (decodes and writes
// the pixels uncompressed), tiff2rgba (decodes the whole page into one raster
// and writes it) and tiffinfo -D (decodes every strip or tile into one reused
// buffer and keeps nothing: the libraries' decoding alone). The pictures are
// written on the first run into the build tree by the codecs' own encoders;
// the tiled TIFF is the striped one re-written by tiffcp.
//
// Each row also counts the processor time of the decode ("cpu_ms": the
// benchmark's own for the codecs, the tool process's user and system time for
// the tools), which a busy machine disturbs less than the elapsed time.
#include "imaging/raster_image.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

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

const std::string& TiledTiff() {
    static std::string path;
    if (!path.empty()) return path;
    const std::string& strips = BenchFile(kRasterTiff, "tif");
    path = std::string(VT_BENCH_DATA_DIR) + "/raster_24mp_tiled.tif";
    const std::string command = "tiffcp -c lzw:2 -t -w 256 -l 256 '" + strips + "' '" + path + "'";
    if (strips.empty() || (!std::filesystem::exists(path) && std::system(command.c_str()) != 0)) path.clear();
    return path;
}

const std::string& File(std::uint32_t formatId, const char* extension) {
    return std::string(extension) == "tiled" ? TiledTiff() : BenchFile(formatId, extension);
}

// User and system time so far of this process (RUSAGE_SELF) or of its ended children (RUSAGE_CHILDREN).
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + 1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void DecodeOurs(benchmark::State& state, std::uint32_t formatId, const char* extension) {
    const std::string& path = File(formatId, extension);
    if (path.empty()) {
        state.SkipWithError("the picture could not be written");
        return;
    }
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    for (auto _ : state) {
        CRasterImage image;
        if (!image.LoadFile(path.c_str(), formatId)) state.SkipWithError(image.GetLastErrorText());
        benchmark::DoNotOptimize(image.GetDIB());
    }
    state.counters["cpu_ms"] = 1e3 * (CpuSeconds(RUSAGE_SELF) - cpuBefore) / double(state.iterations());
}

// The library's own tool on the same file; what it writes is thrown away
// (tiffcp and tiff2rgba need a file they can seek in).
void DecodeTool(benchmark::State& state, std::uint32_t formatId, const char* extension, const char* command,
                const char* output) {
    const std::string& path = File(formatId, extension);
    if (path.empty()) {
        state.SkipWithError("the picture could not be written");
        return;
    }
    const std::string line = std::string(command) + " '" + path + "' " + output + " >/dev/null 2>&1";
    const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(line.c_str()) != 0) state.SkipWithError(command);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["cpu_ms"] = 1e3 * (CpuSeconds(RUSAGE_CHILDREN) - cpuBefore) / double(state.iterations());
}

#define VT_TIFF_TOOLS(name, extension)                                                                              \
    BENCHMARK_CAPTURE(DecodeTool, tiffcp_##name, kRasterTiff, extension, "tiffcp -c none",                          \
                      VT_BENCH_DATA_DIR "/raster_24mp_copy.tif")                                                    \
        ->UseManualTime()->Unit(benchmark::kMillisecond);                                                           \
    BENCHMARK_CAPTURE(DecodeTool, tiff2rgba_##name, kRasterTiff, extension, "tiff2rgba -c none",                    \
                      VT_BENCH_DATA_DIR "/raster_24mp_rgba.tif")                                                    \
        ->UseManualTime()->Unit(benchmark::kMillisecond);                                                           \
    BENCHMARK_CAPTURE(DecodeTool, tiffinfo_D_##name, kRasterTiff, extension, "tiffinfo -D", "")                     \
        ->UseManualTime()->Unit(benchmark::kMillisecond)

BENCHMARK_CAPTURE(DecodeOurs, jpeg, kRasterJpeg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeTool, djpeg, kRasterJpeg, "jpg", "djpeg", "")
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeOurs, png, kRasterPng, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeTool, pngtopnm, kRasterPng, "png", "pngtopnm", "")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeOurs, tiff, kRasterTiff, "tif")->Unit(benchmark::kMillisecond);
VT_TIFF_TOOLS(strips, "tif");
BENCHMARK_CAPTURE(DecodeOurs, tiff_tiled, kRasterTiff, "tiled")->Unit(benchmark::kMillisecond);
VT_TIFF_TOOLS(tiles, "tiled");

}  // namespace
