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

// The BLOCK stage's walks over the BLOCK_RECORD table of AC1012 and later DXF
// files: the handles of the records named *MODEL_SPACE and *PAPER_SPACE (left
// as they are when the table lacks them); then every stored block of a
// record's name (any case) takes over the record's handle, owner, layout,
// extension dictionary (not in AC1012 files), preview and extended data.
// A record naming no block is passed over.
void adDxfFindSpaceHandles(AdDrawing* drawing, AdHandle* modelSpace, AdHandle* paperSpace);
void adDxfTakeBlockRecords(AdDrawing* drawing);
