// What the readers of splines, solids and class-numbered entities of AC1012
// and later files share: count checks against the data, stores filled while
// an entity is read, the end and the failure of an entity, and the readers
// of each class kind.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/bit_stream_state.h"

// True when count entries of at least minBits each fit in the data bits left;
// otherwise the stream is failed, so that no allocation or loop follows a
// count the data cannot hold.
bool adDwgCountFits(std::int64_t count, std::int64_t minBits);

// A store being filled; ok turns false at the first write that fails (the
// error set as for memory).
struct AdDwgStoreFill {
    AdStore* store;
    AdStream* out;
    bool ok;
};
// expectedBytes: the size the store will have, when known (see adDwgOpenStore).
bool adDwgFillOpen(AdDwgStoreFill* fill, std::int64_t expectedBytes = AD_STORE_BLOCK_SIZE);
void adDwgFillBytes(AdDwgStoreFill* fill, const void* bytes, std::int32_t count);
void adDwgFillDouble(AdDwgStoreFill* fill, double value);
void adDwgFillLong(AdDwgStoreFill* fill, std::int32_t value);
void adDwgFillShort(AdDwgStoreFill* fill, std::int16_t value);
// Closes the store into *field when everything was written, else frees it;
// 1 or 0.
int adDwgFillClose(AdDwgStoreFill* fill, AdStore** field);

// count entries, each written by entry(fill, index), into a new store (none
// for 0); the entries stop when the stream fails. 1, or 0 with nothing kept.
// entryBytes: the size of one entry when all have the same, else 0.
template <typename Entry>
int adDwgFillList(std::int32_t count, std::int32_t entryBytes, AdStore** store, Entry entry) {
    if (count == 0) return adBitUsable() ? 1 : 0;
    AdDwgStoreFill fill{};
    if (!adDwgFillOpen(&fill, entryBytes > 0 ? std::int64_t{count} * entryBytes : AD_STORE_BLOCK_SIZE)) return 0;
    for (std::int32_t i = 0; i < count && fill.ok && adBitUsable(); ++i) entry(&fill, i);
    if (!adBitUsable()) fill.ok = false;
    return adDwgFillClose(&fill, store);
}

// After the type's fields: the shared handle references, then the check
// that the stream held; 1 or 0.
int adDwgClassHandles(AdDrawing* drawing, AdEntityHeader* header);
// The end of an entity that could not be read: error 201 when the data was
// at fault (memory failures have set theirs), the data's stores freed (the
// header's left to their owner) as those of an entity of that type. Answers 0.
int adDwgDropEntity(AdDrawing* drawing, std::uint16_t type, AdEntityData* data);

// LWPOLYLINE flags of the files: which optional fields and lists follow.
enum AdDwgLwpolylineFlag : std::int16_t {
    AD_DWG_LW_EXTRUSION = 0x1,
    AD_DWG_LW_THICKNESS = 0x2,
    AD_DWG_LW_CONSTANT_WIDTH = 0x4,
    AD_DWG_LW_ELEVATION = 0x8,
    AD_DWG_LW_BULGES = 0x10,
    AD_DWG_LW_WIDTHS = 0x20,
};
// SPLINE: the two ways a spline is given, and its flags.
enum AdDwgSplineScenario : std::int16_t { AD_DWG_SPLINE_BY_CONTROL_POINTS = 1, AD_DWG_SPLINE_BY_FIT_POINTS = 2 };
enum AdDwgSplineFlag : std::int16_t { AD_DWG_SPLINE_CLOSED = 0x1, AD_DWG_SPLINE_PERIODIC = 0x2, AD_DWG_SPLINE_RATIONAL = 0x4 };

// The readers of the class kinds, on cleared data; each ends with the
// handles.
int adDwgReadOle2Frame(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadLwpolyline(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadHatch(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
// IMAGE and WIPEOUT; keep says whether the image-definition handles are kept.
int adDwgReadImage(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, bool keep);
int adDwgReadRtext(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);
int adDwgReadArcAlignedText(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data);

// The graphics store of a class-numbered entity's kind (null for the kinds
// that keep none), as adDwgAttachClassStore hung it.
AdStore* adDwgClassGraphics(AdDrawing* drawing, const AdEntityHeader* entity, const AdEntityData* record);
// The data fields of ARCALIGNEDTEXT's eleven BS, in file order: an index
// into values70, or -1 for value280.
extern const int adArcAlignedTextShortOrder[11];
