// One line of multi-line text: where it ends (a paragraph break, the end of
// the text, or the last break opportunity before the reference width is
// passed), its box and tallest measure, and its drawing.
#include "toolkit/display/mtext_layout.h"

#include <algorithm>

namespace {

constexpr double TOLERANCE = 1e-10;

bool isColour(std::uint16_t c) { return c >= AD_MTEXT_COLOUR && c <= AD_MTEXT_COLOUR + AD_MTEXT_COLOUR_LIMIT; }
bool isLineFlag(std::uint16_t c) { return c >= AD_MTEXT_OVERLINE_ON && c <= AD_MTEXT_UNDERLINE_OFF; }
bool isBlank(const AdMTextToken& token) { return token.code.code == 0 && token.character <= ' '; }

// Where a line ends and the next begins.
struct LineEnd {
    const char* end;   // the line's tokens stop here
    const char* next;  // the next line starts here
    bool paragraph;    // ended by a paragraph break
    bool found;        // held a character or a paragraph break
    bool textEnded;    // the text ended before its first token
};

// The reading state of one line: the format, the pen on the text plane and
// the glyph run of the current format.
struct LineWalk {
    const AdMTextPass* pass;
    AdMTextFormat* format;
    AdMTextLineMetrics* metrics;
    std::uint8_t* kindCode;
    int* depth;
    double tallest;
    double origin[2];  // of the line on the text plane; the walk's x and boxes are from it
    AdMTextRun run;
    AdMTextApply apply;

    LineWalk(const AdMTextPass* p, AdMTextFormat* f, AdMTextLineMetrics* m, std::uint8_t* kind, int* d,
             const double* at, bool drawing)
        : pass(p), format(f), metrics(m), kindCode(kind), depth(d), tallest(m->largest), origin{at[0], at[1]}, run{},
          apply{p->drawing, m, &tallest, d, p->layerColour, p->blockColour,
                static_cast<std::uint8_t>(drawing ? p->pass : 0), kind} {}

    bool next(const char** position, AdMTextToken* token) {
        return adMTextNextToken(pass->drawing, position, *kindCode, format->primaryFont, format->bigFont, token) != 0;
    }
    // A new run from the pen after a format change.
    void restart(double x, bool drawing) {
        adMTextRunStart(&run, drawing ? pass : nullptr, format, origin[0] + x, origin[1] + format->verticalOffset);
    }
    double penX() const {
        double pen[2];
        adMTextRunPen(&run, pen);
        return pen[0] - origin[0];
    }
    // A code or a private character that only changes the format.
    bool applyFormat(const AdMTextToken& token, bool drawing) {
        if (token.code.code != 0) {
            const double x = penX();
            adMTextApplyCode(format, &token.code, &apply);
            restart(x, drawing);
            return true;
        }
        if (isColour(token.character)) {
            adMTextApplyColour(format, token.character, &apply);
            return true;
        }
        if (isLineFlag(token.character)) {
            adMTextLineFlags(format, token.character);
            return true;
        }
        return false;
    }
};

// Reads the line on copies of the format and depth, measuring it into the
// box; glyph lines draw nothing meanwhile.
LineEnd scanLine(LineWalk& walk, const char* start, double startX, AdTextBox* lineBox) {
    AdMTextMeasuring measuring;
    const AdMTextPass* pass = walk.pass;
    const AdMtextData* mtext = pass->mtext;
    const bool trimTrailing = !(mtext->attachment == 1 || mtext->attachment == 4 || mtext->attachment == 7);
    LineEnd result{start, start, false, false, false};
    adTextBoxReset(lineBox);
    walk.restart(startX, false);
    AdTextBox breakBox;
    adTextBoxReset(&breakBox);
    const char* breakAt = nullptr;
    double breakTallest = walk.tallest;
    double inkRight = -1e300;  // the box's right edge after the last glyph that is not a blank
    const char* position = start;
    AdMTextToken token;
    bool first = true;
    bool afterBlank = false;
    for (;;) {
        const char* before = position;
        if (!walk.next(&position, &token)) {
            result.end = result.next = position;
            result.textEnded = first;
            break;
        }
        first = false;
        if (token.code.code == 'P') {
            result.found = result.paragraph = true;
            result.end = before;
            result.next = position;
            break;
        }
        if (walk.applyFormat(token, false)) continue;
        result.found = true;
        // A run of blanks breaks before its first blank.
        if (isBlank(token) && !afterBlank) {
            breakAt = before;
            breakBox = *lineBox;
            breakTallest = walk.tallest;
        }
        afterBlank = isBlank(token);
        if (token.character == AD_MTEXT_STACK) {
            AdTextBox stack, upper, lower;
            const double x = walk.penX();
            const double advance = adMeasureStack(pass->drawing, &position, walk.format, *walk.kindCode, &stack,
                                                  &upper, &lower, walk.metrics);
            for (int i : {0, 3}) stack.b[i] += x;
            for (int i : {1, 4}) stack.b[i] += walk.format->verticalOffset;
            lineBox->b[0] = std::min(lineBox->b[0], stack.b[0]);
            lineBox->b[1] = std::min(lineBox->b[1], stack.b[1]);
            lineBox->b[3] = std::max(lineBox->b[3], stack.b[3]);
            lineBox->b[4] = std::max(lineBox->b[4], stack.b[4]);
            walk.tallest = std::max(walk.tallest, walk.metrics->largest);
            walk.restart(x + advance, false);
            inkRight = lineBox->b[3];
        } else {
            const bool blank = isBlank(token) || token.character == AD_MTEXT_HARD_SPACE;
            adMTextRunGlyph(&walk.run, pass->drawing, walk.format, blank ? ' ' : token.character, token.codePage,
                            lineBox);
            if (isBlank(token)) {
                // The blank's advance counts toward the width of the line.
                const double x = walk.penX();
                if (adTextBoxEmpty(lineBox)) lineBox->b[0] = startX, lineBox->b[1] = lineBox->b[4] = 0.0;
                lineBox->b[3] = std::max(lineBox->b[3], x);
                lineBox->b[0] = std::min(lineBox->b[0], x);
            } else if (!adTextBoxEmpty(lineBox)) {
                inkRight = lineBox->b[3];
            }
            if (!adTextBoxEmpty(lineBox))
                walk.tallest = std::max({walk.tallest, walk.metrics->largest, lineBox->b[4]});
        }
        if (isBlank(token) || !breakAt) continue;
        AdTextBox none;
        adTextBoxReset(&none);
        if (adMTextOverflows(lineBox, &none, &none, 0.0, pass->referenceWidth, pass->vertical)) {
            // The word goes to the next line; the blanks before it end this one.
            result.end = result.next = breakAt;
            *lineBox = breakBox;
            walk.tallest = breakTallest;
            break;
        }
    }
    if (trimTrailing && inkRight > -1e300 && !adTextBoxEmpty(lineBox)) lineBox->b[3] = std::min(lineBox->b[3], inkRight);
    return result;
}

// Reads the line again on the running format, applying its codes, and in
// the drawing pass draws its glyphs and stacks.
void layLine(LineWalk& walk, const char* start, const char* end, double startX) {
    const AdMTextPass* pass = walk.pass;
    const bool drawing = pass->pass == 1;
    walk.restart(startX, drawing);
    const char* position = start;
    AdMTextToken token;
    while (position < end && walk.next(&position, &token)) {
        if (walk.applyFormat(token, drawing) || !drawing) {
            if (token.character == AD_MTEXT_STACK) adStackSkip(&position, *walk.kindCode);
            continue;
        }
        if (token.character == AD_MTEXT_STACK) {
            double pen[3] = {walk.origin[0] + walk.penX(), walk.origin[1] + walk.format->verticalOffset, 0.0};
            adDrawStack(pass, &position, walk.format, walk.metrics, pen, *walk.kindCode);
            walk.restart(pen[0] - walk.origin[0], drawing);
            continue;
        }
        const bool blank = isBlank(token) || token.character == AD_MTEXT_HARD_SPACE;
        adMTextRunGlyph(&walk.run, pass->drawing, walk.format, blank ? ' ' : token.character, token.codePage,
                        nullptr);
    }
}

}  // namespace

