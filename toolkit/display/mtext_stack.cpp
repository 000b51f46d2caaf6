// Stacked fractions of multi-line text: an upper part over a lower part
// with a horizontal bar ('/'), without a bar ('^'), or side by side with a
// slanted bar ('#').
#include "toolkit/display/mtext_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// One part read: its box, its end and its pen's end.
struct Part {
    AdTextBox box;
    double penX;  // on the text plane, from the part's start
    double endX;  // the pen after its last glyph, trailing blanks excluded unless it starts with one
    std::uint8_t separator;  // what ended it: '^', '#', '/', or 0 (';' or the end)
};

bool asciiDxf(AdDrawing* drawing) { return adDrawingFileFormat(drawing) == 1; }

// Reads one part from *position, measuring (and with a drawing pass,
// drawing) its glyphs from (x, y); the upper part also stops at separators.
Part readPart(const AdMTextPass* pass, AdDrawing* drawing, const char** position, const AdMTextFormat* format,
              std::uint8_t kindCode, bool upper, double x, double y) {
    AdMTextRun run;
    adMTextRunStart(&run, pass, format, x, y);
    Part part{};
    adTextBoxReset(&part.box);
    const char* start = *position;
    const bool leadingSpace = *start == ' ';
    if (leadingSpace) part.box.b[0] = part.box.b[3] = 0.0;
    std::uint16_t character = 0;
    std::uint8_t codePage = 1, escaped = 0;
    while (adStackNextToken(position, kindCode, &character, &codePage, &escaped)) {
        if (character == ';' && !escaped) break;
        if (upper && adStackEndsUpper(character, escaped)) {
            part.separator = static_cast<std::uint8_t>(character);
            break;
        }
        AdTextBox glyph;
        adTextBoxReset(&glyph);
        adMTextRunGlyph(&run, drawing, format, character, codePage, &glyph);
        double pen[2];
        adMTextRunPen(&run, pen);
        const double origin[2] = {x, y};
        if (!adTextBoxEmpty(&glyph))
            for (int i : {0, 1}) {
                part.box.b[i] = std::min(part.box.b[i], glyph.b[i] - origin[i]);
                part.box.b[i + 3] = std::max(part.box.b[i + 3], glyph.b[i + 3] - origin[i]);
            }
        part.penX = pen[0] - x;
        if (character != ' ' || leadingSpace) part.endX = part.penX;
    }
    // A part that begins and ends with a space reaches most of the way to
    // its pen.
    if (leadingSpace && *position - start >= 2 && (*position)[-2] == ' ')
        part.box.b[3] += 0.75 * (part.penX - part.box.b[3]);
    if (adTextBoxEmpty(&part.box) || part.box.b[1] == 1e300) {
        const double left = adTextBoxEmpty(&part.box) ? 0.0 : part.box.b[0];
        const double right = adTextBoxEmpty(&part.box) ? 0.0 : part.box.b[3];
        part.box.b[0] = left;
        part.box.b[3] = right;
        part.box.b[1] = part.box.b[4] = 0.0;
    }
    return part;
}

// The whole stack box from its two parts.
void stackBox(std::uint8_t separator, double height, const Part& upper, const Part& lower, AdTextBox* box) {
    adTextBoxReset(box);
    const double* u = upper.box.b;
    const double* l = lower.box.b;
    if (separator == '#') {
        box->b[0] = u[0];
        box->b[1] = l[1];
        box->b[3] = u[3] + l[3];
        box->b[4] = l[4] + u[4];
    } else {
        box->b[0] = std::min(u[0], l[0]);
        box->b[1] = l[1];
        box->b[3] = std::max(u[3], l[3]);
        box->b[4] = height / 3.0 + l[4] + u[4];
    }
}

void skipAsciiSpace(AdDrawing* drawing, const char** position, std::uint8_t separator) {
    if (separator == '^' && **position == ' ' && asciiDxf(drawing)) ++*position;
}

