#include "toolkit/solids/acis_bridge.h"

#include <algorithm>
#include <memory>
#include <numbers>

#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/conic.h"
#include "toolkit/solids/conic_arc.h"
#include "toolkit/solids/gl_renderer.h"
#include "toolkit/solids/legacy_records.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_polyline.h"
#include "toolkit/solids/sat_parser.h"
#include "toolkit/solids/tolerances.h"

satStreamBuf::satStreamBuf(AdAcisRequest* request) : request_(request) {
    setg(buffer_.data() + 1, buffer_.data() + 1, buffer_.data() + 1);
}

satStreamBuf::int_type satStreamBuf::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (!request_ || !request_->read) return traits_type::eof();
    // Keep the last byte read in front of the new chunk for a put-back.
    const bool keep = gptr() > eback();
    if (keep) buffer_[0] = gptr()[-1];
    char* data = buffer_.data() + 1;
    const std::int32_t n = request_->read(data, kChunk, request_->userData);
    if (n <= 0) return traits_type::eof();
    setg(keep ? buffer_.data() : data, data, data + std::min<std::int32_t>(n, kChunk));
    return traits_type::to_int_type(*gptr());
}

satStreamBuf::int_type satStreamBuf::pbackfail(int_type c) {
    // Only what was read can go back; anything further is refused.
    if (gptr() == eback()) return traits_type::eof();
    gbump(-1);
    if (!traits_type::eq_int_type(c, traits_type::eof())) *gptr() = traits_type::to_char_type(c);
    return traits_type::to_int_type(*gptr());
}

void GL_CallbackInterface::drawArc(c_Conic* curve, double t0, double t1, GL_Renderer* renderer) {
    if (!curve) return;
    if (t1 <= t0) t1 += 2 * std::numbers::pi;
    if (isClass(*curve, kCircleClass)) {
        c_ConicArc arc(static_cast<const c_Circle&>(*curve), t0, t1);
        drawNURBS(&arc, renderer);
    } else if (isClass(*curve, kEllipseClass)) {
        c_ConicArc arc(static_cast<const c_Ellipse&>(*curve), t0, t1);
        drawNURBS(&arc, renderer);
    }
}

bool GL_CallbackInterface::drawNURBS(c_NURBSCurve* curve, GL_Renderer* renderer) {
    if (!curve) return false;
    drawNURBSPolyline(*this, curve->getKnotCount(), curve->getKnots(), curve->getControlPoints(), curve->getOrder());
    if (renderer)
        for (int i = 0; i < curve->getControlPointCount(); ++i) {
            aPoint p;
            if (curve->getControlPoint(i, p)) renderer->addToExtents(p);
        }
    return true;
}

void GL_CallbackInterface::vertex(double x, double y, double z) {
    aPoint p(x, y, z);
    // A moved or turned body is drawn where it stands.
    if (transformed_) p = current_.transformPoint(p);
    request_->vertex(p.x, p.y, p.z, request_->userData);
}

void GL_CallbackInterface::popMatrix() {
    if (stack_.empty()) return;
    current_ = stack_.back().transform;
    transformed_ = stack_.back().transformed;
    stack_.pop_back();
}

void GL_CallbackInterface::multMatrix(const double* columnMajor16) {
    aTransform m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m.m[i][j] = columnMajor16[4 * j + i];
    aTransform product;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += current_.m[i][k] * m.m[k][j];
            product.m[i][j] = sum;
        }
    current_ = product;
    transformed_ = true;
}

void adAcisTessellate(satParser* parser, AdAcisRequest* request) {
    GL_CallbackInterface target(request);
    GL_RendererOptions options;
    options.coneCylinderCurveCount = request->surfaceCurveCount;
    options.sphereCircleCount = request->surfaceCurveCount;
    options.torusCircleCount = request->surfaceCurveCount;
    options.nurbsCurveCount = request->nurbsCurveCount;
    const std::int32_t hint = request->toleranceHint;
    options.toleranceHint = hint < 1 || hint > 10 ? 5 : hint;
    aVector view(1, 1, 1), up(0, 1, 0);
    view.normalize();
    up.normalize();
    if (cross(view, up).length() > BasicUnitTol) {
        options.viewDirection = view;
        options.upDirection = up;
    }
    std::int32_t number = 0;
    for (acis_Body* body = parser->firstBody(); body; body = parser->nextBody(), ++number) {
        GL_Renderer renderer(body, options, &target);
        renderer.renderBody(number);
    }
}

std::int32_t adAcisRender(AdAcisRequest* request) {
    if (!request) return 0;
    satStreamBuf text(request);
    auto parser = std::make_unique<satParser>(&text);
    resetSatPointExtents();
    if (parser->parse() == SAT_DONE) adAcisTessellate(parser.get(), request);
    parser.reset();
    freeLegacyPools();
    return 0;
}
