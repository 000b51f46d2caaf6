// Decoding animated GIFs to their last frame, where every frame is composed
// onto the screen, and a true-colour picture written as a mosaic of tiles.
// The files are made in memory by the codec's own encoder.
#include "imaging/gif/gif_image.h"
#include "imaging/raster_stream.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t kWidth = 640, kHeight = 480, kFrames = 40;

std::vector<std::uint8_t> Encoded(CRasterImageGIF& gif) {
    CRasterMemStream stream;
    stream.Open();
    if (!gif.Encode(&stream)) return {};
    return {stream.Buffer, stream.Buffer + stream.Size()};
}

// One 8-bit frame repeated; with `localTables`, every other frame brings a
// table of its own, which turns the screen 24-bit.
std::vector<std::uint8_t> Animation(bool localTables) {
    CRasterImageGIF frame;
    frame.Create(kWidth, kHeight, 8, kRasterGif);
    for (std::uint32_t i = 0; i < 256; ++i)
        frame.SetPaletteEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                              static_cast<std::uint8_t>(i * 7));
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = frame.GetPixels(y);
        for (std::uint32_t x = 0; x < kWidth; ++x) row[x] = static_cast<std::uint8_t>((x / 8 + y / 8) * 37);
    }
    const std::vector<std::uint8_t> single = Encoded(frame);
    // Header and global table, then the control extension and image up to the trailer.
    const std::size_t head = 13 + 3 * 256;
    std::vector<std::uint8_t> file(single.begin(), single.begin() + head);
    const std::vector<std::uint8_t> image(single.begin() + head, single.end() - 1);
    for (std::uint32_t i = 0; i < kFrames; ++i) {
        if (localTables && i % 2) {
            // Control extension (8 bytes), descriptor (10 bytes) with the local
            // table flag, the global table reversed, then the data.
            file.insert(file.end(), image.begin(), image.begin() + 18);
            file.back() = 0x87;
            for (std::size_t k = 256; k-- > 0;) file.insert(file.end(), single.begin() + 13 + 3 * k, single.begin() + 16 + 3 * k);
            file.insert(file.end(), image.begin() + 18, image.end());
        } else {
            file.insert(file.end(), image.begin(), image.end());
        }
    }
    file.push_back(0x3B);
    return file;
}

std::vector<std::uint8_t> Mosaic() {
    CRasterImageGIF picture;
    picture.Create(kWidth, kHeight, 24, kRasterGif);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        std::uint8_t* row = picture.GetPixels(y);
        for (std::uint32_t x = 0; x < 3 * kWidth; ++x) row[x] = static_cast<std::uint8_t>(x * 5 + y * 3);
    }
    return Encoded(picture);
}

void Decode(benchmark::State& state, const std::vector<std::uint8_t>& file, std::int32_t frame) {
    for (auto _ : state) {
        CRasterImage image;
        image.SetFrame(frame);
        if (!image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), kRasterGif))
            state.SkipWithError(image.GetLastErrorText());
        benchmark::DoNotOptimize(image.GetDIB());
    }
}

void SharedTable(benchmark::State& state) { Decode(state, Animation(false), kFrames - 1); }
void LocalTables(benchmark::State& state) { Decode(state, Animation(true), kFrames - 1); }
void TrueColourMosaic(benchmark::State& state) { Decode(state, Mosaic(), 0); }

BENCHMARK(SharedTable)->Unit(benchmark::kMillisecond);
BENCHMARK(LocalTables)->Unit(benchmark::kMillisecond);
BENCHMARK(TrueColourMosaic)->Unit(benchmark::kMillisecond);

}  // namespace
