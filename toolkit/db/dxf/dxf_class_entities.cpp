// The groups of the built-in class entities (LWPOLYLINE, OLE2FRAME, HATCH,
// IMAGE, WIPEOUT, ARCALIGNEDTEXT, RTEXT) that a map row cannot take.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_map_rows.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <initializer_list>

namespace {
const std::int16_t kConstantWidth = 0x4;
const std::int16_t kBulges = 0x10;
const std::int16_t kWidths = 0x20;
const std::int16_t kLinetypeGeneration = 0x100;
const std::int16_t kClosed = 0x200;
const std::int16_t kRectangle = 1;

// A completed vertex goes to the work list; its bulge and widths say what
// the stored form keeps.
bool closeVertex(AdDxfEntityRead& read) {
    if (!read.vertexOpen) return true;
    read.vertexOpen = false;
    AdLwpolylineData& p = read.data->lwpolyline;
    if (read.vertex[2] != 0.0) p.flags |= kBulges;
    if (read.vertex[3] != 0.0 || read.vertex[4] != 0.0) p.flags |= kWidths;
    if (!adDxfWorkWrite(read, 0, read.vertex, 5)) return false;
    ++read.workCount[0];
    return true;
}

bool lwpolylineGroup(AdDxfEntityRead& read, std::int16_t code, bool* ok) {
    AdLwpolylineData& p = read.data->lwpolyline;
    switch (code) {
        case 10: {
            *ok = closeVertex(read);
            const double x = adDxfToken().real;
            double y = 0.0;
            if (!adDxfNextReal(read.drawing, &y)) return true;
            read.vertex[0] = x;
            read.vertex[1] = y;
            read.vertex[2] = read.vertex[3] = read.vertex[4] = 0.0;
            read.vertexOpen = true;
            return true;
        }
        case 40: read.vertex[3] = adDxfToken().real; return true;
        case 41: read.vertex[4] = adDxfToken().real; return true;
        case 42: read.vertex[2] = adDxfToken().real; return true;
        case 43:
            if (adDxfToken().real != 0.0) p.flags |= kConstantWidth;
            return false;
        case 70: {
            const std::int32_t flags = adDxfTokenInteger();
            if (flags & 0x1) p.flags |= kClosed;
            if (flags & 0x80) p.flags |= kLinetypeGeneration;
            return true;
        }
        case 90:  // the count is that of the vertices read; this one sizes their list
            read.workBytes[0] = std::int64_t{adDxfTokenInteger()} * 5 * sizeof(double);
            return true;
        default: return false;
    }
}

bool finishLwpolyline(AdDxfEntityRead& read) {
    AdLwpolylineData& p = read.data->lwpolyline;
    if (!closeVertex(read)) return false;
    adDxfWorkClose(read);
    p.vertexCount = read.workCount[0];
    if (p.vertexCount == 0) return true;
    AdStream* out = nullptr;
    const std::int16_t flags = p.flags;
    const int width = 2 + ((flags & kBulges) ? 1 : 0) + ((flags & kWidths) ? 2 : 0);
    if (!adDxfNewStore(&p.vertices, &out, std::int64_t{p.vertexCount} * width * std::int64_t{sizeof(double)})) return false;
    const bool ok = adDxfCopyWork(read.work[0], p.vertexCount, 5, out, [flags](AdStream* o, const double* v, std::int32_t) {
        return adStreamWrite(o, v, 2 * sizeof(double)) &&
               (!(flags & kBulges) || adStreamWrite(o, &v[2], sizeof(double))) &&
               (!(flags & kWidths) || adStreamWrite(o, &v[3], 2 * sizeof(double)));
    });
    return adStreamCloseWrite(out) && ok;
}

// A rectangle's two corners, or the vertices of a polygon.
bool readClip(AdDxfEntityRead& read) {
    AdImageData& image = read.data->image;
    image.clipVertexCount = adDxfTokenInteger();
    if (image.clipBoundaryType == kRectangle) {
        for (double* corner : {&image.clipCorners[0][0], &image.clipCorners[0][1], &image.clipCorners[1][0],
                               &image.clipCorners[1][1]})
            if (!adDxfNextReal(read.drawing, corner)) return true;
        return true;
    }
    if (image.clipVertices || image.clipVertexCount < 0) return true;
    image.clipVertices = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = image.clipVertices ? adStreamOpenWrite(image.clipVertices) : nullptr;
    bool ok = out != nullptr;
    std::int32_t count = 0;
    for (; ok && count < image.clipVertexCount; ++count) {
        double pair[2];
        if (!adDxfNextReal(read.drawing, &pair[0]) || !adDxfNextReal(read.drawing, &pair[1])) break;
        ok = adStreamWrite(out, pair, sizeof pair) != 0;
    }
    image.clipVertexCount = count;
    if (out) ok = adStreamCloseWrite(out) && ok;
    return ok;
}

// An IMAGE's pixel bytes, a WIPEOUT's graphics: the first 92 group's.
bool readPixels(AdDxfEntityRead& read) {
    AdImageData& image = read.data->image;
    if (image.pixels) return true;
    return adDxfReadFollowingChunks(read.drawing, &image.pixels);
}

// The groups a class entity reads itself; false for the groups of its map.
bool ownGroup(AdDxfEntityRead& read, std::int16_t code, bool* ok) {
    AdEntityData& d = *read.data;
    switch (read.kind) {
        case AD_KIND_LWPOLYLINE: return lwpolylineGroup(read, code, ok);
        case AD_KIND_OLE2FRAME:
            if (code != 90) return false;
            *ok = adDxfReadFollowingChunks(read.drawing, &d.ole2Frame.data);
            d.ole2Frame.dataLength = *ok ? adStoreSize(d.ole2Frame.data) : 0;
            return true;
        case AD_KIND_HATCH: return adDxfHatchGroup(read, code, ok);
        case AD_KIND_IMAGE:
        case AD_KIND_WIPEOUT:
            if (code == 91) *ok = readClip(read);
            else if (code == 92) *ok = readPixels(read);
            return code == 91 || code == 92;
        case AD_KIND_ARCALIGNEDTEXT:
            if (code == 92) *ok = adDxfReadFollowingChunks(read.drawing, &d.arcAlignedText.graphics);
            else if (code == 7)
                adDxfCopyText(adGlobals->dxfNames[AD_DXF_NAME_TEXT_STYLE], AD_ENTITY_NAME_SIZE, adDxfToken().text);
            return code == 92 || code == 7;
        case AD_KIND_RTEXT:
            if (code == 92) {
                *ok = adDxfReadFollowingChunks(read.drawing, &d.rtext.longText);
            } else if (code == 7) {
                char* name = adGlobals->dxfNames[AD_DXF_NAME_TEXT_STYLE];
                adDxfCopyText(name, AD_ENTITY_NAME_SIZE, adDxfToken().text);
                adStrUpper(name, read.drawing->header ? read.drawing->header->dwgcodepage : 0);
            }
            return code == 92 || code == 7;
        default: return false;
    }
}
}  // namespace

bool adDxfClassEntityGroup(AdDxfEntityRead& read, std::int16_t code) {
    bool ok = true;
    if (ownGroup(read, code, &ok)) return ok;
    std::int32_t count = 0;
    const AdDxfFieldMap* map = adDxfClassEntityMap(read.kind, &count);
    const AdDxfFieldMap* row = adDxfFindRow(map, count, code);
    if (row) adDxfStoreRow(read.drawing, *row, read.data);
    return true;
}

bool adDxfFinishClassEntity(AdDxfEntityRead& read) {
    return read.kind == AD_KIND_LWPOLYLINE ? finishLwpolyline(read) : true;
}
