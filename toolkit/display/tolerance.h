// TOLERANCE feature control frames: rows of boxed fields whose texts are
// MTEXT strings, and the frame lines around and between them. Internal to
// the engine.
#pragma once
#include "toolkit/display/dispatch.h"

// Toolkit-wide while one frame is drawn: the frame-line and text colours.
// The fields' texts are drawn with the MTEXT drawing's toleranceText flag set.
struct AdToleranceState {
    std::int16_t frameColour;
    std::int16_t textColour;
};
extern AdToleranceState adToleranceState;

// out[v] = matrix x viewport v's view transform, for each viewport the
// current entity is drawn into.
void adToleranceViewMatrices(AdDrawing* drawing, const AdMatrix4* matrix, AdMatrix4* out);
// One frame line a-b in the frame colour; the pen goes back to the text
// colour and the entity type back to TEXT.
void adToleranceFrameLine(AdDrawing* drawing, const double a[3], const double b[3], const AdMatrix4* model,
                          const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing);
void adDrawTolerance(AdDrawing* drawing, AdEntityHeader* header, const AdToleranceData* tolerance,
                     const AdMatrix4* block, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing,
                     std::int16_t colour, std::int16_t byBlockColour, std::int16_t layerColour);

// The dispatcher's handler of TOLERANCE.
void adDrawToleranceEntity(AdDrawContext& entity);
