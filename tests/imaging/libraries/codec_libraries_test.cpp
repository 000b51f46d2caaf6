// The codec libraries the image codecs link: the headers compiled against are
// those of the libraries linked, and libtiff carries every compression the TIFF
// codec reads (a codec left out when its library is not found at configure
// time would otherwise only show as files that fail to open).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <libmng.h>
#include <openjpeg.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

TEST(CodecLibraries, HeadersMatchTheLinkedLibraries)
{
    EXPECT_STREQ(zlibVersion(), ZLIB_VERSION);
    EXPECT_EQ(png_access_version_number(), static_cast<png_uint_32>(PNG_LIBPNG_VER));
    EXPECT_STREQ(mng_version_text(), MNG_VERSION_TEXT);
    EXPECT_EQ(std::strncmp(opj_version(), "2.", 2), 0) << opj_version();
    EXPECT_STREQ(TIFFGetVersion(), TIFFLIB_VERSION_STR);

    // The library checks the structure size it was built with against ours.
    jpeg_decompress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_destroy_decompress(&info);
    EXPECT_EQ(JPEG_LIB_VERSION, 62);
}

TEST(CodecLibraries, TiffHasEveryCompressionTheCodecReads)
{
    const struct { uint16_t code; const char *name; } codecs[] = {
        {COMPRESSION_CCITTRLE, "CCITT RLE"},      {COMPRESSION_CCITTFAX3, "CCITT group 3"},
        {COMPRESSION_CCITTFAX4, "CCITT group 4"}, {COMPRESSION_LZW, "LZW"},
        {COMPRESSION_OJPEG, "old JPEG"},          {COMPRESSION_JPEG, "JPEG"},
        {COMPRESSION_PACKBITS, "PackBits"},       {COMPRESSION_DEFLATE, "Deflate"},
        {COMPRESSION_ADOBE_DEFLATE, "Adobe Deflate"}, {COMPRESSION_PIXARLOG, "PixarLog"},
        {COMPRESSION_SGILOG, "LogLuv"},           {COMPRESSION_SGILOG24, "LogLuv 24"},
    };
    for (const auto &c : codecs)
        EXPECT_TRUE(TIFFIsCODECConfigured(c.code)) << c.name;
}
