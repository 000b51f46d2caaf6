// The DWG reader operations of the OBJECTS section of AC1012 and later
// files, and what the object readers share.
#pragma once
#include "toolkit/ad.h"

int adDwgBeginObjects(AdDrawing* drawing);
int adDwgNextObject(AdDrawing* drawing);
int adDwgReadDictionary(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDwgReadGroup(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDwgReadMlineStyle(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
int adDwgReadClassObject(AdDrawing* drawing, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag);
// The data and handles of a class-numbered object whose start is read, by
// the header's type; 1, or 0 with what the data took left for the caller
// to free.
int adDwgReadClassData(AdDrawing* drawing, AdObjectHeader* header, void* data);
// Readers of single classes, called through adDwgReadClassData.
int adDwgReadDimAssoc(AdDrawing* drawing, AdObjectHeader* header, void* data);
int adDwgReadSpatialFilter(AdDrawing* drawing, AdObjectHeader* header, void* data);
int adDwgReadSpatialIndex(AdDrawing* drawing, AdObjectHeader* header, void* data);
int adDwgReadLayerIndex(AdDrawing* drawing, AdObjectHeader* header, void* data);

// Reads the object at the file position up to its data: the header's
// handle, its reactor count, type; 1 when its type is expected.
int adDwgStartObject(AdDrawing* drawing, AdObjectHeader* header, std::int16_t expected, std::uint8_t* xdataFlag);
// Moves the reader to the handles (from AC1015 they start at the data's bit
// size); 0 when the reader is already past them.
int adDwgToHandles(AdDrawing* drawing);
// The handle part of objects: H owner, the reactors, H extension
// dictionary, into the header; 1, or 0 when the stream failed.
int adDwgReadObjectHandles(AdDrawing* drawing, AdObjectHeader* header);
// Bits of data between the reader and the data's end.
std::int64_t adDwgBitsLeft();
// count data bytes into a new store (none for 0); 0 when the data left
// cannot hold them.
int adDwgReadByteStore(std::int32_t count, AdStore** store);
// Every data bit up to the data's end into a new store; the bit count out.
int adDwgReadRemainingBits(AdStore** store, std::int32_t* bits);
// Handle references (handle and kind, 9 bytes each) until the object's end.
int adDwgReadHandleRefs(AdStore** store, std::int32_t* count);
// The plot-settings part of PLOTSETTINGS and LAYOUT objects.
int adDwgReadPlotSettings(AdPlotSettingsData* data);
// An MLINESTYLE's flag word as the file codes it, in the order the style
// keeps its bits: pairs swap, the other known bits stay, unknown ones drop.
std::int16_t adDwgMlineStyleFlags(std::int32_t file);
// count entry names, the object's handles, then one handle per entry, paired
// with its name into a new store of AdNameRecord entries (none for 0).
int adDwgReadNamedEntries(AdDrawing* drawing, AdObjectHeader* header, std::int32_t count, AdStore** entries);

// The open's last step for bit-coded files: the ACAD_MLINESTYLE dictionary
// of the named-object dictionary is read, its entry count kept in the
// drawing and the file positioned at its first entry. Always 1: a file
// whose dictionaries cannot be read keeps a count of 0, and the OBJECTS
// stage notes the damaged objects themselves.
int adDwgFindMlineStyles(AdDrawing* drawing);
