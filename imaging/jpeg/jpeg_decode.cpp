// JPEG decoding: rows arrive top first and fill the bottom-up pixel rows;
// CMYK (as Adobe stores it, inverted) becomes RGB, and the resolution comes
// from EXIF where present, else from the JFIF header.
#include "imaging/jpeg/jpeg_image.h"
#include "imaging/jpeg/jpeg_stream.h"
#include "imaging/raster_numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct DecodeSession {
    jpeg_decompress_struct info;
    JpegErrorManager error;
    JpegStreamSource source;
};

void SetResolution(CRasterImageJPG& image, const jpeg_decompress_struct& info, bool hasExif) {
    const ExifInfoRecord& exif = image.ExifInfo;
    if (hasExif) {
        if (exif.xResolution != 0 && exif.resolutionUnit != 0) {
            image.SetDpiX(RasterTruncate(exif.xResolution / exif.resolutionUnit));
        }
        if (exif.yResolution != 0 && exif.resolutionUnit != 0) {
            image.SetDpiY(RasterTruncate(exif.yResolution / exif.resolutionUnit));
        }
    } else if (info.density_unit == 2) {
        image.SetDpiX(RasterTruncate(std::floor(info.X_density * 2.54 + 0.5)));
        image.SetDpiY(RasterTruncate(std::floor(info.Y_density * 2.54 + 0.5)));
    } else {
        image.SetDpiX(info.X_density);
        image.SetDpiY(info.Y_density);
    }
}

void StoreCmykRow(const JSAMPLE* samples, std::size_t sampleBytes, std::uint8_t* row, std::size_t rowBytes) {
    for (std::size_t in = 0, out = 0; in + 3 < sampleBytes && out + 2 < rowBytes; in += 4, out += 3) {
        const unsigned black = samples[in + 3];
        row[out] = static_cast<std::uint8_t>(black * samples[in + 2] / 255);
        row[out + 1] = static_cast<std::uint8_t>(black * samples[in + 1] / 255);
        row[out + 2] = static_cast<std::uint8_t>(black * samples[in] / 255);
    }
}

// The library part of Decode. It sets the recovery point the error exit
// returns to, so no object with a destructor lives here.
bool DecodeWithLibrary(CRasterImageJPG& image, DecodeSession& session, CRasterStream* stream, bool hasExif) {
    jpeg_decompress_struct& info = session.info;
    info.err = JpegUseErrorManager(session.error, image);
    if (setjmp(session.error.recovery)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    JpegUseStreamSource(&info, session.source, stream);
    jpeg_read_header(&info, TRUE);

    const std::uint32_t options = image.Info.FormatOptions[kRasterJpeg];
    if (options & CRasterImageJPG::kDecodeGreyscale) info.out_color_space = JCS_GRAYSCALE;
    if (options & CRasterImageJPG::kDecodeQuantize) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = image.GetJpegQuality();
    }
    if (options & CRasterImageJPG::kDecodeDither) info.dither_mode = static_cast<J_DITHER_MODE>(image.DitherMode);
    if (options & CRasterImageJPG::kDecodeOnePass) info.two_pass_quantize = FALSE;
    if (options & CRasterImageJPG::kDecodeNoFancyUpsampling) info.do_fancy_upsampling = FALSE;
    // A scale of 0 (the default) is full size; this library would take a
    // denominator of 0 as an enlargement.
    info.scale_denom = image.GetJpegScale() ? image.GetJpegScale() : 1;

    if (image.Info.Escape == -1) {
        jpeg_calc_output_dimensions(&info);
        image.Header.biWidth = static_cast<std::int32_t>(info.output_width);
        image.Header.biHeight = static_cast<std::int32_t>(info.output_height);
        jpeg_destroy_decompress(&info);
        return true;
    }

    jpeg_start_decompress(&info);
    if (!image.Create(info.output_width, info.output_height, 8 * info.output_components, kRasterJpeg)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    SetResolution(image, info, hasExif);
    if (info.out_color_space == JCS_GRAYSCALE) {
        image.SetGreyRamp();
    } else if (info.quantize_colors) {
        // The table keeps its 256 entries; the colours beyond the library's stay black.
        image.SetPaletteArrays(static_cast<std::uint32_t>(info.actual_number_of_colors), info.colormap[0],
                               info.colormap[1], info.colormap[2]);
        image.SetImportantColors(static_cast<std::uint32_t>(info.actual_number_of_colors));
    }

    const std::size_t sampleBytes = std::size_t{info.output_width} * info.output_components;
    JSAMPARRAY samples =
        (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, JDIMENSION(sampleBytes), 1);
    const std::size_t rowBytes = image.GetRowBytes();
    const bool cmyk = info.output_components == 4 && !info.quantize_colors;
    while (info.output_scanline < info.output_height) {
        if (image.Info.Escape) {
            jpeg_destroy_decompress(&info);
            return false;
        }
        std::uint8_t* row = image.GetPixels(info.output_height - 1 - info.output_scanline);
        jpeg_read_scanlines(&info, samples, 1);
        if (cmyk) {
            StoreCmykRow(samples[0], sampleBytes, row, rowBytes);
        } else {
            std::memcpy(row, samples[0], std::min(sampleBytes, rowBytes));
        }
    }
    jpeg_finish_decompress(&info);

    if (info.output_components == 3 && !info.quantize_colors) {
        for (std::uint32_t y = 0; y < info.output_height; ++y) {
            if (image.Info.Escape) {
                jpeg_destroy_decompress(&info);
                return false;
            }
            image.SwapRedBlue(image.GetPixels(y), 3 * info.output_width);
        }
    }
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool CRasterImageJPG::Decode(CRasterStream* stream) {
    if (!stream) return false;
    const bool hasExif = ReadExif(stream);
    DecodeSession session{};
    return DecodeWithLibrary(*this, session, stream, hasExif);
}
