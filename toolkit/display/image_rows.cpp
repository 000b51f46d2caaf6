// The pixel rows of an engine-drawn image: each row of the picture is a
// device line, clipped to the viewport and the clip region, whose pieces go
// into the raster command buffer with the pixels they cover.
#include "toolkit/display/emit.h"
#include "toolkit/display/image.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct PieceEnd {
    double x, y;
    double pixelX, pixelY;
    double fraction;
    std::uint8_t rgb[3];
    std::uint8_t spare[5];
};
static_assert(sizeof(PieceEnd) == 48, "a piece end is 48 bytes");

void put32(std::int32_t value) { adRasterPut(&value, sizeof value); }

void worldOf(const AdImageData* image, double x, double y, double out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = image->insertion[k] + x * image->uVector[k] + y * image->vVector[k];
}

double squared(double dx, double dy) { return dx * dx + dy * dy; }

// The pixels of one piece: in bit mode the row's bits from the first
// column on, packed from the most significant bit; else R, G, B each.
void putPixels(AdDrawing* drawing, const std::uint8_t* row, const AdBitmapHeader& header, std::int32_t first,
               std::int32_t count, bool bits) {
    if (bits) {
        for (std::int32_t at = 0; at < count; at += 8) {
            std::uint8_t packed = 0;
            for (int k = 0; k < 8 && at + k < count; ++k) {
                const std::int32_t x = first + at + k;
                if (x >= 0 && x < header.width && (row[x / 8] & (0x80 >> (x % 8)))) packed |= 0x80 >> k;
            }
            adRasterPut(&packed, 1);
            adRasterFlush(drawing, true);
        }
        return;
    }
    for (std::int32_t k = 0; k < count; ++k) {
        std::uint8_t rgb[3];
        adBitmapRowColour(row, first + k, &header, rgb);
        adRasterPut(rgb, 3);
        adRasterFlush(drawing, true);
    }
}

}  // namespace

// The row at pixel line y of the picture (0 at its lower edge) in viewport
// v, carrying the pixels of stored row y - 1.
void adRenderImageRow(AdDrawing* drawing, double y, const AdImageData* image, const AdBitmapHeader& header,
                      const std::uint8_t* row, const AdMatrix4* matrix, int v, bool bits) {
    const double width = header.width;
    double world[3], a[2], b[2];
    worldOf(image, 0.0, y, world);
    adTransformToDevice(world, matrix, a);
    worldOf(image, width, y, world);
    adTransformToDevice(world, matrix, b);
    const double length = squared(b[0] - a[0], b[1] - a[1]);
    // A row seen edge-on has no length on the device: it carries no pixels.
    if (!(length > 0.0) || !std::isfinite(length)) return;
    const double ratio = width * width / length;
    AdGrowBuffer* buffer = &adRender->growBuffers[AD_BUFFER_DOUBLE];
    const std::int32_t pieces = adClipDeviceLine(drawing, a, b, v, buffer);
    for (std::int32_t i = 0; i < pieces; ++i) {
        AdDeviceSegment s = static_cast<const AdDeviceSegment*>(buffer->data)[i];
        // The clipper may hand a piece back reversed.
        if (squared(s.x1 - a[0], s.y1 - a[1]) > squared(s.x2 - a[0], s.y2 - a[1])) {
            std::swap(s.x1, s.x2);
            std::swap(s.y1, s.y2);
        }
        double start = std::sqrt(ratio * squared(s.x1 - a[0], s.y1 - a[1]));
        double end = width - std::sqrt(ratio * squared(b[0] - s.x2, b[1] - s.y2));
        start = std::fmin(std::fmax(start, 0.0), width);
        end = std::fmin(std::fmax(end, start), width);
        const double low = std::floor(start), high = std::ceil(end);
        // The start entry's pixel covers the piece up to the next whole
        // column; the pixels that follow start there, so none is sent twice
        // or left out when the piece starts on a whole column.
        const auto count = static_cast<std::int32_t>(std::fmax(high - low - 1.0, 0.0));
        PieceEnd first{s.x1, s.y1, low, y, start - low, {}, {}};
        PieceEnd last{s.x2, s.y2, high, y, high - start, {}, {}};
        adBitmapRowColour(row, static_cast<std::int32_t>(low), &header, first.rgb);
        adBitmapRowColour(row, static_cast<std::int32_t>(high), &header, last.rgb);
        const double span = end - start;
        const double step[2] = {span > 0.0 ? (s.x2 - s.x1) / span : 0.0, span > 0.0 ? (s.y2 - s.y1) / span : 0.0};
        put32(AD_RASTER_ROW_PIECE);
        adRasterPut(&first, sizeof first);
        adRasterPut(&last, sizeof last);
        put32(count);
        adRasterPut(step, sizeof step);
        adRasterFlush(drawing, true);
        putPixels(drawing, row, header, static_cast<std::int32_t>(low) + 1, count, bits);
    }
}
