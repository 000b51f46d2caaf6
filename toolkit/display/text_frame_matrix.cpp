// The text frame: where an annotation's own coordinates land in the drawing.
#include "toolkit/display/text_frame.h"

#include "toolkit/display/emit.h"

void adTextFrameMatrix(const double insertion[3], const double direction[3], const AdMatrix4* matrix, AdMatrix4* out,
                       double scale) {
    const bool objectFrame = (adCurrentEntity()->flags & AD_ENTITY_FLAG_EXTRUDED) != 0;
    // A direction: the frame turns it, nothing moves it.
    double d[4] = {direction[0], direction[1], direction[2], 0.0};
    if (objectFrame) {
        AdMatrix4 inverse = adDisplayGlobals->objectMatrix;
        if (adMatrixInvert(&inverse)) adTransformPoint(d, &inverse, d);
    }
    const double angle = adVectorAngle(d);
    AdMatrix4 m = *matrix;
    adMatrixPreTranslate(insertion, &m);
    if (objectFrame) adMatrixMultiply(&adDisplayGlobals->objectMatrix, &m, &m);
    if (angle != 0.0) adMatrixRotateZ(angle, &m);
    if (scale != 1.0) adMatrixScaleAxes(scale, scale, scale, &m);
    *out = m;
}
