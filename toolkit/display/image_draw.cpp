// IMAGE entities drawn by the engine: the file the image definition names is
// loaded by the host once per entity and display, decoded here, and its
// rows sent as raster commands inside the clip boundary; the frame is drawn
// when RASTERVARIABLES asks for it or when there is no picture to show.
#include "toolkit/display/block_clip.h"
#include "toolkit/display/emit.h"
#include "toolkit/display/image.h"
#include "toolkit/display/view.h"

#include <cstring>
#include <vector>

namespace {

// Closes a stream and frees a store when it goes out of scope.
struct PixelSource {
    AdStream* stream = nullptr;
    AdStore* expanded = nullptr;
    ~PixelSource() {
        if (stream) adStreamCloseRead(stream);
        if (expanded) adStoreFree(expanded);
    }
};

struct StoreGuard {
    AdStore* store = nullptr;
    ~StoreGuard() {
        if (store) adStoreFree(store);
    }
};

bool clippingOn(const AdImageData* image) { return image->clipping != 0 && (image->displayProperties & 0x04) != 0; }

// The clip boundary in pixel coordinates (x, y pairs): a rectangle's
// corners (for the host, closed and in its own order of 5 points), or the
// stored polygon.
std::vector<double> pixelBoundary(const AdImageData* image, bool forHost) {
    std::vector<double> pixels;
    if (image->clipBoundaryType == 1) {
        const double(*c)[2] = image->clipCorners;
        if (forHost) pixels = {c[0][0], c[0][1], c[0][0], c[1][1], c[1][0], c[1][1], c[1][0], c[0][1], c[0][0], c[0][1]};
        else pixels = {c[0][0], c[0][1], c[1][0], c[0][1], c[1][0], c[1][1], c[0][0], c[1][1]};
        return pixels;
    }
    AdStream* in = image->clipVertices ? adStreamOpenRead(image->clipVertices) : nullptr;
    double pair[2];
    for (std::int32_t i = 0; in && i < image->clipVertexCount && adStreamRead(in, pair, sizeof pair); ++i)
        pixels.insert(pixels.end(), pair, pair + 2);
    adStreamCloseRead(in);
    return pixels;
}

// The clip boundary as world points: a rectangle's four corners, or the
// stored polygon; null when there is none or memory runs out.
AdStore* boundaryOutline(const AdImageData* image) {
    const std::vector<double> pixels = pixelBoundary(image, false);
    if (pixels.size() < 4) return nullptr;
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    bool ok = out != nullptr;
    for (std::size_t i = 0; ok && i < pixels.size(); i += 2) {
        double p[3] = {pixels[i], pixels[i + 1], 0.0};
        adPixelToWorld(p, image);
        ok = adStreamWritePoint3D(out, p) != 0;
    }
    if (out) ok = adStreamCloseWrite(out) && ok;
    if (ok) return store;
    if (store) adStoreFree(store);
    return nullptr;
}

// The whole picture's outline as world points.
AdStore* pictureOutline(const AdImageData* image) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    bool ok = out != nullptr;
    const double w = image->size[0], h = image->size[1];
    const double corners[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (const auto& c : corners) {
        double p[3];
        for (int k = 0; k < 3; ++k) p[k] = image->insertion[k] + c[0] * image->uVector[k] + c[1] * image->vVector[k];
        ok = ok && adStreamWritePoint3D(out, p) != 0;
    }
    if (out) ok = adStreamCloseWrite(out) && ok;
    if (ok) return store;
    if (store) adStoreFree(store);
    return nullptr;
}

// Opens the loaded file as a bitmap, expanded where it must be; false when
// it is not one the engine reads.
bool openPicture(AdStore* loaded, AdBitmapHeader* header, PixelSource& source) {
    source.stream = adStreamOpenRead(loaded);
    if (!source.stream || !adReadBitmapHeader(source.stream, header)) return false;
    if (!adExpandBitmap(source.stream, header, &source.expanded)) return false;
    if (source.expanded) {
        adStreamCloseRead(source.stream);
        source.stream = adStreamOpenRead(source.expanded);
    }
    return source.stream != nullptr;
}

void drawRows(AdDrawing* drawing, const AdImageData* image, const AdBitmapHeader& header, AdStream* pixels,
              const AdMatrix4* matrices) {
    AdDisplayState* state = drawing->display;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(adBitmapRowSize(&header)));
    const bool bits = header.bitCount == 1;
    const std::int32_t mode = bits ? AD_RASTER_MODE_BITS : AD_RASTER_MODE_RGB;
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end; ++v) {
        if (!adViewportDrawable(state, v)) continue;
        const std::int32_t head[4] = {AD_RASTER_IMAGE_HEADER, header.width, header.height, mode};
        adRasterPut(head, sizeof head);
        for (std::int32_t y = header.height; y >= 1 && adRenderValues.drawContinue; --y) {
            const std::int32_t start = AD_RASTER_ROW_START;
            adRasterPut(&start, sizeof start);
            adRasterFlush(drawing, true);
            if (!adBitmapReadRow(y - 1, &header, pixels, header.pixelPosition, row.data())) continue;
            adRenderImageRow(drawing, y, image, header, row.data(), &matrices[v], v, bits);
        }
    }
}

}  // namespace

