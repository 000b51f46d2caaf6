// The icon codec: the AND mask as transparency or inversion, 32-bit rows
// with alpha, frame choice and refusals, and icons written and read back.
#include "imaging/bmp/bmp_image.h"
#include "imaging/raster_bytes.h"
#include "imaging/file_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// One icon image: its header (height doubled), table, colour rows, AND mask.
struct IconSpec {
    std::uint8_t width, height;
    std::uint16_t bits;
    Bytes table, colour, mask;
};

Bytes MakeIco(const std::vector<IconSpec>& icons, std::uint16_t type = 1) {
    Bytes out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, static_cast<std::uint16_t>(icons.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * icons.size());
    Bytes images;
    for (const IconSpec& icon : icons) {
        Bytes image;
        Put32(image, 40);
        Put32(image, icon.width);
        Put32(image, icon.height * 2u);
        Put16(image, 1);
        Put16(image, icon.bits);
        for (int i = 0; i < 6; ++i) Put32(image, 0);
        image.insert(image.end(), icon.table.begin(), icon.table.end());
        image.insert(image.end(), icon.colour.begin(), icon.colour.end());
        image.insert(image.end(), icon.mask.begin(), icon.mask.end());
        out.insert(out.end(), {icon.width, icon.height, 0, 0});
        Put16(out, 1);
        Put16(out, icon.bits);
        Put32(out, static_cast<std::uint32_t>(image.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(image.size());
        images.insert(images.end(), image.begin(), image.end());
    }
    out.insert(out.end(), images.begin(), images.end());
    return out;
}

// A 2 x 2 four-bit icon using indices 0, 1, 3 (index 2 unused); the mask's
// top-left pixel is set.
IconSpec FourBitIcon() {
    IconSpec icon{2, 2, 4, {}, {0x01, 0, 0, 0, 0x30, 0, 0, 0}, {0, 0, 0, 0, 0x80, 0, 0, 0}};
    for (int i = 0; i < 16; ++i) icon.table.insert(icon.table.end(), {static_cast<std::uint8_t>(16 * i), 0, 0, 0});
    return icon;
}

bool DecodeIco(CRasterImage& image, const Bytes& bytes) {
    return image.Decode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), kRasterIco);
}

TEST(IcoDecode, UnusedIndexBecomesTransparent) {
    CRasterImage image;
    ASSERT_TRUE(DecodeIco(image, MakeIco({FourBitIcon()}))) << image.GetLastErrorText();
    EXPECT_EQ(image.GetFormatId(), kRasterIco);
    EXPECT_EQ(image.GetNumFrames(), 1);
    EXPECT_EQ(image.GetTransparentIndex(), 2);
    EXPECT_EQ(image.GetIndexAt(0, 1), 2);  // the masked pixel
    EXPECT_EQ(image.GetIndexAt(0, 0), 0);
    EXPECT_EQ(image.GetIndexAt(1, 0), 1);
    EXPECT_EQ(image.GetIndexAt(1, 1), 0);
    EXPECT_FALSE(image.HasAlphaPlane());
}

TEST(IcoDecode, ThirtyTwoBitsKeepRowsAlignedAndCarryAlpha) {
    // Width 30: 120-byte icon rows against 92-byte... image rows of 90 + 2 padding.
    IconSpec icon{30, 2, 32, {}, {}, Bytes(2 * 4, 0)};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 30; ++x)
            icon.colour.insert(icon.colour.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7,
                                                   static_cast<std::uint8_t>(x * 8)});
    CRasterImage image;
    ASSERT_TRUE(DecodeIco(image, MakeIco({icon}))) << image.GetLastErrorText();
    EXPECT_EQ(image.GetBpp(), 24);
    ASSERT_TRUE(image.HasAlphaPlane());
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 30; x += 7) {
            EXPECT_EQ(Rgb(image.GetColorAt(x, y, false)), 0x070000u | y << 8 | x) << x << "," << y;
            EXPECT_EQ(image.GetAlphaAt(x, y), x * 8) << x << "," << y;
        }
    }
}

TEST(IcoDecode, MaskOfOneColourOnTwentyFourBitsBecomesTheTransparentColour) {
    IconSpec icon{2, 1, 24, {}, {1, 2, 3, 9, 9, 9, 0, 0}, {0x40, 0, 0, 0}};
    CRasterImage image;
    ASSERT_TRUE(DecodeIco(image, MakeIco({icon}))) << image.GetLastErrorText();
    EXPECT_EQ(image.GetTransparentIndex(), 0);
    EXPECT_EQ(Rgb(image.GetTransparentColor()), 0x090909u);
    EXPECT_FALSE(image.HasAlphaPlane());

    icon.mask = {0xC0, 0, 0, 0};  // two colours masked: the alpha plane carries the mask
    CRasterImage both;
    ASSERT_TRUE(DecodeIco(both, MakeIco({icon})));
    ASSERT_TRUE(both.HasAlphaPlane());
    EXPECT_EQ(both.GetAlphaAt(0, 0), 0);
    EXPECT_EQ(both.GetAlphaAt(1, 0), 0);
}

