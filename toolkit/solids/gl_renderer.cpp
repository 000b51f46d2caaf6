// The body walk of the wireframe renderer: tolerances from the solid's size,
// the body transform and colours, every edge once, and each face with its
// display curves.
#include "toolkit/solids/gl_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/solids/acis_attrib.h"
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/plane.h"
#include "toolkit/solids/quadrics.h"
#include "toolkit/solids/sat_input.h"
#include "toolkit/solids/tolerances.h"

namespace {

// The display-list mode the body's list is opened with.
constexpr std::int32_t kCompileAndExecute = 4864;

}  // namespace

GL_Renderer::GL_Renderer(acis_Body* body, const GL_RendererOptions& options, GL_Interface* target)
    : body_(body), options_(options), target_(target) {
    const GL_RendererOptions& o = options_;
    capacity_ = std::max({3 * o.sphereCircleCount, o.coneCylinderCurveCount, 2 * o.nurbsCurveCount,
                          2 * o.rotsurCurveCount, 2 * o.torusCircleCount, 0});
    if (o.drawSilhouettes) capacity_ += 2;
    records_.reserve(static_cast<std::size_t>(capacity_));
    setTolerances(o.toleranceHint);
}

GL_Renderer::~GL_Renderer() = default;

void GL_Renderer::setTolerances(std::int32_t hint) {
    BasicAngleTol = 0.001;
    BasicDistanceTol = 1e-6;
    BasicDistanceSquaredTol = 0.0002;
    BasicUnitTol = 1e-6;
    double R = std::sqrt(satPointExtents().box.diagonalSquared()) / 2;
    if (R < 0.1) R = 1;
    renderRadius_ = R;
    const double k = R < 10 ? 0.00025 : 0.0004;
    const bool tight = hint <= 5;
    const double h0 = tight ? 1 : 5, h1 = tight ? 5 : 10;
    const auto between = [&](double lo, double hi) { return lo + (hint - h0) * (hi - lo) / (h1 - h0); };
    BasicAngleTol = tight ? between(1e-5, 0.001) : between(0.001, 0.006);
    BasicDistanceTol = tight ? between(R * 1e-6, R * k) : between(R * k, 25 * R * k);
    BasicUnitTol = tight ? between(1e-8, 1e-6) : between(1e-6, 0.001);
    const double d = BasicDistanceTol;
    BasicDistanceSquaredTol = d * (d + 2 * R);
    setPointTolerance(d);
    if (diagnosticSwitches.notes)
        Diagnostic(DiagnosticStream::out) << "Point bounding sphere radius = " << R << "; tolerance hint = " << hint
                                          << "\n" << "\n\nTolerances set to:\n" << "\tBasicAngleTol           = "
                                          << BasicAngleTol << "\n" << "\tBasicDistanceTol        = " << BasicDistanceTol
                                          << "\n" << "\tBasicDistanceSquaredTol = " << BasicDistanceSquaredTol << "\n"
                                          << "\tBasicUnitTol            = " << BasicUnitTol << "\n"
                                          << "\tcoincTol                = " << getPointTolerance() << "\n" << "\n\n";
}

void GL_Renderer::renderBody(std::int32_t list) {
    target_->newList(list, kCompileAndExecute);
    target_->color(options_.edgeColour[0], options_.edgeColour[1], options_.edgeColour[2]);
    if (body_) {
        viewDirection_ = options_.viewDirection;
        if (const acis_Transform* transform = body_->transform) {
            target_->pushMatrix();
            target_->multMatrix(transform->matrix);
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) bodyTransform_.m[i][j] = transform->matrix[4 * j + i];
            // The view direction in body coordinates: the rotation's transpose.
            const aVector v = options_.viewDirection;
            const auto& m = bodyTransform_.m;
            viewDirection_ = aVector(m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z,
                                     m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z,
                                     m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z);
            transformActive_ = true;
        }
        const bool bodyPushed = pushColourAttributes(body_->attribute());
        for (acis_Lump* lump = body_->lump; lump; lump = lump->next) {
            const bool lumpPushed = pushColourAttributes(lump->attribute());
            for (acis_Shell* shell = lump->shell; shell; shell = shell->next) {
                const bool shellPushed = pushColourAttributes(shell->attribute());
                for (acis_Face* face = shell->face; face; face = face->next) renderFace(face);
                for (acis_Wire* wire = shell->wire; wire; wire = wire->next) renderWire(wire);
                if (shellPushed) popColourAttributes();
            }
            if (lumpPushed) popColourAttributes();
        }
        if (transformActive_) {
            target_->popMatrix();
            transformActive_ = false;
        }
        if (bodyPushed) popColourAttributes();
    }
    target_->endList();
}

