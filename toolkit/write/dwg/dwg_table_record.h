// The head and tail that every symbol-table record of a bit-coded DWG file
// shares, for the writers of each table.
#pragma once
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/table_cursor.h"

#include <cstddef>

// The record's erased flag as its table stores it.
template <class Record>
std::uint8_t adDwgStoredErased(AdListRecord* record) {
    decltype(Record::erased) erased{};
    adTableReadField(record, offsetof(Record, erased), &erased, sizeof erased);
    return erased ? 1 : 0;
}
std::uint8_t adDwgRecordErased(AdListRecord* record, AdTableControl control);

// Type, handle, extended data, reactor count, name, the referenced and
// xref-dependent flags and the xref index (only whether it is set).
template <class Record>
int adDwgTableRecordBegin(AdDwgWriter* writer, std::int16_t type, const Record& r, const char* name = nullptr,
                          std::int32_t index = 0, std::int16_t limit = 0) {
    if (!adDwgRecordBegin(writer, type, &r.handle, r.xdata, nullptr, false)) return 0;
    adBitWriteLong(r.reactorCount);
    if (!adDwgWriteName(writer, name ? name : r.name, index, limit ? limit : adGlobals->nameLengthLimit)) return 0;
    adBitWriteBit((r.flags & 0x40) != 0);
    std::int32_t xrefIndex = -1;
    if constexpr (requires { r.xrefIndex; }) xrefIndex = r.xrefIndex;
    adBitWriteShort(xrefIndex + 1 > 0 ? 1 : 0);
    adBitWriteBit((r.flags & 0x10) != 0);
    return 1;
}

// End of data, the common handles with the table's control as owner, the
// record's own handles, and the record finished.
template <class Record, class OwnHandles>
int adDwgTableRecordEnd(AdDwgWriter* writer, AdTableControl control, const Record& r, OwnHandles ownHandles) {
    adDwgMarkDataEnd(writer);
    if (!adDwgWriteTableHandles(writer, &r.handle, &writer->handles.controls[control], &r.extensionDictionary,
                                r.reactorCount, r.reactors))
        return 0;
    ownHandles();
    return adDwgRecordEnd(writer, &r.handle);
}

int adDwgWriteDimStyle(AdDwgWriter* writer, const AdDimStyleRecord& r);
