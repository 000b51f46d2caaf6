// Whether a point of a face's surface lies on the face. Curves along the
// surface through the point ("rays") are cut with the boundary edges; the
// crossing nearest the point, and the way the boundary runs there, decide.
#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>

#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/surface.h"
#include "toolkit/solids/tolerances.h"

namespace {

constexpr std::int32_t kMaxRays = 7;
constexpr int kExtentSamples = 5;
constexpr double kFirstExtentSample = 0.55123;
constexpr int kProbes = 7;
constexpr double kFirstProbe = 0.31231;

const char* edgeClassName(EdgeClass c) {
    static const char* const names[] = {"ecOnStartV", "ecOnEndV", "ecOnStartAndEndV", "ecIn", "ecOut", "ecUnknown"};
    return c >= 0 && c <= ecUnknown ? names[c] : "?";
}

// The nearest crossing of the ray being traced.
struct RayHitInfo {
    bool first = true;
    double rayParam = 0;
    aPoint point;
    const acis_CoEdge* nearest = nullptr;
    const acis_CoEdge* second = nullptr;
    EdgeClass nearestClass = ecUnknown;
    EdgeClass secondClass = ecUnknown;
};

void dump(const RayHitInfo& h) {
    const auto edgeOf = [](const acis_CoEdge* c) -> std::string {
        if (!c) return "N/A";
        std::ostringstream s;
        s << c->edge;
        return s.str();
    };
    Diagnostic(DiagnosticStream::err) << "sRayHitInfo:\n\t(first=" << h.first << ")\n\t(rayParam=" << h.rayParam
                                      << "), (point=" << h.point.x << "," << h.point.y << "," << h.point.z
                                      << ")\n\tnearestCoE=(" << h.nearest << " , " << h.second << "), eClass = ("
                                      << edgeClassName(h.nearestClass) << " , " << edgeClassName(h.secondClass)
                                      << ")\n\tnearestE  =(" << edgeOf(h.nearest) << " , " << edgeOf(h.second)
                                      << ")\n\n";
}

// One classification: the face, its surface and the tolerance scaling, which
// the intersections of the boundary need loosened and the hit analysis not.
class Classifier {
public:
    Classifier(acis_Face& face, const c_Surface* surface, const acis_spl_sur* revolution, std::int32_t maxDepth)
        : face_(face), surface_(surface), revolution_(revolution), maxDepth_(maxDepth) {}
    ~Classifier() { restoreTolerances(); }

    FaceClass run(const aPoint& p) {
        scaleTolerances();
        const FaceClass result = classifyWithRays(p);
        restoreTolerances();
        return result;
    }

private:
    void scaleTolerances() {
        if (scaled_) return;
        savedPoint_ = getPointTolerance();
        savedDistance_ = BasicDistanceTol;
        savedSquared_ = BasicDistanceSquaredTol;
        setPointTolerance(savedPoint_ * 10);
        BasicDistanceTol = savedDistance_ * 10;
        BasicDistanceSquaredTol = savedSquared_ * 10;
        scaled_ = true;
    }

    void restoreTolerances() {
        if (!scaled_) return;
        setPointTolerance(savedPoint_);
        BasicDistanceTol = savedDistance_;
        BasicDistanceSquaredTol = savedSquared_;
        scaled_ = false;
    }

    FaceClass classifyWithRays(const aPoint& p) {
        ++depth_;
        c_Curve* rays[kMaxRays] = {};
        std::int32_t count = 0;
        if (surface_)
            count = surface_->curvesThrough(p, rays, kMaxRays);
        else if (revolution_ && (rays[0] = revolution_->circleThrough(p)))
            count = 1;
        std::unique_ptr<c_Curve> owned[kMaxRays];
        for (std::int32_t i = 0; i < count && i < kMaxRays; ++i) owned[i].reset(rays[i]);
        FaceClass result = fcUnknown;
        for (std::int32_t i = 0; i < count && i < kMaxRays && result == fcUnknown; ++i) {
            if (!owned[i]) continue;
            const c_Curve& ray = *owned[i];
            if (face_.countCurves() > 1 && isClass(ray, kCircleClass) && face_.extents.valid && !meetsExtents(ray))
                result = fcOut;
            queryParam_ = isClass(ray, kNURBSCurveClass) ? ray.getParameterOf(p) : 0;
            if (result == fcUnknown) result = traceRay(p, ray);
        }
        --depth_;
        return result;
    }

