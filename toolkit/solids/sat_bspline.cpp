// B-spline curve and surface data of the subtypes.
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/sat_parser.h"

#include <cstring>

namespace {

// Degrees beyond this are not B-splines any writer produces; refusing them
// bounds the knot multiplicities below.
constexpr std::int32_t kMaxDegree = 32;

// distinct (value, multiplicity) pairs; the end multiplicities grow by one and
// every value is repeated by its multiplicity. A multiplicity outside
// 0..degree + 1 is refused, so the expansion stays within what the text holds.
bool readKnots(satParser& parser, std::int32_t distinct, std::int32_t degree, std::vector<float>& knots) {
    if (distinct < 1) return false;
    for (std::int32_t i = 0; i < distinct; ++i) {
        double value = 0;
        std::int32_t multiplicity = 0;
        if (!parser.readDouble(value) || !parser.readInt(multiplicity)) return false;
        if (multiplicity < 0 || multiplicity > degree + 1) return false;
        if (i == 0) ++multiplicity;
        if (i == distinct - 1) ++multiplicity;
        knots.insert(knots.end(), static_cast<std::size_t>(multiplicity), static_cast<float>(value));
    }
    return true;
}

// count points of x, y, z (z only in 3D) and w (only when rational).
bool readControlPoints(satParser& parser, std::int64_t count, std::int32_t dimension, bool rational,
                       std::vector<float>& points) {
    for (std::int64_t i = 0; i < count; ++i) {
        double xyzw[4] = {0, 0, 0, 1};
        if (!parser.readDoubles(xyzw, dimension)) return false;
        if (rational && !parser.readDouble(xyzw[3])) return false;
        const double w = xyzw[3];
        points.insert(points.end(), {static_cast<float>(xyzw[0] * w), static_cast<float>(xyzw[1] * w),
                                     static_cast<float>(xyzw[2] * w), static_cast<float>(w)});
    }
    return true;
}

bool validDegree(std::int32_t degree) { return degree >= 1 && degree <= kMaxDegree; }

}  // namespace

bool readBsplineCurve(satParser& parser, std::int32_t dimension, std::unique_ptr<SatBsplineCurve>& out) {
    out.reset();
    char* word = nullptr;
    if (!parser.readWord(word) || satWordIs(word, "nullbs")) return false;
    auto curve = std::make_unique<SatBsplineCurve>();
    curve->dimension = dimension;
    curve->rational = satWordIs(word, "nurbs");
    std::int32_t distinct = 0;
    if (!parser.readInt(curve->degree) || !parser.readWord(word) || !parser.readInt(distinct)) return false;
    if (!validDegree(curve->degree) || !readKnots(parser, distinct, curve->degree, curve->knots)) return false;
    const std::int64_t count = static_cast<std::int64_t>(curve->knots.size()) - curve->degree - 1;
    if (count < 1 || !readControlPoints(parser, count, dimension, curve->rational, curve->points)) return false;
    out = std::move(curve);
    return true;
}

bool readBsplineSurface(satParser& parser, std::unique_ptr<SatBsplineSurface>& out) {
    out.reset();
    char* word = nullptr;
    if (!parser.readWord(word) || satWordIs(word, "nullbs")) return false;
    auto surface = std::make_unique<SatBsplineSurface>();
    surface->rational = !satWordIs(word, "nubs");
    if (!parser.readInt(surface->uDegree) || !parser.readInt(surface->vDegree)) return false;
    if (surface->rational && !parser.readWord(word)) return false;
    for (int i = 0; i < 4; ++i)
        if (!parser.readWord(word)) return false;
    std::int32_t uDistinct = 0, vDistinct = 0;
    if (!parser.readInt(uDistinct) || !parser.readInt(vDistinct)) return false;
    if (!validDegree(surface->uDegree) || !validDegree(surface->vDegree)) return false;
    if (!readKnots(parser, uDistinct, surface->uDegree, surface->uKnots) ||
        !readKnots(parser, vDistinct, surface->vDegree, surface->vKnots))
        return false;
    const std::int64_t uCount = static_cast<std::int64_t>(surface->uKnots.size()) - surface->uDegree - 1;
    const std::int64_t vCount = static_cast<std::int64_t>(surface->vKnots.size()) - surface->vDegree - 1;
    if (uCount < 1 || vCount < 1 || uCount > INT32_MAX || vCount > INT32_MAX) return false;
    surface->uCount = static_cast<std::int32_t>(uCount);
    surface->vCount = static_cast<std::int32_t>(vCount);
    if (!readControlPoints(parser, uCount * vCount, 3, surface->rational, surface->points)) return false;
    out = std::move(surface);
    return true;
}

std::unique_ptr<c_NURBSCurve> makeNURBSCurve(const SatBsplineCurve* data) {
    if (!data) return nullptr;
    return std::make_unique<c_NURBSCurve>(data->points.data(), data->pointCount(), data->knots.data(),
                                          static_cast<int>(data->knots.size()));
}

std::unique_ptr<c_NURBSSurface> makeNURBSSurface(const SatBsplineSurface* data) {
    if (!data) return nullptr;
    return std::make_unique<c_NURBSSurface>(data->points.data(), data->uCount, data->vCount, data->uKnots.data(),
                                            static_cast<int>(data->uKnots.size()), data->vKnots.data(),
                                            static_cast<int>(data->vKnots.size()));
}
