// adApplyLinetype: decides whether a segment follows its dash pattern, and
// walks it once in viewport 0's device space (drawing every piece into each
// viewport) or, with paper-space linetype scaling, once per viewport.
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype_element.h"
#include "toolkit/display/linetype_walk.h"
#include "toolkit/display/wide_dash.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Module state of the applicator.
struct Applicator {
    double patternLength;  // P, device units; worked out again when recompute is set
    bool recompute;
    bool noVisibleDash;
} gWalk;

bool typeFollowsPattern(AdDrawing* drawing, const AdDisplayState* state, std::uint16_t type) {
    switch (type) {
    case AD_ENTITY_LINE: case AD_ENTITY_CIRCLE: case AD_ENTITY_ARC: case AD_ENTITY_RAY: case AD_ENTITY_XLINE:
    case AD_ENTITY_ELLIPSE: case AD_ENTITY_MLINE: case AD_ENTITY_TOLERANCE: case AD_ENTITY_LEADER:
    case AD_ENTITY_SPLINE:
        return true;
    default:
        break;
    }
    const std::int16_t hatch = adClassNumHatch(drawing);
    if (hatch != 0 && type == static_cast<std::uint16_t>(hatch)) return true;
    return type >= AD_ENTITY_PROXY || (state->drawingPolyline && !state->polyline3D);
}

bool hasTextElement(const AdLtypeRecord* linetype) {
    for (int i = 0; i < linetype->dashCount; ++i)
        if (linetype->dashes[i].complexFlags & 0x02) return true;
    return false;
}

bool dashThenEmpty(const AdLtypeRecord* linetype) {
    return linetype->dashCount == 2 && linetype->dashes[0].length > 0.0 && linetype->dashes[1].length == 0.0;
}

bool endlessCurve(const AdDisplayState* state) {
    const std::uint16_t type = adCurrentEntity()->type;
    return (type == AD_ENTITY_SPLINE || type == AD_ENTITY_LEADER || state->drawingPolyline) && !state->restartAtVertex;
}

// Device units the pieces of one whole pattern cover, dots excluded; a
// pattern of dots and zero-length pieces covers none.
double coveredLength(const AdLtypeRecord* linetype, double scale, double minimumDash) {
    double sum = 0.0;
    for (int i = 0; i < linetype->dashCount; ++i) {
        const double d = linetype->dashes[i].length;
        if (d != 0.0) sum += std::max(std::fabs(d), minimumDash);
    }
    return sum * scale;
}

struct Segment {
    AdDrawing* drawing;
    const AdMatrix4* matrices;
    const AdLtypeRecord* linetype;
    double scale;
    double density;  // D
    bool patterned;
    bool gate;
    bool perViewport;
    int first, end;
    AdWideSegment* wide;
    const AdMatrix4* model;  // places complex elements
    AdDrawing* linetypeDrawing;
    double elementScale;     // LTSCALE x the entity's linetype scale
};

bool hasElement(const AdLtypeDash& dash) { return (dash.complexFlags & AD_ELEMENT_TEXT) || dash.shapeNumber != 0; }

// The element of entry e at the end of its dash, in the walk's viewports.
// Its strokes come back through the applicator: the curve it was on is
// put back afterwards.
void drawElement(const Segment& g, AdPatternState& s, int viewport, int e, const double anchor[3], double alpha) {
    if (e < 0 || e >= g.linetype->dashCount || s.elementDrawn[e] || !hasElement(g.linetype->dashes[e])) return;
    AdDisplayState* state = g.drawing->display;
    const std::int32_t curve = state->curveCounter, last = state->lastCurve;
    const int from = viewport < 0 ? g.first : viewport, to = viewport < 0 ? g.end : viewport + 1;
    for (int v = from; v < to; ++v) {
        if (!adViewportDrawable(state, v)) continue;
        double scale = g.elementScale;
        const std::uint64_t suppressed = state->suppressedViewports;
        if (viewport >= 0) {
            const double own = state->viewports[v].scale;
            scale *= own != 0.0 ? state->viewports[0].scale / own : 1.0;
            state->suppressedViewports = ~(std::uint64_t{1} << v);
        }
        adDrawLinetypeElement(g.drawing, v, anchor, g.model, scale, alpha, g.linetype, e, g.linetypeDrawing);
        state->suppressedViewports = suppressed;
    }
    state->curveCounter = curve;
    state->lastCurve = last;
    s.elementDrawn[e] = 1;
}

