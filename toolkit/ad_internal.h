// What the parts of the toolkit share beyond the public API: DWG bit coding
// and CRC-16, the header-variable descriptors, the DXF vocabulary, SAT data
// coding and the line-weight codes of the files. The readers use them, and
// so do the display engine and the writers.
#pragma once
#include "toolkit/ad.h"

// ===== Input file families and shared constants =====
// The three families the readers, the load stages and the writers tell
// apart: fixed-record DWG (AC1002 to AC1009), bit-coded DWG (AC1012 to
// AC1015) and DXF, ASCII or binary, of any version.
inline bool adIsFixedRecordDwg(const AdDrawing* drawing) {
    return !drawing->dxf && drawing->version < AD_VERSION_FIRST_BITCODED;
}
inline bool adIsBitCodedDwg(const AdDrawing* drawing) {
    return !drawing->dxf && drawing->version >= AD_VERSION_FIRST_BITCODED;
}
inline bool adIsDxf(const AdDrawing* drawing) { return drawing->dxf != 0; }

constexpr double AD_PI = 3.14159265358979323846;
// The 16-byte sentinels that open and close the sections of a DWG file.
constexpr std::int32_t AD_DWG_SENTINEL_SIZE = 16;
// The seed of the CRC-16 over DWG headers, sections and records.
constexpr std::uint16_t AD_DWG_CRC_SEED = 0xC0C1;

// ===== DWG bit coding and CRC-16 =====

// The writer's buffer holds one chunk of this many bytes; full chunks go to the
// chunk store or the stream.
constexpr std::int32_t AD_BIT_CHUNK_SIZE = 0x4000;

// Reader and writer state over one object or record. The reader's bytes lie in
// the read buffer (the global state's buffer128kA), the writer's in the write
// buffer (buffer128kB); both buffers hold at least 0x20000 bytes.
//
// Whoever sets the reader over an object fills current, bytesLeft (the valid
// bytes from current on), bitMask 0x100, the piece fields and the offsets, and
// clears `failed`. Reads never look past the valid bytes: a read that runs past
// the data, or meets a handle or a text it must refuse, sets `failed`, and from
// then on every read of the stream answers 0 until it is set up again. The
// writer's failures (a full chunk that cannot be stored) set it as well.
struct AdBitStream {
    std::int32_t startOffset;    // reader: the object's first size word; writer: the record's start
    std::int32_t dataOffset;     // reader: the object's first data byte
    std::int16_t pieceCount;     // reader: pieces of the object; writer: 1
    std::int16_t pieceIndex;     // reader: the piece in the buffer; writer: chunks flushed
    std::int16_t bitMask;        // last bit taken or put; 0x100 none of this byte yet
    std::uint8_t twoWordSize;    // the object's size took two words
    std::int32_t bytesLeft;      // reader: valid bytes from current on; writer: free bytes from current on
    std::int32_t firstSizeWord;  // reader: bytes of the first piece; writer: AD_BIT_CHUNK_SIZE
    std::uint8_t* current;
    std::int32_t bitSize;        // the object's data size in bits
    std::int32_t reactorCount;
    AdHandle xrefBlockHandle;    // the last one the table-record tail reader found
    std::uint8_t graphicsFlag;
    AdStore* chunkStore;         // full chunks of a record written to a file
    AdStream* chunkStream;
    AdStream* stream;            // reader: refills from it; writer: full chunks go into it
    std::int32_t streamBytesLeft;
    AdStore* encoderStore;
    std::uint8_t failed;
};