bool GL_Renderer::pushColourAttributes(acis_Entity* first) {
    bool pushed = false;
    for (acis_Entity* entity = first; entity;) {
        auto* attrib = dynamic_cast<acis_Attrib*>(entity);
        if (!attrib) break;
        const auto* colour = dynamic_cast<const acis_ColorAttrib*>(attrib);
        const char* name = attrib->name();
        const bool applied = colour && ((satWordIs(name, "color-adesk-attrib") && options_.applyColorAdeskAttrib) ||
                                        (satWordIs(name, "colour-tsl-attrib") && options_.applyColourTslAttrib) ||
                                        (satWordIs(name, "rgb_color-st-attrib") && options_.applyRgbColorAttrib));
        if (applied) {
            if (!pushed) {
                target_->pushAttrib(1);
                ++attributeDepth_;
                pushed = true;
            }
            target_->colorv(colour->rgb());
        }
        entity = attrib->next();
    }
    return pushed;
}

void GL_Renderer::popColourAttributes() {
    --attributeDepth_;
    target_->popAttrib();
}

void GL_Renderer::renderFace(acis_Face* face) {
    face_ = face;
    characterizeUnderlyingSurface(face);
    computeDisplayCurves(face);
    const bool pushed = pushColourAttributes(face->attribute());
    for (const acis_Loop* loop = face->loop; loop; loop = loop->next)
        for (const acis_CoEdge* coedge = loop->coedge; coedge; coedge = coedge->nextInRing(loop->coedge)) {
            const acis_Face* neighbour = coedge->partner ? coedge->partner->face() : nullptr;
            const c_Surface* adjacent = neighbour ? neighbour->getCryphSurface() : nullptr;
            c_Plane plane;
            if (!adjacent && coedge->getAnalyticPlane(plane)) adjacent = &plane;
            updateSurfaceCurvePartitions(adjacent, coedge);
            drawEdge(coedge);
        }
    drawDisplayCurves(face);
    clearDisplayCurves();
    if (pushed) popColourAttributes();
    face_ = nullptr;
}

void GL_Renderer::renderWire(acis_Wire* wire) {
    const bool pushed = pushColourAttributes(wire->attribute());
    for (const acis_CoEdge* coedge = wire->coedge; coedge; coedge = coedge->nextInRing(wire->coedge))
        drawEdge(coedge);
    if (pushed) popColourAttributes();
}

void GL_Renderer::drawEdge(const acis_CoEdge* coedge) {
    acis_Edge* edge = coedge->edge;
    if (!edge || edge->drawn || !edge->curve) return;
    if (edge->start) addToExtents(edge->start->getPoint());
    if (edge->end) addToExtents(edge->end->getPoint());
    const acis_Vertex *s = edge->start, *e = edge->end;
    if (edge->sense == 1) std::swap(s, e);
    const bool pushed = pushColourAttributes(edge->attribute());
    const char* name = edge->curve->name();
    if (satWordIs(name, "straight")) {
        drawStraightEdge(s, e);
        edge->drawn = true;
    } else if (satWordIs(name, "ellipse")) {
        drawEllipseEdge(coedge, s, e);
        edge->drawn = true;
    } else if (satWordIs(name, "intcurve")) {
        edge->drawn = drawIntcurveEdge(static_cast<const acis_Intcurve*>(edge->curve), s, e);
    } else {
        edge->drawn = true;
    }
    if (pushed) popColourAttributes();
}

