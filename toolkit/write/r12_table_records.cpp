// The table records of DWG AC1002..AC1009: a flag byte, the legal name in
// 32 bytes and each table's fields, in the record size of the version.
#include "toolkit/write/r12_records.h"

#include <cstring>
#include <initializer_list>
#include <memory>

namespace {
constexpr std::int32_t kNameWidth = 32;
constexpr std::int32_t kDescriptionWidth = 48;
constexpr std::int32_t kFontWidth = 64;
constexpr std::int32_t kPostWidth = 16;
constexpr std::int32_t kArrowWidth = 33;
constexpr std::int32_t kDashSlots = 12;
constexpr std::uint8_t kErased = 0x80;
constexpr std::uint8_t kViewErased = 0x01;
constexpr std::uint8_t kViewPaperSpace = 0x01;
constexpr std::uint8_t kBlockAnonymous = 0x01;
constexpr std::uint8_t kBlockXref = 0x04;
constexpr std::uint8_t kBlockDependent = 0x10;
constexpr std::uint8_t kBlockResolved = 0x20;

// Starts a record: a table absent from the version answers false. An erased
// record is its flag byte alone, which the caller then writes.
bool begin(AdOutputDrawing* output, AdR12Table table) {
    if (output->recordSizes[table] == 0) return false;
    adR12RecordBegin(&output->record);
    return true;
}

int finish(AdOutputDrawing* output, AdR12Table table) {
    if (!adR12WriteTableRecord(output, table)) return 0;
    ++output->tableCounters[table];
    return 1;
}

int erased(AdOutputDrawing* output, AdR12Table table, std::uint8_t mark) {
    adR12PutByte(&output->record, mark);
    return finish(output, table);
}

// The flag byte and the name cut to limit, then for AC1009 the reference
// word.
void common(AdDrawing* source, AdOutputDrawing* output, std::uint8_t flags, const char* name, std::int32_t number,
            std::int16_t limit, std::int16_t reference) {
    AdR12RecordBuffer* r = &output->record;
    // A live record must not read back as an erased one.
    adR12PutByte(r, static_cast<std::uint8_t>(flags & ~kErased));
    char legal[AD_LEGAL_NAME_SIZE];
    adDwgLegalName(source, &output->budgets, name, number, limit, legal);
    adR12PutText(r, legal, kNameWidth);
    if (output->version == AD_VERSION_AC1009) adR12PutShort(r, reference);
}

void commonGlobal(AdDrawing* source, AdOutputDrawing* output, std::uint8_t flags, const char* name,
                  std::int32_t number, std::int16_t reference) {
    common(source, output, flags, name, number, adGetNameLengthLimit(), reference);
}

bool startsWithNoCase(const char* text, const char* prefix) {
    return adStrCompareNoCaseN(text, prefix, static_cast<std::int32_t>(std::strlen(prefix))) == 0;
}

// An arrow block's name, or zeros for none.
void putArrow(AdDrawing* source, AdR12RecordBuffer* r, const AdHandle& handle) {
    auto block = std::make_unique<AdBlockHeader>();
    if (adHandleLength(&handle) != 0 && adBlockByHandle(source, &handle, block.get()))
        adR12PutText(r, block->name, kArrowWidth - 1);
    else
        adR12PutZeros(r, kArrowWidth - 1);
    adR12PutByte(r, 0);
}
}  // namespace

int adR12WriteBlockRecord(AdDrawing* source, AdOutputDrawing* output, const AdBlockHeader* block,
                          std::int32_t number) {
    if (!begin(output, AD_R12_BLOCK)) return 1;
    if (block->erased) return erased(output, AD_R12_BLOCK, kErased);
    std::uint8_t flags = block->flags;
    if (block->name[0] == '*' && !startsWithNoCase(block->name, "*PAPER_SPACE")) flags |= kBlockAnonymous;
    if (output->version < AD_VERSION_AC1009) flags &= static_cast<std::uint8_t>(~(kBlockDependent | kBlockResolved));
    const bool xref = (block->flags & kBlockXref) || (block->flags & kBlockDependent);
    const std::int16_t limit = xref ? adXrefNameBudget(&output->budgets, block->name) : adGetNameLengthLimit();
    // Blocks keep no reference word of their own.
    common(source, output, flags, block->name, number, limit, -1);
    if (output->version == AD_VERSION_AC1009) {
        adR12PutLong(&output->record, 0);  // the entities' address, patched when they are written
        adR12PutLong(&output->record, -1);
    }
    return finish(output, AD_R12_BLOCK);
}

int adR12WriteLayerRecord(AdDrawing* source, AdOutputDrawing* output, const AdLayerRecord* layer,
                          std::int32_t number) {
    if (!begin(output, AD_R12_LAYER)) return 1;
    if (layer->erased) return erased(output, AD_R12_LAYER, kErased);
    std::int16_t linetype = 0;
    if (!adLtypeHandleToIndex(source, &layer->linetype, &linetype)) return 0;
    commonGlobal(source, output, layer->flags, layer->name, number, layer->xrefIndex);
    adR12PutShort(&output->record, layer->colour);
    adR12PutShort(&output->record, linetype);
    return finish(output, AD_R12_LAYER);
}

