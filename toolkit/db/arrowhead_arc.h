// The ARC of the arrowhead builder, beside the public entity helpers.
#pragma once
#include "toolkit/ad.h"

// Angles in radians, counter-clockwise from start to end.
int adArrowAddArc(AdDrawing* drawing, AdRecordList* list, AdEntityHeader* header, AdEntityData* data,
                  const double centre[3], double radius, double startAngle, double endAngle);
