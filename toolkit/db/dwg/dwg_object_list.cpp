// The OBJECTS section of AC1012 and later files: the handles of the objects
// no earlier stage loaded, walked in handle order, each looked at before it
// is handed to its reader.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {
constexpr std::int16_t kDictionary = 42;
constexpr std::int16_t kGroup = 72;
constexpr std::int16_t kMlineStyle = 73;
constexpr std::int16_t kXrecordAc1015 = 79;
constexpr std::int16_t kLastFixedType = 497;
constexpr std::int32_t kPeekBytes = 3;

bool isSpaceObject(const AdDrawing* drawing, const AdHandle& handle) {
    const AdHandle* fixed[] = {&drawing->modelSpaceBlockEntity, &drawing->modelSpaceEndblkEntity,
                               &drawing->paperSpaceBlockEntity, &drawing->paperSpaceEndblkEntity,
                               &drawing->namedObjectDictionary};
    for (const AdHandle* h : fixed)
        if (adHandleCompare(h, &handle) == 0) return true;
    for (const AdHandle& control : drawing->tableControls)
        if (adHandleCompare(&control, &handle) == 0) return true;
    return false;
}

// The object's type from its first data bytes, the file left where it was.
int peekType(AdDrawing* drawing, std::int16_t* type) {
    HostFile* file = drawing->file;
    const std::int64_t position = HostTell(file);
    AdDwgFraming framing{};
    std::uint8_t b[kPeekBytes] = {};
    const bool ok = position >= 0 && adDwgReadFraming(file, &framing) && framing.size >= kPeekBytes &&
                    HostRead(b, 1, kPeekBytes, file) == kPeekBytes;
    if (HostSeek(file, position, SEEK_SET) != 0 || !ok) return 0;
    const int low = ((b[0] & 0x3F) << 2) | (b[1] >> 6);
    const int high = ((b[1] & 0x3F) << 2) | (b[2] >> 6);
    switch (b[0] >> 6) {
    case 0: *type = static_cast<std::int16_t>(low | (high << 8)); break;
    case 1: *type = static_cast<std::int16_t>(low); break;
    case 2: *type = 0; break;
    default: *type = 256; break;
    }
    return 1;
}

bool isEntityClass(AdDrawing* drawing, std::int16_t type) {
    if (adDwgIsEntityClass(drawing, type)) return true;
    const std::int32_t index = type - AD_FIRST_CLASS_NUMBER;
    return index >= 0 && drawing->classTable && index < adClassCount(drawing) && drawing->classTable[index] != 0;
}

// The type code the loader is to read the object as; 0 to pass it over.
std::int16_t readableType(AdDrawing* drawing, std::int16_t type) {
    const bool ac1015 = drawing->version >= AD_DWG_AC1015;
    if (ac1015 && type == kXrecordAc1015) type = adClassNumXrecord(drawing);
    switch (type) {
    case kDictionary: return AD_OBJECT_DICTIONARY;
    case kMlineStyle: return AD_OBJECT_MLINESTYLE;
    case kGroup: return AD_OBJECT_GROUP;
    default: break;
    }
    if (type <= 0 || type <= kLastFixedType || isEntityClass(drawing, type)) return 0;
    return type;
}

// Reads the object's start once: an object that cannot be read is noted
// and passed over, so one damaged object does not end the section.
bool readable(AdDrawing* drawing, const AdHandle& handle) {
    const std::int32_t stage = adGlobals->errorCode;
    const std::int64_t position = HostTell(drawing->file);
    AdObjectHeader header{};
    std::uint8_t xdataFlag = 0;
    AdStore* graphics = nullptr;
    const bool ok = adDwgReadObjectStart(drawing, &header.handle, &xdataFlag, 0, &graphics) != 0 &&
                    adHandleCompare(&header.handle, &handle) == 0;
    if (!ok) adNoteSkippedRecord(drawing, AD_ERR_DWG_OBJECT_CRC, handle);
    adGlobals->errorCode = stage;
    return HostSeek(drawing->file, position, SEEK_SET) == 0 && ok;
}
}  // namespace

int adDwgBeginObjects(AdDrawing* drawing) {
    AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || !dwg->indexReader || adIsFixedRecordDwg(drawing)) return 0;
    AdStore* store = nullptr;
    AdStream* out = nullptr;
    if (!adDwgOpenStore(&store, &out)) return 0;
    bool ok = adStreamWrite(out, drawing->namedObjectDictionary.b, 8) != 0;
    // The object map's reader is put back where the seeks left it.
    const std::int32_t mark = adStreamTell(dwg->indexReader);
    adStreamRewind(dwg->indexReader);
    AdHandle handle{};
    std::int32_t offset = 0;
    // The index has one entry per object; each pass takes one. Most objects
    // were loaded already, so the handle index answers first.
    while (ok && adDwgNextIndexEntry(dwg, &handle, &offset))
        if (!adHandleIndexFind(drawing, &handle) && !isSpaceObject(drawing, handle))
            ok = adStreamWrite(out, handle.b, 8) != 0;
    const AdHandle end{};
    ok = ok && adStreamWrite(out, end.b, 8);
    adStreamSeek(dwg->indexReader, mark);
    if (!adDwgCloseStore(&store, out, ok)) return 0;
    return adDwgOpenLoadList(drawing, store) ? 1 : 0;
}

int adDwgNextObject(AdDrawing* drawing) {
    AdHandle handle{};
    // Each pass takes one handle of the list, which a null handle ends.
    while (drawing->loadStream && adStreamRead(drawing->loadStream, handle.b, 8) && adHandleLength(&handle) > 0) {
        std::int16_t type = 0;
        if (!adDwgSeekObject(drawing, &handle) || !peekType(drawing, &type)) {
            adNoteSkippedRecord(drawing, AD_ERR_DWG_OBJECT_CRC, handle);
            continue;
        }
        const std::int16_t readAs = readableType(drawing, type);
        if (readAs != 0 && readable(drawing, handle)) return readAs;
        // An entity that no entity chain reached is not loaded here either
        // (some files also mark object classes as entity classes): it is
        // noted, so that what refers to it is seen to dangle.
        if (readAs == 0 && type > kLastFixedType && isEntityClass(drawing, type))
            adNoteSkippedRecord(drawing, AD_ERR_DWG_ENTITY_CHAIN, handle);
    }
    return 0;
}