int adR12WriteStyleRecord(AdDrawing* source, AdOutputDrawing* output, const AdStyleRecord* style,
                          std::int32_t number) {
    if (!begin(output, AD_R12_STYLE)) return 1;
    if (style->erased) return erased(output, AD_R12_STYLE, kErased);
    AdR12RecordBuffer* r = &output->record;
    commonGlobal(source, output, style->flags, style->name, number, style->xrefIndex);
    adR12PutDouble(r, style->fixedHeight);
    adR12PutDouble(r, style->widthFactor);
    adR12PutDouble(r, style->obliqueAngle);
    adR12PutByte(r, style->generationFlags);
    adR12PutDouble(r, style->lastHeight);
    adR12PutText(r, style->fontFile, kFontWidth);
    adR12PutText(r, style->bigFontFile, kFontWidth);
    return finish(output, AD_R12_STYLE);
}

int adR12WriteLtypeRecord(AdDrawing* source, AdOutputDrawing* output, const AdLtypeRecord* ltype,
                          std::int32_t number) {
    if (!begin(output, AD_R12_LTYPE)) return 1;
    if (ltype->erased) return erased(output, AD_R12_LTYPE, kErased);
    AdR12RecordBuffer* r = &output->record;
    commonGlobal(source, output, ltype->flags, ltype->name, number, ltype->xrefIndex);
    adR12PutText(r, ltype->description, kDescriptionWidth - 1);
    adR12PutByte(r, 0);
    adR12PutByte(r, ltype->alignment);
    // The count stays as it is; only the dashes the record has room for are
    // written.
    adR12PutByte(r, static_cast<std::uint8_t>(ltype->dashCount));
    adR12PutDouble(r, ltype->patternLength);
    std::int32_t dashes = ltype->dashCount < 0 ? 0 : ltype->dashCount;
    if (dashes > kDashSlots) dashes = kDashSlots;
    if (dashes > AD_LTYPE_DASH_COUNT) dashes = AD_LTYPE_DASH_COUNT;
    for (std::int32_t i = 0; i < dashes; ++i) adR12PutDouble(r, ltype->dashes[i].length);
    return finish(output, AD_R12_LTYPE);
}

int adR12WriteViewRecord(AdDrawing* source, AdOutputDrawing* output, const AdViewTableRecord* view,
                         std::int32_t number) {
    if (!begin(output, AD_R12_VIEW)) return 1;
    // An erased VIEW carries bit 0x01; 0x80 is set as well so that readers
    // that test the other tables' mark see it too.
    if (view->erased) return erased(output, AD_R12_VIEW, kViewErased | kErased);
    AdR12RecordBuffer* r = &output->record;
    // Bit 0x01 of the flag byte marks an erased view: the paper-space bit of
    // the view's flags travels in the second flag word.
    commonGlobal(source, output, static_cast<std::uint8_t>(view->flags & ~kViewPaperSpace), view->name, number,
                 view->xrefIndex);
    adR12PutDouble(r, view->height);
    adR12PutPoint2D(r, view->centre);
    adR12PutDouble(r, view->width);
    adR12PutPoint3D(r, view->direction);
    if (output->version >= AD_VERSION_AC1006) {
        adR12PutShort(r, static_cast<std::int16_t>(view->flags & kViewPaperSpace));
        adR12PutPoint3D(r, view->target);
        adR12PutDouble(r, view->lensLength);
        adR12PutDouble(r, view->twist);
        adR12PutDouble(r, view->frontClip);
        adR12PutDouble(r, view->backClip);
        adR12PutShort(r, view->viewMode);
    }
    return finish(output, AD_R12_VIEW);
}

int adR12WriteUcsRecord(AdDrawing* source, AdOutputDrawing* output, const AdUcsRecord* ucs, std::int32_t number) {
    if (!begin(output, AD_R12_UCS)) return 1;
    if (ucs->erased) return erased(output, AD_R12_UCS, kErased);
    AdR12RecordBuffer* r = &output->record;
    commonGlobal(source, output, ucs->flags, ucs->name, number, ucs->xrefIndex);
    adR12PutPoint3D(r, ucs->origin);
    adR12PutPoint3D(r, ucs->xAxis);
    adR12PutPoint3D(r, ucs->yAxis);
    return finish(output, AD_R12_UCS);
}

int adR12WriteVportRecord(AdDrawing* source, AdOutputDrawing* output, const AdVportRecord* vport,
                          std::int32_t number) {
    if (!begin(output, AD_R12_VPORT)) return 1;
    if (vport->erased) return erased(output, AD_R12_VPORT, kErased);
    AdR12RecordBuffer* r = &output->record;
    commonGlobal(source, output, vport->flags, vport->name, number, vport->xrefIndex);
    adR12PutPoint2D(r, vport->lowerLeft);
    adR12PutPoint2D(r, vport->upperRight);
    adR12PutPoint3D(r, vport->viewTarget);
    adR12PutPoint3D(r, vport->viewDirection);
    adR12PutDouble(r, vport->viewTwist);
    adR12PutDouble(r, vport->viewHeight);
    adR12PutPoint2D(r, vport->viewCentre);
    for (double value : {vport->aspectRatio, vport->lensLength, vport->frontClip, vport->backClip})
        adR12PutDouble(r, value);
    for (std::int16_t value : {vport->viewMode, vport->circleZoom, vport->fastZoom, vport->ucsIcon, vport->snapOn,
                               vport->gridOn, vport->snapStyle, vport->snapIsoPair})
        adR12PutShort(r, value);
    adR12PutDouble(r, vport->snapAngle);
    adR12PutPoint2D(r, vport->snapBase);
    adR12PutPoint2D(r, vport->snapSpacing);
    adR12PutPoint2D(r, vport->gridSpacing);
    return finish(output, AD_R12_VPORT);
}

