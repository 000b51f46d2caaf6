// What the emission layer shares: the scratch buffers, the viewport range
// and poll, the drawn extents, and the 2D predicates of its clipping.
#include "toolkit/display/emit.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t kBufferStep = 1024;

AdEntityHeader neutralEntity() {
    AdEntityHeader header{};
    header.extrusion[2] = 1.0;
    header.linetypeScale = 1.0;
    return header;
}

AdEntityHeader gNoEntity = neutralEntity();

double distanceSquared(double ax, double ay, double bx, double by) {
    return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

}  // namespace

AdEntityHeader* adCurrentEntity() {
    AdEntityHeader* header = adDisplayGlobals ? adDisplayGlobals->currentEntity : nullptr;
    return header ? header : &gNoEntity;
}

std::int16_t adSignTol(double value) { return value > 1e-10 ? 1 : value < -1e-10 ? -1 : 0; }

void adTransformToDevice(const double p[3], const AdMatrix4* matrix, double out[2]) {
    const auto& m = matrix->m;
    out[0] = p[0] * m[0][0] + p[1] * m[1][0] + p[2] * m[2][0] + m[3][0];
    out[1] = p[0] * m[0][1] + p[1] * m[1][1] + p[2] * m[2][1] + m[3][1];
}

void adRemoveDuplicatePoints(double* points, std::int16_t* count) {
    auto same = [points](int i, int j) {
        return std::fabs(points[2 * i] - points[2 * j]) <= 1e-10 && std::fabs(points[2 * i + 1] - points[2 * j + 1]) <= 1e-10;
    };
    int n = *count;
    for (int i = 0; i + 1 < n;) {
        if (same(i, i + 1)) {
            std::memmove(points + 2 * i, points + 2 * (i + 1), sizeof(double) * 2 * (n - i - 1));
            --n;
        } else {
            ++i;
        }
    }
    if (n > 1 && same(n - 1, 0)) --n;
    *count = static_cast<std::int16_t>(n);
}

void* adBufferReserve(AdGrowBuffer* buffer, std::size_t bytes) {
    if (bytes == 0 || bytes <= buffer->capacity) return buffer->data;
    const std::size_t capacity = (bytes + kBufferStep - 1) / kBufferStep * kBufferStep;
    if (buffer->data) HostFree(buffer->data);
    buffer->data = HostAlloc(capacity);
    buffer->capacity = buffer->data ? capacity : 0;
    return buffer->data;
}

void* adBufferGrow(AdGrowBuffer* buffer, std::size_t bytes) {
    if (bytes == 0 || bytes <= buffer->capacity) return buffer->data;
    const std::size_t capacity = (bytes + kBufferStep - 1) / kBufferStep * kBufferStep;
    void* grown = HostAlloc(capacity);
    if (grown && buffer->data) std::memcpy(grown, buffer->data, buffer->capacity);
    if (buffer->data) HostFree(buffer->data);
    buffer->data = grown;
    buffer->capacity = grown ? capacity : 0;
    return grown;
}

void adViewportRange(const AdDisplayState* state, int* first, int* end) {
    const bool single = !state->paperSpace || (adCurrentEntity()->flags & AD_ENTITY_FLAG_PAPER_SPACE) ||
                        state->paperSheet || state->viewportCount <= 1;
    *first = single ? 0 : 1;
    *end = single ? 1 : state->viewportCount;
}

bool adViewportDrawable(const AdDisplayState* state, int v) {
    const std::uint64_t bit = std::uint64_t{1} << v;
    return (state->suppressedViewports & bit) == 0 && (state->activeViewports & bit) != 0;
}

void adPollPrimitive(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    ++state->emitted;
    if (adRender->hooks.drawPoll && state->emitted >= adRenderValues.pollInterval) {
        adRender->hooks.drawPoll(drawing->userData);
        state->emitted = 0;
    }
}

int adFillVisibleInViewport(AdDrawing* drawing, int v) {
    const AdHeaderVars* header = drawing->header;
    if (header && header->fillmode == 0) return 0;
    const AdEntityHeader* entity = adCurrentEntity();
    if (entity->type == AD_ENTITY_LEADER) return 1;
    const AdDisplayState* state = drawing->display;
    if (!(entity->flags & AD_ENTITY_FLAG_EXTRUDED)) return (state->planViewports >> v) & 1 ? 1 : 0;
    const double* d = state->viewports[v].direction;
    const double* e = state->extrusion;
    const double c[3] = {d[1] * e[2] - d[2] * e[1], d[2] * e[0] - d[0] * e[2], d[0] * e[1] - d[1] * e[0]};
    return c[0] * c[0] + c[1] * c[1] + c[2] * c[2] < 2e-12 ? 1 : 0;
}