// Reader, on the current bit stream. Each answers the value read, or 1 (a
// length or a byte count where said); 0, with its outputs zeroed, when the
// stream has failed.
int adBitReadBit();
int adBitSkip(std::int32_t bits);
std::uint8_t adBitReadByte();
std::int16_t adBitReadShort();
std::int32_t adBitReadLong();
std::int32_t adBitReadRawLong();
int adBitReadDouble(double* value);
// Raw doubles whose exponent bits are all 0 or all 1 read as 0.0.
int adBitReadRawDouble(double* value);
int adBitReadRaw2D(double point[2]);
int adBitRead3D(double point[3]);
int adBitReadDefDouble(double* value, double defaultValue);
int adBitReadDefPoint3D(double point[3], const double defaultPoint[3]);
// A 2D point and a third value that is 0.0 when the leading bit was 1.
int adBitReadOptionalDouble(double values[3]);
// A line's end points in the AC1015 form.
int adBitReadFlaggedPoints(double start[3], double end[3]);
// text holds size bytes with the terminator; a longer text is refused.
// Answers the length.
std::int32_t adBitReadText(char* text, std::int32_t size);
// The handle right-aligned, its code ignored; answers its byte count.
int adBitReadHandle(AdHandle* handle);
// The handle and its reference kind (1 soft pointer, 2 hard pointer, 3 soft
// owner, 4 hard owner) in the flag byte; answers the byte count.
int adBitReadHandleRef(AdHandleEntry* entry);
// A handle written relative to base, made absolute.
int adBitReadRelHandle(const AdHandle* base, AdHandle* handle);
int adBitReadBytes(void* bytes, std::int32_t count);
// The file offset of the byte under the reader.
std::int32_t adBitReadPosition();

// Writer, on the current bit stream: 1, or -1 when the stream has failed (a
// full chunk could not be stored, or a value cannot be coded).
int adBitWriteBit(int bit);
int adBitWriteBitFast(int bit);
int adBitWriteByte(std::uint8_t value);
int adBitWriteShort(std::int16_t value);
int adBitWriteLong(std::int32_t value);
int adBitWriteRawLong(std::int32_t value);
int adBitWriteDouble(double value);
int adBitWriteRawDouble(double value);
int adBitWriteRaw2D(const double point[2]);
int adBitWritePoint2D(const double point[2]);
// Two BD, where adBitWriteRaw2D and adBitWritePoint2D write two RD.
int adBitWrite2BD(const double point[2]);
int adBitWrite3D(const double point[3]);
int adBitWriteDefDouble(double value, double defaultValue);
int adBitWriteDefPoint3D(const double point[3], const double defaultPoint[3]);
int adBitWriteOptionalDouble(const double values[3]);
int adBitWriteFlaggedPoints(const double start[3], const double end[3]);
int adBitWriteThickness(double value);
int adBitWriteExtrusion(const double vector[3]);
// At most 0xFFFF bytes.
int adBitWriteText(const char* text);
// code is in the high nibble: 0x40 soft pointer, 0x50 hard pointer ...
int adBitWriteHandle(const AdHandle* handle, std::uint8_t code);
int adBitWriteHandleRef(const AdHandleEntry* entry);
int adBitWriteRelHandle(const AdHandle* ref, const AdHandle* base, std::uint8_t code);
int adBitWriteBytes(const void* bytes, std::int32_t count);
// The fields TEXT, ATTRIB and ATTDEF of AC1012 and AC1014 share after the
// insertion point: alignment 2RD, extrusion 3BD, thickness, oblique angle,
// rotation, height and width factor BD.
int adBitWriteTextGeometry(const AdEntityHeader* header, const AdTextFields* fields);
// A graphics block kept in a store; a block whose commands do not exactly
// fill it is refused.
int adBitCopyStore(AdStore* store);
// Whether adBitCopyStore would take the store.
bool adBitStoreCopyable(AdStore* store);

// Modular numbers: a handle in at most 10 bytes, a signed value in at most 5.
void adModularHandle(std::uint8_t out[10], const AdHandle* handle, std::int32_t* length);
void adModularLong(std::uint8_t out[5], std::int32_t value, std::int32_t* length);

// Makes the drawing's bit stream current and starts a record in the write
// buffer; 0 when the drawing has no bit stream or there is no write buffer.
int adBitBufferReset(AdDrawing* drawing, std::int32_t start);
// The same for a record written at the current position of the drawing's
// file, which a writer points at its output.
int adBitBufferBegin(AdDrawing* drawing);
// Appends count bytes of the write buffer to the drawing's chunk store.
int adBitChunkFlush(AdDrawing* drawing, std::int32_t count);

// The in-memory encoder: records bit-coded into a store. Each writer answers
// 1, or 0 when the store could not take the bytes.
int adEncodeBegin(AdDrawing* drawing);
int adEncodeText(const char* text);
int adEncodeBytes(const void* bytes, std::int32_t count);  // at most 0xFFFF
int adEncodeHandle(const AdHandle* handle);
int adEncodeLong(std::int32_t value);
int adEncodeShort(std::int16_t value);
int adEncodeDouble(double value);
int adEncodePoint3D(const double point[3]);
// The store with the record, and its length in bits; null on failure.
AdStore* adEncodeEnd(AdDrawing* drawing, std::int32_t* bits);

