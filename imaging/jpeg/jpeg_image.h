// The JPEG format class (format identifier 3), over libjpeg's 62 interface.
// It decodes and encodes through the image streams and owns the EXIF reading
// of the image it decodes, so an image decoded here and encoded again keeps
// its EXIF and comment sections.
#pragma once

#include "imaging/jpeg/exif_reader.h"
#include "imaging/raster_image.h"

class CRasterImageJPG : public CRasterImage {
public:
    // Option bits of format 3 (FormatOptions[3]).
    static constexpr std::uint32_t kEncodeBaseline = 0x1;      // baseline tables when the quality is set
    static constexpr std::uint32_t kEncodeArithmetic = 0x2;
    static constexpr std::uint32_t kEncodeGreyscale = 0x4;
    static constexpr std::uint32_t kEncodeOptimize = 0x8;      // optimised Huffman tables
    static constexpr std::uint32_t kEncodeProgressive = 0x10;
    static constexpr std::uint32_t kEncodeSmoothing = 0x40;    // SmoothingFactor applies
    static constexpr std::uint32_t kDecodeGreyscale = 0x80;
    static constexpr std::uint32_t kDecodeQuantize = 0x100;    // colours wanted: the JPEG quality byte
    static constexpr std::uint32_t kDecodeDither = 0x200;      // DitherMode applies
    static constexpr std::uint32_t kDecodeOnePass = 0x400;
    static constexpr std::uint32_t kDecodeNoFancyUpsampling = 0x800;

    CRasterImageJPG();
    ~CRasterImageJPG() override;

    // Parses the stream's EXIF and comment into ExifInfo and leaves the stream
    // where it was; true when EXIF was found.
    bool ReadExif(CRasterStream* stream);
    bool Decode(CRasterStream* stream);
    bool Encode(CRasterStream* stream);

    CRasterExifReader* ExifReader;
    ExifInfoRecord ExifInfo;
    int SmoothingFactor;
    int DitherMode;  // a libjpeg J_DITHER_MODE
};
