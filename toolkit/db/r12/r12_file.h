// What the open of fixed-header DWG files (AC1002 to AC1009), their check
// and the readers of their tables share.
#pragma once
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/r12/dwg_r12.h"

#include <cstring>

constexpr std::int16_t AD_R12_AC1002 = 0;
constexpr std::int16_t AD_R12_AC1003 = 1;
constexpr std::int16_t AD_R12_AC1004 = 2;
constexpr std::int16_t AD_R12_AC1006 = 3;
constexpr std::int16_t AD_R12_AC1009 = 4;

// The format word that marks a header carrying its CRC.
constexpr std::uint16_t AD_R12_CHECKED_FORMAT = 0xCD;
// No fixed header is longer; the longest variable ends at 1727.
constexpr std::int32_t AD_R12_HEADER_LIMIT = 0x800;

// Reads the fixed header (up to the entities section) into the record
// buffer; its length in *length. 1, or 0 with 184 (a size no fixed header
// has) or 186 (the file is shorter).
int adR12LoadHeader(HostFile* file, std::int64_t fileLength, std::int32_t* length);
// The sections and the table descriptors the version has, from the header
// bytes; then whether each lies in the file (a table's records included):
// 1, or 0 with error 186 and the sub-code in the global state.
int adR12TakeLayout(const std::uint8_t* header, std::int32_t length, std::int16_t version, AdDwgFile* dwg);
// The header variables at their fixed offsets; those the header is too short
// to hold keep their defaults.
void adR12ReadHeaderVars(AdDrawing* drawing, const AdDwgFile* dwg, const std::uint8_t* header, std::int32_t length);
// The fixed-header branch of the open.
int adR12Open(AdDrawing* drawing);
// The check of a fixed-header file whose lead names version: 1 when it
// passes or is not checked, 0 with the error code set. The full check (any
// mode but the quick one) goes on to every record and the trailer.
int adR12CheckFile(HostFile* file, std::int16_t version, int mode);
// Every record of the sections and tables against its CRC, and the trailer:
// 1, or 0 with 187 (entities), 188 + table, 198 (blocks), 199 (extras) or
// 200 (trailer) and the sub-code (1 type, 2 length, 3 CRC) in the global state.
int adR12FullCheck(HostFile* file, const AdDwgFile* dwg);

// Reads the next record of a table into the record buffer and starts the
// cursor over it: 1, or 0 with error 186 when the record lies outside the
// file. The caller reads the record's own fields.
int adR12NextRecord(AdDrawing* drawing, AdTableControl table, AdR12Record* record);
// Positions a table at its first record.
int adR12BeginTable(AdDrawing* drawing, AdTableControl table);

// The part every fixed-size table record begins with: the flags byte (bit 7
// marks the record deleted), the 32-byte name and, from AC1009, the
// external-reference index (-1 before).
struct AdR12Common {
    std::uint8_t flags;
    std::uint8_t erased;
    char name[AD_TABLE_NAME_SIZE];
    std::int16_t xrefIndex;
};
// Reads the next record of the table and its common part: 1 when the
// table's own fields follow in record, 2 for a deleted record (nothing more
// is read from it), 0 on a read failure.
int adR12StartRecord(AdDrawing* drawing, AdTableControl table, AdR12Record* record, AdR12Common* common);
// The end of a record's reading: 1, or 0 with error 186 when its fields ran
// past the record's size.
int adR12FinishRecord(const AdR12Record* record);

// Copies the common part into a table record.
template <class Record>
void adR12PutCommon(Record* record, const AdR12Common& common) {
    record->erased = common.erased;
    if constexpr (requires { record->xrefIndex; }) record->xrefIndex = common.xrefIndex;
    record->flags = common.flags;
    static_assert(sizeof record->name == sizeof common.name, "names of one size");
    std::memcpy(record->name, common.name, sizeof record->name);
}

// Reads the next record of the table into out: the common part and, unless
// the record is deleted, the table's own fields through fields (none when
// null). 1, or 0 on a read failure or with error 186 when the fields ran
// past the record.
template <class Record>
int adR12ReadRecord(AdDrawing* drawing, AdTableControl table, Record* out,
                    void (*fields)(AdDrawing* drawing, AdR12Record* at, AdR12Common* common, Record* out)) {
    AdR12Record at;
    AdR12Common common;
    const int started = adR12StartRecord(drawing, table, &at, &common);
    if (started == 1 && fields) fields(drawing, &at, &common, out);
    adR12PutCommon(out, common);
    return started == 1 ? adR12FinishRecord(&at) : started != 0;
}

// The fixed-record readers of the tables, which the DWG reader operations
// hand over to for files before AC1012.
int adR12NextLayer(AdDrawing* drawing, AdLayerRecord* record);
int adR12NextLtype(AdDrawing* drawing, AdLtypeRecord* record);
int adR12NextStyle(AdDrawing* drawing, AdStyleRecord* record);
int adR12NextView(AdDrawing* drawing, AdViewTableRecord* record);
int adR12NextUcs(AdDrawing* drawing, AdUcsRecord* record);
int adR12NextVport(AdDrawing* drawing, AdVportRecord* record);
int adR12NextAppid(AdDrawing* drawing, AdAppidRecord* record);
int adR12NextDimStyle(AdDrawing* drawing, AdDimStyleRecord* record);
int adR12NextBlock(AdDrawing* drawing, AdBlockHeader* record);
