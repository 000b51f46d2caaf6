// The pattern states of the 49 viewports and the step from one dash, gap or
// dot to the next.
#include "toolkit/display/linetype_walk.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

AdPatternState gStates[AD_VIEWPORT_LIMIT];

}  // namespace

AdPatternState* adPatternStates() { return gStates; }

void adResetPatternStates() { std::memset(gStates, 0, sizeof gStates); }

void adStartCurve(AdPatternState& s) {
    s.start = s.fresh = s.joinCheck = 1;
    s.index = 0;
    s.carry = 0.0;
    std::memset(s.elementDrawn, 0, sizeof s.elementDrawn);
}

double adNextDashPiece(AdPatternState& s, const AdDashWalk& walk, const double from[3], double to[3]) {
    const std::int16_t n = walk.linetype->dashCount;
    if (s.index >= n) {
        --s.count;
        s.index = 0;
        std::memset(s.elementDrawn, 0, sizeof s.elementDrawn);
    }
    const double m = walk.minimumDash, S = walk.scale, R = walk.remaining;
    const bool exact = walk.exactDash;
    double d = walk.linetype->dashes[s.index].length;
    if (!exact && d != 0.0 && std::fabs(d) < m) d = std::copysign(m, d);
    double len = 0.0;
    bool covers = false, phaseEnded = false;
    if (s.index == 0 && s.count == 0) {
        len = d == 0.0 ? 0.0 : std::max(R, 0.0);
    } else if (s.fresh && s.phase > 0.0 && (d != 0.0 || !exact)) {
        double u;
        if (S * s.phase > R) {
            u = R / S;
            s.phase -= u;
            covers = true;
        } else {
            u = s.phase + (d < 0.0 && exact ? std::fabs(d) : 0.0);
            s.fresh = 0;
            s.phase = -1.0;
            phaseEnded = true;
        }
        if (d < 0.0 && exact) u = -u;
        len = u * S;
    } else {
        len = d < 0.0 ? S * std::min(d, -m) : d == 0.0 ? 0.0 : S * std::max(d, m);
        if (s.carry != 0.0) len = d < 0.0 ? len + s.carry : d > 0.0 ? len - s.carry : len;
    }
    double a = std::fabs(len);
    if (covers || (a > R && !phaseEnded)) {
        a = R;
        s.carry += R;
    } else {
        s.carry = 0.0;
        if (!(exact && s.index == 0 && d == 0.0)) s.fresh = 0;
        ++s.index;
    }
    for (int i = 0; i < 3; ++i) to[i] = from[i] + a * walk.step[i];
    return len;
}

double adWalkDirection(const double start[3], const double end[3]) {
    constexpr double kPi = 3.14159265358979323846;
    const double back = start[0] == end[0] ? (start[1] > end[1] ? kPi / 2.0 : -kPi / 2.0)
                                           : std::atan2(start[1] - end[1], start[0] - end[0]);
    const double angle = back + kPi / 2.0;
    return std::fmod(angle < 0.0 ? angle + 2.0 * kPi : angle, 2.0 * kPi);
}
