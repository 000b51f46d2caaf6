// The raster command buffer: commands of the image being drawn collect here
// and go to the imageDraw slot in blocks of a little over 16000 bytes. Every
// write is at most one row piece or one pixel's bytes, and the buffer is
// sent as soon as it holds more than the fill, so no block reaches 16384.
#include "toolkit/display/image.h"

#include <cstring>

int adRasterBegin() {
    if (!adRender->rasterBuffer)
        adRender->rasterBuffer = static_cast<std::uint8_t*>(HostAlloc(AD_RASTER_BUFFER_SIZE));
    adRender->rasterLength = 0;
    if (adRender->rasterBuffer) return 1;
    adNoMemory(AD_ERR_RENDER_MEMORY);
    return 0;
}

void adRasterPut(const void* bytes, std::size_t count) {
    std::memcpy(adRender->rasterBuffer + adRender->rasterLength, bytes, count);
    adRender->rasterLength = static_cast<std::int16_t>(adRender->rasterLength + count);
}

void adRasterFlush(AdDrawing* drawing, bool whenFull) {
    if (adRender->rasterLength == 0 || (whenFull && adRender->rasterLength <= AD_RASTER_BLOCK_FILL)) return;
    if (adRender->hooks.imageDraw)
        adRender->hooks.imageDraw(adRender->rasterBuffer, adRender->rasterLength, drawing->userData);
    adRender->rasterLength = 0;
}

void adRasterEnd(AdDrawing* drawing) {
    adRasterFlush(drawing, false);
    HostFree(adRender->rasterBuffer);
    adRender->rasterBuffer = nullptr;
}
