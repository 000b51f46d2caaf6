// DIMSTYLE entries of AC1012 and later files.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_blocks.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <initializer_list>

namespace {
constexpr std::int16_t kDimStyleType = 69;
constexpr std::int32_t kArrowNameSize = 1024;
constexpr std::int32_t kArrowKinds[] = {5, 6, 7};  // $DIMBLK, $DIMBLK1, $DIMBLK2

// The fields of one kind in the order the object holds them.
template <std::size_t N>
void readDoubles(double* const (&fields)[N]) {
    for (double* field : fields) adBitReadDouble(field);
}
template <class Field, std::size_t N>
void readBits(Field* const (&fields)[N]) {
    for (Field* field : fields) *field = static_cast<Field>(adBitReadBit());
}
template <class Field, std::size_t N>
void readShorts(Field* const (&fields)[N]) {
    for (Field* field : fields) *field = static_cast<Field>(adBitReadShort());
}
template <class Field, std::size_t N>
void readBytes(Field* const (&fields)[N]) {
    for (Field* field : fields) *field = static_cast<Field>(adBitReadByte());
}

void readAc1015(AdDimStyleRecord* r) {
    adDwgReadCutText(r->dimpost, AD_TABLE_NAME_SIZE);
    adDwgReadCutText(r->dimapost, AD_TABLE_NAME_SIZE);
    readDoubles({&r->dimscale, &r->dimasz, &r->dimexo, &r->dimdli, &r->dimexe, &r->dimrnd, &r->dimdle, &r->dimtp,
                 &r->dimtm});
    readBits({&r->dimtol, &r->dimlim, &r->dimtih, &r->dimtoh, &r->dimse1, &r->dimse2});
    readShorts({&r->dimtad, &r->dimzin});
    r->dimazin = adBitReadShort();
    readDoubles({&r->dimtxt, &r->dimcen, &r->dimtsz, &r->dimaltf, &r->dimlfac, &r->dimtvp, &r->dimtfac, &r->dimgap,
                 &r->dimaltrnd});
    r->dimalt = static_cast<std::uint8_t>(adBitReadBit());
    r->dimaltd = static_cast<std::uint8_t>(adBitReadShort());
    readBits({&r->dimtofl, &r->dimsah, &r->dimtix, &r->dimsoxd});
    readShorts({&r->dimclrd, &r->dimclre, &r->dimclrt, &r->dimadec, &r->dimdec, &r->dimtdec, &r->dimaltu,
                &r->dimalttd, &r->dimaunit, &r->dimfrac, &r->dimunit, &r->dimdsep, &r->dimtmove});
    r->dimjust = static_cast<std::uint8_t>(adBitReadShort());
    readBits({&r->dimsd1, &r->dimsd2});
    readShorts({&r->dimtolj, &r->dimtzin, &r->dimaltz, &r->dimalttz});
    r->dimupt = static_cast<std::uint8_t>(adBitReadBit());
    r->dimfit = static_cast<std::uint8_t>(adBitReadShort());
    readShorts({&r->dimlwd, &r->dimlwe});
}

// An arrow block named before the blocks are read is looked up among those
// already there; one not found yet is left for the load to resolve.
void resolveArrow(AdDrawing* drawing, const AdHandle& style, const char* name, std::int32_t kind, AdHandle* out) {
    *out = AdHandle{};
    if (name[0] == '\0' || adBlockHandleByName(drawing, name, out)) return;
    adDxfDeferArrowName(drawing, &style, name, kind);
}

void readAc1012(AdDrawing* drawing, const AdHandle& style, AdDimStyleRecord* r) {
    const std::uint8_t bits = adBitReadByte();
    std::uint8_t* const byBit[] = {&r->dimtol, &r->dimlim, &r->dimtih, &r->dimtoh,
                                   &r->dimse1, &r->dimse2, &r->dimalt, &r->dimtofl};
    for (int i = 0; i < 8; ++i) *byBit[i] = (bits & (0x80 >> i)) ? 1 : 0;
    readBits({&r->dimsah, &r->dimtix, &r->dimsoxd});
    readBytes({&r->dimaltd, &r->dimzin});
    readBits({&r->dimsd1, &r->dimsd2});
    readBytes({&r->dimtolj, &r->dimjust, &r->dimfit});
    r->dimupt = static_cast<std::uint8_t>(adBitReadBit());
    readBytes({&r->dimtzin, &r->dimaltz, &r->dimalttz, &r->dimtad});
    readShorts({&r->dimunit, &r->dimaunit, &r->dimdec, &r->dimtdec, &r->dimaltu, &r->dimalttd});
    readDoubles({&r->dimscale, &r->dimasz, &r->dimexo, &r->dimdli, &r->dimexe, &r->dimrnd, &r->dimdle, &r->dimtp,
                 &r->dimtm, &r->dimtxt, &r->dimcen, &r->dimtsz, &r->dimaltf, &r->dimlfac, &r->dimtvp, &r->dimtfac,
                 &r->dimgap});
    adDwgReadCutText(r->dimpost, AD_TABLE_NAME_SIZE);
    adDwgReadCutText(r->dimapost, AD_TABLE_NAME_SIZE);
    AdHandle* const arrows[] = {&r->dimblk, &r->dimblk1, &r->dimblk2};
    char name[kArrowNameSize];
    for (int i = 0; i < 3; ++i)
        if (adDwgReadCutText(name, kArrowNameSize)) resolveArrow(drawing, style, name, kArrowKinds[i], arrows[i]);
    readShorts({&r->dimclrd, &r->dimclre, &r->dimclrt});
    // What these versions do not store.
    r->dimlwd = r->dimlwe = -1;
    r->dimaltrnd = 0.0;
    r->dimazin = r->dimadec = r->dimfrac = r->dimtmove = 0;
    r->dimdsep = '.';
}
}  // namespace

int adDwgBeginDimStyles(AdDrawing* drawing) {
    if (adIsFixedRecordDwg(drawing)) return adR12BeginTable(drawing, AD_CONTROL_DIMSTYLE);
    const int extraByte = drawing->version >= AD_DWG_AC1015 ? 1 : 0;
    return adDwgBeginTable(drawing, &drawing->tableControls[AD_CONTROL_DIMSTYLE],
                           drawing->tableEntryCounts[AD_CONTROL_DIMSTYLE], extraByte)
               ? 1
               : 0;
}

int adDwgNextDimStyle(AdDrawing* drawing, void* out, std::uint8_t* xdataFlag) {
    auto* record = static_cast<AdDimStyleRecord*>(out);
    if (adIsFixedRecordDwg(drawing)) {
        *xdataFlag = 0;
        return adR12NextDimStyle(drawing, record);
    }
    AdDwgEntryCommon common;
    const int start = adDwgStartRecord(drawing, kDimStyleType, record, &common, xdataFlag);
    if (start != 1) return start == 2;
    const bool ac1015 = drawing->version >= AD_DWG_AC1015;
    if (ac1015)
        readAc1015(record);
    else
        readAc1012(drawing, common.handle, record);
    adBitReadBit();
    AdHandle xrefBlock{};
    if (!adDwgEntryTail(drawing, AD_CONTROL_DIMSTYLE, &common, &xrefBlock)) return 0;
    adDwgEntryHandle(&common, &record->dimtxsty);
    if (ac1015) {
        for (AdHandle* handle : {&record->dimldrblk, &record->dimblk, &record->dimblk1, &record->dimblk2})
            adDwgEntryHandle(&common, handle);
    }
    if (!adDwgEntryFinish(&common)) return 0;
    adDwgPutCommon(record, common);
    return 1;
}
