// The display curves of a face: the surface's rulings, circles, iso-curves
// and silhouettes, cut where they cross the face's boundary (partition
// points), and drawn only where they lie on the face.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/conic_arc.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/gl_renderer.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/surface.h"
#include "toolkit/solids/tolerances.h"
#include "toolkit/solids/torus.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// NURBS crossings asked for; a full answer counts as none.
constexpr int kMaxCrossings = 20;
// Cones narrower than this have no apex worth a partition.
constexpr double kApexHalfAngle = 0.02;

struct CurveKind {
    bool isLine, isCircle, isEllipse, isNURBS;
    bool isSimple() const { return isLine || isCircle || isEllipse; }
};

CurveKind curveKind(const c_Curve& c) {
    return {isClass(c, kLineClass), isClass(c, kCircleClass), isClass(c, kEllipseClass),
            isClass(c, kNURBSCurveClass)};
}

// The curve as a NURBS curve: itself, or a conic as a full conic arc; null
// for a curve of another kind. `owned` keeps a conversion alive.
const c_NURBSCurve* toNURBSCurve(const c_Curve& c, std::unique_ptr<c_NURBSCurve>& owned) {
    if (isClass(c, kNURBSCurveClass)) return static_cast<const c_NURBSCurve*>(&c);
    if (isClass(c, kCircleClass))
        owned = std::make_unique<c_ConicArc>(static_cast<const c_Circle&>(c), 0, kTwoPi);
    else if (isClass(c, kEllipseClass))
        owned = std::make_unique<c_ConicArc>(static_cast<const c_Ellipse&>(c), 0, kTwoPi);
    return owned.get();
}

// A crossing counts for the coedge it starts; one at its end belongs to the
// next coedge, unless the loop has this coedge alone.
bool countsForCoedge(EdgeClass ec, const acis_CoEdge* coedge) {
    return ec == ecOnStartV || ec == ecOnStartAndEndV || ec == ecIn || (ec == ecOnEndV && coedge->next == coedge);
}

}  // namespace

void GL_Renderer::clearDisplayCurves() {
    records_.clear();
    curves_.clear();
    isoCurveCount_ = 0;
}

void GL_Renderer::computeDisplayCurves(acis_Face* face) {
    clearDisplayCurves();
    if (capacity_ <= 0) return;
    std::vector<c_Curve*> made(static_cast<std::size_t>(capacity_), nullptr);
    std::int32_t n = 0;
    bool drawAlways = true, asSegments = false;
    const c_Torus* spindle = nullptr;
    aPoint apexes[2];
    bool apexInside[2] = {false, false};
    const SurfaceKind& k = kind_;
    if (k.isCone || k.isCylinder || k.isEllCone || k.isEllCylinder) {
        n = k.surface->isoCurves(options_.coneCylinderCurveCount, made.data());
        drawAlways = false;
        asSegments = true;
    } else if (k.isSphere) {
        n = static_cast<const c_Sphere*>(k.surface)->generateCircles(options_.sphereCircleCount, made.data());
    } else if (k.isTorus) {
        const auto* torus = static_cast<const c_Torus*>(k.surface);
        n = torus->generateCircles(options_.torusCircleCount, made.data());
        const double limit = torus->thetaLimit();
        if (std::abs(limit - std::numbers::pi) > BasicAngleTol) {
            spindle = torus;
            const aVector offset = (torus->getMinorRadius() * std::sin(limit)) * torus->getAxis();
            apexes[0] = torus->getCentre() + offset;
            apexes[1] = torus->getCentre() - offset;
            for (int i = 0; i < 2; ++i) apexInside[i] = face->classify(apexes[i]) == fcIn;
        }
    } else if (k.isNURBS && k.nurbs) {
        n = k.nurbs->isoCurves(options_.nurbsCurveCount, made.data());
    } else if (k.isRotsur && k.revolution) {
        n = k.revolution->makeIsolines(options_.rotsurCurveCount, made.data());
    }
    n = std::clamp(n, 0, capacity_);
    isoCurveCount_ = n;
    // Silhouettes only where the array has room for the two a surface gives.
    if (options_.drawSilhouettes && k.surface && capacity_ - n >= 2)
        n += std::clamp(k.surface->silhouettes(viewDirection_, made.data() + n), 0, 2);
    for (std::int32_t i = 0; i < n; ++i) {
        if (!made[static_cast<std::size_t>(i)]) {
            if (i < isoCurveCount_) --isoCurveCount_;
            continue;
        }
        curves_.emplace_back(made[static_cast<std::size_t>(i)]);
    }
    if (!face->surface) {
        curves_.clear();
        isoCurveCount_ = 0;
        return;
    }
    for (std::size_t i = 0; i < curves_.size(); ++i) {
        GL_DisplayCurve record;
        record.curve = curves_[i].get();
        record.isConic = isClass(*record.curve, kCircleClass) || isClass(*record.curve, kEllipseClass);
        record.drawAlways = drawAlways;
        record.asSegments = asSegments;
        records_.push_back(std::move(record));
        // The meridians of a spindle torus end at the apexes inside the face.
        if (spindle && i % 2 == 1 && static_cast<std::int32_t>(i) < isoCurveCount_) {
            for (int a = 0; a < 2; ++a)
                if (apexInside[a]) addPartitionPointAt(records_.back(), apexes[a], nullptr);
            records_.back().bounded = true;
            records_.back().limit = spindle->thetaLimit();
        }
    }
}

