// The plain questions the renderer asks of the topology records.
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/surface.h"

bool acis_Loop::hasNoCurve() const { return !coedge || !coedge->edge || !coedge->edge->curve; }

bool acis_Face::isUnbounded() const {
    for (const acis_Loop* l = loop; l; l = l->next)
        if (!l->hasNoCurve()) return false;
    return true;
}

bool acis_Face::hasCurvelessLoop() const {
    for (const acis_Loop* l = loop; l; l = l->next)
        if (l->hasNoCurve()) return true;
    return false;
}

std::int32_t acis_Face::countCurves() {
    if (curveCount != 0) return curveCount;
    const acis_Curve* last = nullptr;
    std::int32_t count = 0;
    for (const acis_Loop* l = loop; l; l = l->next) {
        const acis_CoEdge* first = l->coedge;
        for (const acis_CoEdge* c = first; c; c = c->nextInRing(first)) {
            const acis_Curve* curve = c->edge ? c->edge->curve : nullptr;
            if (!curve) continue;
            if (curve != last) ++count;
            last = curve;
        }
    }
    curveCount = count;
    return count;
}

bool acis_CoEdge::sameSenseAsEdge() const {
    const std::int32_t edgeSense = edge ? edge->sense : 0;
    return (sense == 0) == (edgeSense == 0);
}

aPoint acis_Vertex::getPoint() const { return point ? point->position() : origin; }

EdgeClass acis_Edge::classifyPoint(const aPoint& p) const {
    if (start && p.coincidesWith(start->getPoint()))
        return end && p.coincidesWith(end->getPoint()) ? ecOnStartAndEndV : ecOnStartV;
    if (end && p.coincidesWith(end->getPoint())) return ecOnEndV;
    if (!curve || !curve->contains(p)) return ecOut;
    if (!start || !end || start == end) return ecIn;
    const double t = curve->getParameterOf(p);
    const double t0 = curve->getParameterOf(start->getPoint());
    const double t1 = curve->getParameterOf(end->getPoint());
    return curve->paramInInterval(t, t0, t1, true) ? ecIn : ecOut;
}

aPoint acis_Edge::getMidPoint() const {
    if (!curve) return origin;
    const double lo = curve->minParam(), hi = curve->maxParam();
    double t = (lo + hi) / 2;
    if (start && end && start != end) {
        const double t0 = curve->getParameterOf(start->getPoint());
        const double t1 = curve->getParameterOf(end->getPoint());
        t = (t0 + t1) / 2;
        if (curve->isClosed() && t0 > t1) t = t1 - lo >= hi - t0 ? (t1 + lo) / 2 : (t0 + hi) / 2;
    }
    aPoint p;
    curve->getPointAt(t, p);
    return p;
}

EdgeClass acis_CoEdge::classifyPoint(const aPoint& p) const { return edge ? edge->classifyPoint(p) : ecOut; }

aVector acis_CoEdge::tangentAt(const aPoint& p) const {
    if (!edge || !edge->curve) {
        if (diagnosticSwitches.referenceErrors)
            Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "acis_CoEdge::tangentAt returning (0,0,0)\n";
        return zeroVector;
    }
    const aVector t = edge->curve->tangentAt(p);
    return sameSenseAsEdge() ? t : -t;
}

bool acis_CoEdge::getAnalyticPlane(c_Plane& plane) const {
    return edge && edge->curve && edge->curve->getAnalyticPlane(plane);
}

c_Curve* acis_CoEdge::getCurve() const { return edge && edge->curve ? edge->curve->getCurve() : nullptr; }

acis_Face* acis_CoEdge::face() const {
    const auto* loop = dynamic_cast<const acis_Loop*>(owner);
    return loop ? loop->face : nullptr;
}

c_Surface* acis_Face::getCryphSurface() const { return surface ? surface->getSurface() : nullptr; }

aVector acis_Face::faceNormal(const aPoint& p) const {
    if (!surface) {
        if (diagnosticSwitches.classification)
            writeDiagnostic(DiagnosticStream::err, "acis_Face::faceNormal: NULL host surface.\n");
        return zeroVector;
    }
    const bool revolution = surface->isSurfaceOfRevolution();
    const auto* spline = dynamic_cast<const acis_Spline*>(surface);
    aVector n = revolution && spline && spline->subtype ? spline->subtype->normalAt(p) : surface->normalAt(p);
    if (diagnosticSwitches.classification && n.length() < 0.1) {
        const c_Surface* cryph = getCryphSurface();
        Diagnostic(DiagnosticStream::err) << "acis_Face::faceNormal: got zero vector back" << " from "
                                          << surface->name() << (revolution ? "-rotsur" : "") << " (cryph: "
                                          << (cryph ? cryph->className() : "NULL") << ")\n";
        n = surface->normalAt(p);
    }
    return sense == 1 ? -n : n;
}
