// The TABLES section of the R13 layout: every table with its handle, the
// linetypes BYBLOCK and BYLAYER first, and the BLOCK_RECORD table with the
// two spaces first.
#include "toolkit/write/dxf/dxf_table_records.h"
#include "toolkit/db/table_cursor.h"
#include "toolkit/ad_internal.h"

#include <cstdio>
#include <cstring>

namespace {
bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, 8) == 0; }

void copyName(char* out, const char* name) {
    const std::size_t length = strnlen(name, AD_TABLE_NAME_SIZE - 1);
    std::memcpy(out, name, length);
    out[length] = '\0';
}

// The table's handle becomes its header's group 5; its count is of the
// records written, so that a file read back and written again says the same.
void beginTable(AdDxfTableWriter& w, AdTableControl control, const char* table, std::int32_t count) {
    w.output->tableHandle = w.source->tableControls[control];
    w.begin(table, count);
}

void writeLinetypes(AdDxfTableWriter& w) {
    AdDrawing* source = w.source;
    beginTable(w, AD_CONTROL_LTYPE, "LTYPE", adDxfLiveRecordCount<AdLtypeRecord>(source, adLtypeRewind, adLtypeNext));
    auto record = std::make_unique<AdLtypeRecord>();
    const AdHandle* fixed[] = {&source->byBlockLtype, &source->byLayerLtype};
    for (int i = 0; i < 2 && w.ok; ++i) {
        if (!adLtypeByHandle(source, fixed[i], record.get())) continue;
        w.ltype(*record, i);
        w.xdata(record->xdata);
    }
    adReportSaveProgress(12);
    adDxfEachRecord<AdLtypeRecord>(w, adLtypeRewind, adLtypeNext, [&](const AdLtypeRecord& r, std::int32_t i) {
        if (adStrCompareNoCase(r.name, "BYLAYER") == 0 || adStrCompareNoCase(r.name, "BYBLOCK") == 0) return;
        w.ltype(r, i + 2);
        w.xdata(r.xdata);
    });
    w.end();
}

void writeLayers(AdDxfTableWriter& w) {
    AdDrawing* source = w.source;
    beginTable(w, AD_CONTROL_LAYER, "LAYER", adDxfLiveRecordCount<AdLayerRecord>(source, adLayerRewind, adLayerNext));
    AdHandle continuous = source->continuousLtype;
    if (adHandleLength(&continuous) == 0) adTableFirstHandle(source, adLtypeTable, &continuous);
    adDxfEachRecord<AdLayerRecord>(w, adLayerRewind, adLayerNext, [&](const AdLayerRecord& r, std::int32_t i) {
        const AdHandle& linetypeHandle = adHandleLength(&r.linetype) ? r.linetype : continuous;
        char linetype[AD_TABLE_NAME_SIZE];
        std::int16_t number = 0;
        adDxfLtypeName(source, &linetypeHandle, linetype);
        adLtypeHandleToIndex(source, &linetypeHandle, &number);
        w.layer(r, i, linetype, number);
        w.xdata(r.xdata);
    });
    w.end();
}

void writeStyles(AdDxfTableWriter& w) {
    beginTable(w, AD_CONTROL_STYLE, "STYLE", adDxfLiveRecordCount<AdStyleRecord>(w.source, adStyleRewind, adStyleNext));
    adDxfEachRecord<AdStyleRecord>(w, adStyleRewind, adStyleNext, [&](const AdStyleRecord& r, std::int32_t i) {
        w.style(r, i);
        w.xdata(r.xdata);
        // A style's extended data naming an application that is gone is
        // left out and the save goes on.
        if (!w.ok && adGlobals->errorCode == AD_ERR_XDATA_APPID) {
            adSetError(AD_OK);
            w.ok = 1;
        }
    });
    w.end();
}

// A space's BLOCK_RECORD, numbered 0.
void writeSpaceRecord(AdDxfTableWriter& w, const AdHandle& handle) {
    auto block = std::make_unique<AdBlockHeader>();
    if (!adBlockByHandle(w.source, &handle, block.get())) return;
    w.blockRecord(*block, block->name, 0);
}

// Calls write for every block other than the two spaces that gets a
// BLOCK_RECORD, with its name and position. Name look-ups move the block
// table's cursor: the walk goes over the table's records itself.
template <class Write>
void eachBlockRecord(AdDrawing* source, std::int16_t version, Write write) {
    const std::int32_t blocks = adBlockCount(source) - 2;
    auto block = std::make_unique<AdBlockHeader>();
    AdListRecord* record = adListFirst(adTableList(source, adBlockTable));
    for (std::int32_t i = 0; i < blocks && record; ++i, record = record->next) {
        adTableReadField(record, 0, block.get(), sizeof(AdBlockHeader));
        char name[AD_TABLE_NAME_SIZE];
        if (adDxfBlockRecordName(source, *block, i, version, name) && !write(*block, name, i)) return;
    }
}

