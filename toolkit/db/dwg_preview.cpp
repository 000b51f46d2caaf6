// The preview images of a bit-coded DWG file: the BMP and WMF pictures are
// copied into stores kept with the drawing for the host to show.
#include "toolkit/db/dwg_file.h"

namespace {
constexpr std::int32_t kSentinelSize = 16;
constexpr std::uint8_t kBmpCode = 2;
constexpr std::uint8_t kWmfCode = 3;

// Replaces the store with a copy of the picture.
int copyPicture(HostFile* file, AdStore** store, std::int32_t start, std::int32_t size) {
    if (*store) adStoreFree(*store);
    *store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    if (!*store) {
        adNoMemory(AD_ERR_STREAM_MEMORY);
        return 0;
    }
    if (adDwgCopyToStore(file, *store, start, size)) return 1;
    return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
}
}  // namespace

int adDwgReadPreview(HostFile* file, AdDwgFile* dwg) {
    dwg->previewFlags = 0;
    if (dwg->previewOffset == 0) return 1;
    const std::int64_t start = static_cast<std::int64_t>(dwg->previewOffset) + kSentinelSize;
    std::int32_t overall = 0;
    std::uint8_t count = 0;
    if (!adDwgInFile(start, 5, dwg->fileLength) || HostSeek(file, start, SEEK_SET) != 0 ||
        !adDwgReadRawLong(file, &overall) || !adDwgReadRawByte(file, &count))
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t code = 0;
        std::int32_t offset = 0;
        std::int32_t size = 0;
        if (HostSeek(file, start + 5 + 9 * i, SEEK_SET) != 0 || !adDwgReadRawByte(file, &code) ||
            !adDwgReadRawLong(file, &offset) || !adDwgReadRawLong(file, &size) ||
            !adDwgInFile(offset, size, dwg->fileLength))
            return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        if (code == kBmpCode) {
            if (!copyPicture(file, &dwg->previewBmp, offset, size)) return 0;
            dwg->previewFlags |= AD_DWG_PREVIEW_BMP;
        } else if (code == kWmfCode) {
            if (!copyPicture(file, &dwg->previewWmf, offset, size)) return 0;
            dwg->previewFlags |= AD_DWG_PREVIEW_WMF;
        }
    }
    return 1;
}
