// TIFF decodes of arbitrary bytes through the stream binding.
#include "fuzz/fuzz_raster.h"
#include "imaging/tiff/tiff_image.h"

#include <algorithm>

#include <tiffio.h>

namespace {

// The size-only pass gives the picture's size, not its samples: grey and
// palette pages are read a strip or tile at a time, whose bytes grow with
// the samples a pixel and their bits, which a tiny input can set to 65535.
// Blocks above 8 bytes for each pixel of the largest picture decoded are
// passed over.
bool BlockTooLarge(const std::uint8_t* data, std::size_t size) {
    CRasterMemStream stream(data, static_cast<std::uint32_t>(size));
    TIFF* tif = TiffOpenStream(&stream, "r");
    if (!tif) return false;
    std::uint32_t width = 0, height = 0, rows = 0;
    std::uint16_t samples = 1, bits = 1;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    if (TIFFIsTiled(tif)) {
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
    }
    // In floating point: the product of the fields can pass 2^64.
    const double band = double(width) * samples * bits / 8 * std::clamp<std::uint32_t>(rows, 1, std::max<std::uint32_t>(height, 1));
    const double tile = TIFFIsTiled(tif) ? double(TIFFTileSize64(tif)) : 0;
    TIFFClose(tif);
    return std::max(band, tile) > double(kFuzzMaxPixels * 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (BlockTooLarge(data, size)) return 0;
    FuzzDecode(data, size, kRasterTiff, true);
    return 0;
}
