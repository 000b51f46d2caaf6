// The spans of one pattern line between its sorted crossings: which the hatch
// style keeps, and each drawn whole or dashed with the family's dashes, the
// dash pattern running from the line's own base point.
#include "toolkit/display/emit.h"
#include "toolkit/display/hatch.h"
#include "toolkit/display/linetype.h"

#include <cmath>

namespace {

constexpr std::uint8_t kTextBox = 0x8;

void emitSegment(const AdHatchTarget& t, double x0, double y0, double x1, double y1) {
    AdDrawing* drawing = t.drawing;
    AdDisplayState* state = drawing->display;
    if (t.linetype && t.linetype->dashCount > 0) {
        double a[3] = {x0, y0, 0.0}, b[3] = {x1, y1, 0.0};
        adApplyLinetype(drawing, a, b, t.block, t.matrices, t.linetype, t.linetypeDrawing, nullptr,
                        ++state->curveCounter, 0.0);
        return;
    }
    const double a[3] = {x0, y0, t.elevation}, b[3] = {x1, y1, t.elevation};
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end; ++v)
        if (adViewportDrawable(state, v)) adEmitThickSegment(drawing, a, b, t.matrices, v);
}

// The span from q0 to q1, dashed from the line's point P.
void drawSpan(const AdHatchTarget& t, const AdHatchLine& line, const AdHatchPatternLine& family,
              const AdHatchCrossing& q0, const AdHatchCrossing& q1) {
    AdDisplayState* state = t.drawing->display;
    const double span = std::hypot(q1.x - q0.x, q1.y - q0.y);
    double cycle = 0.0;
    for (std::int16_t k = 0; k < family.dashCount; ++k) cycle += std::fabs(family.dashes[k]);
    // Dashes that add up to nothing, or that would need more pieces than a
    // span may take, leave the span one line.
    if (family.dashCount == 0 || !(cycle > 0.0) || (span / cycle + 2.0) * family.dashCount > AD_HATCH_PIECE_LIMIT) {
        emitSegment(t, q0.x, q0.y, q1.x, q1.y);
        ++state->curveCounter;
        return;
    }
    const double dx = q0.x - line.px, dy = q0.y - line.py;
    const double e = std::fmod(std::hypot(dx, dy), cycle);
    double phase = dx * line.ux + dy * line.uy > 0.0 ? e : cycle - e;
    if (phase >= cycle) phase -= cycle;
    std::int16_t k = 0;
    while (k < family.dashCount && std::fabs(family.dashes[k]) < phase) phase -= std::fabs(family.dashes[k++]);
    if (k == family.dashCount) k = 0, phase = 0.0;  // rounding left a whole cycle
    double piece = std::fabs(family.dashes[k]) - phase;
    bool down = family.dashes[k] >= 0.0;
    double at = 0.0;
    while (at < span) {
        const double length = std::min(piece, span - at);
        if (down) {
            emitSegment(t, q0.x + at * line.ux, q0.y + at * line.uy, q0.x + (at + length) * line.ux,
                        q0.y + (at + length) * line.uy);
            ++state->curveCounter;
        }
        at += length;
        k = static_cast<std::int16_t>((k + 1) % family.dashCount);
        piece = std::fabs(family.dashes[k]);
        down = family.dashes[k] >= 0.0;
    }
}

}  // namespace

void adHatchDrawSpans(const AdHatchTarget& target, const AdHatchLine& line, const AdHatchPatternLine& family,
                      const std::vector<AdHatchCrossing>& crossings, std::int16_t style, const std::uint8_t* loopFlags,
                      std::int32_t loopCount) {
    std::vector<std::uint8_t> inside(static_cast<std::size_t>(loopCount), 0);
    const std::size_t n = crossings.size();
    if (style == 1 || style == 2) {
        std::int32_t insideCount = 0;
        for (std::size_t i = 0; i + 1 < n; ++i) {
            std::uint8_t& state = inside[static_cast<std::size_t>(crossings[i].loop)];
            state = !state;
            insideCount += state ? 1 : -1;
            if (style == 1 ? insideCount == 1 : insideCount >= 1) drawSpan(target, line, family, crossings[i], crossings[i + 1]);
        }
        return;
    }
    // Any other style draws as the normal one: pairs, left out inside text boxes.
    std::int32_t textBoxes = 0;
    const auto pass = [&](const AdHatchCrossing& c) {
        const std::size_t l = static_cast<std::size_t>(c.loop);
        if (!(loopFlags[l] & kTextBox)) return;
        textBoxes += inside[l] ? -1 : 1;
        inside[l] = !inside[l];
    };
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        pass(crossings[i]);
        if (textBoxes == 0) drawSpan(target, line, family, crossings[i], crossings[i + 1]);
        pass(crossings[i + 1]);
    }
}