AdDisplayState* adTopState(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    return state->owner && state->owner->display ? state->owner->display : state;
}

void adWidenExtents(AdDisplayState* state, double x, double y) {
    double* e = state->deviceExtents;
    if (x < e[0]) e[0] = x;
    if (y < e[1]) e[1] = y;
    if (x > e[2]) e[2] = x;
    if (y > e[3]) e[3] = y;
}

int adPointNearSegment(const double p[2], const double a[2], const double b[2], double r) {
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double wx = p[0] - a[0], wy = p[1] - a[1];
    const double d2 = dx * dx + dy * dy, r2 = r * r;
    if (d2 < r2) return wx * wx + wy * wy <= r2;
    const double t = (wx * dx + wy * dy) / d2;
    if (t <= 0.0) return wx * wx + wy * wy <= r2;
    if (t >= 1.0) return distanceSquared(p[0], p[1], b[0], b[1]) <= r2;
    return distanceSquared(wx, wy, t * dx, t * dy) <= r2;
}

int adIntersectSegments(const double s0[2], const double s1[2], const double e0[2], const double e1[2],
                        double out[4]) {
    const double dx = s1[0] - s0[0], dy = s1[1] - s0[1];
    const double ex = e1[0] - e0[0], ey = e1[1] - e0[1];
    const double k = ex * dy - dx * ey;
    int n = 0;
    auto put = [&](const double q[2]) {
        if (n < 2) out[2 * n] = q[0], out[2 * n + 1] = q[1], ++n;
    };
    if (std::fabs(dx * ex + dy * ey) * 1e-6 >= std::fabs(k)) {
        auto differs = [](double a, double b) { return std::fabs(a - b) >= (std::fabs(a) + std::fabs(b)) * 1e-9 + 1e-10; };
        auto differsFrom = [&](const double q[2], const double s[2]) { return differs(q[0], s[0]) || differs(q[1], s[1]); };
        if (adPointNearSegment(s0, e0, e1, 1e-6)) put(s0);
        if (adPointNearSegment(s1, e0, e1, 1e-6)) put(s1);
        if (differsFrom(e0, s0) && differsFrom(e0, s1) && adPointNearSegment(e0, s0, s1, 1e-6)) put(e0);
        if (adPointNearSegment(e1, s0, s1, 1e-5)) put(e1);
        return n;
    }
    const double qx = e0[0] - s0[0], qy = e0[1] - s0[1];
    const double t = (ex * qy - ey * qx) / k;
    const double u = (dx * qy - dy * qx) / k;
    const double lo = -1e-12, hi = 1.000000000001;
    if (t < lo || t > hi || u < lo || u > hi) return 0;
    const double q[2] = {s0[0] + t * dx, s0[1] + t * dy};
    put(q);
    return n;
}

int adPointInContour(const double p[2], std::int32_t count, const AdClipPoint* vertices, double r) {
    if (count <= 0 || !vertices) return 0;
    int inside = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const AdClipPoint& a = vertices[i == 0 ? count - 1 : i - 1];
        const AdClipPoint& b = vertices[i];
        const double pa[2] = {a.x, a.y}, pb[2] = {b.x, b.y};
        if (adPointNearSegment(p, pa, pb, r)) return 1;
        if ((a.y > p[1]) == (b.y > p[1])) continue;
        const double x = a.x + (p[1] - a.y) * (b.x - a.x) / (b.y - a.y);
        if (std::fabs(p[0] - x) < r) return 1;
        if (p[0] < x) inside ^= 1;
    }
    return inside;
}

int adPointInRegion(const double p[2], const AdClipPolygon* region, double r) {
    int sum = 0;
    for (std::int32_t i = 0; i < region->contourCount; ++i) {
        const AdClipContour& contour = region->contours[i];
        if (adPointInContour(p, contour.vertexCount, contour.points, r))
            sum += region->holeFlags && region->holeFlags[i] ? -1 : 1;
    }
    return sum > 0;
}
