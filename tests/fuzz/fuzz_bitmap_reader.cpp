// The display engine's BMP reader over arbitrary bytes: the headers and
// palette, the RLE and 4-bit expansion, and pixel reads spread over the
// whole picture and just outside it.
#include "toolkit/display/bitmap.h"

#include <cstdlib>

namespace {

AdStore* storeOf(const std::uint8_t* data, std::size_t size) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) std::abort();
    if (size > 0) adStreamWrite(out, data, static_cast<std::int32_t>(size));
    adStreamCloseWrite(out);
    return store;
}

// A grid of pixels, 16 x 16 at most, and the four beyond the corners.
void readPixels(const AdBitmapHeader& header, AdStream* stream) {
    std::uint8_t rgb[3];
    const std::int32_t stepX = header.width / 16 + 1, stepY = header.height / 16 + 1;
    for (std::int32_t y = 0; y < header.height; y += stepY)
        for (std::int32_t x = 0; x < header.width; x += stepX)
            adBitmapPixel(x, y, &header, stream, header.pixelPosition, rgb);
    adBitmapPixel(-1, 0, &header, stream, header.pixelPosition, rgb);
    adBitmapPixel(header.width, header.height - 1, &header, stream, header.pixelPosition, rgb);
    adBitmapPixel(0, header.height, &header, stream, header.pixelPosition, rgb);
    adBitmapPixel(header.width - 1, -1, &header, stream, header.pixelPosition, rgb);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    static AdGlobalState state;
    state = AdGlobalState{};
    adGlobals = &state;
    AdStore* store = storeOf(data, size);
    AdStream* stream = adStreamOpenRead(store);
    static AdBitmapHeader header;
    AdStore* expanded = nullptr;
    if (adReadBitmapHeader(stream, &header) && adExpandBitmap(stream, &header, &expanded)) {
        AdStream* pixels = expanded ? adStreamOpenRead(expanded) : stream;
        readPixels(header, pixels);
        if (expanded) {
            adStreamCloseRead(pixels);
            adStoreFree(expanded);
        }
    }
    adStreamCloseRead(stream);
    adStoreFree(store);
    return 0;
}
