// Freeing everything a drawing owns, shared by closing a drawing and by
// unwinding a failed load.
#pragma once
#include "toolkit/ad.h"

// Frees the drawing's file, lists, handle index, load-time stores, header
// block, block-name index and the drawing itself. External references are
// the caller's business.
void adReleaseDrawing(AdDrawing* drawing);

// Closes the readers' load-time streams and frees their stores.
void adReleaseLoadStores(AdDrawing* drawing);
