// The plot style a new LAYER record takes.
#pragma once
#include "toolkit/ad.h"

// The handle of the "Normal" entry of the root dictionary's
// "ACAD_PLOTSTYLENAME" dictionary; null (and 0) when there is none.
int adDefaultPlotStyle(AdDrawing* drawing, AdHandle* handle);