// A held wide piece is filled before the first piece of a new curve and at
// a gap.
void flushWide(const Segment& g, AdPatternState& s, int viewport) {
    if (!s.widePending) return;
    if (viewport < 0) {
        adFlushWidePiece(g.drawing, g.matrices);
        s.widePending = 0;
    } else {
        adFlushWidePieceInViewport(g.drawing, g.matrices, viewport);
    }
}

void drawPiece(const Segment& g, const double a[3], const double b[3], int viewport) {
    const AdDisplayState* state = g.drawing->display;
    const int from = viewport < 0 ? g.first : viewport, to = viewport < 0 ? g.end : viewport + 1;
    for (int v = from; v < to; ++v) {
        if (!adViewportDrawable(state, v)) continue;
        if (gWalk.noVisibleDash) {
            adEmitThickSegment(g.drawing, a, a, g.matrices, v);
            adEmitThickSegment(g.drawing, b, b, g.matrices, v);
        } else {
            adEmitThickSegment(g.drawing, a, b, g.matrices, v);
        }
    }
}

// One walk of start-end in the walk viewport w with pattern state s;
// viewport -1 draws into every visible viewport of the range.
void walk(const Segment& g, AdPatternState& s, int w, int viewport, bool single, double start[3], double end[3],
          double curveLength) {
    AdDisplayState* state = g.drawing->display;
    const AdLtypeRecord* lt = g.linetype;
    const std::int16_t n = lt->dashCount;
    AdDashWalk dash{lt, g.scale, 0.0, {0.0, 0.0, 0.0}, state->minimumDash, state->exactDash != 0};
    bool solid = !g.gate;
    const double R = adViewSegmentLength(start, end, g.matrices, w);
    if (!single) std::memset(s.elementDrawn, 0, sizeof s.elementDrawn);
    if (g.gate) {
        const double P = gWalk.patternLength;
        if (s.start) {
            const double T = curveLength != 0.0 ? curveLength * state->viewports[w].scale : R;
            const bool usable = single ? P > 1e-7 : P != 0.0;
            const double repetitions = usable ? T / P + 1e-12 : 0.0;
            s.count = repetitions >= 2e9 ? AD_LINETYPE_ENDLESS
                                         : repetitions >= 1.0 ? static_cast<std::int32_t>(repetitions) : 0;
            const bool endless = !single && endlessCurve(state);
            if (endless) s.count = AD_LINETYPE_ENDLESS;
            gWalk.noVisibleDash = false;
            if (n == 0) {
                s.phase = -1.0;
                s.count = 0;
            } else if (s.count == 0) {
                gWalk.noVisibleDash = std::none_of(lt->dashes, lt->dashes + n, [](const AdLtypeDash& d) { return d.length > 0.0; });
            }
            if (n != 0 && (single || s.count != 0)) {
                double rem = P != 0.0 ? std::fmod(T, P) : 0.0;
                if (rem + 1e-12 > P) rem = 0.0;
                const double d0 = lt->dashes[0].length;
                s.phase = d0 == 0.0 || g.scale == 0.0 ? 0.0 : (std::max(d0, state->minimumDash) * g.scale + rem) / 2.0 / g.scale;
            }
            s.start = 0;
        }
        if (single && endlessCurve(state)) s.count = AD_LINETYPE_ENDLESS;
        const double covered = coveredLength(lt, g.scale, state->minimumDash);
        // Too fine to see, too many pieces to walk, or nothing to step by.
        solid = s.count == 0 ||
                (n != 0 && g.scale * std::max(lt->patternLength / n, 2.0 * state->minimumDash) < g.density) ||
                !(covered > 0.0) || !std::isfinite(R) || R / covered * n > AD_LINETYPE_PIECE_LIMIT;
        dash.remaining = R;
        for (int i = 0; i < 3; ++i) dash.step[i] = R != 0.0 ? (end[i] - start[i]) / R : 0.0;
    }
    AdWideWalk wide{};
    if (g.wide) {
        wide = adWideWalkOf(g.drawing, g.matrices, g.wide, start, end, R);
        wide.curveLength = curveLength;
        wide.patterned = !solid;
        wide.single = single;
        wide.viewport = single ? 0 : w;
        wide.first = single ? g.first : w;
        wide.end = single ? g.end : w + 1;
        if (solid && !single) flushWide(g, s, viewport);  // a solid piece is never joined there
    }
    if (solid) {
        if (g.wide)
            adWidePiece(wide, s, start, end, 0.0, R);
        else
            drawPiece(g, start, end, viewport);
        return;
    }
    const double alpha = adWalkDirection(start, end);
    double from[3] = {start[0], start[1], start[2]}, to[3] = {start[0], start[1], start[2]};
    for (std::int64_t pieces = 0; pieces <= AD_LINETYPE_PIECE_LIMIT + 2 * n; ++pieces) {
        if (dash.remaining <= 1e-10) break;
        if (g.wide && s.fresh) flushWide(g, s, viewport);
        if (!single && s.index >= n) {
            s.index = 0;
            std::memset(s.elementDrawn, 0, sizeof s.elementDrawn);
            --s.count;
        }
        const int e = s.index >= n ? 0 : s.index;
        const double travelled = R - dash.remaining;
        std::copy(to, to + 3, from);
        const double len = n == 0 ? dash.remaining : adNextDashPiece(s, dash, from, to);
        if (n == 0)
            for (int i = 0; i < 3; ++i) to[i] = from[i] + len * dash.step[i];
        dash.remaining -= std::fabs(len);
        if (len < 0.0 && g.wide) flushWide(g, s, viewport);
        if (len >= 0.0) {
            if (g.wide)
                adWidePiece(wide, s, from, to, travelled, R - dash.remaining);
            else
                drawPiece(g, from, to, viewport);
        }
        const bool done = dash.remaining == 0.0 && len >= 0.0;
        if (!done && n != 0 && s.index != e) drawElement(g, s, viewport, e, to, alpha);
        if (dash.remaining == 0.0) break;
    }
    if (single) {
        std::copy(from, from + 3, start);
        std::copy(to, to + 3, end);
    }
}

}  // namespace

