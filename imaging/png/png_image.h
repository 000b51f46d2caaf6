// The PNG format class (format identifier 4), over libpng. It maps PNG colour
// types onto the image's depths (1, 4, 8 or 24 bits, with a palette, a
// transparent index or an alpha plane) and keeps the interlace flag in the
// format's option word (1 interlaced, 0 not).
#pragma once

#include "imaging/raster_image.h"

class CRasterImagePNG : public CRasterImage {
public:
    CRasterImagePNG() : CRasterImage(kRasterPng) {}

    bool Decode(CRasterStream* stream);
    bool Encode(CRasterStream* stream);
};
