// The loaders of the symbol tables and CLASSES that the load driver runs, one
// per stage. Each answers 1, or 0 after freeing the list it was filling.
#pragma once
#include "toolkit/ad.h"

int adLoadLtypes(AdDrawing* drawing);
int adLoadLayers(AdDrawing* drawing);
int adLoadClasses(AdDrawing* drawing);
int adLoadVports(AdDrawing* drawing);
int adLoadUcs(AdDrawing* drawing);
int adLoadAppids(AdDrawing* drawing);
int adLoadViews(AdDrawing* drawing);
int adLoadStyles(AdDrawing* drawing);
int adLoadBlockTable(AdDrawing* drawing);
int adLoadDimStyles(AdDrawing* drawing);
