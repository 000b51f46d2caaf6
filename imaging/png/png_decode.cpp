// PNG decoding: 16-bit samples are cut to 8, pictures without a full alpha
// channel are composited on their background, RGBA keeps an alpha plane, and
// 2-bit pixels are widened to the image's 4 bits.
#include "imaging/png/png_image.h"
#include "imaging/raster_numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <png.h>

namespace {

struct DecodeSession {
    png_structp png;
    png_infop info;
    std::uint8_t* row;
};

void ReadFromStream(png_structp png, png_bytep data, std::size_t length) {
    auto* stream = static_cast<CRasterStream*>(png_get_io_ptr(png));
    if (stream->Read(data, 1, length) != length) png_error(png, "Read Error");
}

void ErrorToImage(png_structp png, png_const_charp message) {
    static_cast<CRasterImage*>(png_get_error_ptr(png))->SetLastError(message);
    png_longjmp(png, 1);
}

void SetResolution(CRasterImage& image, png_structp png, png_infop info) {
    png_uint_32 x = 0, y = 0;
    int unit = PNG_RESOLUTION_UNKNOWN;
    png_get_pHYs(png, info, &x, &y, &unit);
    if (unit == PNG_RESOLUTION_METER) {
        image.SetDpiX(RasterTruncate(std::floor(x * 0.0254 + 0.5)));
        image.SetDpiY(RasterTruncate(std::floor(y * 0.0254 + 0.5)));
    } else {
        image.SetDpiX(RasterTruncate(x));
        image.SetDpiY(RasterTruncate(y));
    }
}

void SetPalette(CRasterImage& image, png_structp png, png_infop info, int bitDepth) {
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count)) {
        image.SetPaletteTriples(reinterpret_cast<const std::uint8_t*>(palette), static_cast<std::uint32_t>(count));
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) && alpha) {
            RGBQUAD* table = image.PaletteData();
            const int entries = std::min<int>(count, static_cast<int>(image.GetPaletteCount()));
            const int given = std::min(entries, alphaCount);
            for (int i = 0; i < given; ++i) table[i].rgbReserved = alpha[i];
            if (alphaCount == 1 && alpha[0] == 0) {
                image.SetTransparentIndex(0);
            } else {
                image.Info.AlphaPaletteEnabled = true;
                for (int i = given; i < entries; ++i) table[i].rgbReserved = 255;
            }
        }
    } else if (bitDepth == 2) {
        for (std::uint32_t i = 0; i < 4; ++i) {
            const auto grey = static_cast<std::uint8_t>(85 * i);
            image.SetPaletteEntry(i, grey, grey, grey);
        }
    } else {
        image.SetGreyRamp();
    }
}

// Widens a row of 2-bit pixels in place to 4 bits, from the last pixel back.
void Widen2To4(std::uint8_t* row, std::uint32_t width) {
    for (std::uint32_t n = width; n-- > 0;) {
        const std::uint8_t value = (row[n / 4] >> (6 - 2 * (n % 4))) & 3;
        std::uint8_t& target = row[n / 2];
        target = n % 2 ? static_cast<std::uint8_t>((target & 0xF0) | value)
                       : static_cast<std::uint8_t>((target & 0x0F) | (value << 4));
    }
}