void GL_Renderer::vertex(const aPoint& p) { target_->vertex(p.x, p.y, p.z); }

void GL_Renderer::drawStraightEdge(const acis_Vertex* s, const acis_Vertex* e) {
    if (!s || !e) return;
    target_->begin(1);
    vertex(s->getPoint());
    vertex(e->getPoint());
    target_->end();
}

void GL_Renderer::drawEllipseEdge(const acis_CoEdge* coedge, const acis_Vertex* s, const acis_Vertex* e) {
    const auto* record = static_cast<const acis_Ellipse*>(coedge->edge->curve);
    c_Conic* conic = record->getConic();
    if (!conic || !s || !e) return;
    double t0 = 0, t1 = 2 * std::numbers::pi;
    if (s != e) {
        t0 = conic->getParameterOf(s->getPoint());
        t1 = conic->getParameterOf(e->getPoint());
    }
    target_->drawArc(conic, t0, t1, this);
}

bool GL_Renderer::drawIntcurveEdge(const acis_Intcurve* curve, const acis_Vertex* s, const acis_Vertex* e) {
    double t0 = 0, t1 = 0;
    switch (curve->edgeParameterRange(s, e, t0, t1)) {
    case 1: return target_->drawNURBS(static_cast<c_NURBSCurve*>(curve->getCurve()), this);
    case 2: {
        aPoint p;
        curve->beginSampling();
        target_->begin(3);
        while (curve->nextSample(p)) {
            vertex(p);
            addToExtents(p);
        }
        target_->end();
        return true;
    }
    case 0: {
        if (t0 > t1) std::swap(t0, t1);
        target_->begin(3);
        for (int k = 0; k < kSampledPoints; ++k) {
            aPoint p;
            curve->getPointAt(t0 + k * (t1 - t0) / (kSampledPoints - 1), p);
            vertex(p);
            addToExtents(p);
        }
        target_->end();
        return true;
    }
    default: return false;
    }
}

void GL_Renderer::addToExtents(const aPoint& p) {
    if (!faceExtentsOn_ || !face_) return;
    aBoundingBox& extents = face_->extents;
    if (extents.valid) {
        extents.box.growWithPoint(p);
    } else {
        extents.box.initFromPoint(p);
        extents.valid = true;
    }
}

void GL_Renderer::characterizeUnderlyingSurface(acis_Face* face) {
    kind_ = SurfaceKind{};
    kind_.record = face->surface;
    if (!kind_.record) return;
    kind_.surface = face->getCryphSurface();
    if (c_Surface* s = kind_.surface) {
        kind_.isCone = isClass(*s, kConeClass);
        kind_.isCylinder = isClass(*s, kCylinderClass);
        kind_.isEllCone = isClass(*s, kEllConeClass);
        kind_.isEllCylinder = isClass(*s, kEllCylinderClass);
        kind_.isSphere = isClass(*s, kSphereClass);
        kind_.isNURBS = isClass(*s, kNURBSSurfaceClass);
        kind_.isTorus = isClass(*s, kTorusClass);
        if (kind_.isCone || kind_.isEllCone) {
            kind_.cone = static_cast<const c_EllCone*>(s);
            kind_.halfAngle = kind_.cone->getHalfAngle();
        }
        if (kind_.isNURBS) kind_.nurbs = static_cast<c_NURBSSurface*>(s);
        return;
    }
    const auto* spline = dynamic_cast<const acis_Spline*>(kind_.record);
    if (!spline || !spline->subtype) return;
    if (spline->subtype->kind() == "rotsur") {
        kind_.isRotsur = true;
        kind_.revolution = spline->subtype;
        return;
    }
    kind_.nurbs = spline->subtype->nurbs();
    kind_.isNURBS = kind_.nurbs != nullptr;
    if (diagnosticSwitches.surfaceNotes)
        Diagnostic(DiagnosticStream::out) << "GL_Renderer::characterizeUnderlyingSurface found "
                                          << spline->subtype->kind() << ". NURBS surface: " << kind_.nurbs << "\n";
}
