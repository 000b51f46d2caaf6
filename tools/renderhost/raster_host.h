// A host of the display engine that paints the callbacks into an RGBA canvas
// the way a window host does: lines with square pens of the device width,
// even-odd polygon fills, colour indexes through the 256-colour palette on a
// black background, device y growing upwards (row 0 is the top of the
// canvas, device y 0 its bottom).
#pragma once
#include "toolkit/display/display.h"

#include <cstdint>
#include <vector>

// The RGB of a colour index of the standard palette (7 is white).
std::uint32_t adPaletteRgb(int colourIndex);

class RasterHost {
public:
    RasterHost(int width, int height);

    // Registers move-to, line-to, polygon, poly-polygon, colour and line
    // weight; the drawing's user pointer must be this host.
    void install();
    void setUserData(AdDrawing* drawing) { adSetDrawingUserData(drawing, this); }

    int width() const { return width_; }
    int height() const { return height_; }
    // Four bytes a pixel (red, green, blue, alpha), rows from the top.
    const std::vector<std::uint8_t>& rgba() const { return rgba_; }
    // 0xRRGGBB at a device point; 0 outside the canvas.
    std::uint32_t at(int x, int y) const;

    void moveTo(std::int32_t x, std::int32_t y);
    void lineTo(std::int32_t x, std::int32_t y);
    void setColour(std::int16_t colourIndex);
    void setRgb(std::uint32_t rgb) { colour_ = rgb; }
    void setWidth(std::int32_t width) { penWidth_ = width; }
    // Fills the contours together by the even-odd rule.
    void fill(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount);

private:
    void plot(std::int64_t x, std::int64_t y);
    void stamp(std::int64_t x, std::int64_t y);

    int width_;
    int height_;
    std::vector<std::uint8_t> rgba_;
    std::uint32_t colour_;
    std::int32_t penWidth_ = 0;
    DevicePoint pen_{0, 0};
};