int adR12WriteAppidRecord(AdDrawing* source, AdOutputDrawing* output, const AdAppidRecord* appid,
                          std::int32_t number) {
    if (output->version != AD_VERSION_AC1009 || !begin(output, AD_R12_APPID)) return 1;
    if (appid->erased) return erased(output, AD_R12_APPID, kErased);
    commonGlobal(source, output, appid->flags, appid->name, number, appid->xrefIndex);
    return finish(output, AD_R12_APPID);
}

int adR12WriteDimStyleRecord(AdDrawing* source, AdOutputDrawing* output, const AdDimStyleRecord* style,
                             std::int32_t number) {
    if (output->version != AD_VERSION_AC1009 || !begin(output, AD_R12_DIMSTYLE)) return 1;
    if (style->erased) return erased(output, AD_R12_DIMSTYLE, kErased);
    AdR12RecordBuffer* r = &output->record;
    commonGlobal(source, output, style->flags, style->name, number, style->xrefIndex);
    for (double value : {style->dimscale, style->dimasz, style->dimexo, style->dimdli, style->dimexe, style->dimrnd,
                         style->dimdle, style->dimtp, style->dimtm, style->dimtxt, style->dimcen, style->dimtsz,
                         style->dimaltf, style->dimlfac, style->dimtvp})
        adR12PutDouble(r, value);
    for (std::uint8_t value : {style->dimtol, style->dimlim, style->dimtih, style->dimtoh, style->dimse1,
                               style->dimse2, style->dimtad, style->dimzin, style->dimalt, style->dimaltd,
                               style->dimtofl, style->dimsah, style->dimtix, style->dimsoxd})
        adR12PutByte(r, value);
    adR12PutText(r, style->dimpost, kPostWidth);
    adR12PutText(r, style->dimapost, kPostWidth);
    for (const AdHandle* arrow : {&style->dimblk, &style->dimblk1, &style->dimblk2}) putArrow(source, r, *arrow);
    for (std::int16_t value : {style->dimclrd, style->dimclre, style->dimclrt}) adR12PutShort(r, value);
    adR12PutDouble(r, style->dimtfac);
    adR12PutDouble(r, style->dimgap);
    return finish(output, AD_R12_DIMSTYLE);
}

int adR12NoteViewportAddress(AdOutputDrawing* output, std::int32_t address) {
    if (output->viewportAddressCount == output->viewportAddressCapacity) {
        const std::int32_t capacity = output->viewportAddressCapacity ? output->viewportAddressCapacity * 2 : 16;
        auto* grown = static_cast<std::int32_t*>(HostAlloc(sizeof(std::int32_t) * static_cast<std::size_t>(capacity)));
        if (!grown) return 0;
        if (output->viewportAddressCount)
            std::memcpy(grown, output->viewportAddresses,
                        sizeof(std::int32_t) * static_cast<std::size_t>(output->viewportAddressCount));
        if (output->viewportAddresses) HostFree(output->viewportAddresses);
        output->viewportAddresses = grown;
        output->viewportAddressCapacity = capacity;
    }
    output->viewportAddresses[output->viewportAddressCount++] = address;
    return 1;
}

int adR12WriteVxRecord(AdOutputDrawing* output, const AdVportEntityHeader* vx) {
    if (output->version != AD_VERSION_AC1009 || !begin(output, AD_R12_VX)) return 1;
    AdR12RecordBuffer* r = &output->record;
    std::uint8_t flags = static_cast<std::uint8_t>(vx->flags & ~kErased);
    if (vx->erased) flags |= kErased;
    if (vx->number == 0) flags &= static_cast<std::uint8_t>(~1u);
    adR12PutByte(r, flags);
    adR12PutText(r, vx->name, kNameWidth);
    adR12PutShort(r, static_cast<std::int16_t>(vx->entityIndex));
    const bool first = output->tableCounters[AD_R12_VX] == 0;
    if (first || vx->erased) {
        adR12PutLong(r, -1);
        adR12PutShort(r, 0);
    } else {
        // A header whose VIEWPORT was never written links to no address.
        const bool known = output->viewportAddressNext < output->viewportAddressCount;
        adR12PutLong(r, known ? output->viewportAddresses[output->viewportAddressNext++] : -1);
        adR12PutShort(r, vx->number == -1 ? std::int16_t{0} : vx->number);
    }
    return finish(output, AD_R12_VX);
}
