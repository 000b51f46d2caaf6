// The file header of a bit-coded DWG file: where its sections lie, checked
// against the file's length before anything is read from them.
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>

namespace {
constexpr std::int32_t kLeadSize = 25;  // up to the first locator
constexpr std::int32_t kLocatorSize = 9;
// The header section is read in one piece; no real header comes near this.
constexpr std::int32_t kHeaderSectionLimit = 0x8000;
constexpr std::int32_t kCrcSize = 2;

}  // namespace

int adDwgLeadVersion(const char* lead, bool* preRelease) {
    char text[7];
    std::memcpy(text, lead, 6);
    text[6] = '\0';
    *preRelease = std::strcmp(text, "AC1013") == 0;
    if (*preRelease) return adVersionIndex("AC1014");
    if (std::strcmp(text, "AC1500") == 0) return adVersionIndex("AC1015");
    return adVersionIndex(text);
}

int adDwgReadFileHeader(HostFile* file, AdDwgFile* dwg) {
    std::uint8_t lead[kLeadSize];
    dwg->fileLength = HostFileLength(file);
    if (dwg->fileLength < 0 || HostSeek(file, 0, SEEK_SET) != 0 || HostRead(lead, 1, sizeof lead, file) != sizeof lead)
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    dwg->maintenanceVersion = lead[11];
    dwg->previewOffset = adDwgLittle32(lead + 13);
    dwg->codePage = static_cast<std::int16_t>(lead[19] | (lead[20] << 8));
    dwg->locatorCount = lead[21];
    if (dwg->locatorCount <= AD_DWG_SECTION_OBJECT_MAP) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    std::memset(dwg->sections, 0, sizeof dwg->sections);
    for (std::int32_t i = 0; i < dwg->locatorCount; ++i) {
        std::uint8_t locator[kLocatorSize];
        if (HostRead(locator, 1, sizeof locator, file) != sizeof locator) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        const AdDwgSection section{adDwgLittle32(locator + 1), adDwgLittle32(locator + 5)};
        if (!adDwgInFile(section.offset, section.size, dwg->fileLength)) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        if (i < AD_DWG_SECTION_COUNT) dwg->sections[i] = section;
    }
    return 1;
}

int adDwgLoadHeaderSection(HostFile* file, const AdDwgFile* dwg, std::int32_t* size) {
    const std::int64_t start = static_cast<std::int64_t>(dwg->sections[AD_DWG_SECTION_HEADER].offset) + AD_DWG_SENTINEL_SIZE;
    std::int32_t n = 0;
    if (!adDwgInFile(start, 4, dwg->fileLength) || HostSeek(file, start, SEEK_SET) != 0 ||
        !adDwgReadRawLong(file, &n) || n < 0 || n >= kHeaderSectionLimit ||
        !adDwgInFile(start + 4, n + kCrcSize, dwg->fileLength))
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    const auto bytes = static_cast<std::size_t>(n + kCrcSize);
    std::uint8_t* buffer = adGlobals->buffer128kA;
    if (!buffer || HostRead(buffer, 1, bytes, file) != bytes) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    *size = n;
    return 1;
}
