// The file header of a bit-coded DWG file (version, code page, locators to
// be filled at the end) and its header section: the header variables in the
// order the reader walks for the output version.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_header_order.h"

#include <cstddef>
#include <cstring>

namespace {
constexpr std::int16_t kNamedPlotStyle = 3;

constexpr std::uint8_t kHeaderLead[16] = {0x95, 0xA0, 0x4E, 0x28, 0x99, 0x82, 0x1A, 0xE5,
                                          0x5E, 0x41, 0xE0, 0x5F, 0x9D, 0x3A, 0x4D, 0x00};
constexpr std::uint8_t kHeaderStart[16] = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                           0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
constexpr std::uint8_t kHeaderEnd[16] = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                         0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};
// What AC1015 files hold at 0x61, the record that locator 5 names.
constexpr std::uint8_t kAc1015Block[123] = {
    0xFF, 0x77, 0x00, 0x17, 0x00, 0x06, 0x00, 0x07, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x06, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x16, 0x00, 0x2E, 0x00, 0x16, 0x00, 0x2E, 0x00, 0x04, 0x00, 0x65, 0x05, 0x04,
    0x00, 0x65, 0x05, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6E, 0x67, 0x25, 0x00, 0x53, 0x43, 0x55, 0x04, 0x6F,
    0x67, 0x25, 0x00, 0x87, 0x9B, 0x50, 0x03, 0x4A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// The drawing-level handles the order names by their AdDrawing field, as
// this write has them.
const AdHandle* drawingHandle(const AdDwgWriter* writer, std::uint32_t offset) {
    const AdDwgHeaderHandles& h = writer->handles;
    for (int i = 0; i < AD_TABLE_CONTROL_COUNT; ++i)
        if (offset == offsetof(AdDrawing, tableControls) + i * sizeof(AdHandle)) return &h.controls[i];
    const struct {
        std::size_t offset;
        const AdHandle* handle;
    } fields[] = {
        {offsetof(AdDrawing, groupDictionary), &h.groupDictionary},
        {offsetof(AdDrawing, mlineStyleDictionary), &h.mlineStyleDictionary},
        {offsetof(AdDrawing, namedObjectDictionary), &h.root},
        {offsetof(AdDrawing, paperSpaceBlock), &h.paperSpaceBlock},
        {offsetof(AdDrawing, modelSpaceBlock), &h.modelSpaceBlock},
        {offsetof(AdDrawing, byLayerLtype), &h.byLayerLtype},
        {offsetof(AdDrawing, byBlockLtype), &h.byBlockLtype},
        {offsetof(AdDrawing, continuousLtype), &h.continuousLtype},
        {offsetof(AdDrawing, layoutDictionary), &h.layoutDictionary},
        {offsetof(AdDrawing, plotSettingsDictionary), &h.plotSettingsDictionary},
        {offsetof(AdDrawing, plotStyleDictionary), &h.plotStyleDictionary},
    };
    for (const auto& field : fields)
        if (field.offset == offset) return field.handle;
    return nullptr;
}

// Controls and the root dictionary are owned by the header; everything
// else it only points at.
std::uint8_t drawingHandleCode(std::uint32_t offset) {
    const bool owned = offset == offsetof(AdDrawing, namedObjectDictionary) ||
                       (offset >= offsetof(AdDrawing, tableControls) &&
                        offset < offsetof(AdDrawing, tableControls) + sizeof(AdDrawing::tableControls));
    return owned ? AD_REF_HARD_OWNER : AD_REF_HARD_POINTER;
}

// An integer field of 1, 2 or 4 bytes, with its sign.
std::int32_t integerOf(const std::uint8_t* field, std::uint32_t size) {
    if (size == 1) return static_cast<std::int8_t>(*field);
    if (size == 2) {
        std::int16_t v;
        std::memcpy(&v, field, sizeof v);
        return v;
    }
    std::int32_t v = 0;
    if (size == 4) std::memcpy(&v, field, sizeof v);
    return v;
}

std::int32_t flagWord(const AdHeaderVars* header) {
    std::int32_t flags = adLineweightIndex(header->celweight) & 0x1F;
    flags |= (header->endcaps & 3) << 5;
    flags |= (header->joinstyle & 3) << 7;
    if (!header->lwdisplay) flags |= 0x0200;
    if (!header->xedit) flags |= 0x0400;
    flags |= 0x0800;
    if (header->pstylemode) flags |= 0x2000;
    if (header->dwgHeaderFlag2) flags |= 0x4000;
    return flags;
}

// AC1012 and AC1014 know no decimal fractions of DIMLUNIT: their DIMUNIT
// counts the fractional kinds apart.
std::int16_t olderDimUnit(const AdHeaderVars* header) {
    const std::int16_t unit = header->dimlunit;
    if ((unit == 4 || unit == 5) && header->dimfrac == 2) return static_cast<std::int16_t>(unit + 2);
    if (unit == 6) return 8;
    return unit;
}

int writeDoubles(const std::uint8_t* field, std::uint8_t kind) {
    double values[3];
    std::memcpy(values, field, (kind == AD_DV_BD ? 1 : kind == AD_DV_2RD ? 2 : 3) * sizeof(double));
    if (kind == AD_DV_BD) return adBitWriteDouble(values[0]);
    if (kind == AD_DV_2RD) return adBitWriteRaw2D(values);
    return adBitWrite3D(values);
}

int writeRow(AdDwgWriter* writer, const AdDwgVarRow& row) {
    AdHeaderVars* header = writer->output->header;
    const bool older = writer->version < AD_VERSION_AC1015;
    const std::uint8_t* field = nullptr;
    if (row.place == AD_DV_IN_HEADER) field = reinterpret_cast<const std::uint8_t*>(header) + row.offset;
    if (row.place == AD_DV_IN_DRAWING) {
        const AdHandle* handle = drawingHandle(writer, row.offset);
        return handle && adBitWriteHandle(handle, drawingHandleCode(row.offset)) > 0;
    }
    if (row.place == AD_DV_IN_DWG_FILE)
        return adBitWriteHandle(&writer->handles.currentVportEntity, AD_REF_HARD_POINTER) > 0;
    switch (row.kind) {
    case AD_DV_B: return adBitWriteBit(integerOf(field, row.size) != 0);
    case AD_DV_RC:
        if (older && row.offset == offsetof(AdHeaderVars, dimatfit))
            return adBitWriteByte(static_cast<std::uint8_t>((header->dimtmove & 0xFF) + header->dimatfit));
        return adBitWriteByte(static_cast<std::uint8_t>(integerOf(field, row.size)));
    case AD_DV_BS:
        if (older && row.offset == offsetof(AdHeaderVars, dimlunit)) {
            header->dimlunit = olderDimUnit(header);
            return adBitWriteShort(header->dimlunit);
        }
        return adBitWriteShort(static_cast<std::int16_t>(integerOf(field, row.size)));
    case AD_DV_BL: return adBitWriteLong(integerOf(field, row.size));
    case AD_DV_BD:
    case AD_DV_2RD:
    case AD_DV_3BD: return writeDoubles(field, row.kind);
    case AD_DV_T: {
        const auto* text = reinterpret_cast<const char*>(field);
        char cut[AD_TABLE_NAME_SIZE];
        const std::size_t length = strnlen(text, std::min<std::size_t>(row.size, sizeof cut) - 1);
        std::memcpy(cut, text, length);
        cut[length] = '\0';
        return adBitWriteText(cut);
    }
    case AD_DV_H: return adBitWriteHandle(reinterpret_cast<const AdHandle*>(field), AD_REF_HARD_POINTER);
    case AD_DV_DROP_BIT: return adBitWriteBit(0);
    case AD_DV_HANDSEED: return adBitWriteHandle(&header->handseed, 0);
    case AD_DV_FLAG_WORD: return adBitWriteLong(flagWord(header));
    case AD_DV_CEPSNID:
        return header->cepsntype != kNamedPlotStyle ||
               adBitWriteHandle(reinterpret_cast<const AdHandle*>(field), AD_REF_HARD_POINTER) > 0;
    default: return 0;
    }
}
}  // namespace

