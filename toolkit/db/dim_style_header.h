// The dimension style built from the header's dimension variables.
#pragma once
#include "toolkit/ad.h"

// The DIMSTYLE defaults overlaid with the header's values; the record's name
// and handle are left to the caller.
void adDimStyleFromHeader(AdDrawing* drawing, AdDimStyleRecord* record);