void GL_Renderer::updateSurfaceCurvePartitions(const c_Surface* adjacent, const acis_CoEdge* coedge) {
    const c_Curve* edgeCurve = coedge->getCurve();
    if (!edgeCurve) {
        if (diagnosticSwitches.partition)
            Diagnostic(DiagnosticStream::err) << "+++ Warning: " << "GL_Renderer::updateSurfaceCurvePartitions: "
                                              << "Null cryph curve.\n";
        return;
    }
    const CurveKind e = curveKind(*edgeCurve);
    std::unique_ptr<c_NURBSCurve> edgeConversion;
    for (GL_DisplayCurve& record : records_) {
        const c_Curve& display = *record.curve;
        const CurveKind d = curveKind(display);
        if (e.isLine || d.isLine || (e.isNURBS && d.isSimple()) || (e.isSimple() && (d.isNURBS || d.isSimple()))) {
            processIntersections(c_IntersectionResult(display, *edgeCurve), coedge, record);
        } else if (!adjacent || !(isClass(*adjacent, kPlaneClass) || isClass(*adjacent, kSphereClass))) {
            std::unique_ptr<c_NURBSCurve> displayConversion;
            const c_NURBSCurve* a = toNURBSCurve(display, displayConversion);
            const c_NURBSCurve* b = edgeConversion ? edgeConversion.get() : toNURBSCurve(*edgeCurve, edgeConversion);
            if (!a || !b) continue;
            aPoint points[kMaxCrossings];
            const int count = a->intersectNURBS(*b, points, kMaxCrossings);
            if (count >= kMaxCrossings) continue;
            for (int i = 0; i < count; ++i)
                if (countsForCoedge(coedge->classifyPoint(points[i]), coedge))
                    addPartitionPointAt(record, points[i], coedge);
        } else {
            processIntersections(c_IntersectionResult(display, *adjacent), coedge, record);
        }
    }
}

void GL_Renderer::processIntersections(const c_IntersectionResult& result, const acis_CoEdge* coedge,
                                       GL_DisplayCurve& record) {
    if (result.getStatus() != 2) return;
    for (std::int32_t i = 0; i < result.getCount(); ++i) {
        const c_IntersectionItem item(result, i);
        aPoint p;
        if (item.kind() == 2 && item.getPoint(p)) {
            if (countsForCoedge(coedge->classifyPoint(p), coedge)) addPartitionPointAt(record, p, coedge);
        } else if (item.kind() == 1 || item.kind() == 3) {
            const c_Curve* edgeCurve = coedge->getCurve();
            if (edgeCurve && edgeCurve->isEqual(*record.curve)) addOverlapPartition(record, coedge);
        }
    }
}

void GL_Renderer::addPartitionPointAt(GL_DisplayCurve& record, const aPoint& p, const acis_CoEdge* coedge) {
    addPartitionPoint(record, p, record.curve->getParameterOf(p), coedge);
}

void GL_Renderer::addPartitionPoint(GL_DisplayCurve& record, const aPoint& p, double t, const acis_CoEdge* coedge) {
    if (record.bounded && (t < -record.limit || t > record.limit)) return;
    auto& parts = record.partitions;
    const auto near = [&](const GL_PartitionPoint& q) {
        return std::abs(q.firstParam - t) < BasicAngleTol || std::abs(q.secondParam - t) < BasicAngleTol;
    };
    const auto found = std::find_if(parts.begin(), parts.end(), near);
    if (found != parts.end()) {
        if (found->kind == 2) return;
        // The two coedges of a seam edge, or one crossing reported twice,
        // cancel out.
        if (found->coedge && coedge && found->coedge->edge == coedge->edge) {
            parts.erase(found);
            return;
        }
        if (diagnosticSwitches.partition)
            Diagnostic(DiagnosticStream::out) << "GL_Renderer::addPartitionPoint:\n"
                                              << "\tIgnoring duplicate silhouette transition point.\n";
        return;
    }
    GL_PartitionPoint point{1, p, p, t, t, coedge};
    const auto at = std::find_if(parts.begin(), parts.end(), [&](const auto& q) { return q.firstParam >= t; });
    parts.insert(at, point);
    partitionAdded_ = true;
}