int adDwgWriteFileHeader(AdDwgWriter* writer) {
    const bool ac1015 = writer->version >= AD_VERSION_AC1015;
    const int locators = writer->version == AD_VERSION_AC1012 ? 4 : ac1015 ? 6 : 5;
    std::vector<std::uint8_t> lead(25 + 9 * locators + 2, 0);
    std::memcpy(lead.data(), ac1015 ? "AC1015" : writer->version == AD_VERSION_AC1014 ? "AC1014" : "AC1012", 6);
    lead[11] = ac1015 ? 6 : 4;
    lead[12] = 1;
    if (ac1015) {
        lead[17] = 0x13;
        lead[18] = 0x06;
    }
    const auto codePage = static_cast<std::uint16_t>(writer->output->header->dwgcodepage);
    lead[19] = static_cast<std::uint8_t>(codePage & 0xFF);
    lead[20] = static_cast<std::uint8_t>(codePage >> 8);
    adDwgPutLong(lead, 21, locators);
    for (int i = 0; i < locators; ++i) lead[25 + 9 * i] = static_cast<std::uint8_t>(i);
    if (ac1015) {
        adDwgPutLong(lead, 25 + 9 * 5 + 1, 0x61);
        adDwgPutLong(lead, 25 + 9 * 5 + 5, 0x7B);
    }
    return adOutWrite(writer->output, lead.data(), lead.size()) &&
           adOutWrite(writer->output, kHeaderLead, sizeof kHeaderLead) &&
           (!ac1015 || adOutWrite(writer->output, kAc1015Block, sizeof kAc1015Block));
}

int adDwgWriteHeaderSection(AdDwgWriter* writer) {
    writer->sections.headerAddress = adOutTell(writer->output);
    if (writer->sections.headerAddress < 0 || !adBitBufferReset(writer->source, writer->sections.headerAddress))
        return 0;
    const AdDwgVarOrder& order =
        writer->version >= AD_VERSION_AC1015 ? adDwgHeaderOrderAc1015 : adDwgHeaderOrderAc1012;
    for (const AdDwgVarSpan& span : order.spans)
        for (std::int32_t i = 0; i < span.count; ++i)
            if (writeRow(writer, span.rows[i]) <= 0 || !adBitUsable()) return 0;
    // What the reader passes over at the end: the CONTINUOUS linetype of
    // AC1012 and AC1014, four zero shorts of AC1015.
    if (writer->version >= AD_VERSION_AC1015)
        for (int i = 0; i < 4; ++i) adBitWriteShort(0);
    else
        adBitWriteHandle(&writer->handles.continuousLtype, AD_REF_HARD_POINTER);
    const std::vector<std::uint8_t> data = adDwgTakeBits(writer);
    if (data.empty()) return 0;
    const std::vector<std::uint8_t> section = adDwgFramedSection(kHeaderStart, data, kHeaderEnd);
    writer->sections.headerSize = static_cast<std::int32_t>(section.size());
    return adOutWrite(writer->output, section.data(), section.size());
}
