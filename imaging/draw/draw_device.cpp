// The shared state and point handling of every draw device.
#include "imaging/draw/draw_device.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr std::int32_t kInitialPoints = 200;

// Device coordinates are 32-bit: far-off points are held at the range's ends.
std::int32_t ToDevice(double value) {
    const float single = static_cast<float>(value);
    const float rounded = std::nearbyint(single);
    if (!(rounded > -2147483648.0f)) return std::numeric_limits<std::int32_t>::min();
    if (rounded >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

DrawDevicePoint CViewTransform::WorldToDevice(DrawWorldPoint point) const {
    return {ToDevice((double{point.x} - offsetX) * scale), ToDevice((double{offsetY} - point.y) * scale)};
}

DrawWorldPoint CViewTransform::DeviceToWorld(DrawDevicePoint point) const {
    return {static_cast<float>(point.x / double{scale} + offsetX),
            static_cast<float>(offsetY - point.y / double{scale})};
}

bool DrawPointBuffer::Reserve(std::int32_t needed) {
    if (needed <= capacity) return true;
    Release();
    points = static_cast<DrawDevicePoint*>(std::malloc(sizeof(DrawDevicePoint) * static_cast<std::size_t>(needed)));
    if (!points) return false;
    capacity = needed;
    return true;
}

void DrawPointBuffer::Release() {
    std::free(points);
    points = nullptr;
    count = capacity = 0;
}

CDrawDevice::CDrawDevice() {
    if (points.Reserve(kInitialPoints)) points.count = kInitialPoints;
}

CDrawDevice::~CDrawDevice() { ReleasePointBuffer(); }

void CDrawDevice::ReleasePointBuffer() { points.Release(); }

bool CDrawDevice::ClipRect(DrawDeviceRect& rect) const {
    if (rect.left < 0) {
        if (rect.right < 0) return false;
        rect.left = 0;
    }
    if (rect.top < 0) {
        if (rect.bottom < 0) return false;
        rect.top = 0;
    }
    if (rect.right >= width) {
        if (rect.left >= width) return false;
        rect.right = width - 1;
    }
    if (rect.bottom >= height) {
        if (rect.top >= height) return false;
        rect.bottom = height - 1;
    }
    return true;
}

bool CDrawDevice::TransformPoints(const DrawWorldPoint* world, std::int32_t count, bool close) {
    if (!view || count < 0 || (count > 0 && !world)) return false;
    const std::int32_t total = count + (close && count > 0 ? 1 : 0);
    if (!points.Reserve(total)) return false;
    for (std::int32_t i = 0; i < count; ++i) points.points[i] = view->WorldToDevice(world[i]);
    if (total > count) points.points[count] = points.points[0];
    points.count = total;
    return true;
}

bool CDrawDevice::TransformPolyline(const DrawPolyline& polyline, bool close) {
    return TransformPoints(polyline.points, polyline.count, close);
}

bool CDrawDevice::TransformPointsInto(const DrawPolyline& polyline, DrawPointBuffer& buffer) const {
    if (!view || polyline.count < 0 || (polyline.count > 0 && !polyline.points)) return false;
    if (!buffer.Reserve(polyline.count)) return false;
    for (std::int32_t i = 0; i < polyline.count; ++i) buffer.points[i] = view->WorldToDevice(polyline.points[i]);
    buffer.count = polyline.count;
    return true;
}
