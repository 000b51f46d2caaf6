// Helpers the codecs share: widening 16- and 32-bit pixels into the image's
// 24-bit rows, and a luminance order for colour triples.
#include "imaging/raster_image.h"

#include <bit>

namespace {

// The shift that brings a channel's mask to its top bit at bit 7, and a
// channel value of `bits` bits to 8 bits by repeating its top bits.
struct Channel {
    std::uint32_t mask;
    int shift;  // right shift of the masked value so its top bit lands at bit 7
    int bits;
};

Channel ChannelOf(std::uint32_t mask) {
    mask &= 0xFFFF;
    if (!mask) return {0, 0, 0};
    const int top = 31 - std::countl_zero(mask);
    return {mask, top - 7, std::popcount(mask)};
}

std::uint8_t Expand(std::uint32_t word, const Channel& c) {
    if (!c.mask) return 0;
    const std::uint32_t value = word & c.mask;
    return static_cast<std::uint8_t>(c.shift >= 0 ? value >> c.shift : value << -c.shift);
}

}  // namespace

void CRasterImage::ExpandBitfields(const std::uint8_t* source, std::uint32_t redMask, std::uint32_t greenMask,
                                   std::uint32_t blueMask, std::uint32_t bits) {
    if (!Dib || !source || Header.biBitCount != 24 || (bits != 16 && bits != 32)) return;
    const std::size_t width = GetWidth(), height = GetHeight();
    const std::size_t sourceRow = bits == 16 ? (width + 1) / 2 * 4 : width * 4;
    const Channel red = ChannelOf(redMask), green = ChannelOf(greenMask), blue = ChannelOf(blueMask);
    // Backwards from the last pixel of the top row: the source may be the
    // pixel rows themselves, and output then never overtakes input.
    for (std::size_t y = height; y-- > 0;) {
        const std::uint8_t* in = source + y * sourceRow;
        std::uint8_t* out = Info.Pixels + y * Info.RowBytes;
        for (std::size_t x = width; x-- > 0;) {
            std::uint8_t b, g, r;
            if (bits == 16) {
                const std::uint32_t word = in[2 * x] | (in[2 * x + 1] << 8);
                b = Expand(word, blue);
                g = Expand(word, green);
                r = Expand(word, red);
            } else {
                b = in[4 * x];
                g = in[4 * x + 1];
                r = in[4 * x + 2];
            }
            out[3 * x] = b;
            out[3 * x + 1] = g;
            out[3 * x + 2] = r;
        }
    }
}

int CRasterImage::CompareLuminance(const void* a, const void* b) {
    const auto* p = static_cast<const std::uint8_t*>(a);
    const auto* q = static_cast<const std::uint8_t*>(b);
    const int lp = (601 * p[1] + 306 * p[2] + 117 * p[0]) >> 10;
    const int lq = (601 * q[1] + 306 * q[2] + 117 * q[0]) >> 10;
    return lp - lq;
}
