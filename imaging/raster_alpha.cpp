// The alpha plane and the selection mask: one byte per pixel each, rows from
// the bottom like the picture's.
#include "imaging/raster_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::size_t CRasterImage::PlaneSize() const { return std::size_t{GetWidth()} * GetHeight(); }

void CRasterImage::CreateAlphaPlane() {
    if (Alpha || !Dib) return;
    Alpha = static_cast<std::uint8_t*>(std::malloc(PlaneSize()));
    if (Alpha) std::memset(Alpha, 255, PlaneSize());
}

void CRasterImage::DeleteAlphaPlane() {
    std::free(Alpha);
    Alpha = nullptr;
}

namespace {

// Copies one of the source's planes into `plane`, allocating it when missing.
bool CopyPlane(std::uint8_t*& plane, const std::uint8_t* source, std::size_t size) {
    if (!plane) plane = static_cast<std::uint8_t*>(std::malloc(size));
    if (!plane) return false;
    std::memcpy(plane, source, size);
    return true;
}

}  // namespace

bool CRasterImage::CopyAlphaPlane(const CRasterImage& source) {
    if (!source.Alpha || !Dib || source.GetWidth() != GetWidth() || source.GetHeight() != GetHeight()) return false;
    if (!CopyPlane(Alpha, source.Alpha, PlaneSize())) return false;
    Info.AlphaMax = source.Info.AlphaMax;
    return true;
}

void CRasterImage::SetAlphaAt(std::int64_t x, std::int64_t y, std::uint8_t value) {
    if (Alpha && IsInside(x, y)) Alpha[static_cast<std::size_t>(y) * GetWidth() + static_cast<std::size_t>(x)] = value;
}

std::uint8_t CRasterImage::GetAlphaAt(std::int64_t x, std::int64_t y) const {
    if (!Alpha || !IsInside(x, y)) return 0;
    return AlphaAtUnchecked(x, y);
}

std::uint8_t CRasterImage::AlphaAtUnchecked(std::int64_t x, std::int64_t y) const {
    return Alpha[static_cast<std::size_t>(y) * GetWidth() + static_cast<std::size_t>(x)];
}

bool CRasterImage::FlipAlphaVertical() {
    if (!Alpha) return false;
    auto* flipped = static_cast<std::uint8_t*>(std::malloc(PlaneSize()));
    if (!flipped) return false;
    const std::size_t width = GetWidth(), height = GetHeight();
    for (std::size_t y = 0; y < height; ++y) std::memcpy(flipped + y * width, Alpha + (height - 1 - y) * width, width);
    std::free(Alpha);
    Alpha = flipped;
    return true;
}

bool CRasterImage::MirrorAlphaHorizontal() {
    if (!Alpha) return false;
    auto* mirrored = static_cast<std::uint8_t*>(std::malloc(PlaneSize()));
    if (!mirrored) return false;
    const std::size_t width = GetWidth(), height = GetHeight();
    for (std::size_t y = 0; y < height; ++y)
        std::reverse_copy(Alpha + y * width, Alpha + (y + 1) * width, mirrored + y * width);
    std::free(Alpha);
    Alpha = mirrored;
    return true;
}

void CRasterImage::ClearSelection() {
    std::free(Selection);
    Selection = nullptr;
    Info.SelectionBox = {Header.biWidth, 0, 0, Header.biHeight};
}

bool CRasterImage::IsSelected(std::int64_t x, std::int64_t y) const {
    if (!IsInside(x, y)) return false;
    return !Selection || Selection[static_cast<std::size_t>(y) * GetWidth() + static_cast<std::size_t>(x)] != 0;
}

bool CRasterImage::CopySelection(const CRasterImage& source) {
    if (!source.Selection || !Dib || source.GetWidth() != GetWidth() || source.GetHeight() != GetHeight())
        return false;
    if (!CopyPlane(Selection, source.Selection, PlaneSize())) return false;
    Info.SelectionBox = source.Info.SelectionBox;
    return true;
}
