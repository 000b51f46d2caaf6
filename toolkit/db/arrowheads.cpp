// The standard arrowheads: a block per arrowhead with the same geometry in
// every drawing (size 1, tip at the origin, body along -x), and the
// classification of arrowhead names for the display engine.
#include "toolkit/db/arrowhead_arc.h"
#include "toolkit/db/entity_list_steps.h"

#include <iterator>

namespace {

enum PieceKind { kLine, kTail, kCircle, kSolid, kPolyline, kArc };

// One entity of an arrowhead. Values by kind: LINE x1 y1 x2 y2; tail (a LINE
// to (-1, 0) that carries the dimension line up to the arrow) x y; CIRCLE cx
// cy r; SOLID x1 y1 .. x4 y4; closed POLYLINE width, x1 y1 bulge1, x2 y2
// bulge2; ARC cx cy r start end.
struct Piece {
    PieceKind kind;
    double v[8];
};

constexpr int kMaxPieces = 5;

struct Arrowhead {
    const char* name;  // without the leading underscore
    int count;
    Piece pieces[kMaxPieces];
};

constexpr double kClosedY = 0.166667;
constexpr Piece kClosedUpper = {kLine, {-1, kClosedY, 0, 0}};
constexpr Piece kClosedLower = {kLine, {0, 0, -1, -kClosedY}};
constexpr Piece kClosedBack = {kLine, {-1, kClosedY, -1, -kClosedY}};
constexpr Piece kTailFromTip = {kTail, {0, 0}};
constexpr Piece kTailFromHalf = {kTail, {-0.5, 0}};
constexpr double kDatumY = 0.57735;

const Arrowhead kArrowheads[] = {
    {"NONE", 0, {}},
    {"CLOSED", 4, {kClosedUpper, kClosedLower, kClosedBack, kTailFromTip}},
    {"DOT", 2, {{kPolyline, {0.5, -0.25, 0, 1, 0.25, 0, 1}}, kTailFromHalf}},
    {"CLOSEDBLANK", 3, {kClosedUpper, kClosedLower, kClosedBack}},
    {"OBLIQUE", 1, {{kLine, {-0.5, -0.5, 0.5, 0.5}}}},
    {"ARCHTICK", 1, {{kPolyline, {0.15, -0.25, 0, 0, 0.5, 0.5, 0}}}},
    {"OPEN", 3, {kClosedUpper, kClosedLower, kTailFromTip}},
    {"ORIGIN", 2, {{kCircle, {0, 0, 0.5}}, kTailFromTip}},
    {"OPEN90", 3, {{kLine, {-0.5, 0.5, 0, 0}}, {kLine, {0, 0, -0.5, -0.5}}, kTailFromTip}},
    {"OPEN30", 3, {{kLine, {-1, 0.267949, 0, 0}}, {kLine, {0, 0, -1, -0.267949}}, kTailFromTip}},
    {"DOTBLANK", 2, {{kCircle, {0, 0, 0.5}}, kTailFromHalf}},
    {"DOTSMALL", 1, {{kPolyline, {0.5, -0.0625, 0, 1, 0.0625, 0, 1}}}},
    {"BOXFILLED", 2, {{kSolid, {-0.5, 0.5, 0.5, 0.5, -0.5, -0.5, 0.5, -0.5}}, kTailFromHalf}},
    {"BOXBLANK",
     5,
     {{kLine, {-0.5, -0.5, 0.5, -0.5}},
      {kLine, {0.5, -0.5, 0.5, 0.5}},
      {kLine, {0.5, 0.5, -0.5, 0.5}},
      {kLine, {-0.5, 0.5, -0.5, -0.5}},
      kTailFromHalf}},
    {"DATUMFILLED", 1, {{kSolid, {0, kDatumY, -1, 0, 0, -kDatumY, 0, -kDatumY}}}},
    {"DATUMBLANK",
     3,
     {{kLine, {0, kDatumY, -1, 0}}, {kLine, {-1, 0, 0, -kDatumY}}, {kLine, {0, -kDatumY, 0, kDatumY}}}},
    {"INTEGRAL",
     2,
     {{kArc, {0.444888, -0.091335, 0.454167, 1.780235837034216, 2.9321531433504737}},
      {kArc, {-0.444888, 0.091335, 0.454167, 4.921828490624009, 6.073745796940266}}}},
};

// The names adArrowheadIndex tells apart, by their code from 1.
const char* const kIndexedNames[] = {"_CLOSED", "_OPEN", "_DOT", "_ORIGIN", "_OPEN90", "_NONE", "_OBLIQUE"};
constexpr std::int16_t kOtherArrowhead = 8;

const Arrowhead* findArrowhead(const char* name) {
    if (name[0] == '_') ++name;
    for (const Arrowhead& arrowhead : kArrowheads)
        if (adStrCompareNoCase(name, arrowhead.name) == 0) return &arrowhead;
    return nullptr;
}

struct Builder {
    AdDrawing* drawing;
    AdRecordList* list;
    AdEntityHeader header;
    AdEntityData data;
};

int addPolyline(Builder& b, const double* v) {
    const double first[3] = {v[1], v[2], 0};
    const double second[3] = {v[4], v[5], 0};
    return adArrowAddPolyline(b.drawing, b.list, &b.header, &b.data, 1, 0, 0, 0, 0, 0, 0, 0.0, v[0], v[0]) &&
           adArrowAddVertex(b.drawing, b.list, &b.header, &b.data, first, v[3]) &&
           adArrowAddVertex(b.drawing, b.list, &b.header, &b.data, second, v[6]) &&
           adArrowAddSeqend(b.drawing, b.list, &b.header, &b.data);
}

int addPiece(Builder& b, const Piece& piece) {
    const double* v = piece.v;
    const double first[3] = {v[0], v[1], 0};
    const double second[3] = {v[2], v[3], 0};
    switch (piece.kind) {
        case kLine: return adArrowAddLine(b.drawing, b.list, &b.header, &b.data, first, second);
        case kTail: return adArrowAddLineTo(b.drawing, b.list, &b.header, &b.data, first, -1, 0, 0);
        case kCircle: return adArrowAddCircle(b.drawing, b.list, &b.header, &b.data, first, v[2]);
        case kSolid: {
            const double corners[4][3] = {{v[0], v[1], 0}, {v[2], v[3], 0}, {v[4], v[5], 0}, {v[6], v[7], 0}};
            return adArrowAddSolid(b.drawing, b.list, &b.header, &b.data, corners);
        }
        case kPolyline: return addPolyline(b, v);
        case kArc: return adArrowAddArc(b.drawing, b.list, &b.header, &b.data, first, v[2], v[3], v[4]);
    }
    return 0;
}

int buildEntities(Builder& b, const Arrowhead& arrowhead, const char* name) {
    const double origin[3] = {0, 0, 0};
    if (!adArrowAddBlockEntity(b.drawing, b.list, &b.header, &b.data, name, origin, nullptr)) return 0;
    for (int i = 0; i < arrowhead.count; ++i)
        if (!addPiece(b, arrowhead.pieces[i])) return 0;
    return adArrowAddEndblk(b.drawing, b.list, &b.header, &b.data);
}

// A block that could not be finished goes again with all it holds, so that
// no half-built arrowhead stays in the drawing.
void discardBlock(AdDrawing* drawing, AdRecordList* list, const AdHandle* block) {
    AdEntityHeader header;
    AdEntityData data;
    adEntityRewind(list);
    for (std::int32_t i = adListCount(list); i > 0 && adEntityNext(list, &header, &data); --i)
        adEntityDelete(drawing, list, &header.handle, 1);
    adFreeEntityList(drawing, list);
    adListFree(list);
    adBlockDelete(drawing, block);
}

}  // namespace

int adArrowheadIndex(const char* name, std::int16_t* code) {
    if (!code) return 0;
    *code = 0;
    if (!name || name[0] == '\0') return 1;
    *code = kOtherArrowhead;
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(std::size(kIndexedNames)); ++i)
        if (adStrCompareNoCase(name, kIndexedNames[i]) == 0) *code = static_cast<std::int16_t>(i + 1);
    return 1;
}

int adArrowheadBlock(AdDrawing* drawing, AdBlockHeader* record, const char* name, AdHandle* handle) {
    if (!handle) return 0;
    *handle = AdHandle{};
    const Arrowhead* arrowhead = name && name[0] != '\0' ? findArrowhead(name) : nullptr;
    if (!drawing || !record || !arrowhead) return 0;
    AdHandle block;
    if (!adArrowCreateBlockHeader(drawing, record, name, &block)) return 0;
    Builder builder{drawing, record->entities, {}, {}};
    if (!adBlockByHandle(drawing, &block, record) || !buildEntities(builder, *arrowhead, name)) {
        const AdSavedError error = adSaveError();
        discardBlock(drawing, builder.list, &block);
        adRestoreError(error);
        return 0;
    }
    *handle = block;
    return 1;
}
