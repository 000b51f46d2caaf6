// Multi-line text laid out in lines: wrapping at the reference width, line
// spacing, the attachment point, a measuring pass for the actual size and a
// drawing pass. MTEXT and RTEXT entities and TOLERANCE texts come here.
// Internal to the engine.
#pragma once
#include "toolkit/display/glyphs.h"
#include "toolkit/display/mtext.h"
#include "toolkit/display/text_frame.h"

// An extents box: min x, y, z and max x, y, z; empty while min x is 1e300.
struct AdTextBox {
    double b[6];
};
void adTextBoxReset(AdTextBox* box);
bool adTextBoxEmpty(const AdTextBox* box);
// The x ranges unite and max y grows by the added box's height; an empty
// added box changes nothing, and into an empty box it is copied.
void adTextBoxAppendBelow(AdTextBox* box, const AdTextBox* added);
// Sums of two widths and of two heights; an empty box counts 0.
double adTextBoxWidths(const AdTextBox* a, const AdTextBox* b);
double adTextBoxHeights(const AdTextBox* a, const AdTextBox* b);

// What one pass over a text shares with its lines.
struct AdMTextPass {
    AdDrawing* drawing;
    const AdMtextData* mtext;
    const AdMatrix4* views;  // the text plane to each viewport's device
    AdMatrix4* runMatrices;      // a stretch's glyph matrices, per viewport
    int firstView;
    int endView;
    std::int16_t layerColour;  // what \C256 takes
    std::int16_t blockColour;  // what \C0 takes
    std::uint8_t pass;         // 0 measuring, 1 drawing
    std::uint8_t vertical;
    std::uint8_t styleFlags;   // of the text style (4: vertical)
    double referenceWidth;
};

// One line from the pen (its origin on the text plane): call kind 0
// measures it, 1 lays it out on the running format, depth and kind code (and
// in the drawing pass draws it) starting startX to the right of the pen.
// Fills the line box (from the line's origin) and the line's tallest
// measure; 1 while there are lines, 0 when none is left.
int adMTextLine(const AdMTextPass* pass, const double pen[3], AdMTextFormat* format, AdMTextLineMetrics* metrics,
                int callKind, std::uint8_t* kindCode, double startX, int* depth, AdTextBox* lineBox,
                double* tallest);

// Whether a stretch no longer fits beside the line (wrap mode only).
int adMTextOverflows(const AdTextBox* lineBox, const AdTextBox* stretchBox, const AdTextBox* breakBox,
                     double heldGap, double referenceWidth, bool vertical);
// The horizontal start of a line for the attachment point.
double adMTextAttachOffset(const AdMtextData* mtext, const AdTextBox* lineBox);
// 1 for an empty text or one of spaces only.
int adIsBlankText(const char* text);
// A copy of the text with 10 bytes to spare (HostFree it); null when memory
// runs out (error 259, the fatal-error hook with 2).
char* adMTextGetString(const AdMtextData* mtext);

// One pass: 0 measuring, 1 drawing. Fills the actual width and height and
// the overall box; 0 when memory runs out and no fatal-error hook is
// installed. views: the viewports' world-to-device matrices (the range of
// the current entity is used).
int adDrawMTextPass(AdDrawing* drawing, AdMtextData* mtext, const AdMatrix4* placement, std::int16_t colour,
                    std::int16_t layerColour, std::int16_t blockColour, int pass, double* actualWidth,
                    double* actualHeight, AdTextBox* box);
// Measures, then draws; writes the actual width and height into the data
// and leaves the codes switch on. 1.
int adDrawMText(AdDrawing* drawing, AdMtextData* mtext, const AdMatrix4* placement, std::int16_t colour,
                std::int16_t layerColour, std::int16_t blockColour, std::uint8_t codes);

// Stacked fractions (the position just after "\S", moved past the stack).
// Measuring: the three boxes are filled, the line's largest height widened
// to the stack's; the pen advance in drawing units.
double adMeasureStack(AdDrawing* drawing, const char** position, const AdMTextFormat* format,
                      std::uint8_t kindCode, AdTextBox* stackBox, AdTextBox* upperBox, AdTextBox* lowerBox,
                      AdMTextLineMetrics* metrics);
// Drawing from the pen (x, y in drawing units on the line, moved on by the
// stack's advance) with the pass's matrices.
void adDrawStack(const AdMTextPass* pass, const char** position, const AdMTextFormat* format,
                 const AdMTextLineMetrics* metrics, double pen[3], std::uint8_t kindCode);

// Glyphs of one run format placed from an origin on the line: the glyph
// run's pen is in font units from the origin, and the run matrix takes font
// units to the text plane (obliqued, scaled by the glyph scale and width).
struct AdMTextRun {
    AdGlyphRun glyphs;
    AdMatrix4 local;
};
// Starts a run at (x, y) on the text plane; with a pass in its drawing pass
// the glyphs are drawn through its viewports, otherwise only measured.
void adMTextRunStart(AdMTextRun* run, const AdMTextPass* pass, const AdMTextFormat* format, double x, double y);
// One character measured into the box (when given) and, in a drawing run,
// drawn; the pen moves on by its advance and the tracking. 0 when no font
// holds it.
int adMTextRunGlyph(AdMTextRun* run, AdDrawing* drawing, const AdMTextFormat* format, std::uint16_t code,
                    std::uint8_t codePage, AdTextBox* box);
// The run's pen on the text plane.
void adMTextRunPen(const AdMTextRun* run, double out[2]);
// A straight line on the text plane, drawn solid in the pass's viewports.
void adMTextLineSegment(const AdMTextPass* pass, double x1, double y1, double x2, double y2);

// While measuring, glyph lines draw nothing and arcs only widen boxes.
class AdMTextMeasuring {
public:
    AdMTextMeasuring();
    ~AdMTextMeasuring();
    AdMTextMeasuring(const AdMTextMeasuring&) = delete;
    AdMTextMeasuring& operator=(const AdMTextMeasuring&) = delete;

private:
    AdGlyphLineSlot line_;
    AdGlyphArcSlot arc_;
};