void adApplyLinetype(AdDrawing* drawing, double start[3], double end[3], const AdMatrix4* model,
                     const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing,
                     AdWideSegment* wide, std::int32_t curve, double curveLength) {
    AdDisplayState* state = drawing->display;
    const AdEntityHeader* entity = adCurrentEntity();
    const double ltscale = drawing->header ? drawing->header->ltscale : 1.0;
    Segment g{drawing, matrices, linetype, ltscale * state->viewports[0].scale * entity->linetypeScale, 2.0,
              false, false, false, 0, 1, wide, model, linetypeDrawing, ltscale * entity->linetypeScale};
    if (linetype && std::memcmp(&linetype->handle, &state->continuousLtype, sizeof(AdHandle)) != 0 &&
        linetype->patternLength > 1e-12 && linetype->dashCount > 0 && linetype->dashCount <= AD_LTYPE_DASH_COUNT) {
        const double t = adPointDistance(start, end) / (g.scale * linetype->patternLength);
        g.patterned = hasTextElement(linetype) || (!dashThenEmpty(linetype) && t < 1000.0);
    }
    if (!g.patterned) g.linetype = &state->continuousRecord;
    adViewportRange(state, &g.first, &g.end);
    const AdLtypeRecord* lt = g.linetype;
    if (!wide && (!lt || lt->dashCount <= 0 || lt->dashCount > AD_LTYPE_DASH_COUNT)) {
        for (int v = g.first; v < g.end; ++v)
            if (adViewportDrawable(state, v)) adEmitThickSegment(drawing, start, end, matrices, v);
        state->lastCurve = curve;
        return;
    }
    AdPatternState* states = adPatternStates();
    if (g.patterned && curve != state->lastCurve) {
        gWalk.recompute = true;
        for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) adStartCurve(states[v]);
    }
    state->lastCurve = curve;
    if (lt->dashCount == 2 && lt->dashes[0].length == 0.0) g.density = 0.0;
    const std::int16_t psltscale = drawing->header ? drawing->header->psltscale : 0;
    g.perViewport = psltscale != 0 && g.first == 1;
    g.gate = state->linetypeGeneration && adRenderValues.linetypeSwitch && g.patterned &&
             typeFollowsPattern(drawing, state, entity->type);
    if (gWalk.recompute && g.gate) {
        // Wide dashes: every entry of the pattern is at least the minimum dash.
        gWalk.patternLength = wide ? coveredLength(lt, g.scale, state->minimumDash) : lt->patternLength * g.scale;
        gWalk.recompute = false;
    }
    if (!g.perViewport) {
        walk(g, states[0], 0, -1, true, start, end, curveLength);
        adWideSetPrevious(start);
        return;
    }
    for (int v = g.first; v < g.end; ++v) {
        if (!adViewportDrawable(state, v)) continue;
        double a[3] = {start[0], start[1], start[2]}, b[3] = {end[0], end[1], end[2]};
        walk(g, states[v], v, v, false, a, b, curveLength);
    }
    adWideSetPrevious(start);
}