// A store of bit-coded data made the bit reader's current stream; the reads
// of the bit reader then take its bytes and fail past its end. Close puts
// back the stream that was current before.
struct AdBitStoreRead {
    AdBitStream stream;
    AdBitStream* saved;
    AdDrawing* savedDrawing;
    std::uint8_t open;
};
int adBitStoreReadOpen(AdBitStoreRead* read, AdStore* store);
void adBitStoreReadClose(AdBitStoreRead* read);

// CRC-16/ARC from a seed (0, or 0xC0C1 for the sections and objects of
// bit-coded files), no final XOR.
std::uint16_t adCrc16(std::uint16_t seed, const void* bytes, std::int32_t count);
// Stores adCrc16(0, record, size - 2) XOR x little-endian in the record's last
// two bytes and answers it; 0 and nothing stored for a record below 2 bytes.
std::uint16_t adCrcStamp(void* record, std::int32_t size, std::uint16_t x);

int adBitCount(std::int32_t mask);  // bits set among the four lowest
void adHandleSwapBytes(AdHandle* handle);

int adStreamWriteMlineElement(AdStream* stream, const AdMlineElement* element);
int adStreamReadPoint2D(AdStream* stream, double point[2]);
// count raw bytes from the current bit reader into the stream.
int adStreamCopyFromBits(AdStream* stream, std::int32_t count);

// Header variables that name a table record, as slots of
// AdGlobalState::headerNames (in name order).
enum AdHeaderNameSlot : std::int16_t {
    AD_HEADER_NAME_CELTYPE,
    AD_HEADER_NAME_CLAYER,
    AD_HEADER_NAME_CMLSTYLE,
    AD_HEADER_NAME_DIMSTYLE,
    AD_HEADER_NAME_DIMTXSTY,
    AD_HEADER_NAME_PUCSBASE,
    AD_HEADER_NAME_PUCSNAME,
    AD_HEADER_NAME_PUCSORTHOREF,
    AD_HEADER_NAME_TEXTSTYLE,
    AD_HEADER_NAME_UCSBASE,
    AD_HEADER_NAME_UCSNAME,
    AD_HEADER_NAME_UCSORTHOREF,
    AD_HEADER_NAME_COUNT
};
constexpr std::size_t AD_HEADER_NAME_SIZE = 512;

// Table indexes that a fixed DWG header gives, as slots of
// AdGlobalState::headerIndexes. A linetype index of 0x7FFF stands for BYLAYER,
// 0x7FFE for BYBLOCK.
enum AdHeaderIndexSlot : std::int16_t {
    AD_HEADER_INDEX_LAYER,
    AD_HEADER_INDEX_LINETYPE,
    AD_HEADER_INDEX_TEXTSTYLE,
    AD_HEADER_INDEX_DIMSTYLE,
    AD_HEADER_INDEX_UCS,
    AD_HEADER_INDEX_PAPER_UCS,
    AD_HEADER_INDEX_COUNT
};
constexpr std::int16_t AD_LINETYPE_INDEX_BYLAYER = 0x7FFF;
constexpr std::int16_t AD_LINETYPE_INDEX_BYBLOCK = 0x7FFE;

// How a descriptor's value is stored (the low byte of AdHeaderVarDesc::type).
enum AdHeaderVarType : std::int16_t {
    AD_HV_BYTE = 0,       // low byte of the integer value
    AD_HV_INT16 = 1,
    AD_HV_DOUBLE = 2,
    AD_HV_POINT2 = 3,     // x from the value, y from a later coordinate
    AD_HV_POINT3 = 4,     // x from the value, y and z from later coordinates
    AD_HV_TEXT = 5,       // at most length - 1 bytes, then NUL
    AD_HV_DATE = 6,       // Julian day and fraction as an AdJulianDate
    AD_HV_USERI = 7,      // element `length` of the int16 array
    AD_HV_USERR = 8,      // element `length` of the double array
    AD_HV_HANDLE = 9,     // hexadecimal text
    AD_HV_CODE_PAGE = 10  // code-page name; 0 when no page has that name
};
// Set in the high byte when the field lies in AdGlobalState (the name slots).
constexpr std::int16_t AD_HV_IN_GLOBALS = 0x100;

