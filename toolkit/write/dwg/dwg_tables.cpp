// The symbol tables of a bit-coded DWG file: each table's control object
// listing its records, and the LAYER, STYLE, LTYPE, VIEW, UCS, VPORT and
// APPID records. Erased records are neither listed nor written.
#include "toolkit/write/dwg/dwg_table_record.h"

#include "toolkit/db/bit_stream_state.h"

#include <cstring>
#include <memory>

namespace {
constexpr std::int16_t kControlTypes[AD_TABLE_CONTROL_COUNT] = {
    AD_DWG_BLOCK_CONTROL, AD_DWG_LAYER_CONTROL, AD_DWG_STYLE_CONTROL,    AD_DWG_LTYPE_CONTROL,
    AD_DWG_VIEW_CONTROL,  AD_DWG_UCS_CONTROL,   AD_DWG_VPORT_CONTROL,   AD_DWG_APPID_CONTROL,
    AD_DWG_DIMSTYLE_CONTROL, AD_DWG_VPORT_ENTITY_CONTROL};

const AdTableDesc* tableOf(AdTableControl control) {
    switch (control) {
    case AD_CONTROL_BLOCK: return &adBlockTable;
    case AD_CONTROL_LAYER: return &adLayerTable;
    case AD_CONTROL_STYLE: return &adStyleTable;
    case AD_CONTROL_LTYPE: return &adLtypeTable;
    case AD_CONTROL_VIEW: return &adViewTable;
    case AD_CONTROL_UCS: return &adUcsTable;
    case AD_CONTROL_VPORT: return &adVportTable;
    case AD_CONTROL_APPID: return &adAppidTable;
    case AD_CONTROL_DIMSTYLE: return &adDimStyleTable;
    default: return nullptr;
    }
}

// The handles a control lists, in table order, and how many it counts.
struct ControlEntry {
    AdHandle handle;
    std::uint8_t code;
};

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

std::vector<ControlEntry> controlEntries(AdDwgWriter* writer, AdTableControl control, std::int32_t* counted) {
    std::vector<ControlEntry> entries;
    const AdDwgHeaderHandles& h = writer->handles;
    if (control == AD_CONTROL_VPORT_ENTITY) {
        // The headers of the VIEWPORTs first, the drawing's own one last.
        for (std::size_t i = 1; i < writer->vportMap.size(); ++i)
            entries.push_back({writer->vportMap[i].header, AD_REF_SOFT_OWNER});
        if (!writer->vportMap.empty()) entries.push_back({writer->vportMap[0].header, AD_REF_SOFT_OWNER});
        *counted = static_cast<std::int32_t>(entries.size());
        return entries;
    }
    const AdTableDesc& table = *tableOf(control);
    std::vector<ControlEntry> tail;
    for (AdListRecord* record = adListFirst(adTableList(writer->source, table)); record; record = record->next) {
        AdHandle handle{};
        std::uint8_t erased = 0;
        adTableReadField(record, table.handleOffset, &handle, sizeof handle);
        if (control == AD_CONTROL_BLOCK) {
            AdBlockHeader block;
            adTableReadField(record, 0, &block, sizeof block);
            erased = block.erased;
            if (sameHandle(handle, h.modelSpaceBlock) || sameHandle(handle, h.paperSpaceBlock)) continue;
        } else {
            erased = adDwgRecordErased(record, control);
        }
        if (erased) continue;
        if (control == AD_CONTROL_LTYPE && (sameHandle(handle, h.byLayerLtype) || sameHandle(handle, h.byBlockLtype)))
            continue;
        entries.push_back({handle, AD_REF_SOFT_OWNER});
    }
    *counted = static_cast<std::int32_t>(entries.size());
    // BYLAYER and BYBLOCK, and the model and paper space blocks, close the
    // list uncounted, owned outright.
    if (control == AD_CONTROL_LTYPE) {
        tail.push_back({h.byLayerLtype, AD_REF_HARD_OWNER});
        tail.push_back({h.byBlockLtype, AD_REF_HARD_OWNER});
    } else if (control == AD_CONTROL_BLOCK) {
        tail.push_back({h.modelSpaceBlock, AD_REF_HARD_OWNER});
        tail.push_back({h.paperSpaceBlock, AD_REF_HARD_OWNER});
    }
    entries.insert(entries.end(), tail.begin(), tail.end());
    return entries;
}

template <class Record>
int writeRecords(AdDwgWriter* writer, AdTableControl control, int (*write)(AdDwgWriter*, const Record&)) {
    const AdTableDesc& table = *tableOf(control);
    auto record = std::make_unique<Record>();
    adTableRewind(writer->source, table);
    while (adTableNext(writer->source, table, record.get())) {
        if (record->erased) continue;
        writer->xrefBlock = AdHandle{};
        if (!write(writer, *record)) return 0;
    }
    return 1;
}

int writeLayer(AdDwgWriter* writer, const AdLayerRecord& r) {
    if (!adDwgTableRecordBegin(writer, AD_DWG_LAYER, r)) return 0;
    const bool off = r.colour < 0;
    if (writer->version >= AD_VERSION_AC1015) {
        std::int32_t word = (r.flags & 1) | (off ? 2 : 0) | ((r.flags & 2) ? 4 : 0) | ((r.flags & 4) ? 8 : 0);
        if (r.plotFlag && adStrCompareNoCase(r.name, "DEFPOINTS") != 0) word |= 0x10;
        word |= (adLineweightIndex(r.lineweight) & 0x1F) << 5;
        adBitWriteShort(static_cast<std::int16_t>(word));
    } else {
        adBitWriteBit(r.flags & 1);
        adBitWriteBit(off);
        adBitWriteBit(r.flags & 2);
        adBitWriteBit(r.flags & 4);
    }
    adBitWriteShort(static_cast<std::int16_t>(off ? -r.colour : r.colour));
    return adDwgTableRecordEnd(writer, AD_CONTROL_LAYER, r, [&] {
        if (writer->version >= AD_VERSION_AC1015) adBitWriteHandle(&r.plotStyle, AD_REF_HARD_POINTER);
        adBitWriteHandle(&r.linetype, AD_REF_HARD_POINTER);
    });
}

int writeStyle(AdDwgWriter* writer, const AdStyleRecord& r) {
    if (!adDwgTableRecordBegin(writer, AD_DWG_STYLE, r)) return 0;
    adBitWriteBit(r.flags & 1);
    adBitWriteBit(r.flags & 4);
    adBitWriteDouble(r.fixedHeight);
    adBitWriteDouble(r.widthFactor);
    adBitWriteDouble(r.obliqueAngle);
    adBitWriteByte(r.generationFlags);
    adBitWriteDouble(r.lastHeight);
    adBitWriteText(r.fontFile);
    adBitWriteText(r.bigFontFile);
    return adDwgTableRecordEnd(writer, AD_CONTROL_STYLE, r, [] {});
}

int writeLtype(AdDwgWriter* writer, const AdLtypeRecord& r) {
    if (!adDwgTableRecordBegin(writer, AD_DWG_LTYPE, r)) return 0;
    adBitWriteText(r.description);
    adBitWriteDouble(r.patternLength);
    adBitWriteByte(r.alignment);
    const std::int16_t dashes = r.dashCount < 0 ? 0 : r.dashCount > AD_LTYPE_DASH_COUNT ? AD_LTYPE_DASH_COUNT : r.dashCount;
    adBitWriteByte(static_cast<std::uint8_t>(dashes));
    for (std::int16_t i = 0; i < dashes; ++i) {
        const AdLtypeDash& d = r.dashes[i];
        adBitWriteDouble(d.length);
        // A text dash names where its text lies in the text area.
        adBitWriteShort((d.complexFlags & 2) ? d.textPosition : d.shapeNumber);
        adBitWriteRawDouble(d.xOffset);
        adBitWriteRawDouble(d.yOffset);
        adBitWriteDouble(d.scale);
        adBitWriteDouble(d.rotation);
        adBitWriteShort(d.complexFlags);
    }
    adBitWriteBytes(r.textArea, AD_LTYPE_TEXT_AREA_SIZE);
    return adDwgTableRecordEnd(writer, AD_CONTROL_LTYPE, r, [&] {
        for (std::int16_t i = 0; i < dashes; ++i) adBitWriteHandle(&r.dashes[i].style, AD_REF_HARD_POINTER);
    });
}

void writeViewMode(std::int16_t mode) {
    for (int bit = 0; bit < 3; ++bit) adBitWriteBit(mode & (1 << bit));
    adBitWriteBit((mode & 0x10) == 0);
}

void writeFrame(const double origin[3], const double xAxis[3], const double yAxis[3], double elevation,
                std::int16_t orthographicType) {
    adBitWrite3D(origin);
    adBitWrite3D(xAxis);
    adBitWrite3D(yAxis);
    adBitWriteDouble(elevation);
    adBitWriteShort(orthographicType);
}

int writeView(AdDwgWriter* writer, const AdViewTableRecord& r) {
    if (!adDwgTableRecordBegin(writer, AD_DWG_VIEW, r)) return 0;
    const bool ac1015 = writer->version >= AD_VERSION_AC1015;
    adBitWriteDouble(r.height);
    adBitWriteDouble(r.width);
    adBitWriteRaw2D(r.centre);
    adBitWrite3D(r.target);
    adBitWrite3D(r.direction);
    adBitWriteDouble(r.twist);
    adBitWriteDouble(r.lensLength);
    adBitWriteDouble(r.frontClip);
    adBitWriteDouble(r.backClip);
    writeViewMode(r.viewMode);
    if (ac1015) adBitWriteByte(static_cast<std::uint8_t>(r.renderMode));
    adBitWriteBit(r.flags & 1);
    const bool withUcs = ac1015 && r.ucsAssociated;
    if (ac1015) {
        adBitWriteBit(withUcs);
        if (withUcs) writeFrame(r.ucsOrigin, r.ucsXAxis, r.ucsYAxis, r.elevation, r.orthographicType);
    }
    return adDwgTableRecordEnd(writer, AD_CONTROL_VIEW, r, [&] {
        if (!withUcs) return;
        adBitWriteHandle(&r.namedUcs, AD_REF_HARD_POINTER);
        adBitWriteHandle(&r.baseUcs, AD_REF_HARD_POINTER);
    });
}

int writeUcs(AdDwgWriter* writer, const AdUcsRecord& r) {
    if (!adDwgTableRecordBegin(writer, AD_DWG_UCS, r)) return 0;
    const bool ac1015 = writer->version >= AD_VERSION_AC1015;
    adBitWrite3D(r.origin);
    adBitWrite3D(r.xAxis);
    adBitWrite3D(r.yAxis);
    if (ac1015) {
        adBitWriteDouble(r.elevation);
        adBitWriteShort(r.value79);
        adBitWriteShort(r.orthographicType);
    }
    return adDwgTableRecordEnd(writer, AD_CONTROL_UCS, r, [&] {
        if (!ac1015) return;
        AdHandle further{};
        std::memcpy(further.b, r.spare, sizeof further.b);
        adBitWriteHandle(&r.baseUcs, AD_REF_HARD_POINTER);
        adBitWriteHandle(&further, AD_REF_HARD_POINTER);
    });
}

int writeVport(AdDwgWriter* writer, const AdVportRecord& r) {
    if (!adDwgTableRecordBegin(writer, AD_DWG_VPORT, r)) return 0;
    const bool ac1015 = writer->version >= AD_VERSION_AC1015;
    adBitWriteDouble(r.viewHeight);
    adBitWriteDouble(r.aspectRatio * r.viewHeight);
    adBitWriteRaw2D(r.viewCentre);
    adBitWrite3D(r.viewTarget);
    adBitWrite3D(r.viewDirection);
    adBitWriteDouble(r.viewTwist);
    adBitWriteDouble(r.lensLength);
    adBitWriteDouble(r.frontClip);
    adBitWriteDouble(r.backClip);
    writeViewMode(r.viewMode);
    if (ac1015) adBitWriteByte(static_cast<std::uint8_t>(r.renderMode));
    adBitWriteRaw2D(r.lowerLeft);
    adBitWriteRaw2D(r.upperRight);
    adBitWriteBit(r.viewMode & 0x08);
    adBitWriteShort(r.circleZoom);
    adBitWriteBit(r.fastZoom != 0);
    adBitWriteBit(r.ucsIcon & 1);
    adBitWriteBit(r.ucsIcon & 2);
    adBitWriteBit(r.gridOn != 0);
    adBitWriteRaw2D(r.gridSpacing);
    adBitWriteBit(r.snapOn != 0);
    adBitWriteBit(r.snapStyle != 0);
    adBitWriteShort(r.snapIsoPair);
    adBitWriteDouble(r.snapAngle);
    adBitWriteRaw2D(r.snapBase);
    adBitWriteRaw2D(r.snapSpacing);
    if (ac1015) {
        adBitWriteBit(0);
        adBitWriteBit(r.ucsPerViewport != 0);
        writeFrame(r.ucsOrigin, r.ucsXAxis, r.ucsYAxis, r.elevation, r.orthographicType);
    }
    return adDwgTableRecordEnd(writer, AD_CONTROL_VPORT, r, [&] {
        if (!ac1015) return;
        adBitWriteHandle(&r.baseUcs, AD_REF_HARD_POINTER);
        adBitWriteHandle(&r.namedUcs, AD_REF_HARD_POINTER);
    });
}

int writeAppid(AdDwgWriter* writer, const AdAppidRecord& r) {
    AdAppidRecord plain = r;
    plain.flags = static_cast<std::uint8_t>(plain.flags & ~0x10);
    if (!adDwgTableRecordBegin(writer, AD_DWG_APPID, plain)) return 0;
    adBitWriteByte(0);
    return adDwgTableRecordEnd(writer, AD_CONTROL_APPID, plain, [] {});
}
}  // namespace