    bool meetsExtents(const c_Curve& ray) const {
        double t = kFirstExtentSample;
        for (int i = 0; i < kExtentSamples; ++i, t += 2 * std::numbers::pi / kExtentSamples) {
            aPoint q;
            ray.getPointAt(t, q);
            if (face_.extents.box.boxContains(q)) return true;
        }
        return false;
    }

    FaceClass traceRay(const aPoint& p, const c_Curve& ray) {
        RayHitInfo hits;
        FaceClass result = fcUnknown;
        for (const acis_Loop* loop = face_.loop; loop && result == fcUnknown; loop = loop->next) {
            const acis_CoEdge* first = loop->coedge;
            for (const acis_CoEdge* c = first; c && result == fcUnknown; c = c->nextInRing(first)) {
                const acis_Edge* edge = c->edge;
                if (!edge) {
                    if (diagnosticSwitches.classification)
                        Diagnostic(DiagnosticStream::err) << "NULL edge in acis_Face::traceRay (loop -"
                                                          << loop->sequenceNumber() << "; coEdge -"
                                                          << c->sequenceNumber() << ")\n";
                    continue;
                }
                if (edge->curve) {
                    if (const c_Curve* curve = edge->curve->getCurve())
                        result = traceRayAcrossEdge(p, ray, *curve, *c, hits);
                    else if (diagnosticSwitches.classification)
                        Diagnostic(DiagnosticStream::err)
                            << "NULL cryphCurve in acis_Face::traceRay\n(loop -" << loop->sequenceNumber()
                            << "; coEdge -" << c->sequenceNumber() << "; edge -" << edge->sequenceNumber()
                            << "; curve -" << edge->curve->sequenceNumber() << ")\n";
                    continue;
                }
                // A degenerate edge (a cone's apex) holds the point on the face.
                if (edge->start && edge->start == edge->end && p.coincidesWith(edge->start->getPoint())) return fcIn;
                if (diagnosticSwitches.classification)
                    Diagnostic(DiagnosticStream::err)
                        << "NULL hostCurve in acis_Face::traceRay (" << edge->start << " , " << edge->end << ")"
                        << "(loop -" << loop->sequenceNumber() << "; coEdge -" << c->sequenceNumber()
                        << "; edge -" << edge->sequenceNumber() << ")\n";
            }
        }
        if (result != fcUnknown) return result;
        if (!hits.first) return analyzeRayHitInfo(ray, hits);
        if (depth_ >= maxDepth_ || !isClass(ray, kCircleClass)) return fcUnknown;
        // The circle meets no edge: the whole of it lies on the face or off it,
        // so another point of it may decide.
        double t = kFirstProbe;
        for (int i = 0; i < kProbes; ++i, t += 2 * std::numbers::pi / kProbes) {
            aPoint q;
            ray.getPointAt(t, q);
            const FaceClass r = classifyWithRays(q);
            if (r != fcUnknown) return r;
        }
        return fcUnknown;
    }

    FaceClass traceRayAcrossEdge(const aPoint& p, const c_Curve& ray, const c_Curve& edgeCurve,
                                 const acis_CoEdge& coedge, RayHitInfo& hits) {
        const c_IntersectionResult result(ray, edgeCurve);
        if (result.getStatus() != 2) return fcUnknown;
        restoreTolerances();
        for (std::int32_t i = 0; i < result.getCount(); ++i) {
            const c_IntersectionItem item(result, i);
            aPoint q;
            if (item.kind() == 2 && item.getPoint(q)) {
                edgeCurve.snapPoint(q);
                const EdgeClass ec = coedge.classifyPoint(q);
                if (ec == ecOut) continue;
                ray.snapPoint(q);
                updateRayHitInfo(ray, q, ec, coedge, hits);
            } else if (item.kind() == 1 || item.kind() == 3) {
                // The ray runs along the edge: a point on it lies on the boundary.
                if (coedge.classifyPoint(p) != ecOut) {
                    scaleTolerances();
                    return fcIn;
                }
            }
        }
        scaleTolerances();
        return fcUnknown;
    }

