// Where each symbol table keeps its list, handle, name, texts and stores.
#include "toolkit/db/table_cursor.h"

#include <cstddef>

namespace {

constexpr std::int32_t at(std::size_t offset) { return static_cast<std::int32_t>(offset); }
constexpr AdTextField nameField(std::size_t offset) { return {offset, AD_TABLE_NAME_SIZE}; }

}  // namespace

const AdTableDesc adLayerTable = {
    &AdDrawing::layers, sizeof(AdLayerRecord), sizeof(AdLayerRecord), offsetof(AdLayerRecord, handle),
    offsetof(AdLayerRecord, name),
    {at(offsetof(AdLayerRecord, xdata)), at(offsetof(AdLayerRecord, reactors)), -1, -1},
    {nameField(offsetof(AdLayerRecord, name))}, AD_ERR_RECORD_MEMORY_INSERT};

const AdTableDesc adLtypeTable = {
    &AdDrawing::ltypes, sizeof(AdLtypeRecord), sizeof(AdLtypeRecord), offsetof(AdLtypeRecord, handle),
    offsetof(AdLtypeRecord, name),
    {at(offsetof(AdLtypeRecord, xdata)), at(offsetof(AdLtypeRecord, reactors)), -1, -1},
    {nameField(offsetof(AdLtypeRecord, name)), nameField(offsetof(AdLtypeRecord, description)),
     {offsetof(AdLtypeRecord, textArea), AD_LTYPE_TEXT_AREA_SIZE}},
    AD_ERR_LTYPE_MEMORY};

const AdTableDesc adStyleTable = {
    &AdDrawing::styles, sizeof(AdStyleRecord), sizeof(AdStyleRecord), offsetof(AdStyleRecord, handle),
    offsetof(AdStyleRecord, name),
    {at(offsetof(AdStyleRecord, xdata)), at(offsetof(AdStyleRecord, reactors)), -1, -1},
    {nameField(offsetof(AdStyleRecord, name)), {offsetof(AdStyleRecord, bigFontFile), AD_FONT_FILE_SIZE},
     {offsetof(AdStyleRecord, fontFile), AD_PRIMARY_FONT_FILE_SIZE}},
    AD_ERR_RECORD_MEMORY_INSERT};

const AdTableDesc adVportTable = {
    &AdDrawing::vports, sizeof(AdVportRecord), sizeof(AdVportRecord), offsetof(AdVportRecord, handle),
    offsetof(AdVportRecord, name),
    {at(offsetof(AdVportRecord, xdata)), at(offsetof(AdVportRecord, reactors)), -1, -1},
    {nameField(offsetof(AdVportRecord, name))}, AD_ERR_RECORD_MEMORY_INSERT};

const AdTableDesc adViewTable = {
    &AdDrawing::views, sizeof(AdViewTableRecord), sizeof(AdViewTableRecord), offsetof(AdViewTableRecord, handle),
    offsetof(AdViewTableRecord, name),
    {at(offsetof(AdViewTableRecord, xdata)), at(offsetof(AdViewTableRecord, reactors)), -1, -1},
    {nameField(offsetof(AdViewTableRecord, name))}, AD_ERR_RECORD_MEMORY_INSERT};

const AdTableDesc adUcsTable = {
    &AdDrawing::ucss, sizeof(AdUcsRecord), sizeof(AdUcsRecord), offsetof(AdUcsRecord, handle),
    offsetof(AdUcsRecord, name),
    {at(offsetof(AdUcsRecord, xdata)), at(offsetof(AdUcsRecord, reactors)), -1, -1},
    {nameField(offsetof(AdUcsRecord, name))}, AD_ERR_RECORD_MEMORY_INSERT};

const AdTableDesc adAppidTable = {
    &AdDrawing::appids, sizeof(AdAppidRecord), sizeof(AdAppidRecord), offsetof(AdAppidRecord, handle),
    offsetof(AdAppidRecord, name),
    {at(offsetof(AdAppidRecord, xdata)), at(offsetof(AdAppidRecord, reactors)), -1, -1},
    {nameField(offsetof(AdAppidRecord, name))}, AD_ERR_RECORD_MEMORY_INSERT};

const AdTableDesc adDimStyleTable = {
    &AdDrawing::dimStyles, sizeof(AdDimStyleRecord), sizeof(AdDimStyleRecord), offsetof(AdDimStyleRecord, handle),
    offsetof(AdDimStyleRecord, name),
    {at(offsetof(AdDimStyleRecord, xdata)), at(offsetof(AdDimStyleRecord, reactors)), -1, -1},
    {nameField(offsetof(AdDimStyleRecord, name)), nameField(offsetof(AdDimStyleRecord, dimapost)),
     nameField(offsetof(AdDimStyleRecord, dimpost))},
    AD_ERR_RECORD_MEMORY_INSERT};

const AdTableDesc adBlockTable = {
    &AdDrawing::blocks, sizeof(AdBlockHeader), sizeof(AdStoredBlock), offsetof(AdBlockHeader, handle),
    offsetof(AdBlockHeader, name),
    {at(offsetof(AdBlockHeader, preview)), at(offsetof(AdBlockHeader, xdata)), at(offsetof(AdBlockHeader, reactors)),
     at(offsetof(AdBlockHeader, insertReferences))},
    {nameField(offsetof(AdBlockHeader, name)), nameField(offsetof(AdBlockHeader, description))},
    AD_ERR_BLOCK_MEMORY};

// CLASSES has no handle; its records are found by number or DXF name.
const AdTableDesc adClassTable = {
    &AdDrawing::classes, sizeof(AdClassRecord), sizeof(AdClassRecord), 0, offsetof(AdClassRecord, dxfName),
    {-1, -1, -1, -1},
    {nameField(offsetof(AdClassRecord, dxfName)), nameField(offsetof(AdClassRecord, className)),
     nameField(offsetof(AdClassRecord, applicationName))},
    AD_ERR_RECORD_MEMORY_APPEND};

const AdTableDesc adVportEntityTable = {
    &AdDrawing::vportEntities, sizeof(AdVportEntityHeader), sizeof(AdVportEntityHeader),
    offsetof(AdVportEntityHeader, entityHandle), offsetof(AdVportEntityHeader, name),
    {-1, -1, -1, -1}, {nameField(offsetof(AdVportEntityHeader, name))}, AD_ERR_RECORD_MEMORY_APPEND};
