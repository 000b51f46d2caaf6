// What the DXF object reader's files share: the object being read and the
// reading of its groups, every one through adDxfNextGroup so that extended
// data anywhere lands in the record buffer.
#pragma once
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

struct AdDxfObjectRead {
    AdDrawing* drawing;
    AdObjectHeader* header;
    std::uint8_t* xdataFlag;
};

// The next group below 1000; false at the end of the file.
bool adDxfObjectNext(AdDxfObjectRead& read);
// Puts the current group back.
bool adDxfObjectBack(AdDxfObjectRead& read);
// The next group of the object: false at its 0 group (put back) or at the
// end of the file.
bool adDxfObjectGroup(AdDxfObjectRead& read);
// Passes over the groups up to the next 0.
bool adDxfObjectSkip(AdDxfObjectRead& read);

// The start every object shares: the header with its type, the 0 and 5
// groups, reactors and extension dictionary, the owner; a class-numbered
// object also takes its 100 group.
bool adDxfObjectStart(AdDxfObjectRead& read, std::int16_t type, bool classObject);

// An append stream over *store, created on first use; null (the fatal-error
// hook told) when memory runs out.
AdStream* adDxfAppendTo(AdStore** store);
// Appends the token's handle to *store and counts it.
bool adDxfAppendHandle(AdStore** store, std::int32_t* count);
// The token is a 3 group: the entry it names and the handle of the next
// group, appended as a name record and counted.
bool adDxfReadEntries(AdDxfObjectRead& read, AdStore** entries, std::int32_t* count);

// Stores the groups up to the next 0 through the map; codes without a row
// are passed over. With stopAt100 a 100 group ends it too (put back).
bool adDxfObjectByMap(AdDxfObjectRead& read, const AdDxfFieldMap* map, std::int32_t count, void* data,
                      bool stopAt100);

// The maps of the objects read by map alone.
enum AdDxfObjectMap { AD_DXF_MAP_IMAGEDEF, AD_DXF_MAP_RASTERVARIABLES, AD_DXF_MAP_WIPEOUTVARIABLES, AD_DXF_MAP_LAYOUT };
const AdDxfFieldMap* adDxfObjectMap(AdDxfObjectMap which, std::int32_t* count);

// The plot settings part of a LAYOUT or PLOTSETTINGS, up to the next 0 or
// 100 group.
bool adDxfReadPlotSettings(AdDxfObjectRead& read, AdPlotSettingsData* data);
// The drawing's class number of an object this reader knows by name (0
// when the drawing lacks its class), -1 for any other name.
std::int32_t adDxfKnownClassNumber(const AdDrawing* drawing, const char* name);
// The number is the drawing's class number of an object this reader knows.
bool adDxfIsKnownObjectClass(const AdDrawing* drawing, std::int32_t number);

// Objects kept as their class wrote them: proxies, and objects of other
// registered classes, bit-coded.
bool adDxfReadProxyObject(AdDxfObjectRead& read, AdProxyObjectData* data);
bool adDxfReadEncodedObject(AdDxfObjectRead& read, std::int16_t classNumber, AdProxyObjectData* data);
// The class objects with readers of their own; false for a name they do
// not cover (handled is then false).
bool adDxfReadSpecialObject(AdDxfObjectRead& read, const char* name, void* data, bool* handled);
