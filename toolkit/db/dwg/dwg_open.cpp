// The open operation of the DWG reader: the file is checked, its version
// taken, its header variables read and, for bit-coded files, everything the
// later readers need to find objects by handle set up; fixed-header files
// take their own branch.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dimension_unit.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>
#include <initializer_list>

namespace {
constexpr std::size_t kVersionLength = 6;

// The version from the lead text; -1 with the error set when the file
// cannot be read as any.
std::int16_t readVersion(HostFile* file, AdHeaderVars* header) {
    std::memset(header->acadver, 0, sizeof header->acadver);
    bool preRelease = false;
    const int version = HostSeek(file, 0, SEEK_SET) == 0 &&
                                HostRead(header->acadver, 1, kVersionLength, file) == kVersionLength
                            ? adDwgLeadVersion(header->acadver, &preRelease)
                            : -1;
    if (version < 0) {
        adSetError(AD_ERR_UNSUPPORTED_VERSION);
        return -1;
    }
    if (preRelease && !adGlobals->acceptPreRelease) {
        adSetError(AD_ERR_PRE_RELEASE);
        return -1;
    }
    return static_cast<std::int16_t>(version);
}

int requiredHandlesPresent(const AdDrawing* drawing) {
    const AdHandle* required[] = {&drawing->namedObjectDictionary, &drawing->modelSpaceBlock,
                                  &drawing->paperSpaceBlock, &drawing->byLayerLtype, &drawing->byBlockLtype};
    for (const AdHandle& control : drawing->tableControls)
        if (adHandleLength(&control) == 0) return 0;
    for (const AdHandle* handle : required)
        if (adHandleLength(handle) == 0) return 0;
    return 1;
}

// The unit system stands in the byte that follows a 16-bit skip count.
int readMeasurement(HostFile* file, const AdDwgFile* dwg, AdHeaderVars* header) {
    const std::int64_t start = dwg->sections[AD_DWG_SECTION_MEASUREMENT].offset;
    std::uint16_t skip = 0;
    std::uint8_t value = 0;
    if (!adDwgInFile(start, 2, dwg->fileLength) || HostSeek(file, start, SEEK_SET) != 0 ||
        !adDwgReadRawShort(file, &skip) || !adDwgInFile(start + 2 + skip, 1, dwg->fileLength) ||
        HostSeek(file, start + 2 + skip, SEEK_SET) != 0 || !adDwgReadRawByte(file, &value)) {
        adSetError(AD_ERR_DWG_SECTION_RANGE);
        return 0;
    }
    header->measurement = value;
    return 1;
}

// Each table's control object: its entries are counted, null ones left out.
int readControlObjects(AdDrawing* drawing, AdDwgFile* dwg) {
    for (int i = 0; i < AD_TABLE_CONTROL_COUNT; ++i) {
        const AdHandle* control = &drawing->tableControls[i];
        const int extraByte = drawing->version >= AD_VERSION_AC1015 && i == AD_CONTROL_DIMSTYLE;
        std::int32_t count = 0;
        if (!adDwgReadControlObject(drawing, control, &count, extraByte)) return 0;
        if (i == 0) dwg->objectsStart = dwg->lastOffset;
        std::int32_t present = 0;
        for (std::int32_t j = 0; j < count && adBitUsable(); ++j) {
            AdHandle entry{};
            adBitReadRelHandle(control, &entry);
            if (adHandleLength(&entry) > 0) ++present;
        }
        if (!adBitUsable()) {
            adSetError(AD_ERR_DWG_OBJECT_CRC);
            return 0;
        }
        drawing->tableEntryCounts[i] = present;
    }
    // The BYLAYER and BYBLOCK linetypes are listed apart from the entries.
    drawing->tableEntryCounts[AD_CONTROL_LTYPE] += 2;
    return 1;
}

int openBitCoded(AdDrawing* drawing) {
    HostFile* file = drawing->file;
    AdHeaderVars* header = drawing->header;
    AdDwgFile* dwg = adDwgBeginFile(drawing);
    if (!dwg) return 0;
    std::int32_t headerSize = 0;
    if (!adDwgReadFileHeader(file, dwg) || !adDwgLoadHeaderSection(file, dwg, &headerSize)) return 0;
    header->acadmaintver = drawing->version < AD_VERSION_AC1015 ? (dwg->maintenanceVersion & 1) : dwg->maintenanceVersion;
    header->dwgcodepage = dwg->codePage;
    adDwgBitStreamOver(drawing, dwg->sections[AD_DWG_SECTION_HEADER].offset + AD_DWG_SENTINEL_SIZE + 4, headerSize);
    if (!adDwgReadHeaderVars(drawing, dwg)) {
        adSetError(AD_ERR_HEADER_REJECTED);
        return 0;
    }
    if (!requiredHandlesPresent(drawing)) {
        adSetError(AD_ERR_DWG_HANDLE_MISSING);
        return 0;
    }
    if (drawing->version >= AD_VERSION_AC1014 && !readMeasurement(file, dwg, header)) return 0;
    return adDwgReadPreview(file, dwg) && adDwgReadObjectMap(file, dwg, false) && readControlObjects(drawing, dwg) &&
           adDwgReadSpaceBlocks(drawing) && adDwgFindMlineStyles(drawing);
}
}  // namespace

int adDwgReadHeader(AdDrawing* drawing) {
    if (!adGlobals) return 0;
    if (!drawing || !drawing->file || !drawing->header) {
        adSetError(AD_ERR_HEADER_REJECTED);
        return 0;
    }
    if (adDwgCheckFile(drawing->file, AD_DWG_CHECK_QUICK)) return 0;
    adHeaderDefaults(drawing->header);
    for (std::int16_t slot : {AD_HEADER_INDEX_DIMSTYLE, AD_HEADER_INDEX_UCS, AD_HEADER_INDEX_PAPER_UCS})
        adGlobals->headerIndexes[slot] = -1;
    const std::int16_t version = readVersion(drawing->file, drawing->header);
    if (version < 0) return 0;
    drawing->version = version;
    adSetError(AD_ERR_HEADER_REJECTED);
    const bool fixed = version < AD_VERSION_FIRST_BITCODED;
    if (!(fixed ? adR12Open(drawing) : openBitCoded(drawing))) return 0;
    if (!fixed && version < AD_VERSION_AC1015) adDimUnitToAc1015(drawing->header);
    drawing->visRetain = drawing->header->visretain;
    adSetError(AD_OK);
    return 1;
}
