// The reader of fixed-record DWG files (AC1002 to AC1009) as the load stages
// and the other readers call it.
#pragma once
#include "toolkit/ad_internal.h"

// ===== DWG readers AC1002 to AC1009: file, header and tables =====
// Sub-codes of a failed check (AdGlobalState::dwgCheckDetail) beside error
// 186: the sections, then the ten tables in AdTableControl order.
constexpr std::int16_t AD_DWG_DETAIL_ENTITIES_START = 1;
constexpr std::int16_t AD_DWG_DETAIL_ENTITIES_END = 2;
constexpr std::int16_t AD_DWG_DETAIL_BLOCKS_START = 3;
constexpr std::int16_t AD_DWG_DETAIL_EXTRAS_START = 5;
constexpr std::int16_t AD_DWG_DETAIL_FIRST_TABLE = 7;

// ===== DWG readers AC1002 to AC1009: entities =====
// After the load of a file whose extended data named applications or layers:
// each VIEWPORT whose "ACAD" extended data holds the "MVIEW" group takes its
// view, snap, grid and frozen layers from it, and the group leaves its
// extended data. A viewport whose group lacks an item keeps its extended
// data as it was; the others are converted all the same (answer 0 then).
int adConvertR12Viewports(AdDrawing* drawing);
// The block-number table: built from the BLOCK list (the two space records
// left out) before the ENTITIES section, freed when the load ends. 0 when
// memory runs out (the load stage's error stays). A number outside the
// table gives the null handle and 0.
int adBuildBlockNumberTable(AdDrawing* drawing);
int adBlockHandleByNumber(const AdDrawing* drawing, std::int32_t number, AdHandle* handle);
void adFreeBlockNumberTable(AdDrawing* drawing);
