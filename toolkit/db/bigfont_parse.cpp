// Bigfonts: the escape ranges, the hashed index and the shape data.
#include "toolkit/db/font_files.h"
#include "toolkit/db/init_data.h"

#include <algorithm>

namespace {

constexpr std::int16_t kStoreBlock = 4096;
constexpr std::int32_t kCopyChunk = 4096;
constexpr std::int64_t kOffsetLimit = 1 << 24;  // offsets are kept in 24 bits

// Each 8-byte entry {code, length, file offset} becomes {code, offset from
// the data start}. An entry pointing outside the shape data is kept empty
// (code 0, offset 0), as are the unused slots of the file's own table.
int readIndex(const AdShxFile* shx, AdFont* font) {
    const std::int32_t n = font->bigFontIndexSize;
    font->bigIndex = static_cast<AdBigFontEntry*>(HostAlloc(sizeof(AdBigFontEntry) * std::max(n, 1)));
    if (!font->bigIndex) {
        adNoMemory(AD_ERR_BIGFONT_INDEX_MEMORY);
        return AD_SHX_NO_MEMORY;
    }
    for (std::int32_t i = 0; i < n; ++i) {
        std::uint8_t raw[8];
        if (!adShxReadAt(shx, font->bigIndexStart + 8 * static_cast<std::int64_t>(i), raw, sizeof raw)) return 0;
        const std::int64_t offset = static_cast<std::int64_t>(adInitGet32(raw + 4)) - font->bigDataStart;
        AdBigFontEntry& entry = font->bigIndex[i];
        const bool inData = offset >= 0 && offset < kOffsetLimit && font->bigDataStart + offset < shx->length;
        entry = AdBigFontEntry{{inData ? raw[0] : std::uint8_t{0}, inData ? raw[1] : std::uint8_t{0}},
                               {static_cast<std::uint8_t>(inData ? offset : 0),
                                static_cast<std::uint8_t>(inData ? offset >> 8 : 0),
                                static_cast<std::uint8_t>(inData ? offset >> 16 : 0)}};
        // The font information: code 0 with a real offset.
        if (inData && raw[0] == 0 && raw[1] == 0 && adInitGet32(raw + 4) != 0) font->bigStreamPosition = static_cast<std::int32_t>(offset);
    }
    return 1;
}

int copyData(const AdShxFile* shx, AdFont* font) {
    font->bigData = adStoreCreate(kStoreBlock);
    AdStream* writer = font->bigData ? adStreamOpenWrite(font->bigData) : nullptr;
    if (!writer) {
        adNoMemory(AD_ERR_FONT_MEMORY);
        return AD_SHX_NO_MEMORY;
    }
    std::uint8_t chunk[kCopyChunk];
    int ok = 1;
    for (std::int64_t at = font->bigDataStart; ok == 1 && at < shx->length; at += kCopyChunk) {
        const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(kCopyChunk, shx->length - at));
        if (!adShxReadAt(shx, at, chunk, n)) ok = 0;
        else if (!adStreamWrite(writer, chunk, n)) ok = AD_SHX_NO_MEMORY;
    }
    if (!adStreamCloseWrite(writer) && ok == 1) ok = AD_SHX_NO_MEMORY;
    if (ok == 1) {
        font->bigStream = adStreamOpenRead(font->bigData);
        if (!font->bigStream) ok = AD_SHX_NO_MEMORY;
    }
    if (ok == AD_SHX_NO_MEMORY) adNoMemory(AD_ERR_FONT_MEMORY);
    return ok;
}

}  // namespace

int adShxReadBigFont(const AdShxFile* shx, std::int32_t headerStart, AdFont* font) {
    std::int16_t header[3];
    if (!adShxReadWords(shx, headerStart, header, 3)) return 0;
    font->bigFontHeader = header[0];
    font->bigFontIndexSize = header[1];
    font->escapeRangeCount = header[2];
    if (font->bigFontIndexSize < 0 || font->escapeRangeCount < 0) return 0;
    const std::int32_t r = font->escapeRangeCount;
    font->bigIndexStart = headerStart + 6 + 4 * r;
    font->bigDataStart = font->bigIndexStart + 8 * font->bigFontIndexSize;
    if (font->bigDataStart > shx->length) return 0;

    font->escapeRanges = static_cast<std::uint16_t(*)[2]>(HostAlloc(4 * static_cast<std::size_t>(std::max(r, 1))));
    if (!font->escapeRanges) {
        adNoMemory(AD_ERR_FONT_MEMORY);
        return AD_SHX_NO_MEMORY;
    }
    for (std::int32_t i = 0; i < r; ++i) {
        std::int16_t range[2];
        if (!adShxReadWords(shx, headerStart + 6 + 4 * static_cast<std::int64_t>(i), range, 2)) return 0;
        font->escapeRanges[i][0] = static_cast<std::uint16_t>(range[0]);
        font->escapeRanges[i][1] = static_cast<std::uint16_t>(range[1]);
    }
    font->bigStreamPosition = -1;
    const int ok = readIndex(shx, font);
    return ok == 1 ? copyData(shx, font) : ok;
}
