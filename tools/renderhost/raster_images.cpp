// The raster host's image files and raster command blocks.
#include "tools/renderhost/raster_images.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

RasterImageHost& images(void* user) { return static_cast<RasterImageHost&>(*static_cast<RasterHost*>(user)); }
int loadImage(const char* path, AdStore** out, void* user) { return images(user).load(path, out); }
void drawImage(const std::uint8_t* block, std::int16_t length, void* user) { images(user).block(block, length); }

std::int32_t read32(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
double readDouble(const std::uint8_t* p) {
    double v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

constexpr std::int32_t kHeader = 0x1000000, kPiece = 0x2000000;
constexpr int kPieceSize = 120, kEndSize = 48;

}  // namespace

void RasterImageHost::install() {
    RasterHost::install();
    adSetImageFileHook(loadImage);
    adSetImageDrawHook(drawImage);
}

// The file's name after its last separator, in the folder.
int RasterImageHost::load(const char* path, AdStore** imageOut) {
    std::string name = path ? path : "";
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    if (!in) return 0;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) return 0;
    adStreamWrite(out, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    adStreamCloseWrite(out);
    *imageOut = store;
    return 1;
}

// Pixel positions from..to along the piece, one step deep below it.
void RasterImageHost::paint(double from, double to, const std::uint8_t rgb[3]) {
    if (!(to > from)) return;
    const double a = from - startPixel_, b = to - startPixel_;
    const double x0 = startX_ + a * stepX_, y0 = startY_ + a * stepY_;
    const double x1 = startX_ + b * stepX_, y1 = startY_ + b * stepY_;
    const double downX = stepY_, downY = -stepX_;
    const DevicePoint corners[4] = {
        {static_cast<std::int32_t>(std::lround(x0)), static_cast<std::int32_t>(std::lround(y0))},
        {static_cast<std::int32_t>(std::lround(x1)), static_cast<std::int32_t>(std::lround(y1))},
        {static_cast<std::int32_t>(std::lround(x1 + downX)), static_cast<std::int32_t>(std::lround(y1 + downY))},
        {static_cast<std::int32_t>(std::lround(x0 + downX)), static_cast<std::int32_t>(std::lround(y0 + downY))}};
    setRgb(std::uint32_t{rgb[0]} << 16 | rgb[1] << 8 | rgb[2]);
    const std::int32_t count = 4;
    fill(corners, &count, 1);
}

void RasterImageHost::block(const std::uint8_t* bytes, std::int16_t length) {
    ++blocks_;
    std::int32_t at = 0;
    while (at < length) {
        if (pending_ > 0) {
            std::uint8_t rgb[3] = {};
            if (mode_ == 2) {
                for (int k = 0; k < 8 && pending_ > 0; ++k, --pending_, ++column_) {
                    const std::uint8_t level = (bytes[at] & (0x80 >> k)) ? 255 : 0;
                    rgb[0] = rgb[1] = rgb[2] = level;
                    paint(column_, std::fmin(column_ + 1.0, endPixel_), rgb);
                }
                at += 1;
            } else {
                std::memcpy(rgb, bytes + at, 3);
                paint(column_, std::fmin(column_ + 1.0, endPixel_), rgb);
                at += 3, --pending_, ++column_;
            }
            continue;
        }
        const std::int32_t tag = read32(bytes + at);
        if (tag == kHeader) {
            mode_ = read32(bytes + at + 12);
            at += 16;
        } else if (tag == kPiece && at + kPieceSize <= length) {
            const std::uint8_t* start = bytes + at + 4;
            const std::uint8_t* end = start + kEndSize;
            startX_ = readDouble(start), startY_ = readDouble(start + 8);
            startPixel_ = readDouble(start + 16) + readDouble(start + 32);
            pending_ = read32(end + kEndSize);
            stepX_ = readDouble(end + kEndSize + 4), stepY_ = readDouble(end + kEndSize + 12);
            const double stepLength = std::hypot(stepX_, stepY_);
            const double run = std::hypot(readDouble(end) - startX_, readDouble(end + 8) - startY_);
            endPixel_ = startPixel_ + (stepLength > 0 ? run / stepLength : 0.0);
            // The start entry's pixel covers the piece up to the next whole column.
            column_ = static_cast<std::int32_t>(readDouble(start + 16)) + 1;
            paint(startPixel_, std::fmin(static_cast<double>(column_), endPixel_), start + 40);
            at += kPieceSize;
        } else {
            at += 4;
        }
    }
}
