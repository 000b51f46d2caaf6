// JPEG encoding of true-colour and grey images, top row first, with the EXIF
// and comment sections of a file this object decoded put back in front.
#include "imaging/jpeg/jpeg_image.h"
#include "imaging/jpeg/jpeg_stream.h"

#include <cstring>

namespace {

struct EncodeSession {
    jpeg_compress_struct info;
    JpegErrorManager error;
    JpegStreamDestination destination;
};

// The library part of Encode. It sets the recovery point the error exit
// returns to, so no object with a destructor lives here.
bool EncodeWithLibrary(CRasterImageJPG& image, EncodeSession& session, CRasterStream* stream) {
    jpeg_compress_struct& info = session.info;
    info.err = JpegUseErrorManager(session.error, image);
    if (setjmp(session.error.recovery)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    JpegUseStreamDestination(&info, session.destination, stream);
    const bool grey = image.IsIndexed();
    info.image_width = static_cast<JDIMENSION>(image.GetWidth());
    info.image_height = static_cast<JDIMENSION>(image.GetHeight());
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);

    const std::uint32_t options = image.Info.FormatOptions[kRasterJpeg];
    if (options & CRasterImageJPG::kEncodeArithmetic) info.arith_code = TRUE;
    if (options & CRasterImageJPG::kEncodeOptimize) info.optimize_coding = TRUE;
    if (options & CRasterImageJPG::kEncodeGreyscale) jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    if (options & CRasterImageJPG::kEncodeSmoothing) info.smoothing_factor = image.SmoothingFactor;
    jpeg_set_quality(&info, image.GetJpegQuality(), (options & CRasterImageJPG::kEncodeBaseline) ? TRUE : FALSE);
    if (options & CRasterImageJPG::kEncodeProgressive) jpeg_simple_progression(&info);
    info.density_unit = 1;
    info.X_density = static_cast<UINT16>(image.GetDpiX());
    info.Y_density = static_cast<UINT16>(image.GetDpiY());

    jpeg_start_compress(&info, TRUE);
    const std::uint32_t rowBytes = image.GetRowBytes();
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, rowBytes + 8, 1);
    for (std::uint32_t y = 0; y < info.image_height; ++y) {
        std::memcpy(row[0], image.GetPixels(info.image_height - 1 - y), rowBytes);
        if (!grey) image.SwapRedBlue(row[0], rowBytes);
        jpeg_write_scanlines(&info, row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool CRasterImageJPG::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    // A grey image is written one byte per pixel, so only 8-bit grey qualifies:
    // a smaller grey image would have the library read past its rows.
    if (IsIndexed() && (GetBpp() != 8 || !HasIdentityGreyPalette())) {
        SetLastError("JPEG can save only RGB or GreyScale images");
        return false;
    }
    const long position = stream->Tell();
    EncodeSession session{};
    if (!EncodeWithLibrary(*this, session, stream)) return false;

    if (ExifReader && ExifInfo.isExif) {
        // Write the file anew: the kept EXIF and comment, then what the library wrote.
        ExifReader->KeepExifAndComment();
        stream->Seek(position, 0);
        bool written = ExifReader->ReadSections(stream, CRasterExifReader::kReadImage);
        stream->Seek(position, 0);
        written = written && ExifReader->WriteSections(stream);
        if (!written) {
            SetLastError(ExifReader->LastError);
            return false;
        }
    }
    return true;
}
