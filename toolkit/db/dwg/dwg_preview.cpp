// The preview images of a bit-coded DWG file: the BMP and WMF pictures are
// copied into stores kept with the drawing for the host to show.
#include "toolkit/db/dwg/dwg_file.h"

#include <initializer_list>

namespace {
constexpr std::uint8_t kBmpCode = 2;
constexpr std::uint8_t kWmfCode = 3;

// Replaces the store with a copy of the picture: 1, 0 when the bytes cannot
// be read, -1 when memory runs out.
int copyPicture(HostFile* file, AdStore** store, std::int32_t start, std::int32_t size) {
    if (*store) adStoreFree(*store);
    *store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    if (!*store) {
        adNoMemory(AD_ERR_STREAM_MEMORY);
        return -1;
    }
    return adDwgCopyToStore(file, *store, start, size) ? 1 : 0;
}

void dropPictures(AdDwgFile* dwg) {
    for (AdStore** store : {&dwg->previewBmp, &dwg->previewWmf}) {
        if (*store) adStoreFree(*store);
        *store = nullptr;
    }
    dwg->previewFlags = 0;
}
}  // namespace

// The preview is an extra of the file: a preview table that points outside
// the file (some writers leave a stale address) is dropped, and the drawing
// still opens. Only running out of memory fails the open.
int adDwgReadPreview(HostFile* file, AdDwgFile* dwg) {
    dwg->previewFlags = 0;
    if (dwg->previewOffset == 0) return 1;
    const std::int64_t start = static_cast<std::int64_t>(dwg->previewOffset) + AD_DWG_SENTINEL_SIZE;
    std::int32_t overall = 0;
    std::uint8_t count = 0;
    if (!adDwgInFile(start, 5, dwg->fileLength) || HostSeek(file, start, SEEK_SET) != 0 ||
        !adDwgReadRawLong(file, &overall) || !adDwgReadRawByte(file, &count))
        return 1;
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t code = 0;
        std::int32_t offset = 0;
        std::int32_t size = 0;
        if (HostSeek(file, start + 5 + 9 * i, SEEK_SET) != 0 || !adDwgReadRawByte(file, &code) ||
            !adDwgReadRawLong(file, &offset) || !adDwgReadRawLong(file, &size) ||
            !adDwgInFile(offset, size, dwg->fileLength)) {
            dropPictures(dwg);
            return 1;
        }
        AdStore** store = code == kBmpCode ? &dwg->previewBmp : code == kWmfCode ? &dwg->previewWmf : nullptr;
        if (!store) continue;
        const int copied = copyPicture(file, store, offset, size);
        if (copied < 0) return 0;
        if (copied == 0) {
            dropPictures(dwg);
            return 1;
        }
        dwg->previewFlags |= code == kBmpCode ? AD_DWG_PREVIEW_BMP : AD_DWG_PREVIEW_WMF;
    }
    return 1;
}
