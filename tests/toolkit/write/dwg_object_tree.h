// What a drawing holds beside its tables and entities, as lines that a saved
// file must give back: its classes, its objects counted per kind and its
// dictionary tree (each dictionary's owner and entries with the kind of
// object each names).
#pragma once
#include "toolkit/ad.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// The objects of the root dictionary's header round-trip entry, which a save
// at another version or below AC1015 leaves out; empty when there is none.
std::set<std::string> roundTripObjects(AdDrawing* drawing);

// Objects per kind (fixed type name, class DXF name, or "PROXY <class id>";
// at AC1012, which keeps the class id inside the data, "PROXY"), the
// left-out objects not counted.
std::map<std::string, int> objectCounts(AdDrawing* drawing, std::int16_t version,
                                        const std::set<std::string>& leftOut);

// One line per dictionary: handle, owner, then each entry as name=handle:kind,
// in order. Below AC1015 entry names are upper-cased and the root loses the
// entries that version does not know.
std::vector<std::string> dictionaryTree(AdDrawing* drawing, std::int16_t version,
                                        const std::set<std::string>& leftOut);

// One line per class as a file of the version gives it back: number, names,
// item class, and from AC1015 the application name and proxy flags.
std::vector<std::string> classLines(AdDrawing* drawing, std::int16_t version);