    void updateRayHitInfo(const c_Curve& ray, const aPoint& hit, EdgeClass ec, const acis_CoEdge& coedge,
                          RayHitInfo& h) {
        const double t = ray.getParameterOf(hit);
        if (h.first) {
            h = RayHitInfo{false, t, hit, &coedge, nullptr, ec, ecUnknown};
            return;
        }
        if (hit.coincidesWith(h.point)) {
            const bool atVertex = (h.nearestClass == ecOnStartV && ec == ecOnEndV) ||
                                  (h.nearestClass == ecOnEndV && ec == ecOnStartV);
            if (!atVertex && coedge.edge != h.nearest->edge) {
                if (diagnosticSwitches.classification && h.nearestClass != ecOnStartAndEndV &&
                    ec != ecOnStartAndEndV) {
                    Diagnostic(DiagnosticStream::err)
                        << "%$%$%$%$ Problems in acis_Face::updateRayHitInfo\n\n" << "(intPointParam=" << t
                        << "), (intPoint=" << hit.x << "," << hit.y << "," << hit.z << ")\n" << "ce        = "
                        << &coedge << ", c = " << edgeClassName(ec) << "ce's edge = " << coedge.edge << "\n\n";
                    dump(h);
                }
                return;
            }
            h.second = &coedge;
            h.secondClass = ec;
            return;
        }
        if (std::abs(t) < std::abs(h.rayParam)) h = RayHitInfo{false, t, hit, &coedge, nullptr, ec, ecUnknown};
    }

    FaceClass analyzeRayHitInfo(const c_Curve& ray, const RayHitInfo& h) {
        if (h.second && h.second->edge == h.nearest->edge) return fcIn;
        if (h.nearestClass == ecIn || h.nearestClass == ecOnStartAndEndV) {
            switch (analyzeEdgeCrossing(ray, h, *h.nearest)) {
            case 0: return fcOut;
            case 1: return fcIn;
            default: return fcUnknown;
            }
        }
        const acis_CoEdge* neighbour = h.nearestClass == ecOnEndV ? h.nearest->next : h.nearest->previous;
        if (!neighbour) neighbour = h.second;
        if (!neighbour) {
            if (diagnosticSwitches.classification) {
                writeDiagnostic(DiagnosticStream::err, "Problems in acis_Face::analyzeRayHitInfo\n");
                dump(h);
            }
            return fcUnknown;
        }
        const int e1 = analyzeEdgeCrossing(ray, h, *h.nearest);
        const int e2 = analyzeEdgeCrossing(ray, h, *neighbour);
        if (e1 == 2 || e2 == 2) return fcUnknown;
        if (e1 == e2) return e1 == 0 ? fcOut : fcIn;
        if (diagnosticSwitches.classification)
            writeDiagnostic(DiagnosticStream::err, "acis_Face::analyzeRayHitInfo: Grazed vertex neighborhood.\n");
        return fcUnknown;
    }

    // 0 the nearest crossing enters the face (the point is outside), 1 it
    // leaves it, 2 undecided.
    int analyzeEdgeCrossing(const c_Curve& ray, const RayHitInfo& h, const acis_CoEdge& coedge) const {
        const aVector n = face_.faceNormal(h.point);
        aVector d = ray.tangentAt(h.point);
        if (h.rayParam < queryParam_) d = -d;
        const aVector inward = cross(n, coedge.tangentAt(h.point));
        const double s = dot(inward, d);
        if (std::abs(s) < BasicDistanceTol) {
            if (diagnosticSwitches.classification)
                writeDiagnostic(DiagnosticStream::err, "acis_Face::analyzeEdgeCrossing: Zero dot product.\n");
            return 2;
        }
        return s > 0 ? 0 : 1;
    }

    acis_Face& face_;
    const c_Surface* surface_;
    const acis_spl_sur* revolution_;
    std::int32_t maxDepth_;
    std::int32_t depth_ = 0;
    double queryParam_ = 0;
    bool scaled_ = false;
    double savedPoint_ = 0, savedDistance_ = 0, savedSquared_ = 0;
};

// Nested probes go one level deep; none on a surface of revolution, whose one
// ray is a parallel circle.
constexpr std::int32_t kMaxDepth = 2;

}  // namespace

FaceClass acis_Face::classify(const aPoint& p) {
    if (isUnbounded()) return fcIn;
    std::int32_t maxDepth = kMaxDepth;
    const acis_spl_sur* revolution = nullptr;
    if (surface && surface->isSurfaceOfRevolution()) {
        if (const auto* spline = dynamic_cast<const acis_Spline*>(surface)) revolution = spline->subtype;
        maxDepth = 1;
    }
    const c_Surface* cryph = getCryphSurface();
    if (!cryph && !revolution) {
        if (diagnosticSwitches.classification)
            writeDiagnostic(DiagnosticStream::err, "acis_Face::classify: NULL cryph surface.\n");
        return fcUnknown;
    }
    Classifier classifier(*this, cryph, revolution, maxDepth);
    return classifier.run(p);
}
