// The Windows bitmap records the image library keeps its pictures in. The
// Windows build takes them from the system headers; elsewhere they are
// declared here with the same layout, so the platform-free code builds and is
// tested natively.
#pragma once

#include <cstdint>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
using COLORREF = std::uint32_t;

struct RGBQUAD {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};

struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
#endif

static_assert(sizeof(RGBQUAD) == 4, "colour-table entries are 4 bytes");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "the bitmap header is 40 bytes");
