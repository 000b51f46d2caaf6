// Proxy graphics: the byte stream that drawings keep for proxy entities and
// for the classes drawn from their stored graphics, read record by record,
// and its drawing through the ordinary drawing layers. Internal to the engine.
#pragma once
#include "toolkit/display/render_state.h"

// Strings of text records are kept to these sizes (with the terminator).
constexpr std::int32_t AD_PROXY_TEXT_SIZE = 1024;
constexpr std::int32_t AD_PROXY_FONT_SIZE = 512;
// Mesh and shell counts are 16-bit in the stream's writers: anything larger
// is damage.
constexpr std::int32_t AD_PROXY_COUNT_LIMIT = 32768;
// Linetype records -1 and -2 as a record keeps them.
constexpr std::int32_t AD_PROXY_LTYPE_BYLAYER = 0x7fff;
constexpr std::int32_t AD_PROXY_LTYPE_BYBLOCK = 0x7ffe;

// Types 2 and 4.
struct AdProxyCircle {
    double centre[3];
    double radius;
    double normal[3];
    double startVector[3];  // type 4: from the centre towards the arc's start
    double sweep;           // type 4, radians
};

// Types 10 and 11. heightEtc: height, width factor, oblique angle.
struct AdProxyText {
    double position[3];
    double normal[3];
    double direction[3];
    double height;
    double widthFactor;
    double oblique;
    char text[AD_PROXY_TEXT_SIZE];
    // Type 11 only.
    std::int32_t length;     // -1: the whole string
    std::uint8_t flags[6];   // yes/no
    char fontFile[AD_PROXY_FONT_SIZE];
    char bigFontFile[AD_PROXY_FONT_SIZE];
};

// Type 27. The record owns points (2n doubles) until the drawing frees it.
struct AdProxyClip {
    double a[3];
    double b[3];
    std::int16_t count;
    AdStore* points;
    double first[4][3];
    double second[4][3];
    std::int16_t flags[2];
    double values[2];
    std::int16_t present;
};

// One unpacked record. For types 6, 7, 9 and 32 only the count is unpacked
// (the points and the face list stay in the stream); for type 8 only the
// rows and columns.
struct AdProxyRecord {
    std::int32_t type;
    std::int32_t end;  // the stream position just past the record
    union {
        AdProxyCircle circle;       // 2, 4
        double points[3][3];        // 3, 5 (three points), 12, 13 (two)
        std::int32_t count;         // 6, 7, 9, 32
        std::int32_t grid[2];       // 8: rows, columns
        AdProxyText text;           // 10, 11
        std::int32_t value;         // 14, 16, 18, 19, 20, 23
        std::int32_t values[2];     // 26
        std::uint8_t bytes[3];      // 22
        double reals[16];           // 1 (six), 24, 25 (one), 29 (sixteen), 30 (a point)
        AdProxyClip clip;           // 27
    };
};

// Per-edge and per-face attributes of a mesh or shell; arrays are null when
// their flag is clear.
struct AdProxyAttributes {
    std::int32_t edgeCount;
    std::int32_t faceCount;
    std::int16_t* edgeColours;
    std::int16_t* faceColours;
    std::int16_t* edgeLayers;
    std::int16_t* edgeLinetypes;
    std::int16_t* faceLayers;
    std::int32_t* edgeVisibility;
    std::int32_t* faceVisibility;
};

struct AdProxyMesh {
    AdProxyAttributes attributes;
    double* vertices;  // rows x columns points, row after row
};

struct AdProxyShell {
    AdProxyAttributes attributes;
    std::int32_t faceListLength;
    std::int32_t* faceList;
    double* vertices;
    std::int32_t vertexCount;
};

// Readers over a read stream of a proxy-graphics store: 1, or 0 when a read
// fails (162 for a null stream where said).
int adProxySkipPreamble(AdStream* stream);                       // 162
int adProxyReadPoint(AdStream* stream, double point[3]);         // 162
int adProxyReadLong(AdStream* stream, std::int32_t* value);
// A padded string: keeps at most capacity - 1 characters, always
// terminated; answers the bytes consumed (a multiple of 4), 0 when the
// stream ends before the terminator or its padding.
std::int32_t adProxyReadString(AdStream* stream, char* buffer, std::int32_t capacity);
int adProxyReadShorts(AdStream* stream, std::int32_t n, std::int16_t* out);
int adProxyReadLongs(AdStream* stream, std::int32_t n, std::int32_t* out);
int adProxySkipLongs(AdStream* stream, std::int32_t n);
int adProxySkipPoints(AdStream* stream, std::int32_t n);
// The next record; 0 at the end of the data, at a record that cannot be
// read, and at one whose frame or counts do not fit its store (162 for a
// null stream). A record's own store (type 27) is the caller's to free.
int adProxyReadRecord(AdStream* stream, AdProxyRecord* record);
void adProxyFreeRecord(AdProxyRecord* record);

// Mesh and shell unpacking (the stream just past the record's counts) and
// release of every array.
int adProxyReadMesh(AdStream* stream, std::int32_t rows, std::int32_t columns, AdProxyMesh* mesh);
void adProxyFreeMesh(AdProxyMesh* mesh);
int adProxyReadShell(AdStream* stream, std::int32_t vertexCount, AdProxyShell* shell);
void adProxyFreeShell(AdProxyShell* shell);

// Table lookups by position for the stream's layer and linetype records.
// A position past the table's end leaves the last record of the table; a
// negative one the first.
int adProxyLinetypeByIndex(AdDrawing* drawing, std::int32_t index, AdLtypeRecord* linetype);
int adProxyLayerByIndex(AdDrawing* drawing, std::int32_t index, std::int16_t* colour, AdLtypeRecord* linetype);


// Draws a proxy-graphics store record by record; 1 when drawn to its end
// or to the first record that cannot be read, 0 when the store cannot be
// opened or memory runs out.
int adDrawProxyGraphics(AdDrawing* drawing, AdStore* store, const AdMatrix4* model, const AdMatrix4* matrices,
                        const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing, std::int16_t blockColour,
                        std::int16_t layerColour, AdEntityHeader* header);

// The TEXT entity a text record (types 10 and 11) stands for: insertion,
// height, width factor and oblique angle from the record, the rotation of
// its direction, its normal as this text's own extrusion (the proxy entity's
// header is never touched, so a tilted text does not tilt what follows it),
// and a STANDARD style on "txt" or, for type 11, on the record's font file.
void adProxyTextEntity(AdDrawing* drawing, const AdProxyRecord& record, AdEntityHeader* header, AdEntityData* data,
                       AdStyleRecord* style);
