// The one way a mesh edge reaches the linetype applicator.
#include "toolkit/display/linetype.h"
#include "toolkit/display/mesh.h"

void adDrawMeshEdge(AdDrawing* drawing, const AdMatrix4* matrices, const double a[3], const double b[3]) {
    AdDisplayState* state = drawing->display;
    double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
    state->curveCounter += state->restartAtVertex;
    adApplyLinetype(drawing, start, end, nullptr, matrices, &state->continuousRecord, drawing, nullptr,
                    state->curveCounter, 0.0);
}
