// What the load completion steps share to make the objects every drawing
// offers: stores of handles and entries, and the storing of a new object.
#pragma once
#include "toolkit/ad.h"

// A new store holding count 8-byte handles; 0 (nothing kept) when memory
// runs out.
int adCompletionHandleStore(const AdHandle* handles, std::int32_t count, AdStore** store);
// A DICTIONARY's data: count entries pairing names with handles, cloning 1.
int adCompletionDictionaryData(const char* const* names, const AdHandle* handles, std::int32_t count,
                               AdDictionaryData* data);
// Appends the object with reactor (its owner too) when that is not null;
// everything the object owns is freed when it cannot be stored.
int adCompletionAddObject(AdDrawing* drawing, AdObjectHeader* header, void* data, const AdHandle* reactor);
// The MLINESTYLE of that name and handle with the defaults and the two
// elements at +0.5 and -0.5 (BYLAYER colour and linetype).
int adCompletionAddMlineStyle(AdDrawing* drawing, const char* name, const AdHandle* handle, const AdHandle* reactor);
// The first MLINESTYLE object named so (any case); the object cursor moves.
bool adFindMlineStyleByName(AdDrawing* drawing, const char* name, AdHandle* handle);
