// A view of a world plane (single precision, y up) on a device surface
// (integer pixels, y down, (0, 0) at the top-left): the world point at the
// surface's top-left corner and the device pixels per world unit.
#pragma once

#include <cstdint>

struct DrawWorldPoint {
    float x, y;
};

struct DrawDevicePoint {
    std::int32_t x, y;
};

class CViewTransform {
public:
    CViewTransform() = default;
    virtual ~CViewTransform() = default;

    // round((x - offsetX) * scale), round((offsetY - y) * scale): each product
    // in double precision, rounded to single precision, then to the nearest
    // integer with ties to even.
    DrawDevicePoint WorldToDevice(DrawWorldPoint point) const;
    DrawWorldPoint DeviceToWorld(DrawDevicePoint point) const;

    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float scale = 1.0f;
};
