// The routines that stand in the polygon slots outside recording: they hand
// the fill to the host's routine and note where the host pen now stands.
#include "toolkit/display/render_state.h"

void adPassPolygon(const std::int16_t range[2], const DevicePoint* points, void* user) {
    if (!adRender->hooks.hostPolygon) return;
    adRender->hooks.hostPolygon(range, points, user);
    adRender->lastPoint = points[range[0]];
}

void adPassPolyPolygon(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount, void* user) {
    if (!adRender->hooks.hostPolyPolygon) return;
    adRender->hooks.hostPolyPolygon(points, counts, contourCount, user);
    adRender->lastPoint = points[0];
}