std::uint8_t adDwgRecordErased(AdListRecord* record, AdTableControl control) {
    switch (control) {
    case AD_CONTROL_LAYER: return adDwgStoredErased<AdLayerRecord>(record);
    case AD_CONTROL_STYLE: return adDwgStoredErased<AdStyleRecord>(record);
    case AD_CONTROL_LTYPE: return adDwgStoredErased<AdLtypeRecord>(record);
    case AD_CONTROL_VIEW: return adDwgStoredErased<AdViewTableRecord>(record);
    case AD_CONTROL_UCS: return adDwgStoredErased<AdUcsRecord>(record);
    case AD_CONTROL_VPORT: return adDwgStoredErased<AdVportRecord>(record);
    case AD_CONTROL_APPID: return adDwgStoredErased<AdAppidRecord>(record);
    case AD_CONTROL_DIMSTYLE: return adDwgStoredErased<AdDimStyleRecord>(record);
    default: return 0;
    }
}

int adDwgWriteTableControl(AdDwgWriter* writer, AdTableControl control) {
    const AdHandle* handle = &writer->handles.controls[control];
    std::int32_t counted = 0;
    const std::vector<ControlEntry> entries = controlEntries(writer, control, &counted);
    if (!adDwgRecordBegin(writer, kControlTypes[control], handle, nullptr, nullptr, false)) return 0;
    adBitWriteShort(0);
    // The VPORT control counts the null entry that opens its list.
    adBitWriteLong(control == AD_CONTROL_VPORT ? counted + 1 : counted);
    if (control == AD_CONTROL_DIMSTYLE && writer->version >= AD_VERSION_AC1015) adBitWriteByte(0);
    adDwgMarkDataEnd(writer);
    adBitWriteByte(0x40);
    adBitWriteByte(0x30);
    if (control == AD_CONTROL_VPORT) adBitWriteByte(0x20);
    for (const ControlEntry& entry : entries) adBitWriteHandle(&entry.handle, entry.code);
    return adDwgRecordEnd(writer, handle);
}