// The library part of Decode. It sets the recovery point the error function
// returns to, so no object with a destructor lives here.
bool DecodeWithLibrary(CRasterImagePNG& image, DecodeSession& session, CRasterStream* stream) {
    png_structp png = session.png;
    png_infop info = session.info;
    if (setjmp(png_jmpbuf(png))) {
        std::free(session.row);
        png_destroy_read_struct(&session.png, &session.info, nullptr);
        return false;
    }
    png_set_read_fn(png, stream, ReadFromStream);
    png_set_error_fn(png, &image, ErrorToImage, nullptr);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int colorType = png_get_color_type(png, info);
    const int pixelDepth = bitDepth * png_get_channels(png, info);

    png_color_16p background = nullptr;
    const bool hasBackground = png_get_bKGD(png, info, &background) && background;
    if (pixelDepth != 32) {
        if (hasBackground) {
            png_set_background(png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            png_color_16 grey{0, 192, 192, 192, 192};
            png_set_background(png, &grey, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    } else if (hasBackground) {
        image.SetTransparentColor(RGBQUAD{static_cast<std::uint8_t>(background->blue),
                                          static_cast<std::uint8_t>(background->green),
                                          static_cast<std::uint8_t>(background->red), 0});
    }
    if (bitDepth == 16) png_set_strip_16(png);

    const std::uint32_t depth = pixelDepth == 16 ? 8 : pixelDepth <= 8 ? pixelDepth : 24;
    if (!image.Create(width, height, depth, kRasterPng)) png_longjmp(png, 1);
    SetResolution(image, png, info);
    SetPalette(image, png, info, bitDepth);

    if (colorType == PNG_COLOR_TYPE_RGB_ALPHA || (colorType == PNG_COLOR_TYPE_GRAY_ALPHA && pixelDepth == 32)) {
        if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
            png_set_gray_to_rgb(png);
            png_set_expand(png);
        }
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        image.CreateAlphaPlane();
    }
    if (colorType & PNG_COLOR_MASK_COLOR) png_set_bgr(png);
    if (image.Info.Escape) png_longjmp(png, 1);

    const std::size_t rowSize = std::size_t((pixelDepth + 7) / 8) * width + 10;
    session.row = static_cast<std::uint8_t*>(std::malloc(rowSize));
    if (!session.row) png_error(png, "Out of memory");
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    // Whatever the transformations made of a row must fit the buffer sized
    // from the file's own pixel depth.
    if (png_get_rowbytes(png, info) > rowSize) png_error(png, "Unexpected PNG row size");
    image.Info.FormatOptions[kRasterPng] = passes > 1 ? 1 : 0;

    const bool alpha = image.HasAlphaPlane();
    const std::size_t copyBytes = std::min<std::size_t>(image.GetRowBytes(), rowSize);
    std::uint8_t* buffer = session.row;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if (image.Info.Escape) png_longjmp(png, 1);
            const std::uint32_t target = height - 1 - y;
            std::uint8_t* pixels = image.GetPixels(target);
            if (alpha) {
                if (pass > 0) {
                    for (png_uint_32 x = width; x-- > 0;) {
                        std::memcpy(buffer + 4 * x, pixels + 3 * x, 3);
                        buffer[4 * x + 3] = image.AlphaAtUnchecked(x, target);
                    }
                }
                png_read_row(png, buffer, nullptr);
                for (png_uint_32 x = 0; x < width; ++x) {
                    std::memcpy(pixels + 3 * x, buffer + 4 * x, 3);
                    image.SetAlphaAt(x, target, buffer[4 * x + 3]);
                }
            } else {
                if (pass > 0) std::memcpy(buffer, pixels, copyBytes);
                png_read_row(png, buffer, nullptr);
                if (bitDepth == 2 && pass == passes - 1) Widen2To4(buffer, width);
                std::memcpy(pixels, buffer, copyBytes);
            }
        }
    }
    std::free(session.row);
    session.row = nullptr;
    png_read_end(png, nullptr);
    png_destroy_read_struct(&session.png, &session.info, nullptr);
    return true;
}

}  // namespace

namespace {
// libpng sizes some of its own buffers from chunk fields; a hostile file can
// ask for gigabytes. No real picture needs a single library block this large.
constexpr png_alloc_size_t kPngLibraryBlockLimit = 256u * 1024 * 1024;

png_voidp boundedPngMalloc(png_structp, png_alloc_size_t size) {
    return size > kPngLibraryBlockLimit ? nullptr : std::malloc(size);
}

void pngFree(png_structp, png_voidp block) { std::free(block); }
}  // namespace

bool CRasterImagePNG::Decode(CRasterStream* stream) {
    DecodeSession session{};
    session.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, nullptr,
                                           boundedPngMalloc, pngFree);
    if (!session.png) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    session.info = png_create_info_struct(session.png);
    if (!session.info) {
        png_destroy_read_struct(&session.png, nullptr, nullptr);
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    // A hostile file can name an ancillary chunk of gigabytes (or one that
    // inflates to that); no picture needs more than this per chunk.
    png_set_chunk_malloc_max(session.png, 16 * 1024 * 1024);
    return DecodeWithLibrary(*this, session, stream);
}
