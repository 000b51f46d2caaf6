// Encoding a grey or colour image as the member of the JPEG-2000 family its
// identifier names.
#include "imaging/jpeg2000/jas_image.h"
#include "imaging/jpeg2000/jas_picture.h"

bool CRasterImageJAS::Encode(CRasterStream* stream, std::uint32_t formatId) {
    if (CheckEncodeTarget(stream)) return false;
    if (IsIndexed() && !HasIdentityGreyPalette()) {
        SetLastError("JasPer can save only RGB or GrayScale images");
        return false;
    }
    if (formatId == kRasterPgx && !IsIndexed()) {
        SetLastError("PGX can save only GrayScale images");
        return false;
    }
    JasPicture picture;
    JasImageToPicture(*this, picture);
    bool written = false;
    switch (formatId) {
    case kRasterJp2: written = WriteJpeg2000(*stream, true, picture, GetJpegQuality()); break;
    case kRasterJpc: written = WriteJpeg2000(*stream, false, picture, GetJpegQuality()); break;
    case kRasterPgx: written = WritePgx(*stream, picture); break;
    case kRasterPnm: written = WritePnm(*stream, picture); break;
    case kRasterRas: written = WriteRas(*stream, picture); break;
    default: break;
    }
    if (!written) {
        SetLastError("error: cannot encode image\n");
        return false;
    }
    stream->Flush();
    return true;
}
