// Metafiles are played by GDI: the Windows build decodes them (the tests run
// under Wine there), the native build answers that the format is not available.
#include "imaging/raster_image.h"
#include "imaging/file_bytes.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "imaging/wmf/wmf_image.h"

#include <functional>
#include <string>
#endif

namespace {

#ifndef _WIN32

TEST(WmfCodec, NotAvailableWithoutGdi) {
    const Bytes file = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0};
    CRasterImage image;
    EXPECT_FALSE(image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), kRasterWmf));
    EXPECT_STREQ(image.GetLastErrorText(), "Decode: WMF format not available");
}

#else

using Draw = std::function<void(HDC)>;

// A 16-bit metafile drawn by GDI, with the placeable header before it.
Bytes PlaceableWmf(std::int16_t right, std::int16_t bottom, std::uint16_t unitsPerInch, const Draw& draw,
                   bool placeable = true) {
    HDC dc = CreateMetaFileA(nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, right, bottom, nullptr);
    draw(dc);
    HMETAFILE metafile = CloseMetaFile(dc);
    const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    Bytes bits(size);
    GetMetaFileBitsEx(metafile, size, bits.data());
    DeleteMetaFile(metafile);
    if (!placeable) return bits;
    Bytes header;
    Put32(header, 0x9AC6CDD7u);
    Put16(header, 0);
    Put16(header, 0);
    Put16(header, 0);
    Put16(header, static_cast<std::uint16_t>(right));
    Put16(header, static_cast<std::uint16_t>(bottom));
    Put16(header, unitsPerInch);
    Put32(header, 0);
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= static_cast<std::uint16_t>(header[2 * i] | header[2 * i + 1] << 8);
    Put16(header, sum);
    return header + bits;
}

// An enhanced metafile drawn by GDI in device units.
Bytes Emf(const Draw& draw) {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    draw(dc);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
    Bytes bits(size);
    GetEnhMetaFileBits(metafile, size, bits.data());
    DeleteEnhMetaFile(metafile);
    return bits;
}

// A black rectangle without outline, as metafiles record it.
void BlackBox(HDC dc, int left, int top, int right, int bottom) {
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, left, top, right + 1, bottom + 1);
}

bool Decoded(const Bytes& file, CRasterImage& image) {
    return image.Decode(file.data(), static_cast<std::uint32_t>(file.size()), kRasterWmf);
}

// The share of pixels darker than the window background.
double Ink(const CRasterImage& image) {
    std::size_t dark = 0;
    for (std::uint32_t y = 0; y < image.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD q = image.GetColorAt(x, y, false);
            if (q.rgbRed + q.rgbGreen + q.rgbBlue < 3 * 128) ++dark;
        }
    }
    return double(dark) / (double(image.GetWidth()) * image.GetHeight());
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(WmfCodec, SizesFromThePlaceableHeader) {
    const int dpi = ScreenDpi();
    const Draw nothing = [](HDC) {};
    struct Case {
        const char* name;
        std::int16_t right, bottom;
        std::uint16_t unitsPerInch;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {"10 x 5 inches", 14400, 7200, 1440, 10 * dpi, 5 * dpi},
        {"wide, capped", 8000, 2000, static_cast<std::uint16_t>(dpi), 4000, 1000},
        {"tall, capped", 3000, 9000, static_cast<std::uint16_t>(dpi), 1333, 4000},
    };
    for (const Case& c : cases) {
        CRasterImage image;
        ASSERT_TRUE(Decoded(PlaceableWmf(c.right, c.bottom, c.unitsPerInch, nothing), image))
            << c.name << ": " << image.GetLastErrorText();
        EXPECT_EQ(image.GetWidth(), static_cast<unsigned long>(c.width)) << c.name;
        EXPECT_EQ(image.GetHeight(), static_cast<unsigned long>(c.height)) << c.name;
    }
}

TEST(WmfCodec, RefusedMetafiles) {
    const Draw box = [](HDC dc) { BlackBox(dc, 0, 0, 50, 50); };
    const Bytes good = PlaceableWmf(100, 100, 96, box);
    auto with = [&](std::size_t at, std::uint16_t value) {
        Bytes bad = good;
        bad[at] = static_cast<std::uint8_t>(value);
        bad[at + 1] = static_cast<std::uint8_t>(value >> 8);
        return bad;
    };
    // Header fields changed with the checksum kept: only the named rule fails.
    auto resummed = [](Bytes bad) {
        std::uint16_t sum = 0;
        for (int i = 0; i < 10; ++i) sum ^= static_cast<std::uint16_t>(bad[2 * i] | bad[2 * i + 1] << 8);
        bad[20] = static_cast<std::uint8_t>(sum);
        bad[21] = static_cast<std::uint8_t>(sum >> 8);
        return bad;
    };
    struct Case {
        const char* name;
        Bytes file;
        const char* error;
    };
    const Case cases[] = {
        {"wrong checksum", with(20, 1), "corrupted WMF"},
        {"0 units per inch", resummed(with(14, 0)), "corrupted WMF"},
        {"2541 units per inch", resummed(with(14, 2541)), "corrupted WMF"},
        {"a bare 16-bit metafile", PlaceableWmf(100, 100, 96, box, false), "corrupted WMF"},
        {"right = left", resummed(with(10, 0)), "empty WMF"},
        {"bottom = top", resummed(with(12, 0)), "empty WMF"},
        {"cut short", Bytes(good.begin(), good.begin() + 30), "corrupted WMF"},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}, "corrupted WMF"},
    };
    for (const Case& c : cases) {
        CRasterImage image;
        EXPECT_FALSE(Decoded(c.file, image)) << c.name;
        EXPECT_STREQ(image.GetLastErrorText(), c.error) << c.name;
    }
    CRasterImage picture(4, 4, 24, kRasterBmp);
    CRasterMemStream stream;
    stream.Open();
    EXPECT_FALSE(picture.Encode(&stream, kRasterWmf));
    EXPECT_STREQ(picture.GetLastErrorText(), "Save WMF not supported");
}

TEST(WmfCodec, PlayedPicturesHoldWhatWasDrawn) {
    // The left half black, in a placeable metafile and in an enhanced one.
    CRasterImage placeable;
    ASSERT_TRUE(Decoded(PlaceableWmf(200, 100, 96, [](HDC dc) { BlackBox(dc, 0, 0, 100, 100); }), placeable))
        << placeable.GetLastErrorText();
    EXPECT_NEAR(Ink(placeable), 0.5, 0.03);
    EXPECT_EQ(Rgb(placeable.GetColorAt(10, 10, false)), 0u);
    EXPECT_NE(Rgb(placeable.GetColorAt(190, 10, false)), 0u);

    CRasterImage enhanced;
    ASSERT_TRUE(Decoded(Emf([](HDC dc) {
                            BlackBox(dc, 0, 0, 60, 40);
                            BlackBox(dc, 60, 0, 120, 20);
                        }),
                        enhanced))
        << enhanced.GetLastErrorText();
    EXPECT_NEAR(double(enhanced.GetWidth()), 120, 2);
    EXPECT_NEAR(double(enhanced.GetHeight()), 40, 2);
    EXPECT_NEAR(Ink(enhanced), 0.75, 0.05);
}

#endif

}  // namespace
