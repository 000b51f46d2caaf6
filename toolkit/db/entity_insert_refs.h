// The INSERT references of block headers: each block header keeps the
// handles of the INSERTs that name it in a store of 8-byte handles.
#pragma once
#include "toolkit/ad.h"

// The BLOCK list record of a block header handle; null when the handle is
// unknown or its record lies in another list.
AdListRecord* adInsertBlockRecord(AdDrawing* drawing, const AdHandle* block);
// Appends an INSERT's handle to the block's reference store, creating the
// store on first use; 1, or 0 when the handle could not be stored.
int adInsertReferenceAdd(AdListRecord* blockRecord, const AdHandle* insert);
