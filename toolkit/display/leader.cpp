// LEADER: a straight path with its arrowhead, hook line and extension, or
// a spline path through its vertices; the dimension-style settings come
// from its DIMSTYLE and the entity's DSTYLE overrides.
#include "toolkit/display/emit.h"
#include "toolkit/display/leader.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/spline.h"

#include <array>
#include <cmath>
#include <new>
#include <vector>

AdAnnotationFrame adAnnotationFrame{};

namespace {

constexpr std::uint8_t kSplinePath = 1;
constexpr double kSteepSlope = 0.75;

using Point = std::array<double, 3>;

// The stored vertices, as many as the store holds of the count.
std::vector<Point> readVertices(const AdLeaderData& leader) {
    std::vector<Point> points;
    if (leader.vertexCount <= 0 || !leader.vertices) return points;
    AdStream* in = adStreamOpenRead(leader.vertices);
    if (!in) return points;
    points.reserve(static_cast<std::size_t>(leader.vertexCount));
    Point p;
    for (std::int16_t i = 0; i < leader.vertexCount && adStreamReadPoint3D(in, p.data()); ++i) points.push_back(p);
    adStreamCloseRead(in);
    return points;
}

void segment(AdDrawContext& entity, const Point& a, const Point& b) {
    AdDisplayState* state = entity.drawing->display;
    double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
    adApplyLinetype(entity.drawing, start, end, entity.block, entity.matrices, entity.linetype,
                    entity.linetypeDrawing, nullptr, ++state->curveCounter, 0.0);
}

// DIMSCALE 0 scales by the first window against the sheet.
double leaderScale(const AdDisplayState* state, double dimscale) {
    if (dimscale != 0.0) return dimscale;
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    if (first == 0 || state->viewports[1].scale == 0.0) return 1.0;
    return state->viewports[0].scale / state->viewports[1].scale;
}

struct Path {
    AdDrawContext& entity;
    const AdLeaderData& leader;
    const AdDimStyleSettings& settings;
    std::int16_t colour;
    double half;

    void arrow(Point& tip, const Point& other, bool move) {
        adDrawArrowhead(entity, tip.data(), other.data(), settings.arrowBlock, half, colour, move);
    }

    void straight(const std::vector<Point>& w, double extension) {
        bool arrowDrawn = !leader.arrowhead;
        Point prev = w[0];
        const std::size_t count = w.size();
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const Point& cur = w[i + 1];
            if (i + 2 == count && leader.hookline) {
                const double sign = leader.hooklineDirection ? 1.0 : -1.0;
                Point hook;
                for (int k = 0; k < 3; ++k) hook[k] = cur[k] + sign * 2.0 * half * leader.horizontalDirection[k];
                if (i == 0 && !arrowDrawn) {
                    arrow(prev, hook, false);
                    arrowDrawn = true;
                }
                segment(entity, prev, hook);
                prev = hook;
            }
            if (i == 0 && !arrowDrawn) {
                arrow(prev, cur, false);
                arrowDrawn = true;
            }
            segment(entity, prev, cur);
            prev = cur;
        }
        if (extension != 0.0 && leader.annotationType == 0) {
            const double sign = leader.hooklineDirection ? -1.0 : 1.0;
            const Point& last = w.back();
            Point end;
            for (int k = 0; k < 3; ++k) end[k] = last[k] + sign * extension * leader.horizontalDirection[k];
            segment(entity, last, end);
        }
    }

    // Fit points of a cubic through the vertices; a steep last segment gains
    // a point before the last vertex.
    int spline(const std::vector<Point>& w) {
        std::vector<double> fit;
        AdStore* store = nullptr;
        try {
            fit.reserve(3 * (w.size() + 1));
            Point first = w[0];
            if (leader.arrowhead) arrow(first, w[1], true);
            fit.insert(fit.end(), first.begin(), first.end());
            for (std::size_t i = 1; i < w.size(); ++i) {
                const Point& prev = w[i - 1];
                const Point& cur = w[i];
                if (i + 1 == w.size() && cur[0] != prev[0] &&
                    std::fabs((cur[1] - prev[1]) / (cur[0] - prev[0])) > kSteepSlope) {
                    const double sx = cur[0] > prev[0] ? 1.0 : -1.0, sy = cur[1] > prev[1] ? 1.0 : -1.0;
                    fit.insert(fit.end(), {cur[0] - 2.0 * half * sx, cur[1] - half * sy, cur[2]});
                }
                fit.insert(fit.end(), cur.begin(), cur.end());
            }
        } catch (const std::bad_alloc&) {
            adNoMemory(AD_ERR_LEADER_MEMORY);
            return 0;
        }
        store = adStoreCreate(4096);
        AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
        if (!out) {
            if (store) adStoreFree(store);
            adNoMemory(AD_ERR_LEADER_MEMORY);
            return 0;
        }
        bool written = true;
        for (double value : fit) written = written && adStreamWriteDouble(out, &value);
        adStreamCloseWrite(out);
        if (written) {
            AdSplineData curve{};
            curve.degree = 3;
            curve.fitPointCount = static_cast<std::int16_t>(fit.size() / 3);
            curve.points = store;
            adDrawSpline(entity.drawing, &curve, entity.block, entity.matrices, entity.linetype,
                         entity.linetypeDrawing, adGetCurveResolution(), nullptr, nullptr);
        }
        adStoreFree(store);
        if (!written) adNoMemory(AD_ERR_LEADER_MEMORY);
        return written ? 1 : 0;
    }
};

}  // namespace

int adDrawLeader(AdDrawContext& entity, std::int16_t layerColour) {
    AdDrawing* drawing = entity.drawing;
    // The arrowhead's block reuses the shared entity buffers.
    const AdLeaderData leader = entity.data->leader;
    AdDimStyleSettings settings{};
    adDimStyleOverrides(drawing, entity.header, &leader.dimStyle, &settings);
    std::int16_t colour = entity.colour;
    if (settings.lineColour != 0) {
        colour = settings.lineColour == AD_COLOR_BYLAYER ? layerColour : settings.lineColour;
        adSetPenColor(drawing, adMapColor(colour));
    }
    const double scale = leaderScale(drawing->display, settings.scale);
    const double extension =
        settings.textAbove == 0 || leader.textWidth == 0.0 ? 0.0 : settings.gap * scale + leader.textWidth;
    Path path{entity, leader, settings, colour, settings.arrowSize / 2.0 * scale};
    int result = 1;
    std::vector<Point> vertices;
    try {
        vertices = readVertices(leader);
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_LEADER_MEMORY);
        return 0;
    }
    if ((leader.pathType & kSplinePath) && vertices.size() >= 4)
        result = path.spline(vertices);
    else if (vertices.size() >= 2)
        path.straight(vertices, extension);
    if (settings.gap < 0.0 && leader.annotationType == 0 && adHandleLength(&leader.annotation) != 0)
        adAnnotationFrame = AdAnnotationFrame{leader.annotation, -settings.gap};
    else
        adAnnotationFrame.annotation = AdHandle{};
    return result;
}

void adDrawLeaderEntity(AdDrawContext& entity) { adDrawLeader(entity, entity.layer ? entity.layer->colour : 7); }
