// Shape files: bounded reads, the signature, and the shape index of shapes
// 1.0/1.1 files and unifonts.
#include "toolkit/db/font_files.h"
#include "toolkit/db/init_data.h"

#include <algorithm>
#include <cstring>

namespace {

// The signature's 0x1A lies at offset 40 at the latest.
constexpr std::int32_t kSignatureLimit = 41;
constexpr std::int32_t kSignatureRead = 24;

bool contains(const std::uint8_t* bytes, std::int32_t length, const char* text) {
    const std::int32_t n = static_cast<std::int32_t>(std::strlen(text));
    for (std::int32_t i = 0; i + n <= length; ++i)
        if (std::memcmp(bytes + i, text, static_cast<std::size_t>(n)) == 0) return true;
    return false;
}

bool appendEntry(AdFont* font, std::int32_t capacity, std::uint16_t number, std::int64_t offset) {
    if (font->indexCount >= capacity) return false;
    font->index[font->indexCount].number = number;
    font->index[font->indexCount].offset = static_cast<std::uint32_t>(offset);
    ++font->indexCount;
    return true;
}

bool allocateIndex(AdFont* font, std::int32_t capacity) {
    font->index = static_cast<AdShapeIndexEntry*>(HostAlloc(sizeof(AdShapeIndexEntry) * std::max(capacity, 1)));
    if (!font->index) adNoMemory(AD_ERR_FONT_INDEX_MEMORY);
    font->indexCount = 0;
    return font->index != nullptr;
}

// first, last, count; count entries {number, length}; then the shapes in
// index order.
int readShapesIndex(const AdShxFile* shx, std::int32_t headerStart, AdFont* font) {
    std::int16_t header[3];
    if (!adShxReadWords(shx, headerStart, header, 3)) return 0;
    font->first = header[0];
    font->last = header[1];
    font->count = header[2];
    if (font->count < 0) return 0;
    const std::int32_t count = font->count;
    auto* raw = static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(4 * std::max(count, 1))));
    if (!raw) {
        adNoMemory(AD_ERR_FONT_INDEX_BUFFER);
        return AD_SHX_NO_MEMORY;
    }
    int ok = adShxReadAt(shx, headerStart + 6, raw, 4 * count);
    if (ok && !allocateIndex(font, count)) ok = AD_SHX_NO_MEMORY;
    std::int64_t offset = headerStart + 6 + 4 * static_cast<std::int64_t>(count);
    for (std::int32_t i = 0; ok == 1 && i < count; ++i) {
        const std::uint16_t length = adInitGet16(raw + 4 * i + 2);
        if (offset + length <= shx->length) appendEntry(font, count, adInitGet16(raw + 4 * i), offset);
        offset += length;
    }
    HostFree(raw);
    return ok;
}

// A record count, then records {number, length, data}; the walk stops at a
// record that the file cuts short.
int readUnifontIndex(const AdShxFile* shx, std::int32_t headerStart, AdFont* font) {
    std::uint8_t header[2];
    if (!adShxReadAt(shx, headerStart, header, sizeof header)) return 0;
    const std::int32_t count = adInitGet16(header);
    font->count = static_cast<std::int16_t>(count);
    if (!allocateIndex(font, count)) return AD_SHX_NO_MEMORY;
    std::int64_t position = headerStart + 2;
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t record[4];
        if (!adShxReadAt(shx, position, record, sizeof record)) break;
        const std::uint16_t length = adInitGet16(record + 2);
        if (position + 4 + length > shx->length) break;
        appendEntry(font, count, adInitGet16(record), position + 4);
        position += 4 + length;
    }
    return 1;
}

}  // namespace

int adShxReadAt(const AdShxFile* shx, std::int64_t offset, void* buffer, std::int32_t count) {
    if (offset < 0 || count < 0 || offset > shx->length || count > shx->length - offset) return 0;
    if (count == 0) return 1;
    if (HostSeek(shx->file, offset, 0) != 0) return 0;
    return HostRead(buffer, 1, static_cast<std::size_t>(count), shx->file) == static_cast<std::size_t>(count);
}

int adShxReadWords(const AdShxFile* shx, std::int64_t offset, std::int16_t* words, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t raw[2];
        if (!adShxReadAt(shx, offset + 2 * i, raw, sizeof raw)) return 0;
        words[i] = static_cast<std::int16_t>(adInitGet16(raw));
    }
    return 1;
}

std::uint8_t adShxClassify(const AdShxFile* shx, std::int32_t* headerStart) {
    std::uint8_t signature[kSignatureLimit];
    if (!adShxReadAt(shx, 0, signature, kSignatureRead)) return 0;
    std::int32_t length = kSignatureRead;
    while (signature[length - 1] != 0x1A) {
        if (length == kSignatureLimit || !adShxReadAt(shx, length, signature + length, 1)) return 0;
        ++length;
    }
    *headerStart = length;
    if (contains(signature, length, "bigfont")) return AD_FONT_BIGFONT;
    if (contains(signature, length, "unifont 1.0")) return AD_FONT_UNIFONT;
    if (contains(signature, length, "1.0")) return AD_FONT_SHAPES_10;
    if (contains(signature, length, "1.1")) return AD_FONT_SHAPES_11;
    return 0;
}

int adShxReadIndex(const AdShxFile* shx, std::int32_t headerStart, AdFont* font) {
    const int ok = (font->kind & AD_FONT_UNIFONT) ? readUnifontIndex(shx, headerStart, font)
                                                   : readShapesIndex(shx, headerStart, font);
    if (ok != 1) return ok;
    // Binary search needs the numbers in order; files list them as compiled.
    std::stable_sort(font->index, font->index + font->indexCount,
                     [](const AdShapeIndexEntry& a, const AdShapeIndexEntry& b) { return a.number < b.number; });
    return 1;
}