int adMTextOverflows(const AdTextBox* lineBox, const AdTextBox* stretchBox, const AdTextBox* breakBox,
                     double heldGap, double referenceWidth, bool vertical) {
    if (!adMText.wrap) return 0;
    const double used = vertical ? adTextBoxHeights(lineBox, stretchBox)
                                 : adTextBoxWidths(lineBox, stretchBox) + (adTextBoxEmpty(breakBox) ? 0.0 : heldGap);
    return used - referenceWidth > -TOLERANCE ? 1 : 0;
}

int adMTextLine(const AdMTextPass* pass, const double pen[3], AdMTextFormat* format, AdMTextLineMetrics* metrics,
                int callKind, std::uint8_t* kindCode, double startX, int* depth, AdTextBox* lineBox,
                double* tallest) {
    const char* start = format->position;
    if (format->continuation)
        adMTextSkipBlanks(pass->drawing, &start, *kindCode, format->primaryFont, format->bigFont);
    // The line is found on copies; the running format changes only as the
    // line is laid out.
    AdMTextFormat scanFormat = *format;
    int scanDepth = *depth;
    std::uint8_t scanKind = *kindCode;
    AdMTextLineMetrics scanMetrics = *metrics;
    const double lineOrigin[2] = {0.0, 0.0};
    LineWalk scan(pass, &scanFormat, &scanMetrics, &scanKind, &scanDepth, lineOrigin, false);
    const LineEnd line = scanLine(scan, start, startX, lineBox);
    *tallest = scan.tallest;
    if (line.textEnded) {
        if (format->continuation) return 0;
        format->continuation = 1;
        format->position = line.next;
        return 1;
    }
    if (!line.found) return 0;
    if (callKind == 0) {
        *metrics = scanMetrics;
        return 1;
    }
    LineWalk walk(pass, format, metrics, kindCode, depth, pen, true);
    layLine(walk, start, line.end, startX);
    // Codes between the line's end and the next line's start (a paragraph
    // break) have nothing to change.
    format->position = line.next;
    format->continuation = line.paragraph ? 0 : 1;
    return 1;
}