void adPixelToWorld(double point[3], const AdImageData* image) {
    const double x = point[0], y = image->size[1] - 1.0 - point[1];
    for (int k = 0; k < 3; ++k) point[k] = image->insertion[k] + x * image->uVector[k] + y * image->vVector[k];
}

void adRenderImage(AdDrawing* drawing, const AdImageData* image, AdStore* loaded, const AdMatrix4* matrices) {
    AdDisplayState* state = drawing->display;
    const bool drawer = adRender->hooks.imageDraw != nullptr;
    AdBitmapHeader header;
    PixelSource source;
    const bool picture = loaded && drawer && openPicture(loaded, &header, source);
    StoreGuard boundary{clippingOn(image) ? boundaryOutline(image) : nullptr};
    const bool frame = state->imageFrame || !picture;
    if (picture && adRasterBegin()) {
        const bool clipped = boundary.store && adPushClipRegions(state, boundary.store, matrices);
        if (state->imageFrame) adRender->suppressExtents |= AD_SUPPRESS_RAY;
        drawRows(drawing, image, header, source.stream, matrices);
        adRasterEnd(drawing);
        if (clipped) adPopClipRegions(state);
        adRender->suppressExtents &= static_cast<std::uint8_t>(~AD_SUPPRESS_RAY);
    }
    if (!frame) return;
    StoreGuard outline{image->displayProperties != 0 && boundary.store ? nullptr : pictureOutline(image)};
    adDrawOutlineFrame(drawing, outline.store ? outline.store : boundary.store, matrices);
}

namespace {

// The record of a host-drawn image: zero-filled, the host's image opened,
// and the clip boundary in pixel coordinates when clipping is on.
AdImageFrameRecord* openHostImage(AdDrawing* drawing, const AdImageData* image, const char* path) {
    auto* record = static_cast<AdImageFrameRecord*>(HostAlloc(sizeof(AdImageFrameRecord)));
    if (!record) return nullptr;
    std::memset(record, 0, sizeof *record);
    AdDrawing* top = drawing->display->owner ? drawing->display->owner : drawing;
    adRender->hooks.openImage(path, &record->hostImage, top->userData);
    if (!clippingOn(image)) return record;
    const std::vector<double> points = pixelBoundary(image, true);
    if (points.empty()) return record;
    record->boundary = static_cast<double*>(HostAlloc(points.size() * sizeof(double)));
    if (!record->boundary) {
        HostFree(record);
        return nullptr;
    }
    std::memcpy(record->boundary, points.data(), points.size() * sizeof(double));
    record->boundaryCount = static_cast<std::int32_t>(points.size() / 2);
    return record;
}

}  // namespace

int adDrawImage(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    const AdImageData* image = &entity.data->image;
    auto* definition = static_cast<AdObjectData*>(HostAlloc(sizeof(AdObjectData)));
    if (!definition) {
        adNoMemory(AD_ERR_RENDER_MEMORY);
        return 0;
    }
    AdObjectHeader header{};
    const bool found = adObjectByHandle(drawing, &image->imageDef, &header, definition) &&
                       header.type == adClassNumImageDef(drawing);
    AdDisplayState* state = drawing->display;
    const AdRenderHooks& hooks = adRender->hooks;
    const bool hostDrawn = hooks.hostImageFrame && hooks.openImage;
    AdLoadedImage* kept = found ? adLoadedImage(drawing, entity.header->handle) : nullptr;
    AdLoadedImage fresh{drawing, entity.header->handle, nullptr, nullptr};
    if (found && hostDrawn && !(kept && kept->frame)) {
        fresh.frame = openHostImage(drawing, image, definition->imageDef.filePath);
        if (!fresh.frame) adNoMemory(AD_ERR_RENDER_MEMORY);
    } else if (found && !hostDrawn && !(kept && kept->bytes) && hooks.loadImageFile && hooks.imageDraw) {
        AdDrawing* top = state->owner ? state->owner : drawing;
        hooks.loadImageFile(definition->imageDef.filePath, &fresh.bytes, top->userData);
    }
    HostFree(definition);
    if (!found) return 0;
    if (fresh.bytes || fresh.frame) {
        if (kept) {
            kept->bytes = kept->bytes ? kept->bytes : fresh.bytes;
            kept->frame = kept->frame ? kept->frame : fresh.frame;
        } else if (adKeepLoadedImage(drawing, fresh)) {
            kept = adLoadedImage(drawing, entity.header->handle);
        } else {
            if (fresh.bytes) adStoreFree(fresh.bytes);
            if (fresh.frame && fresh.frame->boundary) HostFree(fresh.frame->boundary);
            if (fresh.frame) HostFree(fresh.frame);
            return 0;
        }
    }
    if (hostDrawn) {
        if (!kept || !kept->frame) return 0;
        return adDrawImageFrames(drawing, image, entity.matrices, kept->frame);
    }
    adRenderImage(drawing, image, kept ? kept->bytes : nullptr, entity.matrices);
    return 1;
}

void adDrawImageEntity(AdDrawContext& entity) { adDrawImage(entity); }
