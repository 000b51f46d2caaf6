// The cursor over the drawing's VIEW table, which the writers walk.
#include "toolkit/write/writer.h"
#include "toolkit/db/table_cursor.h"

int adViewRewind(AdDrawing* drawing) { return adTableRewind(drawing, adViewTable); }
int adViewNext(AdDrawing* drawing, AdViewTableRecord* record) { return adTableNext(drawing, adViewTable, record); }
std::int32_t adViewCount(AdDrawing* drawing) { return adTableCount(drawing, adViewTable); }
