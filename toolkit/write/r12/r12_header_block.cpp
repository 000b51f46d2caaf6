// The header block of a fixed-record DWG file: every variable at the offset
// the reader takes it from, the constant bytes each version carries, and room
// for the addresses and the table directory that the finisher fills in.
#include "toolkit/write/r12/r12_writer.h"
#include "toolkit/write/dwg/dwg_writer.h"
#include "toolkit/db/r12/r12_header_layout.h"
#include "toolkit/db/raw_double.h"

#include <cstring>

namespace {
constexpr std::int32_t kHeaderSizes[] = {929, 981, 1007, 1310, 1727};
// The format byte at offset 17, by version.
constexpr std::uint8_t kFormatBytes[] = {0x72, 0x7A, 0x81, 0xA0, 0xCD};
constexpr std::int32_t kLeadAt = 6;
constexpr std::uint8_t kLead[14] = {0, 0, 0, 0, 0, 0, 0, 3, 0, 5, 0, 0x72, 0, 0};
constexpr std::int32_t kLaterThanFirstAt = 12;
constexpr std::int32_t kFormatAt = 17;
constexpr std::int32_t kConstant332 = 332;
constexpr std::uint8_t kConstant348[8] = {0x0D, 0xCB, 0x26, 0x32, 0x69, 0x96, 0xF6, 0x3F};
constexpr std::int32_t kMatrices = 593;
constexpr std::int32_t kShort791 = 791;
constexpr std::int32_t kBlock1343 = 1343;
constexpr std::uint8_t kLead1343[8] = {0x00, 0x00, 0x1C, 0x00, 0x7E, 0xFD, 0x57, 0x42};
constexpr std::uint8_t kByte1343 = 109;

class Block {
public:
    explicit Block(std::vector<std::uint8_t>* bytes) : b_(*bytes) {}
    void bytes(std::int32_t at, const void* from, std::int32_t count) {
        if (at >= 0 && count >= 0 && at + count <= static_cast<std::int32_t>(b_.size()))
            std::memcpy(b_.data() + at, from, static_cast<std::size_t>(count));
    }
    void byte(std::int32_t at, std::uint8_t value) { bytes(at, &value, 1); }
    void shortAt(std::int32_t at, std::int16_t value) {
        const std::uint8_t le[2] = {static_cast<std::uint8_t>(value & 0xFF),
                                    static_cast<std::uint8_t>((static_cast<std::uint16_t>(value) >> 8) & 0xFF)};
        bytes(at, le, 2);
    }
    void longAt(std::int32_t at, std::int32_t value) {
        std::uint8_t le[4];
        for (int i = 0; i < 4; ++i) le[i] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
        bytes(at, le, 4);
    }
    void doubleAt(std::int32_t at, double value) {
        std::uint8_t le[8];
        adDoubleToBytes(value, le);
        bytes(at, le, 8);
    }
    // A fixed text field: the bytes up to the first NUL, cut to the width.
    void text(std::int32_t at, const char* from, std::int32_t width, std::size_t size) {
        const std::size_t limit = static_cast<std::size_t>(width) < size ? static_cast<std::size_t>(width) : size;
        bytes(at, from, static_cast<std::int32_t>(strnlen(from, limit)));
    }

private:
    std::vector<std::uint8_t>& b_;
};

void putRow(Block* block, const AdR12HeaderRow& row, const AdHeaderVars* header, const std::int16_t* indexes,
            const AdOutputDrawing* output) {
    const auto* field = reinterpret_cast<const std::uint8_t*>(header) + row.field;
    switch (row.kind) {
    case AD_R12_HV_SHORT: {
        std::int16_t value;
        std::memcpy(&value, field, sizeof value);
        block->shortAt(row.offset, value);
        break;
    }
    case AD_R12_HV_BYTE: block->byte(row.offset, *field); break;
    case AD_R12_HV_BYTE_SHORT: {
        std::int16_t value;
        std::memcpy(&value, field, sizeof value);
        block->byte(row.offset, static_cast<std::uint8_t>(value));
        break;
    }
    case AD_R12_HV_DOUBLES:
        for (std::int16_t i = 0; i < row.count; ++i) {
            double value;
            std::memcpy(&value, field + i * sizeof value, sizeof value);
            block->doubleAt(row.offset + 8 * i, value);
        }
        break;
    case AD_R12_HV_TEXT:
        block->text(row.offset, reinterpret_cast<const char*>(field), row.count, row.size);
        break;
    case AD_R12_HV_DATE: {
        AdJulianDate date;
        std::memcpy(&date, field, sizeof date);
        block->longAt(row.offset, date.day);
        block->longAt(row.offset + 4, date.milliseconds);
        break;
    }
    case AD_R12_HV_INDEX: {
        std::int16_t index = indexes[row.field];
        // Older files give the two special linetypes codes of their own.
        if (row.field == AD_HEADER_INDEX_LINETYPE && index == AD_LINETYPE_INDEX_BYLAYER)
            index = output->byLayerLtypeIndex;
        else if (row.field == AD_HEADER_INDEX_LINETYPE && index == AD_LINETYPE_INDEX_BYBLOCK)
            index = output->byBlockLtypeIndex;
        block->shortAt(row.offset, index);
        break;
    }
    }
}

// The variables the rows leave out, and the constant parts.
void putSpecial(Block* block, const AdHeaderVars* h, std::int16_t version) {
    const char* name = adVersionString(version);
    block->text(0, name ? name : "", 6, 7);
    block->bytes(kLeadAt, kLead, sizeof kLead);
    if (version > AD_VERSION_AC1002) block->byte(kLaterThanFirstAt, 1);
    block->byte(kFormatAt, kFormatBytes[version]);
    block->byte(kConstant332, 15);
    block->bytes(348, kConstant348, sizeof kConstant348);
    // The menu name is split in two parts of the block.
    block->text(AD_R12_HEADER_MENU_FIRST, h->menu, AD_R12_HEADER_MENU_FIRST_WIDTH - 1, sizeof h->menu);
    if (strnlen(h->menu, sizeof h->menu) >= AD_R12_HEADER_MENU_FIRST_WIDTH - 1)
        block->text(AD_R12_HEADER_MENU_REST, h->menu + AD_R12_HEADER_MENU_FIRST_WIDTH - 1,
                    AD_R12_HEADER_MENU_REST_WIDTH, sizeof h->menu - (AD_R12_HEADER_MENU_FIRST_WIDTH - 1));
    for (int i = 0; i < 5; ++i) {
        block->shortAt(AD_R12_HEADER_USER_VALUES + 2 * i, h->useri[i]);
        block->doubleAt(AD_R12_HEADER_USER_VALUES + 10 + 8 * i, h->userr[i]);
    }
    if (version <= AD_VERSION_AC1004) {
        // Two identity matrices.
        for (int i = 0; i < 18; ++i) block->doubleAt(kMatrices + 8 * i, i % 9 % 4 == 0 ? 1.0 : 0.0);
    }
    block->shortAt(kShort791, 100);
    if (version >= AD_VERSION_AC1004) block->shortAt(AD_R12_HEADER_MIRRTEXT, h->mirrtext);
    if (version >= AD_VERSION_AC1006) {
        if (h->handling) block->bytes(AD_R12_HEADER_HANDSEED, h->handseed.b, sizeof h->handseed.b);
        block->shortAt(AD_R12_HEADER_WORLDVIEW, h->worldview);
    }
    if (version == AD_VERSION_AC1009) {
        block->bytes(kBlock1343, kLead1343, sizeof kLead1343);
        for (int i = 0; i < 3; ++i) block->doubleAt(kBlock1343 + 8 + 8 * i, 1.0);
        block->byte(kBlock1343 + 32, kByte1343);
        block->shortAt(AD_R12_HEADER_VISRETAIN, h->visretain);
    }
}
}  // namespace

std::int32_t adR12HeaderSize(std::int16_t version) {
    return version >= AD_VERSION_AC1002 && version <= AD_VERSION_AC1009 ? kHeaderSizes[version] : 0;
}

int adR12WriteHeader(AdR12Writer* writer, const AdHeaderVars* header,
                     const std::int16_t indexes[AD_HEADER_INDEX_COUNT]) {
    const std::int16_t version = writer->version;
    writer->header.assign(static_cast<std::size_t>(adR12HeaderSize(version)), 0);
    Block block(&writer->header);
    const AdR12HeaderRows rows = adR12HeaderRows();
    for (std::size_t i = 0; i < rows.count; ++i)
        if (version >= rows.rows[i].from) putRow(&block, rows.rows[i], header, indexes, writer->output);
    putSpecial(&block, header, version);
    return adOutWrite(writer->output, writer->header.data(), writer->header.size());
}
