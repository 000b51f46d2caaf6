// The records of the TABLES section in both layouts: table headers, the part
// every record has from AC1012 (handle, extension dictionary, reactors,
// subclass markers) and the groups of each table's records. Internal to the
// DXF writer.
#pragma once
#include "toolkit/write/dxf/dxf_entities.h"

#include <memory>

struct AdDxfTableWriter : AdDxfGroupRun {
    AdDrawing* source;

    AdDxfTableWriter(AdDrawing* drawing, AdOutputDrawing* out) : AdDxfGroupRun{out}, source(drawing) {}
    bool modern() const { return output->version >= AD_VERSION_AC1012; }
    bool latest() const { return output->version >= AD_VERSION_AC1015; }
    // 2 and the name, legalised below AC1015.
    void name(const char* value, std::int32_t number);
    // 0 TABLE, 2 the table; from AC1012 its handle (output->tableHandle) and
    // marker; 70 count.
    void begin(const char* table, std::int32_t count);
    void end();
    // 0 and the keyword, then from AC1012 the common part: the handle under
    // handleCode, the extension dictionary, the reactors and the markers
    // "AcDbSymbolTableRecord" and "AcDb<kind>TableRecord".
    void head(const char* keyword, const AdHandle& handle, std::int16_t handleCode, const AdHandle& dictionary,
              std::int32_t reactorCount, AdStore* reactors, const char* kind);
    // The record's extended data (from AC1012).
    void xdata(AdStore* store);
    // A view's UCS: 110, 111 and 112 at 16 decimals.
    void ucsAxes(const double* origin, const double* xAxis, const double* yAxis);

    void vport(const AdVportRecord& r, std::int32_t number);
    void ltype(const AdLtypeRecord& r, std::int32_t number);
    void layer(const AdLayerRecord& r, std::int32_t number, const char* linetype, std::int32_t linetypeNumber);
    void style(const AdStyleRecord& r, std::int32_t number);
    void view(const AdViewTableRecord& r, std::int32_t number);
    void ucs(const AdUcsRecord& r, std::int32_t number);
    void appid(const AdAppidRecord& r);
    void dimStyle(const AdDimStyleRecord& r, std::int32_t number);
    // A BLOCK_RECORD (AC1012 and later) under the name given.
    void blockRecord(const AdBlockHeader& r, const char* name, std::int32_t number);
};

// Hands every record of a table that is not erased, with its position, to
// write, while the writer's groups succeed.
template <typename Record, typename Rewind, typename Next, typename Write>
void adDxfEachRecord(AdDxfTableWriter& w, Rewind rewind, Next next, Write write) {
    auto record = std::make_unique<Record>();
    std::int32_t position = 0;
    rewind(w.source);
    while (w.ok && next(w.source, record.get())) {
        if (!record->erased) write(*record, position);
        ++position;
    }
}

// The records of a table that are not erased: what its header counts.
template <typename Record, typename Rewind, typename Next>
std::int32_t adDxfLiveRecordCount(AdDrawing* source, Rewind rewind, Next next) {
    auto record = std::make_unique<Record>();
    std::int32_t count = 0;
    for (rewind(source); next(source, record.get());)
        if (!record->erased) ++count;
    return count;
}

// The name a block other than the two spaces has in the R13 layout's
// BLOCK_RECORD table at position i; false when the block is left out
// (erased, a space block, or a further layout before AC1015). name holds
// AD_TABLE_NAME_SIZE bytes.
bool adDxfBlockRecordName(AdDrawing* source, const AdBlockHeader& block, std::int32_t i, std::int16_t version,
                          char* name);

// The CLASSES section entries: AC1015 as the drawing holds them, AC1012 and
// AC1014 with the application names and proxy flags those versions knew.
int adDxfWriteClass(AdOutputDrawing* output, const AdClassRecord* record);
int adDxfWriteClassR13(AdOutputDrawing* output, const AdClassRecord* record);

// TABLES of the R13 layout, BLOCK_RECORD included.
int adDxfWriteTablesR13(AdDrawing* source, AdOutputDrawing* output);