int adDwgWriteTables(AdDwgWriter* writer, bool withControls) {
    auto control = [&](AdTableControl c) { return !withControls || adDwgWriteTableControl(writer, c); };
    return control(AD_CONTROL_LAYER) && writeRecords<AdLayerRecord>(writer, AD_CONTROL_LAYER, writeLayer) &&
           control(AD_CONTROL_STYLE) && writeRecords<AdStyleRecord>(writer, AD_CONTROL_STYLE, writeStyle) &&
           control(AD_CONTROL_LTYPE) && writeRecords<AdLtypeRecord>(writer, AD_CONTROL_LTYPE, writeLtype) &&
           control(AD_CONTROL_VIEW) && writeRecords<AdViewTableRecord>(writer, AD_CONTROL_VIEW, writeView) &&
           control(AD_CONTROL_UCS) && writeRecords<AdUcsRecord>(writer, AD_CONTROL_UCS, writeUcs) &&
           control(AD_CONTROL_VPORT) && writeRecords<AdVportRecord>(writer, AD_CONTROL_VPORT, writeVport) &&
           control(AD_CONTROL_APPID) && writeRecords<AdAppidRecord>(writer, AD_CONTROL_APPID, writeAppid) &&
           control(AD_CONTROL_DIMSTYLE) &&
           writeRecords<AdDimStyleRecord>(writer, AD_CONTROL_DIMSTYLE, adDwgWriteDimStyle) &&
           control(AD_CONTROL_VPORT_ENTITY);
}
