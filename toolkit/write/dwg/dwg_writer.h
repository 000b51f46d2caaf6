// The bit-coded DWG writer of AC1012, AC1014 and AC1015: the state of one
// file being written, record framing, the object map and the sections around
// the object data. Internal to the writers.
#pragma once
#include "toolkit/write/writer.h"
#include "toolkit/db/dwg/dwg_entity_read.h"

#include <cstdint>
#include <vector>

// Handle reference codes, in the high nibble as the bit writer takes them.
constexpr std::uint8_t AD_REF_SOFT_OWNER = 0x20;
constexpr std::uint8_t AD_REF_HARD_OWNER = 0x30;
constexpr std::uint8_t AD_REF_SOFT_POINTER = 0x40;
constexpr std::uint8_t AD_REF_HARD_POINTER = 0x50;

// Object types of the symbol tables, controls and fixed objects.
enum AdDwgObjectType : std::int16_t {
    AD_DWG_DICTIONARY = 42,
    AD_DWG_BLOCK_CONTROL = 48,
    AD_DWG_BLOCK_HEADER = 49,
    AD_DWG_LAYER_CONTROL = 50,
    AD_DWG_LAYER = 51,
    AD_DWG_STYLE_CONTROL = 52,
    AD_DWG_STYLE = 53,
    AD_DWG_LTYPE_CONTROL = 56,
    AD_DWG_LTYPE = 57,
    AD_DWG_VIEW_CONTROL = 60,
    AD_DWG_VIEW = 61,
    AD_DWG_UCS_CONTROL = 62,
    AD_DWG_UCS = 63,
    AD_DWG_VPORT_CONTROL = 64,
    AD_DWG_VPORT = 65,
    AD_DWG_APPID_CONTROL = 66,
    AD_DWG_APPID = 67,
    AD_DWG_DIMSTYLE_CONTROL = 68,
    AD_DWG_DIMSTYLE = 69,
    AD_DWG_VPORT_ENTITY_CONTROL = 70,
    AD_DWG_VPORT_ENTITY = 71,
};

// One entry of the object map: a record's handle and where it starts.
struct AdDwgMapEntry {
    AdHandle handle;
    std::int32_t offset;
};

// A viewport entity header: the VIEWPORT it belongs to (null for the one the
// drawing keeps for its current viewport) and the handle it is written under.
struct AdDwgVportMapEntry {
    AdHandle viewport;
    AdHandle header;
    std::int16_t id;   // the VIEWPORT's id; 0 when it is not in paper space
    std::uint8_t on;
};

// The handles that the header section and the second header name.
struct AdDwgHeaderHandles {
    AdHandle controls[AD_TABLE_CONTROL_COUNT];
    AdHandle root;
    AdHandle groupDictionary;
    AdHandle mlineStyleDictionary;
    AdHandle layoutDictionary;
    AdHandle plotSettingsDictionary;
    AdHandle plotStyleDictionary;
    AdHandle modelSpaceBlock;
    AdHandle paperSpaceBlock;
    AdHandle modelSpaceBlockEntity;
    AdHandle modelSpaceEndblk;
    AdHandle paperSpaceBlockEntity;
    AdHandle paperSpaceEndblk;
    AdHandle byLayerLtype;
    AdHandle byBlockLtype;
    AdHandle continuousLtype;
    AdHandle currentVportEntity;  // the header of the paper-space viewport with id 1
};

// Where the file's sections were written, for the locators.
struct AdDwgSections {
    std::int32_t headerAddress;
    std::int32_t headerSize;
    std::int32_t classesAddress;
    std::int32_t classesSize;
    std::int32_t mapAddress;
    std::int32_t mapSize;
    std::int32_t fixedAddress;  // the 53-byte section
    std::int32_t imageAddress;
    std::int32_t objectData;
};

// Everything one bit-coded write keeps; lives for one call of adDwgWriteR13.
struct AdDwgWriter {
    AdDrawing* source;
    AdOutputDrawing* output;
    AdSaveWork* work;
    std::int16_t version;
    AdBitStream bits;  // the records' bit stream, made current while writing
    // The record being written: where it goes, the bit offset of its
    // bit-size placeholder (-1 for none) and the bits up to its data's end.
    std::int32_t recordStart;
    std::int64_t sizePlaceholder;
    std::int64_t dataBits;
    AdHandle xrefBlock;  // the external-reference block of the table record being written
    std::vector<AdDwgMapEntry> map;
    std::vector<AdDwgVportMapEntry> vportMap;
    AdDwgHeaderHandles handles;
    AdDwgSections sections;
    std::int16_t zombieEntityClass;
    std::int16_t zombieObjectClass;
    // The last 2D POLYLINE's elevation and widths, which its vertices take.
    double polylineElevation;
    double polylineStartWidth;
    double polylineEndWidth;
};

