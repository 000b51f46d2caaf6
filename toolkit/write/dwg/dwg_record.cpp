// The framing every record of a bit-coded DWG file shares: its start (type,
// bit-size placeholder, own handle, extended data, graphics), the end of its
// data, the common handles of table records, and its end (modular size, data
// with the bit size patched in, CRC), after which it enters the object map.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {
constexpr std::int32_t kOneWordLimit = 0x8000;

// Bits used in the current byte of the buffer.
std::int32_t bitsInByte(std::int16_t mask) {
    return mask >= 0x100 ? 0 : 8 - std::countr_zero(static_cast<unsigned>(mask));
}

// Puts the 32 bits of value at bit offset at, in the order a raw long is
// written: byte 0 first, each byte from its top bit.
void patchRawLong(std::vector<std::uint8_t>& bytes, std::int64_t at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 32; ++i) {
        const int bit = (v >> (8 * (i / 8) + (7 - i % 8))) & 1;
        const std::int64_t p = at + i;
        auto& byte = bytes[static_cast<std::size_t>(p / 8)];
        const auto mask = static_cast<std::uint8_t>(0x80 >> (p % 8));
        byte = static_cast<std::uint8_t>(bit ? byte | mask : byte & ~mask);
    }
}
}  // namespace

AdDwgBitScope::AdDwgBitScope(AdDwgWriter* writer) : writer_(writer), saved_(writer->source->bitStream) {
    writer->source->bitStream = &writer->bits;
}

AdDwgBitScope::~AdDwgBitScope() {
    AdBitStream* bs = &writer_->bits;
    if (bs->chunkStream) adStreamCloseWrite(bs->chunkStream);
    if (bs->chunkStore) adStoreFree(bs->chunkStore);
    bs->chunkStream = nullptr;
    bs->chunkStore = nullptr;
    if (adGlobals->bitStream == bs) adGlobals->bitStream = nullptr;
    writer_->source->bitStream = saved_;
}

std::int64_t adDwgBitPosition(const AdDwgWriter* writer) {
    const AdBitStream& bs = writer->bits;
    const std::int64_t bytes =
        static_cast<std::int64_t>(bs.pieceIndex) * AD_BIT_CHUNK_SIZE + (bs.current - adBitWriteBuffer());
    return bytes * 8 + bitsInByte(bs.bitMask);
}

std::vector<std::uint8_t> adDwgTakeBits(AdDwgWriter* writer) {
    AdBitStream* bs = &writer->bits;
    std::vector<std::uint8_t> bytes;
    const std::int32_t inBuffer =
        static_cast<std::int32_t>(bs->current - adBitWriteBuffer()) + (bitsInByte(bs->bitMask) > 0 ? 1 : 0);
    bool ok = !bs->failed;
    if (ok && bs->chunkStore) {
        adStreamCloseWrite(bs->chunkStream);
        bs->chunkStream = nullptr;
        const std::int32_t stored = adStoreSize(bs->chunkStore);
        bytes.resize(static_cast<std::size_t>(stored));
        AdStream* in = adStreamOpenRead(bs->chunkStore);
        ok = in && adStreamRead(in, bytes.data(), stored);
        if (in) adStreamCloseRead(in);
    }
    if (bs->chunkStream) adStreamCloseWrite(bs->chunkStream);
    if (bs->chunkStore) adStoreFree(bs->chunkStore);
    bs->chunkStream = nullptr;
    bs->chunkStore = nullptr;
    if (!ok) {
        bs->failed = 1;
        adSetError(AD_ERR_DWG_RECORD_STORE);
        return {};
    }
    bytes.insert(bytes.end(), adBitWriteBuffer(), adBitWriteBuffer() + inBuffer);
    return bytes;
}

int adDwgRecordBegin(AdDwgWriter* writer, std::int16_t type, const AdHandle* handle, AdStore* xdata,
                     AdStore* graphics, bool hasGraphics) {
    writer->recordStart = adOutTell(writer->output);
    if (writer->recordStart < 0 || !adBitBufferReset(writer->source, writer->recordStart)) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    writer->sizePlaceholder = -1;
    writer->dataBits = 0;
    adBitWriteShort(type);
    if (writer->version >= AD_VERSION_AC1015) {
        writer->sizePlaceholder = adDwgBitPosition(writer);
        adBitWriteRawLong(0);
    }
    adBitWriteHandle(handle, 0);
    if (!adDwgWriteXdata(writer, xdata)) return 0;
    if (hasGraphics) {
        adBitWriteBit(graphics ? 1 : 0);
        if (graphics) adBitCopyStore(graphics);
    }
    if (writer->version < AD_VERSION_AC1015) {
        writer->sizePlaceholder = adDwgBitPosition(writer);
        adBitWriteRawLong(0);
    }
    return adBitUsable() ? 1 : 0;
}

