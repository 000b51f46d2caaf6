#include "imaging/jpeg/jpeg_image.h"

#include "imaging/jpeg/jpeg_stream.h"

#include <cstring>
#include <new>

CRasterImageJPG::CRasterImageJPG()
    : CRasterImage(kRasterJpeg), ExifReader(nullptr), ExifInfo{}, SmoothingFactor(0), DitherMode(JDITHER_FS) {}

CRasterImageJPG::~CRasterImageJPG() { delete ExifReader; }

bool CRasterImageJPG::ReadExif(CRasterStream* stream) {
    delete ExifReader;
    ExifInfo = ExifInfoRecord{};
    ExifReader = new (std::nothrow) CRasterExifReader(&ExifInfo);
    if (!ExifReader || !stream) return false;
    const long position = stream->Tell();
    ExifReader->ReadSections(stream, CRasterExifReader::kReadExif);
    stream->Seek(position, 0);
    return ExifInfo.isExif;
}