// Both parts measured, each from its own origin; the separator.
std::uint8_t measure(AdDrawing* drawing, const char** position, const AdMTextFormat* format, std::uint8_t kindCode,
                     Part* upper, Part* lower, AdTextBox* stack) {
    AdMTextMeasuring measuring;
    *upper = readPart(nullptr, drawing, position, format, kindCode, true, 0.0, 0.0);
    // Without a separator there is no lower part: an empty box at the origin.
    *lower = Part{};
    adTextBoxReset(&lower->box);
    lower->box.b[0] = lower->box.b[1] = lower->box.b[3] = lower->box.b[4] = 0.0;
    if (upper->separator) {
        skipAsciiSpace(drawing, position, upper->separator);
        *lower = readPart(nullptr, drawing, position, format, kindCode, false, 0.0, 0.0);
    }
    stackBox(upper->separator, format->height, *upper, *lower, stack);
    return upper->separator;
}

}  // namespace

double adMeasureStack(AdDrawing* drawing, const char** position, const AdMTextFormat* format,
                      std::uint8_t kindCode, AdTextBox* stack, AdTextBox* upperBox, AdTextBox* lowerBox,
                      AdMTextLineMetrics* metrics) {
    Part upper, lower;
    const std::uint8_t separator = measure(drawing, position, format, kindCode, &upper, &lower, stack);
    *upperBox = upper.box;
    *lowerBox = lower.box;
    if (metrics) metrics->largest = std::max(metrics->largest, stack->b[4] - stack->b[1]);
    // The pen goes on past the wider part, or past both side by side.
    return separator == '#' ? upper.endX + lower.penX : std::max(upper.penX, lower.penX);
}

void adDrawStack(const AdMTextPass* pass, const char** position, const AdMTextFormat* format,
                 const AdMTextLineMetrics* metrics, double pen[3], std::uint8_t kindCode) {
    AdDrawing* drawing = pass->drawing;
    AdTextBox stack;
    Part upperMeasure, lowerMeasure;
    const char* measured = *position;
    const std::uint8_t separator = measure(drawing, &measured, format, kindCode, &upperMeasure, &lowerMeasure, &stack);
    const AdTextBox& upperBox = upperMeasure.box;
    const AdTextBox& lowerBox = lowerMeasure.box;
    const double stackHeight = stack.b[4] - stack.b[1];
    const double reference = metrics ? metrics->reference : 0.0;
    const double offset = format->alignment == 1   ? (reference - stackHeight) / 2.0
                          : format->alignment == 2 ? reference - stackHeight
                                                   : 0.0;
    const double x0 = pen[0];
    const double y0 = pen[1] + offset - format->verticalOffset;
    const double slant = std::tan(format->obliqueAngle);
    const double rise = stack.b[4] - upperBox.b[4];
    double upperX = x0 + rise * slant;
    if (separator == '/') upperX += (stack.b[3] - upperBox.b[3]) / 2.0;
    const double upperY = y0 + rise;
    const Part upper = readPart(pass, drawing, position, format, kindCode, true, upperX, upperY);
    const double upperEnd = upperX + upper.endX;
    double end = upperEnd;
    if (upper.separator) {
        skipAsciiSpace(drawing, position, upper.separator);
        double lowerX = x0;
        if (separator == '#') lowerX = upperEnd;
        if (separator == '/') lowerX = x0 + (stack.b[3] - lowerBox.b[3]) / 2.0;
        const Part lower = readPart(pass, drawing, position, format, kindCode, false, lowerX, y0 + lowerBox.b[1]);
        end = std::max(end, lowerX + lower.endX);
        if (separator == '/') {
            const double d = format->height / 6.0 + lowerBox.b[4];
            const double start = x0 + d * slant;
            adMTextLineSegment(pass, start, y0 + d, start + (stack.b[3] - stack.b[0]), y0 + d);
        } else if (separator == '#') {
            const double m = ((lowerBox.b[0] / 2.0 + upperBox.b[3]) + x0 + upperEnd) / 2.0;
            const double e = format->height * 0.8333333333333334;
            const double f = (slant + 0.7) * e;
            adMTextLineSegment(pass, m - f, upperY - e, m + f, upperY + e);
        }
    }
    pen[0] = end;
}
