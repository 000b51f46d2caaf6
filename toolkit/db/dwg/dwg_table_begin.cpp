// The begin operations of the DWG symbol tables: each collects its table's
// entry handles from the control object, or, in a fixed-header file, goes
// to the table's first record.
#include "toolkit/db/dwg/dwg_tables.h"
#include "toolkit/db/r12/r12_file.h"
#include "toolkit/db/dwg/dwg_read.h"

namespace {
int beginTable(AdDrawing* drawing, AdTableControl control) {
    if (adIsFixedRecordDwg(drawing)) return adR12BeginTable(drawing, control);
    return adDwgBeginTable(drawing, &drawing->tableControls[control], drawing->tableEntryCounts[control], 0) ? 1 : 0;
}
}  // namespace

int adDwgBeginLayers(AdDrawing* drawing) { return beginTable(drawing, AD_CONTROL_LAYER); }
int adDwgBeginLtypes(AdDrawing* drawing) { return beginTable(drawing, AD_CONTROL_LTYPE); }
int adDwgBeginStyles(AdDrawing* drawing) { return beginTable(drawing, AD_CONTROL_STYLE); }
int adDwgBeginViews(AdDrawing* drawing) { return beginTable(drawing, AD_CONTROL_VIEW); }
int adDwgBeginUcs(AdDrawing* drawing) { return beginTable(drawing, AD_CONTROL_UCS); }
int adDwgBeginVports(AdDrawing* drawing) { return beginTable(drawing, AD_CONTROL_VPORT); }
int adDwgBeginAppids(AdDrawing* drawing) { return beginTable(drawing, AD_CONTROL_APPID); }
