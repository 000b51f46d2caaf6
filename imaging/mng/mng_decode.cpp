// MNG, JNG and PNG decoding: libmng draws the stream on a 24-bit canvas one
// frame per display resume; the frame the image asks for is copied out.
#include "imaging/mng/mng_session.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace {

// A TERM chunk can ask for the animation to be replayed 2^31-1 times, and
// libmng replays it inside one call without calling back: over an empty
// animation that call does not return. Only the first pass is ever drawn here,
// so the chunk's action becomes "show the last frame", with its CRC redone.
// libmng reads a chunk's type, data and CRC in one piece after its length.
void StopRepeats(std::uint8_t* chunk, mng_uint32 length) {
    if (length < 4 + 1 + 4 || std::memcmp(chunk, "TERM", 4) != 0 || chunk[4] == 0) return;
    chunk[4] = 0;
    const uLong crc = crc32(0, chunk, length - 4);
    for (int i = 0; i < 4; ++i) chunk[length - 4 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

mng_bool MNG_DECL ReadFromStream(mng_handle handle, mng_ptr buffer, mng_uint32 length, mng_uint32p read) {
    *read = static_cast<mng_uint32>(CanvasOf(handle).stream->Read(buffer, 1, length));
    StopRepeats(static_cast<std::uint8_t*>(buffer), *read);
    return MNG_TRUE;
}

mng_bool MNG_DECL ProcessHeader(mng_handle handle, mng_uint32 width, mng_uint32 height) {
    MngCanvas& canvas = CanvasOf(handle);
    // The canvas is sized by the file: within the image limit, or refused.
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || !RasterWithinMemoryLimit(width, height, 24)) {
        return MNG_FALSE;
    }
    std::free(canvas.pixels);
    canvas.pixels = nullptr;
    canvas.width = width;
    canvas.height = height;
    canvas.bitsPerPixel = 24;
    canvas.rowBytes = static_cast<std::uint32_t>((std::uint64_t{width} * 24 + 31) / 8 & ~std::uint64_t{3});
    if (mng_get_usebkgd(handle)) {
        mng_uint16 red = 0, green = 0, blue = 0;
        mng_get_bgcolor(handle, &red, &green, &blue);
        canvas.backgroundIndex = 0;
        canvas.background = RGBQUAD{static_cast<std::uint8_t>(blue >> 8), static_cast<std::uint8_t>(green >> 8),
                                    static_cast<std::uint8_t>(red >> 8), 0};
    }
    canvas.pixels = static_cast<std::uint8_t*>(std::calloc(std::size_t{canvas.rowBytes} * height, 1));
    if (!canvas.pixels) return MNG_FALSE;
    // Transparent parts of a picture show the background it reports.
    if (canvas.backgroundIndex != -1) {
        for (std::uint32_t y = 0; y < height; ++y) {
            std::uint8_t* row = canvas.pixels + std::size_t{y} * canvas.rowBytes;
            for (std::uint32_t x = 0; x < width; ++x) std::memcpy(row + 3 * x, &canvas.background, 3);
        }
    }
    mng_set_canvasstyle(handle, MNG_CANVAS_BGR8);
    return MNG_TRUE;
}

mng_ptr MNG_DECL CanvasLine(mng_handle handle, mng_uint32 line) {
    MngCanvas& canvas = CanvasOf(handle);
    if (line >= canvas.height) line = canvas.height - 1;
    return canvas.pixels + std::size_t{canvas.height - line - 1} * canvas.rowBytes;
}

mng_bool MNG_DECL Refresh(mng_handle, mng_uint32, mng_uint32, mng_uint32, mng_uint32) { return MNG_TRUE; }
mng_bool MNG_DECL SetTimer(mng_handle, mng_uint32) { return MNG_TRUE; }

mng_uint32 MNG_DECL TickCount(mng_handle) {
    using namespace std::chrono;
    return static_cast<mng_uint32>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

mng_bool MNG_DECL MngError(mng_handle, mng_int32, mng_int8, mng_chunkid, mng_uint32, mng_int32, mng_int32,
                           mng_pchar) {
    return MNG_FALSE;
}

}  // namespace

bool CRasterImageMNG::Decode(CRasterStream* stream) {
    if (!stream) return false;
    mng_handle handle = StartMngHandle(Canvas);
    if (!handle) {
        SetLastError("could not initialize libmng");
        return false;
    }
    Handle = handle;
    Canvas.stream = stream;
    mng_set_srgb(handle, MNG_TRUE);
    mng_set_bgcolor(handle, 0xFFFF, 0xFFFF, 0xFFFF);
    mng_set_usebkgd(handle, MNG_TRUE);
    mng_set_storechunks(handle, MNG_FALSE);
    mng_set_suspensionmode(handle, MNG_FALSE);
    mng_setcb_openstream(handle, MngOpenStream);
    mng_setcb_closestream(handle, MngCloseStream);
    mng_setcb_readdata(handle, ReadFromStream);
    mng_setcb_processheader(handle, ProcessHeader);
    mng_setcb_getcanvasline(handle, CanvasLine);
    mng_setcb_refresh(handle, Refresh);
    mng_setcb_settimer(handle, SetTimer);
    mng_setcb_gettickcount(handle, TickCount);
    mng_setcb_errorproc(handle, MngError);

    // Each display resume draws the next frame; the one asked for is kept
    // when it is drawn. Every resume reads at least a chunk or ends the
    // reading, and a damaged stream may report neither: the stream's size
    // bounds the resumes.
    const std::int32_t wanted = Info.FrameIndex;
    const long size = stream->Size();
    const long resumeLimit = size > 0 ? size / 12 + 2 : 2;
    std::vector<std::uint8_t> frame;
    const auto keep = [&](std::int32_t shown) {
        if (shown == wanted && Canvas.pixels) frame.assign(Canvas.pixels, Canvas.pixels + std::size_t{Canvas.rowBytes} * Canvas.height);
    };
    mng_retcode code = mng_readdisplay(handle);
    std::int32_t shown = 0;
    keep(shown);
    for (long resumes = 0; mng_status_reading(handle) && resumes < resumeLimit; ++resumes) {
        code = mng_display_resume(handle);
        if (code != MNG_NOERROR && code != MNG_NEEDTIMERWAIT) break;
        keep(++shown);
    }
    Info.FrameCount = shown + 1;
    if (code != MNG_NEEDTIMERWAIT && shown > 0) --Info.FrameCount;

    if (wanted < 0 || wanted >= Info.FrameCount) {
        SetLastError("Error: frame not present in MNG file");
        return false;
    }
    if (Canvas.backgroundIndex != -1) {
        Info.TransparentIndex = Canvas.backgroundIndex;
        Info.TransparentColor = Canvas.background;
    }
    if (!Canvas.pixels || !Create(Canvas.width, Canvas.height, Canvas.bitsPerPixel, kRasterMng)) {
        SetLastError("CRasterImageMNG::Decode cannot create image");
        return false;
    }
    std::memcpy(GetPixels(), frame.empty() ? Canvas.pixels : frame.data(), std::size_t{Canvas.rowBytes} * Canvas.height);
    return true;
}
