// WBMP pictures (format identifier 10): type 0 only, rows from the top, one
// bit per pixel with the leftmost pixel in the most significant bit, 1 white.
#pragma once

#include "imaging/raster_image.h"

class CRasterImageWBMP : public CRasterImage {
public:
    CRasterImageWBMP() : CRasterImage(kRasterWbmp) {}
    // Under identifier 0 the file must be a WBMP exactly: its weak signature
    // would take many other files for one.
    bool Decode(CRasterStream* stream, std::uint32_t formatId);
    bool Encode(CRasterStream* stream);
};
