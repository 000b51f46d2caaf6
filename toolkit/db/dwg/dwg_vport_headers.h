// The DWG reader operations of the viewport-entity header table: bit-coded
// files here, fixed-record files handed over to their own readers.
#pragma once
#include "toolkit/ad.h"

// Follows the header chain from the current header, then positions the
// table at its first entry; 1, or 0 when the table cannot be read.
int adDwgBeginVportEntities(AdDrawing* drawing);
// The next header into an AdVportEntityHeader: 1 (erased when its object
// is missing), 0 on a read failure or an object of another type.
int adDwgNextVportEntity(AdDrawing* drawing, void* record);
