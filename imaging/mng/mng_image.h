// The MNG format class (format identifier 5), over libmng, which also reads
// JNG and PNG streams through it. Decode draws one frame of the animation on
// a 24-bit canvas; Encode writes a 24-bit image as a single-image stream.
#pragma once

#include "imaging/raster_image.h"

#include <cstdint>

// What libmng's callbacks reach through the handle's user data.
struct MngCanvas {
    CRasterStream* stream;
    std::uint8_t* pixels;  // bottom-up rows of blue, green, red
    std::uint32_t width, height;
    std::uint32_t rowBytes;
    std::uint16_t bitsPerPixel;
    int backgroundIndex;
    RGBQUAD background;
};

class CRasterImageMNG : public CRasterImage {
public:
    CRasterImageMNG();
    ~CRasterImageMNG() override;

    bool Decode(CRasterStream* stream);
    bool Encode(CRasterStream* stream);

private:
    void* Handle = nullptr;  // the libmng handle
    MngCanvas Canvas{};
};
