// Checking a DWG file before (quick) or instead of (full) reading it. The
// quick check makes sure the sections the open reads lie in the file; the
// full check compares the CRC of every section and of every object. Files
// with a fixed header take the fixed-header checks.
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>

namespace {
constexpr std::int32_t kLeadSize = 24;

// Compares the CRC over count bytes from offset, which the file stores
// little-endian right after them.
int rangeCrcMatches(HostFile* file, std::int32_t offset, std::int32_t count, std::uint16_t seed) {
    std::uint16_t crc = seed;
    std::uint16_t stored = 0;
    return adDwgFileCrc(file, offset, count, &crc) && adDwgReadRawShort(file, &stored) && crc == stored;
}

int headerCrcMatches(std::int32_t size) {
    const std::uint8_t* data = adGlobals->buffer128kA;
    const std::uint8_t sizeBytes[4] = {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                       static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
    const std::uint16_t crc = adCrc16(adCrc16(AD_DWG_CRC_SEED, sizeBytes, 4), data, size);
    return crc == (data[size] | (data[size + 1] << 8));
}

int classesCrcMatches(HostFile* file, const AdDwgFile* dwg) {
    const std::int64_t start = static_cast<std::int64_t>(dwg->sections[AD_DWG_SECTION_CLASSES].offset) + AD_DWG_SENTINEL_SIZE;
    std::int32_t size = 0;
    if (!adDwgInFile(start, 4, dwg->fileLength) || HostSeek(file, start, SEEK_SET) != 0 ||
        !adDwgReadRawLong(file, &size) || !adDwgInFile(start + 4, static_cast<std::int64_t>(size) + 2, dwg->fileLength))
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    if (!rangeCrcMatches(file, static_cast<std::int32_t>(start), size + 4, AD_DWG_CRC_SEED))
        return adDwgFail(AD_ERR_DWG_SECTION_CRC);
    return 1;
}

// Every object the map lists: its size words and data against its CRC.
int objectsMatch(HostFile* file, AdDwgFile* dwg) {
    adStreamRewind(dwg->indexReader);
    AdHandle handle{};
    std::int32_t offset = 0;
    for (std::int32_t i = 0; i < dwg->entryCount; ++i) {
        AdDwgFraming f{};
        if (!adDwgNextIndexEntry(dwg, &handle, &offset) || HostSeek(file, offset, SEEK_SET) != 0 ||
            !adDwgReadFraming(file, &f) ||
            !adDwgInFile(static_cast<std::int64_t>(offset) + f.words, static_cast<std::int64_t>(f.size) + 2,
                         dwg->fileLength) ||
            !rangeCrcMatches(file, offset, f.words + f.size, AD_DWG_CRC_SEED))
            return adDwgFail(AD_ERR_DWG_OBJECT_CRC);
    }
    return 1;
}

int checkBitCoded(HostFile* file, AdDwgFile* dwg, int mode) {
    std::int32_t headerSize = 0;
    if (!adDwgReadFileHeader(file, dwg) || !adDwgLoadHeaderSection(file, dwg, &headerSize)) return 0;
    if (mode == AD_DWG_CHECK_QUICK) return 1;
    if (!headerCrcMatches(headerSize)) return adDwgFail(AD_ERR_DWG_SECTION_CRC);
    return classesCrcMatches(file, dwg) && adDwgReadObjectMap(file, dwg, true) && objectsMatch(file, dwg);
}
}  // namespace

int adDwgCheckFile(HostFile* file, int mode) {
    if (!adGlobals) return 1;
    char lead[kLeadSize];
    if (!file || HostSeek(file, 0, SEEK_SET) != 0 || HostRead(lead, 1, sizeof lead, file) != sizeof lead) {
        adSetError(AD_ERR_DWG_SECTION_RANGE);
        return 1;
    }
    adSetError(AD_OK);
    bool preRelease = false;
    const int version = adDwgLeadVersion(lead, &preRelease);
    // An unknown version is left for the open to refuse by name.
    if (version < 0) return 0;
    if (version < AD_VERSION_FIRST_BITCODED)
        return adR12CheckFile(file, static_cast<std::int16_t>(version), mode) ? 0 : 1;
    AdDwgFile* dwg = static_cast<AdDwgFile*>(HostAlloc(sizeof(AdDwgFile)));
    if (!dwg) {
        adNoMemory(AD_ERR_LIST_MEMORY);
        return 1;
    }
    std::memset(dwg, 0, sizeof *dwg);
    const int passed = checkBitCoded(file, dwg, mode);
    adDwgClearFileState(dwg);
    HostFree(dwg);
    if (passed) adSetError(AD_OK);
    return passed ? 0 : 1;
}
