// The image's conversions to and from GDI bitmaps (Windows build, under Wine).
#ifdef _WIN32
#include "imaging/raster_image.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t Rgb(RGBQUAD q) { return q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue; }

TEST(RasterGdi, RoundTripThroughADibSection) {
    for (std::uint32_t bpp : {1u, 4u, 8u, 24u}) {
        CRasterImage image(5, 3, bpp, kRasterBmp);
        if (image.IsIndexed()) {
            image.SetStandardPalette();
            if (bpp == 1) image.SetGreyRamp();
        }
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const COLORREF colour = bpp == 24 ? RGB(x * 40, y * 80, 7) : ((x + y) & 1) ? RGB(255, 255, 255) : 0;
                image.SetColorRefAt(x, y, colour);
            }
        }
        HBITMAP bitmap = image.CreateHBitmap(nullptr);
        ASSERT_NE(bitmap, nullptr) << bpp;
        CRasterImage back;
        ASSERT_TRUE(back.CreateFromBitmapHandle(bitmap, nullptr)) << bpp;
        DeleteObject(bitmap);
        EXPECT_EQ(back.GetWidth(), 5u);
        EXPECT_EQ(back.GetHeight(), 3u);
        EXPECT_EQ(back.GetBpp(), image.GetBpp());
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                EXPECT_EQ(Rgb(back.GetColorAt(x, y, false)), Rgb(image.GetColorAt(x, y, false)))
                    << bpp << " " << x << "," << y;
            }
        }
    }
}

TEST(RasterGdi, ANullHandleFailsAndStillFreesThePicture) {
    CRasterImage image(4, 4, 24, kRasterBmp);
    EXPECT_FALSE(image.CreateFromBitmapHandle(nullptr, nullptr));
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.CreateHBitmap(nullptr), nullptr);
}

TEST(RasterGdi, DrawStretchedPaintsTheDestination) {
    CRasterImage image(2, 2, 24, kRasterBmp);
    image.FillPixels(0);
    image.SetColorRefAt(0, 1, RGB(255, 0, 0));  // top left
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, target);
    EXPECT_FALSE(image.DrawStretched(nullptr, 0, 0, 8, 8, SRCCOPY));
    EXPECT_TRUE(image.DrawStretched(dc, 0, 0, 8, 8, SRCCOPY));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 6, 6), RGB(0, 0, 0));
    SelectObject(dc, previous);
    DeleteObject(target);
    DeleteDC(dc);
}

}  // namespace
#endif
