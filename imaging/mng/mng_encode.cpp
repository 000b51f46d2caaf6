// MNG encoding: one 24-bit image as IHDR, a single IDAT compressed here with
// zlib at level 9, and IEND. libmng writes the PNG signature before a stream
// whose first chunk is IHDR, so the file is a single-image PNG datastream.
#include "imaging/mng/mng_session.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

mng_bool MNG_DECL WriteToStream(mng_handle handle, mng_ptr buffer, mng_uint32 length, mng_uint32p written) {
    *written = static_cast<mng_uint32>(CanvasOf(handle).stream->Write(buffer, 1, length));
    return MNG_TRUE;
}

}  // namespace

bool CRasterImageMNG::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    if (Header.biClrUsed != 0) {
        SetLastError("MNG encoder can save only RGB images");
        return false;
    }
    const std::uint32_t width = GetWidth(), height = GetHeight();
    // One IDAT holds the whole picture, and a chunk's length is 31 bits.
    const std::size_t line = 1 + std::size_t{3} * width;
    if ((std::uint64_t{line} * height) > 0x7F000000u) {
        SetLastError("MNG encoder cannot save an image this large");
        return false;
    }
    Canvas.stream = stream;
    Canvas.bitsPerPixel = GetBpp();
    Canvas.rowBytes = Info.RowBytes;
    Canvas.height = height;
    Canvas.width = width;
    Canvas.pixels = static_cast<std::uint8_t*>(std::malloc(std::size_t{Info.RowBytes} * height));
    if (!Canvas.pixels) {
        SetLastError("could not allocate memory for MNG");
        return false;
    }
    std::memcpy(Canvas.pixels, GetPixels(), std::size_t{Info.RowBytes} * height);

    mng_handle handle = StartMngHandle(Canvas);
    if (!handle) {
        SetLastError("could not initialize libmng");
        return false;
    }
    Handle = handle;
    mng_setcb_openstream(handle, MngOpenStream);
    mng_setcb_closestream(handle, MngCloseStream);
    mng_setcb_writedata(handle, WriteToStream);
    if (mng_create(handle) != MNG_NOERROR ||
        mng_putchunk_ihdr(handle, width, height, MNG_BITDEPTH_8, MNG_COLORTYPE_RGB, MNG_COMPRESSION_DEFLATE,
                          MNG_FILTER_ADAPTIVE, MNG_INTERLACE_NONE) != MNG_NOERROR) {
        SetLastError("could not write MNG stream");
        return false;
    }
    // Rows from the top, each a filter byte 0 and red, green, blue.
    std::vector<std::uint8_t> raw(line * height);
    for (std::uint32_t r = 0; r < height; ++r) {
        const std::uint8_t* source = Canvas.pixels + std::size_t{height - 1 - r} * Canvas.rowBytes;
        std::uint8_t* target = raw.data() + r * line;
        target[0] = 0;
        for (std::uint32_t x = 0; x < width; ++x) {
            target[1 + 3 * x] = source[3 * x + 2];
            target[2 + 3 * x] = source[3 * x + 1];
            target[3 + 3 * x] = source[3 * x];
        }
    }
    // Sized for the worst case: incompressible rows come out larger than they went in.
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
        SetLastError("could not compress MNG image data");
        return false;
    }
    if (mng_putchunk_idat(handle, static_cast<mng_uint32>(packedSize), packed.data()) != MNG_NOERROR ||
        mng_putchunk_iend(handle) != MNG_NOERROR || mng_write(handle) != MNG_NOERROR) {
        SetLastError("could not write MNG stream");
        return false;
    }
    return true;
}