inline bool adDwgWritesAc1015(const AdDwgWriter* writer) { return writer->version >= AD_VERSION_AC1015; }

// ----- Raw output -----
int adOutWriteShort(AdOutputDrawing* output, std::int16_t value);
int adOutWriteLong(AdOutputDrawing* output, std::int32_t value);
int adOutWriteDouble(AdOutputDrawing* output, double value);
// The output file's position; -1 when it cannot be told.
std::int32_t adOutTell(AdOutputDrawing* output);
// Writes count bytes at offset and returns to the end of the file.
int adOutPatch(AdOutputDrawing* output, std::int32_t offset, const void* bytes, std::int32_t count);

// ----- Record framing -----
// Makes the writer's bit stream current over the source drawing; restores
// the drawing's own stream when it goes.
class AdDwgBitScope {
public:
    explicit AdDwgBitScope(AdDwgWriter* writer);
    ~AdDwgBitScope();
    AdDwgBitScope(const AdDwgBitScope&) = delete;
    AdDwgBitScope& operator=(const AdDwgBitScope&) = delete;

private:
    AdDwgWriter* writer_;
    AdBitStream* saved_;
};

// Starts a record at the file's current position: type, bit-size
// placeholder, own handle, extended data and, for entities (hasGraphics),
// the graphics flag with the graphics store. 1 or 0.
int adDwgRecordBegin(AdDwgWriter* writer, std::int16_t type, const AdHandle* handle, AdStore* xdata,
                     AdStore* graphics, bool hasGraphics);
void adDwgMarkDataEnd(AdDwgWriter* writer);
// Writes the record (size, data with its bit size, CRC) and enters it in the
// object map under handle. 1 or 0.
int adDwgRecordEnd(AdDwgWriter* writer, const AdHandle* handle);
int adDwgWriteXdata(AdDwgWriter* writer, AdStore* xdata);
// The common handles of a table record.
int adDwgWriteTableHandles(AdDwgWriter* writer, const AdHandle* own, const AdHandle* owner,
                           const AdHandle* extensionDictionary, std::int32_t reactorCount, AdStore* reactors);
// The reactor handles of a store, each a soft pointer.
int adDwgWriteReactors(std::int32_t count, AdStore* reactors);
// A symbol name: as it stands for AC1015, legalised below it.
int adDwgWriteName(AdDwgWriter* writer, const char* name, std::int32_t index, std::int16_t limit);
// The bits the record holds so far.
std::int64_t adDwgBitPosition(const AdDwgWriter* writer);
// The data bytes of a bit section written outside a record (header section,
// CLASSES, second header): chunks and buffer, the last byte counted when
// partly used. Empty with the stream failed when the chunks cannot be read.
std::vector<std::uint8_t> adDwgTakeBits(AdDwgWriter* writer);

// Stored data bits, most significant first; stored handle references, each
// 8 bytes and its kind (1..4). 1, or 0 when the store cannot be read.
int adDwgCopyBits(AdStore* store, std::int32_t bits);
int adDwgWriteHandleRefs(AdStore* store, std::int32_t count);

// ----- Object map -----
int adObjectMapAdd(AdDwgWriter* writer, const AdHandle* handle, std::int32_t offset);
// Sorted sections of handle and offset deltas; 0 with AD_ERR_DWG_DUPLICATE
// for a handle written twice (kept as the offending handle), or after a
// failed write (the driver then reports AD_ERR_DWG_OBJECT_MAP).
int adObjectMapWrite(AdDwgWriter* writer);
// The modular-number bytes of one section, for tests and the writer: size
// (big-endian, counting itself), the pairs, the CRC (big-endian).
std::vector<std::uint8_t> adObjectMapSection(const std::vector<std::uint8_t>& pairs);

// ----- Sections -----
// A little-endian RL at bytes[at].
void adDwgPutLong(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value);
// A section of bit data as the header section and CLASSES are framed:
// sentinel, byte count, the data, CRC over count and data, end sentinel.
std::vector<std::uint8_t> adDwgFramedSection(const std::uint8_t* start, const std::vector<std::uint8_t>& data,
                                             const std::uint8_t* end);
