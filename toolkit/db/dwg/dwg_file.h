// What the DWG open keeps about a bit-coded file for the readers that follow
// it: where the sections lie, the object map's index, the preview images.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

// Section locators taken by position.
enum AdDwgSectionIndex : std::int32_t {
    AD_DWG_SECTION_HEADER = 0,
    AD_DWG_SECTION_CLASSES = 1,
    AD_DWG_SECTION_OBJECT_MAP = 2,
    AD_DWG_SECTION_UNUSED = 3,
    AD_DWG_SECTION_MEASUREMENT = 4,
    AD_DWG_SECTION_COUNT
};

struct AdDwgSection {
    std::int32_t offset;
    std::int32_t size;
};

constexpr std::int32_t AD_DWG_SAMPLE_COUNT = 512;

// One slot of the sample table over the object index.
struct AdDwgSample {
    AdHandle handle;
    std::int32_t position;  // of the entry in the index
};

// Preview flags.
constexpr std::uint8_t AD_DWG_PREVIEW_BMP = 1;
constexpr std::uint8_t AD_DWG_PREVIEW_WMF = 2;

// Viewport numbers go by position among the first headers of the chain.
constexpr std::int32_t AD_R12_CHAIN_SIZE = 16;

struct AdDwgFile {
    std::int64_t fileLength;
    std::uint8_t maintenanceVersion;
    std::int16_t codePage;
    std::int32_t previewOffset;
    std::int32_t locatorCount;
    AdDwgSection sections[AD_DWG_SECTION_COUNT];
    // The object index: per map entry in handle order, a byte n, the n
    // significant handle bytes, the 4-byte file offset.
    AdStore* index;
    AdStream* indexReader;  // positioned after the last entry read
    std::int32_t entryCount;
    AdDwgSample samples[AD_DWG_SAMPLE_COUNT];
    AdHandle lastHandle;  // FF x 8 after a failed search
    std::int32_t lastOffset;
    AdHandle currentObject;  // the object the file was last positioned at
    std::int32_t objectsStart;  // file offset of the first control object
    AdHandle vportEntityHeader;  // the current viewport-entity header
    // Fixed-header files (AC1002 to AC1009): the entities, blocks and
    // extras sections as the header gives them (start and end offsets).
    std::int32_t entitiesStart;
    std::int32_t entitiesEnd;
    std::int32_t blocksStart;
    std::int32_t blocksEnd;
    std::int32_t extrasStart;
    std::int32_t extrasEnd;
    // Fixed-header files: the ten table descriptors (AdTableControl order),
    // the file offset of each table's next record, the header's
    // viewport-entity header index, and the file offsets of the chain of
    // viewport-entity headers (the first AD_R12_CHAIN_SIZE of it).
    struct AdR12Table {
        std::int16_t size;
        std::int32_t count;
        std::int32_t offset;
    } fixedTables[AD_TABLE_CONTROL_COUNT];
    std::int64_t fixedNext[AD_TABLE_CONTROL_COUNT];
    std::int16_t formatWord;
    std::uint8_t truncated;  // the file ends inside its blocks section
    std::int16_t vportEntityIndex;
    std::int32_t chainOffsets[AD_R12_CHAIN_SIZE];
    std::int32_t chainLength;
    std::int32_t vportEntitiesRead;  // since the table was begun
    AdStore* previewBmp;
    AdStore* previewWmf;
    std::uint8_t previewFlags;
    // The bit stream of a drawing that came without one.
    AdBitStream bits;
};

// Frees the stores the state holds and clears it.
void adDwgClearFileState(AdDwgFile* dwg);
// Gives the drawing being opened its reader state, cleared (null when memory
// runs out); the drawing's bit stream is the state's when it has none of its own.
AdDwgFile* adDwgBeginFile(AdDrawing* drawing);
// The drawing's reader state, null when it has none.
AdDwgFile* adDwgFileOf(const AdDrawing* drawing);
// Frees the drawing's reader state (and its bit stream when it is the state's).
void adDwgReleaseFile(AdDrawing* drawing);

// Sets the error code and answers 0.
int adDwgFail(std::int32_t code);

// A little-endian 32-bit value from four bytes.
std::int32_t adDwgLittle32(const std::uint8_t* bytes);
// Little-endian values straight from a file; 0 on a short read.
int adDwgReadRawByte(HostFile* file, std::uint8_t* value);
int adDwgReadRawShort(HostFile* file, std::uint16_t* value);
int adDwgReadRawLong(HostFile* file, std::int32_t* value);
// 1 when count bytes from offset lie inside a file of that length.
bool adDwgInFile(std::int64_t offset, std::int64_t count, std::int64_t fileLength);
// Copies size file bytes from offset into the store, in pieces.
int adDwgCopyToStore(HostFile* file, AdStore* store, std::int32_t offset, std::int32_t size);
// The CRC of count file bytes from offset, continued from seed.
int adDwgFileCrc(HostFile* file, std::int32_t offset, std::int32_t count, std::uint16_t* crc);

// The version index of a file's six lead bytes, -1 when unknown: the
// pre-release "AC1013" (*preRelease set) stands for AC1014, "AC1500" for
// AC1015.
int adDwgLeadVersion(const char* lead, bool* preRelease);
// The file header of a bit-coded file: the locators, each checked against
// the file's length. 1, or 0 with error 186.
int adDwgReadFileHeader(HostFile* file, AdDwgFile* dwg);
// Reads the header section's data into the read buffer; its size (below
// 32 KB) in *size. 1, or 0 with error 186.
int adDwgLoadHeaderSection(HostFile* file, const AdDwgFile* dwg, std::int32_t* size);

// Reads the object map into the index and builds the sample table; 1, or 0
// with the error code set (186 a malformed map, 218 no memory). With checkCrc
// each map section's CRC is compared (202).
int adDwgReadObjectMap(HostFile* file, AdDwgFile* dwg, bool checkCrc);
// Reads the next entry of the index; 0 at its end or on a bad entry.
int adDwgNextIndexEntry(AdDwgFile* dwg, AdHandle* handle, std::int32_t* offset);

// The size words in front of an object's data.
struct AdDwgFraming {
    std::int32_t words;       // bytes of the size words
    std::int32_t size;        // data bytes
    std::int32_t firstPiece;  // data bytes of the first piece
    std::int16_t pieces;
};
// Reads the size words at the file position; 0 on a short read or a size
// beyond two words.
int adDwgReadFraming(HostFile* file, AdDwgFraming* framing);

// Puts the drawing's bit stream, made current, over size bytes of the read
// buffer that start at file offset dataOffset.
AdBitStream* adDwgBitStreamOver(AdDrawing* drawing, std::int32_t dataOffset, std::int32_t size);
// The bits taken so far from the current object's data.
std::int64_t adDwgBitsTaken();

// The header variables of the bit-coded header section, from the current
// bit stream; 1, or 0 when the section ran short or held a bad value.
int adDwgReadHeaderVars(AdDrawing* drawing, AdDwgFile* dwg);
// The preview images; 1, or 0 with the error code set.
int adDwgReadPreview(HostFile* file, AdDwgFile* dwg);
