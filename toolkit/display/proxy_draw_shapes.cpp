// The curve, mesh and shell records of a proxy-graphics stream: circles and
// arcs in the plane of their normal, meshes edge by edge and face by face,
// shells face loop by face loop, each edge with its own attributes.
#include "toolkit/display/proxy_draw.h"

#include "toolkit/display/curves.h"
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool finite(const double* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// The rotation of the plane of the normal (rows: its axes); false for a
// zero or unusable normal.
bool planeOf(const double normal[3], AdMatrix4* rotation) {
    const double length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    if (!std::isfinite(length) || length < 1e-12) return false;
    const double unit[3] = {normal[0] / length, normal[1] / length, normal[2] / length};
    adMatrixFromExtrusion(unit, rotation);
    return true;
}

// A world point in the plane's coordinates: the transposed rotation.
void intoPlane(const AdMatrix4& rotation, const double p[3], double out[3]) {
    for (int i = 0; i < 3; ++i)
        out[i] = p[0] * rotation.m[i][0] + p[1] * rotation.m[i][1] + p[2] * rotation.m[i][2];
}

// The arc about the origin of the plane from start to end (end > start),
// placed at the centre, through the entity's extrusion when it has one and
// the model transform.
void drawArc(AdProxyDraw& d, const AdMatrix4& rotation, const double centre[3], double radius, double start,
             double end) {
    if (!(radius > 0.0) || !std::isfinite(radius) || !std::isfinite(start) || !std::isfinite(end)) return;
    AdMatrix4 local = rotation;
    for (int i = 0; i < 3; ++i) local.m[3][i] = centre[i];
    if (d.header->flags & AD_ENTITY_FLAG_EXTRUDED) adMatrixMultiply(&adDisplayGlobals->objectMatrix, &local, &local);
    if (d.model) adMatrixMultiply(&local, d.model, &local);
    const AdDisplayState* state = d.drawing->display;
    for (int v = 0; v < state->viewportCount && v < AD_VIEWPORT_LIMIT; ++v)
        adMatrixMultiply(&local, &state->viewports[v].full, &d.arcMatrices[v]);
    const double origin[3] = {0.0, 0.0, 0.0};
    adDrawArc(d.drawing, origin, start, end, radius, &local, d.arcMatrices, 1, &d.linetype, d.linetypeDrawing,
              nullptr);
}

// Type 5: the arc from the first point through the second to the third.
void threePointSweep(double a1, double a2, double a3, double* start, double* end) {
    while (a1 < 0.0 || a2 < 0.0 || a3 < 0.0) a1 += kTwoPi, a2 += kTwoPi, a3 += kTwoPi;
    *start = a1, *end = a3;
    if (a1 > a3) {
        if (a1 > a2 && a2 > a3)
            *start = a3, *end = a1;
        else
            *end = a3 + kTwoPi;
    } else if (a1 < a3) {
        if (!(a1 < a2 && a2 < a3)) *start = a3, *end = a1 + kTwoPi;
    }
}

// The attributes of edge e before it is drawn; false when it is hidden.
bool edgeAttributes(AdProxyDraw& d, const AdProxyAttributes& a, std::int32_t e) {
    if (a.edgeVisibility && a.edgeVisibility[e] == 0) return false;
    if (a.edgeLayers && adProxyLayerByIndex(d.drawing, a.edgeLayers[e], &d.layerColour, &d.linetype) &&
        d.colourMode == 256)
        adProxyPen(d, d.layerColour);
    if (a.edgeLinetypes) adProxyLinetypeByIndex(d.drawing, a.edgeLinetypes[e], &d.linetype);
    if (a.edgeColours) adProxyPen(d, a.edgeColours[e]);
    return true;
}

bool faceAttributes(AdProxyDraw& d, const AdProxyAttributes& a, std::int32_t f) {
    if (a.faceVisibility && a.faceVisibility[f] == 0) return false;
    if (a.faceLayers && adProxyLayerByIndex(d.drawing, a.faceLayers[f], &d.layerColour, &d.linetype) &&
        d.colourMode == 256)
        adProxyPen(d, d.layerColour);
    if (a.faceColours) adProxyPen(d, a.faceColours[f]);
    return true;
}

}  // namespace

