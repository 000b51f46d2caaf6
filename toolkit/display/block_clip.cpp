// The spatial-filter clip of a block reference: the filter's boundary as an
// outline in block coordinates, its frame when XCLIPFRAME is set, and the
// clip-region level that keeps the reference's contents inside it.
#include "toolkit/display/block_clip.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/view.h"

#include <cmath>

namespace {

// Rows 0..3, columns 0..2 from 12 values; values of 1e-12 or less are 0.
AdMatrix4 matrixOf(const double values[12]) {
    AdMatrix4 m = adIdentityMatrix;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            const double v = values[3 * r + c];
            m.m[r][c] = std::fabs(v) <= 1e-12 ? 0.0 : v;
        }
    return m;
}

struct StoreWriter {
    AdStore* store = nullptr;
    AdStream* out = nullptr;
    bool ok = true;

    StoreWriter() {
        store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        out = store ? adStreamOpenWrite(store) : nullptr;
        ok = out != nullptr;
    }
    void point(const AdMatrix4& m, double x, double y) {
        const double p[4] = {x, y, 0.0, 1.0};
        double q[4];
        adTransformPoint(p, &m, q);
        ok = ok && std::isfinite(q[0]) && std::isfinite(q[1]) && std::isfinite(q[2]) && adStreamWritePoint3D(out, q);
    }
    AdStore* finish() {
        if (out) adStreamCloseWrite(out);
        if (ok) return store;
        if (store) adStoreFree(store);
        return nullptr;
    }
};

}  // namespace

AdStore* adSpatialFilterOutline(const AdSpatialFilterData& filter) {
    if (!filter.boundary || filter.pointCount < 2) return nullptr;
    AdMatrix4 first = matrixOf(filter.inverseTransform);
    AdMatrix4 second = matrixOf(filter.clipTransform);
    // A clip transform without an inverse would put NaN into the region.
    if (!adMatrixInvert(&second)) return nullptr;
    AdMatrix4 s;
    adMatrixMultiply(&second, &first, &s);
    AdStream* in = adStreamOpenRead(filter.boundary);
    if (!in) return nullptr;
    StoreWriter writer;
    const std::int32_t stored = adStoreSize(filter.boundary) / static_cast<std::int32_t>(2 * sizeof(double));
    const std::int32_t count = std::min<std::int32_t>(filter.pointCount, stored);
    std::int32_t read = 0;
    double corners[2][2] = {};
    for (; read < count && writer.ok; ++read) {
        double p[2];
        if (!adStreamReadDouble(in, &p[0]) || !adStreamReadDouble(in, &p[1])) break;
        if (count == 2) {
            corners[read][0] = p[0], corners[read][1] = p[1];
        } else {
            writer.point(s, p[0], p[1]);
        }
    }
    adStreamCloseRead(in);
    if (count == 2 && read == 2) {
        writer.point(s, corners[0][0], corners[0][1]);
        writer.point(s, corners[1][0], corners[0][1]);
        writer.point(s, corners[1][0], corners[1][1]);
        writer.point(s, corners[0][0], corners[1][1]);
    }
    if (read < 2) writer.ok = false;
    return writer.finish();
}

void adDrawOutlineFrame(AdDrawing* drawing, AdStore* outline, const AdMatrix4* matrices) {
    const std::int32_t count = adStoreSize(outline) / static_cast<std::int32_t>(3 * sizeof(double));
    if (count < 2) return;
    AdStream* in = adStreamOpenRead(outline);
    if (!in) return;
    adSetPenColor(drawing, adMapColor(7));
    double first[3], previous[3];
    if (adStreamReadPoint3D(in, first)) {
        std::copy(first, first + 3, previous);
        for (std::int32_t i = 1; i <= count; ++i) {
            double point[3];
            if (i < count && !adStreamReadPoint3D(in, point)) break;
            if (i == count) std::copy(first, first + 3, point);
            double a[3] = {previous[0], previous[1], previous[2]}, b[3] = {point[0], point[1], point[2]};
            adApplyLinetype(drawing, a, b, nullptr, matrices, nullptr, drawing, nullptr, 0, 0.0);
            std::copy(point, point + 3, previous);
        }
    }
    adStreamCloseRead(in);
}

int adPushBlockClip(AdDrawing* drawing, const AdEntityHeader& insert, const AdMatrix4& clip) {
    AdObjectHeader header{};
    AdSpatialFilterData filter{};
    if (!adFindSpatialFilter(drawing, &insert, &header, &filter) || filter.displayBoundary == 0) return 0;
    AdStore* outline = adSpatialFilterOutline(filter);
    if (!outline) return 0;
    AdDisplayState* state = drawing->display;
    auto* matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
    int pushed = 0;
    if (!matrices) {
        adNoMemory(AD_ERR_VIEWPORT_MATRICES);
    } else {
        for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) adMatrixMultiply(&clip, &state->viewports[v].full, &matrices[v]);
        if (state->xclipFrame) adDrawOutlineFrame(drawing, outline, matrices);
        pushed = adPushClipRegions(state, outline, matrices);
        if (pushed) adRender->suppressExtents |= AD_SUPPRESS_CLIP;
        HostFree(matrices);
    }
    adStoreFree(outline);
    return pushed;
}

void adPopBlockClip(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    adPopClipRegions(state);
    if (!state->clipStack || !state->clipStack->below) adRender->suppressExtents &= static_cast<std::uint8_t>(~AD_SUPPRESS_CLIP);
}
