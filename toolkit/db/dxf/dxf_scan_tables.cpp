// The pre-scan of the TABLES section: for each table, the handle of its
// control object (AC1012 and later), where its first record lies and how
// many records it holds.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {
struct TableSlot {
    std::int16_t kind;
    AdTableControl control;
    std::uint16_t sectionFlag;
};

constexpr TableSlot kTables[] = {
    {AD_DXF_KIND_LTYPE, AD_CONTROL_LTYPE, AD_DXF_SECTION_LTYPE},
    {AD_DXF_KIND_LAYER, AD_CONTROL_LAYER, AD_DXF_SECTION_LAYER},
    {AD_DXF_KIND_STYLE, AD_CONTROL_STYLE, AD_DXF_SECTION_STYLE},
    {AD_DXF_KIND_VIEW, AD_CONTROL_VIEW, AD_DXF_SECTION_VIEW},
    {AD_DXF_KIND_VPORT, AD_CONTROL_VPORT, AD_DXF_SECTION_VPORT},
    {AD_DXF_KIND_APPID, AD_CONTROL_APPID, AD_DXF_SECTION_APPID},
    {AD_DXF_KIND_DIMSTYLE, AD_CONTROL_DIMSTYLE, AD_DXF_SECTION_DIMSTYLE},
    {AD_DXF_KIND_UCS, AD_CONTROL_UCS, AD_DXF_SECTION_UCS},
    {AD_DXF_KIND_BLOCK_RECORD, AD_CONTROL_BLOCK, AD_DXF_SECTION_BLOCK_RECORD},
};

const TableSlot* slotOf(int kind) {
    for (const TableSlot& slot : kTables)
        if (slot.kind == kind) return &slot;
    return nullptr;
}

std::int32_t& countOf(AdDrawing* drawing, const TableSlot& slot) {
    return slot.control == AD_CONTROL_BLOCK ? drawing->dxfBlockRecordCount : drawing->tableEntryCounts[slot.control];
}

enum class TableEnd { Table, Section, File };

// From the group after 0 TABLE up to 0 ENDTAB. The control object's handle
// is the first 5 group before the first record, wherever the table's
// header puts it.
TableEnd scanTable(AdDrawing* drawing) {
    const AdDxfToken& t = adDxfToken();
    std::int64_t position = 0;
    if (!adDxfReadGroupAt(drawing, &position)) return TableEnd::File;
    const TableSlot* slot = t.code == 2 ? slotOf(adDxfRecordKind(t.text)) : nullptr;
    const char* recordName = slot ? adDxfRecordKindName(slot->kind) : nullptr;
    bool inHeader = t.code != 0;
    bool controlSeen = false;
    for (;;) {
        if (adDxfTokenIs(0, "ENDTAB")) return TableEnd::Table;
        if (adDxfTokenIs(0, "ENDSEC")) return TableEnd::Section;
        if (t.code == 0) inHeader = false;
        if (slot && inHeader && !controlSeen && t.code == 5 && drawing->version >= AD_VERSION_FIRST_BITCODED) {
            drawing->tableControls[slot->control] = t.handle;
            controlSeen = true;
        }
        if (recordName && adDxfTokenIs(0, recordName)) {
            std::int32_t& count = countOf(drawing, *slot);
            if (count == 0) drawing->dxfTablePositions[slot->control] = position;
            ++count;
            drawing->dxfSections |= slot->sectionFlag;
        }
        if (!adDxfReadGroupAt(drawing, &position)) return TableEnd::File;
    }
}
}  // namespace

int adDxfKindControl(int kind) {
    const TableSlot* slot = slotOf(kind);
    return slot ? slot->control : -1;
}

int adDxfScanTables(AdDrawing* drawing) {
    while (adDxfReadGroup(drawing)) {
        if (adDxfTokenIs(0, "ENDSEC")) return 1;
        if (!adDxfTokenIs(0, "TABLE")) continue;
        const TableEnd end = scanTable(drawing);
        if (end == TableEnd::File) return 0;
        if (end == TableEnd::Section) return 1;
    }
    return 0;
}
