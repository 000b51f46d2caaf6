// What the DXF entity reader's files share: the state of the entity being
// read and the readers of the groups that need more than one map row.
#pragma once
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

// One entity being read. The reference stream appends {handle, kind}
// records (9 bytes) to refs while a proxy or class entity names objects.
struct AdDxfEntityRead {
    AdDrawing* drawing;
    AdEntityHeader* header;
    AdEntityData* data;
    std::uint8_t* xdataFlag;
    AdEntityKind kind;       // a built-in class entity's kind; AD_KIND_FIXED otherwise
    bool encoded;            // a class entity kept bit-coded
    bool classPart;          // its 100 "AcDbEntity" was read
    AdStore* refs;
    AdStream* refStream;
    std::int32_t refCount;
    // Lists kept while the groups are read (SPLINE knots, control and fit
    // points; LWPOLYLINE vertices), each with its count and write stream.
    AdStore* work[3];
    AdStream* workStream[3];
    std::int32_t workCount[3];
    std::int64_t workBytes[3];  // the size a list is announced to reach; 0 when not announced
    bool weights;            // SPLINE: the first control point had a weight
    std::int32_t leadingWeights;  // SPLINE: weights given before the control points
    bool textRead;           // MTEXT: a text group was read
    double vertex[5];        // LWPOLYLINE: x, y, bulge, start and end width
    bool vertexOpen;
    bool derived;            // HATCH: a path is derived, a pixel size follows its pattern
};

// Appends values to work list i, creating it on first use.
bool adDxfWorkWrite(AdDxfEntityRead& read, int i, const double* values, std::int32_t count);
// Closes the work streams, so that the lists can be read.
void adDxfWorkClose(AdDxfEntityRead& read);

// Hands each of the entries (width doubles each) of a closed work list,
// with its number, to write, which puts what it keeps into out.
template <typename Write>
bool adDxfCopyWork(AdStore* list, std::int32_t entries, int width, AdStream* out, Write write) {
    if (entries == 0) return true;
    AdStream* in = adStreamOpenRead(list);
    bool ok = in != nullptr;
    for (std::int32_t i = 0; ok && i < entries; ++i) {
        double values[5] = {};
        ok = adStreamRead(in, values, width * static_cast<std::int32_t>(sizeof(double))) && write(out, values, i);
    }
    if (in) adStreamCloseRead(in);
    return ok;
}

// The block size of a store that will hold expectedBytes.
std::int16_t adDxfBlockSizeFor(std::int64_t expectedBytes);
// A new store with a write stream over it; false when memory runs out. A
// store whose size is known ahead takes blocks of that size (a block at
// most): the stream's buffer is one block, and most lists are a few points.
bool adDxfNewStore(AdStore** store, AdStream** out, std::int64_t expectedBytes = AD_STORE_BLOCK_SIZE);

// The name slot a group of the type fills, -1 when it fills none.
int adDxfEntityNameSlot(std::uint16_t type, std::int16_t code);

// Reads the next group of a value the entity announced, whatever its code;
// false at the end of the file. A 0 group starts the next entity, however
// many values the counts promised: it is put back and the value refused.
bool adDxfNextValueGroup(AdDrawing* drawing);
// A value taken from the next group in the same way.
bool adDxfNextReal(AdDrawing* drawing, double* value);
bool adDxfNextInteger(AdDrawing* drawing, std::int32_t* value);

// Appends a {handle, kind} reference; kind from the group code.
bool adDxfAddReference(AdStream* stream, std::int32_t* count, const AdHandle& handle, std::int16_t code);
// The bytes of the 310 groups after the current group into a new store
// (empty when none follows).
bool adDxfReadFollowingChunks(AdDrawing* drawing, AdStore** store);

// Groups of the fixed types that take more than a map row: true when the
// group was taken (ok false when it could not be read).
bool adDxfSpecialEntityGroup(AdDxfEntityRead& read, std::int16_t code, bool* ok);
// What the fixed types finish after their last group.
bool adDxfFinishSpecialEntity(AdDxfEntityRead& read);

// A group of a built-in class entity.
bool adDxfClassEntityGroup(AdDxfEntityRead& read, std::int16_t code);
bool adDxfFinishClassEntity(AdDxfEntityRead& read);
// The map of a built-in class entity's plain groups.
const AdDxfFieldMap* adDxfClassEntityMap(AdEntityKind kind, std::int32_t* count);
// The HATCH groups that open its paths, pattern lines and seeds: true when
// the group was one of them (ok false when they could not be read).
bool adDxfHatchGroup(AdDxfEntityRead& read, std::int16_t code, bool* ok);

// Starts the in-memory encoder for one record.
bool adDxfEncodeStart(AdDrawing* drawing);
// The encoder carries a value of the code.
bool adDxfEncodable(std::int16_t code);

// Proxy and zombie entities, and class entities kept bit-coded.
bool adDxfProxyEntityGroup(AdDxfEntityRead& read, std::int16_t code);