void GL_Renderer::addOverlapPartition(GL_DisplayCurve& record, const acis_CoEdge* coedge) {
    const acis_Edge* edge = coedge->edge;
    if (!edge || !edge->start || !edge->end || edge->start == edge->end) return;
    aPoint q0 = edge->start->getPoint(), q1 = edge->end->getPoint();
    double t0 = record.curve->getParameterOf(q0), t1 = record.curve->getParameterOf(q1);
    if (t0 > t1) {
        std::swap(t0, t1);
        std::swap(q0, q1);
    }
    auto& parts = record.partitions;
    for (const double t : {t0, t1})
        std::erase_if(parts, [&](const GL_PartitionPoint& q) {
            return std::abs(q.firstParam - t) < BasicAngleTol || std::abs(q.secondParam - t) < BasicAngleTol;
        });
    const auto at = std::find_if(parts.begin(), parts.end(), [&](const auto& q) { return q.firstParam >= t0; });
    parts.insert(at, GL_PartitionPoint{2, q0, q1, t0, t1, coedge});
    partitionAdded_ = true;
}

void GL_Renderer::drawDisplayCurves(acis_Face* face) {
    if (records_.empty() || (!partitionAdded_ && !records_.front().drawAlways)) {
        partitionAdded_ = false;
        return;
    }
    const bool segments = records_.front().asSegments;
    if (segments) target_->begin(1);
    faceExtentsOn_ = false;
    const auto colour = [&](const float rgb[3]) { target_->color(rgb[0], rgb[1], rgb[2]); };
    if (attributeDepth_ == 0 && isoCurveCount_ > 0) colour(options_.isoCurveColour);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (static_cast<std::int32_t>(i) == isoCurveCount_ && attributeDepth_ == 0) colour(options_.silhouetteColour);
        GL_DisplayCurve& record = records_[i];
        auto& parts = record.partitions;
        if (record.isConic) {
            if (parts.size() == 1 && parts.front().kind == 2) {
                parts.clear();  // the curve lies on an edge, which is drawn
                continue;
            }
            drawConic(record, face);
            continue;
        }
        const bool oddCount = parts.size() % 2 == 1;
        if (kind_.cone && kind_.halfAngle > kApexHalfAngle && isClass(*record.curve, kLineClass) && oddCount &&
            face->hasCurvelessLoop())
            addPartitionPointAt(record, kind_.cone->getOrigin(), nullptr);
        if (isClass(*record.curve, kNURBSCurveClass)) {
            auto* nurbs = static_cast<c_NURBSCurve*>(record.curve);
            if (parts.empty()) {
                drawNURBSDisplayCurve(nurbs, static_cast<std::int32_t>(i) < options_.nurbsCurveCount, face);
                continue;
            }
            if (parts.size() % 2 == 1) closeOddPartitions(record, face);
        }
        pairPartitions(record, false);
    }
    if (segments) target_->end();
    partitionAdded_ = false;
    if (attributeDepth_ == 0) colour(options_.edgeColour);
    faceExtentsOn_ = true;
}

void GL_Renderer::drawConic(GL_DisplayCurve& record, acis_Face* face) {
    auto* conic = static_cast<c_Conic*>(record.curve);
    auto& parts = record.partitions;
    if (parts.size() >= 2) {
        // Pairing starts where the curve enters the face.
        bool setAside = false;
        const GL_PartitionPoint& p = parts.front();
        if (p.coedge && !record.bounded) {
            const c_Ellipse ellipse = isClass(*conic, kCircleClass) ? c_Ellipse(static_cast<const c_Circle&>(*conic))
                                                                    : static_cast<const c_Ellipse&>(*conic);
            const aVector k = p.coedge->tangentAt(p.first);
            const aVector s = ellipse.tangentAtAngle(p.firstParam);
            const acis_Face* own = p.coedge->face();
            const aVector n = own ? own->faceNormal(p.first) : cross(s, k);
            setAside = dot(cross(n, k), s) < 0;
        }
        pairPartitions(record, setAside);
        return;
    }
    const double start = record.bounded ? -record.limit : 0;
    const double end = record.bounded ? record.limit : kTwoPi;
    const double range = end - start;
    double t = start + 0.1324 * range;
    FaceClass where = fcUnknown;
    for (int attempt = 0; attempt < 3 && where == fcUnknown; ++attempt) {
        aPoint q;
        conic->getPointAt(t, q);
        where = face->classify(q);
        t += range / 3;
        if (t > end) t -= range;
    }
    parts.clear();
    if (where != fcIn) return;
    if (kind_.isTorus && !face->isUnbounded() && !satPointExtents().box.boxContains(conic->getCenter())) return;
    target_->drawArc(conic, start, end, this);
}