void adDwgMarkDataEnd(AdDwgWriter* writer) { writer->dataBits = adDwgBitPosition(writer); }

int adDwgRecordEnd(AdDwgWriter* writer, const AdHandle* handle) {
    if (!adBitUsable()) {
        adSetError(AD_ERR_DWG_RECORD_STORE);
        return 0;
    }
    std::vector<std::uint8_t> data = adDwgTakeBits(writer);
    if (data.empty()) return 0;
    if (writer->sizePlaceholder >= 0)
        patchRawLong(data, writer->sizePlaceholder, static_cast<std::int32_t>(writer->dataBits));
    const auto size = static_cast<std::int32_t>(data.size());
    std::vector<std::uint8_t> record;
    record.reserve(data.size() + 6);
    auto putWord = [&record](std::int32_t word) {
        record.push_back(static_cast<std::uint8_t>(word & 0xFF));
        record.push_back(static_cast<std::uint8_t>((word >> 8) & 0xFF));
    };
    if (size < kOneWordLimit) {
        putWord(size);
    } else {
        putWord(size % kOneWordLimit + kOneWordLimit);
        putWord(size / kOneWordLimit);
    }
    record.insert(record.end(), data.begin(), data.end());
    const std::uint16_t crc = adCrc16(AD_DWG_CRC_SEED, record.data(), static_cast<std::int32_t>(record.size()));
    putWord(crc);
    if (!adOutWrite(writer->output, record.data(), record.size())) return 0;
    return adObjectMapAdd(writer, handle, writer->recordStart);
}

int adDwgWriteXdata(AdDwgWriter* writer, AdStore* xdata) {
    AdOutputDrawing* output = writer->output;
    AdStream* in = xdata ? adStreamOpenRead(xdata) : nullptr;
    AdHandle application{};
    bool open = false;
    // A group goes out as its byte count, its application and its bytes.
    auto flush = [&]() {
        if (open && output->xdataLength > 0) {
            adBitWriteShort(static_cast<std::int16_t>(output->xdataLength));
            adBitWriteHandle(&application, AD_REF_HARD_POINTER);
            adBitWriteBytes(output->xdata, output->xdataLength);
        }
        adR12XdataReset(output);
    };
    adR12XdataReset(output);
    int ok = 1;
    AdXdataItem item{};
    while (ok && in && adXdataReadItem(in, &item)) {
        if (item.code == 1001) {
            flush();
            application = item.value.handle;
            open = true;
        } else if (!adR12XdataItem(writer->source, output, &item)) {
            ok = 0;
        }
    }
    if (in) adStreamCloseRead(in);
    if (!ok) return 0;
    flush();
    adBitWriteShort(0);
    return adBitUsable() ? 1 : 0;
}

int adDwgWriteReactors(std::int32_t count, AdStore* reactors) {
    AdStream* in = count > 0 && reactors ? adStreamOpenRead(reactors) : nullptr;
    AdHandle reactor{};
    for (std::int32_t i = 0; in && i < count && adStreamReadHandle(in, &reactor); ++i)
        adBitWriteHandle(&reactor, AD_REF_SOFT_POINTER);
    if (in) adStreamCloseRead(in);
    return adBitUsable() ? 1 : 0;
}

int adDwgWriteTableHandles(AdDwgWriter* writer, const AdHandle* own, const AdHandle* owner,
                           const AdHandle* extensionDictionary, std::int32_t reactorCount, AdStore* reactors) {
    const AdHandle none{};
    if (extensionDictionary && adHandleLength(extensionDictionary) &&
        !adNoteOwnedHandle(writer->output, own, extensionDictionary))
        return 0;
    adBitWriteRelHandle(owner, own, AD_REF_SOFT_POINTER);
    adDwgWriteReactors(reactorCount, reactors);
    // Every version keeps the record's own extension dictionary.
    adBitWriteHandle(extensionDictionary ? extensionDictionary : &none, AD_REF_HARD_OWNER);
    adBitWriteHandle(&writer->xrefBlock, AD_REF_HARD_POINTER);
    return adBitUsable() ? 1 : 0;
}

int adDwgWriteName(AdDwgWriter* writer, const char* name, std::int32_t index, std::int16_t limit) {
    if (writer->version >= AD_VERSION_AC1015) return adBitWriteText(name) > 0;
    char legal[AD_LEGAL_NAME_SIZE];
    const std::int16_t cap = std::min<std::int16_t>(limit, 31);
    if (!adDwgLegalName(writer->source, &writer->output->budgets, name, index, cap, legal)) return 0;
    return adBitWriteText(legal) > 0;
}