void adProxyDrawCurve(AdProxyDraw& d, const AdProxyRecord& record) {
    AdMatrix4 rotation;
    if (record.type == 2 || record.type == 4) {
        const AdProxyCircle& c = record.circle;
        if (!finite(c.centre, 3) || !planeOf(c.normal, &rotation)) return;
        double start = 0.0, end = kTwoPi;
        if (record.type == 4) {
            double v[3];
            intoPlane(rotation, c.startVector, v);
            const double origin[2] = {0.0, 0.0};
            start = adAngleOfSegment(origin, v);
            // A negative sweep runs clockwise: the same arc from its other end.
            const double sweep = std::fmin(std::fabs(c.sweep), kTwoPi);
            if (c.sweep < 0.0) start -= sweep;
            end = start + sweep;
        }
        drawArc(d, rotation, c.centre, c.radius, start, end);
        return;
    }
    const double* p1 = record.points[0];
    const double* p2 = record.points[1];
    const double* p3 = record.points[2];
    if (!finite(&record.points[0][0], 9)) return;
    const double u[3] = {p3[0] - p2[0], p3[1] - p2[1], p3[2] - p2[2]};
    const double w[3] = {p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2]};
    const double normal[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    // Points in a line make no circle.
    if (!planeOf(normal, &rotation)) return;
    const double length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    const double unit[3] = {normal[0] / length, normal[1] / length, normal[2] / length};
    double centre[3];
    adCircleCentre3P(p1, p2, p3, unit, centre);
    const double radius = adPointDistance(p2, centre);
    double start = 0.0, end = kTwoPi;
    if (record.type == 5) {
        double c[3], q1[3], q2[3], q3[3];
        intoPlane(rotation, centre, c);
        intoPlane(rotation, p1, q1);
        intoPlane(rotation, p2, q2);
        intoPlane(rotation, p3, q3);
        threePointSweep(adAngleFromCentre(c, q1), adAngleFromCentre(c, q2), adAngleFromCentre(c, q3), &start, &end);
    }
    drawArc(d, rotation, centre, radius, start, end);
}

void adProxyDrawMesh(AdProxyDraw& d, const AdProxyRecord& record) {
    const std::int32_t rows = record.grid[0], columns = record.grid[1];
    AdProxyMesh mesh;
    if (!adProxyReadMesh(d.stream, rows, columns, &mesh)) return;
    const AdProxyAttributes& a = mesh.attributes;
    auto at = [&](std::int32_t i, std::int32_t j) { return &mesh.vertices[3 * (i * columns + j)]; };
    std::int32_t e = 0;
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j + 1 < columns; ++j, ++e)
            if (edgeAttributes(d, a, e)) adProxySegment(d, at(i, j), at(i, j + 1));
    for (std::int32_t j = 0; j < columns; ++j)
        for (std::int32_t i = 0; i + 1 < rows; ++i, ++e)
            if (edgeAttributes(d, a, e)) adProxySegment(d, at(i, j), at(i + 1, j));
    const bool fill = d.drawing->header && d.drawing->header->fillmode != 0;
    std::int32_t f = 0;
    for (std::int32_t i = 0; i + 1 < rows; ++i)
        for (std::int32_t j = 0; j + 1 < columns; ++j, ++f) {
            if (!faceAttributes(d, a, f)) continue;
            const double *p00 = at(i, j), *p01 = at(i, j + 1), *p10 = at(i + 1, j), *p11 = at(i + 1, j + 1);
            if (!finite(p00, 3) || !finite(p01, 3) || !finite(p10, 3) || !finite(p11, 3)) continue;
            if (fill)
                adFillQuad(d.drawing, p00, p01, p10, p11, d.matrices);
            else
                adQuadOutline(d.drawing, p00, p01, p11, p10, d.matrices, &d.drawing->display->continuousRecord,
                              d.drawing);
        }
    adProxyFreeMesh(&mesh);
}

void adProxyDrawShell(AdProxyDraw& d, const AdProxyRecord& record) {
    AdProxyShell shell;
    if (!adProxyReadShell(d.stream, record.count, &shell)) return;
    const std::int32_t* list = shell.faceList;
    auto vertex = [&](std::int32_t index) -> const double* {
        return index >= 0 && index < shell.vertexCount ? &shell.vertices[3 * index] : nullptr;
    };
    std::int32_t e = 0;
    for (std::int32_t i = 0; i < shell.faceListLength;) {
        const std::int32_t k = list[i++];
        const std::int32_t n = k < 0 ? -k : k;
        // Holes are not drawn, but their edges keep their attribute entries.
        for (std::int32_t m = 0; k > 0 && m < n; ++m) {
            const double* a = vertex(list[i + m]);
            const double* b = vertex(list[i + (m + 1) % n]);
            if (edgeAttributes(d, shell.attributes, e + m) && a && b) adProxySegment(d, a, b);
        }
        e += n;
        i += n;
    }
    adProxyFreeShell(&shell);
}
