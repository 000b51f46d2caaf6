// Group-coded data that the reader kept bit-coded, written back as groups.
#include "toolkit/write/dxf/dxf_writer.h"
#include "toolkit/db/bit_stream_state.h"

#include <memory>
#include <vector>

namespace {
// A chunk is read into a block of this size; one of kChunkLimit bytes or
// more is left out of the file.
constexpr std::int32_t kChunkBlock = 2048;
constexpr std::int32_t kChunkLimit = 1024;
// Texts come from single DXF lines.
constexpr std::int32_t kTextSize = 0x10000;

bool in(std::int16_t code, std::int16_t low, std::int16_t high) { return code >= low && code <= high; }

// The chunk's bytes; a chunk longer than the block is taken in block-sized
// runs, none of which is kept, so that nothing is read past the block.
int readChunk(std::uint8_t* block, std::int32_t length, bool* kept) {
    *kept = length < kChunkLimit;
    for (std::int32_t left = length; left > 0;) {
        const std::int32_t n = left < kChunkBlock ? left : kChunkBlock;
        if (!adBitReadBytes(block, n)) return 0;
        left -= n;
    }
    return 1;
}

struct StoreRead {
    AdBitStoreRead read{};
    ~StoreRead() { adBitStoreReadClose(&read); }
};
}  // namespace

int adDxfWriteGroupData(AdOutputDrawing* output, AdStore* data, AdStore* handles, std::int32_t count) {
    if (!data) return 1;
    std::vector<std::uint8_t> block(kChunkBlock);
    std::vector<char> text(kTextSize + 1);
    std::vector<char> hex(2 * kChunkLimit + 1);
    auto scope = std::make_unique<StoreRead>();
    if (!adBitStoreReadOpen(&scope->read, data)) return 0;
    AdStream* references = handles && count > 0 ? adStreamOpenRead(handles) : nullptr;
    int result = 1;
    int written = 1;
    // Every turn takes at least one bit-short: the loop ends with the data.
    while (written) {
        const std::int16_t code = adBitReadShort();
        if (code == 0) break;
        if (in(code, 310, 319)) {
            const auto length = static_cast<std::int32_t>(static_cast<std::uint16_t>(adBitReadShort()));
            bool kept = false;
            if (!readChunk(block.data(), length, &kept)) break;
            if (kept) {
                adBytesToHex(block.data(), static_cast<std::size_t>(length), hex.data(), hex.size());
                written = adDxfWriteStringGroup(output, code, hex.data());
            }
        } else if (in(code, 10, 18) || code == 210) {
            double point[3] = {};
            adBitRead3D(point);
            written = adDxfWritePoint3D(output, code, point);
        } else if (in(code, 40, 49) || in(code, 140, 149)) {
            double value = 0.0;
            adBitReadDouble(&value);
            written = adDxfWriteRealGroup(output, code, &value);
        } else if (in(code, 50, 59)) {
            double value = 0.0;
            adBitReadDouble(&value);
            written = adDxfWriteAngleGroup(output, code, &value);
        } else if (in(code, 290, 299)) {
            // Flags of these codes are single bytes in a binary file.
            written = adDxfWriteByteGroup(output, code, static_cast<std::int8_t>(adBitReadShort()));
        } else if (in(code, 60, 79) || in(code, 170, 179) || in(code, 270, 289)) {
            written = adDxfWriteShortGroup(output, code, adBitReadShort());
        } else if (in(code, 90, 99)) {
            written = adDxfWriteLongGroup(output, code, adBitReadLong());
        } else if (in(code, 1, 9) || in(code, 300, 309) || code == 100 || code == 102) {
            text[0] = '\0';
            adBitReadText(text.data(), kTextSize + 1);
            written = adDxfWriteStringGroup(output, code, text.data());
        } else if (in(code, 320, 329)) {
            AdHandle handle{};
            adBitReadHandle(&handle);
            written = adDxfWriteHandleGroup(output, 5, &handle);
        } else if (in(code, 330, 369)) {
            AdHandleEntry entry{};
            if (references && count > 0 && adStreamReadHandleEntry(references, &entry)) {
                --count;
                written = adDxfWriteHandleGroup(output, code, &entry.handle);
            }
        } else {
            // A code of no value class: its value cannot be told from the data.
            result = 0;
        }
        if (!adBitUsable()) break;
    }
    if (references) adStreamCloseRead(references);
    return result && written;
}
