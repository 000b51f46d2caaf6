// The CLASSES section of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_blocks.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {
constexpr std::int32_t kBufferSize = 0x20000;
constexpr std::int32_t kCrcSize = 2;
constexpr std::int32_t kBufferSlack = 1000;
constexpr std::int32_t kClassLimit = INT16_MAX - AD_FIRST_CLASS_NUMBER;

// A section larger than the work buffers gets buffers of its own size; both
// go together since the writers expect the same room as the reader.
bool fitBuffers(std::int32_t size) {
    if (size + kCrcSize <= kBufferSize) return true;
    const auto bytes = static_cast<std::size_t>(size) + kBufferSlack;
    auto* read = static_cast<std::uint8_t*>(HostAlloc(bytes));
    auto* write = read ? static_cast<std::uint8_t*>(HostAlloc(bytes)) : nullptr;
    if (!write) {
        HostFree(read);
        adNoMemory(AD_ERR_BUFFER_128K_B);
        return false;
    }
    HostFree(adGlobals->buffer128kA);
    HostFree(adGlobals->buffer128kB);
    adGlobals->buffer128kA = read;
    adGlobals->buffer128kB = write;
    return true;
}
}  // namespace

int adDwgBeginClasses(AdDrawing* drawing) {
    const AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || !drawing->file || adIsFixedRecordDwg(drawing)) return 0;
    const AdDwgSection& section = dwg->sections[AD_DWG_SECTION_CLASSES];
    const std::int64_t start = static_cast<std::int64_t>(section.offset) + AD_DWG_SENTINEL_SIZE;
    std::int32_t size = 0;
    if (!adDwgInFile(start, 4, dwg->fileLength) || HostSeek(drawing->file, start, SEEK_SET) != 0 ||
        !adDwgReadRawLong(drawing->file, &size) || size < 0 || !adDwgInFile(start + 4, size + kCrcSize, dwg->fileLength))
        return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    if (!fitBuffers(size)) return 0;
    const auto bytes = static_cast<std::size_t>(size) + kCrcSize;
    if (HostRead(adGlobals->buffer128kA, 1, bytes, drawing->file) != bytes) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    // The section gives no count: the loader takes as many classes as whole
    // records lie in the data, so one cut short ends them.
    const auto dataOffset = static_cast<std::int32_t>(start + 4);
    adDwgBitStreamOver(drawing, dataOffset, size);
    AdClassRecord scratch;
    std::int32_t count = 0;
    while (count < kClassLimit && adDwgNextClass(drawing, &scratch)) ++count;
    drawing->classEntryCount = count;
    adDwgBitStreamOver(drawing, dataOffset, size);
    return 1;
}

int adDwgNextClass(AdDrawing*, void* out) {
    auto* record = static_cast<AdClassRecord*>(out);
    const AdBitStream* bs = adBitCurrent();
    if (!adBitUsable() || bs->bytesLeft < 2) return 0;
    record->number = adBitReadShort();
    record->proxyFlags = static_cast<std::uint16_t>(adBitReadShort());
    adDwgReadCutText(record->applicationName, AD_TABLE_NAME_SIZE);
    adDwgReadCutText(record->className, AD_TABLE_NAME_SIZE);
    adDwgReadCutText(record->dxfName, AD_TABLE_NAME_SIZE);
    record->wasProxy = static_cast<std::int16_t>(adBitReadBit());
    record->isEntity = adBitReadShort();
    return adBitUsable() ? 1 : 0;
}
