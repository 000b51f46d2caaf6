// IMAGE and WIPEOUT entities of AC1012 and later files: the placement, the
// display settings and the clip boundary, a rectangle or a polygon.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_class_read.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/ad_internal.h"

#include <algorithm>

namespace {
constexpr std::int16_t kRectangle = 1;
constexpr std::int64_t kVertexBits = 128;

// The polygon's vertices, closed by a copy of the first.
int readPolygon(AdImageData* image) {
    const std::int32_t count = adBitReadLong();
    if (!adDwgCountFits(count, kVertexBits)) return 0;
    image->clipVertexCount = count > 0 ? count + 1 : 0;
    double first[2] = {};
    return adDwgFillList(count, 0, &image->clipVertices, [&](AdDwgStoreFill* fill, std::int32_t i) {
        double vertex[2] = {};
        adBitReadRaw2D(vertex);
        if (i == 0) std::copy(vertex, vertex + 2, first);
        adDwgFillBytes(fill, vertex, sizeof vertex);
        if (i + 1 == count) adDwgFillBytes(fill, first, sizeof first);
    });
}
}  // namespace

int adDwgReadImage(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, bool keep) {
    AdImageData& image = data->image;
    image.classVersion = adBitReadLong();
    adBitRead3D(image.insertion);
    adBitRead3D(image.uVector);
    adBitRead3D(image.vVector);
    adBitReadRaw2D(image.size);
    image.displayProperties = adBitReadShort();
    image.clipping = static_cast<std::int16_t>(adBitReadBit());
    image.brightness = adBitReadByte();
    image.contrast = adBitReadByte();
    image.fade = adBitReadByte();
    image.clipBoundaryType = adBitReadShort();
    if (image.clipBoundaryType == kRectangle) {
        adBitReadRaw2D(image.clipCorners[0]);
        adBitReadRaw2D(image.clipCorners[1]);
        image.clipVertexCount = 2;
    } else if (!readPolygon(&image)) {
        return 0;
    }
    if (!adDwgClassHandles(drawing, header)) return 0;
    AdHandle definition{};
    AdHandle reactor{};
    adDwgReadOwnHandle(header, &definition);
    adDwgReadOwnHandle(header, &reactor);
    if (keep) {
        image.imageDef = definition;
        image.imageDefReactor = reactor;
    }
    return adBitUsable() ? 1 : 0;
}
