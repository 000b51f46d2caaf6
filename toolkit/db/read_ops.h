// Calling a reader operation of the drawing's input format. A missing table
// or a null slot answers 0, which fails the caller's stage with its code.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/load_stages.h"

int adCallReadOp(AdDrawing* drawing, AdReadOp AdReadOps::*slot);
int adCallReadRecordOp(AdDrawing* drawing, AdReadRecordOp AdReadOps::*slot, void* record);
int adCallReadTableRecordOp(AdDrawing* drawing, AdReadTableRecordOp AdReadOps::*slot, void* record,
                            std::uint8_t* xdataFlag);