// The count is of the records written, the two spaces' included: erased
// blocks and, before AC1015, further layouts' blocks have none.
void writeBlockRecords(AdDxfTableWriter& w) {
    AdDrawing* source = w.source;
    std::int32_t count = 2;
    eachBlockRecord(source, w.output->version, [&](const AdBlockHeader&, const char*, std::int32_t) { return ++count; });
    beginTable(w, AD_CONTROL_BLOCK, "BLOCK_RECORD", count);
    writeSpaceRecord(w, source->modelSpaceBlock);
    writeSpaceRecord(w, source->paperSpaceBlock);
    adReportSaveProgress(44);
    eachBlockRecord(source, w.output->version, [&](const AdBlockHeader& block, const char* name, std::int32_t i) {
        w.blockRecord(block, name, i);
        return w.ok != 0;
    });
    w.end();
}
}  // namespace

bool adDxfBlockRecordName(AdDrawing* source, const AdBlockHeader& block, std::int32_t i, std::int16_t version,
                          char* name) {
    if (block.erased || sameHandle(block.handle, source->modelSpaceBlock) ||
        sameHandle(block.handle, source->paperSpaceBlock))
        return false;
    const bool paper = adDxfIsPaperSpaceName(block.name);
    if (paper && version < AD_VERSION_AC1015) return false;
    if (paper) {
        // A further layout's block takes its position as its number.
        copyName(name, block.name);
        if (std::strlen(block.name) == 12) std::snprintf(name + 12, AD_TABLE_NAME_SIZE - 12, "%d", static_cast<int>(i));
        return true;
    }
    adDxfRenumberBlockName(block.name, i, name);
    return true;
}

int adDxfWriteTablesR13(AdDrawing* source, AdOutputDrawing* output) {
    AdDxfTableWriter w(source, output);
    if (!adDxfBeginSection(output, AdDxfKeywordTable[AD_KW_TABLES])) return 0;
    beginTable(w, AD_CONTROL_VPORT, "VPORT", adDxfLiveRecordCount<AdVportRecord>(source, adVportRewind, adVportNext));
    adDxfEachRecord<AdVportRecord>(w, adVportRewind, adVportNext, [&](const AdVportRecord& r, std::int32_t i) {
        w.vport(r, i);
        w.xdata(r.xdata);
    });
    w.end();
    adReportSaveProgress(8);
    writeLinetypes(w);
    adReportSaveProgress(16);
    writeLayers(w);
    adReportSaveProgress(20);
    writeStyles(w);
    adReportSaveProgress(24);
    beginTable(w, AD_CONTROL_VIEW, "VIEW", adDxfLiveRecordCount<AdViewTableRecord>(source, adViewRewind, adViewNext));
    adDxfEachRecord<AdViewTableRecord>(w, adViewRewind, adViewNext, [&](const AdViewTableRecord& r, std::int32_t i) {
        w.view(r, i);
        w.xdata(r.xdata);
    });
    w.end();
    adReportSaveProgress(28);
    beginTable(w, AD_CONTROL_UCS, "UCS", adDxfLiveRecordCount<AdUcsRecord>(source, adUcsRewind, adUcsNext));
    adDxfEachRecord<AdUcsRecord>(w, adUcsRewind, adUcsNext, [&](const AdUcsRecord& r, std::int32_t i) {
        w.ucs(r, i);
        w.xdata(r.xdata);
    });
    w.end();
    adReportSaveProgress(32);
    beginTable(w, AD_CONTROL_APPID, "APPID", adDxfLiveRecordCount<AdAppidRecord>(source, adAppidRewind, adAppidNext));
    adDxfEachRecord<AdAppidRecord>(w, adAppidRewind, adAppidNext, [&](const AdAppidRecord& r, std::int32_t) {
        w.appid(r);
        w.xdata(r.xdata);
    });
    w.end();
    adReportSaveProgress(36);
    beginTable(w, AD_CONTROL_DIMSTYLE, "DIMSTYLE", adDxfLiveRecordCount<AdDimStyleRecord>(source, adDimStyleRewind, adDimStyleNext));
    adDxfEachRecord<AdDimStyleRecord>(w, adDimStyleRewind, adDimStyleNext,
                                      [&](const AdDimStyleRecord& r, std::int32_t i) {
                                          w.dimStyle(r, i);
                                          w.xdata(r.xdata);
                                      });
    w.end();
    adReportSaveProgress(40);
    writeBlockRecords(w);
    return w.ok && adDxfEndSection(output);
}
