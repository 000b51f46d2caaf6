// The fixed-size BLOCK and DIMSTYLE records.
#include "toolkit/db/r12/r12_file.h"

#include <cstring>
#include <initializer_list>

namespace {
constexpr std::int32_t kPostWidth = 16;
constexpr std::int32_t kArrowWidth = 33;
constexpr std::uint8_t kXrefFlag = 4;
constexpr std::uint32_t kOffsetMask = 0x3FFFFFFF;

template <std::size_t N>
void readDoubles(AdR12Record* at, double* const (&fields)[N]) {
    for (double* field : fields) *field = adR12ReadDouble(at);
}

// An arrow names its block; the blocks are loaded before the styles.
void readArrow(AdDrawing* drawing, AdR12Record* at, AdHandle* out) {
    char name[kArrowWidth + 1];
    adR12ReadText(at, kArrowWidth, name, sizeof name);
    *out = AdHandle{};
    if (name[0] != '\0') adBlockHandleByName(drawing, name, out);
}

void blockFields(AdDrawing* drawing, AdR12Record* at, AdR12Common* common, AdBlockHeader*) {
    // Before AC1009 the bit does not mean an external reference.
    if (drawing->version < AD_R12_AC1009) common->flags = static_cast<std::uint8_t>(common->flags & ~kXrefFlag);
    // The block's entities lie this far into the blocks section; the block
    // loader keeps it with the block for its entity list. The top two bits
    // are flags, as in the section sizes of the header.
    drawing->dxfBlockOffset = static_cast<std::uint32_t>(adR12ReadLong(at)) & kOffsetMask;
}

void dimStyleFields(AdDrawing* drawing, AdR12Record* at, AdR12Common*, AdDimStyleRecord* r) {
    readDoubles(at, {&r->dimscale, &r->dimasz, &r->dimexo, &r->dimdli, &r->dimexe, &r->dimrnd, &r->dimdle, &r->dimtp,
                     &r->dimtm, &r->dimtxt, &r->dimcen, &r->dimtsz, &r->dimaltf, &r->dimlfac, &r->dimtvp});
    for (std::uint8_t* field : {&r->dimtol, &r->dimlim, &r->dimtih, &r->dimtoh, &r->dimse1, &r->dimse2, &r->dimtad,
                                &r->dimzin, &r->dimalt, &r->dimaltd, &r->dimtofl, &r->dimsah, &r->dimtix, &r->dimsoxd})
        *field = adR12ReadByte(at);
    adR12ReadText(at, kPostWidth, r->dimpost, sizeof r->dimpost);
    adR12ReadText(at, kPostWidth, r->dimapost, sizeof r->dimapost);
    for (AdHandle* arrow : {&r->dimblk, &r->dimblk1, &r->dimblk2}) readArrow(drawing, at, arrow);
    for (std::int16_t* field : {&r->dimclrd, &r->dimclre, &r->dimclrt}) *field = adR12ReadShort(at);
    r->dimtfac = adR12ReadDouble(at);
    r->dimgap = adR12ReadDouble(at);
}
}  // namespace

int adR12NextBlock(AdDrawing* drawing, AdBlockHeader* out) {
    std::memset(adGlobals->blockBasePoint, 0, sizeof adGlobals->blockBasePoint);
    adGlobals->blockXrefPath[0] = '\0';
    drawing->currentBlockEntity = drawing->currentEndblkEntity = AdHandle{};
    drawing->currentFirstEntity = drawing->currentLastEntity = AdHandle{};
    return adR12ReadRecord(drawing, AD_CONTROL_BLOCK, out, blockFields);
}

int adR12NextDimStyle(AdDrawing* drawing, AdDimStyleRecord* out) {
    adDefaultDimStyleRecord(drawing, out);
    return adR12ReadRecord(drawing, AD_CONTROL_DIMSTYLE, out, dimStyleFields);
}
