// PNG encoding: palette images with their transparency, true-colour images,
// and an alpha plane (or a transparent colour) as RGBA.
#include "imaging/png/png_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <png.h>

namespace {

struct EncodeSession {
    png_structp png;
    png_infop info;
    std::uint8_t* row;
    bool temporaryAlpha;
};

void WriteToStream(png_structp png, png_bytep data, std::size_t length) {
    auto* stream = static_cast<CRasterStream*>(png_get_io_ptr(png));
    if (stream->Write(data, 1, length) != length) png_error(png, "Write Error");
}

void FlushStream(png_structp png) {
    if (!static_cast<CRasterStream*>(png_get_io_ptr(png))->Flush()) png_error(png, "Flush Error");
}

// The palette entries written: all of them, or for small pictures only up to
// the largest index in use.
int WrittenEntries(const CRasterImage& image) {
    const int size = static_cast<int>(image.GetPaletteCount());
    if (size <= 2 || std::uint64_t{image.GetWidth()} * image.GetHeight() >= 65536) return size;
    int largest = 0;
    for (std::uint32_t y = 0; y < image.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < image.GetWidth(); ++x) largest = std::max<int>(largest, image.IndexAtUnchecked(x, y));
    }
    return std::min(size, largest + 1);
}

// Returns the number of entries written.
int WritePalette(CRasterImage& image, png_structp png, png_infop info) {
    png_byte alpha[256];
    int alphaCount = 0;
    if (image.HasTransparency()) {
        const auto index = static_cast<std::uint8_t>(image.GetTransparentIndex());
        if (index != 0) {
            image.SwapPaletteIndices(0, index);
            image.SetTransparentIndex(0);
            if (image.Info.Ghost) image.Info.Ghost->SetTransparentIndex(0);
        }
        alpha[0] = 0;
        alphaCount = 1;
    }
    const int entries = WrittenEntries(image);
    const RGBQUAD* table = image.PaletteData();
    if (image.Info.AlphaPaletteEnabled) {
        for (int i = 0; i < entries; ++i) alpha[i] = table[i].rgbReserved;
        alphaCount = entries;
    }
    png_color palette[256];
    for (int i = 0; i < entries; ++i) palette[i] = png_color{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue};
    png_set_PLTE(png, info, palette, entries);
    if (alphaCount) png_set_tRNS(png, info, alpha, alphaCount, nullptr);
    return entries;
}

// The library part of Encode. It sets the recovery point libpng's error
// handling returns to, so no object with a destructor lives here.
bool EncodeWithLibrary(CRasterImagePNG& image, EncodeSession& session, CRasterStream* stream) {
    png_structp png = session.png;
    png_infop info = session.info;
    if (setjmp(png_jmpbuf(png))) {
        std::free(session.row);
        if (session.temporaryAlpha) image.DeleteAlphaPlane();
        png_destroy_write_struct(&session.png, &session.info);
        image.SetLastError("Error saving PNG file");
        return false;
    }
    png_set_write_fn(png, stream, WriteToStream, FlushStream);
    const png_uint_32 width = image.GetWidth();
    const png_uint_32 height = image.GetHeight();
    const bool indexed = image.IsIndexed();

    // A transparent colour of a true-colour image is written as an alpha plane.
    if (!indexed && image.HasTransparency() && !image.HasAlphaPlane()) {
        image.CreateAlphaPlane();
        session.temporaryAlpha = image.HasAlphaPlane();
        const RGBQUAD key = image.Info.TransparentColor;
        for (png_uint_32 y = 0; y < height && session.temporaryAlpha; ++y) {
            for (png_uint_32 x = 0; x < width; ++x) {
                const std::uint8_t* p = image.RgbAddressAt(x, y);
                if (p[0] == key.rgbBlue && p[1] == key.rgbGreen && p[2] == key.rgbRed) image.SetAlphaAt(x, y, 0);
            }
        }
    }
    const bool alpha = image.HasAlphaPlane();
    const int interlace = image.Info.FormatOptions[kRasterPng] == 1 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    const int colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB;
    const int bitDepth = alpha ? 8 : indexed ? image.GetBpp() : 8;
    png_set_IHDR(png, info, width, height, bitDepth, colorType, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);

    const int entries = indexed && !alpha ? WritePalette(image, png, info) : 0;
    RGBQUAD backgroundQuad{255, 255, 255, 0};
    if (image.HasTransparency()) backgroundQuad = image.GetTransparentColor();
    png_color_16 background{0, backgroundQuad.rgbRed, backgroundQuad.rgbGreen, backgroundQuad.rgbBlue, 0};
    if (indexed && !alpha) background.index = image.FindNearestIndex(backgroundQuad);
    // A palette background must name a written entry.
    if (!(indexed && !alpha) || background.index < entries) png_set_bKGD(png, info, &background);
    png_set_pHYs(png, info, static_cast<png_uint_32>(image.Header.biXPelsPerMeter),
                 static_cast<png_uint_32>(image.Header.biYPelsPerMeter), PNG_RESOLUTION_METER);
    png_write_info(png, info);

    const int passes = png_set_interlace_handling(png);
    const std::size_t rowSize = alpha ? std::size_t{4} * width : image.GetRowBytes();
    session.row = static_cast<std::uint8_t*>(std::malloc(rowSize));
    if (!session.row) png_error(png, "Out of memory");
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            const std::uint32_t source = height - 1 - y;
            if (alpha) {
                for (png_uint_32 x = width; x-- > 0;) {
                    const RGBQUAD quad = image.GetColorAt(x, source, false);
                    std::uint8_t* p = session.row + 4 * x;
                    p[0] = quad.rgbRed;
                    p[1] = quad.rgbGreen;
                    p[2] = quad.rgbBlue;
                    p[3] = static_cast<std::uint8_t>(image.AlphaAtUnchecked(x, source) * image.Info.AlphaMax / 255);
                }
            } else {
                std::memcpy(session.row, image.GetPixels(source), rowSize);
                if (!indexed) image.SwapRedBlue(session.row, static_cast<std::uint32_t>(rowSize));
            }
            png_write_row(png, session.row);
        }
    }
    std::free(session.row);
    session.row = nullptr;
    if (session.temporaryAlpha) image.DeleteAlphaPlane();
    png_write_end(png, info);
    png_destroy_write_struct(&session.png, &session.info);
    return true;
}

}  // namespace

bool CRasterImagePNG::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    EncodeSession session{};
    session.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!session.png) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    session.info = png_create_info_struct(session.png);
    if (!session.info) {
        png_destroy_write_struct(&session.png, nullptr);
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    return EncodeWithLibrary(*this, session, stream);
}
