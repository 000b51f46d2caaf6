// OLE2FRAME: the object bytes go to the host's oleData slot, which answers
// with a picture; the picture is framed by the entity's four corners in
// every viewport the entity is drawn into.
#include "toolkit/display/emit.h"
#include "toolkit/display/image.h"

namespace {

// The stored data: 2 bytes, the four corners (3 doubles each), 30 bytes,
// then the object.
constexpr std::int32_t kOleHeaderSize = 128;
constexpr std::int32_t kCopyChunk = 512;

// The object bytes after the header in a new store; null when there are
// none or memory runs out.
AdStore* objectBytes(AdStream* in, std::int32_t length) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    bool ok = out != nullptr;
    std::uint8_t chunk[kCopyChunk];
    for (std::int32_t left = length; ok && left > 0; left -= kCopyChunk) {
        const std::int32_t n = left < kCopyChunk ? left : kCopyChunk;
        ok = adStreamRead(in, chunk, n) && adStreamWrite(out, chunk, n);
    }
    if (out) ok = adStreamCloseWrite(out) && ok;
    if (ok) return store;
    if (store) adStoreFree(store);
    return nullptr;
}

}  // namespace

int adDrawOleFrameInViewports(AdDrawing* drawing, const double c1[3], const double c2[3], const double c3[3],
                              const double c4[3], const AdMatrix4* matrices, AdStore* picture, std::int32_t size) {
    const AdDisplayState* state = drawing->display;
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end; ++v) {
        if (!adViewportDrawable(state, v)) continue;
        AdOleFrameRecord frame{picture, size, 0, 0, 0, 0, 0, nullptr};
        adFillQuadInViewport(drawing, c1, c2, c4, c3, matrices, v, &matrices[v], &frame);
    }
    return 1;
}

void adDrawOle2FrameEntity(AdDrawContext& entity) {
    const AdOle2FrameData& ole = entity.data->ole2Frame;
    const AdRenderHooks& hooks = adRender->hooks;
    const std::int32_t length = adStoreSize(ole.data);
    if (!hooks.oleFrame || !hooks.oleData || length <= kOleHeaderSize) return;
    AdStream* in = adStreamOpenRead(ole.data);
    double corners[4][3];
    std::uint8_t lead[2];
    const bool read = in && adStreamRead(in, lead, sizeof lead) && adStreamRead(in, corners, sizeof corners) &&
                      adStreamSeek(in, kOleHeaderSize);
    AdStore* object = read ? objectBytes(in, length - kOleHeaderSize) : nullptr;
    if (in) adStreamCloseRead(in);
    if (!object) return;
    AdStore* picture = nullptr;
    hooks.oleData(object, &picture, entity.drawing->userData);
    adStoreFree(object);
    if (!picture) return;
    adDrawOleFrameInViewports(entity.drawing, corners[0], corners[1], corners[2], corners[3], entity.matrices, picture,
                              adStoreSize(picture));
    adStoreFree(picture);
}
