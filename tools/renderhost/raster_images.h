// Images for the raster host: files loaded from one folder for the
// engine's loadImageFile slot, and the raster command blocks of the
// imageDraw slot painted into the canvas. Each pixel of a row piece is
// painted as the parallelogram from its column's start to its end along
// the row, one pixel's step deep below the row, in the pixel's colour.
#pragma once
#include "tools/renderhost/raster_host.h"

#include <string>

class RasterImageHost : public RasterHost {
public:
    RasterImageHost(int width, int height, std::string folder) : RasterHost(width, height), folder_(std::move(folder)) {}

    // The raster host's slots and loadImageFile and imageDraw; the drawing's
    // user pointer must be this host (setUserData does that).
    void install();

    int load(const char* path, AdStore** imageOut);
    void block(const std::uint8_t* bytes, std::int16_t length);
    int blocks() const { return blocks_; }

private:
    void paint(double from, double to, const std::uint8_t rgb[3]);

    std::string folder_;
    int blocks_ = 0;
    // The piece being read: its start on the device, the pixel position
    // there, the step a pixel, where it ends, and the pixels still to come.
    std::int32_t mode_ = 0;
    double startX_ = 0, startY_ = 0, startPixel_ = 0, stepX_ = 0, stepY_ = 0, endPixel_ = 0;
    std::int32_t column_ = 0;
    std::int32_t pending_ = 0;
};
