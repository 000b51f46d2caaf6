// Following a shape's pen codes: the moves of one character in shape units.
// Fonts come from files of unknown origin, so every count is bounded: the
// bytes one character may read, the nesting of subshapes and the position
// stack; a shape that breaks a bound or holds an unknown code ends there.
#include "toolkit/ad_internal.h"
#include "toolkit/db/font_files.h"

#include <cmath>

namespace {

constexpr double kOctant = AD_PI / 4;
constexpr double kArcStep = AD_PI / 16;  // sampling of arcs

// The sixteen directions of a vector byte, as steps of one unit.
constexpr double kDirections[16][2] = {{1, 0},   {1, .5},   {1, 1},   {.5, 1},  {0, 1},  {-.5, 1},
                                       {-1, 1},  {-1, .5},  {-1, 0},  {-1, -.5}, {-1, -1}, {-.5, -1},
                                       {0, -1},  {.5, -1},  {1, -1},  {1, -.5}};

struct Pen {
    AdShapeLineSink sink;
    void* userData;
    bool vertical;
    double at[2];
    double scale;
    bool down;
    double stack[AD_SHAPE_STACK][2];
    int stacked;
    std::int32_t budget;
    bool broken;
};

std::uint8_t next(Pen& pen, AdFont* font) {
    if (pen.budget <= 0) {
        pen.broken = true;
        return 0;
    }
    --pen.budget;
    return adFontNextShapeByte(font);
}

std::int8_t nextSigned(Pen& pen, AdFont* font) { return static_cast<std::int8_t>(next(pen, font)); }

void lineTo(Pen& pen, double x, double y, bool apply) {
    if (!apply) return;
    const double to[2] = {x, y};
    if (pen.down && pen.sink) pen.sink(pen.at, to, pen.userData);
    pen.at[0] = x;
    pen.at[1] = y;
}

void moveBy(Pen& pen, double dx, double dy, bool apply) {
    lineTo(pen, pen.at[0] + dx * pen.scale, pen.at[1] + dy * pen.scale, apply);
}

// An arc about centre from angle start through sweep (counter-clockwise
// when positive) of the given radius, ending exactly at end.
void arc(Pen& pen, const double centre[2], double radius, double start, double sweep, const double end[2],
         bool apply) {
    const int steps = static_cast<int>(std::ceil(std::fabs(sweep) / kArcStep));
    for (int i = 1; i < steps; ++i) {
        const double a = start + sweep * i / steps;
        lineTo(pen, centre[0] + radius * std::cos(a), centre[1] + radius * std::sin(a), apply);
    }
    lineTo(pen, end[0], end[1], apply);
}

// Radius, then (-)0SC: start octant S, octant count C (0: full circle).
void octantArc(Pen& pen, double radius, double start, double sweep, bool apply) {
    const double centre[2] = {pen.at[0] - radius * std::cos(start), pen.at[1] - radius * std::sin(start)};
    const double end[2] = {centre[0] + radius * std::cos(start + sweep), centre[1] + radius * std::sin(start + sweep)};
    arc(pen, centre, radius, start, sweep, end, apply);
}

void octantCode(Pen& pen, AdFont* font, bool apply) {
    const double radius = next(pen, font) * pen.scale;
    const std::uint8_t spec = next(pen, font);
    const int count = (spec & 7) ? (spec & 7) : 8;
    const double sweep = (spec & 0x80) ? -count * kOctant : count * kOctant;
    octantArc(pen, radius, ((spec >> 4) & 7) * kOctant, sweep, apply);
}

// Start offset, end offset, radius high and low byte, (-)0SC; the offsets
// are 256ths of an octant from the first and the last octant's boundary.
void fractionalCode(Pen& pen, AdFont* font, bool apply) {
    const double startOffset = next(pen, font) * kOctant / 256;
    const double endOffset = next(pen, font) * kOctant / 256;
    const std::uint8_t high = next(pen, font);
    const double radius = (high * 256 + next(pen, font)) * pen.scale;
    const std::uint8_t spec = next(pen, font);
    const int count = (spec & 7) ? (spec & 7) : 8;
    const double sign = (spec & 0x80) ? -1 : 1;
    const double first = ((spec >> 4) & 7) * kOctant;
    const double start = first + sign * startOffset;
    const double finish = first + sign * ((count - 1) * kOctant + endOffset);
    octantArc(pen, radius, start, finish - start, apply);
}

// A displacement and a bulge of -127..127 (127: a half circle).
void bulgeArc(Pen& pen, double dx, double dy, std::int8_t bulge, bool apply) {
    const double end[2] = {pen.at[0] + dx * pen.scale, pen.at[1] + dy * pen.scale};
    const double chord = std::hypot(end[0] - pen.at[0], end[1] - pen.at[1]);
    if (bulge == 0 || chord == 0) {
        lineTo(pen, end[0], end[1], apply);
        return;
    }
    const double sweep = 4 * std::atan(bulge / 127.0);
    const double radius = chord / (2 * std::sin(std::fabs(sweep) / 2));
    const double toCentre = std::atan2(end[1] - pen.at[1], end[0] - pen.at[0]) +
                            (sweep > 0 ? AD_PI / 2 : -AD_PI / 2) - sweep / 2;
    const double centre[2] = {pen.at[0] + radius * std::cos(toCentre), pen.at[1] + radius * std::sin(toCentre)};
    const double start = std::atan2(pen.at[1] - centre[1], pen.at[0] - centre[0]);
    arc(pen, centre, radius, start, sweep, end, apply);
}

std::uint32_t subshapeNumber(Pen& pen, AdFont* font) {
    const std::uint8_t first = next(pen, font);
    if (!(font->kind & (AD_FONT_UNIFONT | AD_FONT_BIGFONT))) return first;
    if ((font->kind & AD_FONT_BIGFONT) && first == 0) {
        // The extended form: number, then a box (origin, width, height) that
        // the shape is drawn into; the shape is drawn at the pen.
        const std::uint8_t high = next(pen, font);
        const std::uint32_t number = static_cast<std::uint32_t>(high) << 8 | next(pen, font);
        for (int i = 0; i < 4; ++i) next(pen, font);
        return number;
    }
    return static_cast<std::uint32_t>(first) << 8 | next(pen, font);
}

void skipName(Pen& pen, AdFont* font) {
    while (!pen.broken && next(pen, font) != 0) {
    }
}

bool drawShape(Pen& pen, AdFont* font, int nesting);

void subshape(Pen& pen, AdFont* font, int nesting, bool apply) {
    const std::uint32_t number = subshapeNumber(pen, font);
    if (!apply || pen.broken) return;
    if (nesting + 1 >= AD_SHAPE_NESTING) {
        pen.broken = true;
        return;
    }
    std::int32_t streamPosition = 0;
    const std::int32_t position = adFontShapePos(font, &streamPosition);
    if (adFontSeekCode(font, number)) {
        skipName(pen, font);
        drawShape(pen, font, nesting + 1);
    }
    adFontSeekShape(streamPosition, font, position);
}

// The shape commands below 0x10; a byte from 0x10 up is a vector (length in
// the high nibble, direction in the low one).
enum ShapeCode : std::uint8_t {
    kEndOfShape = 0,
    kPenDown = 1,
    kPenUp = 2,
    kDivideScale = 3,
    kMultiplyScale = 4,
    kPushPosition = 5,
    kPopPosition = 6,
    kSubshape = 7,
    kDisplacement = 8,
    kDisplacementRun = 9,
    kOctantArc = 10,
    kFractionalArc = 11,
    kBulgeArc = 12,
    kBulgeArcRun = 13,
    kVerticalOnly = 14,
};

// One command; false at the shape's end code.
bool command(Pen& pen, AdFont* font, int nesting, std::uint8_t code, bool apply) {
    if (code >= 0x10) {
        const double length = code >> 4;
        moveBy(pen, length * kDirections[code & 15][0], length * kDirections[code & 15][1], apply);
        return true;
    }
    switch (code) {
    case kEndOfShape:
        return false;
    case kPenDown:
    case kPenUp:
        if (apply) pen.down = code == kPenDown;
        return true;
    case kDivideScale:
    case kMultiplyScale: {
        const std::uint8_t factor = next(pen, font);
        if (factor == 0) pen.broken = true;
        else if (apply) pen.scale = code == kDivideScale ? pen.scale / factor : pen.scale * factor;
        return true;
    }
    case kPushPosition:
    case kPopPosition:
        if (!apply) return true;
        if (code == kPushPosition ? pen.stacked == AD_SHAPE_STACK : pen.stacked == 0) {
            pen.broken = true;
        } else if (code == kPushPosition) {
            pen.stack[pen.stacked][0] = pen.at[0];
            pen.stack[pen.stacked++][1] = pen.at[1];
        } else {
            --pen.stacked;
            pen.at[0] = pen.stack[pen.stacked][0];
            pen.at[1] = pen.stack[pen.stacked][1];
        }
        return true;
    case kSubshape:
        subshape(pen, font, nesting, apply);
        return true;
    case kDisplacement:
    case kDisplacementRun:
    case kBulgeArc:
    case kBulgeArcRun:
        // One displacement or bulge arc, or a run of them ended by (0, 0).
        for (;;) {
            const double dx = nextSigned(pen, font);
            const double dy = nextSigned(pen, font);
            const bool run = code == kDisplacementRun || code == kBulgeArcRun;
            if (run && ((dx == 0 && dy == 0) || pen.broken)) return true;
            if (code >= kBulgeArc) bulgeArc(pen, dx, dy, nextSigned(pen, font), apply);
            else moveBy(pen, dx, dy, apply);
            if (!run) return true;
        }
    case kOctantArc:
        octantCode(pen, font, apply);
        return true;
    case kFractionalArc:
        fractionalCode(pen, font, apply);
        return true;
    case kVerticalOnly: {
        // The next command belongs to vertical text only.
        const std::uint8_t following = next(pen, font);
        return pen.broken || command(pen, font, nesting, following, apply && pen.vertical);
    }
    default:
        pen.broken = true;
        return true;
    }
}

bool drawShape(Pen& pen, AdFont* font, int nesting) {
    while (!pen.broken) {
        const std::uint8_t code = next(pen, font);
        if (pen.broken || !command(pen, font, nesting, code, true)) break;
    }
    return !pen.broken;
}

}  // namespace

int adShapeStrokes(AdDrawing* drawing, AdFont* font, AdFont* bigFont, std::uint32_t code, std::int32_t options,
                   int vertical, AdShapeLineSink sink, void* userData, double end[2]) {
    if (end) end[0] = end[1] = 0;
    AdFont* holder = adFontFindShape(drawing, font, bigFont, code, options);
    if (!holder || (holder->kind & AD_FONT_TRUETYPE)) return 0;
    Pen pen{};
    pen.sink = sink;
    pen.userData = userData;
    pen.vertical = vertical != 0;
    pen.scale = 1;
    pen.down = true;
    pen.budget = AD_SHAPE_BYTE_BUDGET;
    skipName(pen, holder);
    const bool whole = drawShape(pen, holder, 0);
    if (end) {
        end[0] = pen.at[0];
        end[1] = pen.at[1];
    }
    return whole;
}
