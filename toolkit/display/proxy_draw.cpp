// adDrawProxyGraphics: a proxy-graphics stream drawn record by record,
// keeping the colour, layer, linetype and fill-mode changes it makes along
// the way. The fill mode and the clip boundary last for this stream only.
#include "toolkit/display/proxy_draw.h"

#include "toolkit/display/dispatch.h"
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/text.h"
#include "toolkit/display/view.h"

#include <cmath>

namespace {

bool finite(const double p[3]) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

// Types 6 and 32: the points are read one at a time.
void drawPolyline(AdProxyDraw& d, std::int32_t count) {
    double previous[3], point[3];
    if (count < 1 || !adStreamReadPoint3D(d.stream, previous)) return;
    for (std::int32_t i = 1; i < count; ++i) {
        if (!adStreamReadPoint3D(d.stream, point)) return;
        adProxySegment(d, previous, point);
        for (int k = 0; k < 3; ++k) previous[k] = point[k];
    }
}

// Type 7: filled as one contour under the fill mode, else closed outline.
void drawPolygon(AdProxyDraw& d, std::int32_t count) {
    AdDrawing* drawing = d.drawing;
    const bool fill = drawing->header && drawing->header->fillmode == 1;
    if (fill && count < AD_PROXY_COUNT_LIMIT) {
        auto* points = static_cast<double*>(HostAlloc(sizeof(double) * 3 * static_cast<std::size_t>(count > 0 ? count : 1)));
        if (!points) return;
        bool ok = true;
        for (std::int32_t i = 0; i < count && ok; ++i) ok = adStreamReadPoint3D(d.stream, &points[3 * i]) && finite(&points[3 * i]);
        const auto n = static_cast<std::int16_t>(count);
        if (ok && n > 0) adFillContours(drawing, points, &n, 1, d.matrices);
        HostFree(points);
        return;
    }
    double first[3], previous[3], point[3];
    if (count < 2 || !adStreamReadPoint3D(d.stream, first)) return;
    for (int k = 0; k < 3; ++k) previous[k] = first[k];
    for (std::int32_t i = 1; i < count; ++i) {
        if (!adStreamReadPoint3D(d.stream, point)) return;
        adProxySegment(d, previous, point);
        for (int k = 0; k < 3; ++k) previous[k] = point[k];
    }
    adProxySegment(d, previous, first);
}

// Type 27: two points are a rectangle's opposite corners.
bool pushClip(AdProxyDraw& d, AdProxyRecord& record) {
    const AdProxyClip& clip = record.clip;
    if (!clip.present || !clip.points || clip.count < 2) return false;
    AdStream* in = adStreamOpenRead(clip.points);
    AdStore* outline = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = outline ? adStreamOpenWrite(outline) : nullptr;
    bool ok = in && out;
    double xy[2][2] = {};
    for (std::int16_t i = 0; ok && i < clip.count; ++i) {
        double p[3] = {0.0, 0.0, 0.0};
        ok = adStreamReadDouble(in, &p[0]) && adStreamReadDouble(in, &p[1]) && finite(p);
        if (ok && clip.count == 2) xy[i][0] = p[0], xy[i][1] = p[1];
        if (ok && clip.count != 2) ok = adStreamWritePoint3D(out, p);
    }
    if (ok && clip.count == 2) {
        const double corners[4][3] = {{xy[0][0], xy[0][1], 0.0}, {xy[0][0], xy[1][1], 0.0},
                                      {xy[1][0], xy[1][1], 0.0}, {xy[1][0], xy[0][1], 0.0}};
        for (const auto& c : corners) ok = ok && adStreamWritePoint3D(out, c);
    }
    if (in) adStreamCloseRead(in);
    if (out) adStreamCloseWrite(out);
    bool pushed = false;
    if (ok) pushed = adPushClipRegions(d.drawing->display, outline, d.matrices) != 0;
    if (pushed) d.header->flags |= AD_ENTITY_FLAG_CLIPPED_EXTENTS;
    if (outline) adStoreFree(outline);
    return pushed;
}

void layerChange(AdProxyDraw& d, std::int32_t index) {
    if (!adProxyLayerByIndex(d.drawing, index, &d.layerColour, &d.linetype)) return;
    if (d.colourMode == 256) adProxyPen(d, d.layerColour);
}

void colourChange(AdProxyDraw& d, std::int32_t value) {
    d.colourMode = static_cast<std::int16_t>(value);
    adProxyPen(d, value == 0 ? d.blockColour : value == 256 ? d.layerColour : d.colourMode);
}

// A tilted text stands on its own normal: the entity's extrusion mark and
// object matrix are lent to it for its string and given back, so the
// records after it keep the entity's own frame.
void drawText(AdProxyDraw& d, const AdProxyRecord& record) {
    AdEntityHeader header{};
    AdStyleRecord style{};
    auto* data = static_cast<AdEntityData*>(HostAlloc(sizeof(AdEntityData)));
    if (!data) return;
    adProxyTextEntity(d.drawing, record, &header, data, &style);
    const auto savedFlags = d.header->flags;
    const AdMatrix4 savedObject = adDisplayGlobals->objectMatrix;
    if (header.flags & AD_ENTITY_FLAG_EXTRUDED) {
        adMatrixFromExtrusion(header.extrusion, &adDisplayGlobals->objectMatrix);
        d.header->flags |= AD_ENTITY_FLAG_EXTRUDED;
    }
    AdTextData& text = data->text;
    adDrawTextString(d.drawing, text.insertion, text.text, &style, &text.fields, d.model ? d.model : &adIdentityMatrix,
                     d.matrices, d.drawing->display->smallSize);
    d.header->flags = savedFlags;
    adDisplayGlobals->objectMatrix = savedObject;
    HostFree(data);
}

void drawRecord(AdProxyDraw& d, bool& clipPushed, AdProxyRecord& record) {
    AdDrawing* drawing = d.drawing;
    switch (record.type) {
    case 2: case 3: case 4: case 5: adProxyDrawCurve(d, record); break;
    case 6: case 32: drawPolyline(d, record.count); break;
    case 7: drawPolygon(d, record.count); break;
    case 8: adProxyDrawMesh(d, record); break;
    case 9: adProxyDrawShell(d, record); break;
    case 10: case 11: drawText(d, record); break;
    case 12:
    case 13: {
        const double* a = record.points[0];
        const double direction[3] = {record.points[1][0] - a[0], record.points[1][1] - a[1], record.points[1][2] - a[2]};
        AdDrawContext entity{drawing, nullptr, const_cast<AdMatrix4*>(d.model), const_cast<AdMatrix4*>(d.matrices),
                             nullptr, d.header, nullptr, &d.linetype, d.linetypeDrawing, 0, nullptr, 0};
        if (finite(a) && finite(direction)) adDrawInfiniteLine(entity, AD_ENTITY_XLINE, a, direction);
        break;
    }
    case 14: colourChange(d, record.value); break;
    case 16:
        if (record.value != -1) layerChange(d, record.value);
        break;
    case 18: adProxyLinetypeByIndex(drawing, record.value, &d.linetype); break;
    case 20:
        if (drawing->header) drawing->header->fillmode = static_cast<std::int16_t>(record.value);
        break;
    case 27:
        if (clipPushed) adPopClipRegions(drawing->display);
        clipPushed = pushClip(d, record);
        break;
    case 29: adProxyPushTransform(d, record.reals); break;
    case 31: adProxyPopTransform(d); break;
    default: break;
    }
}

struct Scope {
    AdProxyDraw& d;
    std::int16_t savedFill = 0;
    bool clipPushed = false;
    ~Scope() {
        if (d.stream) adStreamCloseRead(d.stream);
        if (d.drawing->header) d.drawing->header->fillmode = savedFill;
        if (clipPushed) adPopClipRegions(d.drawing->display);
        if (d.arcMatrices) HostFree(d.arcMatrices);
        adProxyDropTransforms(d);
    }
};

}  // namespace

