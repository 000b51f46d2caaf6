// GIF pictures (format identifier 2). Decoding reads GIF87a and GIF89a and
// returns the frame FrameIndex selects composed onto the logical screen;
// encoding writes GIF89a, pictures of more than 8 bits as a mosaic of small
// frames with tables of their own, so that no colour is lost.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>

// Entry 2 of FormatOptions picks the encoder's compressor.
enum GifCompression : std::uint32_t {
    kGifLzw = 0,
    kGifPlain = 1,  // one code per pixel
    kGifRle = 2,    // runs coded through the decoder's own table growth
};

class CRasterImageGIF : public CRasterImage {
public:
    CRasterImageGIF() : CRasterImage(kRasterGif) {}
    bool Decode(CRasterStream* stream);
    bool Encode(CRasterStream* stream);

    // What the last graphic control extension said, as in the file.
    std::uint8_t ControlFlags = 0;
    std::uint16_t ControlDelay = 0;
    std::uint8_t ControlTransparent = 0;
    // Up to 255 characters; written by Encode when not empty.
    char Comment[256] = {};
    std::uint16_t LoopCount = 0;
    // Written into the control extension by Encode; read from it by Decode.
    std::uint8_t DisposalMethod = 0;

private:
    bool EncodeRgbMosaic(CRasterStream* stream);
    bool WriteHeader(CRasterStream* stream);
    bool WriteControlExtension(CRasterStream* stream);
    bool WriteComment(CRasterStream* stream);
    bool WriteImage(CRasterStream* stream, bool localTable);
};
