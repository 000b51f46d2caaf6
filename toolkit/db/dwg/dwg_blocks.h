// The DWG reader operations of DIMSTYLE, BLOCK and CLASSES; DIMSTYLE and
// BLOCK hand files before AC1012 to the fixed-record readers, CLASSES
// answers 0 for them.
#pragma once
#include "toolkit/ad.h"

int adDwgBeginDimStyles(AdDrawing* drawing);
int adDwgBeginBlocks(AdDrawing* drawing);
int adDwgBeginClasses(AdDrawing* drawing);

// Next record: 1 with the record filled (its erased flag set when its entry
// had no object), 0 on a read failure (or, for DIMSTYLE, an entry of another
// type). The BLOCK record is an AdBlockHeader; the reader leaves the block's
// base point and path in the global state and its entity handles in the
// drawing (currentBlockEntity ...).
int adDwgNextDimStyle(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDwgNextBlock(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
// Reads the BLOCK record with that handle (a space block the BLOCK control
// does not list); 1 or 0. The table walk in progress is dropped.
int adDwgReadBlockByHandle(AdDrawing* drawing, const AdHandle* handle, AdBlockHeader* record);
// Next CLASSES record: 1, or 0 at the end of the data or for a record cut short.
int adDwgNextClass(AdDrawing* drawing, void* record);