// One header variable: its name without "$", upper case; the position of its
// field in AdHeaderVars (or AdGlobalState); its type; the text length, the
// array index, 8 for the handle, 0 otherwise.
struct AdHeaderVarDesc {
    const char* name;
    std::int16_t offset;
    std::int16_t type;
    std::int32_t length;
};

// The variables with a field in the block, and those that name a table
// record; each sorted by name as adStrCompareNoCase orders them.
constexpr int AD_HEADER_VAR_COUNT = 214;
extern const AdHeaderVarDesc adHeaderVarDescs[AD_HEADER_VAR_COUNT];
extern const AdHeaderVarDesc adHeaderNameVarDescs[AD_HEADER_NAME_COUNT];

// Fills the block with the defaults of a new drawing; $DWGCODEPAGE is the
// toolkit's current code page. 0 for a null block.
int adHeaderDefaults(AdHeaderVars* header);
// The descriptor of a variable named without "$", in any letter case: first
// among the block's variables, then among the name-valued ones; null when
// the variable is unknown.
const AdHeaderVarDesc* adHeaderVarFind(const char* name);
// Stores one DXF header value by its descriptor's type: integer for bytes,
// int16 and USERI; real for doubles, dates, USERR and the x of points; text
// for texts, handles, code pages and name slots. A handle text that does not
// parse leaves the handle as it was. 0 for a null argument or an unknown type.
int adHeaderStoreValue(AdHeaderVars* header, const AdHeaderVarDesc* desc, std::int16_t integer, double real,
                       const char* text);
// Stores coordinate axis (1 y, 2 z) of a point variable; 0 when the variable
// has no such coordinate.
int adHeaderStoreCoordinate(AdHeaderVars* header, const AdHeaderVarDesc* desc, int axis, double value);
// The DXF vocabulary shared by the DXF reader and writer.
enum AdDxfKeyword : std::int16_t {
    AD_KW_ENTITY_FIRST = 0,  // entity type t at t - 1
    AD_KW_HEADER = 35,
    AD_KW_HEADER_VAR_FIRST = 36,  // in the order the writer emits them
    AD_KW_HEADER_VAR_COUNT = 220,
    AD_KW_ENDSEC = 256,
    AD_KW_SECTION,
    AD_KW_TABLES,
    AD_KW_BLOCKS,
    AD_KW_BLOCK_RECORD,
    AD_KW_GROUP,
    AD_KW_ENTITIES,
    AD_KW_TABLE,
    AD_KW_ENDTAB,
    AD_KW_EOF,
    AD_KW_LAYER,
    AD_KW_UCS,
    AD_KW_APPID,
    AD_KW_DIMSTYLE,
    AD_KW_VPORT,
    AD_KW_LTYPE,
    AD_KW_STYLE,
    AD_KW_VIEW,
    AD_KW_MLINESTYLE,
    AD_KW_CLASS,
    AD_KW_CLASSES,
    AD_KW_OBJECTS,
    AD_KW_DICTIONARY,
    AD_KW_ACAD_ZOMBIE_OBJECT,
    AD_KW_ACAD_PROXY_OBJECT,
    AD_KW_XRECORD,
    AD_KW_DIMASSOC,
    AD_KW_IDBUFFER,
    AD_KW_IMAGEDEF_REACTOR,
    AD_KW_IMAGEDEF,
    AD_KW_RASTERVARIABLES,
    AD_KW_SORTENTSTABLE,
    AD_KW_DICTIONARYVAR,
    AD_KW_SPATIAL_FILTER,
    AD_KW_SPATIAL_INDEX,
    AD_KW_LAYER_INDEX,
    AD_KW_OBJECT_PTR,
    AD_KW_ACDBDICTIONARYWDFLT,
    AD_KW_ACDBPLACEHOLDER,
    AD_KW_LAYOUT,
    AD_KW_PLOTSETTINGS,
    AD_KW_VBA_PROJECT,
    AD_KW_WIPEOUTVARIABLES,
    AD_KW_REAL_FORMAT_9,   // "%.9f"
    AD_KW_REAL_FORMAT_10,  // "%.10f"
    AD_KW_STANDARD,
    AD_KW_MODE_READ,   // "rb"
    AD_KW_MODE_WRITE,  // "wb"
    // Line formats, each ending in CR LF.
    AD_KW_LINE_D,
    AD_KW_LINE_E,
    AD_KW_LINE_ZERO_REAL,
    AD_KW_LINE_TEXT,
    AD_KW_LINE_INT32,  // a std::int32_t in 9 columns
    AD_KW_LINE_INT,    // an int in 3 columns
    AD_KW_LINE_CHAR,
    AD_KW_LINE_UNNAMED,
    AD_KW_COUNT
};
extern const char* const AdDxfKeywordTable[AD_KW_COUNT];

