// MLINE entities: parallel element lines from the entity's vertex store
// with the colours, linetypes, fill, joints and caps of their MLINESTYLE.
// Internal to the engine.
#pragma once
#include "toolkit/display/dispatch.h"

// 1, or 0 when memory ran out for the element linetypes.
int adDrawMline(AdDrawing* drawing, const AdMlineData* mline, std::int16_t layerColour, std::int16_t byBlockColour,
                const AdLtypeRecord* layerLinetype, const AdLtypeRecord* byBlockLinetype, const AdMatrix4* model,
                const AdMatrix4* matrices);

// The half circle from a to b about their midpoint, turning counter-clockwise
// for sign +1: its first quarter in colour a, its second in colour b (a
// negative colour leaves the pen). The fill is the same half disc.
void adDrawMlineArcCap(AdDrawing* drawing, const double a[3], const double b[3], double sign, std::int16_t colourA,
                       std::int16_t colourB, const AdMatrix4* model);
void adFillMlineArcCap(AdDrawing* drawing, const double a[3], const double b[3], double sign, std::int16_t fillColour,
                       const AdMatrix4* model);


// The dispatcher's handler of MLINE.
void adDrawMlineEntity(AdDrawContext& entity);
