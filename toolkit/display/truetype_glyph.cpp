// adDrawTrueTypeGlyph: one TrueType character from the host's outline hook,
// its contours widening the extents and drawn as strokes, and the pen
// moved on by the character's advance.
#include "toolkit/display/linetype.h"
#include "toolkit/display/text.h"

#include <cstring>

namespace {

// The receiver frees what the answer holds when it says so.
struct AnswerScope {
    AdGlyphAnswer& answer;
    ~AnswerScope() {
        if (!(answer.kind & AD_GLYPH_RECEIVER_FREES)) return;
        if (answer.contours)
            for (std::uint16_t i = 0; i < answer.contourCount; ++i)
                if (answer.contours[i]) adStoreFree(answer.contours[i]);
        HostFree(answer.contours);
        HostFree(answer.pointCounts);
    }
};

// Calls visit with each segment (x0, y0, x1, y1) of every contour; the
// store's size bounds each contour.
template <typename Visit>
void eachSegment(const AdGlyphAnswer& answer, Visit visit) {
    if (!answer.contours) return;
    for (std::uint16_t i = 0; i < answer.contourCount; ++i) {
        if (!answer.contours[i]) continue;
        AdStream* stream = adStreamOpenRead(answer.contours[i]);
        if (!stream) continue;
        double segment[4];
        while (adStreamRead(stream, segment, sizeof segment)) visit(segment);
        adStreamCloseRead(stream);
    }
}

}  // namespace

void adDrawTrueTypeGlyph(AdGlyphRun* run, std::uint32_t code, AdFontRequest* request, AdDrawing* drawing,
                         const AdMatrix4* matrices, std::uint8_t, const AdArcBox* extents, std::uint8_t,
                         std::uint8_t draw) {
    const AdGlyphOutlineHook hook = adRender ? adRender->hooks.glyphOutline : nullptr;
    if (!hook) return;
    AdGlyphAnswer answer;
    std::memset(&answer, 0, sizeof answer);
    if (hook(code, run->pen, request, &answer, drawing->userData) != 0) return;
    const AnswerScope scope{answer};
    if (extents && extents->matrix)
        eachSegment(answer, [&](const double s[4]) {
            const double a[3] = {s[0], s[1], 0.0}, b[3] = {s[2], s[3], 0.0};
            adGrowExtents(a, b, extents);
        });
    if (draw && (answer.kind & (AD_GLYPH_LINES | AD_GLYPH_FILL))) {
        AdDisplayState* state = drawing->display;
        eachSegment(answer, [&](const double s[4]) {
            double from[3] = {s[2], s[3], 0.0}, to[3] = {s[0], s[1], 0.0};
            adApplyLinetype(drawing, from, to, nullptr, matrices, nullptr, nullptr, nullptr, ++state->curveCounter,
                            0.0);
        });
    }
    run->pen[0] += answer.advance;
}