void GL_Renderer::pairPartitions(GL_DisplayCurve& record, bool setAside) {
    auto& parts = record.partitions;
    // A closed curve that leaves the face at its first crossing is drawn from
    // its last crossing round to the first; the set-aside first crossing
    // closes that one pair only.
    std::size_t i = setAside ? 1 : 0;
    while (i < parts.size()) {
        const GL_PartitionPoint& a = parts[i];
        const GL_PartitionPoint* b = nullptr;
        if (i + 1 < parts.size()) {
            b = &parts[i + 1];
            i += 2;
        } else {
            if (setAside) b = &parts.front();
            i += 1;
        }
        if (!b) break;
        if (record.isConic)
            target_->drawArc(static_cast<c_Conic*>(record.curve), a.secondParam, b->firstParam, this);
        else if (record.asSegments) {
            vertex(a.second);
            vertex(b->first);
        } else {
            drawCurvePiece(record.curve, a.secondParam, b->firstParam);
        }
    }
    parts.clear();
}

void GL_Renderer::closeOddPartitions(GL_DisplayCurve& record, acis_Face* face) {
    const auto* curve = static_cast<const c_NURBSCurve*>(record.curve);
    auto& parts = record.partitions;
    const double t = parts.front().secondParam;
    const double tmin = curve->getStartParameter(), tmax = curve->getEndParameter();
    double add = 0;
    bool decided = false;
    if (parts.size() == 1) {
        if (std::abs(t - tmin) < BasicAngleTol) {
            add = tmax;
            decided = true;
        } else if (std::abs(t - tmax) < BasicAngleTol) {
            add = tmin;
            decided = true;
        } else {
            const double far = tmax - t >= t - tmin ? tmax : tmin;
            const double near = far == tmax ? tmin : tmax;
            aPoint q;
            curve->getPointAt((far + t) / 2, q);
            const FaceClass where = face->classify(q);
            if (where != fcUnknown) {
                add = where == fcIn ? far : near;
                decided = true;
            }
        }
    }
    if (!decided) add = tmax - parts.back().firstParam >= t - tmin ? tmax : tmin;
    aPoint q;
    curve->getPointAt(add, q);
    addPartitionPoint(record, q, add, nullptr);
}

void GL_Renderer::drawNURBSDisplayCurve(c_NURBSCurve* curve, bool firstFamily, acis_Face* face) {
    const double tmin = curve->getStartParameter(), tmax = curve->getEndParameter();
    if (kind_.isRotsur) {
        const double span = tmax - tmin;
        if (!(span > 0)) return;
        for (double t = tmin + 0.213 * span; t < tmax; t += 0.31 * span) {
            aPoint q;
            curve->getPointAt(t, q);
            const FaceClass where = face->classify(q);
            if (where == fcIn) target_->drawNURBS(curve, this);
            if (where != fcUnknown) return;
        }
        return;
    }
    if (face->surface) {
        drawClampedNURBS(curve, tmin, tmax, firstFamily ? face->surface->uRange : face->surface->vRange);
        return;
    }
    target_->drawNURBS(curve, this);
}

void GL_Renderer::drawClampedNURBS(c_NURBSCurve* curve, double a, double b, const aInterval& interval) {
    bool changed = false;
    if (interval.highFinite && interval.high < b) {
        b = interval.high;
        changed = true;
    }
    if (interval.lowFinite && interval.low > a) {
        a = interval.low;
        changed = true;
    }
    if (changed)
        drawCurveSamples(curve, a, b);
    else
        target_->drawNURBS(curve, this);
}

void GL_Renderer::drawCurveSamples(const c_Curve* curve, double a, double b) {
    const double from = std::min(a, b), step = std::abs(b - a) / (kSampledPoints - 1);
    target_->begin(3);
    for (int k = 0; k < kSampledPoints; ++k) {
        aPoint p;
        curve->getPointAt(from + k * step, p);
        vertex(p);
        addToExtents(p);
    }
    target_->end();
}

void GL_Renderer::drawCurvePiece(const c_Curve* curve, double a, double b) {
    if (isClass(*curve, kNURBSCurveClass)) {
        const auto* nurbs = static_cast<const c_NURBSCurve*>(curve);
        const double tmin = nurbs->getStartParameter(), tmax = nurbs->getEndParameter();
        if (!curve->isValidParameter(a)) a = tmin;
        if (!curve->isValidParameter(b)) b = tmax;
        if (a > b) std::swap(a, b);
        a = std::max(a, tmin);
        b = std::min(b, tmax);
    }
    drawCurveSamples(curve, a, b);
}