// Entity names of types 1 to 35: the name, "" for a type without one, null
// outside. The type of an entity name (exact), 0 when none.
const char* adDxfEntityName(std::uint16_t type);
std::uint16_t adDxfEntityType(const char* name);

// The DXF name of one record of each table or object kind, and the kind of a
// record name (exact), -1 when none.
constexpr int AD_DXF_RECORD_KIND_COUNT = 12;
const char* adDxfRecordKindName(int kind);
int adDxfRecordKind(const char* name);

// ===== SAT data storage coding =====
// A restored SAT line holds at most this many characters with its line end;
// a line buffer holds AD_SAT_LINE_SIZE + 1 bytes (the text stays terminated).
constexpr std::int32_t AD_SAT_LINE_SIZE = 2048;
// Every coded block but the last holds this many bytes.
constexpr std::uint32_t AD_SAT_BLOCK_SIZE = 4096;

// Results of adSatDecodeProxy.
enum AdSatResult : std::int32_t {
    AD_SAT_DONE = 0,            // the last block was restored
    AD_SAT_SOURCE_ENDED = -1,   // the source ended inside the data, or a block claims more than it holds
    AD_SAT_LINE_TOO_LONG = -2,  // a line reached AD_SAT_LINE_SIZE characters without its end
    AD_SAT_TARGET_FAILED = -3,  // the target stream did not take a line
};

// The SAT character of one coded byte: 159 - byte on 33..126, else the byte.
std::uint8_t adSatRestoreByte(std::uint8_t coded);

// Restores the SAT text of an ADPART proxy from the read stream over its data
// bits and writes it, line by line, to the target stream. The target keeps the
// lines written before a failure; a last line without a line end is written
// as it stands.
std::int32_t adSatDecodeProxy(AdStream* source, AdStream* target);

// The line builders below answer 1; 0 when the line buffer is full (the
// character was the AD_SAT_LINE_SIZE-th without a line end); -1 when the
// target did not take a finished line. line and length are the line so far.
// value is a coded byte rotated left by two bits.
int adSatDecodeRotated(AdStream* target, std::uint8_t value, char* line, std::int32_t* length);
int adSatDecodeByte(AdStream* target, std::uint8_t byte, char* line, std::int32_t* length);
// Appends ch; a carriage return or line feed fixes the line up, ends it and
// writes it to the target.
int adSatPutChar(AdStream* target, std::uint8_t ch, char* line, std::int32_t* length);

// Removes the token that follows "-surface $" and its pointer, or "-curve $"
// and its pointer, or "point $", its pointer and three more tokens: the first
// of these that the line holds with a space after that token. 1 when a token
// was removed, 0 when the line stays as it was.
int adSatFixLine(char* line, std::int32_t* length);

// Reads a little-endian 32-bit value whose first bit is bit `shift` (from the
// most significant end) of *hand, the source byte in hand; with shift 0 the
// value starts with the next source byte. *hand becomes the last byte read.
// 0 when the source ends first.
int adSatReadShifted32(AdStream* source, std::uint32_t* out, std::int32_t shift, std::uint8_t* hand);

// Line weights by their 5-bit code in a file, in hundredths of a millimetre
// (-1 BYLAYER, -2 BYBLOCK, -3 default); 0 for a code outside 0..31.
std::int16_t adLineweightFromIndex(std::int32_t code);

// The first code of the line-weight table whose value is weight (0 gives 0,
// -1 gives 28); -1 when no code has it.
std::int32_t adLineweightIndex(std::int16_t weight);
