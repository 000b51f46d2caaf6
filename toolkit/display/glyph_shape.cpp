// adDrawGlyph: executes the shape bytes of one character in font units,
// handing lines and arcs to the glyph slots, and hands TrueType characters
// to the TrueType slot. Shape fonts come from files of unknown origin: the
// bytes one character may read, the nesting of subshapes and the position
// stack are bounded, and a shape that breaks a bound or divides by zero ends
// its character where the pen stands.
#include "toolkit/display/glyphs.h"

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>

AdGlyphState adGlyphs;

namespace {

constexpr double kOctant = std::numbers::pi / 4.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr std::uint16_t kTrueTypeHeightUnit = 1000;

// The sixteen directions of a vector byte, as unit steps.
constexpr double kDirections[16][2] = {{1, 0},   {1, .5},    {1, 1},   {.5, 1},   {0, 1},  {-.5, 1},
                                       {-1, 1},  {-1, .5},   {-1, 0},  {-1, -.5}, {-1, -1}, {-.5, -1},
                                       {0, -1},  {.5, -1},   {1, -1},  {1, -.5}};

enum ShapeCode : std::uint8_t {
    kEnd = 0,
    kPenDown = 1,
    kPenUp = 2,
    kDivide = 3,
    kMultiply = 4,
    kPush = 5,
    kPop = 6,
    kSubshape = 7,
    kDisplacement = 8,
    kDisplacements = 9,
    kOctantArc = 10,
    kFractionalArc = 11,
    kBulgeArc = 12,
    kBulgeArcs = 13,
    kVerticalOnly = 14,
};

// One character with everything it calls.
struct Character {
    AdDrawing* drawing;
    AdGlyphRun* run;
    std::uint8_t toggles;
    const AdArcBox* extents;
    std::int32_t budget;  // bytes still to be read
    bool broken;
};

// One shape being executed: its font, the current position and local pen.
struct Shape {
    AdFont* font;
    double at[2];
    bool down;
    int depth;
};

std::uint8_t next(Character& c, AdFont* font) {
    if (c.broken || c.budget <= 0) {
        c.broken = true;
        return 0;
    }
    --c.budget;
    return adFontNextShapeByte(font);
}

std::int8_t nextSigned(Character& c, AdFont* font) { return static_cast<std::int8_t>(next(c, font)); }

bool vertical(const Character& c) { return (c.run->style.flags & 0x04) != 0; }

void strokeLine(Character& c, const double from[2], const double to[2], bool widen, bool draw) {
    double a[3] = {from[0], from[1], 0.0}, b[3] = {to[0], to[1], 0.0};
    if (widen && c.extents) adGrowExtents(a, b, c.extents);
    if (draw && adGlyphs.line) {
        AdDisplayState* state = c.drawing->display;
        adGlyphs.line(c.drawing, a, b, nullptr, c.run->matrices, nullptr, nullptr, nullptr,
                      state ? ++state->curveCounter : 0, 0.0);
    }
}

void lineTo(Character& c, Shape& s, double x, double y) {
    const double from[2] = {s.at[0], s.at[1]}, to[2] = {x, y};
    s.at[0] = x;
    s.at[1] = y;
    strokeLine(c, from, to, s.down, adGlyphs.penFlag != 0);
}

void moveBy(Character& c, Shape& s, double dx, double dy) {
    lineTo(c, s, s.at[0] + dx * c.run->factor[0], s.at[1] + dy * c.run->factor[1]);
}

void arc(Character& c, const double centre[3], double start, double end, double radius) {
    if (adGlyphs.arc)
        adGlyphs.arc(c.drawing, centre, start, end, radius, nullptr, c.run->matrices,
                     static_cast<std::uint8_t>(adGlyphs.penFlag != 0), nullptr, nullptr, c.extents);
}

// Octant arcs (code 10: offsets 0) and fractional arcs (code 11). The
// octant byte: sign clockwise, then start octant and octant count (0: 8).
void octantArc(Character& c, Shape& s, double radius, std::int8_t octants, double startOffset, double endOffset) {
    const bool clockwise = octants < 0;
    const int first = (octants & 0x70) >> 4;
    int count = octants & 0x0F;
    if (count == 0) count = 8;
    if (endOffset != 0.0) --count;
    double start, end;
    if (!clockwise) {
        start = (first + startOffset / 256.0) * kOctant;
        end = ((first + count) % 8 + endOffset / 256.0) * kOctant;
    } else {
        start = (first - startOffset / 256.0) * kOctant;
        end = (((first - count) % 8 + 8) % 8 - endOffset / 256.0) * kOctant;
    }
    const double theta = end;
    double from = start, to = end;
    if (clockwise) std::swap(from, to);
    if (to <= from) to += kTwoPi;
    const double fx = c.run->factor[0], fy = c.run->factor[1];
    const double centre[3] = {s.at[0] - radius * fx * std::cos(start), s.at[1] - radius * fy * std::sin(start), 0.0};
    arc(c, centre, from, to, radius * fx);
    s.at[0] = centre[0] + radius * fx * std::cos(theta);
    s.at[1] = centre[1] + radius * fx * std::sin(theta);
}

// A chord of (dx, dy) bulging by b / 127 of half its length to its right
// (left when b is negative). No chord draws no arc: it is a line.
void bulgeArc(Character& c, Shape& s, double dx, double dy, std::int8_t bulge) {
    const double d[2] = {dx * c.run->factor[0], dy * c.run->factor[1]};
    const double chord = std::hypot(d[0], d[1]);
    const double end[2] = {s.at[0] + d[0], s.at[1] + d[1]};
    if (bulge == 0 || chord == 0.0) {
        lineTo(c, s, end[0], end[1]);
        return;
    }
    const double h = bulge * chord / 254.0;
    const double right[2] = {d[1] / chord, -d[0] / chord};
    const double mid[2] = {(s.at[0] + end[0]) / 2.0 + h * right[0], (s.at[1] + end[1]) / 2.0 + h * right[1]};
    const double radius = (h * h + chord * chord / 4.0) / (2.0 * std::fabs(h));
    const double side = h > 0 ? radius : -radius;
    const double centre[3] = {mid[0] - right[0] * side, mid[1] - right[1] * side, 0.0};
    double from = std::atan2(s.at[1] - centre[1], s.at[0] - centre[0]);
    double to = std::atan2(end[1] - centre[1], end[0] - centre[0]);
    if (bulge < 0) std::swap(from, to);
    if (to < from) to += kTwoPi;
    arc(c, centre, from, to, radius);
    s.at[0] = end[0];
    s.at[1] = end[1];
}

bool inEscapeRange(const AdFont* font, std::uint32_t code) {
    for (std::int16_t i = 0; i < font->escapeRangeCount; ++i)
        if (font->escapeRanges[i][0] <= code && code <= font->escapeRanges[i][1]) return true;
    return false;
}

void glyph(Character& c, std::uint32_t code, AdFont* font, int depth);

// Code 7: the subshape's number (two bytes in a unicode font; in a big font
// a lead byte of an escape range takes a second byte, and 0 starts the
// extended form with an offset and a box that scales the subshape).
void subshape(Character& c, Shape& s, bool skip) {
    AdFont* font = s.font;
    std::uint32_t number = next(c, font);
    if (font->kind & AD_FONT_UNIFONT) number = number << 8 | next(c, font);
    bool extended = false;
    double offset[2] = {0.0, 0.0}, box[2] = {0.0, 0.0};
    if (font->kind & AD_FONT_BIGFONT) {
        if (number == 0) {
            extended = true;
            number = next(c, font);
            number = number << 8 | next(c, font);
            offset[0] = nextSigned(c, font);
            offset[1] = nextSigned(c, font);
            box[0] = next(c, font);
            box[1] = next(c, font);
        } else if (inEscapeRange(font, number)) {
            number = number << 8 | next(c, font);
        }
    }
    if (skip || c.broken) return;
    if (s.depth + 1 >= AD_GLYPH_NESTING_LIMIT) {
        c.broken = true;
        return;
    }
    AdGlyphRun* run = c.run;
    const double factors[2] = {run->factor[0], run->factor[1]};
    if (extended) {
        s.at[0] += offset[0];
        s.at[1] += offset[1];
        if (font->bigFontHeight != 0) {
            run->factor[0] = box[0] / font->bigFontHeight;
            run->factor[1] = box[1] / font->bigFontHeight;
        }
    }
    run->pen[0] = s.at[0];
    run->pen[1] = s.at[1];
    std::int32_t streamPosition = 0;
    const std::int32_t position = adFontShapePos(font, &streamPosition);
    AdFont* holder = adFontFindShape(c.drawing, run->font, run->bigFont, number, AD_SHAPE_FORCE_BIGFONT);
    if (holder && !(holder->kind & AD_FONT_TRUETYPE)) glyph(c, number, holder, s.depth + 1);
    adFontSeekShape(streamPosition, font, position);
    if (extended) {
        run->factor[0] = factors[0];
        run->factor[1] = factors[1];
    } else {
        s.at[0] = run->pen[0];
        s.at[1] = run->pen[1];
    }
}

// One command; false at the end of the shape. skip: only its operands are
// read (the command after a code 14 in horizontal text).
bool command(Character& c, Shape& s, std::uint8_t code, bool skip) {
    AdFont* font = s.font;
    AdGlyphRun* run = c.run;
    if (code >= 0x10) {
        const double length = code >> 4;
        if (!skip) moveBy(c, s, length * kDirections[code & 15][0], length * kDirections[code & 15][1]);
        return true;
    }
    switch (code) {
    case kEnd:
        return false;
    case kPenDown:
    case kPenUp:
        if (!skip) {
            s.down = code == kPenDown;
            adGlyphs.penFlag = s.down ? run->drawMode : 0;
        }
        return true;
    case kDivide:
    case kMultiply: {
        const std::uint8_t factor = next(c, font);
        if (skip) return true;
        if (code == kDivide && factor == 0) {
            c.broken = true;
            return true;
        }
        const double k = code == kDivide ? 1.0 / factor : factor;
        run->factor[0] *= k;
        run->factor[1] *= k;
        return true;
    }
    case kPush:
        if (skip) return true;
        if (adGlyphs.stackTop < -1 || adGlyphs.stackTop + 1 >= AD_GLYPH_STACK_SIZE) {
            c.broken = true;  // a sixth position has no room
            return true;
        }
        ++adGlyphs.stackTop;
        adGlyphs.stackX[adGlyphs.stackTop] = s.at[0];
        adGlyphs.stackY[adGlyphs.stackTop] = s.at[1];
        return true;
    case kPop:
        if (skip || adGlyphs.stackTop < 0 || adGlyphs.stackTop >= AD_GLYPH_STACK_SIZE) return true;
        s.at[0] = adGlyphs.stackX[adGlyphs.stackTop];
        s.at[1] = adGlyphs.stackY[adGlyphs.stackTop];
        --adGlyphs.stackTop;
        return true;
    case kSubshape:
        subshape(c, s, skip);
        return true;
    case kDisplacement:
    case kDisplacements:
    case kBulgeArc:
    case kBulgeArcs: {
        const bool isRun = code == kDisplacements || code == kBulgeArcs;
        const bool bulged = code >= kBulgeArc;
        // Each pass reads at least two bytes, so the budget ends a run.
        while (!c.broken) {
            const std::int8_t dx = nextSigned(c, font), dy = nextSigned(c, font);
            if (isRun && dx == 0 && dy == 0) break;
            const std::int8_t bulge = bulged ? nextSigned(c, font) : 0;
            if (!skip && !c.broken) {
                if (bulged) bulgeArc(c, s, dx, dy, bulge);
                else moveBy(c, s, dx, dy);
            }
            if (!isRun) break;
        }
        return true;
    }
    case kOctantArc: {
        const std::uint8_t radius = next(c, font);
        const auto octants = nextSigned(c, font);
        if (!skip && !c.broken) octantArc(c, s, radius, octants, 0.0, 0.0);
        return true;
    }
    case kFractionalArc: {
        const std::uint8_t startOffset = next(c, font), endOffset = next(c, font);
        const std::uint8_t high = next(c, font), low = next(c, font);
        const auto octants = nextSigned(c, font);
        if (!skip && !c.broken) octantArc(c, s, high * 256.0 + low, octants, startOffset, endOffset);
        return true;
    }
    case kVerticalOnly:
        // In horizontal text the next command is passed over (a code 14
        // passed over passes over the one after it as well).
        if (!skip && vertical(c)) return true;
        return command(c, s, next(c, font), true);
    default:
        return true;
    }
}

// Under- and overlines of one character, from the pen before it to the pen
// after it.
void decorate(Character& c, const double before[2], std::uint16_t unit, bool widen) {
    const AdGlyphRun* run = c.run;
    for (const auto& [bit, f] : {std::pair{AD_TEXT_OVERLINE, 1.2}, std::pair{AD_TEXT_UNDERLINE, -0.2}}) {
        if (!(c.toggles & bit)) continue;
        const double offset = f * unit;
        double from[2], to[2];
        if (vertical(c)) {
            from[0] = to[0] = before[0] - 0.13 * unit;
            from[1] = before[1] + offset;
            to[1] = run->pen[1] + offset;
        } else {
            from[0] = before[0];
            to[0] = run->pen[0];
            from[1] = to[1] = before[1] + offset;
        }
        strokeLine(c, from, to, widen, run->drawMode != 0);
    }
}

void glyph(Character& c, std::uint32_t code, AdFont* font, int depth) {
    AdGlyphRun* run = c.run;
    const double before[2] = {run->pen[0], run->pen[1]};
    std::uint16_t unit = run->heightUnit;
    bool down = true;
    if (font->kind & AD_FONT_TRUETYPE) {
        // Without the slot the character has no outline and no height unit:
        // it draws nothing, not even its under- and overlines.
        if (!adGlyphs.trueType) return;
        adGlyphs.trueType(run, code, &font->trueType, c.drawing, run->matrices, run->style.flags, c.extents,
                          c.toggles, run->drawMode);
        unit = kTrueTypeHeightUnit;
    } else {
        adGlyphs.penFlag = run->drawMode;
        Shape s{font, {before[0], before[1]}, true, depth};
        while (next(c, font) != 0 && !c.broken) {
        }
        while (!c.broken && command(c, s, next(c, font), false)) {
        }
        run->pen[0] = s.at[0];
        run->pen[1] = s.at[1];
        down = s.down;
    }
    if (adGlyphs.advanceExtents && c.extents) {
        const double a[3] = {before[0], before[1], 0.0}, b[3] = {run->pen[0], run->pen[1], 0.0};
        adGrowExtents(a, b, c.extents);
    }
    decorate(c, before, unit, down);
}

}  // namespace

void adDrawGlyph(AdDrawing* drawing, std::uint32_t code, AdFont* font, AdGlyphRun* run, std::uint8_t toggles,
                 const AdArcBox* extents) {
    if (!font || !run) return;
    Character c{drawing, run, toggles, extents, AD_SHAPE_BYTE_BUDGET, false};
    glyph(c, code, font, 0);
}