void adProxyPen(AdProxyDraw& d, std::int16_t colour) { adSetPenColor(d.drawing, adMapColor(colour)); }

void adProxySegment(AdProxyDraw& d, const double a[3], const double b[3]) {
    if (!finite(a) || !finite(b)) return;
    double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
    adApplyLinetype(d.drawing, start, end, d.model, d.matrices, &d.linetype, d.linetypeDrawing, nullptr,
                    ++d.drawing->display->curveCounter, 0.0);
}

int adDrawProxyGraphics(AdDrawing* drawing, AdStore* store, const AdMatrix4* model, const AdMatrix4* matrices,
                        const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing, std::int16_t blockColour,
                        std::int16_t layerColour, AdEntityHeader* header) {
    auto* d = static_cast<AdProxyDraw*>(HostAlloc(sizeof(AdProxyDraw)));
    if (!d) return 0;
    *d = AdProxyDraw{drawing, nullptr, model, matrices, nullptr, *linetype, linetypeDrawing, blockColour,
                     layerColour, 256, header, {}, 0, 0};
    int result = 0;
    {
        Scope scope{*d, drawing->header ? drawing->header->fillmode : std::int16_t{0}};
        d->stream = store ? adStreamOpenRead(store) : nullptr;
        if (d->stream) d->arcMatrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
        if (d->stream && !d->arcMatrices) adNoMemory(AD_ERR_PROXY_MATRICES);
        if (d->arcMatrices) {
            result = 1;
            AdProxyRecord record;
            bool more = adProxySkipPreamble(d->stream) && adProxyReadRecord(d->stream, &record);
            while (more) {
                drawRecord(*d, scope.clipPushed, record);
                adProxyFreeRecord(&record);
                // Whatever a record's drawing read, the next one starts at its
                // declared end; one that read past it has broken the framing.
                more = adStreamTell(d->stream) <= record.end && adStreamSeek(d->stream, record.end) &&
                       adProxyReadRecord(d->stream, &record);
            }
        }
    }
    HostFree(d);
    return result;
}