int adDwgWriteFileHeader(AdDwgWriter* writer);
int adDwgWriteHeaderSection(AdDwgWriter* writer);
int adDwgWriteClasses(AdDwgWriter* writer);
int adDwgWriteClassEntry(AdDwgWriter* writer, const AdClassRecord* record);
int adDwgWriteGap(AdDwgWriter* writer);
int adDwgWriteFixedSection(AdDwgWriter* writer);
int adDwgWriteSecondHeader(AdDwgWriter* writer);
int adDwgWriteImage(AdDwgWriter* writer);
// Fills the locators and the file-header CRC.
int adDwgFinishFileHeader(AdDwgWriter* writer);

// ----- Tables and objects -----
int adDwgWriteTables(AdDwgWriter* writer, bool withControls);
int adDwgWriteTableControl(AdDwgWriter* writer, AdTableControl control);
int adDwgWriteVportEntityHeaders(AdDwgWriter* writer);
// Every block: its header record, its BLOCK and its ENDBLK entity.
int adDwgWriteBlocks(AdDwgWriter* writer);
int adDwgWriteBlockHeader(AdDwgWriter* writer, const AdBlockHeader* block, std::int32_t index,
                          const struct AdDwgBlockLinks* links);
int adDwgWriteDictionary(AdDwgWriter* writer, const AdObjectHeader* header, const AdDictionaryData* data,
                         const AdHandle* owner);
int adDwgWriteMlineStyle(AdDwgWriter* writer, const AdObjectHeader* header, const AdMlineStyleData* data,
                         const AdHandle* owner);
int adDwgWriteGroup(AdDwgWriter* writer, const AdObjectHeader* header, const AdGroupData* data,
                    const AdHandle* owner);
// The reactors an object's store really holds, at most its count.
std::int32_t adDwgObjectReactorCount(const AdObjectHeader* header);
// The record start of an object: type, own handle, extended data and the
// reactor count. 1 or 0.
int adDwgObjectBegin(AdDwgWriter* writer, std::int16_t type, const AdObjectHeader* header, AdStore* xdata);
// End of data, owner (null when none), reactors and the object's own
// extension dictionary.
int adDwgWriteObjectTail(AdDwgWriter* writer, const AdObjectHeader* header, const AdHandle* owner);
// Objects of class-numbered types: the known classes field by field, any
// other class (a proxy) from its stored data and references.
int adDwgWriteObject(AdDwgWriter* writer, const AdObjectHeader* header, const AdObjectData* data,
                     const AdHandle* owner);
// The type code an object of a class-numbered type is written under, and
// whether its extended data goes with it (a proxy that goes back to its own
// type leaves its round-trip data behind).
std::int16_t adDwgObjectType(AdDwgWriter* writer, const AdObjectHeader* header, bool* withXdata);
// Whether objects of the type are proxy objects (499 in a file).
bool adDwgIsProxyObject(const AdDrawing* source, std::int16_t type);
// The version index a proxy's round-trip data names by its version number.
std::int16_t adRoundTripVersionIndex(std::int32_t value);
int adDwgWritePlotSettingsData(const AdPlotSettingsData& data);
int adDwgWriteLayout(AdDwgWriter* writer, const AdObjectHeader* header, const AdLayoutData& data,
                     const AdHandle* owner);
int adDwgWriteDimAssoc(AdDwgWriter* writer, const AdObjectHeader* header, const AdDimAssocData& data,
                       const AdHandle* owner);
int adDwgWriteLayerIndex(AdDwgWriter* writer, const AdObjectHeader* header, const AdLayerIndexData& data,
                         const AdHandle* owner);
int adDwgWriteSpatialFilter(AdDwgWriter* writer, const AdObjectHeader* header, const AdSpatialFilterData& data,
                            const AdHandle* owner);
int adDwgWriteSpatialIndex(AdDwgWriter* writer, const AdObjectHeader* header, const AdSpatialIndexData& data,
                           const AdHandle* owner);

// What the block section found for one block header record.
struct AdDwgBlockLinks {
    AdHandle blockEntity;
    AdHandle endblk;
    AdHandle first;  // null when the block holds no entity
    AdHandle last;
    double basePoint[3];
    char xrefPath[AD_TABLE_NAME_SIZE];
};

// The whole file; 1 when it is complete and closed.
int adDwgWriteR13(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work);
