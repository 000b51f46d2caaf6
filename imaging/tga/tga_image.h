// TGA pictures (format identifier 8): an 18-byte header, an identification
// field, an optional colour map and the pixels, plain or run-length coded,
// bottom row first unless the descriptor says otherwise.
#pragma once

#include "imaging/raster_image.h"

class CRasterImageTGA : public CRasterImage {
public:
    CRasterImageTGA() : CRasterImage(kRasterTga) {}
    // Under identifier 0 the header must describe a consistent picture that
    // the file has room for: TGA has no signature at all.
    bool Decode(CRasterStream* stream, std::uint32_t formatId);
    bool Encode(CRasterStream* stream);
};
