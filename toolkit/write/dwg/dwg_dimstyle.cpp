// DIMSTYLE records of bit-coded DWG files, in the field order of AC1015 or
// of AC1012/AC1014, which name the arrow blocks instead of pointing at them.
#include "toolkit/write/dwg/dwg_table_record.h"

#include "toolkit/db/bit_stream_state.h"

#include <cstring>

namespace {
template <class Field, std::size_t N>
void bits(const Field (&fields)[N]) {
    for (Field f : fields) adBitWriteBit(f != 0);
}
template <std::size_t N>
void shorts(const std::int16_t (&fields)[N]) {
    for (std::int16_t f : fields) adBitWriteShort(f);
}
template <std::size_t N>
void doubles(const double (&fields)[N]) {
    for (double f : fields) adBitWriteDouble(f);
}
template <std::size_t N>
void bytes(const std::uint8_t (&fields)[N]) {
    for (std::uint8_t f : fields) adBitWriteByte(f);
}

void writeAc1015(const AdDimStyleRecord& r) {
    adBitWriteText(r.dimpost);
    adBitWriteText(r.dimapost);
    doubles({r.dimscale, r.dimasz, r.dimexo, r.dimdli, r.dimexe, r.dimrnd, r.dimdle, r.dimtp, r.dimtm});
    bits({r.dimtol, r.dimlim, r.dimtih, r.dimtoh, r.dimse1, r.dimse2});
    shorts({std::int16_t{r.dimtad}, std::int16_t{r.dimzin}, r.dimazin});
    doubles({r.dimtxt, r.dimcen, r.dimtsz, r.dimaltf, r.dimlfac, r.dimtvp, r.dimtfac, r.dimgap, r.dimaltrnd});
    adBitWriteBit(r.dimalt != 0);
    adBitWriteShort(r.dimaltd);
    bits({r.dimtofl, r.dimsah, r.dimtix, r.dimsoxd});
    shorts({r.dimclrd, r.dimclre, r.dimclrt, r.dimadec, r.dimdec, r.dimtdec, r.dimaltu, r.dimalttd, r.dimaunit,
            r.dimfrac, r.dimunit, r.dimdsep, r.dimtmove, std::int16_t{r.dimjust}});
    bits({r.dimsd1, r.dimsd2});
    shorts({std::int16_t{r.dimtolj}, std::int16_t{r.dimtzin}, std::int16_t{r.dimaltz}, std::int16_t{r.dimalttz}});
    adBitWriteBit(r.dimupt != 0);
    shorts({std::int16_t{r.dimfit}, r.dimlwd, r.dimlwe});
}

// An arrow block by name, as these versions keep it; empty when the block
// is not there.
int writeArrowName(AdDwgWriter* writer, const AdHandle& arrow) {
    char name[AD_TABLE_NAME_SIZE] = "";
    std::int16_t index = 0;
    AdListRecord* block = adHandleLength(&arrow) ? adTableFind(writer->source, adBlockTable, &arrow) : nullptr;
    if (block) {
        adTableReadField(block, adBlockTable.nameOffset, name, sizeof name);
        name[sizeof name - 1] = '\0';
        adBlockHandleToIndex(writer->source, &arrow, &index);
    }
    return name[0] ? adDwgWriteName(writer, name, index, adGlobals->nameLengthLimit) : adBitWriteText("") > 0;
}

int writeAc1012(AdDwgWriter* writer, const AdDimStyleRecord& r) {
    bits({r.dimtol, r.dimlim, r.dimtih, r.dimtoh, r.dimse1, r.dimse2, r.dimalt, r.dimtofl, r.dimsah, r.dimtix,
          r.dimsoxd});
    bytes({r.dimaltd, r.dimzin});
    bits({r.dimsd1, r.dimsd2});
    // These versions fold the text movement into the fit setting.
    bytes({r.dimtolj, r.dimjust, static_cast<std::uint8_t>((r.dimtmove & 0xFF) + r.dimfit)});
    adBitWriteBit(r.dimupt != 0);
    bytes({r.dimtzin, r.dimaltz, r.dimalttz, r.dimtad});
    shorts({r.dimunit, r.dimaunit, r.dimdec, r.dimtdec, r.dimaltu, r.dimalttd});
    doubles({r.dimscale, r.dimasz, r.dimexo, r.dimdli, r.dimexe, r.dimrnd, r.dimdle, r.dimtp, r.dimtm, r.dimtxt,
             r.dimcen, r.dimtsz, r.dimaltf, r.dimlfac, r.dimtvp, r.dimtfac, r.dimgap});
    adBitWriteText(r.dimpost);
    adBitWriteText(r.dimapost);
    for (const AdHandle* arrow : {&r.dimblk, &r.dimblk1, &r.dimblk2})
        if (!writeArrowName(writer, *arrow)) return 0;
    shorts({r.dimclrd, r.dimclre, r.dimclrt});
    return 1;
}
}  // namespace

int adDwgWriteDimStyle(AdDwgWriter* writer, const AdDimStyleRecord& r) {
    if (!adDwgTableRecordBegin(writer, AD_DWG_DIMSTYLE, r)) return 0;
    const bool ac1015 = writer->version >= AD_VERSION_AC1015;
    if (ac1015)
        writeAc1015(r);
    else if (!writeAc1012(writer, r))
        return 0;
    adBitWriteBit(0);
    return adDwgTableRecordEnd(writer, AD_CONTROL_DIMSTYLE, r, [&] {
        adBitWriteHandle(&r.dimtxsty, AD_REF_HARD_POINTER);
        if (!ac1015) return;
        for (const AdHandle* h : {&r.dimldrblk, &r.dimblk, &r.dimblk1, &r.dimblk2})
            adBitWriteHandle(h, AD_REF_HARD_POINTER);
    });
}