TEST(IcoDecode, AllMaskBytesSetInvertsThePicture) {
    IconSpec icon{1, 1, 24, {}, {0x10, 0x20, 0x30, 0}, {0xFF, 0xFF, 0xFF, 0xFF}};
    CRasterImage image;
    ASSERT_TRUE(DecodeIco(image, MakeIco({icon})));
    EXPECT_EQ(Rgb(image.GetColorAt(0, 0, false)), 0xCFDFEFu);
    EXPECT_EQ(image.GetTransparentIndex(), 0);
}

TEST(IcoDecode, FramesAndRefusals) {
    IconSpec small{1, 1, 24, {}, {1, 2, 3, 0}, {0, 0, 0, 0}};
    IconSpec other{2, 1, 24, {}, {4, 5, 6, 7, 8, 9, 0, 0}, {0, 0, 0, 0}};
    const Bytes two = MakeIco({small, other});
    CRasterImage image;
    image.SetFrame(1);
    ASSERT_TRUE(DecodeIco(image, two));
    EXPECT_EQ(image.GetWidth(), 2u);
    EXPECT_EQ(image.GetNumFrames(), 2);

    CRasterImage beyond;
    beyond.SetFrame(2);
    EXPECT_FALSE(DecodeIco(beyond, two));
    EXPECT_EQ(beyond.GetNumFrames(), 2);  // the caller learns how many there are

    struct Case {
        const char* name;
        Bytes bytes;
    };
    Bytes badType = two;
    badType[2] = 3;
    Bytes png = two;
    png[38] = 0x89;  // the first image is not a bitmap header
    Bytes sixteen = MakeIco({IconSpec{1, 1, 16, {}, {0, 0, 0, 0}, {0, 0, 0, 0}}});
    Bytes zeroSize = MakeIco({IconSpec{0, 0, 24, {}, {}, {}}});
    Bytes cut(two.begin(), two.begin() + 20);
    const Case cases[] = {{"type 3", badType}, {"embedded PNG", png}, {"16 bits", sixteen}, {"size 0", zeroSize},
                          {"directory cut short", cut}};
    for (const Case& c : cases) {
        CRasterImage refused;
        EXPECT_FALSE(DecodeIco(refused, c.bytes)) << c.name;
        EXPECT_NE(refused.GetLastErrorText()[0], '\0') << c.name;
    }
}

TEST(IcoEncode, RoundTripsAndRefusesLargeIcons) {
    CRasterImage four(3, 2, 4, kRasterBmp);
    four.SetStandardPalette();
    four.FillPixels(0);
    four.SetIndexAt(1, 1, 9);
    four.SetTransparentIndex(0);
    CRasterImage rgba(30, 2, 24, kRasterPng);
    rgba.FillPixels(0x40);
    rgba.CreateAlphaPlane();
    rgba.SetAlphaAt(3, 1, 0);
    rgba.SetAlphaAt(4, 1, 100);
    for (CRasterImage* source : {&four, &rgba}) {
        CRasterMemStream out;
        ASSERT_TRUE(out.Open());
        ASSERT_TRUE(source->Encode(&out, kRasterIco)) << source->GetLastErrorText();
        CRasterImage back(out.Buffer, out.End, kRasterIco);
        ASSERT_TRUE(back.IsValid()) << back.GetLastErrorText();
        EXPECT_EQ(back.GetWidth(), source->GetWidth());
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < static_cast<int>(source->GetWidth()); ++x) {
                const bool visible = source->HasAlphaPlane() ? source->GetAlphaAt(x, y) != 0
                                                             : source->GetIndexAt(x, y) != source->GetTransparentIndex();
                if (visible) {
                    EXPECT_EQ(Rgb(back.GetColorAt(x, y, false)), Rgb(source->GetColorAt(x, y, false))) << x << "," << y;
                } else if (back.HasAlphaPlane()) {
                    EXPECT_EQ(back.GetAlphaAt(x, y), 0) << x << "," << y;
                } else {
                    EXPECT_EQ(back.GetIndexAt(x, y), back.GetTransparentIndex()) << x << "," << y;
                }
            }
        }
    }
    CRasterImage big(256, 1, 8, kRasterBmp);
    CRasterMemStream out;
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(big.Encode(&out, kRasterIco));
    EXPECT_STREQ(big.GetLastErrorText(), "Can't save this image as icon");
    CRasterImage largest(255, 255, 8, kRasterBmp);
    EXPECT_TRUE(largest.Encode(&out, kRasterIco));
}

}  // namespace
