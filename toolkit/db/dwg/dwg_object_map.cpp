// The object map of a bit-coded DWG file: read into a compact index in
// handle order, with a sample table over it so that a handle is found by a
// short search and a short forward scan, and the next handle by none.
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <cstring>

namespace {
constexpr std::int32_t kSectionCrcSize = 2;
constexpr std::int32_t kEmptySection = 2;  // a section of its size word alone ends the map
constexpr std::int32_t kUnusedSamplePosition = 2000000000;
constexpr std::int32_t kModularHandleBytes = 10;
constexpr std::int32_t kModularLongBytes = 5;

// Seven value bits per byte, least significant group first; 0x80 says that
// another byte follows.
std::int32_t readModularHandle(const std::uint8_t* bytes, std::int32_t available, AdHandle* handle) {
    std::uint64_t value = 0;
    for (std::int32_t i = 0; i < available && i < kModularHandleBytes; ++i) {
        const int shift = 7 * i;
        if (shift < 64) value |= static_cast<std::uint64_t>(bytes[i] & 0x7F) << shift;
        if (!(bytes[i] & 0x80)) {
            for (int b = 7; b >= 0; --b, value >>= 8) handle->b[b] = static_cast<std::uint8_t>(value);
            return i + 1;
        }
    }
    return 0;
}

// As above, but the last byte holds six value bits and the sign in 0x40.
std::int32_t readModularLong(const std::uint8_t* bytes, std::int32_t available, std::int64_t* value) {
    std::int64_t magnitude = 0;
    for (std::int32_t i = 0; i < available && i < kModularLongBytes; ++i) {
        if (bytes[i] & 0x80) {
            magnitude |= static_cast<std::int64_t>(bytes[i] & 0x7F) << (7 * i);
            continue;
        }
        magnitude |= static_cast<std::int64_t>(bytes[i] & 0x3F) << (7 * i);
        *value = (bytes[i] & 0x40) ? -magnitude : magnitude;
        return i + 1;
    }
    return 0;
}

// An entry: the handle's byte count, its significant bytes, the offset
// (little-endian).
constexpr std::int32_t kOffsetBytes = 4;

int appendEntry(AdStream* out, const AdHandle* handle, std::int32_t offset) {
    const int n = adHandleLength(handle);
    std::uint8_t entry[1 + 8 + kOffsetBytes];
    entry[0] = static_cast<std::uint8_t>(n);
    std::memcpy(entry + 1, handle->b + 8 - n, static_cast<std::size_t>(n));
    for (int i = 0; i < kOffsetBytes; ++i) entry[1 + n + i] = static_cast<std::uint8_t>(offset >> (8 * i));
    return adStreamWrite(out, entry, 1 + n + kOffsetBytes);
}

// The entries of one map section (the bytes after its size word); the
// handle and the offset run from 0 again in every section.
int indexSection(const std::uint8_t* bytes, std::int32_t size, const AdDwgFile* dwg, AdStream* out,
                 std::int32_t* entries) {
    AdHandle handle{};
    std::int64_t offset = 0;
    for (std::int32_t p = 0; p < size;) {
        AdHandle step{};
        std::int64_t change = 0;
        const std::int32_t a = readModularHandle(bytes + p, size - p, &step);
        const std::int32_t b = a ? readModularLong(bytes + p + a, size - p - a, &change) : 0;
        if (!b) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        p += a + b;
        adHandleAdd(&handle, &step, &handle);
        offset += change;
        if (offset < 0 || offset >= dwg->fileLength) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        if (!appendEntry(out, &handle, static_cast<std::int32_t>(offset))) return 0;
        ++*entries;
    }
    return 1;
}

int readSections(HostFile* file, AdDwgFile* dwg, AdStream* out, bool checkCrc) {
    const AdDwgSection map = dwg->sections[AD_DWG_SECTION_OBJECT_MAP];
    std::uint8_t* buffer = adGlobals->buffer128kA;
    if (!buffer) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
    const std::int64_t end = static_cast<std::int64_t>(map.offset) + map.size;
    for (std::int64_t position = map.offset;;) {
        std::uint8_t head[2];
        if (position + 2 > end || HostSeek(file, position, SEEK_SET) != 0 || HostRead(head, 1, 2, file) != 2)
            return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        // The size counts the size word and the entries, most significant byte first.
        const std::int32_t size = (head[0] << 8) | head[1];
        if (size < kEmptySection || position + size + kSectionCrcSize > end) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        const auto rest = static_cast<std::size_t>(size - 2 + kSectionCrcSize);
        std::memcpy(buffer, head, 2);
        if (HostRead(buffer + 2, 1, rest, file) != rest) return adDwgFail(AD_ERR_DWG_SECTION_RANGE);
        if (checkCrc && adCrc16(AD_DWG_CRC_SEED, buffer, size) != ((buffer[size] << 8) | buffer[size + 1])) {
            return adDwgFail(AD_ERR_DWG_SECTION_CRC);
        }
        if (!indexSection(buffer + 2, size - 2, dwg, out, &dwg->entryCount)) return 0;
        if (size == kEmptySection) return 1;
        position += size + kSectionCrcSize;
    }
}

void forgetLastFound(AdDwgFile* dwg) { std::memset(dwg->lastHandle.b, 0xFF, sizeof dwg->lastHandle.b); }

// Slot i samples entry i * (k + 1), k = entries / 512; the slots left over
// hold a handle above every other.
void buildSamples(AdDwgFile* dwg) {
    const std::int32_t step = dwg->entryCount / AD_DWG_SAMPLE_COUNT + 1;
    std::int32_t slot = 0;
    adStreamRewind(dwg->indexReader);
    for (std::int32_t i = 0; i < dwg->entryCount && slot < AD_DWG_SAMPLE_COUNT; ++i) {
        const std::int32_t position = adStreamTell(dwg->indexReader);
        AdHandle handle{};
        std::int32_t offset = 0;
        if (!adDwgNextIndexEntry(dwg, &handle, &offset)) break;
        if (i % step == 0) dwg->samples[slot++] = AdDwgSample{handle, position};
    }
    for (; slot < AD_DWG_SAMPLE_COUNT; ++slot) {
        std::memset(dwg->samples[slot].handle.b, 0xFF, sizeof(AdHandle));
        dwg->samples[slot].position = kUnusedSamplePosition;
    }
    adStreamRewind(dwg->indexReader);
    if (!adDwgNextIndexEntry(dwg, &dwg->lastHandle, &dwg->lastOffset)) forgetLastFound(dwg);
}

void dropIndex(AdDwgFile* dwg) {
    if (dwg->indexReader) adStreamCloseRead(dwg->indexReader);
    if (dwg->index) adStoreFree(dwg->index);
    dwg->indexReader = nullptr;
    dwg->index = nullptr;
    dwg->entryCount = 0;
}

// Puts the index reader where the forward scan for the handle starts; 0
// when the handle lies below every entry.
int positionBySample(AdDwgFile* dwg, const AdHandle* handle) {
    std::int32_t low = 0;
    std::int32_t high = AD_DWG_SAMPLE_COUNT;  // first slot above the handle
    while (low < high) {
        const std::int32_t middle = (low + high) / 2;
        if (adHandleCompare(&dwg->samples[middle].handle, handle) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == 0) return 0;
    const AdDwgSample& sample = dwg->samples[low - 1];
    // Going forward from the last entry read saves going back to the slot.
    if (adHandleCompare(handle, &dwg->lastHandle) > 0 && adStreamTell(dwg->indexReader) >= sample.position) return 1;
    return adStreamSeek(dwg->indexReader, sample.position);
}

int scanForward(AdDwgFile* dwg, const AdHandle* handle, std::int32_t* offset) {
    AdHandle entry{};
    while (adDwgNextIndexEntry(dwg, &entry, offset)) {
        const int order = adHandleCompare(&entry, handle);
        if (order == 0) return 1;
        if (order > 0) return 0;
    }
    return 0;
}
}  // namespace

int adDwgNextIndexEntry(AdDwgFile* dwg, AdHandle* handle, std::int32_t* offset) {
    std::uint8_t count = 0;
    std::uint8_t rest[8 + kOffsetBytes];
    if (!dwg->indexReader || !adStreamReadByte(dwg->indexReader, &count)) return 0;
    if (count > 8) {
        adFatalError(AD_FATAL_BAD_STORED_DATA);
        return 0;
    }
    if (!adStreamRead(dwg->indexReader, rest, count + kOffsetBytes)) return 0;
    std::memset(handle->b, 0, sizeof handle->b);
    std::memcpy(handle->b + 8 - count, rest, count);
    *offset = adDwgLittle32(rest + count);
    return 1;
}

int adDwgReadObjectMap(HostFile* file, AdDwgFile* dwg, bool checkCrc) {
    dropIndex(dwg);
    dwg->index = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = dwg->index ? adStreamOpenWrite(dwg->index) : nullptr;
    if (!out) {
        dropIndex(dwg);
        adNoMemory(AD_ERR_LIST_MEMORY);
        return 0;
    }
    const int read = readSections(file, dwg, out, checkCrc);
    const int closed = adStreamCloseWrite(out);
    dwg->indexReader = read && closed ? adStreamOpenRead(dwg->index) : nullptr;
    if (!dwg->indexReader) {
        if (read && closed) adNoMemory(AD_ERR_LIST_MEMORY);
        dropIndex(dwg);
        return 0;
    }
    buildSamples(dwg);
    return 1;
}

int adDwgSeekObject(AdDrawing* drawing, const AdHandle* handle) {
    AdDwgFile* dwg = adDwgFileOf(drawing);
    if (!dwg || !dwg->indexReader || !handle || adHandleLength(handle) == 0) return 0;
    std::int32_t offset = dwg->lastOffset;
    if (adHandleCompare(handle, &dwg->lastHandle) != 0) {
        AdHandle next = dwg->lastHandle;
        const bool sequential = adHandleIncrement(&next) && adHandleCompare(handle, &next) == 0;
        if ((!sequential && !positionBySample(dwg, handle)) || !scanForward(dwg, handle, &offset)) {
            forgetLastFound(dwg);
            return 0;
        }
    }
    if (!drawing->file || HostSeek(drawing->file, offset, SEEK_SET) != 0) {
        forgetLastFound(dwg);
        return 0;
    }
    dwg->lastHandle = *handle;
    dwg->lastOffset = offset;
    dwg->currentObject = *handle;
    return 1;
}
