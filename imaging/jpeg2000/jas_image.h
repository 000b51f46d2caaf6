// The JPEG-2000 family format class: identifiers 12 (JP2 file), 13 (JPEG-2000
// code stream), 14 (PGX), 15 (PNM) and 16 (Sun raster), one class for all
// five. Decode recognises the member by the stream's first bytes; Encode
// writes the member its identifier names.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>

class CRasterImageJAS : public CRasterImage {
public:
    CRasterImageJAS() : CRasterImage(kRasterUnknown) {}

    // formatId 12 to 16, or 0 when the dispatcher tries every format.
    bool Decode(CRasterStream* stream, std::uint32_t formatId);
    bool Encode(CRasterStream* stream, std::uint32_t formatId);
};
