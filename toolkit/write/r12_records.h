// The fixed-size records of DWG AC1002..AC1009: the record buffer they are
// assembled in and the table-record writers. Internal to the toolkit.
#pragma once
#include "toolkit/write/writer.h"

#include <cstdint>

// Little-endian puts at the buffer's cursor; a put that would pass the end
// marks the buffer overflowed and stores nothing.
void adR12RecordBegin(AdR12RecordBuffer* record);
void adR12PutByte(AdR12RecordBuffer* record, std::uint8_t value);
void adR12PutShort(AdR12RecordBuffer* record, std::int16_t value);
void adR12PutLong(AdR12RecordBuffer* record, std::int32_t value);
void adR12PutDouble(AdR12RecordBuffer* record, double value);
void adR12PutPoint2D(AdR12RecordBuffer* record, const double point[2]);
void adR12PutPoint3D(AdR12RecordBuffer* record, const double point[3]);
// A fixed field of width bytes: the text's bytes, cut to the field, the rest
// zero.
void adR12PutText(AdR12RecordBuffer* record, const char* text, std::int32_t width);
void adR12PutBytes(AdR12RecordBuffer* record, const void* bytes, std::int32_t count);
// Leaves width zero bytes.
void adR12PutZeros(AdR12RecordBuffer* record, std::int32_t width);

// The check constant of each table's AC1009 records.
std::uint16_t adR12RecordCheck(AdR12Table table);
// Writes the output's record buffer as one record of the table: its record
// size for the output version, for AC1009 ending in the record's check value.
// 0 when the fields overflowed the buffer or the record size (AD_ERR_WRITE
// then too) or the write failed.
int adR12WriteTableRecord(AdOutputDrawing* output, AdR12Table table);

// Table-record writers: 1 when the record was written (or the version has
// no such table), 0 when it was not; each written record raises its
// table's counter in the output. number is the record's position, which a
// name cut to the limit ends with.
int adR12WriteBlockRecord(AdDrawing* source, AdOutputDrawing* output, const AdBlockHeader* block,
                          std::int32_t number);
// The layer's linetype becomes its table index; 0 with AD_ERR_LTYPE_INDEX
// when it names no linetype.
int adR12WriteLayerRecord(AdDrawing* source, AdOutputDrawing* output, const AdLayerRecord* layer,
                          std::int32_t number);
int adR12WriteStyleRecord(AdDrawing* source, AdOutputDrawing* output, const AdStyleRecord* style,
                          std::int32_t number);
int adR12WriteLtypeRecord(AdDrawing* source, AdOutputDrawing* output, const AdLtypeRecord* ltype,
                          std::int32_t number);
int adR12WriteViewRecord(AdDrawing* source, AdOutputDrawing* output, const AdViewTableRecord* view,
                         std::int32_t number);
int adR12WriteUcsRecord(AdDrawing* source, AdOutputDrawing* output, const AdUcsRecord* ucs, std::int32_t number);
int adR12WriteVportRecord(AdDrawing* source, AdOutputDrawing* output, const AdVportRecord* vport,
                          std::int32_t number);
int adR12WriteAppidRecord(AdDrawing* source, AdOutputDrawing* output, const AdAppidRecord* appid,
                          std::int32_t number);
int adR12WriteDimStyleRecord(AdDrawing* source, AdOutputDrawing* output, const AdDimStyleRecord* style,
                             std::int32_t number);
// The first VX record of a file and erased ones link to nothing; every other
// takes the next address noted by adR12NoteViewportAddress.
int adR12WriteVxRecord(AdOutputDrawing* output, const AdVportEntityHeader* vx);
// Notes where a VIEWPORT entity was written, in writing order; 0 when memory
// runs out.
int adR12NoteViewportAddress(AdOutputDrawing* output, std::int32_t address);
